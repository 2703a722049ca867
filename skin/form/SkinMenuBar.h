// The skinned menu bar of a window: the skin's bar drawn in the frame below the title, one
// clickable non-client object (TMenuBtn) per top-level item of the window's menu. The buttons are
// built from the native menu (and, where it has no text, from the framework's main menu), the
// bar is painted from the skin's menu-bar element, and the buttons find themselves by point or by
// access key.
//
// A pressed button runs its item's native popup through the bar's tracking (MenuTracking.h), which
// slides to the neighbours' popups as a native menu bar does. The keyboard opens the bar's
// buttons too: Alt or F10 alone the first, Alt and an access key its button.
#pragma once

#include "framework/core/Component.h"
#include "framework/win/Message.h"
#include "skin/form/CaptionButtons.h"
#include "skin/form/MenuTracking.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TMainMenu;
class TSkinData;

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

    HWND Window() const { return FWindow; }
    TSkinData* SkinData() const { return FSkinData; }
    // A screen point in window coordinates.
    POINT ScreenToBar(POINT Screen) const;

    // ---- opening the buttons' popups
    TMenuTracking& Tracking() { return FTracking; }
    const TMenuTracking& Tracking() const { return FTracking; }
    // Posts a non-client click on Button: its popup opens from the message loop.
    void PostButtonClick(const TMenuBtn& Button) const;
    // CM_DIALOGCHAR: Alt + an access key opens that button; true when one takes the key.
    bool DialogChar(WPARAM CharCode) const;
    // WM_SYSCOMMAND SC_KEYMENU (Key is its LParam): Alt or F10 alone, and Alt + a button's access
    // key, are the bar's (no native menu mode); true when the command is answered here.
    bool KeyCommand(LPARAM Key) const;

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
    TMenuTracking FTracking{*this};
};

