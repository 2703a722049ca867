// JPEG images and pictures on real GDI: JPEG data made here with libjpeg and decoded back, grayscale
// files, corrupt data that must raise and leave nothing behind, drawing onto a bitmap, round trips
// of the original bytes, and TPicture choosing the graphic kind by file extension.
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Jpeg.h"
#include "framework/graphics/Picture.h"

#include "framework/core/FormReader.h"
#include "framework/core/FormWriter.h"
#include "framework/core/Published.h"
#include "framework/core/Stream.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

constexpr int W = 16;
constexpr int H = 8;
constexpr int Tolerance = 16;

// Encodes Rows (Width * Components bytes each, R,G,B or gray) at quality 95.
std::vector<uint8_t> EncodeJpeg(int Width, int Height, int Components, const std::vector<uint8_t>& Pixels)
{
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(Width);
    info.image_height = static_cast<JDIMENSION>(Height);
    info.input_components = Components;
    info.in_color_space = Components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(Pixels.data()) +
                       static_cast<size_t>(info.next_scanline) * static_cast<size_t>(Width * Components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> result(out, out + size);
    std::free(out);
    return result;
}

// 16 x 8: the left half red, the right half blue.
std::vector<uint8_t> RedBlueJpeg()
{
    std::vector<uint8_t> rgb(static_cast<size_t>(W * H * 3));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t* p = rgb.data() + (y * W + x) * 3;
            p[0] = x < W / 2 ? 255 : 0;
            p[1] = 0;
            p[2] = x < W / 2 ? 0 : 255;
        }
    return EncodeJpeg(W, H, 3, rgb);
}

bool Near(int a, int b) { return std::abs(a - b) <= Tolerance; }

