// Flips and quarter turns of 24-bit bitmaps, checked pixel by pixel: the small cases whose
// result is easy to state, round trips on an image whose pixels all differ, and the format.
#include "skin/draw/SkinEffects.h"

#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Colors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr TColor ColourA = 0x00123456;
constexpr TColor ColourB = 0x00A1B2C3;
constexpr TColor ColourT = 0x00FF0001;
constexpr TColor ColourU = 0x000200FE;

void SetPixel(TBitmap& Bitmap, int X, int Y, TColor Colour)
{
    uint8_t* p = Bitmap.ScanLine(Y) + static_cast<size_t>(X) * 3;
    p[0] = static_cast<uint8_t>((Colour >> 16) & 0xFF); // blue
    p[1] = static_cast<uint8_t>((Colour >> 8) & 0xFF);  // green
    p[2] = static_cast<uint8_t>(Colour & 0xFF);         // red
}

// A 24-bit bitmap from rows of colours, top row first.
std::unique_ptr<TBitmap> MakeBitmap(const std::vector<std::vector<TColor>>& Rows)
{
    const int height = static_cast<int>(Rows.size());
    const int width = static_cast<int>(Rows.front().size());
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixel(*bitmap, x, y, Rows[static_cast<size_t>(y)][static_cast<size_t>(x)]);
    return bitmap;
}

// W x H pixels, each of its own colour.
std::unique_ptr<TBitmap> MakeDistinct(int Width, int Height)
{
    std::vector<std::vector<TColor>> rows(static_cast<size_t>(Height));
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            rows[static_cast<size_t>(y)].push_back(static_cast<TColor>(
                ((x * 37 + 11) & 0xFF) | (((y * 53 + 7) & 0xFF) << 8) | (((x * 5 + y * 71 + 200) & 0xFF) << 16)));
    return MakeBitmap(rows);
}

std::vector<std::vector<TColor>> Pixels(TBitmap& Bitmap)
{
    std::vector<std::vector<TColor>> rows(static_cast<size_t>(Bitmap.Height()));
    for (int y = 0; y < Bitmap.Height(); ++y)
        for (int x = 0; x < Bitmap.Width(); ++x)
            rows[static_cast<size_t>(y)].push_back(Bitmap.PixelColor(x, y));
    return rows;
}

void ExpectSize(TBitmap& Bitmap, int Width, int Height)
{
    EXPECT_EQ(Bitmap.Width(), Width);
    EXPECT_EQ(Bitmap.Height(), Height);
    EXPECT_EQ(Bitmap.PixelFormat(), pf24bit);
}

TEST(SkinEffects, RotateLeftTurnsRowIntoColumn)
{
    auto bitmap = MakeBitmap({{ColourA, ColourB}});
    RotateBitmapLeft(bitmap.get());
    ExpectSize(*bitmap, 1, 2);
    EXPECT_EQ(bitmap->PixelColor(0, 0), ColourB);
    EXPECT_EQ(bitmap->PixelColor(0, 1), ColourA);
}

TEST(SkinEffects, RotateRightTurnsRowIntoColumn)
{
    auto bitmap = MakeBitmap({{ColourA, ColourB}});
    RotateBitmapRight(bitmap.get());
    ExpectSize(*bitmap, 1, 2);
    EXPECT_EQ(bitmap->PixelColor(0, 0), ColourA);
    EXPECT_EQ(bitmap->PixelColor(0, 1), ColourB);
}

TEST(SkinEffects, RotateLeftTurnsColumnIntoRow)
{
    auto bitmap = MakeBitmap({{ColourT}, {ColourU}});
    RotateBitmapLeft(bitmap.get());
    ExpectSize(*bitmap, 2, 1);
    EXPECT_EQ(bitmap->PixelColor(0, 0), ColourT);
    EXPECT_EQ(bitmap->PixelColor(1, 0), ColourU);
}

TEST(SkinEffects, RotateRightTurnsColumnIntoRow)
{
    auto bitmap = MakeBitmap({{ColourT}, {ColourU}});
    RotateBitmapRight(bitmap.get());
    ExpectSize(*bitmap, 2, 1);
    EXPECT_EQ(bitmap->PixelColor(0, 0), ColourU);
    EXPECT_EQ(bitmap->PixelColor(1, 0), ColourT);
}

