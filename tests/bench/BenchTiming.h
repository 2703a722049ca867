// Timing for the Windows benchmark programs: a high-resolution clock and the median of rounds.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Seconds, from QueryPerformanceCounter.
inline double BenchNow()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The median time of Round over Rounds timed rounds, after WarmUp untimed ones; Prepare (when
// given) runs before each round, outside the timing.
inline double BenchMedian(int Rounds, int WarmUp, const std::function<void()>& Round,
                          const std::function<void()>& Prepare = {})
{
    for (int i = 0; i < WarmUp; ++i) {
        if (Prepare)
            Prepare();
        Round();
    }
    std::vector<double> times;
    for (int i = 0; i < Rounds; ++i) {
        if (Prepare)
            Prepare();
        const double start = BenchNow();
        Round();
        times.push_back(BenchNow() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The full path of the skin file the program's first argument names ("default.skn" without one);
// an empty string, after saying so as Program, when there is no such file.
inline std::string BenchSkinFile(int argc, char** argv, const char* Program)
{
    char full[MAX_PATH]{};
    const std::string named = argc > 1 ? argv[1] : "default.skn";
    std::string file = GetFullPathNameA(named.c_str(), MAX_PATH, full, nullptr) != 0 ? full : named;
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        std::fprintf(stderr, "%s: no skin file %s\n", Program, file.c_str());
        return {};
    }
    return file;
}
