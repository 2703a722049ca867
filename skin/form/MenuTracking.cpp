// Tracking the popups of a skinned menu bar: the button's native popup runs under it, and a
// WH_MSGFILTER hook that lives only while the popup is open lets the user slide to the next
// button with the arrow keys or the mouse. Sliding ends the open popup (EndMenu) and the tracking
// loop opens the neighbour's: never a popup tracked inside another's modal loop.
#include "framework/win/Callback.h"
#include "framework/win/Handles.h"
#include "framework/controls/Forms.h"
#include "framework/graphics/Canvas.h"
#include "framework/menus/Menus.h"
#include "skin/form/SkinMenuBar.h"
#include "skin/form/WinSkinForm.h"
#include "skin/menus/MenuItemPainter.h"
#include "skin/menus/WinSkinPopMenu.h"

#include <algorithm>
#include <optional>

namespace {

// One popup at a time in the program.
struct TTracking {
    TWinSkinForm* Form = nullptr;
    int Index = -1;
    HMENU Popup = nullptr;
    // The menu holding the selected item, and whether that item opens a sub-menu.
    HMENU CurrentMenu = nullptr;
    bool CurrentOpens = false;
    bool RightToLeft = false;
    THookHandle Hook;
    POINT LastCursor{0, 0};
    bool SwitchPending = false;
    int SwitchTo = -1;
    bool FirstKeySent = false;
};

// The popup whose items the skin draws now: its form, its menu and the marks to give back.
struct TDrawnItems {
    TWinSkinForm* Form = nullptr;
    HMENU Menu = nullptr;
    std::vector<TItemTypeMark> Marks;
};

TTracking Tracking;
TDrawnItems Drawn;

LRESULT CALLBACK MenuFilterProc(int Code, WPARAM WParam, LPARAM LParam);

void InstallMenuFilter()
{
    Tracking.SwitchPending = false;
    Tracking.SwitchTo = -1;
    Tracking.FirstKeySent = false;
    Tracking.CurrentMenu = nullptr;
    Tracking.CurrentOpens = false;
    GetCursorPos(&Tracking.LastCursor);
    if (!Tracking.Hook)
        Tracking.Hook.reset(SetWindowsHookExA(WH_MSGFILTER, MenuFilterProc, nullptr, GetCurrentThreadId()));
}

void RemoveMenuFilter() noexcept
{
    Tracking.Hook.reset();
    Tracking.CurrentMenu = nullptr;
    Tracking.Index = -1;
    Tracking.Popup = nullptr;
    Tracking.FirstKeySent = false;
}

// A button a slide may go to: one with a popup to show. (Sliding onto an item without one would
// run its command, onto a disabled one end the menu: the user only meant to pass them.)
bool Opens(const TMenuBtn& Button)
{
    return Button.SubMenu != nullptr && Button.Enabled && !Button.Caption.empty();
}

// The nearest button after (Next) or before the tracked one that opens a popup, wrapping around.
TMenuBtn* NeighbourButton(bool Next)
{
    TWinSkinMenu* bar = Tracking.Form != nullptr ? Tracking.Form->SkinMenu() : nullptr;
    const int n = bar != nullptr ? static_cast<int>(bar->Buttons().size()) : 0;
    if (n == 0 || Tracking.Index < 0)
        return nullptr;
    for (int step = 1; step < n; ++step) {
        const int i = Next ? (Tracking.Index + step) % n : (Tracking.Index + n - step) % n;
        if (TMenuBtn* button = bar->Button(i); button != nullptr && Opens(*button))
            return button;
    }
    return nullptr;
}

// A menu whose items run right to left: the arrow keys swap.
bool IsRightToLeftMenu(HMENU Menu)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoA(Menu, 0, TRUE, &info) && (info.fType & MFT_RIGHTORDER) != 0;
}

