// skinpack: the in-memory INI reader it parses descriptions with, the bitmap check, the skin check
// and the pack / unpack / list / check commands on folders of generated bitmaps.
#include "framework/core/Dialogs.h"
#include "framework/core/MemIniFile.h"
#include "framework/core/Strings.h"
#include "framework/graphics/BitmapCodec.h"
#include "skin/package/SkinRead.h"
#include "tools/skinpack/BitmapCheck.h"
#include "tools/skinpack/Commands.h"
#include "tools/skinpack/PackageWriter.h"
#include "tools/skinpack/SkinCheck.h"

#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace test_bytes;

// ---- helpers -------------------------------------------------------------------------------

// A 12-byte core header bitmap.
std::string MakeCoreBitmap(int Width, int Height, int Bits)
{
    const uint32_t stride = (static_cast<uint32_t>(Width) * static_cast<uint32_t>(Bits) + 31) / 32 * 4;
    const uint32_t table = Bits <= 8 ? 3u << Bits : 0;
    const uint32_t offBits = 14 + 12 + table;
    std::string s = "BM";
    Put32(s, offBits + stride * static_cast<uint32_t>(Height));
    Put32(s, 0);
    Put32(s, offBits);
    Put32(s, 12);
    Put16(s, static_cast<uint32_t>(Width));
    Put16(s, static_cast<uint32_t>(Height));
    Put16(s, 1);
    Put16(s, static_cast<uint32_t>(Bits));
    s.append(table, '\x40');
    s.append(stride * static_cast<uint32_t>(Height), '\x11');
    return s;
}

// An RLE8 bitmap with the given compressed pixel bytes.
std::string MakeRle8(int Width, int Height, const std::string& Codes)
{
    std::string s = MakeBitmap(Width, Height, 8, 2);
    s.resize(14 + 40 + 8);
    s += Codes;
    Set32(s, 2, static_cast<uint32_t>(s.size()));
    Set32(s, 30, 1);
    Set32(s, 34, static_cast<uint32_t>(Codes.size()));
    return s;
}

std::string Problem(const std::string& Data)
{
    std::string problem;
    if (CheckWindowsBitmap(Data, problem))
        return "valid";
    EXPECT_FALSE(problem.empty());
    return problem;
}

