#include "framework/controls/Buttons.h"

#include "framework/controls/Forms.h"
#include "framework/core/Published.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The colour every stock glyph is drawn on (its bottom-left pixel, so the transparent one).
constexpr TColor GlyphBackground = clOlive;
constexpr int KindGlyphSize = 18;

void PutPixel(TBitmap& Bitmap, int X, int Y, COLORREF Rgb)
{
    if (X < 0 || Y < 0 || X >= Bitmap.Width() || Y >= Bitmap.Height())
        return;
    uint8_t* p = Bitmap.ScanLine(Y) + X * 4;
    p[0] = GetBValue(Rgb);
    p[1] = GetGValue(Rgb);
    p[2] = GetRValue(Rgb);
    p[3] = 0;
}

// A 32-bit bitmap of one colour.
std::unique_ptr<TBitmap> FilledBitmap(int Width, int Height, COLORREF Rgb)
{
    auto bitmap = std::make_unique<TBitmap>(Width, Height, pf32bit);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            PutPixel(*bitmap, x, y, Rgb);
    return bitmap;
}

// The greyed form of Source: where Source is not Transparent, the shadow colour, with the
// highlight one pixel right and down below it (an engraved look).
std::unique_ptr<TBitmap> GreyedImage(TBitmap& Source, TColor Transparent)
{
    const int w = Source.Width();
    const int h = Source.Height();
    const COLORREF transparent = ColorToRGB(Transparent);
    auto result = FilledBitmap(w, h, transparent);
    const COLORREF highlight = ColorToRGB(clBtnHighlight);
    const COLORREF shadow = ColorToRGB(clBtnShadow);
    auto opaque = [&](int x, int y) {
        return static_cast<COLORREF>(Source.PixelColor(x, y)) != transparent;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (opaque(x, y))
                PutPixel(*result, x + 1, y + 1, highlight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (opaque(x, y))
                PutPixel(*result, x, y, shadow);
    result->SetTransparentColor(static_cast<TColor>(transparent));
    result->SetTransparent(true);
    return result;
}

// Pixel art for the stock glyphs: shapes made of thick segments, rings and discs, in image
// coordinates of pixel centres.
struct TSegment {
    double X1, Y1, X2, Y2;
};

double DistanceToSegment(double X, double Y, const TSegment& s)
{
    const double dx = s.X2 - s.X1;
    const double dy = s.Y2 - s.Y1;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((X - s.X1) * dx + (Y - s.Y1) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double px = s.X1 + t * dx - X;
    const double py = s.Y1 + t * dy - Y;
    return std::sqrt(px * px + py * py);
}

class TGlyphPainter {
public:
    explicit TGlyphPainter(TBitmap& Bitmap) : FBitmap(Bitmap) {}

    void Segments(std::initializer_list<TSegment> List, double Thickness, TColor Color)
    {
        Each([&](double x, double y) {
            for (const TSegment& s : List)
                if (DistanceToSegment(x, y, s) <= Thickness / 2)
                    return true;
            return false;
        }, Color);
    }
    // The ring between radii R1 and R2 around (CX, CY), where Keep says so.
    template <class F> void Ring(double CX, double CY, double R1, double R2, F Keep, TColor Color)
    {
        Each([&](double x, double y) {
            const double d = std::hypot(x - CX, y - CY);
            return d >= R1 && d <= R2 && Keep(x - CX, y - CY);
        }, Color);
    }
    void Disc(double CX, double CY, double R, TColor Color)
    {
        Ring(CX, CY, -1, R, [](double, double) { return true; }, Color);
    }
    void Box(int Left, int Top, int Right, int Bottom, TColor Color)
    {
        for (int y = Top; y < Bottom; ++y)
            for (int x = Left; x < Right; ++x)
                PutPixel(FBitmap, x, y, ColorToRGB(Color));
    }

private:
    template <class F> void Each(F Inside, TColor Color)
    {
        const COLORREF rgb = ColorToRGB(Color);
        for (int y = 0; y < KindGlyphSize; ++y)
            for (int x = 0; x < KindGlyphSize; ++x)
                if (Inside(x, y))
                    PutPixel(FBitmap, x, y, rgb);
    }

    TBitmap& FBitmap;
};

void PaintKindImage(TBitmap& Image, TBitBtnKind Kind)
{
    TGlyphPainter p(Image);
    const TColor checkGreen = 0x00A000;
    switch (Kind) {
    case bkOK:
    case bkYes:
        p.Segments({{3, 9, 7, 13}, {7, 13, 14, 4}}, 2.6, checkGreen);
        break;
    case bkAll:
        p.Segments({{1, 9, 4, 12}, {4, 12, 9, 4}, {7, 9, 10, 12}, {10, 12, 15, 4}}, 2.2, checkGreen);
        break;
    case bkCancel:
    case bkNo:
    case bkAbort:
        p.Segments({{4, 4, 13, 13}, {13, 4, 4, 13}}, 2.6, clRed);
        break;
    case bkClose:
        // An open door in dark red: the frame, the door leaf and its knob.
        p.Box(3, 2, 15, 16, clMaroon);
        p.Box(5, 4, 13, 16, 0x000060);
        p.Box(10, 9, 12, 11, clYellow);
        break;
    case bkHelp:
        p.Ring(8.5, 5.5, 2.0, 4.2, [](double x, double y) { return y <= 0.5 || x > 0; }, clNavy);
        p.Segments({{8.5, 9.0, 8.5, 11.0}}, 2.6, clNavy);
        p.Disc(8.5, 14.0, 1.5, clNavy);
        break;
    case bkRetry:
        p.Ring(8.5, 8.5, 3.4, 5.8, [](double x, double y) { return !(x > 0 && y < 0 && x > -y * 0.2); }, checkGreen);
        p.Segments({{9.5, 1.5, 12.5, 3.5}, {12.5, 3.5, 9.5, 6.5}}, 2.0, checkGreen);
        break;
    case bkIgnore:
        p.Segments({{3, 8.5, 14, 8.5}, {10, 4.5, 14, 8.5}, {10, 12.5, 14, 8.5}}, 2.2, clTeal);
        break;
    case bkCustom:
        break;
    }
}

const char* KindCaption(TBitBtnKind Kind)
{
    switch (Kind) {
    case bkOK: return "OK";
    case bkCancel: return "Cancel";
    case bkHelp: return "&Help";
    case bkYes: return "&Yes";
    case bkNo: return "&No";
    case bkClose: return "&Close";
    case bkAbort: return "Abort";
    case bkRetry: return "&Retry";
    case bkIgnore: return "&Ignore";
    case bkAll: return "&All";
    case bkCustom: break;
    }
    return "";
}

int KindModalResult(TBitBtnKind Kind)
{
    switch (Kind) {
    case bkOK: return mrOk;
    case bkCancel: return mrCancel;
    case bkYes: return mrYes;
    case bkNo: return mrNo;
    case bkClose: return mrClose;
    case bkAbort: return mrAbort;
    case bkRetry: return mrRetry;
    case bkIgnore: return mrIgnore;
    case bkAll: return mrAll;
    case bkHelp:
    case bkCustom: break;
    }
    return mrNone;
}

// The images of a glyph strip, shared by the glyph buttons.
enum TGlyphImage { giUp = 0, giDisabled = 1, giClicked = 2, giDown = 3 };

SIZE GlyphCellSize(const TBitmap& Glyph, int NumGlyphs)
{
    if (Glyph.Empty() || NumGlyphs < 1)
        return SIZE{0, 0};
    return SIZE{Glyph.Width() / NumGlyphs, Glyph.Height()};
}

// Image Index of the strip as a bitmap of its own, transparent in the strip's colour; nullptr
// when there is no such image.
std::unique_ptr<TBitmap> GlyphCell(TBitmap& Glyph, int NumGlyphs, int Index)
{
    if (Glyph.Empty() || Index < 0 || Index >= NumGlyphs)
        return nullptr;
    const SIZE size = GlyphCellSize(Glyph, NumGlyphs);
    if (size.cx <= 0)
        return nullptr;
    GdiFlush();
    const TColor transparent = Glyph.TransparentColor();
    auto image = std::make_unique<TBitmap>(size.cx, size.cy, pf32bit);
    const int left = Index * size.cx;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            PutPixel(*image, x, y, static_cast<COLORREF>(Glyph.PixelColor(left + x, y)));
    image->SetTransparentColor(static_cast<TColor>(ColorToRGB(transparent)));
    image->SetTransparent(true);
    return image;
}

// Draws the image of the strip for Which at (X, Y): a missing disabled image is the up one
// greyed, any other missing image the up one.
void DrawGlyphImage(TCanvas& Canvas, TBitmap& Glyph, int NumGlyphs, TGlyphImage Which, int X, int Y)
{
    if (Glyph.Empty())
        return;
    std::unique_ptr<TBitmap> image = GlyphCell(Glyph, NumGlyphs, Which);
    if (!image && Which == giDisabled)
        if (auto up = GlyphCell(Glyph, NumGlyphs, giUp))
            image = GreyedImage(*up, up->TransparentColor());
    if (!image)
        image = GlyphCell(Glyph, NumGlyphs, giUp);
    if (image)
        image->Draw(Canvas, X, Y);
}

SIZE CaptionSize(HDC DC, const std::string& Caption)
{
    if (Caption.empty())
        return SIZE{0, 0};
    RECT r{0, 0, 0, 0};
    DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// The caption in the canvas font's colour, or engraved when Disabled.
void DrawButtonCaption(TCanvas& Canvas, const std::string& Caption, const RECT& Rect, bool Disabled)
{
    if (Caption.empty())
        return;
    Canvas.Brush()->SetStyle(bsClear);
    const UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP;
    RECT r = Rect;
    if (Disabled) {
        OffsetRect(&r, 1, 1);
        Canvas.Font()->SetColor(clBtnHighlight);
        Canvas.DrawText(Caption, r, format);
        r = Rect;
        Canvas.Font()->SetColor(clBtnShadow);
    }
    Canvas.DrawText(Caption, r, format);
}

// The number of images a strip of square images shows it has (2 to 4), or 0.
int SquareImageCount(const TBitmap& Glyph)
{
    const int w = Glyph.Width();
    const int h = Glyph.Height();
    if (h > 0 && w % h == 0 && w / h >= 2 && w / h <= 4)
        return w / h;
    return 0;
}

// The layout of a glyph strip and a caption in Client, measured with Font.
TButtonGlyphLayout MeasureLayout(const RECT& Client, const TBitmap& Glyph, int NumGlyphs, const std::string& Caption,
                                 TFont* Font, TButtonLayout Layout, int Margin, int Spacing)
{
    HDC dc = GetDC(nullptr);
    if (dc == nullptr)
        throw EOutOfResources("Cannot get a device context for the screen");
    const HGDIOBJ old = SelectObject(dc, Font->Handle());
    const SIZE text = CaptionSize(dc, Caption);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return CalcButtonLayout(Client, GlyphCellSize(Glyph, NumGlyphs), text, Layout, Margin, Spacing);
}

} // namespace

std::unique_ptr<TBitmap> CreateKindGlyph(TBitBtnKind Kind)
{
    if (Kind == bkCustom)
        return std::make_unique<TBitmap>();
    const COLORREF background = ColorToRGB(GlyphBackground);
    auto up = FilledBitmap(KindGlyphSize, KindGlyphSize, background);
    PaintKindImage(*up, Kind);
    auto greyed = GreyedImage(*up, GlyphBackground);
    auto strip = FilledBitmap(KindGlyphSize * 2, KindGlyphSize, background);
    for (int y = 0; y < KindGlyphSize; ++y)
        for (int x = 0; x < KindGlyphSize; ++x) {
            PutPixel(*strip, x, y, static_cast<COLORREF>(up->PixelColor(x, y)));
            PutPixel(*strip, KindGlyphSize + x, y, static_cast<COLORREF>(greyed->PixelColor(x, y)));
        }
    return strip;
}

TButtonGlyphLayout CalcButtonLayout(const RECT& Client, SIZE GlyphSize, SIZE TextSize, TButtonLayout Layout,
                                    int Margin, int Spacing)
{
    const bool hasGlyph = GlyphSize.cx > 0 && GlyphSize.cy > 0;
    const bool hasText = TextSize.cx > 0 && TextSize.cy > 0;
    const SIZE glyph = hasGlyph ? GlyphSize : SIZE{0, 0};
    const SIZE text = hasText ? TextSize : SIZE{0, 0};
    const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    const int extent = horizontal ? Client.right - Client.left : Client.bottom - Client.top;
    const int cross = horizontal ? Client.bottom - Client.top : Client.right - Client.left;
    const int glyphLength = horizontal ? glyph.cx : glyph.cy;
    const int textLength = horizontal ? text.cx : text.cy;

    int margin = Margin;
    int spacing = Spacing;
    if (!hasGlyph || !hasText) {
        spacing = 0;
        if (margin < 0)
            margin = (extent - glyphLength - textLength) / 2;
    } else if (margin < 0) {
        if (spacing < 0) {
            spacing = (extent - glyphLength - textLength) / 3;
            margin = spacing;
        } else {
            margin = (extent - glyphLength - spacing - textLength) / 2;
        }
    } else if (spacing < 0) {
        spacing = (extent - margin - glyphLength - textLength) / 2;
    }

    // Along the axis, from the client's near edge.
    int glyphPos = margin;
    int textPos = margin + glyphLength + spacing;
    if (Layout == blGlyphRight || Layout == blGlyphBottom) {
        glyphPos = extent - margin - glyphLength;
        textPos = glyphPos - spacing - textLength;
    }
    const int glyphCross = (cross - (horizontal ? glyph.cy : glyph.cx)) / 2;
    const int textCross = (cross - (horizontal ? text.cy : text.cx)) / 2;

    auto place = [&](int Pos, int Cross, SIZE Size) {
        RECT r = horizontal ? RECT{Pos, Cross, Pos + Size.cx, Cross + Size.cy}
                            : RECT{Cross, Pos, Cross + Size.cx, Pos + Size.cy};
        OffsetRect(&r, Client.left, Client.top);
        return r;
    };
    TButtonGlyphLayout result;
    if (hasGlyph)
        result.Glyph = place(glyphPos, glyphCross, glyph);
    if (hasText)
        result.Text = place(textPos, textCross, text);
    return result;
}

// ---------------------------------------------------------------------------------------------
// TBitBtn

IMPLEMENT_CLASS(TBitBtn)

void TBitBtn::Publish(TClassBuilder<TBitBtn>& b)
{
    b.Property("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph)
        .Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs)
        .Property("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout)
        .Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin)
        .Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing)
        .Property("Kind", &TBitBtn::Kind, &TBitBtn::SetKind);
}

TBitBtn::TBitBtn(TComponent* AOwner)
    : TButton(AOwner), FGlyph(std::make_unique<TBitmap>()), FBuffer(std::make_unique<TBitmap>())
{
}

TBitBtn::~TBitBtn() = default;

DWORD TBitBtn::ButtonStyle() const
{
    return BS_OWNERDRAW;
}

void TBitBtn::SetGlyph(TBitmap* Value)
{
    if (Value == nullptr)
        FGlyph->SetSize(0, 0);
    else
        FGlyph->Assign(Value);
    // A strip of square images tells how many there are.
    if (const int count = SquareImageCount(*FGlyph); count > 0)
        FNumGlyphs = count;
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int Value)
{
    Value = std::clamp(Value, 1, 4);
    if (Value == FNumGlyphs)
        return;
    FNumGlyphs = Value;
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value)
{
    Value = std::max(Value, -1);
    if (Value == FMargin)
        return;
    FMargin = Value;
    Invalidate();
}

void TBitBtn::SetSpacing(int Value)
{
    Value = std::max(Value, -1);
    if (Value == FSpacing)
        return;
    FSpacing = Value;
    Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind Value)
{
    if (Value == FKind)
        return;
    FKind = Value;
    if (Value != bkCustom) {
        if (!ComponentState().Contains(csLoading) || FCaption.empty())
            SetCaption(KindCaption(Value));
        auto glyph = CreateKindGlyph(Value);
        SetGlyph(glyph.get());
        FNumGlyphs = 2;
        SetModalResult(KindModalResult(Value));
        if (Value == bkOK || Value == bkYes)
            SetDefault(true);
        if (Value == bkCancel || Value == bkNo)
            SetCancel(true);
    }
    Invalidate();
}

SIZE TBitBtn::GlyphSize() const
{
    return GlyphCellSize(*FGlyph, FNumGlyphs);
}

SIZE TBitBtn::TextSize(HDC DC)
{
    return CaptionSize(DC, FCaption);
}

TButtonGlyphLayout TBitBtn::CalcLayout()
{
    return MeasureLayout(ClientRect(), *FGlyph, FNumGlyphs, FCaption, Font(), FLayout, FMargin, FSpacing);
}

RECT TBitBtn::GlyphRect()
{
    return CalcLayout().Glyph;
}

RECT TBitBtn::TextRect()
{
    return CalcLayout().Text;
}

std::unique_ptr<TBitmap> TBitBtn::GlyphImage(int Index)
{
    return GlyphCell(*FGlyph, FNumGlyphs, Index);
}

void TBitBtn::DrawButton(TBitmap& Target, UINT State)
{
    const bool pressed = (State & ODS_SELECTED) != 0;
    const bool disabled = (State & ODS_DISABLED) != 0;
    const bool focused = (State & ODS_FOCUS) != 0 && (State & ODS_NOFOCUSRECT) == 0;
    TCanvas& canvas = *Target.Canvas();
    const RECT client{0, 0, Target.Width(), Target.Height()};

    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(client);
    RECT face = client;
    if (Default()) {
        canvas.Brush()->SetColor(clWindowFrame);
        canvas.FrameRect(face);
        InflateRect(&face, -1, -1);
    }
    DrawFrameControl(canvas.Handle(), &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    canvas.SetFont(Font());
    const SIZE text = TextSize(canvas.Handle());
    TButtonGlyphLayout layout = CalcButtonLayout(client, GlyphSize(), text, FLayout, FMargin, FSpacing);
    if (pressed) {
        OffsetRect(&layout.Glyph, 1, 1);
        OffsetRect(&layout.Text, 1, 1);
    }

    DrawGlyphImage(canvas, *FGlyph, FNumGlyphs, disabled ? giDisabled : pressed ? giClicked : giUp, layout.Glyph.left,
                   layout.Glyph.top);
    DrawButtonCaption(canvas, FCaption, layout.Text, disabled);

    if (focused) {
        RECT r = face;
        InflateRect(&r, -3, -3);
        DrawFocusRect(canvas.Handle(), &r);
    }
}

void TBitBtn::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
        const int w = item.rcItem.right - item.rcItem.left;
        const int h = item.rcItem.bottom - item.rcItem.top;
        if (w > 0 && h > 0) {
            if (FBuffer->Width() != w || FBuffer->Height() != h || FBuffer->PixelFormat() != pf32bit) {
                FBuffer = std::make_unique<TBitmap>(w, h, pf32bit);
            }
            DrawButton(*FBuffer, item.itemState);
            BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, w, h, FBuffer->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
        Message.Result = TRUE;
        return;
    }
    case WM_LBUTTONDBLCLK: {
        // An owner-drawn BUTTON reports a double click as BN_DOUBLECLICKED; pressed twice quickly,
        // this button is pressed twice.
        TMessage press = Message;
        press.Msg = WM_LBUTTONDOWN;
        TButton::WndProc(press);
        Message.Result = press.Result;
        return;
    }
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TButton::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TSpeedButton

IMPLEMENT_CLASS(TSpeedButton)

void TSpeedButton::Publish(TClassBuilder<TSpeedButton>& b)
{
    b.Property("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph)
        .Property("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs)
        .Property("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout)
        .Property("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin)
        .Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing)
        .Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex)
        .Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp)
        .Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown)
        .Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat);
}

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    // The press and the click are handled here (the click comes after Down has changed).
    SetControlStyle(TControlStyle{csOpaque, csDoubleClicks});
    SetBounds(FLeft, FTop, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(TBitmap* Value)
{
    if (Value == nullptr)
        FGlyph->SetSize(0, 0);
    else
        FGlyph->Assign(Value);
    if (const int count = SquareImageCount(*FGlyph); count > 0)
        FNumGlyphs = count;
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int Value)
{
    Value = std::clamp(Value, 1, 4);
    if (Value == FNumGlyphs)
        return;
    FNumGlyphs = Value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value)
{
    Value = std::max(Value, -1);
    if (Value == FMargin)
        return;
    FMargin = Value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value)
{
    Value = std::max(Value, -1);
    if (Value == FSpacing)
        return;
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    // The one button down in a group that must keep one down stays down.
    if (FDown && !FAllowAllUp && !ComponentState().Contains(csLoading))
        return;
    FDown = Value;
    if (Value && FParent != nullptr)
        for (int i = 0; i < FParent->ControlCount(); ++i) {
            auto* other = dynamic_cast<TSpeedButton*>(FParent->Controls(i));
            if (other != nullptr && other != this && other->FGroupIndex == FGroupIndex && other->FDown) {
                other->FDown = false;
                other->Invalidate();
            }
        }
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int Value)
{
    if (Value == FGroupIndex)
        return;
    FGroupIndex = Value;
    if (Value == 0 && FDown) {
        FDown = false;
        Invalidate();
    }
}

void TSpeedButton::SetAllowAllUp(bool Value)
{
    FAllowAllUp = Value;
    // The buttons of a group share the setting.
    if (FGroupIndex != 0 && FParent != nullptr)
        for (int i = 0; i < FParent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TSpeedButton*>(FParent->Controls(i));
                other != nullptr && other->FGroupIndex == FGroupIndex)
                other->FAllowAllUp = Value;
}

void TSpeedButton::SetFlat(bool Value)
{
    if (Value == FFlat)
        return;
    FFlat = Value;
    Invalidate();
}

TButtonGlyphLayout TSpeedButton::CalcLayout()
{
    return MeasureLayout(ClientRect(), *FGlyph, FNumGlyphs, FCaption, Font(), FLayout, FMargin, FSpacing);
}

void TSpeedButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (Enabled()) {
            FTracking = true;
            FPressed = true;
            Repaint();
        }
        Message.Result = 0;
        return;
    case WM_MOUSEMOVE:
        if (FTracking) {
            const RECT r = ClientRect();
            const POINT p{Message.LParamX(), Message.LParamY()};
            const bool inside = PtInRect(&r, p) != 0;
            if (inside != FPressed) {
                FPressed = inside;
                Repaint();
            }
        }
        Message.Result = 0;
        return;
    case WM_LBUTTONUP:
        if (FTracking) {
            FTracking = false;
            const RECT r = ClientRect();
            const POINT p{Message.LParamX(), Message.LParamY()};
            const bool inside = PtInRect(&r, p) != 0;
            FPressed = false;
            if (inside && FGroupIndex != 0)
                SetDown(!FDown);
            Repaint();
            if (inside)
                Click();
        }
        Message.Result = 0;
        return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        FHot = Message.Msg == CM_MOUSEENTER;
        if (FFlat)
            Invalidate();
        break;
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TGraphicControl::WndProc(Message);
}

void TSpeedButton::Paint()
{
    TCanvas& canvas = *Canvas();
    const RECT client = ClientRect();
    const bool disabled = !Enabled();
    const bool sunken = FPressed || FDown;

    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(FColor);
    canvas.FillRect(client);
    RECT face = client;
    if (FFlat) {
        if (sunken)
            DrawEdge(canvas.Handle(), &face, BDR_SUNKENOUTER, BF_RECT);
        else if (FHot && !disabled)
            DrawEdge(canvas.Handle(), &face, BDR_RAISEDINNER, BF_RECT);
    } else {
        DrawFrameControl(canvas.Handle(), &face, DFC_BUTTON, DFCS_BUTTONPUSH | (sunken ? DFCS_PUSHED : 0));
    }
    if (FDown && !FPressed) {
        // Held down: the face in a checked pattern of the highlight and the face colour.
        TBitmap pattern(8, 8, pf32bit);
        const COLORREF light = ColorToRGB(clBtnHighlight);
        const COLORREF base = ColorToRGB(FColor);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                PutPixel(pattern, x, y, (x + y) % 2 == 0 ? light : base);
        RECT inner = client;
        InflateRect(&inner, -2, -2);
        canvas.Brush()->SetBitmap(pattern.Handle());
        canvas.FillRect(inner);
        canvas.Brush()->SetBitmap(nullptr);
    }

    canvas.SetFont(Font());
    TButtonGlyphLayout layout = CalcButtonLayout(client, GlyphCellSize(*FGlyph, FNumGlyphs),
                                                 CaptionSize(canvas.Handle(), FCaption), FLayout, FMargin, FSpacing);
    if (sunken) {
        OffsetRect(&layout.Glyph, 1, 1);
        OffsetRect(&layout.Text, 1, 1);
    }
    const TGlyphImage which = disabled ? giDisabled : FPressed ? giClicked : FDown ? giDown : giUp;
    DrawGlyphImage(canvas, *FGlyph, FNumGlyphs, which, layout.Glyph.left, layout.Glyph.top);
    DrawButtonCaption(canvas, FCaption, layout.Text, disabled);
}
