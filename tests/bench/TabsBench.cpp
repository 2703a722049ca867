// One paint of a 400 x 300 tab control with 6 tabs, at the top and at the left, skinned against the
// same control left to the system (under Wine or Windows): the median of many rounds after a
// warm-up, in microseconds, and the ratio for each position.
//   tabs_bench [SKIN.skn]   (default: "default.skn" in the current folder)
#include "skin/controls/SkinTabs.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "tests/bench/BenchForms.h"
#include "tests/bench/BenchTiming.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Forms.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int Rounds = 200;
constexpr int WarmUp = 100;

TTabControl* MakeTabs(TForm& Form, int X, int Y, TTabPosition Position)
{
    auto* tabs = PlaceOnForm<TTabControl>(Form, X, Y, 400, 300);
    tabs->SetTabPosition(Position);
    for (int i = 1; i <= 6; ++i)
        tabs->Tabs()->Add("Page " + std::to_string(i));
    tabs->SetTabIndex(0);
    return tabs;
}

} // namespace

int main(int argc, char** argv)
{
    TSkinData data(nullptr);
    std::string skinFile;
    if (!LoadBenchSkin(data, argc, argv, "tabs_bench", skinFile))
        return 1;
    if (data.SkinTabs() == nullptr) {
        std::fprintf(stderr, "tabs_bench: the skin %s has no tabs\n", skinFile.c_str());
        return 1;
    }
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(20, 20, 830, 630);
    TTabControl* top[2] = {MakeTabs(form, 10, 10, tpTop), MakeTabs(form, 420, 10, tpTop)};
    TTabControl* left[2] = {MakeTabs(form, 10, 320, tpLeft), MakeTabs(form, 420, 320, tpLeft)};
    form.Show();
    BringToFront(form.Handle());
    TWinSkinForm skin;
    skin.SetHandle(form.Handle());
    TAdaptorSet& set = skin.AdaptorSet();
    (new TSkinTab(&set))->AttachWindow(top[1]->Handle(), &data, set.Canvas());
    (new TSkinTab(&set))->AttachWindow(left[1]->Handle(), &data, set.Canvas());
    BenchPump(100);

    std::printf("tab control paints, 400 x 300 with 6 tabs, skinned against native, median of %d rounds\n", Rounds);
    std::printf("  skin: %s (%s)\n", skinFile.c_str(), data.SkinName().c_str());
    ComparePaints({{"tabs at the top", top[0]->Handle(), top[1]->Handle()},
                   {"tabs at the left", left[0]->Handle(), left[1]->Handle()}},
                  RDW_ERASE, Rounds, WarmUp);
    return 0;
}
