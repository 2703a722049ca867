// The skinned menu bar's buttons, built from a window's native menu (and the framework's main
// menu where the native one has no text), the bar painted from the skin, and the buttons found by
// point and by access key.
#include "framework/controls/Forms.h"
#include "framework/menus/Menus.h"
#include "skin/draw/SkinDraw.h"
#include "skin/form/SkinMenuBar.h"
#include "tests/support/FrameSkin.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

namespace {

constexpr uint32_t BarActive = 0x2040A0, BarInactive = 0x102050, BarEnds = 0xA0A000;

// The test skin with a menu-bar element: two frames one above the other, 4-pixel ends.
bool LoadBarSkin(TSkinData& Data, bool WithBar, int Tile)
{
    std::string ini = Description({});
    if (WithBar) {
        const std::string keys = "[Personality]\r\nmenuBar=menubar.bmp\r\nTileLeftMenu=4\r\nTileRightMenu=4\r\nTileMenu=" +
                                 std::to_string(Tile) + "\r\n";
        ini.replace(ini.find("[Personality]\r\n"), 15, keys);
    }
    ini.replace(ini.find("[Colours]\r\n"), 11, "[Colours]\r\nMenubar=10 200 30\r\n");
    std::vector<TPackageEntry> bitmaps = Bitmaps();
    bitmaps.push_back(TPackageEntry{"menubar.bmp", Bmp(20, 40, [](int x, int y) {
                                        if (x < 4 || x >= 16)
                                            return BarEnds;
                                        return y < 20 ? BarActive : BarInactive;
                                    })});
    return LoadSkinPackage(Data, ini, bitmaps);
}

uint32_t PixelOf(HDC DC, int X, int Y)
{
    const COLORREF c = GetPixel(DC, X, Y);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

struct TSkinMenuBarTest : ::testing::Test {
    void SetUp() override
    {
        Data = std::make_unique<TSkinData>(nullptr);
        Menu = std::make_unique<TMainMenu>(nullptr);
        for (const char* caption : {"&File", "&Edit", "He&lp", "A && B"}) {
            auto* item = new TMenuItem(Menu.get());
            item->SetCaption(caption);
            auto* sub = new TMenuItem(Menu.get());
            sub->SetCaption("Item");
            item->Add(sub);
            Menu->Items()->Add(item);
        }
        Menu->Items()->Items(1)->SetEnabled(false);
        Window = CreateWindowExA(0, "STATIC", "Menu bar", WS_OVERLAPPEDWINDOW, 100, 100, 400, 200, nullptr,
                                 Menu->Handle(), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(Window, nullptr);
        Form = std::make_unique<TWinSkinForm>();
        Form->SetHandle(Window);
    }
    void TearDown() override
    {
        Form.reset();
        SetMenu(Window, nullptr);
        DestroyWindow(Window);
        Menu.reset();
        Data.reset();
    }
    std::unique_ptr<TSkinData> Data;
    std::unique_ptr<TMainMenu> Menu;
    std::unique_ptr<TWinSkinForm> Form;
    HWND Window = nullptr;
};

} // namespace

TEST_F(TSkinMenuBarTest, ButtonsComeFromTheNativeMenuAndTheFrameworkFillsWhatItCannotSay)
{
    ASSERT_TRUE(LoadBarSkin(*Data, true, 0));
    const HMENU native = GetMenu(Window);
    ASSERT_NE(native, nullptr);
    // The third item is owner-drawn: the native menu has no text for it.
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE;
    info.fType = MFT_OWNERDRAW;
    ASSERT_TRUE(SetMenuItemInfoA(native, 2, TRUE, &info));

    TWinSkinMenu bar(nullptr, Form.get(), Data.get());
    bar.SetMainMenu(Menu.get());
    bar.BuildButtons();
    ASSERT_EQ(bar.Buttons().size(), 4u);
    EXPECT_EQ(bar.MenuHandle(), native);
    EXPECT_EQ(GetMenu(Window), nullptr) << "the window keeps its native bar";
    EXPECT_EQ(bar.Buttons()[0]->Caption, "&File");
    EXPECT_TRUE(bar.Buttons()[0]->Enabled);
    EXPECT_EQ(bar.Buttons()[0]->SubMenu, GetSubMenu(native, 0));
    EXPECT_FALSE(bar.Buttons()[1]->Enabled);
    EXPECT_EQ(bar.Buttons()[2]->Caption, "He&lp") << "from the framework's item";
    EXPECT_EQ(bar.Buttons()[2]->SubMenu, Menu->Items()->Items(2)->Handle());

    // A new menu (an MDI frame's): the framework item is found by its command.
    const HMENU other = CreateMenu();
    AppendMenuA(other, MF_STRING | MF_OWNERDRAW, Menu->Items()->Items(3)->Command(), nullptr);
    bar.RebuildButtons(other);
    ASSERT_EQ(bar.Buttons().size(), 1u);
    EXPECT_EQ(bar.Buttons()[0]->Caption, "A && B");
    EXPECT_EQ(bar.Buttons()[0]->CommandId, Menu->Items()->Items(3)->Command());
    DestroyMenu(other);
}

TEST_F(TSkinMenuBarTest, TheBarIsPaintedFromTheSkinAndItsButtonsFoundByPointAndAccessKey)
{
    TBitmap target(400, 40, pf32bit);
    HDC dc = target.Canvas()->Handle();
    const RECT r{6, 10, 394, 30}; // as below a 10-pixel title between 6-pixel borders
    struct TCase {
        const char* Name;
        bool WithBar;
        int Tile;
        uint32_t Middle;
        int FirstLeft;
    };
    // (The form object here is not attached to its window: it reads as active.)
    for (const TCase& c : {TCase{"element, tiled middle", true, 0, BarActive, 4 + 4},
                           TCase{"element, stretched middle", true, 1, BarActive, 4 + 4},
                           TCase{"no element: the Menubar colour", false, 0, 0x0AC81E, 6}}) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(LoadBarSkin(*Data, c.WithBar, c.Tile));
        TWinSkinMenu bar(nullptr, Form.get(), Data.get());
        bar.SetMainMenu(Menu.get());
        bar.BuildButtons();
        SetMenu(Window, Menu->Handle()); // for the next case
        ASSERT_EQ(bar.Buttons().size(), 4u);
        bar.PaintBar(dc, r);
        EXPECT_EQ(bar.BarRect().left, r.left);
        // The ends and the middle of the bar (at the bottom row, below the captions).
        if (c.WithBar) {
            EXPECT_EQ(PixelOf(dc, r.left + 1, r.bottom - 1), BarEnds);
            EXPECT_EQ(PixelOf(dc, r.right - 2, r.bottom - 1), BarEnds);
        }
        EXPECT_EQ(PixelOf(dc, r.right - 20, r.bottom - 1), c.Middle) << std::hex << PixelOf(dc, r.right - 20, 29);
        // Buttons side by side from the first caption's start, as wide as their captions + 10.
        const RECT& first = bar.Buttons()[0]->BoundsRect;
        EXPECT_EQ(first.left, r.left + c.FirstLeft);
        EXPECT_EQ(first.top, r.top);
        EXPECT_EQ(first.bottom, r.bottom - 1);
        for (size_t i = 1; i < bar.Buttons().size(); ++i)
            EXPECT_EQ(bar.Buttons()[i]->BoundsRect.left, bar.Buttons()[i - 1]->BoundsRect.right);
        // Some caption pixel differs from the background inside the first button.
        bool text = false;
        for (int x = first.left; x < first.right && !text; ++x)
            for (int y = first.top; y < first.bottom && !text; ++y)
                text = PixelOf(dc, x, y) != c.Middle && PixelOf(dc, x, y) != BarEnds;
        EXPECT_TRUE(text) << "no caption drawn";

        EXPECT_EQ(bar.ButtonAtPoint(POINT{first.left + 2, first.top + 2}), bar.Buttons()[0].get());
        EXPECT_EQ(bar.ButtonAtPoint(POINT{r.right - 3, r.top + 2}), nullptr);
        EXPECT_EQ(bar.FindAccelButton('F'), bar.Buttons()[0].get());
        EXPECT_EQ(bar.FindAccelButton('l'), bar.Buttons()[2].get());
        EXPECT_EQ(bar.FindAccelButton('e'), nullptr) << "a disabled item";
        EXPECT_EQ(bar.FindAccelButton('b'), nullptr) << "\"&&\" is a plain ampersand";
    }
}
