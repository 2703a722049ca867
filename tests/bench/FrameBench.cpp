// The skinned frame against the platform's own, on two 800 x 600 sizeable forms with a caption,
// a system menu and minimise and maximise boxes (under Wine or Windows). One form is skinned by a
// skin data component loading the package named on the command line ("default.skn" in the
// current folder when none is given); the other has Tag 99, which the manager never skins. Each
// form is measured while it is the foreground window. Figures are the median of many rounds after
// a warm-up, in microseconds, and the skinned one as a ratio of the native one:
//   paint        WM_NCPAINT (whole frame) sent to the window, then GdiFlush: the default window
//                procedure's frame against the form object's PaintFrame;
//   resize       SetWindowPos alternating 800 x 600 and 801 x 601 (no move, no activation, same
//                Z order): the synchronous part alone, the pending messages handled beforehand
//                and not counted; and with the messages it leaves (the paints) handled and counted;
//   region       the form object's BuildWindowRegion after a size change, the call WM_SIZE makes
//                on the skinned form (the size is changed with the object held out of its running
//                state, so that WM_SIZE leaves the region to the timed call).
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "tests/bench/BenchForms.h"
#include "tests/bench/BenchTiming.h"

#include "framework/controls/Forms.h"
#include "framework/win/Files.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int FormWidth = 800;
constexpr int FormHeight = 600;
constexpr int Rounds = 50;
constexpr int WarmUp = 5;

double Median(const std::function<void()>& Round, const std::function<void()>& Prepare = {})
{
    return BenchMedian(Rounds, WarmUp, Round, Prepare);
}

std::unique_ptr<TForm> MakeForm(const char* Caption, int Left, int Top)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetCaption(Caption);
    form->SetBorderStyle(bsSizeable);
    form->SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    form->SetBounds(Left, Top, FormWidth, FormHeight);
    return form;
}