// What the bar does with a message of the menu's loop: the first item selected, Left and Right
// to the neighbouring popups, the mouse over another title, Alt closing.
void FollowMenuMessage(const MSG& Msg)
{
    if (!Tracking.FirstKeySent) {
        // The popup opens with its first item selected, as a native bar's does from the keyboard.
        Tracking.FirstKeySent = true;
        PostMessageA(Msg.hwnd, WM_KEYDOWN, VK_DOWN, 0);
    }
    TMenuBtn* target = nullptr;
    switch (Msg.message) {
    case WM_KEYDOWN:
        switch (Msg.wParam) {
        case VK_RETURN:
        case VK_ESCAPE:
            Tracking.SwitchPending = false;
            break;
        case VK_LEFT:
            // Inside a deeper sub-menu, Left closes that sub-menu (the menu's own doing).
            if (Tracking.CurrentMenu == nullptr || Tracking.CurrentMenu == Tracking.Popup)
                target = NeighbourButton(false);
            break;
        case VK_RIGHT:
            // On an item with a sub-menu, Right opens it (the menu's own doing).
            if (Tracking.CurrentMenu == nullptr || !Tracking.CurrentOpens)
                target = NeighbourButton(true);
            break;
        default:
            break;
        }
        break;
    case WM_SYSKEYDOWN:
        if (Msg.wParam == VK_MENU)
            EndMenuTracking(*Tracking.Form);
        return;
    case WM_MOUSEMOVE:
        if (Msg.pt.x != Tracking.LastCursor.x || Msg.pt.y != Tracking.LastCursor.y) {
            Tracking.LastCursor = Msg.pt;
            if (TWinSkinMenu* bar = Tracking.Form->SkinMenu())
                target = bar->ButtonAtPoint(Tracking.Form->ScreenToFrame(Msg.pt.x, Msg.pt.y));
        }
        break;
    default:
        break;
    }
    if (target != nullptr && Opens(*target) && target->Index != Tracking.Index && !Tracking.SwitchPending) {
        Tracking.SwitchPending = true;
        Tracking.SwitchTo = target->Index;
        EndMenu();
    }
}

LRESULT CALLBACK MenuFilterProc(int Code, WPARAM WParam, LPARAM LParam)
{
    auto* msg = reinterpret_cast<MSG*>(LParam);
    if (Code == MSGF_MENU && msg != nullptr && Tracking.RightToLeft &&
        (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP)) {
        if (msg->wParam == VK_LEFT)
            msg->wParam = VK_RIGHT;
        else if (msg->wParam == VK_RIGHT)
            msg->wParam = VK_LEFT;
    }
    const LRESULT next = CallNextHookEx(Tracking.Hook.get(), Code, WParam, LParam);
    if (next != 0 || Code != MSGF_MENU || msg == nullptr || Tracking.Form == nullptr)
        return next;
    // The skin's part runs behind the barrier: the menu's loop goes on whatever it does.
    CallGuarded([&] { FollowMenuMessage(*msg); });
    return next;
}

// Restores the hook and the state on every way out of a popup, an exception's too.
class TPopupScope {
public:
    TPopupScope(TWinSkinForm& Form, const TMenuBtn& Button) : FForm(Form)
    {
        Tracking.Form = &Form;
        Tracking.Index = Button.Index;
        Tracking.Popup = Button.SubMenu;
        Tracking.RightToLeft = IsRightToLeftMenu(Button.SubMenu);
        Form.SetMenuTracking(true, Button.SubMenu);
        FItems.emplace(Form, Button.SubMenu);
        InstallMenuFilter();
    }
    ~TPopupScope()
    {
        RemoveMenuFilter();
        Tracking.Form = nullptr;
        if (!FForm.Retired())
            FForm.SetMenuTracking(false, nullptr);
    }
    TPopupScope(const TPopupScope&) = delete;
    TPopupScope& operator=(const TPopupScope&) = delete;

private:
    TWinSkinForm& FForm;
    std::optional<TSkinnedPopupItems> FItems;
};