std::vector<std::string> Lines(const std::string& Text)
{
    std::vector<std::string> lines;
    std::istringstream in(Text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct TRun {
    int Code;
    std::string Out;
    std::string Err;
};

TRun SkinPack(const std::vector<std::string>& Args)
{
    std::ostringstream out, err;
    const int code = RunSkinPack(Args, out, err);
    return {code, out.str(), err.str()};
}

std::string ReadFileBytes(const fs::path& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileBytes(const fs::path& Path, const std::string& Data)
{
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(Data.data(), static_cast<std::streamsize>(Data.size()));
}

std::vector<std::string> Sections(const TMemIniFile& Ini)
{
    TStringList list;
    Ini.ReadSections(&list);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

std::vector<std::string> Keys(const TMemIniFile& Ini, const std::string& Section)
{
    TStringList list;
    Ini.ReadSection(Section, &list);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

using TNames = std::vector<std::string>;

// ---- TMemIniFile ---------------------------------------------------------------------------

TEST(MemIniFileTest, NamesIgnoreCaseFirstKeyWinsValuesAreTrimmed)
{
    const TMemIniFile ini("[Title]\r\nTopHeight =  21  \r\ntopheight=99\r\nName=Caption Bar\r\n"
                          "[title]\r\nExtra=1\r\n");
    EXPECT_EQ(ini.ReadString("TITLE", "TOPHEIGHT", "x"), "21");
    EXPECT_EQ(ini.ReadString("title", "name", "x"), "Caption Bar");
    EXPECT_EQ(ini.ReadString("Title", "Missing", "fallback"), "fallback");
    EXPECT_EQ(ini.ReadString("NoSection", "Name", ""), "");
    // Only the first copy of a section is searched, as the platform does.
    EXPECT_EQ(ini.ReadString("Title", "Extra", "none"), "none");
    EXPECT_TRUE(ini.SectionExists("TITLE"));
    EXPECT_FALSE(ini.SectionExists("Titles"));
    EXPECT_TRUE(ini.ValueExists("Title", "NAME"));
    EXPECT_FALSE(ini.ValueExists("Title", "Nope"));
    EXPECT_FALSE(ini.ValueExists("Title", "Extra"));
    EXPECT_EQ(Keys(ini, "TITLE"), (TNames{"TopHeight", "topheight", "Name"}));
}

TEST(MemIniFileTest, LinesBlanksQuotesAndComments)
{
    const TMemIniFile ini("\xEF\xBB\xBF"
                          "top=before\r\n"
                          "  [ Spaced ]  trailing text\r\n"
                          "\t Key One \t=\t a = b \x1a\r"
                          "noequals\n"
                          "noequals=later\n"
                          "; comment=hidden\n"
                          "empty=\n"
                          "quoted=\"in quotes\"\n"
                          "single=' x '\n"
                          "lone=\"\n"
                          "mixed=\"a'\n"
                          "ctl=a\x01\n"
                          "\n\n[Br]x]y\n"
                          "[Open\n"
                          "k=1\n");
    EXPECT_EQ(ini.ReadString("", "top", "d"), "before");
    EXPECT_EQ(ini.ReadString("spaced", "key one", "d"), "a = b");
    EXPECT_EQ(ini.ReadString(" Spaced\t", " Key One ", "d"), "a = b"); // given names are trimmed
    EXPECT_EQ(ini.ReadString("Spaced", "noequals", "d"), "d");          // the valueless line hides the later one
    EXPECT_EQ(ini.ReadString("Spaced", "; comment", "d"), "hidden");
    EXPECT_EQ(ini.ReadString("Spaced", "empty", "d"), "");
    EXPECT_EQ(ini.ReadString("Spaced", "quoted", "d"), "in quotes");
    EXPECT_EQ(ini.ReadString("Spaced", "single", "d"), " x ");
    EXPECT_EQ(ini.ReadString("Spaced", "lone", "d"), "\"");
    EXPECT_EQ(ini.ReadString("Spaced", "mixed", "d"), "\"a'");
    EXPECT_EQ(ini.ReadString("Spaced", "ctl", "d"), "a\x01");
    EXPECT_EQ(ini.ReadString("Br]x", "k", "d"), "1");
    EXPECT_EQ(ini.ReadString("Spaced", "missing", "def   "), "def");
    EXPECT_EQ(ini.ReadString("Spaced", "missing", "   "), " ");
    EXPECT_EQ(ini.ReadString("Spaced", "missing", "'q' "), "q");
    EXPECT_EQ(Sections(ini), (TNames{"Spaced", "Br]x"}));
    EXPECT_EQ(Keys(ini, "Spaced"), (TNames{"Key One", "noequals", "empty", "quoted", "single", "lone", "mixed", "ctl"}));
    EXPECT_TRUE(Keys(ini, " Spaced").empty()); // the list is not trimmed
    EXPECT_EQ(Keys(ini, ""), (TNames{"top"}));
}

TEST(MemIniFileTest, AnEmptyFirstKeyGivesNoList)
{
    const TMemIniFile first("[S]\r\n=x\r\nk=1\r\n[T]\r\nk=1\r\n=y\r\nl=2\r\n");
    EXPECT_TRUE(Keys(first, "S").empty());
    EXPECT_EQ(first.ReadString("S", "", "d"), "x");
    EXPECT_EQ(first.ReadString("S", "k", "d"), "1");
    EXPECT_EQ(Keys(first, "T"), (TNames{"k", "l"}));
    TStringList values;
    first.ReadSectionValues("T", &values);
    EXPECT_EQ(values.Text(), "k=1\r\nl=2\r\n");
}

TEST(MemIniFileTest, IntegersAreDecimalOrHexElseTheDefault)
{
    const TMemIniFile ini("[N]\nA=12\nB=-5\nC=$1F\nD=0x1f\nE=0X10\nF= 7 \nG=12abc\nH=\nI=0x\n"
                          "J=99999999999\nK=$FFFFFFFF\nL=1.5\nM=+3\nQ=\"42\"\n");
    EXPECT_EQ(ini.ReadInteger("N", "A", -1), 12);
    EXPECT_EQ(ini.ReadInteger("N", "B", -1), -5);
    EXPECT_EQ(ini.ReadInteger("N", "C", -1), 31);
    EXPECT_EQ(ini.ReadInteger("N", "D", -1), 31);
    EXPECT_EQ(ini.ReadInteger("N", "E", -1), 16);
    EXPECT_EQ(ini.ReadInteger("N", "F", -1), 7);
    EXPECT_EQ(ini.ReadInteger("N", "G", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "H", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "I", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "J", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "K", 0), -1);
    EXPECT_EQ(ini.ReadInteger("N", "L", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "M", -1), 3);
    EXPECT_EQ(ini.ReadInteger("N", "Q", -1), 42);
    EXPECT_EQ(ini.ReadInteger("N", "Missing", 77), 77);
    EXPECT_TRUE(ini.ReadBool("N", "A", false));
    EXPECT_FALSE(ini.ReadBool("N", "H", false));
}

TEST(MemIniFileTest, SectionsInFileOrderRepeatedNamesTwice)
{
    const TMemIniFile ini("[Colours]\na=1\n[Border]\nb=2\nc=3\n[]\nx=1\n[ \t]\n[Buttons]\n[colours]\nd=4\n");
    EXPECT_EQ(Sections(ini), (TNames{"Colours", "Border", "Buttons", "colours"}));
    EXPECT_EQ(Keys(ini, "border"), (TNames{"b", "c"}));
    EXPECT_EQ(Keys(ini, "COLOURS"), (TNames{"a"}));
    EXPECT_TRUE(Keys(ini, "Buttons").empty());
    EXPECT_TRUE(ini.SectionExists("buttons"));
    EXPECT_FALSE(ini.SectionExists(""));
    EXPECT_EQ(ini.ReadString("", "x", "d"), "d"); // "[]" comes after the unnamed start
}

TEST(MemIniFileTest, NulEndsNamesAndValues)
{
    const std::string text("[S]\r\nk\0z=1\r\nm=2\0x\r\n[T\0U]\r\nt=3\r\n", 31);
    const TMemIniFile ini(text);
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "1");
    EXPECT_EQ(ini.ReadString("S", "m", "d"), "2");
    EXPECT_EQ(ini.ReadString("T", "t", "d"), "3");
    EXPECT_EQ(Sections(ini), (TNames{"S", "T"}));
}

TEST(MemIniFileTest, EmptyTextAndMissingFile)
{
    const TMemIniFile ini("");
    EXPECT_TRUE(Sections(ini).empty());
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
    EXPECT_THROW(TMemIniFile::FromFile((fs::temp_directory_path() / "pembrox-no-such-file.ini").string()),
                 EFOpenError);
}

// ---- CheckWindowsBitmap --------------------------------------------------------------------

TEST(BitmapCheckTest, WellFormedBitmapsPass)
{
    EXPECT_EQ(Problem(MakeBitmap(5, 3, 24)), "valid");
    EXPECT_EQ(Problem(MakeBitmap(7, 2, 8)), "valid");
    EXPECT_EQ(Problem(MakeBitmap(7, 2, 8, 16)), "valid");
    EXPECT_EQ(Problem(MakeBitmap(9, 4, 4)), "valid");
    EXPECT_EQ(Problem(MakeBitmap(33, 2, 1)), "valid");
    EXPECT_EQ(Problem(MakeBitmap(3, 3, 16)), "valid");
    EXPECT_EQ(Problem(MakeBitmap(3, 3, 32)), "valid");
    EXPECT_EQ(Problem(MakeBitmap(4, -4, 24)), "valid"); // top-down
    EXPECT_EQ(Problem(MakeCoreBitmap(6, 2, 8)), "valid");
    EXPECT_EQ(Problem(MakeCoreBitmap(6, 2, 24)), "valid");
    EXPECT_EQ(Problem(MakeBitmap(5, 3, 24) + "padding"), "valid");
    // An RLE8 picture: two runs, end of line, end of bitmap.
    EXPECT_EQ(Problem(MakeRle8(4, 2, std::string("\x04\x01\x00\x00\x02\x00\x00\x03\x01\x02\x03\x00\x00\x01", 14))),
              "valid");
}

TEST(BitmapCheckTest, BitFieldsNeedTheirMasks)
{
    std::string b = MakeBitmap(4, 4, 16);
    Set32(b, 30, 3); // BI_BITFIELDS: three masks after the 40-byte header
    EXPECT_EQ(Problem(b), "pixel data offset 54 lies inside the headers or colour table");
    std::string withMasks = b.substr(0, 54) + std::string(12, '\x1f') + b.substr(54);
    Set32(withMasks, 10, 66);
    Set32(withMasks, 2, static_cast<uint32_t>(withMasks.size()));
    EXPECT_EQ(Problem(withMasks), "valid");
    std::string rgb24 = MakeBitmap(2, 2, 24);
    Set32(rgb24, 30, 3);
    EXPECT_EQ(Problem(rgb24), "bit-field compression with 24 bits per pixel");
}

TEST(BitmapCheckTest, MalformedHeaders)
{
    const std::string good = MakeBitmap(5, 3, 24);
    EXPECT_EQ(Problem(""), "no \"BM\" signature");
    EXPECT_EQ(Problem("BA" + good.substr(2)), "no \"BM\" signature");
    EXPECT_EQ(Problem("Just some text"), "no \"BM\" signature");
    EXPECT_EQ(Problem(good.substr(0, 10)), "too short for the bitmap headers (10 bytes)");

    std::string b = good;
    Set32(b, 14, 64);
    EXPECT_EQ(Problem(b), "unsupported bitmap header size 64");
    b = good;
    Set32(b, 14, 0xFFFFFFFF);
    EXPECT_EQ(Problem(b), "unsupported bitmap header size 4294967295");
    b = good.substr(0, 40);
    Set32(b, 2, 40);
    EXPECT_EQ(Problem(b), "bitmap header runs past the end of the data (40 bytes)");

    b = good;
    Set32(b, 18, static_cast<uint32_t>(-5));
    EXPECT_EQ(Problem(b), "width -5 is not positive");
    b = good;
    Set32(b, 18, 0);
    EXPECT_EQ(Problem(b), "width 0 is not positive");
    b = good;
    Set32(b, 22, 0);
    EXPECT_EQ(Problem(b), "height is 0");
    b = good;
    Set16(b, 26, 2);
    EXPECT_EQ(Problem(b), "2 planes, not 1");
    b = good;
    Set16(b, 28, 3);
    EXPECT_EQ(Problem(b), "unsupported bit count 3");
    b = good;
    Set32(b, 30, 4);
    EXPECT_EQ(Problem(b), "unsupported compression 4");
    b = good;
    Set32(b, 30, 1);
    EXPECT_EQ(Problem(b), "RLE8 compression with 24 bits per pixel");
    b = MakeBitmap(4, -2, 8);
    Set32(b, 30, 1);
    EXPECT_EQ(Problem(b), "a top-down bitmap cannot be RLE-compressed");
    b = MakeCoreBitmap(6, 2, 8);
    Set16(b, 24, 32);
    EXPECT_EQ(Problem(b), "unsupported bit count 32");
}

TEST(BitmapCheckTest, HugeOrNegativeSizes)
{
    std::string b = MakeBitmap(5, 3, 24);
    Set32(b, 18, 0x7FFFFFFF);
    EXPECT_EQ(Problem(b), "image of 2147483647 x 3 pixels is too large");
    b = MakeBitmap(5, 3, 24);
    Set32(b, 22, 0x80000000); // the most negative height: 2^31 rows top-down
    EXPECT_EQ(Problem(b), "image of 5 x 2147483648 pixels is too large");
    b = MakeBitmap(5, 3, 32);
    Set32(b, 18, 0x7FFFFFFF);
    Set32(b, 22, 0x7FFFFFFF);
    EXPECT_EQ(Problem(b), "image of 2147483647 x 2147483647 pixels is too large");
    b = MakeBitmap(5, 3, 24);
    Set32(b, 22, 1000);
    EXPECT_EQ(Problem(b), "pixel data runs past the end of the data (16000 bytes from offset 54, 48 present)");
    b = MakeBitmap(5, 3, 24);
    Set32(b, 2, 0xFFFFFFFF);
    EXPECT_EQ(Problem(b), "file header gives 4294967295 bytes, the data holds 102");
    b = MakeBitmap(5, 3, 24);
    Set32(b, 10, 0xFFFFFFF0);
    EXPECT_EQ(Problem(b), "pixel data offset 4294967280 lies past the end of the data (102 bytes)");
    b = MakeBitmap(5, 3, 24);
    Set32(b, 10, 20);
    EXPECT_EQ(Problem(b), "pixel data offset 20 lies inside the headers or colour table");
}

TEST(BitmapCheckTest, TruncatedBitmaps)
{
    const std::string good = MakeBitmap(6, 4, 24);
    std::string cut = good.substr(0, good.size() - 1);
    EXPECT_EQ(Problem(cut), "file header gives 134 bytes, the data holds 133");
    Set32(cut, 2, 0); // a file size of 0 is left unchecked; the rows still are
    EXPECT_EQ(Problem(cut), "pixel data runs past the end of the data (80 bytes from offset 54, 79 present)");
    // Every shorter prefix fails, none reads past the data.
    for (size_t n = 0; n < good.size(); ++n) {
        std::string prefix = good.substr(0, n);
        if (prefix.size() >= 6)
            Set32(prefix, 2, static_cast<uint32_t>(prefix.size()));
        EXPECT_NE(Problem(prefix), "valid") << n;
    }
}

TEST(BitmapCheckTest, ColourTables)
{
    std::string b = MakeBitmap(4, 2, 8, 16);
    Set32(b, 46, 256); // claims a full table, only 16 entries present
    EXPECT_EQ(Problem(b), "colour table runs past the end of the data");
    b = MakeBitmap(40, 10, 8, 16);
    Set32(b, 46, 20); // the table would overlap the pixels
    EXPECT_EQ(Problem(b), "pixel data offset 118 lies inside the headers or colour table");
    b = MakeBitmap(4, 2, 8, 16).substr(0, 80);
    Set32(b, 2, 80);
    EXPECT_EQ(Problem(b), "colour table runs past the end of the data");
    b = MakeBitmap(4, 2, 4);
    Set32(b, 46, 17);
    EXPECT_EQ(Problem(b), "colour table of 17 entries for 4 bits per pixel");
    b = MakeBitmap(4, 2, 24);
    Set32(b, 46, 0xFFFFFFFF); // an optional table of 2^32 - 1 entries
    EXPECT_EQ(Problem(b), "colour table runs past the end of the data");
    b = MakeCoreBitmap(6, 2, 8).substr(0, 100);
    Set32(b, 2, 100);
    EXPECT_EQ(Problem(b), "colour table runs past the end of the data");
}

TEST(BitmapCheckTest, RleCodes)
{
    EXPECT_EQ(Problem(MakeRle8(4, 2, std::string("\x04\x01\x00", 3))), "RLE data ends inside a code");
    EXPECT_EQ(Problem(MakeRle8(4, 2, std::string("\x00\x02\x01", 3))), "RLE data ends inside a delta");
    EXPECT_EQ(Problem(MakeRle8(4, 2, std::string("\x00\x05\x01\x02\x03", 5))), "RLE data ends inside an absolute run");
    std::string noSize = MakeRle8(4, 2, std::string("\x00\x01", 2));
    Set32(noSize, 34, 0);
    EXPECT_EQ(Problem(noSize), "RLE bitmap without an image size");
    std::string over = MakeRle8(4, 2, std::string("\x00\x01", 2));
    Set32(over, 34, 100);
    EXPECT_EQ(Problem(over), "compressed pixel data runs past the end of the data (100 bytes from offset 62, 2 present)");
}

TEST(BitmapCheckTest, DamagedBytesNeverReadOutside)
{
    // Under the sanitizers: any single damaged header byte gives an answer, never a bad read. A
    // refusal says why; a damage the file survives still decodes to a picture of its own size;
    // and a damage no bitmap can carry (the signature, the header's size, a negative width, the
    // planes, a bit count no bitmap has) is always refused.
    const std::string good = MakeBitmap(5, 3, 8, 4);
    auto mustRefuse = [](size_t At, int Value) {
        return At <= 1 || At == 14 || (At == 21 && Value >= 0x80) || (At == 26 && Value != 1) ||
               (At == 28 && (Value == 0 || Value >= 0x7F));
    };
    int refused = 0;
    for (size_t at = 0; at < 54 + 16; ++at)
        for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            std::string b = good;
            if (b[at] == static_cast<char>(value))
                continue;
            b[at] = static_cast<char>(value);
            std::string problem;
            if (CheckWindowsBitmap(b, problem)) {
                EXPECT_FALSE(mustRefuse(at, value)) << "byte " << at << " = " << value << " was taken";
                TBitmapImage image;
                std::string why;
                EXPECT_TRUE(TryDecodeBitmap(reinterpret_cast<const uint8_t*>(b.data()), b.size(), image, why, true));
                EXPECT_GT(image.Width, 0);
                EXPECT_GT(image.Height, 0);
            } else {
                ++refused;
                EXPECT_FALSE(problem.empty()) << "byte " << at << " = " << value << " refused without a reason";
            }
        }
    EXPECT_GT(refused, 40);
}

// ---- packages and commands -----------------------------------------------------------------

class SkinPackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device random;
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        FRoot = fs::temp_directory_path() /
                ("pembrox-skinpack-" + std::to_string(random()) + "-" + std::to_string(ticks % 1000000007));
        fs::create_directories(FRoot);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(FRoot, ec);
    }

    fs::path Path(const std::string& Name) const { return FRoot / Name; }
    std::string P(const std::string& Name) const { return Path(Name).string(); }

    // A package file made of Entries.
    std::string WritePackage(const std::string& Name, const std::vector<TPackageEntry>& Entries,
                             int32_t Version = 20000)
    {
        WriteFileBytes(Path(Name), BuildPackage(Entries, Version));
        return P(Name);
    }

    static std::vector<std::string> CheckOf(const std::vector<TPackageEntry>& Entries, bool Warnings = false)
    {
        TMemoryStream stream;
        const std::string package = BuildPackage(Entries);
        stream.WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
        TSkinReader reader;
        EXPECT_TRUE(reader.Open(stream)) << reader.LastError();
        return Warnings ? SkinWarnings(reader) : CheckSkin(reader);
    }

    // The output of a failed command: exactly one line.
    static void ExpectOneLine(const TRun& Run, int Code, const std::string& Start)
    {
        EXPECT_EQ(Run.Code, Code);
        EXPECT_EQ(Run.Out, "");
        const std::vector<std::string> lines = Lines(Run.Err);
        ASSERT_EQ(lines.size(), 1u) << Run.Err;
        EXPECT_EQ(lines[0].rfind(Start, 0), 0u) << lines[0];
    }

    fs::path FRoot;
};

const char* const kDescription = "[TitlebarSkin]\r\nSkinName=Test\r\n"
                                 "[Personality]\r\nLeft=skins\\Left.bmp\r\nLeftFrame=2\r\nTop=top.bmp\r\n"
                                 "[Buttons]\r\nBitmap=button.bmp\r\n"
                                 "[Button1]\r\nAction=0\r\nButtonImage=close.bmp\r\n"
                                 "[Scrollbar]\r\nImage=B.bmp\r\n";

std::vector<TPackageEntry> GoodSkin()
{
    return {{"test.ini", kDescription},
            {"left.bmp", MakeBitmap(4, 20, 24, 0, 1)},
            {"top.bmp", MakeBitmap(30, 6, 8, 0, 2)},
            {"button.bmp", MakeBitmap(50, 20, 24, 0, 3)},
            {"close.bmp", MakeBitmap(48, 16, 8, 16, 4)},
            {"B.bmp", MakeBitmap(23, 17, 24, 0, 5)}};
}

TEST_F(SkinPackTest, PackListUnpackRoundTrip)
{
    const fs::path in = Path("in");
    fs::create_directories(in / "sub");
    std::vector<TPackageEntry> files = GoodSkin();
    files.push_back({"_under.bmp", MakeBitmap(3, 3, 8, 2, 9)});
    for (const TPackageEntry& f : files)
        WriteFileBytes(in / f.Name, f.Data);
    WriteFileBytes(in / "readme.txt", "not packed");
    WriteFileBytes(in / "sub" / "inner.bmp", MakeBitmap(2, 2, 24));

    const TRun pack = SkinPack({"pack", in.string(), P("out.skn")});
    ASSERT_EQ(pack.Code, 0) << pack.Err;
    EXPECT_EQ(pack.Err, "");

    // The description first, then the bitmaps in byte order of their names.
    const std::vector<std::string> order = {"test.ini", "B.bmp", "_under.bmp", "button.bmp", "close.bmp", "left.bmp",
                                            "top.bmp"};
    const TRun list = SkinPack({"list", P("out.skn")});
    ASSERT_EQ(list.Code, 0) << list.Err;
    std::vector<std::string> expected;
    size_t plain = 16, names = 0;
    for (const std::string& name : order) {
        const std::string data = ReadFileBytes(in / name);
        expected.push_back(name + "\t" + std::to_string(data.size()));
        plain += 4 + data.size();
        names += name.size();
    }
    plain += names + 2 * (order.size() - 1);
    const uintmax_t packageSize = fs::file_size(Path("out.skn"));
    expected.push_back("version 20000, 7 entries, " + std::to_string(plain) + " plain bytes, " +
                       std::to_string(packageSize) + " compressed bytes");
    EXPECT_EQ(Lines(list.Out), expected);
    EXPECT_EQ(pack.Out, P("out.skn") + ": 7 entries, " + std::to_string(plain) + " plain bytes, " +
                            std::to_string(packageSize) + " compressed bytes\n");

    // The header words after the version and name-table length are 0.
    {
        TMemoryStream stream;
        stream.LoadFromFile(P("out.skn"));
        TSkinReader reader;
        ASSERT_TRUE(reader.Open(stream));
        EXPECT_EQ(reader.Header().Version, 20000);
        EXPECT_EQ(reader.Header().Reserved1, 0);
        EXPECT_EQ(reader.Header().Reserved2, 0);
    }

    const TRun unpack = SkinPack({"unpack", P("out.skn"), P("out/deeper")});
    ASSERT_EQ(unpack.Code, 0) << unpack.Err;
    EXPECT_EQ(unpack.Out, P("out/deeper") + ": 7 files\n");
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(Path("out/deeper"))) {
        ++count;
        EXPECT_EQ(ReadFileBytes(entry.path()), ReadFileBytes(in / entry.path().filename())) << entry.path();
    }
    EXPECT_EQ(count, order.size());

    const TRun check = SkinPack({"check", P("out.skn")});
    EXPECT_EQ(check.Code, 0) << check.Out;
    EXPECT_EQ(check.Out, "ok\n");
    EXPECT_EQ(check.Err, "");
}

