// The scroll bars of a 300 x 200 memo with both bars: one non-client paint skinned against the
// same memo unskinned (under Wine or Windows), the median of many rounds, and the ratio; then the
// processor time the thumb-drag loop takes while the mouse holds the thumb still for a second
// (real input from a second thread), as a share of one core.
//   scroll_bar_bench [SKIN.skn]   (default: "default.skn" in the current folder)
#include "skin/controls/SkinScrollBars.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "tests/bench/BenchForms.h"
#include "tests/bench/BenchTiming.h"

#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/win/Files.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace {

constexpr int Rounds = 300;
constexpr int WarmUp = 20;

double NonClientPaint(HWND Window)
{
    return BenchMedian(Rounds, WarmUp, [Window] {
        SendMessageA(Window, WM_NCPAINT, 1, 0);
        GdiFlush();
    });
}

TMemo* MakeMemo(TForm& Form, int X)
{
    auto* memo = new TMemo(&Form);
    memo->SetParent(&Form);
    memo->SetBounds(X, 10, 300, 200);
    memo->SetScrollBars(TScrollStyle::ssBoth);
    memo->SetWordWrap(false);
    for (int i = 1; i <= 100; ++i)
        memo->Lines()->Add("Line " + std::to_string(i) + " of a memo long enough to scroll both ways, and then some");
    return memo;
}

uint64_t ThreadBusy(HANDLE Thread)
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(Thread, &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& F) { return (static_cast<uint64_t>(F.dwHighDateTime) << 32) | F.dwLowDateTime; };
    return ticks(kernel) + ticks(user); // 100 ns units
}

void MouseAt(POINT P, DWORD Button)
{
    SetCursorPos(P.x, P.y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = Button;
    if (Button != 0)
        SendInput(1, &in, sizeof in);
}

} // namespace

int main(int argc, char** argv)
{
    TSkinData data(nullptr);
    std::string skinFile;
    if (!LoadBenchSkin(data, argc, argv, "scroll_bar_bench", skinFile))
        return 1;
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(60, 60, 640, 230);
    TMemo* native = MakeMemo(form, 10);
    TMemo* skinned = MakeMemo(form, 320);
    form.Show();
    BringToFront(form.Handle());
    TWinSkinForm skin;
    skin.SetHandle(form.Handle());
    auto* adaptor = new TSkinScrollBar(&skin.AdaptorSet());
    adaptor->AttachScrolling(skinned, &data, true, skin.AdaptorSet().Canvas());
    BenchPump(100);

    const double nativeTime = NonClientPaint(native->Handle());
    const double skinnedTime = NonClientPaint(skinned->Handle());
    std::printf("scroll bars of a 300 x 200 memo, one non-client paint, median of %d rounds\n", Rounds);
    std::printf("  skin: %s (%s)\n", skinFile.c_str(), data.SkinName().c_str());
    std::printf("  native WM_NCPAINT        %8.1f us\n", nativeTime * 1e6);
    std::printf("  skinned WM_NCPAINT       %8.1f us  %5.2f x native\n", skinnedTime * 1e6, skinnedTime / nativeTime);

    // The thumb held still for a second: the loop must sleep between messages.
    RECT window{};
    GetWindowRect(skinned->Handle(), &window);
    const RECT bar = adaptor->Layout().Vertical;
    const TBarGeometry& g = adaptor->Bar(1);
    const POINT thumb{window.left + (bar.left + bar.right) / 2,
                      window.top + bar.top + g.ArrowSize + g.ThumbOffset + g.ThumbSize / 2};
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    std::atomic<bool> done{false};
    std::atomic<uint64_t> busy{0};
    std::atomic<bool> dragged{false};
    std::thread input([&] {
        MouseAt(thumb, 0);
        Sleep(100);
        MouseAt(thumb, MOUSEEVENTF_LEFTDOWN);
        for (int i = 0; i < 100 && !adaptor->Dragging(); ++i)
            Sleep(10);
        dragged = adaptor->Dragging();
        const uint64_t before = ThreadBusy(self);
        Sleep(1000);
        busy = ThreadBusy(self) - before;
        MouseAt(thumb, MOUSEEVENTF_LEFTUP);
        Sleep(100);
        done = true;
    });
    while (!done)
        BenchPump(20);
    input.join();
    CloseHandle(self);
    if (!dragged) {
        std::printf("  drag loop: the press did not start a drag (window not in front?)\n");
        return 1;
    }
    const double share = static_cast<double>(busy.load()) / 1e7; // of one second
    std::printf("  drag loop, thumb held still 1 s: %6.1f ms of processor time, %4.1f%% of a core\n",
                busy.load() / 1e4, share * 100);
    BenchFigure("scroll bars paint, skinned / native", skinnedTime / nativeTime, "x", true, 1.5);
    BenchFigure("scroll bar drag loop held still, share of a core", share * 100, "%", true, 5);
    return 0;
}
