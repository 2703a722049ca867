// The DIB-section bitmap on real GDI: every stored format loaded from codec-made files and read
// back through ScanLine and GetDIBits, format conversions, resizing, deep copies, canvas drawing,
// transparent and opaque drawing, bad data, and no GDI object left behind.
#include "framework/graphics/Bitmap.h"

#include "framework/core/Stream.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A test image: every pixel a different palette index or colour where the format allows.
TBitmapImage MakeImage(int width, int height, int bitCount)
{
    TBitmapImage image;
    image.Create(width, height, bitCount);
    if (bitCount <= 8) {
        const uint32_t count = 1u << bitCount;
        for (uint32_t i = 0; i < count; ++i)
            image.Palette[i] = (i * 37u % 256u) << 16 | (i * 91u % 256u) << 8 | (255u - i);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.SetPixelIndex(x, y, static_cast<uint32_t>(x * 3 + y * 5) % count);
    } else {
        const int bytes = bitCount / 8;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* p = image.Row(y) + x * bytes;
                p[0] = static_cast<uint8_t>(x * 40 + 1);
                p[1] = static_cast<uint8_t>(y * 60 + 2);
                p[2] = static_cast<uint8_t>(x * 7 + y * 11 + 3);
                if (bytes == 4)
                    p[3] = 0;
            }
    }
    return image;
}

void LoadImage(TBitmap& bitmap, const TBitmapImage& image)
{
    TMemoryStream stream;
    SaveBitmapToStream(stream, image);
    stream.SetPosition(0);
    bitmap.LoadFromStream(stream);
}

// Every pixel through GetDIBits as 32-bit top-down rows, 0x00RRGGBB.
std::vector<uint32_t> ReadThroughGdi(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0xDEADBEEF);
    TClientDC screen(nullptr);
    const int lines = GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &bi, DIB_RGB_COLORS);
    EXPECT_EQ(lines, height);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFFu;
    return pixels;
}

// The bytes of a 32-bit bitmap's pixel as 0x00RRGGBB.
uint32_t Pixel32(TBitmap& bitmap, int x, int y)
{
    const uint8_t* p = bitmap.ScanLine(y) + x * 4;
    return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

void Fill(TBitmap& bitmap, const RECT& r, TColor color)
{
    bitmap.Canvas()->Brush()->SetColor(color);
    bitmap.Canvas()->FillRect(r);
}

std::vector<uint8_t> AllBytes(TBitmap& bitmap)
{
    std::vector<uint8_t> bytes;
    for (int y = 0; y < bitmap.Height(); ++y)
        bytes.insert(bytes.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Stride());
    return bytes;
}

TEST(BitmapTest, StartsEmpty)
{
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
    EXPECT_EQ(bitmap.Handle(), nullptr);
    EXPECT_FALSE(bitmap.Transparent());
    EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
    EXPECT_THROW(bitmap.ScanLine(0), EInvalidGraphic);
}

TEST(BitmapTest, DeviceFormatBecomesTheScreenDepth)
{
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    ASSERT_FALSE(bitmap.Empty());
    EXPECT_TRUE(bitmap.PixelFormat() == pf24bit || bitmap.PixelFormat() == pf32bit);
    EXPECT_EQ(bitmap.ScanLine(1) - bitmap.ScanLine(0), bitmap.Stride());
    Fill(bitmap, RECT{0, 0, 3, 2}, clRed);
    EXPECT_EQ(bitmap.PixelColor(2, 1), clRed);
}

TEST(BitmapTest, LoadsEveryFormatAndReadsBackThroughScanLineAndGetDIBits)
{
    const struct {
        int Bits;
        TPixelFormat Format;
    } cases[] = {{1, pf1bit}, {4, pf4bit}, {8, pf8bit}, {24, pf24bit}, {32, pf32bit}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Bits);
        const TBitmapImage image = MakeImage(13, 5, c.Bits);
        TBitmap bitmap;
        LoadImage(bitmap, image);
        ASSERT_FALSE(bitmap.Empty());
        EXPECT_EQ(bitmap.Width(), 13);
        EXPECT_EQ(bitmap.Height(), 5);
        EXPECT_EQ(bitmap.PixelFormat(), c.Format);
        EXPECT_EQ(bitmap.Stride(), image.Stride());
        // Top-down memory: row 1 follows row 0.
        EXPECT_EQ(bitmap.ScanLine(1) - bitmap.ScanLine(0), bitmap.Stride());
        for (int y = 0; y < 5; ++y)
            EXPECT_EQ(std::memcmp(bitmap.ScanLine(y), image.Row(y), static_cast<size_t>(image.Stride())), 0) << y;
        const std::vector<uint32_t> gdi = ReadThroughGdi(bitmap.Handle(), 13, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(gdi[static_cast<size_t>(y) * 13 + x], image.PixelColour(x, y)) << x << "," << y;
        // The canvas sees the same pixels.
        EXPECT_EQ(static_cast<uint32_t>(bitmap.Canvas()->Pixels(2, 3)),
                  static_cast<uint32_t>(RGB(image.PixelColour(2, 3) >> 16, (image.PixelColour(2, 3) >> 8) & 0xFF,
                                            image.PixelColour(2, 3) & 0xFF)));
    }
}

TEST(BitmapTest, SaveAndLoadGiveTheSameImage)
{
    for (int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        TBitmap bitmap;
        LoadImage(bitmap, MakeImage(7, 9, bits));
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        stream.SetPosition(0);
        TBitmapImage decoded;
        LoadBitmapFromStream(stream, decoded);
        EXPECT_EQ(decoded, MakeImage(7, 9, bits));
    }
    char dir[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, dir), 0u);
    const std::string file = std::string(dir) + "bitmaptest-roundtrip.bmp";
    TBitmap bitmap;
    LoadImage(bitmap, MakeImage(6, 4, 24));
    bitmap.SaveToFile(file);
    TBitmap loaded;
    loaded.LoadFromFile(file);
    DeleteFileA(file.c_str());
    EXPECT_EQ(AllBytes(loaded), AllBytes(bitmap));
}

