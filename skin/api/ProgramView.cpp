#include "skin/api/ProgramView.h"

#include "framework/win/Handles.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"

#include <tlhelp32.h>

#include <cctype>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

// The redirects are the process's; each thread that skins asks for them (StartProgramView) and
// gives them back, and the last one to give them back takes them away.
std::mutex& ViewLock()
{
    static std::mutex* lock = new std::mutex;
    return *lock;
}
int GViewers = 0; // under ViewLock

// The frame margins of W when the skin draws its frame, asked on W's own thread only.
TWinSkinForm* SkinnedForm(HWND W);

bool MarginsOf(HWND W, RECT& Skin, RECT& Platform)
{
    TWinSkinForm* form = SkinnedForm(W);
    return form != nullptr && form->FrameMargins(Skin, Platform);
}

BOOL WINAPI ProgramGetWindowRect(HWND W, LPRECT Rect)
{
    const BOOL done = GetWindowRect(W, Rect);
    RECT skin{}, platform{};
    if (done && Rect != nullptr && !IsIconic(W) && !IsZoomed(W) && MarginsOf(W, skin, platform))
        *Rect = SkinToPlatformRect(*Rect, skin, platform);
    return done;
}

BOOL WINAPI ProgramGetWindowPlacement(HWND W, WINDOWPLACEMENT* Placement)
{
    const BOOL done = GetWindowPlacement(W, Placement);
    RECT skin{}, platform{};
    if (done && Placement != nullptr && MarginsOf(W, skin, platform))
        Placement->rcNormalPosition = SkinToPlatformRect(Placement->rcNormalPosition, skin, platform);
    return done;
}

BOOL WINAPI ProgramSetWindowPlacement(HWND W, const WINDOWPLACEMENT* Placement)
{
    RECT skin{}, platform{};
    if (Placement == nullptr || !MarginsOf(W, skin, platform))
        return SetWindowPlacement(W, Placement);
    WINDOWPLACEMENT ours = *Placement;
    ours.rcNormalPosition = PlatformToSkinRect(Placement->rcNormalPosition, skin, platform);
    return SetWindowPlacement(W, &ours);
}

BOOL WINAPI ProgramMoveWindow(HWND W, int X, int Y, int Width, int Height, BOOL Repaint)
{
    RECT skin{}, platform{};
    if (!IsIconic(W) && !IsZoomed(W) && MarginsOf(W, skin, platform)) {
        const RECT r = PlatformToSkinRect(RECT{X, Y, X + Width, Y + Height}, skin, platform);
        return MoveWindow(W, r.left, r.top, r.right - r.left, r.bottom - r.top, Repaint);
    }
    return MoveWindow(W, X, Y, Width, Height, Repaint);
}

BOOL WINAPI ProgramSetWindowPos(HWND W, HWND After, int X, int Y, int Width, int Height, UINT Flags)
{
    RECT skin{}, platform{};
    if ((Flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE) && !IsIconic(W) && !IsZoomed(W) &&
        MarginsOf(W, skin, platform)) {
        const RECT r = PlatformToSkinRect(RECT{X, Y, X + Width, Y + Height}, skin, platform);
        if ((Flags & SWP_NOMOVE) == 0) {
            X = r.left;
            Y = r.top;
        }
        if ((Flags & SWP_NOSIZE) == 0) {
            Width = r.right - r.left;
            Height = r.bottom - r.top;
        }
    }
    return SetWindowPos(W, After, X, Y, Width, Height, Flags);
}

// The form object of W when W is a window of the calling thread that the skin took over there.
TWinSkinForm* SkinnedForm(HWND W)
{
    TSkinManage* manager = SkinManager(); // this thread's
    if (W == nullptr || manager == nullptr || GetWindowThreadProcessId(W, nullptr) != GetCurrentThreadId())
        return nullptr;
    TWinSkinForm* form = manager->FindSkinForm(W);
    return form != nullptr && form->FrameHooked() && form->Form() == nullptr ? form : nullptr;
}

template <class Read>
LONG_PTR ProgramStyleRead(HWND W, int Index, Read Platform)
{
    const LONG_PTR value = Platform(W, Index);
    if (Index == GWL_STYLE) {
        if (TWinSkinForm* form = SkinnedForm(W))
            return static_cast<LONG_PTR>(static_cast<LONG>(form->ProgramStyle()));
    }
    return value;
}

