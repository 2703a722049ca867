#include "framework/graphics/BitmapCodec.h"

#include "framework/core/Stream.h"

#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr uint64_t kFileHeaderSize = 14;
constexpr uint64_t kInfoHeaderSize = 40;
// The sizes of an image in memory (and of one we write).
constexpr int64_t kMaxDimension = 32767;
constexpr uint64_t kMaxImageBytes = uint64_t(256) << 20;
// The sizes of a bitmap we load: no skin bitmap comes near them, and they bound what a file can
// make us allocate. Uncompressed files must also hold every pixel they declare, but a few bytes
// of RLE codes (end of bitmap, deltas) can legally stand for a whole image of zeroes.
constexpr int64_t kMaxLoadSide = 16384;
constexpr uint64_t kMaxLoadPixels = uint64_t(64) << 20;
static_assert(kMaxLoadSide <= kMaxDimension && kMaxLoadPixels * 4 <= kMaxImageBytes,
              "a loaded image fits the in-memory limits");
// The most a stream load reads.
constexpr int64_t kMaxFileBytes = int64_t(1) << 30;

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

const char* const kInvalid = "Bitmap image is not valid";

uint16_t U16(const uint8_t* d, uint64_t at) { return static_cast<uint16_t>(d[at] | d[at + 1] << 8); }

uint32_t U32(const uint8_t* d, uint64_t at)
{
    return static_cast<uint32_t>(U16(d, at)) | static_cast<uint32_t>(U16(d, at + 2)) << 16;
}

void Put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

std::string Num(uint64_t v) { return std::to_string(v); }

bool Fail(std::string& Problem, std::string Text)
{
    Problem = std::move(Text);
    return false;
}

uint64_t StrideOf(uint64_t Width, uint64_t Bits) { return (Width * Bits + 31) / 32 * 4; }

// One colour channel of a bit-field pixel, scaled to 0..255. Any mask works, gaps included.
uint8_t Channel(uint32_t Pixel, uint32_t Mask)
{
    if (Mask == 0)
        return 0;
    const int shift = std::countr_zero(Mask);
    const uint64_t most = Mask >> shift;
    const uint64_t value = (Pixel & Mask) >> shift;
    return static_cast<uint8_t>((value * 255 + most / 2) / most);
}

// Zeroes the bits and bytes of a decoded row past its last pixel.
void ClearPadding(uint8_t* Row, uint64_t Width, uint64_t Bits, uint64_t Stride)
{
    const uint64_t bits = Width * Bits;
    uint64_t used = bits / 8;
    if (bits % 8 != 0) {
        Row[used] &= static_cast<uint8_t>(0xFF << (8 - bits % 8));
        ++used;
    }
    std::memset(Row + used, 0, Stride - used);
}

struct THeader {
    uint64_t OffBits = 0;
    int64_t Width = 0;
    uint64_t Rows = 0;
    bool TopDown = false;
    uint32_t Bits = 0;
    uint32_t Compression = kRgb;
    uint64_t SizeImage = 0;
    uint32_t Masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
};

// Walks RLE codes in Data[Begin, End) into the indexed Image (4 or 8 bits, rows bottom-up in the
// file). Pixels past a row's end are dropped; pixels or moves past the last row are an error.
bool DecodeRle(const uint8_t* Data, uint64_t Begin, uint64_t End, bool Rle4, TBitmapImage& Image,
               std::string& Problem)
{
    const uint64_t width = static_cast<uint64_t>(Image.Width);
    const uint64_t rows = static_cast<uint64_t>(Image.Height);
    uint64_t x = 0, y = 0;
    auto put = [&](uint32_t Index) {
        if (x < width)
            Image.SetPixelIndex(static_cast<int32_t>(x), static_cast<int32_t>(rows - 1 - y), Index);
        ++x;
    };
    const char* const pastImage = "RLE data runs past the image";
    uint64_t pos = Begin;
    while (pos < End) {
        if (End - pos < 2)
            return Fail(Problem, "RLE data ends inside a code");
        const uint8_t count = Data[pos];
        const uint8_t code = Data[pos + 1];
        pos += 2;
        if (count != 0) { // an encoded run
            if (y >= rows)
                return Fail(Problem, pastImage);
            for (uint32_t i = 0; i < count && x < width; ++i)
                put(Rle4 ? (i % 2 == 0 ? code >> 4 : code & 0x0F) : code);
            continue;
        }
        if (code == 0) { // end of line
            if (y >= rows)
                return Fail(Problem, pastImage);
            x = 0;
            ++y;
            continue;
        }
        if (code == 1) // end of bitmap
            return true;
        if (code == 2) {
            if (End - pos < 2)
                return Fail(Problem, "RLE data ends inside a delta");
            x += Data[pos];
            y += Data[pos + 1];
            pos += 2;
            if (y > rows)
                return Fail(Problem, pastImage);
            continue;
        }
        uint64_t bytes = Rle4 ? (uint64_t(code) + 1) / 2 : code;
        bytes = (bytes + 1) & ~uint64_t(1); // runs are padded to 16 bits
        if (bytes > End - pos)
            return Fail(Problem, "RLE data ends inside an absolute run");
        if (y >= rows)
            return Fail(Problem, pastImage);
        for (uint32_t i = 0; i < code && x < width; ++i) {
            const uint8_t b = Data[pos + (Rle4 ? i / 2 : i)];
            put(Rle4 ? (i % 2 == 0 ? b >> 4 : b & 0x0F) : b);
        }
        pos += bytes;
    }
    return true; // a missing end-of-bitmap code is tolerated
}

