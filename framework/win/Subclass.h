// Subclassing a window: its procedure is replaced with a thunk bound to an object method.
//
//     FSubclass.Install(wnd, TWndMethod::Bind<&TMyControl::WndProc>(this));
//     void TMyControl::WndProc(TMessage& m) { if (!Dispatch(m)) FSubclass.CallOld(m); }
//
// Install saves exactly what SetWindowLongPtrA(GWLP_WNDPROC) returned (OldProc()); CallOld passes a
// message on to it with CallWindowProcA. Restore (also run by the destructor) ends the subclass:
//  - when the window's procedure is still our thunk, the saved procedure is put back, the thunk is
//    freed and Restore returns true;
//  - when the window is gone, there is nothing to put back: the thunk is freed, true;
//  - when someone else has subclassed on top of us (the window's procedure is theirs and they call
//    our thunk as their old procedure), putting ours back would cut them off. The thunk stays as a
//    pass-through instead, Restore returns false, and the method is no longer called.
//
// A pass-through belongs to no TWindowSubclass: its state (window, saved procedure, thunk) is a
// separate heap object that the subclass hands over when it ends. A pass-through forwards every
// message to the saved procedure. On each message it checks the window's procedure: when it is our
// thunk again (the other subclasser removed itself), it puts the saved procedure back, forwards
// the message and frees itself; on WM_NCDESTROY it forwards and frees itself. If the other
// subclasser never forwards WM_NCDESTROY, the pass-through is freed by a later Install or Restore
// on the same thread, which drops pass-throughs whose windows no longer exist.
//
// A subclass also ends by itself on WM_NCDESTROY: after the method has handled it, the saved
// procedure is put back if the thunk is on top and the thunk is freed; Installed() is then false.
//
// Restore may be called from inside the method (a WM_DESTROY handler that unhooks itself): the
// thunk is freed at once (safe, see ObjectInstance.h) and the state when the outermost call through
// it returns. Handle() and OldProc() keep their values after Restore, so the handler can still
// pass the message it is handling on with CallOld.
//
// A subclass handles its window's messages in the ANSI character set unless it is installed with
// TSubclassChars::Window: a Unicode window's messages then reach the method and the saved procedure
// as the platform sends them. The platform translates the text in messages between the two sets,
// and ANSI holds only what the code page holds, so a subclass that reads no text in the messages
// of windows it did not make should take the window's own set.
//
// Use a subclass on the thread that owns the window.
#pragma once

#include "framework/win/Message.h"

#include <cstddef>

class TSubclassState;

enum class TSubclassChars { Ansi, Window };

class TWindowSubclass {
public:
    TWindowSubclass() noexcept = default;
    TWindowSubclass(HWND Wnd, TWndMethod Method, TSubclassChars Chars = TSubclassChars::Ansi)
    {
        Install(Wnd, Method, Chars);
    }
    TWindowSubclass(TWindowSubclass&& Other) noexcept;
    TWindowSubclass& operator=(TWindowSubclass&& Other) noexcept;
    TWindowSubclass(const TWindowSubclass&) = delete;
    TWindowSubclass& operator=(const TWindowSubclass&) = delete;
    ~TWindowSubclass() { Restore(); }

    // Ends a current subclass first (Restore). Throws EInvalidOperation for an empty method or a
    // handle that is not a window, EOSError when the procedure cannot be replaced.
    void Install(HWND Wnd, TWndMethod Method, TSubclassChars Chars = TSubclassChars::Ansi);
    // True when the subclass is gone from the window; false when it was left as a pass-through.
    bool Restore() noexcept;

    // Passes the message to the saved procedure and stores its result.
    void CallOld(TMessage& Message) const;
    LRESULT CallOld(UINT Msg, WPARAM WParam, LPARAM LParam) const;

    // Subclassing the window now: installed, not restored, WM_NCDESTROY not yet seen.
    bool Installed() const noexcept;
    // The window's procedure is our thunk (nobody has subclassed on top).
    bool IsTop() const noexcept;
    HWND Handle() const noexcept { return FWnd; }
    WNDPROC OldProc() const noexcept { return FOldProc; }
    // The messages come in Unicode (installed with the window's own set on a Unicode window).
    bool Unicode() const noexcept { return FUnicode; }
    // Our thunk while installed, else nullptr.
    WNDPROC Proc() const noexcept;

private:
    TSubclassState* FState = nullptr;
    HWND FWnd = nullptr;
    WNDPROC FOldProc = nullptr;
    bool FUnicode = false;
};

// A window's procedure as seen in one character set (a procedure set in the other one reads as a
// handle that translates), and a call of such a procedure in that set.
WNDPROC WindowProcIn(HWND Wnd, bool Unicode) noexcept;
LRESULT CallWindowProcIn(WNDPROC Proc, bool Unicode, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// For tests and leak checks, over the whole process.
struct TWindowSubclassStats {
    std::size_t States = 0;       // subclass states alive: attached, or pass-throughs
    std::size_t PassThroughs = 0; // states left as pass-throughs
};
TWindowSubclassStats WindowSubclassStats() noexcept;
