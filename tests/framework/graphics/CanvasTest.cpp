// The canvas on real device contexts: pixels read back from DIB sections, the state a DC carries
// while bound, foreign DCs given back as they were found, and no GDI object left behind.
#include "framework/graphics/Canvas.h"

#include "framework/core/Properties.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A memory DC with a 32-bit top-down DIB section selected, its pixels readable directly.
class TDibSurface {
public:
    TDibSurface(int width, int height) : FWidth(width), FHeight(height), FDC(nullptr)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        FBitmap.reset(CreateDIBSection(FDC.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        FBits = static_cast<uint32_t*>(bits);
        if (FBitmap)
            FSelected = TSelectObject(FDC.get(), FBitmap);
    }
    bool Valid() const { return FDC && FBitmap && FBits != nullptr && FSelected; }
    HDC DC() const { return FDC.get(); }
    HBITMAP Bitmap() const { return FBitmap.get(); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

    // The pixel as a COLORREF (the DIB holds 0x00RRGGBB).
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const uint32_t v = FBits[y * FWidth + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    void Fill(COLORREF color)
    {
        GdiFlush();
        const uint32_t v = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        for (int i = 0; i < FWidth * FHeight; ++i)
            FBits[i] = v;
    }
    int Count(COLORREF color, const RECT& r) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += At(x, y) == color ? 1 : 0;
        return n;
    }

private:
    int FWidth, FHeight;
    TMemoryDC FDC;
    TBitmapHandle FBitmap;
    uint32_t* FBits = nullptr;
    TSelectObject FSelected;
};

// What a DC has selected and set, for before/after comparisons.
struct TDCState {
    HGDIOBJ Font, Brush, Pen, Bitmap;
    COLORREF TextColor, BkColor;
    int BkMode, ROP2;

    static TDCState Of(HDC dc)
    {
        return {GetCurrentObject(dc, OBJ_FONT), GetCurrentObject(dc, OBJ_BRUSH), GetCurrentObject(dc, OBJ_PEN),
                GetCurrentObject(dc, OBJ_BITMAP), GetTextColor(dc), GetBkColor(dc), GetBkMode(dc), GetROP2(dc)};
    }
    friend bool operator==(const TDCState&, const TDCState&) = default;
};

// A canvas that makes its own DC (as a bitmap's canvas will): a 16x16 DIB section.
class TOwnSurfaceCanvas : public TCanvas {
public:
    ~TOwnSurfaceCanvas() override { SetHandle(nullptr); }
    TDibSurface* Surface() const { return FSurface.get(); }
    int Created = 0;

protected:
    void CreateHandle() override
    {
        ++Created;
        FSurface = std::make_unique<TDibSurface>(16, 16);
        SetHandle(FSurface->DC());
    }

private:
    std::unique_ptr<TDibSurface> FSurface;
};

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

} // namespace

TEST(CanvasTest, FillRectFillsExactlyTheRectangleWithTheBrush)
{
    TDibSurface surface(12, 12);
    ASSERT_TRUE(surface.Valid());
    surface.Fill(White);
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(RECT{2, 3, 7, 9});
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 2 && x < 7 && y >= 3 && y < 9;
            EXPECT_EQ(surface.At(x, y), inside ? RGB(255, 0, 0) : White) << x << "," << y;
        }
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(RECT{0, 0, 1, 1});
    EXPECT_EQ(surface.At(0, 0), GetSysColor(COLOR_BTNFACE));
}

