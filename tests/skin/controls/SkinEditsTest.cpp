// Edits, combo boxes and up-downs from a skin whose every frame has its own colour, read back by
// pixel: the edit's two lines (and the inner one in the DC's brush when printed), the spin edit's
// inset up-down, the halves of an up-down and its line look, the combo box's button, arrow and
// border pieces in each state and its flat look, discovery, and everything given back.
#include "skin/controls/SkinEdits.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/win/ControlMessages.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
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

// 0x00RRGGBB.
constexpr uint32_t Shadow = 0x506070, DkShadow = 0x141414, Face = 0xC8C8C8;
constexpr uint32_t ComboFrames[4] = {0x30A030, 0xA03030, 0x3030A0, 0xA0A030};
constexpr uint32_t ArrowFrames[5] = {0x105010, 0x501010, 0x101050, 0x505010, 0x777777};
constexpr uint32_t SunkOuter = 0x802080, SunkInner = 0x208080, SunkTop = 0x808020, SunkMiddle = 0xF0F0F0;
constexpr uint32_t UpDownFrames[8] = {0x110000, 0x220000, 0x330000, 0x440000,
                                      0x001100, 0x002200, 0x003300, 0x004400};
constexpr uint32_t GlyphCells[8] = {0x0000AA, 0x0000BB, 0x0000CC, 0x0000DD, 0xAA00AA, 0xBB00BB, 0xCC00CC, 0xDD00DD};

struct TEditSkin {
    bool Combo = true, UpDown = true;
    int ComboStyle = 0;
};

std::string Description(const TEditSkin& S)
{
    std::string ini = "[TitlebarSkin]\r\nSkinName=Edits\r\n[Colours]\r\nButtonFace=200 200 200\r\n"
                      "ButtonShadow=80 96 112\r\nButtonDkShadow=20 20 20\r\n";
    if (S.Combo)
        ini += "[ComboButton]\r\nImage=combo.bmp\r\nStyle=" + std::to_string(S.ComboStyle) +
               "\r\n[ExtraImages]\r\nImage=extra.bmp\r\n"
               "[SunkEdge]\r\nImage=sunk.bmp\r\nLeftWidth=2\r\nTopHeight=2\r\nRightWidth=2\r\nBottomHeight=2\r\n";
    if (S.UpDown)
        ini += "[UpDown.Vert]\r\nImage=updown.bmp\r\nGlyphImage=glyph.bmp\r\nTrans=1\r\n";
    return ini;
}

std::vector<TPackageEntry> Bitmaps()
{
    auto strip = [](int W, int H, const uint32_t* Colours, int Count) {
        return Bmp(W * Count, H, [=](int x, int) { return Colours[x / W]; });
    };
    // Frame 1 of the edge: two outer columns and two top rows of their own colours.
    const std::string sunk = Bmp(48, 12, [](int x, int y) {
        const int fx = x % 12;
        if (fx == 0)
            return SunkOuter;
        if (fx == 1)
            return SunkInner;
        return y < 2 ? SunkTop : SunkMiddle;
    });
    return {{"combo.bmp", strip(17, 21, ComboFrames, 4)}, {"extra.bmp", strip(7, 4, ArrowFrames, 5)},
            {"sunk.bmp", sunk},
            {"updown.bmp", strip(16, 11, UpDownFrames, 8)}, {"glyph.bmp", strip(4, 3, GlyphCells, 8)}};
}

