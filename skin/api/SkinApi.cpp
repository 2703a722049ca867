// The C interface (include/pembrox/skin.h) over the engine, for programs without the framework's
// forms: on each thread that starts it, a skin data component without an owner form drives that
// thread's manager and hook, and the thread's windows that exist already are taken over at the
// start. A skin change or a stop reaches the other threads as a message to each one's mailbox,
// carried out by that thread.
#include "pembrox/skin.h"

#include "skin/api/ProgramView.h"
#include "skin/api/RunProtocol.h"

#include "framework/core/Stream.h"
#include "framework/win/Callback.h"
#include "framework/win/Files.h"
#include "framework/win/Handles.h"
#include "framework/win/StartupTrace.h"
#include "skin/data/WinSkinData.h"
#include "skin/manager/SkinManager.h"

#include <windows.h>

#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// The built-in skin's package, embedded at build time.
extern const unsigned char PembroxBuiltinSkin[];
extern const std::size_t PembroxBuiltinSkinSize;

namespace {

// What the interface keeps for each thread that skins: its skin data (which drives that thread's
// manager and hook) and a message-only window through which the other threads ask it to change
// its skin or stop. Made by PembroxSkinStart, freed by the stop, never by a destructor at the
// thread's or the program's end (the windows then go to the system, not to a destructor).
struct TApiState {
    std::unique_ptr<TSkinData> Data;
    HWND Mailbox = nullptr;
};
thread_local TApiState* GState = nullptr;

// Every thread that skins, by its mailbox.
struct TSkinningThreads {
    std::mutex Lock;
    std::vector<HWND> Mailboxes;
};
TSkinningThreads& Threads()
{
    static TSkinningThreads* threads = new TSkinningThreads;
    return *threads;
}

// The requests the mailboxes take: a skin file to load (LPARAM: a std::string the receiver frees)
// and the stop.
constexpr UINT WM_PEMBROX_LOAD = WM_APP + 0x5B0;
constexpr UINT WM_PEMBROX_STOP = WM_APP + 0x5B1;

std::string& LastError()
{
    static thread_local std::string text;
    return text;
}

// Runs Body; an exception becomes the last error and a failure.
template <class Fn>
int Guarded(Fn&& Body) noexcept
{
    try {
        LastError().clear();
        return Body() ? 1 : 0;
    } catch (const std::exception& e) {
        LastError() = e.what();
    } catch (...) {
        LastError() = "Unknown error";
    }
    return 0;
}

// The package of SkinFile, or the built-in one; false (and the reason) when there is none.
bool ReadPackage(const char* SkinFile, TMemoryStream& Bytes)
{
    if (SkinFile == nullptr || *SkinFile == 0) {
        Bytes.WriteBuffer(PembroxBuiltinSkin, static_cast<int32_t>(PembroxBuiltinSkinSize));
        return true;
    }
    if (!FileExists(SkinFile)) {
        LastError() = std::string("The skin file \"") + SkinFile + "\" does not exist";
        return false;
    }
    Bytes.LoadFromFile(SkinFile);
    return true;
}

BOOL CALLBACK SkinShownWindow(HWND Window, LPARAM)
{
    CallGuarded([&] {
        if (IsWindowVisible(Window) && (GetWindowLongA(Window, GWL_STYLE) & WS_CHILD) == 0)
            SkinManager()->SkinWindow(Window);
    });
    return TRUE;
}

// The manager's pending request (skin on, off or changed), carried out now rather than at its
// timer's next tick.
void RunPendingAction()
{
    if (TSkinManage* manager = SkinManager(); manager != nullptr && manager->TimerArmed())
        manager->OnActionTimer(nullptr);
}

// This thread's skin replaced by SkinFile's.
bool Load(const char* SkinFile)
{
    TMemoryStream bytes;
    if (!ReadPackage(SkinFile, bytes))
        return false;
    TSkinData& data = *GState->Data;
    if (!data.LoadSkinBytes(bytes)) {
        LastError() = data.LoadError();
        return false;
    }
    RunPendingAction();
    return true;
}

// This thread's skin stopped: its windows back, then its hook, manager and mailbox.
void StopHere()
{
    std::unique_ptr<TApiState> state(std::exchange(GState, nullptr));
    {
        TSkinningThreads& threads = Threads();
        const std::lock_guard<std::mutex> hold(threads.Lock);
        std::erase(threads.Mailboxes, state->Mailbox);
    }
    StopProgramView();
    state->Data->SetActive(false);
    RunPendingAction();
    state->Data.reset();
    FreeSkinManager();
    DestroyWindow(state->Mailbox);
}

// Sends the other threads that skin a request of their own: Message, with a copy of File.
void TellOtherThreads(UINT Message, const char* File)
{
    TSkinningThreads& threads = Threads();
    const std::lock_guard<std::mutex> hold(threads.Lock);
    for (size_t i = threads.Mailboxes.size(); i-- > 0;) {
        const HWND mailbox = threads.Mailboxes[i];
        if (GState != nullptr && mailbox == GState->Mailbox)
            continue;
        auto text = std::make_unique<std::string>(File != nullptr ? File : "");
        if (PostMessageA(mailbox, Message, 0, reinterpret_cast<LPARAM>(text.get())))
            text.release();
        else if (!IsWindow(mailbox)) // its thread ended without a stop
            threads.Mailboxes.erase(threads.Mailboxes.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

LRESULT CALLBACK MailboxProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    if (Message == WM_PEMBROX_LOAD || Message == WM_PEMBROX_STOP) {
        const std::unique_ptr<std::string> file(reinterpret_cast<std::string*>(LParam));
        if (GState != nullptr && GState->Mailbox == Window)
            Guarded([&] {
                if (Message == WM_PEMBROX_LOAD)
                    return Load(file->c_str()); // a skin that does not load leaves this thread's
                StopHere();
                return true;
            });
        return 0;
    }
    return DefWindowProcA(Window, Message, WParam, LParam);
}

// A new mailbox for this thread, on the interface's own window class.
HWND MakeMailbox()
{
    static const ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = MailboxProc;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&MailboxProc), &wc.hInstance);
        wc.lpszClassName = "PembroxSkinMailbox";
        return RegisterClassA(&wc);
    }();
    const HWND mailbox = atom != 0 ? CreateWindowExA(0, MAKEINTATOM(atom), "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                                     nullptr, nullptr)
                                   : nullptr;
    if (mailbox == nullptr)
        throw std::runtime_error("Cannot make the skin's window for this thread");
    return mailbox;
}

// This thread's skin replaced, then the other threads'.
bool LoadEverywhere(const char* SkinFile)
{
    if (!Load(SkinFile))
        return false;
    TellOtherThreads(WM_PEMBROX_LOAD, SkinFile);
    return true;
}

} // namespace

