// Skin on, skin change, paint and skin off, a thousand times (or as many as the second argument
// says), on a form with every control kind the engine skins so far, driven through the manager's
// own action handler. Prints what must stay flat: the process's GDI objects, window-procedure
// thunks and subclass states; and whether the unskinned form looks as it did before the first skin.
//   skin_soak.exe SKIN.skn [CYCLES]
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "tests/bench/BenchForms.h"
#include "tests/bench/BenchTiming.h"
#include "tests/support/GdiObjects.h"
#include "tests/support/WindowPixels.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/win/Files.h"
#include "framework/win/ObjectInstance.h"
#include "framework/win/Subclass.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

template <class T> T* Place(TForm& Form, TWinControl* Parent, int X, int Y, int W, int H)
{
    auto* control = new T(&Form);
    control->SetParent(Parent);
    control->SetBounds(X, Y, W, H);
    return control;
}


} // namespace

int main(int argc, char** argv)
{
    TApplicationScope scope;
    Application()->Initialize();
    const std::string skinFile = BenchSkinFile(argc, argv, "skin_soak");
    if (skinFile.empty())
        return 1;
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 1000;

    TForm form(nullptr);
    form.SetCaption("Soak");
    form.SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    form.SetBounds(100, 100, 540, 420);
    auto* panel = Place<TPanel>(form, &form, 10, 10, 200, 120);
    Place<TCheckBox>(form, panel, 10, 10, 120, 20);
    Place<TRadioButton>(form, panel, 10, 40, 120, 20);
    auto* group = Place<TGroupBox>(form, &form, 10, 140, 200, 80);
    Place<TCheckBox>(form, group, 10, 20, 120, 20);
    Place<TButton>(form, &form, 230, 10, 90, 25);
    Place<TBitBtn>(form, &form, 230, 45, 90, 25);
    Place<TSpeedButton>(form, &form, 230, 80, 90, 25);
    auto* radios = Place<TRadioGroup>(form, &form, 330, 10, 150, 100);
    radios->Items()->Add("One");
    radios->Items()->Add("Two");
    Place<TStringGrid>(form, &form, 230, 120, 250, 100);
    Place<TToolBar>(form, &form, 0, 280, 500, 30);
    Place<TProgressBar>(form, &form, 10, 230, 200, 16)->SetPosition(40);
    Place<TTrackBar>(form, &form, 230, 226, 250, 40);
    auto* memo = Place<TMemo>(form, &form, 10, 300, 120, 50);
    memo->SetScrollBars(TScrollStyle::ssBoth);
    for (int i = 0; i < 20; ++i)
        memo->Lines()->Add("A line long enough for the memo to scroll sideways " + std::to_string(i));
    auto* view = Place<TListView>(form, &form, 140, 300, 120, 50);
    view->SetViewStyle(vsReport);
    view->Columns()->Add()->SetCaption("Name");
    Place<TScrollBar>(form, &form, 270, 300, 100, 17);
    Place<TEdit>(form, &form, 380, 300, 100, 21);
    auto* combo = Place<TComboBox>(form, &form, 380, 325, 100, 21);
    combo->Items()->Add("One");
    Place<TUpDown>(form, &form, 490, 300, 17, 22);
    auto* status = Place<TStatusBar>(form, &form, 0, 0, 500, 20);
    status->Panels()->Add()->SetText("Soak");
    status->Panels()->Add();

    auto* data = new TSkinData(&form);
    data->SetSkinFile(skinFile);
    if (data->SkinLoading()) {
        std::fprintf(stderr, "skin_soak: %s is not a valid skin\n", skinFile.c_str());
        return 1;
    }
    TSkinManage* manager = SkinManager();
    form.Show();
    BenchPump(300, 1);
    const std::vector<uint32_t> native = WindowPixels(form.Handle());
    auto run = [&](int Action) {
        manager->SetCurrentSkinData(data);
        manager->SetActivationCount(1);
        manager->RequestAction(Action, 250);
        manager->OnActionTimer(nullptr);
        BenchPump(2, 1);
    };
    auto cycle = [&] {
        run(1);
        data->SetSkinFile(skinFile);
        manager->OnActionTimer(nullptr);
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        run(2);
    };
    cycle();
    BenchPump(100, 1);
    const int gdi = LiveGdiObjects();
    const size_t thunks = ObjectInstanceStats().Live;
    const size_t states = WindowSubclassStats().States;
    const DWORD start = GetTickCount();
    int skinnedSeen = 0;
    for (int i = 0; i < cycles; ++i) {
        cycle();
        skinnedSeen += manager->SkinnedForms().empty() ? 0 : 1;
    }
    const DWORD took = GetTickCount() - start;
    BenchPump(300, 1);
    const bool same = WindowPixels(form.Handle()) == native;
    std::printf("%d skin on / change / paint / off cycles of a form with %d controls, %lu ms (%.1f ms a cycle)\n",
                cycles, form.ComponentCount() - 1, static_cast<unsigned long>(took),
                static_cast<double>(took) / cycles);
    std::printf("  GDI objects        %6d after the first cycle, %6d at the end\n", gdi, LiveGdiObjects());
    std::printf("  procedure thunks   %6zu after the first cycle, %6zu at the end\n", thunks,
                ObjectInstanceStats().Live);
    std::printf("  subclass states    %6zu after the first cycle, %6zu at the end\n", states,
                WindowSubclassStats().States);
    std::printf("  windows left skinned after a cycle: %d; unskinned look as before the first skin: %s\n",
                skinnedSeen, same ? "yes" : "NO");
    const bool flat = gdi == LiveGdiObjects() && thunks == ObjectInstanceStats().Live &&
                      states == WindowSubclassStats().States && skinnedSeen == 0 && same;
    return flat ? 0 : 2;
}
