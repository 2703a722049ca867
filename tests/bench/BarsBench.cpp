// One paint of a column header, a status bar, a progress bar and a track bar, skinned against the
// same control left to the system (under Wine or Windows). Each control is there twice on a
// visible form, one with its adaptor; each round invalidates it (with erasing) and has it paint
// at once, then GdiFlush; the median of many rounds after a warm-up, in microseconds, and the
// ratio for each control.
//   bars_bench [SKIN.skn]   (default: "default.skn" in the current folder)
#include "skin/controls/SkinBars.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "tests/bench/BenchForms.h"
#include "tests/bench/BenchTiming.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/win/Files.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

constexpr int Rounds = 400;
constexpr int WarmUp = 100;

HWND MakeHeader(HWND Parent, int Y)
{
    HWND header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 10, Y, 400, 22, Parent,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(header, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    const char* captions[5] = {"Name", "Size", "Type", "Modified", "Owner"};
    for (int i = 0; i < 5; ++i) {
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<char*>(captions[i]);
        item.cxy = 70;
        item.fmt = i == 1 ? HDF_RIGHT : HDF_LEFT;
        SendMessageA(header, HDM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    return header;
}

TStatusBar* MakeStatusBar(TForm& Form, int Y)
{
    auto* bar = PlaceOnForm<TStatusBar>(Form, 10, Y, 400, 22);
    bar->SetAlign(alNone);
    bar->SetBounds(10, Y, 400, 22);
    const char* texts[3] = {" Ready", "", "Line 12, column 4"};
    const TStatusPanelBevel bevels[3] = {pbLowered, pbRaised, pbNone};
    for (int i = 0; i < 3; ++i) {
        TStatusPanel* panel = bar->Panels()->Add();
        panel->SetText(texts[i]);
        panel->SetBevel(bevels[i]);
        panel->SetWidth(150);
    }
    return bar;
}

} // namespace

int main(int argc, char** argv)
{
    TSkinData data(nullptr);
    std::string skinFile;
    if (!LoadBenchSkin(data, argc, argv, "bars_bench", skinFile))
        return 1;
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(60, 60, 860, 260);
    HWND headers[2];
    TStatusBar* statusBars[2];
    TProgressBar* progressBars[2];
    TTrackBar* trackBars[2];
    for (int i = 0; i < 2; ++i) {
        const int x = 10 + i * 430;
        progressBars[i] = PlaceOnForm<TProgressBar>(form, x, 100, 200, 18);
        progressBars[i]->SetPosition(40);
        trackBars[i] = PlaceOnForm<TTrackBar>(form, x, 140, 200, 40);
        trackBars[i]->SetPosition(4);
    }
    form.Show();
    for (int i = 0; i < 2; ++i) {
        headers[i] = MakeHeader(form.Handle(), 10);
        SetWindowPos(headers[i], nullptr, 10 + i * 430, 10, 400, 22, SWP_NOZORDER);
        statusBars[i] = MakeStatusBar(form, 50);
        statusBars[i]->SetLeft(10 + i * 430);
    }
    BringToFront(form.Handle());

    // The second of each pair is skinned, as control discovery attaches it.
    TWinSkinForm skin;
    skin.SetHandle(form.Handle());
    TAdaptorSet& set = skin.AdaptorSet();
    (new TSkinHeader(&set))->AttachWindow(headers[1], &data, set.Canvas());
    (new TSkinStatusBar(&set))->AttachControl(statusBars[1], &data, false, set.Canvas());
    (new TSkinProgress(&set))->AttachControl(progressBars[1], &data, false, set.Canvas());
    (new TSkinTrackBar(&set))->AttachControl(trackBars[1], &data, true, set.Canvas());
    BenchPump(100);

    const std::vector<TPaintPair> pairs = {{"header, 5 items, 400 x 22", headers[0], headers[1]},
                 {"status bar, 3 panels, 400 x 22", statusBars[0]->Handle(), statusBars[1]->Handle()},
                 {"progress bar, 200 x 18 at 40%", progressBars[0]->Handle(), progressBars[1]->Handle()},
                 {"track bar, 200 x 40", trackBars[0]->Handle(), trackBars[1]->Handle()}};
    std::printf("bar paints, skinned against native, median of %d rounds\n", Rounds);
    std::printf("  skin: %s (%s)\n", skinFile.c_str(), data.SkinName().c_str());
    ComparePaints(pairs, RDW_ERASE, Rounds, WarmUp);
    return 0;
}