TEST(CanvasTest, ClearBrushLeavesThePixelsAlone)
{
    TDibSurface surface(10, 10);
    ASSERT_TRUE(surface.Valid());
    surface.Fill(RGB(0, 128, 0));
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    canvas.Brush()->SetStyle(bsClear);
    canvas.FillRect(RECT{0, 0, 10, 10});
    EXPECT_EQ(surface.Count(RGB(0, 128, 0), RECT{0, 0, 10, 10}), 100);

    // A rectangle is then only its outline.
    canvas.Rectangle(1, 1, 9, 9);
    EXPECT_EQ(surface.At(1, 1), Black);
    EXPECT_EQ(surface.At(8, 8), Black);
    EXPECT_EQ(surface.At(9, 9), RGB(0, 128, 0));
    EXPECT_EQ(surface.Count(RGB(0, 128, 0), RECT{2, 2, 8, 8}), 36);
}

TEST(CanvasTest, FrameRectAndRectangleAndEllipse)
{
    TDibSurface surface(10, 10);
    ASSERT_TRUE(surface.Valid());
    surface.Fill(White);
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    canvas.Brush()->SetColor(clBlue);
    canvas.FrameRect(RECT{0, 0, 5, 5});
    EXPECT_EQ(surface.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(surface.At(4, 4), RGB(0, 0, 255));
    EXPECT_EQ(surface.At(2, 2), White);
    EXPECT_EQ(surface.At(5, 5), White);

    surface.Fill(White);
    canvas.Pen()->SetColor(clRed);
    canvas.Brush()->SetColor(clLime);
    canvas.Rectangle(RECT{2, 2, 8, 8});
    EXPECT_EQ(surface.At(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(surface.At(7, 5), RGB(255, 0, 0));
    EXPECT_EQ(surface.At(8, 5), White);
    EXPECT_EQ(surface.Count(RGB(0, 255, 0), RECT{3, 3, 7, 7}), 16);

    surface.Fill(White);
    canvas.Ellipse(0, 0, 10, 10);
    EXPECT_EQ(surface.At(5, 5), RGB(0, 255, 0));
    EXPECT_EQ(surface.At(0, 0), White);
}

TEST(CanvasTest, LineToLeavesOutTheEndPoint)
{
    TDibSurface surface(10, 10);
    ASSERT_TRUE(surface.Valid());
    surface.Fill(White);
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    canvas.MoveTo(1, 5);
    canvas.LineTo(8, 5);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(surface.At(x, 5), x >= 1 && x < 8 ? Black : White) << x;
    EXPECT_EQ(canvas.PenPos().x, 8);
    EXPECT_EQ(canvas.PenPos().y, 5);

    canvas.SetPenPos(POINT{2, 0});
    canvas.LineTo(2, 4);
    EXPECT_EQ(surface.At(2, 3), Black);
    EXPECT_EQ(surface.At(2, 4), White);

    surface.Fill(White);
    canvas.Polyline({POINT{0, 0}, POINT{4, 0}, POINT{4, 4}});
    EXPECT_EQ(surface.At(0, 0), Black);
    EXPECT_EQ(surface.At(4, 0), Black);
    EXPECT_EQ(surface.At(4, 3), Black);
    EXPECT_EQ(surface.At(4, 4), White);
}

TEST(CanvasTest, HandleCarriesTheObjectsAndTheFontColor)
{
    TDibSurface surface(4, 4);
    ASSERT_TRUE(surface.Valid());
    TCanvas canvas;
    canvas.Font()->SetColor(clRed);
    canvas.SetHandle(surface.DC());
    HDC dc = canvas.Handle();
    EXPECT_EQ(dc, surface.DC());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), canvas.Brush()->Handle());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), canvas.Pen()->Handle());
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetBkColor(dc), White);

    // Changes go into the DC at once.
    canvas.Font()->SetColor(clBtnText);
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_BTNTEXT));
    const HFONT oldFont = canvas.Font()->Handle();
    canvas.Font()->SetStyle({fsBold});
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());
    EXPECT_EQ(GetObjectType(oldFont), 0u) << "the replaced font was not deleted";
    canvas.Brush()->SetColor(clYellow);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), canvas.Brush()->Handle());
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 0));
    canvas.Brush()->SetStyle(bsClear);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    canvas.Brush()->SetStyle(bsCross);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    canvas.Pen()->SetWidth(2);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), canvas.Pen()->Handle());
    canvas.Pen()->SetMode(pmXor);
    EXPECT_EQ(GetROP2(dc), R2_XORPEN);

    // Whoever takes the handle draws with the canvas's font.
    canvas.Font()->SetHeight(-30);
    RECT r{0, 0, 0, 0};
    DrawTextA(canvas.Handle(), "Hello", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.bottom - r.top, canvas.TextHeight("Hello"));
    EXPECT_EQ(r.right - r.left, canvas.TextWidth("Hello"));
    EXPECT_GE(r.bottom - r.top, 30);
}

