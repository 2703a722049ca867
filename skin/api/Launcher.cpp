// pembrox-run [/skin=FILE] PROGRAM.exe [ARGS...]: starts an unmodified program with its windows
// skinned. pembrox.dll (next to the launcher) comes into the program through a thread hook set on
// the program's first thread before it runs; the hook's first call starts the skin on that
// thread. The launcher ends with the program's exit code. When the DLL cannot be brought in, the
// program runs unskinned and the launcher says why on standard error; so it does when the skin
// does not start in the program (a skin file that is no skin package). A bare program name is
// found where the platform's start finds it, else among the shell's registered application paths.
// The programs the program starts, and theirs, are skinned the same way (see TDescendants).
#include "framework/win/Handles.h"
#include "skin/api/RunProtocol.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Say(const std::string& Text)
{
    std::fprintf(stderr, "pembrox-run: %s\n", Text.c_str());
}

std::string SystemMessage(DWORD Error)
{
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Error, 0, text, sizeof text,
                   nullptr);
    std::string s = text;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s.empty() ? "error " + std::to_string(Error) : s;
}

// One argument as the C runtime reads it back: quoted when it holds a blank or a quote.
std::string Quoted(const std::string& Arg)
{
    if (!Arg.empty() && Arg.find_first_of(" \t\"") == std::string::npos)
        return Arg;
    std::string out = "\"";
    size_t slashes = 0;
    for (char c : Arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        out.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(2 * slashes, '\\');
    return out + "\"";
}

std::string HereFile(const char* Name)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    dir.erase(dir.find_last_of("\\/") + 1);
    return dir + Name;
}

// The program a bare name stands for where the platform's own start would not find it: the
// shell's registered application paths (HKCU, then HKLM "...\\App Paths\\NAME"), as typing the
// name in Run does (wordpad lives there, outside the search path). "" when the name has a folder,
// is found on the search path, or is registered nowhere.
std::string RegisteredProgram(std::string Name)
{
    if (Name.find_first_of("\\/:") != std::string::npos)
        return "";
    if (Name.find('.') == std::string::npos)
        Name += ".exe";
    char found[MAX_PATH] = "";
    if (SearchPathA(nullptr, Name.c_str(), nullptr, MAX_PATH, found, nullptr) != 0)
        return "";
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + Name;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY entry = nullptr;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &entry) != ERROR_SUCCESS)
            continue;
        char value[MAX_PATH * 2] = "";
        DWORD size = sizeof value - 1, type = 0;
        const LONG read = RegQueryValueExA(entry, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(entry);
        if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            continue;
        std::string path = value;
        if (type == REG_EXPAND_SZ) {
            char expanded[MAX_PATH * 2] = "";
            if (ExpandEnvironmentStringsA(value, expanded, sizeof expanded) != 0)
                path = expanded;
        }
        if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
            path = path.substr(1, path.size() - 2);
        if (!path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return path;
    }
    return "";
}

// The programs a skinned program starts, and the ones they start: the launcher looks for them while
// it runs and hooks each one's first thread as it hooked the program's, so that they are skinned
// too (they inherit the skin file and the event through their environment). One seen after it
// made its first window has its windows taken over at the hook's first call. A hook goes once the
// DLL is in its program (the DLL stays there); the launcher gives the ones started last a while
// to get there after the program has ended, then ends too, and says which it could not skin.
class TDescendants {
public:
    TDescendants(DWORD Root, HOOKPROC Proc, HMODULE Dll) : FHook(Proc), FDll(Dll) { FFamily.push_back(Root); }
    TDescendants(const TDescendants&) = delete;
    TDescendants& operator=(const TDescendants&) = delete;

