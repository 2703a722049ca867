// LZH decoding speed under Wine or Windows (the native figures come from lzh_bench, with Google
// Benchmark), on the inputs of LzhBenchInputs.h: 1 MB of mixed data and a skin-like package.
//
// Each input is decoded three ways, round after round in turn, so that a change in the
// machine's load falls on all of them; printed are the medians and the ratios:
//   decoder    TLZH::UnpackMemory into a buffer made once;
//   reader     as the package reader decodes: TSkinReader::Decompress into a new memory stream
//              (which has to get its memory from the system every round);
//   reference  the plain decoder of the differential tests (tests/support/PlainLzhuf.h), in the
//              classic program's manner: bit by bit, a getc-like call per input byte and a
//              putc-like call per output byte, into a buffer made once.
#include "skin/package/LZH.h"
#include "skin/package/SkinRead.h"
#include "tests/bench/BenchTiming.h"
#include "tests/bench/LzhBenchInputs.h"
#include "tests/support/PlainLzhuf.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

double Median(std::vector<double> Times)
{
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

struct TTimes {
    double Decoder = 0, Reader = 0, Reference = 0;
};

// Times the three ways on In, Rounds times each after a round of each untimed; false when any of
// them gives other bytes than the plain content.
bool Measure(const lzh_bench::TInput& In, int Rounds, TTimes& Times)
{
    TMemoryStream package;
    package.WriteBuffer(In.Package.data(), static_cast<int32_t>(In.Package.size()));
    const auto* const first = reinterpret_cast<const uint8_t*>(In.Package.data()) + 4;
    const auto* const end = reinterpret_cast<const uint8_t*>(In.Package.data()) + In.Package.size();
    const auto size = static_cast<int32_t>(In.Plain.size());
    std::vector<uint8_t> out(In.Plain.size() + TLZH::MaxOverrun);
    bool same = true;
    auto check = [&](const void* Bytes, int64_t Size) {
        same = same && Size == size && std::memcmp(Bytes, In.Plain.data(), In.Plain.size()) == 0;
    };

    const std::function<void()> ways[] = {
        [&] {
            TLZH lzh;
            check(out.data(), lzh.UnpackMemory(size, first, end - first, out.data(), static_cast<int64_t>(out.size())));
        },
        [&] {
            TMemoryStream plain;
            TSkinReader::Decompress(package, plain);
            check(plain.Memory(), plain.Size());
        },
        [&] {
            const uint8_t* in = first;
            uint8_t* put = out.data();
            TPlainLzhuf plain;
            plain.DecodeWith(
                In.Plain.size(), [&in, end]() -> int { return in < end ? *in++ : -1; },
                [&put](int c) { *put++ = static_cast<uint8_t>(c); });
            check(out.data(), put - out.data());
        },
    };
    std::vector<double> times[3];
    for (int i = -1; i < Rounds; ++i)
        for (int w = 0; w < 3; ++w) {
            const double start = BenchNow();
            ways[w]();
            if (i >= 0)
                times[w].push_back(BenchNow() - start);
        }
    Times = {Median(times[0]), Median(times[1]), Median(times[2])};
    return same;
}

} // namespace

int main()
{
    const struct {
        const char* Title;
        const lzh_bench::TInput& In;
        int Rounds;
    } inputs[] = {{"1 MB mixed", lzh_bench::MixedInput(), 41}, {"skin package", lzh_bench::SkinInput(), 201}};
    int failed = 0;
    for (const auto& input : inputs) {
        TTimes t;
        if (!Measure(input.In, input.Rounds, t)) {
            std::printf("decode %s: decoded bytes differ\n", input.Title);
            failed = 1;
            continue;
        }
        const double megabytes = static_cast<double>(input.In.Plain.size()) / 1e6;
        std::printf("decode %s: %.0f MB/s, %.2fx the plain reference (%.0f MB/s)\n", input.Title,
                    megabytes / t.Decoder, t.Reference / t.Decoder, megabytes / t.Reference);
        std::printf("  package reader, new stream each round: %.0f MB/s, %.2fx the plain reference\n",
                    megabytes / t.Reader, t.Reference / t.Reader);
        std::printf("  (%zu bytes from %zu, medians of %d rounds)\n", input.In.Plain.size(), input.In.Package.size(),
                    input.Rounds);
    }
    return failed;
}
