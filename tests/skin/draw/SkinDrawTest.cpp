// Frame-strip drawing on DIB sections, pixel by pixel. Every piece of a test frame has a colour of
// its own (corners, edges and centre, and each frame differently), so a wrong source rectangle, a
// swapped piece or a wrong order shows as a wrong pixel.
#include "skin/draw/SkinDraw.h"

#include "framework/win/Handles.h"
#include "framework/win/Platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// A strip of Count frames of FW x FH, side by side or stacked; Colour(frame, x, y) is 0x00BBGGRR.
std::unique_ptr<TBitmap> MakeStrip(int Count, int FW, int FH, bool Vertical,
                                   const std::function<TColor(int, int, int)>& Colour)
{
    auto strip = std::make_unique<TBitmap>(Vertical ? FW : FW * Count, Vertical ? FH * Count : FH, pf24bit);
    for (int k = 1; k <= Count; ++k)
        for (int y = 0; y < FH; ++y)
            for (int x = 0; x < FW; ++x) {
                const TColor c = Colour(k, x, y);
                const int px = Vertical ? x : (k - 1) * FW + x;
                const int py = Vertical ? (k - 1) * FH + y : y;
                uint8_t* p = strip->ScanLine(py) + px * 3;
                p[0] = static_cast<uint8_t>(c >> 16);
                p[1] = static_cast<uint8_t>(c >> 8);
                p[2] = static_cast<uint8_t>(c);
            }
    return strip;
}

// The nine pieces of a frame with margins M, numbered 1..9 row by row (1 top-left ... 9
// bottom-right), in frame k: colour k * 16 + piece in red, piece * 20 in green, k * 40 in blue.
TColor PieceColour(int K, int Piece)
{
    return static_cast<TColor>((K * 16 + Piece) | ((Piece * 20) << 8) | ((K * 40) << 16));
}

std::unique_ptr<TBitmap> NineStrip(int Count, int FW, int FH, const TMargins& M, bool Vertical = false)
{
    return MakeStrip(Count, FW, FH, Vertical, [&](int k, int x, int y) {
        const int col = x < M.Left ? 0 : (x >= FW - M.Right ? 2 : 1);
        const int row = y < M.Top ? 0 : (y >= FH - M.Bottom ? 2 : 1);
        return PieceColour(k, row * 3 + col + 1);
    });
}

std::unique_ptr<TBitmap> Surface(int W, int H, TColor Fill)
{
    auto b = std::make_unique<TBitmap>(W, H, pf32bit);
    b->Canvas()->Brush()->SetColor(Fill);
    b->Canvas()->FillRect(RECT{0, 0, W, H});
    return b;
}

// The rectangles of a region, in its own order.
std::vector<RECT> Rects(HRGN Region)
{
    const DWORD size = GetRegionData(Region, 0, nullptr);
    std::vector<uint8_t> data(size);
    GetRegionData(Region, size, reinterpret_cast<RGNDATA*>(data.data()));
    const auto* header = reinterpret_cast<const RGNDATAHEADER*>(data.data());
    const auto* first = reinterpret_cast<const RECT*>(data.data() + header->dwSize);
    return std::vector<RECT>(first, first + header->nCount);
}

bool Same(const RECT& A, const RECT& B)
{
    return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

} // namespace

