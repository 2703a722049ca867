// Frame pieces composed straight in 32-bit pixel memory, pixel for pixel what GDI's StretchBlt
// (SRCCOPY, COLORONCOLOR) and BitBlt give, without a GDI call per piece: under Wine one stretched
// full-screen piece costs some twenty plain blits, a row copy a fraction of one.
//
// Which source column a target column takes is GDI's own answer: for each pair of lengths one
// small StretchBlt of a row of numbered pixels (and one of a column, as rows may map otherwise)
// is read back and kept for the next paint.
#pragma once

#include "framework/graphics/Bitmap.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct TPixelView {
    uint32_t* Bits = nullptr; // pixel (0, 0)
    ptrdiff_t Stride = 0;     // in pixels
    int Width = 0;
    int Height = 0;

    uint32_t* Row(int Y) const { return Bits + static_cast<ptrdiff_t>(Y) * Stride; }
};

// The pixel memory of a 32-bit bitmap (its DIB section).
TPixelView PixelViewOf(TBitmap& Bitmap);

// The W x H area of Bitmap at (X, Y) as 32-bit pixels, as GDI converts them when it copies them
// into a 32-bit bitmap: the bitmap's own memory when it has 32 bits per pixel, else a copy.
class TFramePixels {
public:
    TFramePixels(TBitmap& Bitmap, int X, int Y, int W, int H);
    const TPixelView& View() const { return FView; }

private:
    std::vector<uint32_t> FCopy;
    std::unique_ptr<TBitmap> FConverted;
    TPixelView FView;
};

// For each of Target target columns (Vertical: rows), the source column GDI's COLORONCOLOR
// StretchBlt takes from Source columns. Both lengths are at least 1.
std::shared_ptr<const std::vector<int>> StretchMap(int Source, int Target, bool Vertical);
void FreeStretchMaps() noexcept;

// StretchBlt SRCCOPY (COLORONCOLOR) of Source's (SX, SY, SW, SH) to Dest's (X, Y, W, H); a
// piece of no size is left out. The source piece lies within Source. A scaled direction lies
// within Dest; an unscaled one is clipped to it.
void StretchPiece(const TPixelView& Dest, int X, int Y, int W, int H, const TPixelView& Source, int SX, int SY,
                  int SW, int SH);
// TileBitmap's result in memory: Piece of Source repeated whole from Area's top-left, column by
// column, the last column and row running past Area (clipped to Dest).
void TilePiece(const TPixelView& Dest, const RECT& Area, const TPixelView& Source, const RECT& Piece);
// Zero pixels, clipped to Dest.
void ClearPixels(const TPixelView& Dest, int X, int Y, int W, int H);