void Redraw(HWND W)
{
    RedrawWindow(W, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

struct TSkinEditsTest : TSkinnedHostTest {
    void SetUp() override
    {
        OpenHost(140, 140, 400, 300, false);
        ASSERT_TRUE(Load(TEditSkin{}));
    }
    bool Load(const TEditSkin& S) { return LoadSkinPackage(*Data, Description(S), Bitmaps()); }
    template <class T> T* Make(int X, int Y, int W, int H)
    {
        auto* control = new T(Host.get());
        control->SetParent(Host.get());
        control->SetBounds(X, Y, W, H);
        control->HandleNeeded();
        return control;
    }
    template <class A> A* AttachTo(HWND Window)
    {
        auto* adaptor = new A(&Skin->AdaptorSet());
        adaptor->AttachWindow(Window, Data.get(), Skin->AdaptorSet().Canvas());
        Redraw(Window);
        return adaptor;
    }

};

} // namespace

TEST_F(TSkinEditsTest, AnEditsBorderBecomesTwoLinesAndItsUpDownIsSkinnedInset)
{
    auto* edit = Make<TEdit>(10, 10, 120, 21);
    HWND w = edit->Handle();
    const LONG_PTR original = GetWindowLongPtrA(w, GWLP_WNDPROC);
    // A spin edit: an up-down inside the edit.
    HWND arrows = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 96, 0, 16, 17, w, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    auto* adaptor = AttachTo<TSkinEdit>(w);
    EXPECT_EQ(WindowPixel(w, 0, 0), Shadow);
    EXPECT_EQ(WindowPixel(w, 60, 20), Shadow);
    EXPECT_EQ(WindowPixel(w, 1, 1), 0xFFFFFFu);
    EXPECT_EQ(WindowPixel(w, 118, 10), 0xFFFFFFu);
    ASSERT_NE(adaptor->UpDown(), nullptr);
    EXPECT_TRUE(adaptor->UpDown()->InEdit);
    Redraw(arrows);
    // Inset by one pixel: the face around, the halves' frames inside.
    EXPECT_EQ(WindowPixel(arrows, 0, 0), Face);
    EXPECT_EQ(WindowPixel(arrows, 15, 16), Face);
    EXPECT_EQ(WindowPixel(arrows, 1, 1), UpDownFrames[0]);
    EXPECT_EQ(WindowPixel(arrows, 1, 15), UpDownFrames[4]);
    // Pressed on the upper half's last row (the halves split below the inset): the upper half
    // shows pressed, the lower one not.
    RECT at{};
    GetWindowRect(arrows, &at);
    SetCursorPos(at.left + 8, at.top + 7);
    SendMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 7));
    EXPECT_EQ(WindowPixel(arrows, 1, 1), UpDownFrames[1]);
    EXPECT_EQ(WindowPixel(arrows, 1, 15), UpDownFrames[4]);
    SendMessageA(arrows, WM_LBUTTONUP, 0, MAKELPARAM(8, 7));
    SetCursorPos(0, 0);

    // Printed: the inner line in the DC's own brush.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 120, 21);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ oldBrush = SelectObject(memory, red);
    SendMessageA(w, WM_PRINT, reinterpret_cast<WPARAM>(memory), PRF_NONCLIENT | PRF_CLIENT);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0x50, 0x60, 0x70));
    EXPECT_EQ(GetPixel(memory, 1, 1), RGB(255, 0, 0));
    SelectObject(memory, oldBrush);
    SelectObject(memory, oldBitmap);
    DeleteObject(red);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    // Given back: both procedures, and the edit's own sunken border.
    const LONG_PTR skinnedArrows = GetWindowLongPtrA(arrows, GWLP_WNDPROC);
    delete adaptor;
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), original);
    EXPECT_NE(GetWindowLongPtrA(arrows, GWLP_WNDPROC), skinnedArrows);
    Pump(30);
    Redraw(w);
    EXPECT_NE(WindowPixel(w, 0, 0), Shadow);

    // An edit without a border is left as it is.
    auto* bare = Make<TEdit>(10, 40, 120, 21);
    HWND b = bare->Handle();
    SetWindowLongA(b, GWL_EXSTYLE, GetWindowLongA(b, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    SetWindowPos(b, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    delete AttachTo<TSkinEdit>(b);
    adaptor = AttachTo<TSkinEdit>(b);
    EXPECT_NE(WindowPixel(b, 0, 0), Shadow);
    delete adaptor;
}

TEST_F(TSkinEditsTest, UpDownHalvesShowTheirFramesAndGlyphsOrPlainLines)
{
    auto* control = Make<TUpDown>(10, 100, 16, 22);
    HWND w = control->Handle();
    auto* adaptor = new TSkinUpDown(&Skin->AdaptorSet());
    adaptor->AttachControl(control, Data.get(), false, Skin->AdaptorSet().Canvas());
    RECT screen{};
    GetWindowRect(w, &screen);
    SetCursorPos(screen.left + 8, screen.top + 16); // over the lower half
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, 1, 2), UpDownFrames[0]);
    EXPECT_EQ(WindowPixel(w, 1, 13), UpDownFrames[4]);
    // The glyph cells centred in each half: 16 x 11 halves, 4 x 3 cells.
    EXPECT_EQ(WindowPixel(w, 6, 4), GlyphCells[0]);
    EXPECT_EQ(WindowPixel(w, 6, 15), GlyphCells[4]);
    // Pressed on the lower half: frame 6 there, frame 1 above.
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 16));
    EXPECT_EQ(WindowPixel(w, 1, 13), UpDownFrames[5]);
    EXPECT_EQ(WindowPixel(w, 1, 2), UpDownFrames[0]);
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(8, 16));
    EXPECT_EQ(WindowPixel(w, 1, 13), UpDownFrames[4]);
    // Disabled: frames 3 and 7.
    control->SetEnabled(false);
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, 1, 2), UpDownFrames[2]);
    EXPECT_EQ(WindowPixel(w, 1, 13), UpDownFrames[6]);
    control->SetEnabled(true);

    // No element: a rectangle in the dark shadow colour around the face, and an arrow of lines.
    ASSERT_TRUE(Load(TEditSkin{true, false}));
    SetCursorPos(0, 0);
    SendMessageA(w, WM_MOUSELEAVE, 0, 0);
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, 0, 0), DkShadow);
    EXPECT_EQ(WindowPixel(w, 2, 2), Face);
    EXPECT_EQ(WindowPixel(w, 8, 3), DkShadow); // the up arrow's tip: x = 8, y = 11 / 2 - 2
    delete adaptor;
}

