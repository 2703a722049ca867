#include "framework/win/Subclass.h"

#include "framework/core/Exception.h"
#include "framework/win/Callback.h"
#include "framework/win/ObjectInstance.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Subclasses a window through TWindowSubclass and logs what reaches its method. OnMessage may
// handle a message (return true); everything else goes on with CallOld.
class TLayer : public TObject {
public:
    TMessageRecorder Log; // records only, never attached
    TWindowSubclass Subclass;
    std::function<bool(TMessage&)> OnMessage;

    explicit TLayer(std::string name, TMessageLog* shared = nullptr) : Log(std::move(name), shared) {}

    void Install(HWND wnd) { Subclass.Install(wnd, Method()); }
    TWndMethod Method() { return TWndMethod::Bind<&TLayer::WndProc>(this); }
    void WndProc(TMessage& m)
    {
        Log.Record(Subclass.Handle(), m.Msg, m.WParam, m.LParam);
        if (OnMessage && OnMessage(m))
            return;
        Subclass.CallOld(m);
    }
};

using TRoute = std::vector<const TMessageRecorder*>;

class WindowSubclassTest : public ::testing::Test {
protected:
    TMessageLog FShared;
    TMessageRecorder FOriginal{"original", &FShared};
    TTestWindows FWindows;
    HWND FWnd = FWindows.CreateTopLevel(&FOriginal);
    const LONG_PTR FOriginalProc = GetWindowLongPtrA(FWnd, GWLP_WNDPROC);
    const std::size_t FLiveBefore = ObjectInstanceStats().Live;
    const std::size_t FStatesBefore = WindowSubclassStats().States;

    void SetUp() override
    {
        // The class procedure answers WM_APP with twice its wParam, so results show they came back.
        FOriginal.SetHandler([](TMessage& m) {
            if (m.Msg != WM_APP)
                return false;
            m.Result = static_cast<LRESULT>(m.WParam * 2);
            return true;
        });
    }

    // Every test ends with nothing left behind: no thunk, no subclass state (a state deleted
    // twice shows here as well).
    void TearDown() override
    {
        EXPECT_EQ(0u, LiveAdded());
        EXPECT_EQ(FStatesBefore, WindowSubclassStats().States);
        EXPECT_EQ(0u, PassThroughs());
    }

    LONG_PTR CurrentProc() const { return GetWindowLongPtrA(FWnd, GWLP_WNDPROC); }
    std::size_t LiveAdded() const { return ObjectInstanceStats().Live - FLiveBefore; }
    static std::size_t PassThroughs() { return WindowSubclassStats().PassThroughs; }
};

TEST_F(WindowSubclassTest, ReplacesAndRestoresTheProcedureExactly)
{
    TLayer layer("ours", &FShared);
    layer.Install(FWnd);
    EXPECT_TRUE(layer.Subclass.Installed());
    EXPECT_TRUE(layer.Subclass.IsTop());
    EXPECT_EQ(FOriginalProc, reinterpret_cast<LONG_PTR>(layer.Subclass.OldProc()));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(layer.Subclass.Proc()), CurrentProc());
    EXPECT_EQ(1u, LiveAdded());

    EXPECT_EQ(42, SendMessageA(FWnd, WM_APP, 21, 0)); // the original's answer, through CallOld
    EXPECT_EQ((TRoute{&layer.Log, &FOriginal}), FShared.Route(WM_APP));

    EXPECT_TRUE(layer.Subclass.Restore());
    EXPECT_EQ(FOriginalProc, CurrentProc());
    EXPECT_FALSE(layer.Subclass.Installed());
    EXPECT_EQ(0u, LiveAdded());
    FShared.Clear();
    SendMessageA(FWnd, WM_APP, 1, 0);
    EXPECT_EQ((TRoute{&FOriginal}), FShared.Route(WM_APP));
    EXPECT_TRUE(layer.Subclass.Restore()); // again: nothing to do
}

LRESULT CALLBACK UnicodeProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