// A package is decoded only as far as the entries read: the images for larger scales go last,
// so that at 100 % they are never decoded.
TEST_F(SkinPackTest, ImagesForLargerScalesArePackedLastAndDecodedOnlyWhenRead)
{
    const fs::path in = Path("scaled");
    fs::create_directories(in);
    const std::vector<TPackageEntry> files = {{"test.ini", kDescription},
                                              {"a@2x.bmp", MakeBitmap(60, 40, 24, 0, 1)},
                                              {"top@1.5x.bmp", MakeBitmap(45, 9, 24, 0, 2)},
                                              {"top.bmp", MakeBitmap(30, 6, 24, 0, 3)},
                                              {"a.bmp", MakeBitmap(30, 20, 24, 0, 4)},
                                              {"Z.bmp", MakeBitmap(8, 8, 24, 0, 5)}};
    for (const TPackageEntry& f : files)
        WriteFileBytes(in / f.Name, f.Data);
    ASSERT_EQ(SkinPack({"pack", in.string(), P("scaled.skn")}).Code, 0);

    TMemoryStream stream;
    stream.LoadFromFile(P("scaled.skn"));
    TSkinReader reader;
    ASSERT_TRUE(reader.Open(stream));
    std::vector<std::string> order;
    for (int i = 0; i < reader.EntryCount(); ++i)
        order.push_back(reader.StoredName(i));
    EXPECT_EQ(order, (TNames{"test.ini", "Z.bmp", "a.bmp", "top.bmp", "top@1.5x.bmp", "a@2x.bmp"}));

    // The index and the images at 100 %, not a byte of the scaled ones' data.
    TMemoryStream out;
    for (const char* name : {"test.ini", "a.bmp", "top.bmp", "z.bmp"})
        reader.ExtractEntry(name, out);
    const int64_t scaledAt = reader.PlainSize() - reader.EntrySize(4) - reader.EntrySize(5);
    EXPECT_LE(reader.DecodedSize(), scaledAt + TLZH::MaxOverrun);
    EXPECT_TRUE(reader.Entry(3) == ReadFileBytes(in / "top.bmp"));
    // Asked for, the last image comes whole, and the earlier ones stay as they were.
    reader.ExtractEntry("A@2X.bmp", out);
    EXPECT_TRUE(std::string_view(static_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size())) ==
                ReadFileBytes(in / "a@2x.bmp"));
    EXPECT_GE(reader.DecodedSize(), reader.PlainSize());
    EXPECT_TRUE(reader.Entry(2) == ReadFileBytes(in / "a.bmp"));
}

