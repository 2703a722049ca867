// Start-up as a user sees it, from outside the program: the time from starting the process to its
// first window on the screen, and to the moment the screen shows that window as it finally looks
// (its first whole paint, skinned or not). The window is read from the screen every few
// milliseconds, never asked to redraw; it counts as finished once it has not changed for
// SettleTime, and the first reading equal to that last one is its first whole paint. Readings
// that differ in a few pixels only (a caret blinking) count as equal.
//   startup_bench NAME "SKINNED COMMAND LINE" "UNSKINNED COMMAND LINE" [NAME SKINNED UNSKINNED]...
// Each pair runs Rounds times, skinned and unskinned in turn; printed are the medians, with the
// skinned start against the unskinned one. One traced start of each then shows the program's own
// marks and, seen from here, when which part of the window changed.
#include "tests/bench/BenchTiming.h"

#include "tests/support/WindowPixels.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Rounds = 9;
constexpr double SettleTime = 0.8;
constexpr double GiveUp = 15;

struct TStart {
    double Window = -1;  // the first visible top-level window of the process
    double Painted = -1; // the window as it finally looks
};

struct TFind {
    DWORD Process;
    HWND Found;
};

BOOL CALLBACK FindWindowOf(HWND Window, LPARAM Param)
{
    auto* find = reinterpret_cast<TFind*>(Param);
    DWORD process = 0;
    GetWindowThreadProcessId(Window, &process);
    RECT r{};
    if (process == find->Process && IsWindowVisible(Window) && GetWindowRect(Window, &r) && r.right > r.left &&
        r.bottom > r.top) {
        find->Found = Window;
        return FALSE;
    }
    return TRUE;
}

// The window as the screen shows it, its place and size first.
std::vector<uint32_t> ScreenPixels(HWND Window)
{
    RECT r{};
    if (!GetWindowRect(Window, &r))
        return {};
    std::vector<uint32_t> pixels{static_cast<uint32_t>(r.left), static_cast<uint32_t>(r.top),
                                 static_cast<uint32_t>(r.right - r.left), static_cast<uint32_t>(r.bottom - r.top)};
    const std::vector<uint32_t> shown = WindowPixels(Window);
    pixels.insert(pixels.end(), shown.begin(), shown.end());
    return pixels;
}

// Whether two readings show the same window, but for a caret's worth of pixels.
bool Same(const std::vector<uint32_t>& A, const std::vector<uint32_t>& B)
{
    if (A.size() != B.size() || A.size() < 4 || !std::equal(A.begin(), A.begin() + 4, B.begin()))
        return false;
    const size_t allowed = std::max<size_t>(32, A.size() / 2000);
    size_t differ = 0;
    for (size_t i = 4; i < A.size(); ++i)
        if (A[i] != B[i] && ++differ > allowed)
            return false;
    return true;
}

// What a traced start shows of each reading that differs from the one before: when, and the
// rectangle (window coordinates) and number of the pixels that changed. A late change to a large
// part of the window (a control repainting slowly) shows here.
void PrintChanges(const std::vector<std::pair<double, std::vector<uint32_t>>>& Changes)
{
    for (size_t c = 1; c < Changes.size(); ++c) {
        const std::vector<uint32_t>&now = Changes[c].second, &before = Changes[c - 1].second;
        if (now.size() != before.size() || now.size() < 4 || !std::equal(now.begin(), now.begin() + 4, before.begin())) {
            std::printf("  seen:    %8.1f ms  the window moved or was resized\n", Changes[c].first * 1e3);
            continue;
        }
        const int width = static_cast<int>(now[2]);
        RECT box{width, 1 << 30, -1, -1};
        size_t count = 0;
        for (size_t i = 4; i < now.size(); ++i)
            if (now[i] != before[i]) {
                const int x = static_cast<int>((i - 4) % width), y = static_cast<int>((i - 4) / width);
                box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                           std::max<LONG>(box.bottom, y + 1)};
                ++count;
            }
        std::printf("  seen:    %8.1f ms  %zu pixels changed in (%ld,%ld)-(%ld,%ld)\n", Changes[c].first * 1e3, count,
                    box.left, box.top, box.right, box.bottom);
    }
}

void EndProcess(const PROCESS_INFORMATION& Process, HWND Window)
{
    if (Window != nullptr)
        PostMessageA(Window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(Process.hProcess, 3000) != WAIT_OBJECT_0)
        TerminateProcess(Process.hProcess, 1);
    WaitForSingleObject(Process.hProcess, 3000);
    CloseHandle(Process.hThread);
    CloseHandle(Process.hProcess);
}

