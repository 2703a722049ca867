// The skinned menu bar of a window: the skin's bar drawn in the frame below the title, one
// clickable non-client object (TMenuBtn) per top-level item of the window's menu. The buttons are
// built from the native menu (and, where it has no text, from the framework's main menu), the
// bar is painted from the skin's menu-bar element, and the buttons find themselves by point or by
// access key.
//
// A pressed button runs its item's native popup (TrackMenuButton). While the popup is open, a
// message-filter hook of this thread watches the menu's modal loop: Left and Right at the edge of
// the popup, or the mouse moving onto another button, close it and open the neighbour's, as a
// native menu bar does. Only one popup is tracked at a time in the program; the hook exists only
// while it is open.
#pragma once

#include "framework/core/Component.h"
#include "framework/win/Message.h"
#include "skin/form/CaptionButtons.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TMainMenu;
class TSkinData;
class TWinSkinForm;

class TWinSkinMenu;

class TMenuBtn : public TNCObject {
public:
    TMenuBtn(TWinSkinMenu* ABar, TSkinData* Data) : Bar(ABar), SkinData(Data) {}
    // Redraws the button in its state straight onto the window.
    void Paint(HDC WindowDC) override;

    TWinSkinMenu* Bar; // the bar it is on
    TSkinData* SkinData;
    int Index = 0;
    std::string Caption;
    bool Enabled = true;
    HMENU SubMenu = nullptr;
    UINT CommandId = 0;
};

class TWinSkinMenu : public TComponent {
public:
    // The bar of Window, which takes over the window's menu.
    TWinSkinMenu(TComponent* AOwner, HWND Window, TSkinData* Data);
    ~TWinSkinMenu() override;

    // Freeing the main menu clears the reference.
    void SetMainMenu(TMainMenu* Value);
    TMainMenu* MainMenu() const { return FMainMenu; }

    // The buttons from the window's menu, which the window then loses.
    void BuildButtons();
    // The buttons from Menu (an MDI frame's new menu); with Menu nullptr, as BuildButtons.
    void RebuildButtons(HMENU Menu);
    // Paints the bar of the window State tells of on DC into R (window coordinates), and places
    // the buttons there; a maximised MDI child's buttons among Buttons sit at its end.
    void PaintBar(HDC DC, const RECT& R, const TFrameState& State, const TCaptionButtons& Buttons);

    const std::vector<std::unique_ptr<TMenuBtn>>& Buttons() const { return FButtons; }
    HMENU MenuHandle() const { return FMenuHandle; }
    const RECT& BarRect() const { return FBarRect; }
    // The bar's background as painted, before the captions.
    TBitmap* BarBitmap() const { return FBarBitmap.get(); }

    // The first button with a caption whose rectangle holds Point (window coordinates).
    TMenuBtn* ButtonAtPoint(POINT Point) const;
    // The first enabled button whose caption has Key as its access key ("&F" for 'f').
    TMenuBtn* FindAccelButton(char Key) const;

    // The button at Index, or nullptr.
    TMenuBtn* Button(int Index) const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Build(HMENU Menu, bool ByCommand);

    HWND FWindow;
    TSkinData* FSkinData;
    TMainMenu* FMainMenu = nullptr;
    HMENU FMenuHandle = nullptr;
    RECT FBarRect{0, 0, 0, 0};
    std::unique_ptr<TBitmap> FBarBitmap;
    std::vector<std::unique_ptr<TMenuBtn>> FButtons;
};

// ---- tracking a button's popup

// Runs Button's popup under it, and the neighbours' the user slides to; true when a popup ran.
// Posts the item's command first when the item has no popup (its whole action) or is one of the
// framework's items (whose click runs as its popup opens). A disabled button opens nothing.
bool TrackMenuButton(TWinSkinForm& Form, TMenuBtn& Button);
// Posts a non-client click on Button: it opens from the message loop.
void PostMenuButtonClick(TWinSkinForm& Form, const TMenuBtn& Button);
// CM_DIALOGCHAR: Alt + an access key opens that button; true when one takes the key.
bool MenuDialogChar(TWinSkinForm& Form, WPARAM CharCode);
// WM_SYSCOMMAND SC_KEYMENU (Key is its LParam): Alt or F10 alone, and Alt + a button's access
// key, are the bar's (no native menu mode); true when the command is answered here.
bool MenuKeyCommand(TWinSkinForm& Form, LPARAM Key);
// WM_MENUSELECT at the owner of the tracked popup: the selected item, or the menu closing.
void MenuItemSelected(TWinSkinForm& Form, WPARAM WParam, LPARAM LParam);
// The popup of Form's bar is over (the form's MenuTracking goes false).
void EndMenuTracking(TWinSkinForm& Form);
// The tracked button's index (-1 when none) and whether the filter hook is installed.
int TrackedMenuIndex();
bool MenuFilterInstalled();
// Form goes away: the tracking forgets it (its popup closes with its window).
void ForgetMenuTracking(const TWinSkinForm& Form) noexcept;

// WM_MEASUREITEM and WM_DRAWITEM at Form's window for the items of the popup it shows with
// TSkinnedPopupItems, which the skin measures and draws; false for any other item (the host's own
// owner-drawn ones).
bool MenuItemMessage(TWinSkinForm& Form, TMessage& Message);

// While it lives, the items of Menu and of its sub-menus are owner-drawn and Form's window
// measures and draws them from the skin (a popup of the bar, the system menu); then they get their
// own types back. One at a time in the program.
// WM_INITMENUPOPUP at Form's window, after the host's handling: the items of Popup that are not
// owner-drawn (added or retyped by the host as it opens) are marked too, while Form's popup is open.
void MarkOpeningPopup(TWinSkinForm& Form, HMENU Popup);

class TSkinnedPopupItems {
public:
    TSkinnedPopupItems(TWinSkinForm& Form, HMENU Menu);
    ~TSkinnedPopupItems();
    TSkinnedPopupItems(const TSkinnedPopupItems&) = delete;
    TSkinnedPopupItems& operator=(const TSkinnedPopupItems&) = delete;

private:
    bool FActive = false;
};

// Marks every item of Menu and of its sub-menus owner-drawn, for the skin's item drawing; gives
// back what it changed with RestoreItemTypes (the host's menu keeps its own items).
// An item is found again by what it is (its id, or its sub-menu), not by its place, which the host
// may change while the popup is open; one the host removed or made anew keeps what it has.
struct TItemTypeMark {
    HMENU Menu;
    UINT Type;
    UINT Id;
    HMENU SubMenu;
};
std::vector<TItemTypeMark> SetOwnerDrawItems(HMENU Menu, bool SubMenus);
void RestoreItemTypes(const std::vector<TItemTypeMark>& Marks);
