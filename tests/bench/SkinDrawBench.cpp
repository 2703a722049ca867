// The frame-strip painters on a full-HD target (under Wine or Windows), as the median of many
// rounds after a warm-up:
//   floor       one BitBlt SRCCOPY of a 1920 x 1080 32-bit DIB section into another memory DC;
//   build       BuildFrameBitmap of frame 2 of a three-frame 24-bit strip (96 x 96 frames,
//               margins 24 all round) to 1920 x 1080, the centre stretched and tiled;
//   draw        DrawFrameImage of the same, transparent (the strip holds key pixels), onto a
//               1920 x 1080 memory DC, and of its steps the mask alone and the mask with the
//               masked blit (DrawTransparentBitmap of the composed frame);
//   region      BuildBitmapRegion of a 1920 x 32 title strip with rounded key corners, and of
//               the worst case, a 1920 x 32 bitmap alternating key and non-key pixels, both
//               32-bit like the scratch bitmaps the engine builds its regions from (a bitmap of
//               another format is switched to 32 bits first, once: shown for a 24-bit title);
// each in microseconds and as a ratio against the floor.
#include "skin/draw/SkinDraw.h"
#include "tests/bench/BenchTiming.h"

#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Colors.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int TargetWidth = 1920;
constexpr int TargetHeight = 1080;
constexpr int FrameSize = 96;
constexpr int StripFrames = 3;
constexpr int TitleWidth = 1920;
constexpr int TitleHeight = 32;
constexpr int CornerRadius = 8;
constexpr int Rounds = 30;
constexpr int WarmUp = 3;


// The median of Rounds after WarmUp; Prepare runs before each round, outside the timing.
double Median(const std::function<void()>& Round)
{
    return BenchMedian(Rounds, WarmUp, Round);
}

double Median(const std::function<void()>& Prepare, const std::function<void()>& Round)
{
    return BenchMedian(Rounds, WarmUp, Round, Prepare);
}

void SetPixel(TBitmap& Bitmap, int X, int Y, TColor Colour)
{
    uint8_t* p = Bitmap.ScanLine(Y) + static_cast<size_t>(X) * 3;
    p[0] = static_cast<uint8_t>((Colour >> 16) & 0xFF);
    p[1] = static_cast<uint8_t>((Colour >> 8) & 0xFF);
    p[2] = static_cast<uint8_t>(Colour & 0xFF);
}

// Three frames side by side, each a gradient with a dark rim and key-coloured corner pixels.
std::unique_ptr<TBitmap> MakeStrip()
{
    auto strip = std::make_unique<TBitmap>(FrameSize * StripFrames, FrameSize, pf24bit);
    for (int y = 0; y < FrameSize; ++y) {
        for (int x = 0; x < FrameSize * StripFrames; ++x) {
            const int fx = x % FrameSize;
            const int frame = x / FrameSize;
            TColor c = static_cast<TColor>((fx * 2 + frame * 40) | ((y * 2) << 8) | ((120 + frame * 30) << 16));
            if (fx < 2 || fx >= FrameSize - 2 || y < 2 || y >= FrameSize - 2)
                c = 0x202020;
            if ((fx < 4 || fx >= FrameSize - 4) && (y < 4 || y >= FrameSize - 4))
                c = SkinKeyColour;
            SetPixel(*strip, x, y, c);
        }
    }
    return strip;
}

// A title strip whose four corners are cut round with the key colour.
std::unique_ptr<TBitmap> MakeTitle(TPixelFormat Format = pf32bit)
{
    auto title = std::make_unique<TBitmap>(TitleWidth, TitleHeight, Format);
    const int r = CornerRadius;
    for (int y = 0; y < TitleHeight; ++y) {
        for (int x = 0; x < TitleWidth; ++x) {
            TColor c = static_cast<TColor>(0x804020 + ((x / 8) & 0x1F) + (y << 8));
            const int cx = x < r ? r - 1 - x : (x >= TitleWidth - r ? x - (TitleWidth - r) : -1);
            const int cy = y < r ? r - 1 - y : (y >= TitleHeight - r ? y - (TitleHeight - r) : -1);
            if (cx >= 0 && cy >= 0) {
                // Distance of the pixel centre from the corner circle's centre.
                const double dx = cx + 0.5;
                const double dy = cy + 0.5;
                if (dx * dx + dy * dy > static_cast<double>(r * r))
                    c = SkinKeyColour;
            }
            SetPixel(*title, x, y, c);
        }
    }
    return title;
}

// Key and non-key pixels in turn, each row shifted by one.
std::unique_ptr<TBitmap> MakeChecker()
{
    auto bitmap = std::make_unique<TBitmap>(TitleWidth, TitleHeight, pf32bit);
    for (int y = 0; y < TitleHeight; ++y)
        for (int x = 0; x < TitleWidth; ++x)
            SetPixel(*bitmap, x, y, ((x + y) & 1) != 0 ? SkinKeyColour : 0x336699);
    return bitmap;
}

// A 32-bit top-down DIB section of the given size.
HBITMAP MakeDib(int Width, int Height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bits != nullptr)
        std::memset(bits, 0x5A, static_cast<size_t>(Width) * static_cast<size_t>(Height) * 4);
    return dib;
}

void Print(const char* Name, double Seconds, double Floor)
{
    std::printf("  %-28s %10.1f us  %7.2f x floor\n", Name, Seconds * 1e6, Seconds / Floor);
}

} // namespace

