// Hooking a control's WindowProc: the message method it delivers every message through is
// replaced with another, which passes messages on to the saved one.
//
//     FHook.Install(control, BindMethod<&TMyAdaptor::Hooked>(this));
//     void TMyAdaptor::Hooked(TMessage& m) { ...; FHook.CallOld(m); }
//
// Restore puts the saved method back when the control's WindowProc is still ours. When someone
// hooked the control after us (their saved method is ours), putting ours back would cut them off:
// the hook then stays as a relay that passes every message straight to the saved method, and
// Restore returns false. The method is never called again either way. The method may end its
// own hook (Restore inside it): the relay goes once that call has returned.
//
// The installed method is a small relay, not the object itself, so a relay left behind never
// calls into a freed object. Relays left behind live until FreeControlHookRelays (the
// application's finalisation).
#pragma once

#include "framework/win/Message.h"

class TControl;

class TControlHook {
public:
    TControlHook() noexcept = default;
    TControlHook(const TControlHook&) = delete;
    TControlHook& operator=(const TControlHook&) = delete;
    ~TControlHook() { Restore(); }

    // Ends a current hook first.
    void Install(TControl* Control, TWndMethod Method);
    // True when the hook is gone from the control, false when it was left as a relay.
    bool Restore() noexcept;
    // The control is being freed: nothing to put back.
    void Forget() noexcept;

    void CallOld(TMessage& Message) const;
    bool Installed() const noexcept { return FRelay != nullptr; }
    TControl* Control() const noexcept { return FControl; }
    // The method found at Install.
    const TWndMethod& OldMethod() const noexcept { return FOld; }

    struct TRelay;

private:
    TRelay* FRelay = nullptr;
    TControl* FControl = nullptr;
    TWndMethod FOld;
};

void FreeControlHookRelays() noexcept;