TEST(CanvasTest, AssigningAFontPutsItIntoTheDC)
{
    TDibSurface surface(4, 4);
    ASSERT_TRUE(surface.Valid());
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    TFont caption;
    caption.SetName("Arial");
    caption.SetHeight(-19);
    caption.SetStyle({fsBold});
    caption.SetColor(clCaptionText);
    canvas.SetFont(&caption);
    HDC dc = canvas.Handle();
    const HGDIOBJ selected = GetCurrentObject(dc, OBJ_FONT);
    EXPECT_EQ(selected, canvas.Font()->Handle());
    LOGFONTA lf{};
    ASSERT_NE(GetObjectA(selected, sizeof lf, &lf), 0);
    EXPECT_EQ(lf.lfHeight, -19);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_CAPTIONTEXT));

    // By name, as run-time property access and descriptions reach it.
    SetOrdProp(&canvas, "Font.Height", -25);
    EXPECT_EQ(canvas.Font()->Height(), -25);
    ASSERT_NE(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf), 0);
    EXPECT_EQ(lf.lfHeight, -25);
    SetEnumProp(&canvas, "Brush.Style", "bsClear");
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
}

TEST(CanvasTest, AForeignDCIsGivenBackAsItWasFound)
{
    TDibSurface surface(8, 8);
    ASSERT_TRUE(surface.Valid());
    HDC dc = surface.DC();
    TFontHandle ownFont(CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    TBrushHandle ownBrush(CreateSolidBrush(RGB(1, 2, 3)));
    TPenHandle ownPen(CreatePen(PS_DOT, 1, RGB(4, 5, 6)));
    TSelectObject f(dc, ownFont), b(dc, ownBrush), p(dc, ownPen);
    SetTextColor(dc, RGB(7, 8, 9));
    SetBkColor(dc, RGB(10, 11, 12));
    SetBkMode(dc, TRANSPARENT);
    SetROP2(dc, R2_NOT);
    const TDCState before = TDCState::Of(dc);
    ASSERT_EQ(before.Font, ownFont.get());

    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        EXPECT_FALSE(TDCState::Of(dc) == before);
        canvas.Font()->SetStyle({fsItalic});
        canvas.Brush()->SetColor(clRed);
        canvas.Pen()->SetColor(clBlue);
        canvas.FillRect(RECT{0, 0, 8, 8});
        canvas.TextOut(0, 0, "x");
        canvas.SetHandle(nullptr);
        EXPECT_TRUE(TDCState::Of(dc) == before);
        EXPECT_FALSE(canvas.HandleAllocated());

        // Bound again, then given up by binding elsewhere.
        canvas.SetHandle(dc);
        TDibSurface other(2, 2);
        ASSERT_TRUE(other.Valid());
        const TDCState otherBefore = TDCState::Of(other.DC());
        canvas.SetHandle(other.DC());
        EXPECT_TRUE(TDCState::Of(dc) == before);
        EXPECT_EQ(GetCurrentObject(other.DC(), OBJ_FONT), canvas.Font()->Handle());
        canvas.SetHandle(nullptr);
        EXPECT_TRUE(TDCState::Of(other.DC()) == otherBefore);

        // A canvas that goes away while bound gives the DC back too.
        canvas.SetHandle(dc);
    }
    EXPECT_TRUE(TDCState::Of(dc) == before);
}

