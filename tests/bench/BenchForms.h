// What the Windows benchmarks that show framework forms share: a pump for a while, and bringing a
// window to the front (and keeping it there) before it is measured.
#pragma once

#include "framework/controls/Forms.h"

#include <windows.h>

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
