// Icons on real USER and GDI: hand-made icon files loaded and drawn with their masks, the choice
// among several images, byte-exact round trips, icons adopted from handles and saved as files,
// malformed files that must raise and change nothing, copies, and no handle left behind.
#include "framework/graphics/Icon.h"

#include "framework/core/Stream.h"
#include "framework/graphics/Bitmap.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using test_bytes::Put16;
using test_bytes::Put32;

constexpr TColor Green = 0x008000;
constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;

// One image of an icon file: colours 0x00BBGGRR per pixel (top-down) and where it is transparent.
struct TImage {
    int Width;
    int Height;
    std::vector<uint32_t> Colours;
    std::vector<bool> Transparent;
};

// Left half Left (opaque), right half transparent (black underneath).
TImage HalfImage(int Size, TColor Left)
{
    TImage image{Size, Size, {}, {}};
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            const bool clear = x >= Size / 2;
            image.Colours.push_back(clear ? 0u : static_cast<uint32_t>(Left));
            image.Transparent.push_back(clear);
        }
    return image;
}

// The bitmap part of an icon image: 40-byte header, 32-bit colour rows and AND mask, bottom-up.
std::string ImageBytes(const TImage& image)
{
    std::string s;
    const uint32_t andStride = (static_cast<uint32_t>(image.Width) + 31) / 32 * 4;
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(image.Width));
    Put32(s, static_cast<uint32_t>(image.Height * 2));
    Put16(s, 1);
    Put16(s, 32);
    for (int i = 0; i < 6; ++i)
        Put32(s, 0);
    for (int y = image.Height - 1; y >= 0; --y)
        for (int x = 0; x < image.Width; ++x) {
            const uint32_t c = image.Colours[static_cast<size_t>(y * image.Width + x)];
            s += static_cast<char>((c >> 16) & 0xFF); // B
            s += static_cast<char>((c >> 8) & 0xFF);  // G
            s += static_cast<char>(c & 0xFF);         // R
            s += '\0';
        }
    for (int y = image.Height - 1; y >= 0; --y) {
        std::string row(andStride, '\0');
        for (int x = 0; x < image.Width; ++x)
            if (image.Transparent[static_cast<size_t>(y * image.Width + x)])
                row[static_cast<size_t>(x / 8)] = static_cast<char>(row[static_cast<size_t>(x / 8)] | (0x80 >> (x % 8)));
        s += row;
    }
    return s;
}

std::string IconFile(const std::vector<TImage>& images)
{
    std::string s;
    Put16(s, 0);
    Put16(s, 1);
    Put16(s, static_cast<uint32_t>(images.size()));
    std::vector<std::string> parts;
    for (const TImage& image : images)
        parts.push_back(ImageBytes(image));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        s += static_cast<char>(images[i].Width & 0xFF);
        s += static_cast<char>(images[i].Height & 0xFF);
        s += '\0';
        s += '\0';
        Put16(s, 1);
        Put16(s, 32);
        Put32(s, static_cast<uint32_t>(parts[i].size()));
        Put32(s, offset);
        offset += static_cast<uint32_t>(parts[i].size());
    }
    for (const std::string& part : parts)
        s += part;
    return s;
}

void Load(TIcon& icon, const std::string& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
    icon.LoadFromStream(stream);
}

