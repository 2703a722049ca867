#include "skin/draw/FrameComposer.h"

#include "framework/core/Exception.h"
#include "framework/win/Handles.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace {

struct TMapEntry {
    int Source;
    int Target;
    bool Vertical;
    std::shared_ptr<const std::vector<int>> Map;
};

// Newest last; a window's paints ask for the same few pairs again and again.
thread_local std::vector<TMapEntry>* GMaps = nullptr;

std::vector<TMapEntry>& Maps()
{
    // Each GUI thread's own (no lock on a paint), freed by FreeStretchMaps on that thread.
    if (GMaps == nullptr)
        GMaps = new std::vector<TMapEntry>();
    return *GMaps;
}

constexpr size_t MaxMaps = 32;

// A 32-bit top-down DIB section of W x H selected into its own DC.
class TScratchDib {
public:
    TScratchDib(int W, int H)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = W;
        info.bmiHeader.biHeight = -H;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        FBitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        FDC = TMemoryDC(nullptr);
        if (!FBitmap || bits == nullptr || !FDC)
            throw EOutOfResources("Cannot create a bitmap of " + std::to_string(W) + " x " + std::to_string(H) +
                                  " pixels");
        FSelected = TSelectObject(FDC.get(), FBitmap.get());
        FBits = static_cast<uint32_t*>(bits);
    }
    HDC DC() const { return FDC.get(); }
    uint32_t* Bits() const { return FBits; }

private:
    TBitmapHandle FBitmap;
    TMemoryDC FDC;
    TSelectObject FSelected;
    uint32_t* FBits = nullptr;
};

std::vector<int> AskGdi(int Source, int Target, bool Vertical)
{
    TScratchDib from(Vertical ? 1 : Source, Vertical ? Source : 1);
    TScratchDib to(Vertical ? 1 : Target, Vertical ? Target : 1);
    for (int i = 0; i < Source; ++i)
        from.Bits()[i] = static_cast<uint32_t>(i);
    SetStretchBltMode(to.DC(), COLORONCOLOR);
    if (Vertical)
        StretchBlt(to.DC(), 0, 0, 1, Target, from.DC(), 0, 0, 1, Source, SRCCOPY);
    else
        StretchBlt(to.DC(), 0, 0, Target, 1, from.DC(), 0, 0, Source, 1, SRCCOPY);
    GdiFlush();
    std::vector<int> map(static_cast<size_t>(Target));
    for (int i = 0; i < Target; ++i) {
        // Anything outside the source would be a GDI we do not know: keep within it.
        map[static_cast<size_t>(i)] = std::clamp(static_cast<int>(to.Bits()[i]), 0, Source - 1);
    }
    return map;
}

} // namespace

TPixelView PixelViewOf(TBitmap& Bitmap)
{
    TPixelView view;
    if (Bitmap.Empty() || Bitmap.PixelFormat() != pf32bit)
        return view;
    view.Bits = reinterpret_cast<uint32_t*>(Bitmap.ScanLine(0));
    view.Stride = Bitmap.Stride() / 4;
    view.Width = Bitmap.Width();
    view.Height = Bitmap.Height();
    return view;
}

TFramePixels::TFramePixels(TBitmap& Bitmap, int X, int Y, int W, int H)
{
    if (Bitmap.PixelFormat() == pf32bit) {
        const TPixelView whole = PixelViewOf(Bitmap);
        FView = whole;
        FView.Bits = whole.Row(Y) + X;
        FView.Width = W;
        FView.Height = H;
        return;
    }
    if (Bitmap.PixelFormat() == pf24bit) {
        FCopy.resize(static_cast<size_t>(W) * static_cast<size_t>(H));
        const uint8_t* base = Bitmap.ScanLine(0);
        const ptrdiff_t stride = Bitmap.Stride();
        for (int y = 0; y < H; ++y) {
            const uint8_t* in = base + (Y + y) * stride + static_cast<ptrdiff_t>(X) * 3;
            uint32_t* out = FCopy.data() + static_cast<size_t>(y) * W;
            for (int x = 0; x < W; ++x, in += 3)
                out[x] = uint32_t{in[0]} | (uint32_t{in[1]} << 8) | (uint32_t{in[2]} << 16);
        }
        FView.Bits = FCopy.data();
        FView.Stride = W;
    } else {
        // Indexed pixels: GDI's own conversion, through the palette (and the colour table of a
        // monochrome bitmap), onto a fresh 32-bit DC as every composition target is.
        FConverted = std::make_unique<TBitmap>(W, H, pf32bit, TInitialPixels::Undefined);
        BitBlt(FConverted->Canvas()->Handle(), 0, 0, W, H, Bitmap.Canvas()->Handle(), X, Y, SRCCOPY);
        FView = PixelViewOf(*FConverted);
    }
    FView.Width = W;
    FView.Height = H;
}

