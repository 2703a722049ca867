// Loading a skin against decoding its package (under Wine or Windows), for each package named on
// the command line ("default.skn" in the current folder when none is given). Both figures are
// the median of many rounds after a warm-up, from the same package bytes in the same run:
//   decode   TSkinReader::Open: the LZH stream decoded and the entries indexed;
//   load     TSkinData::LoadPackage: the decode again, then the description read and every
//            bitmap it names loaded into a new skin;
// and the load as a multiple of the decode.
//   skin_load_bench [SKIN.skn ...]
#include "skin/data/WinSkinData.h"
#include "skin/package/SkinRead.h"
#include "tests/bench/BenchTiming.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int Rounds = 41;
constexpr int WarmUp = 5;

// Prints the figures of one package; false when it is no skin.
bool Measure(const std::string& File)
{
    TMemoryStream package;
    package.LoadFromFile(File);

    const double decode = BenchMedian(Rounds, WarmUp, [&package] {
        TSkinReader reader;
        if (!reader.Open(package))
            std::fprintf(stderr, "skin_load_bench: %s does not open\n", reader.LastError().c_str());
    });

    TSkinData data(nullptr);
    data.PackageBytes().LoadFromStream(package);
    bool loaded = true;
    const double load = BenchMedian(Rounds, WarmUp, [&data, &loaded] { loaded = data.LoadPackage() && loaded; });
    if (!loaded) {
        std::fprintf(stderr, "skin_load_bench: %s is no skin\n", File.c_str());
        return false;
    }

    std::printf("skin load against package decode, median of %d rounds\n", Rounds);
    std::printf("  skin: %s (%s), %lld bytes\n", File.c_str(), data.SkinName().c_str(),
                static_cast<long long>(package.Size()));
    std::printf("  decode                   %8.2f ms\n", decode * 1e3);
    std::printf("  load                     %8.2f ms  %5.2f x decode\n", load * 1e3, load / decode);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    bool ok = true;
    if (argc < 2) {
        const std::string file = BenchSkinFile(argc, argv, "skin_load_bench");
        ok = !file.empty() && Measure(file);
    }
    for (int i = 1; i < argc; ++i) {
        char* one[] = {argv[0], argv[i]};
        const std::string file = BenchSkinFile(2, one, "skin_load_bench");
        ok = !file.empty() && Measure(file) && ok;
    }
    return ok ? 0 : 1;
}