TEST_F(WindowSubclassTest, RestoresAUnicodeWindowExactly)
{
    static const wchar_t* className = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &UnicodeProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PembroxUnicodeTestWindow";
        RegisterClassW(&wc);
        return L"PembroxUnicodeTestWindow";
    }();
    const HWND wnd = CreateWindowExW(0, className, L"w", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(wnd);
    const LONG_PTR procA = GetWindowLongPtrA(wnd, GWLP_WNDPROC); // not UnicodeProc itself: a handle for A callers
    const LONG_PTR procW = GetWindowLongPtrW(wnd, GWLP_WNDPROC);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&UnicodeProc), procW);
    {
        TLayer layer("ours");
        layer.Install(wnd);
        EXPECT_EQ(procA, reinterpret_cast<LONG_PTR>(layer.Subclass.OldProc()));
        // Text goes through our ANSI thunk and CallWindowProcA to the Unicode procedure.
        EXPECT_TRUE(SetWindowTextA(wnd, "through the thunk"));
        wchar_t text[32] = {};
        GetWindowTextW(wnd, text, 32);
        EXPECT_STREQ(L"through the thunk", text);
        EXPECT_TRUE(layer.Log.Contains(WM_SETTEXT));
        EXPECT_TRUE(layer.Subclass.Restore());
    }
    EXPECT_EQ(procA, GetWindowLongPtrA(wnd, GWLP_WNDPROC));
    EXPECT_EQ(procW, GetWindowLongPtrW(wnd, GWLP_WNDPROC));
    EXPECT_TRUE(IsWindowUnicode(wnd));
    DestroyWindow(wnd);
    EXPECT_EQ(0u, LiveAdded());
}

TEST_F(WindowSubclassTest, StaysAsAPassThroughUnderAnotherSubclasser)
{
    {
        TMessageRecorder other("other", &FShared);
        TLayer ours("ours", &FShared);
        ours.Install(FWnd);
        const WNDPROC ourThunk = ours.Subclass.Proc();
        other.Attach(FWnd); // someone else on top, calling our thunk as its old procedure
        EXPECT_EQ(ourThunk, other.OldProc());
        EXPECT_FALSE(ours.Subclass.IsTop());
        EXPECT_EQ(8, SendMessageA(FWnd, WM_APP, 4, 0));
        EXPECT_EQ((TRoute{&other, &ours.Log, &FOriginal}), FShared.Route(WM_APP));

        // Putting the original back now would cut the other one off.
        EXPECT_FALSE(ours.Subclass.Restore());
        EXPECT_FALSE(ours.Subclass.Installed());
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(other.Proc()), CurrentProc());
        EXPECT_EQ(1u, PassThroughs());
        EXPECT_TRUE(IsObjectInstance(ourThunk));
        FShared.Clear();
        EXPECT_EQ(10, SendMessageA(FWnd, WM_APP, 5, 0));
        EXPECT_EQ((TRoute{&other, &FOriginal}), FShared.Route(WM_APP)); // our method is out

        // Destroying our object hands the pass-through over; it goes on forwarding.
        ours.Subclass = TWindowSubclass();
        EXPECT_EQ(12, SendMessageA(FWnd, WM_APP, 6, 0));
        EXPECT_EQ(1u, PassThroughs());
        EXPECT_EQ(2u, LiveAdded());

        // The other one leaves, putting back what it found: our thunk.
        EXPECT_TRUE(other.Detach());
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(ourThunk), CurrentProc());
        EXPECT_TRUE(IsObjectInstance(ourThunk));
        // The next message finds our thunk on top: the original goes back and the thunk is freed.
        FShared.Clear();
        EXPECT_EQ(14, SendMessageA(FWnd, WM_APP, 7, 0));
        EXPECT_EQ((TRoute{&FOriginal}), FShared.Route(WM_APP));
        EXPECT_EQ(FOriginalProc, CurrentProc());
        EXPECT_FALSE(IsObjectInstance(ourThunk));
        EXPECT_EQ(0u, PassThroughs());
    }
    EXPECT_EQ(0u, LiveAdded());
    EXPECT_EQ(16, SendMessageA(FWnd, WM_APP, 8, 0));
}

