// Control adaptors on real controls: the two filters, exact restore for both attachments (also
// under a later hook), the exclusive hot slot, press-move-release, the space bar, button layout,
// check and radio boxes, the frame each state shows (a skin whose every frame has its own
// colour), and which adaptor control discovery gives which control.
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinCheckBox.h"
#include "skin/controls/SkinEdits.h"
#include "skin/controls/SkinScrollBars.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/win/ControlMessages.h"
#include "framework/controls/StdCtrls.h"
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

#include <algorithm>
#include <memory>
#include <string>

namespace {

// Frames of the "Buttons" strip (normal, pressed, disabled, hot, unused) and of the check and
// radio strips (unchecked, checked, unchecked disabled, checked disabled), 0x00RRGGBB.
constexpr uint32_t ButtonFrames[5] = {0x204060, 0x602040, 0x808080, 0x40A040, 0x000000};
constexpr uint32_t CheckFrames[4] = {0xA00000, 0x00A000, 0x0000A0, 0xA0A000};
constexpr uint32_t RadioFrames[4] = {0x500000, 0x005000, 0x000050, 0x505000};
constexpr uint32_t Face = 0xC8C8C8;

std::string Description()
{
    return "[TitlebarSkin]\r\nSkinName=Buttons\r\n"
           "[Colours]\r\nButtonFace=200 200 200\r\nButtonText=0 0 0\r\n"
           "[Buttons]\r\nBitmap=button.bmp\r\nLeftWidth=2\r\nTopHeight=2\r\nRightWidth=2\r\nBottomHeight=2\r\n"
           "Trans=0\r\nTile=0\r\nNormalColour2=1 1 1\r\nMouseOverColour2=2 2 2\r\nPressedColour2=3 3 3\r\n"
           "CheckButton=check.bmp\r\nCheckButtonFrame=4\r\nRadioButton=radio.bmp\r\nRadioButtonFrame=4\r\n";
}

std::vector<TPackageEntry> Bitmaps()
{
    auto strip = [](int W, int H, const uint32_t* Colours, int Count) {
        return Bmp(W * Count, H, [=](int x, int) { return Colours[x / W]; });
    };
    return {{"button.bmp", strip(12, 12, ButtonFrames, 5)},
            {"check.bmp", strip(13, 13, CheckFrames, 4)},
            {"radio.bmp", strip(13, 13, RadioFrames, 4)}};
}

// An adaptor that consumes one message and counts its after-reactions.
class TProbeAdaptor : public TSkinControl {
public:
    explicit TProbeAdaptor(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeMessage(TMessage& Message) override
    {
        if (Message.Msg == WM_USER + 7) {
            Message.Result = 77;
            return false;
        }
        return true;
    }
    void AfterMessage(TMessage& Message) override
    {
        if (Message.Msg >= WM_USER)
            ++After;
        TSkinControl::AfterMessage(Message);
    }
    int After = 0;
};

// A form of its own (a child of the staging window, so that hiding it is quick) with a form
// object that holds the adaptors, as a skinned window's would.
struct TSkinControlsTest : TSkinnedHostTest {
    void SetUp() override
    {
        SetCursorPos(0, 0);
        OpenHost(0, 0, 400, 300, true);
        ASSERT_TRUE(LoadSkinPackage(*Data, Description(), Bitmaps()));
    }

