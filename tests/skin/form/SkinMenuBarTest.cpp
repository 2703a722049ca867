// The skinned menu bar's buttons, built from a window's native menu (and the framework's main
// menu where the native one has no text), the bar painted from the skin, and the buttons found by
// point and by access key; then skinned windows with menus driven by real mouse and keyboard
// input: the popups, sliding between them, the keys, and the menu given back.
#include "framework/controls/Forms.h"
#include "framework/menus/Menus.h"
#include "skin/draw/SkinDraw.h"
#include "skin/form/PopupItems.h"
#include "skin/form/SkinMenuBar.h"
#include "skin/form/SkinMessages.h"
#include "tests/support/EventCounter.h"
#include "tests/support/FrameSkin.h"
#include "tests/support/Input.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

namespace {

constexpr uint32_t BarActive = 0x2040A0, BarInactive = 0x102050, BarEnds = 0xA0A000, PopupBand = 0x10A010;

// The test skin with a menu-bar element: two frames one above the other, 4-pixel ends.
bool LoadBarSkin(TSkinData& Data, bool WithBar = true, int Tile = 0)
{
    std::string ini = Description({});
    if (WithBar) {
        const std::string keys = "[Personality]\r\nmenuBar=menubar.bmp\r\nTileLeftMenu=4\r\nTileRightMenu=4\r\nTileMenu=" +
                                 std::to_string(Tile) + "\r\n";
        ini.replace(ini.find("[Personality]\r\n"), 15, keys);
    }
    ini.replace(ini.find("[Colours]\r\n"), 11, "[Colours]\r\nMenubar=10 200 30\r\nMenu=224 240 208\r\n");
    ini += "[MenuBackground]\r\nImage=menuback.bmp\r\nLeftWidth=3\r\nTopHeight=3\r\nRightWidth=3\r\nBottomHeight=3\r\n";
    std::vector<TPackageEntry> bitmaps = Bitmaps();
    bitmaps.push_back(TPackageEntry{"menuback.bmp", Bmp(12, 12, [](int x, int y) {
                                        return x < 3 || y < 3 || x >= 9 || y >= 9 ? PopupBand : 0xF0F0E0u;
                                    })});
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

    TWinSkinMenu bar(nullptr, Window, Data.get());
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
        TWinSkinMenu bar(nullptr, Window, Data.get());
        bar.SetMainMenu(Menu.get());
        bar.BuildButtons();
        SetMenu(Window, Menu->Handle()); // for the next case
        ASSERT_EQ(bar.Buttons().size(), 4u);
        bar.PaintBar(dc, r, Form->FrameState(), Form->Buttons());
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

TEST(TSkinMenuBarItems, OwnerDrawMarksReachEverySubMenuAndGoBack)
{
    const HMENU popup = CreatePopupMenu(), inner = CreatePopupMenu();
    AppendMenuA(inner, MF_STRING, 11, "Inner");
    AppendMenuA(popup, MF_STRING | MF_CHECKED, 10, "Item");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), "Deeper");
    auto type = [](HMENU Menu, UINT Position) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(Menu, Position, TRUE, &info);
        return info.fType;
    };
    const UINT before[3] = {type(popup, 0), type(popup, 1), type(popup, 2)};
    const std::vector<TItemTypeMark> marks = SetOwnerDrawItems(popup, true);
    EXPECT_EQ(marks.size(), 4u);
    for (UINT i = 0; i < 3; ++i)
        EXPECT_NE(type(popup, i) & MFT_OWNERDRAW, 0u);
    EXPECT_NE(type(inner, 0) & MFT_OWNERDRAW, 0u);
    RestoreItemTypes(marks);
    for (UINT i = 0; i < 3; ++i)
        EXPECT_EQ(type(popup, i), before[i]);
    EXPECT_EQ(type(inner, 0) & MFT_OWNERDRAW, 0u);
    char text[16]{};
    GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Item") << "the item keeps its text";
    EXPECT_EQ(GetMenuState(popup, 0, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));

    // The host changes the popup while it is open (a list of recent files refreshed): an item put
    // in front, one made anew. Each item gets its own type back, wherever it is now.
    const std::vector<TItemTypeMark> again = SetOwnerDrawItems(popup, true);
    InsertMenuA(popup, 0, MF_BYPOSITION | MF_STRING, 20, "Recent");
    DeleteMenu(popup, 10, MF_BYCOMMAND);
    InsertMenuA(popup, 1, MF_BYPOSITION | MF_STRING, 10, "Item again");
    RestoreItemTypes(again);
    EXPECT_EQ(type(popup, 0), static_cast<UINT>(MFT_STRING)) << "the added item keeps its own type";
    EXPECT_EQ(type(popup, 1), static_cast<UINT>(MFT_STRING)) << "the item made anew keeps its own type";
    EXPECT_EQ(type(popup, 2), before[1]) << "the separator, one place down, is a separator again";
    EXPECT_EQ(type(popup, 3), before[2]) << "the sub-menu's item";
    DestroyMenu(popup);
}

