// Tab controls from a skin whose tab frames have a top half and a bottom half of their own
// colours, read back by pixel: tabs at the top as they are, at the bottom flipped and below the
// page, at the left composed lying down and turned; the selected tab's frame, the page border,
// the native look without the element, discovery and the window given back.
#include "skin/controls/SkinTabs.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Tabs.h"
#include "skin/controls/SkinEdits.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinPackages.h"
#include "tests/support/WindowPixels.h"
#include "tests/support/SkinnedHost.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

namespace {

// 0x00RRGGBB: frame 1 (a tab) light above, dark below; frame 2 (the focused tab) its own pair.
constexpr uint32_t TabTop = 0xE0A0A0, TabBottom = 0x602020, FocusTop = 0xA0E0A0, FocusBottom = 0x206020;
constexpr uint32_t BorderColour = 0x2040C0;

std::string Description(bool WithTabs)
{
    std::string ini = "[TitlebarSkin]\r\nSkinName=Tabs\r\n[Colours]\r\nButtonFace=200 200 200\r\n";
    if (WithTabs)
        ini += "[Tabs]\r\nImage=tabs.bmp\r\nBorder=border.bmp\r\nTrans=0\r\n";
    return ini;
}

std::vector<TPackageEntry> Bitmaps()
{
    const std::string tabs = Bmp(100, 20, [](int x, int y) {
        const int frame = x / 20;
        if (frame == 1)
            return y < 10 ? FocusTop : FocusBottom;
        return y < 10 ? TabTop : TabBottom;
    });
    return {{"tabs.bmp", tabs}, {"border.bmp", Bmp(16, 16, [](int, int) { return BorderColour; })}};
}

RECT ItemRect(HWND W, int Index)
{
    RECT r{};
    SendMessageA(W, TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return r;
}

struct TSkinTabsTest : TSkinnedHostTest {
    void SetUp() override
    {
        OpenHost(0, 0, 420, 300, true);
        ASSERT_TRUE(LoadSkinPackage(*Data, Description(true), Bitmaps()));
    }
    TTabControl* MakeTabs(TTabPosition Position)
    {
        auto* tabs = new TTabControl(Host.get());
        tabs->SetParent(Host.get());
        tabs->SetBounds(10, 10, 300, 200);
        tabs->SetTabPosition(Position);
        for (const char* caption : {"First", "Second", "Third"})
            tabs->Tabs()->Add(caption);
        tabs->SetTabIndex(0);
        tabs->HandleNeeded();
        return tabs;
    }
    TSkinTab* Attach(TTabControl* Tabs)
    {
        auto* adaptor = new TSkinTab(&Skin->AdaptorSet());
        adaptor->AttachWindow(Tabs->Handle(), Data.get(), Skin->AdaptorSet().Canvas());
        RedrawWindow(Tabs->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return adaptor;
    }

};

} // namespace

TEST_F(TSkinTabsTest, TabsAtTheTopBottomAndLeftFromTheirFramesAndThePageBorder)
{
    // At the top: the tab frames as they are, the selected (focused) one in frame 2.
    TTabControl* top = MakeTabs(tpTop);
    HWND w = top->Handle();
    const WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWLP_WNDPROC));
    TSkinTab* adaptor = Attach(top);
    EXPECT_EQ(adaptor->TabPosition(), 0);
    RECT first = ItemRect(w, 0), second = ItemRect(w, 1);
    EXPECT_EQ(WindowPixel(w, first.left + 2, first.top + 3), FocusTop);
    EXPECT_EQ(WindowPixel(w, second.left + 2, second.top + 3), TabTop);
    EXPECT_EQ(WindowPixel(w, second.left + 2, second.bottom - 2), TabBottom);
    // The page border around the page.
    RECT page{0, 0, 300, 200};
    SendMessageA(w, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    EXPECT_EQ(WindowPixel(w, page.left - 3, (page.top + page.bottom) / 2), BorderColour);
    EXPECT_EQ(WindowPixel(w, page.right + 2, (page.top + page.bottom) / 2), BorderColour);
    // The skin paints the whole control: the page's ground is the skin's face, not the control's,
    // and a windowless control on the page is painted on it.
    EXPECT_EQ(WindowPixel(w, (page.left + page.right) / 2, (page.top + page.bottom) / 2), 0xC8C8C8u);
    auto* image = new TImage(Host.get());
    image->Picture()->Bitmap()->SetSize(20, 20);
    image->Picture()->Bitmap()->Canvas()->Brush()->SetColor(clRed);
    image->Picture()->Bitmap()->Canvas()->FillRect(RECT{0, 0, 20, 20});
    image->SetBounds(page.left + 10, page.top + 10, 20, 20);
    image->SetParent(top);
    UpdateWindow(w);
    EXPECT_EQ(WindowPixel(w, page.left + 20, page.top + 20), 0xFF0000u);
    delete image;
    // Given back: the procedure, and the tab control's own look.
    delete adaptor;
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWLP_WNDPROC)), original);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_NE(WindowPixel(w, second.left + 2, second.top + 3), TabTop);
    delete top;

    // At the bottom: below the page, flipped (the dark half at the bottom edge of the frame is now
    // next to the page, above).
    TTabControl* bottom = MakeTabs(tpBottom);
    w = bottom->Handle();
    adaptor = Attach(bottom);
    EXPECT_EQ(adaptor->TabPosition(), 1);
    second = ItemRect(w, 1);
    page = RECT{0, 0, 300, 200};
    SendMessageA(w, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    EXPECT_GE(second.top, page.bottom);
    EXPECT_EQ(WindowPixel(w, second.left + 2, second.top + 1), TabBottom);
    EXPECT_EQ(WindowPixel(w, second.left + 2, second.bottom - 4), TabTop);
    delete adaptor;
    delete bottom;

    // At the left: composed lying down as long as the control is high, then turned counter-
    // clockwise, so the frame's top half lies on the outer (left) side of each tab.
    TTabControl* left = MakeTabs(tpLeft);
    w = left->Handle();
    adaptor = Attach(left);
    EXPECT_EQ(adaptor->TabPosition(), 2);
    second = ItemRect(w, 1);
    const int y = (second.top + second.bottom) / 2 + 4;
    EXPECT_EQ(WindowPixel(w, second.left + 1, y), TabTop);
    EXPECT_EQ(WindowPixel(w, second.right - 2, y), TabBottom);
    // A skin whose tabs have no page border: the control's own look, none of the last skin's.
    ASSERT_TRUE(LoadSkinPackage(*Data, Description(false) + "[Tabs]\r\nImage=tabs.bmp\r\nTrans=0\r\n", Bitmaps()));
    adaptor->SkinChanged();
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_NE(WindowPixel(w, second.left + 1, y), TabTop);
    delete adaptor;

    // No "Tabs" element: the control's own look.
    ASSERT_TRUE(LoadSkinPackage(*Data, Description(false), Bitmaps()));
    adaptor = Attach(left);
    EXPECT_NE(WindowPixel(w, second.left + 1, y), TabTop);
    delete adaptor;
    delete left;
}

