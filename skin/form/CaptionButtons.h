// The clickable objects of a skinned frame (caption buttons here, the menu-bar items elsewhere),
// and the caption buttons of one window: which are shown when, where they go, how they are drawn,
// what a click does, and the system menu.
//
// Each object has a rectangle in window coordinates and a state; its form object keeps the one
// that shows the hot or pressed look (HotObject) and moves the objects between their states.
#pragma once

#include "framework/core/Object.h"
#include "skin/data/SkinElements.h"
#include "skin/form/FrameState.h"

#include <windows.h>

#include <memory>
#include <vector>

class TBitmap;
class TCanvas;
class TSkinContent;
class TSkinData;
class TDataSkinSysButton;

class TNCObject : public TObject {
public:
    // Draws the object in its state on its window's DC.
    virtual void Paint(HDC WindowDC) = 0;

    RECT BoundsRect{0, 0, 0, 0};
    bool Visible = false;
    TButtonState State = btNone;
};

class TCaptionButtons;

class TWinSysButton : public TNCObject {
public:
    TWinSysButton(TCaptionButtons* AOwner, TDataSkinSysButton* AElement) : Owner(AOwner), Element(AElement) {}
    void Paint(HDC WindowDC) override;

    TCaptionButtons* Owner;
    TDataSkinSysButton* Element; // the skin's, not owned
};

class TCaptionButtons : public TTitleButtons {
public:
    TCaptionButtons();

    // One button per caption-button element of Skin; the old ones go. Icon (the title bar's,
    // kept by the frame painter) is what the system-menu button shows.
    void LoadCaptionButtons(TSkinData& Skin, TBitmap* Icon);
    // Drops the buttons. With KeepDropped (a button's own mouse handling may be running: its
    // system menu's loop) they are kept until the outermost call on the form returns
    // (ForgetDropped).
    void DropCaptionButtons(bool KeepDropped) noexcept;
    void ForgetDropped() noexcept { FDropped.clear(); }
    // A button (a dropped one too) points into the caption-button elements of Content.
    bool PointsInto(const TSkinContent& Content) const;
    const std::vector<std::unique_ptr<TWinSysButton>>& Items() const { return FButtons; }

    // ---- showing and placing, for the window State tells of, in the title bar Layout describes
    bool IsButtonVisible(size_t Index, const TFrameState& State);
    int PlaceButtons(const TFrameState& State, const TFrameLayout& Layout) override;
    void PaintButtons(TCanvas& Canvas, const TFrameState& State, TBitmap* Icon) override;
    void DrawSysButton(HDC WindowDC, const TWinSysButton& Button, TButtonState State) const;
    // The leftmost edge of the buttons placed from the right edge (0 when there are none).
    int RightButtonsLeft() const { return FRightButtonsLeft; }
    // The clickable button at Point (window coordinates), or nullptr.
    TWinSysButton* ButtonAt(POINT Point) const;

    // ---- what they do
    // What a click on Button asks for, for the window State tells of; Point is the click's
    // screen point.
    TFrameClick ButtonCommand(const TWinSysButton& Button, POINT Point, const TFrameState& State);
    // The system menu at Point (screen coordinates); a second one within the double-click time
    // closes the window instead.
    TFrameClick SystemMenuCommand(POINT Point);
    void SetSystemMenu(HMENU Menu) { FSysMenu = Menu; }
    HMENU SystemMenu() const { return FSysMenu; }

private:
    TBitmap* FIcon = nullptr;
    std::vector<std::unique_ptr<TWinSysButton>> FButtons;
    std::vector<std::unique_ptr<TWinSysButton>> FDropped;
    int FRightButtonsLeft = 0;
    HMENU FSysMenu = nullptr;
    DWORD FLastSysMenuTime = 0;
    DWORD FDoubleClickTime = 0;
};