    template <class T> T* Make(const std::string& Caption, int X, int Y, int W = 75, int H = 25)
    {
        auto* control = new T(Host.get());
        control->SetParent(Host.get());
        control->SetBounds(X, Y, W, H);
        control->SetCaption(Caption);
        control->HandleNeeded();
        return control;
    }

};

} // namespace

TEST_F(TSkinControlsTest, FiltersConsumeOrPassAndTheCaptionFollowsWmSetText)
{
    TMessageRecorder recorder;
    TTestWindows windows;
    HWND w = windows.CreateChild(Host->Handle(), &recorder, 5);
    const LONG_PTR original = GetWindowLongPtrA(w, GWLP_WNDPROC);
    auto* probe = new TProbeAdaptor(&Skin->AdaptorSet());
    probe->AttachWindow(w, Data.get(), Skin->AdaptorSet().Canvas());
    EXPECT_NE(GetWindowLongPtrA(w, GWLP_WNDPROC), original);

    // Consumed: the window's own procedure never sees it and there is no after-reaction.
    recorder.Clear();
    EXPECT_EQ(SendMessageA(w, WM_USER + 7, 0, 0), 77);
    EXPECT_FALSE(recorder.Contains(WM_USER + 7));
    EXPECT_EQ(probe->After, 0);
    // Passed: both.
    SendMessageA(w, WM_USER + 8, 0, 0);
    EXPECT_TRUE(recorder.Contains(WM_USER + 8));
    EXPECT_EQ(probe->After, 1);
    // WM_SETTEXT stores the caption and repaints at once.
    recorder.Clear();
    SetWindowTextA(w, "New caption");
    EXPECT_EQ(probe->Caption(), "New caption");
    EXPECT_TRUE(recorder.Contains(WM_PAINT));

    // Given back exactly; a second Detach changes nothing.
    probe->Detach();
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), original);
    probe->Detach();
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), original);
    delete probe;

    // Under someone who subclassed after the adaptor: they keep working, and once they leave the
    // window's own procedure is back.
    static WNDPROC below = nullptr;
    struct TTop {
        static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM WP, LPARAM LP)
        {
            return CallWindowProcA(below, W, M, WP, LP);
        }
    };
    probe = new TProbeAdaptor(&Skin->AdaptorSet());
    probe->AttachWindow(w, Data.get(), Skin->AdaptorSet().Canvas());
    below = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TTop::Proc)));
    delete probe;
    recorder.Clear();
    SendMessageA(w, WM_USER + 7, 0, 0);
    EXPECT_TRUE(recorder.Contains(WM_USER + 7)); // no longer consumed
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(below));
    SendMessageA(w, WM_NULL, 0, 0);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), original);
}

TEST_F(TSkinControlsTest, AFrameworkControlsHookAndColourComeBackExactly)
{
    auto* box = Make<TCheckBox>("Check", 10, 10, 120, 20);
    box->SetColor(clRed);
    const TWndMethod original = box->WindowProc();
    auto* adaptor = new TSkinCheckBox(&Skin->AdaptorSet());
    adaptor->AttachControl(box, Data.get(), true, Skin->AdaptorSet().Canvas());
    EXPECT_NE(box->WindowProc(), original);
    EXPECT_EQ(box->Color(), static_cast<TColor>(Face));
    EXPECT_TRUE(box->DoubleBuffered());
    EXPECT_EQ(Skin->AdaptorSet().Adaptors().size(), 1u);
    delete adaptor;
    EXPECT_EQ(box->WindowProc(), original);
    EXPECT_EQ(box->Color(), clRed);
    EXPECT_FALSE(box->DoubleBuffered());
    EXPECT_TRUE(Skin->AdaptorSet().Adaptors().empty());

    // A hook installed after the adaptor's keeps working when the adaptor goes.
    adaptor = new TSkinCheckBox(&Skin->AdaptorSet());
    adaptor->AttachControl(box, Data.get(), false, Skin->AdaptorSet().Canvas());
    int seen = 0;
    struct TOther : TObject {
        explicit TOther(int* S) : Seen(S) {}
        TControlHook Hook;
        int* Seen;
        void Proc(TMessage& M)
        {
            ++*Seen;
            Hook.CallOld(M);
        }
    } other(&seen);
    other.Hook.Install(box, BindMethod<&TOther::Proc>(&other));
    delete adaptor;
    box->Perform(WM_NULL, 0, 0);
    EXPECT_GT(seen, 0);
    other.Hook.Restore();
    box->Perform(WM_NULL, 0, 0); // the adaptor's relay, on top again, lets go
    EXPECT_EQ(box->WindowProc(), original);
}