std::shared_ptr<const std::vector<int>> StretchMap(int Source, int Target, bool Vertical)
{
    std::vector<TMapEntry>& maps = Maps();
    for (auto it = maps.begin(); it != maps.end(); ++it) {
        if (it->Source == Source && it->Target == Target && it->Vertical == Vertical) {
            TMapEntry entry = *it;
            maps.erase(it);
            maps.push_back(entry);
            return entry.Map;
        }
    }
    auto map = std::make_shared<const std::vector<int>>(AskGdi(Source, Target, Vertical));
    if (maps.size() == MaxMaps)
        maps.erase(maps.begin());
    maps.push_back(TMapEntry{Source, Target, Vertical, map});
    return map;
}

void FreeStretchMaps() noexcept
{
    delete std::exchange(GMaps, nullptr);
}

void StretchPiece(const TPixelView& Dest, int X, int Y, int W, int H, const TPixelView& Source, int SX, int SY,
                  int SW, int SH)
{
    if (W <= 0 || H <= 0 || SW <= 0 || SH <= 0)
        return;
    const auto columns = SW == W ? nullptr : StretchMap(SW, W, false);
    const auto rows = SH == H ? nullptr : StretchMap(SH, H, true);
    // The visible part, in piece coordinates.
    const int x0 = std::max(0, -X), x1 = std::min(W, Dest.Width - X);
    const int y0 = std::max(0, -Y), y1 = std::min(H, Dest.Height - Y);
    if (x1 <= x0 || y1 <= y0)
        return;
    const size_t bytes = static_cast<size_t>(x1 - x0) * sizeof(uint32_t);
    int lastSource = -1;
    const uint32_t* last = nullptr;
    for (int y = y0; y < y1; ++y) {
        const int sourceRow = rows ? (*rows)[static_cast<size_t>(y)] : y;
        uint32_t* out = Dest.Row(Y + y) + X + x0;
        if (sourceRow == lastSource) {
            std::memcpy(out, last, bytes);
        } else {
            const uint32_t* in = Source.Row(SY + sourceRow) + SX;
            if (columns) {
                const int* map = columns->data();
                for (int x = x0; x < x1; ++x)
                    out[x - x0] = in[map[x]];
            } else {
                std::memcpy(out, in + x0, bytes);
            }
            lastSource = sourceRow;
        }
        last = out;
    }
}

void TilePiece(const TPixelView& Dest, const RECT& Area, const TPixelView& Source, const RECT& Piece)
{
    const int w = Piece.right - Piece.left;
    const int h = Piece.bottom - Piece.top;
    if (w < 0 || h < 0 || w * h == 0 || Area.right <= Area.left || Area.bottom <= Area.top)
        return;
    // Whole tiles: the columns and rows they reach, clipped to Dest.
    const int across = (Area.right - Area.left + w - 1) / w;
    const int down = (Area.bottom - Area.top + h - 1) / h;
    const int left = std::max<int>(0, Area.left);
    const int right = static_cast<int>(std::min<long long>(Dest.Width, Area.left + static_cast<long long>(across) * w));
    const int top = std::max<int>(0, Area.top);
    const int bottom = static_cast<int>(std::min<long long>(Dest.Height, Area.top + static_cast<long long>(down) * h));
    if (right <= left || bottom <= top)
        return;
    for (int y = top; y < bottom; ++y) {
        uint32_t* out = Dest.Row(y);
        if (y - h >= top) {
            std::memcpy(out + left, Dest.Row(y - h) + left, static_cast<size_t>(right - left) * sizeof(uint32_t));
            continue;
        }
        const uint32_t* in = Source.Row(Piece.top + (y - Area.top) % h) + Piece.left;
        int x = left;
        while (x < right) {
            const int offset = (x - Area.left) % w;
            const int n = std::min(w - offset, right - x);
            std::memcpy(out + x, in + offset, static_cast<size_t>(n) * sizeof(uint32_t));
            x += n;
        }
    }
}

void ClearPixels(const TPixelView& Dest, int X, int Y, int W, int H)
{
    const int x0 = std::max(0, X), x1 = std::min(Dest.Width, X + W);
    const int y0 = std::max(0, Y), y1 = std::min(Dest.Height, Y + H);
    if (x1 <= x0)
        return;
    for (int y = y0; y < y1; ++y)
        std::memset(Dest.Row(y) + x0, 0, static_cast<size_t>(x1 - x0) * sizeof(uint32_t));
}