// Checks a colour (0x00BBGGRR) against the expected R, G, B.
::testing::AssertionResult ColourNear(TColor c, int r, int g, int b)
{
    const int cr = static_cast<int>(c & 0xFF);
    const int cg = static_cast<int>((c >> 8) & 0xFF);
    const int cb = static_cast<int>((c >> 16) & 0xFF);
    if (Near(cr, r) && Near(cg, g) && Near(cb, b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << cr << "," << cg << "," << cb << "), expected (" << r
                                         << "," << g << "," << b << ")";
}

void ExpectRedBlue(TBitmap& bitmap, int width, int height)
{
    ASSERT_EQ(bitmap.Width(), width);
    ASSERT_EQ(bitmap.Height(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Keep clear of the edge between the halves, where compression blurs (one source
            // pixel either side, however wide it is drawn).
            const int margin = width / W;
            if (x >= width / 2 - margin && x < width / 2 + margin)
                continue;
            if (x < width / 2)
                EXPECT_TRUE(ColourNear(bitmap.PixelColor(x, y), 255, 0, 0)) << x << "," << y;
            else
                EXPECT_TRUE(ColourNear(bitmap.PixelColor(x, y), 0, 0, 255)) << x << "," << y;
        }
}

void LoadJpeg(TJPEGImage& image, const std::vector<uint8_t>& bytes)
{
    TMemoryStream stream;
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
    image.LoadFromStream(stream);
}

std::string TempFile(const std::string& name)
{
    char dir[MAX_PATH];
    if (GetTempPathA(MAX_PATH, dir) == 0)
        return name;
    return std::string(dir) + name;
}

void WriteBytes(const std::string& file, const std::vector<uint8_t>& bytes)
{
    TFileStream stream(file, fmCreate);
    stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

// The bytes in use on every heap of the process. The C runtime's malloc (and so libjpeg's
// memory) comes from one of them.
int64_t HeapBytesInUse()
{
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    int64_t total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

std::vector<std::vector<uint8_t>> CorruptJpegs()
{
    const std::vector<uint8_t> good = RedBlueJpeg();
    std::vector<std::vector<uint8_t>> bad;
    bad.push_back({});                                        // nothing at all
    bad.push_back({0xFF, 0xD8});                              // a start marker and no header
    bad.push_back(std::vector<uint8_t>(good.begin(), good.begin() + 40)); // header cut short
    std::vector<uint8_t> random(500);
    uint32_t seed = 12345;
    for (auto& b : random) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<uint8_t>(seed >> 16);
    }
    bad.push_back(random); // no JPEG at all
    std::vector<uint8_t> garbage(good.begin(), good.begin() + 2);
    garbage.insert(garbage.end(), random.begin(), random.end()); // a valid start, then garbage
    bad.push_back(garbage);
    return bad;
}

} // namespace

TEST(JpegImageTest, DecodesTwoFlatHalves)
{
    TJPEGImage image;
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.Width(), 0);
    LoadJpeg(image, RedBlueJpeg());
    EXPECT_FALSE(image.Empty());
    EXPECT_EQ(image.Width(), W);
    EXPECT_EQ(image.Height(), H);
    ASSERT_NE(image.Bitmap(), nullptr);
    EXPECT_EQ(image.Bitmap()->PixelFormat(), pf24bit);
    ExpectRedBlue(*image.Bitmap(), W, H);
}

TEST(JpegImageTest, GrayscaleComesOutAsRgb)
{
    std::vector<uint8_t> gray(static_cast<size_t>(W * H));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            gray[static_cast<size_t>(y * W + x)] = x < W / 2 ? 40 : 200;
    TJPEGImage image;
    LoadJpeg(image, EncodeJpeg(W, H, 1, gray));
    ASSERT_EQ(image.Width(), W);
    EXPECT_EQ(image.Bitmap()->PixelFormat(), pf24bit);
    EXPECT_TRUE(ColourNear(image.Bitmap()->PixelColor(1, 1), 40, 40, 40));
    EXPECT_TRUE(ColourNear(image.Bitmap()->PixelColor(W - 2, H - 2), 200, 200, 200));
    const uint8_t* p = image.Bitmap()->ScanLine(2) + 3 * 2;
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
}

TEST(JpegImageTest, CorruptDataRaisesAndKeepsTheImage)
{
    const std::vector<uint8_t> good = RedBlueJpeg();
    TJPEGImage image;
    LoadJpeg(image, good);
    TBitmap* before = image.Bitmap();
    int n = 0;
    for (const auto& bytes : CorruptJpegs()) {
        SCOPED_TRACE(n++);
        try {
            LoadJpeg(image, bytes);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message().rfind("JPEG error: ", 0), 0u) << e.Message();
            EXPECT_GT(e.Message().size(), std::string("JPEG error: ").size()) << e.Message();
        }
        EXPECT_EQ(image.Bitmap(), before);
        EXPECT_EQ(image.Data(), good);
        ExpectRedBlue(*image.Bitmap(), W, H);
    }
    TJPEGImage empty;
    EXPECT_THROW(LoadJpeg(empty, {}), EInvalidGraphic);
    EXPECT_TRUE(empty.Empty());
}

TEST(JpegImageTest, FailedDecodesLeaveNoMemoryBehind)
{
    const auto bad = CorruptJpegs();
    TJPEGImage image;
    // A first round so one-time allocations (gtest, the runtime) are out of the way.
    for (const auto& bytes : bad)
        EXPECT_THROW(LoadJpeg(image, bytes), EInvalidGraphic);
    const int64_t before = HeapBytesInUse();
    if (before == 0)
        GTEST_SKIP() << "HeapWalk counts nothing here";
    for (int i = 0; i < 300; ++i)
        for (const auto& bytes : bad)
            ASSERT_THROW(LoadJpeg(image, bytes), EInvalidGraphic);
    // Each decompressor takes well over 10 KB; 1500 leaked ones would be megabytes.
    EXPECT_LT(HeapBytesInUse() - before, 64 * 1024);
}

TEST(JpegImageTest, DrawAndStretchDrawOntoABitmap)
{
    TJPEGImage image;
    LoadJpeg(image, RedBlueJpeg());
    TBitmap target(W, H, pf24bit);
    image.Draw(*target.Canvas(), 0, 0);
    ExpectRedBlue(target, W, H);

    TBitmap big(W * 2, H * 2, pf32bit);
    image.StretchDraw(*big.Canvas(), RECT{0, 0, W * 2, H * 2});
    ExpectRedBlue(big, W * 2, H * 2);
}

TEST(JpegImageTest, SavesTheOriginalBytes)
{
    const std::vector<uint8_t> good = RedBlueJpeg();
    TJPEGImage image;
    TMemoryStream nothing;
    image.SaveToStream(nothing);
    EXPECT_EQ(nothing.Size(), 0);

    // Loading starts at the stream's position.
    TMemoryStream stream;
    stream.WriteBuffer("xyz", 3);
    stream.WriteBuffer(good.data(), static_cast<int32_t>(good.size()));
    stream.SetPosition(3);
    image.LoadFromStream(stream);
    TMemoryStream saved;
    image.SaveToStream(saved);
    ASSERT_EQ(saved.Size(), static_cast<int64_t>(good.size()));
    const auto* bytes = static_cast<const uint8_t*>(saved.Memory());
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + saved.Size()), good);

    const std::string file = TempFile("picturetest-save.jpg");
    image.SaveToFile(file);
    TJPEGImage loaded;
    loaded.LoadFromFile(file);
    DeleteFileA(file.c_str());
    EXPECT_EQ(loaded.Data(), good);
    ExpectRedBlue(*loaded.Bitmap(), W, H);
}

