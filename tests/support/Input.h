// Real input for the window tests (SendInput), and scripts of steps that run in whatever message
// loop is running, a popup menu's modal loop too, with a time limit: a test never hangs in a menu.
#pragma once

#include "tests/support/Pump.h"

#include <windows.h>

#include <functional>
#include <vector>

inline void KeyInput(WORD Key, bool Up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = Key;
    in.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// Presses and releases Key, with Modifier held around it when given.
inline void TapKey(WORD Key, WORD Modifier = 0)
{
    if (Modifier != 0)
        KeyInput(Modifier, false);
    KeyInput(Key, false);
    KeyInput(Key, true);
    if (Modifier != 0)
        KeyInput(Modifier, true);
}

// Moves the cursor to Point (screen) and, with Click, presses and releases the left button there.
inline void MouseInput(POINT Point, bool Click)
{
    SetCursorPos(Point.x, Point.y);
    INPUT in[3]{};
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = MulDiv(Point.x, 65535, w);
        i.mi.dy = MulDiv(Point.y, 65535, h);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    in[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(Click ? 3 : 1, in, sizeof(INPUT));
}

// Steps run one per tick of a thread timer; a step that returns false runs again at the next
// tick (it waits for something). Past the time limit every open menu is ended and TimedOut is set.
class TInputScript {
public:
    using TStep = std::function<bool()>;
    TInputScript& Then(TStep Step)
    {
        FSteps.push_back(std::move(Step));
        return *this;
    }
    // A step that lets Milliseconds pass (the platform's own loop runs meanwhile).
    TInputScript& Wait(DWORD Milliseconds)
    {
        return Then([Milliseconds, first = DWORD{0}]() mutable {
            if (first == 0)
                first = GetTickCount();
            return GetTickCount() - first >= Milliseconds;
        });
    }
    // Runs the steps from the test's own loop; returns true when all of them ran in time.
    bool Run(int Milliseconds = 8000, int Tick = 60)
    {
        FNext = 0;
        TimedOut = false;
        FDeadline = GetTickCount() + static_cast<DWORD>(Milliseconds);
        Current() = this;
        const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(Tick), &TInputScript::OnTick);
        while (FNext < FSteps.size() && !TimedOut)
            Pump(20);
        KillTimer(nullptr, timer);
        Current() = nullptr;
        Pump(100);
        return !TimedOut;
    }
    bool TimedOut = false;

private:
    static TInputScript*& Current()
    {
        static TInputScript* current = nullptr;
        return current;
    }
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
    {
        TInputScript* script = Current();
        if (script == nullptr)
            return;
        if (static_cast<int>(GetTickCount() - script->FDeadline) > 0) {
            script->TimedOut = true;
            // Out of whatever modal loop a step left running: a menu, or a mouse button held.
            EndMenu();
            INPUT up{};
            up.type = INPUT_MOUSE;
            up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(1, &up, sizeof up);
            return;
        }
        if (script->FNext < script->FSteps.size() && script->FSteps[script->FNext]())
            ++script->FNext;
    }

    std::vector<TStep> FSteps;
    size_t FNext = 0;
    DWORD FDeadline = 0;
};

inline BOOL CALLBACK CountMenuWindow(HWND W, LPARAM Count)
{
    char name[16]{};
    if (IsWindowVisible(W) && GetClassNameA(W, name, sizeof name) && lstrcmpA(name, "#32768") == 0)
        ++*reinterpret_cast<int*>(Count);
    return TRUE;
}

// The visible popup-menu windows.
inline int OpenMenuWindows()
{
    int count = 0;
    EnumWindows(CountMenuWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}