TEST_F(SkinPackTest, PackNeedsExactlyOneDescription)
{
    fs::create_directories(Path("none"));
    WriteFileBytes(Path("none") / "a.bmp", MakeBitmap(2, 2, 24));
    ExpectOneLine(SkinPack({"pack", P("none"), P("x.skn")}), 1, "skinpack: \"" + P("none") + "\" has no .ini file");
    fs::create_directories(Path("two"));
    WriteFileBytes(Path("two") / "a.ini", "[A]\r\n");
    WriteFileBytes(Path("two") / "b.INI", "[B]\r\n");
    ExpectOneLine(SkinPack({"pack", P("two"), P("x.skn")}), 1,
                  "skinpack: \"" + P("two") + "\" has 2 .ini files (a.ini, b.INI)");
    ExpectOneLine(SkinPack({"pack", P("missing"), P("x.skn")}), 1, "skinpack: \"" + P("missing") + "\" is not a folder");
    EXPECT_FALSE(fs::exists(Path("x.skn")));
}

TEST_F(SkinPackTest, CheckReportsEachProblemPrecisely)
{
    std::string truncated = MakeBitmap(10, 10, 24);
    truncated.resize(truncated.size() - 7);
    const std::string description = "[Personality]\r\nLeft=missing.bmp\r\nRight=right.bmp\r\nTop=\r\n"
                                    "[Buttons]\r\nBitmap=BUTTON.BMP\r\nCheckButton=check.bmp\r\n"
                                    "[Tabs]\r\nImage=notbmp.bmp\r\nBorder=dir\\\r\n"
                                    "[Scrollbar]\r\nImage=trunc.bmp\r\n"
                                    "[BUTTON.RADIO]\r\nButtonImage=radio-not-read.bmp\r\n"
                                    "[button2]\r\nButtonImage=nobutton.bmp\r\n"
                                    "[UpDown.Vert]\r\nImage=right.bmp\r\nGlyphImage=empty.bmp\r\n";
    const std::vector<std::string> problems =
        CheckOf({{"skin.ini", description},
                 {"right.bmp", MakeBitmap(4, 4, 24)},
                 {"button.bmp", MakeBitmap(4, 4, 24)},
                 {"Check.bmp", MakeBitmap(26, 13, 8, 2)},
                 {"notbmp.bmp", "this is text"},
                 {"trunc.bmp", truncated},
                 {"empty.bmp", ""}});
    const std::vector<std::string> expected = {
        "Personality/Left: no entry \"missing.bmp\" in the package",
        "button2/ButtonImage: no entry \"nobutton.bmp\" in the package",
        "Buttons/Bitmap: \"BUTTON.BMP\" does not end in \".bmp\" (lower case)",
        "Tabs/Image: \"notbmp.bmp\" is not a valid bitmap: no \"BM\" signature",
        "Tabs/Border: \"dir\\\" names no file",
        "Scrollbar/Image: \"trunc.bmp\" is not a valid bitmap: file header gives 374 bytes, the data holds 367",
        "UpDown.Vert/GlyphImage: entry \"empty.bmp\" is empty",
    };
    EXPECT_EQ(problems, expected);
}

