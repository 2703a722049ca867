// pembrox-run end to end: a program of ours that knows nothing of the skin, checked by its exit
// code and by the colours it reads of its own window against the same window skinned in this
// process by the C interface; the program unskinned, and why, when the DLL or the skin file is
// missing or the skin file is none; and Wine's own notepad, skinned, edited and closed. A program
// with windows on three threads, through the C interface and through the launcher; programs of
// both architectures through either architecture's launcher.
#include "pembrox/skin.h"

#include "skin/form/SkinMessages.h"
#include "tests/support/Pump.h"
#include "tests/support/WindowPixels.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace {

std::string HereFile(const std::string& Name)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of("\\/") + 1) + Name;
}

struct TProcess {
    PROCESS_INFORMATION Info{};
    bool Started = false;
    // ErrorFile: where the program's standard error goes ("": nowhere in particular).
    explicit TProcess(std::string CommandLine, const std::string& ErrorFile = "")
    {
        STARTUPINFOA start{};
        start.cb = sizeof start;
        HANDLE error = INVALID_HANDLE_VALUE;
        if (!ErrorFile.empty()) {
            SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
            error = CreateFileA(ErrorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
            start.dwFlags = STARTF_USESTDHANDLES;
            start.hStdError = error;
        }
        Started = CreateProcessA(nullptr, CommandLine.data(), nullptr, nullptr, error != INVALID_HANDLE_VALUE, 0,
                                 nullptr, nullptr, &start, &Info) != FALSE;
        if (error != INVALID_HANDLE_VALUE)
            CloseHandle(error);
    }
    // The exit code, or -1 when the program did not end within Ms milliseconds.
    int Wait(DWORD Ms)
    {
        if (!Started)
            return -2;
        const DWORD deadline = GetTickCount() + Ms;
        while (WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT) {
            if (static_cast<LONG>(GetTickCount() - deadline) > 0)
                return -1;
            Pump(20);
        }
        DWORD code = 0;
        GetExitCodeProcess(Info.hProcess, &code);
        return static_cast<int>(code);
    }
    ~TProcess()
    {
        if (!Started)
            return;
        if (WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(Info.hProcess, 99);
        CloseHandle(Info.hThread);
        CloseHandle(Info.hProcess);
    }
};

std::string ReadReport(const std::string& File, int* Outcome = nullptr)
{
    std::ifstream in(File);
    std::string ground, button;
    int outcome = -1;
    in >> ground >> button >> outcome;
    if (Outcome != nullptr)
        *Outcome = outcome;
    return ground + " " + button;
}

std::string FileText(const std::string& File)
{
    std::ifstream in(File);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Hex(COLORREF C)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(C), GetGValue(C), GetBValue(C));
    return text;
}

} // namespace

TEST(Launcher, SkinsAnUnmodifiedProgramAsTheCInterfaceSkinsTheSameWindow)
{
    const std::string host = "\"" + HereFile("UnmodifiedHost.exe") + "\"";
    const std::string plainReport = HereFile("launcher-plain.txt"), skinnedReport = HereFile("launcher-skinned.txt");
    DeleteFileA(plainReport.c_str());
    DeleteFileA(skinnedReport.c_str());
    EXPECT_EQ(TProcess(host + " " + plainReport).Wait(30000), 3) << "without the launcher the window is its own";
    EXPECT_EQ(TProcess("\"" + HereFile("pembrox-run.exe") + "\" " + host + " " + skinnedReport).Wait(30000), 0)
        << "through the launcher the window is taken over before it is first shown (4: only later), and the "
           "program's exit code comes back";
    const std::string plain = ReadReport(plainReport), skinned = ReadReport(skinnedReport);

    // The same window here, skinned by the C interface with the same built-in skin.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "UnmodifiedHostHere";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "Unmodified host", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr,
                             nullptr, wc.hInstance, nullptr);
    CreateWindowExA(0, "BUTTON", "A button", WS_CHILD | WS_VISIBLE, 10, 10, 100, 26, w, nullptr, wc.hInstance, nullptr);
    ASSERT_EQ(PembroxSkinStart(nullptr), 1) << PembroxSkinLastError();
    ShowWindow(w, SW_SHOWNORMAL);
    Pump(1500);
    HDC dc = GetDC(w);
    const std::string here = Hex(GetPixel(dc, 200, 100)) + " " + Hex(GetPixel(dc, 16, 30));
    ReleaseDC(w, dc);
    PembroxSkinStop();
    DestroyWindow(w);

    EXPECT_EQ(skinned, here) << "the launched program's ground and button against the same window skinned here";
    EXPECT_NE(skinned.substr(0, 6), plain.substr(0, 6)) << "the ground did not change";
    EXPECT_NE(skinned.substr(7), plain.substr(7)) << "the button did not change";
    DeleteFileA(plainReport.c_str());
    DeleteFileA(skinnedReport.c_str());
}