LONG WINAPI ProgramGetWindowLongA(HWND W, int Index)
{
    return static_cast<LONG>(ProgramStyleRead(W, Index, [](HWND H, int I) -> LONG_PTR { return GetWindowLongA(H, I); }));
}

LONG WINAPI ProgramGetWindowLongW(HWND W, int Index)
{
    return static_cast<LONG>(ProgramStyleRead(W, Index, [](HWND H, int I) -> LONG_PTR { return GetWindowLongW(H, I); }));
}

#ifdef _WIN64
LONG_PTR WINAPI ProgramGetWindowLongPtrA(HWND W, int Index)
{
    return ProgramStyleRead(W, Index, [](HWND H, int I) { return GetWindowLongPtrA(H, I); });
}

LONG_PTR WINAPI ProgramGetWindowLongPtrW(HWND W, int Index)
{
    return ProgramStyleRead(W, Index, [](HWND H, int I) { return GetWindowLongPtrW(H, I); });
}
#endif

HMENU WINAPI ProgramGetMenu(HWND W)
{
    if (TWinSkinForm* form = SkinnedForm(W); form != nullptr && form->SkinMenu() != nullptr)
        return form->SkinMenu()->MenuHandle();
    return GetMenu(W);
}

BOOL WINAPI ProgramSetMenu(HWND W, HMENU Menu)
{
    TWinSkinForm* form = SkinnedForm(W);
    if (form != nullptr && form->SkinMenu() != nullptr) {
        if (Menu == form->SkinMenu()->MenuHandle()) {
            form->MenuBarChanged(); // set again after a change to its items
            return TRUE;
        }
        if (Menu == nullptr) {
            form->DropMenuBar();
            return TRUE;
        }
    }
    // A menu for the window: the frame procedure gives it to the skinned bar.
    return SetMenu(W, Menu);
}

BOOL WINAPI ProgramDrawMenuBar(HWND W)
{
    if (TWinSkinForm* form = SkinnedForm(W); form != nullptr && form->SkinMenu() != nullptr) {
        form->MenuBarChanged();
        return TRUE;
    }
    return DrawMenuBar(W);
}

BOOL WINAPI ProgramDestroyMenu(HMENU Menu)
{
    if (TSkinManage* manager = SkinManager(); Menu != nullptr && manager != nullptr) {
        for (TWinSkinForm* form : manager->SkinnedForms())
            if (form->SkinMenu() != nullptr && form->SkinMenu()->MenuHandle() == Menu && form->Form() == nullptr)
                form->DropMenuBar();
    }
    return DestroyMenu(Menu);
}

struct TRedirect {
    const char* Name;
    void* Ours;
};

const TRedirect Redirects[] = {
    {"GetWindowRect", reinterpret_cast<void*>(&ProgramGetWindowRect)},
    {"GetWindowPlacement", reinterpret_cast<void*>(&ProgramGetWindowPlacement)},
    {"SetWindowPlacement", reinterpret_cast<void*>(&ProgramSetWindowPlacement)},
    {"MoveWindow", reinterpret_cast<void*>(&ProgramMoveWindow)},
    {"SetWindowPos", reinterpret_cast<void*>(&ProgramSetWindowPos)},
    {"GetWindowLongA", reinterpret_cast<void*>(&ProgramGetWindowLongA)},
    {"GetWindowLongW", reinterpret_cast<void*>(&ProgramGetWindowLongW)},
#ifdef _WIN64
    {"GetWindowLongPtrA", reinterpret_cast<void*>(&ProgramGetWindowLongPtrA)},
    {"GetWindowLongPtrW", reinterpret_cast<void*>(&ProgramGetWindowLongPtrW)},
#endif
    {"GetMenu", reinterpret_cast<void*>(&ProgramGetMenu)},
    {"SetMenu", reinterpret_cast<void*>(&ProgramSetMenu)},
    {"DrawMenuBar", reinterpret_cast<void*>(&ProgramDrawMenuBar)},
    {"DestroyMenu", reinterpret_cast<void*>(&ProgramDestroyMenu)},
};

// An import entry changed, with what it held.
struct TPatchedEntry {
    ULONG_PTR* Slot;
    ULONG_PTR Was;
};

std::vector<TPatchedEntry>& Patched()
{
    static auto* entries = new std::vector<TPatchedEntry>;
    return *entries;
}

