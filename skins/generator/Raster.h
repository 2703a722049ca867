// A small RGB raster for drawing skin artwork: filled shapes, gradients and anti-aliased strokes.
// Everything is computed per pixel from closed formulas, so the same program always draws the same
// pixels. Pixels of the key colour (magenta) are the holes of the skin.
#pragma once

#include <cstdint>
#include <vector>

struct TBitmapImage;

struct TRgb {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;

    bool operator==(const TRgb&) const = default;
};

// The key colour every transparent draw of the engine leaves out.
inline constexpr TRgb KeyColour{255, 0, 255};

constexpr TRgb Rgb(uint32_t Hex)
{
    return TRgb{static_cast<uint8_t>(Hex >> 16), static_cast<uint8_t>(Hex >> 8), static_cast<uint8_t>(Hex)};
}

// A + (B - A) * T, T clamped to 0..1, rounded to the nearest value.
TRgb Mix(TRgb A, TRgb B, double T);

class TRaster {
public:
    TRaster() = default;
    TRaster(int Width, int Height, TRgb Fill = KeyColour);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Contains(int X, int Y) const { return X >= 0 && Y >= 0 && X < FWidth && Y < FHeight; }

    TRgb At(int X, int Y) const;
    // Pixels outside the raster are ignored.
    void Set(int X, int Y, TRgb Colour);
    // Blends Colour over the pixel with the given coverage (0..1).
    void Blend(int X, int Y, TRgb Colour, double Coverage);

    void FillRect(int X, int Y, int W, int H, TRgb Colour);
    // Top row Top, bottom row Bottom, linear in between.
    void VerticalGradient(int X, int Y, int W, int H, TRgb Top, TRgb Bottom);

    // Copies all of Source with its top-left corner at (X, Y).
    void Paste(const TRaster& Source, int X, int Y);
    TRaster Crop(int X, int Y, int W, int H) const;

    TBitmapImage ToImage() const; // 24 bits per pixel

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<TRgb> FPixels;
};

// Frames of equal size side by side (Vertical false) or stacked (Vertical true), frame 1 first.
TRaster JoinFrames(const std::vector<TRaster>& Frames, bool Vertical);

// Signed distance from the centre of pixel (X, Y) to the outline of the rounded rectangle that
// covers pixels 0..W-1 and 0..H-1 with corner radius Radius: negative inside, positive outside.
double RoundRectDistance(int X, int Y, int W, int H, double Radius);

// How a rounded shape is painted: pixels outside are left as they are (or set to the key colour
// when KeyOutside), a ring of OutlineWidth pixels gets Outline, and the inside is given by Fill.
struct TShapeStyle {
    TRgb Outline;
    double OutlineWidth = 1.0;
    bool KeyOutside = true;
};

// Paints a W x H rounded rectangle at (X, Y); Fill(x, y) gives the inside colour in shape
// coordinates. The inner edge of the outline is smoothed; the outer edge is exact (key or not).
template <class TFill>
void PaintRoundRect(TRaster& Target, int X, int Y, int W, int H, double Radius, const TShapeStyle& Style,
                    TFill Fill)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double d = RoundRectDistance(x, y, W, H, Radius);
            if (d > 0.0) {
                if (Style.KeyOutside)
                    Target.Set(X + x, Y + y, KeyColour);
                continue;
            }
            // 0 at the outer edge, growing inwards; the outline fades into the fill over a pixel.
            double t = -d - (Style.OutlineWidth - 0.5);
            Target.Set(X + x, Y + y, Mix(Style.Outline, Fill(x, y), t));
        }
}

// An anti-aliased line of the given width between two points in pixel coordinates (pixel (x, y)
// has its centre at x + 0.5, y + 0.5), with round ends.
void StrokeLine(TRaster& Target, double X0, double Y0, double X1, double Y1, double Width, TRgb Colour);
// An anti-aliased filled disc.
void FillDisc(TRaster& Target, double CX, double CY, double Radius, TRgb Colour);