// A program that starts another and ends at once (as write starts wordpad): the other is skinned
// too, with the skin the launcher was given, and the launcher ends with the first one's code.
TEST(Launcher, AProgramThatTheProgramStartsIsSkinnedToo)
{
    const std::string host = "\"" + HereFile("UnmodifiedHost.exe") + "\"";
    const std::string report = HereFile("launcher-started.txt"), direct = HereFile("launcher-direct.txt");
    const std::string launcher = "\"" + HereFile("pembrox-run.exe") + "\" ";
    const std::string night = std::string("\"/skin=") + PEMBROX_NIGHT_SKIN_FILE + "\" ";
    DeleteFileA(report.c_str());
    DeleteFileA(direct.c_str());
    EXPECT_EQ(TProcess(launcher + night + host + " " + direct).Wait(30000), 0);
    EXPECT_EQ(TProcess(launcher + night + host + " /start " + report).Wait(30000), 5)
        << "the launcher ends with the exit code of the program it started";
    for (int i = 0; i < 200 && FileText(report).empty(); ++i)
        Pump(50);
    Pump(200);
    int outcome = -1;
    const std::string started = ReadReport(report, &outcome);
    EXPECT_TRUE(outcome == 0 || outcome == 4) << "the started program was not skinned (" << outcome << ")";
    EXPECT_EQ(started, ReadReport(direct)) << "the started program does not show the launcher's skin";
    DeleteFileA(report.c_str());
    DeleteFileA(direct.c_str());
}

// A bare name the platform's start does not find is looked for where the shell looks (wordpad's
// way): the registered application paths.
TEST(Launcher, FindsAProgramByItsRegisteredApplicationPath)
{
    const std::string name = "pembrox-registered-host.exe";
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + name;
    const std::string host = HereFile("UnmodifiedHost.exe");
    HKEY entry = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &entry, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(entry, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(host.c_str()),
                   static_cast<DWORD>(host.size() + 1));
    RegCloseKey(entry);
    const std::string report = HereFile("launcher-registered.txt");
    EXPECT_EQ(TProcess("\"" + HereFile("pembrox-run.exe") + "\" " + name + " " + report).Wait(30000), 0)
        << "the program was not found, or not skinned";
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    DeleteFileA(report.c_str());
}

// A program that sizes its window for a client area through the platform's frame metrics, saves
// its placement and makes its window from it at its next start, and changes its styles and menu
// while it runs (a clock without title bar and back) sees what it would see unskinned: the client
// areas it meant, the same saved size session after session, its own styles and menu, the frame
// its styles ask for.
TEST(Launcher, AProgramSizingAndRestylingItsOwnWindowSeesWhatItWouldUnskinned)
{
    const std::string host = "\"" + HereFile("ChangingHost.exe") + "\" ";
    const std::string report = HereFile("launcher-sizing.txt");
    auto run = [&](const std::string& Launch) {
        DeleteFileA(report.c_str());
        EXPECT_EQ(TProcess(Launch + host + report).Wait(30000), 0) << Launch;
        std::string text = FileText(report);
        const std::size_t skinned = text.find("skinned=");
        std::string flag = skinned == std::string::npos ? "" : text.substr(skinned);
        return std::make_pair(text.substr(0, skinned == std::string::npos ? text.size() : skinned), flag);
    };
    const auto [plain, plainFlag] = run("");
    EXPECT_NE(plain.find("asked=320x200\n"), std::string::npos) << plain;
    EXPECT_EQ(plainFlag, "skinned=00\n");
    const std::string launcher = "\"" + HereFile("pembrox-run.exe") + "\" ";
    for (const std::string& skin : {std::string(), std::string("\"/skin=") + PEMBROX_NIGHT_SKIN_FILE + "\" "}) {
        const auto [skinnedReport, flag] = run(launcher + skin);
        EXPECT_EQ(flag, "skinned=11\n") << skin;
        EXPECT_EQ(skinnedReport, plain) << "skinned (" << (skin.empty() ? "built-in" : skin) << ") against unskinned";
    }
    DeleteFileA(report.c_str());
}

