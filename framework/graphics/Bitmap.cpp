#include "framework/graphics/Bitmap.h"

#include "framework/core/Exception.h"
#include "framework/core/Filer.h"
#include "framework/core/Published.h"
#include "framework/core/Stream.h"
#include "framework/graphics/MaskedBlit.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace {

// DIB sections let go of by bitmaps, newest last, for the next bitmap of their size and format.
class TDibRecycler {
public:
    struct TEntry {
        HBITMAP Handle = nullptr;
        uint8_t* Bits = nullptr;
        int Width = 0;
        int Height = 0;
        int BitCount = 0;
        size_t Bytes = 0;
    };

    static constexpr size_t MinBytes = 64 * 1024;
    static constexpr size_t MaxBytes = 48 * 1024 * 1024;
    static constexpr size_t MaxEntries = 8;

    // Takes Entry over (true) or leaves it to the caller (false).
    bool Put(const TEntry& Entry) noexcept
    {
        if (Entry.Bytes < MinBytes || Entry.Bytes > MaxBytes)
            return false;
        std::vector<HBITMAP> evicted;
        {
            std::lock_guard<std::mutex> lock(FLock);
            try {
                FEntries.push_back(Entry);
            } catch (...) {
                return false;
            }
            FBytes += Entry.Bytes;
            while (FEntries.size() > MaxEntries || FBytes > MaxBytes) {
                FBytes -= FEntries.front().Bytes;
                evicted.push_back(FEntries.front().Handle);
                FEntries.erase(FEntries.begin());
            }
        }
        for (HBITMAP h : evicted)
            DeleteObject(h);
        return true;
    }

    bool Take(int Width, int Height, int BitCount, TEntry& Entry) noexcept
    {
        std::lock_guard<std::mutex> lock(FLock);
        for (auto it = FEntries.rbegin(); it != FEntries.rend(); ++it) {
            if (it->Width == Width && it->Height == Height && it->BitCount == BitCount) {
                Entry = *it;
                FBytes -= it->Bytes;
                FEntries.erase(std::next(it).base());
                return true;
            }
        }
        return false;
    }

    void Clear() noexcept
    {
        std::vector<TEntry> entries;
        {
            std::lock_guard<std::mutex> lock(FLock);
            entries.swap(FEntries);
            FBytes = 0;
        }
        for (const TEntry& e : entries)
            DeleteObject(e.Handle);
    }

private:
    std::mutex FLock;
    std::vector<TEntry> FEntries;
    size_t FBytes = 0;
};

TDibRecycler& Recycler()
{
    // Never destroyed: bitmaps in static storage may go after it would.
    static TDibRecycler* recycler = new TDibRecycler();
    return *recycler;
}

// BITMAPINFO with room for a full 8-bit colour table.
struct TDibInfo {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[256];
};

bool IsIndexed(int bitCount) { return bitCount <= 8; }

uint32_t IndexAt(const uint8_t* row, int x, int bitCount)
{
    switch (bitCount) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
    default:
        return row[x];
    }
}

void SetIndexAt(uint8_t* row, int x, int bitCount, uint32_t index)
{
    switch (bitCount) {
    case 1: {
        const uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
        row[x >> 3] = static_cast<uint8_t>(index ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        break;
    }
    case 4:
        if (x & 1)
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0xF0u) | (index & 0x0Fu));
        else
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0x0Fu) | ((index & 0x0Fu) << 4));
        break;
    default:
        row[x] = static_cast<uint8_t>(index);
        break;
    }
}

// 0x00RRGGBB (palette and codec order) <-> 0x00BBGGRR (TColor, COLORREF).
uint32_t SwapRB(uint32_t c) { return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu); }

