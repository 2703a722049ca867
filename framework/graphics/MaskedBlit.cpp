#include "framework/graphics/MaskedBlit.h"

#include "framework/win/Handles.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr int Cell = 32;

// The mask's bits, and for each cell of the area whether it may hold a 1 bit.
class TMaskCells {
public:
    TMaskCells(HBITMAP Mask, int SX, int SY, int Width, int Height)
        : FColumns((Width + Cell - 1) / Cell), FRows((Height + Cell - 1) / Cell),
          FMarked(static_cast<size_t>(FColumns) * static_cast<size_t>(FRows), true)
    {
        BITMAP info{};
        if (Mask == nullptr || GetObjectA(Mask, sizeof info, &info) == 0 || info.bmBitsPixel != 1 ||
            info.bmPlanes != 1 || SX < 0 || SY < 0)
            return; // every cell masked: nothing is known of the mask
        FRowBytes = static_cast<size_t>(info.bmWidthBytes);
        FBits.resize(FRowBytes * static_cast<size_t>(info.bmHeight));
        if (GetBitmapBits(Mask, static_cast<LONG>(FBits.size()), FBits.data()) != static_cast<LONG>(FBits.size())) {
            FBits.clear();
            return;
        }
        FWidth = info.bmWidth;
        FHeight = info.bmHeight;
        for (int cy = 0; cy < FRows; ++cy) {
            for (int cx = 0; cx < FColumns; ++cx) {
                const int x0 = SX + cx * Cell;
                const int y0 = SY + cy * Cell;
                const int x1 = std::min(SX + Width, x0 + Cell);
                const int y1 = std::min(SY + Height, y0 + Cell);
                if (x1 > FWidth || y1 > FHeight)
                    continue; // reaches outside the mask
                bool any = false;
                for (int y = y0; y < y1 && !any; ++y) {
                    int x = x0;
                    while (x < x1 && !any) {
                        if ((x & 7) == 0 && x + 8 <= x1) {
                            any = Row(y)[x >> 3] != 0;
                            x += 8;
                        } else {
                            any = Bit(x, y);
                            ++x;
                        }
                    }
                }
                FMarked[static_cast<size_t>(cy) * FColumns + cx] = any;
            }
        }
    }

    int Columns() const { return FColumns; }
    int Rows() const { return FRows; }
    bool Marked(int Column, int Row) const { return FMarked[static_cast<size_t>(Row) * FColumns + Column]; }
    bool RowClear(int Row) const
    {
        for (int cx = 0; cx < FColumns; ++cx)
            if (Marked(cx, Row))
                return false;
        return true;
    }

    // A mask of just the part from (X, Y) of the whole one; empty when the part is not inside it.
    // (Wine's MaskBlt works through the whole mask whatever part it draws.)
    TBitmapHandle Part(int X, int Y, int Width, int Height) const
    {
        if (FBits.empty() || X < 0 || Y < 0 || X + Width > FWidth || Y + Height > FHeight)
            return TBitmapHandle();
        const size_t rowBytes = static_cast<size_t>((Width + 15) / 16) * 2; // WORD-aligned rows
        std::vector<uint8_t> bits(rowBytes * static_cast<size_t>(Height), 0);
        for (int y = 0; y < Height; ++y) {
            uint8_t* out = bits.data() + static_cast<size_t>(y) * rowBytes;
            for (int x = 0; x < Width; ++x)
                if (Bit(X + x, Y + y))
                    out[x >> 3] = static_cast<uint8_t>(out[x >> 3] | (0x80u >> (x & 7)));
        }
        return TBitmapHandle(CreateBitmap(Width, Height, 1, 1, bits.data()));
    }

private:
    const uint8_t* Row(int Y) const { return FBits.data() + static_cast<size_t>(Y) * FRowBytes; }
    bool Bit(int X, int Y) const { return ((Row(Y)[X >> 3] >> (7 - (X & 7))) & 1) != 0; }

    int FColumns;
    int FRows;
    std::vector<bool> FMarked;
    std::vector<uint8_t> FBits;
    size_t FRowBytes = 0;
    int FWidth = 0;
    int FHeight = 0;
};

