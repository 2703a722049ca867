// The controls over the common controls, the grids and the tab set on real windows: the styles
// their properties give, what the native windows answer, notifications coming back through the
// parent's reflection, pixels read back from what we paint, and a description that sets them.
#include "framework/controls/ComCtrls.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/Tabs.h"
#include "framework/core/FormReader.h"
#include "framework/core/Published.h"

#include "tests/support/EventCounter.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/WindowShot.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

class TComRoot : public TWinControl {
    DECLARE_CLASS(TComRoot, TWinControl)
public:
    explicit TComRoot(TComponent* AOwner = nullptr) : TWinControl(AOwner) {}
};

IMPLEMENT_CLASS_EMPTY(TComRoot)

std::unique_ptr<TComRoot> MakeRoot(int Width = 500, int Height = 320)
{
    auto root = std::make_unique<TComRoot>();
    root->SetBounds(0, 0, Width, Height);
    root->SetColor(clWhite);
    root->SetParentWindow(TTestWindows::Stage());
    root->HandleNeeded();
    return root;
}

DWORD StyleOf(HWND Window)
{
    return static_cast<DWORD>(GetWindowLongA(Window, GWL_STYLE));
}

std::string WindowClassOf(HWND Window)
{
    char name[64] = {};
    GetClassNameA(Window, name, sizeof name);
    return name;
}

POINT Centre(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ClickAt(HWND Window, POINT p)
{
    SendMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageA(Window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    PumpMessages();
}

// Watches a control's WindowProc for the NM_CUSTOMDRAW notifications reflected to it.
struct TCustomDrawWatch : TObject {
    TControl* Control = nullptr;
    TWndMethod Saved;
    int CustomDraws = 0;
    std::vector<DWORD> Stages;

    void Proc(TMessage& Message)
    {
        if (Message.Msg == CN_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
            if (header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
                ++CustomDraws;
                Stages.push_back(reinterpret_cast<const NMCUSTOMDRAW*>(Message.LParam)->dwDrawStage);
            }
        }
        Saved(Message);
    }
    void Attach(TControl* AControl)
    {
        Control = AControl;
        Saved = AControl->WindowProc();
        AControl->SetWindowProc(BindMethod<&TCustomDrawWatch::Proc>(this));
    }
    ~TCustomDrawWatch() override
    {
        if (Control != nullptr)
            Control->SetWindowProc(Saved);
    }
};

std::string TabText(HWND Window, int Index)
{
    char text[81] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(Window, TCM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item));
    return text;
}

// ---------------------------------------------------------------------------------------------
// Tool bar

class TMyToolBar : public TToolBar {
    DECLARE_CLASS(TMyToolBar, TToolBar)
public:
    explicit TMyToolBar(TComponent* AOwner) : TToolBar(AOwner) {}
};

IMPLEMENT_CLASS_EMPTY(TMyToolBar)

TEST(ToolBarTest, ClassNamesFlatStyleAndChildren)
{
    auto root = MakeRoot();
    TToolBar bar(nullptr);
    bar.SetParent(root.get());
    EXPECT_EQ(bar.ClassName(), "TToolBar");
    EXPECT_EQ(WindowClassOf(bar.Handle()), "TToolBar");
    EXPECT_EQ(bar.Align(), alTop);
    EXPECT_EQ(bar.Width(), 500);
    EXPECT_EQ(StyleOf(bar.Handle()) & TBSTYLE_FLAT, 0u);
    // The native class behind it: it answers its own messages.
    EXPECT_EQ(SendMessageA(bar.Handle(), TB_BUTTONCOUNT, 0, 0), 0);

    bar.SetFlat(true);
    EXPECT_NE(StyleOf(bar.Handle()) & TBSTYLE_FLAT, 0u);
    const TPropInfo* flat = TToolBar::StaticClass().FindProperty("Flat");
    ASSERT_NE(flat, nullptr);
    flat->Set(bar, TValue(int64_t{0}));
    EXPECT_FALSE(bar.Flat());
    EXPECT_EQ(StyleOf(bar.Handle()) & TBSTYLE_FLAT, 0u);
    EXPECT_NE(TToolBar::StaticClass().FindProperty("Color"), nullptr);

    TButton button(nullptr);
    button.SetBounds(4, 2, 60, 22);
    button.SetParent(&bar);
    EXPECT_EQ(GetParent(button.Handle()), bar.Handle());

    // Its colour fills what the buttons leave free.
    bar.SetColor(static_cast<TColor>(0x4080C0));
    TShot shot(bar.Handle());
    EXPECT_EQ(shot.At(bar.Width() - 10, bar.Height() / 2), 0x4080C0u);

    TMyToolBar mine(nullptr);
    EXPECT_EQ(mine.ClassName(), "TMyToolBar");
    mine.SetFlat(true);
    mine.SetParent(root.get());
    EXPECT_EQ(WindowClassOf(mine.Handle()), "TMyToolBar");
    EXPECT_NE(StyleOf(mine.Handle()) & TBSTYLE_FLAT, 0u);
}

// ---------------------------------------------------------------------------------------------
// Status bar

TEST(StatusBarTest, SizeGripStyleAndPanelRectangles)
{
    auto root = MakeRoot();
    TStatusBar bar(nullptr);
    TStatusPanel* first = bar.Panels()->Add();
    first->SetText("Ready");
    first->SetWidth(100);
    TStatusPanel* second = bar.Panels()->Add();
    second->SetText("Middle");
    second->SetWidth(150);
    second->SetAlignment(taCenter);
    bar.Panels()->Add()->SetText("Last");
    bar.SetParent(root.get());

    EXPECT_EQ(SBARS_SIZEGRIP, 0x0100);
    EXPECT_NE(StyleOf(bar.Handle()) & SBARS_SIZEGRIP, 0u);
    EXPECT_EQ(bar.Top(), 320 - bar.Height());
    EXPECT_EQ(SendMessageA(bar.Handle(), SB_GETPARTS, 0, 0), 3);

    RECT r0{}, r1{}, r2{};
    ASSERT_TRUE(SendMessageA(bar.Handle(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&r0)));
    ASSERT_TRUE(SendMessageA(bar.Handle(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&r1)));
    ASSERT_TRUE(SendMessageA(bar.Handle(), SB_GETRECT, 2, reinterpret_cast<LPARAM>(&r2)));
    EXPECT_EQ(r0.right, 100);
    EXPECT_EQ(r1.right, 250);
    EXPECT_GT(r1.left, r0.left);
    RECT client{};
    GetClientRect(bar.Handle(), &client);
    EXPECT_EQ(bar.Width(), 500);
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(r2.right, 500); // the last one runs to the end
    char text[64] = {};
    SendMessageA(bar.Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Ready");
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(bar.Handle(), WM_GETFONT, 0, 0)), bar.Font()->Handle());

    // A change of a panel shows at once.
    first->SetWidth(80);
    SendMessageA(bar.Handle(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&r0));
    EXPECT_EQ(r0.right, 80);
    // and so does a new width of the bar.
    root->SetWidth(400);
    SendMessageA(bar.Handle(), SB_GETRECT, 2, reinterpret_cast<LPARAM>(&r2));
    EXPECT_EQ(bar.Width(), 400);
    EXPECT_EQ(r2.right, 400);

    bar.SetSizeGrip(false);
    EXPECT_EQ(StyleOf(bar.Handle()) & SBARS_SIZEGRIP, 0u);
    EXPECT_EQ(SendMessageA(bar.Handle(), SB_GETPARTS, 0, 0), 3);

    bar.SetSimpleText("Simple");
    bar.SetSimplePanel(true);
    EXPECT_TRUE(SendMessageA(bar.Handle(), SB_ISSIMPLE, 0, 0));
    bar.SetSimplePanel(false);
    EXPECT_FALSE(SendMessageA(bar.Handle(), SB_ISSIMPLE, 0, 0));
}