    // Hooks the new ones; lets go of the hooks whose program has the DLL.
    void Look()
    {
        const TKernelHandle snapshot = Snapshot(TH32CS_SNAPPROCESS, 0);
        if (!snapshot)
            return;
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        std::vector<PROCESSENTRY32> found;
        for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
            if (std::find(FFamily.begin(), FFamily.end(), entry.th32ParentProcessID) != FFamily.end() &&
                std::find(FFamily.begin(), FFamily.end(), entry.th32ProcessID) == FFamily.end())
                found.push_back(entry);
        }
        for (const PROCESSENTRY32& child : found)
            Hook(child.th32ProcessID, child.szExeFile);
        for (THooked& child : FHooked) {
            if (child.Hooked() && HasDll(child.Id))
                child.Unhook();
        }
    }

    // A hooked program is alive and has not brought the DLL in yet.
    bool Waiting() const
    {
        return std::any_of(FHooked.begin(), FHooked.end(), [](const THooked& C) {
            return C.Hooked() && C.Process && WaitForSingleObject(C.Process.get(), 0) == WAIT_TIMEOUT;
        });
    }

    // The ones still alive that never brought the DLL in.
    void SayUnskinned() const
    {
        for (const THooked& child : FHooked)
            if (child.Hooked() && child.Process && WaitForSingleObject(child.Process.get(), 0) == WAIT_TIMEOUT)
                Say("the program started " + child.Name + ", which runs unskinned (it made no window yet)");
    }

private:
    struct THooked {
        DWORD Id;
        std::string Name;
        TKernelHandle Process;
        THookHandle Made;     // its first window, before it is shown
        THookHandle Messages; // a program running already, at its next message
        bool Hooked() const { return Made || Messages; }
        void Unhook()
        {
            Made.reset();
            Messages.reset();
        }
    };

    void Hook(DWORD Id, const std::string& Name)
    {
        FFamily.push_back(Id);
        const DWORD thread = FirstThread(Id);
        THookHandle made(thread != 0 ? SetWindowsHookExA(WH_CBT, FHook, FDll, thread) : nullptr);
        if (!made) {
            Say("cannot hook " + Name + ", which the program started (" + SystemMessage(GetLastError()) +
                "); it runs unskinned");
            return;
        }
        THookHandle messages(SetWindowsHookExA(WH_GETMESSAGE, FHook, FDll, thread));
        TKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, Id));
        FHooked.push_back(THooked{Id, Name, std::move(process), std::move(made), std::move(messages)});
        // One that waits in its message loop already takes the skin at its next message: one now.
        PostThreadMessageA(thread, WM_NULL, 0, 0);
    }

    // A tool-help snapshot (empty when it could not be taken).
    static TKernelHandle Snapshot(DWORD What, DWORD Process)
    {
        const HANDLE snapshot = CreateToolhelp32Snapshot(What, Process);
        return TKernelHandle(snapshot != INVALID_HANDLE_VALUE ? snapshot : nullptr);
    }

    static DWORD FirstThread(DWORD Process)
    {
        const TKernelHandle snapshot = Snapshot(TH32CS_SNAPTHREAD, 0);
        if (!snapshot)
            return 0;
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        DWORD first = 0;
        for (BOOL more = Thread32First(snapshot.get(), &entry); more && first == 0;
             more = Thread32Next(snapshot.get(), &entry))
            if (entry.th32OwnerProcessID == Process)
                first = entry.th32ThreadID;
        return first;
    }

    static bool HasDll(DWORD Process)
    {
        const TKernelHandle snapshot = Snapshot(TH32CS_SNAPMODULE, Process);
        if (!snapshot)
            return false;
        MODULEENTRY32 entry{};
        entry.dwSize = sizeof entry;
        bool found = false;
        for (BOOL more = Module32First(snapshot.get(), &entry); more && !found;
             more = Module32Next(snapshot.get(), &entry))
            found = _stricmp(entry.szModule, "pembrox.dll") == 0;
        return found;
    }

    HOOKPROC FHook;
    HMODULE FDll;
    std::vector<DWORD> FFamily; // the program and every one hooked
    std::vector<THooked> FHooked;
};

} // namespace

