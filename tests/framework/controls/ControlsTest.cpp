// Controls on real windows: the message hook, windows made on demand, reflected notifications,
// alignment and anchors, windowless controls painted and clicked through their parent, and the
// mouse entering and leaving controls as the cursor moves over them.
#include "framework/controls/Controls.h"
#include "framework/controls/Forms.h"
#include "framework/core/Dialogs.h"
#include "framework/core/Published.h"
#include "framework/win/Callback.h"

#include "tests/support/EventCounter.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// Notes which control got which message, for the messages a test cares about.
struct TNoteLog {
    std::vector<std::pair<std::string, UINT>> Notes;
    std::vector<UINT> Watched;
    void Note(const std::string& Who, UINT Msg)
    {
        for (UINT w : Watched)
            if (w == Msg)
                Notes.emplace_back(Who, Msg);
    }
};

class TBoxControl : public TCustomControl {
    DECLARE_CLASS(TBoxControl, TCustomControl)
public:
    explicit TBoxControl(TComponent* AOwner = nullptr) : TCustomControl(AOwner) {}
    TNoteLog* Log = nullptr;
    std::vector<TMessage> Received;
    LRESULT NotifyAnswer = 0;

protected:
    void WndProc(TMessage& Message) override
    {
        Received.push_back(Message);
        if (Log != nullptr)
            Log->Note(Name(), Message.Msg);
        if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == BN_CLICKED) {
            Click();
            return;
        }
        if (Message.Msg == CN_NOTIFY) {
            Message.Result = NotifyAnswer;
            return;
        }
        if (Message.Msg == WM_USER + 77)
            throw EConvertError("thrown from a handler");
        TCustomControl::WndProc(Message);
    }
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Color());
        const RECT r = ClientRect();
        Canvas()->FillRect(r);
    }
};
IMPLEMENT_CLASS_EMPTY(TBoxControl)

class TDot : public TGraphicControl {
    DECLARE_CLASS(TDot, TGraphicControl)
public:
    explicit TDot(TComponent* AOwner = nullptr) : TGraphicControl(AOwner) {}
    TNoteLog* Log = nullptr;
    std::vector<TMessage> Mouse;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Log != nullptr)
            Log->Note(Name(), Message.Msg);
        if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MBUTTONDBLCLK)
            Mouse.push_back(Message);
        TGraphicControl::WndProc(Message);
    }
    void Paint() override
    {
        // Drawn at the canvas origin: the parent's DC is moved to the control's corner.
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(RECT{0, 0, Width(), Height()});
        // Clipped to the control: this overhang must not show.
        Canvas()->FillRect(RECT{Width(), 0, Width() + 10, Height()});
    }
};
IMPLEMENT_CLASS_EMPTY(TDot)

// A hook that records and forwards to what it replaced.
class THook : public TObject {
public:
    explicit THook(TControl* Control) : FControl(Control), FOld(Control->WindowProc())
    {
        Control->SetWindowProc(BindMethod<&THook::Proc>(this));
    }
    void Restore() { FControl->SetWindowProc(FOld); }
    TWndMethod Old() const { return FOld; }
    std::vector<UINT> Seen;
    UINT RestoreOn = 0;

    void Proc(TMessage& Message)
    {
        Seen.push_back(Message.Msg);
        const TWndMethod old = FOld;
        if (Message.Msg == RestoreOn)
            Restore(); // the hook goes while its message is being handled
        old(Message);
    }

private:
    TControl* FControl;
    TWndMethod FOld;
};

COLORREF ScreenPixel(HWND Window, int X, int Y)
{
    HDC dc = GetDC(Window);
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(Window, dc);
    return c;
}

// Made on the stage window, which stays up for the whole test program.
std::unique_ptr<TBoxControl> MakeBox(const char* Name, int Left, int Top, int Width, int Height)
{
    auto box = std::make_unique<TBoxControl>();
    box->SetName(Name);
    box->SetBounds(Left, Top, Width, Height);
    box->SetParentWindow(TTestWindows::Stage());
    return box;
}

LRESULT CALLBACK RefuseEveryWindow(int Code, WPARAM WParam, LPARAM LParam)
{
    return Code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, Code, WParam, LParam);
}