namespace {

// A top-level item as the native menu holds it.
struct TNativeItem {
    std::string Text;
    UINT State, Id, Type;
    HMENU Sub;
    bool operator==(const TNativeItem& o) const
    {
        return Text == o.Text && State == o.State && Id == o.Id && Type == o.Type && Sub == o.Sub;
    }
};

std::vector<TNativeItem> ItemsOf(HMENU Menu)
{
    // (Depth first: each popup item is followed by its popup's items.)
    std::vector<TNativeItem> items;
    for (int i = 0; i < GetMenuItemCount(Menu); ++i) {
        char text[80]{};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        GetMenuItemInfoA(Menu, static_cast<UINT>(i), TRUE, &info);
        // (The platform leaves the last selected item highlighted: that state is its own.)
        items.push_back(TNativeItem{text, info.fState & ~MFS_HILITE, info.wID, info.fType, info.hSubMenu});
        // The items of the popups too: the skin marks them owner-drawn only while one is open.
        if (info.hSubMenu != nullptr)
            for (const TNativeItem& inner : ItemsOf(info.hSubMenu))
                items.push_back(inner);
    }
    return items;
}

// A form with a main menu: File (New, Open), Edit (a sub-menu first, a disabled item), Go (no
// popup: a command), View (disabled), Help (About); each item counts its clicks.
struct TMenuBarFormTest : TSkinnedFormsTest {
    void StartBarSkinning()
    {
        ASSERT_TRUE(LoadBarSkin(*Data));
        Data->SkinChanged();
        Manager = SkinManager();
        Manager->SetCurrentSkinData(nullptr);
        Manager->SetActivationCount(0);
        Data->SetActive(true);
    }
    TForm& MenuForm()
    {
        TForm& form = NewForm(360, 160, "Menus");
        Menu = new TMainMenu(&form);
        auto add = [&](TMenuItem* Parent, const char* Caption) {
            auto* item = new TMenuItem(&form);
            item->SetCaption(Caption);
            Clicks.push_back(std::make_unique<TEventCounter>());
            item->SetOnClick(Clicks.back()->Event());
            Parent->Add(item);
            return item;
        };
        TMenuItem* file = add(Menu->Items(), "&File");
        New = add(file, "&New");
        add(file, "&Open");
        TMenuItem* edit = add(Menu->Items(), "&Edit");
        add(add(edit, "&Deeper"), "&Inner");
        add(edit, "&Undo")->SetEnabled(false);
        Go = add(Menu->Items(), "&Go");
        TMenuItem* view = add(Menu->Items(), "&View");
        add(view, "&Item");
        view->SetEnabled(false);
        add(add(Menu->Items(), "&Help"), "&About");
        form.SetMenu(Menu);
        return form;
    }
    int ClicksOf(TMenuItem* Item)
    {
        for (auto& counter : Clicks)
            if (counter->Sender == Item)
                return counter->Count;
        return 0;
    }
    // The screen point inside button Index of the skinned bar.
    POINT ButtonPoint(TWinSkinForm& Skin, int Index)
    {
        RECT window{};
        GetWindowRect(Skin.Handle(), &window);
        const RECT& r = Skin.SkinMenu()->Button(Index)->BoundsRect;
        return POINT{window.left + (r.left + r.right) / 2, window.top + (r.top + r.bottom) / 2};
    }
    TMainMenu* Menu = nullptr;
    TMenuItem* New = nullptr;
    TMenuItem* Go = nullptr;
    std::vector<std::unique_ptr<TEventCounter>> Clicks;
};

} // namespace