// Checks everything up to the pixel data and fills Header and the palette of Image.
bool ReadHeaders(const uint8_t* Data, uint64_t Size, bool StrictFileSize, THeader& Header, TBitmapImage& Image,
                 std::string& Problem)
{
    if (Size < 2 || Data[0] != 'B' || Data[1] != 'M')
        return Fail(Problem, "no \"BM\" signature");
    if (Size < kFileHeaderSize + 4)
        return Fail(Problem, "too short for the bitmap headers (" + Num(Size) + " bytes)");

    const uint64_t fileSize = U32(Data, 2);
    Header.OffBits = U32(Data, 10);
    const uint64_t headerSize = U32(Data, 14);
    const bool core = headerSize == 12;
    if (headerSize != 12 && headerSize != 40 && headerSize != 108 && headerSize != 124)
        return Fail(Problem, "unsupported bitmap header size " + Num(headerSize));
    if (kFileHeaderSize + headerSize > Size)
        return Fail(Problem, "bitmap header runs past the end of the data (" + Num(Size) + " bytes)");
    if (StrictFileSize && fileSize > Size)
        return Fail(Problem, "file header gives " + Num(fileSize) + " bytes, the data holds " + Num(Size));

    int64_t height;
    uint32_t planes, colorsUsed = 0;
    uint64_t entrySize;
    if (core) {
        Header.Width = U16(Data, 18);
        height = U16(Data, 20);
        planes = U16(Data, 22);
        Header.Bits = U16(Data, 24);
        entrySize = 3;
    } else {
        Header.Width = static_cast<int32_t>(U32(Data, 18));
        height = static_cast<int32_t>(U32(Data, 22));
        planes = U16(Data, 26);
        Header.Bits = U16(Data, 28);
        Header.Compression = U32(Data, 30);
        Header.SizeImage = U32(Data, 34);
        colorsUsed = U32(Data, 46);
        entrySize = 4;
    }
    const uint32_t bits = Header.Bits;
    const uint32_t compression = Header.Compression;

    if (Header.Width <= 0)
        return Fail(Problem, "width " + std::to_string(Header.Width) + " is not positive");
    if (height == 0)
        return Fail(Problem, "height is 0");
    Header.TopDown = height < 0;
    Header.Rows = static_cast<uint64_t>(height < 0 ? -height : height);
    if (planes != 1)
        return Fail(Problem, Num(planes) + " planes, not 1");
    const bool bitsOk = core ? (bits == 1 || bits == 4 || bits == 8 || bits == 24)
                             : (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    if (!bitsOk)
        return Fail(Problem, "unsupported bit count " + Num(bits));
    switch (compression) {
    case kRgb:
        break;
    case kRle8:
    case kRle4:
        if (bits != (compression == kRle8 ? 8u : 4u))
            return Fail(Problem, std::string(compression == kRle8 ? "RLE8" : "RLE4") + " compression with " +
                                     Num(bits) + " bits per pixel");
        if (Header.TopDown)
            return Fail(Problem, "a top-down bitmap cannot be RLE-compressed");
        break;
    case kBitfields:
        if (bits != 16 && bits != 32)
            return Fail(Problem, "bit-field compression with " + Num(bits) + " bits per pixel");
        break;
    default:
        return Fail(Problem, "unsupported compression " + Num(compression));
    }

    // The colour masks of a 40-byte header follow it; the larger headers hold their own.
    const bool masksAfter = headerSize == kInfoHeaderSize && compression == kBitfields;
    const uint64_t masksEnd = kFileHeaderSize + headerSize + (masksAfter ? 12 : 0);
    if (masksEnd > Size)
        return Fail(Problem, "colour masks run past the end of the data");
    if (compression == kBitfields) {
        const uint64_t at = kFileHeaderSize + kInfoHeaderSize;
        for (int i = 0; i < (masksAfter ? 3 : 4); ++i)
            Header.Masks[i] = U32(Data, at + 4 * static_cast<uint64_t>(i));
    } else if (bits == 16) {
        Header.Masks[0] = 0x7C00;
        Header.Masks[1] = 0x03E0;
        Header.Masks[2] = 0x001F;
    }

    uint64_t entries = colorsUsed;
    const uint64_t most = bits <= 8 ? uint64_t(1) << bits : 0;
    if (bits <= 8) {
        if (entries > most)
            return Fail(Problem, "colour table of " + Num(entries) + " entries for " + Num(bits) + " bits per pixel");
        if (entries == 0)
            entries = most;
    }
    // Above 8 bits the table is an optional hint for palette displays; it still has to be there.
    const uint64_t paletteEnd = masksEnd + entries * entrySize; // entries < 2^32: no overflow
    if (paletteEnd > Size)
        return Fail(Problem, "colour table runs past the end of the data");
    if (Header.OffBits < paletteEnd)
        return Fail(Problem, "pixel data offset " + Num(Header.OffBits) + " lies inside the headers or colour table");
    if (Header.OffBits > Size)
        return Fail(Problem, "pixel data offset " + Num(Header.OffBits) + " lies past the end of the data (" +
                                 Num(Size) + " bytes)");

    Image.Palette.clear();
    if (bits <= 8) {
        Image.Palette.assign(most, 0);
        for (uint64_t i = 0; i < entries; ++i) {
            const uint64_t at = masksEnd + i * entrySize;
            Image.Palette[i] = static_cast<uint32_t>(Data[at + 2]) << 16 | static_cast<uint32_t>(Data[at + 1]) << 8 |
                               Data[at];
        }
    }
    return true;
}

bool Decode(const uint8_t* Data, uint64_t Size, TBitmapImage& Image, std::string& Problem, bool StrictFileSize)
{
    if (Data == nullptr)
        Size = 0;
    THeader h;
    if (!ReadHeaders(Data, Size, StrictFileSize, h, Image, Problem))
        return false;

    // Stored as is: indexed, 24-bit and 32-bit with the usual layout; the rest is converted.
    bool direct = h.Bits != 16;
    uint32_t outBits = h.Bits;
    if (h.Bits == 32 && h.Compression == kBitfields)
        direct = h.Masks[0] == 0xFF0000 && h.Masks[1] == 0xFF00 && h.Masks[2] == 0xFF &&
                 (h.Masks[3] == 0 || h.Masks[3] == 0xFF000000);
    if (!direct)
        outBits = h.Masks[3] != 0 ? 32 : 24;

    // Checked before anything the size of the image is allocated; the sides first, so that the
    // product cannot overflow.
    const uint64_t width = static_cast<uint64_t>(h.Width);
    if (h.Width > kMaxLoadSide || h.Rows > uint64_t(kMaxLoadSide) || width * h.Rows > kMaxLoadPixels)
        return Fail(Problem, "image of " + std::to_string(h.Width) + " x " + Num(h.Rows) + " pixels is too large");
    const uint64_t fileStride = StrideOf(width, h.Bits);
    const uint64_t outStride = StrideOf(width, outBits);

    const uint64_t available = Size - h.OffBits;
    const bool rle = h.Compression == kRle4 || h.Compression == kRle8;
    if (!rle) {
        const uint64_t needed = fileStride * h.Rows;
        if (needed > available)
            return Fail(Problem, "pixel data runs past the end of the data (" + Num(needed) + " bytes from offset " +
                                     Num(h.OffBits) + ", " + Num(available) + " present)");
    } else {
        if (h.SizeImage == 0)
            return Fail(Problem, "RLE bitmap without an image size");
        if (h.SizeImage > available)
            return Fail(Problem, "compressed pixel data runs past the end of the data (" + Num(h.SizeImage) +
                                     " bytes from offset " + Num(h.OffBits) + ", " + Num(available) + " present)");
    }

    Image.Width = static_cast<int32_t>(h.Width);
    Image.Height = static_cast<int32_t>(h.Rows);
    Image.BitCount = static_cast<int>(outBits);
    Image.Pixels.assign(outStride * h.Rows, 0);
    if (rle)
        return DecodeRle(Data, h.OffBits, h.OffBits + h.SizeImage, h.Compression == kRle4, Image, Problem);

    const uint64_t used = (width * h.Bits + 7) / 8;
    for (uint64_t r = 0; r < h.Rows; ++r) {
        const uint8_t* in = Data + h.OffBits + r * fileStride;
        uint8_t* out = Image.Pixels.data() + (h.TopDown ? r : h.Rows - 1 - r) * outStride;
        if (direct) {
            std::memcpy(out, in, used);
            ClearPadding(out, width, outBits, outStride);
            continue;
        }
        for (uint64_t x = 0; x < width; ++x) {
            const uint32_t pixel = h.Bits == 16 ? U16(in, 2 * x) : U32(in, 4 * x);
            *out++ = Channel(pixel, h.Masks[2]);
            *out++ = Channel(pixel, h.Masks[1]);
            *out++ = Channel(pixel, h.Masks[0]);
            if (outBits == 32)
                *out++ = Channel(pixel, h.Masks[3]);
        }
    }
    return true;
}

// Decode with running out of memory reported as a refusal: within the limits an image can still
// take 256 MiB, which a 32-bit process may not find in one piece.
bool DecodeOrRefuse(const uint8_t* Data, uint64_t Size, TBitmapImage& Image, std::string& Problem,
                    bool StrictFileSize)
{
    try {
        return Decode(Data, Size, Image, Problem, StrictFileSize);
    } catch (const std::bad_alloc&) {
        return Fail(Problem, "not enough memory for the image");
    }
}

[[noreturn]] void Invalid(const std::string& Reason) { throw EInvalidGraphic(std::string(kInvalid) + ": " + Reason); }

} // namespace

