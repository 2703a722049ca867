// The items of a popup a skinned window shows (a popup of its menu bar, its system menu), drawn
// from the skin: while a TSkinnedPopupItems lives, the popup's items are owner-drawn and the
// window's WM_MEASUREITEM and WM_DRAWITEM for them are answered from the skin (MenuItemMessage);
// then the items get their own types back. One such popup at a time in the program.
#pragma once

#include "framework/win/Message.h"

#include <windows.h>

#include <vector>

class TMainMenu;
class TSkinData;

// Marks every item of Menu (and, with SubMenus, of its sub-menus) owner-drawn, for the skin's
// item drawing; gives back what it changed with RestoreItemTypes (the host's menu keeps its own
// items). An item is found again by what it is (its id, or its sub-menu), not by its place, which
// the host may change while the popup is open; one the host removed or made anew keeps what it has.
struct TItemTypeMark {
    HMENU Menu;
    UINT Type;
    UINT Id;
    HMENU SubMenu;
};
std::vector<TItemTypeMark> SetOwnerDrawItems(HMENU Menu, bool SubMenus);
void RestoreItemTypes(const std::vector<TItemTypeMark>& Marks);

class TSkinnedPopupItems {
public:
    // The items of Menu and of its sub-menus, shown by Window skinned from Data (nothing happens
    // without Data, or while another window's popup is drawn).
    TSkinnedPopupItems(HWND Window, const TSkinData* Data, HMENU Menu);
    ~TSkinnedPopupItems();
    TSkinnedPopupItems(const TSkinnedPopupItems&) = delete;
    TSkinnedPopupItems& operator=(const TSkinnedPopupItems&) = delete;

private:
    bool FActive = false;
};

// WM_INITMENUPOPUP at Window, after the host's handling: the items of Popup that are not
// owner-drawn (added or retyped by the host as it opens) are marked too, while Window's popup is
// drawn.
void MarkOpeningPopup(HWND Window, HMENU Popup);
// WM_MEASUREITEM and WM_DRAWITEM at Window for the items of the popup it shows, measured and drawn
// from Data; MainMenu is the framework's main menu of the window, if any (the skin draws all its
// items, owner-drawn ones included). False for any other item (the host's own owner-drawn ones).
bool MenuItemMessage(HWND Window, TSkinData& Data, TMainMenu* MainMenu, TMessage& Message);
// Window's object goes: its popup's items are no longer answered (their types still come back
// when the popup closes).
void ForgetPopupItems(HWND Window) noexcept;
