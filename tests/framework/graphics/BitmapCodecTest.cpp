// The bitmap-file codec: round trips for every stored format, hand-built files with the other
// headers, 16-bit and bit-field conversion, RLE samples, and malformed files.
#include "framework/graphics/BitmapCodec.h"

#include "framework/core/Stream.h"

#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace test_bytes;

// A bitmap file put together field by field. Pixels are the raw bytes after the headers, masks
// and colour table (given as 0x00RRGGBB, written as quads, or triples for the core header).
struct TFile {
    uint32_t HeaderSize = 40;
    int32_t Width = 1;
    int32_t Height = 1;
    uint32_t Bits = 24;
    uint32_t Compression = 0;
    uint32_t ColorsUsed = 0;
    int64_t SizeImage = -1; // -1: the size of Pixels
    std::vector<uint32_t> Masks; // after a 40-byte header, or inside a V4/V5 header
    std::vector<uint32_t> Palette;
    std::string Pixels;

    std::string Build() const
    {
        std::string h;
        if (HeaderSize == 12) {
            Put16(h, static_cast<uint32_t>(Width));
            Put16(h, static_cast<uint32_t>(Height));
            Put16(h, 1);
            Put16(h, Bits);
        } else {
            Put32(h, static_cast<uint32_t>(Width));
            Put32(h, static_cast<uint32_t>(Height));
            Put16(h, 1);
            Put16(h, Bits);
            Put32(h, Compression);
            Put32(h, static_cast<uint32_t>(SizeImage < 0 ? Pixels.size() : static_cast<uint64_t>(SizeImage)));
            Put32(h, 2835);
            Put32(h, 2835);
            Put32(h, ColorsUsed);
            Put32(h, 0);
            if (HeaderSize > 40) {
                for (size_t i = 0; i < 4; ++i)
                    Put32(h, i < Masks.size() ? Masks[i] : 0);
                h.resize(HeaderSize - 4, '\0'); // colour space, end points, gamma (and V5 fields)
            } else {
                for (uint32_t m : Masks)
                    Put32(h, m);
            }
        }
        for (uint32_t c : Palette) {
            h += static_cast<char>(c & 0xFF);
            h += static_cast<char>((c >> 8) & 0xFF);
            h += static_cast<char>((c >> 16) & 0xFF);
            if (HeaderSize != 12)
                h += '\0';
        }
        std::string s = "BM";
        const uint32_t offBits = static_cast<uint32_t>(14 + 4 + h.size());
        Put32(s, static_cast<uint32_t>(offBits + Pixels.size()));
        Put32(s, 0);
        Put32(s, offBits);
        Put32(s, HeaderSize);
        return s + h + Pixels;
    }
};

TBitmapImage Decode(const std::string& File)
{
    return DecodeBitmap(reinterpret_cast<const uint8_t*>(File.data()), File.size());
}

// The reason a file is refused, or "valid".
std::string Problem(const std::string& File, bool Strict = false)
{
    TBitmapImage image;
    std::string problem;
    if (TryDecodeBitmap(reinterpret_cast<const uint8_t*>(File.data()), File.size(), image, problem, Strict))
        return "valid";
    EXPECT_FALSE(problem.empty());
    // The raising form agrees and says the same.
    try {
        DecodeBitmap(reinterpret_cast<const uint8_t*>(File.data()), File.size(), Strict);
        ADD_FAILURE() << "DecodeBitmap accepted what TryDecodeBitmap refused: " << problem;
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Bitmap image is not valid: " + problem);
    }
    return problem;
}

std::string Bytes(std::initializer_list<int> Values)
{
    std::string s;
    for (int v : Values)
        s += static_cast<char>(v);
    return s;
}

// An image of the given format with every pixel byte and palette entry set from a pattern.
TBitmapImage Pattern(int32_t Width, int32_t Height, int Bits)
{
    TBitmapImage image;
    image.Create(Width, Height, Bits);
    for (size_t i = 0; i < image.Palette.size(); ++i)
        image.Palette[i] = static_cast<uint32_t>(i * 0x010203 + 0x102030) & 0xFFFFFF;
    for (int32_t y = 0; y < Height; ++y)
        for (int32_t x = 0; x < Width; ++x) {
            const uint32_t v = static_cast<uint32_t>(x * 7 + y * 13 + x * y);
            if (Bits <= 8) {
                image.SetPixelIndex(x, y, v % (1u << Bits));
            } else {
                uint8_t* p = image.Row(y) + x * (Bits / 8);
                for (int c = 0; c < Bits / 8; ++c)
                    p[c] = static_cast<uint8_t>(v * 31 + static_cast<uint32_t>(c) * 77);
            }
        }
    return image;
}

// ---- round trips ---------------------------------------------------------------------------

