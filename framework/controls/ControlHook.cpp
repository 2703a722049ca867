#include "framework/controls/ControlHook.h"

#include "framework/controls/Controls.h"

#include <memory>
#include <mutex>
#include <vector>

struct TControlHook::TRelay : TObject {
    TWndMethod Method;
    TWndMethod Old;
    TControl* Control = nullptr; // while left behind on a live control
    bool Active = true;
    int Calls = 0;         // calls of Method under way
    bool Orphaned = false; // restored during one of them: the last to return frees the relay

    void Call(TMessage& Message);
};

namespace {

std::vector<std::unique_ptr<TControlHook::TRelay>>& LeftRelays()
{
    static auto* relays = new std::vector<std::unique_ptr<TControlHook::TRelay>>();
    return *relays;
}

TWndMethod RelayMethod(TControlHook::TRelay* Relay)
{
    return BindMethod<&TControlHook::TRelay::Call>(Relay);
}

} // namespace

void TControlHook::TRelay::Call(TMessage& Message)
{
    if (Active) {
        // Also when the method throws: a relay restored during the call goes as the last call ends.
        struct TCallScope {
            TRelay& Relay;
            ~TCallScope()
            {
                if (--Relay.Calls == 0 && Relay.Orphaned)
                    delete &Relay;
            }
        } scope{*this};
        ++Calls;
        Method(Message);
        return;
    }
    // Left behind: once the hook above us is gone, the control gets its own method back.
    const TWndMethod old = Old;
    if (Control != nullptr && Control->WindowProc() == RelayMethod(this)) {
        Control->SetWindowProc(old);
        Control = nullptr;
    }
    if (old)
        old(Message);
}

void TControlHook::Install(TControl* Control, TWndMethod Method)
{
    Restore();
    if (Control == nullptr || !Method)
        return;
    auto relay = std::make_unique<TRelay>();
    relay->Method = Method;
    relay->Old = Control->WindowProc();
    FOld = relay->Old;
    FControl = Control;
    FRelay = relay.release();
    Control->SetWindowProc(RelayMethod(FRelay));
}

bool TControlHook::Restore() noexcept
{
    if (FRelay == nullptr)
        return true;
    TRelay* relay = FRelay;
    FRelay = nullptr;
    bool gone = true;
    if (FControl != nullptr && FControl->WindowProc() == RelayMethod(relay)) {
        FControl->SetWindowProc(relay->Old);
        // A hook may end inside its own method: the relay goes when that call returns.
        if (relay->Calls > 0)
            relay->Orphaned = true;
        else
            delete relay;
    } else if (FControl != nullptr) {
        relay->Active = false;
        relay->Control = FControl;
        try {
            LeftRelays().emplace_back(relay);
        } catch (...) {
            // Rather a leak than a relay freed under someone who still calls it.
        }
        gone = false;
    } else {
        delete relay;
    }
    FControl = nullptr;
    return gone;
}

void TControlHook::Forget() noexcept
{
    // The control is going; while it does, its window may still send messages through the relay,
    // which now passes them to the control's own method.
    if (FRelay != nullptr) {
        FRelay->Active = false;
        try {
            LeftRelays().emplace_back(FRelay);
        } catch (...) {
        }
    }
    FRelay = nullptr;
    FControl = nullptr;
}

void TControlHook::CallOld(TMessage& Message) const
{
    if (FOld)
        FOld(Message);
}

void FreeControlHookRelays() noexcept
{
    LeftRelays().clear();
}
