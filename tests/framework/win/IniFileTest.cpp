// INI files on the real kernel32 profile functions: case, first occurrence, trimming, integer
// text, section order, and no stale reads of a file rewritten under the same name.
#include "framework/core/IniFile.h"
#include "framework/core/Strings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        FPath = std::string(dir) + "pembrox-ini-" + std::to_string(GetCurrentProcessId()) + ".ini";
    }
    void TearDown() override { DeleteFileA(FPath.c_str()); }

    const std::string& Write(const std::string& text)
    {
        std::ofstream out(FPath, std::ios::binary | std::ios::trunc);
        out << text;
        return FPath;
    }

    std::string FPath;
};

TEST_F(IniFileTest, NamesIgnoreCaseFirstKeyWinsValuesAreTrimmed)
{
    TIniFile ini(Write("[Title]\r\nTopHeight =  21  \r\ntopheight=99\r\nName=Caption Bar\r\n"
                       "[title]\r\nExtra=1\r\n"));
    EXPECT_EQ(ini.ReadString("TITLE", "TOPHEIGHT", "x"), "21");
    EXPECT_EQ(ini.ReadString("title", "name", "x"), "Caption Bar");
    EXPECT_EQ(ini.ReadString("Title", "Missing", "fallback"), "fallback");
    EXPECT_EQ(ini.ReadString("NoSection", "Name", ""), "");
    EXPECT_TRUE(ini.SectionExists("TITLE"));
    EXPECT_TRUE(ini.ValueExists("Title", "NAME"));
    EXPECT_FALSE(ini.ValueExists("Title", "Nope"));
}

TEST_F(IniFileTest, IntegersAreDecimalOrHexElseTheDefault)
{
    TIniFile ini(Write("[N]\nA=12\nB=-5\nC=$1F\nD=0x1f\nE=0X10\nF= 7 \nG=12abc\nH=\nI=0x\n"
                       "J=99999999999\nK=$FFFFFFFF\nL=1.5\nM=+3\n"));
    EXPECT_EQ(ini.ReadInteger("N", "A", -1), 12);
    EXPECT_EQ(ini.ReadInteger("N", "B", -1), -5);
    EXPECT_EQ(ini.ReadInteger("N", "C", -1), 31);
    EXPECT_EQ(ini.ReadInteger("N", "D", -1), 31);
    EXPECT_EQ(ini.ReadInteger("N", "E", -1), 16);
    EXPECT_EQ(ini.ReadInteger("N", "F", -1), 7); // the profile functions trim
    EXPECT_EQ(ini.ReadInteger("N", "G", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "H", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "I", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "J", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "K", 0), -1); // all 32 bits of a hex value
    EXPECT_EQ(ini.ReadInteger("N", "L", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "M", -1), 3);
    EXPECT_EQ(ini.ReadInteger("N", "Missing", 77), 77);
    EXPECT_TRUE(ini.ReadBool("N", "A", false));
    EXPECT_FALSE(ini.ReadBool("N", "H", false));
}

TEST_F(IniFileTest, SectionsInFileOrderAndSectionContents)
{
    TIniFile ini(Write("[Colours]\na=1\n[Border]\nb=2\nc=3\n[Buttons]\n[Colours]\nd=4\n"));
    TStringList sections;
    ini.ReadSections(&sections);
    ASSERT_EQ(sections.Count(), 4); // a name that appears twice is listed twice
    EXPECT_EQ(sections[0], "Colours");
    EXPECT_EQ(sections[1], "Border");
    EXPECT_EQ(sections[2], "Buttons");
    EXPECT_EQ(sections[3], "Colours");

    TStringList keys;
    ini.ReadSection("border", &keys);
    ASSERT_EQ(keys.Count(), 2);
    EXPECT_EQ(keys[0], "b");
    EXPECT_EQ(keys[1], "c");
    TStringList values;
    ini.ReadSectionValues("Border", &values);
    EXPECT_EQ(values.Values("c"), "3");
}

TEST_F(IniFileTest, LongValuesAreReadWhole)
{
    const std::string longValue(5000, 'v');
    TIniFile ini(Write("[S]\nK=" + longValue + "\n"));
    EXPECT_EQ(ini.ReadString("S", "K", ""), longValue);
}

TEST_F(IniFileTest, AFileRewrittenUnderTheSameNameIsNeverReadStale)
{
    {
        TIniFile first(Write("[Skin]\nVersion=1\n"));
        ASSERT_EQ(first.ReadInteger("Skin", "Version", 0), 1);
    }
    // Same name, same size, within the same second: only dropping the cached copy tells them apart.
    DeleteFileA(FPath.c_str());
    TIniFile second(Write("[Skin]\nVersion=2\n"));
    EXPECT_EQ(second.ReadInteger("Skin", "Version", 0), 2);
}

TEST_F(IniFileTest, WritesGoToTheFile)
{
    Write("");
    TIniFile ini(FPath);
    ini.WriteString("A", "Key", "value");
    ini.WriteInteger("A", "Number", -3);
    ini.UpdateFile();
    TIniFile again(FPath);
    EXPECT_EQ(again.ReadString("A", "Key", ""), "value");
    EXPECT_EQ(again.ReadInteger("A", "Number", 0), -3);
    again.DeleteKey("A", "Key");
    EXPECT_EQ(again.ReadString("A", "Key", "gone"), "gone");
    again.EraseSection("A");
    EXPECT_FALSE(again.SectionExists("A"));
}

} // namespace
