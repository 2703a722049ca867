// The looks make_skin can draw: one TTheme per built-in skin, holding every colour and size its
// element writers use. The writers in MakeSkin.cpp read nothing else, so a new look is a new table
// in Themes.cpp and a line in FindTheme.
#pragma once

#include "skins/generator/Raster.h"

#include <optional>
#include <string>

// One look of the window frame (active or inactive).
struct TFramePalette {
    TRgb Outline;     // the outermost pixel ring
    TRgb Light;       // the ring inside it on the top and left sides
    TRgb Shade;       // the ring inside it on the right and bottom sides
    TRgb Body;        // the side and bottom borders
    TRgb Inner;       // the line around the client area
    TRgb TitleTop;    // the title band, top to bottom
    TRgb TitleBottom;
    TRgb PillOutline; // the band behind the caption text
    TRgb PillTop;
    TRgb PillBottom;
};

// A raised control face: outline, a vertical gradient and the glyph drawn on it.
struct TFaceLook {
    TRgb Outline;
    TRgb Top;
    TRgb Bottom;
    TRgb Glyph;
    double Highlight = 0.35;               // how much the row under the top outline is lightened
    int GlyphShift = 0;                    // pressed faces move their glyph down and right
    TRgb GlyphShadow = Rgb(0x101820);      // a soft copy of the glyph one pixel lower
    double GlyphShadowAlpha = 0.28;
};

// Frames of a caption-button strip: 1 normal, 2 pressed, 3 hot, 4 inactive window.
struct TCaptionLooks {
    TFaceLook Normal, Pressed, Hot, Inactive;
};

// A push-button frame: rounded outline over a gradient, with an optional inner ring.
struct TPushLook {
    TRgb Outline;
    TRgb Top;
    TRgb Bottom;
    double Highlight;
    TRgb Ring;
    double RingAlpha; // 0: no ring
};

// A check box or radio button in one state (enabled or disabled).
struct TCheckLook {
    TRgb Outline;
    TRgb Top;
    TRgb Bottom;
    TRgb Mark;
};

// A plain band: a vertical gradient with a line under it (menu bar, header faces).
struct TBandLook {
    TRgb Top;
    TRgb Bottom;
    TRgb Line;
};

// The sizes of the frame and its title, and where the caption buttons sit.
struct TFrameGeometry {
    int SideWidth;      // left and right borders
    int TitleHeight;    // the top border, which holds the caption
    int FootHeight;     // the bottom border
    int CornerRadius;   // the top corners are rounded, cut with the key colour
    int ModelWidth;     // the model window the border strips are cut from
    int ModelHeight;
    int TopEndLength;   // unscaled ends of the top strip (they hold the rounded corners)

    int CaptionButtonWidth;
    int CaptionButtonHeight;
    double CaptionButtonRadius;
    int CaptionGlyphSize;
    int CaptionButtonGap;
    int CaptionButtonMargin; // between the close button and the right border
    int IconSize;
    int IconMargin;          // between the left border and the icon

    int CaptionButtonTop() const { return (TitleHeight - CaptionButtonHeight) / 2; }
    // Xcoord of each button, counted from the window's right edge.
    int CloseButtonX() const { return SideWidth + CaptionButtonMargin + CaptionButtonWidth; }
    int MaximiseButtonX() const { return CloseButtonX() + CaptionButtonGap + CaptionButtonWidth; }
    int MinimiseButtonX() const { return MaximiseButtonX() + CaptionButtonGap + CaptionButtonWidth; }
    int IconX() const { return SideWidth + IconMargin; }
};

// The band behind the caption text and the caption itself.
struct TTitleLook {
    double Glaze;        // how much the upper half of the title is lightened
    int TextBackLeft;    // the rounded left end of the band
    int TextBackRight;   // the rounded right end, a little longer to balance the padding
    int TextBackMiddle;
    int TextBackInset;   // title rows left free above and below the band
    double TextBackRadius;
    int FontHeight;
};