// ---------------------------------------------------------------------------------------------
// Progress bar, track bar, up-down

TEST(ProgressBarTest, RangeAndPositionRoundTripThroughTheMessages)
{
    auto root = MakeRoot();
    TProgressBar bar(nullptr);
    bar.SetRange(10, 200);
    bar.SetPosition(75);
    bar.SetParent(root.get());
    EXPECT_EQ(WindowClassOf(bar.Handle()), "TProgressBar");
    PBRANGE range{};
    SendMessageA(bar.Handle(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 200);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0), 75);

    SendMessageA(bar.Handle(), PBM_SETPOS, 150, 0);
    EXPECT_EQ(bar.Position(), 150);
    bar.SetPosition(500);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0), 200);
    bar.SetMax(100);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(bar.Position(), 100);

    // A new window keeps what the old one showed.
    bar.SetOrientation(pbVertical);
    EXPECT_NE(StyleOf(bar.Handle()) & PBS_VERTICAL, 0u);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETRANGE, TRUE, 0), 10);
}

TEST(TrackBarTest, PositionAndReflectedNotifications)
{
    auto root = MakeRoot();
    TTrackBar bar(nullptr);
    bar.SetRange(0, 20);
    bar.SetPosition(5);
    bar.SetParent(root.get());
    EXPECT_EQ(SendMessageA(bar.Handle(), TBM_GETPOS, 0, 0), 5);
    EXPECT_EQ(SendMessageA(bar.Handle(), TBM_GETRANGEMAX, 0, 0), 20);
    SendMessageA(bar.Handle(), TBM_SETPOS, TRUE, 12);
    EXPECT_EQ(bar.Position(), 12);
    RECT thumb{};
    SendMessageA(bar.Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    EXPECT_GT(thumb.right, thumb.left);

    TCustomDrawWatch watch;
    watch.Attach(&bar);
    RedrawWindow(bar.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    EXPECT_GT(watch.CustomDraws, 0);
    ASSERT_FALSE(watch.Stages.empty());
    EXPECT_EQ(watch.Stages.front(), static_cast<DWORD>(CDDS_PREPAINT));

    // A key moves the thumb; the parent's WM_HSCROLL comes back as CN_HSCROLL.
    TEventCounter changes;
    bar.SetOnChange(changes.Event());
    SendMessageA(bar.Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(bar.Handle(), WM_KEYUP, VK_RIGHT, 0);
    PumpMessages();
    EXPECT_EQ(bar.Position(), 13);
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(changes.Sender, &bar);

    bar.SetOrientation(trVertical);
    EXPECT_NE(StyleOf(bar.Handle()) & TBS_VERT, 0u);
    EXPECT_EQ(SendMessageA(bar.Handle(), TBM_GETPOS, 0, 0), 13);
}

TEST(UpDownTest, HorizontalStyleRangeAndAssociate)
{
    auto root = MakeRoot();
    TUpDown vertical(nullptr);
    vertical.SetParent(root.get());
    EXPECT_EQ(WindowClassOf(vertical.Handle()), "TUpDown");
    EXPECT_EQ(StyleOf(vertical.Handle()) & UDS_HORZ, 0u);

    TButton buddy(nullptr);
    buddy.SetBounds(100, 10, 60, 25);
    buddy.SetParent(root.get());
    TUpDown updown(nullptr);
    updown.SetOrientation(udHorizontal);
    updown.SetRange(0, 10);
    updown.SetPosition(3);
    updown.SetBounds(170, 10, 40, 20);
    updown.SetAssociate(&buddy);
    updown.SetParent(root.get());
    EXPECT_EQ(UDS_HORZ, 0x40);
    EXPECT_NE(StyleOf(updown.Handle()) & UDS_HORZ, 0u);
    EXPECT_EQ(SendMessageA(updown.Handle(), UDM_GETPOS32, 0, 0), 3);
    int low = -1, high = -1;
    SendMessageA(updown.Handle(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 10);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(updown.Handle(), UDM_GETBUDDY, 0, 0)), buddy.Handle());

    // The right arrow of a horizontal one steps up; the buddy shows the position.
    TEventCounter clicks;
    updown.SetOnClick(clicks.Event());
    ClickAt(updown.Handle(), POINT{30, 10});
    EXPECT_EQ(updown.Position(), 4);
    EXPECT_EQ(clicks.Count, 1);
    char text[16] = {};
    GetWindowTextA(buddy.Handle(), text, sizeof text);
    EXPECT_STREQ(text, "4");
}

// ---------------------------------------------------------------------------------------------
// Tab control, page control

TEST(TabControlTest, BottomStyleItemsAndChangeFromFocusAndClick)
{
    auto root = MakeRoot();
    TTabControl tabs(nullptr);
    tabs.SetBounds(10, 10, 300, 200);
    tabs.Tabs()->Add("One");
    tabs.Tabs()->Add("Two");
    tabs.Tabs()->Add("Three");
    tabs.SetTabIndex(0);
    tabs.SetTabPosition(tpBottom);
    tabs.SetParent(root.get());
    HWND window = tabs.Handle();
    EXPECT_EQ(WindowClassOf(window), "TTabControl");
    EXPECT_NE(StyleOf(window) & TCS_BOTTOM, 0u);
    EXPECT_EQ(StyleOf(window) & TCS_VERTICAL, 0u);
    EXPECT_EQ(SendMessageA(window, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(TabText(window, 1), "Two");
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), tabs.Font()->Handle());
    EXPECT_EQ(SendMessageA(window, TCM_GETCURSEL, 0, 0), 0);
    // The tabs are at the bottom: the display area starts near the top.
    const RECT display = tabs.DisplayRect();
    RECT item{};
    SendMessageA(window, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_GT(item.top, display.bottom - 2);

    TEventCounter changes;
    tabs.SetOnChange(changes.Event());
    SendMessageA(window, TCM_SETCURFOCUS, 2, 0);
    PumpMessages();
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(tabs.TabIndex(), 2);

    ClickAt(window, Centre(item));
    EXPECT_EQ(changes.Count, 2);
    EXPECT_EQ(tabs.TabIndex(), 1);
    // Setting it from code is no user change.
    tabs.SetTabIndex(0);
    EXPECT_EQ(changes.Count, 2);

    tabs.Tabs()->Add("Four");
    EXPECT_EQ(SendMessageA(tabs.Handle(), TCM_GETITEMCOUNT, 0, 0), 4);
    tabs.SetTabPosition(tpLeft);
    EXPECT_NE(StyleOf(tabs.Handle()) & TCS_VERTICAL, 0u);
    EXPECT_EQ(SendMessageA(tabs.Handle(), TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(tabs.TabIndex(), 0);
}

TEST(PageControlTest, OneSheetShowsAndTabsFollowTheSheets)
{
    auto root = MakeRoot();
    TPageControl pages(nullptr);
    pages.SetBounds(10, 10, 300, 200);
    pages.SetParent(root.get());
    TTabSheet first(nullptr);
    first.SetCaption("First");
    first.SetPageControl(&pages);
    TTabSheet second(nullptr);
    second.SetCaption("Second");
    second.SetPageControl(&pages);
    auto third = std::make_unique<TTabSheet>(nullptr);
    third->SetCaption("Third");
    third->SetPageControl(&pages);

    HWND window = pages.Handle();
    EXPECT_EQ(pages.PageCount(), 3);
    EXPECT_EQ(SendMessageA(window, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(TabText(window, 2), "Third");
    EXPECT_EQ(pages.ActivePage(), &first);
    EXPECT_TRUE(IsWindowVisible(first.Handle()));
    EXPECT_FALSE(IsWindowVisible(second.Handle()));
    EXPECT_EQ(GetParent(second.Handle()), window);
    // A sheet fills the display area.
    const RECT display = pages.DisplayRect();
    EXPECT_EQ(first.Left(), display.left);
    EXPECT_EQ(first.Top(), display.top);
    EXPECT_EQ(first.Width(), display.right - display.left);
    EXPECT_GT(display.top, 10);

    pages.SetActivePageIndex(2);
    EXPECT_TRUE(IsWindowVisible(third->Handle()));
    EXPECT_FALSE(IsWindowVisible(first.Handle()));
    EXPECT_EQ(SendMessageA(window, TCM_GETCURSEL, 0, 0), 2);

    TEventCounter changes;
    pages.SetOnChange(changes.Event());
    SendMessageA(window, TCM_SETCURFOCUS, 1, 0);
    PumpMessages();
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(pages.ActivePage(), &second);
    EXPECT_TRUE(IsWindowVisible(second.Handle()));
    EXPECT_FALSE(IsWindowVisible(third->Handle()));

    second.SetCaption("Renamed");
    EXPECT_EQ(TabText(window, 1), "Renamed");
    EXPECT_EQ(second.PageIndex(), 1);

    third.reset();
    EXPECT_EQ(pages.PageCount(), 2);
    EXPECT_EQ(SendMessageA(window, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(pages.ActivePage(), &second);
}

namespace {

// When a sheet's OnShow fires, and whether the sheet was already on the screen then.
struct TShowWatch : TObject {
    int Count = 0;
    bool WasVisible = false;
    void Shown(TObject* Sender)
    {
        ++Count;
        WasVisible = IsWindowVisible(static_cast<TTabSheet*>(Sender)->Handle()) != 0;
    }
};

} // namespace

// OnShow comes as a sheet is about to appear, each time another page becomes the active one;
// while its owner goes, no sheet is shown any more.
TEST(PageControlTest, ASheetHearsItIsShownBeforeItShowsButNotOnTheWayOut)
{
    auto root = MakeRoot();
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* pages = new TPageControl(owner.get());
    pages->SetBounds(10, 10, 300, 200);
    pages->SetParent(root.get());
    TShowWatch watch;
    for (int i = 0; i < 3; ++i) {
        auto* sheet = new TTabSheet(owner.get());
        sheet->SetPageControl(pages);
        sheet->SetOnShow(BindMethod<&TShowWatch::Shown>(&watch));
    }
    pages->HandleNeeded();
    EXPECT_EQ(watch.Count, 0) << "the first sheet was shown before it had a handler";
    SendMessageA(pages->Handle(), TCM_SETCURFOCUS, 2, 0);
    PumpMessages();
    EXPECT_EQ(watch.Count, 1);
    EXPECT_FALSE(watch.WasVisible);
    pages->SetActivePageIndex(2);
    EXPECT_EQ(watch.Count, 1) << "the page shown already";
    pages->SetActivePageIndex(0);
    EXPECT_EQ(watch.Count, 2);
    // The sheets go last made first: the active one would hand over to another.
    pages->SetActivePageIndex(2);
    owner.reset();
    EXPECT_EQ(watch.Count, 3);
}

// ---------------------------------------------------------------------------------------------
// List view, tree view, date and time picker

TEST(ListViewTest, HeaderItemsFromTheColumnsAndItemTexts)
{
    auto root = MakeRoot();
    TListView list(nullptr);
    list.SetViewStyle(vsReport);
    for (const char* caption : {"Name", "Size", "Kind"}) {
        TListColumn* column = list.Columns()->Add();
        column->SetCaption(caption);
        column->SetWidth(90);
    }
    TListItem* item = list.Items()->Add();
    item->SetCaption("readme.txt");
    item->SubItems()->Add("12");
    item->SubItems()->Add("Text");
    list.SetParent(root.get());
    EXPECT_EQ(WindowClassOf(list.Handle()), "TListView");
    EXPECT_EQ(StyleOf(list.Handle()) & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));

    HWND header = reinterpret_cast<HWND>(SendMessageA(list.Handle(), LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header, list.HeaderHandle());
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
    char text[64] = {};
    HDITEMA hd{};
    hd.mask = HDI_TEXT;
    hd.pszText = text;
    hd.cchTextMax = sizeof text;
    SendMessageA(header, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&hd));
    EXPECT_STREQ(text, "Size");
    RECT r{};
    SendMessageA(header, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.right - r.left, 90);

    EXPECT_EQ(SendMessageA(list.Handle(), LVM_GETITEMCOUNT, 0, 0), 1);
    LVITEMA lv{};
    char sub[64] = {};
    lv.iSubItem = 2;
    lv.pszText = sub;
    lv.cchTextMax = sizeof sub;
    SendMessageA(list.Handle(), LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&lv));
    EXPECT_STREQ(sub, "Text");

    list.Columns()->Add()->SetCaption("Date");
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 4);
    list.Columns()->Delete(0);
    EXPECT_EQ(SendMessageA(list.HeaderHandle(), HDM_GETITEMCOUNT, 0, 0), 3);
    list.Items()->Add()->SetCaption("second");
    EXPECT_EQ(SendMessageA(list.Handle(), LVM_GETITEMCOUNT, 0, 0), 2);
}

TEST(TreeViewTest, NodeCountAndVerticalScrollBarWhenExpanded)
{
    auto root = MakeRoot();
    TTreeView tree(nullptr);
    tree.SetBounds(10, 10, 150, 100);
    TTreeNode* early = tree.Items()->Add(nullptr, "Early");
    tree.Items()->AddChild(early, "Early child");
    early->Expand(false); // before there is a window
    tree.SetParent(root.get());
    EXPECT_TRUE(early->Expanded());
    EXPECT_NE(SendMessageA(tree.Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(early->ItemId()), TVIS_EXPANDED) &
                  TVIS_EXPANDED,
              0) << "the node opened before the window was made is shut";
    EXPECT_EQ(WindowClassOf(tree.Handle()), "TTreeView");
    for (int i = 0; i < 3; ++i) {
        TTreeNode* node = tree.Items()->Add(early, "Node " + std::to_string(i));
        for (int j = 0; j < 4; ++j)
            tree.Items()->AddChild(node, "Child " + std::to_string(j));
    }
    EXPECT_EQ(tree.Items()->Count(), 17);
    EXPECT_EQ(SendMessageA(tree.Handle(), TVM_GETCOUNT, 0, 0), 17);
    EXPECT_EQ(tree.Items()->Item(3)->Level(), 1);
    EXPECT_EQ(early->Count(), 1);
    PumpMessages();
    EXPECT_EQ(StyleOf(tree.Handle()) & WS_VSCROLL, 0u);

    for (int i = 0; i < tree.Items()->Count(); ++i)
        tree.Items()->Item(i)->Expand(false);
    PumpMessages();
    EXPECT_NE(StyleOf(tree.Handle()) & WS_VSCROLL, 0u);

    // A new window carries the nodes over, opened and shut as the user left them.
    TTreeNode* node1 = tree.Items()->Item(7);
    SendMessageA(tree.Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node1->ItemId()));
    tree.SetShowLines(false);
    EXPECT_EQ(StyleOf(tree.Handle()) & TVS_HASLINES, 0u);
    EXPECT_EQ(SendMessageA(tree.Handle(), TVM_GETCOUNT, 0, 0), 17);
    EXPECT_NE(early->ItemId(), nullptr);
    EXPECT_TRUE(early->Expanded());
    EXPECT_TRUE(tree.Items()->Item(2)->Expanded());
    EXPECT_FALSE(node1->Expanded());
    tree.Items()->Clear();
    EXPECT_EQ(SendMessageA(tree.Handle(), TVM_GETCOUNT, 0, 0), 0);
}

TEST(DateTimePickerTest, UpDownDateModeGivesTheStyleAndKeepsTheDate)
{
    auto root = MakeRoot();
    TDateTimePicker picker(nullptr);
    SYSTEMTIME day{};
    day.wYear = 2024;
    day.wMonth = 2;
    day.wDay = 29;
    picker.SetDateTime(day);
    picker.SetParent(root.get());
    EXPECT_EQ(WindowClassOf(picker.Handle()), "TDateTimePicker");
    EXPECT_EQ(picker.DateMode(), dmComboBox);
    EXPECT_EQ(StyleOf(picker.Handle()) & DTS_UPDOWN, 0u);

    picker.SetDateMode(dmUpDown);
    EXPECT_EQ(picker.DateMode(), dmUpDown);
    EXPECT_EQ(DTS_UPDOWN, 0x1);
    EXPECT_NE(StyleOf(picker.Handle()) & DTS_UPDOWN, 0u);
    SYSTEMTIME shown{};
    EXPECT_EQ(SendMessageA(picker.Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)), GDT_VALID);
    EXPECT_EQ(shown.wYear, 2024);
    EXPECT_EQ(shown.wMonth, 2);
    EXPECT_EQ(shown.wDay, 29);

    const TPropInfo* mode = TDateTimePicker::StaticClass().FindProperty("DateMode");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(std::get<int64_t>(mode->Get(picker)), int64_t{dmUpDown});
    picker.SetKind(dtkTime);
    EXPECT_EQ(StyleOf(picker.Handle()) & DTS_TIMEFORMAT, static_cast<DWORD>(DTS_TIMEFORMAT));
}

// ---------------------------------------------------------------------------------------------
// Grids

TEST(GridTest, ScrollBarsFollowTheCells)
{
    auto root = MakeRoot();
    TDrawGrid grid(nullptr);
    grid.SetBounds(10, 10, 200, 150);
    grid.SetParent(root.get());
    // 5 columns of 65 pixels do not fit 200; 5 rows of 25 do.
    EXPECT_NE(StyleOf(grid.Handle()) & WS_HSCROLL, 0u);
    EXPECT_EQ(StyleOf(grid.Handle()) & WS_VSCROLL, 0u);

    grid.SetRowCount(20);
    EXPECT_NE(StyleOf(grid.Handle()) & WS_VSCROLL, 0u);
    grid.SetColCount(2);
    EXPECT_EQ(StyleOf(grid.Handle()) & WS_HSCROLL, 0u);
    EXPECT_NE(StyleOf(grid.Handle()) & WS_VSCROLL, 0u);

    SendMessageA(grid.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(grid.TopRow(), 2);
    EXPECT_EQ(GetScrollPos(grid.Handle(), SB_VERT), 1);
    // The fixed row stays; the first scrolling row shown is row 2.
    EXPECT_EQ(grid.CellRect(0, 0).top, 0);
    EXPECT_EQ(grid.CellRect(1, 2).top, 25);
    EXPECT_EQ(grid.CellRect(1, 1).right, 0);

    grid.SetRowCount(3);
    EXPECT_EQ(StyleOf(grid.Handle()) & WS_VSCROLL, 0u);
    EXPECT_EQ(grid.TopRow(), 2);
}

TEST(GridTest, FixedColorPaintsTheFixedCellsAndCellsShowText)
{
    auto root = MakeRoot();
    TStringGrid grid(nullptr);
    grid.SetBounds(10, 10, 340, 160);
    grid.SetFixedColor(static_cast<TColor>(0x3060A0));
    grid.SetColor(clWhite);
    grid.SetCells(2, 3, "Hello");
    grid.SetParent(root.get());
    EXPECT_EQ(grid.Cells(2, 3), "Hello");
    EXPECT_EQ(grid.Cells(1, 1), "");

    TShot shot(grid.Handle());
    for (POINT cell : {POINT{0, 0}, POINT{0, 3}, POINT{3, 0}}) {
        const POINT p = Centre(grid.CellRect(cell.x, cell.y));
        EXPECT_EQ(shot.At(p.x, p.y), 0x3060A0u) << cell.x << "," << cell.y;
    }
    const POINT plain = Centre(grid.CellRect(3, 2));
    EXPECT_EQ(shot.At(plain.x, plain.y), RGB(255, 255, 255));
    const RECT textCell = grid.CellRect(2, 3);
    EXPECT_GT(shot.Count(textCell, RGB(0, 0, 0)), 10);
    EXPECT_EQ(shot.Count(grid.CellRect(3, 3), RGB(0, 0, 0)), 0);

    grid.SetFixedColor(clBtnFace);
    TShot again(grid.Handle());
    const POINT p = Centre(grid.CellRect(0, 2));
    EXPECT_EQ(again.At(p.x, p.y), static_cast<COLORREF>(ColorToRGB(clBtnFace)));
    EXPECT_NE(TCustomGrid::StaticClass().FindProperty("FixedColor"), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Tab set

TEST(TabSetTest, TabIndexClicksAndScroller)
{
    auto root = MakeRoot();
    TTabSet tabs(nullptr);
    tabs.SetBounds(10, 10, 300, 21);
    tabs.Tabs()->Add("Alpha");
    tabs.Tabs()->Add("Beta");
    tabs.Tabs()->Add("Gamma");
    tabs.SetTabIndex(1);
    tabs.SetSelectedColor(static_cast<TColor>(0x20C040));
    tabs.SetParent(root.get());
    ASSERT_GT(tabs.ComponentCount(), 0);
    EXPECT_EQ(tabs.Components(0), tabs.Scroller());
    EXPECT_EQ(tabs.Scroller()->ClassName(), "TScroller");
    EXPECT_EQ(tabs.TabIndex(), 1);
    EXPECT_EQ(tabs.StartMargin(), 5);
    EXPECT_EQ(tabs.EndMargin(), 5);
    EXPECT_EQ(tabs.VisibleTabs(), 3);
    EXPECT_FALSE(tabs.Scroller()->Visible());
    EXPECT_EQ(tabs.TabRect(0).left, 5);

    TShot shot(tabs.Handle());
    const RECT beta = tabs.TabRect(1);
    EXPECT_EQ(shot.At(beta.left + 3, beta.top + 3), 0x20C040u);

    TEventCounter changes;
    tabs.SetOnChange(changes.Event());
    ClickAt(tabs.Handle(), Centre(tabs.TabRect(2)));
    EXPECT_EQ(tabs.TabIndex(), 2);
    EXPECT_EQ(changes.Count, 1);
    tabs.SetTabIndex(7);
    EXPECT_EQ(tabs.TabIndex(), -1);

    // The canvas carries the control's font, painting or not.
    TFont font;
    font.SetName("Courier New");
    font.SetSize(14);
    tabs.SetFont(&font);
    EXPECT_EQ(tabs.Canvas()->Font()->Name(), "Courier New");
    EXPECT_EQ(tabs.Canvas()->Font()->Size(), 14);

    for (int i = 0; i < 12; ++i)
        tabs.Tabs()->Add("More tabs " + std::to_string(i));
    EXPECT_TRUE(tabs.Scroller()->Visible());
    EXPECT_TRUE(IsWindowVisible(tabs.Scroller()->Handle()));
    EXPECT_LT(tabs.VisibleTabs(), tabs.Tabs()->Count());
    // The scroller's right arrow shows the next tab first.
    ClickAt(tabs.Scroller()->Handle(), POINT{tabs.Scroller()->Width() - 3, 5});
    EXPECT_EQ(tabs.FirstIndex(), 1);
    EXPECT_EQ(tabs.TabRect(0).right, 0);
    EXPECT_EQ(tabs.TabRect(1).left, 5);
}

// ---------------------------------------------------------------------------------------------
// Form descriptions

TEST(ComControlsDescriptionTest, ReadsTheirPublishedProperties)
{
    RegisterCommonControls();
    RegisterComponentClass(TComRoot::StaticClass());
    const std::string text = "object ComRoot1: TComRoot\n"
                             "  Width = 500\n  Height = 320\n"
                             "  object ToolBar1: TToolBar\n    Flat = True\n  end\n"
                             "  object StatusBar1: TStatusBar\n    SizeGrip = False\n"
                             "    Panels = <\n      item\n        Text = 'One'\n        Width = 120\n      end\n"
                             "      item\n        Text = 'Two'\n        Alignment = taCenter\n        Bevel = pbRaised\n"
                             "      end>\n  end\n"
                             "  object TabControl1: TTabControl\n    Top = 40\n    TabPosition = tpBottom\n"
                             "    Tabs = (\n      'a'\n      'b')\n    TabIndex = 1\n  end\n"
                             "  object PageControl1: TPageControl\n    Left = 300\n    Top = 40\n    ActivePage = Sheet2\n"
                             "    object Sheet1: TTabSheet\n      Caption = 'S1'\n    end\n"
                             "    object Sheet2: TTabSheet\n      Caption = 'S2'\n    end\n  end\n"
                             "  object UpDown1: TUpDown\n    Orientation = udHorizontal\n    Max = 50\n    Position = 7\n  end\n"
                             "  object DateTimePicker1: TDateTimePicker\n    DateMode = dmUpDown\n  end\n"
                             "  object StringGrid1: TStringGrid\n    ColCount = 3\n    FixedColor = clRed\n  end\n"
                             "  object ListView1: TListView\n    Top = 100\n    ViewStyle = vsReport\n"
                             "    Columns = <\n      item\n        Caption = 'Name'\n        Width = 70\n      end\n"
                             "      item\n        Caption = 'Size'\n      end>\n  end\n"
                             "  object TabSet1: TTabSet\n    Tabs = (\n      'x'\n      'y')\n    TabIndex = 1\n  end\n"
                             "end\n";
    TComRoot root(nullptr);
    ReadComponentText(text, &root);
    auto* toolbar = dynamic_cast<TToolBar*>(root.FindComponent("ToolBar1"));
    auto* status = dynamic_cast<TStatusBar*>(root.FindComponent("StatusBar1"));
    auto* tabs = dynamic_cast<TTabControl*>(root.FindComponent("TabControl1"));
    auto* pages = dynamic_cast<TPageControl*>(root.FindComponent("PageControl1"));
    auto* updown = dynamic_cast<TUpDown*>(root.FindComponent("UpDown1"));
    auto* picker = dynamic_cast<TDateTimePicker*>(root.FindComponent("DateTimePicker1"));
    auto* grid = dynamic_cast<TStringGrid*>(root.FindComponent("StringGrid1"));
    auto* tabset = dynamic_cast<TTabSet*>(root.FindComponent("TabSet1"));
    ASSERT_TRUE(toolbar && status && tabs && pages && updown && picker && grid && tabset);
    EXPECT_TRUE(toolbar->Flat());
    EXPECT_FALSE(status->SizeGrip());
    ASSERT_EQ(status->Panels()->Count(), 2);
    EXPECT_EQ(status->Panels()->Items(0)->Width(), 120);
    EXPECT_EQ(status->Panels()->Items(1)->Alignment(), taCenter);
    EXPECT_EQ(status->Panels()->Items(1)->Bevel(), pbRaised);
    EXPECT_EQ(tabs->Tabs()->Count(), 2);
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(updown->Position(), 7);
    EXPECT_EQ(picker->DateMode(), dmUpDown);
    EXPECT_EQ(grid->FixedColor(), clRed);
    EXPECT_EQ(tabset->TabIndex(), 1);

    root.SetParentWindow(TTestWindows::Stage());
    root.HandleNeeded();
    EXPECT_NE(StyleOf(toolbar->Handle()) & TBSTYLE_FLAT, 0u);
    EXPECT_EQ(StyleOf(status->Handle()) & SBARS_SIZEGRIP, 0u);
    EXPECT_EQ(SendMessageA(status->Handle(), SB_GETPARTS, 0, 0), 2);
    EXPECT_NE(StyleOf(tabs->Handle()) & TCS_BOTTOM, 0u);
    EXPECT_EQ(SendMessageA(tabs->Handle(), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_TRUE(IsWindowVisible(pages->Pages(1)->Handle()));
    EXPECT_FALSE(IsWindowVisible(pages->Pages(0)->Handle()));
    EXPECT_NE(StyleOf(updown->Handle()) & UDS_HORZ, 0u);
    EXPECT_NE(StyleOf(picker->Handle()) & DTS_UPDOWN, 0u);
    auto* list = dynamic_cast<TListView*>(root.FindComponent("ListView1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageA(list->HeaderHandle(), HDM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(list->Handle(), LVM_GETCOLUMNWIDTH, 0, 0), 70);
}

} // namespace

TEST(PageControlTest, AControlOnASheetCanMakeItsWindowFirst)
{
    // Nothing has a window yet: the control's window needs the sheet's, which needs the page
    // control's, which needs the root's.
    TComRoot root;
    root.SetBounds(0, 0, 400, 300);
    TPageControl pages(nullptr);
    pages.SetBounds(10, 10, 300, 200);
    pages.SetParent(&root);
    TTabSheet sheet(nullptr);
    sheet.SetCaption("Sheet");
    sheet.SetPageControl(&pages);
    TTreeView tree(nullptr);
    tree.SetParent(&sheet);
    tree.SetBounds(0, 0, 100, 100);
    root.SetParentWindow(TTestWindows::Stage());
    ASSERT_NO_THROW(tree.HandleNeeded());
    EXPECT_EQ(GetParent(tree.Handle()), sheet.Handle());
    EXPECT_EQ(GetParent(sheet.Handle()), pages.Handle());
    EXPECT_EQ(SendMessageA(pages.Handle(), TCM_GETITEMCOUNT, 0, 0), 1);
}
