// Flipping and quarter turns, on 24-bit pixels (other formats are converted first). The flip copies whole rows into a second bitmap;
// the turns read the image once as a bottom-up 32-bit copy and write the new rows through the
// scan lines, three bytes (blue, green, red) a pixel.
#include "skin/draw/SkinEffects.h"

#include "framework/graphics/Bitmap.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The transforms work on three bytes a pixel: a bitmap of any other format is converted first
// (colours kept; a palette becomes the colours it stands for). False for nothing to transform.
bool PrepareTransform(TBitmap* Bitmap)
{
    if (Bitmap == nullptr || Bitmap->Empty())
        return false;
    if (Bitmap->PixelFormat() != pf24bit)
        Bitmap->SetPixelFormat(pf24bit);
    return Bitmap->PixelFormat() == pf24bit;
}

// The whole image as 32-bit pixels, bottom row first (W * H * 4 bytes); empty when it cannot be
// read.
std::vector<uint8_t> ReadPixels32(TBitmap* Bitmap)
{
    const int width = Bitmap->Width();
    const int height = Bitmap->Height();
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    std::vector<uint8_t> pixels(bytes);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(bytes);
    info.bmiHeader.biXPelsPerMeter = 1;
    info.bmiHeader.biYPelsPerMeter = 1;
    info.bmiHeader.biClrUsed = 0;
    info.bmiHeader.biClrImportant = 0;

    HBITMAP handle = Bitmap->Handle();
    TClientDC screen(nullptr);
    const int lines =
        GetDIBits(screen.get(), handle, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    if (lines != height)
        pixels.clear();
    return pixels;
}

// Source pixel (X, Y), top-down, of a bottom-up 32-bit buffer of the given size.
inline const uint8_t* SourcePixel(const std::vector<uint8_t>& Pixels, int Width, int Height, int X, int Y)
{
    const size_t row = static_cast<size_t>(Height - 1 - Y);
    return Pixels.data() + (row * static_cast<size_t>(Width) + static_cast<size_t>(X)) * 4;
}

inline void PutPixel(uint8_t* Dest, const uint8_t* Source)
{
    Dest[0] = Source[0];
    Dest[1] = Source[1];
    Dest[2] = Source[2];
}

} // namespace

void FlipBitmapVertical(TBitmap* Bitmap)
{
    if (!PrepareTransform(Bitmap))
        return;
    const int width = Bitmap->Width();
    const int height = Bitmap->Height();
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    TBitmap flipped(width, height, Bitmap->PixelFormat());
    for (int i = 0; i < height; ++i)
        std::memcpy(flipped.ScanLine(height - 1 - i), Bitmap->ScanLine(i), rowBytes);
    Bitmap->Assign(&flipped);
}

namespace {

// A quarter turn: counter-clockwise (Left) or clockwise.
void RotateBitmap(TBitmap* Bitmap, bool Left)
{
    if (!PrepareTransform(Bitmap))
        return;
    const int width = Bitmap->Width();
    const int height = Bitmap->Height();
    const std::vector<uint8_t> pixels = ReadPixels32(Bitmap);
    if (pixels.empty())
        return;
    Bitmap->SetSize(height, width);
    // Left: new row r holds the old column W - 1 - r, its column y the old row y.
    // Right: new row r holds the old column r, its column H - 1 - y the old row y.
    for (int row = 0; row < width; ++row) {
        uint8_t* line = Bitmap->ScanLine(row);
        const int x = Left ? width - 1 - row : row;
        for (int y = 0; y < height; ++y) {
            const int column = Left ? y : height - 1 - y;
            PutPixel(line + static_cast<size_t>(column) * 3, SourcePixel(pixels, width, height, x, y));
        }
    }
}

} // namespace

void RotateBitmapLeft(TBitmap* Bitmap)
{
    RotateBitmap(Bitmap, true);
}

void RotateBitmapRight(TBitmap* Bitmap)
{
    RotateBitmap(Bitmap, false);
}