TEST(BitmapCodecTest, RoundTripsEveryStoredFormat)
{
    for (int bits : {1, 4, 8, 24, 32})
        for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {7, 5}, {33, 4}, {64, 3}}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(w) + " x " + std::to_string(h));
            const TBitmapImage image = Pattern(w, h, bits);
            const std::string file = EncodeBitmap(image);
            const TBitmapImage back = Decode(file);
            EXPECT_EQ(back.Width, w);
            EXPECT_EQ(back.Height, h);
            EXPECT_EQ(back.BitCount, bits);
            EXPECT_EQ(back.Palette, image.Palette);
            EXPECT_EQ(back.Pixels, image.Pixels);
            EXPECT_EQ(EncodeBitmap(back), file);
            EXPECT_EQ(Problem(file, true), "valid");
        }
}

TEST(BitmapCodecTest, EncodedFileLayout)
{
    TBitmapImage image;
    image.Create(2, 3, 8);
    image.Palette[1] = 0x112233;
    image.Palette[2] = 0xFF445566; // the top byte is not written
    image.SetPixelIndex(0, 0, 1); // top row
    image.SetPixelIndex(1, 2, 2); // bottom row
    const std::string file = EncodeBitmap(image);
    const size_t offBits = 14 + 40 + 256 * 4;
    ASSERT_EQ(file.size(), offBits + 3 * 4);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(Get32(file, 2), file.size());
    EXPECT_EQ(Get32(file, 10), offBits);
    EXPECT_EQ(Get32(file, 14), 40u);
    EXPECT_EQ(Get32(file, 18), 2u);
    EXPECT_EQ(Get32(file, 22), 3u); // positive: bottom-up
    EXPECT_EQ(Get32(file, 30), 0u);  // BI_RGB
    EXPECT_EQ(Get32(file, 34), 12u);
    EXPECT_EQ(file.substr(54 + 4, 4), Bytes({0x33, 0x22, 0x11, 0}));
    EXPECT_EQ(file.substr(54 + 8, 4), Bytes({0x66, 0x55, 0x44, 0}));
    EXPECT_EQ(file.substr(offBits), Bytes({0, 2, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0})); // bottom row first
    EXPECT_EQ(Decode(file).Palette[2], 0x445566u);
}

TEST(BitmapCodecTest, EncodeRefusesInconsistentImages)
{
    TBitmapImage image = Pattern(4, 2, 8);
    image.Pixels.pop_back();
    EXPECT_THROW(EncodeBitmap(image), EInvalidGraphic);
    image = Pattern(4, 2, 8);
    image.Palette.resize(257);
    EXPECT_THROW(EncodeBitmap(image), EInvalidGraphic);
    image = Pattern(4, 2, 24);
    image.BitCount = 16;
    EXPECT_THROW(EncodeBitmap(image), EInvalidGraphic);
    EXPECT_THROW(EncodeBitmap(TBitmapImage()), EInvalidGraphic);

    // A short palette is padded with black.
    image = Pattern(4, 2, 4);
    image.Palette.resize(3);
    const TBitmapImage back = Decode(EncodeBitmap(image));
    ASSERT_EQ(back.Palette.size(), 16u);
    EXPECT_EQ(back.Palette[2], image.Palette[2]);
    EXPECT_EQ(back.Palette[3], 0u);
    EXPECT_EQ(back.Pixels, image.Pixels);

    TBitmapImage created;
    EXPECT_THROW(created.Create(0, 1, 8), EInvalidGraphic);
    EXPECT_THROW(created.Create(1, 32768, 8), EInvalidGraphic);
    EXPECT_THROW(created.Create(1, 1, 16), EInvalidGraphic);
}

TEST(BitmapCodecTest, StreamsReadFromThePositionToTheEnd)
{
    const TBitmapImage image = Pattern(5, 3, 24);
    TMemoryStream stream;
    stream.WriteBuffer("junk", 4);
    SaveBitmapToStream(stream, image);
    EXPECT_EQ(stream.Size(), static_cast<int64_t>(4 + EncodeBitmap(image).size()));
    stream.SetPosition(4);
    TBitmapImage back;
    LoadBitmapFromStream(stream, back);
    EXPECT_EQ(back, image);
    EXPECT_EQ(stream.Position(), stream.Size());
    // Nothing left to read.
    EXPECT_THROW(LoadBitmapFromStream(stream, back), EInvalidGraphic);
    stream.SetPosition(0); // "junk" first: no signature
    EXPECT_THROW(LoadBitmapFromStream(stream, back), EInvalidGraphic);
}

// ---- hand-built files ----------------------------------------------------------------------

