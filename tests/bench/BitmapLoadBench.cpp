// Loading a skin's bitmaps (under Wine or Windows): about 50 Windows bitmap files, 200 KB in
// all, of the sizes and formats a skin holds (title and frame strips at 24 bits, button and
// scroll-bar pieces at 24 bits, glyphs at 8 and 4 bits, a 32-bit piece), each loaded into a
// TBitmap from a memory stream, as a skin loader does.
//
// Printed, as the median of many rounds:
//   load     every bitmap through TBitmap::LoadFromStream (the pixels stay in plain memory);
//   realise  the same, then each bitmap's Handle(), which moves the pixels into a DIB section;
//   copy     the same bytes copied stream to stream (TMemoryStream::LoadFromStream), the cost of
//            merely moving the data;
//   floor    for each bitmap one CreateDIBSection of its size and format and a copy of its pixel
//            bytes into it: what any loader onto GDI must at least do;
// and the ratios load/copy, realise/copy and realise/floor.
#include "framework/core/Stream.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/BitmapCodec.h"
#include "tests/bench/BenchTiming.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

struct TSample {
    int Width, Height, BitCount;
};

// The bitmaps of a typical skin.
std::vector<TSample> SkinSamples()
{
    std::vector<TSample> s;
    for (int i = 0; i < 4; ++i)
        s.push_back({200, 26, 24}); // title strips, active and inactive
    for (int i = 0; i < 8; ++i)
        s.push_back({12, 120, 24}); // left and right borders, frame strips
    for (int i = 0; i < 6; ++i)
        s.push_back({200, 8, 24}); // bottom borders
    for (int i = 0; i < 6; ++i)
        s.push_back({84, 22, 24}); // push buttons, four frames
    for (int i = 0; i < 8; ++i)
        s.push_back({80, 16, 24}); // check box, radio button, caption buttons
    for (int i = 0; i < 8; ++i)
        s.push_back({64, 16, 8}); // scroll arrows and thumbs, 8-bit
    for (int i = 0; i < 6; ++i)
        s.push_back({16, 16, 4}); // small glyphs
    s.push_back({40, 40, 32}); // a 32-bit piece
    s.push_back({32, 32, 1});  // a monochrome mark
    return s;
}

std::vector<std::vector<uint8_t>> MakeFiles(const std::vector<TSample>& Samples)
{
    std::mt19937 rng(7);
    std::vector<std::vector<uint8_t>> files;
    for (const TSample& sample : Samples) {
        TBitmapImage image;
        image.Create(sample.Width, sample.Height, sample.BitCount);
        if (sample.BitCount <= 8) {
            image.Palette.resize(size_t{1} << sample.BitCount);
            for (uint32_t& c : image.Palette)
                c = rng() & 0xFFFFFFu;
        }
        // Smooth gradients with a little noise, like skin artwork.
        for (int y = 0; y < sample.Height; ++y) {
            uint8_t* row = image.Row(y);
            const size_t bytes = static_cast<size_t>(image.Stride());
            for (size_t x = 0; x < bytes; ++x)
                row[x] = static_cast<uint8_t>(x * 3 + y * 5 + (rng() & 7));
        }
        TMemoryStream stream;
        SaveBitmapToStream(stream, image);
        const auto* p = static_cast<const uint8_t*>(stream.Memory());
        files.emplace_back(p, p + stream.Size());
    }
    return files;
}

} // namespace

int main()
{
    const std::vector<TSample> samples = SkinSamples();
    const std::vector<std::vector<uint8_t>> files = MakeFiles(samples);
    size_t total = 0;
    for (const auto& f : files)
        total += f.size();
    // The sources: one memory stream per file, as the skin loader gets them from the package.
    std::vector<std::unique_ptr<TMemoryStream>> streams;
    for (const auto& f : files) {
        streams.push_back(std::make_unique<TMemoryStream>());
        streams.back()->WriteBuffer(f.data(), static_cast<int32_t>(f.size()));
    }
    constexpr int Rounds = 300;

    const double load = BenchMedian(Rounds, 0, [&] {
        std::vector<std::unique_ptr<TBitmap>> bitmaps;
        for (auto& s : streams) {
            s->SetPosition(0);
            bitmaps.push_back(std::make_unique<TBitmap>());
            bitmaps.back()->LoadFromStream(*s);
        }
    });
    const double realise = BenchMedian(Rounds, 0, [&] {
        std::vector<std::unique_ptr<TBitmap>> bitmaps;
        for (auto& s : streams) {
            s->SetPosition(0);
            bitmaps.push_back(std::make_unique<TBitmap>());
            bitmaps.back()->LoadFromStream(*s);
            bitmaps.back()->Handle();
        }
    });
    const double copy = BenchMedian(Rounds, 0, [&] {
        std::vector<std::unique_ptr<TMemoryStream>> copies;
        for (auto& s : streams) {
            copies.push_back(std::make_unique<TMemoryStream>());
            copies.back()->LoadFromStream(*s);
        }
    });
    const double floor = BenchMedian(Rounds, 0, [&] {
        std::vector<TBitmapHandle> dibs;
        for (size_t i = 0; i < samples.size(); ++i) {
            struct {
                BITMAPINFOHEADER Header;
                RGBQUAD Colors[256];
            } info{};
            info.Header.biSize = sizeof info.Header;
            info.Header.biWidth = samples[i].Width;
            info.Header.biHeight = -samples[i].Height;
            info.Header.biPlanes = 1;
            info.Header.biBitCount = static_cast<WORD>(samples[i].BitCount);
            void* bits = nullptr;
            dibs.emplace_back(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                               nullptr, 0));
            const auto* file = files[i].data();
            uint32_t offset = 0;
            std::memcpy(&offset, file + 10, 4);
            if (bits != nullptr)
                std::memcpy(bits, file + offset, files[i].size() - offset);
        }
    });

    std::printf("bitmap loading: %zu bitmaps, %zu bytes, median of %d rounds\n", files.size(), total, Rounds);
    std::printf("  load   %9.1f us  (%.2f us per bitmap)\n", load * 1e6, load * 1e6 / static_cast<double>(files.size()));
    std::printf("  realise%9.1f us  (load, then a DIB section for each)\n", realise * 1e6);
    std::printf("  copy   %9.1f us  (the same bytes, stream to stream)\n", copy * 1e6);
    std::printf("  floor  %9.1f us  (CreateDIBSection and a pixel copy per bitmap)\n", floor * 1e6);
    std::printf("  load / copy  = %.2f\n", load / copy);
    BenchFigure("bitmap load / copy", load / copy, "x", true, 3);
    std::printf("  realise / copy  = %.2f\n", realise / copy);
    std::printf("  realise / floor = %.2f\n", realise / floor);
    return 0;
}
