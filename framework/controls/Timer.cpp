#include "framework/controls/Timer.h"

#include "framework/core/Exception.h"
#include "framework/core/Published.h"
#include "framework/win/Callback.h"

#include <map>

namespace {

constexpr const char* TimerClassName = "TTimerWindow";

// Each thread's timers tick through a window of its own: a timer's messages come to the thread
// whose window it is set on.
thread_local HWND GTimerWindow = nullptr;
thread_local UINT_PTR GNextId = 1;

// Made once a thread and kept (a plain pointer: the runtime's destructors at a thread's end are
// not for the framework's objects).
std::map<UINT_PTR, TTimer*>& Timers()
{
    static thread_local std::map<UINT_PTR, TTimer*>* map = nullptr;
    if (map == nullptr)
        map = new std::map<UINT_PTR, TTimer*>();
    return *map;
}

} // namespace

LRESULT CALLBACK TTimer::UtilWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_TIMER) {
        auto found = Timers().find(WParam);
        if (found != Timers().end()) {
            TTimer* timer = found->second;
            CallGuarded([&] { timer->Timer(); });
        }
        return 0;
    }
    return DefWindowProcA(Window, Msg, WParam, LParam);
}

namespace {

HWND TimerWindow(WNDPROC Proc)
{
    if (GTimerWindow != nullptr)
        return GTimerWindow;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (!GetClassInfoA(instance, TimerClassName, &existing)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance;
        wc.lpszClassName = TimerClassName;
        if (RegisterClassA(&wc) == 0)
            throw EOutOfResources("Cannot register the timer window class");
    }
    // A message-only window: never shown, never enumerated, never activated.
    GTimerWindow = CreateWindowExA(0, TimerClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (GTimerWindow == nullptr)
        throw EOutOfResources("Not enough timers available");
    return GTimerWindow;
}

} // namespace

void FreeTimerWindow() noexcept
{
    if (GTimerWindow == nullptr)
        return;
    for (auto& [id, timer] : Timers())
        KillTimer(GTimerWindow, id);
    DestroyWindow(GTimerWindow);
    GTimerWindow = nullptr;
}

IMPLEMENT_CLASS(TTimer)

void TTimer::Publish(TClassBuilder<TTimer>& b)
{
    b.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled)
        .Property("Interval", &TTimer::Interval, &TTimer::SetInterval)
        .Property("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer()
{
    FEnabled = false;
    try {
        UpdateTimer();
    } catch (...) {
    }
}

void TTimer::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(uint32_t Value)
{
    if (Value == FInterval)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value)
{
    FOnTimer = Value;
    UpdateTimer();
}

void TTimer::Loaded()
{
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    if (FId != 0) {
        if (GTimerWindow != nullptr)
            KillTimer(GTimerWindow, FId);
        Timers().erase(FId);
        FId = 0;
    }
    const bool loading = ComponentState().Contains(csLoading);
    if (!FEnabled || FInterval == 0 || !FOnTimer || loading)
        return;
    HWND window = TimerWindow(&TTimer::UtilWndProc);
    const UINT_PTR id = GNextId++;
    if (SetTimer(window, id, FInterval, nullptr) == 0)
        throw EOutOfResources("Not enough timers available");
    FId = id;
    Timers()[id] = this;
}

void TTimer::Timer()
{
    if (FOnTimer)
        FOnTimer(this);
}