int main()
{
    const RECT target{0, 0, TargetWidth, TargetHeight};
    const TMargins margins{24, 24, 24, 24};

    // The floor: a plain full-screen blit between two memory DCs.
    HDC screen = GetDC(nullptr);
    HDC sourceDC = CreateCompatibleDC(screen);
    HDC destDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HBITMAP sourceDib = MakeDib(TargetWidth, TargetHeight);
    HBITMAP destDib = MakeDib(TargetWidth, TargetHeight);
    HGDIOBJ oldSource = SelectObject(sourceDC, sourceDib);
    HGDIOBJ oldDest = SelectObject(destDC, destDib);

    const double floor = Median([&] {
        BitBlt(destDC, 0, 0, TargetWidth, TargetHeight, sourceDC, 0, 0, SRCCOPY);
        GdiFlush();
    });

    // What every composition pays before drawing a pixel: a new bitmap of the target size, made
    // and filled once (a full-size StretchBlt of one pixel), for telling the cost of the pieces
    // from the cost of the result bitmap.
    const double allocate = Median([&] {
        TBitmap result(TargetWidth, TargetHeight, pf32bit);
        BitBlt(result.Canvas()->Handle(), 0, 0, TargetWidth, TargetHeight, sourceDC, 0, 0, SRCCOPY);
        GdiFlush();
    });
    TBitmap one(1, 1, pf32bit);
    const double stretchOne = Median([&] {
        StretchBlt(destDC, 0, 0, TargetWidth, TargetHeight, one.Canvas()->Handle(), 0, 0, 1, 1, SRCCOPY);
        GdiFlush();
    });

    auto strip = MakeStrip();
    const double buildStretch = Median([&] {
        auto frame = BuildFrameBitmap(target, strip.get(), margins, 2, StripFrames, false, false);
        GdiFlush();
    });
    const double buildTile = Median([&] {
        auto frame = BuildFrameBitmap(target, strip.get(), margins, 2, StripFrames, true, false);
        GdiFlush();
    });
    const double drawTransparent = Median([&] {
        DrawFrameImage(destDC, target, strip.get(), margins, 2, StripFrames, true, false, false);
        GdiFlush();
    });

    // The transparent draw's own steps on a composed frame: the mask, then the masked blit.
    auto composed = BuildFrameBitmap(target, strip.get(), margins, 2, StripFrames, false, false);
    const double mask = Median([&] {
        composed->CreateMask(SkinKeyColour);
        GdiFlush();
    });
    const double maskedBlit = Median([&] {
        DrawTransparentBitmap(destDC, target, composed.get(), SkinKeyColour);
        GdiFlush();
    });
    composed.reset();

    const auto titleSource = MakeTitle();
    const auto title24Source = MakeTitle(pf24bit);
    const auto checkerSource = MakeChecker();
    std::unique_ptr<TBitmap> work;
    size_t titleRects = 0;
    size_t checkerRects = 0;
    auto regionRects = [](HRGN Region) -> size_t {
        const DWORD bytes = GetRegionData(Region, 0, nullptr);
        if (bytes == 0)
            return 0;
        std::vector<uint8_t> data(bytes);
        GetRegionData(Region, bytes, reinterpret_cast<RGNDATA*>(data.data()));
        return reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount;
    };
    auto fresh = [&](TBitmap* Source) {
        return [&work, Source] {
            work = std::make_unique<TBitmap>();
            work->Assign(Source);
            work->Handle();
        };
    };
    const double titleRegion = Median(fresh(titleSource.get()), [&] {
        HRGN region = BuildBitmapRegion(work.get(), 0, 0, SkinKeyColour, 1, 1, 1);
        if (region != nullptr) {
            if (titleRects == 0)
                titleRects = regionRects(region);
            DeleteObject(region);
        }
    });
    const double title24Region = Median(fresh(title24Source.get()), [&] {
        if (HRGN region = BuildBitmapRegion(work.get(), 0, 0, SkinKeyColour, 1, 1, 1); region != nullptr)
            DeleteObject(region);
    });
    const double checkerRegion = Median(fresh(checkerSource.get()), [&] {
        HRGN region = BuildBitmapRegion(work.get(), 0, 0, SkinKeyColour, 1, 1, 1);
        if (region != nullptr) {
            if (checkerRects == 0)
                checkerRects = regionRects(region);
            DeleteObject(region);
        }
    });
    work.reset();

    SelectObject(sourceDC, oldSource);
    SelectObject(destDC, oldDest);
    DeleteObject(sourceDib);
    DeleteObject(destDib);
    DeleteDC(sourceDC);
    DeleteDC(destDC);

    std::printf("skin drawing on %d x %d, median of %d rounds\n", TargetWidth, TargetHeight, Rounds);
    Print("floor (BitBlt SRCCOPY)", floor, floor);
    Print("new bitmap + full blit", allocate, floor);
    Print("StretchBlt 1x1 to full size", stretchOne, floor);
    Print("BuildFrameBitmap stretch", buildStretch, floor);
    Print("BuildFrameBitmap tile", buildTile, floor);
    Print("DrawFrameImage transparent", drawTransparent, floor);
    Print("  of which the mask", mask, floor);
    Print("  the mask and the blits", maskedBlit, floor);
    Print("BuildBitmapRegion title", titleRegion, floor);
    Print("  the same title, 24-bit", title24Region, floor);
    Print("BuildBitmapRegion worst case", checkerRegion, floor);
    std::printf("  title region: %zu rectangles; worst case: %zu rectangles\n", titleRects, checkerRects);
    BenchFigure("nine-slice stretch / blit", buildStretch / floor, "x", true, 4);
    BenchFigure("nine-slice tile / blit", buildTile / floor, "x", true, 4);
    BenchFigure("nine-slice transparent / blit", drawTransparent / floor, "x", true, 4);
    BenchFigure("title-strip region", titleRegion * 1e3, " ms", true, 1);
    return 0;
}