TEST(BitmapCodecTest, BottomUpAndTopDownRows)
{
    TFile f;
    f.Width = 2;
    f.Height = 2;
    // Bottom row first: blue, green; then the top row: red, white. Rows padded to 8 bytes.
    const std::string bottom = Bytes({0xFF, 0, 0, 0, 0xFF, 0, 0xAA, 0xBB});
    const std::string top = Bytes({0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xCC, 0xDD});
    f.Pixels = bottom + top;
    const TBitmapImage up = Decode(f.Build());
    ASSERT_EQ(up.BitCount, 24);
    EXPECT_EQ(up.Width, 2);
    EXPECT_EQ(up.Height, 2);
    EXPECT_EQ(up.Stride(), 8);
    EXPECT_EQ(up.PixelColour(0, 0), 0xFF0000u);
    EXPECT_EQ(up.PixelColour(1, 0), 0xFFFFFFu);
    EXPECT_EQ(up.PixelColour(0, 1), 0x0000FFu);
    EXPECT_EQ(up.PixelColour(1, 1), 0x00FF00u);
    EXPECT_EQ(up.Row(0)[6], 0); // padding bytes are cleared
    EXPECT_EQ(up.Row(1)[7], 0);

    f.Height = -2;
    f.Pixels = top + bottom;
    EXPECT_EQ(Decode(f.Build()), up);
}

TEST(BitmapCodecTest, IndexedFilesAndShortPalettes)
{
    TFile f;
    f.Width = 10;
    f.Height = 1;
    f.Bits = 1;
    f.Palette = {0x000000, 0xFFFFFF};
    f.Pixels = Bytes({0xA5, 0xFF, 0xFF, 0xFF}); // 1010 0101 11, then padding bits set
    TBitmapImage image = Decode(f.Build());
    ASSERT_EQ(image.BitCount, 1);
    ASSERT_EQ(image.Palette.size(), 2u);
    const uint32_t expected[10] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 1};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(image.PixelIndex(x, 0), expected[x]) << x;
    EXPECT_EQ(image.Row(0)[1], 0xC0); // bits past the last pixel are cleared
    EXPECT_EQ(image.Row(0)[2], 0);

    f.Width = 3;
    f.Bits = 4;
    f.ColorsUsed = 3; // indexes 3..15 have no entry
    f.Palette = {0x102030, 0x405060, 0x708090};
    f.Pixels = Bytes({0x21, 0xF0, 0, 0});
    image = Decode(f.Build());
    ASSERT_EQ(image.Palette.size(), 16u);
    EXPECT_EQ(image.PixelIndex(0, 0), 2u);
    EXPECT_EQ(image.PixelIndex(1, 0), 1u);
    EXPECT_EQ(image.PixelIndex(2, 0), 15u);
    EXPECT_EQ(image.PixelColour(0, 0), 0x708090u);
    EXPECT_EQ(image.PixelColour(1, 0), 0x405060u);
    EXPECT_EQ(image.PixelColour(2, 0), 0u); // past the file's palette: black
    EXPECT_EQ(image.Palette[15], 0u);

    f.Width = 4;
    f.Bits = 8;
    f.ColorsUsed = 2;
    f.Palette = {0x0000FF, 0x00FF00};
    f.Pixels = Bytes({0, 1, 200, 255});
    image = Decode(f.Build());
    ASSERT_EQ(image.Palette.size(), 256u);
    EXPECT_EQ(image.PixelColour(0, 0), 0x0000FFu);
    EXPECT_EQ(image.PixelColour(1, 0), 0x00FF00u);
    EXPECT_EQ(image.PixelIndex(2, 0), 200u);
    EXPECT_EQ(image.PixelColour(2, 0), 0u);
    EXPECT_EQ(image.PixelColour(3, 0), 0u);

    // A 24-bit file may carry a colour table for palette displays; it is skipped.
    TFile t;
    t.ColorsUsed = 2;
    t.Palette = {0x123456, 0x654321};
    t.Pixels = Bytes({1, 2, 3, 0});
    image = Decode(t.Build());
    EXPECT_TRUE(image.Palette.empty());
    EXPECT_EQ(image.PixelColour(0, 0), 0x030201u);
}

TEST(BitmapCodecTest, CoreHeaders)
{
    TFile f;
    f.HeaderSize = 12;
    f.Width = 3;
    f.Height = 2;
    f.Bits = 8;
    f.Palette.assign(256, 0);
    f.Palette[1] = 0xABCDEF;
    f.Palette[255] = 0x010203;
    f.Pixels = Bytes({1, 255, 0, 0, 0, 1, 255, 0}); // bottom row, then top row
    TBitmapImage image = Decode(f.Build());
    ASSERT_EQ(image.BitCount, 8);
    EXPECT_EQ(image.Palette[1], 0xABCDEFu);
    EXPECT_EQ(image.PixelIndex(0, 1), 1u);
    EXPECT_EQ(image.PixelColour(1, 1), 0x010203u);
    EXPECT_EQ(image.PixelIndex(1, 0), 1u);
    EXPECT_EQ(image.PixelColour(2, 0), 0x010203u);

    f.Bits = 24;
    f.Palette.clear();
    f.Height = 1;
    f.Pixels = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0});
    image = Decode(f.Build());
    ASSERT_EQ(image.BitCount, 24);
    EXPECT_EQ(image.PixelColour(0, 0), 0x030201u);
    EXPECT_EQ(image.PixelColour(2, 0), 0x090807u);

    f.Bits = 32; // core headers stop at 24 bits
    EXPECT_EQ(Problem(f.Build()), "unsupported bit count 32");
}

