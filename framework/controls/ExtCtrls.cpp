#include "framework/controls/ExtCtrls.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"

#include <algorithm>

void Frame3D(TCanvas& Canvas, RECT& Rect, TColor TopLeft, TColor BottomRight, int Width)
{
    TBrush* brush = Canvas.Brush();
    brush->SetStyle(bsSolid);
    for (int i = 0; i < Width && Rect.right > Rect.left && Rect.bottom > Rect.top; ++i) {
        brush->SetColor(TopLeft);
        Canvas.FillRect(RECT{Rect.left, Rect.top, Rect.right - 1, Rect.top + 1});
        Canvas.FillRect(RECT{Rect.left, Rect.top, Rect.left + 1, Rect.bottom - 1});
        brush->SetColor(BottomRight);
        Canvas.FillRect(RECT{Rect.right - 1, Rect.top, Rect.right, Rect.bottom});
        Canvas.FillRect(RECT{Rect.left, Rect.bottom - 1, Rect.right, Rect.bottom});
        InflateRect(&Rect, -1, -1);
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomPanel, TPanel

IMPLEMENT_CLASS_EMPTY(TCustomPanel)

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls, csClickEvents, csOpaque});
    FColor = clBtnFace;
    SetBounds(FLeft, FTop, 185, 41);
}

TCustomPanel::~TCustomPanel() = default;

void TCustomPanel::SetBevelInner(TPanelBevel Value)
{
    if (Value == FBevelInner)
        return;
    FBevelInner = Value;
    FrameChanged();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value)
{
    if (Value == FBevelOuter)
        return;
    FBevelOuter = Value;
    FrameChanged();
}

void TCustomPanel::SetBevelWidth(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FBevelWidth)
        return;
    FBevelWidth = Value;
    FrameChanged();
}

void TCustomPanel::SetBorderWidth(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FBorderWidth)
        return;
    FBorderWidth = Value;
    FrameChanged();
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::FrameChanged()
{
    Realign();
    Invalidate();
}

void TCustomPanel::AdjustClientRect(RECT& Rect)
{
    TCustomControl::AdjustClientRect(Rect);
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    InflateRect(&Rect, -inset, -inset);
}

void TCustomPanel::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}

void TCustomPanel::Paint()
{
    TCanvas& canvas = *Canvas();
    RECT r = ClientRect();
    auto bevel = [&](TPanelBevel Bevel) {
        switch (Bevel) {
        case bvRaised:
            Frame3D(canvas, r, clBtnHighlight, clBtnShadow, FBevelWidth);
            break;
        case bvLowered:
            Frame3D(canvas, r, clBtnShadow, clBtnHighlight, FBevelWidth);
            break;
        case bvSpace:
            Frame3D(canvas, r, FColor, FColor, FBevelWidth);
            break;
        case bvNone:
            break;
        }
    };
    bevel(FBevelOuter);
    Frame3D(canvas, r, FColor, FColor, FBorderWidth);
    bevel(FBevelInner);
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(FColor);
    if (r.right > r.left && r.bottom > r.top)
        canvas.FillRect(r);

    if (FCaption.empty())
        return;
    canvas.SetFont(Font());
    if (!Enabled())
        canvas.Font()->SetColor(clGrayText);
    canvas.Brush()->SetStyle(bsClear);
    UINT format = DT_SINGLELINE | DT_VCENTER;
    switch (FAlignment) {
    case taLeftJustify:
        format |= DT_LEFT;
        break;
    case taRightJustify:
        format |= DT_RIGHT;
        break;
    case taCenter:
        format |= DT_CENTER;
        break;
    }
    canvas.DrawText(FCaption, r, format);
}

IMPLEMENT_CLASS(TPanel)

void TPanel::Publish(TClassBuilder<TPanel>& b)
{
    b.Property("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner)
        .Property("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter)
        .Property("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth)
        .Property("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth)
        .Property("Alignment", &TPanel::Alignment, &TPanel::SetAlignment);
}

// ---------------------------------------------------------------------------------------------
// TCustomRadioGroup, TRadioGroup

IMPLEMENT_CLASS_EMPTY(TCustomRadioGroup)

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>())
{
    FItems->SetOnChange(BindMethod<&TCustomRadioGroup::ItemsChanged>(this));
}

TCustomRadioGroup::~TCustomRadioGroup()
{
    FItems->SetOnChange(TNotifyEvent());
    std::vector<TRadioButton*> buttons;
    buttons.swap(FButtons);
    for (TRadioButton* button : buttons)
        delete button;
}

void TCustomRadioGroup::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    if (Value == FItemIndex)
        return;
    FItemIndex = Value;
    if (FUpdating)
        return;
    FUpdating = true;
    try {
        for (int i = 0; i < ButtonCount(); ++i)
            FButtons[static_cast<size_t>(i)]->SetChecked(i == Value);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TCustomRadioGroup::SetColumns(int Value)
{
    Value = std::clamp(Value, 1, 16);
    if (Value == FColumns)
        return;
    FColumns = Value;
    ArrangeButtons();
}

void TCustomRadioGroup::ItemsChanged(TObject*)
{
    if (ComponentState().Contains(csLoading))
        return;
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    UpdateButtons();
}

void TCustomRadioGroup::Loaded()
{
    TCustomGroupBox::Loaded();
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    UpdateButtons();
}

void TCustomRadioGroup::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomGroupBox::Notification(AComponent, Operation);
    if (Operation == opRemove)
        FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), AComponent), FButtons.end());
}