TEST_F(SkinPackTest, CheckReportsImagesForAScaleThatAreNotTheirBaseAtTheScale)
{
    std::vector<TPackageEntry> entries = GoodSkin();
    entries.push_back({"top@2x.bmp", MakeBitmap(60, 12, 24)});     // 30 x 6 at 2x: right
    entries.push_back({"Left@1.5x.bmp", MakeBitmap(6, 31, 24)});   // 4 x 20 at 1.5x is 6 x 30
    entries.push_back({"button@1.25x.bmp", MakeBitmap(61, 25, 24)}); // 50 x 20 at 1.25x: 63, or 62 as 2 frames
    entries.push_back({"boxes.bmp", MakeBitmap(39, 13, 24)});
    entries.push_back({"boxes@1.5x.bmp", MakeBitmap(60, 20, 24)}); // three 13 x 13 frames of 20 x 20: right
    entries.push_back({"gone@2x.bmp", MakeBitmap(2, 2, 24)});
    entries.push_back({"close@x.bmp", MakeBitmap(2, 2, 24)});      // not a scale: an ordinary entry
    const std::vector<std::string> expected = {
        "Left@1.5x.bmp: not \"left.bmp\" at its scale: it is 6 x 31, the base image's 4 x 20 at the scale is 6 x 30 "
        "(or, for a strip, each frame's size at the scale); the engine scales the base image instead",
        "button@1.25x.bmp: not \"button.bmp\" at its scale: it is 61 x 25, the base image's 50 x 20 at the scale is "
        "63 x 25 (or, for a strip, each frame's size at the scale); the engine scales the base image instead",
        "gone@2x.bmp: an image for a scale of \"gone.bmp\", which the package does not hold; name it after its base "
        "image",
    };
    EXPECT_EQ(CheckOf(entries), expected);
}