TEST(BitmapCodecTest, SixteenBitPixelsAreConvertedTo24Bits)
{
    TFile f;
    f.Width = 5;
    f.Height = 1;
    f.Bits = 16;
    auto pixels = [](std::initializer_list<uint32_t> Values) {
        std::string s;
        for (uint32_t v : Values)
            Put16(s, v);
        while (s.size() % 4)
            s += '\0';
        return s;
    };
    f.Pixels = pixels({0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x4210}); // 5-5-5
    TBitmapImage image = Decode(f.Build());
    ASSERT_EQ(image.BitCount, 24);
    EXPECT_EQ(image.PixelColour(0, 0), 0xFF0000u);
    EXPECT_EQ(image.PixelColour(1, 0), 0x00FF00u);
    EXPECT_EQ(image.PixelColour(2, 0), 0x0000FFu);
    EXPECT_EQ(image.PixelColour(3, 0), 0xFFFFFFu);
    EXPECT_EQ(image.PixelColour(4, 0), 0x848484u); // 16/31 of full scale
    EXPECT_TRUE(image.Palette.empty());

    f.Compression = 3; // 5-6-5 bit fields after the 40-byte header
    f.Masks = {0xF800, 0x07E0, 0x001F};
    f.Pixels = pixels({0xF800, 0x07E0, 0x001F, 0xFFFF, 0x8410});
    image = Decode(f.Build());
    ASSERT_EQ(image.BitCount, 24);
    EXPECT_EQ(image.PixelColour(0, 0), 0xFF0000u);
    EXPECT_EQ(image.PixelColour(1, 0), 0x00FF00u);
    EXPECT_EQ(image.PixelColour(2, 0), 0x0000FFu);
    EXPECT_EQ(image.PixelColour(3, 0), 0xFFFFFFu);
    EXPECT_EQ(image.PixelColour(4, 0), 0x848284u); // green 32/63

    // A V4 header with 1-5-5-5 masks and alpha: 32 bits, the alpha bit scaled to 0 or 255.
    f.HeaderSize = 108;
    f.Masks = {0x7C00, 0x03E0, 0x001F, 0x8000};
    f.Pixels = pixels({0xFC00, 0x03E0, 0x801F, 0, 0xFFFF});
    image = Decode(f.Build());
    ASSERT_EQ(image.BitCount, 32);
    const uint8_t* p = image.Row(0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 20),
              Bytes({0, 0, 255, 255, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255}));
}

TEST(BitmapCodecTest, ThirtyTwoBitFieldsAndTheLargerHeaders)
{
    TFile f;
    f.Width = 2;
    f.Height = 1;
    f.Bits = 32;
    f.Pixels = Bytes({1, 2, 3, 4, 5, 6, 7, 8});
    // Plain 32 bits and the standard masks keep the bytes, the fourth one included.
    for (uint32_t header : {40u, 108u, 124u}) {
        SCOPED_TRACE(header);
        f.HeaderSize = header;
        f.Compression = 0;
        f.Masks.clear();
        TBitmapImage image = Decode(f.Build());
        ASSERT_EQ(image.BitCount, 32);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.Pixels.data()), 8), f.Pixels);
        f.Compression = 3;
        f.Masks = {0xFF0000, 0xFF00, 0xFF};
        if (header > 40)
            f.Masks.push_back(0xFF000000);
        image = Decode(f.Build());
        ASSERT_EQ(image.BitCount, 32);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.Pixels.data()), 8), f.Pixels);
    }

    // Other masks are converted: R,G,B,X byte order to 24 bits.
    f.HeaderSize = 40;
    f.Masks = {0xFF, 0xFF00, 0xFF0000};
    TBitmapImage image = Decode(f.Build());
    ASSERT_EQ(image.BitCount, 24);
    EXPECT_EQ(image.PixelColour(0, 0), 0x010203u);
    EXPECT_EQ(image.PixelColour(1, 0), 0x050607u);

    // A V5 header with R,G,B,A masks high to low: 32 bits with alpha.
    f.HeaderSize = 124;
    f.Masks = {0xFF000000, 0xFF0000, 0xFF00, 0xFF};
    image = Decode(f.Build());
    ASSERT_EQ(image.BitCount, 32);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.Pixels.data()), 8), Bytes({2, 3, 4, 1, 6, 7, 8, 5}));

    // Odd masks (gaps, zero) decode without trouble.
    f.HeaderSize = 40;
    f.Masks = {0x1F1F1F1F, 0, 0xFFFFFFFF};
    f.Pixels = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});
    image = Decode(f.Build());
    ASSERT_EQ(image.BitCount, 24);
    EXPECT_EQ(image.PixelColour(0, 0), 0xFF00FFu);
    EXPECT_EQ(image.PixelColour(1, 0), 0u);
}