bool Has(const std::vector<TMessage>& Messages, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    for (const TMessage& m : Messages)
        if (m.Msg == Msg && m.WParam == WParam && m.LParam == LParam)
            return true;
    return false;
}

} // namespace

TEST(ControlsTest, WindowProcSeesEveryKindOfMessageAndIsRestoredExactly)
{
    auto box = MakeBox("Box", 0, 0, 50, 40);
    const TWndMethod original = box->WindowProc();
    EXPECT_EQ(original, box->DefaultWindowProc());
    HWND window = box->Handle();
    {
        THook hook(box.get());
        EXPECT_NE(box->WindowProc(), original);
        SendMessageA(window, WM_USER + 5, 1, 2);          // a window message
        box->SetEnabled(false);                           // the framework's notification
        box->SetCaption("Hello");                         // through the window: WM_SETTEXT
        SendMessageA(window, CM_MOUSELEAVE, 0, 0);        // a CM_ message sent as a window message
        EXPECT_EQ(box->Perform(WM_USER + 6), 0);          // a direct delivery
        for (UINT m : {UINT(WM_USER + 5), CM_ENABLEDCHANGED, UINT(WM_SETTEXT), CM_MOUSELEAVE, UINT(WM_USER + 6)})
            EXPECT_NE(std::find(hook.Seen.begin(), hook.Seen.end(), m), hook.Seen.end()) << std::hex << m;
        EXPECT_EQ(box->Caption(), "Hello");
        char text[16]{};
        GetWindowTextA(window, text, sizeof text);
        EXPECT_STREQ(text, "Hello");
        EXPECT_FALSE(IsWindowEnabled(window));
        EXPECT_EQ(hook.Old(), original);
        hook.Restore();
        EXPECT_EQ(box->WindowProc(), original);
        const size_t seen = hook.Seen.size();
        SendMessageA(window, WM_USER + 5, 0, 0);
        EXPECT_EQ(hook.Seen.size(), seen);
    }
    // A hook that takes itself out while its own message is dispatched.
    THook outer(box.get());
    THook inner(box.get());
    inner.RestoreOn = WM_USER + 9;
    SendMessageA(window, WM_USER + 9, 0, 0);
    EXPECT_EQ(box->WindowProc(), BindMethod<&THook::Proc>(&outer));
    EXPECT_EQ(outer.Seen.back(), UINT(WM_USER + 9)); // it still reached the next layer
    outer.Restore();
    EXPECT_EQ(box->WindowProc(), original);
    // Another WM_SETTEXT from outside updates the caption too.
    SetWindowTextA(window, "Outside");
    EXPECT_EQ(box->Caption(), "Outside");
}

TEST(ControlsTest, WindowsAreMadeOnDemandAndRefusedCreationRaises)
{
    auto box = MakeBox("Lazy", 5, 5, 20, 20);
    EXPECT_FALSE(box->HandleAllocated());
    HWND window = box->Handle();
    EXPECT_TRUE(box->HandleAllocated());
    EXPECT_EQ(TWinControl::FindControl(window), box.get());
    char cls[64]{};
    GetClassNameA(window, cls, sizeof cls);
    EXPECT_STREQ(cls, "TBoxControl");
    // Our own window class answers WM_GETFONT with the control's font.
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), box->Font()->Handle());
    box->Font()->SetHeight(-20);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), box->Font()->Handle());

    // A control with no parent at all cannot have a child window.
    TBoxControl orphan;
    EXPECT_THROW(orphan.Handle(), EInvalidOperation);

    // A CBT hook that refuses every window: creation raises and leaves no handle behind.
    HHOOK hook = SetWindowsHookExA(WH_CBT, &RefuseEveryWindow, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    auto refused = MakeBox("Refused", 0, 0, 10, 10);
    EXPECT_THROW(refused->Handle(), EWindowCreateError);
    EXPECT_FALSE(refused->HandleAllocated());
    UnhookWindowsHookEx(hook);
    EXPECT_NE(refused->Handle(), nullptr);

    // Destroyed from outside, the control forgets its window and makes a new one when asked.
    DestroyWindow(window);
    EXPECT_FALSE(box->HandleAllocated());
    EXPECT_TRUE(IsWindow(box->Handle()));
    EXPECT_EQ(TWinControl::FindControl(box->Handle()), box.get());
}

