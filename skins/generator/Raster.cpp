#include "skins/generator/Raster.h"

#include "framework/graphics/BitmapCodec.h"

#include <algorithm>
#include <cmath>

TRgb Mix(TRgb A, TRgb B, double T)
{
    T = std::clamp(T, 0.0, 1.0);
    auto channel = [T](uint8_t a, uint8_t b) {
        return static_cast<uint8_t>(std::lround(a + (static_cast<double>(b) - a) * T));
    };
    return TRgb{channel(A.R, B.R), channel(A.G, B.G), channel(A.B, B.B)};
}

namespace {

int CurrentDpi = 96;

// Length design pixels at Dpi, rounded to the nearest pixel, halves up (as the engine's MulDiv
// rounds a length of a skin); negative lengths (coordinates left of a raster) round the same way.
int PixelsAt(int Length, int Dpi)
{
    const long long twice = 2LL * Length * Dpi + 96;
    return static_cast<int>(twice >= 0 ? twice / 192 : -((-twice + 191) / 192));
}

} // namespace

TDrawingDpi::TDrawingDpi(int Dpi) : FPrevious(CurrentDpi) { CurrentDpi = Dpi; }

TDrawingDpi::~TDrawingDpi() { CurrentDpi = FPrevious; }

TRaster::TRaster(int Width, int Height, TRgb Fill)
    : TRaster(Width, Height, CurrentDpi, PixelsAt(Width, CurrentDpi), PixelsAt(Height, CurrentDpi), Fill)
{
}

TRaster::TRaster(int Width, int Height, int Dpi, int PixelWidth, int PixelHeight, TRgb Fill)
    : FWidth(Width), FHeight(Height), FDpi(Dpi), FPixelWidth(PixelWidth), FPixelHeight(PixelHeight),
      FPixels(static_cast<size_t>(PixelWidth) * static_cast<size_t>(PixelHeight), Fill)
{
}

int TRaster::Px(int Length) const { return PixelsAt(Length, FDpi); }

void TRaster::Set(int X, int Y, TRgb Colour) { FillRect(X, Y, 1, 1, Colour); }

void TRaster::Blend(int X, int Y, TRgb Colour, double Coverage)
{
    if (Coverage <= 0.0)
        return;
    for (int y = std::max(0, Px(Y)); y < std::min(FPixelHeight, Px(Y + 1)); ++y)
        for (int x = std::max(0, Px(X)); x < std::min(FPixelWidth, Px(X + 1)); ++x)
            Pixel(x, y) = Mix(Pixel(x, y), Colour, Coverage);
}

void TRaster::FillRect(int X, int Y, int W, int H, TRgb Colour)
{
    for (int y = std::max(0, Px(Y)); y < std::min(FPixelHeight, Px(Y + H)); ++y)
        for (int x = std::max(0, Px(X)); x < std::min(FPixelWidth, Px(X + W)); ++x)
            Pixel(x, y) = Colour;
}

void TRaster::VerticalGradient(int X, int Y, int W, int H, TRgb Top, TRgb Bottom)
{
    const int top = Px(Y), rows = Px(Y + H) - top;
    for (int y = std::max(0, top); y < std::min(FPixelHeight, top + rows); ++y) {
        // The first row's centre is Top, the last row's Bottom.
        const TRgb c = rows > 1 ? Mix(Top, Bottom, static_cast<double>(y - top) / (rows - 1)) : Top;
        for (int x = std::max(0, Px(X)); x < std::min(FPixelWidth, Px(X + W)); ++x)
            Pixel(x, y) = c;
    }
}

void TRaster::Paste(const TRaster& Source, int X, int Y)
{
    const int left = Px(X), top = Px(Y);
    for (int y = 0; y < Source.FPixelHeight; ++y)
        for (int x = 0; x < Source.FPixelWidth; ++x)
            if (HasPixel(left + x, top + y))
                Pixel(left + x, top + y) = Source.Pixel(x, y);
}

TRaster TRaster::Crop(int X, int Y, int W, int H) const
{
    const int w = Px(W), h = Px(H);
    const int left = X + W == FWidth ? FPixelWidth - w : Px(X);
    const int top = Y + H == FHeight ? FPixelHeight - h : Px(Y);
    TRaster out(W, H, FDpi, w, h, KeyColour);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (HasPixel(left + x, top + y))
                out.Pixel(x, y) = Pixel(left + x, top + y);
    return out;
}

TRaster TRaster::Transposed() const
{
    TRaster turned(FHeight, FWidth, FDpi, FPixelHeight, FPixelWidth, KeyColour);
    for (int y = 0; y < FPixelHeight; ++y)
        for (int x = 0; x < FPixelWidth; ++x)
            turned.Pixel(y, x) = Pixel(x, y);
    return turned;
}

void TRaster::BlendMask(const TRaster& Mask, int X, int Y, TRgb Colour, double Alpha)
{
    const int left = Px(X), top = Px(Y);
    for (int y = 0; y < Mask.FPixelHeight; ++y)
        for (int x = 0; x < Mask.FPixelWidth; ++x)
            if (HasPixel(left + x, top + y) && Mask.Pixel(x, y).R > 0)
                Pixel(left + x, top + y) = Mix(Pixel(left + x, top + y), Colour, Alpha * Mask.Pixel(x, y).R / 255.0);
}