TEST_F(TSkinEditsTest, ComboBoxButtonArrowAndBorderInEachState)
{
    auto* combo = Make<TComboBox>(10, 10, 121, 21);
    combo->SetStyle(csDropDownList);
    combo->Items()->Add("One");
    combo->SetItemIndex(0);
    HWND w = combo->Handle();
    RECT window{};
    GetWindowRect(w, &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    const TWndMethod original = combo->WindowProc();
    auto* adaptor = new TSkinComBox(&Skin->AdaptorSet());
    adaptor->AttachControl(combo, Data.get(), false, Skin->AdaptorSet().Canvas());
    SetFocus(Host->Handle());
    Redraw(w);
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    const int button = width - s - 2;
    EXPECT_EQ(WindowPixel(w, button + 1, 2), ComboFrames[0]);
    EXPECT_EQ(WindowPixel(w, button - 1, height / 2), 0xFFFFFFu); // not the button
    // The arrow, 7 x 4, centred in the button and across the combo.
    const int ax = button + (s + 2 - 7) / 2, ay = (height - 4) / 2;
    EXPECT_EQ(WindowPixel(w, ax + 3, ay + 1), ArrowFrames[0]);
    // The border from "SunkEdge" frame 1, two pixels thick left and top.
    EXPECT_EQ(WindowPixel(w, 0, height / 2), SunkOuter);
    EXPECT_EQ(WindowPixel(w, 1, height / 2), SunkInner);
    EXPECT_EQ(WindowPixel(w, 40, 0), SunkTop);
    EXPECT_EQ(WindowPixel(w, 40, 1), SunkTop);

    // Focused: frame 4; pressed while focused: frame 2, the arrow too.
    SetFocus(w);
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, button + 1, 2), ComboFrames[3]);
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(button + 4, height / 2));
    EXPECT_EQ(adaptor->State(), 2);
    EXPECT_EQ(WindowPixel(w, button + 1, 2), ComboFrames[1]);
    EXPECT_EQ(WindowPixel(w, ax + 3, ay + 1), ArrowFrames[1]);
    SendMessageA(w, CB_SHOWDROPDOWN, FALSE, 0);
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(button + 4, height / 2));
    SetFocus(Host->Handle());
    // Disabled: frame 3.
    combo->SetEnabled(false);
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, button + 1, 2), ComboFrames[2]);
    combo->SetEnabled(true);

    // The flat look: the shadow line round it and the button frame in a strip at the right.
    ASSERT_TRUE(Load(TEditSkin{true, true, 1}));
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, 0, 0), Shadow);
    EXPECT_EQ(WindowPixel(w, width - 3, height / 2), ComboFrames[0]);
    // No "ComboButton": the combo box's own look.
    ASSERT_TRUE(Load(TEditSkin{false, true}));
    Redraw(w);
    EXPECT_NE(WindowPixel(w, width - 3, height / 2), ComboFrames[0]);
    EXPECT_NE(WindowPixel(w, 0, height / 2), SunkOuter);

    delete adaptor;
    EXPECT_EQ(combo->WindowProc(), original);
}

