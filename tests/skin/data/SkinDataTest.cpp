// The skin data component and the skin description, on packages the tests build themselves: the
// colour table and custom colours, every kind of element slot, caption buttons with their frame
// rules and the MDI strip, radio and check frame counts, tile limits, image names, bad bitmaps,
// descriptions read from memory giving the skins their files give through the profile functions,
// and the activation rules.
#include "skin/data/WinSkinData.h"

#include "framework/controls/Forms.h"
#include "framework/core/Dialogs.h"
#include "framework/core/FormReader.h"
#include "framework/core/IniFile.h"
#include "framework/core/ProfileMemIniFile.h"
#include "framework/core/Published.h"
#include "framework/graphics/BitmapCodec.h"
#include "skin/manager/SkinManager.h"
#include "skin/package/SkinRead.h"
#include "skin/package/WinSkinStore.h"
#include "tests/support/IniTexts.h"
#include "tests/support/SkinPackages.h"
#include "tools/skinpack/PackageWriter.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

TColor Rgb(int R, int G, int B)
{
    return static_cast<TColor>(R | (G << 8) | (B << 16));
}

std::string TempName(const std::string& Entry)
{
    char folder[MAX_PATH]{};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + Entry;
}

bool Exists(const std::string& Name)
{
    return GetFileAttributesA(Name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every figure of a parsed skin, bitmap sizes for the bitmaps, as text.
std::string Dump(const TSkinContent& Skin)
{
    std::ostringstream out;
    const auto size = [&out](const TBitmap& Bitmap) { out << ' ' << Bitmap.Width() << 'x' << Bitmap.Height(); };
    const auto element = [&](const char* Slot, const TDataSkinObject* e) {
        out << Slot;
        if (e == nullptr) {
            out << " none\n";
            return;
        }
        out << ' ' << e->Name << ' ' << e->LeftWidth << ' ' << e->TopHeight << ' ' << e->RightWidth << ' '
            << e->BottomHeight << ' ' << e->Trans << ' ' << e->Tile << ' ' << e->FrameCount << ' ' << e->Style << ' '
            << e->NormalColour << ' ' << e->MouseOverColour << ' ' << e->PressedColour << ' ' << e->NormalColour2 << ' '
            << e->MouseOverColour2 << ' ' << e->PressedColour2;
        size(*e->Bitmap);
        if (const auto* border = dynamic_cast<const TDataSkinBorder*>(e))
            size(*border->Bitmap2);
        if (const auto* button = dynamic_cast<const TDataSkinButton*>(e)) {
            size(*button->CheckButton);
            size(*button->RadioButton);
            out << ' ' << button->CheckButtonFrame << ' ' << button->RadioButtonFrame;
        }
        if (const auto* t = dynamic_cast<const TDataSkinTitle*>(e))
            out << ' ' << t->TextAlignment << ' ' << t->Textbackground << ' ' << t->FontHeight << ' ' << t->TXTBackleft
                << ' ' << t->TXTBackRight << ' ' << t->ActiveText << ' ' << t->InActiveText;
        if (const auto* b = dynamic_cast<const TDataSkinSysButton*>(e))
            out << ' ' << b->Action << ' ' << b->Align << ' ' << b->Xcoord << ' ' << b->Ycoord << ' ' << b->CombineOp
                << ' ' << b->Visibility << ' ' << b->Visibility1;
        out << '\n';
    };
    out << "name " << Skin.SkinName << "\ncolours";
    const TSkinColours& c = Skin.Colours;
    for (TColor colour : {c.WindowText, c.ButtonFace, c.Scrollbar, c.HilightText, c.Hilight, c.Menubar, c.Menu,
                          c.MenuText, c.ButtonText, c.ButtonHilight, c.Buttonlight, c.ButtonShadow, c.ButtonDkShadow,
                          c.MenuBarText, c.TitleTextActive, c.TitleTextNoActive})
        out << ' ' << colour;
    out << "\ncustom";
    for (TColor colour : Skin.CustomColours)
        out << ' ' << colour;
    out << '\n';
    element("left", Skin.BorderLeft.get());
    element("right", Skin.BorderRight.get());
    element("top", Skin.BorderTop.get());
    element("bottom", Skin.BorderBottom.get());
    element("buttons", Skin.Buttons.get());
    element("title", Skin.Title.get());
    element("progress", Skin.Progress.get());
    element("tabs", Skin.Tabs.get());
    element("updown.horz", Skin.UpDownHorz.get());
    element("updown.vert", Skin.UpDownVert.get());
    for (const auto& [slot, e] : {std::pair{"menubar", &Skin.MenuBar}, std::pair{"groupbox", &Skin.GroupBoxEdge},
                                  std::pair{"toolbars", &Skin.Toolbars}, std::pair{"statusbar", &Skin.StatusBarEdges},
                                  std::pair{"combo", &Skin.ComboButton}, std::pair{"sunkedge", &Skin.SunkEdge},
                                  std::pair{"extra", &Skin.ExtraImages}, std::pair{"header", &Skin.Headerbar},
                                  std::pair{"menuitem", &Skin.MenuItem}, std::pair{"menuback", &Skin.MenuBackground},
                                  std::pair{"scrollbar", &Skin.Scrollbar}, std::pair{"horzscroll", &Skin.HorzScroll},
                                  std::pair{"vertscroll", &Skin.VertScroll}, std::pair{"horzthumb", &Skin.HorzScrollThumb},
                                  std::pair{"vertthumb", &Skin.VertScrollThumb}})
        element(slot, e->get());
    for (const auto& button : Skin.SysButtons)
        element("caption button", button.get());
    return out.str();
}

struct TSkinDataTest : ::testing::Test {
    void TearDown() override { FreeSkinManager(); }

    // Loads a package of the description Ini and the bitmaps into Data.
    static bool Load(TSkinData& Data, const std::string& Ini, std::vector<TPackageEntry> Bitmaps = {},
                     const std::string& IniName = "skin.ini")
    {
        return LoadSkinPackage(Data, Ini, std::move(Bitmaps), IniName);
    }
};

} // namespace

TEST_F(TSkinDataTest, ADescriptionWithoutColoursTakesTheSystemDefaults)
{
    TSkinData data(nullptr);
    EXPECT_TRUE(data.SkinLoading());
    ASSERT_TRUE(Load(data, "[TitlebarSkin]\r\nSkinName=Plain\r\n"));
    EXPECT_FALSE(data.SkinLoading());
    EXPECT_EQ(data.SkinName(), "Plain");
    EXPECT_EQ(data.Colours().ButtonFace, clBtnFace);
    EXPECT_EQ(data.Colours().Menubar, clBtnFace);
    EXPECT_EQ(data.Colours().Buttonlight, clBtnHighlight);
    EXPECT_EQ(data.Colours().ButtonDkShadow, clBtnShadow);
    EXPECT_TRUE(data.CustomColours().empty());
    // The face brush is the platform's face colour, not the system colour's number (near-black).
    LOGBRUSH face{};
    ASSERT_NE(GetObjectA(data.FaceBrush(), sizeof face, &face), 0);
    EXPECT_EQ(face.lbColor, GetSysColor(COLOR_BTNFACE));
    // The fixed elements exist with empty bitmaps; the optional slots are empty.
    ASSERT_NE(data.SkinBorderTop(), nullptr);
    EXPECT_TRUE(data.SkinBorderTop()->Bitmap->Empty());
    EXPECT_EQ(data.SkinBorderTop()->FrameCount, 1);
    EXPECT_EQ(data.SkinButtons()->FrameCount, 5);
    EXPECT_EQ(data.SkinTitle()->FontHeight, 14);
    EXPECT_EQ(data.SkinTitle()->ActiveText, NoTitleTextColour);
    EXPECT_EQ(data.SkinProgress(), nullptr);
    EXPECT_EQ(data.SkinScrollbar(), nullptr);
    EXPECT_EQ(data.SkinMenuBar(), nullptr);
    // Only the three MDI buttons.
    ASSERT_EQ(data.SkinSysButtons().size(), 3u);
    EXPECT_EQ(data.SkinSysButtons()[0]->Action, 7);
    EXPECT_EQ(data.SkinSysButtons()[2]->Action, 9);
    EXPECT_TRUE(data.SkinSysButtons()[0]->Bitmap->Empty());
    EXPECT_EQ(data.SkinStore(), "(none)");
}

TEST_F(TSkinDataTest, ColoursAndCustomColours)
{
    EXPECT_EQ(ParseColour("210 232 249"), Rgb(210, 232, 249));
    EXPECT_EQ(ParseColour("210,232,249"), Rgb(210, 232, 249));
    EXPECT_EQ(ParseColour("  1 2 3x"), Rgb(1, 2, 3));
    EXPECT_EQ(ParseColour("1 2"), Rgb(1, 0, 0)); // one number stored, the pending one is not a third
    EXPECT_EQ(ParseColour("7"), Rgb(0, 0, 0));       // a single number alone is black
    EXPECT_EQ(ParseColour("1 2 3 4"), Rgb(1, 2, 3)); // further runs are ignored
    EXPECT_EQ(ParseColour("300 256 -1"), Rgb(44, 0, 1));
    EXPECT_EQ(ParseColour("R10 G20 B30"), Rgb(10, 20, 30));
    EXPECT_EQ(ParseColour("99999999999999 1 1"), Rgb(static_cast<int>(99999999999999ull % 256), 1, 1));
    EXPECT_EQ(ParseColour(""), Rgb(0, 0, 0));

    TSkinData data(nullptr);
    ASSERT_TRUE(Load(data, "[Colours]\r\nButtonFace=210 232 249\r\nMenuText=1,2,3\r\nButtonText=\r\n"
                           "[Colour1]\r\ncolor=0, 70, 213\r\n[colour2]\r\nother=1\r\n[Coloured]\r\ncolor=9 9 9\r\n"));
    EXPECT_EQ(data.Colours().ButtonFace, Rgb(210, 232, 249));
    EXPECT_EQ(data.Colours().Menubar, Rgb(210, 232, 249)); // follows ButtonFace
    EXPECT_EQ(data.Colours().MenuText, Rgb(1, 2, 3));
    EXPECT_EQ(data.Colours().ButtonText, clBtnText); // empty: the default
    EXPECT_EQ(data.CustomColours(), (std::vector<TColor>{Rgb(0, 70, 213), clWindowText, Rgb(9, 9, 9)}));
    LOGBRUSH brush{};
    ASSERT_NE(GetObjectA(data.FaceBrush(), sizeof brush, &brush), 0);
    EXPECT_EQ(brush.lbColor, RGB(210, 232, 249));
}

TEST_F(TSkinDataTest, CaptionButtonsTakeTheirFrameCountsFromTheImage)
{
    const std::string ini = "[Button1]\r\nButtonImage=b48.bmp\r\nAction=1\r\n"
                            "[Button2]\r\nButtonImage=b96.bmp\r\n"
                            "[Button3]\r\nButtonImage=b62.bmp\r\n"
                            "[Button16]\r\nAction=11\r\n"
                            "[Button4]\r\nButtonImage=b48.bmp\r\nAction=3\r\n"
                            "[Button5]\r\nButtonImage=b48.bmp\r\nAction=3\r\nframe=4\r\nAlign=1\r\nXcoord=20\r\n"
                            "[Button6]\r\nButtonImage=b48.bmp\r\nAction=-1\r\n"
                            "[Buttons]\r\n[Button.Radio]\r\n[Button.Checkbox]\r\n"
                            "[MDICONTROLS]\r\nImage=mdi.bmp\r\n";
    // The MDI strip: three buttons of four frames, each button's quarter its own colour.
    const std::string mdi = Bmp(120, 20, [](int x, int) { return x < 40 ? 0xFF0000u : x < 80 ? 0x00FF00u : 0x0000FFu; });
    TSkinData data(nullptr);
    ASSERT_TRUE(Load(data, ini,
                     {{"b48.bmp", Bmp(48, 16)}, {"b96.bmp", Bmp(96, 16)}, {"b62.bmp", Bmp(62, 16)}, {"mdi.bmp", mdi}}));
    const auto& b = data.SkinSysButtons();
    ASSERT_EQ(b.size(), 7u + 3u);
    EXPECT_EQ(b[0]->Name, "BUTTON1");
    EXPECT_EQ(b[0]->FrameCount, 3); // ratio 3
    EXPECT_EQ(b[1]->FrameCount, 6); // ratio 6
    EXPECT_EQ(b[2]->FrameCount, 6); // ratio 3.875
    EXPECT_EQ(b[3]->Name, "BUTTON16");
    EXPECT_EQ(b[3]->FrameCount, 6);
    EXPECT_TRUE(b[3]->Bitmap->Empty());
    EXPECT_EQ(b[4]->FrameCount, 3);
    EXPECT_TRUE(b[4]->Bitmap->Empty()); // Action 3 without a frame count: the icon button
    EXPECT_EQ(b[5]->FrameCount, 4);
    EXPECT_FALSE(b[5]->Bitmap->Empty()); // an explicit frame count keeps the image
    EXPECT_EQ(b[5]->Xcoord, 20);
    EXPECT_EQ(b[5]->CombineOp, -1);
    EXPECT_EQ(b[6]->FrameCount, 6); // negative action
    for (int k = 0; k < 3; ++k) {
        const TDataSkinSysButton& m = *b[7 + static_cast<size_t>(k)];
        EXPECT_EQ(m.Action, 7 + k);
        EXPECT_EQ(m.FrameCount, 4);
        EXPECT_EQ(m.Align, 100);
        EXPECT_EQ(m.Bitmap->Width(), 40);
        EXPECT_EQ(m.Bitmap->Height(), 20);
        EXPECT_EQ(m.Xcoord, 14 * (3 - k));
        const TColor expected = k == 0 ? Rgb(255, 0, 0) : k == 1 ? Rgb(0, 255, 0) : Rgb(0, 0, 255);
        EXPECT_EQ(m.Bitmap->PixelColor(0, 0), expected);
        EXPECT_EQ(m.Bitmap->PixelColor(39, 19), expected);
    }
}

TEST_F(TSkinDataTest, ElementsTheirKeysFrameCountsAndLimits)
{
    const std::string ini =
        "[Personality]\r\nLeft=frames\\l.bmp\r\nLeftTopHeight=5\r\nLeftBotHeight=6\r\nLeftFrame=2\r\n"
        "Top=t.bmp\r\nTopTopHeight=10\r\nTopBotHeight=12\r\nTopStretch=0\r\nTopTrans=0\r\n"
        "Bottom=b.BMP\r\nTextBack=t.bmp\r\nTextShift=3\r\nTextShiftVert=4\r\nTextRightClip=5\r\n"
        "ActiveTextR=10\r\nActiveTextG=20\r\nActiveTextB=30\r\nInActiveTextR=1\r\nInActiveTextG=2\r\n"
        "menuBar=t.bmp\r\nTileMenu=1\r\n"
        "[Fonts]\r\nFontHeight=$10\r\n"
        "[Buttons]\r\nBitmap=t.bmp\r\nLeftWidth=3\r\nRadioButton=r52.bmp\r\nCheckButton=c128.bmp\r\nNormalColour2=1 2 3\r\n"
        "[Toolbars]\r\nImage=t.bmp\r\nTile=2\r\nStyle=7\r\nNormalColour=0x10\r\n"
        "[Progress]\r\nBitmap=t.bmp\r\nChunk=l.bmp\r\nTile=2\r\n"
        "[Tabs]\r\nImage=t.bmp\r\nBorder=l.bmp\r\nStyle=9\r\n"
        "[HorzScrollThumb]\r\nImage=t.bmp\r\nFrameCount=5\r\n[VertScrollThumb]\r\nImage=t.bmp\r\n"
        "[Scrollbar]\r\nImage=t.bmp\r\n[UpDown.Horz]\r\nImage=t.bmp\r\nGlyphImage=l.bmp\r\n"
        "[SunkEdge]\r\nImage=missing.bmp\r\n";
    TSkinData data(nullptr);
    ASSERT_TRUE(Load(data, ini,
                     {{"l.bmp", Bmp(4, 30)}, {"t.bmp", Bmp(60, 8)}, {"b.bmp", Bmp(60, 8)}, {"r52.bmp", Bmp(52, 13)},
                      {"c128.bmp", Bmp(128, 16)}}));
    const TDataSkinBorder& left = *data.SkinBorderLeft();
    EXPECT_EQ(left.Bitmap->Width(), 4); // the folder part is dropped
    EXPECT_EQ(left.TopHeight, 5);
    EXPECT_EQ(left.BottomHeight, 6);
    EXPECT_EQ(left.FrameCount, 2);
    EXPECT_EQ(left.Tile, 1);
    EXPECT_EQ(left.Trans, 1);
    const TDataSkinBorder& top = *data.SkinBorderTop();
    EXPECT_EQ(top.LeftWidth, 10); // horizontal strips: the end lengths
    EXPECT_EQ(top.RightWidth, 12);
    EXPECT_EQ(top.TopHeight, 0);
    EXPECT_EQ(top.Tile, 0);
    EXPECT_EQ(top.Trans, 0);
    EXPECT_TRUE(data.SkinBorderBottom()->Bitmap->Empty()); // ".BMP" is not ".bmp"

    const TDataSkinTitle& title = *data.SkinTitle();
    EXPECT_EQ(title.TextShift(), 3);
    EXPECT_EQ(title.TextShiftVert(), 4);
    EXPECT_EQ(title.TextRightClip(), 5);
    EXPECT_EQ(title.FontHeight, 16);
    EXPECT_EQ(title.ActiveText, Rgb(10, 20, 30));
    EXPECT_EQ(title.InActiveText, NoTitleTextColour); // no blue: left as it was
    EXPECT_EQ(title.FrameCount, 2);

    const TDataSkinButton& buttons = *data.SkinButtons();
    EXPECT_EQ(buttons.LeftWidth, 3);
    EXPECT_EQ(buttons.RadioButtonFrame, 4); // 52 / 13
    EXPECT_EQ(buttons.CheckButtonFrame, 8); // 128 / 16
    EXPECT_EQ(buttons.NormalColour, -1);
    EXPECT_EQ(buttons.NormalColour2, Rgb(1, 2, 3));
    EXPECT_EQ(buttons.PressedColour2, data.Colours().ButtonText);

    ASSERT_NE(data.SkinToolbars(), nullptr);
    EXPECT_EQ(data.SkinToolbars()->Tile, 0); // above 1: 0
    EXPECT_EQ(data.SkinToolbars()->Style, 7);
    EXPECT_EQ(data.SkinToolbars()->NormalColour, 16);
    EXPECT_EQ(data.SkinToolbars()->FrameCount, 5);
    EXPECT_EQ(data.SkinToolbars()->Name, "Toolbars");
    ASSERT_NE(data.SkinProgress(), nullptr);
    EXPECT_EQ(data.SkinProgress()->Tile, 2); // not limited here
    EXPECT_FALSE(data.SkinProgress()->Bitmap2->Empty());
    EXPECT_EQ(data.SkinProgress()->NormalColour, 0);
    EXPECT_EQ(data.SkinProgress()->FrameCount, 2);
    ASSERT_NE(data.SkinTabs(), nullptr);
    EXPECT_EQ(data.SkinTabs()->Style, 0); // not read for image pairs
    EXPECT_FALSE(data.SkinTabs()->Bitmap2->Empty());
    EXPECT_EQ(data.SkinHorzScrollThumb()->FrameCount, 5);
    EXPECT_EQ(data.SkinVertScrollThumb()->FrameCount, 3);
    EXPECT_EQ(data.SkinScrollbar()->FrameCount, 23);
    EXPECT_EQ(data.SkinUpDownHorz()->FrameCount, 8);
    ASSERT_NE(data.SkinMenuBar(), nullptr);
    EXPECT_EQ(data.SkinMenuBar()->Name, "Personality");
    EXPECT_EQ(data.SkinMenuBar()->Tile, 1);
    EXPECT_EQ(data.SkinMenuBar()->LeftWidth, 1);
    ASSERT_NE(data.SkinSunkEdge(), nullptr); // named, but not in the package: an empty image
    EXPECT_TRUE(data.SkinSunkEdge()->Bitmap->Empty());

    // Frame counts derived from small strips: at least 4.
    TSkinData small(nullptr);
    ASSERT_TRUE(Load(small, "[Buttons]\r\nRadioButton=r.bmp\r\nCheckButton=c.bmp\r\n",
                     {{"r.bmp", Bmp(24, 16)}, {"c.bmp", Bmp(128, 16)}}));
    EXPECT_EQ(small.SkinButtons()->RadioButtonFrame, 4);
    EXPECT_EQ(small.SkinButtons()->CheckButtonFrame, 8);
}

TEST_F(TSkinDataTest, LoadsAreFreshWriteNoFileAndBadDataRaises)
{
    TSkinData data(nullptr);
    // A name of this process's own, so that other test programs running now cannot have it.
    const std::string entry = "fresh" + std::to_string(GetCurrentProcessId()) + ".ini";
    const std::string file = TempName(entry);
    // Two packages in a row whose descriptions have the same entry name.
    ASSERT_TRUE(Load(data, "[TitlebarSkin]\r\nSkinName=First\r\n", {}, entry));
    EXPECT_EQ(data.SkinName(), "First");
    ASSERT_TRUE(Load(data, "[TitlebarSkin]\r\nSkinName=Second\r\n", {}, entry));
    EXPECT_EQ(data.SkinName(), "Second");
    // The description is read where it was decoded: a file of its name in the temporary folder is
    // neither written nor removed.
    EXPECT_FALSE(Exists(file));
    {
        std::ofstream(file, std::ios::binary) << "[TitlebarSkin]\r\nSkinName=Stale\r\n";
    }
    ASSERT_TRUE(Load(data, "[TitlebarSkin]\r\nSkinName=Third\r\n", {}, entry));
    EXPECT_EQ(data.SkinName(), "Third");
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        EXPECT_EQ(content.str(), "[TitlebarSkin]\r\nSkinName=Stale\r\n");
    }
    DeleteFileA(file.c_str());

    // A bitmap entry that is no bitmap: the loading error comes out. The skin loaded before
    // stays, whole.
    EXPECT_THROW(Load(data, "[Personality]\r\nLeft=bad.bmp\r\n", {{"bad.bmp", "BM not really"}}, entry),
                 EInvalidGraphic);
    EXPECT_FALSE(data.SkinLoading());
    EXPECT_EQ(data.SkinName(), "Third");

    // No description entry: the file-creation error, as ever.
    const std::string package = BuildPackage({{"only.bmp", Bmp(2, 2)}});
    data.PackageBytes().Clear();
    data.PackageBytes().WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
    EXPECT_THROW(data.LoadPackage(), EFCreateError);

    // A package of another version: the message, no parse, false.
    std::vector<std::string> shown;
    const TMessageBoxHandler saved = SetMessageBoxHandler([&](const std::string& Text, const std::string&, uint32_t) {
        shown.push_back(Text);
        return IDOK;
    });
    const std::string before = data.SkinName();
    const std::string old = BuildPackage({{"skin.ini", "[TitlebarSkin]\r\nSkinName=Old\r\n"}}, 10000);
    data.PackageBytes().Clear();
    data.PackageBytes().WriteBuffer(old.data(), static_cast<int32_t>(old.size()));
    EXPECT_FALSE(data.LoadPackage());
    SetMessageBoxHandler(saved);
    EXPECT_EQ(shown, (std::vector<std::string>{"This is Older Skin File\rPlease update to new version !"}));
    EXPECT_EQ(data.SkinName(), before);
    EXPECT_FALSE(data.SkinLoading());
}