// One start. Traced: the program writes its start-up marks (see StartupTrace.h) to our output.
TStart StartOnce(const std::string& CommandLine, bool Traced = false)
{
    TStart start;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (Traced) {
        std::fflush(stdout);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = startup.hStdError = GetStdHandle(STD_OUTPUT_HANDLE);
    }
    SetEnvironmentVariableA("PEMBROX_STARTUP_TRACE", Traced ? "1" : nullptr);
    PROCESS_INFORMATION process{};
    std::string line = CommandLine;
    const double t0 = BenchNow();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, Traced, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "startup_bench: cannot start %s\n", CommandLine.c_str());
        return start;
    }
    TFind find{process.dwProcessId, nullptr};
    while (find.Found == nullptr && BenchNow() - t0 < GiveUp) {
        EnumWindows(&FindWindowOf, reinterpret_cast<LPARAM>(&find));
        if (find.Found == nullptr)
            Sleep(1);
    }
    if (find.Found == nullptr) {
        EndProcess(process, nullptr);
        return start;
    }
    start.Window = BenchNow() - t0;
    // The readings that differ from the one before, with their times.
    std::vector<std::pair<double, std::vector<uint32_t>>> changes;
    double lastChange = BenchNow();
    while (BenchNow() - lastChange < SettleTime && BenchNow() - t0 < GiveUp) {
        const double at = BenchNow() - t0;
        std::vector<uint32_t> now = ScreenPixels(find.Found);
        if (changes.empty() || !Same(now, changes.back().second)) {
            changes.emplace_back(at, std::move(now));
            lastChange = BenchNow();
        }
        Sleep(1);
    }
    const std::vector<uint32_t>& last = changes.back().second;
    if (Traced)
        PrintChanges(changes);
    for (const auto& [at, pixels] : changes)
        if (Same(pixels, last)) {
            start.Painted = at;
            break;
        }
    EndProcess(process, find.Found);
    return start;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || (argc - 1) % 3 != 0) {
        std::fprintf(stderr, "usage: startup_bench NAME SKINNED UNSKINNED [NAME SKINNED UNSKINNED]...\n");
        return 2;
    }
    std::printf("start-up, from starting the process to its window and to the window's first whole paint, "
                "median of %d starts (10th-90th percentile)\n",
                Rounds);
    int failed = 0;
    for (int i = 1; i + 2 < argc; i += 3) {
        const std::string name = argv[i];
        std::vector<double> window[2], painted[2];
        StartOnce(argv[i + 2]); // the files into the cache
        for (int round = 0; round < Rounds; ++round)
            for (int k = 0; k < 2; ++k) {
                const int which = (round + k) % 2;
                const TStart s = StartOnce(argv[i + 1 + which]);
                if (s.Painted < 0) {
                    ++failed;
                    continue;
                }
                window[which].push_back(s.Window);
                painted[which].push_back(s.Painted);
            }
        if (painted[0].empty() || painted[1].empty()) {
            std::printf("  %s: the window never came up\n", name.c_str());
            continue;
        }
        const char* kinds[2] = {"skinned", "unskinned"};
        for (int k = 0; k < 2; ++k) {
            const TBenchSpread w = BenchSpreadOf(window[k]), p = BenchSpreadOf(painted[k]);
            std::printf("  %-10s %-9s window %6.0f ms (%.0f-%.0f)   first whole paint %6.0f ms (%.0f-%.0f)\n",
                        name.c_str(), kinds[k], w.Median * 1e3, w.Low * 1e3, w.High * 1e3, p.Median * 1e3,
                        p.Low * 1e3, p.High * 1e3);
        }
        for (int k = 0; k < 2; ++k) {
            std::printf("  %s %s, where the time goes (ms since the process was created):\n", name.c_str(), kinds[k]);
            const TStart traced = StartOnce(argv[i + 1 + k], true);
            std::printf("  startup: %8.1f ms  the window on the screen, as it finally looks (seen from here)\n",
                        traced.Painted * 1e3);
        }
        const double skinned = BenchSpreadOf(painted[0]).Median, plain = BenchSpreadOf(painted[1]).Median;
        BenchFigure(name + " start to first whole paint, skinned / unskinned", skinned / plain, "x", true, 1.15);
        if (name == "gallery")
            BenchFigure("gallery start to first skinned paint", skinned * 1e3, " ms", true, 300);
    }
    return failed == 0 ? 0 : 1;
}