TEST(SkinDrawTest, NineSliceKeepsCornersStretchesEdgesAndDropsMarginsInPairs)
{
    const TMargins m{8, 8, 8, 8};
    auto strip = NineStrip(3, 20, 30, m);
    auto image = BuildFrameBitmap(RECT{5, 5, 105, 25}, strip.get(), m, 2, 3, false, false);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->Width(), 100);
    ASSERT_EQ(image->Height(), 20);
    struct TProbe {
        int X, Y, Piece;
    };
    for (const TProbe& p : {TProbe{0, 0, 1}, TProbe{7, 7, 1}, TProbe{8, 0, 2}, TProbe{91, 7, 2}, TProbe{92, 0, 3},
                            TProbe{99, 7, 3}, TProbe{0, 8, 4}, TProbe{7, 11, 4}, TProbe{8, 8, 5}, TProbe{91, 11, 5},
                            TProbe{92, 8, 6}, TProbe{99, 11, 6}, TProbe{0, 12, 7}, TProbe{7, 19, 7}, TProbe{50, 12, 8},
                            TProbe{50, 19, 8}, TProbe{92, 12, 9}, TProbe{99, 19, 9}})
        EXPECT_EQ(image->PixelColor(p.X, p.Y), PieceColour(2, p.Piece)) << p.X << "," << p.Y;

    // Side margins larger than the width: both go, top and bottom stay.
    auto narrow = BuildFrameBitmap(RECT{0, 0, 10, 20}, strip.get(), TMargins{6, 8, 6, 8}, 1, 3, false, false);
    // The top edge now spans the frame's whole width, corners included, shrunk to 10 columns.
    EXPECT_EQ(narrow->PixelColor(0, 0), PieceColour(1, 1));
    EXPECT_EQ(narrow->PixelColor(9, 19), PieceColour(1, 9));
    EXPECT_EQ(narrow->PixelColor(5, 10), PieceColour(1, 5));
    // A sum equal to the size keeps them: no centre at all.
    auto exact = BuildFrameBitmap(RECT{0, 0, 16, 20}, strip.get(), m, 3, 3, false, false);
    EXPECT_EQ(exact->PixelColor(7, 10), PieceColour(3, 4));
    EXPECT_EQ(exact->PixelColor(8, 10), PieceColour(3, 6));
    EXPECT_EQ(exact->PixelColor(15, 0), PieceColour(3, 3));

    // A vertical strip: frames stacked, asymmetric margins.
    const TMargins v{2, 3, 4, 5};
    auto stacked = NineStrip(2, 12, 14, v, true);
    auto fromStack = BuildFrameBitmap(RECT{0, 0, 30, 40}, stacked.get(), v, 2, 2, false, true);
    EXPECT_EQ(fromStack->PixelColor(0, 0), PieceColour(2, 1));
    EXPECT_EQ(fromStack->PixelColor(1, 2), PieceColour(2, 1));
    EXPECT_EQ(fromStack->PixelColor(2, 3), PieceColour(2, 5));
    EXPECT_EQ(fromStack->PixelColor(25, 34), PieceColour(2, 5));
    EXPECT_EQ(fromStack->PixelColor(26, 35), PieceColour(2, 9));
    EXPECT_EQ(fromStack->PixelColor(29, 39), PieceColour(2, 9));

    // Frames the callers never ask for: nothing.
    EXPECT_EQ(BuildFrameBitmap(RECT{0, 0, 10, 10}, strip.get(), m, 4, 3, false, false), nullptr);
    EXPECT_EQ(BuildFrameBitmap(RECT{0, 0, 10, 10}, strip.get(), m, 1, 0, false, false), nullptr);
}

TEST(SkinDrawTest, TiledCentreOverrunIsCoveredByThePiecesDrawnAfterIt)
{
    // A 9 x 9 frame, margins 2: the centre is 5 columns, each its own colour.
    const TMargins m{2, 2, 2, 2};
    auto strip = MakeStrip(1, 9, 9, false, [](int, int x, int y) {
        if (x < 2 || x >= 7 || y < 2 || y >= 7)
            return static_cast<TColor>(0x0000FF + (x >= 7 ? 0x00FF00 : 0) + (y >= 7 ? 0x800000 : 0));
        return static_cast<TColor>(0x101010 * (x - 1));
    });
    auto image = BuildFrameBitmap(RECT{0, 0, 16, 9}, strip.get(), m, 1, 1, true, false);
    for (int x = 2; x < 14; ++x)
        EXPECT_EQ(image->PixelColor(x, 4), static_cast<TColor>(0x101010 * ((x - 2) % 5 + 1))) << x;
    // The third tile ran 3 columns into the right edge, which covers it.
    EXPECT_EQ(image->PixelColor(14, 4), static_cast<TColor>(0x0000FF + 0x00FF00));
    EXPECT_EQ(image->PixelColor(15, 4), static_cast<TColor>(0x0000FF + 0x00FF00));
}