TEST_F(TSkinDataTest, ADescriptionGivesTheSkinItsFileGivesThroughTheProfileFunctions)
{
    // Text in another encoding comes out in the ANSI code page, as the profile functions give it.
    TSkinData data(nullptr);
    ASSERT_TRUE(Load(data, "\xEF\xBB\xBF[TitlebarSkin]\r\nSkinName = Gr\xC3\xBCn \xE2\x80\x93 \xE6\x97\xA5\r\n"));
    EXPECT_EQ(data.SkinName(), "Gr\xFCn \x96 ?");
    ASSERT_TRUE(Load(data, TIniTextGenerator::Encode(L"[TitlebarSkin]\nSkinName=\x00E9", TIniEncoding::Utf16LE).Bytes));
    EXPECT_EQ(data.SkinName(), "\xE9");

    // Generated descriptions, each read through the profile functions from a file of its bytes and
    // from the bytes in memory, into skins with bitmaps from the package.
    const std::string file = TempName("pembrox-description-" + std::to_string(GetCurrentProcessId()) + ".ini");
    const std::string left = Bmp(4, 30), top = Bmp(60, 8);
    TIniTextGenerator generator(5);
    const std::string plain = [&] {
        TSkinReader reader;
        TMemoryStream bytes;
        const std::string package = BuildPackage({{"skin.ini", ""}});
        bytes.WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
        EXPECT_TRUE(reader.Open(bytes));
        return Dump(*TSkinDescription(reader).Parse(TProfileMemIniFile("")));
    }();
    int different = 0;
    for (int i = 0; i < 60; ++i) {
        const TGeneratedIni ini = generator.Next(i % 3 == 2 ? TIniEncoding::Utf8 : TIniEncoding::Ansi);
        SCOPED_TRACE("description " + std::to_string(i) + ": " + ini.Ansi);
        const std::string package = BuildPackage(
            {{"skin.ini", ini.Bytes}, {"left.bmp", left}, {"top.bmp", top}});
        TMemoryStream bytes;
        bytes.WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
        TSkinReader reader;
        ASSERT_TRUE(reader.Open(bytes));
        {
            std::ofstream(file, std::ios::binary | std::ios::trunc) << ini.Bytes;
        }
        const std::string expected = Dump(*TSkinDescription(reader).Parse(TIniFile(file)));
        ASSERT_EQ(Dump(*TSkinDescription(reader).Parse(TProfileMemIniFile(ini.Bytes))), expected);
        different += expected != plain;
    }
    DeleteFileA(file.c_str());
    // The descriptions said something to the engine.
    EXPECT_GT(different, 40);
}

