// Menu items measured and drawn from the skin, read back by pixels: the menu-item element's
// frames over the popup background (or the "Menu" colour), the texts' colours and places, and the
// plain drawing of a skin without the element; and a real popup's border band under the platform.
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/ImageList.h"
#include "framework/menus/Menus.h"
#include "skin/menus/MenuItemPainter.h"
#include "skin/menus/PopupMenuSkin.h"
#include "skin/menus/WinSkinPopMenu.h"
#include "skin/draw/SkinDraw.h"
#include "tests/support/FrameSkin.h"
#include "tests/support/Input.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <utility>

namespace {

// Item frames: 1 normal, 2 separator (its bottom 4 rows), 4 selected; 3 and 5 unused.
constexpr uint32_t ItemNormal = 0xD0E0F0, ItemSeparatorLine = 0x204060, ItemSelected = 0x203080;
constexpr uint32_t BackOutline = 0x10A010, BackInside = 0xF0F0E0;
constexpr uint32_t MenuColour = 0xE0D0C0, MenuTextColour = 0x101010, HilightTextColour = 0xFFFF00,
                   ShadowColour = 0x808890, HilightColour = 0x3050A0;

std::string MenuSkin(bool WithItem, bool WithBackground)
{
    std::string ini = Description({});
    ini.replace(ini.find("[Colours]\r\n"), 11,
                "[Colours]\r\nMenu=224 208 192\r\nMenuText=16 16 16\r\nHilightText=255 255 0\r\n"
                "ButtonShadow=128 136 144\r\nHilight=48 80 160\r\n");
    if (WithItem)
        ini += "[MenuItem]\r\nImage=item.bmp\r\nLeftWidth=2\r\nTopHeight=2\r\nRightWidth=2\r\nBottomHeight=2\r\n"
               "Trans=1\r\nTile=0\r\n";
    if (WithBackground)
        ini += "[MenuBackground]\r\nImage=back.bmp\r\nLeftWidth=3\r\nTopHeight=3\r\nRightWidth=3\r\nBottomHeight=3\r\n";
    return ini;
}

std::vector<TPackageEntry> MenuBitmaps()
{
    std::vector<TPackageEntry> bitmaps = Bitmaps();
    bitmaps.push_back({"item.bmp", Bmp(5 * 20, 16, [](int x, int y) -> uint32_t {
                           switch (x / 20) {
                           case 0:
                               return ItemNormal;
                           case 1:
                               return y == 13 ? ItemSeparatorLine : Magenta;
                           case 3:
                               return ItemSelected;
                           default:
                               return Magenta;
                           }
                       })});
    bitmaps.push_back({"back.bmp", Bmp(12, 12, [](int x, int y) {
                           return x < 3 || y < 3 || x >= 9 || y >= 9 ? BackOutline : BackInside;
                       })});
    return bitmaps;
}

uint32_t Pixel(TBitmap& Bitmap, int X, int Y)
{
    const COLORREF c = GetPixel(Bitmap.Canvas()->Handle(), X, Y);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Whether some pixel of R in Bitmap has Colour.
bool Shows(TBitmap& Bitmap, const RECT& R, uint32_t Colour)
{
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            if (Pixel(Bitmap, x, y) == Colour)
                return true;
    return false;
}

struct TMenuItemPainterTest : ::testing::Test {
    void SetUp() override { Data = std::make_unique<TSkinData>(nullptr); }
    std::unique_ptr<TSkinData> Data;
};

} // namespace

TEST_F(TMenuItemPainterTest, ItemsAreDrawnFromTheSkinsFramesTextColoursAndPlaces)
{
    ASSERT_TRUE(LoadSkinPackage(*Data, MenuSkin(true, true), MenuBitmaps()));
    TMainMenu menu(nullptr);
    auto add = [&](const char* Caption) {
        auto* item = new TMenuItem(&menu);
        item->SetCaption(Caption);
        menu.Items()->Add(item);
        return item;
    };
    TMenuItem* open = add("&Open");
    open->SetShortCut(ShortCut('O', false, true, false));
    TMenuItem* gone = add("Gone");
    gone->SetEnabled(false);
    TMenuItem* checked = add("Checked");
    checked->SetChecked(true);
    TMenuItem* line = add("-");

    TBitmap target(200, 24);
    TCanvas& canvas = *target.Canvas();
    canvas.Font()->Assign(Screen()->MenuFont());
    const RECT r{0, 2, 200, 22};
    // No popup shows this menu: the item background is the "Menu" colour, under the frames.
    DrawSkinnedMenuItem(*Data, *open, menu.Handle(), canvas, r, false);
    EXPECT_EQ(Pixel(target, 100, 3), ItemNormal);
    EXPECT_TRUE(Shows(target, RECT{20, 2, 60, 22}, MenuTextColour));
    // The short-cut ends 11 pixels from the right edge.
    int rightmost = 0;
    for (int x = 100; x < 200; ++x)
        for (int y = 2; y < 22; ++y)
            if (Pixel(target, x, y) == MenuTextColour)
                rightmost = x;
    EXPECT_GE(rightmost, 200 - 11 - 3);
    EXPECT_LT(rightmost, 200 - 11);

    DrawSkinnedMenuItem(*Data, *open, menu.Handle(), canvas, r, true);
    EXPECT_EQ(Pixel(target, 100, 3), ItemSelected);
    EXPECT_TRUE(Shows(target, RECT{20, 2, 60, 22}, HilightTextColour));

    // A disabled item: the skin's grey (ButtonShadow) stands out from the item's ground by only
    // 2.7:1, so it is drawn darker, as near to the skin's as reads.
    DrawSkinnedMenuItem(*Data, *gone, menu.Handle(), canvas, r, false);
    const COLORREF readable = ReadableOn(RGB(0xD0, 0xE0, 0xF0), RGB(0x80, 0x88, 0x90));
    EXPECT_GE(ContrastRatio(readable, RGB(0xD0, 0xE0, 0xF0)), 3.0);
    EXPECT_LT(ContrastRatio(readable, RGB(0xD0, 0xE0, 0xF0)), 3.5) << "darker than it needs";
    EXPECT_TRUE(Shows(target, RECT{20, 2, 60, 22},
                      (GetRValue(readable) << 16) | (GetGValue(readable) << 8) | GetBValue(readable)));
    EXPECT_FALSE(Shows(target, RECT{20, 2, 60, 22}, ShadowColour));
    EXPECT_FALSE(Shows(target, RECT{20, 2, 60, 22}, MenuTextColour));

    // A checked item without an image: the platform's check mark in the glyph box.
    DrawSkinnedMenuItem(*Data, *checked, menu.Handle(), canvas, r, false);
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    EXPECT_TRUE(Shows(target, RECT{1, 3, 17, 19}, ((ink & 0xFF) << 16) | (ink & 0xFF00) | ((ink >> 16) & 0xFF)));

    // A separator: the "Menu" background, and frame 2's bottom rows with its line (key colour
    // left out).
    TBitmap thin(200, 8);
    thin.Canvas()->Font()->Assign(Screen()->MenuFont());
    DrawSkinnedMenuItem(*Data, *line, menu.Handle(), *thin.Canvas(), RECT{0, 0, 200, 8}, false);
    EXPECT_EQ(Pixel(thin, 100, 0), MenuColour);
    EXPECT_EQ(Pixel(thin, 100, 5), ItemSeparatorLine); // row 13 of 16, bottom 8 rows from row 8

    // A checked item with an image: the image on its sunken box.
    TImageList images(nullptr);
    TBitmap glyph(16, 16, pf24bit);
    glyph.Canvas()->Brush()->SetColor(0x00204080); // BGR: 0x804020
    glyph.Canvas()->FillRect(RECT{0, 0, 16, 16});
    images.Add(&glyph, nullptr);
    menu.SetImages(&images);
    checked->SetImageIndex(0);
    DrawSkinnedMenuItem(*Data, *checked, menu.Handle(), canvas, r, false);
    EXPECT_EQ(Pixel(target, 9, 10), 0x804020u);
    menu.SetImages(nullptr);

    // A right-to-left menu is mirrored: the caption on the right, the short-cut on the left.
    TMainMenu rtl(nullptr);
    rtl.SetBiDiMode(bdRightToLeft);
    auto* right = new TMenuItem(&rtl);
    right->SetCaption("Right");
    right->SetShortCut(ShortCut('R', false, true, false));
    rtl.Items()->Add(right);
    DrawSkinnedMenuItem(*Data, *right, rtl.Handle(), canvas, r, false);
    EXPECT_TRUE(Shows(target, RECT{130, 2, 180, 22}, MenuTextColour)) << "the caption";
    EXPECT_TRUE(Shows(target, RECT{11, 2, 40, 22}, MenuTextColour)) << "the short-cut";
    EXPECT_FALSE(Shows(target, RECT{70, 2, 110, 22}, MenuTextColour));

    // Without the menu-item element: plain "Menu" and "Hilight" fills.
    ASSERT_TRUE(LoadSkinPackage(*Data, MenuSkin(false, false), MenuBitmaps()));
    DrawSkinnedMenuItem(*Data, *open, menu.Handle(), canvas, r, false);
    EXPECT_EQ(Pixel(target, 100, 3), MenuColour);
    DrawSkinnedMenuItem(*Data, *open, menu.Handle(), canvas, r, true);
    EXPECT_EQ(Pixel(target, 100, 3), HilightColour);
    EXPECT_TRUE(Shows(target, RECT{20, 2, 60, 22}, HilightTextColour));
}

TEST_F(TMenuItemPainterTest, MeasuringAndNativeItems)
{
    TMemoryDC dc(nullptr);
    TCanvas canvas;
    canvas.SetHandle(dc.get());
    canvas.Font()->Assign(Screen()->MenuFont());
    TMenuItem item(nullptr);
    item.SetCaption("&Save");
    item.SetShortCut(ShortCut('S', false, true, false));
    int width = 0, height = 18;
    MeasureMenuItem(item, canvas, width, height);
    EXPECT_EQ(width, canvas.TextWidth("&SaveCtrl+S") + 26);
    EXPECT_EQ(height, 22);
    item.SetCaption("-");
    height = 18;
    MeasureMenuItem(item, canvas, width, height);
    EXPECT_EQ(height, 8);
    width = 40;
    MeasurePopupItem(width, height);
    EXPECT_EQ(width, 68);
    // "&" alone is measured like a blank.
    ASSERT_TRUE(LoadSkinPackage(*Data, MenuSkin(true, false), MenuBitmaps()));
    item.SetCaption("&");
    RECT amp{0, 0, 100, 20}, blank{0, 0, 100, 20};
    DrawMenuItemText(*Data, item, canvas, DT_CALCRECT | DT_SINGLELINE, false, amp, "&");
    DrawMenuItemText(*Data, item, canvas, DT_CALCRECT | DT_SINGLELINE, false, blank, " ");
    EXPECT_EQ(amp.right - amp.left, blank.right - blank.left);
    EXPECT_GT(amp.right - amp.left, 0);
    canvas.SetHandle(nullptr);

    // A native item: the text before the tab is the caption, the short-cut after it.
    const HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | MF_GRAYED | MF_CHECKED, 7, "&Print\tCtrl+P");
    AppendMenuA(menu, MF_SEPARATOR, 8, nullptr);
    std::unique_ptr<TMenuItem> print = NativeMenuItem(menu, 7), separator = NativeMenuItem(menu, 8);
    EXPECT_EQ(print->Caption(), "&Print");
    EXPECT_EQ(print->ShortCut(), ShortCut('P', false, true, false));
    EXPECT_FALSE(print->Enabled());
    EXPECT_TRUE(print->Checked());
    EXPECT_EQ(separator->Caption(), "-");
    DestroyMenu(menu);
}