bool WriteSlot(ULONG_PTR* Slot, ULONG_PTR Value)
{
    DWORD was = 0;
    if (!VirtualProtect(Slot, sizeof *Slot, PAGE_READWRITE, &was))
        return false;
    *Slot = Value;
    DWORD ignored = 0;
    VirtualProtect(Slot, sizeof *Slot, was, &ignored);
    return true;
}

// Every import entry of Module that holds one of Real[] is pointed at the engine's version.
int RedirectImports(HMODULE Module, const ULONG_PTR (&Real)[std::size(Redirects)])
{
    auto* base = reinterpret_cast<BYTE*>(Module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return 0;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return 0;
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0 || imports.Size == 0)
        return 0;
    int changed = 0;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name != 0 && entry->FirstThunk != 0; ++entry) {
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk); thunk->u1.Function != 0;
             ++thunk) {
            auto* slot = reinterpret_cast<ULONG_PTR*>(&thunk->u1.Function);
            for (std::size_t i = 0; i < std::size(Redirects); ++i) {
                if (*slot != Real[i])
                    continue;
                const ULONG_PTR was = *slot;
                if (WriteSlot(slot, reinterpret_cast<ULONG_PTR>(Redirects[i].Ours))) {
                    Patched().push_back(TPatchedEntry{slot, was});
                    ++changed;
                }
                break;
            }
        }
    }
    return changed;
}

bool Under(const std::string& Path, const std::string& Folder)
{
    if (Folder.empty() || Path.size() <= Folder.size())
        return false;
    for (std::size_t i = 0; i < Folder.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(Path[i])) != std::tolower(static_cast<unsigned char>(Folder[i])))
            return false;
    }
    return Path[Folder.size()] == '\\' || Path[Folder.size()] == '/' || Folder.back() == '\\';
}

} // namespace

RECT PlatformToSkinRect(const RECT& Window, const RECT& Skin, const RECT& Platform)
{
    return RECT{Window.left, Window.top,
                Window.right + (Skin.left + Skin.right) - (Platform.left + Platform.right),
                Window.bottom + (Skin.top + Skin.bottom) - (Platform.top + Platform.bottom)};
}

RECT SkinToPlatformRect(const RECT& Window, const RECT& Skin, const RECT& Platform)
{
    return PlatformToSkinRect(Window, Platform, Skin);
}

int StartProgramView()
{
    const std::lock_guard<std::mutex> hold(ViewLock());
    ++GViewers;
    if (!Patched().empty())
        return static_cast<int>(Patched().size());
    HMODULE engine = nullptr;
    // The engine's module stays loaded from now on: the program's import tables point into it.
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCSTR>(&ProgramGetWindowRect), &engine))
        return 0;
    const HMODULE program = GetModuleHandleA(nullptr);
    if (engine == program)
        return 0; // linked in statically: the program's calls are the engine's too
    HMODULE user = GetModuleHandleA("user32.dll");
    if (user == nullptr)
        return 0;
    ULONG_PTR real[std::size(Redirects)] = {};
    for (std::size_t i = 0; i < std::size(Redirects); ++i)
        real[i] = reinterpret_cast<ULONG_PTR>(GetProcAddress(user, Redirects[i].Name));
    char windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string system(windows, length < MAX_PATH ? length : 0);

    int changed = RedirectImports(program, real);
    TWinSkinForm::SetProgramReadsOwnStyles(changed > 0);
    const HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (taken == INVALID_HANDLE_VALUE)
        return changed;
    const TKernelHandle snapshot(taken);
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot.get(), &module); more; more = Module32Next(snapshot.get(), &module)) {
        if (module.hModule != program && module.hModule != engine && !Under(module.szExePath, system))
            changed += RedirectImports(module.hModule, real);
    }
    return changed;
}

void StopProgramView() noexcept
{
    const std::lock_guard<std::mutex> hold(ViewLock());
    if (GViewers > 0 && --GViewers > 0)
        return;
    TWinSkinForm::SetProgramReadsOwnStyles(false);
    for (const TPatchedEntry& entry : Patched()) {
        // Only what still holds the engine's version: someone else may have changed it since.
        for (const TRedirect& redirect : Redirects) {
            if (*entry.Slot == reinterpret_cast<ULONG_PTR>(redirect.Ours)) {
                WriteSlot(entry.Slot, entry.Was);
                break;
            }
        }
    }
    Patched().clear();
}
