#include "framework/win/StartupTrace.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// -1: not looked at yet; 0: off; 1: on.
int GTracing = -1;

bool Tracing()
{
    if (GTracing < 0)
        GTracing = GetEnvironmentVariableA("PEMBROX_STARTUP_TRACE", nullptr, 0) != 0 ? 1 : 0;
    return GTracing == 1;
}

// Milliseconds since the process was created: the system time against the creation time once,
// the performance counter after that.
double SinceCreation()
{
    static double offset = -1;
    static LARGE_INTEGER first{}, frequency{};
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (offset < 0) {
        FILETIME created{}, exited{}, kernel{}, user{}, system{};
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        GetSystemTimeAsFileTime(&system);
        auto ticks = [](const FILETIME& F) {
            return static_cast<double>(static_cast<uint64_t>(F.dwHighDateTime) << 32 | F.dwLowDateTime);
        };
        offset = (ticks(system) - ticks(created)) / 1e4;
        first = now;
        QueryPerformanceFrequency(&frequency);
    }
    return offset + static_cast<double>(now.QuadPart - first.QuadPart) * 1e3 / static_cast<double>(frequency.QuadPart);
}

} // namespace

void StartupMark(const char* What)
{
    if (!Tracing())
        return;
    static std::vector<std::string> seen;
    for (const std::string& s : seen)
        if (s == What)
            return;
    seen.emplace_back(What);
    char line[200];
    const int n = std::snprintf(line, sizeof line, "startup: %8.1f ms  %s\n", SinceCreation(), What);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(std::min<int>(n, sizeof line - 1)), &written,
              nullptr);
}