// Alternates the window between 800 x 600 and 801 x 601.
void Resize(HWND Window, bool& Larger)
{
    Larger = !Larger;
    SetWindowPos(Window, nullptr, 0, 0, FormWidth + (Larger ? 1 : 0), FormHeight + (Larger ? 1 : 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The pixel in the middle of the title bar, read from the screen through the window DC.
COLORREF TitlePixel(HWND Window, int Y)
{
    HDC dc = GetWindowDC(Window);
    const COLORREF pixel = GetPixel(dc, FormWidth / 2, Y);
    ReleaseDC(Window, dc);
    return pixel;
}

size_t RegionRects(HWND Window)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    size_t count = 0;
    if (GetWindowRgn(Window, region) != ERROR) {
        const DWORD bytes = GetRegionData(region, 0, nullptr);
        std::vector<char> data(bytes);
        if (bytes != 0 && GetRegionData(region, bytes, reinterpret_cast<RGNDATA*>(data.data())) != 0)
            count = reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount;
    }
    DeleteObject(region);
    return count;
}

struct TFrameFigures {
    double Paint = 0;
    double Resize = 0;
    double ResizeAndPaint = 0;
};

TFrameFigures Measure(HWND Window)
{
    TFrameFigures f;
    bool larger = false;
    auto settle = [] { Application()->ProcessMessages(); };
    f.Paint = Median([&] {
        SendMessageA(Window, WM_NCPAINT, 1, 0);
        GdiFlush();
    }, settle);
    f.Resize = Median([&] {
        Resize(Window, larger);
        GdiFlush();
    }, settle);
    f.ResizeAndPaint = Median([&] {
        Resize(Window, larger);
        Application()->ProcessMessages();
        GdiFlush();
    }, settle);
    SetWindowPos(Window, nullptr, 0, 0, FormWidth, FormHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    settle();
    return f;
}

// Measures Window while it is the foreground window. Another program on the same display (tests
// run alongside on a shared bench) may take the front meanwhile: such figures are measured again.
bool MeasureInFront(HWND Window, TFrameFigures& Figures)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (!BringToFront(Window))
            continue;
        Figures = Measure(Window);
        if (GetForegroundWindow() == Window)
            return true;
    }
    return false;
}

void Print(const char* Name, double Skinned, double Native)
{
    std::printf("  %-30s %9.1f us skinned  %9.1f us native  %6.2f x\n", Name, Skinned * 1e6, Native * 1e6,
                Skinned / Native);
}

int Fail(const char* Message)
{
    std::fprintf(stderr, "frame_bench: %s\n", Message);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    TApplicationScope scope;
    Application()->Initialize();

    const std::string skinFile = BenchSkinFile(argc, argv, "frame_bench");
    if (skinFile.empty())
        return 1;

    auto native = MakeForm("Native frame", 40, 40);
    native->SetTag(99);
    auto skinned = MakeForm("Skinned frame", 400, 300);
    auto* data = new TSkinData(skinned.get());
    data->SetSkinFormtype(sfMainform);
    // Loads the package and makes the manager and its hook; then skinning on.
    data->SetSkinFile(skinFile);
    if (data->SkinLoading())
        return Fail("the skin file is not a valid skin");
    data->SetActive(true);
    if (SkinManager() == nullptr || !SkinManager()->SkinningOn())
        return Fail("skinning did not switch on");

    native->Show();
    skinned->Show();
    const HWND nativeWindow = native->Handle();
    const HWND skinnedWindow = skinned->Handle();
    SkinManager()->SkinWindow(skinnedWindow); // nothing when activation already skinned it
    BenchPump(300);                                // SKM_START: the window is fitted to the skin
    TWinSkinForm* skinForm = SkinManager()->FindSkinForm(skinnedWindow);
    if (SendMessageA(skinnedWindow, SKM_QUERY, 0, 0) != 1 || skinForm == nullptr || !skinForm->FrameHooked() ||
        skinForm->SkinState() != ssSkinned)
        return Fail("the skinned form is not skinned");
    if (SendMessageA(nativeWindow, SKM_QUERY, 0, 0) == 1 || SkinManager()->FindSkinForm(nativeWindow) != nullptr)
        return Fail("the native form is skinned");
    // The fit keeps the client size; both frames are measured at 800 x 600.
    SetWindowPos(skinnedWindow, nullptr, 0, 0, FormWidth, FormHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    BenchPump(50);

    // Each while it is the foreground window, so that both paint their active frame.
    TFrameFigures nativeFigures;
    if (!MeasureInFront(nativeWindow, nativeFigures))
        return Fail("the native form did not stay the foreground window");
    const int nativeTitleY = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    const COLORREF nativeTitle = TitlePixel(nativeWindow, nativeTitleY);
    const COLORREF nativeAtSkinnedY = TitlePixel(nativeWindow, skinForm->Frame().BorderTop() / 2);

    TFrameFigures skinnedFigures;
    if (!MeasureInFront(skinnedWindow, skinnedFigures))
        return Fail("the skinned form did not stay the foreground window");
    const COLORREF skinnedTitle = TitlePixel(skinnedWindow, skinForm->Frame().BorderTop() / 2);
    if (!skinForm->FrameState().Active)
        return Fail("the skinned form does not paint an active frame");
    // The skinned paint must really be the skin's: not the platform's caption at that spot.
    if (skinnedTitle == nativeAtSkinnedY || skinnedTitle == GetSysColor(COLOR_ACTIVECAPTION) ||
        skinnedTitle == GetSysColor(COLOR_GRADIENTACTIVECAPTION) || skinnedTitle == CLR_INVALID)
        return Fail("the skinned title bar shows the native caption colour");

    bool larger = false;
    const double region = Median([&] { skinForm->Frame().BuildWindowRegion(skinForm->FrameState()); }, [&] {
        skinForm->SetSkinState(ssFirstFit); // WM_SIZE leaves the region alone
        Resize(skinnedWindow, larger);
        skinForm->SetSkinState(ssSkinned);
    });
    Application()->ProcessMessages();
    const size_t regionRects = RegionRects(skinnedWindow);
    if (!skinForm->Frame().RegionSet() || regionRects == 0)
        return Fail("the skinned form has no window region");

    std::printf("frame of a %d x %d sizeable form, each measured as the foreground window, median of %d rounds\n",
                FormWidth, FormHeight, Rounds);
    std::printf("  skin: %s (%s); borders %d/%d/%d/%d\n", skinFile.c_str(), data->SkinName().c_str(),
                skinForm->Frame().BorderLeft(), skinForm->Frame().BorderTop(), skinForm->Frame().BorderRight(),
                skinForm->Frame().BorderBottom());
    Print("WM_NCPAINT frame paint", skinnedFigures.Paint, nativeFigures.Paint);
    Print("resize, SetWindowPos alone", skinnedFigures.Resize, nativeFigures.Resize);
    Print("resize + its queued paints", skinnedFigures.ResizeAndPaint, nativeFigures.ResizeAndPaint);
    std::printf("  %-30s %9.1f us skinned  (%zu rectangles)\n", "BuildWindowRegion, new size", region * 1e6,
                regionRects);
    std::printf("  title pixel: skinned %06lX, native %06lX (caption colour %06lX)\n",
                static_cast<unsigned long>(skinnedTitle), static_cast<unsigned long>(nativeTitle),
                static_cast<unsigned long>(GetSysColor(COLOR_ACTIVECAPTION)));
    BenchFigure("frame paint, skinned / native", skinnedFigures.Paint / nativeFigures.Paint, "x", true, 1.5);
    return 0;
}
