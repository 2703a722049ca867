// Image lists over comctl32 on real GDI: adding bitmaps (with a mask, a key colour or from icons),
// wide strips split into several images, removal, size changes, transparent and disabled drawing
// checked pixel by pixel, and no handle left behind.
#include "framework/graphics/ImageList.h"

#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Icon.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace {

constexpr TColor Key = 0xFF00FF;
constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Backdrop = 0x123456;

void Fill(TBitmap& bitmap, const RECT& r, TColor colour)
{
    bitmap.Canvas()->Brush()->SetColor(colour);
    bitmap.Canvas()->FillRect(r);
}

// A 16 x 16 image in the key colour with an opaque Colour square at (4, 4)-(8, 8).
void MakeSquare(TBitmap& bitmap, TColor colour)
{
    bitmap.SetSize(16, 16);
    Fill(bitmap, RECT{0, 0, 16, 16}, Key);
    Fill(bitmap, RECT{4, 4, 8, 8}, colour);
}

TEST(ImageListTest, AddsSplitsDeletesAndClearsOnResize)
{
    TImageList list;
    EXPECT_EQ(list.Width(), 16);
    EXPECT_EQ(list.Height(), 16);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.HandleAllocated());

    TBitmap strip(48, 16, pf32bit);
    Fill(strip, RECT{0, 0, 16, 16}, Red);
    Fill(strip, RECT{16, 0, 32, 16}, Blue);
    Fill(strip, RECT{32, 0, 48, 16}, Key);
    EXPECT_EQ(list.Add(&strip, nullptr), 0);
    EXPECT_TRUE(list.HandleAllocated());
    EXPECT_EQ(list.Count(), 3);

    TBitmap square(16, 16, pf32bit);
    MakeSquare(square, Red);
    EXPECT_EQ(list.AddMasked(&square, clDefault), 3);
    EXPECT_EQ(square.PixelColor(0, 0), Key) << "the caller's bitmap changed";
    EXPECT_EQ(list.Count(), 4);

    // Deleting the middle of the strip takes the blue image out and moves the key image down.
    list.Delete(1);
    EXPECT_EQ(list.Count(), 3);
    TBitmap out;
    ASSERT_TRUE(list.GetBitmap(1, &out));
    EXPECT_EQ(out.PixelColor(5, 5), Key);
    ASSERT_TRUE(list.GetBitmap(0, &out));
    EXPECT_EQ(out.PixelColor(5, 5), Red);
    EXPECT_FALSE(list.GetBitmap(3, &out));
    EXPECT_THROW(list.Delete(3), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);

    EXPECT_EQ(list.Add(nullptr, nullptr), -1);
    TBitmap empty;
    EXPECT_EQ(list.Add(&empty, nullptr), -1);
    TBitmap narrow(8, 16, pf32bit);
    EXPECT_EQ(list.Add(&narrow, nullptr), -1) << "narrower than one image";

    list.SetWidth(8);
    EXPECT_EQ(list.Width(), 8);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.HandleAllocated());
    EXPECT_NE(list.Handle(), nullptr);
    EXPECT_EQ(list.Add(&strip, nullptr), 0);
    EXPECT_EQ(list.Count(), 6);
    list.SetHeight(16);
    EXPECT_EQ(list.Count(), 6) << "the same height is no change";
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(list.SetWidth(0), EInvalidOperation);
}

TEST(ImageListTest, EnabledDrawLeavesTransparentPixelsAndCopiesTheRest)
{
    TImageList list;
    TBitmap square(16, 16, pf32bit);
    MakeSquare(square, Red);
    ASSERT_EQ(list.AddMasked(&square, Key), 0);

    // The same image through a mask bitmap: white is transparent.
    TBitmap image(16, 16, pf32bit);
    Fill(image, RECT{0, 0, 16, 16}, Blue);
    TBitmap mask(16, 16, pf32bit);
    Fill(mask, RECT{0, 0, 16, 16}, clWhite);
    Fill(mask, RECT{0, 0, 8, 16}, clBlack);
    ASSERT_EQ(list.Add(&image, &mask), 1);
    EXPECT_EQ(image.PixelColor(12, 3), Blue) << "the caller's bitmap changed";

    TBitmap dest(40, 20, pf32bit);
    Fill(dest, RECT{0, 0, 40, 20}, Backdrop);
    int events = 0;
    struct TCounter : TObject {
        int* N;
        void OnEvent(TObject*) { ++*N; }
    } counter;
    counter.N = &events;
    dest.Canvas()->SetOnChanging(BindMethod<&TCounter::OnEvent>(&counter));
    dest.Canvas()->SetOnChange(BindMethod<&TCounter::OnEvent>(&counter));
    list.Draw(*dest.Canvas(), 2, 2, 0);
    list.Draw(*dest.Canvas(), 20, 2, 1);
    EXPECT_EQ(events, 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inSquare = x >= 4 && x < 8 && y >= 4 && y < 8;
            ASSERT_EQ(dest.PixelColor(2 + x, 2 + y), inSquare ? Red : Backdrop) << x << "," << y;
            ASSERT_EQ(dest.PixelColor(20 + x, 2 + y), x < 8 ? Blue : Backdrop) << x << "," << y;
        }

    // Out of range: nothing drawn, nothing fired.
    events = 0;
    list.Draw(*dest.Canvas(), 0, 0, 2);
    list.Draw(*dest.Canvas(), 0, 0, -1);
    list.Draw(*dest.Canvas(), 0, 0, 5, false);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(dest.PixelColor(0, 0), Backdrop);
    EXPECT_EQ(dest.PixelColor(1, 1), Backdrop);
}