TEST_F(SkinPackTest, CheckCommandPrintsProblemsAndFails)
{
    const std::string file = WritePackage("bad.skn", {{"skin.ini", "[Personality]\r\nLeft=Left.BMP\r\n"},
                                                      {"left.bmp", MakeBitmap(2, 2, 24)}});
    const TRun run = SkinPack({"check", file});
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Out, "Personality/Left: \"Left.BMP\" does not end in \".bmp\" (lower case)\n");
    EXPECT_EQ(run.Err, "");
}

TEST_F(SkinPackTest, DescriptionEntriesAreCounted)
{
    EXPECT_EQ(CheckOf({{"a.bmp", MakeBitmap(2, 2, 24)}}), (TNames{"package: no description entry"}));
    EXPECT_EQ(CheckOf({{"a.ini", "[Personality]\r\nLeft=a.bmp\r\n"},
                       {"a.bmp", MakeBitmap(2, 2, 24)},
                       {"B.ini", "[Personality]\r\nLeft=none.bmp\r\n"}}),
              (TNames{"package: 2 description entries (a.ini, B.ini)"})); // the first one is checked
    EXPECT_EQ(CheckOf({{"x.ini.bmp", MakeBitmap(2, 2, 24)}, {"skin.ini", "[A]\r\n"}}),
              (TNames{"package: \"x.ini.bmp\" comes first with \".ini\" in its name and is read as the description"}));
    EXPECT_TRUE(CheckOf(GoodSkin()).empty());
}

