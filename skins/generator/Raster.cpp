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

TRaster::TRaster(int Width, int Height, TRgb Fill)
    : FWidth(Width), FHeight(Height), FPixels(static_cast<size_t>(Width) * static_cast<size_t>(Height), Fill)
{
}

TRgb TRaster::At(int X, int Y) const
{
    if (!Contains(X, Y))
        return KeyColour;
    return FPixels[static_cast<size_t>(Y) * static_cast<size_t>(FWidth) + static_cast<size_t>(X)];
}

void TRaster::Set(int X, int Y, TRgb Colour)
{
    if (Contains(X, Y))
        FPixels[static_cast<size_t>(Y) * static_cast<size_t>(FWidth) + static_cast<size_t>(X)] = Colour;
}

void TRaster::Blend(int X, int Y, TRgb Colour, double Coverage)
{
    if (Contains(X, Y) && Coverage > 0.0)
        Set(X, Y, Mix(At(X, Y), Colour, Coverage));
}

void TRaster::FillRect(int X, int Y, int W, int H, TRgb Colour)
{
    for (int y = Y; y < Y + H; ++y)
        for (int x = X; x < X + W; ++x)
            Set(x, y, Colour);
}

void TRaster::VerticalGradient(int X, int Y, int W, int H, TRgb Top, TRgb Bottom)
{
    for (int y = 0; y < H; ++y) {
        TRgb c = H > 1 ? Mix(Top, Bottom, static_cast<double>(y) / (H - 1)) : Top;
        FillRect(X, Y + y, W, 1, c);
    }
}

void TRaster::Paste(const TRaster& Source, int X, int Y)
{
    for (int y = 0; y < Source.Height(); ++y)
        for (int x = 0; x < Source.Width(); ++x)
            Set(X + x, Y + y, Source.At(x, y));
}

TRaster TRaster::Crop(int X, int Y, int W, int H) const
{
    TRaster out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            out.Set(x, y, At(X + x, Y + y));
    return out;
}

TBitmapImage TRaster::ToImage() const
{
    TBitmapImage image;
    image.Create(FWidth, FHeight, 24);
    for (int y = 0; y < FHeight; ++y) {
        uint8_t* row = image.Row(y);
        for (int x = 0; x < FWidth; ++x) {
            TRgb c = At(x, y);
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
    int w = Frames.front().Width();
    int h = Frames.front().Height();
    int n = static_cast<int>(Frames.size());
    TRaster strip(Vertical ? w : w * n, Vertical ? h * n : h);
    for (int k = 0; k < n; ++k)
        strip.Paste(Frames[static_cast<size_t>(k)], Vertical ? 0 : k * w, Vertical ? k * h : 0);
    return strip;
}

double RoundRectDistance(int X, int Y, int W, int H, double Radius)
{
    double px = std::fabs(X + 0.5 - W / 2.0);
    double py = std::fabs(Y + 0.5 - H / 2.0);
    double qx = px - (W / 2.0 - Radius);
    double qy = py - (H / 2.0 - Radius);
    double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    double inside = std::min(std::max(qx, qy), 0.0);
    return outside + inside - Radius;
}

void StrokeLine(TRaster& Target, double X0, double Y0, double X1, double Y1, double Width, TRgb Colour)
{
    int left = static_cast<int>(std::floor(std::min(X0, X1) - Width));
    int right = static_cast<int>(std::ceil(std::max(X0, X1) + Width));
    int top = static_cast<int>(std::floor(std::min(Y0, Y1) - Width));
    int bottom = static_cast<int>(std::ceil(std::max(Y0, Y1) + Width));
    double dx = X1 - X0;
    double dy = Y1 - Y0;
    double length2 = dx * dx + dy * dy;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            double cx = x + 0.5;
            double cy = y + 0.5;
            double t = length2 > 0 ? std::clamp(((cx - X0) * dx + (cy - Y0) * dy) / length2, 0.0, 1.0) : 0.0;
            double d = std::hypot(cx - (X0 + t * dx), cy - (Y0 + t * dy));
            Target.Blend(x, y, Colour, std::clamp(Width / 2.0 + 0.5 - d, 0.0, 1.0));
        }
}

void FillDisc(TRaster& Target, double CX, double CY, double Radius, TRgb Colour)
{
    for (int y = static_cast<int>(std::floor(CY - Radius - 1)); y <= static_cast<int>(std::ceil(CY + Radius + 1)); ++y)
        for (int x = static_cast<int>(std::floor(CX - Radius - 1)); x <= static_cast<int>(std::ceil(CX + Radius + 1));
             ++x) {
            double d = std::hypot(x + 0.5 - CX, y + 0.5 - CY);
            Target.Blend(x, y, Colour, std::clamp(Radius + 0.5 - d, 0.0, 1.0));
        }
}