TEST(ControlsTest, ChildNotificationsComeBackToTheChildAsCnMessages)
{
    auto parent = MakeBox("Parent", 0, 0, 100, 100);
    TBoxControl child;
    child.SetName("Child");
    child.SetBounds(10, 10, 30, 20);
    child.SetParent(parent.get());
    HWND p = parent->Handle();
    HWND c = child.Handle();
    TEventCounter clicks;
    child.SetOnClick(clicks.Event());

    // A posted WM_COMMAND with no control id is the child's click.
    PostMessageA(p, WM_COMMAND, 0, reinterpret_cast<LPARAM>(c));
    PumpMessages();
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_TRUE(Has(child.Received, CN_COMMAND, 0, reinterpret_cast<LPARAM>(c)));

    NMHDR header{c, 5, NM_CUSTOMDRAW};
    child.NotifyAnswer = CDRF_NOTIFYITEMDRAW;
    EXPECT_EQ(SendMessageA(p, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), CDRF_NOTIFYITEMDRAW);
    EXPECT_TRUE(Has(child.Received, CN_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)));

    SendMessageA(p, WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(c));
    SendMessageA(p, WM_VSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(c));
    EXPECT_TRUE(Has(child.Received, CN_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(c)));
    EXPECT_TRUE(Has(child.Received, CN_VSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(c)));

    // WM_CTLCOLOR*: the child answers with its colour.
    child.SetColor(clLime);
    HDC dc = GetDC(c);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(p, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(c)));
    LOGBRUSH info{};
    ASSERT_NE(GetObjectA(brush, sizeof info, &info), 0);
    EXPECT_EQ(info.lbColor, RGB(0, 255, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 255, 0));
    ReleaseDC(c, dc);

    // From a window that is no control of ours: the parent's own handling, nothing reflected.
    TTestWindows windows;
    HWND foreign = windows.CreateChild(p);
    const size_t before = child.Received.size();
    SendMessageA(p, WM_COMMAND, 0, reinterpret_cast<LPARAM>(foreign));
    EXPECT_EQ(child.Received.size(), before);
}