TEST(BitmapTest, ConversionsBetween24And32BitsAreExact)
{
    TBitmap bitmap;
    const TBitmapImage image = MakeImage(11, 6, 24);
    LoadImage(bitmap, image);
    const std::vector<uint8_t> before = AllBytes(bitmap);
    bitmap.SetPixelFormat(pf32bit);
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 11; ++x)
            ASSERT_EQ(Pixel32(bitmap, x, y), image.PixelColour(x, y));
    EXPECT_EQ(ReadThroughGdi(bitmap.Handle(), 11, 6)[5 * 11 + 10], image.PixelColour(10, 5));
    bitmap.SetPixelFormat(pf24bit);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(AllBytes(bitmap), before);
}

TEST(BitmapTest, IndexedFormatsConvertThroughThePalette)
{
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        const TBitmapImage image = MakeImage(9, 4, bits);
        TBitmap bitmap;
        LoadImage(bitmap, image);
        bitmap.SetPixelFormat(pf32bit);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(Pixel32(bitmap, x, y), image.PixelColour(x, y));
        // The colours fit the indexed format again: back and forth is exact.
        bitmap.SetPixelFormat(bits == 1 ? pf1bit : bits == 4 ? pf4bit : pf8bit);
        bitmap.SetPixelFormat(pf24bit);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x) {
                const uint8_t* p = bitmap.ScanLine(y) + x * 3;
                ASSERT_EQ(uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0], image.PixelColour(x, y));
            }
    }
}

TEST(BitmapTest, TooManyColoursForAnIndexedFormatTakeTheNearest)
{
    TBitmap bitmap(20, 20, pf32bit);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            uint8_t* p = bitmap.ScanLine(y) + x * 4;
            p[0] = static_cast<uint8_t>(x * 12);
            p[1] = static_cast<uint8_t>(y * 12);
            p[2] = 250;
        }
    bitmap.SetPixelFormat(pf1bit);
    EXPECT_EQ(bitmap.PixelFormat(), pf1bit);
    bitmap.SetPixelFormat(pf32bit);
    // Black and white only: (0, 0) is mostly red, nearer to black than to white.
    EXPECT_EQ(Pixel32(bitmap, 0, 0), 0x000000u);
    EXPECT_EQ(Pixel32(bitmap, 19, 19), 0xFFFFFFu);
}

