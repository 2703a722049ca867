#include "skin/draw/SkinScale.h"

#include "framework/graphics/GraphicsObjects.h"
#include "skin/draw/FrameComposer.h"

#include <algorithm>
#include <vector>

int ScaleLength(int Length, int ToDpi, int FromDpi)
{
    if (ToDpi == FromDpi || FromDpi <= 0)
        return Length;
    return MulDiv(Length, ToDpi, FromDpi);
}

int ScreenLength(int Length)
{
    return ScaleLength(Length, ScreenPixelsPerInch());
}

TMargins ScaleMargins(const TMargins& Margins, int ToDpi, int FromDpi)
{
    return TMargins{ScaleLength(Margins.Left, ToDpi, FromDpi), ScaleLength(Margins.Top, ToDpi, FromDpi),
                    ScaleLength(Margins.Right, ToDpi, FromDpi), ScaleLength(Margins.Bottom, ToDpi, FromDpi)};
}

namespace {

// One target pixel's share of one source pixel, along one axis.
struct TShare {
    int Source;
    double Weight;
};

// For each of Target target pixels, the source pixels (of Source) it covers and how much of it
// each covers; the weights of a target pixel add up to 1.
std::vector<std::vector<TShare>> Shares(int Source, int Target)
{
    std::vector<std::vector<TShare>> shares(static_cast<size_t>(Target));
    const double step = static_cast<double>(Source) / Target;
    for (int t = 0; t < Target; ++t) {
        const double from = t * step;
        const double to = from + step;
        for (int s = static_cast<int>(from); s < Source && s < to; ++s) {
            const double part = std::min<double>(to, s + 1) - std::max<double>(from, s);
            if (part > 1e-9)
                shares[static_cast<size_t>(t)].push_back(TShare{s, part / step});
        }
    }
    return shares;
}

// The source piece (SX, SY, SW, SH) of Source into the target piece (X, Y, W, H) of Dest.
void ScalePiece(const TPixelView& Dest, int X, int Y, int W, int H, const TPixelView& Source, int SX, int SY, int SW,
                int SH)
{
    if (W <= 0 || H <= 0 || SW <= 0 || SH <= 0)
        return;
    if (W % SW == 0 && H % SH == 0) {
        // A whole scale (or none): each source pixel becomes a block of equal pixels.
        const int kx = W / SW;
        const int ky = H / SH;
        for (int y = 0; y < H; ++y) {
            const uint32_t* in = Source.Row(SY + y / ky) + SX;
            uint32_t* out = Dest.Row(Y + y) + X;
            for (int x = 0; x < W; ++x)
                out[x] = in[x / kx];
        }
        return;
    }
    const auto across = Shares(SW, W);
    const auto down = Shares(SH, H);
    const uint32_t key = SkinKeyColour;
    for (int y = 0; y < H; ++y) {
        uint32_t* out = Dest.Row(Y + y) + X;
        for (int x = 0; x < W; ++x) {
            double keyed = 0, r = 0, g = 0, b = 0;
            for (const TShare& dy : down[static_cast<size_t>(y)]) {
                const uint32_t* in = Source.Row(SY + dy.Source) + SX;
                for (const TShare& dx : across[static_cast<size_t>(x)]) {
                    const double w = dx.Weight * dy.Weight;
                    const uint32_t p = in[dx.Source] & 0xFFFFFF;
                    if (p == key) {
                        keyed += w;
                    } else {
                        r += w * ((p >> 16) & 0xFF);
                        g += w * ((p >> 8) & 0xFF);
                        b += w * (p & 0xFF);
                    }
                }
            }
            if (keyed >= 0.5) {
                out[x] = key;
                continue;
            }
            const double rest = 1.0 - keyed;
            auto channel = [rest](double v) { return static_cast<uint32_t>(std::clamp(v / rest + 0.5, 0.0, 255.0)); };
            uint32_t pixel = (channel(r) << 16) | (channel(g) << 8) | channel(b);
            // A blend that lands on the key by chance would turn transparent: one step off it.
            if (pixel == key)
                pixel ^= 0x000100;
            out[x] = pixel;
        }
    }
}

// The three spans a length is cut into by its two margins, source and target; margins that do
// not fit leave the whole length one span.
struct TSpans {
    int Source[4];
    int Target[4];
};

TSpans Cut(int Length, int Start, int End, int Scaled, int ScaledStart, int ScaledEnd)
{
    if (Start < 0 || End < 0 || Start + End >= Length || ScaledStart + ScaledEnd >= Scaled)
        Start = End = ScaledStart = ScaledEnd = 0;
    return TSpans{{0, Start, Length - End, Length}, {0, ScaledStart, Scaled - ScaledEnd, Scaled}};
}

// How many frames a strip holds and the size of each: a strip whose length is not a whole number
// of frames is one frame.
struct TStripFrames {
    int Count;
    int Width;
    int Height;
};

TStripFrames FramesOf(const TBitmap& Strip, const TStripLayout& Layout)
{
    int frames = std::max(1, Layout.Frames);
    if ((Layout.Vertical ? Strip.Height() : Strip.Width()) % frames != 0)
        frames = 1;
    return TStripFrames{frames, Layout.Vertical ? Strip.Width() : Strip.Width() / frames,
                        Layout.Vertical ? Strip.Height() / frames : Strip.Height()};
}

} // namespace