TEST_F(SkinPackTest, BadInputsGiveOneLine)
{
    const std::string missing = P("missing.skn");
    for (const char* command : {"list", "check"}) {
        ExpectOneLine(SkinPack({command, missing}), 1, "skinpack: cannot read \"" + missing + "\"");
        ExpectOneLine(SkinPack({command}), 2, std::string("skinpack: usage: skinpack ") + command);
        ExpectOneLine(SkinPack({command, "a", "b"}), 2, std::string("skinpack: usage: skinpack ") + command);
    }
    ExpectOneLine(SkinPack({"unpack", missing, P("dir")}), 1, "skinpack: cannot read \"" + missing + "\"");
    ExpectOneLine(SkinPack({"unpack", missing}), 2, "skinpack: usage: skinpack unpack FILE.skn DIR");
    ExpectOneLine(SkinPack({"pack", P("dir")}), 2, "skinpack: usage: skinpack pack DIR OUT.skn");

    std::string garbage;
    for (int i = 0; i < 5000; ++i)
        garbage += static_cast<char>((i * 7919) >> 3);
    WriteFileBytes(Path("garbage.skn"), garbage);
    WriteFileBytes(Path("empty.skn"), "");
    WriteFileBytes(Path("short.skn"), "\x10\x00");
    const std::string good = BuildPackage(GoodSkin());
    WriteFileBytes(Path("cut.skn"), good.substr(0, good.size() / 2));
    const std::string old = WritePackage("old.skn", GoodSkin(), 19999);
    for (const char* command : {"list", "check", "unpack"}) {
        auto args = [&](const std::string& file) {
            std::vector<std::string> a = {command, file};
            if (std::string(command) == "unpack")
                a.push_back(P("unpacked"));
            return a;
        };
        for (const char* name : {"garbage.skn", "empty.skn", "short.skn", "cut.skn"})
            ExpectOneLine(SkinPack(args(P(name))), 1, "skinpack: " + P(name) + ": not a valid skin package: ");
        const TRun run = SkinPack(args(old));
        ExpectOneLine(run, 1,
                      "skinpack: " + old + ": not a valid skin package: version 19999, not 20000 "
                                           "(\"This is Older Skin File Please update to new version !\")");
    }
    EXPECT_FALSE(fs::exists(Path("unpacked")));

    // The reader's message goes into the line; the caller's message handler stays in place.
    int shown = 0;
    TMessageBoxHandler previous = SetMessageBoxHandler([&shown](const std::string&, const std::string&, uint32_t) {
        ++shown;
        return 1;
    });
    EXPECT_EQ(SkinPack({"list", old}).Code, 1);
    EXPECT_EQ(shown, 0);
    ShowMessage("after");
    EXPECT_EQ(shown, 1);
    SetMessageBoxHandler(std::move(previous));
}

TEST_F(SkinPackTest, UsageOnNoArgumentsOrUnknownCommand)
{
    const TRun none = SkinPack({});
    EXPECT_EQ(none.Code, 2);
    EXPECT_EQ(none.Out, "");
    EXPECT_EQ(none.Err.rfind("usage: skinpack new DIR [slate|night]\n", 0), 0u);
    const TRun unknown = SkinPack({"frobnicate"});
    EXPECT_EQ(unknown.Code, 2);
    EXPECT_EQ(unknown.Err.rfind("skinpack: unknown command \"frobnicate\"\nusage: ", 0), 0u);
    const TRun help = SkinPack({"help"});
    EXPECT_EQ(help.Code, 0);
    EXPECT_EQ(help.Out, none.Err);
}

TEST_F(SkinPackTest, UnpackRefusesUnsafeNames)
{
    fs::create_directories(Path("target"));
    // Names with a folder, a drive or "..", and device names, the reader refuses; the rest only
    // cannot be files.
    const std::pair<const char*, bool> names[] = {
        {"../evil.bmp", true}, {"..", true},     {"sub/x.bmp", true}, {"sub\\x.bmp", true}, {"C:x.bmp", true},
        {"a..b.bmp", true},    {"CON.bmp", true},  {"lpt1", true},    {"x.bmp.", false},    {"q?.bmp", false}};
    for (const auto& [name, byReader] : names) {
        const std::string file =
            WritePackage("unsafe.skn", {{"skin.ini", "[A]\r\n"}, {"ok.bmp", MakeBitmap(2, 2, 24)}, {name, "payload"}});
        const TRun run = SkinPack({"unpack", file, P("target")});
        ExpectOneLine(run, 1,
                      "skinpack: " + file +
                          (byReader ? ": not a valid skin package: entry name \"" : ": unsafe entry name \"") + name +
                          "\"");
        EXPECT_TRUE(fs::is_empty(Path("target"))) << name; // nothing written, not even the safe entries
    }
    EXPECT_FALSE(fs::exists(Path("evil.bmp")));
    EXPECT_FALSE(fs::exists(FRoot.parent_path() / "evil.bmp"));
}

TEST_F(SkinPackTest, UnpackWritesTheFirstCopyOfARepeatedName)
{
    const std::string file = WritePackage(
        "dup.skn", {{"skin.ini", "[A]\r\n"}, {"Frame.bmp", "first"}, {"x.bmp", "x"}, {"frame.BMP", "second"}});
    const TRun list = SkinPack({"list", file});
    ASSERT_EQ(list.Code, 0) << list.Err;
    EXPECT_EQ(Lines(list.Out)[1], "Frame.bmp\t5");
    EXPECT_EQ(Lines(list.Out)[3], "frame.BMP\t6");
    const TRun run = SkinPack({"unpack", file, P("dup")});
    ASSERT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Out, P("dup") + ": 3 files\n");
    EXPECT_EQ(ReadFileBytes(Path("dup") / "Frame.bmp"), "first");
    EXPECT_FALSE(fs::exists(fs::symlink_status(Path("dup") / "frame.BMP")) &&
                 ReadFileBytes(Path("dup") / "frame.BMP") == "second");
}

} // namespace

