// pembrox-run [/skin=FILE] PROGRAM.exe [ARGS...]: starts an unmodified program with its windows
// skinned. pembrox.dll (next to the launcher) comes into the program through a thread hook set on
// the program's first thread before it runs; the hook's first call starts the skin on that
// thread. The launcher ends with the program's exit code. When the DLL cannot be brought in, the
// program runs unskinned and the launcher says why on standard error; so it does when the skin
// does not start in the program (a skin file that is no skin package). A bare program name is
// found where the platform's start finds it, else among the shell's registered application paths.
#include "skin/api/RunProtocol.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

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
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    HANDLE why = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, RunWhySize,
                                    (eventName + RunWhySuffix).c_str());
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
    HHOOK installed = nullptr;
    if (skinned) {
        installed = SetWindowsHookExA(WH_CBT, hook, dll, process.dwThreadId);
        if (installed == nullptr)
            Say("cannot hook the program (" + SystemMessage(GetLastError()) + "); running unskinned");
        ResumeThread(process.hThread);
        // The skin starts when the program makes its first window; a program that makes none for
        // a while is told about, not waited for.
        HANDLE both[2] = {process.hProcess, started};
        const DWORD waited = installed != nullptr ? WaitForMultipleObjects(2, both, FALSE, 20000) : WAIT_FAILED;
        if (waited == WAIT_TIMEOUT)
            Say("the skin has not started in the program after 20 s (no window yet, or the DLL could not be loaded "
                "into it)");
        // The hook leaves the reason when the skin did not start.
        const void* view = waited == WAIT_OBJECT_0 + 1 && why != nullptr
                               ? MapViewOfFile(why, FILE_MAP_READ, 0, 0, RunWhySize)
                               : nullptr;
        if (view != nullptr) {
            const std::string text(static_cast<const char*>(view), strnlen(static_cast<const char*>(view), RunWhySize));
            if (!text.empty())
                Say("the skin did not start in the program: " + text + "; running unskinned");
            UnmapViewOfFile(view);
        }
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    if (installed != nullptr)
        UnhookWindowsHookEx(installed);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(started);
    if (why != nullptr)
        CloseHandle(why);
    return static_cast<int>(code);
}
