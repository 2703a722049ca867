// Writes a small seed corpus of valid packages for the package-reader fuzzer.
#include "tools/skinpack/PackageWriter.h"

#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string dir = argv[1];
    std::string bitmap = "BM";
    bitmap += std::string(52, '\0');
    for (int i = 0; i < 64; ++i)
        bitmap += static_cast<char>(i * 4);
    const std::vector<std::vector<TPackageEntry>> seeds = {
        {{"skin.ini", "[TitlebarSkin]\r\nSkinName=Seed\r\n[Personality]\r\nTop=top.bmp\r\n"}, {"top.bmp", bitmap}},
        {{"a.ini", ""}},
        {{"x.ini", "[Buttons]\r\nBitmap=b.bmp\r\n"}, {"b.bmp", bitmap}, {"B.BMP", "dup"}, {"empty.bmp", ""}},
    };
    int n = 0;
    for (const auto& entries : seeds) {
        std::ofstream out(dir + "/seed" + std::to_string(n++) + ".skn", std::ios::binary);
        out << BuildPackage(entries);
    }
    std::ofstream(dir + "/old.skn", std::ios::binary) << BuildPackage(seeds[1], 19999);
    return 0;
}
