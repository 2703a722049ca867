// The masked blit against its definition, pixel by pixel: where the mask is 1 the destination
// stays, elsewhere the source is copied; key pixels on and around the edges of the cells it
// works in, a solid block of them, source offsets, both methods.
#include "framework/graphics/MaskedBlit.h"

#include "framework/graphics/Bitmap.h"
#include "framework/win/Handles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

uint32_t& At(TBitmap& Bitmap, int X, int Y)
{
    return reinterpret_cast<uint32_t*>(Bitmap.ScanLine(Y))[X];
}

void FillRandom(TBitmap& Bitmap, std::mt19937& Random)
{
    for (int y = 0; y < Bitmap.Height(); ++y)
        for (int x = 0; x < Bitmap.Width(); ++x)
            At(Bitmap, x, y) = Random() & 0xFFFFFFu;
}

} // namespace

TEST(MaskedBltTest, CopiesTheSourceExactlyWhereTheMaskIsClear)
{
    constexpr int W = 150, H = 100;
    std::mt19937 random(5);
    TBitmap source(W, H, pf32bit);
    FillRandom(source, random);

    std::vector<bool> key(static_cast<size_t>(W) * H, false);
    auto mark = [&](int x, int y) { key[static_cast<size_t>(y) * W + x] = true; };
    // Single key pixels alone in their cells, on the cells' edges and corners and inside them.
    for (int cy = 0; cy * 32 < H; ++cy)
        for (int cx = 0; cx * 32 < W; ++cx) {
            if ((cx + cy) % 3 == 2)
                continue; // a clear cell
            const int edges[] = {0, 31, 5 + (cx * 7 + cy * 3) % 20};
            const int x = cx * 32 + edges[(cx + 2 * cy) % 3], y = cy * 32 + edges[(2 * cx + cy + 1) % 3];
            if (x < W && y < H)
                mark(x, y);
        }
    mark(149, 99);
    for (int y = 60; y < 70; ++y)
        for (int x = 40; x < 50; ++x)
            mark(x, y);
    const size_t rowBytes = (W + 15) / 16 * 2;
    std::vector<uint8_t> bits(rowBytes * H, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (key[static_cast<size_t>(y) * W + x])
                bits[y * rowBytes + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    TBitmapHandle mask(CreateBitmap(W, H, 1, 1, bits.data()));
    ASSERT_TRUE(mask);

    struct TArea {
        int X, Y, SX, SY, Width, Height;
    };
    for (TMaskMethod method : {TMaskMethod::MaskBlt, TMaskMethod::ThreeBlits}) {
        for (const TArea& a : {TArea{5, 7, 0, 0, W, H}, TArea{0, 0, 20, 30, 110, 65}, TArea{50, 10, 33, 1, 1, 1}}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(method)) + ": from " + std::to_string(a.SX) + "," +
                         std::to_string(a.SY) + " " + std::to_string(a.Width) + "x" + std::to_string(a.Height));
            TBitmap dest(170, 120, pf32bit);
            FillRandom(dest, random);
            std::vector<uint32_t> before;
            for (int y = 0; y < dest.Height(); ++y)
                for (int x = 0; x < dest.Width(); ++x)
                    before.push_back(At(dest, x, y));
            HDC dc = dest.Canvas()->Handle();
            SetTextColor(dc, 0x123456);
            SetBkColor(dc, 0x654321);
            MaskedBlt(dc, a.X, a.Y, a.Width, a.Height, source.Canvas()->Handle(), a.SX, a.SY, mask.get(), method);
            EXPECT_EQ(GetTextColor(dc), 0x123456u);
            EXPECT_EQ(GetBkColor(dc), 0x654321u);
            for (int y = 0; y < dest.Height(); ++y)
                for (int x = 0; x < dest.Width(); ++x) {
                    const int sx = x - a.X + a.SX, sy = y - a.Y + a.SY;
                    const bool inside = x >= a.X && x < a.X + a.Width && y >= a.Y && y < a.Y + a.Height;
                    const uint32_t old = before[static_cast<size_t>(y) * dest.Width() + x];
                    const uint32_t expected =
                        inside && !key[static_cast<size_t>(sy) * W + sx] ? At(source, sx, sy) : old;
                    ASSERT_EQ(At(dest, x, y) & 0xFFFFFFu, expected) << x << "," << y;
                }
        }
    }
}
