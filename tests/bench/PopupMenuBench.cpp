// A skinned popup menu against the platform's own: a framework popup-menu component of 12 items
// (captions, short-cuts, a separator, check marks) on a skinned form, opened and drawn, then
// closed, with skinning on (the popup window and every item drawn from the skin named on the
// command line, "default.skn" without one) and with skinning off (the same component, drawn by the
// platform). A round runs from the call that opens the menu until the menu loop first goes idle
// (WM_ENTERIDLE: the popup and all its items are painted); the menu is ended there. Figures are
// the median of many rounds after a warm-up, in microseconds, and the skinned one as a ratio of
// the native one.
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

constexpr int Rounds = 60;
constexpr int WarmUp = 5;

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

// The median time from Popup to the painted menu.
double OpenAndDraw(TPopupMenu& Menu)
{
    std::vector<double> times;
    for (int i = 0; i < WarmUp + Rounds; ++i) {
        Application()->ProcessMessages();
        GOpened = 0;
        const double start = BenchNow();
        Menu.Popup(300, 200);
        if (GOpened == 0)
            return -1; // the loop never went idle
        if (i >= WarmUp)
            times.push_back(GOpened - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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

    data->SetActive(true);
    form->Show();
    BenchPump(400);
    if (!menu->OwnerDraw())
        return Fail("the popup menu is not skinned");
    const double skinned = OpenAndDraw(*menu);
    data->SetActive(false);
    BenchPump(400);
    if (menu->OwnerDraw())
        return Fail("the popup menu is still skinned");
    const double native = OpenAndDraw(*menu);
    UnhookWindowsHookEx(GHook);
    if (skinned < 0 || native < 0)
        return Fail("a menu never went idle");
    std::printf("popup menu of 12 items, opened and drawn (median of %d rounds)\n", Rounds);
    std::printf("  %-30s %9.1f us skinned  %9.1f us native  %6.2f x\n", "open and draw", skinned * 1e6,
                native * 1e6, skinned / native);
    BenchFigure("popup menu open and draw, skinned / native", skinned / native, "x", true, 1.5);
    return 0;
}