TEST(ControlsTest, AlignedChildrenShareTheClientAreaAndAnchoredOnesFollowTheEdges)
{
    auto parent = MakeBox("AlignParent", 0, 0, 200, 100);
    struct TKid {
        const char* Name;
        TAlign Align;
        int W, H;
    };
    std::vector<std::unique_ptr<TBoxControl>> kids;
    for (const TKid& k : {TKid{"T", alTop, 0, 20}, TKid{"B", alBottom, 0, 10}, TKid{"L", alLeft, 30, 0},
                          TKid{"R", alRight, 40, 0}, TKid{"C", alClient, 0, 0}}) {
        auto kid = std::make_unique<TBoxControl>();
        kid->SetName(k.Name);
        kid->SetBounds(0, 0, k.W, k.H);
        kid->SetAlign(k.Align);
        kid->SetParent(parent.get());
        kids.push_back(std::move(kid));
    }
    auto rectOf = [](TControl& c) { return std::vector<int>{c.Left(), c.Top(), c.Width(), c.Height()}; };
    EXPECT_EQ(rectOf(*kids[0]), (std::vector<int>{0, 0, 200, 20}));
    EXPECT_EQ(rectOf(*kids[1]), (std::vector<int>{0, 90, 200, 10}));
    EXPECT_EQ(rectOf(*kids[2]), (std::vector<int>{0, 20, 30, 70}));
    EXPECT_EQ(rectOf(*kids[3]), (std::vector<int>{160, 20, 40, 70}));
    EXPECT_EQ(rectOf(*kids[4]), (std::vector<int>{30, 20, 130, 70}));

    auto other = MakeBox("AnchorParent", 0, 0, 200, 100);
    TBoxControl corner, stretch;
    corner.SetBounds(150, 70, 20, 10);
    corner.SetAnchors(TAnchors{akRight, akBottom});
    corner.SetParent(other.get());
    stretch.SetBounds(10, 5, 100, 10);
    stretch.SetAnchors(TAnchors{akLeft, akTop, akRight});
    stretch.SetParent(other.get());
    other->SetBounds(0, 0, 300, 150);
    EXPECT_EQ(rectOf(corner), (std::vector<int>{250, 120, 20, 10}));
    EXPECT_EQ(rectOf(stretch), (std::vector<int>{10, 5, 200, 10}));
    // A resize from outside (the window itself), after the windows exist.
    HWND window = other->Handle();
    EXPECT_NE(corner.Handle(), nullptr);
    SetWindowPos(window, nullptr, 0, 0, 250, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(rectOf(corner), (std::vector<int>{200, 90, 20, 10}));
    RECT r{};
    GetWindowRect(corner.Handle(), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 90);
    // Moving the control itself sets new distances to keep.
    corner.SetLeft(100);
    other->SetWidth(300);
    EXPECT_EQ(corner.Left(), 150);
    // Hiding an aligned child gives its room to the others.
    kids[0]->SetVisible(false);
    EXPECT_EQ(rectOf(*kids[4]), (std::vector<int>{30, 0, 130, 90}));
}

TEST(ControlsTest, WindowlessControlsArePaintedAndClickedThroughTheirParent)
{
    auto parent = MakeBox("PaintParent", 0, 0, 80, 60);
    parent->SetColor(clBlue);
    TDot dot;
    dot.SetBounds(10, 20, 20, 15);
    dot.SetParent(parent.get());
    TEventCounter clicks;
    dot.SetOnClick(clicks.Event());
    HWND window = parent->Handle();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(ScreenPixel(window, 10, 20), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(window, 29, 34), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(window, 30, 25), RGB(0, 0, 255)); // the overhang was clipped
    EXPECT_EQ(ScreenPixel(window, 9, 20), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(window, 15, 35), RGB(0, 0, 255));

    // Mouse messages in the control's own coordinates; press and release make a click.
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 27));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(16, 28));
    ASSERT_EQ(dot.Mouse.size(), 2u);
    EXPECT_EQ(dot.Mouse[0].LParamX(), 5);
    EXPECT_EQ(dot.Mouse[0].LParamY(), 7);
    EXPECT_EQ(clicks.Count, 1);
    // Pressed on it and released outside: the release still goes to it, with no click.
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 27));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(70, 50));
    ASSERT_EQ(dot.Mouse.size(), 4u);
    EXPECT_EQ(dot.Mouse[3].LParamX(), 60);
    EXPECT_EQ(clicks.Count, 1);
    // Its canvas outside painting is a DC on the parent's window, moved to its corner and clipped.
    dot.Canvas()->Brush()->SetColor(clLime);
    dot.Canvas()->FillRect(RECT{0, 0, 40, 40});
    dot.Canvas()->FreeHandle();
    EXPECT_EQ(ScreenPixel(window, 10, 20), RGB(0, 255, 0));
    EXPECT_EQ(ScreenPixel(window, 29, 34), RGB(0, 255, 0));
    EXPECT_EQ(ScreenPixel(window, 30, 34), RGB(0, 0, 255));
    // A disabled windowless control gets no mouse messages.
    dot.SetEnabled(false);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 27));
    EXPECT_EQ(dot.Mouse.size(), 4u);
}