void TCustomRadioGroup::ButtonClick(TObject* Sender)
{
    if (FUpdating)
        return;
    auto* button = dynamic_cast<TRadioButton*>(Sender);
    if (button == nullptr || !button->Checked())
        return;
    const auto it = std::find(FButtons.begin(), FButtons.end(), button);
    if (it == FButtons.end())
        return;
    FItemIndex = static_cast<int>(it - FButtons.begin());
    Click();
}

void TCustomRadioGroup::UpdateButtons()
{
    FUpdating = true;
    try {
        while (ButtonCount() > FItems->Count()) {
            TRadioButton* last = FButtons.back();
            FButtons.pop_back();
            delete last;
        }
        while (ButtonCount() < FItems->Count()) {
            // Owned by nobody: the buttons are the group's own parts, not components of a form.
            auto* button = new TRadioButton(nullptr);
            button->FreeNotification(this);
            button->SetOnClick(BindMethod<&TCustomRadioGroup::ButtonClick>(this));
            button->SetParent(this);
            FButtons.push_back(button);
        }
        for (int i = 0; i < ButtonCount(); ++i) {
            TRadioButton* button = FButtons[static_cast<size_t>(i)];
            button->SetCaption(FItems->Strings(i));
            button->SetChecked(i == FItemIndex);
        }
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
    ArrangeButtons();
}

void TCustomRadioGroup::AlignControls(TControl* AControl, RECT& Rect)
{
    TCustomGroupBox::AlignControls(AControl, Rect);
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons()
{
    if (FButtons.empty())
        return;
    RECT area = ClientRect();
    AdjustClientRect(area);
    InflateRect(&area, -4, 0);
    const int count = ButtonCount();
    const int rows = (count + FColumns - 1) / FColumns;
    const int columnWidth = std::max<int>((area.right - area.left) / FColumns, 0);
    const int rowHeight = std::max<int>((area.bottom - area.top) / std::max(rows, 1), 0);
    for (int i = 0; i < count; ++i) {
        const int column = i / rows;
        const int row = i % rows;
        FButtons[static_cast<size_t>(i)]->SetBounds(area.left + column * columnWidth, area.top + row * rowHeight,
                                                    columnWidth, rowHeight);
    }
}

IMPLEMENT_CLASS(TRadioGroup)

void TRadioGroup::Publish(TClassBuilder<TRadioGroup>& b)
{
    b.Property("Items", &TRadioGroup::Items, &TRadioGroup::SetItems)
        .Property("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex)
        .Property("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns);
}

// ---------------------------------------------------------------------------------------------
// TImage

IMPLEMENT_CLASS(TImage)

void TImage::Publish(TClassBuilder<TImage>& b)
{
    b.Property("Picture", &TImage::Picture, &TImage::SetPicture)
        .Property("Stretch", &TImage::Stretch, &TImage::SetStretch)
        .Property("Center", &TImage::Center, &TImage::SetCenter)
        .Property("Transparent", &TImage::Transparent, &TImage::SetTransparent);
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    FPicture->SetOnChange(BindMethod<&TImage::PictureChanged>(this));
    SetBounds(FLeft, FTop, 105, 105);
}

TImage::~TImage()
{
    FPicture->SetOnChange(TNotifyEvent());
}

void TImage::SetStretch(bool Value)
{
    if (Value == FStretch)
        return;
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value)
{
    if (Value == FCenter)
        return;
    FCenter = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Invalidate();
}

void TImage::PictureChanged(TObject*)
{
    Invalidate();
}

RECT TImage::DestRect()
{
    TGraphic* graphic = FPicture->Graphic();
    if (graphic == nullptr || graphic->Empty())
        return RECT{0, 0, 0, 0};
    if (FStretch)
        return ClientRect();
    const int w = graphic->Width();
    const int h = graphic->Height();
    if (FCenter) {
        const int x = (FWidth - w) / 2;
        const int y = (FHeight - h) / 2;
        return RECT{x, y, x + w, y + h};
    }
    return RECT{0, 0, w, h};
}

void TImage::Paint()
{
    TGraphic* graphic = FPicture->Graphic();
    if (graphic == nullptr || graphic->Empty())
        return;
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic))
        bitmap->SetTransparent(FTransparent);
    const RECT r = DestRect();
    if (FStretch)
        graphic->StretchDraw(*Canvas(), r);
    else
        graphic->Draw(*Canvas(), r.left, r.top);
}

// ---------------------------------------------------------------------------------------------

void RegisterStandardControls()
{
    RegisterComponentClass(TPanel::StaticClass());
    RegisterComponentClass(TImage::StaticClass());
    RegisterComponentClass(TButton::StaticClass());
    RegisterComponentClass(TBitBtn::StaticClass());
    for (const TClassInfo* cls :
         {&TSpeedButton::StaticClass(), &TCheckBox::StaticClass(), &TRadioButton::StaticClass(),
          &TGroupBox::StaticClass(), &TRadioGroup::StaticClass(), &TEdit::StaticClass(), &TMemo::StaticClass(),
          &TComboBox::StaticClass(), &TListBox::StaticClass(), &TScrollBar::StaticClass(),
          &TScrollBox::StaticClass()})
        RegisterComponentClass(*cls);
}