TEST(BitmapTest, SizeChangesKeepTheFormatAndTheOverlappingPixels)
{
    for (int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        const TBitmapImage image = MakeImage(10, 6, bits);
        TBitmap bitmap;
        LoadImage(bitmap, image);
        const TPixelFormat format = bitmap.PixelFormat();
        bitmap.SetWidth(14);
        bitmap.SetHeight(3);
        EXPECT_EQ(bitmap.Width(), 14);
        EXPECT_EQ(bitmap.Height(), 3);
        EXPECT_EQ(bitmap.PixelFormat(), format);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(static_cast<uint32_t>(bitmap.PixelColor(x, y)),
                          static_cast<uint32_t>(RGB(image.PixelColour(x, y) >> 16, (image.PixelColour(x, y) >> 8) & 0xFF,
                                                    image.PixelColour(x, y) & 0xFF)))
                    << x << "," << y;
        bitmap.SetSize(4, 4);
        EXPECT_EQ(bitmap.PixelFormat(), format);
        EXPECT_EQ(ReadThroughGdi(bitmap.Handle(), 4, 4)[2 * 4 + 3], image.PixelColour(3, 2));
    }
    TBitmap bitmap(5, 5, pf24bit);
    bitmap.SetSize(0, 0);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    bitmap.SetSize(2, 2);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
}

TEST(BitmapTest, AssignIsADeepCopy)
{
    TBitmap source;
    LoadImage(source, MakeImage(8, 8, 32));
    source.SetTransparent(true);
    source.SetTransparentColor(clFuchsia);
    const std::vector<uint8_t> original = AllBytes(source);

    TBitmap copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Width(), 8);
    EXPECT_EQ(copy.PixelFormat(), pf32bit);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColor(), clFuchsia);
    EXPECT_EQ(copy.TransparentMode(), tmFixed);
    EXPECT_EQ(AllBytes(copy), original);
    EXPECT_NE(copy.Handle(), source.Handle());

    copy.ScanLine(0)[0] ^= 0xFF;
    Fill(copy, RECT{0, 0, 8, 8}, clRed);
    copy.SetWidth(3);
    EXPECT_EQ(AllBytes(source), original);
    EXPECT_EQ(source.Width(), 8);

    TBitmap indexed;
    LoadImage(indexed, MakeImage(5, 5, 4));
    TBitmap indexedCopy;
    indexedCopy.Assign(&indexed);
    EXPECT_EQ(indexedCopy.PixelFormat(), pf4bit);
    EXPECT_EQ(indexedCopy.Palette(), indexed.Palette());
    EXPECT_EQ(AllBytes(indexedCopy), AllBytes(indexed));

    TBitmap empty;
    copy.Assign(&empty);
    EXPECT_TRUE(copy.Empty());
    EXPECT_FALSE(copy.Transparent());
}

TEST(BitmapTest, CanvasDrawingLandsInTheScanLineMemory)
{
    TBitmap bitmap(6, 4, pf32bit);
    Fill(bitmap, RECT{0, 0, 6, 4}, clBlue);
    Fill(bitmap, RECT{1, 1, 3, 2}, clRed);
    GdiFlush();
    EXPECT_EQ(Pixel32(bitmap, 0, 0), 0x0000FFu);
    EXPECT_EQ(Pixel32(bitmap, 1, 1), 0xFF0000u);
    EXPECT_EQ(Pixel32(bitmap, 3, 1), 0x0000FFu);

    // Handed out deselected: another DC can take it, and GetDIBits reads it.
    HBITMAP handle = bitmap.Handle();
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(ReadThroughGdi(handle, 6, 4)[1 * 6 + 2], 0xFF0000u);
    {
        TMemoryDC other(nullptr);
        TSelectObject selected(other.get(), handle);
        EXPECT_TRUE(selected);
    }
    // Drawing again selects it again.
    bitmap.Canvas()->SetPixels(5, 3, clLime);
    EXPECT_EQ(Pixel32(bitmap, 5, 3), 0x00FF00u);
    EXPECT_EQ(bitmap.Handle(), handle);

    // Text through the canvas font.
    TBitmap text(40, 20, pf24bit);
    Fill(text, RECT{0, 0, 40, 20}, clWhite);
    text.Canvas()->Font()->SetColor(clBlack);
    text.Canvas()->Brush()->SetStyle(bsClear);
    text.Canvas()->TextOut(2, 2, "W");
    bool dark = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            if (text.PixelColor(x, y) == clBlack)
                dark = true;
    EXPECT_TRUE(dark);
}

