// A window message as object methods see it: the thunk and the subclass pack the procedure's
// arguments into a TMessage, the handler fills in Result.
#pragma once

#include "framework/core/Method.h"

#include <windows.h>

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(static_cast<DWORD_PTR>(LParam)); }
    WORD LParamHi() const { return HIWORD(static_cast<DWORD_PTR>(LParam)); }
    // Signed halves of LParam, for client coordinates (mouse messages, WM_MOVE).
    short LParamX() const { return static_cast<short>(LParamLo()); }
    short LParamY() const { return static_cast<short>(LParamHi()); }
};

// A window procedure as an object method: void TControl::WndProc(TMessage&).
using TWndMethod = TEvent<void(TMessage&)>;
