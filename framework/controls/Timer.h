// A timer component: OnTimer every Interval milliseconds while Enabled, from the GUI thread's
// message loop (modal loops such as TrackPopupMenu's and message boxes included: the ticks are
// WM_TIMER messages of a hidden window, which every loop dispatches).
#pragma once

#include "framework/core/Component.h"
#include "framework/core/Method.h"

#include <windows.h>

#include <cstdint>

class TTimer : public TComponent {
    DECLARE_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner = nullptr);
    ~TTimer() override;

    // True by default, as for a timer placed on a form; code that wants a stopped timer says so.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Milliseconds; a change while running restarts the period. 0 stops the ticks.
    uint32_t Interval() const { return FInterval; }
    void SetInterval(uint32_t Value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);

    // The timer is running (enabled, with an interval and a handler, and not being loaded).
    bool Running() const { return FId != 0; }

protected:
    void Loaded() override;
    virtual void Timer();

private:
    void UpdateTimer();
    static LRESULT CALLBACK UtilWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

    bool FEnabled = true;
    uint32_t FInterval = 1000;
    TNotifyEvent FOnTimer;
    UINT_PTR FId = 0;
};

// Destroys the hidden window of the timers (stopping every timer); the application's
// finalisation calls it. A timer enabled later makes a new one.
void FreeTimerWindow() noexcept;
