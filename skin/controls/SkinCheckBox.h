// Check boxes and radio buttons let the control paint itself (caption, focus, background) and
// then paint the skin's check or radio image over the box; panels, group boxes and the like only
// take the skin's ButtonFace colour while they are skinned.
#pragma once

#include "skin/controls/WinSubClass.h"

// The box of a check or radio image Width x Height in R: centred vertically, and centred in a
// 14-pixel column at the box side when it is narrower than 15 pixels (BoxRight: BS_LEFTTEXT).
RECT CheckBoxRect(const RECT& R, int Width, int Height, bool BoxRight);

class TSkinCheckBox : public TSkinControl {
    DECLARE_CLASS(TSkinCheckBox, TSkinControl)
public:
    explicit TSkinCheckBox(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;

protected:
    virtual bool IsChecked();
    // The strip (CheckButton or RadioButton) and its frame count.
    virtual TBitmap* Strip(int& Frames) const;
    void PaintBox(HDC DC, const RECT& R);
    // The framework control's published "Checked", when it has one: 1 true, 0 false, -1 none.
    int CheckedProperty() const;
};

class TSkinRadioButton : public TSkinCheckBox {
    DECLARE_CLASS(TSkinRadioButton, TSkinCheckBox)
public:
    explicit TSkinRadioButton(TComponent* AOwner) : TSkinCheckBox(AOwner) {}

protected:
    bool IsChecked() override;
    TBitmap* Strip(int& Frames) const override;
};

// Takes the skin's ButtonFace colour; installs no hook and paints nothing.
class TSkinBox : public TSkinControl {
    DECLARE_CLASS(TSkinBox, TSkinControl)
public:
    explicit TSkinBox(TComponent* AOwner) : TSkinControl(AOwner) {}
    void AttachControl(TWinControl* AControl, TSkinData* Data, bool ASwapColour, TCanvas* ACanvas) override;
    void AfterMessage(TMessage&) override {}
    void PaintTo(HDC, const RECT&) override {}
};

// A dialog inside a skinned window (the extra part of a file dialog, a property page): its ground
// and its labels' ground in the skin's face colour, as the window's own, where the program left
// the platform's (the dialog erases with the ground its colour message gives).
class TSkinDialogPane : public TSkinControl {
    DECLARE_CLASS(TSkinDialogPane, TSkinControl)
public:
    explicit TSkinDialogPane(TComponent* AOwner) : TSkinControl(AOwner) {}
    void AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas) override;
    void Detach() override;
    void AfterMessage(TMessage& Message) override;
    void PaintTo(HDC, const RECT&) override {}
};