// Whether Button's command may be posted to Form's window.
bool PostsCommand(TWinSkinForm& Form, const TMenuBtn& Button)
{
    if (!Button.Enabled)
        return false; // a native bar sends no command for a disabled item
    if (Button.SubMenu == nullptr)
        return Button.CommandId != 0;
    // An item with a popup has its handle for an id: only a framework item's command means
    // anything to the window.
    TMainMenu* menu = Form.SkinMenu() != nullptr ? Form.SkinMenu()->MainMenu() : nullptr;
    return menu != nullptr && Button.CommandId != 0 &&
           menu->FindItem(Button.CommandId, TMenu::fkCommand) != nullptr;
}

} // namespace

bool TrackMenuButton(TWinSkinForm& Form, TMenuBtn& Button)
{
    if (Tracking.Form != nullptr)
        return false; // a popup of some bar is open already
    bool ran = false;
    int index = Button.Index;
    for (bool first = true;; first = false) {
        TWinSkinMenu* bar = Form.SkinMenu();
        TMenuBtn* button = bar != nullptr ? bar->Button(index) : nullptr;
        if (button == nullptr || Form.Retired() || !IsWindow(Form.Handle()))
            break;
        if (!first)
            Form.PressObject(*button);
        if (PostsCommand(Form, *button))
            PostMessageA(Form.Handle(), WM_COMMAND, button->CommandId, 0);
        if (button->SubMenu == nullptr || !button->Enabled)
            break;
        RECT window{};
        GetWindowRect(Form.Handle(), &window);
        const POINT at{window.left + button->BoundsRect.left, window.top + button->BoundsRect.bottom};
        const HMENU popup = button->SubMenu;
        {
            TPopupScope scope(Form, *button);
            // The button may go while the popup is open (the bar rebuilt, the skin switched off):
            // nothing below touches it.
            TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Form.Handle(),
                           nullptr);
            ran = true;
            index = Tracking.SwitchPending ? Tracking.SwitchTo : -1;
        }
        if (index < 0)
            break;
    }
    Tracking.Form = nullptr;
    Tracking.SwitchPending = false;
    // The pressed look goes with the popup; the hover timer takes the hot one away.
    if (!Form.Retired() && Form.SkinMenu() != nullptr)
        if (TMenuBtn* last = dynamic_cast<TMenuBtn*>(Form.HotObject()))
            Form.ReleaseObject(*last);
    return ran;
}

void PostMenuButtonClick(TWinSkinForm& Form, const TMenuBtn& Button)
{
    RECT window{};
    GetWindowRect(Form.Handle(), &window);
    const int x = window.left + Button.BoundsRect.left + 1, y = window.top + Button.BoundsRect.top + 1;
    PostMessageA(Form.Handle(), WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(x, y));
}

bool MenuDialogChar(TWinSkinForm& Form, WPARAM CharCode)
{
    TWinSkinMenu* bar = Form.SkinMenu();
    if (bar == nullptr || CharCode > 0xFF)
        return false;
    const bool altOnly = GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    TMenuBtn* button = bar->FindAccelButton(static_cast<char>(CharCode));
    if (button == nullptr || !altOnly)
        return false;
    PostMenuButtonClick(Form, *button);
    return true;
}

bool MenuKeyCommand(TWinSkinForm& Form, LPARAM Key)
{
    TWinSkinMenu* bar = Form.SkinMenu();
    if (bar == nullptr || Form.MenuTracking() || GetCapture() != nullptr || Key == ' ' || Key == '-')
        return false;
    if (Key == 0) {
        // Alt or F10 alone: the window has no native bar to enter, so the skinned bar opens its
        // first menu, from which the arrows go on as in the platform's menu mode.
        for (const auto& first : bar->Buttons())
            if (first->Enabled) {
                PostMenuButtonClick(Form, *first);
                break;
            }
        return true;
    }
    TMenuBtn* button = Key > 0 && Key <= 0xFF ? bar->FindAccelButton(static_cast<char>(Key)) : nullptr;
    if (button == nullptr)
        return false;
    PostMenuButtonClick(Form, *button);
    return true;
}

