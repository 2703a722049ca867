// The built-in skins as the build packed them: every image its description names is in the package
// and decodes, the strips divide into their frames, the frame is cut where the window is round,
// and the caption buttons carry the keys the form painting needs.
#include "framework/core/MemIniFile.h"
#include "framework/core/Stream.h"
#include "framework/core/Strings.h"
#include "framework/graphics/BitmapCodec.h"
#include "skin/package/SkinRead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t Magenta = 0xFF00FF;

std::string Upper(std::string Text)
{
    std::transform(Text.begin(), Text.end(), Text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return Text;
}

std::vector<std::string> List(const TStrings& Strings)
{
    std::vector<std::string> out;
    for (int i = 0; i < Strings.Count(); ++i)
        out.push_back(Strings[i]);
    return out;
}

// A package the build makes, and the skin name it must carry.
struct TBuiltinPackage {
    const char* File;
    const char* Name;
};

class BuiltinSkin : public ::testing::TestWithParam<TBuiltinPackage> {
protected:
    void SetUp() override
    {
        TMemoryStream package;
        package.LoadFromFile(GetParam().File);
        ASSERT_TRUE(Reader.Open(package)) << Reader.LastError();
        TMemoryStream text;
        std::string name;
        Reader.ExtractEntryContaining(".ini", text, name);
        ASSERT_GT(text.Size(), 0) << "no description in the package";
        DescriptionName = name;
        Ini = std::make_unique<TMemIniFile>(
            std::string(static_cast<const char*>(text.Memory()), static_cast<size_t>(text.Size())));
    }

    std::string Value(const std::string& Section, const std::string& Key) const
    {
        return Ini->ReadString(Section, Key, "");
    }
    int Integer(const std::string& Section, const std::string& Key) const
    {
        return Ini->ReadInteger(Section, Key, -12345);
    }
    std::vector<std::string> Sections() const
    {
        TStringList names;
        Ini->ReadSections(&names);
        return List(names);
    }
    std::vector<std::string> Keys(const std::string& Section) const
    {
        TStringList keys;
        Ini->ReadSection(Section, &keys);
        return List(keys);
    }
    // The image a key names, decoded from the package.
    TBitmapImage Image(const std::string& Section, const std::string& Key) const
    {
        TMemoryStream entry;
        Reader.ExtractEntry(Value(Section, Key), entry);
        if (entry.Size() == 0)
            return TBitmapImage();
        return DecodeBitmap(static_cast<const uint8_t*>(entry.Memory()), static_cast<size_t>(entry.Size()));
    }
    // The caption-button sections, as the engine picks them.
    std::vector<std::string> CaptionButtonSections() const
    {
        std::vector<std::string> out;
        for (const std::string& name : Sections()) {
            std::string upper = Upper(name);
            if (upper.starts_with("BUTTON") && upper != "BUTTONS" && upper != "BUTTON.RADIO" &&
                upper != "BUTTON.CHECKBOX")
                out.push_back(name);
        }
        return out;
    }

    TSkinReader Reader;
    std::string DescriptionName;
    std::unique_ptr<TMemIniFile> Ini;
};

TEST_P(BuiltinSkin, HasOneDescriptionAndTheSkinName)
{
    EXPECT_EQ(DescriptionName, "default.ini");
    int descriptions = 0;
    for (int i = 0; i < Reader.EntryCount(); ++i)
        descriptions += Reader.Names()[i].find(".ini") != std::string::npos;
    EXPECT_EQ(descriptions, 1);
    EXPECT_EQ(Value("TitlebarSkin", "SkinName"), GetParam().Name);
}

TEST_P(BuiltinSkin, EveryNamedImageIsInThePackageAndDecodes)
{
    std::vector<std::string> named;
    for (const std::string& section : Sections())
        for (const std::string& key : Keys(section)) {
            std::string value = Value(section, key);
            if (Upper(value).ends_with(".BMP")) {
                SCOPED_TRACE(section + "/" + key);
                EXPECT_TRUE(value.ends_with(".bmp")) << "the engine only loads lower-case .bmp names";
                TMemoryStream entry;
                Reader.ExtractEntry(value, entry);
                ASSERT_GT(entry.Size(), 0) << value << " is not in the package";
                TBitmapImage image;
                std::string problem;
                EXPECT_TRUE(TryDecodeBitmap(static_cast<const uint8_t*>(entry.Memory()),
                                            static_cast<size_t>(entry.Size()), image, problem, true))
                    << problem;
                EXPECT_EQ(image.BitCount, 24);
                named.push_back(value);
            }
        }
    EXPECT_GE(named.size(), 14u);
    // Each also drawn for 150 % and 200 %, and the package holds nothing else.
    std::vector<std::string> held = named;
    for (const std::string& name : named)
        for (const char* scale : {"@1.5x.bmp", "@2x.bmp"}) {
            const std::string drawn = name.substr(0, name.size() - 4) + scale;
            EXPECT_GE(Reader.Names().IndexOf(drawn), 0) << drawn << " is missing";
            held.push_back(drawn);
        }
    for (int i = 0; i < Reader.EntryCount(); ++i) {
        std::string name = Reader.Names()[i];
        if (name != "default.ini") {
            EXPECT_NE(std::find(held.begin(), held.end(), name), held.end()) << name << " is not used";
        }
    }
}

// Transparent draws leave out exactly 0xFF00FF: a pixel blended with it would show as a pink fringe.
TEST_P(BuiltinSkin, KeyColourIsNeverBlended)
{
    for (const std::string& section : Sections())
        for (const std::string& key : Keys(section)) {
            if (!Value(section, key).ends_with(".bmp"))
                continue;
            TBitmapImage image = Image(section, key);
            int fringes = 0;
            for (int y = 0; y < image.Height; ++y)
                for (int x = 0; x < image.Width; ++x) {
                    uint32_t c = image.PixelColour(x, y);
                    int r = static_cast<int>(c >> 16), g = static_cast<int>((c >> 8) & 0xFF),
                        b = static_cast<int>(c & 0xFF);
                    fringes += c != Magenta && r - g > 60 && b - g > 60;
                }
            EXPECT_EQ(fringes, 0) << section << "/" << key;
        }
}

struct TStripRule {
    const char* Section;
    const char* ImageKey;
    const char* FrameKey; // nullptr: a fixed count
    int FixedFrames;
    bool Vertical;
};

const TStripRule StripRules[] = {
    {"Personality", "Left", "LeftFrame", 0, false},
    {"Personality", "Right", "RightFrame", 0, false},
    {"Personality", "Top", "TopFrame", 0, true},
    {"Personality", "Bottom", "BottomFrame", 0, true},
    {"Personality", "TextBack", nullptr, 2, true},
    {"Buttons", "Bitmap", nullptr, 5, false},
    {"Buttons", "CheckButton", "CheckButtonFrame", 0, false},
    {"Buttons", "RadioButton", "RadioButtonFrame", 0, false},
    {"MDICONTROLS", "Image", nullptr, 12, false},
};

TEST_P(BuiltinSkin, StripsDivideIntoTheirFrames)
{
    for (const TStripRule& rule : StripRules) {
        SCOPED_TRACE(std::string(rule.Section) + "/" + rule.ImageKey);
        TBitmapImage image = Image(rule.Section, rule.ImageKey);
        ASSERT_GT(image.Width, 0);
        int frames = rule.FrameKey ? Integer(rule.Section, rule.FrameKey) : rule.FixedFrames;
        ASSERT_GE(frames, 1);
        int length = rule.Vertical ? image.Height : image.Width;
        EXPECT_EQ(length % frames, 0) << length << " pixels, " << frames << " frames";
    }
    for (const std::string& section : CaptionButtonSections()) {
        SCOPED_TRACE(section);
        TBitmapImage image = Image(section, "ButtonImage");
        ASSERT_GT(image.Width, 0);
        int frames = Integer(section, "frame");
        ASSERT_GE(frames, 1);
        EXPECT_EQ(image.Width % frames, 0);
    }
}

TEST_P(BuiltinSkin, BordersHaveAnActiveAndAnInactiveFrameThatFit)
{
    for (const char* border : {"Left", "Right", "Top", "Bottom"})
        EXPECT_EQ(Integer("Personality", std::string(border) + "Frame"), 2) << border;
    TBitmapImage left = Image("Personality", "Left");
    TBitmapImage right = Image("Personality", "Right");
    TBitmapImage top = Image("Personality", "Top");
    TBitmapImage bottom = Image("Personality", "Bottom");
    // The sides run the full window height, so their unscaled ends cover the title and the foot.
    int titleHeight = top.Height / 2;
    int footHeight = bottom.Height / 2;
    EXPECT_EQ(left.Height, right.Height);
    EXPECT_EQ(Integer("Personality", "LeftTopHeight"), titleHeight);
    EXPECT_EQ(Integer("Personality", "LeftBotHeight"), footHeight);
    EXPECT_LE(titleHeight + footHeight, left.Height);
    EXPECT_LE(Integer("Personality", "TopTopHeight") + Integer("Personality", "TopBotHeight"), top.Width);
    EXPECT_EQ(top.Width, bottom.Width);
    // The text band behind the caption is as high as the title.
    EXPECT_EQ(Image("Personality", "TextBack").Height / 2, titleHeight);
    // Active and inactive frames differ.
    EXPECT_NE(top.PixelColour(top.Width / 2, titleHeight / 2),
              top.PixelColour(top.Width / 2, titleHeight + titleHeight / 2));
}

TEST_P(BuiltinSkin, TopCornersAreCutWithTheKeyColour)
{
    TBitmapImage top = Image("Personality", "Top");
    int frameHeight = top.Height / 2;
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(frame + 1);
        int y = frame * frameHeight;
        EXPECT_EQ(top.PixelColour(0, y), Magenta);
        EXPECT_EQ(top.PixelColour(top.Width - 1, y), Magenta);
        EXPECT_NE(top.PixelColour(top.Width / 2, y), Magenta);
        // Nothing below the corners is cut.
        for (int x = 0; x < top.Width; ++x)
            EXPECT_NE(top.PixelColour(x, y + frameHeight - 1), Magenta);
    }
    // The rounding goes on into the side borders, where the window's corner pixels are.
    TBitmapImage left = Image("Personality", "Left");
    TBitmapImage right = Image("Personality", "Right");
    for (int frame = 0; frame < 2; ++frame) {
        EXPECT_EQ(left.PixelColour(frame * left.Width / 2, 0), Magenta);
        EXPECT_EQ(right.PixelColour((frame + 1) * right.Width / 2 - 1, 0), Magenta);
    }
    // The bottom border is square and opaque.
    EXPECT_EQ(Integer("Personality", "BottomTrans"), 0);
}

