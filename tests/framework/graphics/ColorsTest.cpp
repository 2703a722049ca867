// Colours: RGB values pass through, system colours resolve through GetSysColor, and the names
// descriptions use map both ways.
#include "framework/graphics/Colors.h"

#include <gtest/gtest.h>

#include <string>

TEST(ColorsTest, SystemColorsHaveTheirFixedValues)
{
    EXPECT_EQ(static_cast<uint32_t>(clScrollBar), 0x80000000u);
    EXPECT_EQ(static_cast<uint32_t>(clWindowText), 0x80000008u);
    EXPECT_EQ(static_cast<uint32_t>(clBtnFace), 0x8000000Fu);
    EXPECT_EQ(static_cast<uint32_t>(clBtnShadow), 0x80000010u);
    EXPECT_EQ(static_cast<uint32_t>(clBtnHighlight), 0x80000014u);
    EXPECT_EQ(static_cast<uint32_t>(clInfoBk), 0x80000018u);
    EXPECT_EQ(clNone, 0x1FFFFFFF);
    EXPECT_EQ(clDefault, 0x20000000);
    EXPECT_TRUE(IsSystemColor(clBtnFace));
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_FALSE(IsSystemColor(clNone));
}

TEST(ColorsTest, SystemColorsResolveThroughGetSysColor)
{
    for (int index = COLOR_SCROLLBAR; index <= COLOR_INFOBK; ++index) {
        const TColor color = clSystemColor | index;
        EXPECT_EQ(ColorToRGB(color), GetSysColor(index)) << "index " << index;
    }
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clWindowText), GetSysColor(COLOR_WINDOWTEXT));
}

TEST(ColorsTest, RgbColorsPassThroughUnchanged)
{
    EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(clNavy), RGB(0, 0, 128));
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(clBlack), 0u);
}

TEST(ColorsTest, NamesMapToColorsAndBack)
{
    int64_t value = 0;
    ASSERT_TRUE(IdentToColor("clBtnFace", value));
    EXPECT_EQ(value, clBtnFace);
    ASSERT_TRUE(IdentToColor("clYellow", value));
    EXPECT_EQ(value, 0x00FFFF);

    std::string name;
    ASSERT_TRUE(ColorToIdent(clBtnHighlight, name));
    EXPECT_EQ(name, "clBtnHighlight");
    // Descriptions give 0x8000000F as an unsigned number.
    ASSERT_TRUE(ColorToIdent(int64_t{0x8000000F}, name));
    EXPECT_EQ(name, "clBtnFace");
    ASSERT_TRUE(ColorToIdent(clNone, name));
    EXPECT_EQ(name, "clNone");
    EXPECT_FALSE(ColorToIdent(0x123456, name));
    EXPECT_FALSE(ColorToIdent(int64_t{0x100000000}, name));
}

TEST(ColorsTest, NameLookupIgnoresCaseAndRejectsStrangers)
{
    int64_t value = 0;
    ASSERT_TRUE(IdentToColor("CLWINDOWTEXT", value));
    EXPECT_EQ(value, clWindowText);
    ASSERT_TRUE(IdentToColor("clbtnface", value));
    EXPECT_EQ(value, clBtnFace);
    EXPECT_FALSE(IdentToColor("clBtnFaces", value));
    EXPECT_FALSE(IdentToColor("", value));
}

TEST(ColorsTest, TheColorTypeCarriesTheNames)
{
    const TTypeInfo& type = ColorTypeInfo();
    EXPECT_EQ(type.Kind(), TTypeKind::tkInteger);
    EXPECT_EQ(type.Name(), "TColor");
    int64_t value = 0;
    ASSERT_TRUE(type.IdentToInt("cl3DDkShadow", value));
    EXPECT_EQ(value, cl3DDkShadow);
    std::string name;
    ASSERT_TRUE(type.IntToIdent(clInfoText, name));
    EXPECT_EQ(name, "clInfoText");
}

TEST(ColorsTest, CharsetNamesMapBothWays)
{
    const TTypeInfo& type = CharsetTypeInfo();
    EXPECT_EQ(type.Kind(), TTypeKind::tkInteger);
    int64_t value = -1;
    ASSERT_TRUE(type.IdentToInt("DEFAULT_CHARSET", value));
    EXPECT_EQ(value, DEFAULT_CHARSET);
    ASSERT_TRUE(type.IdentToInt("russian_charset", value));
    EXPECT_EQ(value, RUSSIAN_CHARSET);
    std::string name;
    ASSERT_TRUE(type.IntToIdent(ANSI_CHARSET, name));
    EXPECT_EQ(name, "ANSI_CHARSET");
    ASSERT_TRUE(type.IntToIdent(OEM_CHARSET, name));
    EXPECT_EQ(name, "OEM_CHARSET");
    EXPECT_FALSE(type.IntToIdent(3, name));
    EXPECT_FALSE(type.IntToIdent(256, name));
    EXPECT_FALSE(type.IdentToInt("NO_CHARSET", value));
}
