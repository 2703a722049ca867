// TMemIniFile against the platform: the same texts go to TMemIniFile and, through a file, to the
// kernel32 profile functions (TIniFile); both must give the same section list and the same answer
// for every section and key name the texts contain, and for variants of those names.
#include "framework/core/IniFile.h"
#include "framework/core/MemIniFile.h"
#include "framework/core/Strings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

std::vector<std::string> List(const TStrings& Strings)
{
    std::vector<std::string> out;
    for (int i = 0; i < Strings.Count(); ++i)
        out.push_back(Strings[i]);
    return out;
}

std::string Shown(const std::string& s)
{
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x20 || c >= 0x7F || c == '\\') {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string Trimmed(const std::string& s)
{
    const char* blanks = " \t\v\f\x1a";
    const size_t b = s.find_first_not_of(blanks);
    if (b == std::string::npos)
        return std::string();
    return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return s;
}

std::vector<std::string> Lines(const std::string& Text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : Text) {
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(line);
    return lines;
}

// The section names a text may be asked about: the listed ones in other case and with blanks
// around, and what its bracket lines hold, untrimmed.
std::set<std::string> CandidateSections(const std::string& Text, const TStrings& Listed)
{
    std::set<std::string> names = {"", " ", "missing"};
    for (int i = 0; i < Listed.Count(); ++i) {
        const std::string n = Listed[i];
        names.insert(n);
        names.insert(Upper(n));
        names.insert(" " + n + " ");
        names.insert("\t" + n);
    }
    for (const std::string& line : Lines(Text)) {
        const std::string t = Trimmed(line);
        const size_t close = t.rfind(']');
        if (!t.empty() && t[0] == '[' && close != std::string::npos)
            names.insert(t.substr(1, close - 1));
    }
    return names;
}

// The key names: what each line holds before its '=' (or the whole line), trimmed, in upper case
// and with blanks around, and the line untrimmed.
std::set<std::string> CandidateKeys(const std::string& Text)
{
    std::set<std::string> names = {"", "missing"};
    for (const std::string& line : Lines(Text)) {
        const size_t eq = line.find('=');
        const std::string key = Trimmed(eq == std::string::npos ? line : line.substr(0, eq));
        names.insert(key);
        names.insert(Upper(key));
        names.insert(" " + key + "\t");
        if (eq != std::string::npos)
            names.insert(line.substr(0, eq));
    }
    return names;
}

class MemIniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        FDir = dir;
    }
    void TearDown() override
    {
        for (const std::string& path : FFiles)
            DeleteFileA(path.c_str());
    }

    // Writes Text to a file of its own and checks that both readers agree on everything.
    void ExpectSame(const std::string& Text)
    {
        const std::string path = FDir + "pembrox-memini-" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(FFiles.size()) + ".ini";
        FFiles.push_back(path);
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << Text;
        }
        const TIniFile platform(path);
        const TMemIniFile memory(Text);
        SCOPED_TRACE("text: " + Shown(Text));

        TStringList platformList, memoryList;
        platform.ReadSections(&platformList);
        memory.ReadSections(&memoryList);
        ASSERT_EQ(List(memoryList), List(platformList));

        const std::set<std::string> sections = CandidateSections(Text, platformList);
        const std::set<std::string> keys = CandidateKeys(Text);
        for (const std::string& section : sections) {
            SCOPED_TRACE("section: " + Shown(section));
            platform.ReadSection(section, &platformList);
            memory.ReadSection(section, &memoryList);
            ASSERT_EQ(List(memoryList), List(platformList));
            platform.ReadSectionValues(section, &platformList);
            memory.ReadSectionValues(section, &memoryList);
            ASSERT_EQ(List(memoryList), List(platformList));
            ASSERT_EQ(memory.SectionExists(section), platform.SectionExists(section));
            const bool listed = memory.SectionExists(section);
            for (const std::string& key : keys) {
                SCOPED_TRACE("key: " + Shown(key));
                const std::string value = memory.ReadString(section, key, "<d>");
                ASSERT_EQ(value, platform.ReadString(section, key, "<d>"));
                if (value != "<d>") {
                    ASSERT_EQ(memory.ReadInteger(section, key, -7), platform.ReadInteger(section, key, -7));
                }
                if (listed) {
                    ASSERT_EQ(memory.ValueExists(section, key), platform.ValueExists(section, key));
                }
            }
        }
        for (const char* fallback : {"", " 'q'  ", "   ", " ", "\"x\"", "a \t ", "''"})
            ASSERT_EQ(memory.ReadString("missing", "missing", fallback),
                      platform.ReadString("missing", "missing", fallback))
                << Shown(fallback);
        ++FChecked;
    }

    std::string FDir;
    std::vector<std::string> FFiles;
    int FChecked = 0;
};