TEST_F(TSkinControlsTest, PushButtonsShowTheirStatesAndClickOnlyWhenReleasedOnThem)
{
    auto* a = Make<TButton>("A", 10, 10);
    auto* b = Make<TButton>("B", 100, 10);
    int clicks = 0;
    struct TCounter : TObject {
        explicit TCounter(int* C) : Count(C) {}
        int* Count;
        void Click(TObject*) { ++*Count; }
    } counter(&clicks);
    a->SetOnClick(BindMethod<&TCounter::Click>(&counter));
    auto* skinA = new TSkinButton(&Skin->AdaptorSet());
    skinA->AttachControl(a, Data.get(), false, Skin->AdaptorSet().Canvas());
    auto* skinB = new TSkinButton(&Skin->AdaptorSet());
    skinB->AttachControl(b, Data.get(), false, Skin->AdaptorSet().Canvas());
    SetFocus(Host->Handle());
    Pump(30);
    HWND wa = a->Handle();
    EXPECT_EQ(WindowPixel(wa, 1, 1), ButtonFrames[0]);

    // Hot is exclusive: B becoming hot makes A leave.
    SendMessageA(wa, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Skin->AdaptorSet().HotButton(), skinA);
    EXPECT_EQ(WindowPixel(wa, 1, 1), ButtonFrames[3]);
    SendMessageA(b->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Skin->AdaptorSet().HotButton(), skinB);
    EXPECT_EQ(skinA->MouseState() & msHot, 0);

    // Pressed, the mouse leaves, released: no click.
    SendMessageA(wa, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(WindowPixel(wa, 1, 1), ButtonFrames[1]);
    SendMessageA(wa, CM_MOUSELEAVE, 0, 0);
    SendMessageA(wa, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump(30);
    EXPECT_EQ(clicks, 0);
    // Pressed and released on it: one click.
    SendMessageA(wa, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(wa, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump(30);
    EXPECT_EQ(clicks, 1);

    // The space bar: pressed while held, focused (frame 4) after; both keys reach the button.
    SetFocus(wa);
    SendMessageA(wa, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(WindowPixel(wa, 1, 1), ButtonFrames[1]);
    SendMessageA(wa, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(WindowPixel(wa, 1, 1), ButtonFrames[3]);
    Pump(30);

    // Disabled: frame 3.
    a->SetEnabled(false);
    Pump(30);
    RedrawWindow(wa, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(WindowPixel(wa, 1, 1), ButtonFrames[2]);
}

TEST(SkinButtonLayoutTest, TheWorkedExamples)
{
    // Margin and Spacing -1, 75 x 25, glyph 16 x 16, text 30 x 13, glyph left.
    TSkinButtonLayout l = TSkinButton::CalcButtonLayout({75, 25}, {16, 16}, {30, 13}, 0, -1, -1);
    EXPECT_EQ(l.GlyphPos.x, 9);
    EXPECT_EQ(l.GlyphPos.y, 5);
    EXPECT_EQ(l.TextPos.x, 34);
    EXPECT_EQ(l.TextPos.y, 6);
    EXPECT_EQ(l.Alignment, static_cast<UINT>(DT_LEFT));
    // Spacing 4: margin 12, and one more for a speed button.
    EXPECT_EQ(TSkinButton::CalcButtonLayout({75, 25}, {16, 16}, {30, 13}, 0, -1, 4).GlyphPos.x, 12);
    EXPECT_EQ(TSkinButton::CalcButtonLayout({75, 25}, {16, 16}, {30, 13}, 0, -1, 4, true).GlyphPos.x, 13);
    // Caption only: no spacing, the caption centred by the same rule.
    l = TSkinButton::CalcButtonLayout({75, 25}, {0, 0}, {30, 13}, 0, -1, 4);
    EXPECT_EQ(l.TextPos.x, (75 - 30) / 2);
    // Glyph right and glyph bottom.
    l = TSkinButton::CalcButtonLayout({75, 25}, {16, 16}, {30, 13}, 1, 5, 3);
    EXPECT_EQ(l.GlyphPos.x, 75 - 5 - 16);
    EXPECT_EQ(l.TextPos.x, 75 - 5 - 16 - 3 - 30);
    EXPECT_EQ(l.Alignment, static_cast<UINT>(DT_RIGHT));
    l = TSkinButton::CalcButtonLayout({40, 60}, {16, 16}, {30, 13}, 3, 4, 2);
    EXPECT_EQ(l.GlyphPos.y, 60 - 4 - 16);
    EXPECT_EQ(l.TextPos.y, 60 - 4 - 16 - 2 - 13);
    EXPECT_EQ(l.GlyphPos.x, (40 - 16 + 1) / 2);
}

TEST(SkinCheckBoxLayoutTest, BoxPositionsForEachImageWidth)
{
    const RECT r{0, 0, 100, 17};
    RECT box = CheckBoxRect(r, 13, 13, false);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.right, 13);
    EXPECT_EQ(box.bottom, 15);
    EXPECT_EQ(CheckBoxRect(r, 11, 11, false).left, 1);
    box = CheckBoxRect(r, 16, 16, true);
    EXPECT_EQ(box.left, 100 - 17);
    EXPECT_EQ(box.right, 100 - 1);
    box = CheckBoxRect(r, 11, 11, true);
    EXPECT_EQ(box.right, 100 - 1);
    EXPECT_EQ(box.left, 100 - 1 - 11);
}

TEST_F(TSkinControlsTest, CheckAndRadioBoxesShowTheFrameOfTheirState)
{
    auto* check = Make<TCheckBox>("Check", 10, 10, 120, 17);
    auto* radio = Make<TRadioButton>("Radio", 10, 40, 120, 17);
    auto* right = Make<TCheckBox>("Right", 10, 70, 120, 17);
    right->SetAlignment(taRightJustify); // the box on the right
    auto* checkSkin = new TSkinCheckBox(&Skin->AdaptorSet());
    checkSkin->AttachControl(check, Data.get(), true, Skin->AdaptorSet().Canvas());
    auto* radioSkin = new TSkinRadioButton(&Skin->AdaptorSet());
    radioSkin->AttachControl(radio, Data.get(), true, Skin->AdaptorSet().Canvas());
    auto* rightSkin = new TSkinCheckBox(&Skin->AdaptorSet());
    rightSkin->AttachControl(right, Data.get(), true, Skin->AdaptorSet().Canvas());
    Pump(30);
    // 13-pixel images in 17-pixel rows: the box at (0, 2)-(13, 15).
    EXPECT_EQ(WindowPixel(check->Handle(), 6, 8), CheckFrames[0]);
    // No edge of the system's own box is left beside the image.
    for (int x = 0; x < 14; ++x) {
        EXPECT_EQ(WindowPixel(check->Handle(), x, 1), Face) << x;
        EXPECT_EQ(WindowPixel(check->Handle(), x, 15), Face) << x;
    }
    // BM_SETCHECK from the program repaints at once.
    SendMessageA(check->Handle(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(WindowPixel(check->Handle(), 6, 8), CheckFrames[1]);
    // The box on the right.
    EXPECT_EQ(WindowPixel(right->Handle(), 120 - 7, 8), CheckFrames[0]);
    // A checked, disabled radio button: frame 4.
    radio->SetChecked(true);
    radio->SetEnabled(false);
    Pump(30);
    RedrawWindow(radio->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(WindowPixel(radio->Handle(), 6, 8), RadioFrames[3]);

    // A skin whose check strip says it has two frames: a disabled box shows its enabled frame.
    std::string ini = Description();
    ini.replace(ini.find("CheckButtonFrame=4"), 18, "CheckButtonFrame=2");
    ASSERT_TRUE(LoadSkinPackage(*Data, ini, Bitmaps()));
    check->SetEnabled(false);
    Pump(30);
    RedrawWindow(check->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    // Two frames of a 52-pixel strip are 26 pixels wide: its second frame starts with the third
    // of the four colours.
    EXPECT_EQ(WindowPixel(check->Handle(), 6, 8), CheckFrames[2]);
}

TEST_F(TSkinControlsTest, DiscoveryGivesEachControlItsAdaptorOrNone)
{
    auto* plain = Make<TButton>("Plain", 10, 10);
    auto* tagged = Make<TButton>("Tag 99", 10, 40);
    tagged->SetTag(99);
    auto* tagged199 = Make<TButton>("Tag 199", 10, 70);
    tagged199->SetTag(199);
    auto* bit = Make<TBitBtn>("Bit", 100, 10);
    auto* check = Make<TCheckBox>("Check", 100, 40, 100, 17);
    auto* panel = Make<TPanel>("", 200, 100, 100, 60);
    auto* bar = Make<TToolBar>("", 0, 250, 400, 26);
    Skin->AttachForm(Data.get(), Host.get()); // attaches the adaptors
    auto adaptorOf = [&](TControl* Control) -> TSkinControl* {
        for (TSkinControl* a : Skin->AdaptorSet().Adaptors())
            if (a->Control() == Control)
                return a;
        return nullptr;
    };
    EXPECT_NE(dynamic_cast<TSkinButton*>(adaptorOf(plain)), nullptr);
    EXPECT_EQ(adaptorOf(tagged), nullptr);
    EXPECT_EQ(adaptorOf(tagged199), nullptr);
    EXPECT_NE(dynamic_cast<TSkinBitButton*>(adaptorOf(bit)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinCheckBox*>(adaptorOf(check)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinBox*>(adaptorOf(panel)), nullptr);
    EXPECT_EQ(panel->Color(), static_cast<TColor>(Face));
    // A TToolBar itself is only made flat and recoloured.
    EXPECT_EQ(adaptorOf(bar), nullptr);
    EXPECT_TRUE(bar->Flat());
    EXPECT_EQ(bar->Color(), static_cast<TColor>(Face));
    // A second walk attaches nothing twice.
    const size_t count = Skin->AdaptorSet().Adaptors().size();
    Skin->AdaptorSet().AttachControls(Host.get());
    EXPECT_EQ(Skin->AdaptorSet().Adaptors().size(), count);
    Skin->Unskin();
    EXPECT_EQ(panel->Color(), clBtnFace);
    // What the walk changed on the form and its controls goes back too, although the skin (which
    // has no frame) only skinned the controls while its kinds include the frame's.
    EXPECT_EQ(Host->Color(), clBtnFace);
    EXPECT_FALSE(bar->Flat());
    EXPECT_EQ(bar->Color(), clBtnFace);
}

// The skin data goes while a form object still skins the form with it: no adaptor keeps it, the
// controls get their own look back and paint without it.
TEST_F(TSkinControlsTest, WhenTheSkinDataGoesNoAdaptorKeepsIt)
{
    auto* button = Make<TButton>("Plain", 10, 10);
    auto* panel = Make<TPanel>("", 200, 100, 100, 60);
    Skin->AttachForm(Data.get(), Host.get());
    ASSERT_FALSE(Skin->AdaptorSet().Adaptors().empty());
    ASSERT_EQ(panel->Color(), static_cast<TColor>(Face));
    const TSkinData* gone = Data.get();
    Data.reset();
    EXPECT_EQ(Skin->SkinData(), nullptr);
    for (TSkinControl* adaptor : Skin->AdaptorSet().Adaptors())
        EXPECT_NE(adaptor->SkinData(), gone);
    EXPECT_TRUE(Skin->AdaptorSet().Adaptors().empty());
    EXPECT_EQ(panel->Color(), clBtnFace);
    RedrawWindow(Host->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // A new walk without a skin makes nothing.
    Skin->AdaptorSet().AttachControls(Host.get());
    EXPECT_TRUE(Skin->AdaptorSet().Adaptors().empty());
    EXPECT_TRUE(IsWindow(button->Handle()));
}

namespace {

// Classes of another component library, as the skin's class map names them.
class TFancyThing : public TCustomControl {
    DECLARE_CLASS(TFancyThing, TCustomControl)
public:
    explicit TFancyThing(TComponent* AOwner) : TCustomControl(AOwner) {}
};
IMPLEMENT_CLASS_EMPTY(TFancyThing)

class TOddThing : public TCustomControl {
    DECLARE_CLASS(TOddThing, TCustomControl)
public:
    explicit TOddThing(TComponent* AOwner) : TCustomControl(AOwner) {}
};
IMPLEMENT_CLASS_EMPTY(TOddThing)

class TFancyToolBar : public TToolBar {
    DECLARE_CLASS(TFancyToolBar, TToolBar)
public:
    explicit TFancyToolBar(TComponent* AOwner) : TToolBar(AOwner) {}
};
IMPLEMENT_CLASS_EMPTY(TFancyToolBar)

struct THandler : TObject {
    TSkinControl* Made = nullptr;
    TComponent* For = nullptr;
    void SkinControl(TComponent* Sender, TSkinData*, TControl*, TControl* Control, const std::string&,
                     TComponent*& Skinned)
    {
        if (Control != For)
            return;
        Made = new TSkinButton(Sender);
        Skinned = Made;
    }
};

} // namespace

TEST_F(TSkinControlsTest, TheClassMapDerivedToolBarsAndTheApplicationsOwnAdaptor)
{
    auto* fancy = Make<TFancyThing>("", 10, 10, 50, 20);
    auto* odd = Make<TOddThing>("", 10, 40, 50, 20);
    auto* bar = Make<TFancyToolBar>("", 0, 250, 400, 26);
    auto* claimed = Make<TCheckBox>("Mine", 100, 10, 100, 17);
    // A kind in any case; a kind that matches no row attaches nothing, and nothing later either.
    Data->Skin3rd()->Add("TFancyThing=CheckBox");
    Data->Skin3rd()->Add("TOddThing=Gadget");
    THandler handler;
    handler.For = claimed;
    Data->SetOnSkinControl(BindMethod<&THandler::SkinControl>(&handler));
    Skin->AttachForm(Data.get(), Host.get());
    auto adaptorOf = [&](TControl* Control) -> TSkinControl* {
        for (TSkinControl* a : Skin->AdaptorSet().Adaptors())
            if (a->Control() == Control)
                return a;
        return nullptr;
    };
    EXPECT_NE(dynamic_cast<TSkinCheckBox*>(adaptorOf(fancy)), nullptr);
    EXPECT_EQ(adaptorOf(odd), nullptr);
    // A class derived from TToolBar: made flat and given the box adaptor.
    EXPECT_NE(dynamic_cast<TSkinBox*>(adaptorOf(bar)), nullptr);
    EXPECT_TRUE(bar->Flat());
    // The handler's adaptor is attached to the window, and the check-box row never ran.
    ASSERT_NE(handler.Made, nullptr);
    EXPECT_EQ(handler.Made->Handle(), claimed->Handle());
    EXPECT_EQ(adaptorOf(claimed), nullptr);
    Skin->Unskin();
}

TEST_F(TSkinControlsTest, DialogChildrenAreClassifiedByClassAndStyle)
{
    auto child = [&](const char* Class, DWORD Style) {
        return CreateWindowExA(0, Class, "x", WS_CHILD | WS_VISIBLE | Style, 0, 0, 60, 20, Host->Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    HWND push = child("BUTTON", BS_PUSHBUTTON);
    HWND group = child("BUTTON", BS_GROUPBOX);
    HWND check = child("BUTTON", BS_AUTOCHECKBOX);
    HWND radio = child("BUTTON", BS_AUTORADIOBUTTON);
    HWND simple = child("COMBOBOX", CBS_SIMPLE);
    HWND owner = child("BUTTON", BS_OWNERDRAW);
    HWND split = child("BUTTON", 0x0000000C); // BS_SPLITBUTTON
    HWND three = child("BUTTON", BS_AUTO3STATE);
    HWND pushLike = child("BUTTON", BS_AUTOCHECKBOX | BS_PUSHLIKE);
    HWND list = child("LISTBOX", WS_VSCROLL);
    HWND memo = child("EDIT", ES_MULTILINE | WS_VSCROLL);
    HWND edit = child("EDIT", ES_AUTOHSCROLL);
    HWND view = child(WC_LISTVIEWA, LVS_REPORT);
    HWND tree = child(WC_TREEVIEWA, 0);
    Skin->SkinFrame(Data.get()); // a bare window: its child windows
    EXPECT_NE(dynamic_cast<TSkinButton*>(Skin->AdaptorSet().FindAdaptor(push)), nullptr);
    EXPECT_EQ(Skin->AdaptorSet().FindAdaptor(group), nullptr);
    EXPECT_NE(dynamic_cast<TSkinCheckBox*>(Skin->AdaptorSet().FindAdaptor(check)), nullptr);
    EXPECT_EQ(dynamic_cast<TSkinRadioButton*>(Skin->AdaptorSet().FindAdaptor(check)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinRadioButton*>(Skin->AdaptorSet().FindAdaptor(radio)), nullptr);
    EXPECT_EQ(Skin->AdaptorSet().FindAdaptor(simple), nullptr);
    // Buttons that draw themselves keep their look; a three-state box is a check box.
    EXPECT_EQ(Skin->AdaptorSet().FindAdaptor(owner), nullptr);
    EXPECT_EQ(Skin->AdaptorSet().FindAdaptor(split), nullptr);
    EXPECT_NE(dynamic_cast<TSkinCheckBox*>(Skin->AdaptorSet().FindAdaptor(three)), nullptr);
    EXPECT_EQ(Skin->AdaptorSet().FindAdaptor(pushLike), nullptr) << "a push-like box would lose its state";
    // Scrolling windows get their bars skinned (a list box although it has no bars yet, being
    // empty); a list view its header too; a single-line edit is an edit.
    EXPECT_NE(dynamic_cast<TSkinScrollBar*>(Skin->AdaptorSet().FindAdaptor(list)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinScrollBar*>(Skin->AdaptorSet().FindAdaptor(memo)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinEdit*>(Skin->AdaptorSet().FindAdaptor(edit)), nullptr);
    auto* listView = dynamic_cast<TSkinListView*>(Skin->AdaptorSet().FindAdaptor(view));
    ASSERT_NE(listView, nullptr);
    EXPECT_NE(listView->Header(), nullptr);
    EXPECT_NE(dynamic_cast<TSkinScrollBar*>(Skin->AdaptorSet().FindAdaptor(tree)), nullptr);
    // Again: each window keeps its one adaptor.
    const size_t count = Skin->AdaptorSet().Adaptors().size();
    Skin->AdaptorSet().AttachChildWindows();
    EXPECT_EQ(Skin->AdaptorSet().Adaptors().size(), count);
    Skin->AdaptorSet().ReleaseAdaptors();
    for (HWND w : {push, group, check, radio, simple, owner, split, three, pushLike, list, memo, edit, view, tree})
        DestroyWindow(w);
}

TEST_F(TSkinControlsTest, AButtonGivenNoFontKeepsTheSystemFontsTextWidthWhenSkinned)
{
    // The columns of a button's text: pixels in its middle, away from its edges, that stand out
    // from its face (as it shows left of the text).
    auto inkWidth = [](HWND W) {
        RECT r{};
        GetWindowRect(W, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        const std::vector<uint32_t> pixels = WindowPixels(W);
        const uint32_t face = pixels[static_cast<size_t>(h / 2) * w + 12];
        auto ink = [face](uint32_t p) {
            int d = 0;
            for (int shift : {0, 8, 16})
                d += std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((face >> shift) & 0xFF));
            return d > 90;
        };
        int first = w, last = -1;
        for (int y = h / 2 - 5; y <= h / 2 + 5; ++y)
            for (int x = 12; x < w - 12; ++x)
                if (ink(pixels[static_cast<size_t>(y) * w + x])) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        return last - first + 1;
    };
    HWND push = CreateWindowExA(0, "BUTTON", "Wide caption here", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 220,
                                40, Host->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_EQ(SendMessageA(push, WM_GETFONT, 0, 0), 0);
    UpdateWindow(push);
    const int native = inkWidth(push);
    ASSERT_GT(native, 60);
    Skin->SkinFrame(Data.get());
    ASSERT_NE(dynamic_cast<TSkinButton*>(Skin->AdaptorSet().FindAdaptor(push)), nullptr);
    RedrawWindow(push, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    // Within a few pixels (the skin's text colour smooths differently); 8-point text is a
    // quarter narrower.
    EXPECT_NEAR(inkWidth(push), native, native / 12) << "the skinned text is not in the button's own font";
    Skin->AdaptorSet().ReleaseAdaptors();
    DestroyWindow(push);
}

// A skin with content colours gives a bare window's list and tree views (which keep their colours
// themselves) its ground and text, as they show on the screen; a view whose ground the program
// set keeps it; with the skin off every one shows what it showed before.
TEST_F(TSkinControlsTest, BareViewsTakeTheSkinsContentColoursAndGiveThemBack)
{
    ASSERT_TRUE(LoadSkinPackage(
        *Data, WithColours(Description(), "Window=30 40 50\r\nWindowText=220 210 200\r\nWindowFrame=5 6 7\r\n"),
        Bitmaps()));
    auto child = [&](const char* Class, DWORD Style, int X) {
        return CreateWindowExA(0, Class, "", WS_CHILD | WS_VISIBLE | Style, X, 10, 70, 80, Host->Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    const std::vector<HWND> content{child(WC_LISTVIEWA, LVS_REPORT, 155), child(WC_TREEVIEWA, 0, 230)};
    HWND own = child(WC_LISTVIEWA, LVS_REPORT, 305);
    // A date picker, whose text the platform draws in its own colour.
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
    InitCommonControlsEx(&classes);
    HWND picker = CreateWindowExA(0, DATETIMEPICK_CLASSA, "", WS_CHILD | WS_VISIBLE, 155, 100, 150, 24, Host->Handle(),
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    // An edit with the sunken border: its lines on the content ground.
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 310, 100, 80, 24, Host->Handle(),
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    auto pickerShows = [&](uint32_t Colour) {
        const std::vector<uint32_t> pixels = WindowPixels(picker);
        return std::count_if(pixels.begin(), pixels.end(), [&](uint32_t p) { return (p & 0xFFFFFF) == Colour; });
    };
    SendMessageA(own, LVM_SETBKCOLOR, 0, RGB(255, 255, 0));
    InvalidateRect(own, nullptr, TRUE);
    Pump(50);
    std::vector<HWND> all = content;
    all.push_back(own);
    auto grounds = [&] { return WindowPixelOfEach(all, 60, 70); };
    const std::vector<uint32_t> before = grounds();
    const std::vector<uint32_t> pickerBefore = WindowPixels(picker);
    EXPECT_EQ(before.back(), 0xFFFF00u);

    Skin->SkinFrame(Data.get()); // a bare window: its child windows
    Pump(100);
    const std::vector<uint32_t> skinned = grounds();
    for (size_t i = 0; i < content.size(); ++i)
        EXPECT_EQ(skinned[i], 0x1E2832u) << "window " << i;
    EXPECT_EQ(skinned.back(), 0xFFFF00u) << "the program's own ground";
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(content[1], TVM_GETTEXTCOLOR, 0, 0)), RGB(220, 210, 200));
    // Its field on the skin's ground, its text in the skin's text colour.
    EXPECT_GT(pickerShows(0x1E2832u), 1000);
    EXPECT_GT(pickerShows(0xDCD2C8u), 20);
    EXPECT_EQ(WindowPixel(edit, 0, 12), 0x050607u) << "the content border";
    EXPECT_EQ(WindowPixel(edit, 1, 12), 0x1E2832u) << "the inner line on the content ground";

    Skin->Unskin();
    Pump(100);
    EXPECT_EQ(grounds(), before);
    EXPECT_EQ(WindowPixels(picker), pickerBefore);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(content[1], TVM_GETBKCOLOR, 0, 0)), CLR_NONE)
        << "the tree's own default";
    DestroyWindow(picker);
    DestroyWindow(edit);
    for (HWND w : content)
        DestroyWindow(w);
    DestroyWindow(own);
}