// ---- RLE -----------------------------------------------------------------------------------

TFile Rle(int32_t Width, int32_t Height, uint32_t Bits, const std::string& Codes)
{
    TFile f;
    f.Width = Width;
    f.Height = Height;
    f.Bits = Bits;
    f.Compression = Bits == 8 ? 1 : 2;
    f.ColorsUsed = 2;
    f.Palette = {0x000000, 0xFFFFFF};
    f.Pixels = Codes;
    return f;
}

std::vector<std::string> Indexes(const TBitmapImage& Image)
{
    std::vector<std::string> rows;
    for (int32_t y = 0; y < Image.Height; ++y) {
        std::string row;
        for (int32_t x = 0; x < Image.Width; ++x)
            row += "0123456789ABCDEF"[Image.PixelIndex(x, y) % 16];
        rows.push_back(row);
    }
    return rows;
}

TEST(BitmapCodecTest, Rle8Samples)
{
    // Bottom row: a run of three 5s, an absolute run 1,2,3 (padded), end of line. Next row: a
    // delta of (2, 1) skips to the top row at x 2, two 7s, end of bitmap.
    const std::string codes =
        Bytes({0x03, 0x05, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00, 0x02, 0x02, 0x01, 0x02, 0x07,
               0x00, 0x01});
    TBitmapImage image = Decode(Rle(6, 3, 8, codes).Build());
    ASSERT_EQ(image.BitCount, 8);
    EXPECT_EQ(Indexes(image), (std::vector<std::string>{"007700", "000000", "555123"}));

    // Runs past the row end are dropped; a missing end-of-bitmap code is tolerated.
    image = Decode(Rle(4, 2, 8, Bytes({0x06, 0x09, 0x00, 0x00, 0x00, 0x05, 1, 2, 3, 4, 5, 0})).Build());
    EXPECT_EQ(Indexes(image), (std::vector<std::string>{"1234", "9999"}));

    // An end of line after the last row is fine, pixels after it are not.
    EXPECT_EQ(Problem(Rle(2, 1, 8, Bytes({0x02, 0x01, 0x00, 0x00, 0x00, 0x01})).Build()), "valid");
    EXPECT_EQ(Problem(Rle(2, 1, 8, Bytes({0x02, 0x01, 0x00, 0x00, 0x01, 0x01})).Build()),
              "RLE data runs past the image");
    EXPECT_EQ(Problem(Rle(2, 1, 8, Bytes({0x00, 0x00, 0x00, 0x00})).Build()), "RLE data runs past the image");
    EXPECT_EQ(Problem(Rle(2, 1, 8, Bytes({0x00, 0x00, 0x00, 0x03, 1, 2, 3, 0})).Build()),
              "RLE data runs past the image");
    EXPECT_EQ(Problem(Rle(2, 3, 8, Bytes({0x00, 0x02, 0x00, 0x04})).Build()), "RLE data runs past the image");
    EXPECT_EQ(Problem(Rle(2, 3, 8, Bytes({0x00, 0x02, 0x00, 0x03, 0x00, 0x01})).Build()), "valid");
}

TEST(BitmapCodecTest, Rle4Samples)
{
    // A run of five alternating 1,2; an absolute run of 3 nibbles (A,B,C) padded to 16 bits.
    const std::string codes = Bytes({0x05, 0x12, 0x00, 0x00, 0x00, 0x03, 0xAB, 0xC0, 0x00, 0x01});
    TBitmapImage image = Decode(Rle(6, 2, 4, codes).Build());
    ASSERT_EQ(image.BitCount, 4);
    ASSERT_EQ(image.Palette.size(), 16u);
    EXPECT_EQ(Indexes(image), (std::vector<std::string>{"ABC000", "121210"}));

    // Absolute runs take (count + 1) / 2 bytes, padded to an even number.
    EXPECT_EQ(Problem(Rle(6, 1, 4, Bytes({0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x00, 0x01})).Build()), "valid");
    EXPECT_EQ(Problem(Rle(6, 1, 4, Bytes({0x00, 0x05, 0x12, 0x34})).Build()), "RLE data ends inside an absolute run");
}

