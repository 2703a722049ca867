#include "framework/win/ObjectInstance.h"

#include "framework/core/Exception.h"
#include "framework/win/Callback.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// A method target: notes each message as it arrived and answers with Answer.
class TTarget : public TObject {
public:
    std::vector<TMessage> Seen;
    LRESULT Answer = 0;
    std::function<void(TMessage&)> OnMessage;

    void WndProc(TMessage& m)
    {
        Seen.push_back(m);
        m.Result = Answer;
        if (OnMessage)
            OnMessage(m);
    }
    TWndMethod Method() { return TWndMethod::Bind<&TTarget::WndProc>(this); }
};

#if defined(__i386__)
// Calls proc(args) from assembly and returns how far ESP moved across the call (0 when the
// callee removed exactly its four arguments).
int StackDelta(WNDPROC proc, const DWORD (&args)[4], LRESULT& result)
{
    int delta;
    LRESULT r;
    void* fn = reinterpret_cast<void*>(proc);
    const DWORD* p = args;
    int scratch;
    asm volatile("movl %%esp, %%esi\n\t"
                 "pushl 12(%%edx)\n\t"
                 "pushl 8(%%edx)\n\t"
                 "pushl 4(%%edx)\n\t"
                 "pushl (%%edx)\n\t"
                 "call *%%ecx\n\t"
                 "movl %%esp, %%edi\n\t"
                 "movl %%esi, %%esp\n\t"
                 "subl %%edi, %%esi\n\t"
                 : "=S"(delta), "=a"(r), "+c"(fn), "+d"(p), "=D"(scratch)
                 :
                 : "memory", "cc");
    result = r;
    return delta;
}
#endif

class ObjectInstanceTest : public ::testing::Test {
protected:
    std::size_t FLiveBefore = ObjectInstanceStats().Live;

    std::size_t LiveAdded() const { return ObjectInstanceStats().Live - FLiveBefore; }
};

TEST_F(ObjectInstanceTest, PacksTheArgumentsAndReturnsTheResult)
{
    TTarget target;
    target.Answer = -5;
    TObjectInstance thunk(target.Method());

    const HWND dummy = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(-5, CallWindowProcA(thunk.Proc(), dummy, 0x8001, 0xFFFFFFFFu, static_cast<LPARAM>(0x80000000u)));
    EXPECT_EQ(-5, thunk.Proc()(dummy, WM_USER + 7, 3, -4)); // a plain call, not through user32
    ASSERT_EQ(2u, target.Seen.size());
    EXPECT_EQ(0x8001u, target.Seen[0].Msg);
    EXPECT_EQ(0xFFFFFFFFu, target.Seen[0].WParam);
    EXPECT_EQ(static_cast<LPARAM>(0x80000000u), target.Seen[0].LParam);
    EXPECT_EQ(0, target.Seen[0].Result); // the method starts from Result 0
    EXPECT_EQ(static_cast<UINT>(WM_USER + 7), target.Seen[1].Msg);
    EXPECT_EQ(3u, target.Seen[1].WParam);
    EXPECT_EQ(-4, target.Seen[1].LParam);
}

// The stdcall stub must leave the stack as a window procedure must (x64 callers clean up).
#if defined(__i386__)
TEST_F(ObjectInstanceTest, KeepsTheStackBalanced)
{
    TTarget target;
    target.Answer = 77;
    TObjectInstance thunk(target.Method());
    const DWORD args[4] = {0x11111111, WM_APP, 0x33333333, 0x44444444};
    LRESULT result = 0;
    EXPECT_EQ(0, StackDelta(thunk.Proc(), args, result));
    EXPECT_EQ(77, result);
    ASSERT_EQ(1u, target.Seen.size());
    EXPECT_EQ(0x33333333u, target.Seen[0].WParam);
    EXPECT_EQ(0x44444444, target.Seen[0].LParam);

    // Also when the call ends in an exception caught at the thunk.
    target.OnMessage = [](TMessage&) { throw Exception("unbalanced?"); };
    auto previous = SetCallbackExceptionHandler([](std::exception_ptr) {});
    EXPECT_EQ(0, StackDelta(thunk.Proc(), args, result));
    EXPECT_EQ(0, result);
    SetCallbackExceptionHandler(previous);
}
#endif