// The colour of a pixel as 0x00RRGGBB.
uint32_t RgbAt(const uint8_t* row, int x, int bitCount, const std::vector<uint32_t>& palette)
{
    if (IsIndexed(bitCount)) {
        const uint32_t index = IndexAt(row, x, bitCount);
        return index < palette.size() ? palette[index] & 0xFFFFFFu : 0;
    }
    const uint8_t* p = row + x * (bitCount / 8);
    return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

// The palette an indexed bitmap starts with, and the one conversions fall back on when the
// image's colours do not fit.
std::vector<uint32_t> FixedPalette(int bitCount)
{
    std::vector<uint32_t> palette;
    if (bitCount == 1) {
        palette = {0x000000, 0xFFFFFF};
    } else if (bitCount == 4) {
        palette = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                   0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    } else {
        palette.resize(256);
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t r = ((i >> 5) & 7u) * 255u / 7u;
            const uint32_t g = ((i >> 2) & 7u) * 255u / 7u;
            const uint32_t b = (i & 3u) * 255u / 3u;
            palette[i] = (r << 16) | (g << 8) | b;
        }
    }
    return palette;
}

uint32_t Nearest(const std::vector<uint32_t>& palette, uint32_t rgb)
{
    uint32_t best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (uint32_t i = 0; i < palette.size(); ++i) {
        const int dr = static_cast<int>((palette[i] >> 16) & 0xFF) - static_cast<int>((rgb >> 16) & 0xFF);
        const int dg = static_cast<int>((palette[i] >> 8) & 0xFF) - static_cast<int>((rgb >> 8) & 0xFF);
        const int db = static_cast<int>(palette[i] & 0xFF) - static_cast<int>(rgb & 0xFF);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

TBitmapImage ConvertImage(const TBitmapImage& source, int bitCount)
{
    TBitmapImage result;
    result.Create(source.Width, source.Height, bitCount);
    if (!IsIndexed(bitCount)) {
        const int bytes = bitCount / 8;
        for (int32_t y = 0; y < source.Height; ++y) {
            uint8_t* out = result.Row(y);
            const uint8_t* in = source.Row(y);
            for (int32_t x = 0; x < source.Width; ++x) {
                const uint32_t rgb = RgbAt(in, x, source.BitCount, source.Palette);
                uint8_t* p = out + x * bytes;
                p[0] = static_cast<uint8_t>(rgb);
                p[1] = static_cast<uint8_t>(rgb >> 8);
                p[2] = static_cast<uint8_t>(rgb >> 16);
                if (bytes == 4)
                    p[3] = source.BitCount == 32 ? in[x * 4 + 3] : 0;
            }
        }
        return result;
    }
    // The image's own colours when they fit, in the order they first appear.
    const size_t capacity = size_t{1} << bitCount;
    std::unordered_map<uint32_t, uint32_t> indexes;
    std::vector<uint32_t> palette;
    bool fits = true;
    for (int32_t y = 0; y < source.Height && fits; ++y) {
        const uint8_t* in = source.Row(y);
        for (int32_t x = 0; x < source.Width; ++x) {
            const uint32_t rgb = RgbAt(in, x, source.BitCount, source.Palette);
            if (indexes.count(rgb))
                continue;
            if (palette.size() == capacity) {
                fits = false;
                break;
            }
            indexes.emplace(rgb, static_cast<uint32_t>(palette.size()));
            palette.push_back(rgb);
        }
    }
    if (!fits) {
        palette = FixedPalette(bitCount);
        indexes.clear();
    }
    palette.resize(capacity, 0);
    result.Palette = palette;
    for (int32_t y = 0; y < source.Height; ++y) {
        const uint8_t* in = source.Row(y);
        uint8_t* out = result.Row(y);
        for (int32_t x = 0; x < source.Width; ++x) {
            const uint32_t rgb = RgbAt(in, x, source.BitCount, source.Palette);
            auto found = indexes.find(rgb);
            if (found == indexes.end())
                found = indexes.emplace(rgb, Nearest(palette, rgb)).first;
            SetIndexAt(out, x, bitCount, found->second);
        }
    }
    return result;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TBitmapCanvas

IMPLEMENT_CLASS_EMPTY(TBitmapCanvas)

TBitmapCanvas::TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::FreeContext() noexcept
{
    // The base canvas gives the DC its own objects back first; then the bitmap comes out.
    SetHandle(nullptr);
    FOldBitmap.reset();
    FDC.reset();
}

void TBitmapCanvas::CreateHandle()
{
    TMemoryDC dc(nullptr);
    if (!dc)
        throw EOutOfResources("Cannot create a memory device context");
    TSelectObject selected;
    FBitmap->Realize();
    if (FBitmap->FDib) {
        selected = TSelectObject(dc.get(), FBitmap->FDib.get());
        if (!selected)
            throw EInvalidOperation("Cannot select the bitmap");
    }
    if (FStretchMode != 0)
        SetStretchBltMode(dc.get(), FStretchMode);
    SetHandle(dc.get());
    FDC = std::move(dc);
    FOldBitmap = std::move(selected);
}

void TBitmapCanvas::SetStretchMode(int Value)
{
    FStretchMode = Value;
    if (FDC && Value != 0)
        SetStretchBltMode(FDC.get(), Value);
}

void TBitmapCanvas::Changed()
{
    FBitmap->PixelsChanged();
    TCanvas::Changed();
}

// ---------------------------------------------------------------------------------------------
// TBitmap

IMPLEMENT_CLASS(TBitmap)

void TBitmap::Publish(TClassBuilder<TBitmap>& b)
{
    // Size and format travel inside "Data" in descriptions.
    b.Property("Height", &TBitmap::Height, &TBitmap::SetHeight)
        .NotStored()
        .Property("PixelFormat", &TBitmap::PixelFormat, &TBitmap::SetPixelFormat)
        .NotStored()
        .Property("Transparent", &TBitmap::Transparent, &TBitmap::SetTransparent)
        .Property("TransparentColor", &TBitmap::TransparentColor, &TBitmap::SetTransparentColor, &ColorTypeInfo())
        .Property("TransparentMode", &TBitmap::TransparentMode, &TBitmap::SetTransparentMode)
        .Property("Width", &TBitmap::Width, &TBitmap::SetWidth)
        .NotStored();
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int Width, int Height, TPixelFormat Format)
{
    SetPixelFormat(Format);
    SetSize(Width, Height);
}

TBitmap::TBitmap(int Width, int Height, TPixelFormat Format, TInitialPixels Initial)
{
    SetPixelFormat(Format);
    Resize(Width, Height, Initial == TInitialPixels::Zero);
}

TBitmap::~TBitmap()
{
    // The canvas's DC still has the DIB selected: it goes first.
    FCanvas.reset();
    ReleaseDib();
}

void TBitmap::FreeRecycledDibs() noexcept
{
    Recycler().Clear();
}

void TBitmap::ReleaseDib() noexcept
{
    Detach();
    if (!FDib)
        return;
    const int bitCount = BitCountOf(FPixelFormat);
    if (!IsIndexed(bitCount) && FBits != nullptr && FPending.empty()) {
        TDibRecycler::TEntry entry;
        entry.Handle = FDib.get();
        entry.Bits = FBits;
        entry.Width = FWidth;
        entry.Height = FHeight;
        entry.BitCount = bitCount;
        entry.Bytes = static_cast<size_t>(Stride()) * static_cast<size_t>(FHeight);
        GdiFlush();
        if (Recycler().Put(entry)) {
            FDib.release();
            return;
        }
    }
    FDib.reset();
}

TPixelFormat TBitmap::ResolveFormat(TPixelFormat Format)
{
    if (Format != pfDevice)
        return Format;
    TClientDC screen(nullptr);
    const int depth = screen ? GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES) : 32;
    return depth == 32 ? pf32bit : pf24bit;
}

int TBitmap::BitCountOf(TPixelFormat Format)
{
    switch (Format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf24bit:
        return 24;
    case pf32bit:
        return 32;
    default:
        return BitCountOf(ResolveFormat(Format));
    }
}

TPixelFormat TBitmap::FormatOf(int BitCount)
{
    switch (BitCount) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 24:
        return pf24bit;
    default:
        return pf32bit;
    }
}

TBitmap::TDib TBitmap::CreateDib(int Width, int Height, int BitCount, const std::vector<uint32_t>& Palette,
                                 bool Zero)
{
    TDibRecycler::TEntry recycled;
    if (!IsIndexed(BitCount) && Recycler().Take(Width, Height, BitCount, recycled)) {
        TDib dib;
        dib.Handle.reset(recycled.Handle);
        dib.Bits = recycled.Bits;
        if (Zero)
            std::memset(dib.Bits, 0, recycled.Bytes);
        return dib;
    }
    TDibInfo info{};
    info.Header.biSize = sizeof(BITMAPINFOHEADER);
    info.Header.biWidth = Width;
    info.Header.biHeight = -Height; // top-down
    info.Header.biPlanes = 1;
    info.Header.biBitCount = static_cast<WORD>(BitCount);
    info.Header.biCompression = BI_RGB;
    if (IsIndexed(BitCount)) {
        const size_t count = std::min(Palette.size(), size_t{1} << BitCount);
        // RGBQUAD is B, G, R, reserved: the bytes of 0x00RRGGBB in little-endian order.
        std::memcpy(info.Colors, Palette.data(), count * sizeof(uint32_t));
        info.Header.biClrUsed = static_cast<DWORD>(size_t{1} << BitCount);
    }
    void* bits = nullptr;
    TDib dib;
    dib.Handle.reset(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib.Handle || bits == nullptr)
        throw EOutOfResources("Cannot create a bitmap of " + std::to_string(Width) + " x " + std::to_string(Height) +
                              " pixels");
    dib.Bits = static_cast<uint8_t*>(bits);
    return dib;
}

int TBitmap::Stride() const { return Empty() ? 0 : TBitmapImage::StrideFor(FWidth, BitCountOf(FPixelFormat)); }

void TBitmap::Detach() noexcept
{
    if (FCanvas)
        FCanvas->FreeContext();
    FMask.reset();
}

void TBitmap::SetSize(int NewWidth, int NewHeight)
{
    Resize(NewWidth, NewHeight, true);
}

void TBitmap::Resize(int NewWidth, int NewHeight, bool Zero)
{
    if (NewWidth <= 0 || NewHeight <= 0) {
        ReleaseDib();
        FPending = {};
        FBits = nullptr;
        FWidth = 0;
        FHeight = 0;
        return;
    }
    if (NewWidth == FWidth && NewHeight == FHeight && !Empty())
        return;
    const TPixelFormat format = ResolveFormat(FPixelFormat);
    const int bitCount = BitCountOf(format);
    std::vector<uint32_t> palette;
    if (IsIndexed(bitCount))
        palette = FPalette.size() == (size_t{1} << bitCount) ? FPalette : FixedPalette(bitCount);
    TDib dib = CreateDib(NewWidth, NewHeight, bitCount, palette, Zero || !Empty());
    if (!Empty()) {
        GdiFlush();
        const int oldStride = Stride();
        const int newStride = TBitmapImage::StrideFor(NewWidth, bitCount);
        const int width = std::min(FWidth, NewWidth);
        const int height = std::min(FHeight, NewHeight);
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = FBits + static_cast<size_t>(y) * oldStride;
            uint8_t* out = dib.Bits + static_cast<size_t>(y) * newStride;
            if (bitCount >= 8) {
                std::memcpy(out, in, static_cast<size_t>(width) * (bitCount / 8));
            } else {
                for (int x = 0; x < width; ++x)
                    SetIndexAt(out, x, bitCount, IndexAt(in, x, bitCount));
            }
        }
    }
    ReleaseDib();
    FDib = std::move(dib.Handle);
    FPending = {};
    FBits = dib.Bits;
    FWidth = NewWidth;
    FHeight = NewHeight;
    FPixelFormat = format;
    FPalette = std::move(palette);
}

