// The object the skin manager keeps for each popup-menu window ("#32768") of a program it skins:
// it subclasses the window, paints the window's border from the skin's menu-background element and
// keeps the whole background, composed to the window's size, for the item painters, which lay each
// item over the piece of it that lies under the item.
//
// Where the border is: on Windows a popup menu has a thin non-client frame (WM_NCPAINT paints it);
// Wine's popup menus have none, their client area is the whole window and the menu draws its own
// border inside WM_PAINT. A popup without a non-client area gets the skin's border band after its
// own WM_PAINT instead, over the border the menu drew.
//
// A popup learns which menu it shows from the first item drawn after its background was composed
// (the platform paints a popup's frame before its items, and opens one popup at a time).
//
// The manager releases the object with Retire: released inside its own window procedure (a
// skin freed from an item's drawing), it gives the window back at once and is deleted when the
// procedure returns.
#pragma once

#include "framework/core/Object.h"
#include "framework/core/Retire.h"
#include "framework/win/Message.h"
#include "framework/win/Subclass.h"

#include <windows.h>

#include <memory>

class TBitmap;
class TSkinData;

class TWinSkinPopMenu : public TObject, public TRetirable {
public:
    // The width of the border band the skin paints around the items.
    static constexpr int BorderBand = 3;

    TWinSkinPopMenu();
    ~TWinSkinPopMenu() override;

    // Subclasses Window; its menu is not known yet.
    void Attach(HWND Window, TSkinData* Data);
    // Gives the window its own procedure back (also done at WM_DESTROY).
    void Restore() noexcept;
    bool Attached() const { return FProc.Installed(); }

    HWND Handle() const { return FHandle; }
    TSkinData* SkinData() const { return FSkinData; }
    // The menu shown in the window, once an item of it was drawn; nullptr before.
    HMENU MenuHandle() const { return FMenu; }
    void SetMenuHandle(HMENU Value) { FMenu = Value; }
    // The skinned background of the whole window as last composed; empty before.
    TBitmap* Background() const { return FBackground.get(); }
    // Where the client area's origin lies in the window (item rectangles are client coordinates).
    POINT ClientOrigin() const { return FClientOrigin; }

protected:
    void OnRetire() noexcept override { Restore(); }

private:
    void PopupWndProc(TMessage& Message);
    void SkinnedPopupMessage(TMessage& Message);
    // The skin's menu background can be drawn now.
    bool CanPaint() const;
    // Background := the element nine-sliced to the window's size; true when it was.
    bool ComposeBackground();
    // The band of BorderBand pixels around the window, from Background, straight onto DC.
    void PaintBand(HDC DC) const;
    void PaintPopupBorder(TMessage& Message);
    void PrintPopup(TMessage& Message);

    HWND FHandle = nullptr;
    TSkinData* FSkinData = nullptr;
    HMENU FMenu = nullptr;
    // Shared: popups of one size (a menu opened again) use the one composed before.
    std::shared_ptr<TBitmap> FBackground;
    POINT FClientOrigin{0, 0};
    TWindowSubclass FProc;
};

// The popup that composed its background last while it did not know its menu yet, or nullptr.
TWinSkinPopMenu* CurrentPopup();
// An item of Menu is being drawn: the current popup, if any, learns that it shows Menu.
void NoteDrawnMenu(HMENU Menu);
// The attached popup showing Menu, or nullptr.
TWinSkinPopMenu* FindPopupOf(HMENU Menu);
// The calling thread's last composed popup background, freed.
void FreePopupBackground() noexcept;