TEST(SkinEffects, RotateLeftMovesEveryPixel)
{
    auto bitmap = MakeDistinct(5, 3);
    const auto before = Pixels(*bitmap);
    RotateBitmapLeft(bitmap.get());
    ExpectSize(*bitmap, 3, 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(bitmap->PixelColor(y, 5 - 1 - x), before[static_cast<size_t>(y)][static_cast<size_t>(x)])
                << "source " << x << "," << y;
}

TEST(SkinEffects, RotateRightMovesEveryPixel)
{
    auto bitmap = MakeDistinct(5, 3);
    const auto before = Pixels(*bitmap);
    RotateBitmapRight(bitmap.get());
    ExpectSize(*bitmap, 3, 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(bitmap->PixelColor(3 - 1 - y, x), before[static_cast<size_t>(y)][static_cast<size_t>(x)])
                << "source " << x << "," << y;
}

TEST(SkinEffects, RotateLeftThenRightGivesBackTheImage)
{
    auto bitmap = MakeDistinct(5, 3);
    const auto before = Pixels(*bitmap);
    RotateBitmapLeft(bitmap.get());
    RotateBitmapRight(bitmap.get());
    ExpectSize(*bitmap, 5, 3);
    EXPECT_EQ(Pixels(*bitmap), before);
}

TEST(SkinEffects, RotateRightThenLeftGivesBackTheImage)
{
    auto bitmap = MakeDistinct(5, 3);
    const auto before = Pixels(*bitmap);
    RotateBitmapRight(bitmap.get());
    RotateBitmapLeft(bitmap.get());
    ExpectSize(*bitmap, 5, 3);
    EXPECT_EQ(Pixels(*bitmap), before);
}

TEST(SkinEffects, FourLeftTurnsGiveBackTheImage)
{
    auto bitmap = MakeDistinct(5, 3);
    const auto before = Pixels(*bitmap);
    for (int i = 0; i < 4; ++i)
        RotateBitmapLeft(bitmap.get());
    ExpectSize(*bitmap, 5, 3);
    EXPECT_EQ(Pixels(*bitmap), before);
}

TEST(SkinEffects, FlipMirrorsTopToBottom)
{
    auto bitmap = MakeDistinct(4, 3);
    const auto before = Pixels(*bitmap);
    FlipBitmapVertical(bitmap.get());
    ExpectSize(*bitmap, 4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bitmap->PixelColor(x, y), before[static_cast<size_t>(3 - 1 - y)][static_cast<size_t>(x)])
                << "pixel " << x << "," << y;
}

TEST(SkinEffects, FlipTwiceGivesBackTheImage)
{
    auto bitmap = MakeDistinct(5, 3);
    const auto before = Pixels(*bitmap);
    FlipBitmapVertical(bitmap.get());
    FlipBitmapVertical(bitmap.get());
    ExpectSize(*bitmap, 5, 3);
    EXPECT_EQ(Pixels(*bitmap), before);
}

TEST(SkinEffects, FlipOfOneRowChangesNothing)
{
    auto bitmap = MakeBitmap({{ColourA, ColourB, ColourT}});
    FlipBitmapVertical(bitmap.get());
    ExpectSize(*bitmap, 3, 1);
    EXPECT_EQ(Pixels(*bitmap), (std::vector<std::vector<TColor>>{{ColourA, ColourB, ColourT}}));
}

TEST(SkinEffects, WideOddSizedImageRotatesExactly)
{
    // A width whose rows need padding both before and after the turn.
    auto bitmap = MakeDistinct(7, 2);
    const auto before = Pixels(*bitmap);
    RotateBitmapRight(bitmap.get());
    ExpectSize(*bitmap, 2, 7);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(bitmap->PixelColor(2 - 1 - y, x), before[static_cast<size_t>(y)][static_cast<size_t>(x)]);
    RotateBitmapLeft(bitmap.get());
    EXPECT_EQ(Pixels(*bitmap), before);
}

TEST(SkinEffects, EmptyBitmapIsLeftAlone)
{
    TBitmap bitmap;
    FlipBitmapVertical(&bitmap);
    RotateBitmapLeft(&bitmap);
    RotateBitmapRight(&bitmap);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
}

} // namespace

TEST(SkinEffects, BitmapsOfOtherFormatsAreTurnedWithTheirColours)
{
    // 8-bit (a palette), 32-bit and 1-bit bitmaps: each transform gives the 24-bit bitmap a
    // 24-bit copy of the same image would give.
    for (TPixelFormat format : {pf8bit, pf32bit, pf1bit}) {
        SCOPED_TRACE(static_cast<int>(format));
        auto reference = MakeBitmap({{ColourA, ColourB, 0x000000}, {0xFFFFFF, ColourA, ColourB}});
        if (format == pf1bit)
            reference = MakeBitmap({{0x000000, 0xFFFFFF, 0x000000}, {0xFFFFFF, 0xFFFFFF, 0x000000}});
        TBitmap other;
        other.Assign(reference.get());
        other.SetPixelFormat(format);
        ASSERT_EQ(other.PixelFormat(), format);
        const auto colours = Pixels(other);
        for (void (*transform)(TBitmap*) : {&FlipBitmapVertical, &RotateBitmapLeft, &RotateBitmapRight}) {
            TBitmap copy;
            copy.Assign(&other);
            TBitmap expected(3, 2, pf24bit);
            expected.Assign(&other);
            expected.SetPixelFormat(pf24bit);
            transform(&copy);
            transform(&expected);
            EXPECT_EQ(copy.PixelFormat(), pf24bit);
            EXPECT_EQ(Pixels(copy), Pixels(expected));
        }
        EXPECT_EQ(Pixels(other), colours);
    }
}