int32_t TBitmapImage::StrideFor(int32_t Width, int BitCount)
{
    if (Width <= 0 || BitCount <= 0)
        return 0;
    return static_cast<int32_t>(StrideOf(static_cast<uint64_t>(Width), static_cast<uint64_t>(BitCount)));
}

void TBitmapImage::Create(int32_t NewWidth, int32_t NewHeight, int NewBitCount)
{
    if (NewBitCount != 1 && NewBitCount != 4 && NewBitCount != 8 && NewBitCount != 24 && NewBitCount != 32)
        Invalid("unsupported bit count " + std::to_string(NewBitCount));
    if (NewWidth < 1 || NewWidth > kMaxDimension || NewHeight < 1 || NewHeight > kMaxDimension ||
        StrideOf(static_cast<uint64_t>(NewWidth), static_cast<uint64_t>(NewBitCount)) * static_cast<uint64_t>(NewHeight) >
            kMaxImageBytes)
        Invalid("image of " + std::to_string(NewWidth) + " x " + std::to_string(NewHeight) + " pixels is too large");
    Width = NewWidth;
    Height = NewHeight;
    BitCount = NewBitCount;
    Palette.assign(BitCount <= 8 ? size_t(1) << BitCount : 0, 0);
    Pixels.assign(static_cast<size_t>(Stride()) * static_cast<size_t>(Height), 0);
}

