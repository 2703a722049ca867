// Image lists: same-sized images with masks in a comctl32 image list (32-bit colour with a mask),
// for toolbars, menus and buttons. Images go in from bitmaps, with a mask bitmap or a transparent
// colour, or from icons; they come out drawn transparently, or disabled in the embossed look of
// greyed-out buttons.
#pragma once

#include "framework/core/Component.h"
#include "framework/graphics/Colors.h"

#include <windows.h>

#include <commctrl.h>

class TBitmap;
class TCanvas;
class TIcon;

class TImageList : public TComponent {
    DECLARE_CLASS(TImageList, TComponent)
public:
    explicit TImageList(TComponent* AOwner = nullptr);
    ~TImageList() override;
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    // The size of every image, 16 x 16 by default. A change empties the list. Values below 1
    // raise EInvalidOperation.
    int Width() const { return FWidth; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    void SetSize(int NewWidth, int NewHeight);

    int Count() const;
    // The comctl32 list, made when first asked for; it stays the image list's.
    HIMAGELIST Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void Clear();

    // Adds the images of Image: a bitmap wider than Width() gives one image per Width() pixels
    // (a remainder narrower than that is dropped). Mask marks the transparent pixels in white
    // (anything else is opaque); without it every pixel is opaque. Neither bitmap changes.
    // Returns the index of the first image added, -1 when nothing was.
    int Add(TBitmap* Image, TBitmap* Mask);
    // The same with MaskColor marking the transparent pixels; clDefault takes the bottom-left
    // pixel's colour.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    // The icon's image, stretched to the list's size, with its mask.
    int AddIcon(TIcon* Icon);
    // Raises EListError for an index outside 0..Count()-1.
    void Delete(int Index);

    // Enabled: the image with its transparent pixels leaving Canvas as it was. Disabled: the
    // image's shape painted in clBtnHighlight one pixel down and right, then in clBtnShadow in
    // place. An index outside 0..Count()-1 draws nothing. Canvas's OnChanging/OnChange fire
    // around the drawing.
    void Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled = true);

    // Image becomes a Width() x Height() 32-bit bitmap with the image drawn on clBtnFace. False
    // (and Image untouched) for an index out of range.
    bool GetBitmap(int Index, TBitmap* Image);

private:
    void FreeHandle() noexcept;
    // Count() before and after an addition, as Add returns it.
    int Added(int Before) const;
    void DrawDisabled(HDC DC, int X, int Y, int Index);

    HIMAGELIST FHandle = nullptr;
    int FWidth = 16;
    int FHeight = 16;
};
