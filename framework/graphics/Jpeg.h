// JPEG images: decoded once on load (libjpeg-turbo) into a 24-bit bitmap that does the drawing;
// the file's own bytes are kept and written back unchanged on save, so a load and save round trip
// loses nothing.
#pragma once

#include "framework/graphics/Graphic.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TBitmap;

class TJPEGImage : public TGraphic {
    DECLARE_CLASS(TJPEGImage, TGraphic)
public:
    TJPEGImage();
    ~TJPEGImage() override;

    int Width() const override;
    int Height() const override;
    bool Empty() const override;

    void Draw(TCanvas& Dest, int X, int Y) override;
    void StretchDraw(TCanvas& Dest, const RECT& Rect) override;

    // The JPEG data from the position to the end of the stream. Data libjpeg rejects raises
    // EInvalidGraphic "JPEG error: <libjpeg's message>" and leaves the image as it was. Grayscale
    // files come out as RGB.
    void LoadFromStream(TStream& Stream) override;
    // The bytes the image was loaded from; an empty image writes nothing.
    void SaveToStream(TStream& Stream) override;

    // The same from a buffer.
    void LoadFromData(const uint8_t* Data, size_t Size);

    // Another JPEG image: its bytes, decoded again. nullptr empties the image.
    void Assign(TPersistent* Source) override;

    // The decoded pixels (24 bits per pixel; empty while the image is). It stays the image's.
    TBitmap* Bitmap() { return FBitmap.get(); }
    // The JPEG bytes.
    const std::vector<uint8_t>& Data() const { return FData; }

private:
    std::unique_ptr<TBitmap> FBitmap;
    std::vector<uint8_t> FData;
};