TEST_F(ObjectInstanceTest, RoutesEachOf200WindowsToItsOwnObject)
{
    constexpr int kCount = 200;
    TTestWindows windows;
    std::vector<std::unique_ptr<TMessageRecorder>> recorders;
    std::vector<HWND> wnds;
    std::set<WNDPROC> procs;
    const std::size_t pagesBefore = ObjectInstanceStats().Pages;
    for (int i = 0; i < kCount; ++i) {
        wnds.push_back(windows.CreateTopLevel());
        recorders.push_back(std::make_unique<TMessageRecorder>(std::to_string(i)));
        recorders.back()->Attach(wnds.back());
        procs.insert(recorders.back()->Proc());
        ASSERT_EQ(reinterpret_cast<LONG_PTR>(recorders.back()->Proc()), GetWindowLongPtrA(wnds.back(), GWLP_WNDPROC));
    }
    EXPECT_EQ(static_cast<std::size_t>(kCount), procs.size());
    EXPECT_GE(LiveAdded(), static_cast<std::size_t>(kCount));
    // Pooled: a page serves many windows.
    const auto stats = ObjectInstanceStats();
    EXPECT_LE(stats.Pages - pagesBefore, (kCount + stats.SlotsPerPage - 1) / stats.SlotsPerPage);

    // In a scrambled order, so a thunk answering for its neighbour shows.
    for (int k = 0; k < kCount; ++k) {
        const int i = (k * 7) % kCount;
        EXPECT_EQ(0, SendMessageA(wnds[i], WM_APP + 1, 1000 + i, -i));
    }
    for (int i = 0; i < kCount; ++i) {
        const auto& log = recorders[i]->Messages();
        const auto own = std::count_if(log.begin(), log.end(), [](const TRecordedMessage& m) { return m.Msg == WM_APP + 1; });
        EXPECT_EQ(1, own) << "window " << i;
        EXPECT_TRUE(recorders[i]->Contains(WM_APP + 1, 1000 + i, -i)) << "window " << i;
        for (const TRecordedMessage& m : log)
            EXPECT_EQ(wnds[i], m.Wnd);
    }
    for (auto& recorder : recorders)
        EXPECT_TRUE(recorder->Detach());
}

TEST_F(ObjectInstanceTest, ReusesReleasedSlotsWithoutGrowingThePool)
{
    constexpr std::size_t kCount = 1000;
    TTarget target;
    std::vector<WNDPROC> first;
    const std::size_t pagesBefore = ObjectInstanceStats().Pages;
    for (std::size_t i = 0; i < kCount; ++i)
        first.push_back(MakeObjectInstance(target.Method()));
    const auto full = ObjectInstanceStats();
    EXPECT_EQ(kCount, LiveAdded());
    EXPECT_EQ(4096u / (sizeof(void*) == 8 ? 64u : 32u), full.SlotsPerPage);
    EXPECT_LE(full.Pages - pagesBefore, (kCount + full.SlotsPerPage - 1) / full.SlotsPerPage);
    EXPECT_EQ(kCount, std::set<WNDPROC>(first.begin(), first.end()).size());

    for (int round = 0; round < 5; ++round) {
        for (WNDPROC proc : first)
            FreeObjectInstance(proc);
        EXPECT_EQ(0u, LiveAdded());
        std::vector<WNDPROC> again;
        for (std::size_t i = 0; i < kCount; ++i)
            again.push_back(MakeObjectInstance(target.Method()));
        EXPECT_EQ(full.Pages, ObjectInstanceStats().Pages) << "round " << round;
        EXPECT_EQ(kCount, std::set<WNDPROC>(again.begin(), again.end()).size());
        first = again;
    }
    // Reused slots route to their new method.
    TTarget other;
    FreeObjectInstance(first[0]);
    TObjectInstance reused(other.Method());
    other.Answer = 9;
    EXPECT_EQ(9, CallWindowProcA(reused.Proc(), nullptr, WM_APP, 0, 0));
    EXPECT_TRUE(target.Seen.empty());
    for (std::size_t i = 1; i < first.size(); ++i)
        FreeObjectInstance(first[i]);
}

