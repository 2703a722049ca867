// One WM_PAINT of a 75 x 25 push button, skinned against native (under Wine or Windows): two
// framework buttons side by side on a visible form, one with a push-button adaptor painting the
// skin's "Buttons" frame, caption and all off-screen, the other left to the system. Each round
// invalidates the button and has it paint at once (RedrawWindow with RDW_UPDATENOW), then
// GdiFlush; the median of many rounds after a warm-up, in microseconds, and their ratio.
//   button_bench [SKIN.skn]   (default: "default.skn" in the current folder)
#include "skin/controls/SkinButton.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "tests/bench/BenchForms.h"
#include "tests/bench/BenchTiming.h"

#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/win/Files.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int Rounds = 300;
constexpr int WarmUp = 20;

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::function<void()> Paint(HWND Button)
{
    return [Button] {
        RedrawWindow(Button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
    };
}

} // namespace

int main(int argc, char** argv)
{
    TSkinData data(nullptr);
    std::string skinFile;
    if (!LoadBenchSkin(data, argc, argv, "button_bench", skinFile))
        return 1;
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(100, 100, 200, 60);
    auto* skinned = new TButton(&form);
    skinned->SetParent(&form);
    skinned->SetBounds(10, 10, 75, 25);
    skinned->SetCaption("Skinned");
    auto* native = new TButton(&form);
    native->SetParent(&form);
    native->SetBounds(110, 10, 75, 25);
    native->SetCaption("Native");
    form.Show();
    Pump();

    TWinSkinForm skin;
    skin.SetHandle(form.Handle());
    auto* adaptor = new TSkinButton(&skin);
    adaptor->AttachControl(skinned, &data, false, skin.AdaptorSet().Canvas());
    Pump();

    std::printf("push button paint, 75 x 25, median of %d rounds (10th-90th percentile)\n", Rounds);
    std::printf("  skin: %s (%s)\n", skinFile.c_str(), data.SkinName().c_str());
    const double ratio = BenchCompare("WM_PAINT", Rounds, WarmUp, Paint(native->Handle()), Paint(skinned->Handle()));
    BenchFigure("push button paint, skinned / native", ratio, "x", true, 1.5);
    return 0;
}
