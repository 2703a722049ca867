// The inputs of the LZH decoder benchmarks (natively and for the target): 1 MB of mixed data
// (half description text, half bitmap rows) and a skin-like package (45 bitmaps and a
// description, ~125 KB plain), each with its package (4-byte plain length, then the LZH stream).
#pragma once

#include "tools/skinpack/PackageWriter.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace lzh_bench {

// Description-like text: sections, keys, numbers, file names, comment lines.
inline std::string DescriptionText(size_t Size, std::mt19937& Rng)
{
    static const char* const keys[] = {"TopHeight", "LeftWidth", "Transparent", "Colour", "Bitmap",
                                       "Stretch", "Margin", "FontSize", "Align", "Offset", "Frames",
                                       "Trans", "Mask", "TextColour", "Shadow", "Inner"};
    static const char* const parts[] = {"frame", "top", "bottom", "button", "caption", "menu", "scroll",
                                        "thumb", "tab", "check", "radio", "edit", "combo", "header"};
    static const char* const words[] = {"the", "skin", "draws", "border", "of", "a", "window", "with",
                                        "left", "right", "when", "is", "pressed", "hot", "disabled",
                                        "each", "image", "strip", "holds", "states", "and", "not"};
    std::string s;
    char line[160];
    while (s.size() < Size) {
        switch (Rng() % 5) {
        case 0:
            std::snprintf(line, sizeof line, "\r\n[%s%s%u]\r\n", parts[Rng() % std::size(parts)],
                          parts[Rng() % std::size(parts)], static_cast<unsigned>(Rng() % 20));
            break;
        case 1:
            std::snprintf(line, sizeof line, "%s=%s_%s%u.bmp\r\n", keys[Rng() % std::size(keys)],
                          parts[Rng() % std::size(parts)], parts[Rng() % std::size(parts)],
                          static_cast<unsigned>(Rng() % 100));
            break;
        case 2: {
            int n = std::snprintf(line, sizeof line, ";");
            for (unsigned w = 3 + Rng() % 9; w > 0; --w)
                n += std::snprintf(line + n, sizeof line - static_cast<size_t>(n), " %s", words[Rng() % std::size(words)]);
            std::snprintf(line + n, sizeof line - static_cast<size_t>(n), "\r\n");
            break;
        }
        default:
            std::snprintf(line, sizeof line, "%s=%u,%u,%u\r\n", keys[Rng() % std::size(keys)],
                          static_cast<unsigned>(Rng() % 256), static_cast<unsigned>(Rng() % 256),
                          static_cast<unsigned>(Rng() % 1000));
            break;
        }
        s += line;
    }
    s.resize(Size);
    return s;
}

// Bottom-up 24-bit pixel rows padded to 4 bytes: gradients in either direction, framed flat
// areas, and shaded ones with some noise.
inline std::string PixelRows(int Width, int Height, std::mt19937& Rng)
{
    const int kind = static_cast<int>(Rng() % 4);
    const int r = static_cast<int>(Rng() % 256), g = static_cast<int>(Rng() % 256), b = static_cast<int>(Rng() % 256);
    const size_t stride = (static_cast<size_t>(Width) * 3 + 3) & ~size_t(3);
    std::string s;
    s.reserve(stride * static_cast<size_t>(Height));
    for (int y = 0; y < Height; ++y) {
        const size_t start = s.size();
        for (int x = 0; x < Width; ++x) {
            int t = 0;
            switch (kind) {
            case 0: t = x * 3; break;
            case 1: t = y * 4; break;
            case 2: t = (x < 2 || y < 2 || x >= Width - 2 || y >= Height - 2) ? 80 : 0; break;
            default: t = (x + y) + static_cast<int>(Rng() % 12); break;
            }
            if (Rng() % 3 != 0) // anti-aliased and dithered pixels
                t += static_cast<int>(Rng() % 16);
            s.push_back(static_cast<char>(b + t));
            s.push_back(static_cast<char>(g + t));
            s.push_back(static_cast<char>(r + t / 2));
        }
        s.resize(start + stride, '\0');
    }
    return s;
}

inline void AppendLE(std::string& s, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
}

// A complete Windows bitmap file: file header, info header, pixel rows.
inline std::string BitmapFile(int Width, int Height, std::mt19937& Rng)
{
    const std::string rows = PixelRows(Width, Height, Rng);
    std::string f = "BM";
    AppendLE(f, static_cast<uint32_t>(54 + rows.size()), 4);
    AppendLE(f, 0, 4);
    AppendLE(f, 54, 4);
    AppendLE(f, 40, 4);
    AppendLE(f, static_cast<uint32_t>(Width), 4);
    AppendLE(f, static_cast<uint32_t>(Height), 4);
    AppendLE(f, 1, 2);
    AppendLE(f, 24, 2);
    AppendLE(f, 0, 4);
    AppendLE(f, static_cast<uint32_t>(rows.size()), 4);
    AppendLE(f, 2835, 4);
    AppendLE(f, 2835, 4);
    AppendLE(f, 0, 4);
    AppendLE(f, 0, 4);
    return f + rows;
}

struct TInput {
    std::string Plain;
    std::string Package; // 4-byte plain length, then the LZH stream
};

inline const TInput& MixedInput()
{
    static const TInput input = [] {
        std::mt19937 rng(1);
        TInput in;
        in.Plain = DescriptionText(512 * 1024, rng);
        while (in.Plain.size() < 1024 * 1024) {
            const int width = 8 + static_cast<int>(rng() % 150);
            const int height = 4 + static_cast<int>(rng() % 40);
            in.Plain += PixelRows(width, height, rng);
        }
        in.Plain.resize(1024 * 1024);
        in.Package = CompressPlain(in.Plain);
        return in;
    }();
    return input;
}

inline const TInput& SkinInput()
{
    static const TInput input = [] {
        std::mt19937 rng(2);
        static const char* const parts[] = {"frame", "button", "caption", "menu", "scroll", "tab",
                                            "check", "radio", "edit", "combo", "header", "status"};
        std::vector<TPackageEntry> entries;
        std::string ini = "[Skin]\r\nName=Synthetic\r\nVersion=2\r\n";
        for (int i = 0; i < 44; ++i) {
            const std::string name = std::string("blue_") + parts[i % std::size(parts)] + std::to_string(i) + ".bmp";
            // Mostly narrow strips and small glyphs, a few wide ones: about 2.6 KB a bitmap.
            const int width = i % 9 == 0 ? 120 + static_cast<int>(rng() % 60) : 8 + static_cast<int>(rng() % 48);
            const int height = 8 + static_cast<int>(rng() % 24);
            entries.push_back({name, BitmapFile(width, height, rng)});
            ini += "\r\n[" + std::string(parts[i % std::size(parts)]) + std::to_string(i) + "]\r\nBitmap=" + name +
                   "\r\n" + DescriptionText(60 + rng() % 80, rng);
        }
        entries.push_back({"synthetic.ini", ini});
        TInput in;
        in.Plain = BuildPlainContent(entries);
        in.Package = CompressPlain(in.Plain);
        return in;
    }();
    return input;
}

} // namespace lzh_bench
