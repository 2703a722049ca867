#include "framework/graphics/Canvas.h"

#include "framework/core/Exception.h"
#include "framework/core/Published.h"

#include <string>

IMPLEMENT_CLASS(TCanvas)

void TCanvas::Publish(TClassBuilder<TCanvas>& b)
{
    b.Property("Brush", &TCanvas::Brush, &TCanvas::SetBrush)
        .Property("CopyMode", &TCanvas::CopyMode, &TCanvas::SetCopyMode)
        .Property("Font", &TCanvas::Font, &TCanvas::SetFont)
        .Property("Pen", &TCanvas::Pen, &TCanvas::SetPen);
}

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>())
{
    FFont->SetOnChange(BindMethod<&TCanvas::FontChanged>(this));
    FBrush->SetOnChange(BindMethod<&TCanvas::BrushChanged>(this));
    FPen->SetOnChange(BindMethod<&TCanvas::PenChanged>(this));
}

TCanvas::~TCanvas() { Unbind(); }

HDC TCanvas::Handle()
{
    if (FHandle == nullptr) {
        CreateHandle();
        if (FHandle == nullptr)
            throw EInvalidOperation("Canvas does not allow drawing");
    }
    return FHandle;
}

void TCanvas::CreateHandle() { throw EInvalidOperation("Canvas does not allow drawing"); }

void TCanvas::SetHandle(HDC dc)
{
    if (dc == FHandle)
        return;
    Unbind();
    if (dc == nullptr)
        return;
    // Everything that can fail comes before the DC is touched.
    const HFONT font = FFont->Handle();
    const HBRUSH brush = FBrush->Handle();
    const HPEN pen = FPen->Handle();
    FOldTextColor = GetTextColor(dc);
    FOldBkColor = GetBkColor(dc);
    FOldBkMode = GetBkMode(dc);
    FOldROP2 = GetROP2(dc);
    FOldFont = TSelectObject(dc, font);
    FOldBrush = TSelectObject(dc, brush);
    FOldPen = TSelectObject(dc, pen);
    FHandle = dc;
    ApplyFont();
    ApplyBrush();
    ApplyPen();
}

void TCanvas::Unbind() noexcept
{
    if (FHandle == nullptr)
        return;
    FOldPen.reset();
    FOldBrush.reset();
    FOldFont.reset();
    if (FOldBkMode != 0)
        SetBkMode(FHandle, FOldBkMode);
    if (FOldROP2 != 0)
        SetROP2(FHandle, FOldROP2);
    if (FOldTextColor != CLR_INVALID)
        SetTextColor(FHandle, FOldTextColor);
    if (FOldBkColor != CLR_INVALID)
        SetBkColor(FHandle, FOldBkColor);
    FHandle = nullptr;
}

// The objects' handles are already in the DC when these run from SetHandle; from a change they
// replace the ones that were (still selected until this point, deleted right after).
void TCanvas::ApplyFont()
{
    SelectObject(FHandle, FFont->Handle());
    SetTextColor(FHandle, ColorToRGB(FFont->Color()));
}

void TCanvas::ApplyBrush()
{
    const HBRUSH brush = FBrush->Handle();
    UnrealizeObject(brush);
    SelectObject(FHandle, brush);
    const COLORREF color = ColorToRGB(FBrush->Color());
    if (FBrush->Style() == bsSolid && FBrush->Bitmap() == nullptr) {
        SetBkColor(FHandle, color);
        SetBkMode(FHandle, OPAQUE);
    } else {
        // Hatches and patterns show the background between their lines; text goes on as is.
        SetBkColor(FHandle, ~color & 0x00FFFFFF);
        SetBkMode(FHandle, TRANSPARENT);
    }
}

void TCanvas::ApplyPen()
{
    SelectObject(FHandle, FPen->Handle());
    SetROP2(FHandle, PenModeToROP2(FPen->Mode()));
}

// When a new handle cannot be made the DC gets a stock object, so that the dropped handle is not
// left selected, and the failure goes on to whoever changed the object.
void TCanvas::FontChanged(TObject*)
{
    if (FHandle == nullptr)
        return;
    try {
        ApplyFont();
    } catch (...) {
        SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
        throw;
    }
}

void TCanvas::BrushChanged(TObject*)
{
    if (FHandle == nullptr)
        return;
    try {
        ApplyBrush();
    } catch (...) {
        SelectObject(FHandle, GetStockObject(NULL_BRUSH));
        throw;
    }
}

void TCanvas::PenChanged(TObject*)
{
    if (FHandle == nullptr)
        return;
    try {
        ApplyPen();
    } catch (...) {
        SelectObject(FHandle, GetStockObject(NULL_PEN));
        throw;
    }
}

