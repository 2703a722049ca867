// Loading a skin against decoding its package (under Wine or Windows), for each package named on
// the command line ("default.skn" in the current folder when none is given). Both figures are
// the median of many rounds after a warm-up, from the same package bytes in the same run:
//   decode   TSkinReader::Open and every entry read: the whole LZH stream decoded and indexed;
//   load     TSkinData::LoadPackage: the package opened again, the description read from the
//            entry's bytes and every bitmap it names loaded into a new skin (the reader decodes
//            only as far as the entries read reach: a skin at 100 % leaves the images for
//            larger scales undecoded);
//   load through the profile functions
//            the same with the description entry saved to a file and read through TIniFile,
//            one platform call for each read, for comparison;
// and each load as a multiple of the decode. After the packages named comes a test skin made
// here: every element the engine reads, 32 caption buttons and 8 custom colours, each image a
// bitmap of its own (64 of them).
//   skin_load_bench [SKIN.skn ...]
#include "framework/core/IniFile.h"
#include "framework/core/StrUtils.h"
#include "framework/win/Files.h"
#include "skin/data/WinSkinData.h"
#include "skin/package/SkinRead.h"
#include "tests/bench/BenchTiming.h"
#include "tests/support/SkinPackages.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Rounds = 41;
constexpr int WarmUp = 5;
// The loads through the profile functions are some fifty times slower: fewer of them.
constexpr int ProfileRounds = 11;
constexpr int ProfileWarmUp = 1;

// The test skin's package.
std::string FullSkin()
{
    std::vector<TPackageEntry> entries;
    std::string ini = "[TitlebarSkin]\r\nSkinName=Every element\r\n";
    int shade = 0;
    // A bitmap entry of its own, Width x Height, and its name.
    const auto image = [&](const std::string& Name, int Width, int Height) {
        const uint32_t base = 0x203040u + static_cast<uint32_t>(shade++) * 0x030201u;
        entries.push_back(
            {Name, Bmp(Width, Height, [base](int x, int y) { return base + static_cast<uint32_t>(x ^ y); })});
        return Name;
    };
    const auto margins = "LeftWidth=4\r\nRightWidth=4\r\nTopHeight=3\r\nBottomHeight=3\r\nTrans=1\r\nTile=0\r\n";
    ini += "[Personality]\r\n";
    for (const char* side : {"Left", "Right", "Top", "Bottom"}) {
        const std::string s = side;
        const bool vertical = s == "Left" || s == "Right";
        ini += s + "=" + image(s + ".bmp", vertical ? 8 : 120, vertical ? 120 : 26) + "\r\n" + s + "Frame=2\r\n" + s +
               "TopHeight=26\r\n" + s + "BotHeight=4\r\n" + s + "Stretch=1\r\n" + s + "Trans=1\r\n";
    }
    ini += "TextBack=" + image("textback.bmp", 60, 40) + "\r\nTextShift=20\r\nTextRightClip=70\r\nTextAlignment=0\r\n"
           "Textbackground=1\r\nTXTBackleft=6\r\nTXTBackRight=9\r\nActiveTextR=255\r\nActiveTextG=255\r\n"
           "ActiveTextB=255\r\nInActiveTextR=240\r\nInActiveTextG=242\r\nInActiveTextB=245\r\nmenuBar=" +
           image("menubar.bmp", 40, 40) +
           "\r\nTileMenu=1\r\nTileLeftMenu=2\r\nTileRightMenu=2\r\n[Fonts]\r\nFontHeight=14\r\n";
    ini += "[Colours]\r\n";
    for (const char* key : {"WindowText", "ButtonFace", "Scrollbar", "HilightText", "Hilight", "Menubar", "Menu",
                            "MenuText", "ButtonText", "ButtonHilight", "Buttonlight", "ButtonShadow", "ButtonDkShadow",
                            "MenuBarText", "TitleTextActive", "TitleTextNoActive"})
        ini += std::string(key) + "=24 32 44\r\n";
    for (int i = 1; i <= 8; ++i)
        ini += "[Colour" + std::to_string(i) + "]\r\ncolor=" + std::to_string(i * 20) + " 40 60\r\n";
    ini += "[Buttons]\r\nBitmap=" + image("button.bmp", 200, 21) + "\r\n" + margins + "CheckButton=" +
           image("check.bmp", 64, 16) + "\r\nCheckButtonFrame=4\r\nRadioButton=" + image("radio.bmp", 64, 16) +
           "\r\nRadioButtonFrame=4\r\nNormalColour2=24 32 44\r\nMouseOverColour2=22 48 79\r\n"
           "PressedColour2=16 28 46\r\n";
    for (int i = 1; i <= 32; ++i) {
        const std::string n = std::to_string(i);
        ini += "[Button" + n + "]\r\nAction=" + std::to_string(i % 3) + "\r\nAlign=1\r\nXcoord=" +
               std::to_string(20 * i) +
               "\r\nYcoord=4\r\nVisibility=0\r\nVisibility1=0\r\nButtonImage=" + image("caption" + n + ".bmp", 76, 19) +
               "\r\nframe=4\r\n";
    }
    ini += "[MDICONTROLS]\r\nImage=" + image("mdi.bmp", 192, 16) + "\r\n";
    ini += "[Progress]\r\nBitmap=" + image("progress.bmp", 40, 20) + "\r\nChunk=" + image("chunk.bmp", 10, 16) +
           "\r\nStyle=0\r\n" + margins;
    ini += "[Tabs]\r\nImage=" + image("tabs.bmp", 300, 24) + "\r\nBorder=" + image("tabborder.bmp", 30, 30) +
           "\r\n" + margins;
    for (const char* section : {"UpDown.Horz", "UpDown.Vert"})
        ini += "[" + std::string(section) + "]\r\nImage=" + image(std::string(section) + ".bmp", 128, 16) +
               "\r\nGlyphImage=" + image(std::string(section) + "-glyph.bmp", 64, 8) + "\r\n" + margins;
    for (const char* section : {"GroupBoxEdge", "Toolbars", "StatusBarEdges", "ComboButton", "SunkEdge", "ExtraImages",
                                "Headerbar", "MenuItem", "MenuBackground", "Scrollbar", "HorzScroll", "VertScroll",
                                "HorzScrollThumb", "VertScrollThumb"})
        ini += "[" + std::string(section) + "]\r\nImage=" + image(std::string(section) + ".bmp", 100, 20) +
               "\r\nStyle=0\r\nNormalColour=0\r\nMouseOverColour=255\r\nPressedColour=65280\r\n"
               "NormalColour2=1 2 3\r\n" + margins + "FrameCount=3\r\n";
    entries.insert(entries.begin(), TPackageEntry{"full.ini", ini});
    return BuildPackage(entries);
}

