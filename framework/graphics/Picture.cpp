#include "framework/graphics/Picture.h"

#include "framework/core/Exception.h"
#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Jpeg.h"

#include <utility>

IMPLEMENT_CLASS_EMPTY(TPicture)

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

std::unique_ptr<TGraphic> TPicture::CopyOf(TGraphic* Source)
{
    std::unique_ptr<TGraphic> copy;
    if (dynamic_cast<TJPEGImage*>(Source) != nullptr)
        copy = std::make_unique<TJPEGImage>();
    else if (dynamic_cast<TBitmap*>(Source) != nullptr)
        copy = std::make_unique<TBitmap>();
    else
        throw EConvertError(Format("Cannot assign a %s to a TPicture", Source->ClassName().c_str()));
    copy->Assign(Source);
    return copy;
}

void TPicture::Replace(std::unique_ptr<TGraphic> Value)
{
    FGraphic = std::move(Value);
    Changed();
}

void TPicture::SetGraphic(TGraphic* Value)
{
    if (Value == FGraphic.get())
        return;
    Replace(Value ? CopyOf(Value) : nullptr);
}

TBitmap* TPicture::Bitmap()
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get()))
        return bitmap;
    auto bitmap = std::make_unique<TBitmap>();
    TBitmap* result = bitmap.get();
    Replace(std::move(bitmap));
    return result;
}

void TPicture::LoadFromFile(const std::string& FileName)
{
    const std::string ext = ExtractFileExt(FileName);
    std::unique_ptr<TGraphic> graphic;
    if (SameText(ext, ".bmp"))
        graphic = std::make_unique<TBitmap>();
    else if (SameText(ext, ".jpg") || SameText(ext, ".jpeg"))
        graphic = std::make_unique<TJPEGImage>();
    else
        throw EInvalidGraphicFormat(Format("Unknown picture file extension (%s)", ext.c_str()));
    graphic->LoadFromFile(FileName);
    Replace(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& FileName)
{
    if (FGraphic)
        FGraphic->SaveToFile(FileName);
}

void TPicture::Assign(TPersistent* Source)
{
    if (Source == nullptr) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        if (picture != this)
            SetGraphic(picture->Graphic());
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(graphic);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::Changed()
{
    if (FOnChange)
        FOnChange(this);
}