std::string Save(TIcon& icon)
{
    TMemoryStream stream;
    icon.SaveToStream(stream);
    if (stream.Size() == 0)
        return {};
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

void Fill(TBitmap& bitmap, TColor colour)
{
    bitmap.Canvas()->Brush()->SetColor(colour);
    bitmap.Canvas()->FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
}

// Every pixel of the icon drawn at (1, 1) on a green bitmap 2 pixels larger.
std::vector<TColor> Rendered(TIcon& icon)
{
    TBitmap dest(icon.Width() + 2, icon.Height() + 2, pf32bit);
    Fill(dest, Green);
    icon.Draw(*dest.Canvas(), 1, 1);
    std::vector<TColor> pixels;
    for (int y = 0; y < dest.Height(); ++y)
        for (int x = 0; x < dest.Width(); ++x)
            pixels.push_back(dest.PixelColor(x, y));
    return pixels;
}

int SystemIconSize() { return GetSystemMetrics(SM_CXICON); }

TEST(IconTest, LoadsAFileAndDrawsThroughItsMask)
{
    const int size = SystemIconSize();
    const std::string file = IconFile({HalfImage(size, Red)});
    TIcon icon;
    EXPECT_TRUE(icon.Empty());
    EXPECT_EQ(icon.Handle(), nullptr);
    Load(icon, file);
    ASSERT_FALSE(icon.Empty());
    EXPECT_EQ(icon.Width(), size);
    EXPECT_EQ(icon.Height(), size);

    TBitmap dest(size + 4, size + 4, pf32bit);
    Fill(dest, Green);
    int changing = 0, changed = 0;
    struct TCounter : TObject {
        int* A;
        int* B;
        void OnChanging(TObject*) { ++*A; }
        void OnChanged(TObject*) { ++*B; }
    } counter;
    counter.A = &changing;
    counter.B = &changed;
    dest.Canvas()->SetOnChanging(BindMethod<&TCounter::OnChanging>(&counter));
    dest.Canvas()->SetOnChange(BindMethod<&TCounter::OnChanged>(&counter));
    icon.Draw(*dest.Canvas(), 2, 2);
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(dest.PixelColor(2, 2), Red);
    EXPECT_EQ(dest.PixelColor(2 + size / 2 - 1, 2 + size - 1), Red);
    EXPECT_EQ(dest.PixelColor(2 + size / 2, 2), Green) << "a masked-out pixel was painted";
    EXPECT_EQ(dest.PixelColor(2 + size - 1, 2 + size - 1), Green);
    EXPECT_EQ(dest.PixelColor(1, 1), Green);

    // Stretched to twice the size: the opaque half covers the left half of the rectangle.
    TBitmap big(2 * size, 2 * size, pf32bit);
    Fill(big, Green);
    icon.StretchDraw(*big.Canvas(), RECT{0, 0, 2 * size, 2 * size});
    EXPECT_EQ(big.PixelColor(1, 1), Red);
    EXPECT_EQ(big.PixelColor(size - 2, 2 * size - 2), Red);
    EXPECT_EQ(big.PixelColor(size + 1, 1), Green);
}

TEST(IconTest, PicksTheImageThatFitsTheSystemSize)
{
    const int size = SystemIconSize();
    // The exact size wins over larger and smaller ones, wherever it stands.
    {
        TIcon icon;
        Load(icon, IconFile({HalfImage(size / 2, Blue), HalfImage(size, Red), HalfImage(size * 2, Blue)}));
        EXPECT_EQ(icon.Width(), size);
        EXPECT_EQ(Rendered(icon)[static_cast<size_t>(1 * (size + 2) + 1)], Red);
    }
    // Else the largest that is not bigger.
    {
        TIcon icon;
        Load(icon, IconFile({HalfImage(size / 4, Blue), HalfImage(size * 2, Blue), HalfImage(size / 2, Red)}));
        EXPECT_EQ(icon.Width(), size / 2);
    }
    // Else the smallest.
    {
        TIcon icon;
        Load(icon, IconFile({HalfImage(size * 4, Blue), HalfImage(size * 2, Red)}));
        EXPECT_EQ(icon.Width(), size * 2);
    }
}

TEST(IconTest, SavesTheBytesItLoadedAndLoadsThemBack)
{
    const std::string file = IconFile({HalfImage(16, Blue), HalfImage(SystemIconSize(), Red)});
    TIcon icon;
    EXPECT_EQ(Save(icon), "") << "an empty icon writes nothing";
    Load(icon, file);
    EXPECT_EQ(Save(icon), file);
    TIcon again;
    Load(again, Save(icon));
    EXPECT_EQ(Rendered(again), Rendered(icon));

    // From the middle of a stream: only what follows the position is the file.
    TMemoryStream stream;
    stream.WriteBuffer("junk", 4);
    stream.WriteBuffer(file.data(), static_cast<int32_t>(file.size()));
    stream.SetPosition(4);
    TIcon fromMiddle;
    fromMiddle.LoadFromStream(stream);
    EXPECT_EQ(Save(fromMiddle), file);
}

// An 8 x 8 icon made with CreateIconIndirect: a colour DIB (a different colour per pixel) and a
// mask that leaves the bottom-right quarter transparent.
HICON MakeHandleIcon()
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 8;
    bi.bmiHeader.biHeight = -8;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmapHandle colour(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!colour)
        return nullptr;
    auto* p = static_cast<uint32_t*>(bits);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            p[y * 8 + x] = (y >= 4 && x >= 4) ? 0u : static_cast<uint32_t>(0x102030 + x * 0x20 + y * 0x2000);
    // Monochrome rows are word-aligned: 2 bytes each, most significant bit first.
    uint8_t maskBits[16] = {};
    for (int y = 4; y < 8; ++y)
        maskBits[y * 2] = 0x0F;
    TBitmapHandle mask(CreateBitmap(8, 8, 1, 1, maskBits));
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
    return CreateIconIndirect(&info);
}

