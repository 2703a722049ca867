// Skin images redrawn for another number of dots per inch. A skin is drawn for 96; at 144 every
// frame of a strip becomes 1.5 times as wide and high, cut into the nine pieces its margins make
// and each piece scaled on its own, so corners stay corners and never bleed into the edges or the
// middle. Whole scales (2x, 3x) repeat each pixel and keep hard edges; other scales average the
// pixels each target pixel covers, where the key colour wins a pixel it covers half of, so the
// transparent parts keep exact key pixels and never a pink fringe.
#pragma once

#include "framework/graphics/Bitmap.h"
#include "skin/draw/SkinDraw.h"

#include <memory>

// The dots per inch skins are drawn for, and the range a skin is drawn for at all (50 % to 500 %):
// a DPI outside it (a hostile WM_DPICHANGED says up to 65535) is refused, not drawn for.
constexpr int SkinDesignDpi = 96;
constexpr int MinSkinDpi = 48;
constexpr int MaxSkinDpi = 480;
inline bool UsableDpi(int Dpi) { return Dpi >= MinSkinDpi && Dpi <= MaxSkinDpi; }

// Length (a size, offset or margin of the skin) at ToDpi, for a length at FromDpi: rounded to the
// nearest pixel, the sign kept.
int ScaleLength(int Length, int ToDpi, int FromDpi = SkinDesignDpi);
// Length (a gap or inset the painters keep, at 96) at the screen's DPI.
int ScreenLength(int Length);
TMargins ScaleMargins(const TMargins& Margins, int ToDpi, int FromDpi = SkinDesignDpi);

// How a strip holds its frames: Frames equal frames side by side (Vertical: stacked), each cut by
// Margins into the pieces that scale on their own.
struct TStripLayout {
    int Frames = 1;
    bool Vertical = false;
    TMargins Margins;
};

// Strip drawn at FromDpi, redrawn for ToDpi: a 32-bit bitmap whose frames are each the scaled
// size of one frame, or nullptr for an empty strip. A strip whose length is not a whole number of
// frames is scaled as one frame.
std::unique_ptr<TBitmap> ScaleStrip(TBitmap& Strip, const TStripLayout& Layout, int ToDpi,
                                    int FromDpi = SkinDesignDpi);
// A frame of a strip as it is to come out: its size and the margins it is cut by.
struct TFrameTarget {
    int Width = 0;
    int Height = 0;
    TMargins Margins;
};
// A frame of Strip, drawn at FromDpi, and its margins at ToDpi.
TFrameTarget ScaledFrame(const TBitmap& Strip, const TStripLayout& Layout, int ToDpi, int FromDpi = SkinDesignDpi);
// The same with the frame's size and margins given (an image drawn for another scale comes out at
// the sizes its base image has at the target DPI).
std::unique_ptr<TBitmap> ScaleStrip(TBitmap& Strip, const TStripLayout& Layout, const TFrameTarget& Target);