TEST_P(BuiltinSkin, CaptionButtonsHaveTheirKeysAndSitInTheTitle)
{
    std::vector<std::string> sections = CaptionButtonSections();
    ASSERT_GE(sections.size(), 4u);
    std::vector<int> actions;
    int titleHeight = Image("Personality", "Top").Height / 2;
    int rightBorder = Image("Personality", "Right").Width / 2;
    for (const std::string& section : sections) {
        SCOPED_TRACE(section);
        for (const char* key : {"Action", "Align", "Xcoord", "Ycoord", "ButtonImage", "frame"})
            EXPECT_FALSE(Value(section, key).empty()) << key;
        int action = Integer(section, "Action");
        actions.push_back(action);
        int frames = Integer(section, "frame");
        TBitmapImage image = Image(section, "ButtonImage");
        ASSERT_GT(image.Width, 0);
        int width = image.Width / frames;
        // Frames: normal, pressed, hot, inactive; the icon button shows the window icon only.
        EXPECT_EQ(frames, action == 3 ? 1 : 4);
        int y = Integer(section, "Ycoord");
        EXPECT_GE(y, 0);
        EXPECT_LE(y + image.Height, titleHeight);
        int align = Integer(section, "Align");
        ASSERT_TRUE(align == 0 || align == 1);
        if (align == 1) {
            EXPECT_GE(Integer(section, "Xcoord") - width, rightBorder);
        }
        // Every frame has see-through corners and an opaque middle.
        for (int k = 0; k < frames; ++k) {
            EXPECT_EQ(image.PixelColour(k * width, 0), Magenta);
            EXPECT_NE(image.PixelColour(k * width + width / 2, image.Height / 2), Magenta);
        }
    }
    for (int action : {0, 1, 2, 3})
        EXPECT_NE(std::find(actions.begin(), actions.end(), action), actions.end()) << "action " << action;
}

