// LZH decoding speed, in output bytes per second, on (a) 1 MB of mixed data (half text, half
// bitmap rows) and (b) a skin-like package (45 bitmaps and a description, ~125 KB plain); see
// LzhBenchInputs.h. Each input is decoded five ways:
//   Decoder    TLZH::UnpackMemory into a buffer made once;
//   Reader     as the package reader decodes: TSkinReader::Decompress into a new memory stream;
//   Streams    UnpackStreams from a memory stream at offset 4 into a new memory stream;
//   Pumps      Unpack with the lightest pumps (input from a string, output summed), a call a byte;
//   Reference  the plain decoder of the differential tests (tests/support/PlainLzhuf.h), in the
//              classic program's manner: bit by bit, a getc-like call per input byte and a
//              putc-like call per output byte (both inlined: the fastest such a program can be),
//              into a buffer made once.
// After the table, one line per input and way: its speed and its ratio to Reference (medians of
// the repetitions, CPU time). The Windows figures come from lzh_decode_bench (LzhDecodeBench.cpp).
#include "skin/package/LZH.h"
#include "skin/package/SkinRead.h"
#include "tests/bench/LzhBenchInputs.h"
#include "tests/support/PlainLzhuf.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using lzh_bench::TInput;

void Report(benchmark::State& State, const TInput& In)
{
    const double plain = static_cast<double>(In.Plain.size());
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) * static_cast<int64_t>(In.Plain.size()));
    State.counters["MB_per_s"] = benchmark::Counter(plain / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    State.counters["ratio"] = static_cast<double>(In.Package.size() - 4) / plain;
    State.counters["plain_KB"] = plain / 1024;
}

bool SameAsPlain(const void* Bytes, int64_t Size, const TInput& In)
{
    return Size == static_cast<int64_t>(In.Plain.size()) && std::memcmp(Bytes, In.Plain.data(), In.Plain.size()) == 0;
}

void DecodeMemory(benchmark::State& State, const TInput& In)
{
    const auto* const first = reinterpret_cast<const uint8_t*>(In.Package.data()) + 4;
    const auto size = static_cast<int64_t>(In.Package.size()) - 4;
    std::vector<uint8_t> out(In.Plain.size() + TLZH::MaxOverrun);
    TLZH lzh;
    bool same = true;
    for (auto _ : State) {
        const int64_t written = lzh.UnpackMemory(static_cast<int32_t>(In.Plain.size()), first, size, out.data(),
                                                 static_cast<int64_t>(out.size()));
        benchmark::DoNotOptimize(out.data());
        same = same && SameAsPlain(out.data(), written, In);
    }
    if (!same)
        State.SkipWithError("decoded bytes differ");
    Report(State, In);
}

void DecodeReader(benchmark::State& State, const TInput& In)
{
    TMemoryStream package;
    package.WriteBuffer(In.Package.data(), static_cast<int32_t>(In.Package.size()));
    bool same = true;
    for (auto _ : State) {
        TMemoryStream plain;
        TSkinReader::Decompress(package, plain);
        benchmark::DoNotOptimize(plain.Memory());
        same = same && SameAsPlain(plain.Memory(), plain.Size(), In);
    }
    if (!same)
        State.SkipWithError("decoded bytes differ");
    Report(State, In);
}

// As the package reader used to decode: the length from offset 0, the stream from offset 4.
void DecodeStreams(benchmark::State& State, const TInput& In)
{
    TMemoryStream package;
    package.WriteBuffer(In.Package.data(), static_cast<int32_t>(In.Package.size()));
    TLZH lzh;
    bool same = true;
    for (auto _ : State) {
        TMemoryStream plain;
        package.SetPosition(0);
        const int32_t length = package.ReadInt32();
        lzh.UnpackStreams(length, package, plain);
        benchmark::DoNotOptimize(plain.Memory());
        same = same && SameAsPlain(plain.Memory(), plain.Size(), In);
    }
    if (!same)
        State.SkipWithError("decoded bytes differ");
    Report(State, In);
}

void DecodePumps(benchmark::State& State, const TInput& In)
{
    const std::string stream = In.Package.substr(4);
    TLZH lzh;
    size_t next = 0;
    uint32_t sum = 0;
    const TLZH::TGetBytes get = [&](void* Buffer, int32_t, int32_t& Actual) {
        Actual = 0;
        if (next < stream.size()) {
            *static_cast<char*>(Buffer) = stream[next++];
            Actual = 1;
        }
    };
    const TLZH::TPutBytes put = [&](const void* Buffer, int32_t Count, int32_t& Actual) {
        sum += *static_cast<const uint8_t*>(Buffer);
        Actual = Count;
    };
    for (auto _ : State) {
        next = 0;
        lzh.Unpack(static_cast<int32_t>(In.Plain.size()), get, put);
    }
    benchmark::DoNotOptimize(sum);
    Report(State, In);
}

