#include "tests/support/MessageRecorder.h"

#include "framework/core/Exception.h"
#include "framework/win/Callback.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

const char kRecorderProp[] = "PembroxTestRecorder";
// Marks a test window that records nowhere, so it never takes a recorder meant for another one.
TMessageRecorder* const kNoRecorder = reinterpret_cast<TMessageRecorder*>(1);

// The recorder for the window CreateWindowExA is making on this thread; its first message takes it.
thread_local TMessageRecorder* tPendingRecorder = nullptr;
thread_local bool tPending = false;

LRESULT CALLBACK TestWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        auto* recorder = static_cast<TMessageRecorder*>(GetPropA(wnd, kRecorderProp));
        if (!recorder && tPending) {
            recorder = tPendingRecorder ? tPendingRecorder : kNoRecorder;
            tPending = false;
            SetPropA(wnd, kRecorderProp, recorder);
        }
        if (msg == WM_NCDESTROY)
            RemovePropA(wnd, kRecorderProp);
        if (recorder && recorder != kNoRecorder) {
            TMessage message{msg, wParam, lParam, 0};
            if (recorder->Dispatch(wnd, message))
                return message.Result;
        }
    } catch (...) {
        HandleCallbackException();
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

} // namespace

std::size_t TMessageLog::Count(UINT msg) const
{
    return static_cast<std::size_t>(
        std::count_if(FMessages.begin(), FMessages.end(), [msg](const TRecordedMessage& m) { return m.Msg == msg; }));
}

bool TMessageLog::Contains(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return std::any_of(FMessages.begin(), FMessages.end(), [&](const TRecordedMessage& m) {
        return m.Msg == msg && m.WParam == wParam && m.LParam == lParam;
    });
}

std::vector<UINT> TMessageLog::Sequence(std::initializer_list<UINT> only) const
{
    std::vector<UINT> result;
    for (const TRecordedMessage& m : FMessages)
        if (only.size() == 0 || std::find(only.begin(), only.end(), m.Msg) != only.end())
            result.push_back(m.Msg);
    return result;
}

std::vector<const TMessageRecorder*> TMessageLog::Route(UINT msg) const
{
    std::vector<const TMessageRecorder*> result;
    for (const TRecordedMessage& m : FMessages)
        if (m.Msg == msg)
            result.push_back(m.Recorder);
    return result;
}

TMessageRecorder::TMessageRecorder(std::string name, TMessageLog* shared)
    : FName(std::move(name)), FShared(shared)
{
}

TMessageRecorder::~TMessageRecorder()
{
    if (FWnd && IsWindow(FWnd))
        Detach();
}

void TMessageRecorder::Attach(HWND wnd, TPassOn passOn)
{
    if (FWnd)
        Detach();
    if (!FThunk)
        FThunk.Reset(TWndMethod::Bind<&TMessageRecorder::WndProc>(this));
    SetLastError(0);
    const LONG_PTR old = SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FThunk.Proc()));
    if (!old && GetLastError() != 0)
        throw EOSError(Format("TMessageRecorder: cannot subclass %p (error %lu)", static_cast<void*>(wnd),
                              GetLastError()));
    FWnd = wnd;
    FOldProc = reinterpret_cast<WNDPROC>(old);
    FPassOn = passOn;
}

bool TMessageRecorder::Detach()
{
    if (!FWnd)
        return true;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FWnd, GWLP_WNDPROC)) != FThunk.Proc())
        return false; // someone is on top: stay in the chain, still forwarding
    SetWindowLongPtrA(FWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldProc));
    FWnd = nullptr;
    FOldProc = nullptr;
    return true;
}

LRESULT TMessageRecorder::CallOld(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    if (FOldProc && FPassOn == TPassOn::OldProc)
        return CallWindowProcA(FOldProc, FWnd, msg, wParam, lParam);
    return DefWindowProcA(FWnd, msg, wParam, lParam);
}

void TMessageRecorder::Record(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const TRecordedMessage entry{this, wnd, msg, wParam, lParam};
    FLog.Add(entry);
    if (FShared)
        FShared->Add(entry);
}

bool TMessageRecorder::Dispatch(HWND wnd, TMessage& message)
{
    Record(wnd, message.Msg, message.WParam, message.LParam);
    return FHandler && FHandler(message);
}

void TMessageRecorder::WndProc(TMessage& message)
{
    const HWND wnd = FWnd;
    if (Dispatch(wnd, message))
        return;
    message.Result = CallOld(message.Msg, message.WParam, message.LParam);
}

TTestWindows::TTestWindows()
{
    ClassName(); // registers the class
}

TTestWindows::~TTestWindows()
{
    for (auto it = FWindows.rbegin(); it != FWindows.rend(); ++it)
        if (IsWindow(*it))
            DestroyWindow(*it);
}

const char* TTestWindows::ClassName()
{
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &TestWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "PembroxTestWindow";
        if (!RegisterClassA(&wc))
            throw EOSError(Format("Cannot register the test window class (error %lu)", GetLastError()));
        return "PembroxTestWindow";
    }();
    return name;
}

WNDPROC TTestWindows::ClassProc()
{
    return &TestWindowProc;
}

HWND TTestWindows::Stage()
{
    static const HWND stage = [] {
        const auto saved = std::make_pair(tPendingRecorder, tPending);
        tPendingRecorder = nullptr;
        tPending = true;
        HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, ClassName(), "stage", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        std::tie(tPendingRecorder, tPending) = saved;
        if (!wnd)
            throw EOSError(Format("Cannot create the stage window (error %lu)", GetLastError()));
        UpdateWindow(wnd);
        return wnd;
    }();
    return stage;
}

HWND TTestWindows::Create(DWORD exStyle, DWORD style, const char* title, HWND parent, HMENU menu, int x, int y,
                          TMessageRecorder* recorder)
{
    // Nested creation (from a WM_CREATE handler) keeps the outer window's pending recorder.
    const auto saved = std::make_pair(tPendingRecorder, tPending);
    tPendingRecorder = recorder;
    tPending = true;
    HWND wnd = CreateWindowExA(exStyle, ClassName(), title, style, x, y, 160, 120, parent, menu,
                               GetModuleHandleA(nullptr), nullptr);
    const DWORD error = GetLastError();
    std::tie(tPendingRecorder, tPending) = saved;
    if (!wnd)
        throw EOSError(Format("CreateWindowExA failed (error %lu)", error));
    FWindows.push_back(wnd);
    return wnd;
}

HWND TTestWindows::CreateTopLevel(TMessageRecorder* recorder, DWORD style, const char* title)
{
    return Create(0, style, title, nullptr, nullptr, 40, 40, recorder);
}

HWND TTestWindows::CreateChild(HWND parent, TMessageRecorder* recorder, int id, DWORD style)
{
    return Create(0, style | WS_CHILD, "", parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), 0, 0,
                  recorder);
}

bool TTestWindows::Destroy(HWND wnd)
{
    FWindows.erase(std::remove(FWindows.begin(), FWindows.end(), wnd), FWindows.end());
    return IsWindow(wnd) && DestroyWindow(wnd);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
