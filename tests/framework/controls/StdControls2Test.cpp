// Check boxes, radio buttons and groups, edits and memos, combo and list boxes, scroll bars,
// scroll boxes and speed buttons on real windows: their state read back from the native windows
// both ways, clicks made of mouse messages, the reflected notifications, and pixels.
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/core/FormReader.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"

#include "tests/support/EventCounter.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

class TStd2Root : public TWinControl {
    DECLARE_CLASS(TStd2Root, TWinControl)
public:
    explicit TStd2Root(TComponent* AOwner = nullptr) : TWinControl(AOwner) {}
};

IMPLEMENT_CLASS_EMPTY(TStd2Root)

std::unique_ptr<TStd2Root> MakeRoot(int Width = 500, int Height = 320)
{
    auto root = std::make_unique<TStd2Root>();
    root->SetBounds(0, 0, Width, Height);
    root->SetColor(clWhite);
    root->SetParentWindow(TTestWindows::Stage());
    root->HandleNeeded();
    return root;
}

// The pixels of a window's client area after everything pending has painted.
std::vector<COLORREF> Shot(HWND Window, int& Width, int& Height)
{
    PumpMessages();
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    RECT r{};
    GetClientRect(Window, &r);
    Width = r.right;
    Height = r.bottom;
    std::vector<COLORREF> pixels(static_cast<size_t>(Width) * static_cast<size_t>(Height));
    HDC dc = GetDC(Window);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, Width, Height);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, Width, Height, dc, 0, 0, SRCCOPY);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)] = GetPixel(mem, x, y);
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(Window, dc);
    return pixels;
}

int CountColour(HWND Window, const RECT& Rect, COLORREF Colour)
{
    int w = 0;
    int h = 0;
    const std::vector<COLORREF> pixels = Shot(Window, w, h);
    int n = 0;
    for (int y = std::max<int>(Rect.top, 0); y < std::min<int>(Rect.bottom, h); ++y)
        for (int x = std::max<int>(Rect.left, 0); x < std::min<int>(Rect.right, w); ++x)
            n += pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] == Colour ? 1 : 0;
    return n;
}

DWORD StyleOf(TWinControl& Control)
{
    return static_cast<DWORD>(GetWindowLongA(Control.Handle(), GWL_STYLE));
}

std::string ClassNameOf(HWND Window)
{
    char name[64] = {};
    GetClassNameA(Window, name, sizeof name);
    return name;
}