TEST_F(TSkinEditsTest, DiscoveryAttachesEditsCombosDatePickersAndUpDownsAndGivesThemBack)
{
    auto* edit = Make<TEdit>(10, 10, 100, 21);
    auto* combo = Make<TComboBox>(10, 40, 100, 21);
    auto* simple = Make<TComboBox>(10, 70, 100, 60);
    simple->SetStyle(csSimple);
    auto* picker = Make<TDateTimePicker>(120, 10, 120, 21);
    auto* spinner = Make<TDateTimePicker>(120, 40, 120, 21);
    spinner->SetDateMode(dmUpDown);
    auto* clock = Make<TDateTimePicker>(120, 70, 120, 21);
    clock->SetKind(dtkTime); // a time shows arrows, whatever its date mode
    auto* upDown = Make<TUpDown>(250, 10, 17, 22);
    const HWND editWindow = edit->Handle();
    const LONG_PTR editProc = GetWindowLongPtrA(editWindow, GWLP_WNDPROC);
    Skin->AttachForm(Data.get(), Host.get());
    auto adaptorOf = [&](TWinControl* Control) -> TSkinControl* {
        return Skin->AdaptorSet().FindAdaptor(Control->Handle());
    };
    EXPECT_NE(dynamic_cast<TSkinEdit*>(adaptorOf(edit)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinComBox*>(adaptorOf(combo)), nullptr);
    EXPECT_EQ(adaptorOf(simple), nullptr); // a simple combo box keeps its own look
    EXPECT_NE(dynamic_cast<TSkinComBox*>(adaptorOf(picker)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinEdit*>(adaptorOf(spinner)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinEdit*>(adaptorOf(clock)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinUpDown*>(adaptorOf(upDown)), nullptr);
    // Walked again: nothing attached twice.
    const size_t count = Skin->AdaptorSet().Adaptors().size();
    Skin->AdaptorSet().AttachControls(Host.get());
    EXPECT_EQ(Skin->AdaptorSet().Adaptors().size(), count);
    Redraw(editWindow);
    EXPECT_EQ(WindowPixel(editWindow, 0, 0), Shadow);

    Skin->Unskin();
    EXPECT_TRUE(Skin->AdaptorSet().Adaptors().empty());
    EXPECT_EQ(GetWindowLongPtrA(editWindow, GWLP_WNDPROC), editProc);
    Pump(30);
    Redraw(editWindow);
    EXPECT_NE(WindowPixel(editWindow, 0, 0), Shadow);

    // A dialog's edit and drop-down combo box are found among its child windows.
    auto child = [&](const char* Class, DWORD Style) {
        return CreateWindowExA(WS_EX_CLIENTEDGE, Class, "", WS_CHILD | WS_VISIBLE | Style, 0, 200, 100, 80,
                               Host->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    };
    HWND bareEdit = child("EDIT", 0), bareCombo = child("COMBOBOX", CBS_DROPDOWN), bareSimple = child("COMBOBOX", CBS_SIMPLE);
    // A spin edit: an up-down beside its buddy edit.
    HWND buddy = child("EDIT", 0);
    HWND spin = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 0, 0, 0,
                                0, Host->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    Skin->AdaptorSet().AttachChildWindows();
    EXPECT_NE(dynamic_cast<TSkinUpDown*>(Skin->AdaptorSet().FindAdaptor(spin)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinEdit*>(Skin->AdaptorSet().FindAdaptor(bareEdit)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinComBox*>(Skin->AdaptorSet().FindAdaptor(bareCombo)), nullptr);
    EXPECT_EQ(Skin->AdaptorSet().FindAdaptor(bareSimple), nullptr);
    Skin->AdaptorSet().ReleaseAdaptors();
    for (HWND w : {bareEdit, bareCombo, bareSimple})
        DestroyWindow(w);
}