TEST_F(TMenuItemPainterTest, PopupComponentsDrawFromTheSkinAndGetTheirOwnDrawingBack)
{
    ASSERT_TRUE(LoadSkinPackage(*Data, MenuSkin(true, true), MenuBitmaps()));
    TComponent form(nullptr);
    auto* skinned = new TPopupMenu(&form);
    auto* left = new TPopupMenu(&form);
    left->SetTag(1099); // Tag mod 100 is the disable tag
    left->SetOwnerDraw(false);
    auto item = [&](TPopupMenu* Menu, const char* Caption) {
        auto* i = new TMenuItem(&form);
        i->SetCaption(Caption);
        Menu->Items()->Add(i);
        return i;
    };
    TMenuItem* plain = item(skinned, "Plain");
    TMenuItem* own = item(skinned, "Own");
    TMenuItem* framework = item(skinned, "Framework's");
    framework->SetTag(tgPlainMenuItem);
    TMenuItem* inner = item(skinned, "Outer");
    auto* deep = new TMenuItem(&form);
    deep->SetCaption("Deep");
    inner->Add(deep);
    TMenuItem* untouched = item(left, "Left alone");
    struct TOwn : TObject {
        int Draws = 0;
        void Draw(TObject*, TCanvas*, const RECT&, bool) { ++Draws; }
    } ownHandler;
    own->SetOnDrawItem(BindMethod<&TOwn::Draw>(&ownHandler));
    framework->SetOnDrawItem(BindMethod<&TOwn::Draw>(&ownHandler));
    Data->SetDisableTag(99);

    TPopupMenuSkin skin;
    skin.Apply(form, *Data);
    EXPECT_TRUE(skinned->OwnerDraw());
    EXPECT_FALSE(left->OwnerDraw()) << "a component whose Tag says so is left alone";
    EXPECT_TRUE(static_cast<bool>(plain->OnDrawItem()));
    EXPECT_TRUE(static_cast<bool>(deep->OnDrawItem())) << "sub-items too";
    EXPECT_TRUE(own->OnDrawItem() == BindMethod<&TOwn::Draw>(&ownHandler)) << "an item's own handler stays";
    EXPECT_FALSE(static_cast<bool>(framework->OnDrawItem())) << "Tag 999: the framework's drawing";
    EXPECT_FALSE(static_cast<bool>(untouched->OnDrawItem()));
    // The skin's handler draws from the skin: the normal frame over the item.
    TBitmap target(120, 20);
    target.Canvas()->Font()->Assign(Screen()->MenuFont());
    plain->OnDrawItem()(plain, target.Canvas(), RECT{0, 0, 120, 20}, false);
    EXPECT_EQ(Pixel(target, 60, 1), ItemNormal);

    // A skin change brings the items made since in; off, everything is as it was.
    TMenuItem* later = item(skinned, "Later");
    skin.Apply(form, *Data);
    EXPECT_TRUE(static_cast<bool>(later->OnDrawItem()));
    delete deep; // an item freed while skinned is forgotten
    skin.GiveBack();
    EXPECT_FALSE(skinned->OwnerDraw());
    EXPECT_FALSE(static_cast<bool>(plain->OnDrawItem()));
    EXPECT_FALSE(static_cast<bool>(plain->OnMeasureItem()));
    EXPECT_FALSE(static_cast<bool>(later->OnDrawItem()));
    EXPECT_TRUE(own->OnDrawItem() == BindMethod<&TOwn::Draw>(&ownHandler));
    EXPECT_TRUE(framework->OnDrawItem() == BindMethod<&TOwn::Draw>(&ownHandler)) << "given back";
}