// Prints the figures of one package (File names it); false when it is no skin.
bool Measure(const std::string& File, TMemoryStream& Package)
{
    const double decode = BenchMedian(Rounds, WarmUp, [&Package] {
        TSkinReader reader;
        if (!reader.Open(Package))
            std::fprintf(stderr, "skin_load_bench: %s does not open\n", reader.LastError().c_str());
        for (int i = 0; i < reader.EntryCount(); ++i)
            reader.Entry(i);
    });

    TSkinData data(nullptr);
    data.PackageBytes().LoadFromStream(Package);
    bool loaded = true;
    const double load = BenchMedian(Rounds, WarmUp, [&data, &loaded] { loaded = data.LoadPackage() && loaded; });
    if (!loaded) {
        std::fprintf(stderr, "skin_load_bench: %s is no skin\n", File.c_str());
        return false;
    }

    const std::string fileName = TempFolder() + "skin_load_bench-" + std::to_string(GetCurrentProcessId()) + ".ini";
    const double profile = BenchMedian(ProfileRounds, ProfileWarmUp, [&Package, &fileName] {
        TSkinReader reader;
        reader.Open(Package);
        TMemoryStream work;
        std::string entry;
        reader.ExtractEntryContaining(".ini", work, entry);
        work.SaveToFile(fileName);
        const TIniFile ini(fileName);
        TSkinDescription(reader).Parse(ini);
        DeleteFileA(fileName.c_str());
    });

    std::printf("skin load against package decode, median of %d rounds (%d through the profile functions)\n", Rounds,
                ProfileRounds);
    TSkinReader reader;
    reader.Open(Package);
    TMemoryStream description;
    std::string entry;
    reader.ExtractEntryContaining(".ini", description, entry);
    std::printf("  skin: %s (%s), %lld bytes, %d entries, description %lld bytes\n", File.c_str(),
                data.SkinName().c_str(), static_cast<long long>(Package.Size()), reader.EntryCount(),
                static_cast<long long>(description.Size()));
    std::printf("  decode                               %8.2f ms\n", decode * 1e3);
    std::printf("  load                                 %8.2f ms  %5.2f x decode\n", load * 1e3, load / decode);
    std::printf("  load through the profile functions   %8.2f ms  %5.2f x decode\n", profile * 1e3, profile / decode);
    BenchFigure("skin load / decode, " + ExtractFileName(File), load / decode, "x", true, 3);
    return true;
}

// The package in File, or false after saying so.
bool MeasureFile(const std::string& File)
{
    if (File.empty())
        return false;
    TMemoryStream package;
    package.LoadFromFile(File);
    return Measure(File, package);
}

} // namespace

int main(int argc, char** argv)
{
    bool ok = true;
    if (argc < 2)
        ok = MeasureFile(BenchSkinFile(argc, argv, "skin_load_bench"));
    for (int i = 1; i < argc; ++i) {
        char* one[] = {argv[0], argv[i]};
        ok = MeasureFile(BenchSkinFile(2, one, "skin_load_bench")) && ok;
    }
    const std::string full = FullSkin();
    TMemoryStream package;
    package.WriteBuffer(full.data(), static_cast<int32_t>(full.size()));
    ok = Measure("(test skin made here)", package) && ok;
    return ok ? 0 : 1;
}
