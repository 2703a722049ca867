// libFuzzer target: any bytes given to the bitmap decoder either decode or raise EInvalidGraphic,
// never read out of bounds; what decodes encodes to a file that decodes to the same image.
#include "framework/graphics/BitmapCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TBitmapImage image;
    try {
        image = DecodeBitmap(Data, Size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    // A decoded image is consistent.
    if (image.Width < 1 || image.Height < 1 || image.Pixels.size() != size_t(image.Stride()) * size_t(image.Height) ||
        (image.BitCount <= 8 && image.Palette.size() != size_t(1) << image.BitCount)) {
        std::fprintf(stderr, "inconsistent image %d x %d, %d bits\n", image.Width, image.Height, image.BitCount);
        std::abort();
    }
    std::string problem;
    if (!TryDecodeBitmap(Data, Size, image, problem, false)) {
        std::fprintf(stderr, "TryDecodeBitmap refused what DecodeBitmap accepted: %s\n", problem.c_str());
        std::abort();
    }
    // RLE files a few bytes long can describe up to 64 Mi pixels; the round trip of those only
    // costs memory.
    if (image.Pixels.size() > (size_t(32) << 20))
        return 0;
    try {
        const std::string file = EncodeBitmap(image);
        const TBitmapImage back = DecodeBitmap(reinterpret_cast<const uint8_t*>(file.data()), file.size());
        if (!(back == image)) {
            std::fprintf(stderr, "round trip changed the image\n");
            std::abort();
        }
        if (EncodeBitmap(back) != file) {
            std::fprintf(stderr, "second encoding differs\n");
            std::abort();
        }
    } catch (const EInvalidGraphic& e) {
        std::fprintf(stderr, "round trip failed: %s\n", e.what());
        std::abort();
    }
    return 0;
}
