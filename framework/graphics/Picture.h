// A picture of any kind: holds one graphic (a bitmap, a JPEG image), picks the kind from the file
// extension on load, and tells its owner when the graphic changes.
#pragma once

#include "framework/core/Method.h"
#include "framework/core/Object.h"
#include "framework/graphics/Graphic.h"

#include <memory>
#include <string>

class TBitmap;
class TFiler;
class TStream;

class TPicture : public TPersistent {
    DECLARE_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;

    // The graphic held, nullptr when there is none.
    TGraphic* Graphic() const { return FGraphic.get(); }
    // Takes a copy of Value (nullptr drops the graphic).
    void SetGraphic(TGraphic* Value);

    // The graphic when it is a bitmap; anything else is replaced by a new empty bitmap first.
    TBitmap* Bitmap();

    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    // ".bmp" loads a bitmap, ".jpg" and ".jpeg" a JPEG image, ".ico" an icon (any case). Another extension raises
    // EInvalidGraphicFormat "Unknown picture file extension (.xyz)"; any failure leaves the
    // graphic held before in place.
    void LoadFromFile(const std::string& FileName);
    // Through the graphic's own format; nothing happens without a graphic.
    void SaveToFile(const std::string& FileName);

    // From a picture or a graphic: a copy of its own (bitmaps pixel for pixel, JPEG images from
    // their bytes). nullptr drops the graphic.
    void Assign(TPersistent* Source) override;

    // The picture in form descriptions, the defined binary property "Data": one byte n, the n
    // characters of the graphic's class name ("TBitmap", "TJPEGImage", "TIcon"), then the
    // graphic's own file bytes. No graphic (or an empty one) writes nothing; an empty block
    // reads as no graphic.
    void DefineProperties(TFiler& Filer) override;
    // The same data through a stream: ReadData from the position to the end (bad data raises
    // EInvalidGraphic and leaves the picture as it was; an unknown class name raises
    // EInvalidGraphicFormat), WriteData at the position.
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream);

    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

protected:
    virtual void Changed();

private:
    // A new graphic of Source's kind holding a copy of it.
    static std::unique_ptr<TGraphic> CopyOf(TGraphic* Source);
    bool HasData() const { return FGraphic && !FGraphic->Empty(); }
    void Replace(std::unique_ptr<TGraphic> Value);

    std::unique_ptr<TGraphic> FGraphic;
    TNotifyEvent FOnChange;
};