void TBitmap::SetPixelFormat(TPixelFormat Format)
{
    if (Format == FPixelFormat)
        return;
    if (Empty()) {
        FPixelFormat = Format;
        FPalette.clear();
        if (Format != pfDevice && IsIndexed(BitCountOf(Format)))
            FPalette = FixedPalette(BitCountOf(Format));
        return;
    }
    const TPixelFormat target = ResolveFormat(Format);
    if (target == FPixelFormat)
        return;
    FromImage(ConvertImage(ToImage(), BitCountOf(target)));
}

uint8_t* TBitmap::ScanLine(int Row)
{
    if (Empty() || Row < 0 || Row >= FHeight)
        throw EInvalidGraphic("Scan line index out of range");
    // Rows handed out stay valid while the pixel memory does: they are the DIB section's.
    Realize();
    GdiFlush();
    return FBits + static_cast<size_t>(Row) * Stride();
}

TColor TBitmap::PixelColor(int X, int Y)
{
    GdiFlush();
    return static_cast<TColor>(
        SwapRB(RgbAt(FBits + static_cast<size_t>(Y) * Stride(), X, BitCountOf(FPixelFormat), FPalette)));
}

TBitmapCanvas* TBitmap::Canvas()
{
    if (!FCanvas)
        FCanvas = std::make_unique<TBitmapCanvas>(this);
    return FCanvas.get();
}

