#include "framework/graphics/Jpeg.h"

#include "framework/core/Exception.h"
#include "framework/core/Published.h"
#include "framework/core/Stream.h"
#include "framework/graphics/Bitmap.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

extern "C" {
#include <jpeglib.h>
}

#ifndef JMSG_LENGTH_MAX
#define JMSG_LENGTH_MAX 200
#endif

namespace {

// libjpeg's default error_exit ends the process. Ours keeps the message and jumps back to the
// decoder, which cleans up and reports it. Nothing in here has a destructor, so the jump skips
// nothing that matters.
struct TJpegErrorManager {
    jpeg_error_mgr Base; // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr Info)
{
    auto* err = reinterpret_cast<TJpegErrorManager*>(Info->err);
    (*Info->err->format_message)(Info, err->Message);
    std::longjmp(err->Jump, 1);
}

// Warnings (stray bytes between markers, data ending early) would go to stderr; the image is
// still usable, so they are dropped.
extern "C" void JpegOutputMessage(j_common_ptr) {}

// Never throws: a failure to get memory is reported like a libjpeg error.
bool Allocate(std::vector<uint8_t>& Buffer, size_t Size) noexcept
{
    try {
        Buffer.resize(Size);
        return true;
    } catch (...) {
        return false;
    }
}

// Decodes Data into packed B,G,R rows (Width * 3 bytes each, top-down). On failure returns false
// with Message set; the decompressor is destroyed on every path. Only plain data lives in this
// frame while libjpeg may jump out of it.
bool DecodeJpeg(const uint8_t* Data, size_t Size, std::vector<uint8_t>& Pixels, int& Width, int& Height,
                char* Message)
{
    jpeg_decompress_struct info;
    TJpegErrorManager err;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&err.Base);
    err.Base.error_exit = JpegErrorExit;
    err.Base.output_message = JpegOutputMessage;
    err.Message[0] = '\0';

    if (setjmp(err.Jump) != 0) {
        jpeg_destroy_decompress(&info);
        std::snprintf(Message, JMSG_LENGTH_MAX, "%s", err.Message);
        return false;
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, const_cast<unsigned char*>(Data), static_cast<unsigned long>(Size));
    jpeg_read_header(&info, TRUE);
    // libjpeg-turbo writes B,G,R itself, from colour and from grayscale files alike.
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);

    const uint64_t stride = static_cast<uint64_t>(info.output_width) * 3;
    const uint64_t total = stride * info.output_height;
    if (info.output_components != 3 || total > (uint64_t(1) << 30) ||
        !Allocate(Pixels, static_cast<size_t>(total))) {
        jpeg_destroy_decompress(&info);
        std::snprintf(Message, JMSG_LENGTH_MAX, "%s",
                      info.output_components != 3 ? "unsupported colour format" : "image too large");
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = Pixels.data() + static_cast<size_t>(stride) * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    Width = static_cast<int>(info.output_width);
    Height = static_cast<int>(info.output_height);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

IMPLEMENT_CLASS_EMPTY(TJPEGImage)

TJPEGImage::TJPEGImage() : FBitmap(std::make_unique<TBitmap>()) {}

TJPEGImage::~TJPEGImage() = default;

int TJPEGImage::Width() const { return FBitmap->Width(); }
int TJPEGImage::Height() const { return FBitmap->Height(); }
bool TJPEGImage::Empty() const { return FBitmap->Empty(); }

void TJPEGImage::Draw(TCanvas& Dest, int X, int Y) { FBitmap->Draw(Dest, X, Y); }

void TJPEGImage::StretchDraw(TCanvas& Dest, const RECT& Rect) { FBitmap->StretchDraw(Dest, Rect); }

void TJPEGImage::LoadFromStream(TStream& Stream)
{
    const int64_t left = Stream.Size() - Stream.Position();
    if (left > TMemoryStream::MaxSize)
        throw EInvalidGraphic("JPEG error: file too large");
    std::vector<uint8_t> data(static_cast<size_t>(left > 0 ? left : 0));
    if (!data.empty())
        Stream.ReadBuffer(data.data(), static_cast<int32_t>(data.size()));
    LoadFromData(data.data(), data.size());
}

void TJPEGImage::LoadFromData(const uint8_t* Data, size_t Size)
{
    std::vector<uint8_t> pixels;
    int width = 0;
    int height = 0;
    char message[JMSG_LENGTH_MAX] = {};
    if (!DecodeJpeg(Data, Size, pixels, width, height, message))
        throw EInvalidGraphic(std::string("JPEG error: ") + message);

    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    const size_t stride = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(bitmap->ScanLine(y), pixels.data() + stride * static_cast<size_t>(y), stride);

    std::vector<uint8_t> bytes(Data, Data + Size);
    FBitmap = std::move(bitmap);
    FData = std::move(bytes);
}

void TJPEGImage::SaveToStream(TStream& Stream)
{
    if (!FData.empty())
        Stream.WriteBuffer(FData.data(), static_cast<int32_t>(FData.size()));
}

void TJPEGImage::Assign(TPersistent* Source)
{
    if (Source == nullptr) {
        FBitmap = std::make_unique<TBitmap>();
        FData.clear();
        return;
    }
    auto* source = dynamic_cast<TJPEGImage*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    if (source->FData.empty()) {
        Assign(nullptr);
        return;
    }
    const std::vector<uint8_t> bytes = source->FData;
    LoadFromData(bytes.data(), bytes.size());
}
