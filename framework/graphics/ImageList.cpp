#include "framework/graphics/ImageList.h"

#include "framework/core/Exception.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Canvas.h"
#include "framework/graphics/Icon.h"
#include "framework/win/Handles.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Raster operations by their reverse Polish formulas (P = brush, S = source, D = destination).
constexpr DWORD RopDSna = 0x00220326;   // D and not S
constexpr DWORD RopPSDPxax = 0x00B8074A; // S ? D : P

// A 32-bit copy of Image, so that whatever comctl32 does to the bitmap it is given stays away
// from the caller's.
void CopyAs32(TBitmap& Copy, TBitmap& Image)
{
    Copy.Assign(&Image);
    Copy.SetTransparent(false);
    Copy.SetPixelFormat(pf32bit);
}

} // namespace

IMPLEMENT_CLASS(TImageList)

void TImageList::Publish(TClassBuilder<TImageList>& b)
{
    b.Property("Height", &TImageList::Height, &TImageList::SetHeight)
        .Property("Width", &TImageList::Width, &TImageList::SetWidth);
}

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

TImageList::~TImageList() { FreeHandle(); }

void TImageList::FreeHandle() noexcept
{
    if (FHandle)
        ImageList_Destroy(FHandle);
    FHandle = nullptr;
}

void TImageList::SetSize(int NewWidth, int NewHeight)
{
    if (NewWidth < 1 || NewHeight < 1)
        throw EInvalidOperation("Invalid image list size (" + std::to_string(NewWidth) + "x" +
                                std::to_string(NewHeight) + ")");
    if (NewWidth == FWidth && NewHeight == FHeight)
        return;
    const bool allocated = HandleAllocated();
    FreeHandle();
    FWidth = NewWidth;
    FHeight = NewHeight;
    if (allocated)
        Handle();
}

HIMAGELIST TImageList::Handle()
{
    if (!FHandle) {
        FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, 4, 4);
        if (!FHandle)
            throw EOutOfResources("Cannot create an image list");
    }
    return FHandle;
}

int TImageList::Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TImageList::Clear()
{
    if (FHandle)
        ImageList_RemoveAll(FHandle);
}

int TImageList::Added(int Before) const
{
    return Count() > Before ? Before : -1;
}

int TImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    if (Image == nullptr || Image->Empty())
        return -1;
    HIMAGELIST list = Handle();
    const int before = Count();
    if (Mask == nullptr || Mask->Empty()) {
        ImageList_Add(list, Image->Handle(), nullptr);
        return Added(before);
    }
    const int width = Image->Width();
    const int height = Image->Height();
    TBitmap copy;
    CopyAs32(copy, *Image);
    TBitmapHandle mono(CreateBitmap(width, height, 1, 1, nullptr));
    if (!mono)
        return -1;
    {
        TMemoryDC monoDC(nullptr);
        TMemoryDC maskDC(nullptr);
        TMemoryDC imageDC(nullptr);
        if (!monoDC || !maskDC || !imageDC)
            return -1;
        TSelectObject monoSelected(monoDC.get(), mono.get());
        TSelectObject maskSelected(maskDC.get(), Mask->Handle());
        TSelectObject imageSelected(imageDC.get(), copy.Handle());
        // Whatever the mask bitmap does not cover is opaque. Colour to monochrome: the source
        // DC's background colour (white here) becomes 1, everything else 0.
        PatBlt(monoDC.get(), 0, 0, width, height, BLACKNESS);
        SetBkColor(maskDC.get(), RGB(255, 255, 255));
        BitBlt(monoDC.get(), 0, 0, width, height, maskDC.get(), 0, 0, SRCCOPY);
        // The image is drawn by ANDing the mask in and ORing the image over it: transparent
        // pixels must be black. Monochrome to colour: 1 becomes the background colour (white),
        // so "D and not S" blackens them.
        SetTextColor(imageDC.get(), RGB(0, 0, 0));
        SetBkColor(imageDC.get(), RGB(255, 255, 255));
        BitBlt(imageDC.get(), 0, 0, width, height, monoDC.get(), 0, 0, RopDSna);
    }
    ImageList_Add(list, copy.Handle(), mono.get());
    return Added(before);
}

int TImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    if (Image == nullptr || Image->Empty())
        return -1;
    const COLORREF key =
        MaskColor == clDefault ? Image->PixelColor(0, Image->Height() - 1) : ColorToRGB(MaskColor);
    HIMAGELIST list = Handle();
    const int before = Count();
    // ImageList_AddMasked blackens the masked pixels of the bitmap it is given.
    TBitmap copy;
    CopyAs32(copy, *Image);
    ImageList_AddMasked(list, copy.Handle(), key);
    return Added(before);
}

int TImageList::AddIcon(TIcon* Icon)
{
    if (Icon == nullptr || Icon->Empty())
        return -1;
    HIMAGELIST list = Handle();
    const int before = Count();
    ImageList_AddIcon(list, Icon->Handle());
    return Added(before);
}

void TImageList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    ImageList_Remove(FHandle, Index);
}

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled)
{
    if (Index < 0 || Index >= Count())
        return;
    HDC dc = Canvas.Handle();
    Canvas.Changing();
    if (Enabled)
        ImageList_Draw(FHandle, Index, dc, X, Y, ILD_TRANSPARENT);
    else
        DrawDisabled(dc, X, Y, Index);
    Canvas.Changed();
}

void TImageList::DrawDisabled(HDC DC, int X, int Y, int Index)
{
    // The shape: where the image is not transparent. Drawn transparently over black and over
    // white, a transparent pixel shows each backdrop; an opaque one the same colour on both. (Wine
    // 8's ILD_MASK does not give the mask of 32-bit lists.) Shape bits: 1 = transparent.
    TBitmap onBlack(FWidth, FHeight, pf32bit);
    TBitmap onWhite(FWidth, FHeight, pf32bit);
    PatBlt(onWhite.Canvas()->Handle(), 0, 0, FWidth, FHeight, WHITENESS);
    PatBlt(onBlack.Canvas()->Handle(), 0, 0, FWidth, FHeight, BLACKNESS);
    ImageList_Draw(FHandle, Index, onBlack.Canvas()->Handle(), 0, 0, ILD_TRANSPARENT);
    ImageList_Draw(FHandle, Index, onWhite.Canvas()->Handle(), 0, 0, ILD_TRANSPARENT);
    const size_t stride = static_cast<size_t>((FWidth + 15) / 16 * 2);
    std::vector<uint8_t> bits(stride * static_cast<size_t>(FHeight), 0);
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x)
            if (onBlack.PixelColor(x, y) == 0 && onWhite.PixelColor(x, y) == 0xFFFFFF)
                bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    TBitmapHandle shape(CreateBitmap(FWidth, FHeight, 1, 1, bits.data()));
    TMemoryDC shapeDC(nullptr);
    if (!shape || !shapeDC)
        return;
    TSelectObject shapeSelected(shapeDC.get(), shape.get());

    TSaveDC saved(DC);
    // Monochrome to colour: 0 becomes the text colour, 1 the background colour; with black and
    // white the shape's bits pass unchanged into "S ? D : P".
    SetTextColor(DC, RGB(0, 0, 0));
    SetBkColor(DC, RGB(255, 255, 255));
    const auto paint = [&](TColor Color, int Offset) {
        TBrushHandle brush(CreateSolidBrush(ColorToRGB(Color)));
        if (!brush)
            return;
        TSelectObject brushSelected(DC, brush.get());
        BitBlt(DC, X + Offset, Y + Offset, FWidth, FHeight, shapeDC.get(), 0, 0, RopPSDPxax);
    };
    paint(clBtnHighlight, 1);
    paint(clBtnShadow, 0);
}

bool TImageList::GetBitmap(int Index, TBitmap* Image)
{
    if (Image == nullptr || Index < 0 || Index >= Count())
        return false;
    Image->SetPixelFormat(pf32bit);
    Image->SetSize(FWidth, FHeight);
    TCanvas& canvas = *Image->Canvas();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(RECT{0, 0, FWidth, FHeight});
    Draw(canvas, 0, 0, Index);
    return true;
}
