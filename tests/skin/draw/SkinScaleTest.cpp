// Skin strips redrawn for another DPI: sizes, corners, hard edges and the key colour.
#include "skin/draw/FrameComposer.h"
#include "skin/draw/SkinScale.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A strip of Frames frames of W x H: a 2-pixel border of Edge around a Middle, the corner pixel
// of each frame Corner, and its last column the key colour.
std::unique_ptr<TBitmap> MakeStrip(int Frames, int W, int H)
{
    auto strip = std::make_unique<TBitmap>(W * Frames, H, pf32bit, TInitialPixels::Zero);
    const TPixelView v = PixelViewOf(*strip);
    for (int f = 0; f < Frames; ++f)
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                uint32_t p = (x < 2 || y < 2 || y >= H - 2) ? 0x203040u + 0x10 * static_cast<uint32_t>(f) : 0xC0D0E0u;
                if (x == 0 && y == 0)
                    p = 0xFF0000;
                if (x == W - 1)
                    p = SkinKeyColour;
                v.Row(y)[f * W + x] = p;
            }
    return strip;
}

uint32_t At(TBitmap& B, int X, int Y)
{
    return PixelViewOf(B).Row(Y)[X] & 0xFFFFFF;
}

} // namespace

TEST(SkinScaleTest, FramesScaleWithTheirMarginsCornersAndKeyKept)
{
    auto strip = MakeStrip(3, 10, 8);
    const TStripLayout layout{3, false, TMargins{2, 2, 2, 2}};
    // At the skin's own DPI the strip comes back pixel for pixel.
    std::unique_ptr<TBitmap> same = ScaleStrip(*strip, layout, 96);
    ASSERT_NE(same, nullptr);
    ASSERT_EQ(same->Width(), 30);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(At(*same, x, y), At(*strip, x, y)) << x << "," << y;
    for (const int dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        std::unique_ptr<TBitmap> scaled = ScaleStrip(*strip, layout, dpi);
        ASSERT_NE(scaled, nullptr);
        const int fw = MulDiv(10, dpi, 96);
        const int fh = MulDiv(8, dpi, 96);
        const int edge = MulDiv(2, dpi, 96);
        // Each frame is the scaled size of one frame: the frames never drift into each other.
        EXPECT_EQ(scaled->Width(), 3 * fw);
        EXPECT_EQ(scaled->Height(), fh);
        for (int f = 0; f < 3; ++f) {
            const int x0 = f * fw;
            // The corner stays in the corner piece: its first pixel is the corner's colour.
            EXPECT_EQ(At(*scaled, x0, 0), 0xFF0000u);
            // The border stays exactly the border's width and never bleeds into the middle.
            const uint32_t border = 0x203040u + 0x10 * static_cast<uint32_t>(f);
            EXPECT_EQ(At(*scaled, x0 + edge - 1, fh / 2), border);
            EXPECT_EQ(At(*scaled, x0 + edge, fh / 2), 0xC0D0E0u);
            EXPECT_EQ(At(*scaled, x0 + fw / 2, edge - 1), border);
            EXPECT_EQ(At(*scaled, x0 + fw / 2, fh - edge), border);
            // The key colour column stays exact key pixels, without a pink fringe beside it.
            EXPECT_EQ(At(*scaled, x0 + fw - 1, fh / 2), SkinKeyColour);
            for (int x = x0; x < x0 + fw; ++x) {
                const uint32_t p = At(*scaled, x, fh / 2);
                EXPECT_TRUE(p == SkinKeyColour || (p & 0xFF0000) != 0xFF0000) << "pink fringe at " << x;
            }
        }
    }
    // A whole scale repeats pixels: every 2 x 2 block is one colour (hard edges).
    std::unique_ptr<TBitmap> twice = ScaleStrip(*strip, layout, 192);
    for (int y = 0; y < twice->Height(); y += 2)
        for (int x = 0; x < twice->Width(); x += 2) {
            const uint32_t p = At(*twice, x, y);
            EXPECT_TRUE(At(*twice, x + 1, y) == p && At(*twice, x, y + 1) == p && At(*twice, x + 1, y + 1) == p)
                << x << "," << y;
        }
    // A strip that does not hold a whole number of frames scales as one.
    auto odd = MakeStrip(1, 11, 8);
    std::unique_ptr<TBitmap> whole = ScaleStrip(*odd, TStripLayout{3, false, {}}, 144);
    EXPECT_EQ(whole->Width(), MulDiv(11, 144, 96));
    EXPECT_EQ(ScaleLength(-7, 144), -11);
}