TEST(SkinDrawTest, ThreeSliceBarRepeatsTheMiddleAndDrawsTheRightEndLast)
{
    // A frame of 3 + 10 + 3 columns: the middle's columns numbered by colour.
    const TMargins m{3, 0, 3, 0};
    auto strip = MakeStrip(2, 16, 4, false, [](int k, int x, int) {
        if (x < 3)
            return static_cast<TColor>(0x0000F0 + k);
        if (x >= 13)
            return static_cast<TColor>(0x00F000 + k);
        return static_cast<TColor>(0x010000 * (x - 2) + k);
    });
    auto target = Surface(31, 8, clWhite);
    DrawTiledFrame(*target->Canvas(), RECT{0, 0, 31, 8}, strip.get(), m, 2, 2, false, false);
    EXPECT_EQ(target->PixelColor(0, 7), static_cast<TColor>(0x0000F0 + 2)); // the height is stretched
    for (int x = 3; x < 28; ++x)
        EXPECT_EQ(target->PixelColor(x, 3), static_cast<TColor>(0x010000 * ((x - 3) % 10 + 1) + 2)) << x;
    for (int x = 28; x < 31; ++x)
        EXPECT_EQ(target->PixelColor(x, 3), static_cast<TColor>(0x00F000 + 2)) << x;

    // No middle (the ends fill the frame): the ends only, and no endless loop.
    auto ends = Surface(20, 4, clWhite);
    DrawTiledFrame(*ends->Canvas(), RECT{0, 0, 20, 4}, strip.get(), TMargins{8, 0, 8, 0}, 1, 2, false, false);
    EXPECT_EQ(ends->PixelColor(19, 0), static_cast<TColor>(0x00F000 + 1));

    // Transparent: the magenta of the bar leaves the canvas alone.
    auto keyed = MakeStrip(1, 4, 2, false, [](int, int x, int) { return x == 1 ? SkinKeyColour : clNavy; });
    auto onGreen = Surface(4, 2, clLime);
    DrawTiledFrame(*onGreen->Canvas(), RECT{0, 0, 4, 2}, keyed.get(), TMargins{}, 1, 1, true, false);
    EXPECT_EQ(onGreen->PixelColor(0, 0), clNavy);
    EXPECT_EQ(onGreen->PixelColor(1, 0), clLime);
}

TEST(SkinDrawTest, TransparentDrawsLeaveTheKeyPixelsOnBothPlatformPaths)
{
    auto bitmap = MakeStrip(1, 6, 4, false, [](int, int x, int y) {
        return (x + y) % 3 == 0 ? SkinKeyColour : static_cast<TColor>(0x102030 * (x + 1));
    });
    for (bool nt : {true, false}) {
        SCOPED_TRACE(nt ? "NT" : "9x");
        TPlatformOverride platform(nt ? TPlatformVersion::NT(5) : TPlatformVersion::Win9x());
        auto target = Surface(10, 8, clLime);
        HDC dc = target->Canvas()->Handle();
        const COLORREF text = GetTextColor(dc);
        const COLORREF back = GetBkColor(dc);
        DrawTransparentBitmap(dc, RECT{2, 3, 8, 7}, bitmap.get(), SkinKeyColour);
        EXPECT_EQ(GetTextColor(dc), text);
        EXPECT_EQ(GetBkColor(dc), back);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool inside = x >= 2 && x < 8 && y >= 3 && y < 7;
                const TColor expected =
                    inside && (x - 2 + y - 3) % 3 != 0 ? static_cast<TColor>(0x102030 * (x - 1)) : clLime;
                ASSERT_EQ(target->PixelColor(x, y), expected) << x << "," << y;
            }
    }
    // A bottom-up DIB section of someone else's, drawn on in memory the right way up.
    {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 10, 8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        TBitmapHandle dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        TMemoryDC memory(nullptr);
        TSelectObject selected(memory.get(), dib.get());
        PatBlt(memory.get(), 0, 0, 10, 8, BLACKNESS);
        DrawTransparentBitmap(memory.get(), RECT{2, 3, 8, 7}, bitmap.get(), SkinKeyColour);
        EXPECT_EQ(GetPixel(memory.get(), 2, 3), RGB(0, 0, 0)); // a key pixel
        EXPECT_EQ(GetPixel(memory.get(), 3, 3), ColorToRGB(static_cast<TColor>(0x102030 * 2)));
        EXPECT_EQ(GetPixel(memory.get(), 3, 7), RGB(0, 0, 0));
    }
    // DrawFrameImage with transparency goes the same way.
    auto framed = Surface(6, 4, clLime);
    DrawFrameImage(framed->Canvas()->Handle(), RECT{0, 0, 6, 4}, bitmap.get(), TMargins{}, 1, 1, true, false, false);
    EXPECT_EQ(framed->PixelColor(0, 0), clLime);
    EXPECT_EQ(framed->PixelColor(1, 0), static_cast<TColor>(0x102030 * 2));
    // Inverted rectangles draw nothing.
    DrawFrameImage(framed->Canvas()->Handle(), RECT{4, 0, 2, 4}, bitmap.get(), TMargins{}, 1, 1, false, false, false);
    DrawStretchFrame(framed->Canvas()->Handle(), RECT{0, 4, 6, 0}, bitmap.get(), 1, 1, false);
    EXPECT_EQ(framed->PixelColor(0, 0), clLime);
}

