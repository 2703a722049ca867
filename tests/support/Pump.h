// The message pump of the window tests.
#pragma once

#include <windows.h>

// Dispatches every message that comes for Milliseconds.
inline void Pump(int Milliseconds)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(Milliseconds);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}