// A left click at (X, Y) of Window, posted the way the system queues it.
void PostClick(HWND Window, int X, int Y)
{
    PostMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
    PostMessageA(Window, WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    PumpMessages();
}

void ExpectPublished(const TClassInfo& Class, std::initializer_list<const char*> Names)
{
    for (const char* name : Names)
        EXPECT_NE(Class.FindProperty(name), nullptr) << Class.Name() << "." << name;
}

// ---------------------------------------------------------------------------------------------

TEST(CheckBoxTest, CheckedFollowsTheWindowBothWays)
{
    ExpectPublished(TCheckBox::StaticClass(), {"Checked", "State", "Alignment", "Caption", "Color", "OnClick"});
    auto root = MakeRoot();
    TCheckBox box(nullptr);
    box.SetBounds(10, 10, 120, 20);
    box.SetCaption("Check");
    box.SetParent(root.get());
    TEventCounter clicks;
    box.SetOnClick(clicks.Event());
    EXPECT_EQ(ClassNameOf(box.Handle()), "TCheckBox");
    EXPECT_EQ(StyleOf(box) & BS_TYPEMASK, static_cast<DWORD>(BS_AUTOCHECKBOX));
    EXPECT_EQ(StyleOf(box) & BS_LEFTTEXT, 0u);

    box.SetChecked(true);
    EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(box.Handle(), BM_GETSTATE, 0, 0) & 1, 1);
    EXPECT_EQ(clicks.Count, 1);

    SendMessageA(box.Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_FALSE(box.Checked());

    // A click of the mouse, posted: the native box toggles, and the control knows it.
    PostClick(box.Handle(), 5, 10);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(clicks.Count, 2);
    PostClick(box.Handle(), 5, 10);
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(clicks.Count, 3);

    // Checked survives a new window; the box on the right is BS_LEFTTEXT.
    box.SetChecked(true);
    box.SetAlignment(taRightJustify);
    EXPECT_NE(StyleOf(box) & BS_LEFTTEXT, 0u);
    EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST(CheckBoxTest, ColorShowsBehindTheBoxAndCaption)
{
    auto root = MakeRoot();
    TCheckBox box(nullptr);
    box.SetBounds(10, 10, 120, 20);
    box.SetCaption("Red");
    box.SetColor(clRed);
    box.SetParent(root.get());
    // Most of the control is background: red, not the button face.
    EXPECT_GT(CountColour(box.Handle(), RECT{0, 0, 120, 20}, RGB(255, 0, 0)), 120 * 20 / 2);
    box.SetColor(clBtnFace);
    EXPECT_EQ(CountColour(box.Handle(), RECT{0, 0, 120, 20}, RGB(255, 0, 0)), 0);
}

TEST(CheckBoxTest, ParentColorByDefault)
{
    auto root = MakeRoot();
    TCheckBox box(nullptr);
    box.SetParent(root.get());
    EXPECT_TRUE(box.ParentColor());
    EXPECT_EQ(box.Color(), clWhite);
}

// ---------------------------------------------------------------------------------------------

TEST(RadioButtonTest, CheckingOneUnchecksItsSiblings)
{
    ExpectPublished(TRadioButton::StaticClass(), {"Checked", "Color", "ParentColor", "OnClick"});
    auto root = MakeRoot();
    TRadioButton a(nullptr), b(nullptr), c(nullptr);
    TRadioButton* all[] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) {
        all[i]->SetBounds(10, 10 + i * 24, 100, 20);
        all[i]->SetCaption("Radio");
        all[i]->SetParent(root.get());
    }
    // One on another parent is not a sibling.
    TPanel panel(nullptr);
    panel.SetBounds(200, 10, 150, 60);
    panel.SetParent(root.get());
    TRadioButton other(nullptr);
    other.SetParent(&panel);
    other.SetChecked(true);

    TEventCounter clicks;
    b.SetOnClick(clicks.Event());
    a.SetChecked(true);
    PostClick(b.Handle(), 5, 10);
    EXPECT_TRUE(b.Checked());
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_FALSE(a.Checked());
    EXPECT_FALSE(c.Checked());
    EXPECT_EQ(SendMessageA(a.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(b.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(other.Checked());

    c.SetChecked(true);
    EXPECT_FALSE(b.Checked());
    EXPECT_EQ(SendMessageA(b.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(c.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    // Clicking the checked one again changes nothing.
    PostClick(c.Handle(), 5, 10);
    EXPECT_TRUE(c.Checked());
}

// ---------------------------------------------------------------------------------------------

TEST(GroupBoxTest, HoldsChildrenAndShowsItsColor)
{
    auto root = MakeRoot();
    TGroupBox group(nullptr);
    group.SetBounds(10, 10, 200, 120);
    group.SetCaption("Group");
    group.SetColor(clRed);
    group.SetParent(root.get());
    TEdit edit(nullptr);
    edit.SetBounds(20, 40, 100, 21);
    edit.SetParent(&group);
    EXPECT_EQ(GetParent(edit.Handle()), group.Handle());
    EXPECT_EQ(StyleOf(group) & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
    EXPECT_GT(CountColour(group.Handle(), RECT{10, 70, 190, 110}, RGB(255, 0, 0)), 180 * 40 / 2);
}

TEST(RadioGroupTest, ButtonsAreChildrenAndItemIndexFollowsClicks)
{
    ExpectPublished(TRadioGroup::StaticClass(), {"Items", "ItemIndex", "Columns", "Caption", "Color"});
    auto root = MakeRoot();
    TRadioGroup group(nullptr);
    group.SetBounds(10, 10, 240, 120);
    group.SetCaption("Choose");
    group.SetParent(root.get());
    group.Items()->Add("One");
    group.Items()->Add("Two");
    group.Items()->Add("Three");
    ASSERT_EQ(group.ControlCount(), 3);
    for (int i = 0; i < 3; ++i) {
        auto* button = dynamic_cast<TRadioButton*>(group.Controls(i));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Caption(), group.Items()->Strings(i));
        EXPECT_EQ(GetParent(button->Handle()), group.Handle());
    }
    EXPECT_EQ(group.ItemIndex(), -1);
    TEventCounter clicks;
    group.SetOnClick(clicks.Event());
    PostClick(group.Buttons(1)->Handle(), 5, 5);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_TRUE(group.Buttons(1)->Checked());

    group.SetItemIndex(2);
    EXPECT_EQ(SendMessageA(group.Buttons(2)->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(group.Buttons(1)->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Stacked in one column, then two columns side by side.
    EXPECT_EQ(group.Buttons(0)->Left(), group.Buttons(2)->Left());
    EXPECT_LT(group.Buttons(0)->Top(), group.Buttons(1)->Top());
    group.SetColumns(2);
    EXPECT_GT(group.Buttons(2)->Left(), group.Buttons(0)->Left() + 50);
    EXPECT_EQ(group.Buttons(2)->Top(), group.Buttons(0)->Top());

    group.Items()->Delete(2);
    EXPECT_EQ(group.ControlCount(), 2);
    EXPECT_EQ(group.ItemIndex(), -1);
}

// ---------------------------------------------------------------------------------------------

TEST(EditTest, TextRoundTripAndOnChange)
{
    ExpectPublished(TEdit::StaticClass(), {"Text", "ReadOnly", "MaxLength", "OnChange", "Color", "Font"});
    auto root = MakeRoot();
    TEdit edit(nullptr);
    edit.SetBounds(10, 10, 150, 24);
    edit.SetParent(root.get());
    EXPECT_EQ(ClassNameOf(edit.Handle()), "TEdit");
    RECT window{}, client{};
    GetWindowRect(edit.Handle(), &window);
    GetClientRect(edit.Handle(), &client);
    EXPECT_LT(client.right, window.right - window.left);
    EXPECT_LT(client.bottom, window.bottom - window.top);

    TEventCounter changes;
    edit.SetOnChange(changes.Event());
    edit.SetText("hello");
    char text[64] = {};
    GetWindowTextA(edit.Handle(), text, sizeof text);
    EXPECT_STREQ(text, "hello");
    EXPECT_EQ(changes.Count, 1);

    // Typed (replaced) text: EN_CHANGE through the parent reaches OnChange, and Text reads it.
    SendMessageA(edit.Handle(), EM_SETSEL, 5, 5);
    SendMessageA(edit.Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(" world"));
    EXPECT_EQ(changes.Count, 2);
    EXPECT_EQ(edit.Text(), "hello world");
    EXPECT_EQ(edit.Caption(), "hello world");

    edit.SetReadOnly(true);
    EXPECT_NE(StyleOf(edit) & ES_READONLY, 0u);
    edit.SetMaxLength(7);
    EXPECT_EQ(SendMessageA(edit.Handle(), EM_GETLIMITTEXT, 0, 0), 7);
}

TEST(MemoTest, ScrollBarStylesAndLines)
{
    ExpectPublished(TMemo::StaticClass(), {"Lines", "ScrollBars", "WordWrap"});
    auto root = MakeRoot();
    TMemo memo(nullptr);
    memo.SetBounds(10, 10, 200, 100);
    memo.Lines()->Add("first");
    memo.Lines()->Add("second");
    memo.SetParent(root.get());
    EXPECT_NE(StyleOf(memo) & ES_MULTILINE, 0u);
    EXPECT_EQ(StyleOf(memo) & (WS_HSCROLL | WS_VSCROLL), 0u);
    char text[64] = {};
    GetWindowTextA(memo.Handle(), text, sizeof text);
    EXPECT_STREQ(text, "first\r\nsecond");

    memo.SetScrollBars(TScrollStyle::ssVertical);
    EXPECT_EQ(StyleOf(memo) & (WS_HSCROLL | WS_VSCROLL), static_cast<DWORD>(WS_VSCROLL));
    memo.SetScrollBars(TScrollStyle::ssHorizontal);
    EXPECT_EQ(StyleOf(memo) & (WS_HSCROLL | WS_VSCROLL), static_cast<DWORD>(WS_HSCROLL));
    memo.SetScrollBars(TScrollStyle::ssBoth);
    EXPECT_EQ(StyleOf(memo) & (WS_HSCROLL | WS_VSCROLL), static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    EXPECT_TRUE(GetScrollInfo(memo.Handle(), SB_VERT, &info));
    // The text came through the new windows.
    GetWindowTextA(memo.Handle(), text, sizeof text);
    EXPECT_STREQ(text, "first\r\nsecond");
    memo.SetWordWrap(false);
    EXPECT_NE(StyleOf(memo) & ES_AUTOHSCROLL, 0u);

    // Text set on the window shows in Lines.
    SendMessageA(memo.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a\r\nb\r\nc"));
    ASSERT_EQ(memo.Lines()->Count(), 3);
    EXPECT_EQ(memo.Lines()->Strings(2), "c");
}

// ---------------------------------------------------------------------------------------------

TEST(ComboBoxTest, ItemsItemIndexStyleAndOnChange)
{
    ExpectPublished(TComboBox::StaticClass(), {"Style", "Items", "ItemIndex", "Text", "OnChange"});
    auto root = MakeRoot();
    TComboBox combo(nullptr);
    combo.SetBounds(10, 10, 150, 21);
    combo.Items()->Add("red");
    combo.Items()->Add("green");
    combo.SetItemIndex(1);
    combo.SetParent(root.get());
    EXPECT_EQ(StyleOf(combo) & 3u, static_cast<DWORD>(CBS_DROPDOWN));
    EXPECT_EQ(SendMessageA(combo.Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(combo.Handle(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(combo.Text(), "green");

    combo.Items()->Add("blue");
    EXPECT_EQ(SendMessageA(combo.Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(combo.ItemIndex(), 1);

    TEventCounter changes;
    combo.SetOnChange(changes.Event());
    SendMessageA(combo.Handle(), CB_SETCURSEL, 2, 0);
    SendMessageA(root->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo.Handle()));
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(combo.ItemIndex(), 2);

    combo.SetStyle(csDropDownList);
    EXPECT_EQ(StyleOf(combo) & 3u, static_cast<DWORD>(CBS_DROPDOWNLIST));
    EXPECT_EQ(SendMessageA(combo.Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_EQ(combo.Text(), "blue");
    combo.SetStyle(csSimple);
    EXPECT_EQ(StyleOf(combo) & 3u, static_cast<DWORD>(CBS_SIMPLE));
}

TEST(ListBoxTest, ItemsScrollBarAndClick)
{
    ExpectPublished(TListBox::StaticClass(), {"Items", "ItemIndex", "OnClick"});
    auto root = MakeRoot();
    TListBox list(nullptr);
    list.SetBounds(10, 10, 150, 60);
    for (const char* s : {"a", "b", "c", "d", "e", "f", "g", "h"})
        list.Items()->Add(s);
    list.SetParent(root.get());
    EXPECT_NE(StyleOf(list) & WS_VSCROLL, 0u);
    EXPECT_EQ(SendMessageA(list.Handle(), LB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(list.ItemIndex(), -1);
    list.SetItemIndex(3);
    EXPECT_EQ(SendMessageA(list.Handle(), LB_GETCURSEL, 0, 0), 3);

    TEventCounter clicks;
    list.SetOnClick(clicks.Event());
    RECT item{};
    SendMessageA(list.Handle(), LB_SETTOPINDEX, 0, 0);
    SendMessageA(list.Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    PostClick(list.Handle(), item.left + 5, (item.top + item.bottom) / 2);
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_EQ(clicks.Count, 1);
}

// ---------------------------------------------------------------------------------------------

TEST(ScrollBarTest, ReflectedScrollMovesThePosition)
{
    ExpectPublished(TScrollBar::StaticClass(), {"Kind", "Min", "Max", "PageSize", "Position", "SmallChange",
                                                "LargeChange", "OnChange", "OnScroll"});
    auto root = MakeRoot();
    TScrollBar bar(nullptr);
    bar.SetKind(sbVertical);
    EXPECT_GT(bar.Height(), bar.Width());
    bar.SetBounds(10, 10, 17, 150);
    bar.SetParams(10, 0, 100);
    bar.SetSmallChange(5);
    bar.SetLargeChange(20);
    bar.SetParent(root.get());
    EXPECT_EQ(ClassNameOf(bar.Handle()), "TScrollBar");
    EXPECT_NE(StyleOf(bar) & SBS_VERT, 0u);
    EXPECT_EQ(GetScrollPos(bar.Handle(), SB_CTL), 10);

    TEventCounter changes;
    bar.SetOnChange(changes.Event());
    const LPARAM window = reinterpret_cast<LPARAM>(bar.Handle());
    SendMessageA(root->Handle(), WM_VSCROLL, SB_LINEDOWN, window);
    EXPECT_EQ(bar.Position(), 15);
    EXPECT_EQ(GetScrollPos(bar.Handle(), SB_CTL), 15);
    EXPECT_EQ(changes.Count, 1);
    SendMessageA(root->Handle(), WM_VSCROLL, SB_PAGEDOWN, window);
    EXPECT_EQ(bar.Position(), 35);
    SendMessageA(root->Handle(), WM_VSCROLL, SB_LINEUP, window);
    EXPECT_EQ(bar.Position(), 30);
    SendMessageA(root->Handle(), WM_VSCROLL, SB_ENDSCROLL, window);
    EXPECT_EQ(changes.Count, 3);

    // With a page, the highest position leaves a page of room.
    bar.SetPageSize(10);
    SendMessageA(root->Handle(), WM_VSCROLL, SB_BOTTOM, window);
    EXPECT_EQ(bar.Position(), 91);
    SendMessageA(root->Handle(), WM_VSCROLL, SB_LINEDOWN, window);
    EXPECT_EQ(bar.Position(), 91);
    SendMessageA(root->Handle(), WM_VSCROLL, SB_TOP, window);
    EXPECT_EQ(bar.Position(), 0);
    SendMessageA(root->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 42), window);
    EXPECT_EQ(bar.Position(), 42);
}

// ---------------------------------------------------------------------------------------------

TEST(ScrollBoxTest, ScrollBarsShowForContentAndScrollMovesIt)
{
    ExpectPublished(TScrollBox::StaticClass(), {"BorderStyle", "Color"});
    auto root = MakeRoot();
    TScrollBox box(nullptr);
    box.SetBounds(10, 10, 200, 100);
    box.SetParent(root.get());
    EXPECT_NE(GetWindowLongA(box.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(StyleOf(box) & WS_VSCROLL, 0u);
    TPanel panel(nullptr);
    panel.SetBounds(0, 20, 100, 300);
    panel.SetParent(&box);
    box.UpdateScrollBars();
    EXPECT_NE(StyleOf(box) & WS_VSCROLL, 0u);
    EXPECT_EQ(StyleOf(box) & WS_HSCROLL, 0u);
    SendMessageA(box.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(box.ScrollPos().y, 8);
    EXPECT_EQ(panel.Top(), 12);
    box.SetBorderStyle(bsNone);
    EXPECT_EQ(GetWindowLongA(box.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

// ---------------------------------------------------------------------------------------------

TEST(SpeedButtonTest, GroupDownIsExclusiveAndMouseClicks)
{
    ExpectPublished(TSpeedButton::StaticClass(), {"Glyph", "NumGlyphs", "Layout", "Margin", "Spacing", "Caption",
                                                  "Down", "GroupIndex", "AllowAllUp", "Flat", "Font", "OnClick"});
    auto root = MakeRoot();
    TSpeedButton a(nullptr), b(nullptr), loose(nullptr);
    a.SetBounds(10, 10, 30, 30);
    b.SetBounds(50, 10, 30, 30);
    loose.SetBounds(90, 10, 30, 30);
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    for (TSpeedButton* s : {&a, &b, &loose})
        s->SetParent(root.get());
    TEventCounter clicks;
    a.SetOnClick(clicks.Event());

    const HWND parent = root->Handle();
    SendMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_TRUE(a.Pressed());
    EXPECT_EQ(clicks.Count, 0);
    SendMessageA(parent, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_TRUE(a.Down());
    EXPECT_FALSE(a.Pressed());

    SendMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 20));
    SendMessageA(parent, WM_LBUTTONUP, 0, MAKELPARAM(60, 20));
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());

    // Without AllowAllUp the button down stays down; with it, a click raises it.
    SendMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 20));
    SendMessageA(parent, WM_LBUTTONUP, 0, MAKELPARAM(60, 20));
    EXPECT_TRUE(b.Down());
    b.SetAllowAllUp(true);
    EXPECT_TRUE(a.AllowAllUp());
    SendMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 20));
    SendMessageA(parent, WM_LBUTTONUP, 0, MAKELPARAM(60, 20));
    EXPECT_FALSE(b.Down());

    // Released outside: no click.
    SendMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageA(parent, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 200));
    EXPECT_FALSE(a.Pressed());
    SendMessageA(parent, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_FALSE(a.Down());

    // Without a group a button never stays down.
    loose.SetDown(true);
    EXPECT_FALSE(loose.Down());
    // Disabled: the parent passes it nothing.
    a.SetEnabled(false);
    SendMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageA(parent, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(clicks.Count, 1);
}

TEST(SpeedButtonTest, PaintsGlyphFaceAndDownState)
{
    auto root = MakeRoot();
    TSpeedButton button(nullptr);
    button.SetBounds(10, 10, 40, 30);
    TBitmap glyph(16, 16, pf24bit);
    glyph.Canvas()->Brush()->SetColor(clBlue);
    glyph.Canvas()->FillRect(RECT{0, 0, 16, 16});
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(RECT{2, 2, 14, 14});
    button.SetGlyph(&glyph);
    button.SetGroupIndex(1);
    button.SetAllowAllUp(true);
    button.SetParent(root.get());
    RECT g = button.CalcLayout().Glyph;
    EXPECT_EQ(g.right - g.left, 16);
    OffsetRect(&g, 10, 10);
    // The red inside of the glyph shows; its bottom-left (blue) colour is transparent.
    EXPECT_EQ(CountColour(root->Handle(), g, RGB(255, 0, 0)), 144);
    EXPECT_EQ(CountColour(root->Handle(), RECT{10, 10, 50, 40}, RGB(0, 0, 255)), 0);
    const int faceUp = CountColour(root->Handle(), RECT{12, 12, 48, 38}, ColorToRGB(clBtnFace));

    button.SetDown(true);
    // Down: the glyph moves one pixel and the face is patterned.
    RECT moved = g;
    OffsetRect(&moved, 1, 1);
    EXPECT_EQ(CountColour(root->Handle(), moved, RGB(255, 0, 0)), 144);
    EXPECT_LT(CountColour(root->Handle(), RECT{12, 12, 48, 38}, ColorToRGB(clBtnFace)), faceUp - 200);

    button.SetDown(false);
    button.SetEnabled(false);
    EXPECT_EQ(CountColour(root->Handle(), g, RGB(255, 0, 0)), 0);
}

// ---------------------------------------------------------------------------------------------

TEST(StdControls2DescriptionTest, ReadsTheControlsAndTheirProperties)
{
    RegisterStandardControls();
    RegisterComponentClass(TStd2Root::StaticClass());
    const std::string text = "object Root1: TStd2Root\n"
                             "  Width = 400\n  Height = 300\n"
                             "  object Check1: TCheckBox\n    Caption = 'Check'\n    Checked = True\n"
                             "    Alignment = taRightJustify\n  end\n"
                             "  object Group1: TRadioGroup\n    Left = 10\n    Top = 40\n    Width = 200\n"
                             "    Height = 100\n    Items = (\n      'One'\n      'Two')\n    ItemIndex = 1\n  end\n"
                             "  object Memo1: TMemo\n    Top = 150\n    Lines = (\n      'a'\n      'b')\n"
                             "    ScrollBars = ssVertical\n  end\n"
                             "  object Combo1: TComboBox\n    Left = 220\n    Style = csDropDownList\n"
                             "    Items = (\n      'x'\n      'y')\n    ItemIndex = 0\n  end\n"
                             "  object Bar1: TScrollBar\n    Left = 220\n    Top = 40\n    Kind = sbVertical\n"
                             "    Max = 50\n    Position = 7\n  end\n"
                             "  object Speed1: TSpeedButton\n    Left = 300\n    GroupIndex = 2\n    Down = True\n  end\n"
                             "end\n";
    TStd2Root root(nullptr);
    ReadComponentText(text, &root);
    auto* check = dynamic_cast<TCheckBox*>(root.FindComponent("Check1"));
    auto* group = dynamic_cast<TRadioGroup*>(root.FindComponent("Group1"));
    auto* memo = dynamic_cast<TMemo*>(root.FindComponent("Memo1"));
    auto* combo = dynamic_cast<TComboBox*>(root.FindComponent("Combo1"));
    auto* bar = dynamic_cast<TScrollBar*>(root.FindComponent("Bar1"));
    auto* speed = dynamic_cast<TSpeedButton*>(root.FindComponent("Speed1"));
    ASSERT_TRUE(check && group && memo && combo && bar && speed);
    EXPECT_TRUE(check->Checked());
    EXPECT_EQ(group->ControlCount(), 2);
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(memo->Lines()->Count(), 2);
    EXPECT_EQ(memo->ScrollBars(), TScrollStyle::ssVertical);
    EXPECT_EQ(bar->Kind(), sbVertical);
    EXPECT_EQ(bar->Position(), 7);
    EXPECT_TRUE(speed->Down());

    root.SetParentWindow(TTestWindows::Stage());
    root.HandleNeeded();
    EXPECT_EQ(SendMessageA(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_NE(StyleOf(*check) & BS_LEFTTEXT, 0u);
    EXPECT_EQ(SendMessageA(group->Buttons(1)->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(combo->Text(), "x");
    EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 7);
    char text2[32] = {};
    GetWindowTextA(memo->Handle(), text2, sizeof text2);
    EXPECT_STREQ(text2, "a\r\nb");
}

} // namespace
