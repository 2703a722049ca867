#include "framework/graphics/Picture.h"

#include "framework/core/Exception.h"
#include "framework/core/Filer.h"
#include "framework/core/Published.h"
#include "framework/core/Stream.h"
#include "framework/core/StrUtils.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Icon.h"
#include "framework/graphics/Jpeg.h"

#include <cstdint>
#include <string_view>
#include <utility>

IMPLEMENT_CLASS_EMPTY(TPicture)

namespace {

// The graphic kinds a picture can hold: the class name written into descriptions, the file
// extensions that choose the kind on load, and a maker. A kind deriving from another comes first.
struct TGraphicKind {
    std::string_view ClassName;
    std::string_view Extensions[2];
    std::unique_ptr<TGraphic> (*Make)();
    bool (*Is)(const TGraphic*);
};

template <class T> TGraphicKind Kind(std::string_view Ext1, std::string_view Ext2 = {})
{
    return {T::StaticClass().Name(), {Ext1, Ext2}, [] { return std::unique_ptr<TGraphic>(new T); },
            [](const TGraphic* g) { return dynamic_cast<const T*>(g) != nullptr; }};
}

const std::vector<TGraphicKind>& Kinds()
{
    static const std::vector<TGraphicKind> kinds{Kind<TJPEGImage>(".jpg", ".jpeg"), Kind<TBitmap>(".bmp"),
                                                 Kind<TIcon>(".ico")};
    return kinds;
}

const TGraphicKind* KindOf(const TGraphic* Graphic)
{
    for (const TGraphicKind& k : Kinds())
        if (k.Is(Graphic))
            return &k;
    return nullptr;
}

const TGraphicKind* KindByExtension(std::string_view Ext)
{
    for (const TGraphicKind& k : Kinds())
        for (std::string_view e : k.Extensions)
            if (!e.empty() && SameText(e, Ext))
                return &k;
    return nullptr;
}

const TGraphicKind* KindByName(std::string_view Name)
{
    for (const TGraphicKind& k : Kinds())
        if (SameText(k.ClassName, Name))
            return &k;
    return nullptr;
}

} // namespace

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

std::unique_ptr<TGraphic> TPicture::CopyOf(TGraphic* Source)
{
    const TGraphicKind* kind = KindOf(Source);
    if (kind == nullptr)
        throw EConvertError(Format("Cannot assign a %s to a TPicture", Source->ClassName().c_str()));
    std::unique_ptr<TGraphic> copy = kind->Make();
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
    const TGraphicKind* kind = KindByExtension(ext);
    if (kind == nullptr)
        throw EInvalidGraphicFormat(Format("Unknown picture file extension (%s)", ext.c_str()));
    std::unique_ptr<TGraphic> graphic = kind->Make();
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

void TPicture::DefineProperties(TFiler& Filer)
{
    TPersistent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& Stream) { ReadData(Stream); }, [this](TStream& Stream) { WriteData(Stream); },
        HasData());
}

void TPicture::ReadData(TStream& Stream)
{
    uint8_t length = 0;
    if (Stream.Read(&length, 1) != 1) {
        SetGraphic(nullptr);
        return;
    }
    std::string name(length, '\0');
    if (length == 0 || Stream.Read(name.data(), length) != length)
        throw EInvalidGraphic("Invalid picture data: the graphic class name is cut short");
    const TGraphicKind* kind = KindByName(name);
    if (kind == nullptr)
        throw EInvalidGraphicFormat(Format("Unknown graphic class %s in picture data", name.c_str()));
    std::unique_ptr<TGraphic> graphic = kind->Make();
    graphic->LoadFromStream(Stream);
    Replace(std::move(graphic));
}

void TPicture::WriteData(TStream& Stream)
{
    if (!HasData())
        return;
    const TGraphicKind* kind = KindOf(FGraphic.get());
    if (kind == nullptr)
        throw EWriteError(Format("A %s cannot be written as picture data", FGraphic->ClassName().c_str()));
    const auto length = static_cast<uint8_t>(kind->ClassName.size());
    Stream.WriteBuffer(&length, 1);
    Stream.WriteBuffer(kind->ClassName.data(), length);
    FGraphic->SaveToStream(Stream);
}

void TPicture::Changed()
{
    if (FOnChange)
        FOnChange(this);
}