TEST(BitmapTest, TransparentColourIsExplicitOrTheBottomLeftPixel)
{
    TBitmap bitmap(4, 4, pf24bit);
    Fill(bitmap, RECT{0, 0, 4, 4}, clNavy);
    bitmap.Canvas()->SetPixels(0, 3, clFuchsia);
    EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
    EXPECT_EQ(bitmap.TransparentColor(), clFuchsia);
    bitmap.SetTransparentColor(clYellow);
    EXPECT_EQ(bitmap.TransparentMode(), tmFixed);
    EXPECT_EQ(bitmap.TransparentColor(), clYellow);
    bitmap.SetTransparentMode(tmAuto);
    EXPECT_EQ(bitmap.TransparentColor(), clFuchsia);
}

TEST(BitmapTest, MaskIsOneWhereThePixelHasTheColour)
{
    TBitmap bitmap(5, 3, pf32bit);
    Fill(bitmap, RECT{0, 0, 5, 3}, clGreen);
    Fill(bitmap, RECT{1, 0, 3, 2}, clFuchsia);
    HBITMAP mask = bitmap.CreateMask(clFuchsia);
    ASSERT_NE(mask, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObjectA(mask, sizeof info, &info), 0);
    EXPECT_EQ(info.bmBitsPixel, 1);
    const std::vector<uint32_t> pixels = ReadThroughGdi(mask, 5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool key = x >= 1 && x < 3 && y < 2;
            EXPECT_EQ(pixels[static_cast<size_t>(y) * 5 + x], key ? 0xFFFFFFu : 0u) << x << "," << y;
        }
    // Freed with the bitmap's pixels.
    bitmap.SetSize(6, 3);
    EXPECT_EQ(GetObjectType(mask), 0u);
    EXPECT_NE(bitmap.MaskHandle(), nullptr);
}

// A 4x4 source, left half fuchsia, right half navy; a 6x6 destination in lime.
void MakeDrawPair(TBitmap& source, TBitmap& dest, TPixelFormat sourceFormat)
{
    // Filled at 24 bits and converted: navy is not in the default 8-bit palette, but both colours
    // fit a palette of the image's own colours.
    source.SetPixelFormat(pf24bit);
    source.SetSize(4, 4);
    Fill(source, RECT{0, 0, 2, 4}, clFuchsia);
    Fill(source, RECT{2, 0, 4, 4}, clNavy);
    source.SetPixelFormat(sourceFormat);
    ASSERT_EQ(source.PixelFormat(), sourceFormat);
    dest.SetPixelFormat(pf32bit);
    dest.SetSize(6, 6);
    Fill(dest, RECT{0, 0, 6, 6}, clLime);
}

TEST(BitmapTest, TransparentDrawLeavesTheKeyColourOut)
{
    for (TPixelFormat format : {pf24bit, pf32bit, pf8bit, pf4bit, pf1bit}) {
        SCOPED_TRACE(static_cast<int>(format));
        TBitmap source, dest;
        MakeDrawPair(source, dest, format);
        source.SetTransparent(true); // automatic: bottom-left is fuchsia
        source.Draw(*dest.Canvas(), 1, 1);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
                const uint32_t expected = inside && x >= 3 ? 0x000080u : 0x00FF00u;
                ASSERT_EQ(Pixel32(dest, x, y), expected) << x << "," << y;
            }
    }
}

TEST(BitmapTest, OpaqueDrawCopiesEverythingWithTheCopyMode)
{
    TBitmap source, dest;
    MakeDrawPair(source, dest, pf24bit);
    source.Draw(*dest.Canvas(), 1, 1);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
            const uint32_t expected = !inside ? 0x00FF00u : x < 3 ? 0xFF00FFu : 0x000080u;
            ASSERT_EQ(Pixel32(dest, x, y), expected) << x << "," << y;
        }
    // NOTSRCCOPY inverts.
    Fill(dest, RECT{0, 0, 6, 6}, clLime);
    dest.Canvas()->SetCopyMode(NOTSRCCOPY);
    source.Draw(*dest.Canvas(), 0, 0);
    EXPECT_EQ(Pixel32(dest, 0, 0), 0x00FF00u);
    EXPECT_EQ(Pixel32(dest, 3, 0), 0xFFFF7Fu);
}