std::vector<TRaster> TRaster::SplitFrames(int Count) const
{
    std::vector<TRaster> frames;
    const int w = FPixelWidth / Count;
    for (int k = 0; k < Count; ++k) {
        TRaster frame(FWidth / Count, FHeight, FDpi, w, FPixelHeight, KeyColour);
        for (int y = 0; y < FPixelHeight; ++y)
            for (int x = 0; x < w; ++x)
                frame.Pixel(x, y) = Pixel(k * w + x, y);
        frames.push_back(std::move(frame));
    }
    return frames;
}

TBitmapImage TRaster::ToImage() const
{
    TBitmapImage image;
    image.Create(FPixelWidth, FPixelHeight, 24);
    for (int y = 0; y < FPixelHeight; ++y) {
        uint8_t* row = image.Row(y);
        for (int x = 0; x < FPixelWidth; ++x) {
            const TRgb c = Pixel(x, y);
            row[3 * x] = c.B;
            row[3 * x + 1] = c.G;
            row[3 * x + 2] = c.R;
        }
    }
    return image;
}

TRaster JoinFrames(const std::vector<TRaster>& Frames, bool Vertical)
{
    if (Frames.empty())
        return TRaster();
    const TRaster& first = Frames.front();
    const int n = static_cast<int>(Frames.size());
    const int w = first.FPixelWidth, h = first.FPixelHeight;
    TRaster strip(Vertical ? first.FWidth : first.FWidth * n, Vertical ? first.FHeight * n : first.FHeight, first.FDpi,
                  Vertical ? w : w * n, Vertical ? h * n : h, KeyColour);
    for (int k = 0; k < n; ++k) {
        const TRaster& frame = Frames[static_cast<size_t>(k)];
        for (int y = 0; y < std::min(h, frame.FPixelHeight); ++y)
            for (int x = 0; x < std::min(w, frame.FPixelWidth); ++x)
                strip.Pixel(Vertical ? x : k * w + x, Vertical ? k * h + y : y) = frame.Pixel(x, y);
    }
    return strip;
}

double RoundRectDistance(double X, double Y, int W, int H, double Radius)
{
    const double px = std::fabs(X - W / 2.0);
    const double py = std::fabs(Y - H / 2.0);
    const double qx = px - (W / 2.0 - Radius);
    const double qy = py - (H / 2.0 - Radius);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    const double inside = std::min(std::max(qx, qy), 0.0);
    return outside + inside - Radius;
}

namespace {

// Blends Colour over every drawn pixel whose centre lies in the design box (Left, Top)..(Right,
// Bottom), with the coverage Coverage(x, y, scale) gives for the centre's design coordinates.
template <class TCoverage>
void BlendArea(TRaster& Target, double Left, double Top, double Right, double Bottom, TRgb Colour,
               TCoverage Coverage)
{
    const double scale = Target.Scale();
    const int left = std::max(0, static_cast<int>(std::floor(Left * scale)));
    const int right = std::min(Target.PixelWidth(), static_cast<int>(std::ceil(Right * scale)));
    const int top = std::max(0, static_cast<int>(std::floor(Top * scale)));
    const int bottom = std::min(Target.PixelHeight(), static_cast<int>(std::ceil(Bottom * scale)));
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const double c = Coverage((x + 0.5) / scale, (y + 0.5) / scale, scale);
            if (c > 0.0)
                Target.Pixel(x, y) = Mix(Target.Pixel(x, y), Colour, c);
        }
}

} // namespace

void StrokeLine(TRaster& Target, double X0, double Y0, double X1, double Y1, double Width, TRgb Colour)
{
    const double dx = X1 - X0;
    const double dy = Y1 - Y0;
    const double length2 = dx * dx + dy * dy;
    // Coverage over one drawn pixel at the stroke's edge.
    BlendArea(Target, std::min(X0, X1) - Width, std::min(Y0, Y1) - Width, std::max(X0, X1) + Width,
              std::max(Y0, Y1) + Width, Colour, [&](double cx, double cy, double scale) {
                  const double t =
                      length2 > 0 ? std::clamp(((cx - X0) * dx + (cy - Y0) * dy) / length2, 0.0, 1.0) : 0.0;
                  const double d = std::hypot(cx - (X0 + t * dx), cy - (Y0 + t * dy));
                  return std::clamp((Width / 2.0 - d) * scale + 0.5, 0.0, 1.0);
              });
}

void FillDisc(TRaster& Target, double CX, double CY, double Radius, TRgb Colour)
{
    BlendArea(Target, CX - Radius - 1, CY - Radius - 1, CX + Radius + 1, CY + Radius + 1, Colour,
              [&](double x, double y, double scale) {
                  return std::clamp((Radius - std::hypot(x - CX, y - CY)) * scale + 0.5, 0.0, 1.0);
              });
}
