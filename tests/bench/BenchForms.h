// What the Windows benchmarks that show framework forms share: a pump for a while, bringing a
// window to the front (and keeping it there) before it is measured, and the skin they paint from.
#pragma once

#include "framework/controls/Forms.h"
#include "skin/data/WinSkinData.h"
#include "tests/bench/BenchTiming.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

// Handles the messages waiting, for about Milliseconds.
inline void BenchPump(DWORD Milliseconds, DWORD Nap = 5)
{
    const DWORD start = GetTickCount();
    do {
        Application()->ProcessMessages();
        Sleep(Nap);
    } while (GetTickCount() - start < Milliseconds);
}

// The window counts as in front when it still is after a further pump.
inline bool BringToFront(HWND Window)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        SetForegroundWindow(Window);
        BenchPump(50);
        if (GetForegroundWindow() != Window)
            continue;
        BenchPump(50);
        if (GetForegroundWindow() == Window)
            return true;
    }
    return false;
}

// Loads the skin file the benchmark is given (default: "default.skn" in the current folder) into
// Data; false, with the reason on stderr, when there is none or it is not a skin.
inline bool LoadBenchSkin(TSkinData& Data, int argc, char** argv, const char* Program, std::string& File)
{
    File = BenchSkinFile(argc, argv, Program);
    if (File.empty())
        return false;
    Data.SetSkinFile(File);
    if (Data.SkinLoading()) {
        std::fprintf(stderr, "%s: no skin in %s\n", Program, File.c_str());
        return false;
    }
    return true;
}

// A framework control of class T on Form, at the bounds given.
template <class T> T* PlaceOnForm(TForm& Form, int X, int Y, int W, int H)
{
    auto* control = new T(&Form);
    control->SetParent(&Form);
    control->SetBounds(X, Y, W, H);
    return control;
}

// The same control twice: left to the system, and skinned.
struct TPaintPair {
    const char* Name;
    HWND Native;
    HWND Skinned;
};

// Each window of each pair invalidated (RedrawWindow with Flags and RDW_UPDATENOW) and painted,
// the two interleaved, Rounds times after WarmUp untimed rounds; prints the medians, spreads and
// ratio of each pair and a figure against Target (the skinned paint at most Target times the
// native one); returns the worst ratio.
inline double ComparePaints(const std::vector<TPaintPair>& Pairs, UINT Flags, int Rounds, int WarmUp,
                            double Target = 1.5)
{
    auto paint = [Flags](HWND Window) {
        return [Window, Flags] {
            RedrawWindow(Window, nullptr, nullptr, Flags | RDW_INVALIDATE | RDW_UPDATENOW);
            GdiFlush();
        };
    };
    double worst = 0;
    for (const TPaintPair& pair : Pairs) {
        const double ratio = BenchCompare(pair.Name, Rounds, WarmUp, paint(pair.Native), paint(pair.Skinned));
        BenchFigure(std::string(pair.Name) + " paint, skinned / native", ratio, "x", true, Target);
        worst = std::max(worst, ratio);
    }
    return worst;
}