TEST(CanvasTest, CopyRectCopiesExactPixels)
{
    TDibSurface source(6, 6), dest(16, 16);
    ASSERT_TRUE(source.Valid());
    ASSERT_TRUE(dest.Valid());
    TCanvas from, to;
    from.SetHandle(source.DC());
    to.SetHandle(dest.DC());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            from.SetPixels(x, y, static_cast<TColor>(RGB(x * 40, y * 40, 200 - x * y)));
    EXPECT_EQ(from.Pixels(3, 4), static_cast<TColor>(RGB(120, 160, 188)));
    dest.Fill(White);

    EXPECT_EQ(to.CopyMode(), static_cast<DWORD>(SRCCOPY));
    to.CopyRect(RECT{5, 5, 9, 9}, from, RECT{1, 1, 5, 5});
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 5 && x < 9 && y >= 5 && y < 9;
            const COLORREF want = inside ? source.At(x - 4, y - 4) : White;
            EXPECT_EQ(dest.At(x, y), want) << x << "," << y;
        }

    // Stretched to twice the size, every source pixel becomes a 2x2 block.
    dest.Fill(White);
    to.CopyRect(RECT{0, 0, 12, 12}, from, RECT{0, 0, 6, 6});
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(dest.At(x, y), source.At(x / 2, y / 2)) << x << "," << y;

    to.SetCopyMode(NOTSRCCOPY);
    to.CopyRect(RECT{0, 0, 1, 1}, from, RECT{0, 0, 1, 1});
    EXPECT_EQ(dest.At(0, 0), (~source.At(0, 0)) & 0xFFFFFF);
}