namespace {

TWinSkinPopMenu* GPopupToRelease = nullptr;
bool GPopupGone = false;

struct TWatchedPopup : TWinSkinPopMenu {
    ~TWatchedPopup() override { GPopupGone = true; }
};

// A window procedure that releases the popup object subclassing it, as a host's handler might
// free the skin while the window paints.
LRESULT CALLBACK ReleasingProc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_PAINT && GPopupToRelease != nullptr) {
        TWinSkinPopMenu* popup = std::exchange(GPopupToRelease, nullptr);
        EXPECT_FALSE(GPopupGone);
        Retire(popup);
        EXPECT_FALSE(GPopupGone) << "deleted inside its own procedure";
        ValidateRect(W, nullptr);
        return 0;
    }
    return DefWindowProcA(W, Msg, WParam, LParam);
}

} // namespace

TEST_F(TMenuItemPainterTest, APopupReleasedInsideItsOwnProcedureGoesWhenItReturns)
{
    ASSERT_TRUE(LoadSkinPackage(*Data, MenuSkin(true, true), MenuBitmaps()));
    WNDCLASSA cls{};
    cls.lpfnWndProc = ReleasingProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "ReleasingPopupTest";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 60, 40, nullptr, nullptr,
                                  cls.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    auto* popup = new TWatchedPopup();
    popup->Attach(window, Data.get());
    GPopupGone = false;
    GPopupToRelease = popup;
    SendMessageA(window, WM_PAINT, 0, 0);
    EXPECT_TRUE(GPopupGone);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)), &ReleasingProc);
    DestroyWindow(window);
    UnregisterClassA(cls.lpszClassName, cls.hInstance);
}