HBITMAP TBitmap::Handle()
{
    Realize();
    if (FCanvas)
        FCanvas->FreeContext();
    return FDib.get();
}

void TBitmap::SetHandle(HBITMAP Value)
{
    TBitmapHandle owned(Value);
    if (!owned) {
        SetSize(0, 0);
        return;
    }
    if (owned.get() == FDib.get()) {
        owned.release();
        return;
    }
    BITMAP info{};
    if (GetObjectA(owned.get(), sizeof info, &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0)
        throw EInvalidOperation("Invalid bitmap handle");
    const int depth = info.bmBitsPixel * info.bmPlanes;
    const int bitCount = (depth == 1 || depth == 4 || depth == 8 || depth == 24) ? depth : 32;

    TBitmapImage image;
    image.Create(info.bmWidth, info.bmHeight, bitCount);
    TDibInfo header{};
    header.Header.biSize = sizeof(BITMAPINFOHEADER);
    header.Header.biWidth = info.bmWidth;
    header.Header.biHeight = -info.bmHeight;
    header.Header.biPlanes = 1;
    header.Header.biBitCount = static_cast<WORD>(bitCount);
    header.Header.biCompression = BI_RGB;
    TClientDC screen(nullptr);
    if (!screen)
        throw EOutOfResources("Cannot get the screen device context");
    if (GetDIBits(screen.get(), owned.get(), 0, static_cast<UINT>(info.bmHeight), image.Pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) != info.bmHeight)
        throw EInvalidOperation("Cannot read the bitmap's pixels");
    if (IsIndexed(bitCount)) {
        const size_t count = size_t{1} << bitCount;
        image.Palette.assign(count, 0);
        std::memcpy(image.Palette.data(), header.Colors, count * sizeof(uint32_t));
        for (uint32_t& c : image.Palette)
            c &= 0xFFFFFFu;
    }
    FromImage(std::move(image));
}

HBITMAP TBitmap::ReleaseHandle()
{
    Realize();
    Detach();
    FBits = nullptr;
    FWidth = 0;
    FHeight = 0;
    return FDib.release();
}

TBitmapImage TBitmap::ToImage()
{
    GdiFlush();
    TBitmapImage image;
    image.Create(FWidth, FHeight, BitCountOf(FPixelFormat));
    std::memcpy(image.Pixels.data(), FBits, image.Pixels.size());
    if (IsIndexed(image.BitCount)) {
        image.Palette = FPalette;
        image.Palette.resize(size_t{1} << image.BitCount, 0);
    }
    return image;
}

void TBitmap::FromImage(TBitmapImage Image)
{
    std::vector<uint32_t> palette;
    if (IsIndexed(Image.BitCount)) {
        palette = std::move(Image.Palette);
        palette.resize(size_t{1} << Image.BitCount, 0);
    }
    Image.Pixels.resize(static_cast<size_t>(Image.Stride()) * static_cast<size_t>(Image.Height));
    ReleaseDib();
    FPending = std::move(Image.Pixels);
    FBits = FPending.data();
    FWidth = Image.Width;
    FHeight = Image.Height;
    FPixelFormat = FormatOf(Image.BitCount);
    FPalette = std::move(palette);
}

void TBitmap::Realize()
{
    if (FDib || FBits == nullptr)
        return;
    TDib dib = CreateDib(FWidth, FHeight, BitCountOf(FPixelFormat), FPalette, false);
    std::memcpy(dib.Bits, FPending.data(), FPending.size());
    // No DC can hold plain memory, and the mask does not depend on where the pixels are.
    FDib = std::move(dib.Handle);
    FBits = dib.Bits;
    FPending = {};
}

void TBitmap::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TBitmap*>(Source);
    if (source == nullptr && Source != nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    if (source == nullptr || source->Empty()) {
        SetSize(0, 0);
        FPixelFormat = source ? source->FPixelFormat : pfDevice;
        FPalette = source ? source->FPalette : std::vector<uint32_t>{};
    } else {
        FromImage(source->ToImage());
    }
    if (source) {
        FTransparent = source->FTransparent;
        FTransparentColor = source->FTransparentColor;
        FTransparentMode = source->FTransparentMode;
    } else {
        FTransparent = false;
        FTransparentColor = clDefault;
        FTransparentMode = tmAuto;
    }
}

void TBitmap::LoadFromStream(TStream& Stream)
{
    TBitmapImage image;
    LoadBitmapFromStream(Stream, image);
    FromImage(std::move(image));
}

void TBitmap::DefineProperties(TFiler& Filer)
{
    TGraphic::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& Stream) {
            if (Stream.Size() - Stream.Position() == 0)
                SetSize(0, 0);
            else
                LoadFromStream(Stream);
        },
        [this](TStream& Stream) { SaveToStream(Stream); }, !Empty());
}

