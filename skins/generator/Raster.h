// A small RGB raster for drawing skin artwork: filled shapes, gradients and anti-aliased strokes.
// Everything is computed per pixel from closed formulas, so the same program always draws the same
// pixels. Pixels of the key colour (magenta) are the holes of the skin.
#pragma once

#include <cstddef>
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

// The dots per inch rasters are drawn for. Every coordinate and size the drawing functions take is
// in pixels at 96 (design pixels); a raster made while the drawing DPI is 144 holds 1.5 times as
// many pixels each way (each size rounded as the engine rounds a skin's lengths), and its shapes
// are computed at that resolution, so a skin drawn for 150 % or 200 % is sharp, not enlarged.
// Rasters made while one lives are drawn for Dpi.
class TDrawingDpi {
public:
    explicit TDrawingDpi(int Dpi);
    ~TDrawingDpi();
    TDrawingDpi(const TDrawingDpi&) = delete;
    TDrawingDpi& operator=(const TDrawingDpi&) = delete;

private:
    int FPrevious;
};

class TRaster {
public:
    TRaster() = default;
    // W x H design pixels, drawn for the DPI of the TDrawingDpi in force (96 without one).
    TRaster(int Width, int Height, TRgb Fill = KeyColour);

    // The size in design pixels.
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Dpi() const { return FDpi; }
    // The pixel (of the drawn raster) that Length design pixels come to: rounded, halves up.
    int Px(int Length) const;
    double Scale() const { return FDpi / 96.0; }
    int PixelWidth() const { return FPixelWidth; }
    int PixelHeight() const { return FPixelHeight; }

    // Every drawn pixel of design pixel (X, Y); pixels outside the raster are ignored.
    void Set(int X, int Y, TRgb Colour);
    // Blends Colour over the pixels of design pixel (X, Y) with the given coverage (0..1).
    void Blend(int X, int Y, TRgb Colour, double Coverage);

    void FillRect(int X, int Y, int W, int H, TRgb Colour);
    // Top row Top, bottom row Bottom, linear in between (computed for every drawn row).
    void VerticalGradient(int X, int Y, int W, int H, TRgb Top, TRgb Bottom);

    // Copies all of Source (drawn for the same DPI) with its top-left corner at (X, Y).
    void Paste(const TRaster& Source, int X, int Y);
    // W x H design pixels from (X, Y); a piece that reaches the right or bottom edge is cut flush
    // with it.
    TRaster Crop(int X, int Y, int W, int H) const;
    // The raster turned over its diagonal (x and y swapped).
    TRaster Transposed() const;
    // Blends Colour at Alpha times the red of Mask (drawn for the same DPI) into this raster, the
    // mask's top-left corner at (X, Y).
    void BlendMask(const TRaster& Mask, int X, int Y, TRgb Colour, double Alpha);

    // Sets every drawn pixel to Colour(x, y), where x and y are the design coordinates of the
    // pixel's centre (0.5, 0.5 for the first pixel at 96).
    template <class TColourAt>
    void Paint(TColourAt Colour)
    {
        for (int y = 0; y < FPixelHeight; ++y)
            for (int x = 0; x < FPixelWidth; ++x)
                Pixel(x, y) = Colour((x + 0.5) / Scale(), (y + 0.5) / Scale());
    }

    // Drawn pixel (X, Y), which must be inside the raster.
    TRgb& Pixel(int X, int Y) { return FPixels[Index(X, Y)]; }
    TRgb Pixel(int X, int Y) const { return FPixels[Index(X, Y)]; }
    bool HasPixel(int X, int Y) const { return X >= 0 && Y >= 0 && X < FPixelWidth && Y < FPixelHeight; }

    TBitmapImage ToImage() const; // 24 bits per pixel

    // Frames of equal size side by side (Vertical false) or stacked, frame 1 first; each keeps its
    // drawn pixels.
    friend TRaster JoinFrames(const std::vector<TRaster>& Frames, bool Vertical);
    // The Count equal frames of a strip of frames side by side.
    std::vector<TRaster> SplitFrames(int Count) const;

private:
    // W x H design pixels held in PixelWidth x PixelHeight pixels drawn for Dpi.
    TRaster(int Width, int Height, int Dpi, int PixelWidth, int PixelHeight, TRgb Fill);
    size_t Index(int X, int Y) const
    {
        return static_cast<size_t>(Y) * static_cast<size_t>(FPixelWidth) + static_cast<size_t>(X);
    }

    int FWidth = 0;
    int FHeight = 0;
    int FDpi = 96;
    int FPixelWidth = 0;
    int FPixelHeight = 0;
    std::vector<TRgb> FPixels;
};

TRaster JoinFrames(const std::vector<TRaster>& Frames, bool Vertical);

// Signed distance from the point (X, Y) (a pixel's centre: x + 0.5 for pixel x at 96) to the
// outline of the rounded rectangle that covers 0..W and 0..H with corner radius Radius: negative
// inside, positive outside.
double RoundRectDistance(double X, double Y, int W, int H, double Radius);

// How a rounded shape is painted: pixels outside are left as they are (or set to the key colour
// when KeyOutside), a ring of OutlineWidth design pixels gets Outline, and the inside is given by Fill.
struct TShapeStyle {
    TRgb Outline;
    double OutlineWidth = 1.0;
    bool KeyOutside = true;
};

// Paints a W x H rounded rectangle at (X, Y); Fill(x, y) gives the inside colour in shape
// coordinates (design pixels). The inner edge of the outline is smoothed over one drawn pixel;
// the outer edge is exact (key or not).
template <class TFill>
void PaintRoundRect(TRaster& Target, int X, int Y, int W, int H, double Radius, const TShapeStyle& Style,
                    TFill Fill)
{
    const double scale = Target.Scale();
    const int left = Target.Px(X), top = Target.Px(Y);
    for (int py = top; py < top + Target.Px(H); ++py)
        for (int px = left; px < left + Target.Px(W); ++px) {
            if (!Target.HasPixel(px, py))
                continue;
            const double x = (px - left + 0.5) / scale;
            const double y = (py - top + 0.5) / scale;
            const double d = RoundRectDistance(x, y, W, H, Radius);
            if (d > 0.0) {
                if (Style.KeyOutside)
                    Target.Pixel(px, py) = KeyColour;
                continue;
            }
            // 0 at the outer edge, growing inwards; the outline fades into the fill over a pixel.
            const double t = -d * scale - (Style.OutlineWidth * scale - 0.5);
            Target.Pixel(px, py) = Mix(Style.Outline, Fill(static_cast<int>(x), static_cast<int>(y)), t);
        }
}

// An anti-aliased line of the given width between two points in design coordinates (pixel (x, y)
// has its centre at x + 0.5, y + 0.5), with round ends.
void StrokeLine(TRaster& Target, double X0, double Y0, double X1, double Y1, double Width, TRgb Colour);
// An anti-aliased filled disc.
void FillDisc(TRaster& Target, double CX, double CY, double Radius, TRgb Colour);
