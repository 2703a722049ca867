// What the Windows benchmarks that show framework forms share: a pump for a while, bringing a
// window to the front (and keeping it there) before it is measured, and the skin they paint from.
#pragma once

#include "framework/controls/Forms.h"
#include "skin/data/WinSkinData.h"
#include "tests/bench/BenchTiming.h"

#include <windows.h>

#include <cstdio>
#include <string>

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