TEST(ControlsTest, MouseEnterAndLeaveFollowTheCursorAcrossControls)
{
    TNoteLog log;
    log.Watched = {CM_MOUSEENTER, CM_MOUSELEAVE};
    auto area = MakeBox("Area", 100, 100, 300, 100);
    area->Log = &log;
    TBoxControl a, b;
    TDot g;
    a.SetName("A");
    b.SetName("B");
    g.SetName("G");
    a.SetBounds(10, 10, 50, 50);
    b.SetBounds(80, 10, 50, 50);
    g.SetBounds(150, 10, 50, 50);
    for (TControl* c : std::initializer_list<TControl*>{&a, &b, &g})
        c->SetParent(area.get());
    a.Log = &log;
    b.Log = &log;
    g.Log = &log;
    b.SetEnabled(false); // disabled controls are told too
    area->Handle();
    UpdateWindow(TTestWindows::Stage());
    const POINT origin = area->ClientOrigin();
    auto moveTo = [&](int x, int y) {
        SetCursorPos(origin.x + x, origin.y + y);
        Application()->ProcessMessages();
        TrackMouseControl(); // what the loop does when idle
    };
    moveTo(30, 30);
    moveTo(100, 30);
    moveTo(170, 30);
    moveTo(250, 80);
    moveTo(-50, -50); // the stage, no control of ours
    moveTo(2000, 2000);
    using N = std::pair<std::string, UINT>;
    const std::vector<N> expected{N{"A", CM_MOUSEENTER},    N{"A", CM_MOUSELEAVE}, N{"B", CM_MOUSEENTER},
                                  N{"B", CM_MOUSELEAVE},    N{"G", CM_MOUSEENTER}, N{"G", CM_MOUSELEAVE},
                                  N{"Area", CM_MOUSEENTER}, N{"Area", CM_MOUSELEAVE}};
    EXPECT_EQ(log.Notes, expected);
    EXPECT_EQ(MouseControl(), nullptr);
    // A control freed under the cursor is forgotten.
    {
        TBoxControl under;
        under.SetBounds(0, 0, 300, 100);
        under.SetParent(area.get());
        under.Handle();
        moveTo(250, 80);
        EXPECT_EQ(MouseControl(), &under);
    }
    EXPECT_EQ(MouseControl(), nullptr);
    moveTo(2000, 2000);
}

TEST(ControlsTest, ColourAndFontComeFromTheParentUntilSetAndChangesNotify)
{
    auto parent = MakeBox("Colours", 0, 0, 50, 50);
    parent->SetColor(clYellow);
    parent->Font()->SetName("Arial");
    TBoxControl child;
    child.SetParentColor(true);
    child.SetParent(parent.get());
    EXPECT_EQ(child.Color(), clYellow);
    EXPECT_EQ(child.Font()->Name(), "Arial");
    parent->SetColor(clAqua);
    parent->Font()->SetHeight(-17);
    EXPECT_EQ(child.Color(), clAqua);
    EXPECT_EQ(child.Font()->Height(), -17);
    EXPECT_TRUE(child.ParentFont());
    child.SetColor(clRed);
    child.Font()->SetHeight(-9);
    EXPECT_FALSE(child.ParentColor());
    EXPECT_FALSE(child.ParentFont());
    parent->SetColor(clBlack);
    EXPECT_EQ(child.Color(), clRed);
    EXPECT_EQ(child.Font()->Height(), -9);
    child.Received.clear();
    child.SetEnabled(false);
    child.SetEnabled(false);
    int enabledChanges = 0;
    for (const TMessage& m : child.Received)
        enabledChanges += m.Msg == CM_ENABLEDCHANGED ? 1 : 0;
    EXPECT_EQ(enabledChanges, 1);
}

TEST(ControlsTest, AnExceptionInAHandlerReachesTheApplicationNotTheSystem)
{
    std::vector<std::string> shown;
    const TMessageBoxHandler saved = SetMessageBoxHandler([&](const std::string& Text, const std::string&, uint32_t) {
        shown.push_back(Text);
        return IDOK;
    });
    Application()->ResetTerminated();
    const TCallbackExceptionHandler previous = GetCallbackExceptionHandler();
    // What Initialize installs: window-procedure exceptions go to the application.
    SetCallbackExceptionHandler([](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& error) {
            Application()->HandleException(error);
        }
    });
    auto box = MakeBox("Thrower", 0, 0, 10, 10);
    EXPECT_EQ(SendMessageA(box->Handle(), WM_USER + 77, 0, 0), 0);
    SetCallbackExceptionHandler(previous);
    SetMessageBoxHandler(saved);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "thrown from a handler");
    EXPECT_TRUE(Application()->Terminated());
    EXPECT_EQ(Application()->ExitCode(), 1);
    Application()->SetExitCode(0);
    Application()->ResetTerminated();
}
