#include "framework/graphics/Colors.h"

#include "framework/core/StrUtils.h"

#include <iterator>

namespace {

struct TIdentEntry {
    int32_t Value;
    const char* Name;
};

constexpr TIdentEntry ColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

constexpr TIdentEntry CharsetNames[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"},
    {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
    {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"},
    {GB2312_CHARSET, "GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, "GREEK_CHARSET"},
    {TURKISH_CHARSET, "TURKISH_CHARSET"},
    {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"},
    {ARABIC_CHARSET, "ARABIC_CHARSET"},
    {BALTIC_CHARSET, "BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    {THAI_CHARSET, "THAI_CHARSET"},
    {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"},
};

template <std::size_t N> bool FindIdent(const TIdentEntry (&table)[N], std::string_view ident, int64_t& value)
{
    for (const TIdentEntry& e : table)
        if (SameText(ident, e.Name)) {
            value = e.Value;
            return true;
        }
    return false;
}

template <std::size_t N> bool FindValue(const TIdentEntry (&table)[N], int32_t value, std::string& ident)
{
    for (const TIdentEntry& e : table)
        if (e.Value == value) {
            ident = e.Name;
            return true;
        }
    return false;
}

} // namespace

COLORREF ColorToRGB(TColor color)
{
    if (IsSystemColor(color))
        return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

bool IdentToColor(std::string_view ident, int64_t& color) { return FindIdent(ColorNames, ident, color); }

bool ColorToIdent(int64_t color, std::string& ident)
{
    // Descriptions carry colours as unsigned 32-bit numbers, run-time access as signed ones.
    if (color < INT32_MIN || color > static_cast<int64_t>(UINT32_MAX))
        return false;
    return FindValue(ColorNames, static_cast<int32_t>(static_cast<uint32_t>(color)), ident);
}

const TTypeInfo& ColorTypeInfo()
{
    static const TTypeInfo info = TTypeInfo::Integer("TColor", &IdentToColor, &ColorToIdent);
    return info;
}

bool IdentToCharset(std::string_view ident, int64_t& charset) { return FindIdent(CharsetNames, ident, charset); }

bool CharsetToIdent(int64_t charset, std::string& ident)
{
    if (charset < 0 || charset > 255)
        return false;
    return FindValue(CharsetNames, static_cast<int32_t>(charset), ident);
}

const TTypeInfo& CharsetTypeInfo()
{
    static const TTypeInfo info = TTypeInfo::Integer("TFontCharset", &IdentToCharset, &CharsetToIdent);
    return info;
}
