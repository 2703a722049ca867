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

// The median and the spread (the 10th and the 90th percentile) of some timed rounds.
struct TBenchSpread {
    double Median = 0, Low = 0, High = 0;
};

inline TBenchSpread BenchSpreadOf(std::vector<double> Times)
{
    std::sort(Times.begin(), Times.end());
    const size_t n = Times.size();
    if (n == 0)
        return {};
    return {Times[n / 2], Times[n / 10], Times[n - 1 - n / 10]};
}

// One figure of the table scripts/bench.sh ends with: its name, its value and its target (a
// value at most or at least Target), and whether it is met. The line starts with "figure:".
inline bool BenchFigure(const std::string& Name, double Value, const char* Unit, bool AtMost, double Target)
{
    const bool met = AtMost ? Value <= Target : Value >= Target;
    std::printf("figure: %s | %.2f%s | %s %.2f%s | %s\n", Name.c_str(), Value, Unit, AtMost ? "<=" : ">=", Target,
                Unit, met ? "met" : "MISSED");
    return met;
}

// A skinned round against the same round left to the platform, interleaved (the order turning
// every round) so that a change in the machine's state falls on both alike. WarmUp rounds of each
// come first, untimed, long enough for the platform's caches and modes to settle. Prints both
// medians with their spreads and the ratio of the medians, which it returns.
inline double BenchCompare(const std::string& Name, int Rounds, int WarmUp, const std::function<void()>& Native,
                           const std::function<void()>& Skinned)
{
    for (int i = 0; i < WarmUp; ++i) {
        Native();
        Skinned();
    }
    std::vector<double> native, skinned;
    auto time = [](const std::function<void()>& Round, std::vector<double>& Into) {
        const double start = BenchNow();
        Round();
        Into.push_back(BenchNow() - start);
    };
    for (int i = 0; i < Rounds; ++i) {
        if (i % 2 == 0) {
            time(Native, native);
            time(Skinned, skinned);
        } else {
            time(Skinned, skinned);
            time(Native, native);
        }
    }
    const TBenchSpread n = BenchSpreadOf(native), s = BenchSpreadOf(skinned);
    std::printf("  %-30s native %8.1f us (%.1f-%.1f)  skinned %8.1f us (%.1f-%.1f)  %5.2f x native\n", Name.c_str(),
                n.Median * 1e6, n.Low * 1e6, n.High * 1e6, s.Median * 1e6, s.Low * 1e6, s.High * 1e6,
                s.Median / n.Median);
    return s.Median / n.Median;
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
