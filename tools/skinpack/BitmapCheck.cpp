#include "tools/skinpack/BitmapCheck.h"

#include <cstdint>

namespace {

constexpr uint64_t kFileHeaderSize = 14;
// No skin bitmap comes near this; a header asking for more is not one.
constexpr uint64_t kMaxImageBytes = uint64_t(256) << 20;

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

uint16_t U16(std::string_view d, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(d[at]) | static_cast<uint8_t>(d[at + 1]) << 8);
}

uint32_t U32(std::string_view d, size_t at)
{
    return static_cast<uint32_t>(U16(d, at)) | static_cast<uint32_t>(U16(d, at + 2)) << 16;
}

std::string Num(uint64_t v) { return std::to_string(v); }

bool Fail(std::string& Problem, std::string Text)
{
    Problem = std::move(Text);
    return false;
}

// Walks RLE codes in Data[Begin, End): every code and absolute run must be complete.
bool CheckRle(std::string_view Data, uint64_t Begin, uint64_t End, bool Rle4, std::string& Problem)
{
    uint64_t pos = Begin;
    while (pos < End) {
        if (End - pos < 2)
            return Fail(Problem, "RLE data ends inside a code");
        const uint8_t count = static_cast<uint8_t>(Data[pos]);
        const uint8_t code = static_cast<uint8_t>(Data[pos + 1]);
        pos += 2;
        if (count != 0)
            continue; // an encoded run
        if (code == 0)
            continue; // end of line
        if (code == 1)
            return true; // end of bitmap
        if (code == 2) {
            if (End - pos < 2)
                return Fail(Problem, "RLE data ends inside a delta");
            pos += 2;
            continue;
        }
        uint64_t bytes = Rle4 ? (uint64_t(code) + 1) / 2 : code;
        bytes = (bytes + 1) & ~uint64_t(1); // runs are padded to 16 bits
        if (bytes > End - pos)
            return Fail(Problem, "RLE data ends inside an absolute run");
        pos += bytes;
    }
    return true; // a missing end-of-bitmap code is tolerated by the platform
}

} // namespace

bool CheckWindowsBitmap(std::string_view Data, std::string& Problem)
{
    Problem.clear();
    const uint64_t size = Data.size();
    if (size < 2 || Data[0] != 'B' || Data[1] != 'M')
        return Fail(Problem, "no \"BM\" signature");
    if (size < kFileHeaderSize + 4)
        return Fail(Problem, "too short for the bitmap headers (" + Num(size) + " bytes)");

    const uint64_t fileSize = U32(Data, 2);
    const uint64_t offBits = U32(Data, 10);
    const uint64_t headerSize = U32(Data, 14);
    const bool core = headerSize == 12;
    if (headerSize != 12 && headerSize != 40 && headerSize != 108 && headerSize != 124)
        return Fail(Problem, "unsupported bitmap header size " + Num(headerSize));
    if (kFileHeaderSize + headerSize > size)
        return Fail(Problem, "bitmap header runs past the end of the data (" + Num(size) + " bytes)");
    if (fileSize > size)
        return Fail(Problem, "file header gives " + Num(fileSize) + " bytes, the data holds " + Num(size));

    int64_t width, height;
    uint32_t planes, bits, compression = kRgb, sizeImage = 0, colorsUsed = 0;
    uint64_t entrySize;
    if (core) {
        width = U16(Data, 18);
        height = U16(Data, 20);
        planes = U16(Data, 22);
        bits = U16(Data, 24);
        entrySize = 3;
    } else {
        width = static_cast<int32_t>(U32(Data, 18));
        height = static_cast<int32_t>(U32(Data, 22));
        planes = U16(Data, 26);
        bits = U16(Data, 28);
        compression = U32(Data, 30);
        sizeImage = U32(Data, 34);
        colorsUsed = U32(Data, 46);
        entrySize = 4;
    }

    if (width <= 0)
        return Fail(Problem, "width " + std::to_string(width) + " is not positive");
    if (height == 0)
        return Fail(Problem, "height is 0");
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
        if (height < 0)
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
    const uint64_t masksEnd = kFileHeaderSize + headerSize + (headerSize == 40 && compression == kBitfields ? 12 : 0);
    if (masksEnd > size)
        return Fail(Problem, "colour masks run past the end of the data");
    uint64_t entries = colorsUsed;
    if (bits <= 8) {
        const uint64_t most = uint64_t(1) << bits;
        if (entries > most)
            return Fail(Problem, "colour table of " + Num(entries) + " entries for " + Num(bits) + " bits per pixel");
        if (entries == 0)
            entries = most;
    }
    const uint64_t paletteEnd = masksEnd + entries * entrySize; // entries < 2^32: no overflow
    if (paletteEnd > size)
        return Fail(Problem, "colour table runs past the end of the data");
    if (offBits < paletteEnd)
        return Fail(Problem, "pixel data offset " + Num(offBits) + " lies inside the headers or colour table");
    if (offBits > size)
        return Fail(Problem, "pixel data offset " + Num(offBits) + " lies past the end of the data (" +
                                 Num(size) + " bytes)");

    const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
    const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4; // < 2^37
    if (stride > kMaxImageBytes || rows > kMaxImageBytes / stride)
        return Fail(Problem, "image of " + std::to_string(width) + " x " + Num(rows) + " pixels is too large");
    const uint64_t available = size - offBits;
    if (compression == kRgb || compression == kBitfields) {
        const uint64_t needed = stride * rows;
        if (needed > available)
            return Fail(Problem, "pixel data runs past the end of the data (" + Num(needed) + " bytes from offset " +
                                     Num(offBits) + ", " + Num(available) + " present)");
        return true;
    }
    if (sizeImage == 0)
        return Fail(Problem, "RLE bitmap without an image size");
    if (sizeImage > available)
        return Fail(Problem, "compressed pixel data runs past the end of the data (" + Num(sizeImage) +
                                 " bytes from offset " + Num(offBits) + ", " + Num(available) + " present)");
    return CheckRle(Data, offBits, offBits + sizeImage, compression == kRle4, Problem);
}