TEST(BitmapCodecTest, RleOverruns)
{
    EXPECT_EQ(Problem(Rle(4, 2, 8, Bytes({0x04, 0x01, 0x00})).Build()), "RLE data ends inside a code");
    EXPECT_EQ(Problem(Rle(4, 2, 8, Bytes({0x00, 0x02, 0x01})).Build()), "RLE data ends inside a delta");
    EXPECT_EQ(Problem(Rle(4, 2, 8, Bytes({0x00, 0x05, 0x01, 0x02, 0x03})).Build()),
              "RLE data ends inside an absolute run");
    EXPECT_EQ(Problem(Rle(4, 2, 8, Bytes({0x00, 0xFF, 0x01, 0x02, 0x03})).Build()),
              "RLE data ends inside an absolute run");

    TFile f = Rle(4, 2, 8, Bytes({0x00, 0x01}));
    f.SizeImage = 0;
    EXPECT_EQ(Problem(f.Build()), "RLE bitmap without an image size");
    f.SizeImage = 100;
    EXPECT_EQ(Problem(f.Build()), "compressed pixel data runs past the end of the data (100 bytes from offset 62, 2 "
                                  "present)");
    // The image size bounds the codes even when more bytes follow.
    f = Rle(4, 1, 8, Bytes({0x04, 0x01, 0x00, 0x01}));
    f.SizeImage = 3;
    EXPECT_EQ(Problem(f.Build()), "RLE data ends inside a code");

    f = Rle(4, -2, 8, Bytes({0x00, 0x01}));
    EXPECT_EQ(Problem(f.Build()), "a top-down bitmap cannot be RLE-compressed");
    f = Rle(4, 2, 8, Bytes({0x00, 0x01}));
    f.Bits = 4;
    EXPECT_EQ(Problem(f.Build()), "RLE8 compression with 4 bits per pixel");
    f = Rle(4, 2, 4, Bytes({0x00, 0x01}));
    f.Bits = 8;
    f.Palette.resize(2);
    EXPECT_EQ(Problem(f.Build()), "RLE4 compression with 8 bits per pixel");
}

// ---- malformed files -----------------------------------------------------------------------

TEST(BitmapCodecTest, MalformedHeaders)
{
    const std::string good = EncodeBitmap(Pattern(5, 3, 24));
    EXPECT_EQ(Problem(""), "no \"BM\" signature");
    EXPECT_EQ(Problem("BA" + good.substr(2)), "no \"BM\" signature");
    EXPECT_EQ(Problem(good.substr(0, 10)), "too short for the bitmap headers (10 bytes)");
    EXPECT_EQ(Problem(good.substr(0, 17)), "too short for the bitmap headers (17 bytes)");
    EXPECT_EQ(Problem(good.substr(0, 40)), "bitmap header runs past the end of the data (40 bytes)");
    EXPECT_THROW(DecodeBitmap(nullptr, 0), EInvalidGraphic);

    std::string b = good;
    Set32(b, 14, 64);
    EXPECT_EQ(Problem(b), "unsupported bitmap header size 64");
    b = good;
    Set32(b, 18, static_cast<uint32_t>(-5));
    EXPECT_EQ(Problem(b), "width -5 is not positive");
    b = good;
    Set32(b, 18, 0);
    EXPECT_EQ(Problem(b), "width 0 is not positive");
    b = good;
    Set32(b, 22, 0);
    EXPECT_EQ(Problem(b), "height is 0");
    b = good;
    b[26] = 2;
    EXPECT_EQ(Problem(b), "2 planes, not 1");
    for (int bits : {0, 2, 3, 15, 48}) {
        b = good;
        b[28] = static_cast<char>(bits);
        EXPECT_EQ(Problem(b), "unsupported bit count " + std::to_string(bits));
    }
    for (uint32_t compression : {4u, 5u, 6u, 0xFFFFFFFFu}) {
        b = good;
        Set32(b, 30, compression);
        EXPECT_EQ(Problem(b), "unsupported compression " + std::to_string(compression));
    }
    b = good;
    Set32(b, 30, 3);
    EXPECT_EQ(Problem(b), "bit-field compression with 24 bits per pixel");

    TFile f;
    f.Bits = 16;
    f.Compression = 3;
    f.Masks = {0xF800, 0x07E0, 0x001F};
    f.Pixels = std::string(4, '\0');
    b = f.Build().substr(0, 60); // two of the three masks
    EXPECT_EQ(Problem(b), "colour masks run past the end of the data");

    // The file size field only counts when asked to.
    b = good;
    Set32(b, 2, 0xFFFFFFFF);
    EXPECT_EQ(Problem(b), "valid");
    EXPECT_EQ(Problem(b, true), "file header gives 4294967295 bytes, the data holds 102");
    Set32(b, 2, 0);
    EXPECT_EQ(Problem(b, true), "valid");
}

