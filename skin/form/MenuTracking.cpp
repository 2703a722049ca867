#include "skin/form/MenuTracking.h"

#include "framework/menus/Menus.h"
#include "framework/win/Callback.h"
#include "framework/win/Handles.h"
#include "skin/form/PopupItems.h"
#include "skin/form/SkinMenuBar.h"

#include <optional>

// What the program's one open popup shares with the filter hook.
struct TMenuFilter {
    static LRESULT CALLBACK Proc(int Code, WPARAM WParam, LPARAM LParam);

    THookHandle Hook;
    // The bar whose popup is open and whose tracking follows the menu's loop (nullptr once its
    // window's object is retired).
    TMenuTracking* Following = nullptr;
    // The open popup's button, as long as the popup is open.
    int Index = -1;
    bool RightToLeft = false;
};

namespace {

// Each thread tracks its own menus. Made once a thread and kept (a plain pointer: the runtime's
// destructors at a thread's end are not for the engine's objects).
TMenuFilter& Filter()
{
    static thread_local TMenuFilter* filter = nullptr;
    if (filter == nullptr)
        filter = new TMenuFilter();
    return *filter;
}

// A button a slide may go to: one with a popup to show. (Sliding onto an item without one would
// run its command, onto a disabled one end the menu: the user only meant to pass them.)
bool Opens(const TMenuBtn& Button)
{
    return Button.SubMenu != nullptr && Button.Enabled && !Button.Caption.empty();
}

// A menu whose items run right to left: the arrow keys swap.
bool IsRightToLeftMenu(HMENU Menu)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoA(Menu, 0, TRUE, &info) && (info.fType & MFT_RIGHTORDER) != 0;
}

} // namespace

LRESULT CALLBACK TMenuFilter::Proc(int Code, WPARAM WParam, LPARAM LParam)
{
    auto* msg = reinterpret_cast<MSG*>(LParam);
    if (Code == MSGF_MENU && msg != nullptr && Filter().RightToLeft &&
        (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP)) {
        if (msg->wParam == VK_LEFT)
            msg->wParam = VK_RIGHT;
        else if (msg->wParam == VK_RIGHT)
            msg->wParam = VK_LEFT;
    }
    const LRESULT next = CallNextHookEx(Filter().Hook.get(), Code, WParam, LParam);
    if (next != 0 || Code != MSGF_MENU || msg == nullptr || Filter().Following == nullptr)
        return next;
    // The skin's part runs behind the barrier: the menu's loop goes on whatever it does.
    CallGuarded([&] { Filter().Following->Follow(*msg); });
    return next;
}

TMenuTracking::~TMenuTracking()
{
    StopFollowing();
}

void TMenuTracking::StopFollowing() noexcept
{
    if (Filter().Following == this)
        Filter().Following = nullptr;
    FSwitchPending = false;
}

int TMenuTracking::TrackedIndex()
{
    return Filter().Index;
}

bool TMenuTracking::FilterInstalled()
{
    return static_cast<bool>(Filter().Hook);
}

TMenuBtn* TMenuTracking::Neighbour(bool Next) const
{
    const int n = static_cast<int>(FBar.Buttons().size());
    if (n == 0 || FIndex < 0)
        return nullptr;
    for (int step = 1; step < n; ++step) {
        const int i = Next ? (FIndex + step) % n : (FIndex + n - step) % n;
        if (TMenuBtn* button = FBar.Button(i); button != nullptr && Opens(*button))
            return button;
    }
    return nullptr;
}