TEST_P(BuiltinSkin, GivesEveryColour)
{
    for (const char* key : {"WindowText", "ButtonFace", "Scrollbar", "HilightText", "Hilight", "Menubar", "Menu",
                            "MenuText", "ButtonText", "ButtonHilight", "Buttonlight", "ButtonShadow",
                            "ButtonDkShadow", "MenuBarText", "TitleTextActive", "TitleTextNoActive", "GrayText"}) {
        std::string text = Value("Colours", key);
        int r = -1, g = -1, b = -1;
        char rest = 0;
        EXPECT_EQ(std::sscanf(text.c_str(), "%d %d %d%c", &r, &g, &b, &rest), 3) << key << "=" << text;
        for (int c : {r, g, b})
            EXPECT_TRUE(c >= 0 && c <= 255) << key;
    }
    for (const char* key : {"ActiveText", "InActiveText"})
        for (const char* channel : {"R", "G", "B"}) {
            int c = Integer("Personality", std::string(key) + channel);
            EXPECT_TRUE(c >= 0 && c <= 255) << key << channel;
        }
    EXPECT_GT(Integer("Fonts", "FontHeight"), 0);
}

// Disabled text on the skin's face (the skin's own grey) stands out by the 3:1 a reader needs to
// make out letters (relative luminance).
TEST_P(BuiltinSkin, DisabledTextStandsOutFromTheFace)
{
    auto luminance = [&](const char* Key) {
        int rgb[3] = {0, 0, 0};
        std::sscanf(Value("Colours", Key).c_str(), "%d %d %d", &rgb[0], &rgb[1], &rgb[2]);
        double l = 0;
        const double weight[3] = {0.2126, 0.7152, 0.0722};
        for (int c = 0; c < 3; ++c) {
            const double v = rgb[c] / 255.0;
            l += weight[c] * (v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return l;
    };
    auto contrast = [&](const char* A, const char* B) {
        const double a = luminance(A), b = luminance(B);
        return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
    };
    EXPECT_GE(contrast("GrayText", "ButtonFace"), 3.0);
}

TEST_P(BuiltinSkin, CheckAndRadioStripsHaveFourSquareFrames)
{
    for (const char* key : {"CheckButton", "RadioButton"}) {
        TBitmapImage image = Image("Buttons", key);
        int frames = Integer("Buttons", std::string(key) + "Frame");
        EXPECT_EQ(frames, 4) << key;
        EXPECT_EQ(image.Width / frames, image.Height) << key;
        // Unchecked and checked frames differ in the middle.
        EXPECT_NE(image.PixelColour(image.Height / 2, image.Height / 2),
                  image.PixelColour(image.Height + image.Height / 2, image.Height / 2))
            << key;
    }
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Each, BuiltinSkin,
                         ::testing::Values(TBuiltinPackage{PEMBROX_BUILTIN_SKIN_FILE, "Pembrox Slate"},
                                           TBuiltinPackage{PEMBROX_NIGHT_SKIN_FILE, "Pembrox Night"}),
                         [](const ::testing::TestParamInfo<TBuiltinPackage>& Info) {
                             return std::string(Info.param.Name).substr(8); // "Slate", "Night"
                         });