extern "C" int __stdcall PembroxSkinStart(const char* SkinFile)
{
    return Guarded([&] {
        if (GState != nullptr)
            return LoadEverywhere(SkinFile);
        StartupMark("the engine starting");
        GState = new TApiState;
        GState->Mailbox = MakeMailbox();
        {
            TSkinningThreads& threads = Threads();
            const std::lock_guard<std::mutex> hold(threads.Lock);
            threads.Mailboxes.push_back(GState->Mailbox);
        }
        TApiState& state = *GState;
        state.Data = std::make_unique<TSkinData>(nullptr);
        state.Data->SetSkinFormtype(sfMainform);
        // Makes the manager and installs its hook on this thread.
        state.Data->SkinChanged();
        // The program asked: its windows are skinned, and skins changed, now, not from the next
        // activation on (its window may be the active one already).
        if (TSkinManage* manager = SkinManager(); manager != nullptr)
            manager->SetActivationCount(1);
        StartProgramView();
        if (!Load(SkinFile)) {
            const std::string why = LastError();
            StopHere();
            LastError() = why;
            return false;
        }
        StartupMark("the skin decoded and loaded");
        state.Data->SetActive(true);
        RunPendingAction();
        // The thread's windows that are up already: the manager only walks the framework's forms.
        EnumThreadWindows(GetCurrentThreadId(), SkinShownWindow, 0);
        return true;
    });
}

extern "C" int __stdcall PembroxSkinLoad(const char* SkinFile)
{
    return Guarded([&] {
        if (GState == nullptr) {
            LastError() = "Skinning is not on in this thread: call PembroxSkinStart first";
            return false;
        }
        return LoadEverywhere(SkinFile);
    });
}

extern "C" void __stdcall PembroxSkinStop(void)
{
    Guarded([&] {
        TellOtherThreads(WM_PEMBROX_STOP, nullptr);
        if (GState != nullptr)
            StopHere();
        return true;
    });
}

extern "C" const char* __stdcall PembroxSkinLastError(void)
{
    return LastError().c_str();
}

#ifdef PEMBROX_SKIN_BUILDING_DLL
// pembrox-run's way in: a thread hook that the launcher sets on a program's first thread, which
// brings this DLL into the program. At the thread's first hook call the skin starts there, with
// the file the launcher named (the built-in skin when none), and the launcher's event is set so
// that it knows, after the reason is written for it when the skin did not start.
extern "C" __declspec(dllexport) LRESULT CALLBACK PembroxRunHook(int Code, WPARAM WParam, LPARAM LParam)
{
    static thread_local bool started = false; // on each thread the launcher hooks
    if (!started) try {
        started = true;
        // The launcher lets go of its hook once the DLL is here: the DLL stays for the skin.
        HMODULE self = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCSTR>(&PembroxRunHook), &self);
        // Read whole, however long: a cut path would name another file.
        auto variable = [](const char* Name) {
            std::string value(GetEnvironmentVariableA(Name, nullptr, 0), '\0');
            const DWORD length = value.empty() ? 0 : GetEnvironmentVariableA(Name, value.data(), value.size());
            value.resize(length < value.size() ? length : 0);
            return value;
        };
        const bool skinned = PembroxSkinStart(variable(RunSkinVariable).c_str()) != 0;
        // The window being made now is the program's first: the engine's own hook came too late
        // to see it, so it is told here, and the window is skinned before it is first shown.
        if (TSkinManage* manager = SkinManager(); skinned && manager != nullptr && Code == HCBT_CREATEWND)
            manager->WindowBeingMade(reinterpret_cast<HWND>(WParam), reinterpret_cast<const CBT_CREATEWNDA*>(LParam));
        const std::string name = variable(RunEventVariable);
        if (!skinned && !name.empty()) {
            if (TKernelHandle why(OpenFileMappingA(FILE_MAP_WRITE, FALSE, (name + RunWhySuffix).c_str())); why) {
                if (TMappedView view(MapViewOfFile(why.get(), FILE_MAP_WRITE, 0, 0, RunWhySize)); view) {
                    const std::string text = std::string(PembroxSkinLastError()).substr(0, RunWhySize - 1);
                    std::memcpy(view.get(), text.c_str(), text.size() + 1);
                }
            }
        }
        if (TKernelHandle event(name.empty() ? nullptr : OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str())); event)
            SetEvent(event.get());
    } catch (...) {
        // The program runs on without the skin; the launcher, not told, says so.
        HandleCallbackException();
    }
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}
#endif