TEST(CanvasTest, DrawAndStretchDrawABitmap)
{
    TDibSurface picture(2, 2), dest(8, 8);
    ASSERT_TRUE(picture.Valid());
    ASSERT_TRUE(dest.Valid());
    SetPixel(picture.DC(), 0, 0, RGB(255, 0, 0));
    SetPixel(picture.DC(), 1, 0, RGB(0, 255, 0));
    SetPixel(picture.DC(), 0, 1, RGB(0, 0, 255));
    SetPixel(picture.DC(), 1, 1, RGB(9, 9, 9));
    // The bitmap must not be selected anywhere else: take it out of its DC.
    TBitmapHandle spare(CreateCompatibleBitmap(picture.DC(), 1, 1));
    const HGDIOBJ bitmap = SelectObject(picture.DC(), spare.get());
    dest.Fill(White);

    TCanvas canvas;
    canvas.SetHandle(dest.DC());
    canvas.Draw(3, 4, static_cast<HBITMAP>(bitmap));
    EXPECT_EQ(dest.At(3, 4), RGB(255, 0, 0));
    EXPECT_EQ(dest.At(4, 4), RGB(0, 255, 0));
    EXPECT_EQ(dest.At(3, 5), RGB(0, 0, 255));
    EXPECT_EQ(dest.At(4, 5), RGB(9, 9, 9));
    EXPECT_EQ(dest.At(5, 5), White);

    canvas.StretchDraw(RECT{0, 0, 4, 4}, static_cast<HBITMAP>(bitmap));
    EXPECT_EQ(dest.At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(dest.At(3, 3), RGB(9, 9, 9));
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    SelectObject(picture.DC(), bitmap);
}

TEST(CanvasTest, TextIsOpaqueOnASolidBrushAndTransparentOnAClearOne)
{
    TDibSurface surface(60, 30);
    ASSERT_TRUE(surface.Valid());
    surface.Fill(RGB(0, 128, 0));
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    canvas.Font()->SetColor(clBlack);
    canvas.Font()->SetName("Arial");
    canvas.Font()->SetHeight(-16);
    canvas.Brush()->SetColor(clYellow);
    const SIZE extent = canvas.TextExtent("Wg");
    ASSERT_GT(extent.cx, 0);
    canvas.TextOut(0, 0, "Wg");
    const RECT box{0, 0, extent.cx, extent.cy};
    const int area = extent.cx * extent.cy;
    const int yellow = surface.Count(RGB(255, 255, 0), box);
    const int black = surface.Count(Black, box);
    EXPECT_GT(yellow, 0);
    EXPECT_GT(black, 0);
    EXPECT_EQ(surface.Count(RGB(0, 128, 0), box), 0) << "the background was not filled";
    EXPECT_EQ(surface.At(extent.cx + 1, 1), RGB(0, 128, 0));
    (void)area;

    surface.Fill(RGB(0, 128, 0));
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetColor(clRed);
    canvas.TextOut(0, 0, "Wg");
    EXPECT_EQ(surface.Count(RGB(255, 255, 0), box), 0);
    EXPECT_GT(surface.Count(RGB(0, 128, 0), box), 0) << "the background was painted over";
    EXPECT_GT(surface.Count(RGB(255, 0, 0), box), 0);
}

TEST(CanvasTest, TextRectClipsAndFillsBehindTheText)
{
    TDibSurface surface(40, 20);
    ASSERT_TRUE(surface.Valid());
    surface.Fill(White);
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    canvas.Brush()->SetColor(clAqua);
    canvas.TextRect(RECT{2, 2, 10, 10}, 2, 2, "WWWWWWWW");
    EXPECT_EQ(surface.At(1, 1), White);
    EXPECT_EQ(surface.At(12, 3), White) << "text went past the clipping rectangle";
    EXPECT_GT(surface.Count(RGB(0, 255, 255), RECT{2, 2, 10, 10}) + surface.Count(Black, RECT{2, 2, 10, 10}), 0);
    EXPECT_EQ(surface.Count(White, RECT{2, 2, 10, 10}), 0);
}

TEST(CanvasTest, TextMeasurementsAndDrawText)
{
    TDibSurface surface(100, 40);
    ASSERT_TRUE(surface.Valid());
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    EXPECT_EQ(canvas.TextWidth(""), 0);
    EXPECT_GT(canvas.TextWidth("WWW"), canvas.TextWidth("i"));
    SIZE direct{};
    GetTextExtentPoint32A(surface.DC(), "Close", 5, &direct);
    EXPECT_EQ(canvas.TextExtent("Close").cx, direct.cx);
    EXPECT_EQ(canvas.TextExtent("Close").cy, direct.cy);

    RECT r{0, 0, 100, 40};
    const int height = canvas.DrawText("Close", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(height, direct.cy);
    EXPECT_EQ(r.right - r.left, direct.cx);

    RECT ellipsis{0, 0, 20, 20};
    canvas.DrawText("A rather long caption", ellipsis, DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_SINGLELINE);
}

TEST(CanvasTest, PixelsReadAndWrite)
{
    TDibSurface surface(4, 4);
    ASSERT_TRUE(surface.Valid());
    surface.Fill(White);
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    canvas.SetPixels(1, 2, clPurple);
    EXPECT_EQ(surface.At(1, 2), RGB(128, 0, 128));
    EXPECT_EQ(canvas.Pixels(1, 2), clPurple);
    EXPECT_EQ(canvas.Pixels(0, 0), clWhite);
    canvas.SetPixels(0, 0, clBtnShadow);
    EXPECT_EQ(surface.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
}

TEST(CanvasTest, APlainCanvasWithoutADCRefusesToDraw)
{
    TCanvas canvas;
    EXPECT_FALSE(canvas.HandleAllocated());
    EXPECT_THROW(canvas.Handle(), EInvalidOperation);
    EXPECT_THROW(canvas.FillRect(RECT{0, 0, 1, 1}), EInvalidOperation);
    // Objects can still be set up before there is a DC.
    canvas.Font()->SetHeight(-20);
    canvas.Brush()->SetColor(clRed);
}

TEST(CanvasTest, ASubclassMakesItsOwnDCOnDemand)
{
    TOwnSurfaceCanvas canvas;
    EXPECT_FALSE(canvas.HandleAllocated());
    canvas.Brush()->SetColor(clNavy);
    canvas.FillRect(RECT{0, 0, 3, 3});
    EXPECT_EQ(canvas.Created, 1);
    ASSERT_NE(canvas.Surface(), nullptr);
    EXPECT_EQ(canvas.Handle(), canvas.Surface()->DC());
    EXPECT_EQ(canvas.Surface()->At(2, 2), RGB(0, 0, 128));
    EXPECT_EQ(canvas.Created, 1);
}

TEST(CanvasTest, OnChangeFiresAroundDrawing)
{
    TDibSurface surface(4, 4);
    ASSERT_TRUE(surface.Valid());
    struct TCounter : TObject {
        int Changing = 0, Changed = 0;
        void OnChanging(TObject*) { ++Changing; }
        void OnChanged(TObject*) { ++Changed; }
    } counter;
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    canvas.SetOnChanging(BindMethod<&TCounter::OnChanging>(&counter));
    canvas.SetOnChange(BindMethod<&TCounter::OnChanged>(&counter));
    canvas.FillRect(RECT{0, 0, 2, 2});
    canvas.LineTo(3, 3);
    EXPECT_EQ(counter.Changing, 2);
    EXPECT_EQ(counter.Changed, 2);
}

// Wine's GetGuiResources is a stub, so the count of live GDI objects is taken another way: every
// handle made along the way (the DCs, bitmaps and every font, brush and pen handle the objects
// made, replaced ones included) is noted and asked with GetObjectType once freed. Wine gives a
// reused handle slot a new generation, so a freed handle never reads as alive again.
TEST(CanvasTest, NoGdiObjectLeftAfterManyCycles)
{
    std::vector<HGDIOBJ> made;
    made.reserve(10000 * 8);
    const HBRUSH stockNull = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    for (int i = 0; i < 2000; ++i) {
        const std::size_t first = made.size();
        {
            TDibSurface surface(8, 8);
            ASSERT_TRUE(surface.Valid()) << "cycle " << i;
            made.push_back(surface.DC());
            made.push_back(surface.Bitmap());
            TCanvas canvas;
            canvas.SetHandle(surface.DC());
            made.push_back(canvas.Font()->Handle());
            made.push_back(canvas.Brush()->Handle());
            made.push_back(canvas.Pen()->Handle());
            canvas.Font()->SetStyle(i % 2 ? TFontStyles{fsBold} : TFontStyles{fsItalic});
            canvas.Brush()->SetColor(static_cast<TColor>(i & 0xFFFFFF));
            canvas.Pen()->SetWidth(1 + i % 3);
            made.push_back(canvas.Font()->Handle());
            made.push_back(canvas.Brush()->Handle());
            made.push_back(canvas.Pen()->Handle());
            canvas.FillRect(RECT{0, 0, 8, 8});
            canvas.TextOut(0, 0, "a");
            canvas.MoveTo(0, 0);
            canvas.LineTo(7, 7);
            if (i % 5 == 0) {
                canvas.Brush()->SetStyle(bsClear);
                EXPECT_EQ(canvas.Brush()->Handle(), stockNull);
                canvas.SetHandle(nullptr);
            }
        }
        for (std::size_t k = first; k < made.size(); ++k)
            ASSERT_EQ(GetObjectType(made[k]), 0u) << "cycle " << i << ", handle " << (k - first);
    }
    EXPECT_EQ(GetObjectType(stockNull), static_cast<DWORD>(OBJ_BRUSH));
    for (HGDIOBJ h : made)
        ASSERT_EQ(GetObjectType(h), 0u);
}
