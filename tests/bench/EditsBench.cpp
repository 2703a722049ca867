// One paint of an edit, a combo box and an up-down, skinned against the same control left to the
// system (under Wine or Windows). Each control is there twice on a visible form, one with its
// adaptor; each round invalidates it with its frame and has it paint at once, then GdiFlush; the
// median of many rounds after a warm-up, in microseconds, and the ratio for each control.
//   edits_bench [SKIN.skn]   (default: "default.skn" in the current folder)
#include "skin/controls/SkinEdits.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "tests/bench/BenchForms.h"
#include "tests/bench/BenchTiming.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int Rounds = 400;
constexpr int WarmUp = 100;

} // namespace

int main(int argc, char** argv)
{
    TSkinData data(nullptr);
    std::string skinFile;
    if (!LoadBenchSkin(data, argc, argv, "edits_bench", skinFile))
        return 1;
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(60, 60, 420, 120);
    TEdit* edits[2];
    TComboBox* combos[2];
    TUpDown* upDowns[2];
    for (int i = 0; i < 2; ++i) {
        const int x = 10 + i * 200;
        edits[i] = PlaceOnForm<TEdit>(form, x, 10, 150, 21);
        edits[i]->SetText("Some text to edit");
        combos[i] = PlaceOnForm<TComboBox>(form, x, 40, 150, 21);
        combos[i]->Items()->Add("A choice");
        combos[i]->SetItemIndex(0);
        upDowns[i] = PlaceOnForm<TUpDown>(form, x, 70, 17, 22);
    }
    form.Show();
    BringToFront(form.Handle());
    TWinSkinForm skin;
    skin.SetHandle(form.Handle());
    TAdaptorSet& set = skin.AdaptorSet();
    (new TSkinEdit(&set))->AttachWindow(edits[1]->Handle(), &data, set.Canvas());
    (new TSkinComBox(&set))->AttachControl(combos[1], &data, false, set.Canvas());
    (new TSkinUpDown(&set))->AttachControl(upDowns[1], &data, false, set.Canvas());
    BenchPump(100);

    const std::vector<TPaintPair> pairs = {{"edit, 150 x 21", edits[0]->Handle(), edits[1]->Handle()},
                 {"combo box, 150 x 21", combos[0]->Handle(), combos[1]->Handle()},
                 {"up-down, 17 x 22", upDowns[0]->Handle(), upDowns[1]->Handle()}};
    std::printf("edit, combo box and up-down paints, skinned against native, median of %d rounds\n", Rounds);
    std::printf("  skin: %s (%s)\n", skinFile.c_str(), data.SkinName().c_str());
    ComparePaints(pairs, RDW_FRAME | RDW_ERASE, Rounds, WarmUp);
    return 0;
}
