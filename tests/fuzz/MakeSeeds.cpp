// Writes the seed corpora of the fuzzers: small valid skin packages and bitmap files.
#include "tests/support/Bytes.h"
#include "tools/skinpack/PackageWriter.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

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

    const std::string bitmap = test_bytes::MakeBitmap(6, 4, 24);
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
        Write(bitmaps / ("ramp" + std::to_string(bits) + ".bmp"), test_bytes::MakeBitmap(5, 3, bits));
    return 0;
}