void TBitmap::SaveToStream(TStream& Stream)
{
    if (Empty())
        return;
    SaveBitmapToStream(Stream, ToImage());
}

TColor TBitmap::TransparentColor()
{
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault)
        return FTransparentColor;
    if (Empty())
        return clDefault;
    return PixelColor(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value)
{
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
}

void TBitmap::SetTransparentMode(TTransparentMode Value)
{
    FTransparentMode = Value;
    if (Value == tmAuto)
        FTransparentColor = clDefault;
}

TBitmapHandle TBitmap::MakeMask(TColor Color)
{
    if (Empty())
        return TBitmapHandle();
    GdiFlush();
    const uint32_t key = SwapRB(ColorToRGB(Color) & 0xFFFFFFu); // as 0x00RRGGBB
    const int bitCount = BitCountOf(FPixelFormat);
    const int stride = Stride();
    const size_t maskStride = static_cast<size_t>((FWidth + 15) / 16) * 2; // CreateBitmap rows: WORD aligned
    std::vector<uint8_t> bits(maskStride * static_cast<size_t>(FHeight), 0);
    for (int y = 0; y < FHeight; ++y) {
        const uint8_t* row = FBits + static_cast<size_t>(y) * stride;
        uint8_t* out = bits.data() + static_cast<size_t>(y) * maskStride;
        if (bitCount == 32) {
            // Eight pixels to a mask byte, without branches: this pass is most of a masked draw.
            const auto* pixels = reinterpret_cast<const uint32_t*>(row);
            int x = 0;
            for (; x + 8 <= FWidth; x += 8) {
                unsigned byte = 0;
                for (int k = 0; k < 8; ++k)
                    byte = (byte << 1) | static_cast<unsigned>((pixels[x + k] & 0xFFFFFFu) == key);
                out[x >> 3] = static_cast<uint8_t>(byte);
            }
            for (; x < FWidth; ++x)
                if ((pixels[x] & 0xFFFFFFu) == key)
                    out[x >> 3] = static_cast<uint8_t>(out[x >> 3] | (0x80u >> (x & 7)));
        } else if (bitCount == 24) {
            const uint8_t b = static_cast<uint8_t>(key), g = static_cast<uint8_t>(key >> 8),
                          r = static_cast<uint8_t>(key >> 16);
            for (int x = 0; x < FWidth; ++x, row += 3)
                if (row[0] == b && row[1] == g && row[2] == r)
                    out[x >> 3] = static_cast<uint8_t>(out[x >> 3] | (0x80u >> (x & 7)));
        } else {
            for (int x = 0; x < FWidth; ++x)
                if (RgbAt(row, x, bitCount, FPalette) == key)
                    out[x >> 3] = static_cast<uint8_t>(out[x >> 3] | (0x80u >> (x & 7)));
        }
    }
    TBitmapHandle mask(CreateBitmap(FWidth, FHeight, 1, 1, bits.data()));
    if (!mask)
        throw EOutOfResources("Cannot create a mask bitmap");
    return mask;
}

