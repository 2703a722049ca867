// Tab controls from the skin's "Tabs" element, in any of the four tab positions. The skin paints
// the whole control, the control's own paint left out: the page's ground in the skin's face colour,
// the tabs composed as one horizontal strip off-screen (frame 2 for the focused tab) and turned
// into place for vertical tabs, and the element's "Border" around the page. The tab and border
// pictures are prepared once per skin, flipped for tabs at the bottom and the border turned for
// tabs at the side. The control's scroll arrows get an up-down adaptor.
#pragma once

#include "skin/controls/WinSubClass.h"

#include <memory>
#include <vector>

class TSkinUpDown;

class TSkinTab : public TSkinControl {
    DECLARE_CLASS(TSkinTab, TSkinControl)
public:
    explicit TSkinTab(TComponent* AOwner);
    ~TSkinTab() override;
    // The base attach, the window's state, the prepared pictures and the arrows.
    void AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas) override;
    // Gives the window back with its own tabs drawn again; the arrows' adaptor goes with it.
    void Detach() override;
    void SkinChanged() override { PrepareTabBitmaps(); }
    void PaintTo(HDC DC, const RECT& R) override;
    // Whether the skin paints the control: it has the tab frames and the page border.
    bool PaintsWhole() const;

    // 0 top, 1 bottom, 2 left, 3 right, from the window's style.
    int TabPosition() const;
    // The tab and border pictures oriented for the tab position; kept when the skin has none.
    void PrepareTabBitmaps();
    // Whether the control shows its scroll arrows (skinned once found).
    bool FindArrows();
    TSkinUpDown* Arrows() const { return FArrows; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // With the skin's pictures, WM_PAINT and WM_ERASEBKGND are the skin's: the control's own
    // paint is not called.
    bool BeforeMessage(TMessage& Message) override;

private:
    // The arrows' rectangle, in the control's coordinates, left out of what DC paints.
    void LeaveOutArrows(HDC DC);
    int FTabPosition = 0;
    std::unique_ptr<TBitmap> FTabImage;
    std::unique_ptr<TBitmap> FBorderImage;
    std::unique_ptr<TBitmap> FStrip;
    TSkinUpDown* FArrows = nullptr;
};

class TScroller;

// The framework's tab set: its tabs hang from its top edge, from the "Tabs" frames flipped; the
// scroller's two arrows are painted as a horizontal up-down.
class TSkinTab31 : public TSkinControl {
    DECLARE_CLASS(TSkinTab31, TSkinControl)
public:
    explicit TSkinTab31(TComponent* AOwner);
    ~TSkinTab31() override;
    void AttachControl(TWinControl* AControl, TSkinData* Data, bool ASwapColour, TCanvas* ACanvas) override;
    void Detach() override;
    void SkinChanged() override { PrepareTabBitmaps(); }
    bool BeforeMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;
    void PrepareTabBitmaps();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TBitmap> FTabImage;
    TSkinUpDown* FArrows = nullptr;
    TScroller* FScroller = nullptr;
};