uint32_t TBitmapImage::PixelIndex(int32_t X, int32_t Y) const
{
    const uint8_t* row = Row(Y);
    switch (BitCount) {
    case 1:
        return row[X / 8] >> (7 - X % 8) & 1;
    case 4:
        return X % 2 == 0 ? row[X / 2] >> 4 : row[X / 2] & 0x0F;
    default:
        return row[X];
    }
}

void TBitmapImage::SetPixelIndex(int32_t X, int32_t Y, uint32_t Index)
{
    uint8_t* row = Row(Y);
    switch (BitCount) {
    case 1: {
        const uint8_t bit = static_cast<uint8_t>(0x80 >> (X % 8));
        row[X / 8] = static_cast<uint8_t>((row[X / 8] & ~bit) | ((Index & 1) ? bit : 0));
        break;
    }
    case 4:
        if (X % 2 == 0)
            row[X / 2] = static_cast<uint8_t>((row[X / 2] & 0x0F) | (Index & 0x0F) << 4);
        else
            row[X / 2] = static_cast<uint8_t>((row[X / 2] & 0xF0) | (Index & 0x0F));
        break;
    default:
        row[X] = static_cast<uint8_t>(Index);
    }
}

uint32_t TBitmapImage::PixelColour(int32_t X, int32_t Y) const
{
    if (BitCount <= 8) {
        const uint32_t index = PixelIndex(X, Y);
        return index < Palette.size() ? Palette[index] & 0xFFFFFF : 0;
    }
    const uint8_t* p = Row(Y) + static_cast<size_t>(X) * static_cast<size_t>(BitCount / 8);
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

bool TryDecodeBitmap(const uint8_t* Data, size_t Size, TBitmapImage& Image, std::string& Problem, bool StrictFileSize)
{
    Problem.clear();
    TBitmapImage image;
    if (!DecodeOrRefuse(Data, Size, image, Problem, StrictFileSize))
        return false;
    Image = std::move(image);
    return true;
}

TBitmapImage DecodeBitmap(const uint8_t* Data, size_t Size, bool StrictFileSize)
{
    TBitmapImage image;
    std::string problem;
    if (!DecodeOrRefuse(Data, Size, image, problem, StrictFileSize))
        Invalid(problem);
    return image;
}

std::string EncodeBitmap(const TBitmapImage& Image)
{
    const int bits = Image.BitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        Invalid("unsupported bit count " + std::to_string(bits));
    if (Image.Width < 1 || Image.Width > kMaxDimension || Image.Height < 1 || Image.Height > kMaxDimension)
        Invalid("image of " + std::to_string(Image.Width) + " x " + std::to_string(Image.Height) +
                " pixels cannot be written");
    const uint64_t stride = static_cast<uint64_t>(Image.Stride());
    const uint64_t rows = static_cast<uint64_t>(Image.Height);
    if (Image.Pixels.size() != stride * rows)
        Invalid(Num(Image.Pixels.size()) + " pixel bytes for " + Num(stride * rows));
    const uint64_t entries = bits <= 8 ? uint64_t(1) << bits : 0;
    if (Image.Palette.size() > entries && bits <= 8)
        Invalid("palette of " + Num(Image.Palette.size()) + " entries for " + Num(static_cast<uint64_t>(bits)) +
                " bits per pixel");

    const uint64_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * entries;
    const uint64_t fileSize = offBits + stride * rows; // < 2^29
    std::string s;
    s.reserve(fileSize);
    s += "BM";
    Put32(s, static_cast<uint32_t>(fileSize));
    Put32(s, 0);
    Put32(s, static_cast<uint32_t>(offBits));
    Put32(s, static_cast<uint32_t>(kInfoHeaderSize));
    Put32(s, static_cast<uint32_t>(Image.Width));
    Put32(s, static_cast<uint32_t>(Image.Height));
    Put16(s, 1);
    Put16(s, static_cast<uint32_t>(bits));
    Put32(s, kRgb);
    Put32(s, static_cast<uint32_t>(stride * rows));
    Put32(s, 2835); // 72 dpi
    Put32(s, 2835);
    Put32(s, 0); // a full colour table
    Put32(s, 0);
    for (uint64_t i = 0; i < entries; ++i) {
        const uint32_t c = i < Image.Palette.size() ? Image.Palette[i] : 0;
        s += static_cast<char>(c & 0xFF);
        s += static_cast<char>((c >> 8) & 0xFF);
        s += static_cast<char>((c >> 16) & 0xFF);
        s += '\0';
    }
    for (uint64_t r = rows; r-- > 0;)
        s.append(reinterpret_cast<const char*>(Image.Pixels.data() + r * stride), stride);
    return s;
}

void LoadBitmapFromStream(TStream& Stream, TBitmapImage& Image)
{
    const int64_t position = Stream.Position();
    const int64_t size = Stream.Size();
    const int64_t count = size > position ? size - position : 0;
    if (count > kMaxFileBytes)
        Invalid(Num(static_cast<uint64_t>(count)) + " bytes are too many for a bitmap file");
    std::vector<uint8_t> data;
    try {
        data.resize(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        Invalid("not enough memory to read " + Num(static_cast<uint64_t>(count)) + " bytes");
    }
    if (count > 0)
        Stream.ReadBuffer(data.data(), static_cast<int32_t>(count));
    Image = DecodeBitmap(data.data(), data.size());
}

void SaveBitmapToStream(TStream& Stream, const TBitmapImage& Image)
{
    const std::string file = EncodeBitmap(Image);
    Stream.WriteBuffer(file.data(), static_cast<int32_t>(file.size()));
}
