// Test helpers for window messages: a recorder that notes what reaches a window procedure, and
// a set of test windows on the display.
//
// A TMessageRecorder records through either
//  - Attach(wnd): its own thunk replaces the window's procedure and forwards to the one it found
//    (a subclassing layer of its own, independent of TWindowSubclass) or, with
//    TPassOn::DefWindowProc, is the window's whole procedure; or
//  - the plain procedure of the test window class (TTestWindows::Create...(recorder)).
// Recorders may share a TMessageLog, which then holds the messages of all of them in call order.
#pragma once

#include "framework/core/Object.h"
#include "framework/win/Message.h"
#include "framework/win/ObjectInstance.h"

#include <windows.h>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class TMessageRecorder;

struct TRecordedMessage {
    const TMessageRecorder* Recorder;
    HWND Wnd;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};

class TMessageLog {
public:
    void Add(const TRecordedMessage& message) { FMessages.push_back(message); }
    const std::vector<TRecordedMessage>& Messages() const { return FMessages; }
    std::size_t Count(UINT msg) const;
    bool Contains(UINT msg) const { return Count(msg) != 0; }
    bool Contains(UINT msg, WPARAM wParam, LPARAM lParam) const;
    // The message numbers in order; only those listed in `only` when it is not empty.
    std::vector<UINT> Sequence(std::initializer_list<UINT> only = {}) const;
    // The recorders that saw `msg`, in order (one entry per message seen).
    std::vector<const TMessageRecorder*> Route(UINT msg) const;
    void Clear() { FMessages.clear(); }

private:
    std::vector<TRecordedMessage> FMessages;
};

class TMessageRecorder : public TObject {
public:
    // Return true when the message is handled (Result set); false passes it on.
    using THandler = std::function<bool(TMessage&)>;

    explicit TMessageRecorder(std::string name = {}, TMessageLog* shared = nullptr);
    ~TMessageRecorder() override;

    const std::string& Name() const { return FName; }
    void SetSharedLog(TMessageLog* shared) { FShared = shared; }
    // Called after recording, before passing a message on.
    void SetHandler(THandler handler) { FHandler = std::move(handler); }

    // What Attach does with messages the handler leaves: a layer passes them on to the procedure
    // it replaced; as the window's procedure it hands them to DefWindowProcA.
    enum class TPassOn { OldProc, DefWindowProc };
    // Subclasses wnd with this recorder's thunk (the window's procedure goes back on Detach).
    void Attach(HWND wnd, TPassOn passOn = TPassOn::OldProc);
    // Puts the replaced procedure back if ours is still on top and forgets the window; true then.
    // Under another subclasser it stays in the chain, still forwarding, and returns false. (A
    // recorder destroyed there leaves a freed thunk behind, which passes to DefWindowProcA.)
    bool Detach();
    HWND Window() const { return FWnd; }
    WNDPROC Proc() const { return FThunk.Proc(); }
    WNDPROC OldProc() const { return FOldProc; }
    // Passes a message on as Attach was told to.
    LRESULT CallOld(UINT msg, WPARAM wParam, LPARAM lParam) const;

    void Record(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    const TMessageLog& Log() const { return FLog; }
    const std::vector<TRecordedMessage>& Messages() const { return FLog.Messages(); }
    std::size_t Count(UINT msg) const { return FLog.Count(msg); }
    bool Contains(UINT msg) const { return FLog.Contains(msg); }
    bool Contains(UINT msg, WPARAM wParam, LPARAM lParam) const { return FLog.Contains(msg, wParam, lParam); }
    std::vector<UINT> Sequence(std::initializer_list<UINT> only = {}) const { return FLog.Sequence(only); }
    void Clear() { FLog.Clear(); }

    // For the test window class: records and runs the handler; false when the message is not handled.
    bool Dispatch(HWND wnd, TMessage& message);

private:
    std::string FName;
    TMessageLog FLog;
    TMessageLog* FShared;
    THandler FHandler;
    TObjectInstance FThunk;
    HWND FWnd = nullptr;
    WNDPROC FOldProc = nullptr;
    TPassOn FPassOn = TPassOn::OldProc;

    void WndProc(TMessage& message);
};

// Registers the test window class (once per process) and creates windows of it; destroys the
// windows it created that still exist when it goes.
//
// Under Wine on a display without a window manager, hiding or destroying a visible top-level
// window waits about 2 s for the X server's withdrawal notice. Tests that need visible windows
// (painting) make children of Stage() instead, which stays up until the process ends.
class TTestWindows {
public:
    TTestWindows();
    ~TTestWindows();
    TTestWindows(const TTestWindows&) = delete;
    TTestWindows& operator=(const TTestWindows&) = delete;

    static const char* ClassName();
    // The plain procedure of the class: records into the window's recorder, else DefWindowProcA.
    static WNDPROC ClassProc();
    // A visible top-level window of the class, made on first use and never destroyed.
    static HWND Stage();

    // recorder: gets every message of the window from its first one on (may be nullptr).
    HWND CreateTopLevel(TMessageRecorder* recorder = nullptr, DWORD style = WS_OVERLAPPEDWINDOW,
                        const char* title = "test");
    HWND CreateChild(HWND parent, TMessageRecorder* recorder = nullptr, int id = 0,
                     DWORD style = WS_CHILD | WS_VISIBLE);
    // Destroys a window now (true when it existed).
    bool Destroy(HWND wnd);

private:
    std::vector<HWND> FWindows;

    HWND Create(DWORD exStyle, DWORD style, const char* title, HWND parent, HMENU menu, int x, int y,
                TMessageRecorder* recorder);
};

// Dispatches the thread's pending messages (posted and sent).
void PumpMessages();