// The window icon's stand-in: a small window with a coloured bar and a ruled page.
struct TIconLook {
    TRgb Outline;
    TRgb BarTop;
    TRgb BarBottom;
    TRgb PageTop;
    TRgb PageBottom;
    TRgb Rule;
};

// The description's Colours section, which the framework's own painting reads.
struct TColourKeys {
    TRgb WindowText;
    TRgb ButtonFace;
    TRgb Scrollbar;
    TRgb HilightText;
    TRgb Hilight;
    TRgb Menubar;
    TRgb Menu;
    TRgb MenuText;
    TRgb ButtonText;
    TRgb ButtonHilight;
    TRgb Buttonlight;
    TRgb ButtonShadow;
    TRgb ButtonDkShadow;
    TRgb MenuBarText;
    TRgb TitleTextActive;
    TRgb TitleTextNoActive;
    // Disabled text on ButtonFace: it must stand out from the face by 3:1 at least.
    TRgb GrayText;
    // The content of edits, lists, views and grids: its ground (with WindowText on it) and the
    // line around it; a theme without them leaves content in the program's colours.
    std::optional<TRgb> Window;
    std::optional<TRgb> WindowFrame;
};

struct TTheme {
    std::string Name;    // SkinName in the description
    std::string Comment; // the description's first line

    TFrameGeometry Geometry;
    TFramePalette ActiveFrame;
    TFramePalette InactiveFrame;
    TTitleLook Title;
    TColourKeys Colours;

    TCaptionLooks CaptionLooks;
    TCaptionLooks CloseLooks; // the close button warns under the mouse
    TIconLook Icon;

    TFaceLook MdiNormal, MdiPressed, MdiHot;

    // Frames: 1 normal, 2 pressed, 3 disabled, 4 hot or focused, 5 default button.
    TPushLook Push[5];
    TRgb PushText, PushHotText, PushPressedText;

    TCheckLook CheckEnabled, CheckDisabled;

    TBandLook MenuBarActive, MenuBarInactive;

    TRgb MenuOutline;   // the popup's outer line and the band inside it; the middle is Colours.Menu
    TRgb MenuBand;
    TRgb SeparatorDark; // the etched separator: a dark line over a light one
    TRgb SeparatorLight;
    TFaceLook MenuSelected;

    TRgb StatusFace;    // sunken and raised panels; the flat one is Colours.ButtonFace
    TRgb StatusShadow;
    TRgb StatusLight;
    TRgb StatusText;

    // The combo box's drop-down button and the up-down halves: normal, pressed, disabled, hot.
    TFaceLook SmallButtons[4];

    TRgb SunkFill;      // the middle, and the outer line on the bottom and right
    TRgb SunkLight;     // the inner line on the bottom and right
    TRgb SunkSoftShade; // the inner line on the top and left
    TRgb SunkShadow;    // the outer line on the top and left

    TRgb GripDot;       // the size grip's dots and the shine under each
    TRgb GripShine;

    TBandLook HeaderNormal, HeaderHot, HeaderPressed;
    TRgb HeaderSeparator;
    TRgb HeaderSeparatorLight;

    TRgb TabOutline, TabTop, TabBottom;
    TRgb SelectedTabOutline, SelectedTabTop, SelectedTabBottom;
    TRgb TabAccent;     // the line along the top of the selected tab
    TRgb PageOutline;   // the page border around Colours.ButtonFace
    TRgb PageLight;
    TRgb PageShadow;
    TRgb TabText, TabHotText;

    TFaceLook ProgressTrough, ProgressBar;
    bool ProgressChunks = false; // the filled part as separate chunks over one trough image

    TFaceLook ArrowNormal, ArrowPressed;
    TRgb TrackFill;
    TRgb TrackEdge;
    TRgb TrackShadow;   // the row under the upper edge
    TFaceLook ThumbNormal, ThumbPressed, ThumbHot;
};

const TTheme& SlateTheme();
const TTheme& NightTheme();
// "slate" or "night"; nullptr for any other name.
const TTheme* FindTheme(const std::string& Key);