TEST(BitmapCodecTest, OffsetsAndSizesPastTheData)
{
    const std::string good = EncodeBitmap(Pattern(5, 3, 24)); // 54 + 3 * 16 bytes
    std::string b = good;
    Set32(b, 10, 0xFFFFFFF0);
    EXPECT_EQ(Problem(b), "pixel data offset 4294967280 lies past the end of the data (102 bytes)");
    Set32(b, 10, 103);
    EXPECT_EQ(Problem(b), "pixel data offset 103 lies past the end of the data (102 bytes)");
    Set32(b, 10, 20);
    EXPECT_EQ(Problem(b), "pixel data offset 20 lies inside the headers or colour table");
    Set32(b, 10, 55);
    EXPECT_EQ(Problem(b), "pixel data runs past the end of the data (48 bytes from offset 55, 47 present)");
    b = good;
    Set32(b, 22, 1000);
    EXPECT_EQ(Problem(b), "pixel data runs past the end of the data (16000 bytes from offset 54, 48 present)");
    b = good;
    Set32(b, 22, static_cast<uint32_t>(-4));
    EXPECT_EQ(Problem(b), "pixel data runs past the end of the data (64 bytes from offset 54, 48 present)");

    // Every shorter prefix fails; none reads past the data.
    for (const std::string& file :
         {good, EncodeBitmap(Pattern(9, 2, 4)), Rle(6, 3, 8, Bytes({3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 1})).Build()})
        for (size_t n = 0; n < file.size(); ++n)
            EXPECT_NE(Problem(file.substr(0, n)), "valid") << n;
}