TEST_F(WindowSubclassTest, OwnSubclassesRestoredInEitherOrder)
{
    {
        TLayer a("a", &FShared), b("b", &FShared);
        a.Install(FWnd);
        b.Install(FWnd);
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(a.Subclass.Proc()), reinterpret_cast<LONG_PTR>(b.Subclass.OldProc()));
        EXPECT_EQ(2, SendMessageA(FWnd, WM_APP, 1, 0));
        EXPECT_EQ((TRoute{&b.Log, &a.Log, &FOriginal}), FShared.Route(WM_APP));
        EXPECT_TRUE(b.Subclass.Restore());
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(a.Subclass.Proc()), CurrentProc());
        EXPECT_TRUE(a.Subclass.Restore());
        EXPECT_EQ(FOriginalProc, CurrentProc());
    }
    EXPECT_EQ(0u, LiveAdded());
    {
        TLayer a("a", &FShared), b("b", &FShared);
        a.Install(FWnd);
        b.Install(FWnd);
        const WNDPROC aThunk = a.Subclass.Proc();
        EXPECT_FALSE(a.Subclass.Restore());
        EXPECT_TRUE(b.Subclass.Restore());
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(aThunk), CurrentProc()); // b put back exactly what it found
        FShared.Clear();
        EXPECT_EQ(6, SendMessageA(FWnd, WM_APP, 3, 0));
        EXPECT_EQ((TRoute{&FOriginal}), FShared.Route(WM_APP));
        EXPECT_EQ(FOriginalProc, CurrentProc());
    }
    EXPECT_EQ(0u, LiveAdded());
    EXPECT_EQ(0u, PassThroughs());
}

TEST_F(WindowSubclassTest, PassThroughEndsWithItsWindow)
{
    {
        TMessageRecorder other("other", &FShared);
        TLayer ours("ours", &FShared);
        ours.Install(FWnd);
        other.Attach(FWnd);
        EXPECT_FALSE(ours.Subclass.Restore());
        EXPECT_TRUE(FWindows.Destroy(FWnd));
        EXPECT_EQ((TRoute{&other, &FOriginal}), FShared.Route(WM_NCDESTROY));
        EXPECT_EQ(0u, PassThroughs());
    }
    EXPECT_EQ(0u, LiveAdded());
}

TEST_F(WindowSubclassTest, DropsPassThroughsOfWindowsThatVanished)
{
    TTestWindows more;
    const HWND second = more.CreateTopLevel();
    {
        // The other subclasser swallows WM_NCDESTROY, so our thunks never see their window end.
        TMessageRecorder other("other");
        other.SetHandler([](TMessage& m) { return m.Msg == WM_NCDESTROY; });
        TLayer handedOver("handed over"), attached("attached");
        handedOver.Install(FWnd);
        attached.Install(FWnd);
        other.Attach(FWnd);
        EXPECT_FALSE(handedOver.Subclass.Restore());
        EXPECT_EQ(1u, PassThroughs());
        EXPECT_TRUE(FWindows.Destroy(FWnd));
        EXPECT_FALSE(FOriginal.Contains(WM_NCDESTROY));
        EXPECT_EQ(1u, PassThroughs());

        // An attached subclass of a vanished window has nothing to put back.
        EXPECT_TRUE(attached.Subclass.Restore());
        // Ending or starting any subclass on the thread sweeps the dead pass-through.
        EXPECT_EQ(0u, PassThroughs());
        EXPECT_EQ(1u, LiveAdded()); // the other's thunk
    }
    EXPECT_EQ(0u, LiveAdded());
    TLayer later("later");
    later.Install(second);
    EXPECT_TRUE(later.Subclass.Restore());
}

TEST_F(WindowSubclassTest, RestoredFromInsideItsOwnHandler)
{
    TLayer layer("ours", &FShared);
    bool restored = false;
    std::size_t statesInside = 0;
    layer.OnMessage = [&](TMessage& m) {
        if (m.Msg != WM_DESTROY)
            return false;
        restored = layer.Subclass.Restore();
        statesInside = WindowSubclassStats().States; // still there: this call runs through it
        layer.Subclass.CallOld(m); // still passes the message it is handling on
        return true;
    };
    layer.Install(FWnd);
    EXPECT_TRUE(FWindows.Destroy(FWnd));
    EXPECT_TRUE(restored);
    EXPECT_EQ(FStatesBefore + 1, statesInside);
    EXPECT_EQ((TRoute{&layer.Log, &FOriginal}), FShared.Route(WM_DESTROY));
    EXPECT_EQ((TRoute{&FOriginal}), FShared.Route(WM_NCDESTROY));
    EXPECT_EQ(0u, LiveAdded());
}

