// The drawing objects of a canvas: font, brush and pen. Each keeps its properties and makes its
// GDI handle on demand; any change drops the handle (the next Handle() makes a new one) and fires
// OnChange, which a canvas that uses the object listens to.
//
// A dropped handle is deleted only after OnChange has run, so a listener that has it selected in
// a DC can put the new one in its place first.
#pragma once

#include "framework/core/Method.h"
#include "framework/core/Object.h"
#include "framework/core/Published.h"
#include "framework/core/Set.h"
#include "framework/graphics/Colors.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <string>

PUBLISHED_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;
PUBLISHED_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
PUBLISHED_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
               bsDiagCross)
PUBLISHED_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
// The raster operations of SetROP2, in the order of R2_BLACK .. R2_WHITE's usual listing.
PUBLISHED_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
               pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)

// The R2_* code of a pen mode.
int PenModeToROP2(TPenMode mode);

class TGraphicsObject : public TPersistent {
    DECLARE_CLASS(TGraphicsObject, TPersistent)
public:
    // Fired after every change of a property or of the handle.
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent v) { FOnChange = v; }

protected:
    virtual void Changed();

private:
    TNotifyEvent FOnChange;
};

// The screen's dots per inch (the system's, as the process sees it), read once: 96 on a usual
// display, 144 at 150 %. A program that declares itself DPI-aware sees the real value.
int ScreenPixelsPerInch();

class TFont : public TGraphicsObject {
    DECLARE_CLASS(TFont, TGraphicsObject)
public:
    TFont();

    const std::string& Name() const { return FName; }
    void SetName(const std::string& v);
    // Negative: the character height in pixels; positive: the cell height.
    int32_t Height() const { return FHeight; }
    void SetHeight(int32_t v);
    // In points at PixelsPerInch (the screen's, 96 on a usual display); kept as Height.
    int32_t Size() const;
    void SetSize(int32_t v);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset v);
    // The text colour; not part of the HFONT, so changing it keeps the handle.
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles v);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch v);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int v) { FPixelsPerInch = v > 0 ? v : FPixelsPerInch; }

    // The HFONT (CreateFontIndirectA), made on first use and owned by the font; valid until the
    // next change. Raises EOutOfResources when GDI refuses.
    HFONT Handle();
    bool HandleAllocated() const { return static_cast<bool>(FHandle); }
    // Adopts a font made elsewhere: its LOGFONT becomes the font's properties (fields that are not
    // properties, such as width, escapement and quality, are kept for the fonts made later), and
    // the font takes ownership of the handle: it deletes it on the next change or when destroyed.
    // The caller must not delete it. A null handle only drops the current one. Anything that is not
    // a font raises EInvalidOperation (and, being handed over, is deleted all the same).
    void SetHandle(TFontHandle font);
    void SetHandle(HFONT font) { SetHandle(TFontHandle(font)); }

    // Copies another font's properties (one OnChange).
    void Assign(TPersistent* Source) override;

    // The LOGFONT the next handle is made from.
    LOGFONTA LogFont() const;

private:
    void Change(bool dropHandle);

    std::string FName = "MS Sans Serif";
    int32_t FHeight = -11;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    TFontPitch FPitch = fpDefault;
    int FPixelsPerInch;
    LOGFONTA FExtra{}; // the adopted font's fields that are not properties
    TFontHandle FHandle;
};

class TBrush : public TGraphicsObject {
    DECLARE_CLASS(TBrush, TGraphicsObject)
public:
    TColor Color() const { return FColor; }
    // A colour set on a clear brush makes it solid.
    void SetColor(TColor v);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle v);
    // A pattern bitmap (not owned; CreatePatternBrush copies it, so it only has to live until
    // Handle() has been called). While set, it replaces the style. nullptr: none.
    HBITMAP Bitmap() const { return FBitmap; }
    void SetBitmap(HBITMAP v);

    // Solid: CreateSolidBrush; clear: the stock NULL_BRUSH (never deleted); hatches:
    // CreateHatchBrush; a bitmap: CreatePatternBrush. Made on first use, valid until the next change.
    HBRUSH Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Takes a brush of a DC (GetCurrentObject) or of the system: its LOGBRUSH becomes Color and
    // Style, and Handle() returns it until the next change. The brush is borrowed, never deleted:
    // the caller keeps it alive that long.
    void SetHandle(HBRUSH brush);

    void Assign(TPersistent* Source) override;

private:
    void Change();

    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    HBITMAP FBitmap = nullptr;
    TBrushHandle FOwned; // the handle when this brush made it
    HBRUSH FHandle = nullptr;
};

class TPen : public TGraphicsObject {
    DECLARE_CLASS(TPen, TGraphicsObject)
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int32_t Width() const { return FWidth; }
    void SetWidth(int32_t v);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle v);
    // The raster operation a canvas draws the pen with (SetROP2); not part of the HPEN.
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode v);

    // CreatePen, made on first use and owned by the pen; valid until the next change.
    HPEN Handle();
    bool HandleAllocated() const { return static_cast<bool>(FHandle); }

    void Assign(TPersistent* Source) override;

private:
    void Change(bool dropHandle);

    TColor FColor = clBlack;
    int32_t FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    TPenHandle FHandle;
};