TEST(IconTest, AdoptsAHandleAndSavesItAsAFile)
{
    HICON handle = MakeHandleIcon();
    ASSERT_NE(handle, nullptr);
    TIcon icon;
    icon.SetHandle(handle);
    EXPECT_EQ(icon.Handle(), handle);
    EXPECT_EQ(icon.Width(), 8);
    EXPECT_EQ(icon.Height(), 8);
    EXPECT_TRUE(icon.Data().empty());

    const std::vector<TColor> drawn = Rendered(icon);
    EXPECT_EQ(drawn[static_cast<size_t>(1 * 10 + 1)], static_cast<TColor>(0x302010)) << "pixel (0, 0)";
    EXPECT_EQ(drawn[static_cast<size_t>(8 * 10 + 8)], Green) << "pixel (7, 7) is transparent";

    const std::string file = Save(icon);
    ASSERT_GE(file.size(), 6u + 16u + 40u + 8u * 8u * 4u + 8u * 4u);
    EXPECT_EQ(test_bytes::Get32(file, 0), 0x00010000u); // reserved 0, type 1
    TIcon loaded;
    Load(loaded, file);
    EXPECT_EQ(loaded.Width(), 8);
    EXPECT_EQ(Rendered(loaded), drawn);

    // Released: the caller owns it, the icon is empty.
    HICON released = icon.ReleaseHandle();
    EXPECT_EQ(released, handle);
    EXPECT_TRUE(icon.Empty());
    EXPECT_EQ(icon.Width(), 0);
    EXPECT_EQ(Save(icon), "");
    EXPECT_TRUE(DestroyIcon(released));
}

TEST(IconTest, MalformedFilesRaiseAndLeaveTheIconAsItWas)
{
    const std::string good = IconFile({HalfImage(16, Red)});
    std::vector<std::pair<const char*, std::string>> cases;
    cases.emplace_back("empty", "");
    cases.emplace_back("truncated directory", good.substr(0, 4));
    cases.emplace_back("truncated entry", good.substr(0, 6 + 10));
    std::string s = good;
    test_bytes::Set16(s, 4, 0);
    cases.emplace_back("count 0", s);
    s = good;
    test_bytes::Set16(s, 2, 2);
    cases.emplace_back("cursor type", s);
    s = good;
    test_bytes::Set16(s, 0, 1);
    cases.emplace_back("reserved not 0", s);
    s = good;
    test_bytes::Set16(s, 4, 3);
    cases.emplace_back("count beyond the directory", s);
    s = good;
    test_bytes::Set32(s, 6 + 12, static_cast<uint32_t>(good.size()));
    cases.emplace_back("entry past the data", s);
    s = good;
    test_bytes::Set32(s, 6 + 12, 0xFFFFFFF0u);
    cases.emplace_back("huge offset", s);
    s = good;
    test_bytes::Set32(s, 6 + 8, 0);
    cases.emplace_back("zero size", s);
    s = good;
    test_bytes::Set32(s, 6 + 8, test_bytes::Get32(good, 6 + 8) + 1);
    cases.emplace_back("size past the data", s);
    cases.emplace_back("truncated image", good.substr(0, good.size() - 40));
    s = good;
    for (size_t i = 22; i < s.size(); ++i)
        s[i] = static_cast<char>(0xA5 ^ (i * 13));
    cases.emplace_back("garbage image", s);
    s = good;
    test_bytes::Set16(s, 22 + 14, 7);
    cases.emplace_back("bad bit count", s);
    s = good;
    test_bytes::Set32(s, 22 + 8, 0);
    cases.emplace_back("zero height", s);

    TIcon icon;
    Load(icon, IconFile({HalfImage(SystemIconSize(), Blue)}));
    const HICON before = icon.Handle();
    const std::vector<uint8_t> bytes = icon.Data();
    const std::vector<TColor> drawn = Rendered(icon);
    for (const auto& [name, data] : cases) {
        EXPECT_THROW(Load(icon, data), EInvalidGraphic) << name;
        EXPECT_EQ(icon.Handle(), before) << name;
        EXPECT_EQ(icon.Data(), bytes) << name;
    }
    EXPECT_EQ(icon.Width(), SystemIconSize());
    EXPECT_EQ(Rendered(icon), drawn);

    TIcon empty;
    EXPECT_THROW(Load(empty, cases[1].second), EInvalidGraphic);
    EXPECT_TRUE(empty.Empty());
    try {
        Load(empty, cases[3].second);
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.what()).find("Icon image is not valid"), std::string::npos) << e.what();
    }
}