TEST_F(ObjectInstanceTest, ReleasedFromInsideItsOwnCall)
{
    TTestWindows windows;
    TMessageRecorder original("original");
    const HWND wnd = windows.CreateTopLevel(&original);
    const LONG_PTR originalProc = GetWindowLongPtrA(wnd, GWLP_WNDPROC);

    TTarget target;
    WNDPROC thunk = MakeObjectInstance(target.Method());
    WNDPROC old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(thunk)));
    bool freedInside = false;
    target.OnMessage = [&](TMessage& m) {
        if (m.Msg == WM_DESTROY) {
            // Unhook: the old procedure back, the thunk freed while it is serving this very call.
            SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            FreeObjectInstance(thunk);
            freedInside = !IsObjectInstance(thunk);
        }
        m.Result = CallWindowProcA(old, wnd, m.Msg, m.WParam, m.LParam);
    };
    SendMessageA(wnd, WM_APP, 0, 0);
    ASSERT_EQ(1u, target.Seen.size());
    EXPECT_EQ(1u, LiveAdded());

    EXPECT_TRUE(windows.Destroy(wnd));
    EXPECT_TRUE(freedInside);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(0u, LiveAdded());
    EXPECT_EQ(originalProc, reinterpret_cast<LONG_PTR>(old));
    // The original procedure saw the destruction to its end, after our thunk stepped out.
    EXPECT_EQ(1u, original.Count(WM_DESTROY));
    EXPECT_EQ(1u, original.Count(WM_NCDESTROY));
    const auto seen = std::count_if(target.Seen.begin(), target.Seen.end(), [](const TMessage& m) { return m.Msg == WM_NCDESTROY; });
    EXPECT_EQ(0, seen);

    // Later thunks work, including the one that takes the freed slot again.
    TTarget later;
    later.Answer = 31;
    std::vector<TObjectInstance> made;
    const auto stats = ObjectInstanceStats();
    bool slotReused = false;
    for (std::size_t i = 0; i < stats.Pages * stats.SlotsPerPage + 1 && !slotReused; ++i) {
        made.emplace_back(later.Method());
        slotReused = made.back().Proc() == thunk;
    }
    EXPECT_TRUE(slotReused);
    const HWND next = windows.CreateTopLevel();
    SetWindowLongPtrA(next, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(made.back().Proc()));
    EXPECT_EQ(31, SendMessageA(next, WM_APP, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_APP), later.Seen.back().Msg);
    SetWindowLongPtrA(next, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TTestWindows::ClassProc()));
}

TEST_F(ObjectInstanceTest, ACallOutlivesItsFreedAndReusedSlot)
{
    TTarget target, successor;
    WNDPROC thunk = MakeObjectInstance(target.Method());
    std::vector<TObjectInstance> made;
    target.OnMessage = [&](TMessage& m) {
        FreeObjectInstance(thunk);
        if (m.Msg == WM_APP + 1) {
            // Hand the slot to someone else while this call is still inside it.
            const auto stats = ObjectInstanceStats();
            for (std::size_t i = 0; i <= stats.Pages * stats.SlotsPerPage; ++i) {
                made.emplace_back(successor.Method());
                if (made.back().Proc() == thunk)
                    break;
            }
        }
        m.Result = 99;
    };
    EXPECT_EQ(99, CallWindowProcA(thunk, nullptr, WM_APP, 0, 0));
    EXPECT_EQ(0u, LiveAdded());

    thunk = MakeObjectInstance(target.Method());
    EXPECT_EQ(99, CallWindowProcA(thunk, nullptr, WM_APP + 1, 0, 0));
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(thunk, made.back().Proc());
    EXPECT_TRUE(successor.Seen.empty()); // the call did not come back through the slot
    EXPECT_EQ(2u, target.Seen.size());
}