TEST(BitmapTest, StretchDrawOpaqueAndTransparent)
{
    TBitmap source, dest;
    MakeDrawPair(source, dest, pf24bit);
    dest.SetSize(8, 8);
    Fill(dest, RECT{0, 0, 8, 8}, clLime);
    source.StretchDraw(*dest.Canvas(), RECT{0, 0, 8, 8});
    EXPECT_EQ(Pixel32(dest, 0, 0), 0xFF00FFu);
    EXPECT_EQ(Pixel32(dest, 7, 7), 0x000080u);

    Fill(dest, RECT{0, 0, 8, 8}, clLime);
    source.SetTransparent(true);
    source.StretchDraw(*dest.Canvas(), RECT{0, 0, 8, 8});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(Pixel32(dest, x, y), x < 4 ? 0x00FF00u : 0x000080u) << x << "," << y;
}

TEST(BitmapTest, InvalidDataRaisesAndLeavesTheBitmapAsItWas)
{
    TBitmap bitmap;
    LoadImage(bitmap, MakeImage(5, 5, 24));
    const std::vector<uint8_t> before = AllBytes(bitmap);
    HBITMAP handle = bitmap.Handle();

    TMemoryStream garbage;
    const char text[] = "BMthis is not a bitmap at all";
    garbage.WriteBuffer(text, sizeof text);
    garbage.SetPosition(0);
    EXPECT_THROW(bitmap.LoadFromStream(garbage), EInvalidGraphic);
    TMemoryStream empty;
    EXPECT_THROW(bitmap.LoadFromStream(empty), EInvalidGraphic);

    EXPECT_EQ(bitmap.Width(), 5);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.Handle(), handle);
    EXPECT_EQ(AllBytes(bitmap), before);
}

TEST(BitmapTest, AdoptsASystemBitmap)
{
    // OBM_CHECK; winuser.h only declares the OBM_ names with OEMRESOURCE.
    constexpr WORD checkMark = 32760;
    HBITMAP check = LoadBitmapA(nullptr, MAKEINTRESOURCEA(checkMark));
    ASSERT_NE(check, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObjectA(check, sizeof info, &info), 0);
    TBitmap bitmap;
    bitmap.SetHandle(check);
    EXPECT_EQ(GetObjectType(check), 0u); // taken over and freed
    EXPECT_EQ(bitmap.Width(), info.bmWidth);
    EXPECT_EQ(bitmap.Height(), info.bmHeight);
    EXPECT_NE(bitmap.Handle(), nullptr);
    DIBSECTION dib{};
    EXPECT_EQ(GetObjectA(bitmap.Handle(), sizeof dib, &dib), static_cast<int>(sizeof dib));

    // A DIB section of ours, adopted: the pixels come across.
    TBitmap source(3, 2, pf32bit);
    Fill(source, RECT{0, 0, 3, 2}, clTeal);
    TBitmap adopted;
    adopted.SetHandle(source.ReleaseHandle());
    EXPECT_TRUE(source.Empty());
    EXPECT_EQ(adopted.PixelFormat(), pf32bit);
    EXPECT_EQ(Pixel32(adopted, 2, 1), 0x008080u);
}

