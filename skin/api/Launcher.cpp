// pembrox-run [/skin=FILE] PROGRAM.exe [ARGS...]: starts an unmodified program with its windows
// skinned. pembrox.dll (next to the launcher) comes into the program through a thread hook set on
// the program's first thread before it runs; the hook's first call starts the skin on that
// thread. The launcher ends with the program's exit code. When the DLL cannot be brought in, the
// program runs unskinned and the launcher says why on standard error; so it does when the skin
// does not start in the program (a skin file that is no skin package). A bare program name is
// found where the platform's start finds it, else among the shell's registered application paths.
// The programs the program starts, and theirs, are skinned the same way, and so are the threads
// that any of them starts to make windows on (see TDescendants). A program of the other
// architecture (its PE header says) is run by that architecture's launcher (see TwinLauncher).
#include "framework/win/Handles.h"
#include "skin/api/RunProtocol.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
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

constexpr WORD OwnMachine = sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;

// The machine a program file is built for, from its PE header (IMAGE_FILE_MACHINE_I386 or
// _AMD64); 0 when the file cannot be read or is no Windows program.
WORD ProgramMachine(const std::string& Path)
{
    const TKernelHandle file(CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    if (!file || file.get() == INVALID_HANDLE_VALUE)
        return 0;
    auto read = [&](LONG At, void* Into, DWORD Size) {
        DWORD got = 0;
        return SetFilePointer(file.get(), At, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
               ReadFile(file.get(), Into, Size, &got, nullptr) && got == Size;
    };
    IMAGE_DOS_HEADER dos{};
    if (!read(0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew <= 0 ||
        dos.e_lfanew > 0x10000000)
        return 0;
    struct {
        DWORD Signature;
        WORD Machine;
    } header{};
    if (!read(dos.e_lfanew, &header, sizeof header) || header.Signature != IMAGE_NT_SIGNATURE)
        return 0;
    return header.Machine;
}

// While it lives, a 32-bit launcher on 64-bit Windows sees the system folder as a 64-bit program
// does (no WoW64 redirection), so that "notepad.exe" is the program a 64-bit shell would start.
class TNativeFiles {
public:
    TNativeFiles()
    {
        using TDisable = BOOL(WINAPI*)(PVOID*);
        if (auto disable = reinterpret_cast<TDisable>(reinterpret_cast<void*>(
                GetProcAddress(GetModuleHandleA("kernel32.dll"), "Wow64DisableWow64FsRedirection"))))
            FOff = disable(&FOld) != FALSE;
    }
    TNativeFiles(const TNativeFiles&) = delete;
    TNativeFiles& operator=(const TNativeFiles&) = delete;
    ~TNativeFiles()
    {
        using TRevert = BOOL(WINAPI*)(PVOID);
        if (FOff)
            if (auto revert = reinterpret_cast<TRevert>(reinterpret_cast<void*>(
                    GetProcAddress(GetModuleHandleA("kernel32.dll"), "Wow64RevertWow64FsRedirection"))))
                revert(FOld);
    }

private:
    PVOID FOld = nullptr;
    bool FOff = false;
};

// The file a program name stands for, where the platform's start looks ("" when found nowhere).
std::string ProgramFile(const std::string& Name, const std::string& Registered)
{
    if (!Registered.empty())
        return Registered;
    char found[MAX_PATH] = "";
    const DWORD length = SearchPathA(nullptr, Name.c_str(), ".exe", MAX_PATH, found, nullptr);
    return length > 0 && length < MAX_PATH ? found : "";
}

// The first place TwinLauncher looks at.
std::string TwinInFolder(WORD Machine)
{
    return HereFile(Machine == IMAGE_FILE_MACHINE_AMD64 ? "x64\\pembrox-run.exe" : "x86\\pembrox-run.exe");
}

// The launcher of another architecture: next to this one in a folder named for it (x64 beside
// the 32-bit one, as the package installs them), or the one folder up (from x64 back to the
// 32-bit one). "" when neither is there.
std::string TwinLauncher(WORD Machine)
{
    for (const std::string& candidate : {TwinInFolder(Machine), HereFile("..\\pembrox-run.exe")})
        if (ProgramMachine(candidate) == Machine)
            return candidate;
    return "";
}

const char* MachineName(WORD Machine)
{
    return Machine == IMAGE_FILE_MACHINE_AMD64 ? "64-bit" : Machine == IMAGE_FILE_MACHINE_I386 ? "32-bit" : "other";
}

// Runs Twin with this launcher's own arguments and ends with its exit code: the program is of the
// twin's architecture, whose DLL only the twin can bring in.
int RunTwin(const std::string& Twin)
{
    std::string command = Quoted(Twin);
    const char* rest = GetCommandLineA();
    // The arguments after this launcher's own name, as they were given.
    bool quoted = false;
    for (; *rest != 0 && (quoted || (*rest != ' ' && *rest != '\t')); ++rest)
        quoted ^= *rest == '"';
    command += rest;
    SetEnvironmentVariableA(RunTwinVariable, "1");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        Say("cannot start " + Twin + " (" + SystemMessage(GetLastError()) + ")");
        return 1;
    }
    const TKernelHandle thread(process.hThread), twin(process.hProcess);
    WaitForSingleObject(twin.get(), INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(twin.get(), &code);
    return static_cast<int>(code);
}

// The programs a skinned program starts, and the ones they start: the launcher looks for them while
// it runs and hooks each one's first thread as it hooked the program's, so that they are skinned
// too (they inherit the skin file and the event through their environment). One seen after it
// made its first window has its windows taken over at the hook's first call. A hook goes once the
// DLL is in its program (the DLL stays there); the launcher gives the ones started last a while
// to get there after the program has ended, then ends too, and says which it could not skin.
class TDescendants {
public:
    TDescendants(DWORD Root, DWORD RootThread, HOOKPROC Proc, HMODULE Dll)
        : FHook(Proc), FDll(Dll), FFamily{Root}, FSeen{RootThread}
    {
    }
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
        FollowThreads();
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

    // The threads of the program, and of the ones it started, that came since the last look: each
    // is hooked, and the hook's first call on it starts the skin there (one with windows already:
    // at its next message). A thread's hooks stay until it ends.
    void FollowThreads()
    {
        const TKernelHandle snapshot = Snapshot(TH32CS_SNAPTHREAD, 0);
        if (!snapshot)
            return;
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        std::vector<DWORD> alive;
        for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
            const DWORD id = entry.th32ThreadID;
            if (std::find(FFamily.begin(), FFamily.end(), entry.th32OwnerProcessID) == FFamily.end())
                continue;
            alive.push_back(id);
            if (std::find(FSeen.begin(), FSeen.end(), id) != FSeen.end())
                continue;
            FSeen.push_back(id);
            THookHandle made(SetWindowsHookExA(WH_CBT, FHook, FDll, id));
            if (!made)
                continue; // a program of the other architecture: said when it was started
            THookHandle messages;
            if (HasWindows(id)) {
                messages.reset(SetWindowsHookExA(WH_GETMESSAGE, FHook, FDll, id));
                PostThreadMessageA(id, WM_NULL, 0, 0);
            }
            FThreadHooks.push_back(TThreadHooks{id, std::move(made), std::move(messages)});
        }
        auto ended = [&](DWORD Id) { return std::find(alive.begin(), alive.end(), Id) == alive.end(); };
        std::erase_if(FThreadHooks, [&](const TThreadHooks& H) { return ended(H.Id); });
        std::erase_if(FSeen, ended); // an id used again is a new thread
    }

    static BOOL CALLBACK AnyWindow(HWND, LPARAM Found)
    {
        *reinterpret_cast<bool*>(Found) = true;
        return FALSE;
    }

    static bool HasWindows(DWORD Thread)
    {
        bool found = false;
        EnumThreadWindows(Thread, AnyWindow, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    void Hook(DWORD Id, const std::string& Name)
    {
        FFamily.push_back(Id);
        const DWORD thread = FirstThread(Id);
        FSeen.push_back(thread);
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

    struct TThreadHooks {
        DWORD Id;
        THookHandle Made, Messages;
    };

    HOOKPROC FHook;
    HMODULE FDll;
    std::vector<DWORD> FFamily; // the program and every one hooked
    std::vector<THooked> FHooked;
    std::vector<DWORD> FSeen; // their threads, hooked or looked at
    std::vector<TThreadHooks> FThreadHooks;
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

    // A program of the other architecture takes the DLL of its own: its launcher runs it.
    bool skinned = true;
    {
        const TNativeFiles native;
        const WORD machine = ProgramMachine(ProgramFile(argv[first], registered));
        if (machine != 0 && machine != OwnMachine && GetEnvironmentVariableA(RunTwinVariable, nullptr, 0) == 0) {
            const std::string twin = TwinLauncher(machine);
            if (!twin.empty())
                return RunTwin(twin);
            Say(std::string(argv[first]) + " is a " + MachineName(machine) + " program: its skin needs the " +
                MachineName(machine) + " pembrox-run.exe and pembrox.dll, and " +
                TwinInFolder(machine) + " is missing; running unskinned");
            skinned = false;
        }
    }

    // What the program needs to start the skin: the DLL and its hook, the skin file, an event.
    HMODULE dll = skinned ? LoadLibraryA(HereFile("pembrox.dll").c_str()) : nullptr;
    HOOKPROC hook = nullptr;
    if (skinned && dll == nullptr) {
        Say("cannot load " + HereFile("pembrox.dll") + " (" + SystemMessage(GetLastError()) + "); running unskinned");
        skinned = false;
    } else if (skinned) {
        hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "PembroxRunHook")));
        if (hook == nullptr) {
            Say("pembrox.dll has no PembroxRunHook; running unskinned");
            skinned = false;
        }
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
    const bool created = [&] {
        const TNativeFiles native; // the program looked at above
        return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, skinned ? CREATE_SUSPENDED : 0,
                              nullptr, nullptr, &startup, &process) != FALSE;
    }();
    if (!created) {
        Say("cannot start " + command + " (" + SystemMessage(GetLastError()) + ")");
        return 1;
    }
    const TKernelHandle thread(process.hThread), program(process.hProcess);
    THookHandle installed;
    std::unique_ptr<TDescendants> followed; // the threads and programs the program starts
    if (skinned) {
        installed.reset(SetWindowsHookExA(WH_CBT, hook, dll, process.dwThreadId));
        if (!installed)
            Say("cannot hook the program (" + SystemMessage(GetLastError()) + "); running unskinned");
        else
            followed = std::make_unique<TDescendants>(process.dwProcessId, process.dwThreadId, hook, dll);
        ResumeThread(process.hThread);
        // The skin starts when the program, or a thread it starts, makes its first window; a
        // program that makes none for a while is told about, not waited for.
        HANDLE both[2] = {process.hProcess, started.get()};
        DWORD waited = WAIT_FAILED;
        for (const DWORD until = GetTickCount() + 20000; followed; followed->Look()) {
            waited = WaitForMultipleObjects(2, both, FALSE, 200);
            if (waited != WAIT_TIMEOUT || static_cast<LONG>(GetTickCount() - until) >= 0)
                break;
        }
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
    if (!followed) {
        WaitForSingleObject(process.hProcess, INFINITE);
    } else {
        while (WaitForSingleObject(process.hProcess, 200) == WAIT_TIMEOUT)
            followed->Look();
        // The program has ended; the ones it started last still get their hook's first call.
        const DWORD until = GetTickCount() + 10000;
        followed->Look();
        while (followed->Waiting() && static_cast<LONG>(GetTickCount() - until) < 0) {
            Sleep(100);
            followed->Look();
        }
        followed->SayUnskinned();
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
