// The common face of every picture kind (bitmaps, JPEG images): a size, drawing onto a canvas and
// loading and saving through streams and files. TPicture picks the kind by file extension.
#pragma once

#include "framework/core/Object.h"
#include "framework/graphics/BitmapCodec.h"

#include <windows.h>

#include <string>

class TCanvas;
class TStream;

// A file extension no picture kind claims: "Unknown picture file extension (.xyz)".
DECLARE_EXCEPTION(EInvalidGraphicFormat, EInvalidGraphic);

class TGraphic : public TPersistent {
    DECLARE_CLASS(TGraphic, TPersistent)
public:
    TGraphic() = default;
    ~TGraphic() override = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;

    // At natural size with the top-left corner at (X, Y) / stretched to Rect.
    virtual void Draw(TCanvas& Dest, int X, int Y) = 0;
    virtual void StretchDraw(TCanvas& Dest, const RECT& Rect) = 0;

    // From the position to the end of the stream. Invalid data raises EInvalidGraphic and leaves
    // the graphic as it was.
    virtual void LoadFromStream(TStream& Stream) = 0;
    virtual void SaveToStream(TStream& Stream) = 0;

    // Through a file stream; the kind's own stream methods do the work.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);
};