TEST(JpegImageTest, AssignCopiesAndDecodesAgain)
{
    TJPEGImage source;
    LoadJpeg(source, RedBlueJpeg());
    TJPEGImage copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Data(), source.Data());
    EXPECT_NE(copy.Bitmap(), source.Bitmap());
    ExpectRedBlue(*copy.Bitmap(), W, H);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_TRUE(copy.Data().empty());
    TBitmap bitmap(2, 2);
    EXPECT_THROW(copy.Assign(&bitmap), EConvertError);
}

namespace {

struct TChangeCounter : TObject {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
};

TBitmapImage SmallImage()
{
    TBitmapImage image;
    image.Create(5, 3, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            uint8_t* p = image.Row(y) + x * 3;
            p[0] = static_cast<uint8_t>(10 * x);
            p[1] = static_cast<uint8_t>(20 * y);
            p[2] = 99;
        }
    return image;
}

} // namespace

TEST(PictureTest, LoadFromFileByExtension)
{
    const std::string jpg = TempFile("picturetest-upper.JPG");
    const std::string jpeg = TempFile("picturetest-long.jpeg");
    const std::string bmp = TempFile("picturetest-codec.bmp");
    const std::string gif = TempFile("picturetest-other.gif");
    const std::vector<uint8_t> good = RedBlueJpeg();
    WriteBytes(jpg, good);
    WriteBytes(jpeg, good);
    const std::string bmpBytes = EncodeBitmap(SmallImage());
    WriteBytes(bmp, std::vector<uint8_t>(bmpBytes.begin(), bmpBytes.end()));
    WriteBytes(gif, good);

    TPicture picture;
    TChangeCounter counter;
    picture.SetOnChange(BindMethod<&TChangeCounter::Changed>(&counter));
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);

    picture.LoadFromFile(jpg);
    EXPECT_EQ(counter.Count, 1);
    ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), W);
    EXPECT_EQ(picture.Height(), H);

    picture.LoadFromFile(jpeg);
    EXPECT_EQ(counter.Count, 2);
    ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);

    picture.LoadFromFile(bmp);
    EXPECT_EQ(counter.Count, 3);
    auto* loaded = dynamic_cast<TBitmap*>(picture.Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(picture.Width(), 5);
    EXPECT_EQ(picture.Height(), 3);
    EXPECT_EQ(loaded->PixelColor(4, 2), static_cast<TColor>(99 | 40 << 8 | 40 << 16));

    TGraphic* kept = picture.Graphic();
    try {
        picture.LoadFromFile(gif);
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphicFormat& e) {
        EXPECT_EQ(e.Message(), "Unknown picture file extension (.gif)");
    }
    EXPECT_EQ(picture.Graphic(), kept);
    EXPECT_EQ(counter.Count, 3);

    // A file that does not decode as its extension says keeps the old graphic too.
    WriteBytes(jpg, std::vector<uint8_t>(good.begin(), good.begin() + 30));
    EXPECT_THROW(picture.LoadFromFile(jpg), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(TempFile("picturetest-missing.bmp")), EFOpenError);
    EXPECT_EQ(picture.Graphic(), kept);
    EXPECT_EQ(counter.Count, 3);

    for (const auto& f : {jpg, jpeg, bmp, gif})
        DeleteFileA(f.c_str());
}