namespace {

class TSkinRoot : public TComponent {
    DECLARE_CLASS(TSkinRoot, TComponent)
public:
    explicit TSkinRoot(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    TSkinData* SkinData1 = nullptr;
};
IMPLEMENT_CLASS(TSkinRoot)
void TSkinRoot::Publish(TClassBuilder<TSkinRoot>& b)
{
    b.Field("SkinData1", &TSkinRoot::SkinData1);
}

} // namespace

TEST_F(TSkinDataTest, TheComponentInADescriptionAndItsActivationRules)
{
    RegisterComponentClass(TSkinData::StaticClass());
    TSkinRoot root;
    ReadComponentText(R"(object Root: TSkinRoot
  object SkinData1: TSkinData
    Active = True
    DisableTag = 99
    SkinFile = ''
    SkinStore = '(none)'
    SkinFormtype = sfMainform
    SkinStream = {00000000}
  end
end
)",
                      &root);
    ASSERT_NE(root.SkinData1, nullptr);
    TSkinData& data = *root.SkinData1;
    EXPECT_FALSE(data.Active()); // no skin came with the form
    EXPECT_EQ(data.Skin3rd()->Count(), 81);
    EXPECT_EQ(data.Skin3rd()->Strings(0), "TDBCheckboxEh=Checkbox");
    EXPECT_EQ(data.Skin3rd()->Strings(80), "TOVCDBNUMERICFIELD=Edit");
    EXPECT_EQ(data.SkinControls().Contains(xcFastReport), false);
    EXPECT_EQ(data.SkinControls().Contains(xcTab), true);
    TSkinManage* manager = SkinManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_TRUE(manager->HookInstalled());
    EXPECT_EQ(manager->SkinDataList(), (std::vector<TSkinData*>{&data}));