TEST(Launcher, WinesNotepadIsSkinnedEditedAndClosed)
{
    TProcess launcher("\"" + HereFile("pembrox-run.exe") + "\" notepad.exe");
    ASSERT_TRUE(launcher.Started);
    HWND notepad = nullptr;
    for (int i = 0; i < 300 && notepad == nullptr; ++i) {
        Pump(50);
        HWND w = FindWindowA("Notepad", nullptr);
        if (w != nullptr && IsWindowVisible(w))
            notepad = w;
    }
    ASSERT_NE(notepad, nullptr) << "notepad's window never showed";
    DWORD_PTR answer = 0;
    for (int i = 0; i < 40 && answer != 1; ++i) {
        SendMessageTimeoutA(notepad, SKM_QUERY, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
        if (answer != 1)
            Pump(50);
    }
    EXPECT_EQ(answer, 1u) << "notepad's window is not skinned";
    HWND edit = FindWindowExA(notepad, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Typed through the skin"));
    char text[64] = {};
    SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Typed through the skin");
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    PostMessageA(notepad, WM_CLOSE, 0, 0);
    EXPECT_EQ(launcher.Wait(20000), 0) << "notepad did not end cleanly";
}

TEST(Launcher, WithoutItsDllOrAGoodSkinFileTheProgramRunsUnskinnedAndTheLauncherSaysWhy)
{
    const std::string host = "\"" + HereFile("UnmodifiedHost.exe") + "\"";
    const std::string said = HereFile("launcher-said.txt");
    const std::string launcher = "\"" + HereFile("pembrox-run.exe") + "\"";
    EXPECT_EQ(TProcess(launcher + " /skin=C:\\nowhere\\none.skn " + host, said).Wait(30000), 3);
    EXPECT_NE(FileText(said).find("does not exist; running unskinned"), std::string::npos) << FileText(said);
    // A file that is there but is no skin: the program says why through the launcher.
    const std::string junk = HereFile("launcher-junk.skn");
    std::ofstream(junk) << "not a skin package at all";
    EXPECT_EQ(TProcess(launcher + " \"/skin=" + junk + "\" " + host, said).Wait(30000), 3);
    EXPECT_NE(FileText(said).find("the skin did not start in the program: Not a valid skin package"), std::string::npos)
        << FileText(said);
    DeleteFileA(junk.c_str());

    // A launcher alone in a folder of its own.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string alone = std::string(temp) + "pembrox-run-alone\\";
    CreateDirectoryA(alone.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(HereFile("pembrox-run.exe").c_str(), (alone + "pembrox-run.exe").c_str(), FALSE));
    EXPECT_EQ(TProcess("\"" + alone + "pembrox-run.exe\" " + host, said).Wait(30000), 3);
    EXPECT_NE(FileText(said).find("cannot load"), std::string::npos) << FileText(said);
    DeleteFileA((alone + "pembrox-run.exe").c_str());
    RemoveDirectoryA(alone.c_str());
    DeleteFileA(said.c_str());
}

#ifdef PEMBROX_TWIN_API_DIR
// Both architectures laid out as the package installs them (the 32-bit files in a folder, the
// 64-bit ones in its x64 folder): either launcher skins a program of either architecture, and one
// whose architecture's launcher is missing runs unskinned, the launcher naming the missing file.
TEST(Launcher, EitherLauncherSkinsAProgramOfEitherArchitecture)
{
    const char* files[] = {"pembrox.dll", "pembrox-run.exe", "UnmodifiedHost.exe"};
    // Where the machine cannot run the other architecture's programs, its test programs are not built.
    for (const char* name : files)
        if (GetFileAttributesA((std::string(PEMBROX_TWIN_API_DIR) + "/" + name).c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "the other architecture's " << name << " is not built here";
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string narrow = std::string(temp) + "pembrox-both\\", wide = narrow + "x64\\";
    CreateDirectoryA(narrow.c_str(), nullptr);
    CreateDirectoryA(wide.c_str(), nullptr);
    const std::string& own = sizeof(void*) == 8 ? wide : narrow;
    const std::string& twin = sizeof(void*) == 8 ? narrow : wide;
    for (const char* name : files) {
        ASSERT_TRUE(CopyFileA(HereFile(name).c_str(), (own + name).c_str(), FALSE)) << name;
        ASSERT_TRUE(CopyFileA((std::string(PEMBROX_TWIN_API_DIR) + "/" + name).c_str(), (twin + name).c_str(), FALSE))
            << name;
    }
    const std::string said = narrow + "said.txt";
    auto run = [&](const std::string& Launcher, const std::string& Program) {
        return TProcess("\"" + Launcher + "pembrox-run.exe\" \"" + Program + "UnmodifiedHost.exe\"", said).Wait(30000);
    };
    // The other architecture's programs run on this bench at all (a 64-bit prefix on a kernel that
    // runs 32-bit code).
    if (TProcess("\"" + twin + "UnmodifiedHost.exe\"").Wait(30000) != 3)
        GTEST_SKIP() << "this bench does not run programs of the other architecture";
    for (const std::string* launcher : {&narrow, &wide})
        for (const std::string* program : {&narrow, &wide})
            EXPECT_EQ(run(*launcher, *program), 0) << *launcher << " with " << *program << ": " << FileText(said);

    DeleteFileA((wide + "pembrox-run.exe").c_str());
    EXPECT_EQ(run(narrow, wide), 3);
    EXPECT_NE(FileText(said).find(wide + "pembrox-run.exe is missing; running unskinned"), std::string::npos)
        << FileText(said);
    for (const char* name : files) {
        DeleteFileA((narrow + name).c_str());
        DeleteFileA((wide + name).c_str());
    }
    DeleteFileA(said.c_str());
    RemoveDirectoryA(wide.c_str());
    RemoveDirectoryA(narrow.c_str());
}
#endif

namespace {

// ThreadedHost's three windows, by their titles (null for one not shown within Ms).
std::array<HWND, 3> ThreadedWindows(DWORD Ms)
{
    std::array<HWND, 3> found{};
    const DWORD deadline = GetTickCount() + Ms;
    for (int i = 0; i < 3; ++i) {
        const std::string title = "Threaded host " + std::to_string(i);
        while ((found[i] = FindWindowA("ThreadedHost", title.c_str())) == nullptr &&
               static_cast<LONG>(GetTickCount() - deadline) < 0)
            Pump(20);
    }
    return found;
}

bool Skinned(HWND W)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(W, SKM_QUERY, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    return answer == 1;
}

// Done() holds within Ms milliseconds (asked again every 50 ms, messages pumped in between).
template <class Fn>
bool Eventually(Fn&& Done, DWORD Ms = 5000)
{
    const DWORD deadline = GetTickCount() + Ms;
    while (!Done()) {
        if (static_cast<LONG>(GetTickCount() - deadline) > 0)
            return false;
        Pump(50);
    }
    return true;
}

// How many pixels of two pictures of a window differ (all, when the window changed size).
size_t Differing(const std::vector<uint32_t>& A, const std::vector<uint32_t>& B)
{
    if (A.size() != B.size())
        return std::max(A.size(), B.size());
    size_t n = 0;
    for (size_t i = 0; i < A.size(); ++i)
        n += A[i] != B[i];
    return n;
}

} // namespace

// Each thread of a program starts its own skin and the others stay as they are; a skin change
// made on any thread reaches every thread's window, and a stop made on any thread gives every
// window back exactly, each carried out on the window's own thread. Then the same program, knowing
// nothing of the skin, through the launcher: the threads it starts later are followed.
TEST(Launcher, WindowsOnThreeThreadsAreSkinnedSwitchedAndStoppedFromEachThread)
{
    const UINT act = RegisterWindowMessageA("PembroxThreadedHostDo");
    TProcess host("\"" + HereFile("ThreadedHost.exe") + "\" /api " + PEMBROX_NIGHT_SKIN_FILE);
    std::array<HWND, 3> w = ThreadedWindows(10000);
    for (HWND window : w)
        ASSERT_NE(window, nullptr) << "ThreadedHost did not show its three windows";
    Pump(300);
    std::array<std::vector<uint32_t>, 3> plain, slate;
    for (int i = 0; i < 3; ++i)
        plain[i] = WindowPixels(w[i]);
    auto ask = [&](int I, WPARAM What) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(w[I], act, What, 0, SMTO_ABORTIFHUNG, 10000, &answer);
        return static_cast<int>(answer);
    };
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        for (int i = 0; i < 3; ++i) {
            EXPECT_FALSE(Skinned(w[i])) << "window " << i << " skinned before its thread started";
            ASSERT_EQ(ask(i, 1), 1) << "start on thread " << i;
            EXPECT_TRUE(Skinned(w[i])) << "window " << i;
        }
        // Each caption shows the activation its window has: only the foreground one's is active,
        // though each thread calls its own window the active one.
        const HWND front = GetForegroundWindow();
        for (int i = 0; i < 3; ++i)
            for (int j = i + 1; j < 3; ++j)
                EXPECT_EQ(WindowPixel(w[i], 8, 8) == WindowPixel(w[j], 8, 8), (w[i] == front) == (w[j] == front))
                    << "the captions of windows " << i << " and " << j;
        for (int i = 0; i < 3; ++i) {
            slate[i] = WindowPixels(w[i]);
            EXPECT_GT(Differing(slate[i], plain[i]), plain[i].size() / 5) << "window " << i << " does not show the skin";
        }
        EXPECT_EQ(ask(round, 2), 1) << "the dark skin, from thread " << round;
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(Eventually([&] { return Differing(WindowPixels(w[i]), slate[i]) > slate[i].size() / 5; }))
                << "window " << i << " did not take the skin loaded on thread " << round;
        EXPECT_EQ(ask((round + 1) % 3, 4), 1);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(Eventually([&] { return !Skinned(w[i]) && Differing(WindowPixels(w[i]), plain[i]) == 0; }))
                << "window " << i << " is not given back exactly by the stop on thread " << (round + 1) % 3 << " ("
                << Differing(WindowPixels(w[i]), plain[i]) << " pixels differ)";
    }
    for (HWND window : w)
        PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(host.Wait(20000), 0);

    TProcess launched("\"" + HereFile("pembrox-run.exe") + "\" \"" + HereFile("ThreadedHost.exe") + "\"");
    w = ThreadedWindows(10000);
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(w[i], nullptr);
        EXPECT_TRUE(Eventually([&] { return Skinned(w[i]); })) << "the launcher did not follow thread " << i;
        EXPECT_GT(Differing(WindowPixels(w[i]), plain[i]), plain[i].size() / 5) << "window " << i;
        // The whole ground is the skin's, to the client's last row (a window that was up before
        // its thread was seen is fitted to the skin's frame while it is shown).
        RECT client{};
        GetClientRect(w[i], &client);
        HDC dc = GetDC(w[i]);
        const COLORREF middle = GetPixel(dc, client.right / 2, client.bottom / 2);
        const COLORREF last = GetPixel(dc, client.right / 2, client.bottom - 1);
        ReleaseDC(w[i], dc);
        EXPECT_EQ(last, middle) << "window " << i << "'s last client row";
    }
    for (HWND window : w)
        PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(launched.Wait(20000), 0);
}
