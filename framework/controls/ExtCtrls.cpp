#include "framework/controls/ExtCtrls.h"

#include "framework/controls/Buttons.h"
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
}
