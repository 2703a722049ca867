#include "framework/graphics/Icon.h"

#include "framework/core/Exception.h"
#include "framework/core/Published.h"
#include "framework/core/Stream.h"
#include "framework/graphics/Canvas.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr size_t DirSize = 6;
constexpr size_t EntrySize = 16;
constexpr size_t InfoHeaderSize = 40;
// Icons are at most 256 pixels a side in practice; anything far beyond that is not an icon.
constexpr int64_t MaxSide = 4096;
// CreateIconFromResourceEx: the version of the icon format (3.0) that every current file uses.
constexpr DWORD IconVersion = 0x00030000;

[[noreturn]] void Invalid(const std::string& Reason)
{
    throw EInvalidGraphic("Icon image is not valid: " + Reason);
}

uint32_t Get16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Get32(const uint8_t* p) { return Get16(p) | Get16(p + 2) << 16; }

void Put16(std::vector<uint8_t>& s, uint32_t v)
{
    s.push_back(static_cast<uint8_t>(v & 0xFF));
    s.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void Put32(std::vector<uint8_t>& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

int64_t StrideOf(int64_t Width, int64_t Bits) { return (Width * Bits + 31) / 32 * 4; }

// One image of an icon file, as its directory entry and its own header describe it.
struct TIconEntry {
    int Width = 0;
    int Height = 0;
    int Bits = 0;
    uint32_t Offset = 0;
    uint32_t Size = 0;
};

const uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Checks that the image data of an entry is a PNG stream or a complete icon bitmap (header,
// colour table or bit fields, colour rows and AND mask all inside the entry) and returns its
// colour depth. Index is 1-based, for the messages.
int CheckImage(const uint8_t* p, uint32_t Size, int Index)
{
    const std::string which = "image " + std::to_string(Index);
    if (Size >= sizeof PngSignature && std::memcmp(p, PngSignature, sizeof PngSignature) == 0)
        return 32;
    if (Size < InfoHeaderSize)
        Invalid(which + " is too short for a bitmap header");
    const uint32_t headerSize = Get32(p);
    if (headerSize < InfoHeaderSize || headerSize > Size)
        Invalid(which + " has a bad header size (" + std::to_string(headerSize) + ")");
    const int64_t width = static_cast<int32_t>(Get32(p + 4));
    const int64_t doubleHeight = static_cast<int32_t>(Get32(p + 8));
    const uint32_t planes = Get16(p + 12);
    const uint32_t bits = Get16(p + 14);
    const uint32_t compression = Get32(p + 16);
    const uint32_t used = Get32(p + 32);
    if (width <= 0 || width > MaxSide || doubleHeight < 2 || doubleHeight > 2 * MaxSide)
        Invalid(which + " has a bad size");
    if (planes != 1)
        Invalid(which + " has " + std::to_string(planes) + " planes");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Invalid(which + " has an unsupported bit count (" + std::to_string(bits) + ")");
    const bool bitFields = compression == BI_BITFIELDS && (bits == 16 || bits == 32);
    if (compression != BI_RGB && !bitFields)
        Invalid(which + " is compressed");
    int64_t colours = 0;
    if (bits <= 8) {
        if (used > (1u << bits))
            Invalid(which + " has too many palette entries");
        colours = used ? used : (1u << bits);
    }
    const int64_t height = doubleHeight / 2;
    const int64_t need = int64_t{headerSize} + colours * 4 + (bitFields && headerSize == InfoHeaderSize ? 12 : 0) +
                         (StrideOf(width, bits) + StrideOf(width, 1)) * height;
    if (need > Size)
        Invalid(which + " is truncated (" + std::to_string(Size) + " bytes, " + std::to_string(need) + " needed)");
    return static_cast<int>(bits);
}

// The directory with every entry checked against the data.
std::vector<TIconEntry> ReadDirectory(const uint8_t* Data, size_t Size)
{
    if (Size > TIcon::MaxDataSize)
        Invalid("file too large");
    if (Size < DirSize)
        Invalid("file too short for an icon directory");
    if (Get16(Data) != 0 || Get16(Data + 2) != 1)
        Invalid("not an icon file");
    const size_t count = Get16(Data + 4);
    if (count == 0)
        Invalid("the file holds no image");
    const size_t dirEnd = DirSize + count * EntrySize;
    if (dirEnd > Size)
        Invalid("the icon directory is truncated");
    std::vector<TIconEntry> entries;
    entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = Data + DirSize + i * EntrySize;
        const int index = static_cast<int>(i) + 1;
        TIconEntry entry;
        entry.Width = e[0] ? e[0] : 256;
        entry.Height = e[1] ? e[1] : 256;
        entry.Size = Get32(e + 8);
        entry.Offset = Get32(e + 12);
        if (entry.Size == 0)
            Invalid("image " + std::to_string(index) + " has no data");
        if (entry.Offset < dirEnd || entry.Offset > Size || entry.Size > Size - entry.Offset)
            Invalid("image " + std::to_string(index) + " lies outside the file");
        entry.Bits = CheckImage(Data + entry.Offset, entry.Size, index);
        entries.push_back(entry);
    }
    return entries;
}

// The entry for a Target x Target-ish system size: the exact size, else the largest that is not
// bigger, else the smallest; more colours break ties, then the earlier entry.
size_t ChooseEntry(const std::vector<TIconEntry>& Entries, int TargetWidth, int TargetHeight)
{
    const auto rank = [&](const TIconEntry& e) {
        const int64_t area = int64_t{e.Width} * e.Height;
        if (e.Width == TargetWidth && e.Height == TargetHeight)
            return std::pair<int, int64_t>{0, 0};
        if (e.Width <= TargetWidth && e.Height <= TargetHeight)
            return std::pair<int, int64_t>{1, -area};
        return std::pair<int, int64_t>{2, area};
    };
    size_t best = 0;
    for (size_t i = 1; i < Entries.size(); ++i) {
        const auto a = rank(Entries[i]);
        const auto b = rank(Entries[best]);
        if (a < b || (a == b && Entries[i].Bits > Entries[best].Bits))
            best = i;
    }
    return best;
}

// The size of an icon from its bitmaps: the colour bitmap, or half the height of the mask of a
// monochrome icon (which holds the AND and the XOR mask one above the other).
bool IconSize(HICON Icon, int& Width, int& Height)
{
    ICONINFO info{};
    if (!GetIconInfo(Icon, &info))
        return false;
    TBitmapHandle colour(info.hbmColor);
    TBitmapHandle mask(info.hbmMask);
    BITMAP bm{};
    if (colour) {
        if (GetObjectA(colour.get(), sizeof bm, &bm) == 0)
            return false;
        Width = bm.bmWidth;
        Height = bm.bmHeight;
    } else {
        if (!mask || GetObjectA(mask.get(), sizeof bm, &bm) == 0)
            return false;
        Width = bm.bmWidth;
        Height = bm.bmHeight / 2;
    }
    return Width > 0 && Height > 0;
}

struct TMonoInfo {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[2];
};

// A one-image icon file of Icon: 32-bit colour rows and the AND mask, both bottom-up.
std::vector<uint8_t> EncodeIcon(HICON Icon)
{
    ICONINFO info{};
    if (!GetIconInfo(Icon, &info))
        throw EInvalidOperation("Invalid icon handle");
    TBitmapHandle colour(info.hbmColor);
    TBitmapHandle mask(info.hbmMask);
    BITMAP bm{};
    if (!mask || GetObjectA(mask.get(), sizeof bm, &bm) == 0)
        throw EInvalidOperation("Invalid icon handle");
    const int width = bm.bmWidth;
    int height = bm.bmHeight;
    if (colour) {
        if (GetObjectA(colour.get(), sizeof bm, &bm) == 0 || bm.bmWidth != width)
            throw EInvalidOperation("Invalid icon handle");
        height = bm.bmHeight;
    } else {
        height /= 2;
    }
    if (width <= 0 || height <= 0)
        throw EInvalidOperation("Invalid icon handle");
    // A monochrome icon keeps its XOR mask in the lower half of the mask bitmap: read bottom-up,
    // its rows come first.
    const int rows = colour ? height : 2 * height;
    const size_t xorStride = static_cast<size_t>(width) * 4;
    const size_t andStride = static_cast<size_t>(StrideOf(width, 1));

    TClientDC screen(nullptr);
    if (!screen)
        throw EOutOfResources("Cannot get the screen device context");

    std::vector<uint8_t> colourRows(xorStride * static_cast<size_t>(rows));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = rows;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    if (GetDIBits(screen.get(), colour ? colour.get() : mask.get(), 0, static_cast<UINT>(rows), colourRows.data(),
                  &bi, DIB_RGB_COLORS) != rows)
        throw EInvalidOperation("Cannot read the icon's pixels");

    std::vector<uint8_t> maskRows(andStride * static_cast<size_t>(rows));
    TMonoInfo mi{};
    mi.Header.biSize = sizeof mi.Header;
    mi.Header.biWidth = width;
    mi.Header.biHeight = rows;
    mi.Header.biPlanes = 1;
    mi.Header.biBitCount = 1;
    mi.Header.biCompression = BI_RGB;
    if (GetDIBits(screen.get(), mask.get(), 0, static_cast<UINT>(rows), maskRows.data(),
                  reinterpret_cast<BITMAPINFO*>(&mi), DIB_RGB_COLORS) != rows)
        throw EInvalidOperation("Cannot read the icon's mask");
    const uint8_t* andRows = maskRows.data() + (colour ? 0 : andStride * static_cast<size_t>(height));

    const size_t xorBytes = xorStride * static_cast<size_t>(height);
    const size_t andBytes = andStride * static_cast<size_t>(height);
    const uint32_t imageSize = static_cast<uint32_t>(InfoHeaderSize + xorBytes + andBytes);
    std::vector<uint8_t> file;
    file.reserve(DirSize + EntrySize + imageSize);
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, 1);
    file.push_back(static_cast<uint8_t>(width >= 256 ? 0 : width));
    file.push_back(static_cast<uint8_t>(height >= 256 ? 0 : height));
    file.push_back(0); // colour count: none for 32 bits
    file.push_back(0);
    Put16(file, 1);  // planes
    Put16(file, 32); // bits per pixel
    Put32(file, imageSize);
    Put32(file, static_cast<uint32_t>(DirSize + EntrySize));
    Put32(file, InfoHeaderSize);
    Put32(file, static_cast<uint32_t>(width));
    Put32(file, static_cast<uint32_t>(2 * height));
    Put16(file, 1);
    Put16(file, 32);
    Put32(file, BI_RGB);
    Put32(file, static_cast<uint32_t>(xorBytes + andBytes));
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 0);
    file.insert(file.end(), colourRows.begin(), colourRows.begin() + static_cast<std::ptrdiff_t>(xorBytes));
    file.insert(file.end(), andRows, andRows + andBytes);
    return file;
}

} // namespace