TEST(ImageListTest, DisabledDrawEmbossesTheShape)
{
    TImageList list;
    TBitmap square(16, 16, pf32bit);
    MakeSquare(square, Red);
    ASSERT_EQ(list.AddMasked(&square, clDefault), 0);
    TBitmap dest(30, 30, pf32bit);
    Fill(dest, RECT{0, 0, 30, 30}, Backdrop);
    list.Draw(*dest.Canvas(), 10, 10, 0, false);

    const TColor highlight = static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT));
    const TColor shadow = static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW));
    ASSERT_NE(highlight, shadow);
    // The shape (4..7) in shadow; the part of the shifted shape (5..8) it does not cover in
    // highlight; everything else untouched.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const int sx = x - 10, sy = y - 10;
            const bool inShape = sx >= 4 && sx < 8 && sy >= 4 && sy < 8;
            const bool inShifted = sx >= 5 && sx < 9 && sy >= 5 && sy < 9;
            const TColor expected = inShape ? shadow : inShifted ? highlight : Backdrop;
            ASSERT_EQ(dest.PixelColor(x, y), expected) << x << "," << y;
        }
}

TEST(ImageListTest, AddsIconsWithTheirMasks)
{
    // A 16 x 16 icon: the left half blue, the right half transparent.
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmapHandle colour(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(colour);
    auto* p = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 256; ++i)
        p[i] = (i % 16) < 8 ? 0x0000FFu : 0u; // B,G,R,A in memory: 0x000000FF is blue
    uint8_t maskBits[32];
    for (int y = 0; y < 16; ++y) {
        maskBits[y * 2] = 0x00;
        maskBits[y * 2 + 1] = 0xFF;
    }
    TBitmapHandle mask(CreateBitmap(16, 16, 1, 1, maskBits));
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
    TIcon icon;
    icon.SetHandle(CreateIconIndirect(&info));
    ASSERT_FALSE(icon.Empty());

    TImageList list;
    EXPECT_EQ(list.AddIcon(nullptr), -1);
    EXPECT_EQ(list.AddIcon(&icon), 0);
    EXPECT_EQ(list.Count(), 1);
    TBitmap dest(16, 16, pf32bit);
    Fill(dest, RECT{0, 0, 16, 16}, Backdrop);
    list.Draw(*dest.Canvas(), 0, 0, 0);
    EXPECT_EQ(dest.PixelColor(0, 0), Blue);
    EXPECT_EQ(dest.PixelColor(7, 15), Blue);
    EXPECT_EQ(dest.PixelColor(8, 0), Backdrop);
    EXPECT_EQ(dest.PixelColor(15, 15), Backdrop);
}

// GetGuiResources counts nothing under Wine; the list's own bitmaps (ImageList_GetImageInfo) and
// the DCs used must be dead once the list is gone.
TEST(ImageListTest, NoHandleLeftAfterManyCycles)
{
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    TBitmap square(16, 16, pf32bit);
    MakeSquare(square, Red);
    TBitmap mask(16, 16, pf32bit);
    Fill(mask, RECT{0, 0, 16, 16}, clWhite);
    for (int i = 0; i < 400; ++i) {
        HBITMAP images, masks, destBitmap;
        HDC destDC;
        {
            TImageList list;
            list.AddMasked(&square, clDefault);
            list.Add(&square, &mask);
            TBitmap dest(20, 20, pf32bit);
            list.Draw(*dest.Canvas(), 0, 0, 0);
            list.Draw(*dest.Canvas(), 1, 1, 1, false);
            TBitmap out;
            list.GetBitmap(0, &out);
            IMAGEINFO info{};
            ASSERT_TRUE(ImageList_GetImageInfo(list.Handle(), 0, &info)) << i;
            images = info.hbmImage;
            masks = info.hbmMask;
            destDC = dest.Canvas()->Handle();
            destBitmap = dest.Handle();
        }
        ASSERT_EQ(GetObjectType(images), 0u) << i;
        ASSERT_EQ(GetObjectType(masks), 0u) << i;
        ASSERT_EQ(GetObjectType(destDC), 0u) << i;
        ASSERT_EQ(GetObjectType(destBitmap), 0u) << i;
    }
    if (gdiBefore != 0) {
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    }
}

} // namespace