TEST_F(ObjectInstanceTest, AFreedThunkNoLongerReachesItsObject)
{
    TTestWindows windows;
    const HWND wnd = windows.CreateTopLevel();
    TTarget target;
    target.Answer = 5;
    WNDPROC thunk = MakeObjectInstance(target.Method());
    FreeObjectInstance(thunk);
    // A stale caller: the slot falls back to DefWindowProcA until it is reused.
    EXPECT_EQ(0, CallWindowProcA(thunk, wnd, WM_APP, 1, 2));
    char title[16] = {};
    CallWindowProcA(thunk, wnd, WM_GETTEXT, sizeof(title), reinterpret_cast<LPARAM>(title));
    EXPECT_STREQ("test", title);
    EXPECT_TRUE(target.Seen.empty());
}

TEST_F(ObjectInstanceTest, IgnoresNullUnknownAndDoubleFrees)
{
    TTarget target;
    WNDPROC thunk = MakeObjectInstance(target.Method());
    const std::size_t rejected = ObjectInstanceStats().RejectedFrees;

    FreeObjectInstance(nullptr);
    EXPECT_EQ(rejected, ObjectInstanceStats().RejectedFrees);

    int onStack = 0;
    const auto bytes = reinterpret_cast<std::uintptr_t>(thunk);
    const WNDPROC unknown[] = {
        &DefWindowProcA,
        reinterpret_cast<WNDPROC>(&onStack),
        reinterpret_cast<WNDPROC>(bytes + 1),  // inside the stub
        reinterpret_cast<WNDPROC>(bytes + 16), // the slot's record
    };
    for (WNDPROC proc : unknown)
        FreeObjectInstance(proc);
    EXPECT_EQ(rejected + 4, ObjectInstanceStats().RejectedFrees);
    EXPECT_EQ(1u, LiveAdded());
    EXPECT_TRUE(IsObjectInstance(thunk));
    EXPECT_EQ(0, CallWindowProcA(thunk, nullptr, WM_APP, 0, 0));
    EXPECT_EQ(1u, target.Seen.size());

    FreeObjectInstance(thunk);
    FreeObjectInstance(thunk);
    EXPECT_EQ(rejected + 5, ObjectInstanceStats().RejectedFrees);
    EXPECT_EQ(0u, LiveAdded());

    // A slot freed twice must be handed out once only.
    const auto stats = ObjectInstanceStats();
    std::vector<TObjectInstance> made;
    std::set<WNDPROC> distinct;
    for (std::size_t i = 0; i < stats.Pages * stats.SlotsPerPage + 16; ++i) {
        made.emplace_back(target.Method());
        distinct.insert(made.back().Proc());
    }
    EXPECT_EQ(made.size(), distinct.size());
}

TEST_F(ObjectInstanceTest, ExceptionsStopAtTheThunk)
{
    static std::vector<std::string> reported;
    reported.clear();
    auto previous = SetCallbackExceptionHandler([](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            reported.push_back(e.what());
        } catch (...) {
            reported.push_back("?");
        }
    });

    TTestWindows windows;
    TMessageRecorder original;
    const HWND wnd = windows.CreateTopLevel(&original);
    TTarget target;
    target.Answer = 3;
    TObjectInstance thunk(target.Method());
    WNDPROC old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(thunk.Proc())));
    target.OnMessage = [&](TMessage& m) {
        if (m.Msg == WM_APP)
            throw EInvalidOperation("thrown from a window procedure");
        if (m.Msg == WM_APP + 1)
            throw 42;
        m.Result = CallWindowProcA(old, wnd, m.Msg, m.WParam, m.LParam);
    };

    // Through user32's SendMessage: unwinding into its frames would end the program.
    EXPECT_EQ(0, SendMessageA(wnd, WM_APP, 0, 0));
    EXPECT_EQ(0, SendMessageA(wnd, WM_APP + 1, 0, 0));
    ASSERT_EQ(2u, reported.size());
    EXPECT_EQ("thrown from a window procedure", reported[0]);
    EXPECT_EQ("?", reported[1]);

    // And the window goes on working.
    EXPECT_TRUE(SetWindowTextA(wnd, "after"));
    char title[16] = {};
    GetWindowTextA(wnd, title, sizeof(title));
    EXPECT_STREQ("after", title);
    EXPECT_TRUE(original.Contains(WM_SETTEXT));

    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    SetCallbackExceptionHandler(previous);
}

