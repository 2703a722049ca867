// Tracking the popups of a skinned menu bar. The bar owns one TMenuTracking; a pressed button's
// native popup runs under it (Track), and a WH_MSGFILTER hook that lives only while the popup is
// open watches the menu's modal loop: Left and Right at the edge of the popup, or the mouse moving
// onto another button, end the open popup (EndMenu), and Track answers with the button the user
// slid to, whose popup the caller opens next: never a popup tracked inside another's modal loop.
// One popup is tracked at a time in the program.
#pragma once

#include <windows.h>

class TMenuBtn;
class TWinSkinMenu;

class TMenuTracking {
public:
    explicit TMenuTracking(TWinSkinMenu& Bar) : FBar(Bar) {}
    ~TMenuTracking();
    TMenuTracking(const TMenuTracking&) = delete;
    TMenuTracking& operator=(const TMenuTracking&) = delete;

    // Runs Button's popup under it. Posts the item's command first when the item has no popup (its
    // whole action) or is one of the framework's items (whose click runs as its popup opens); a
    // disabled button opens nothing. The index of the button the user slid to, whose popup should
    // open next, or -1 (the menu closed, or no popup ran: nothing open, or another bar's is).
    int Track(TMenuBtn& Button);
    // A popup of the bar is open, as far as the bar is concerned: from Track until the menu says
    // it closes, or Alt ends it.
    bool Active() const { return FActive; }
    // The open popup's native menu, or nullptr.
    HMENU Popup() const { return FActive ? FPopup : nullptr; }
    // WM_MENUSELECT at the bar's window: the selected item, or the menu closing.
    void MenuSelected(WPARAM WParam, LPARAM LParam);
    // The window's object is retired inside the popup: the loop is no longer followed.
    void StopFollowing() noexcept;

    // The program's tracked button's index (-1 when none) and whether the filter hook is installed.
    static int TrackedIndex();
    static bool FilterInstalled();

private:
    friend struct TMenuFilter;
    // What the bar does with a message of the menu's loop.
    void Follow(const MSG& Msg);
    // The nearest button after (Next) or before the tracked one that opens a popup, wrapping.
    TMenuBtn* Neighbour(bool Next) const;
    // Whether Button's command may be posted to the bar's window.
    bool PostsCommand(const TMenuBtn& Button) const;

    TWinSkinMenu& FBar;
    bool FActive = false;
    HMENU FPopup = nullptr;
    int FIndex = -1;
    // The menu holding the selected item, and whether that item opens a sub-menu.
    HMENU FCurrentMenu = nullptr;
    bool FCurrentOpens = false;
    bool FRightToLeft = false;
    POINT FLastCursor{0, 0};
    bool FSwitchPending = false;
    int FSwitchTo = -1;
    bool FFirstKeySent = false;
};