TEST(PictureTest, BitmapReplacesOtherKinds)
{
    TPicture picture;
    TChangeCounter counter;
    picture.SetOnChange(BindMethod<&TChangeCounter::Changed>(&counter));
    TBitmap* first = picture.Bitmap();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Empty());
    EXPECT_EQ(counter.Count, 1);
    EXPECT_EQ(picture.Bitmap(), first);
    EXPECT_EQ(counter.Count, 1);

    TJPEGImage jpeg;
    LoadJpeg(jpeg, RedBlueJpeg());
    picture.Assign(&jpeg);
    EXPECT_EQ(counter.Count, 2);
    ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    TBitmap* replaced = picture.Bitmap();
    EXPECT_EQ(counter.Count, 3);
    EXPECT_TRUE(replaced->Empty());
    EXPECT_EQ(picture.Graphic(), replaced);
}

TEST(PictureTest, AssignMakesDeepCopies)
{
    TBitmap bitmap;
    TMemoryStream stream;
    SaveBitmapToStream(stream, SmallImage());
    stream.SetPosition(0);
    bitmap.LoadFromStream(stream);

    TPicture picture;
    picture.Assign(&bitmap);
    auto* copy = dynamic_cast<TBitmap*>(picture.Graphic());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, &bitmap);
    EXPECT_EQ(copy->PixelColor(4, 2), bitmap.PixelColor(4, 2));
    bitmap.Canvas()->SetPixels(4, 2, clWhite);
    EXPECT_NE(copy->PixelColor(4, 2), bitmap.PixelColor(4, 2));

    TJPEGImage jpeg;
    LoadJpeg(jpeg, RedBlueJpeg());
    TPicture other;
    other.Assign(&jpeg);
    picture.Assign(&other);
    auto* jpegCopy = dynamic_cast<TJPEGImage*>(picture.Graphic());
    ASSERT_NE(jpegCopy, nullptr);
    EXPECT_NE(jpegCopy, other.Graphic());
    EXPECT_EQ(jpegCopy->Data(), jpeg.Data());
    ExpectRedBlue(*jpegCopy->Bitmap(), W, H);

    picture.Assign(nullptr);
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
}

namespace {

// A component with a picture, as an image control has one.
class TPictureHolder : public TComponent {
    DECLARE_CLASS(TPictureHolder, TComponent)
public:
    explicit TPictureHolder(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }

private:
    std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
    std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
};

IMPLEMENT_CLASS(TPictureHolder)
void TPictureHolder::Publish(TClassBuilder<TPictureHolder>& b)
{
    b.Property("Picture", &TPictureHolder::Picture, &TPictureHolder::SetPicture)
        .Property("Glyph", &TPictureHolder::Glyph, &TPictureHolder::SetGlyph);
}

// Picture data as a description block holds it: the class-name tag, then Bytes.
std::vector<uint8_t> Tagged(const std::string& ClassName, const std::vector<uint8_t>& Bytes)
{
    std::vector<uint8_t> data(1 + ClassName.size() + Bytes.size());
    data[0] = static_cast<uint8_t>(ClassName.size());
    std::copy(ClassName.begin(), ClassName.end(), data.begin() + 1);
    std::copy(Bytes.begin(), Bytes.end(), data.begin() + 1 + static_cast<std::ptrdiff_t>(ClassName.size()));
    return data;
}

void ReadData(TPicture& Picture, const std::vector<uint8_t>& Data)
{
    TMemoryStream stream;
    if (!Data.empty())
        stream.WriteBuffer(Data.data(), static_cast<int32_t>(Data.size()));
    stream.SetPosition(0);
    Picture.ReadData(stream);
}

} // namespace

