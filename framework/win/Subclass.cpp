#include "framework/win/Subclass.h"

#include "framework/core/Exception.h"
#include "framework/core/Object.h"
#include "framework/win/ObjectInstance.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace {

LONG_PTR SetProc(HWND wnd, WNDPROC proc, bool unicode) noexcept
{
    const auto value = reinterpret_cast<LONG_PTR>(proc);
    return unicode ? SetWindowLongPtrW(wnd, GWLP_WNDPROC, value) : SetWindowLongPtrA(wnd, GWLP_WNDPROC, value);
}


std::atomic<std::size_t> GStates{0};

} // namespace

WNDPROC WindowProcIn(HWND Wnd, bool Unicode) noexcept
{
    return reinterpret_cast<WNDPROC>(Unicode ? GetWindowLongPtrW(Wnd, GWLP_WNDPROC)
                                             : GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
}

LRESULT CallWindowProcIn(WNDPROC Proc, bool Unicode, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    return Unicode ? CallWindowProcW(Proc, Wnd, Msg, WParam, LParam) : CallWindowProcA(Proc, Wnd, Msg, WParam, LParam);
}

// What a subclass leaves in the window: owned by its TWindowSubclass while that is attached, by
// itself as a pass-through, and freed when it is finished (thunk gone) and no call is running.
class TSubclassState : public TObject {
public:
    TSubclassState(HWND wnd, const TWndMethod& method, bool unicode)
        : FWnd(wnd), FMethod(method), FThread(GetWindowThreadProcessId(wnd, nullptr)), FUnicode(unicode)
    {
        ++GStates;
    }
    ~TSubclassState() override;

    WNDPROC OldProc() const { return FOldProc; }
    WNDPROC Thunk() const { return FThunk.Proc(); }
    bool Finished() const { return FFinished; }

    void Attach();
    bool Detach() noexcept;
    void WndProc(TMessage& message);

    // Frees the thread's pass-throughs whose windows are gone.
    static void SweepThread() noexcept;
    static std::size_t PassThroughs() noexcept;

private:
    HWND FWnd;
    WNDPROC FOldProc = nullptr;
    TObjectInstance FThunk;
    TWndMethod FMethod; // empty once detached: a pass-through
    DWORD FThread;
    bool FUnicode;
    int FDepth = 0;      // calls through the thunk in progress
    bool FOwned = true;
    bool FFinished = false;
    bool FRegistered = false;

    void Finish() noexcept;
    void Forward(TMessage& message) const
    {
        message.Result = CallWindowProcIn(FOldProc, FUnicode, FWnd, message.Msg, message.WParam, message.LParam);
    }
    bool Deletable() const { return !FOwned && FFinished && FDepth == 0; }

    void Register() noexcept;

    static std::mutex& RegistryLock()
    {
        static std::mutex* lock = new std::mutex;
        return *lock;
    }
    static std::vector<TSubclassState*>& Registry()
    {
        static auto* list = new std::vector<TSubclassState*>;
        return *list;
    }
};

TSubclassState::~TSubclassState()
{
    --GStates;
    if (FRegistered) {
        std::lock_guard lock(RegistryLock());
        auto& list = Registry();
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TSubclassState::Attach()
{
    FThunk.Reset(TWndMethod::Bind<&TSubclassState::WndProc>(this));
    SetLastError(0);
    const LONG_PTR old = SetProc(FWnd, FThunk.Proc(), FUnicode);
    const DWORD error = GetLastError();
    if (!old && error != 0) {
        FThunk.Reset();
        throw EOSError(Format("Cannot subclass window %p (error %lu)", static_cast<void*>(FWnd), error));
    }
    FOldProc = reinterpret_cast<WNDPROC>(old);
}

void TSubclassState::Finish() noexcept
{
    if (FFinished)
        return;
    FFinished = true;
    FThunk.Reset(); // safe from inside a call through it
}

bool TSubclassState::Detach() noexcept
{
    FOwned = false;
    FMethod = TWndMethod();
    bool gone = true;
    if (!FFinished) {
        if (!IsWindow(FWnd)) {
            Finish();
        } else if (WindowProcIn(FWnd, FUnicode) == Thunk()) {
            SetProc(FWnd, FOldProc, FUnicode);
            Finish();
        } else {
            Register();
            gone = false;
        }
    }
    if (Deletable())
        delete this;
    return gone;
}

void TSubclassState::WndProc(TMessage& message)
{
    // Runs when the call ends, also by an exception: a subclass ends with its window, and a
    // finished state that nobody owns goes once no call through its thunk is left.
    struct TCallScope {
        TSubclassState& State;
        UINT Msg;
        explicit TCallScope(TSubclassState& state, UINT msg) : State(state), Msg(msg) { ++State.FDepth; }
        ~TCallScope()
        {
            if (Msg == WM_NCDESTROY && !State.FFinished) {
                if (WindowProcIn(State.FWnd, State.FUnicode) == State.Thunk())
                    SetProc(State.FWnd, State.FOldProc, State.FUnicode);
                State.Finish();
            }
            --State.FDepth;
            if (State.Deletable())
                delete &State;
        }
        TCallScope(const TCallScope&) = delete;
        TCallScope& operator=(const TCallScope&) = delete;
    } scope(*this, message.Msg);

    if (FMethod && !FFinished) {
        FMethod(message);
        return;
    }
    // A pass-through: back on top means the one above has gone, so step out of the chain.
    if (!FFinished && WindowProcIn(FWnd, FUnicode) == Thunk()) {
        SetProc(FWnd, FOldProc, FUnicode);
        Finish();
    }
    Forward(message);
}

void TSubclassState::Register() noexcept
{
    try {
        std::lock_guard lock(RegistryLock());
        Registry().push_back(this);
        FRegistered = true;
    } catch (...) {
        // Out of memory: the pass-through still works and frees itself on WM_NCDESTROY.
    }
}

void TSubclassState::SweepThread() noexcept
{
    std::vector<TSubclassState*> dead;
    try {
        const DWORD thread = GetCurrentThreadId();
        std::lock_guard lock(RegistryLock());
        auto& list = Registry();
        for (auto it = list.begin(); it != list.end();) {
            TSubclassState* state = *it;
            if (state->FThread == thread && state->FDepth == 0 && !IsWindow(state->FWnd)) {
                dead.push_back(state);
                state->FRegistered = false;
                it = list.erase(it);
            } else {
                ++it;
            }
        }
    } catch (...) {
        return;
    }
    for (TSubclassState* state : dead) {
        state->Finish();
        delete state;
    }
}

std::size_t TSubclassState::PassThroughs() noexcept
{
    std::lock_guard lock(RegistryLock());
    return Registry().size();
}

TWindowSubclassStats WindowSubclassStats() noexcept
{
    TWindowSubclassStats stats;
    stats.States = GStates.load();
    stats.PassThroughs = TSubclassState::PassThroughs();
    return stats;
}

TWindowSubclass::TWindowSubclass(TWindowSubclass&& Other) noexcept
    : FState(std::exchange(Other.FState, nullptr)), FWnd(std::exchange(Other.FWnd, nullptr)),
      FOldProc(std::exchange(Other.FOldProc, nullptr)), FUnicode(std::exchange(Other.FUnicode, false))
{
}

TWindowSubclass& TWindowSubclass::operator=(TWindowSubclass&& Other) noexcept
{
    if (this != &Other) {
        Restore();
        FState = std::exchange(Other.FState, nullptr);
        FWnd = std::exchange(Other.FWnd, nullptr);
        FOldProc = std::exchange(Other.FOldProc, nullptr);
        FUnicode = std::exchange(Other.FUnicode, false);
    }
    return *this;
}

void TWindowSubclass::Install(HWND Wnd, TWndMethod Method, TSubclassChars Chars)
{
    if (!Method)
        throw EInvalidOperation("TWindowSubclass::Install: the method is empty");
    if (!IsWindow(Wnd))
        throw EInvalidOperation(Format("TWindowSubclass::Install: %p is not a window", static_cast<void*>(Wnd)));
    Restore();
    TSubclassState::SweepThread();
    const bool unicode = Chars == TSubclassChars::Window && IsWindowUnicode(Wnd);
    auto state = std::make_unique<TSubclassState>(Wnd, Method, unicode);
    state->Attach();
    FState = state.release();
    FWnd = Wnd;
    FOldProc = FState->OldProc();
    FUnicode = unicode;
}

bool TWindowSubclass::Restore() noexcept
{
    TSubclassState* state = std::exchange(FState, nullptr);
    if (!state)
        return true;
    const bool gone = state->Detach();
    TSubclassState::SweepThread();
    return gone;
}

void TWindowSubclass::CallOld(TMessage& Message) const
{
    Message.Result = CallOld(Message.Msg, Message.WParam, Message.LParam);
}

LRESULT TWindowSubclass::CallOld(UINT Msg, WPARAM WParam, LPARAM LParam) const
{
    return FOldProc ? CallWindowProcIn(FOldProc, FUnicode, FWnd, Msg, WParam, LParam) : 0;
}

bool TWindowSubclass::Installed() const noexcept
{
    return FState && !FState->Finished();
}

bool TWindowSubclass::IsTop() const noexcept
{
    return Installed() && WindowProcIn(FWnd, FUnicode) == FState->Thunk();
}

WNDPROC TWindowSubclass::Proc() const noexcept
{
    return Installed() ? FState->Thunk() : nullptr;
}
