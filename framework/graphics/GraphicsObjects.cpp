#include "framework/graphics/GraphicsObjects.h"

#include "framework/core/Exception.h"

#include <cstring>
#include <utility>

int ScreenPixelsPerInch()
{
    static const int ppi = [] {
        TClientDC screen(nullptr);
        const int v = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
        return v > 0 ? v : 96;
    }();
    return ppi;
}

int PenModeToROP2(TPenMode mode)
{
    static constexpr int codes[] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,
                                    R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                    R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,    R2_NOTMERGEPEN,
                                    R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};
    const int i = static_cast<int>(mode);
    return i >= 0 && i < static_cast<int>(std::size(codes)) ? codes[i] : R2_COPYPEN;
}

// ---- TGraphicsObject ----------------------------------------------------------------------------

IMPLEMENT_CLASS_EMPTY(TGraphicsObject)

void TGraphicsObject::Changed()
{
    if (FOnChange)
        FOnChange(this);
}

// ---- TFont --------------------------------------------------------------------------------------

IMPLEMENT_CLASS(TFont)

void TFont::Publish(TClassBuilder<TFont>& b)
{
    b.Property("Charset", &TFont::Charset, &TFont::SetCharset, &CharsetTypeInfo())
        .Property("Color", &TFont::Color, &TFont::SetColor, &ColorTypeInfo())
        .Property("Height", &TFont::Height, &TFont::SetHeight)
        .Property("Name", &TFont::Name, &TFont::SetName)
        .Property("Pitch", &TFont::Pitch, &TFont::SetPitch)
        .Property("Size", &TFont::Size, &TFont::SetSize)
        .NotStored()
        .Property("Style", &TFont::Style, &TFont::SetStyle);
}

TFont::TFont() : FPixelsPerInch(ScreenPixelsPerInch())
{
    FExtra.lfOutPrecision = OUT_DEFAULT_PRECIS;
    FExtra.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    FExtra.lfQuality = DEFAULT_QUALITY;
}

void TFont::Change(bool dropHandle)
{
    // The old handle goes only after the listeners have had the chance to deselect it.
    TFontHandle old;
    if (dropHandle)
        old = std::move(FHandle);
    Changed();
}

void TFont::SetName(const std::string& v)
{
    if (v != FName) {
        FName = v;
        Change(true);
    }
}

void TFont::SetHeight(int32_t v)
{
    if (v != FHeight) {
        FHeight = v;
        Change(true);
    }
}

int32_t TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int32_t v) { SetHeight(-MulDiv(v, FPixelsPerInch, 72)); }

void TFont::SetCharset(TFontCharset v)
{
    if (v != FCharset) {
        FCharset = v;
        Change(true);
    }
}

void TFont::SetColor(TColor v)
{
    if (v != FColor) {
        FColor = v;
        Change(false);
    }
}

void TFont::SetStyle(TFontStyles v)
{
    if (v != FStyle) {
        FStyle = v;
        Change(true);
    }
}

void TFont::SetPitch(TFontPitch v)
{
    if (v != FPitch) {
        FPitch = v;
        Change(true);
    }
}

LOGFONTA TFont::LogFont() const
{
    LOGFONTA lf = FExtra;
    lf.lfHeight = FHeight;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = FStyle.Contains(fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = FCharset;
    lf.lfPitchAndFamily = static_cast<BYTE>((lf.lfPitchAndFamily & 0xF0) |
                                            (FPitch == fpVariable ? VARIABLE_PITCH
                                             : FPitch == fpFixed  ? FIXED_PITCH
                                                                  : DEFAULT_PITCH));
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    std::strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
    return lf;
}

HFONT TFont::Handle()
{
    if (!FHandle) {
        const LOGFONTA lf = LogFont();
        FHandle.reset(CreateFontIndirectA(&lf));
        if (!FHandle)
            throw EOutOfResources("Cannot create font " + FName);
    }
    return FHandle.get();
}

void TFont::SetHandle(TFontHandle font)
{
    if (font && font.get() == FHandle.get()) {
        font.release(); // already ours
        return;
    }
    if (font) {
        LOGFONTA lf{};
        if (GetObjectType(font.get()) != OBJ_FONT || GetObjectA(font.get(), sizeof lf, &lf) == 0)
            throw EInvalidOperation("Not a font handle");
        lf.lfFaceName[LF_FACESIZE - 1] = '\0';
        FName = lf.lfFaceName;
        FHeight = lf.lfHeight;
        FCharset = lf.lfCharSet;
        TFontStyles style;
        if (lf.lfWeight >= FW_SEMIBOLD)
            style.Include(fsBold);
        if (lf.lfItalic)
            style.Include(fsItalic);
        if (lf.lfUnderline)
            style.Include(fsUnderline);
        if (lf.lfStrikeOut)
            style.Include(fsStrikeOut);
        FStyle = style;
        switch (lf.lfPitchAndFamily & 0x0F) {
        case VARIABLE_PITCH: FPitch = fpVariable; break;
        case FIXED_PITCH: FPitch = fpFixed; break;
        default: FPitch = fpDefault; break;
        }
        FExtra = lf;
    }
    TFontHandle old = std::exchange(FHandle, std::move(font));
    Changed();
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* src = As<TFont>(Source)) {
        if (src == this)
            return;
        FName = src->FName;
        FHeight = src->FHeight;
        FCharset = src->FCharset;
        FColor = src->FColor;
        FStyle = src->FStyle;
        FPitch = src->FPitch;
        FPixelsPerInch = src->FPixelsPerInch;
        FExtra = src->FExtra;
        Change(true);
        return;
    }
    TGraphicsObject::Assign(Source);
}

