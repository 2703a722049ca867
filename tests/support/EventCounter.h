// Counts the calls of a notify event (OnClick, OnTimer, ...) and keeps the last sender.
#pragma once

#include "framework/core/Method.h"
#include "framework/core/Object.h"

struct TEventCounter : TObject {
    int Count = 0;
    TObject* Sender = nullptr;

    void Fired(TObject* ASender)
    {
        ++Count;
        Sender = ASender;
    }
    TNotifyEvent Event() { return BindMethod<&TEventCounter::Fired>(this); }
};
