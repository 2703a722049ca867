// The skin's drawing of a popup's items: the items are marked owner-drawn while the popup is open
// and their window's measure and draw messages are answered from the skin.
#include "skin/form/PopupItems.h"

#include "framework/controls/Forms.h"
#include "framework/graphics/Canvas.h"
#include "framework/menus/Menus.h"
#include "framework/win/Handles.h"
#include "skin/menus/MenuItemPainter.h"
#include "skin/menus/WinSkinPopMenu.h"

#include <algorithm>
#include <memory>

namespace {

// The popup whose items the skin draws now: its window, its menu and the marks to give back.
struct TDrawnItems {
    HWND Window = nullptr;
    HMENU Menu = nullptr;
    std::vector<TItemTypeMark> Marks;
};

// Each thread opens its own popups. Made once a thread and kept (a plain pointer: the runtime's
// destructors at a thread's end are not for the engine's objects).
TDrawnItems& Drawn()
{
    static thread_local TDrawnItems* drawn = nullptr;
    if (drawn == nullptr)
        drawn = new TDrawnItems();
    return *drawn;
}

} // namespace

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

TSkinnedPopupItems::TSkinnedPopupItems(HWND Window, const TSkinData* Data, HMENU Menu)
{
    if (Drawn().Window != nullptr || Menu == nullptr || Data == nullptr)
        return;
    FActive = true;
    Drawn().Window = Window;
    Drawn().Menu = Menu;
    Drawn().Marks = SetOwnerDrawItems(Menu, true);
}

void MarkOpeningPopup(HWND Window, HMENU Popup)
{
    // The host fills or updates a popup as it opens (a list of recent files, its actions'
    // states, an item made anew): what it added or retyped is drawn from the skin too.
    if (Drawn().Window == nullptr || Drawn().Window != Window || Popup == nullptr || !IsMenu(Popup))
        return;
    std::vector<TItemTypeMark> marks = SetOwnerDrawItems(Popup, false);
    Drawn().Marks.insert(Drawn().Marks.end(), marks.begin(), marks.end());
}

TSkinnedPopupItems::~TSkinnedPopupItems()
{
    if (!FActive)
        return;
    RestoreItemTypes(Drawn().Marks);
    Drawn() = TDrawnItems{};
}

bool MenuItemMessage(HWND Window, TSkinData& Data, TMainMenu* MainMenu, TMessage& Message)
{
    if (Drawn().Window == nullptr || Drawn().Window != Window || Message.LParam == 0)
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
    TMenuItem* item = MainMenu != nullptr && id != 0 ? MainMenu->FindItem(id, TMenu::fkCommand) : nullptr;
    const bool marked = std::any_of(Drawn().Marks.begin(), Drawn().Marks.end(), [&](const TItemTypeMark& m) {
        return m.Id == id && (menu == nullptr || m.Menu == menu);
    });
    if (!marked && (item == nullptr || !MainMenu->OwnerDraw()))
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
            MeasureNativeMenuItem(Drawn().Menu, info);
        }
    } else {
        const auto& info = *reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
        NoteDrawnMenu(menu);
        TCanvas canvas;
        canvas.SetHandle(info.hDC);
        canvas.Font()->Assign(Screen()->MenuFont());
        const bool selected = (info.itemState & ODS_SELECTED) != 0;
        if (item != nullptr) {
            DrawSkinnedMenuItem(Data, *item, menu, canvas, info.rcItem, selected);
        } else {
            std::unique_ptr<TMenuItem> native = NativeMenuItem(menu, id);
            DrawNativeMenuItem(Data, menu, *native, selected, info.rcItem, canvas);
        }
        canvas.SetHandle(nullptr);
    }
    Message.Result = TRUE;
    return true;
}

void ForgetPopupItems(HWND Window) noexcept
{
    if (Window != nullptr && Drawn().Window == Window)
        Drawn().Window = nullptr;
}