TFrameTarget ScaledFrame(const TBitmap& Strip, const TStripLayout& Layout, int ToDpi, int FromDpi)
{
    const TStripFrames held = FramesOf(Strip, Layout);
    return TFrameTarget{std::max(1, ScaleLength(held.Width, ToDpi, FromDpi)),
                        std::max(1, ScaleLength(held.Height, ToDpi, FromDpi)),
                        ScaleMargins(Layout.Margins, ToDpi, FromDpi)};
}

std::unique_ptr<TBitmap> ScaleStrip(TBitmap& Strip, const TStripLayout& Layout, int ToDpi, int FromDpi)
{
    return ScaleStrip(Strip, Layout, ScaledFrame(Strip, Layout, ToDpi, FromDpi));
}

std::unique_ptr<TBitmap> ScaleStrip(TBitmap& Strip, const TStripLayout& Layout, const TFrameTarget& Target)
{
    if (Strip.Empty() || Strip.Width() <= 0 || Strip.Height() <= 0 || Target.Width <= 0 || Target.Height <= 0)
        return nullptr;
    const TStripFrames held = FramesOf(Strip, Layout);
    const int frames = held.Count, fw = held.Width, fh = held.Height, sw = Target.Width, sh = Target.Height;
    const TMargins m = Layout.Margins;
    const TMargins sm = Target.Margins;
    const TSpans across = Cut(fw, m.Left, m.Right, sw, sm.Left, sm.Right);
    const TSpans down = Cut(fh, m.Top, m.Bottom, sh, sm.Top, sm.Bottom);

    auto scaled = std::make_unique<TBitmap>(Layout.Vertical ? sw : sw * frames, Layout.Vertical ? sh * frames : sh,
                                            pf32bit, TInitialPixels::Undefined);
    const TFramePixels source(Strip, 0, 0, Strip.Width(), Strip.Height());
    const TPixelView dest = PixelViewOf(*scaled);
    for (int f = 0; f < frames; ++f) {
        const int fx = Layout.Vertical ? 0 : f * fw;
        const int fy = Layout.Vertical ? f * fh : 0;
        const int tx = Layout.Vertical ? 0 : f * sw;
        const int ty = Layout.Vertical ? f * sh : 0;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                ScalePiece(dest, tx + across.Target[i], ty + down.Target[j], across.Target[i + 1] - across.Target[i],
                           down.Target[j + 1] - down.Target[j], source.View(), fx + across.Source[i],
                           fy + down.Source[j], across.Source[i + 1] - across.Source[i],
                           down.Source[j + 1] - down.Source[j]);
    }
    return scaled;
}