// The starter an author edits: each built-in skin written to a folder packs back into exactly the
// package the build made; its description says what each section is; and a folder that holds a
// skin already, which the writer would clear, is refused.
TEST_F(SkinPackTest, NewWritesABuiltinSkinThatPacksBackByteForByte)
{
    for (const auto& [theme, package] : {std::pair{"slate", PEMBROX_BUILTIN_SKIN_FILE},
                                         std::pair{"night", PEMBROX_NIGHT_SKIN_FILE}}) {
        SCOPED_TRACE(theme);
        const TRun made = SkinPack({"new", P(theme), theme});
        ASSERT_EQ(made.Code, 0) << made.Err;
        const std::string description = ReadFileBytes(Path(theme) / "default.ini");
        EXPECT_NE(description.find("\r\n; The window frame: Left and Right strips"), std::string::npos);
        EXPECT_TRUE(fs::exists(Path(theme) / "top@1.5x.bmp"));
        ASSERT_EQ(SkinPack({"pack", P(theme), P(std::string(theme) + ".skn")}).Code, 0);
        EXPECT_TRUE(ReadFileBytes(Path(std::string(theme) + ".skn")) == ReadFileBytes(package))
            << "the starter does not pack into the built-in package";
    }
    ExpectOneLine(SkinPack({"new", P("slate")}), 1, "skinpack: \"" + P("slate") + "\" holds a skin already");
    ExpectOneLine(SkinPack({"new", P("other"), "sepia"}), 1, "skinpack: there is no built-in skin \"sepia\"");
    EXPECT_FALSE(fs::exists(Path("other")));
}

// What check tells an author beyond what breaks: a misspelt key with the key meant, a key nothing
// reads, text colours that do not read on their ground (the menu bar taking the face's colour when
// it has none), each naming its section and key; warnings alone leave the exit code 0, a colour
// that is no colour makes it 1.
TEST_F(SkinPackTest, CheckExplainsKeysAndColoursToTheAuthor)
{
    std::vector<TPackageEntry> entries = GoodSkin();
    entries[0].Data += "[MenuItem]\r\nLeftwidht=4\r\nSparkle=1\r\n"
                       "[Colours]\r\nButtonFace=224 228 235\r\nButtonText=200 204 210\r\nMenuBarText=190 190 190\r\n"
                       "GrayText=210 214 220\r\nMenu=30 30 30\r\nMenuText=230 230 230\r\n";
    const std::string warned = WritePackage("warned.skn", entries);
    const TRun run = SkinPack({"check", warned});
    EXPECT_EQ(run.Code, 0) << run.Out;
    const std::vector<std::string> expected = {
        "MenuItem/Leftwidht: warning: no element reads this key: did you mean LeftWidth?",
        "MenuItem/Sparkle: warning: no element reads this key; check its spelling or remove it",
        "Colours/ButtonText: warning: 1.3:1 against ButtonFace, under the 3:1 text needs to be read; make it or "
        "ButtonFace lighter or darker",
        "Colours/MenuBarText: warning: 1.5:1 against Menubar, under the 3:1 text needs to be read; make it or "
        "Menubar lighter or darker",
        "Colours/GrayText: warning: 1.1:1 against ButtonFace, under the 2:1 disabled text needs to be read; make it "
        "or ButtonFace lighter or darker",
        "ok, with 5 warnings",
    };
    EXPECT_EQ(Lines(run.Out), expected);

    entries[0].Data += "[Colour1]\r\ncolor=12 300 4\r\n";
    entries[0].Data.replace(entries[0].Data.find("Menu=30 30 30"), 13, "Menu=30,30,30");
    const TRun failed = SkinPack({"check", WritePackage("failed.skn", entries)});
    EXPECT_EQ(failed.Code, 1);
    const std::vector<std::string> lines = Lines(failed.Out);
    ASSERT_GE(lines.size(), 2u) << failed.Out;
    EXPECT_EQ(lines[0], "Colours/Menu: \"30,30,30\" is no colour; write red, green and blue, each from 0 to 255, "
                        "as \"224 228 235\"");
    EXPECT_EQ(lines[1], "Colour1/color: \"12 300 4\" is no colour; write red, green and blue, each from 0 to 255, "
                        "as \"224 228 235\"");
    EXPECT_EQ(lines.back().rfind("ok", 0), std::string::npos) << "a skin with errors is not ok";
}

// Frames and margins against the images' sizes, as the engine cuts them: a border that cannot
// hold its frames is an error (the engine refuses the window frame); a strip that does not split
// evenly, or margins wider or taller than a frame, are warnings.
TEST_F(SkinPackTest, CheckMeasuresFramesAndMarginsAgainstTheImages)
{
    std::vector<TPackageEntry> entries = GoodSkin();
    entries[0].Data += "[MenuItem]\r\nImage=item.bmp\r\nLeftWidth=4\r\nRightWidth=3\r\nTopHeight=2\r\n"
                       "[HorzScrollThumb]\r\nImage=thumb.bmp\r\nFrameCount=4\r\n";
    entries.push_back({"item.bmp", MakeBitmap(26, 10, 24)});  // 5 frames of 5, one column left over
    entries.push_back({"thumb.bmp", MakeBitmap(30, 8, 24)}); // 4 frames of 7, two columns left over
    std::string& description = entries[0].Data;
    description.replace(description.find("LeftFrame=2"), 11, "LeftFrame=5");
    description.replace(description.find("Top=top.bmp"), 11, "Top=top.bmp\r\nTopTopHeight=20\r\nTopBotHeight=12");
    EXPECT_EQ(CheckOf(entries), (TNames{"Personality/LeftFrame: \"left.bmp\" (4 x 20) cannot hold 5 frames side by "
                                        "side; the engine refuses the skin's window frame: change LeftFrame or the "
                                        "image"}));
    const std::vector<std::string> expected = {
        "Personality/TopTopHeight: warning: TopTopHeight + TopBotHeight (20 + 12) are wider than a frame of "
        "\"top.bmp\" (30); make them smaller or the frames larger",
        "MenuItem/Image: warning: \"item.bmp\" (26 x 10) does not split into 5 frames (the engine's count for it) of "
        "equal width: the last 1 are never drawn; make it a multiple of 5",
        "MenuItem/LeftWidth: warning: LeftWidth + RightWidth (4 + 3) are wider than a frame of \"item.bmp\" (5); make "
        "them smaller or the frames larger",
        "HorzScrollThumb/Image: warning: \"thumb.bmp\" (30 x 8) does not split into 4 frames (FrameCount) of equal "
        "width: the last 2 are never drawn; make it a multiple of 4",
    };
    EXPECT_EQ(CheckOf(entries, true), expected);
}