// Loads stop at 16384 pixels a side and 64 Mi pixels in all: RLE codes a few bytes long could
// otherwise ask for any size. A header past a limit is refused from its fields alone, before
// anything of the size it claims is allocated.
TEST(BitmapCodecTest, HostileSizesAreRefusedUpFront)
{
    const auto start = std::chrono::steady_clock::now();
    auto tooLarge = [](uint64_t Width, uint64_t Height) {
        return "image of " + std::to_string(Width) + " x " + std::to_string(Height) + " pixels is too large";
    };
    const std::string good = EncodeBitmap(Pattern(5, 3, 24));
    const std::pair<uint32_t, uint32_t> sizes[] = {
        {0x7FFFFFFF, 3}, {16385, 3}, {5, 16385}, {5, static_cast<uint32_t>(-16385)}, {16384, 16384},
        {8193, 8192}, {8192, 8193}, {30000, 8000}, {0x7FFFFFFF, 0x7FFFFFFF},
    };
    for (auto [w, h] : sizes) {
        std::string b = good;
        Set32(b, 18, w);
        Set32(b, 22, h);
        const int32_t height = static_cast<int32_t>(h);
        EXPECT_EQ(Problem(b), tooLarge(w, static_cast<uint64_t>(height < 0 ? -int64_t(height) : height)));
    }
    std::string b = good;
    Set32(b, 22, 0x80000000); // the most negative height: 2^31 rows top-down
    EXPECT_EQ(Problem(b), tooLarge(5, uint64_t(1) << 31));
    Set32(b, 18, 0x80000000);
    EXPECT_EQ(Problem(b), "width -2147483648 is not positive");
    // Exactly at the limit, but refused for want of data.
    Set32(b, 18, 8192);
    Set32(b, 22, 8192);
    EXPECT_EQ(Problem(b), "pixel data runs past the end of the data (201326592 bytes from offset 54, 48 present)");

    // RLE codes of a kilobyte claiming 32767 x 8191 pixels, and claims just past each limit.
    std::string codes;
    for (int i = 0; i < 256; ++i)
        codes += Bytes({0xFF, i, 0, 0});
    EXPECT_EQ(Problem(Rle(32767, 8191, 8, codes).Build()), tooLarge(32767, 8191));
    EXPECT_EQ(Problem(Rle(16385, 1, 8, Bytes({0, 1})).Build()), tooLarge(16385, 1));
    EXPECT_EQ(Problem(Rle(1, 16385, 4, Bytes({0, 1})).Build()), tooLarge(1, 16385));
    EXPECT_EQ(Problem(Rle(16384, 4097, 8, Bytes({0, 1})).Build()), tooLarge(16384, 4097));
    EXPECT_EQ(Problem(Rle(4097, 16384, 4, Bytes({0, 1})).Build()), tooLarge(4097, 16384));

    // A core header's 16-bit sizes reach 65535.
    TFile core;
    core.HeaderSize = 12;
    core.Width = 16385;
    core.Pixels = std::string(4, '\0');
    EXPECT_EQ(Problem(core.Build()), tooLarge(16385, 1));
    core.Width = 1;
    core.Height = 65535;
    EXPECT_EQ(Problem(core.Build()), tooLarge(1, 65535));

    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(BitmapCodecTest, SizesAtTheLimitsLoad)
{
    for (auto [w, h, bits] : {std::tuple{16384, 1, 24}, {1, 16384, 8}, {16384, 2, 1}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        const TBitmapImage image = Pattern(w, h, bits);
        EXPECT_EQ(Decode(EncodeBitmap(image)), image);
    }

    // 64 Mi pixels of RLE8 from a few codes: two pixels in the bottom-left corner, deltas to the
    // top-right one, two more there.
    std::string codes = Bytes({2, 1});
    for (int x = 2, y = 0; x < 16382 || y < 4095;) {
        const int dx = std::min(255, 16382 - x), dy = std::min(255, 4095 - y);
        codes += Bytes({0, 2, dx, dy});
        x += dx;
        y += dy;
    }
    codes += Bytes({2, 1, 0, 1});
    const TBitmapImage image = Decode(Rle(16384, 4096, 8, codes).Build());
    ASSERT_EQ(image.Width, 16384);
    ASSERT_EQ(image.Height, 4096);
    EXPECT_EQ(image.PixelIndex(0, 4095), 1u);
    EXPECT_EQ(image.PixelIndex(1, 4095), 1u);
    EXPECT_EQ(image.PixelIndex(2, 4095), 0u);
    EXPECT_EQ(image.PixelIndex(16381, 0), 0u);
    EXPECT_EQ(image.PixelIndex(16382, 0), 1u);
    EXPECT_EQ(image.PixelIndex(16383, 0), 1u);
}

TEST(BitmapCodecTest, PaletteCountsPastTheFile)
{
    TFile f;
    f.Width = 4;
    f.Height = 1;
    f.Bits = 8;
    f.ColorsUsed = 16;
    f.Palette.assign(16, 0x808080);
    f.Pixels = Bytes({0, 1, 2, 3});
    EXPECT_EQ(Problem(f.Build()), "valid");
    std::string b = f.Build();
    Set32(b, 46, 17); // the table would overlap the pixels
    EXPECT_EQ(Problem(b), "pixel data offset 118 lies inside the headers or colour table");
    Set32(b, 46, 256);
    EXPECT_EQ(Problem(b), "colour table runs past the end of the data");
    Set32(b, 46, 257);
    EXPECT_EQ(Problem(b), "colour table of 257 entries for 8 bits per pixel");
    Set32(b, 46, 0); // 0: the full table of 256, past the 122-byte file
    EXPECT_EQ(Problem(b), "colour table runs past the end of the data");
    f.Bits = 4;
    b = f.Build();
    Set32(b, 46, 17);
    EXPECT_EQ(Problem(b), "colour table of 17 entries for 4 bits per pixel");
    f.Bits = 1;
    f.ColorsUsed = 2;
    f.Palette.resize(2);
    b = f.Build();
    Set32(b, 46, 3);
    EXPECT_EQ(Problem(b), "colour table of 3 entries for 1 bits per pixel");

    TFile t; // a 24-bit file claiming an optional table of 2^32 - 1 entries
    t.Pixels = std::string(4, '\0');
    b = t.Build();
    Set32(b, 46, 0xFFFFFFFF);
    EXPECT_EQ(Problem(b), "colour table runs past the end of the data");

    TFile core;
    core.HeaderSize = 12;
    core.Bits = 8;
    core.Palette.assign(256, 0);
    core.Pixels = std::string(4, '\0');
    EXPECT_EQ(Problem(core.Build()), "valid");
    EXPECT_EQ(Problem(core.Build().substr(0, 100)), "colour table runs past the end of the data");
}

TEST(BitmapCodecTest, DamagedBytesNeverReadOutside)
{
    // Under the sanitizers: any damaged header, mask, palette or code byte gives an answer, never
    // a bad read; what decodes also encodes and decodes the same.
    TFile masks;
    masks.HeaderSize = 108;
    masks.Width = 3;
    masks.Height = 2;
    masks.Bits = 16;
    masks.Compression = 3;
    masks.Masks = {0xF800, 0x07E0, 0x001F, 0};
    masks.Pixels = std::string(16, '\x5A');
    const std::vector<std::string> files = {
        EncodeBitmap(Pattern(5, 3, 8)),
        Rle(6, 3, 8, Bytes({3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 7, 0, 1})).Build(),
        Rle(6, 2, 4, Bytes({5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 0, 1})).Build(),
        masks.Build(),
    };
    for (const std::string& good : files)
        for (size_t at = 0; at < good.size() && at < 200; ++at)
            for (int value : {0x00, 0x01, 0x02, 0x7F, 0x80, 0xFF}) {
                std::string b = good;
                b[at] = static_cast<char>(value);
                TBitmapImage image;
                std::string problem;
                if (TryDecodeBitmap(reinterpret_cast<const uint8_t*>(b.data()), b.size(), image, problem))
                    EXPECT_EQ(Decode(EncodeBitmap(image)), image) << at << " " << value;
                else
                    EXPECT_FALSE(problem.empty());
            }
}

} // namespace