TEST_F(TMenuBarFormTest, TheBarTakesTheMenuOverFollowsItsChangesAndGivesTheSameMenuBack)
{
    StartBarSkinning();
    TForm& form = MenuForm();
    auto* context = new TPopupMenu(&form);
    auto* contextItem = new TMenuItem(&form);
    contextItem->SetCaption("Context");
    context->Items()->Add(contextItem);
    const HMENU native = GetMenu(form.Handle());
    ASSERT_NE(native, nullptr);
    const std::vector<TNativeItem> items = ItemsOf(native);
    const SIZE client = ClientSize(form.Handle()), window = WindowSize(form.Handle());
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->SkinMenu(), nullptr);
    EXPECT_EQ(GetMenu(form.Handle()), nullptr) << "no native bar under the skin's";
    const int barTop = skin->Frame().BorderTop(), barHeight = GetSystemMetrics(SM_CYMENU);
    EXPECT_EQ(skin->Frame().MenuHeight(), barHeight);
    EXPECT_TRUE(context->OwnerDraw()) << "the form's popup menus draw from the skin";
    EXPECT_TRUE(static_cast<bool>(contextItem->OnDrawItem()));
    EXPECT_EQ(ClientSize(form.Handle()).cx, client.cx);
    EXPECT_EQ(ClientSize(form.Handle()).cy, client.cy) << "the bar's band is added to the frame, not taken from the client";
    ASSERT_EQ(skin->SkinMenu()->Buttons().size(), 5u);

    // The bar is the skin's, in the active and then the inactive frame; the band hit-tests as a menu.
    const int middleX = WindowSize(form.Handle()).cx - BorderWidth - 20, bottomY = barTop + barHeight - 1;
    EXPECT_EQ(WindowPixel(form.Handle(), middleX, bottomY), BarActive);
    RECT r{};
    GetWindowRect(form.Handle(), &r);
    EXPECT_EQ(SendMessageA(form.Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + middleX, r.top + barTop + 2)), HTMENU);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 700, 500, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    Pump(200);
    EXPECT_EQ(WindowPixel(form.Handle(), middleX, bottomY), BarInactive);
    DestroyWindow(other);
    ShowSkinned(form);

    // The mouse over a button makes it hot; the hover timer takes that away once it leaves.
    MouseInput(ButtonPoint(*skin, 1), false);
    Pump(100);
    EXPECT_EQ(skin->FrameState().Hot, skin->SkinMenu()->Button(1));
    EXPECT_EQ(skin->SkinMenu()->Button(1)->State, btHot);
    MouseInput(POINT{0, 0}, false);
    Pump(400);
    EXPECT_EQ(skin->FrameState().Hot, nullptr);

    // A changed item reaches the bar; the window still has no native bar.
    Menu->Items()->Items(0)->SetCaption("&Files");
    Pump(100);
    EXPECT_EQ(skin->SkinMenu()->Button(0)->Caption, "&Files");
    EXPECT_EQ(GetMenu(form.Handle()), nullptr);
    Menu->Items()->Items(0)->SetCaption("&File");
    Pump(100);

    // Switched off: the same menu with the same items, and the window's own size.
    Data->SetActive(false);
    Pump(400);
    EXPECT_EQ(GetMenu(form.Handle()), native);
    EXPECT_TRUE(ItemsOf(native) == items);
    EXPECT_FALSE(context->OwnerDraw());
    EXPECT_FALSE(static_cast<bool>(contextItem->OnDrawItem()));
    EXPECT_EQ(WindowSize(form.Handle()).cy, window.cy);
    EXPECT_EQ(ClientSize(form.Handle()).cy, client.cy);
    form.Hide();
}