void TCanvas::Changing()
{
    if (FOnChanging)
        FOnChanging(this);
}

void TCanvas::Changed()
{
    if (FOnChange)
        FOnChange(this);
}

HDC TCanvas::DrawingHandle()
{
    HDC dc = Handle();
    Changing();
    return dc;
}

POINT TCanvas::PenPos()
{
    POINT p{};
    GetCurrentPositionEx(Handle(), &p);
    return p;
}

void TCanvas::FillRect(const RECT& r)
{
    if (FBrush->Style() == bsClear && FBrush->Bitmap() == nullptr)
        return;
    HDC dc = DrawingHandle();
    ::FillRect(dc, &r, FBrush->Handle());
    Changed();
}

void TCanvas::FrameRect(const RECT& r)
{
    HDC dc = DrawingHandle();
    ::FrameRect(dc, &r, FBrush->Handle());
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    HDC dc = DrawingHandle();
    ::Rectangle(dc, x1, y1, x2, y2);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    HDC dc = DrawingHandle();
    ::Ellipse(dc, x1, y1, x2, y2);
    Changed();
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y)
{
    HDC dc = DrawingHandle();
    ::LineTo(dc, x, y);
    Changed();
}

void TCanvas::Polyline(std::span<const POINT> points)
{
    HDC dc = DrawingHandle();
    ::Polyline(dc, points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::TextOut(int x, int y, std::string_view text)
{
    HDC dc = DrawingHandle();
    ::TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
    Changed();
}

void TCanvas::TextRect(const RECT& r, int x, int y, std::string_view text)
{
    HDC dc = DrawingHandle();
    UINT options = ETO_CLIPPED;
    if (FBrush->Style() != bsClear)
        options |= ETO_OPAQUE;
    ::ExtTextOutA(dc, x, y, options, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

int TCanvas::DrawText(std::string_view text, RECT& r, UINT format)
{
    HDC dc = DrawingHandle();
    int height;
    if (format & DT_MODIFYSTRING) {
        // DrawTextA may write up to four characters more (the ellipsis).
        std::string buffer(text);
        buffer.resize(text.size() + 4, '\0');
        height = ::DrawTextA(dc, buffer.data(), static_cast<int>(text.size()), &r, format);
    } else {
        height = ::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, format);
    }
    Changed();
    return height;
}

SIZE TCanvas::TextExtent(std::string_view text)
{
    SIZE size{};
    GetTextExtentPoint32A(Handle(), text.data(), static_cast<int>(text.size()), &size);
    return size;
}

TColor TCanvas::Pixels(int x, int y) { return static_cast<TColor>(GetPixel(Handle(), x, y)); }

void TCanvas::SetPixels(int x, int y, TColor color)
{
    HDC dc = DrawingHandle();
    ::SetPixel(dc, x, y, ColorToRGB(color));
    Changed();
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect)
{
    HDC src = source.Handle();
    HDC dc = DrawingHandle();
    ::StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src, sourceRect.left,
                 sourceRect.top, sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top, FCopyMode);
    Changed();
}

void TCanvas::Draw(int x, int y, HBITMAP bitmap)
{
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0)
        return;
    StretchDraw(RECT{x, y, x + info.bmWidth, y + info.bmHeight}, bitmap);
}

void TCanvas::StretchDraw(const RECT& dest, HBITMAP bitmap)
{
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0)
        return;
    HDC dc = DrawingHandle();
    TMemoryDC memory(dc);
    if (!memory)
        throw EOutOfResources("Cannot create a memory device context");
    TSelectObject selected(memory.get(), bitmap);
    if (!selected)
        throw EInvalidOperation("Cannot select the bitmap");
    // A picture shrunk in either direction keeps its look: HALFTONE averages the pixels it merges,
    // where the DC's default mode would AND whole rows into dark streaks. Enlarged only, each pixel
    // is repeated exactly (COLORONCOLOR). At its own size nothing changes.
    const int width = dest.right - dest.left;
    const int height = dest.bottom - dest.top;
    const bool resized = width != info.bmWidth || height != info.bmHeight;
    const bool shrunk = width < info.bmWidth || height < info.bmHeight;
    const int oldMode = resized ? SetStretchBltMode(dc, shrunk ? HALFTONE : COLORONCOLOR) : 0;
    POINT oldOrigin{};
    if (resized)
        SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    ::StretchBlt(dc, dest.left, dest.top, width, height, memory.get(), 0, 0, info.bmWidth, info.bmHeight, FCopyMode);
    if (resized) {
        SetStretchBltMode(dc, oldMode);
        SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    }
    Changed();
}