IMPLEMENT_CLASS_EMPTY(TIcon)

TIcon::TIcon() = default;

TIcon::~TIcon() = default;

void TIcon::SetHandle(HICON Value)
{
    TIconHandle owned(Value);
    if (owned.get() == FHandle.get()) {
        owned.release();
        return;
    }
    int width = 0;
    int height = 0;
    if (owned && !IconSize(owned.get(), width, height))
        throw EInvalidOperation("Invalid icon handle");
    FHandle = std::move(owned);
    FData.clear();
    FWidth = width;
    FHeight = height;
}

HICON TIcon::ReleaseHandle()
{
    FData.clear();
    FWidth = 0;
    FHeight = 0;
    return FHandle.release();
}

void TIcon::Draw(TCanvas& Dest, int X, int Y)
{
    if (Empty())
        return;
    StretchDraw(Dest, RECT{X, Y, X + FWidth, Y + FHeight});
}

void TIcon::StretchDraw(TCanvas& Dest, const RECT& Rect)
{
    const int width = Rect.right - Rect.left;
    const int height = Rect.bottom - Rect.top;
    if (Empty() || width <= 0 || height <= 0)
        return;
    HDC dc = Dest.Handle();
    Dest.Changing();
    DrawIconEx(dc, Rect.left, Rect.top, FHandle.get(), width, height, 0, nullptr, DI_NORMAL);
    Dest.Changed();
}