TEST_F(TMenuBarFormTest, PopupsSlideByKeysAndMouseAndTheFilterLivesOnlyWhileOneIsOpen)
{
    StartBarSkinning();
    TForm& form = MenuForm();
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->SkinMenu(), nullptr);
    const HMENU filePopup = skin->SkinMenu()->Button(0)->SubMenu;
    bool hookWhileOpen = false, tracking = false, firstSelected = false, bandCorners = false;
    POINT popupAt{0, 0};
    auto waitIndex = [](int Index) { return [Index] { return TMenuTracking::TrackedIndex() == Index && OpenMenuWindows() == 1; }; };
    TInputScript script;
    script.Then([&] { MouseInput(ButtonPoint(*skin, 0), true); return true; })
        .Then(waitIndex(0))
        .Then([&] {
            // The first item selected by the first key, the popup under its button.
            if ((GetMenuState(filePopup, 0, MF_BYPOSITION) & MF_HILITE) == 0)
                return false;
            firstSelected = true;
            hookWhileOpen = TMenuTracking::FilterInstalled();
            tracking = skin->MenuTracking() && skin->TrackedMenu() == filePopup;
            RECT popup{};
            HWND window = FindWindowA("#32768", nullptr);
            GetWindowRect(window, &popup);
            popupAt = POINT{popup.left, popup.top};
            // The popup's border band is the skin's, on every side.
            bandCorners = WindowPixel(window, 1, 1) == PopupBand &&
                          WindowPixel(window, popup.right - popup.left - 2, popup.bottom - popup.top - 2) == PopupBand;
            TapKey(VK_RIGHT);
            return true;
        })
        .Then(waitIndex(1))
        .Then([] { TapKey(VK_RIGHT); return true; }) // "Deeper" has a sub-menu: Right opens it
        .Then([] { return OpenMenuWindows() == 2 && TMenuTracking::TrackedIndex() == 1; })
        .Then([] { TapKey(VK_RIGHT); return true; }) // from inside it: past Go and the disabled View
        .Then(waitIndex(4))
        .Then([] { TapKey(VK_LEFT); return true; })
        .Then(waitIndex(1))
        .Then([] { TapKey(VK_LEFT); return true; })
        .Then(waitIndex(0))
        .Then([] { TapKey(VK_LEFT); return true; }) // wraps around
        .Then(waitIndex(4))
        .Then([&] { MouseInput(ButtonPoint(*skin, 1), false); return true; }) // sliding by mouse
        .Then(waitIndex(1))
        .Then([&] { MouseInput(ButtonPoint(*skin, 2), false); return true; }) // Go opens nothing: stays
        .Then([] { Sleep(150); return TMenuTracking::TrackedIndex() == 1; })
        .Then([] { TapKey(VK_ESCAPE); return true; })
        .Then([] { return OpenMenuWindows() == 0 && TMenuTracking::TrackedIndex() == -1; });
    ASSERT_TRUE(script.Run(10000)) << "stuck at a step; tracked " << TMenuTracking::TrackedIndex();
    EXPECT_TRUE(firstSelected);
    EXPECT_TRUE(bandCorners);
    EXPECT_TRUE(Manager->SkinnedPopups().empty()) << "the popup windows are gone, and their objects";
    EXPECT_TRUE(hookWhileOpen);
    EXPECT_TRUE(tracking);
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(popupAt.x, window.left + skin->SkinMenu()->Button(0)->BoundsRect.left);
    EXPECT_EQ(popupAt.y, window.top + skin->SkinMenu()->Button(0)->BoundsRect.bottom);
    EXPECT_FALSE(TMenuTracking::FilterInstalled());
    EXPECT_FALSE(skin->MenuTracking());
    EXPECT_EQ(ClicksOf(Go), 0) << "sliding never runs a command";
    form.Hide();
}

