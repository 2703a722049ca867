// The in-memory INI readers against the platform: the same bytes go to TMemIniFile and
// TProfileMemIniFile and, through a file, to the kernel32 profile functions (TIniFile); they must
// give the same section list, the same key lists and the same answer for every section and key
// name the texts contain, variants of those names in other case and with blanks around, and names
// they do not contain. TMemIniFile takes the bytes as they are, so it is held to the platform on
// texts in the ANSI code page only; TProfileMemIniFile on every text, in every encoding.
#include "framework/core/IniFile.h"
#include "framework/core/MemIniFile.h"
#include "framework/core/ProfileMemIniFile.h"
#include "framework/core/Strings.h"
#include "tests/support/IniTexts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

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

// Section names to ask about, each with the key names to ask about in it.
using TProbes = std::map<std::string, std::set<std::string>>;

// Every candidate section with every candidate key: for the short texts written here.
TProbes AllProbes(const std::string& Text, const TStrings& Listed)
{
    TProbes probes;
    const std::set<std::string> keys = CandidateKeys(Text);
    for (const std::string& section : CandidateSections(Text, Listed))
        probes[section] = keys;
    return probes;
}

// For the generated texts, which are longer: each candidate section with the keys of the lines
// under its name (in any case; the names trimmed, in upper case and with blanks around) and a
// few names no line holds.
TProbes SectionProbes(const std::string& Text, const TStrings& Listed)
{
    std::map<std::string, std::set<std::string>> keysOf; // by trimmed upper-case section name
    std::string current;
    for (const std::string& line : Lines(Text)) {
        const std::string t = Trimmed(line);
        const size_t close = t.rfind(']');
        if (!t.empty() && t[0] == '[' && close != std::string::npos) {
            current = Upper(Trimmed(t.substr(1, close - 1)));
            continue;
        }
        const size_t eq = line.find('=');
        const std::string key = Trimmed(eq == std::string::npos ? line : line.substr(0, eq));
        std::set<std::string>& keys = keysOf[current];
        keys.insert(key);
        keys.insert(Upper(key));
        keys.insert(" " + key + "\t");
    }
    TProbes probes;
    for (const std::string& section : CandidateSections(Text, Listed)) {
        std::set<std::string> keys = keysOf[Upper(Trimmed(section))];
        keys.insert({"", "missing", "Image", "\xC4"});
        probes[section] = keys;
    }
    return probes;
}

struct TAnswer {
    std::string Question;
    std::string Answer;
};

std::string Joined(const TStrings& Strings)
{
    std::string out;
    for (int i = 0; i < Strings.Count(); ++i)
        out += Strings[i] + "|";
    return out;
}

// Everything Ini answers to the probes, in order. Composite: the reads TCustomIniFile builds on the
// others too (section values, existence).
std::vector<TAnswer> Answers(const TCustomIniFile& Ini, const TProbes& Probes, bool Composite)
{
    std::vector<TAnswer> answers;
    TStringList list;
    Ini.ReadSections(&list);
    answers.push_back({"sections", Joined(list)});
    for (const auto& [section, keys] : Probes) {
        const std::string in = "[" + section + "] ";
        Ini.ReadSection(section, &list);
        answers.push_back({in + "keys", Joined(list)});
        if (Composite) {
            Ini.ReadSectionValues(section, &list);
            answers.push_back({in + "values", Joined(list)});
            answers.push_back({in + "exists", Ini.SectionExists(section) ? "yes" : "no"});
        }
        for (const std::string& key : keys) {
            const std::string value = Ini.ReadString(section, key, "<d>");
            answers.push_back({in + key, value});
            if (value != "<d>")
                answers.push_back({in + key + " as integer", std::to_string(Ini.ReadInteger(section, key, -7))});
            if (Composite)
                answers.push_back({in + key + " exists", Ini.ValueExists(section, key) ? "yes" : "no"});
        }
    }
    for (const char* fallback : {"", " 'q'  ", "   ", " ", "\"x\"", "a \t ", "''", "\xC4\xE4 ", "\x81\x8D"})
        answers.push_back({"default " + std::string(fallback), Ini.ReadString("missing", "missing", fallback)});
    return answers;
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

    // A text in the ANSI code page, written here: both readers, every candidate name everywhere.
    void ExpectSame(const std::string& Text) { ExpectAgree(Text, Text, true, false); }

    // The file Bytes through the platform against TProfileMemIniFile, and against TMemIniFile
    // when BytesReaderToo. Names: the text in the ANSI code page, where the names to ask about
    // come from.
    void ExpectAgree(const std::string& Bytes, const std::string& Names, bool BytesReaderToo, bool Generated)
    {
        const std::string path = FDir + "pembrox-memini-" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(FFiles.size()) + ".ini";
        FFiles.push_back(path);
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << Bytes;
        }
        SCOPED_TRACE("text: " + Shown(Bytes));
        const TIniFile platform(path);
        TStringList listed;
        platform.ReadSections(&listed);
        const TProbes probes = Generated ? SectionProbes(Names, listed) : AllProbes(Names, listed);
        const std::vector<TAnswer> expected = Answers(platform, probes, !Generated);
        FQuestions += expected.size();

        ExpectAnswers(expected, Answers(TProfileMemIniFile(Bytes), probes, !Generated), "TProfileMemIniFile");
        if (HasFatalFailure())
            return;
        if (BytesReaderToo)
            ExpectAnswers(expected, Answers(TMemIniFile(Bytes), probes, !Generated), "TMemIniFile");
        ++FChecked;
    }

    static void ExpectAnswers(const std::vector<TAnswer>& Expected, const std::vector<TAnswer>& Got, const char* Reader)
    {
        for (size_t i = 0; i < Expected.size() && i < Got.size(); ++i) {
            ASSERT_EQ(Shown(Got[i].Question), Shown(Expected[i].Question)) << Reader;
            ASSERT_EQ(Shown(Got[i].Answer), Shown(Expected[i].Answer)) << Reader << ", " << Shown(Expected[i].Question);
        }
        ASSERT_EQ(Got.size(), Expected.size()) << Reader;
    }

    // Count texts from Seed in Encoding.
    void ExpectAgreeOnGenerated(TIniEncoding Encoding, uint32_t Seed, int Count)
    {
        TIniTextGenerator generator(Seed);
        for (int i = 0; i < Count; ++i) {
            const TGeneratedIni ini = generator.Next(Encoding);
            ExpectAgree(ini.Bytes, ini.Ansi, Encoding == TIniEncoding::Ansi, true);
            if (HasFatalFailure())
                return;
        }
    }

    std::string FDir;
    std::vector<std::string> FFiles;
    int FChecked = 0;
    size_t FQuestions = 0;
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

