// Writes the seed corpora of the fuzzers: small valid skin packages and bitmap files.
#include "tools/skinpack/PackageWriter.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void Put(std::string& s, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A bottom-up BITMAPINFOHEADER file of the given bit count with a grey palette and a ramp.
std::string Bitmap(int width, int height, int bitCount)
{
    const uint32_t colours = bitCount <= 8 ? 1u << bitCount : 0;
    const uint32_t stride = ((static_cast<uint32_t>(width) * bitCount + 31) / 32) * 4;
    const uint32_t offset = 14 + 40 + 4 * colours;
    const uint32_t size = offset + stride * static_cast<uint32_t>(height);
    std::string s = "BM";
    Put(s, size, 4);
    Put(s, 0, 4);
    Put(s, offset, 4);
    Put(s, 40, 4);
    Put(s, static_cast<uint32_t>(width), 4);
    Put(s, static_cast<uint32_t>(height), 4);
    Put(s, 1, 2);
    Put(s, static_cast<uint32_t>(bitCount), 2);
    Put(s, 0, 4);
    Put(s, stride * static_cast<uint32_t>(height), 4);
    Put(s, 2835, 4);
    Put(s, 2835, 4);
    Put(s, colours, 4);
    Put(s, 0, 4);
    for (uint32_t i = 0; i < colours; ++i) {
        const uint32_t g = colours > 1 ? i * 255 / (colours - 1) : 0;
        Put(s, g | g << 8 | g << 16, 4);
    }
    for (uint32_t i = 0; i < stride * static_cast<uint32_t>(height); ++i)
        s += static_cast<char>(i * 7);
    return s;
}

void Write(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::filesystem::path top = argv[1];
    const auto packages = top / "skinread_fuzz-corpus";
    const auto bitmaps = top / "bitmap_fuzz-corpus";
    std::filesystem::create_directories(packages);
    std::filesystem::create_directories(bitmaps);

    const std::string bitmap = Bitmap(6, 4, 24);
    const std::vector<std::vector<TPackageEntry>> seeds = {
        {{"skin.ini", "[TitlebarSkin]\r\nSkinName=Seed\r\n[Personality]\r\nTop=top.bmp\r\n"}, {"top.bmp", bitmap}},
        {{"a.ini", ""}},
        {{"x.ini", "[Buttons]\r\nBitmap=b.bmp\r\n"}, {"b.bmp", bitmap}, {"B.BMP", "dup"}, {"empty.bmp", ""}},
    };
    int n = 0;
    for (const auto& entries : seeds)
        Write(packages / ("seed" + std::to_string(n++) + ".skn"), BuildPackage(entries));
    Write(packages / "old.skn", BuildPackage(seeds[1], 19999));

    for (int bits : {1, 4, 8, 16, 24, 32})
        Write(bitmaps / ("ramp" + std::to_string(bits) + ".bmp"), Bitmap(5, 3, bits));
    return 0;
}