TEST_F(TMenuBarFormTest, KeysReachTheBarAndAChosenItemRunsOnce)
{
    StartBarSkinning();
    TForm& form = MenuForm();
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->SkinMenu(), nullptr);
    const HMENU filePopup = skin->SkinMenu()->Button(0)->SubMenu;

    // Alt+F opens File with its first item selected; Return chooses it, once.
    TInputScript choose;
    choose.Then([] { TapKey('F', VK_MENU); return true; })
        .Then([&] { return TMenuTracking::TrackedIndex() == 0 && (GetMenuState(filePopup, 0, MF_BYPOSITION) & MF_HILITE) != 0; })
        .Then([] { TapKey(VK_RETURN); return true; })
        .Then([] { return OpenMenuWindows() == 0; });
    ASSERT_TRUE(choose.Run());
    Pump(100);
    EXPECT_EQ(ClicksOf(New), 1);

    // A button without a popup is its own command; a disabled one does nothing.
    MouseInput(ButtonPoint(*skin, 2), true);
    Pump(200);
    EXPECT_EQ(ClicksOf(Go), 1);
    MouseInput(ButtonPoint(*skin, 3), true);
    Pump(200);
    EXPECT_EQ(OpenMenuWindows(), 0);
    EXPECT_EQ(ClicksOf(Menu->Items()->Items(3)), 0);
    MouseInput(POINT{0, 0}, false);

    // Alt alone and F10 open the first menu, as the platform's bar would be entered (the
    // arrows go on from there). Alt+Space still opens the system menu.
    int systemMenus = 0;
    TInputScript keys;
    for (WORD key : {WORD(VK_MENU), WORD(VK_F10)})
        keys.Then([key] { TapKey(key); return true; })
            .Then([] { return TMenuTracking::TrackedIndex() == 0 && OpenMenuWindows() == 1; })
            .Then([] { TapKey(VK_RIGHT); return true; })
            .Then([] { return TMenuTracking::TrackedIndex() == 1 && OpenMenuWindows() == 1; })
            .Then([] { TapKey(VK_ESCAPE); return true; })
            .Then([] { return OpenMenuWindows() == 0; });
    keys.Then([] { TapKey(VK_SPACE, VK_MENU); return true; })
        .Then([&] {
            systemMenus = OpenMenuWindows();
            return systemMenus == 1;
        })
        .Then([] { TapKey(VK_ESCAPE); return true; })
        .Then([] { return OpenMenuWindows() == 0; });
    EXPECT_TRUE(keys.Run());
    EXPECT_EQ(systemMenus, 1);

    // A right-to-left menu: Left goes on to the next button.
    Menu->SetBiDiMode(bdRightToLeft);
    Pump(100);
    TInputScript rtl;
    rtl.Then([&] { MouseInput(ButtonPoint(*skin, 0), true); return true; })
        .Then([] { return TMenuTracking::TrackedIndex() == 0 && OpenMenuWindows() == 1; })
        .Then([] { TapKey(VK_LEFT); return true; })
        .Then([] { return TMenuTracking::TrackedIndex() == 1; })
        .Then([] { TapKey(VK_ESCAPE); return true; })
        .Then([] { return OpenMenuWindows() == 0; });
    EXPECT_TRUE(rtl.Run()) << "tracked " << TMenuTracking::TrackedIndex();
    EXPECT_FALSE(TMenuTracking::FilterInstalled());
    form.Hide();
}

// The keyboard reaches a bare window's skinned bar from a control that has the focus (an edit, as
// in notepad): Alt+letter, Alt alone and F10, as they reach the platform's bar.
TEST_F(TMenuBarFormTest, TheBarIsReachedByKeysFromAControlWithTheFocus)
{
    StartBarSkinning();
    const HMENU menu = CreateMenu(), file = CreatePopupMenu(), tools = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Close");
    AppendMenuA(tools, MF_STRING, 102, "&Item");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), "&Tools");
    HWND window = CreateWindowExA(0, "#32770", "Keys", WS_POPUP | WS_CAPTION | WS_SYSMENU, 300, 200, 300, 160,
                                  nullptr, menu, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "text", WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, window,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    for (int i = 0; i < 60 && (Manager->FindSkinForm(window) == nullptr || GetForegroundWindow() != window); ++i) {
        SetForegroundWindow(window);
        Pump(25);
    }
    Pump(150);
    ASSERT_NE(Manager->FindSkinForm(window), nullptr);
    ASSERT_NE(Manager->FindSkinForm(window)->SkinMenu(), nullptr);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    TInputScript keys;
    keys.Then([] { TapKey('T', VK_MENU); return true; })
        .Then([] { return TMenuTracking::TrackedIndex() == 1 && OpenMenuWindows() == 1; })
        .Then([] { TapKey(VK_ESCAPE); return true; })
        .Then([] { return OpenMenuWindows() == 0; });
    for (WORD key : {WORD(VK_MENU), WORD(VK_F10)})
        keys.Then([edit] { SetFocus(edit); return true; })
            .Then([key] { TapKey(key); return true; })
            .Then([] { return TMenuTracking::TrackedIndex() == 0 && OpenMenuWindows() == 1; })
            .Then([] { TapKey(VK_ESCAPE); return true; })
            .Then([] { return OpenMenuWindows() == 0; });
    EXPECT_TRUE(keys.Run()) << "tracked " << TMenuTracking::TrackedIndex() << ", " << OpenMenuWindows() << " menus open";
    DestroyWindow(window);
}

