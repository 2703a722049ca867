// The first frame of a window: from making it to its first whole paint on screen, a skinned form
// (with a few controls, skinned by a skin data component loading the package named on the command
// line, "default.skn" without one) against a trivial Win32 window (a registered class, the
// default window procedure, ShowWindow and UpdateWindow). Each round makes, shows, paints and
// destroys a new window; figures are medians in microseconds. It also counts, over the skinned
// rounds, how many first on-screen frame paints reached a window the engine had not started
// skinning: each of those would show the platform's own frame first.
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "tests/bench/BenchTiming.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int Rounds = 40;
constexpr int WarmUp = 3;

void Pump()
{
    Application()->ProcessMessages();
}

// The first visible WM_NCPAINT of the watched window: was the engine running on it?
HWND GWatched = nullptr;
bool GPainted = false;
int GNative = 0;
HHOOK GHook = nullptr;

LRESULT CALLBACK WatchFirstPaint(int Code, WPARAM WParam, LPARAM LParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(LParam);
    if (Code == HC_ACTION && sent != nullptr && sent->message == WM_NCPAINT && sent->hwnd == GWatched &&
        !GPainted && IsWindowVisible(sent->hwnd)) {
        GPainted = true;
        const TWinSkinForm* form = SkinManager() != nullptr ? SkinManager()->FindSkinForm(sent->hwnd) : nullptr;
        if (form == nullptr || form->SkinState() != ssSkinned)
            ++GNative;
    }
    return CallNextHookEx(GHook, Code, WParam, LParam);
}

double TrivialWindow()
{
    static const char* const className = "PembroxTrivialWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA cls{};
        cls.lpfnWndProc = &DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = className;
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassA(&cls);
        registered = true;
    }
    HWND window = nullptr;
    const double took = BenchMedian(
        Rounds, WarmUp,
        [&] {
            window = CreateWindowExA(0, className, "Trivial", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
            ShowWindow(window, SW_SHOW);
            UpdateWindow(window);
            GdiFlush();
        },
        [&] {
            if (window != nullptr)
                DestroyWindow(window);
            window = nullptr;
            Pump();
        });
    if (window != nullptr)
        DestroyWindow(window);
    return took;
}

// Tag 99: a form the manager leaves alone, the framework's own cost of the same window.
double SkinnedForm(int Tag = 0)
{
    std::unique_ptr<TForm> form;
    const double took = BenchMedian(
        Rounds, WarmUp,
        [&] {
            form = std::make_unique<TForm>(nullptr);
            form->SetCaption("Skinned");
            form->SetTag(Tag);
            form->SetBorderStyle(bsSizeable);
            form->SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
            form->SetBounds(100, 100, 400, 300);
            auto* button = new TButton(form.get());
            button->SetParent(form.get());
            button->SetBounds(20, 20, 90, 26);
            button->SetCaption("Button");
            auto* check = new TCheckBox(form.get());
            check->SetParent(form.get());
            check->SetBounds(20, 60, 120, 20);
            check->SetCaption("Check box");
            form->HandleNeeded();
            GWatched = Tag == 0 ? form->Handle() : nullptr;
            GPainted = false;
            form->Show();
            UpdateWindow(form->Handle());
            GdiFlush();
        },
        [&] {
            form.reset();
            GWatched = nullptr;
            Pump();
        });
    form.reset();
    return took;
}

} // namespace

int main(int argc, char** argv)
{
    TApplicationScope scope;
    Application()->Initialize();
    const std::string skinFile = BenchSkinFile(argc, argv, "first_frame_bench");
    if (skinFile.empty())
        return 1;
    const double trivial = TrivialWindow() * 1e6;

    auto data = std::make_unique<TSkinData>(nullptr);
    data->SetSkinFile(skinFile);
    data->SetActive(true);
    Pump();
    if (SkinManager() == nullptr || !SkinManager()->SkinningOn()) {
        std::fprintf(stderr, "first_frame_bench: skinning did not come on\n");
        return 1;
    }
    GHook = SetWindowsHookExA(WH_CALLWNDPROC, &WatchFirstPaint, nullptr, GetCurrentThreadId());
    const double skinned = SkinnedForm() * 1e6;
    const double plain = SkinnedForm(99) * 1e6;
    UnhookWindowsHookEx(GHook);

    std::printf("first frame: make, show and paint a window, median of %d rounds\n", Rounds);
    std::printf("  trivial Win32 window                %8.1f us\n", trivial);
    std::printf("  the same form left unskinned        %8.1f us    %.2f x the trivial window\n", plain,
                plain / trivial);
    std::printf("  skinned form with two controls      %8.1f us    %.2f x the trivial window, %.2f x unskinned\n",
                skinned, skinned / trivial, skinned / plain);
    std::printf("  first on-screen frames painted before the skin: %d of %d\n", GNative, Rounds + WarmUp);
    BenchFigure("first frames painted before the skin", GNative, "", true, 0);
    data.reset();
    FreeSkinManager();
    return GNative == 0 ? 0 : 2;
}