TEST_F(TSkinTabsTest, TheFocusedTabAndTheScrollArrows)
{
    // Buttons-style tabs can have the focus on another tab than the selected one: the focused
    // one shows frame 2.
    HWND w = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | TCS_BUTTONS, 10, 10, 300, 100,
                             Host->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    // More tabs than fit on one line: the arrows show.
    HWND many = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, 10, 120, 150, 100, Host->Handle(),
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    for (HWND tabs : {w, many})
        for (int i = 0; i < (tabs == w ? 3 : 12); ++i) {
            std::string caption = "Tab " + std::to_string(i + 1);
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = caption.data();
            SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
    SendMessageA(w, TCM_SETCURSEL, 0, 0);
    SendMessageA(w, TCM_SETCURFOCUS, 1, 0);
    ASSERT_EQ(SendMessageA(w, TCM_GETCURSEL, 0, 0), 0);
    auto* focus = new TSkinTab(&Skin->AdaptorSet());
    focus->AttachWindow(w, Data.get(), Skin->AdaptorSet().Canvas());
    auto* scrolled = new TSkinTab(&Skin->AdaptorSet());
    scrolled->AttachWindow(many, Data.get(), Skin->AdaptorSet().Canvas());
    for (HWND tabs : {w, many})
        RedrawWindow(tabs, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const RECT first = ItemRect(w, 0), second = ItemRect(w, 1);
    EXPECT_EQ(WindowPixel(w, first.left + 2, first.top + 3), TabTop);
    EXPECT_EQ(WindowPixel(w, second.left + 2, second.top + 3), FocusTop);

    // The arrows are the up-down adaptor's: the strip leaves their rectangle alone.
    ASSERT_NE(scrolled->Arrows(), nullptr);
    HWND arrows = scrolled->Arrows()->Handle();
    RECT a{}, window{};
    GetWindowRect(arrows, &a);
    GetWindowRect(many, &window);
    const int ax = (a.left + a.right) / 2 - window.left, ay = a.top + 2 - window.top;
    for (uint32_t strip : {TabTop, TabBottom, FocusTop, FocusBottom})
        EXPECT_NE(WindowPixel(many, ax, ay), strip);
    EXPECT_EQ(WindowPixel(arrows, 0, 0), WindowPixel(many, a.left - window.left, a.top - window.top));
    delete focus;
    delete scrolled;
    DestroyWindow(w);
    DestroyWindow(many);
}

TEST_F(TSkinTabsTest, DiscoveryAttachesTabControlsAndPageControlsAndOwnerDrawnOnesKeepTheirLook)
{
    TTabControl* tabs = MakeTabs(tpTop);
    auto* pages = new TPageControl(Host.get());
    pages->SetParent(Host.get());
    pages->SetBounds(10, 220, 300, 70);
    pages->HandleNeeded();
    Skin->AttachForm(Data.get(), Host.get());
    EXPECT_NE(dynamic_cast<TSkinTab*>(Skin->AdaptorSet().FindAdaptor(tabs->Handle())), nullptr);
    EXPECT_NE(dynamic_cast<TSkinTab*>(Skin->AdaptorSet().FindAdaptor(pages->Handle())), nullptr);
    // A second walk attaches nothing twice; the skin going gives both back.
    const size_t count = Skin->AdaptorSet().Adaptors().size();
    Skin->AdaptorSet().AttachControls(Host.get());
    EXPECT_EQ(Skin->AdaptorSet().Adaptors().size(), count);
    Skin->Unskin();
    EXPECT_TRUE(Skin->AdaptorSet().Adaptors().empty());

    auto child = [&](DWORD Style) {
        return CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | Style, 320, 10, 90, 60, Host->Handle(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    };
    HWND plain = child(0), owner = child(TCS_OWNERDRAWFIXED);
    Skin->AdaptorSet().AttachChildWindows();
    EXPECT_NE(dynamic_cast<TSkinTab*>(Skin->AdaptorSet().FindAdaptor(plain)), nullptr);
    EXPECT_EQ(Skin->AdaptorSet().FindAdaptor(owner), nullptr);
    Skin->AdaptorSet().ReleaseAdaptors();
    DestroyWindow(plain);
    DestroyWindow(owner);
}

// The tabs are drawn where the tab set hit-tests them, and choosing one leaves the scroll arrows
// on the screen.
TEST_F(TSkinTabsTest, ATabSetsTabsAreDrawnWhereTheyAreClickedAndItsArrowsStay)
{
    auto* set = new TTabSet(Host.get());
    set->SetParent(Host.get());
    set->SetBounds(10, 220, 220, 24);
    for (const char* caption : {"One", "Two", "Three", "Four", "Five", "Six", "Seven"})
        set->Tabs()->Add(caption);
    set->SetTabIndex(1);
    set->HandleNeeded();
    auto* adaptor = new TSkinTab31(&Skin->AdaptorSet());
    adaptor->AttachControl(set, Data.get(), false, Skin->AdaptorSet().Canvas());
    HWND w = set->Handle();
    ASSERT_TRUE(set->Scroller()->Visible());
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // The selected tab's frame spans the tab set's own rectangle for it, to its right end.
    const RECT second = set->TabRect(1);
    EXPECT_EQ(WindowPixel(w, second.left + 1, 1), FocusBottom);
    EXPECT_EQ(WindowPixel(w, second.right - 2, 1), FocusBottom);

    // A click near the left end of the third tab chooses the third.
    const RECT third = set->TabRect(2);
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(third.left + 2, 10));
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(third.left + 2, 10));
    EXPECT_EQ(set->TabIndex(), 2);
    // The tab set paints again (its arrows are not asked to): the arrows still show.
    UpdateWindow(w);
    HWND arrows = set->Scroller()->Handle();
    const uint32_t shown = WindowPixel(arrows, 1, 1);
    RedrawWindow(arrows, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(shown, WindowPixel(arrows, 1, 1)) << "the tab set painted over its arrows";
    delete adaptor;
    delete set;
}

TEST_F(TSkinTabsTest, ATabSetHangsFlippedTabsAndASkinChangePreparesThePicturesAnew)
{
    auto* set = new TTabSet(Host.get());
    set->SetParent(Host.get());
    set->SetBounds(10, 220, 300, 24);
    for (const char* caption : {"One", "Two", "Three"})
        set->Tabs()->Add(caption);
    set->SetTabIndex(1);
    set->HandleNeeded();
    auto* adaptor = new TSkinTab31(&Skin->AdaptorSet());
    adaptor->AttachControl(set, Data.get(), false, Skin->AdaptorSet().Canvas());
    HWND w = set->Handle();
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // Flipped: the frames' dark half at the top, next to what they hang from.
    const int x = set->StartMargin() + 2;
    EXPECT_EQ(WindowPixel(w, x, 1), TabBottom);
    EXPECT_EQ(WindowPixel(w, x, 22), TabTop);
    RECT second = set->TabRect(1);
    EXPECT_EQ(WindowPixel(w, second.left + 3, 1), FocusBottom);

    // Another skin whose tabs are another colour: the prepared pictures follow the change.
    const std::string ini = Description(true);
    std::vector<TPackageEntry> bitmaps = Bitmaps();
    bitmaps[0].Data = Bmp(100, 20, [](int, int) { return 0x123456u; });
    ASSERT_TRUE(LoadSkinPackage(*Data, ini, bitmaps));
    Skin->AdaptorSet().ApplySkinColours();
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(WindowPixel(w, x, 1), 0x123456u);
    delete adaptor;
    delete set;
}