    // Before any activation a request only switches SkinningOn.
    manager->SetActivationCount(0);
    ASSERT_TRUE(Load(data, "[TitlebarSkin]\r\nSkinName=X\r\n"));
    data.SetActive(true);
    EXPECT_TRUE(manager->SkinningOn());
    EXPECT_FALSE(manager->TimerArmed());
    EXPECT_EQ(manager->CurrentSkinData(), &data);
    // The same value again: no request at all.
    manager->SetActivationCount(1);
    manager->RequestAction(3, 250);
    manager->SetCurrentSkinData(nullptr);
    data.SetActive(true);
    EXPECT_EQ(manager->CurrentSkinData(), nullptr);
    EXPECT_EQ(manager->PendingAction(), 3);
    // After the first activation a request arms the timer.
    data.SetActive(false);
    EXPECT_TRUE(manager->TimerArmed());
    EXPECT_EQ(manager->PendingAction(), 2);

    // SelectStoredSkin at the item count does nothing.
    TSkinStore store(nullptr);
    const std::string package = BuildPackage(
        {{"skin.ini", "[TitlebarSkin]\r\nSkinName=Stored\r\n[Progress]\r\nBitmap=p.bmp\r\n"}, {"p.bmp", Bmp(8, 8)}});
    TSkinCollectionItem* item = store.Store()->Add();
    item->Data().WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
    data.SelectStoredSkin(&store, 1);
    EXPECT_EQ(data.SkinName(), "X");
    EXPECT_FALSE(data.SkinLoading());
    data.SelectStoredSkin(&store, 0);
    EXPECT_EQ(data.SkinName(), "Stored");
    EXPECT_EQ(manager->PendingAction(), 3);