// ---- TBrush -------------------------------------------------------------------------------------

IMPLEMENT_CLASS(TBrush)

void TBrush::Publish(TClassBuilder<TBrush>& b)
{
    b.Property("Color", &TBrush::Color, &TBrush::SetColor, &ColorTypeInfo())
        .Property("Style", &TBrush::Style, &TBrush::SetStyle);
}

void TBrush::Change()
{
    TBrushHandle old = std::move(FOwned);
    FHandle = nullptr;
    Changed();
}

void TBrush::SetColor(TColor v)
{
    if (v != FColor || FStyle == bsClear) {
        FColor = v;
        if (FStyle == bsClear)
            FStyle = bsSolid;
        Change();
    }
}

void TBrush::SetStyle(TBrushStyle v)
{
    if (v != FStyle) {
        FStyle = v;
        Change();
    }
}

void TBrush::SetBitmap(HBITMAP v)
{
    if (v != FBitmap) {
        FBitmap = v;
        Change();
    }
}

HBRUSH TBrush::Handle()
{
    if (FHandle == nullptr) {
        if (FBitmap != nullptr) {
            FOwned.reset(CreatePatternBrush(FBitmap));
        } else if (FStyle == bsClear) {
            FHandle = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
            return FHandle;
        } else if (FStyle == bsSolid) {
            FOwned.reset(CreateSolidBrush(ColorToRGB(FColor)));
        } else {
            static constexpr int hatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL,
                                              HS_BDIAGONAL,  HS_CROSS,    HS_DIAGCROSS};
            FOwned.reset(CreateHatchBrush(hatches[FStyle - bsHorizontal], ColorToRGB(FColor)));
        }
        if (!FOwned)
            throw EOutOfResources("Cannot create brush");
        FHandle = FOwned.get();
    }
    return FHandle;
}

void TBrush::SetHandle(HBRUSH brush)
{
    if (brush != nullptr && brush == FHandle)
        return;
    if (brush != nullptr) {
        LOGBRUSH lb{};
        if (GetObjectType(brush) != OBJ_BRUSH || GetObjectA(brush, sizeof lb, &lb) == 0)
            throw EInvalidOperation("Not a brush handle");
        FBitmap = nullptr;
        switch (lb.lbStyle) {
        case BS_NULL: FStyle = bsClear; break;
        case BS_HATCHED:
            FStyle = lb.lbHatch <= HS_DIAGCROSS ? static_cast<TBrushStyle>(bsHorizontal + lb.lbHatch) : bsSolid;
            FColor = static_cast<TColor>(lb.lbColor);
            break;
        default:
            FStyle = bsSolid;
            FColor = static_cast<TColor>(lb.lbColor & 0x00FFFFFF);
            break;
        }
    }
    TBrushHandle old = std::move(FOwned);
    FHandle = brush;
    Changed();
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* src = As<TBrush>(Source)) {
        if (src == this)
            return;
        FColor = src->FColor;
        FStyle = src->FStyle;
        FBitmap = src->FBitmap;
        Change();
        return;
    }
    TGraphicsObject::Assign(Source);
}

// ---- TPen ---------------------------------------------------------------------------------------

IMPLEMENT_CLASS(TPen)

void TPen::Publish(TClassBuilder<TPen>& b)
{
    b.Property("Color", &TPen::Color, &TPen::SetColor, &ColorTypeInfo())
        .Property("Mode", &TPen::Mode, &TPen::SetMode)
        .Property("Style", &TPen::Style, &TPen::SetStyle)
        .Property("Width", &TPen::Width, &TPen::SetWidth);
}

void TPen::Change(bool dropHandle)
{
    TPenHandle old;
    if (dropHandle)
        old = std::move(FHandle);
    Changed();
}

void TPen::SetColor(TColor v)
{
    if (v != FColor) {
        FColor = v;
        Change(true);
    }
}

void TPen::SetWidth(int32_t v)
{
    if (v < 0)
        v = 0;
    if (v != FWidth) {
        FWidth = v;
        Change(true);
    }
}

void TPen::SetStyle(TPenStyle v)
{
    if (v != FStyle) {
        FStyle = v;
        Change(true);
    }
}

void TPen::SetMode(TPenMode v)
{
    if (v != FMode) {
        FMode = v;
        Change(false);
    }
}

HPEN TPen::Handle()
{
    if (!FHandle) {
        static constexpr int styles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                         PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle.reset(CreatePen(styles[FStyle], FWidth, ColorToRGB(FColor)));
        if (!FHandle)
            throw EOutOfResources("Cannot create pen");
    }
    return FHandle.get();
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* src = As<TPen>(Source)) {
        if (src == this)
            return;
        FColor = src->FColor;
        FWidth = src->FWidth;
        FStyle = src->FStyle;
        FMode = src->FMode;
        Change(true);
        return;
    }
    TGraphicsObject::Assign(Source);
}