TEST_F(ObjectInstanceTest, PoolIsSafeAcrossThreads)
{
    constexpr int kThreads = 4;
    constexpr int kEach = 300;
    constexpr int kRounds = 10;
    TTarget target;
    std::vector<std::vector<WNDPROC>> held(kThreads);
    // A hand-made rendezvous: the toolchain's std::latch (atomic wait over winpthreads) can miss a
    // wake-up under Wine.
    std::mutex lock;
    std::condition_variable changed;
    int made = 0;
    bool checked = false;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds - 1; ++round) {
                std::vector<WNDPROC> scratch;
                for (int i = 0; i < kEach; ++i)
                    scratch.push_back(MakeObjectInstance(target.Method()));
                for (WNDPROC proc : scratch)
                    FreeObjectInstance(proc);
            }
            for (int i = 0; i < kEach; ++i)
                held[t].push_back(MakeObjectInstance(target.Method()));
            std::unique_lock guard(lock);
            ++made;
            changed.notify_all();
            changed.wait(guard, [&] { return checked; });
            guard.unlock();
            for (WNDPROC proc : held[t])
                FreeObjectInstance(proc);
        });
    {
        std::unique_lock guard(lock);
        changed.wait(guard, [&] { return made == kThreads; });
    }
    std::set<WNDPROC> all;
    for (const auto& list : held)
        all.insert(list.begin(), list.end());
    EXPECT_EQ(static_cast<std::size_t>(kThreads * kEach), all.size());
    EXPECT_EQ(static_cast<std::size_t>(kThreads * kEach), LiveAdded());
    {
        std::lock_guard guard(lock);
        checked = true;
    }
    changed.notify_all();
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(0u, LiveAdded());
}

TEST_F(ObjectInstanceTest, HolderFreesExactlyWhatItOwns)
{
    TTarget a, b;
    EXPECT_THROW(MakeObjectInstance(TWndMethod()), EInvalidOperation);
    EXPECT_EQ(0u, LiveAdded());
    {
        TObjectInstance first(a.Method());
        TObjectInstance second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(1u, LiveAdded());
        TObjectInstance third(b.Method());
        const WNDPROC thirdProc = third.Proc();
        third = std::move(second); // frees b's thunk
        EXPECT_EQ(1u, LiveAdded());
        EXPECT_FALSE(IsObjectInstance(thirdProc));
        third.Reset(b.Method());
        EXPECT_EQ(1u, LiveAdded());
        CallWindowProcA(third.Proc(), nullptr, WM_APP, 0, 0);
        EXPECT_EQ(1u, b.Seen.size());
        EXPECT_TRUE(a.Seen.empty());

        WNDPROC loose = third.Release();
        EXPECT_FALSE(third);
        EXPECT_EQ(1u, LiveAdded());
        FreeObjectInstance(loose);
        third.Reset();
        EXPECT_EQ(0u, LiveAdded());
    }
    EXPECT_EQ(0u, LiveAdded());
}

TEST(CallbackBarrier, GuardsAndReports)
{
    static int calls = 0;
    calls = 0;
    auto previous = SetCallbackExceptionHandler([](std::exception_ptr) { ++calls; });
    EXPECT_EQ(5, CallGuarded([] { return 5; }, -1));
    EXPECT_EQ(-1, CallGuarded([]() -> int { throw Exception("x"); }, -1));
    EXPECT_TRUE(CallGuarded([] {}));
    EXPECT_FALSE(CallGuarded([] { throw 1; }));
    EXPECT_EQ(2, calls);

    // A handler that throws itself is contained.
    auto mine = SetCallbackExceptionHandler([](std::exception_ptr) { throw std::runtime_error("again"); });
    EXPECT_FALSE(CallGuarded([] { throw 1; }));
    EXPECT_NE(nullptr, mine);

    // nullptr brings back the default, which reports and carries on.
    SetCallbackExceptionHandler(nullptr);
    EXPECT_NE(nullptr, GetCallbackExceptionHandler());
    EXPECT_FALSE(CallGuarded([] { throw Exception("to the debugger output"); }));
    SetCallbackExceptionHandler(previous);
}

} // namespace