    // DoFormSkin without a handler.
    bool doSkin = true;
    data.DoFormSkin("SysMonthCal32", doSkin);
    EXPECT_FALSE(doSkin);
    doSkin = true;
    data.DoFormSkin("sysmonthcal32", doSkin);
    EXPECT_TRUE(doSkin);
    data.DoFormSkin("TfrPreview", doSkin);
    EXPECT_TRUE(doSkin);
    data.SetSkinControls(data.SkinControls().Include(xcFastReport));
    data.DoFormSkin("TfrPreview", doSkin);
    EXPECT_FALSE(doSkin);
    EXPECT_EQ(data.SkinStore(), "(none)");
}

TEST_F(TSkinDataTest, ASkinFileNamedInTheDescriptionIsTheSkinAndDialogComponentsMakeNoManager)
{
    const std::string file = TempName("described" + std::to_string(GetCurrentProcessId()) + ".skn");
    const std::string package = BuildPackage(
        {{"skin.ini", "[TitlebarSkin]\r\nSkinName=FromFile\r\n[Progress]\r\nBitmap=p.bmp\r\n"}, {"p.bmp", Bmp(8, 8)}});
    {
        TFileStream out(file, fmCreate);
        out.WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
    }
    RegisterComponentClass(TSkinData::StaticClass());
    TSkinRoot root;
    std::string path;
    for (char c : file)
        path += c == '\'' ? std::string("''") : std::string(1, c);
    ReadComponentText("object Root: TSkinRoot\n  object SkinData1: TSkinData\n    Active = True\n    SkinFile = '" + path +
                          "'\n    SkinFormtype = sfMainform\n    SkinStream = {00000000}\n  end\nend\n",
                      &root);
    ASSERT_NE(root.SkinData1, nullptr);
    EXPECT_FALSE(root.SkinData1->SkinLoading());
    EXPECT_EQ(root.SkinData1->SkinName(), "FromFile");
    EXPECT_TRUE(root.SkinData1->Active());
    DeleteFileA(file.c_str());
    FreeSkinManager();

    // A dialog component's Active asks no manager for anything.
    TSkinData dialog(nullptr);
    dialog.SetSkinFormtype(sfDialog);
    dialog.SetActive(true);
    EXPECT_EQ(SkinManager(), nullptr);
}