TEST(PictureTest, DataTravelsThroughADescription)
{
    TPictureHolder source;
    source.SetName("Holder");
    TJPEGImage jpeg;
    LoadJpeg(jpeg, RedBlueJpeg());
    source.Picture()->SetGraphic(&jpeg);
    const std::string text = WriteComponentText(&source);
    EXPECT_NE(text.find("Picture.Data = {"), std::string::npos) << text;

    TPictureHolder target;
    ReadComponentText(text, &target);
    auto* read = dynamic_cast<TJPEGImage*>(target.Picture()->Graphic());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Data(), jpeg.Data()); // the JPEG bytes, unchanged
    ExpectRedBlue(*read->Bitmap(), W, H);

    // A bitmap comes back pixel for pixel.
    TBitmap bitmap;
    TMemoryStream stream;
    SaveBitmapToStream(stream, SmallImage());
    stream.SetPosition(0);
    bitmap.LoadFromStream(stream);
    source.Picture()->SetGraphic(&bitmap);
    TPictureHolder second;
    ReadComponentText(WriteComponentText(&source), &second);
    auto* readBitmap = dynamic_cast<TBitmap*>(second.Picture()->Graphic());
    ASSERT_NE(readBitmap, nullptr);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(readBitmap->PixelColor(x, y), bitmap.PixelColor(x, y));

    // A bitmap property carries its file the same way, without a class tag.
    source.Glyph()->Assign(&bitmap);
    const std::string withGlyph = WriteComponentText(&source);
    const size_t data = withGlyph.find("Glyph.Data = {");
    ASSERT_NE(data, std::string::npos) << withGlyph;
    EXPECT_EQ(withGlyph.find_first_not_of(" \r\n", data + 14), withGlyph.find("424D", data)); // "BM"
    EXPECT_EQ(withGlyph.find("Glyph.Width"), std::string::npos);
    TPictureHolder third;
    ReadComponentText(withGlyph, &third);
    ASSERT_FALSE(third.Glyph()->Empty());
    EXPECT_EQ(third.Glyph()->PixelColor(4, 2), bitmap.PixelColor(4, 2));

    // No graphic, no data.
    source.Picture()->SetGraphic(nullptr);
    source.Glyph()->SetSize(0, 0);
    EXPECT_EQ(WriteComponentText(&source).find("Picture.Data"), std::string::npos);
    EXPECT_EQ(WriteComponentText(&source).find("Glyph.Data"), std::string::npos);
}

TEST(PictureTest, BadDataRaisesAndKeepsThePicture)
{
    TPicture picture;
    ReadData(picture, Tagged("TJPEGImage", RedBlueJpeg()));
    TGraphic* kept = picture.Graphic();
    ASSERT_NE(kept, nullptr);

    const std::vector<uint8_t> shortTag{10, 'T', 'B', 'i'};
    std::vector<uint8_t> corrupt = RedBlueJpeg();
    corrupt.resize(corrupt.size() / 3);
    const std::vector<uint8_t> badBitmap = Tagged("TBitmap", {'B', 'M', 1, 2, 3});
    for (const std::vector<uint8_t>* data : {&shortTag, &badBitmap}) {
        EXPECT_THROW(ReadData(picture, *data), EInvalidGraphic);
        EXPECT_EQ(picture.Graphic(), kept);
    }
    EXPECT_THROW(ReadData(picture, Tagged("TJPEGImage", corrupt)), EInvalidGraphic);
    EXPECT_THROW(ReadData(picture, Tagged("TMetafile", {1, 2, 3})), EInvalidGraphicFormat);
    EXPECT_THROW(ReadData(picture, std::vector<uint8_t>{0}), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), kept);

    // An empty block is no picture.
    ReadData(picture, {});
    EXPECT_EQ(picture.Graphic(), nullptr);
}
