// A bitmap held as a DIB section: pixels in memory that GDI draws on and we read and write
// directly (ScanLine), a canvas on a memory DC, and drawing with or without a transparent colour.
//
// Memory order: the DIB section is top-down, so ScanLine(0) is the top row and
// ScanLine(1) - ScanLine(0) is +Stride() (rows 4-byte aligned, the layout of TBitmapImage).
// GDI may batch drawing: ScanLine calls GdiFlush before it hands out a row.
//
// A bitmap that is loaded or copied keeps its pixels in plain memory until something needs the
// DIB section (Canvas, Handle, ScanLine, drawing): a skin loads many bitmaps and draws few of
// them at first, and making a DIB section is the dearest step of a load. Reading pixels
// (PixelColor, masks, saving, copying) works in either state.
#pragma once

#include "framework/core/Object.h"
#include "framework/core/TypeInfo.h"
#include "framework/graphics/BitmapCodec.h"
#include "framework/graphics/Canvas.h"
#include "framework/graphics/Colors.h"
#include "framework/graphics/Graphic.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;

// pfDevice is the format of a bitmap nobody chose one for; once the bitmap has pixels it stands
// for the screen's depth (32 bits per pixel: pf32bit, anything else: pf24bit), and PixelFormat()
// reports that format.
PUBLISHED_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit)
// tmAuto: the transparent colour is the bottom-left pixel; tmFixed: the one SetTransparentColor set.
PUBLISHED_ENUM(TTransparentMode, tmAuto, tmFixed)

// What a new bitmap's pixels hold: zero, or whatever the memory held (for a caller that writes
// every pixel before anything reads one).
enum class TInitialPixels { Zero, Undefined };

class TBitmap;

// The canvas of a bitmap: a memory DC of its own with the bitmap selected, made when drawing
// starts. The DC goes away whenever the bitmap hands out Handle() or changes its pixel memory;
// the next drawing makes a new one, so an HDC taken from Handle() is only good until then.
class TBitmapCanvas : public TCanvas {
    DECLARE_CLASS(TBitmapCanvas, TCanvas)
public:
    explicit TBitmapCanvas(TBitmap* Bitmap);
    ~TBitmapCanvas() override;

    // Unbinds, deselects the bitmap and deletes the DC. Safe to call when there is none.
    void FreeContext() noexcept;
    void Changed() override;
    // A StretchBlt mode (COLORONCOLOR, ...) that every DC of this canvas gets, also the ones made
    // after the bitmap changed size; 0 leaves GDI's default.
    int StretchMode() const { return FStretchMode; }
    void SetStretchMode(int Value);

protected:
    void CreateHandle() override;

private:
    friend class TBitmap;

    TBitmap* FBitmap;
    TMemoryDC FDC;
    TSelectObject FOldBitmap;
    int FStretchMode = 0;
};

class TBitmap : public TGraphic {
    DECLARE_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    TBitmap(int Width, int Height, TPixelFormat Format = pf32bit);
    TBitmap(int Width, int Height, TPixelFormat Format, TInitialPixels Initial);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // A number no other bitmap of the program has had: a cache keyed on a bitmap uses it, as the
    // address of a freed bitmap is soon another's.
    uint64_t Serial() const { return FSerial; }
    // A size change keeps the pixel format, the palette and the pixels both sizes share; new
    // pixels are zero (black, or palette entry 0). A width or height of 0 (or less) empties the
    // bitmap but keeps its format.
    void SetSize(int NewWidth, int NewHeight);
    void SetWidth(int NewWidth) { SetSize(NewWidth, FHeight); }
    void SetHeight(int NewHeight) { SetSize(FWidth, NewHeight); }
    bool Empty() const override { return FBits == nullptr; }

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // Converts the pixels in place. To 24 and 32 bits colours are kept exactly (from indexed
    // formats through the palette; 32 → 24 drops alpha, 24 → 32 gives alpha 0). To an indexed
    // format the palette holds the image's own colours when they fit, so 24 → 8 → 24 is exact for
    // up to 256 colours; otherwise each pixel takes the nearest colour of a fixed palette (black
    // and white; the 16 standard colours; 3-3-2 levels of red, green and blue).
    void SetPixelFormat(TPixelFormat Format);
    // Bytes per row of the pixel memory.
    int Stride() const;

    // Row Row of the pixel memory (0 = top). Raises EInvalidGraphic "Scan line index out of range"
    // outside 0..Height()-1.
    uint8_t* ScanLine(int Row);

    // The palette of an indexed bitmap (0x00RRGGBB, 1 << bits entries); empty for 24 and 32 bits.
    const std::vector<uint32_t>& Palette() const { return FPalette; }

    TBitmapCanvas* Canvas();

