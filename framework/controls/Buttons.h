// Buttons with a glyph.
//
// TBitBtn is an owner-drawn push button: the BUTTON window keeps the behaviour (focus, pressing,
// BN_CLICKED) and asks for every picture with WM_DRAWITEM, which the parent reflects as
// CN_DRAWITEM; the button paints face, glyph and caption off-screen and copies them in at once.
//
// The glyph is a bitmap of NumGlyphs images of equal width side by side: up, disabled, clicked,
// down. Its bottom-left pixel is the transparent colour. Kind gives a stock caption, glyph and
// modal result.
#pragma once

#include "framework/controls/StdCtrls.h"
#include "framework/graphics/Bitmap.h"

#include <memory>

PUBLISHED_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
PUBLISHED_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore,
               bkAll)

// Where a glyph of GlyphSize and a caption of TextSize go in Client.
//
// Along the layout's axis (x for blGlyphLeft/Right, y for blGlyphTop/Bottom): Margin is the
// distance from the glyph's edge of Client to the glyph, Spacing the gap between glyph and
// caption. Margin -1 centres glyph and caption together (with Spacing -1 as well, the three gaps
// are equal); Spacing -1 with a margin centres the caption in the room between the glyph and the
// far edge. Across the axis both are centred. Without a glyph or a caption there is no gap.
struct TButtonGlyphLayout {
    RECT Glyph{};
    RECT Text{};
};
TButtonGlyphLayout CalcButtonLayout(const RECT& Client, SIZE GlyphSize, SIZE TextSize, TButtonLayout Layout,
                                    int Margin, int Spacing);

class TBitBtn : public TButton {
    DECLARE_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    // Setting copies Value and repaints. Changes made to the bitmap in place show on the next
    // repaint.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    // 1 to 4 (values outside are brought into range).
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

    // Anything but bkCustom sets Caption, Glyph (two images: normal and disabled), ModalResult,
    // and Default (bkOK, bkYes) or Cancel (bkCancel, bkNo) at the time it is set. While the
    // button is read from a description, a caption read before stays.
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Value);

    // The layout on the button's client area, unpressed (pressed, both move by one pixel right and
    // down). Empty rectangles for what is not there.
    RECT GlyphRect();
    RECT TextRect();
    TButtonGlyphLayout CalcLayout();

protected:
    void WndProc(TMessage& Message) override;
    DWORD ButtonStyle() const override;

private:
    // Draws the whole button into the off-screen bitmap: State is the ODS_ flags.
    void DrawButton(TBitmap& Target, UINT State);
    SIZE GlyphSize() const;
    // The image Index (0 = up) of the glyph as a bitmap of its own, or nullptr when it has none.
    std::unique_ptr<TBitmap> GlyphImage(int Index);
    SIZE TextSize(HDC DC);

    std::unique_ptr<TBitmap> FGlyph;
    std::unique_ptr<TBitmap> FBuffer;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TBitBtnKind FKind = bkCustom;
};

// A windowless button: face, glyph and caption painted by itself, pressed and clicked by the
// mouse messages its parent passes on. With a GroupIndex it stays Down after a click, and the
// other speed buttons of the same parent and group come up (AllowAllUp lets a click raise the one
// that is down). Flat buttons show their frame only while the mouse is over them or they are down.
class TSpeedButton : public TGraphicControl {
    DECLARE_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // Without a GroupIndex a button is never down.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // The mouse button is held on it with the cursor inside.
    bool Pressed() const { return FPressed; }

    TButtonGlyphLayout CalcLayout();

protected:
    void WndProc(TMessage& Message) override;
    void Paint() override;

private:
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FTracking = false;
    bool FPressed = false;
    bool FHot = false;
};

// The stock glyph of Kind (18 x 18 pixels per image: normal, disabled), drawn here; an empty
// bitmap for bkCustom.
std::unique_ptr<TBitmap> CreateKindGlyph(TBitBtnKind Kind);