HBITMAP TBitmap::CreateMask(TColor Color)
{
    FMask = MakeMask(Color);
    return FMask.get();
}

HBITMAP TBitmap::MaskHandle()
{
    if (!FMask)
        FMask = MakeMask(TransparentColor());
    return FMask.get();
}

bool TBitmap::Monochrome() const
{
    return FPixelFormat == pf1bit && FPalette.size() == 2 && FPalette[0] == 0x000000u && FPalette[1] == 0xFFFFFFu;
}

namespace {

// While it lives, a monochrome bitmap's colour table holds Dest's font colour (for black) and
// brush colour (for white), the way GDI draws a monochrome bitmap onto a colour DC.
class TMonochromeColors {
public:
    TMonochromeColors(bool Monochrome, HDC Source, TCanvas& Dest) : FSource(Monochrome ? Source : nullptr)
    {
        if (FSource == nullptr)
            return;
        const auto quad = [](TColor c) { return SwapRB(ColorToRGB(c) & 0xFFFFFFu); };
        const uint32_t colors[2] = {quad(Dest.Font()->Color()), quad(Dest.Brush()->Color())};
        SetDIBColorTable(FSource, 0, 2, reinterpret_cast<const RGBQUAD*>(colors));
    }
    ~TMonochromeColors()
    {
        if (FSource == nullptr)
            return;
        static const uint32_t original[2] = {0x000000u, 0xFFFFFFu};
        SetDIBColorTable(FSource, 0, 2, reinterpret_cast<const RGBQUAD*>(original));
    }
    TMonochromeColors(const TMonochromeColors&) = delete;
    TMonochromeColors& operator=(const TMonochromeColors&) = delete;

private:
    HDC FSource;
};

} // namespace