void MenuItemSelected(TWinSkinForm& Form, WPARAM WParam, LPARAM LParam)
{
    if (Tracking.Form != &Form)
        return;
    const UINT flags = HIWORD(WParam);
    const auto menu = reinterpret_cast<HMENU>(LParam);
    if (flags == 0xFFFF && menu == nullptr) {
        // The menu is closing.
        if (!Tracking.SwitchPending)
            EndMenuTracking(Form);
        return;
    }
    Tracking.CurrentMenu = menu;
    Tracking.CurrentOpens = (flags & MF_POPUP) != 0;
}

void EndMenuTracking(TWinSkinForm& Form)
{
    Form.SetMenuTracking(false, nullptr);
}

int TrackedMenuIndex()
{
    return Tracking.Index;
}

bool MenuFilterInstalled()
{
    return static_cast<bool>(Tracking.Hook);
}

void ForgetMenuTracking(const TWinSkinForm& Form) noexcept
{
    // (The drawn items' marks stay: their scope gives the types back when the popup closes.)
    if (Drawn.Form == &Form)
        Drawn.Form = nullptr;
    if (Tracking.Form == &Form) {
        Tracking.Form = nullptr;
        Tracking.SwitchPending = false;
    }
}

std::vector<TItemTypeMark> SetOwnerDrawItems(HMENU Menu, bool SubMenus)
{
    std::vector<TItemTypeMark> marks;
    const int count = Menu != nullptr ? GetMenuItemCount(Menu) : 0;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_ID;
        if (!GetMenuItemInfoA(Menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        if ((info.fType & MFT_OWNERDRAW) == 0) {
            marks.push_back(TItemTypeMark{Menu, info.fType, info.wID, info.hSubMenu});
            MENUITEMINFOA change{};
            change.cbSize = sizeof change;
            change.fMask = MIIM_FTYPE;
            // (Without MFT_RIGHTORDER while marked: Wine sends no WM_DRAWITEM for an owner-drawn
            // item of that type. The drawing takes the direction from the framework's menu.)
            change.fType = (info.fType | MFT_OWNERDRAW) & ~MFT_RIGHTORDER;
            SetMenuItemInfoA(Menu, static_cast<UINT>(i), TRUE, &change);
        }
        if (SubMenus && info.hSubMenu != nullptr) {
            std::vector<TItemTypeMark> inner = SetOwnerDrawItems(info.hSubMenu, true);
            marks.insert(marks.end(), inner.begin(), inner.end());
        }
    }
    return marks;
}

void RestoreItemTypes(const std::vector<TItemTypeMark>& Marks)
{
    // The newest mark of an item first (it was marked again after the host rebuilt it); an item
    // given back is no longer owner-drawn, so an older mark of it finds nothing.
    for (auto mark = Marks.rbegin(); mark != Marks.rend(); ++mark) {
        if (!IsMenu(mark->Menu))
            continue;
        const int count = GetMenuItemCount(mark->Menu);
        for (int i = 0; i < count; ++i) {
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_ID;
            if (!GetMenuItemInfoA(mark->Menu, static_cast<UINT>(i), TRUE, &info) || (info.fType & MFT_OWNERDRAW) == 0 ||
                info.wID != mark->Id || info.hSubMenu != mark->SubMenu)
                continue;
            MENUITEMINFOA change{};
            change.cbSize = sizeof change;
            change.fMask = MIIM_FTYPE;
            change.fType = mark->Type;
            SetMenuItemInfoA(mark->Menu, static_cast<UINT>(i), TRUE, &change);
            break;
        }
    }
}

TSkinnedPopupItems::TSkinnedPopupItems(TWinSkinForm& Form, HMENU Menu)
{
    if (Drawn.Form != nullptr || Menu == nullptr || Form.SkinData() == nullptr)
        return;
    FActive = true;
    Drawn.Form = &Form;
    Drawn.Menu = Menu;
    Drawn.Marks = SetOwnerDrawItems(Menu, true);
}

void MarkOpeningPopup(TWinSkinForm& Form, HMENU Popup)
{
    // The host fills or updates a popup as it opens (a list of recent files, its actions'
    // states, an item made anew): what it added or retyped is drawn from the skin too.
    if (Drawn.Form != &Form || Popup == nullptr || !IsMenu(Popup))
        return;
    std::vector<TItemTypeMark> marks = SetOwnerDrawItems(Popup, false);
    Drawn.Marks.insert(Drawn.Marks.end(), marks.begin(), marks.end());
}

TSkinnedPopupItems::~TSkinnedPopupItems()
{
    if (!FActive)
        return;
    RestoreItemTypes(Drawn.Marks);
    Drawn = TDrawnItems{};
}

bool MenuItemMessage(TWinSkinForm& Form, TMessage& Message)
{
    if (Drawn.Form != &Form || Form.SkinData() == nullptr || Message.LParam == 0)
        return false;
    const bool measure = Message.Msg == WM_MEASUREITEM;
    UINT id = 0;
    HMENU menu = nullptr;
    if (measure) {
        const auto& info = *reinterpret_cast<const MEASUREITEMSTRUCT*>(Message.LParam);
        if (info.CtlType != ODT_MENU)
            return false;
        id = info.itemID;
    } else {
        const auto& info = *reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
        if (info.CtlType != ODT_MENU)
            return false;
        id = info.itemID;
        menu = reinterpret_cast<HMENU>(info.hwndItem);
    }
    // Only the items marked for the skin, and every item of a framework main menu that draws its
    // items itself (the skin draws the whole main menu): the host's other owner-drawn items stay
    // the host's.
    TSkinData& data = *Form.SkinData();
    TMainMenu* mainMenu = Form.SkinMenu() != nullptr ? Form.SkinMenu()->MainMenu() : nullptr;
    TMenuItem* item = mainMenu != nullptr && id != 0 ? mainMenu->FindItem(id, TMenu::fkCommand) : nullptr;
    const bool marked = std::any_of(Drawn.Marks.begin(), Drawn.Marks.end(), [&](const TItemTypeMark& m) {
        return m.Id == id && (menu == nullptr || m.Menu == menu);
    });
    if (!marked && (item == nullptr || !mainMenu->OwnerDraw()))
        return false;
    if (measure) {
        auto& info = *reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (item != nullptr) {
            TMemoryDC dc(nullptr);
            TCanvas canvas;
            canvas.SetHandle(dc.get());
            canvas.Font()->Assign(Screen()->MenuFont());
            int width = static_cast<int>(info.itemWidth), height = static_cast<int>(info.itemHeight);
            MeasureMenuItem(*item, canvas, width, height);
            canvas.SetHandle(nullptr);
            info.itemWidth = static_cast<UINT>(std::max(width, 0));
            info.itemHeight = static_cast<UINT>(std::max(height, 0));
        } else {
            MeasureNativeMenuItem(Drawn.Menu, info);
        }
    } else {
        const auto& info = *reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
        NoteDrawnMenu(menu);
        TCanvas canvas;
        canvas.SetHandle(info.hDC);
        canvas.Font()->Assign(Screen()->MenuFont());
        const bool selected = (info.itemState & ODS_SELECTED) != 0;
        if (item != nullptr) {
            DrawSkinnedMenuItem(data, *item, menu, canvas, info.rcItem, selected);
        } else {
            std::unique_ptr<TMenuItem> native = NativeMenuItem(menu, id);
            DrawNativeMenuItem(data, menu, *native, selected, info.rcItem, canvas);
        }
        canvas.SetHandle(nullptr);
    }
    Message.Result = TRUE;
    return true;
}