TEST_F(TMenuBarFormTest, ABareWindowsMenuComesBackWhenTheSkinOrTheWindowGoesInsideAPopup)
{
    StartBarSkinning();
    const HMENU menu = CreateMenu(), file = CreatePopupMenu(), tools = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Close");
    AppendMenuA(tools, MF_STRING, 102, "&Item");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), "&Tools");
    const std::vector<TNativeItem> items = ItemsOf(menu);
    HWND dialog = CreateWindowExA(0, "#32770", "Bare", WS_POPUP | WS_CAPTION | WS_SYSMENU, 300, 200, 300, 160, nullptr,
                                  menu, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    auto skinned = [&] {
        ShowWindow(dialog, SW_SHOW);
        for (int i = 0; i < 60 && (Manager->FindSkinForm(dialog) == nullptr || GetMenu(dialog) != nullptr); ++i) {
            SetForegroundWindow(dialog);
            Pump(25);
        }
        Pump(150);
        return Manager->FindSkinForm(dialog);
    };
    TWinSkinForm* skin = skinned();
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->SkinMenu(), nullptr);
    ASSERT_EQ(skin->SkinMenu()->Buttons().size(), 2u);

    // Alt+T (through the system's key command: no framework here) opens Tools; the skin goes
    // while it is open.
    bool popupSkinned = false, popupGivenBack = false;
    TInputScript off;
    off.Then([] { TapKey('T', VK_MENU); return true; })
        .Then([] { return TMenuTracking::TrackedIndex() == 1 && OpenMenuWindows() == 1; })
        .Then([&] {
            popupSkinned = SendMessageA(FindWindowA("#32768", nullptr), SKM_QUERY, 0, 0) == 1;
            Data->SetActive(false);
            return true;
        })
        .Then([&] { return GetMenu(dialog) == menu; })
        .Then([&] {
            popupGivenBack = SendMessageA(FindWindowA("#32768", nullptr), SKM_QUERY, 0, 0) == 0;
            return true;
        })
        .Then([] { TapKey(VK_ESCAPE); return true; })
        .Then([] { return OpenMenuWindows() == 0; });
    ASSERT_TRUE(off.Run()) << "tracked " << TMenuTracking::TrackedIndex();
    EXPECT_TRUE(popupSkinned);
    EXPECT_TRUE(popupGivenBack) << "the open popup's window has its own procedure back";
    Pump(300);
    EXPECT_FALSE(TMenuTracking::FilterInstalled());
    EXPECT_EQ(Manager->FindSkinForm(dialog), nullptr);
    EXPECT_EQ(GetMenu(dialog), menu);
    EXPECT_TRUE(ItemsOf(menu) == items);

    // Skinned again, and the window destroyed while a popup is open: the hook goes, and the
    // menu with the window, as it would without the skin.
    Data->SetActive(true);
    ShowWindow(dialog, SW_HIDE); // a bare window is skinned as it is activated
    Pump(400);
    skin = skinned();
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->SkinMenu(), nullptr);
    TInputScript gone;
    gone.Then([&] { MouseInput(ButtonPoint(*skin, 0), true); return true; })
        .Then([] { return TMenuTracking::TrackedIndex() == 0 && OpenMenuWindows() == 1; })
        .Then([&] { DestroyWindow(dialog); return true; })
        .Then([] { return OpenMenuWindows() == 0; });
    EXPECT_TRUE(gone.Run());
    Pump(100);
    EXPECT_FALSE(TMenuTracking::FilterInstalled());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(IsMenu(menu));
}

namespace {

// A host that fills its File popup as it opens: a recent file added once, and its Open item
// written anew (a plain string again), as a host refreshing its items' states does.
LRESULT CALLBACK RecentFilesProc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_INITMENUPOPUP && HIWORD(LParam) == 0) {
        const auto popup = reinterpret_cast<HMENU>(WParam);
        if (GetMenuItemCount(popup) == 2)
            AppendMenuA(popup, MF_STRING, 203, "&1 recent.txt");
        ModifyMenuA(popup, 201, MF_BYCOMMAND | MF_STRING, 201, "&Open");
    }
    return DefWindowProcA(W, Msg, WParam, LParam);
}

