// A canvas: drawing on a device context with a font, a brush and a pen of its own.
//
// Whenever the canvas has a DC, that DC carries the canvas's font, brush and pen selected, the
// font colour as text colour, and the background the brush asks for (solid: OPAQUE with the brush
// colour; clear or hatched: TRANSPARENT), so code that takes Handle() can call DrawTextA or
// SelectObject on it directly. A change of Font, Brush or Pen is put into the DC at once.
//
// TCanvas itself only binds DCs that belong to someone else (SetHandle). A canvas that owns its
// DC (a bitmap's, a control's) derives and makes it in CreateHandle, which Handle() calls while no
// DC is bound; such a canvas unbinds with SetHandle(nullptr) before it frees its DC.
#pragma once

#include "framework/core/Method.h"
#include "framework/core/Object.h"
#include "framework/graphics/Colors.h"
#include "framework/graphics/GraphicsObjects.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>

class TCanvas : public TPersistent {
    DECLARE_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    // The DC with the canvas's objects selected; CreateHandle makes one when none is bound (the
    // plain canvas raises EInvalidOperation "Canvas does not allow drawing" then).
    HDC Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Binds dc (not owned): the canvas's font, brush and pen go in, and the DC's own objects, text
    // colour, background colour, background mode and ROP2 are noted. Binding another DC or
    // nullptr first gives the bound one back exactly as it was found.
    void SetHandle(HDC dc);

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* v) { FBrush->Assign(v); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* v) { FPen->Assign(v); }
    // The raster operation of CopyRect, Draw and StretchDraw; SRCCOPY by default.
    DWORD CopyMode() const { return FCopyMode; }
    void SetCopyMode(DWORD v) { FCopyMode = v; }

    // The current position of MoveTo/LineTo.
    POINT PenPos();
    void SetPenPos(POINT p) { MoveTo(p.x, p.y); }

    // Fills with the brush; nothing happens with a clear brush.
    void FillRect(const RECT& r);
    // A one-pixel frame in the brush.
    void FrameRect(const RECT& r);
    // Outlined with the pen, filled with the brush; right and bottom are exclusive, as in GDI.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const RECT& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
    void MoveTo(int x, int y);
    // A line in the pen from the current position; the end point itself is not drawn.
    void LineTo(int x, int y);
    void Polyline(std::span<const POINT> points);
    void Polyline(std::initializer_list<POINT> points) { Polyline(std::span<const POINT>(points.begin(), points.size())); }

    void TextOut(int x, int y, std::string_view text);
    // Text at (x, y) clipped to r; with a brush that is not clear, r is filled behind it.
    void TextRect(const RECT& r, int x, int y, std::string_view text);
    // DrawTextA with the flags as given; r is updated the way DrawTextA updates it (DT_CALCRECT).
    // Returns the height of the text.
    int DrawText(std::string_view text, RECT& r, UINT format);
    SIZE TextExtent(std::string_view text);
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) { return TextExtent(text).cy; }

    // GetPixel: -1 (CLR_INVALID) outside the clipping region.
    TColor Pixels(int x, int y);
    void SetPixels(int x, int y, TColor color);

    // StretchBlt from source's sourceRect to dest with CopyMode.
    void CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect);
    // A bitmap at its own size / stretched to dest, with CopyMode. The bitmap must not be selected
    // into another DC. (The framework's bitmap class, with transparency, comes with its own Draw.)
    void Draw(int x, int y, HBITMAP bitmap);
    // Shrunk with HALFTONE (averaged), enlarged with COLORONCOLOR (pixels repeated exactly); the
    // DC's own stretch mode is put back afterwards.
    void StretchDraw(const RECT& dest, HBITMAP bitmap);

    // Fired around every drawing operation.
    const TNotifyEvent& OnChanging() const { return FOnChanging; }
    void SetOnChanging(TNotifyEvent v) { FOnChanging = v; }
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent v) { FOnChange = v; }

    // Around drawing done on Handle() with GDI directly (graphics drawing themselves): they fire
    // OnChanging/OnChange, and a bitmap's canvas forgets what it derived from the old pixels.
    virtual void Changing();
    virtual void Changed();

protected:
    // Makes and binds (SetHandle) a DC when Handle() finds none. The plain canvas raises.
    virtual void CreateHandle();

private:
    void FontChanged(TObject* Sender);
    void BrushChanged(TObject* Sender);
    void PenChanged(TObject* Sender);
    void ApplyFont();
    void ApplyBrush();
    void ApplyPen();
    void Unbind() noexcept;
    HDC DrawingHandle(); // Handle(), then OnChanging

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
    DWORD FCopyMode = SRCCOPY;
    TNotifyEvent FOnChanging;
    TNotifyEvent FOnChange;

    HDC FHandle = nullptr;
    // What the bound DC had before: its objects come back through these holders.
    TSelectObject FOldFont;
    TSelectObject FOldBrush;
    TSelectObject FOldPen;
    COLORREF FOldTextColor = 0;
    COLORREF FOldBkColor = 0;
    int FOldBkMode = 0;
    int FOldROP2 = 0;
};
