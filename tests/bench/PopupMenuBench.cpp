// A skinned popup menu against the platform's own: a framework popup-menu component of 12 items
// (captions, short-cuts, a separator, check marks) on a skinned form, opened and drawn, then
// closed, with skinning on (the popup window and every item drawn from the skin named on the
// command line, "default.skn" without one) and with skinning off (the same component, drawn by the
// platform). A round runs from the call that opens the menu until the menu loop first goes idle
// (WM_ENTERIDLE: the popup and all its items are painted); the menu is ended there. Skinned and
// native rounds take turns (the skin switched on and off between them, and the menu opened once
// untimed after each switch), so that a change in the machine's state falls on both alike; the figures are medians with their spreads, in
// microseconds, and the skinned one as a ratio of the native one.
#include "framework/controls/Forms.h"
#include "framework/menus/Menus.h"
#include "skin/data/WinSkinData.h"
#include "skin/manager/SkinManager.h"
#include "tests/bench/BenchForms.h"
#include "tests/bench/BenchTiming.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int Rounds = 30;
constexpr int WarmUp = 3;

double GOpened = 0;
HHOOK GHook = nullptr;

// The menu is painted once its loop goes idle: the time is taken and the menu ended.
LRESULT CALLBACK WatchIdle(int Code, WPARAM WParam, LPARAM LParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(LParam);
    if (Code == HC_ACTION && message != nullptr && message->message == WM_ENTERIDLE && GOpened == 0) {
        GOpened = BenchNow();
        EndMenu();
    }
    return CallNextHookEx(GHook, Code, WParam, LParam);
}

// The time from Popup to the painted menu; -1 when its loop never went idle.
double OpenAndDraw(TPopupMenu& Menu)
{
    Application()->ProcessMessages();
    GOpened = 0;
    const double start = BenchNow();
    Menu.Popup(300, 200);
    return GOpened == 0 ? -1 : GOpened - start;
}

// Skinning on or off, and the menu drawn accordingly (the manager acts on its timer).
bool SwitchSkin(TSkinData& Data, TPopupMenu& Menu, bool On)
{
    Data.SetActive(On);
    for (int i = 0; i < 100 && Menu.OwnerDraw() != On; ++i)
        BenchPump(20);
    BenchPump(40);
    return Menu.OwnerDraw() == On;
}

int Fail(const char* Message)
{
    std::fprintf(stderr, "popup_menu_bench: %s\n", Message);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    TApplicationScope scope;
    Application()->Initialize();
    const std::string skinFile = BenchSkinFile(argc, argv, "popup_menu_bench");
    if (skinFile.empty())
        return 1;
    auto form = std::make_unique<TForm>(nullptr);
    form->SetCaption("Popup menu");
    form->SetBounds(100, 100, 400, 300);
    auto* menu = new TPopupMenu(form.get());
    const char* captions[12] = {"&New", "&Open...", "&Save", "Save &as...", "-", "Cu&t", "&Copy", "&Paste",
                                "&Delete", "Select &all", "&Word wrap", "&Properties"};
    for (int i = 0; i < 12; ++i) {
        auto* item = new TMenuItem(form.get());
        item->SetCaption(captions[i]);
        if (i < 4)
            item->SetShortCut(ShortCut(static_cast<WORD>("NOSA"[i]), false, true, false));
        item->SetChecked(i == 10);
        menu->Items()->Add(item);
    }
    auto* data = new TSkinData(form.get());
    data->SetSkinFormtype(sfMainform);
    data->SetSkinFile(skinFile);
    if (data->SkinLoading())
        return Fail("the skin file is not a valid skin");
    if (data->SkinMenuItem() == nullptr || data->SkinMenuBackground() == nullptr)
        return Fail("the skin draws no menus");
    GHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchIdle, nullptr, GetCurrentThreadId());

    form->Show();
    std::vector<double> times[2]; // native, skinned
    for (int i = 0; i < WarmUp + Rounds; ++i) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool skinned = (i + turn) % 2 == 1;
            if (!SwitchSkin(*data, *menu, skinned))
                return Fail(skinned ? "the popup menu is not skinned" : "the popup menu is still skinned");
            // The first popup after the switch measures its items anew: untimed, as a menu the
            // user opens again and again is measured once.
            OpenAndDraw(*menu);
            const double t = OpenAndDraw(*menu);
            if (t < 0)
                return Fail("a menu never went idle");
            if (i >= WarmUp)
                times[skinned].push_back(t);
        }
    }
    UnhookWindowsHookEx(GHook);
    const TBenchSpread native = BenchSpreadOf(times[0]), skinned = BenchSpreadOf(times[1]);
    std::printf("popup menu of 12 items, opened and drawn (median of %d rounds of each, 10th-90th percentile)\n",
                Rounds);
    std::printf("  %-30s native %8.1f us (%.1f-%.1f)  skinned %8.1f us (%.1f-%.1f)  %5.2f x native\n",
                "open and draw", native.Median * 1e6, native.Low * 1e6, native.High * 1e6, skinned.Median * 1e6,
                skinned.Low * 1e6, skinned.High * 1e6, skinned.Median / native.Median);
    BenchFigure("popup menu open and draw, skinned / native", skinned.Median / native.Median, "x", true, 1.5);
    return 0;
}