void TMenuTracking::Follow(const MSG& Msg)
{
    if (!FFirstKeySent) {
        // The popup opens with its first item selected, as a native bar's does from the keyboard.
        FFirstKeySent = true;
        PostMessageA(Msg.hwnd, WM_KEYDOWN, VK_DOWN, 0);
    }
    TMenuBtn* target = nullptr;
    switch (Msg.message) {
    case WM_KEYDOWN:
        switch (Msg.wParam) {
        case VK_RETURN:
        case VK_ESCAPE:
            FSwitchPending = false;
            break;
        case VK_LEFT:
            // Inside a deeper sub-menu, Left closes that sub-menu (the menu's own doing).
            if (FCurrentMenu == nullptr || FCurrentMenu == FPopup)
                target = Neighbour(false);
            break;
        case VK_RIGHT:
            // On an item with a sub-menu, Right opens it (the menu's own doing).
            if (FCurrentMenu == nullptr || !FCurrentOpens)
                target = Neighbour(true);
            break;
        default:
            break;
        }
        break;
    case WM_SYSKEYDOWN:
        if (Msg.wParam == VK_MENU)
            FActive = false;
        return;
    case WM_MOUSEMOVE:
        if (Msg.pt.x != FLastCursor.x || Msg.pt.y != FLastCursor.y) {
            FLastCursor = Msg.pt;
            target = FBar.ButtonAtPoint(FBar.ScreenToBar(Msg.pt));
        }
        break;
    default:
        break;
    }
    if (target != nullptr && Opens(*target) && target->Index != FIndex && !FSwitchPending) {
        FSwitchPending = true;
        FSwitchTo = target->Index;
        EndMenu();
    }
}

void TMenuTracking::MenuSelected(WPARAM WParam, LPARAM LParam)
{
    if (!FActive)
        return;
    const UINT flags = HIWORD(WParam);
    const auto menu = reinterpret_cast<HMENU>(LParam);
    if (flags == 0xFFFF && menu == nullptr) {
        // The menu is closing.
        if (!FSwitchPending)
            FActive = false;
        return;
    }
    FCurrentMenu = menu;
    FCurrentOpens = (flags & MF_POPUP) != 0;
}

bool TMenuTracking::PostsCommand(const TMenuBtn& Button) const
{
    if (!Button.Enabled)
        return false; // a native bar sends no command for a disabled item
    if (Button.SubMenu == nullptr)
        return Button.CommandId != 0;
    // An item with a popup has its handle for an id: only a framework item's command means
    // anything to the window.
    TMainMenu* menu = FBar.MainMenu();
    return menu != nullptr && Button.CommandId != 0 && menu->FindItem(Button.CommandId, TMenu::fkCommand) != nullptr;
}

int TMenuTracking::Track(TMenuBtn& Button)
{
    if (Filter().Following != nullptr || Filter().Hook)
        return -1; // a popup of some bar is open already
    const HWND window = FBar.Window();
    if (PostsCommand(Button))
        PostMessageA(window, WM_COMMAND, Button.CommandId, 0);
    if (Button.SubMenu == nullptr || !Button.Enabled)
        return -1;
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const POINT at{bounds.left + Button.BoundsRect.left, bounds.top + Button.BoundsRect.bottom};

    // The state, the hook and the items drawn from the skin, each restored on every way out of
    // the popup, an exception's too.
    struct TScope {
        TMenuTracking& Tracking;
        ~TScope()
        {
            Filter().Hook.reset();
            Filter().Index = -1;
            Tracking.StopFollowing();
            Tracking.FActive = false;
            Tracking.FCurrentMenu = nullptr;
            Tracking.FFirstKeySent = false;
        }
    } scope{*this};
    FIndex = Button.Index;
    FPopup = Button.SubMenu;
    FActive = true;
    FSwitchPending = false;
    FSwitchTo = -1;
    FFirstKeySent = false;
    FCurrentMenu = nullptr;
    FCurrentOpens = false;
    GetCursorPos(&FLastCursor);
    Filter().Following = this;
    Filter().Index = Button.Index;
    Filter().RightToLeft = IsRightToLeftMenu(Button.SubMenu);
    Filter().Hook.reset(SetWindowsHookExA(WH_MSGFILTER, TMenuFilter::Proc, nullptr, GetCurrentThreadId()));
    TSkinnedPopupItems items(window, FBar.SkinData(), Button.SubMenu);
    // The button may go while the popup is open (the bar rebuilt, the skin switched off): nothing
    // below touches it.
    TrackPopupMenu(FPopup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    return FSwitchPending ? FSwitchTo : -1;
}
