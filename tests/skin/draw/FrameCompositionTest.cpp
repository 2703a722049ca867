// Frames composed in memory against the same pieces drawn through GDI one StretchBlt at a time:
// random pixels in every frame, so any column or row taken from the wrong place, any piece in the
// wrong order and any pixel left unwritten shows. Strips of 8, 24 and 32 bits, both directions,
// stretched and tiled centres, margins that are dropped and margins larger than the frame.
#include "skin/draw/SkinDraw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

struct TCase {
    int W, H;
    int Count, Index;
    int FW, FH;
    bool Vertical, Tile;
    TMargins Margins;
    TPixelFormat Format;
};

std::unique_ptr<TBitmap> RandomStrip(const TCase& c, std::mt19937& random)
{
    const int w = c.Vertical ? c.FW : c.FW * c.Count;
    const int h = c.Vertical ? c.FH * c.Count : c.FH;
    auto strip = std::make_unique<TBitmap>(w, h, c.Format == pf32bit ? pf32bit : pf24bit);
    const int bytes = c.Format == pf32bit ? 4 : 3;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = strip->ScanLine(y);
        for (int x = 0; x < w * bytes; ++x)
            row[x] = static_cast<uint8_t>(random());
    }
    if (c.Format == pf8bit)
        strip->SetPixelFormat(pf8bit);
    return strip;
}

// The nine pieces one by one through GDI, in the order they must come.
std::unique_ptr<TBitmap> DrawnThroughGdi(const TCase& c, TBitmap& Strip)
{
    const int FW = c.FW, FH = c.FH, W = c.W, H = c.H;
    const int SX = c.Vertical ? 0 : (c.Index - 1) * FW;
    const int SY = c.Vertical ? (c.Index - 1) * FH : 0;
    TMargins m = c.Margins;
    if (m.Left + m.Right > W)
        m.Left = m.Right = 0;
    if (m.Top + m.Bottom > H)
        m.Top = m.Bottom = 0;
    const int L = m.Left, T = m.Top, R = m.Right, B = m.Bottom;
    auto image = std::make_unique<TBitmap>(W, H, pf32bit);
    auto piece = [&](int x, int y, int w, int h, int sx, int sy, int sw, int sh) {
        if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
            return;
        HDC dc = image->Canvas()->Handle();
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, x, y, w, h, Strip.Canvas()->Handle(), SX + sx, SY + sy, sw, sh, SRCCOPY);
    };
    if (L > 0 && T > 0)
        piece(0, 0, L, T, 0, 0, L, T);
    if (L > 0 && B > 0)
        piece(0, H - B, L, B, 0, FH - B, L, B);
    if (R > 0 && T > 0)
        piece(W - R, 0, R, T, FW - R, 0, R, T);
    if (L > 0)
        piece(0, T, L, H - T - B, 0, T, L, FH - T - B);
    if (T > 0)
        piece(L, 0, W - L - R, T, L, 0, FW - L - R, T);
    if (c.Tile)
        TileBitmap(*image->Canvas(), RECT{L, T, W - R, H - B}, &Strip, RECT{SX + L, SY + T, SX + FW - R, SY + FH - B});
    else
        piece(L, T, W - L - R, H - T - B, L, T, FW - L - R, FH - T - B);
    if (R > 0 && B > 0)
        piece(W - R, H - B, R, B, FW - R, FH - B, R, B);
    if (R > 0)
        piece(W - R, T, R, H - T - B, FW - R, T, R, FH - T - B);
    if (B > 0)
        piece(L, H - B, W - L - R, B, L, FH - B, FW - L - R, B);
    GdiFlush();
    return image;
}

// The first pixel where two 32-bit bitmaps of one size differ (all four bytes), or -1.
long long FirstDifference(TBitmap& A, TBitmap& B)
{
    for (int y = 0; y < A.Height(); ++y) {
        const auto* a = reinterpret_cast<const uint32_t*>(A.ScanLine(y));
        const auto* b = reinterpret_cast<const uint32_t*>(B.ScanLine(y));
        for (int x = 0; x < A.Width(); ++x)
            if (a[x] != b[x])
                return static_cast<long long>(y) * A.Width() + x;
    }
    return -1;
}

std::string Describe(const TCase& c)
{
    return std::to_string(c.W) + "x" + std::to_string(c.H) + " frame " + std::to_string(c.Index) + "/" +
           std::to_string(c.Count) + " of " + std::to_string(c.FW) + "x" + std::to_string(c.FH) +
           (c.Vertical ? " stacked" : "") + (c.Tile ? " tiled" : "") + " margins " + std::to_string(c.Margins.Left) +
           "," + std::to_string(c.Margins.Top) + "," + std::to_string(c.Margins.Right) + "," +
           std::to_string(c.Margins.Bottom) + " bits " + std::to_string(static_cast<int>(c.Format));
}

} // namespace