TEST_F(MemIniFileTest, AgreesOnEncodings)
{
    const auto expect = [this](const std::wstring& Text, TIniEncoding Encoding) {
        const TGeneratedIni ini = TIniTextGenerator::Encode(Text, Encoding);
        ExpectAgree(ini.Bytes, ini.Ansi, Encoding == TIniEncoding::Ansi, false);
    };
    const std::wstring text = L"[U\x00E4]\r\nu=\x00E4\r\n\x00C4=cap\r\n\x00E4=low\r\nw=a\x00A0\r\n"
                              L"x=\x2003y\x2003\r\nr=\x0421\x0438\x043D\r\nq=\"\x00E9\"\r\n[\x6309]\r\nk=1\r\n";
    for (TIniEncoding encoding : {TIniEncoding::Ansi, TIniEncoding::Utf8, TIniEncoding::Utf16LE, TIniEncoding::Utf16BE})
        expect(text, encoding);
    // Bytes that are no UTF-8 after its byte-order mark, a second mark, lone surrogates.
    ExpectAgree("\xEF\xBB\xBF[S]\r\nv=\xC3\x28x\r\nz=\xE4\r\nt=\xED\xA0\x80\r\n", "[S]\r\nv\r\nz\r\nt\r\n", false,
                false);
    ExpectAgree("\xEF\xBB\xBF\xEF\xBB\xBF[S]\r\nk=1\r\n", "\xEF\xBB\xBF[S]\r\nk\r\n", false, false);
    expect(L"\xFEFF[S]\r\nk=1\r\n", TIniEncoding::Utf16LE);
    expect(L"[S\xD800]\r\nk\xDC00=1\r\nl=\xD83D\xDE00\r\n", TIniEncoding::Utf16LE);
    // Byte-order marks alone, and the odd byte.
    ExpectAgree("\xFF\xFE", "", false, false);
    ExpectAgree("\xFE\xFF", "", false, false);
    ExpectAgree("\xFF\xFE[\0S\0]\0\r\0k\0=\0001\0\n\0x"s, "[S]\r\nk=1\nx", false, false);
    ExpectAgree("\xFE\xFF\0[\0S\0]\0\r\0k\0=\0001\0\nx"s, "[S]\r\nk=1\nx", false, false);
    EXPECT_EQ(FChecked, 12);
}

TEST_F(MemIniFileTest, AgreesOnGeneratedDescriptionsInTheAnsiCodePage)
{
    ExpectAgreeOnGenerated(TIniEncoding::Ansi, 1, 16);
    EXPECT_EQ(FChecked, 16);
    EXPECT_GT(FQuestions, 4000u);
}

TEST_F(MemIniFileTest, AgreesOnGeneratedDescriptionsInUtf8)
{
    ExpectAgreeOnGenerated(TIniEncoding::Utf8, 2, 16);
    EXPECT_EQ(FChecked, 16);
}

TEST_F(MemIniFileTest, AgreesOnGeneratedDescriptionsInUtf16)
{
    ExpectAgreeOnGenerated(TIniEncoding::Utf16LE, 3, 8);
    ExpectAgreeOnGenerated(TIniEncoding::Utf16BE, 4, 8);
    EXPECT_EQ(FChecked, 16);
}

} // namespace
