// The skinned menu bar's paint against the platform's own, on two 800-pixel-wide sizeable forms
// with the same main menu of six items (under Wine or Windows). One form is skinned by a skin data
// component loading the package named on the command line ("default.skn" in the current folder
// when none is given); the other has Tag 99, which the manager never skins. Each form is measured
// while it is the foreground window. Figures are the median of many rounds after a warm-up, in
// microseconds, and the skinned one as a ratio of the native one:
//   bar paint    the skinned bar's PaintBar on the window DC, against DrawMenuBar on the native
//                form and the WM_NCPAINT that follows it (both then GdiFlush); and, for scale,
//                against a WM_NCPAINT of the native frame alone (the whole frame, bar included).
#include "framework/controls/Forms.h"
#include "framework/menus/Menus.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "tests/bench/BenchForms.h"
#include "tests/bench/BenchTiming.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int FormWidth = 800;
constexpr int FormHeight = 400;
constexpr int Rounds = 200;
constexpr int WarmUp = 20;

std::unique_ptr<TForm> MakeForm(const char* Caption, int Left, int Top)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetCaption(Caption);
    form->SetBorderStyle(bsSizeable);
    auto* menu = new TMainMenu(form.get());
    for (const char* caption : {"&File", "&Edit", "&View", "&Insert", "F&ormat", "&Help"}) {
        auto* item = new TMenuItem(form.get());
        item->SetCaption(caption);
        auto* sub = new TMenuItem(form.get());
        sub->SetCaption("Item");
        item->Add(sub);
        menu->Items()->Add(item);
    }
    form->SetMenu(menu);
    form->SetBounds(Left, Top, FormWidth, FormHeight);
    return form;
}

int Fail(const char* Message)
{
    std::fprintf(stderr, "menu_bar_bench: %s\n", Message);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    TApplicationScope scope;
    Application()->Initialize();

    const std::string skinFile = BenchSkinFile(argc, argv, "menu_bar_bench");
    if (skinFile.empty())
        return 1;
    auto native = MakeForm("Native menu bar", 40, 40);
    native->SetTag(99);
    auto skinned = MakeForm("Skinned menu bar", 200, 300);
    auto* data = new TSkinData(skinned.get());
    data->SetSkinFormtype(sfMainform);
    data->SetSkinFile(skinFile);
    if (data->SkinLoading())
        return Fail("the skin file is not a valid skin");
    data->SetActive(true);
    native->Show();
    skinned->Show();
    SkinManager()->SkinWindow(skinned->Handle());
    BenchPump(300);
    TWinSkinForm* skin = SkinManager()->FindSkinForm(skinned->Handle());
    if (skin == nullptr || skin->SkinMenu() == nullptr || skin->SkinMenu()->Buttons().size() != 6)
        return Fail("the skinned form has no skinned bar of six items");
    if (GetMenu(native->Handle()) == nullptr || SkinManager()->FindSkinForm(native->Handle()) != nullptr)
        return Fail("the native form has no native bar");

    const HWND nativeWindow = native->Handle();
    BringToFront(nativeWindow);
    const double nativeTime = BenchMedian(Rounds, WarmUp, [&] {
        DrawMenuBar(nativeWindow);
        // The frame change DrawMenuBar asks for paints with WM_NCPAINT: have it now.
        RedrawWindow(nativeWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
        GdiFlush();
    }, [] { Application()->ProcessMessages(); });

    // For scale: the native frame's paint alone, menu bar included.
    const double nativeNcPaint = BenchMedian(Rounds, WarmUp, [&] {
        SendMessageA(nativeWindow, WM_NCPAINT, 1, 0);
        GdiFlush();
    }, [] { Application()->ProcessMessages(); });

    const HWND skinnedWindow = skinned->Handle();
    BringToFront(skinnedWindow);
    const TFramePainter& frame = skin->Frame();
    RECT window{};
    GetWindowRect(skinnedWindow, &window);
    const RECT bar{frame.BorderLeft(), frame.BorderTop(), (window.right - window.left) - frame.BorderRight(),
                   frame.BorderTop() + frame.MenuHeight()};
    const TFrameState state = skin->FrameState();
    const double skinnedTime = BenchMedian(Rounds, WarmUp, [&] {
        HDC dc = GetWindowDC(skinnedWindow);
        skin->SkinMenu()->PaintBar(dc, bar, state, skin->Buttons());
        ReleaseDC(skinnedWindow, dc);
        GdiFlush();
    }, [] { Application()->ProcessMessages(); });

    std::printf("menu bar, %d px wide, 6 items (median of %d rounds)\n", static_cast<int>(bar.right - bar.left), Rounds);
    std::printf("  %-30s %9.1f us skinned  %9.1f us native  %6.2f x\n", "bar paint", skinnedTime * 1e6,
                nativeTime * 1e6, skinnedTime / nativeTime);
    std::printf("  %-30s %9.1f us skinned  %9.1f us native  %6.2f x\n", "bar paint vs native WM_NCPAINT",
                skinnedTime * 1e6, nativeNcPaint * 1e6, skinnedTime / nativeNcPaint);
    BenchFigure("menu bar paint, skinned / native", skinnedTime / nativeTime, "x", true, 1.5);
    return 0;
}