TEST_F(MemIniFileTest, AgreesOnCaseFirstOccurrenceAndTrimming)
{
    ExpectSame("[Title]\r\nTopHeight =  21  \r\ntopheight=99\r\nName=Caption Bar\r\n[title]\r\nExtra=1\r\n");
    ExpectSame("[A]\r\nk=1\r\n[B]\r\nx=2\r\n[a]\r\nk=3\r\nonly2=4\r\n");
    ExpectSame("[S]\r\nk=1\r\n[S]\r\n[s]\r\nk=2\r\nz=3\r\n");
    ExpectSame("[S]\r\n  Name One  =  val ue  \r\n\tk2\t=\t5\t\r\nl = 3 = 4\r\nt=a\tb\t \r\n");
    ExpectSame("[N]\nA=12\nB=-5\nC=$1F\nD=0x1f\nE=0X10\nF= 7 \nG=12abc\nH=\nI=0x\nJ=99999999999\n"
               "K=$FFFFFFFF\nL=1.5\nM=+3\nQ=\"42\"\nR='0x10'\nS=-$10\n");
    EXPECT_EQ(FChecked, 5);
}

TEST_F(MemIniFileTest, AgreesOnOddLines)
{
    ExpectSame("  key0=v0\r\n[S]\r\nnoeq\r\nnoeq=later\r\n;c=1\r\n; comment\r\n  ;x=2\r\n=blank\r\nempty=\r\n"
               "q=\"quoted\"\r\nq2='x'\r\nq3=\"\r\nq4=\"a'\r\nq5=\"\"\r\nq6=\"\"\"\r\nq7= ' b ' \r\n"
               "z=a\x1a\r\nc1=a\x01\r\nnb=a\xA0\r\nkey\x01=1\r\n");
    ExpectSame("[ Sp ]\r\nsp=1\r\n[]\r\ne=1\r\n[ ]\r\n[\t]\r\nf=2\r\n[Br]x]y\r\nbr=1\r\n[Open\r\nop=1\r\n"
               "[T] trailing\r\nt=1\r\n  [U]  \r\nu=1\r\n[A] ; comment\r\nb=2\r\n[a=b]\r\nc=1\r\n");
    ExpectSame("[S]\r\n=x\r\nk=1\r\n[T]\r\nk=1\r\n=y\r\nl=2\r\n[U]\r\n=\r\n[V]\r\n;only=1\r\n");
    ExpectSame("[S]\nk=1\rj=2\n\n\r\r\n[S2]\n\v\fc\v=\f3\v\r\n\x1a\r\n[\x1aT\x1a]\r\nt=2");
    ExpectSame("\xEF\xBB\xBF[U]\r\nu=1\r\n");
    ExpectSame("[S]\r\nk\0z=1\r\nm=2\0x\r\nn=3 \0\r\n[T\0U]\r\nt=1\r\n\0[V]\r\n"s);
    ExpectSame("[\xC4]\r\n\xE4=1\r\n\xC4=2\r\n[\xE4\xFC]\r\nx=\xFF\xFE\r\n");
    ExpectSame("");
    ExpectSame("\r\n\r\n");
    ExpectSame("no sections at all\r\nk=1\r\n");
    EXPECT_EQ(FChecked, 10);
}

TEST_F(MemIniFileTest, AgreesOnASkinDescription)
{
    ExpectSame("[TitlebarSkin]\r\nSkinName=Blue Luna\r\n\r\n[Personality]\r\nLeft=blue_frameleft.bmp\r\n"
               "LeftTopHeight=30\r\nLeftBotHeight=4\r\nLeftFrame=2\r\nTop=skins\\blue_frametop.bmp\r\n"
               "TextShift=24\r\nmenuBar=menubar.BMP\r\n\r\n[Colours]\r\nButtonFace=236,233,216\r\n"
               "Hilight = 49 106 197\r\n\r\n[Button1]\r\nAction=0\r\nAlign=2\r\nButtonImage=close.bmp\r\n"
               "[BUTTON.RADIO]\r\nx=1\r\n[Colour1]\r\ncolor=0,70,213\r\n[Progress]\r\nBitmap=progress.bmp\r\n"
               "Tile=2\r\n");
    EXPECT_EQ(FChecked, 1);
}

TEST_F(MemIniFileTest, AgreesOnRandomTexts)
{
    static const char* const kTokens[] = {"[", "]", "=", " ", "\t", "\r\n", "\n", "\r", ";", "a", "B", "\"",
                                          "'", "\x1a", "k", "S", "s", "1", "0x", "[S]\r\n", "k=1\r\n"};
    std::mt19937 random(20000);
    for (int round = 0; round < 25; ++round) {
        std::string text;
        const int length = 5 + static_cast<int>(random() % 25);
        for (int i = 0; i < length; ++i)
            text += kTokens[random() % (sizeof kTokens / sizeof kTokens[0])];
        ExpectSame(text);
        if (HasFatalFailure())
            return;
    }
    EXPECT_EQ(FChecked, 25);
}

} // namespace
