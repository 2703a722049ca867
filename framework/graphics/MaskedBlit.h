// A blit that leaves the destination alone where a monochrome mask is 1.
//
// Only the parts of the area whose mask has 1 bits in them go through the masked raster
// operations; the rest is a plain SRCCOPY, which gives the same pixels there (a 0 bit copies the
// source) at a fraction of the cost: under Wine a full-screen MaskBlt costs about 160 plain blits.
// The area is looked at in cells of 32 x 32 pixels; parts of the area outside the mask always go
// through the masked operations, as one call over the whole area would take them.
#pragma once

#include <windows.h>

enum class TMaskMethod {
    // One MaskBlt per part, foreground "leave the destination" (0x00AA0029), background SRCCOPY.
    MaskBlt,
    // For systems without MaskBlt (Windows 95, 98, Me): with the destination's background white
    // and text black, the source SRCINVERT, the mask SRCAND, the source SRCINVERT; the colours
    // are restored.
    ThreeBlits,
};

// The Width x Height area of Source from (SX, SY) to (X, Y) of Dest; the mask's pixel (SX, SY)
// goes with the source's. Mask must not be selected into a DC.
void MaskedBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int SX, int SY, HBITMAP Mask,
               TMaskMethod Method);