    // The DIB section, deselected from the canvas's DC (GetDIBits and SelectObject work on it);
    // nullptr while the bitmap is empty. It stays the bitmap's: do not delete it.
    HBITMAP Handle();
    // Takes Value over (the bitmap deletes it, on every path) after copying it into a DIB section
    // of the nearest format: 1, 4, 8 and 24 bits per pixel stay, anything else becomes 32 bits.
    // Value must not be selected into a DC. nullptr empties the bitmap.
    void SetHandle(HBITMAP Value);
    // Gives the DIB section to the caller, who deletes it; the bitmap is empty afterwards.
    HBITMAP ReleaseHandle();

    void Assign(TPersistent* Source) override;
    // In form descriptions the defined binary property "Data": the bitmap as a Windows bitmap
    // file; an empty bitmap writes nothing.
    void DefineProperties(TFiler& Filer) override;

    // A Windows bitmap file from the position to the end of the stream. Invalid data raises
    // EInvalidGraphic and leaves the bitmap as it was.
    void LoadFromStream(TStream& Stream) override;
    // An empty bitmap writes nothing.
    void SaveToStream(TStream& Stream) override;

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }
    // The explicit colour in tmFixed mode, else the bottom-left pixel (clDefault while empty).
    TColor TransparentColor();
    // Any colour but clDefault switches to tmFixed; clDefault goes back to tmAuto.
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    // A monochrome bitmap of the same size with 1 where the pixel is Color and 0 elsewhere, held
    // by the bitmap until the next mask, drawing through the canvas, a change of pixel memory, or
    // its destruction. Returns it. Writes through ScanLine or a raw canvas DC go unnoticed: make
    // the mask again after those.
    HBITMAP CreateMask(TColor Color);
    // The mask of TransparentColor(), made when there is none.
    HBITMAP MaskHandle();

    // A 1-bit bitmap whose palette is black and white. It draws the way GDI draws a monochrome
    // bitmap: black pixels in Dest's font colour, white ones in its brush colour.
    bool Monochrome() const;

    // At natural size / stretched to Rect. Opaque: with Dest's CopyMode. Transparent: Dest's
    // pixels under the transparent colour stay, the others are copied (SRCCOPY); the mask is made
    // from the pixels as they are at the time. Dest's OnChanging/OnChange fire around it. Dest
    // must not be this bitmap's own canvas.
    void Draw(TCanvas& Dest, int X, int Y) override;
    void StretchDraw(TCanvas& Dest, const RECT& Rect) override;

    // The colour of a pixel from the pixel memory, as 0x00BBGGRR. No range check.
    TColor PixelColor(int X, int Y);

    // Large DIB sections of 16 and more bits per pixel are not deleted with their bitmap but kept
    // for the next bitmap of the same size and format (a few of them, up to 48 MB): a full-screen
    // picture composed and freed at every paint would otherwise pay each time for fresh pages,
    // which under Wine costs some twenty full-size blits. This deletes the ones kept; the
    // application's finalisation calls it.
    static void FreeRecycledDibs() noexcept;

private:
    friend class TBitmapCanvas;

    struct TDib {
        TBitmapHandle Handle;
        uint8_t* Bits = nullptr;
    };
    // Zero: the pixels are 0; else a recycled section keeps what it held.
    static TDib CreateDib(int Width, int Height, int BitCount, const std::vector<uint32_t>& Palette,
                          bool Zero = true);
    // The DIB section goes (to the recycler when it takes it); the bitmap keeps its size fields.
    void ReleaseDib() noexcept;
    void Resize(int NewWidth, int NewHeight, bool Zero);
    static TPixelFormat ResolveFormat(TPixelFormat Format);
    static int BitCountOf(TPixelFormat Format);
    static TPixelFormat FormatOf(int BitCount);

    // The pixels as a codec image (the bitmap must not be empty).
    TBitmapImage ToImage();
    // Replaces the pixels with Image's, held in plain memory until Realize; nothing changes
    // when that fails.
    void FromImage(TBitmapImage Image);
    // Moves pixels held in plain memory into a new DIB section; nothing to do when there is one.
    void Realize();
    // Before the pixel memory goes or changes behind GDI's back: the canvas lets go, the mask goes.
    void Detach() noexcept;
    void PixelsChanged() noexcept { FMask.reset(); }
    // A mask for Color without keeping it.
    TBitmapHandle MakeMask(TColor Color);

    std::unique_ptr<TBitmapCanvas> FCanvas;
    TBitmapHandle FDib;
    // The pixels while there is no DIB section yet.
    std::vector<uint8_t> FPending;
    // The pixel memory: the DIB section's, or FPending's; nullptr while empty.
    uint8_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    std::vector<uint32_t> FPalette;
    TBitmapHandle FMask;
    bool FTransparent = false;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    uint64_t FSerial = NextSerial();

    static uint64_t NextSerial() noexcept
    {
        static std::atomic<uint64_t> last{0}; // bitmaps are made on every GUI thread
        return ++last;
    }
};