void TIcon::LoadFromStream(TStream& Stream)
{
    const int64_t left = Stream.Size() - Stream.Position();
    if (left > static_cast<int64_t>(MaxDataSize))
        Invalid("file too large");
    std::vector<uint8_t> data(static_cast<size_t>(left > 0 ? left : 0));
    if (!data.empty())
        Stream.ReadBuffer(data.data(), static_cast<int32_t>(data.size()));
    LoadFromData(data.data(), data.size());
}

void TIcon::LoadFromData(const uint8_t* Data, size_t Size)
{
    const std::vector<TIconEntry> entries = ReadDirectory(Data, Size);
    const TIconEntry& entry =
        entries[ChooseEntry(entries, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON))];
    // CreateIconFromResourceEx does not write to the bits, whatever its parameter type says.
    TIconHandle icon(CreateIconFromResourceEx(const_cast<PBYTE>(Data + entry.Offset), entry.Size, TRUE, IconVersion,
                                              entry.Width, entry.Height, LR_DEFAULTCOLOR));
    int width = 0;
    int height = 0;
    if (!icon || !IconSize(icon.get(), width, height))
        Invalid("the system cannot make an icon of the " + std::to_string(entry.Width) + "x" +
                std::to_string(entry.Height) + " image");
    std::vector<uint8_t> bytes(Data, Data + Size);
    FHandle = std::move(icon);
    FData = std::move(bytes);
    FWidth = width;
    FHeight = height;
}

void TIcon::SaveToStream(TStream& Stream)
{
    if (Empty())
        return;
    if (FData.empty()) {
        const std::vector<uint8_t> file = EncodeIcon(FHandle.get());
        Stream.WriteBuffer(file.data(), static_cast<int32_t>(file.size()));
        return;
    }
    Stream.WriteBuffer(FData.data(), static_cast<int32_t>(FData.size()));
}

void TIcon::Assign(TPersistent* Source)
{
    if (Source == nullptr) {
        SetHandle(nullptr);
        return;
    }
    auto* source = dynamic_cast<TIcon*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    if (!source->FData.empty()) {
        const std::vector<uint8_t> bytes = source->FData;
        LoadFromData(bytes.data(), bytes.size());
        return;
    }
    if (source->Empty()) {
        SetHandle(nullptr);
        return;
    }
    HICON copy = CopyIcon(source->FHandle.get());
    if (copy == nullptr)
        throw EOutOfResources("Cannot copy the icon");
    SetHandle(copy);
}