// The ground of each item of the open popup Menu, read at its right end, and whether each is
// owner-drawn.
void ReadOpenPopup(HMENU Menu, std::vector<uint32_t>& Grounds, std::vector<bool>& OwnerDrawn)
{
    const HWND window = FindWindowA("#32768", nullptr);
    RECT popup{};
    GetWindowRect(window, &popup);
    for (int i = 0; i < GetMenuItemCount(Menu); ++i) {
        RECT item{};
        GetMenuItemRect(nullptr, Menu, static_cast<UINT>(i), &item);
        Grounds.push_back(WindowPixel(window, item.right - 6 - popup.left, (item.top + item.bottom) / 2 - popup.top));
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(Menu, static_cast<UINT>(i), TRUE, &info);
        OwnerDrawn.push_back((info.fType & MFT_OWNERDRAW) != 0);
    }
}

} // namespace

TEST_F(TMenuBarFormTest, ItemsTheHostAddsOrRetypesAsAPopupOpensAndAnOwnerDrawnMainMenuAreDrawnFromTheSkin)
{
    StartBarSkinning();
    const uint32_t platform = GetSysColor(COLOR_MENU);
    constexpr uint32_t skinGround = 0xE0F0D0; // the skin's "Menu" colour
    auto openFile = [&](TWinSkinForm& Skin, HMENU File, std::vector<uint32_t>& Grounds, std::vector<bool>& OwnerDrawn) {
        TInputScript script;
        script.Then([&] { MouseInput(ButtonPoint(Skin, 0), true); return true; })
            .Then([] { return TMenuTracking::TrackedIndex() == 0 && OpenMenuWindows() == 1; })
            .Then([] { Sleep(150); return true; })
            .Then([&] { ReadOpenPopup(File, Grounds, OwnerDrawn); TapKey(VK_ESCAPE); return true; })
            .Then([] { return OpenMenuWindows() == 0; });
        return script.Run();
    };

    // A bare window's popup filled as it opens: the items it added and wrote anew are the skin's.
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecentFilesProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "RecentFilesHost";
    RegisterClassA(&wc);
    const HMENU menu = CreateMenu(), file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 200, "&New");
    AppendMenuA(file, MF_STRING, 201, "&Open");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    HWND host = CreateWindowExA(0, "RecentFilesHost", "Recent", WS_OVERLAPPEDWINDOW, 300, 200, 320, 180, nullptr, menu,
                                GetModuleHandleA(nullptr), nullptr);
    ShowWindow(host, SW_SHOW);
    for (int i = 0; i < 60 && (Manager->FindSkinForm(host) == nullptr || GetMenu(host) != nullptr); ++i) {
        SetForegroundWindow(host);
        Pump(25);
    }
    Pump(150);
    TWinSkinForm* skin = Manager->FindSkinForm(host);
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->SkinMenu(), nullptr);
    std::vector<uint32_t> grounds;
    std::vector<bool> ownerDrawn;
    ASSERT_TRUE(openFile(*skin, file, grounds, ownerDrawn));
    ASSERT_EQ(grounds.size(), 3u);
    for (size_t i = 1; i < grounds.size(); ++i) {
        EXPECT_TRUE(ownerDrawn[i]) << "item " << i;
        EXPECT_EQ(grounds[i], skinGround) << "item " << i << " (the platform's is " << std::hex << platform << ")";
    }
    // Closed, every item has its own type again, the added one included.
    for (int i = 0; i < GetMenuItemCount(file); ++i)
        EXPECT_EQ(GetMenuState(file, static_cast<UINT>(i), MF_BYPOSITION) & MF_OWNERDRAW, 0u) << "item " << i;
    DestroyWindow(host);
    Pump(100);

    // A framework main menu that draws its items itself: under the skin, the skin draws them.
    TForm& form = MenuForm();
    Menu->SetOwnerDraw(true);
    skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->SkinMenu(), nullptr);
    grounds.clear();
    ownerDrawn.clear();
    ASSERT_TRUE(openFile(*skin, skin->SkinMenu()->Button(0)->SubMenu, grounds, ownerDrawn));
    ASSERT_EQ(grounds.size(), 2u);
    EXPECT_EQ(grounds[1], skinGround) << "the platform's is " << std::hex << platform;
    form.Hide();
}
