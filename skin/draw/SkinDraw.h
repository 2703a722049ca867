// Drawing from frame strips: a strip holds the pictures of all states of one skin element as
// equal frames, side by side (or stacked), numbered from 1. These routines cut one frame out and
// fit it to a target: nine-sliced (corners kept, edges stretched along their length, the centre
// stretched or tiled), as a three-slice bar, as a border only, or stretched whole; plus a
// colour-keyed blit, a tiler and a builder of window regions from the non-key pixels.
//
// Every routine composes into a temporary bitmap of its own and frees it before it returns; a
// Count below 1 or an Index outside 1..Count draws nothing. Nine-slice frames and three-slice bars
// are composed in pixel memory with exactly the pixels GDI's piece-by-piece StretchBlt would give
// (FrameComposer.h); pieces that would read outside their frame go through GDI itself.
#pragma once

#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Canvas.h"
#include "framework/graphics/Colors.h"

#include <windows.h>

#include <cstdint>
#include <memory>

// The four widths along the sides of a frame that are never scaled across their thickness.
struct TMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// Left out by every transparent draw.
constexpr TColor SkinKeyColour = 0xFF00FF;

// Source piece Source of Bitmap repeated whole over Dest, column by column; the last column and
// row run past Dest's right and bottom.
void TileBitmap(TCanvas& Canvas, const RECT& Dest, TBitmap* Bitmap, const RECT& Source);

// Frame Index of Strip nine-sliced to Target's size (its position is not used); nullptr when
// nothing can be drawn.
std::unique_ptr<TBitmap> BuildFrameBitmap(const RECT& Target, TBitmap* Strip, const TMargins& Margins, int Index,
                                          int Count, bool Tile, bool Vertical);
// BuildFrameBitmap put at Target's top-left: without the key colour when Transparent.
void DrawFrameImage(HDC DC, const RECT& Target, TBitmap* Strip, const TMargins& Margins, int Index, int Count,
                    bool Transparent, bool Tile, bool Vertical);
// The three-slice bar: left end, the middle repeated at its own width, right end last; only the
// Left and Right margins count.
void DrawTiledFrame(TCanvas& Canvas, const RECT& Target, TBitmap* Strip, const TMargins& Margins, int Index,
                    int Count, bool Transparent, bool Vertical);
// The eight border pieces straight onto DC, no centre; DC is left in COLORONCOLOR.
void DrawFrameBorder(HDC DC, const RECT& Target, TBitmap* Strip, const TMargins& Margins, int Index, int Count,
                     bool Vertical);
// Frame Index of a horizontal strip stretched whole to Target.
void DrawStretchFrame(HDC DC, const RECT& Target, TBitmap* Strip, int Index, int Count, bool Transparent);
// Target's size of Bitmap from its top-left, leaving DC alone where the bitmap is Key: one MaskBlt
// on the NT family, the three blits (SRCINVERT, SRCAND, SRCINVERT) elsewhere.
void DrawTransparentBitmap(HDC DC, const RECT& Target, TBitmap* Bitmap, TColor Key);
// The region of Bitmap's pixels that are not of the key colour (a key pixel: each channel from
// the key's value up to value + tolerance), offset by (X, Y). Bitmap becomes 32 bits per pixel.
HRGN BuildBitmapRegion(TBitmap* Bitmap, int X, int Y, TColor Key, uint8_t RedTolerance, uint8_t GreenTolerance,
                       uint8_t BlueTolerance);

// The scratch off-screen bitmap the painters share (COLORONCOLOR on its DC); made by the module's
// start (or on first use) and freed by its end, with the scratch of the keyed stretches.
// The contrast ratio of two colours by their relative luminance: 1 (the same) to 21 (black and
// white).
double ContrastRatio(COLORREF A, COLORREF B);
// Wanted when it stands out from Ground by MinRatio or more; otherwise the first mix of Wanted
// towards black or white (whichever stands out more from Ground) that does, so the colour stays
// as near to Wanted as it can.
COLORREF ReadableOn(COLORREF Ground, COLORREF Wanted, double MinRatio = 3.0);

TBitmap* SharedPaintBitmap();
void FreeSharedPaintBitmap() noexcept;