TEST(BitmapTest, LoadedPixelsReadBeforeAndAfterTheyMoveIntoTheDibSection)
{
    // A loaded bitmap answers reads from plain memory; the first use that needs GDI moves the
    // pixels into a DIB section, unchanged, and later rows stay where they are.
    for (int bitCount : {4, 24}) {
        SCOPED_TRACE(bitCount);
        const TBitmapImage image = MakeImage(7, 5, bitCount);
        TBitmap bitmap;
        LoadImage(bitmap, image);
        TBitmap copy;
        copy.Assign(&bitmap);
        std::vector<TColor> before;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                before.push_back(bitmap.PixelColor(x, y));
        TMemoryStream saved;
        bitmap.SaveToStream(saved);
        saved.SetPosition(0);
        TBitmapImage reread;
        LoadBitmapFromStream(saved, reread);
        EXPECT_EQ(reread.Pixels, image.Pixels);

        const std::vector<uint32_t> gdi = ReadThroughGdi(bitmap.Handle(), 7, 5);
        uint8_t* row = copy.ScanLine(2);
        copy.Canvas()->SetPixels(0, 0, clRed);
        EXPECT_EQ(copy.ScanLine(2), row);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const TColor c = before[static_cast<size_t>(y * 7 + x)];
                EXPECT_EQ(bitmap.PixelColor(x, y), c);
                EXPECT_EQ(gdi[static_cast<size_t>(y * 7 + x)], ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
                if (x != 0 || y != 0) {
                    EXPECT_EQ(copy.PixelColor(x, y), c);
                }
            }
    }
}

TEST(BitmapTest, MonochromeDrawsInTheCanvasFontAndBrushColours)
{
    // The system check mark: black strokes on white.
    constexpr WORD checkMark = 32760;
    TBitmap check;
    check.SetHandle(LoadBitmapA(nullptr, MAKEINTRESOURCEA(checkMark)));
    ASSERT_TRUE(check.Monochrome());
    const int w = check.Width();
    const int h = check.Height();
    std::vector<bool> black;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            black.push_back(check.PixelColor(x, y) == 0x000000);
    ASSERT_NE(std::count(black.begin(), black.end(), true), 0);
    ASSERT_NE(std::count(black.begin(), black.end(), false), 0);

    TBitmap dest(w + 2, h + 2, pf32bit);
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent);
        Fill(dest, RECT{0, 0, w + 2, h + 2}, clLime);
        dest.Canvas()->Font()->SetColor(clRed);
        dest.Canvas()->Brush()->SetColor(clBlue);
        check.SetTransparent(transparent); // automatic: the white of the bottom-left corner
        check.Draw(*dest.Canvas(), 1, 1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t background = transparent ? 0x00FF00u : 0x0000FFu;
                ASSERT_EQ(Pixel32(dest, x + 1, y + 1), black[static_cast<size_t>(y * w + x)] ? 0xFF0000u : background)
                    << x << "," << y;
            }
        EXPECT_EQ(Pixel32(dest, 0, 0), 0x00FF00u);
        // The bitmap's own colours are untouched.
        EXPECT_EQ(check.Palette(), (std::vector<uint32_t>{0x000000u, 0xFFFFFFu}));
    }

    // Stretched to twice the size, each source pixel becomes a 2 x 2 block in the same colours.
    TBitmap big(2 * w, 2 * h, pf32bit);
    Fill(big, RECT{0, 0, 2 * w, 2 * h}, clLime);
    big.Canvas()->Font()->SetColor(clMaroon);
    check.SetTransparent(true);
    check.StretchDraw(*big.Canvas(), RECT{0, 0, 2 * w, 2 * h});
    for (int y = 0; y < 2 * h; ++y)
        for (int x = 0; x < 2 * w; ++x)
            ASSERT_EQ(Pixel32(big, x, y), black[static_cast<size_t>((y / 2) * w + x / 2)] ? 0x800000u : 0x00FF00u)
                << x << "," << y;

    // A 1-bit bitmap with a palette of other colours draws in those colours.
    TBitmap coloured;
    MakeDrawPair(coloured, dest, pf1bit);
    EXPECT_FALSE(coloured.Monochrome());
    coloured.Draw(*dest.Canvas(), 0, 0);
    EXPECT_EQ(Pixel32(dest, 0, 0), 0xFF00FFu);
    EXPECT_EQ(Pixel32(dest, 3, 3), 0x000080u);
}

