// Skins the tests build themselves: Windows bitmap files drawn from a colour function, and a
// package of a description plus bitmaps loaded into a skin data component.
#pragma once

#include "framework/core/Stream.h"
#include "framework/graphics/BitmapCodec.h"
#include "skin/data/WinSkinData.h"
#include "tools/skinpack/PackageWriter.h"

#include <cstdint>
#include <string>
#include <vector>

// A Windows bitmap file of Width x Height at 24 bits; Colour(x, y) gives 0x00RRGGBB.
template <class F> std::string Bmp(int Width, int Height, F Colour)
{
    TBitmapImage image;
    image.Create(Width, Height, 24);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const uint32_t c = Colour(x, y);
            uint8_t* p = image.Row(y) + x * 3;
            p[0] = static_cast<uint8_t>(c);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c >> 16);
        }
    TMemoryStream stream;
    SaveBitmapToStream(stream, image);
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

inline std::string Bmp(int Width, int Height)
{
    return Bmp(Width, Height, [](int, int) { return 0x808080u; });
}

// Loads a package of the description Ini and the bitmaps into Data; true when it was valid.
inline bool LoadSkinPackage(TSkinData& Data, const std::string& Ini, std::vector<TPackageEntry> Bitmaps = {},
                            const std::string& IniName = "skin.ini")
{
    Bitmaps.insert(Bitmaps.begin(), TPackageEntry{IniName, Ini});
    const std::string package = BuildPackage(Bitmaps);
    Data.PackageBytes().Clear();
    Data.PackageBytes().WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
    return Data.LoadPackage();
}

// The description with Lines ("Key=Value\r\n" each) added at the top of its [Colours] section.
inline std::string WithColours(std::string Ini, const std::string& Lines)
{
    const std::string section = "[Colours]\r\n";
    const size_t at = Ini.find(section);
    if (at != std::string::npos)
        Ini.insert(at + section.size(), Lines);
    return Ini;
}