namespace {

// Loads a package of Ini and Bitmaps as a host hands one over.
bool LoadBytes(TSkinData& Data, const std::string& Ini, std::vector<TPackageEntry> Bitmaps = {})
{
    Bitmaps.insert(Bitmaps.begin(), TPackageEntry{"skin.ini", Ini});
    const std::string package = BuildPackage(Bitmaps);
    TMemoryStream bytes;
    bytes.WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
    return Data.LoadSkinBytes(bytes);
}

// A frame of four borders (two frames each) that the Top line and the top image can spoil.
std::string FrameIni(const std::string& TopLine)
{
    return "[TitlebarSkin]\r\nSkinName=Framed\r\n[Personality]\r\n"
           "Left=l.bmp\r\nLeftFrame=2\r\nRight=r.bmp\r\nRightFrame=2\r\nBottom=b.bmp\r\nBottomFrame=2\r\n" +
           TopLine + "\r\n";
}

std::vector<TPackageEntry> FrameBitmaps(int TopHeight)
{
    return {{"l.bmp", Bmp(8, 30)}, {"r.bmp", Bmp(8, 30)}, {"t.bmp", Bmp(40, TopHeight)}, {"b.bmp", Bmp(40, 8)}};
}

} // namespace

// A skin that cannot draw the frame it names, or has nothing to draw at all, is refused when it
// is loaded, saying why; the current skin stays. Active says true only while there is a skin.
TEST_F(TSkinDataTest, AnUnusableSkinIsRefusedSayingWhyAndTheCurrentOneStays)
{
    TSkinData data(nullptr);
    data.SetActive(true);
    EXPECT_FALSE(data.Active()) << "switched on without a skin";
    ASSERT_TRUE(LoadBytes(data, FrameIni("Top=t.bmp\r\nTopFrame=2"), FrameBitmaps(48))) << data.LoadError();
    EXPECT_TRUE(data.Active()) << "the skin that came afterwards is shown";
    EXPECT_EQ(data.SkinName(), "Framed");

    const struct {
        const char* What;
        std::string Ini;
        int TopHeight;
        const char* Why;
    } unusable[] = {
        {"a border image missing", FrameIni("Top=missing.bmp\r\nTopFrame=2"), 48, "image is missing"},
        {"a border of 1 pixel with 2 frames", FrameIni("Top=t.bmp\r\nTopFrame=2"), 1, "cannot hold 2 frames"},
        {"no frames", FrameIni("Top=t.bmp\r\nTopFrame=0"), 48, "cannot hold 0 frames"},
        {"a negative frame count", FrameIni("Top=t.bmp\r\nTopFrame=-3"), 48, "cannot hold -3 frames"},
        {"more frames than pixels", FrameIni("Top=t.bmp\r\nTopFrame=1000000"), 48, "cannot hold 1000000 frames"},
        {"an empty description", "", 48, "nothing to draw"},
        {"a description of garbage", "\x01\x02 ]]] = [[ \xFF\xFE", 48, "nothing to draw"},
        {"images but none named", "[TitlebarSkin]\r\nSkinName=Unnamed\r\n", 48, "nothing to draw"},
    };
    for (const auto& u : unusable) {
        SCOPED_TRACE(u.What);
        EXPECT_FALSE(LoadBytes(data, u.Ini, FrameBitmaps(u.TopHeight)));
        EXPECT_NE(data.LoadError().find(u.Why), std::string::npos) << data.LoadError();
        EXPECT_EQ(data.SkinName(), "Framed");
        EXPECT_FALSE(data.SkinLoading());
        EXPECT_TRUE(data.Active());
    }
    // A package cut short: what the skin reads must be whole. The images for 200 % come last in
    // the built-in skin, so at 96 DPI the cut leaves all it reads, at 192 it does not.
    TMemoryStream whole, cut;
    whole.LoadFromFile(PEMBROX_NIGHT_SKIN_FILE);
    cut.WriteBuffer(whole.Memory(), static_cast<int32_t>(whole.Size() * 3 / 5));
    data.SetPixelsPerInch(192);
    EXPECT_FALSE(data.LoadSkinBytes(cut));
    EXPECT_NE(data.LoadError().find("cut short"), std::string::npos) << data.LoadError();
    EXPECT_EQ(data.SkinName(), "Framed");
    data.SetPixelsPerInch(96);
    EXPECT_TRUE(data.LoadSkinBytes(cut)) << data.LoadError();
    EXPECT_EQ(data.SkinName(), "Pembrox Night");

    // Without a frame, one control image is enough: the controls alone are skinned.
    EXPECT_TRUE(LoadBytes(data, "[TitlebarSkin]\r\nSkinName=Controls\r\n[Progress]\r\nBitmap=p.bmp\r\n",
                          {{"p.bmp", Bmp(8, 8)}}))
        << data.LoadError();
    EXPECT_EQ(data.SkinName(), "Controls");
}

