// Buttons over the system BUTTON class.
//
// TButtonControl is the common base of controls made from BUTTON windows: the native procedure
// paints them and reports clicks to the parent, which reflects them back as CN_COMMAND. TButton is
// the push button: a click runs OnClick and, with a ModalResult, sets the form's.
#pragma once

#include "framework/controls/Controls.h"

class TCustomForm;

class TButtonControl : public TWinControl {
    DECLARE_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* AOwner);
    ~TButtonControl() override;

protected:
    void CreateParams(TCreateParams& Params) override;
};

class TButton : public TButtonControl {
    DECLARE_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);
    ~TButton() override;

    // The default button of its form: drawn with the heavier frame (BS_DEFPUSHBUTTON).
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // The button that Escape stands for on its form (kept for the form to look at).
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Non-zero: a click sets the ModalResult of the form the button is on.
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }

    // Sets the form's ModalResult (when the button has one), then runs OnClick.
    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    // The BS_ type of the window: push or default push button.
    virtual DWORD ButtonStyle() const;

private:
    bool FDefault = false;
    bool FCancel = false;
    int FModalResult = 0;
};

// The form Control is on: the nearest parent that is a form, or nullptr.
TCustomForm* ParentFormOf(TControl* Control);