TEST(IconTest, AssignCopiesBytesOrHandle)
{
    TIcon fromFile;
    Load(fromFile, IconFile({HalfImage(SystemIconSize(), Red)}));
    TIcon copy;
    copy.Assign(&fromFile);
    EXPECT_NE(copy.Handle(), fromFile.Handle());
    EXPECT_EQ(copy.Data(), fromFile.Data());
    EXPECT_EQ(Rendered(copy), Rendered(fromFile));

    TIcon adopted;
    adopted.SetHandle(MakeHandleIcon());
    copy.Assign(&adopted);
    EXPECT_NE(copy.Handle(), adopted.Handle());
    EXPECT_TRUE(copy.Data().empty());
    EXPECT_EQ(copy.Width(), 8);
    EXPECT_EQ(Rendered(copy), Rendered(adopted));

    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    TIcon empty;
    adopted.Assign(&empty);
    EXPECT_TRUE(adopted.Empty());

    TBitmap bitmap(4, 4);
    EXPECT_THROW(copy.Assign(&bitmap), EConvertError);
}

// GetGuiResources counts nothing under Wine (a stub); where it does count, the totals must come
// back. Either way each icon handle must be dead afterwards (GetIconInfo fails on it) and every
// DC and bitmap handle too (GetObjectType 0).
TEST(IconTest, NoHandleLeftAfterManyCycles)
{
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const std::string file = IconFile({HalfImage(16, Blue), HalfImage(SystemIconSize(), Red)});
    for (int i = 0; i < 400; ++i) {
        HICON loadedHandle, adoptedHandle, copyHandle;
        HDC destDC;
        HBITMAP destBitmap;
        {
            TIcon loaded;
            Load(loaded, file);
            TIcon adopted;
            adopted.SetHandle(MakeHandleIcon());
            TBitmap dest(40, 40, pf32bit);
            loaded.Draw(*dest.Canvas(), 0, 0);
            adopted.StretchDraw(*dest.Canvas(), RECT{0, 0, 20, 20});
            const std::string saved = Save(adopted);
            TIcon copy;
            copy.Assign(&adopted);
            Load(copy, saved);
            EXPECT_THROW(Load(copy, file.substr(0, 30)), EInvalidGraphic);
            loadedHandle = loaded.Handle();
            adoptedHandle = adopted.Handle();
            copyHandle = copy.Handle();
            destDC = dest.Canvas()->Handle();
            destBitmap = dest.Handle();
        }
        ICONINFO info{};
        ASSERT_FALSE(GetIconInfo(loadedHandle, &info)) << i;
        ASSERT_FALSE(GetIconInfo(adoptedHandle, &info)) << i;
        ASSERT_FALSE(GetIconInfo(copyHandle, &info)) << i;
        ASSERT_EQ(GetObjectType(destDC), 0u) << i;
        ASSERT_EQ(GetObjectType(destBitmap), 0u) << i;
    }
    if (gdiBefore != 0) {
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    }
    if (userBefore != 0) {
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
    }
    // USER and GDI still hand out icons.
    TIcon after;
    Load(after, file);
    EXPECT_EQ(Rendered(after)[static_cast<size_t>(after.Width() + 3)], Red);
}

} // namespace