class TMaskedCopier {
public:
    TMaskedCopier(HDC Dest, int X, int Y, HDC Source, int SX, int SY, HBITMAP Mask, const TMaskCells& Cells,
                  TMaskMethod Method)
        : FDest(Dest), FX(X), FY(Y), FSource(Source), FSX(SX), FSY(SY), FMask(Mask), FCells(Cells), FMethod(Method)
    {
    }
    ~TMaskedCopier()
    {
        if (FMaskDC) {
            SetBkColor(FDest, FOldBk);
            SetTextColor(FDest, FOldText);
        }
    }
    TMaskedCopier(const TMaskedCopier&) = delete;
    TMaskedCopier& operator=(const TMaskedCopier&) = delete;

    // Offsets within the area.
    void Plain(int Left, int Top, int Width, int Height) const
    {
        BitBlt(FDest, FX + Left, FY + Top, Width, Height, FSource, FSX + Left, FSY + Top, SRCCOPY);
    }

    void Masked(int Left, int Top, int Width, int Height)
    {
        const int x = FX + Left, y = FY + Top, sx = FSX + Left, sy = FSY + Top;
        if (FMethod == TMaskMethod::MaskBlt) {
            const TBitmapHandle part = FCells.Part(sx, sy, Width, Height);
            if (part)
                MaskBlt(FDest, x, y, Width, Height, FSource, sx, sy, part.get(), 0, 0, MAKEROP4(0x00AA0029, SRCCOPY));
            else
                MaskBlt(FDest, x, y, Width, Height, FSource, sx, sy, FMask, sx, sy, MAKEROP4(0x00AA0029, SRCCOPY));
            return;
        }
        if (!FMaskDC) {
            FMaskDC = TMemoryDC(FDest);
            FSelected = TSelectObject(FMaskDC.get(), FMask);
            FOldBk = SetBkColor(FDest, 0xFFFFFF);
            FOldText = SetTextColor(FDest, 0);
        }
        BitBlt(FDest, x, y, Width, Height, FSource, sx, sy, SRCINVERT);
        BitBlt(FDest, x, y, Width, Height, FMaskDC.get(), sx, sy, SRCAND);
        BitBlt(FDest, x, y, Width, Height, FSource, sx, sy, SRCINVERT);
    }

private:
    HDC FDest;
    int FX, FY;
    HDC FSource;
    int FSX, FSY;
    HBITMAP FMask;
    const TMaskCells& FCells;
    TMaskMethod FMethod;
    TMemoryDC FMaskDC;
    TSelectObject FSelected;
    COLORREF FOldBk = 0;
    COLORREF FOldText = 0;
};

} // namespace

void MaskedBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int SX, int SY, HBITMAP Mask,
               TMaskMethod Method)
{
    if (Width <= 0 || Height <= 0)
        return;
    const TMaskCells cells(Mask, SX, SY, Width, Height);
    // Declared after the cells: the mask is selected into its DC only while copying.
    TMaskedCopier copy(Dest, X, Y, Source, SX, SY, Mask, cells, Method);
    int plainTop = 0; // rows from here to the current cell row are all plain
    for (int cy = 0; cy < cells.Rows(); ++cy) {
        if (cells.RowClear(cy))
            continue;
        const int top = cy * Cell;
        const int height = std::min(Cell, Height - top);
        if (top > plainTop)
            copy.Plain(0, plainTop, Width, top - plainTop);
        plainTop = top + height;
        int cx = 0;
        while (cx < cells.Columns()) {
            const bool marked = cells.Marked(cx, cy);
            int end = cx + 1;
            while (end < cells.Columns() && cells.Marked(end, cy) == marked)
                ++end;
            const int left = cx * Cell;
            const int width = std::min(end * Cell, Width) - left;
            if (marked)
                copy.Masked(left, top, width, height);
            else
                copy.Plain(left, top, width, height);
            cx = end;
        }
    }
    if (Height > plainTop)
        copy.Plain(0, plainTop, Width, Height - plainTop);
}