void TBitmap::Draw(TCanvas& Dest, int X, int Y)
{
    if (Empty())
        return;
    const bool mono = Monochrome();
    if (!FTransparent && !mono) {
        Dest.Draw(X, Y, Handle());
        return;
    }
    TBitmapHandle mask = FTransparent ? MakeMask(TransparentColor()) : TBitmapHandle();
    HDC source = Canvas()->Handle();
    HDC dest = Dest.Handle();
    Dest.Changing();
    {
        TMonochromeColors colors(mono, source, Dest);
        if (mask) // where the mask is 1 (the transparent colour) the destination stays (ROP 0xAA0029 is "D")
            MaskedBlt(dest, X, Y, FWidth, FHeight, source, 0, 0, mask.get(), TMaskMethod::MaskBlt);
        else
            BitBlt(dest, X, Y, FWidth, FHeight, source, 0, 0, Dest.CopyMode());
    }
    Dest.Changed();
}

void TBitmap::StretchDraw(TCanvas& Dest, const RECT& Rect)
{
    if (Empty())
        return;
    const bool mono = Monochrome();
    if (!FTransparent && !mono) {
        Dest.StretchDraw(Rect, Handle());
        return;
    }
    const int width = Rect.right - Rect.left;
    const int height = Rect.bottom - Rect.top;
    if (width <= 0 || height <= 0)
        return;
    if (width == FWidth && height == FHeight) {
        Draw(Dest, Rect.left, Rect.top);
        return;
    }
    // MaskBlt does not stretch: stretch into a copy first (COLORONCOLOR keeps the colours exact,
    // so the transparent colour survives) and draw that. A monochrome bitmap stays monochrome.
    const TColor key = TransparentColor();
    TBitmap stretched(width, height, mono ? pf1bit : pf32bit);
    HDC target = stretched.Canvas()->Handle();
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, 0, 0, width, height, Canvas()->Handle(), 0, 0, FWidth, FHeight, SRCCOPY);
    stretched.PixelsChanged();
    if (FTransparent) {
        stretched.SetTransparentColor(key);
        stretched.SetTransparent(true);
    }
    stretched.Draw(Dest, Rect.left, Rect.top);
}
