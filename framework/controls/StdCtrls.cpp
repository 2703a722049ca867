#include "framework/controls/StdCtrls.h"

#include "framework/controls/Forms.h"
#include "framework/core/Published.h"

// ---------------------------------------------------------------------------------------------
// TButtonControl

IMPLEMENT_CLASS_EMPTY(TButtonControl)

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner)
{
    // The native procedure paints the whole button and reports clicks itself (a click of our own
    // on the mouse messages would come on top of BN_CLICKED).
    SetControlStyle(TControlStyle{csOpaque});
}

TButtonControl::~TButtonControl() = default;

void TButtonControl::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    // Buttons hold no children: their windows need not be clipped out.
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
}

// ---------------------------------------------------------------------------------------------
// TButton

IMPLEMENT_CLASS(TButton)

void TButton::Publish(TClassBuilder<TButton>& b)
{
    b.Property("Default", &TButton::Default, &TButton::SetDefault)
        .Property("Cancel", &TButton::Cancel, &TButton::SetCancel)
        .Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    FTabStop = true;
    SetBounds(FLeft, FTop, 75, 25);
}

TButton::~TButton() = default;

DWORD TButton::ButtonStyle() const
{
    return FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    Params.Style |= ButtonStyle();
}

void TButton::SetDefault(bool Value)
{
    if (Value == FDefault)
        return;
    FDefault = Value;
    if (HandleAllocated()) {
        SendMessageA(FHandle, BM_SETSTYLE, ButtonStyle(), TRUE);
        Invalidate();
    }
}

void TButton::Click()
{
    if (FModalResult != 0)
        if (TCustomForm* form = ParentFormOf(this))
            form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND) {
        if (HIWORD(Message.WParam) == BN_CLICKED)
            Click();
        Message.Result = 0;
        return;
    }
    TButtonControl::WndProc(Message);
}

TCustomForm* ParentFormOf(TControl* Control)
{
    for (TControl* c = Control; c != nullptr; c = c->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            return form;
    return nullptr;
}