int main(int argc, char** argv)
{
    int first = 1;
    std::string skin;
    if (first < argc && (std::strncmp(argv[first], "/skin=", 6) == 0 || std::strncmp(argv[first], "-skin=", 6) == 0))
        skin = argv[first++] + 6;
    if (first >= argc) {
        std::fprintf(stderr, "usage: pembrox-run [/skin=FILE] PROGRAM.exe [ARGS...]\n");
        return 2;
    }
    // Found as the platform's start finds a program (its search path), else as the shell does.
    const std::string registered = RegisteredProgram(argv[first]);
    std::string command;
    for (int i = first; i < argc; ++i)
        command += (i > first ? " " : "") + Quoted(i == first && !registered.empty() ? registered : argv[i]);

    // What the program needs to start the skin: the DLL and its hook, the skin file, an event.
    bool skinned = true;
    HMODULE dll = LoadLibraryA(HereFile("pembrox.dll").c_str());
    HOOKPROC hook = nullptr;
    if (dll == nullptr) {
        Say("cannot load " + HereFile("pembrox.dll") + " (" + SystemMessage(GetLastError()) + "); running unskinned");
        skinned = false;
    } else if ((hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "PembroxRunHook")))) ==
               nullptr) {
        Say("pembrox.dll has no PembroxRunHook; running unskinned");
        skinned = false;
    }
    if (skinned && !skin.empty()) {
        // The whole path, however long: the program starts in another folder.
        std::string full(GetFullPathNameA(skin.c_str(), 0, nullptr, nullptr), '\0');
        const DWORD length = full.empty() ? 0 : GetFullPathNameA(skin.c_str(), full.size(), full.data(), nullptr);
        full.resize(length < full.size() ? length : 0);
        if (full.empty() || GetFileAttributesA(full.c_str()) == INVALID_FILE_ATTRIBUTES) {
            Say("the skin file \"" + skin + "\" does not exist; running unskinned");
            skinned = false;
        }
        skin = full;
    }
    const std::string eventName = "PembroxRun-" + std::to_string(GetCurrentProcessId()) + "-" +
                                  std::to_string(GetTickCount());
    const TKernelHandle started(CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    const TKernelHandle why(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, RunWhySize,
                                               (eventName + RunWhySuffix).c_str()));
    SetEnvironmentVariableA(RunSkinVariable, skin.c_str());
    SetEnvironmentVariableA(RunEventVariable, eventName.c_str());

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, skinned ? CREATE_SUSPENDED : 0, nullptr,
                        nullptr, &startup, &process)) {
        Say("cannot start " + command + " (" + SystemMessage(GetLastError()) + ")");
        return 1;
    }
    const TKernelHandle thread(process.hThread), program(process.hProcess);
    THookHandle installed;
    if (skinned) {
        installed.reset(SetWindowsHookExA(WH_CBT, hook, dll, process.dwThreadId));
        if (!installed)
            Say("cannot hook the program (" + SystemMessage(GetLastError()) + "); running unskinned");
        ResumeThread(process.hThread);
        // The skin starts when the program makes its first window; a program that makes none for
        // a while is told about, not waited for.
        HANDLE both[2] = {process.hProcess, started.get()};
        const DWORD waited = installed ? WaitForMultipleObjects(2, both, FALSE, 20000) : WAIT_FAILED;
        if (waited == WAIT_TIMEOUT)
            Say("the skin has not started in the program after 20 s (no window yet, or the DLL could not be loaded "
                "into it)");
        // The hook leaves the reason when the skin did not start.
        const TMappedView view(waited == WAIT_OBJECT_0 + 1 && why
                                   ? MapViewOfFile(why.get(), FILE_MAP_READ, 0, 0, RunWhySize)
                                   : nullptr);
        if (view) {
            const auto* text = static_cast<const char*>(view.get());
            const std::string reason(text, strnlen(text, RunWhySize));
            if (!reason.empty())
                Say("the skin did not start in the program: " + reason + "; running unskinned");
        }
    }
    if (!installed) {
        WaitForSingleObject(process.hProcess, INFINITE);
    } else {
        TDescendants descendants(process.dwProcessId, hook, dll);
        while (WaitForSingleObject(process.hProcess, 200) == WAIT_TIMEOUT)
            descendants.Look();
        // The program has ended; the ones it started last still get their hook's first call.
        const DWORD until = GetTickCount() + 10000;
        descendants.Look();
        while (descendants.Waiting() && static_cast<LONG>(GetTickCount() - until) < 0) {
            Sleep(100);
            descendants.Look();
        }
        descendants.SayUnskinned();
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
