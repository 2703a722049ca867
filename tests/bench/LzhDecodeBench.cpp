// LZH decoding speed under Wine or Windows (the native figures come from lzh_bench, with Google
// Benchmark). The inputs: the skin packages named on the command line (the built-in ones), a
// mixed input of real text (the text files named after --text), the bitmaps of the first
// package and incompressible bytes, and the synthetic inputs of LzhBenchInputs.h.
//   lzh_decode_bench PACKAGE.skn... [--text FILE...]
//
// Each input is decoded four ways, round after round in turn, so that a change in the machine's
// load falls on all of them; printed are the medians and the ratios:
//   decoder    TLZH::UnpackMemory into a buffer made once;
//   reader     as the package reader decodes: TSkinReader::Decompress into a new memory stream
//              (which has to get its memory from the system every round);
//   plain      the plain decoder of the differential tests (tests/support/PlainLzhuf.h): bit by
//              bit, a getc-like call per input byte and a putc-like call per output byte, into a
//              buffer made once;
//   classic    the decoder as the classic C program is written (ClassicLzhuf.c): file-scope
//              tables, getc and putc (here on memory), compiled with the same flags.
// The target: the decoder at least 1.3 times as fast as the classic one on every input.
#include "skin/package/LZH.h"
#include "skin/package/SkinRead.h"
#include "tests/bench/BenchTiming.h"
#include "tests/bench/ClassicLzhuf.h"
#include "tests/bench/LzhBenchInputs.h"
#include "tests/support/PlainLzhuf.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> Times)
{
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

struct TTimes {
    double Decoder = 0, Reader = 0, Reference = 0, Classic = 0;
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

    std::vector<uint8_t> classicOut(In.Plain.size());
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
        [&] {
            const long decoded = ClassicLzhufDecode(reinterpret_cast<const unsigned char*>(In.Package.data()),
                                                    In.Package.size(), classicOut.data(), classicOut.size());
            check(classicOut.data(), decoded);
        },
    };
    std::vector<double> times[4];
    for (int i = -1; i < Rounds; ++i)
        for (int w = 0; w < 4; ++w) {
            const double start = BenchNow();
            ways[w]();
            if (i >= 0)
                times[w].push_back(BenchNow() - start);
        }
    Times = {Median(times[0]), Median(times[1]), Median(times[2]), Median(times[3])};
    return same;
}

// The plain content of the package in File ("" when it cannot be read).
std::string PlainOf(const std::string& File, std::string& Package)
{
    TMemoryStream stream, plain;
    try {
        stream.LoadFromFile(File);
    } catch (const std::exception&) {
        return {};
    }
    if (!TSkinReader::Decompress(stream, plain))
        return {};
    Package.assign(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
    return std::string(static_cast<const char*>(plain.Memory()), static_cast<size_t>(plain.Size()));
}

// About 1 MB in turns of 32 KB: real text, real bitmaps (the package's plain content past its
// description) and bytes no compressor can shrink, in equal shares as far as the text goes.
lzh_bench::TInput RealMixedInput(const std::string& Text, const std::string& Bitmaps)
{
    constexpr size_t Total = 1024 * 1024, Piece = 32 * 1024;
    std::mt19937 rng(3);
    lzh_bench::TInput in;
    size_t text = 0, bitmap = Bitmaps.size() / 8;
    for (int turn = 0; in.Plain.size() < Total; ++turn) {
        const size_t before = in.Plain.size();
        if (turn % 3 == 0 && !Text.empty()) {
            in.Plain += Text.substr(text % Text.size(), Piece);
            text += Piece;
        } else if (turn % 3 == 1 && !Bitmaps.empty()) {
            in.Plain += Bitmaps.substr(bitmap % Bitmaps.size(), Piece);
            bitmap += Piece;
        } else {
            for (size_t i = 0; i < Piece; ++i)
                in.Plain += static_cast<char>(rng());
        }
        if (in.Plain.size() == before)
            break;
    }
    in.Plain.resize(std::min(in.Plain.size(), Total));
    in.Package = CompressPlain(in.Plain);
    return in;
}

} // namespace

int main(int argc, char** argv)
{
    struct TNamedInput {
        std::string Title;
        lzh_bench::TInput In;
        int Rounds;
    };
    std::vector<TNamedInput> inputs;
    std::string text, bitmaps;
    bool readingText = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--text") {
            readingText = true;
            continue;
        }
        if (readingText) {
            TMemoryStream file;
            try {
                file.LoadFromFile(arg);
            } catch (const std::exception&) {
                std::fprintf(stderr, "lzh_decode_bench: cannot read %s\n", arg.c_str());
                return 1;
            }
            text.append(static_cast<const char*>(file.Memory()), static_cast<size_t>(file.Size()));
            continue;
        }
        lzh_bench::TInput in;
        in.Plain = PlainOf(arg, in.Package);
        if (in.Plain.empty()) {
            std::fprintf(stderr, "lzh_decode_bench: %s is not a skin package\n", arg.c_str());
            return 1;
        }
        if (bitmaps.empty())
            bitmaps = in.Plain.substr(std::min(in.Plain.size(), in.Plain.find("BM")));
        const size_t slash = arg.find_last_of("/\\");
        inputs.push_back({"package " + arg.substr(slash == std::string::npos ? 0 : slash + 1), std::move(in), 101});
    }
    if (!text.empty() || !bitmaps.empty())
        inputs.push_back({"real text, bitmaps and random bytes", RealMixedInput(text, bitmaps), 31});
    inputs.push_back({"synthetic 1 MB mixed", lzh_bench::MixedInput(), 31});
    inputs.push_back({"synthetic skin package", lzh_bench::SkinInput(), 101});

    int failed = 0;
    double worst = 1e9;
    for (const auto& input : inputs) {
        TTimes t;
        if (!Measure(input.In, input.Rounds, t)) {
            std::printf("decode %s: decoded bytes differ\n", input.Title.c_str());
            failed = 1;
            continue;
        }
        const double megabytes = static_cast<double>(input.In.Plain.size()) / 1e6;
        std::printf("decode %s: %zu bytes from %zu, medians of %d rounds\n", input.Title.c_str(),
                    input.In.Plain.size(), input.In.Package.size(), input.Rounds);
        std::printf("  decoder %6.0f MB/s   %.2fx the classic decoder (%.0f MB/s), %.2fx the plain one (%.0f MB/s)\n",
                    megabytes / t.Decoder, t.Classic / t.Decoder, megabytes / t.Classic, t.Reference / t.Decoder,
                    megabytes / t.Reference);
        std::printf("  package reader, new stream each round: %.0f MB/s, %.2fx the classic decoder\n",
                    megabytes / t.Reader, t.Classic / t.Reader);
        BenchFigure("decoder / classic decoder, " + input.Title, t.Classic / t.Decoder, "x", false, 1.3);
        worst = std::min(worst, t.Classic / t.Decoder);
    }
    std::printf("  the decoder against the classic one, worst input: %.2fx\n", worst);
    return failed;
}