TEST_F(TSkinDataTest, TheSkinIsDrawnForItsDpiFromTheImagesForAScaleOrScaled)
{
    const std::string ini = "[Personality]\r\nLeft=l.bmp\r\nLeftTopHeight=4\r\nLeftBotHeight=4\r\nLeftFrame=2\r\n"
                            "Top=t.bmp\r\nTopTopHeight=6\r\nTopBotHeight=6\r\nRight=l.bmp\r\nBottom=t.bmp\r\n"
                            "[Fonts]\r\nFontHeight=14\r\n[Button1]\r\nAction=0\r\nXcoord=-20\r\nButtonImage=t.bmp\r\n"
                            "[Buttons]\r\nCheckButton=c.bmp\r\nCheckButtonFrame=4\r\nRadioButton=r.bmp\r\n"
                            "RadioButtonFrame=4\r\n";
    const auto grey = [](int, int) { return 0x808080u; };
    const auto green = [](int, int) { return 0x00FF00u; };
    // The left border has a right image for 2x; the top's image for 2x is of the wrong size. Four
    // 13 x 13 boxes at 1.5x are four of 20 x 20: 80 x 20, not the whole strip's 52 x 13 at 1.5x.
    const std::vector<TPackageEntry> images{{"l.bmp", Bmp(8, 20, grey)},       {"l@2x.bmp", Bmp(16, 40, green)},
                                            {"t.bmp", Bmp(60, 8, grey)},       {"T@2x.bmp", Bmp(100, 16, green)},
                                            {"c.bmp", Bmp(52, 13, grey)},      {"c@1.5x.bmp", Bmp(80, 20, green)},
                                            {"r.bmp", Bmp(52, 13, grey)},      {"r@1.5x.bmp", Bmp(78, 20, green)}};
    TSkinData data(nullptr);
    data.SetPixelsPerInch(192);
    ASSERT_TRUE(Load(data, ini, images));
    EXPECT_EQ(data.SkinDpi(), 192);
    const TDataSkinBorder& left = *data.SkinBorderLeft();
    auto size = [](const TBitmap& B) { return std::pair{B.Width(), B.Height()}; };
    EXPECT_EQ(size(*left.Bitmap), (std::pair{16, 40}));
    EXPECT_EQ(left.Bitmap->PixelColor(3, 20), static_cast<TColor>(0x00FF00)) << "not the image drawn for 2x";
    EXPECT_EQ(left.TopHeight, 8);
    EXPECT_EQ(size(*data.SkinBorderTop()->Bitmap), (std::pair{120, 16}));
    EXPECT_EQ(data.SkinBorderTop()->Bitmap->PixelColor(50, 8), static_cast<TColor>(0x808080)) << "the wrong 2x image";
    EXPECT_EQ(data.SkinTitle()->FontHeight, 28);
    ASSERT_FALSE(data.SkinSysButtons().empty());
    EXPECT_EQ(data.SkinSysButtons()[0]->Xcoord, -40);

    // Below the image's scale: drawn from it, made smaller.
    data.SetPixelsPerInch(144);
    EXPECT_EQ(data.SkinDpi(), 144);
    EXPECT_EQ(size(*data.SkinBorderLeft()->Bitmap), (std::pair{12, 30}));
    EXPECT_EQ(data.SkinBorderLeft()->Bitmap->PixelColor(5, 15), static_cast<TColor>(0x00FF00));
    EXPECT_EQ(size(*data.SkinBorderTop()->Bitmap), (std::pair{90, 12}));
    const TDataSkinButton& buttons = *data.SkinButtons();
    EXPECT_EQ(size(*buttons.CheckButton), (std::pair{80, 20}));
    EXPECT_EQ(buttons.CheckButton->PixelColor(79, 19), static_cast<TColor>(0x00FF00)) << "not the image drawn for 1.5x";
    EXPECT_EQ(size(*buttons.RadioButton), (std::pair{80, 20})) << "frames of 19.5 pixels";
    EXPECT_EQ(buttons.RadioButton->PixelColor(70, 10), static_cast<TColor>(0x808080));
    // Back to the screen's (the bench's 96): the images as the package holds them.
    data.SetPixelsPerInch(0);
    EXPECT_EQ(data.SkinDpi(), 96);
    EXPECT_EQ(size(*data.SkinBorderLeft()->Bitmap), (std::pair{8, 20}));
    EXPECT_EQ(data.SkinBorderLeft()->Bitmap->PixelColor(3, 10), static_cast<TColor>(0x808080));
    // A window on a screen of another DPI: a skin that follows the screen is drawn for it.
    data.ScreenDpiChanged(120);
    EXPECT_EQ(data.SkinDpi(), 120);
    EXPECT_EQ(size(*data.SkinBorderLeft()->Bitmap), (std::pair{10, 25}));
    EXPECT_EQ(data.SkinBorderLeft()->TopHeight, 5);
    // A DPI no screen has (any process may send the message) is refused, not drawn for.
    data.ScreenDpiChanged(60000);
    data.SetPixelsPerInch(100000);
    EXPECT_EQ(data.SkinDpi(), 120);
    EXPECT_EQ(data.PixelsPerInch(), 0);
}