TEST_F(WindowSubclassTest, HandsOverFromInsideItsOwnHandler)
{
    TMessageRecorder other("other", &FShared);
    {
        TLayer layer("ours", &FShared);
        bool restored = true;
        layer.OnMessage = [&](TMessage& m) {
            if (m.Msg != WM_APP)
                return false;
            restored = layer.Subclass.Restore();
            layer.Subclass.CallOld(m);
            return true;
        };
        layer.Install(FWnd);
        other.Attach(FWnd);
        EXPECT_EQ(2, SendMessageA(FWnd, WM_APP, 1, 0));
        EXPECT_FALSE(restored);
        EXPECT_EQ(1u, PassThroughs());
    }
    FShared.Clear();
    EXPECT_EQ(4, SendMessageA(FWnd, WM_APP, 2, 0));
    EXPECT_EQ((TRoute{&other, &FOriginal}), FShared.Route(WM_APP));
    EXPECT_TRUE(other.Detach());
    EXPECT_EQ(6, SendMessageA(FWnd, WM_APP, 3, 0));
    EXPECT_EQ(FOriginalProc, CurrentProc());
    EXPECT_EQ(0u, PassThroughs());
}

TEST_F(WindowSubclassTest, EndsWithItsWindow)
{
    TLayer layer("ours", &FShared);
    layer.Install(FWnd);
    EXPECT_TRUE(FWindows.Destroy(FWnd));
    EXPECT_EQ((TRoute{&layer.Log, &FOriginal}), FShared.Route(WM_NCDESTROY));
    EXPECT_FALSE(layer.Subclass.Installed());
    EXPECT_EQ(nullptr, layer.Subclass.Proc());
    EXPECT_EQ(0u, LiveAdded());
    EXPECT_TRUE(layer.Subclass.Restore());
}

TEST_F(WindowSubclassTest, ExceptionsInTheMethodLeaveTheChainWorking)
{
    static int reported = 0;
    reported = 0;
    auto previous = SetCallbackExceptionHandler([](std::exception_ptr) { ++reported; });
    {
        TLayer layer("ours", &FShared);
        layer.OnMessage = [](TMessage& m) -> bool {
            if ((m.Msg == WM_APP && m.WParam == 0) || m.Msg == WM_NCDESTROY)
                throw Exception("handler failed");
            return false;
        };
        layer.Install(FWnd);
        EXPECT_EQ(0, SendMessageA(FWnd, WM_APP, 0, 0));
        EXPECT_EQ(1, reported);
        EXPECT_EQ(18, SendMessageA(FWnd, WM_APP, 9, 0));
        // Throwing at WM_NCDESTROY: the window still goes, and the subclass ends with it.
        EXPECT_TRUE(FWindows.Destroy(FWnd));
        EXPECT_EQ(2, reported);
        EXPECT_FALSE(IsWindow(FWnd));
        EXPECT_FALSE(layer.Subclass.Installed());
        EXPECT_EQ(0u, LiveAdded());
    }
    SetCallbackExceptionHandler(previous);
}

TEST_F(WindowSubclassTest, RejectsBadInputAndMovesOwnership)
{
    TLayer layer("ours");
    EXPECT_THROW(layer.Subclass.Install(FWnd, TWndMethod()), EInvalidOperation);
    EXPECT_THROW(layer.Subclass.Install(reinterpret_cast<HWND>(0x7654), layer.Method()), EInvalidOperation);
    EXPECT_EQ(FOriginalProc, CurrentProc());
    EXPECT_EQ(0u, LiveAdded());

    TWindowSubclass first(FWnd, layer.Method());
    const WNDPROC thunk = first.Proc();
    TWindowSubclass second(std::move(first));
    EXPECT_FALSE(first.Installed());
    EXPECT_TRUE(first.Restore()); // the moved-from one owns nothing
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(thunk), CurrentProc());
    EXPECT_EQ(thunk, second.Proc());
    second = TWindowSubclass();
    EXPECT_EQ(FOriginalProc, CurrentProc());
    EXPECT_EQ(0u, LiveAdded());

    // Installing over an installed subclass ends the first one.
    TWindowSubclass sub(FWnd, layer.Method());
    const HWND other = FWindows.CreateTopLevel();
    const LONG_PTR otherProc = GetWindowLongPtrA(other, GWLP_WNDPROC);
    sub.Install(other, layer.Method());
    EXPECT_EQ(FOriginalProc, CurrentProc());
    EXPECT_EQ(otherProc, reinterpret_cast<LONG_PTR>(sub.OldProc()));
    EXPECT_EQ(1u, LiveAdded());
}

} // namespace