TEST(BitmapTest, LargeSectionsAreRecycledAndComeBackZeroed)
{
    TBitmap::FreeRecycledDibs();
    HBITMAP first = nullptr;
    {
        TBitmap big(300, 300, pf32bit); // 360 KB: large enough to be kept
        Fill(big, RECT{0, 0, 300, 300}, clRed);
        first = big.Handle();
    }
    ASSERT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BITMAP));
    {
        TBitmap again(300, 300, pf32bit);
        EXPECT_EQ(again.Handle(), first);
        EXPECT_EQ(Pixel32(again, 0, 0), 0u);
        EXPECT_EQ(Pixel32(again, 299, 299), 0u);
        Fill(again, RECT{0, 0, 300, 300}, clBlue);
    }
    {
        // Another size or format does not take it.
        TBitmap taller(300, 301, pf32bit);
        EXPECT_NE(taller.Handle(), first);
        TBitmap deep(300, 300, pf24bit);
        EXPECT_NE(deep.Handle(), first);
    }
    {
        // Grown into a recycled section: the old pixels stay, the new ones are zero.
        TBitmap grown(300, 200, pf32bit);
        Fill(grown, RECT{0, 0, 300, 200}, clLime);
        grown.SetSize(300, 300);
        EXPECT_EQ(grown.Handle(), first);
        EXPECT_EQ(Pixel32(grown, 150, 199), 0x00FF00u);
        EXPECT_EQ(Pixel32(grown, 150, 200), 0u);
        EXPECT_EQ(Pixel32(grown, 299, 299), 0u);
    }
    {
        // Undefined pixels: whatever was there, and a working bitmap.
        TBitmap scratch(300, 300, pf32bit, TInitialPixels::Undefined);
        Fill(scratch, RECT{10, 10, 20, 20}, clYellow);
        EXPECT_EQ(Pixel32(scratch, 15, 15), 0xFFFF00u);
    }
    {
        // Small bitmaps and indexed ones are never kept.
        HBITMAP small, indexed;
        {
            TBitmap a(20, 20, pf32bit);
            TBitmap b(1000, 1000, pf8bit);
            small = a.Handle();
            indexed = b.Handle();
        }
        EXPECT_EQ(GetObjectType(small), 0u);
        EXPECT_EQ(GetObjectType(indexed), 0u);
    }
    TBitmap::FreeRecycledDibs();
    EXPECT_EQ(GetObjectType(first), 0u);
}

TEST(BitmapTest, NoGdiObjectLeftAfterManyCycles)
{
    TMemoryStream file;
    SaveBitmapToStream(file, MakeImage(16, 16, 8));
    for (int i = 0; i < 400; ++i) {
        HBITMAP handle, mask, destHandle;
        HDC dc, destDC;
        {
            TBitmap bitmap;
            file.SetPosition(0);
            bitmap.LoadFromStream(file);
            bitmap.SetPixelFormat(i % 2 ? pf32bit : pf24bit);
            Fill(bitmap, RECT{0, 0, 4, 4}, clRed);
            dc = bitmap.Canvas()->Handle();
            TBitmap dest(20, 20, pf32bit);
            bitmap.Draw(*dest.Canvas(), 1, 1);
            bitmap.SetTransparent(true);
            bitmap.Draw(*dest.Canvas(), 2, 2);
            bitmap.StretchDraw(*dest.Canvas(), RECT{0, 0, 20, 20});
            TBitmap copy;
            copy.Assign(&bitmap);
            copy.SetSize(8, 30);
            mask = bitmap.MaskHandle();
            destDC = dest.Canvas()->Handle();
            destHandle = dest.Handle();
            handle = bitmap.Handle();
            TBitmap adopted;
            adopted.SetHandle(LoadBitmapA(nullptr, MAKEINTRESOURCEA(32760))); // OBM_CHECK
            adopted.Draw(*dest.Canvas(), 0, 0);
            ASSERT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
            ASSERT_EQ(GetObjectType(mask), static_cast<DWORD>(OBJ_BITMAP));
        }
        ASSERT_EQ(GetObjectType(handle), 0u) << i;
        ASSERT_EQ(GetObjectType(mask), 0u) << i;
        ASSERT_EQ(GetObjectType(destHandle), 0u) << i;
        ASSERT_EQ(GetObjectType(dc), 0u) << i;
        ASSERT_EQ(GetObjectType(destDC), 0u) << i;
    }
    // GDI still hands out objects.
    TBitmap after(10, 10, pf32bit);
    Fill(after, RECT{0, 0, 10, 10}, clRed);
    EXPECT_EQ(Pixel32(after, 9, 9), 0xFF0000u);
}

} // namespace