// The built-in skins are drawn for 150 % and 200 % by the generator: at 144 and 192 every sampled
// image is the package's own image for the scale, pixel for pixel, not the 96-DPI one enlarged.
TEST_F(TSkinDataTest, TheBuiltInSkinsUseTheirOwnImagesAtOneAndAHalfAndTwice)
{
    for (const char* file : {PEMBROX_BUILTIN_SKIN_FILE, PEMBROX_NIGHT_SKIN_FILE})
        for (const auto& [dpi, suffix] : {std::pair{144, "@1.5x.bmp"}, std::pair{192, "@2x.bmp"}}) {
            SCOPED_TRACE(std::string(file) + " at " + std::to_string(dpi));
            TMemoryStream bytes;
            bytes.LoadFromFile(file);
            TSkinReader reader;
            ASSERT_TRUE(reader.Open(bytes)) << reader.LastError();
            TSkinData data(nullptr);
            data.SetPixelsPerInch(dpi);
            bytes.SetPosition(0);
            ASSERT_TRUE(data.LoadSkinBytes(bytes)) << data.LoadError();
            const TDataSkinButton& buttons = *data.SkinButtons();
            const std::vector<std::pair<TBitmap*, std::string>> sampled{
                {data.SkinBorderTop()->Bitmap.get(), "top"},
                {data.SkinBorderLeft()->Bitmap.get(), "left"},
                {data.SkinTitle()->Bitmap.get(), "textback"},
                {data.SkinSysButtons()[0]->Bitmap.get(), "btnclose"},
                {buttons.Bitmap.get(), "button"},
                {buttons.CheckButton.get(), "checkbox"},
                {buttons.RadioButton.get(), "radio"},
                {data.SkinScrollbar()->Bitmap.get(), "scrollbar"},
                {data.SkinHorzScrollThumb()->Bitmap.get(), "hthumb"},
                {data.SkinTabs()->Bitmap.get(), "tabs"},
                {data.SkinUpDownVert()->Bitmap.get(), "updownv"}};
            for (const auto& [bitmap, name] : sampled) {
                SCOPED_TRACE(name);
                TMemoryStream entry;
                reader.ExtractEntry(name + suffix, entry);
                ASSERT_GT(entry.Size(), 0);
                const TBitmapImage drawn =
                    DecodeBitmap(static_cast<const uint8_t*>(entry.Memory()), static_cast<size_t>(entry.Size()));
                ASSERT_EQ(bitmap->Width(), drawn.Width);
                ASSERT_EQ(bitmap->Height(), drawn.Height);
                int differing = 0;
                for (int y = 0; y < drawn.Height; ++y)
                    for (int x = 0; x < drawn.Width; ++x) {
                        const uint8_t* p = drawn.Row(y) + 3 * x;
                        differing += bitmap->PixelColor(x, y) != Rgb(p[2], p[1], p[0]);
                    }
                EXPECT_EQ(differing, 0);
            }
        }
}
