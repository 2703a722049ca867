// Byte-level helpers for tests that build files by hand: little-endian fields and small bitmap
// files. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace test_bytes {

inline void Put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

inline void Set32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline void Set16(std::string& s, size_t at, uint32_t v)
{
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

// A bottom-up bitmap file with a 40-byte header: Bits 1, 4, 8 (with a colour table of Colours
// entries, 0 meaning all) or 16, 24, 32; the pixel bytes follow a pattern taken from Seed.
inline std::string MakeBitmap(int Width, int Height, int Bits, int Colours = 0, uint8_t Seed = 1)
{
    const uint32_t stride = (static_cast<uint32_t>(Width) * static_cast<uint32_t>(Bits) + 31) / 32 * 4;
    const uint32_t rows = static_cast<uint32_t>(Height < 0 ? -Height : Height);
    const uint32_t tableEntries = Bits <= 8 ? (Colours ? static_cast<uint32_t>(Colours) : 1u << Bits) : 0;
    const uint32_t offBits = 14 + 40 + 4 * tableEntries;
    const uint32_t fileSize = offBits + stride * rows;
    std::string s = "BM";
    Put32(s, fileSize);
    Put32(s, 0);
    Put32(s, offBits);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(Width));
    Put32(s, static_cast<uint32_t>(Height));
    Put16(s, 1);
    Put16(s, static_cast<uint32_t>(Bits));
    Put32(s, 0); // BI_RGB
    Put32(s, stride * rows);
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, static_cast<uint32_t>(Colours));
    Put32(s, 0);
    for (uint32_t i = 0; i < tableEntries; ++i) {
        s += static_cast<char>(i * 7 + Seed);
        s += static_cast<char>(i * 3);
        s += static_cast<char>(255 - i);
        s += '\0';
    }
    for (uint32_t i = 0; i < stride * rows; ++i)
        s += static_cast<char>((i * 31 + Seed) & 0xFF);
    return s;
}

inline uint32_t Get32(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(s[at + static_cast<size_t>(i)]);
    return v;
}

} // namespace test_bytes
