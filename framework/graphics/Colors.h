// Colours as the framework stores them, and the character sets of fonts.
//
// A TColor is either an RGB value 0x00BBGGRR or 0x80000000 + a system colour index
// (COLOR_BTNFACE and so on), which ColorToRGB resolves through GetSysColor each time it is used.
// clNone and clDefault are markers, not colours: whoever accepts them decides what they mean.
#pragma once

#include "framework/core/TypeInfo.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

using TColor = int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);

constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr bool IsSystemColor(TColor color) { return color < 0; }

// The RGB value to hand to GDI: system colours through GetSysColor (index = low byte), anything
// else unchanged.
COLORREF ColorToRGB(TColor color);

// The colour names descriptions use ("clBtnFace"), matched without regard to case. Values are
// taken as 32-bit colours, so 0x8000000F and -2147483633 both name clBtnFace.
bool IdentToColor(std::string_view ident, int64_t& color);
bool ColorToIdent(int64_t color, std::string& ident);
// The published type of colour properties: an integer with these names.
const TTypeInfo& ColorTypeInfo();

// Character sets of fonts, with their names for descriptions ("DEFAULT_CHARSET").
using TFontCharset = uint8_t;
bool IdentToCharset(std::string_view ident, int64_t& charset);
bool CharsetToIdent(int64_t charset, std::string& ident);
const TTypeInfo& CharsetTypeInfo();