TEST(FrameCompositionTest, NineSliceInMemoryGivesGdisPixels)
{
    std::mt19937 random(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const TPixelFormat formats[] = {pf24bit, pf32bit, pf8bit};
    for (int i = 0; i < 240; ++i) {
        TCase c{};
        c.Count = pick(1, 4);
        c.Index = pick(1, c.Count);
        c.FW = pick(1, 40);
        c.FH = pick(1, 40);
        c.Vertical = pick(0, 1) == 1;
        c.Tile = pick(0, 2) == 0;
        c.Format = formats[i % 3];
        // Mostly larger than the frame, some smaller (shrunk pieces), a few tiny.
        c.W = pick(0, 4) == 0 ? pick(1, 12) : pick(1, 260);
        c.H = pick(0, 4) == 0 ? pick(1, 12) : pick(1, 200);
        // Asymmetric margins within the frame; now and then beyond it (drawn through GDI then).
        const int reach = pick(0, 9) == 0 ? 2 : 1;
        c.Margins = TMargins{pick(0, c.FW * reach / 2), pick(0, c.FH * reach / 2), pick(0, c.FW * reach / 2),
                             pick(0, c.FH * reach / 2)};
        SCOPED_TRACE(Describe(c));
        auto strip = RandomStrip(c, random);
        auto composed = BuildFrameBitmap(RECT{3, 4, 3 + c.W, 4 + c.H}, strip.get(), c.Margins, c.Index, c.Count,
                                         c.Tile, c.Vertical);
        ASSERT_NE(composed, nullptr);
        ASSERT_EQ(composed->Width(), c.W);
        ASSERT_EQ(composed->Height(), c.H);
        auto expected = DrawnThroughGdi(c, *strip);
        const long long at = FirstDifference(*composed, *expected);
        ASSERT_EQ(at, -1) << "pixel " << at % c.W << "," << at / c.W;
        EXPECT_EQ(GetStretchBltMode(composed->Canvas()->Handle()), COLORONCOLOR);
    }
}

TEST(FrameCompositionTest, ThreeSliceBarInMemoryGivesGdisPixels)
{
    std::mt19937 random(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int i = 0; i < 120; ++i) {
        TCase c{};
        c.Count = pick(1, 3);
        c.Index = pick(1, c.Count);
        c.FW = pick(1, 30);
        c.FH = pick(1, 20);
        c.Format = i % 2 ? pf24bit : pf32bit;
        c.W = pick(1, 300);
        c.H = pick(1, 40);
        c.Margins = TMargins{pick(0, c.FW), 0, pick(0, c.FW), 0};
        SCOPED_TRACE(Describe(c));
        auto strip = RandomStrip(c, random);
        TBitmap drawn(c.W + 6, c.H + 4, pf32bit);
        DrawTiledFrame(*drawn.Canvas(), RECT{3, 2, 3 + c.W, 2 + c.H}, strip.get(), c.Margins, c.Index, c.Count,
                       false, false);

        // Through GDI: left end, the middles at their own width, the right end last.
        TBitmap bar(c.W, c.H, pf32bit);
        HDC dc = bar.Canvas()->Handle();
        SetStretchBltMode(dc, COLORONCOLOR);
        HDC src = strip->Canvas()->Handle();
        const int SX = (c.Index - 1) * c.FW, L = c.Margins.Left, R = c.Margins.Right, mid = c.FW - L - R;
        if (L > 0)
            StretchBlt(dc, 0, 0, L, c.H, src, SX, 0, L, c.FH, SRCCOPY);
        for (int x = L; mid > 0 && x < c.W - R; x += mid)
            StretchBlt(dc, x, 0, mid, c.H, src, SX + L, 0, mid, c.FH, SRCCOPY);
        if (R > 0)
            StretchBlt(dc, c.W - R, 0, R, c.H, src, SX + c.FW - R, 0, R, c.FH, SRCCOPY);
        TBitmap expected(c.W + 6, c.H + 4, pf32bit);
        BitBlt(expected.Canvas()->Handle(), 3, 2, c.W, c.H, dc, 0, 0, SRCCOPY);
        GdiFlush();
        const long long at = FirstDifference(drawn, expected);
        ASSERT_EQ(at, -1) << "pixel " << at % (c.W + 6) << "," << at / (c.W + 6);
    }
}

TEST(FrameCompositionTest, AFullScreenFrameIsComposedWholeFromItsPieces)
{
    // The size the engine paints most (a maximised window), from a strip of random pixels.
    TCase c{1920, 1080, 3, 2, 96, 96, false, false, TMargins{24, 30, 20, 26}, pf24bit};
    std::mt19937 random(3);
    auto strip = RandomStrip(c, random);
    for (bool tile : {false, true}) {
        c.Tile = tile;
        SCOPED_TRACE(Describe(c));
        auto composed = BuildFrameBitmap(RECT{0, 0, c.W, c.H}, strip.get(), c.Margins, 2, 3, tile, false);
        auto expected = DrawnThroughGdi(c, *strip);
        EXPECT_EQ(FirstDifference(*composed, *expected), -1);
    }
}
