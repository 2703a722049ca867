// Push buttons painted from the skin's "Buttons" element: plain push buttons (framework buttons
// and dialog buttons), bit buttons with a glyph beside the caption, and windowless speed buttons
// with a Down state. The hot look is exclusive among a form's buttons (the form object's
// HotButton slot).
#pragma once

#include "skin/controls/WinSubClass.h"

#include <memory>

class TGraphicControl;
class TSpeedButton;

// Where glyph and caption go on a client of Width x Height, and how the caption is aligned.
struct TSkinButtonLayout {
    POINT GlyphPos{0, 0};
    POINT TextPos{0, 0};
    UINT Alignment = DT_LEFT;
};

class TSkinButton : public TSkinControl {
    DECLARE_CLASS(TSkinButton, TSkinControl)
public:
    explicit TSkinButton(TComponent* AOwner);
    ~TSkinButton() override;

    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;

    // Layout 0 glyph left, 1 right, 2 top, 3 bottom; Margin or Spacing -1 share the room out.
    // A speed button's computed margin is one pixel more.
    static TSkinButtonLayout CalcButtonLayout(POINT Client, POINT Glyph, POINT Text, int Layout, int Margin,
                                              int Spacing, bool SpeedButton = false);

protected:
    // 1 normal, 2 pressed, 3 disabled, 4 hot or focused.
    virtual int ButtonState();
    TColor TextColour(int State) const;
    // The state read from the window before a paint (the caption falls back on the control's).
    void RefreshButtonState();
    // Draws face and frame of State into the off-screen bitmap sized to R, the control's font
    // selected; false when the skin has no button image.
    bool PrepareFace(const RECT& R, int State);
    void BecomeHot();

    std::unique_ptr<TBitmap> FBuffer;
};

class TSkinBitButton : public TSkinButton {
    DECLARE_CLASS(TSkinBitButton, TSkinButton)
public:
    explicit TSkinBitButton(TComponent* AOwner) : TSkinButton(AOwner) {}
    void PaintTo(HDC DC, const RECT& R) override;

protected:
    int ButtonState() override;
};

// A windowless speed button: its own WindowProc is hooked; Down wins over every other state.
class TSkinSpeedButton : public TSkinBitButton {
    DECLARE_CLASS(TSkinSpeedButton, TSkinBitButton)
public:
    explicit TSkinSpeedButton(TComponent* AOwner) : TSkinBitButton(AOwner) {}

    void AttachGraphicControl(TSpeedButton* Button, TSkinData* Data, TCanvas* ACanvas);
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void Repaint(HDC DC) override;
    void PaintSpeedButton(TCanvas& Canvas, const RECT& R);
    TSpeedButton* Button() const;

protected:
    int ButtonState() override;
};
