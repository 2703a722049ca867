// The C interface (include/pembrox/skin.h) over the engine, for programs without the framework's
// forms: a skin data component without an owner form drives the manager and its hook on the
// calling thread, and the thread's windows that exist already are taken over at the start.
#include "pembrox/skin.h"

#include "skin/api/ProgramView.h"
#include "skin/api/RunProtocol.h"

#include "framework/core/Stream.h"
#include "framework/win/Callback.h"
#include "framework/win/Files.h"
#include "framework/win/Handles.h"
#include "skin/data/WinSkinData.h"
#include "skin/manager/SkinManager.h"

#include <windows.h>

#include <cstring>
#include <exception>
#include <memory>
#include <string>

// The built-in skin's package, embedded at build time.
extern const unsigned char PembroxBuiltinSkin[];
extern const std::size_t PembroxBuiltinSkinSize;

namespace {

struct TApiState {
    std::unique_ptr<TSkinData> Data;
    DWORD Thread = 0;
};

TApiState& State()
{
    // Never destroyed: a program that ends without PembroxSkinStop leaves its windows to the
    // system, not to a destructor that runs after them.
    static TApiState* state = new TApiState;
    return *state;
}

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

bool OnOtherThread()
{
    if (State().Data && State().Thread != GetCurrentThreadId()) {
        LastError() = "Skinning runs on another thread; call from that thread";
        return true;
    }
    return false;
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

bool Load(const char* SkinFile)
{
    TMemoryStream bytes;
    if (!ReadPackage(SkinFile, bytes))
        return false;
    TSkinData& data = *State().Data;
    if (!data.LoadSkinBytes(bytes)) {
        LastError() = data.LoadError();
        return false;
    }
    RunPendingAction();
    return true;
}

} // namespace

extern "C" int __stdcall PembroxSkinStart(const char* SkinFile)
{
    return Guarded([&] {
        if (OnOtherThread())
            return false;
        if (State().Data)
            return Load(SkinFile);
        TApiState& state = State();
        state.Data = std::make_unique<TSkinData>(nullptr);
        state.Data->SetSkinFormtype(sfMainform);
        state.Thread = GetCurrentThreadId();
        // Makes the manager and installs its hook on this thread.
        state.Data->SkinChanged();
        // The program asked: its windows are skinned, and skins changed, now, not from the next
        // activation on (its window may be the active one already).
        if (TSkinManage* manager = SkinManager(); manager != nullptr)
            manager->SetActivationCount(1);
        if (!Load(SkinFile)) {
            const std::string why = LastError();
            PembroxSkinStop();
            LastError() = why;
            return false;
        }
        state.Data->SetActive(true);
        // The program's own calls see its windows as the platform's from now on.
        StartProgramView(state.Thread);
        RunPendingAction();
        // The thread's windows that are up already: the manager only walks the framework's forms.
        EnumThreadWindows(GetCurrentThreadId(), SkinShownWindow, 0);
        return true;
    });
}

extern "C" int __stdcall PembroxSkinLoad(const char* SkinFile)
{
    return Guarded([&] {
        if (OnOtherThread())
            return false;
        if (!State().Data) {
            LastError() = "Skinning is not on: call PembroxSkinStart first";
            return false;
        }
        return Load(SkinFile);
    });
}

extern "C" void __stdcall PembroxSkinStop(void)
{
    Guarded([&] {
        TApiState& state = State();
        if (!state.Data || OnOtherThread())
            return false;
        StopProgramView();
        state.Data->SetActive(false);
        RunPendingAction();
        // Its windows go back with it; then the hook and the manager.
        state.Data.reset();
        FreeSkinManager();
        state.Thread = 0;
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
    static bool started = false;
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
