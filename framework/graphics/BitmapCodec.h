// Windows bitmap files (.bmp) in and out of a neutral in-memory image. Reading accepts the core
// (12-byte), info (40), V4 (108) and V5 (124) headers, 1/4/8/16/24/32 bits per pixel, RLE4/RLE8
// and bit-field masks; writing produces a plain info-header file. Portable: no platform calls.
#pragma once

#include "framework/core/Exception.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TStream;

DECLARE_EXCEPTION(EInvalidGraphic, Exception); // "Bitmap image is not valid: REASON"

// A decoded bitmap. Rows run top-down, Stride() bytes each (a multiple of 4), in the BitCount
// format: 1, 4 and 8 are palette indexes (most significant bits first), 24 is B,G,R and 32 is
// B,G,R,A. Indexed images carry a full palette of 1 << BitCount entries (0x00RRGGBB); entries a
// file did not supply are black. 16-bit files, and 32-bit bit-field files with masks other than
// 0xFF0000/0xFF00/0xFF (alpha 0 or 0xFF000000), are converted to 24 bits, or to 32 when they have
// an alpha mask. Padding bits at the end of a decoded row are zero.
struct TBitmapImage {
    int32_t Width = 0;
    int32_t Height = 0;
    int BitCount = 0;
    std::vector<uint32_t> Palette;
    std::vector<uint8_t> Pixels;

    // Bytes per row for a width and bit count, 4-byte aligned.
    static int32_t StrideFor(int32_t Width, int BitCount);
    int32_t Stride() const { return StrideFor(Width, BitCount); }

    // Sizes the image: zeroed pixels and, for 1/4/8 bits, an all-black palette. Raises
    // EInvalidGraphic for a bit count other than 1/4/8/24/32 or sizes outside 1..32767.
    void Create(int32_t NewWidth, int32_t NewHeight, int NewBitCount);

    uint8_t* Row(int32_t Y) { return Pixels.data() + static_cast<size_t>(Y) * static_cast<size_t>(Stride()); }
    const uint8_t* Row(int32_t Y) const
    {
        return Pixels.data() + static_cast<size_t>(Y) * static_cast<size_t>(Stride());
    }

    // The palette index at (X, Y) of an indexed image. No range checks.
    uint32_t PixelIndex(int32_t X, int32_t Y) const;
    void SetPixelIndex(int32_t X, int32_t Y, uint32_t Index);
    // The colour at (X, Y) as 0x00RRGGBB (through the palette for indexed images; alpha dropped).
    uint32_t PixelColour(int32_t X, int32_t Y) const;

    bool operator==(const TBitmapImage&) const = default;
};

// Decodes a bitmap file. Raises EInvalidGraphic "Bitmap image is not valid: REASON" for anything
// that is not a complete, supported bitmap, for one larger than 16384 pixels a side or 64 Mi
// pixels in all, and when memory runs out; never reads outside [Data, Data + Size). The file
// header's size field is ignored unless StrictFileSize is set: then a size larger than the data
// is an error too (a size of 0 stays unchecked).
TBitmapImage DecodeBitmap(const uint8_t* Data, size_t Size, bool StrictFileSize = false);
// The same without raising: false with Problem set to the reason ("no \"BM\" signature" ...),
// Image left as it was.
bool TryDecodeBitmap(const uint8_t* Data, size_t Size, TBitmapImage& Image, std::string& Problem,
                     bool StrictFileSize = false);

// A bitmap file with a 40-byte header, bottom-up rows and, for 1/4/8 bits, a full palette.
// DecodeBitmap gives an image within its size limits back unchanged (palette entries are written
// without their top byte). Raises EInvalidGraphic for an inconsistent image (bit count, sizes,
// pixel bytes, more palette entries than indexes); a short palette is padded with black.
std::string EncodeBitmap(const TBitmapImage& Image);

// Reads a bitmap file from the stream's position to its end.
void LoadBitmapFromStream(TStream& Stream, TBitmapImage& Image);
// Writes the image as a bitmap file at the stream's position.
void SaveBitmapToStream(TStream& Stream, const TBitmapImage& Image);