TEST(SkinDrawTest, BorderAndStretchFrames)
{
    const TMargins m{2, 3, 4, 5};
    auto strip = NineStrip(2, 12, 14, m);
    auto target = Surface(40, 30, clWhite);
    HDC dc = target->Canvas()->Handle();
    DrawFrameBorder(dc, RECT{5, 5, 35, 25}, strip.get(), m, 2, 2, false);
    EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
    EXPECT_EQ(target->PixelColor(5, 5), PieceColour(2, 1));
    EXPECT_EQ(target->PixelColor(34, 24), PieceColour(2, 9));
    EXPECT_EQ(target->PixelColor(20, 5), PieceColour(2, 2));
    EXPECT_EQ(target->PixelColor(5, 15), PieceColour(2, 4));
    EXPECT_EQ(target->PixelColor(20, 15), clWhite); // no centre
    EXPECT_EQ(target->PixelColor(4, 4), clWhite);

    // A whole frame stretched to twice its size.
    auto two = MakeStrip(2, 2, 2, false, [](int k, int x, int y) { return static_cast<TColor>(k * 0x40 + x * 0x4000 + y * 0x400000); });
    auto big = Surface(4, 4, clWhite);
    HDC bigDC = big->Canvas()->Handle();
    SetStretchBltMode(bigDC, COLORONCOLOR);
    DrawStretchFrame(bigDC, RECT{0, 0, 4, 4}, two.get(), 2, 2, false);
    EXPECT_EQ(big->PixelColor(0, 0), static_cast<TColor>(2 * 0x40));
    EXPECT_EQ(big->PixelColor(3, 3), static_cast<TColor>(2 * 0x40 + 0x4000 + 0x400000));

    // Shrunk, key columns between green ones: each pixel is one of the two (the key left out),
    // never the two ANDed together (black).
    auto keyed = MakeStrip(1, 4, 1, false, [](int, int x, int) { return x % 2 == 0 ? SkinKeyColour : clLime; });
    auto small = Surface(2, 1, clBlue);
    DrawStretchFrame(small->Canvas()->Handle(), RECT{0, 0, 2, 1}, keyed.get(), 1, 1, true);
    for (int x = 0; x < 2; ++x)
        EXPECT_TRUE(small->PixelColor(x, 0) == clBlue || small->PixelColor(x, 0) == clLime) << x;
}

TEST(SkinDrawTest, RegionsOfNonKeyPixels)
{
    auto small = MakeStrip(1, 4, 2, false, [](int, int x, int) { return x == 1 ? SkinKeyColour : clBlack; });
    HRGN region = BuildBitmapRegion(small.get(), 10, 20, SkinKeyColour, 1, 1, 1);
    const std::vector<RECT> rects = Rects(region);
    DeleteObject(region);
    // The runs of both rows; the platform merges rows whose runs are the same into one band.
    const std::vector<RECT> expected{{10, 20, 11, 22}, {12, 20, 14, 22}};
    ASSERT_EQ(rects.size(), expected.size());
    for (size_t i = 0; i < rects.size(); ++i)
        EXPECT_TRUE(Same(rects[i], expected[i])) << i;
    EXPECT_EQ(small->PixelFormat(), pf32bit);

    // The tolerance reaches up from the key only: green 1 is key, green 2 and red 254 are not.
    auto tolerant = MakeStrip(1, 4, 1, false, [](int, int x, int) {
        const TColor colours[] = {0xFF00FF, 0xFF01FF, 0xFF02FF, 0xFF00FE};
        return colours[x];
    });
    region = BuildBitmapRegion(tolerant.get(), 0, 0, SkinKeyColour, 1, 1, 1);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(PtInRegion(region, x, 0) != 0, x >= 2) << x; // one row high works too
    DeleteObject(region);

    // More than 2000 runs: one region, the union of them all.
    auto checker = MakeStrip(1, 100, 50, false,
                             [](int, int x, int y) { return (x + y) % 2 == 0 ? SkinKeyColour : clGreen; });
    region = BuildBitmapRegion(checker.get(), 3, 4, SkinKeyColour, 1, 1, 1);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(PtInRegion(region, x + 3, y + 4) != 0, (x + y) % 2 == 1) << x << "," << y;
    EXPECT_EQ(PtInRegion(region, 2, 4), FALSE);
    DeleteObject(region);
}

TEST(SkinDrawTest, TheSharedPaintBitmapKeepsItsStretchModeWhenResized)
{
    TBitmap* shared = SharedPaintBitmap();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(SharedPaintBitmap(), shared);
    shared->SetSize(30, 20);
    EXPECT_EQ(GetStretchBltMode(shared->Canvas()->Handle()), COLORONCOLOR);
    shared->SetSize(60, 10);
    EXPECT_EQ(GetStretchBltMode(shared->Canvas()->Handle()), COLORONCOLOR);
    FreeSharedPaintBitmap();
}