void DecodeReference(benchmark::State& State, const TInput& In)
{
    const auto* const begin = reinterpret_cast<const uint8_t*>(In.Package.data()) + 4;
    const auto* const end = reinterpret_cast<const uint8_t*>(In.Package.data()) + In.Package.size();
    std::vector<uint8_t> out(In.Plain.size() + 60);
    bool same = true;
    for (auto _ : State) {
        const uint8_t* in = begin;
        uint8_t* put = out.data();
        TPlainLzhuf plain;
        plain.DecodeWith(
            In.Plain.size(), [&in, end]() -> int { return in < end ? *in++ : -1; },
            [&put](int c) { *put++ = static_cast<uint8_t>(c); });
        benchmark::DoNotOptimize(out.data());
        same = same && SameAsPlain(out.data(), put - out.data(), In);
    }
    if (!same)
        State.SkipWithError("decoded bytes differ");
    Report(State, In);
}

void BM_Mixed1MB_Decoder(benchmark::State& State) { DecodeMemory(State, lzh_bench::MixedInput()); }
void BM_Mixed1MB_Reader(benchmark::State& State) { DecodeReader(State, lzh_bench::MixedInput()); }
void BM_Mixed1MB_Streams(benchmark::State& State) { DecodeStreams(State, lzh_bench::MixedInput()); }
void BM_Mixed1MB_Pumps(benchmark::State& State) { DecodePumps(State, lzh_bench::MixedInput()); }
void BM_Mixed1MB_Reference(benchmark::State& State) { DecodeReference(State, lzh_bench::MixedInput()); }
void BM_SkinPackage_Decoder(benchmark::State& State) { DecodeMemory(State, lzh_bench::SkinInput()); }
void BM_SkinPackage_Reader(benchmark::State& State) { DecodeReader(State, lzh_bench::SkinInput()); }
void BM_SkinPackage_Streams(benchmark::State& State) { DecodeStreams(State, lzh_bench::SkinInput()); }
void BM_SkinPackage_Pumps(benchmark::State& State) { DecodePumps(State, lzh_bench::SkinInput()); }
void BM_SkinPackage_Reference(benchmark::State& State) { DecodeReference(State, lzh_bench::SkinInput()); }

// Collects the median CPU time per iteration of every benchmark while the console shows the table.
class TMedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override
    {
        for (const Run& run : Runs)
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                Seconds[run.run_name.function_name] = run.GetAdjustedCPUTime() / 1e3; // from ms
        ConsoleReporter::ReportRuns(Runs);
    }
    std::map<std::string, double> Seconds;
};

} // namespace

#define LZH_BENCHMARK(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)
LZH_BENCHMARK(BM_Mixed1MB_Decoder);
LZH_BENCHMARK(BM_Mixed1MB_Reader);
LZH_BENCHMARK(BM_Mixed1MB_Streams);
LZH_BENCHMARK(BM_Mixed1MB_Pumps);
LZH_BENCHMARK(BM_Mixed1MB_Reference);
LZH_BENCHMARK(BM_SkinPackage_Decoder);
LZH_BENCHMARK(BM_SkinPackage_Reader);
LZH_BENCHMARK(BM_SkinPackage_Streams);
LZH_BENCHMARK(BM_SkinPackage_Pumps);
LZH_BENCHMARK(BM_SkinPackage_Reference);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n");
    const struct {
        const char* Prefix;
        const char* Title;
        const TInput& In;
    } inputs[] = {{"BM_Mixed1MB_", "1 MB mixed", lzh_bench::MixedInput()},
                  {"BM_SkinPackage_", "skin package", lzh_bench::SkinInput()}};
    for (const auto& input : inputs) {
        const auto reference = reporter.Seconds.find(std::string(input.Prefix) + "Reference");
        for (const char* way : {"Decoder", "Reader", "Streams", "Pumps"}) {
            const auto it = reporter.Seconds.find(std::string(input.Prefix) + way);
            if (it == reporter.Seconds.end() || reference == reporter.Seconds.end())
                continue;
            const double mbPerSecond = static_cast<double>(input.In.Plain.size()) / 1e6 / it->second;
            std::printf("decode %s (%s): %.0f MB/s, %.2fx the plain reference\n", input.Title, way, mbPerSecond,
                        reference->second / it->second);
        }
    }
    return 0;
}
