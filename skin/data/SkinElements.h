// The element records of a skin: what the description says about one piece of the skin (a frame
// strip with its margins, frame count, transparency, tiling and text colours), plus the extra
// fields of borders, push buttons, the title and caption buttons. The painters read them.
#pragma once

#include "framework/core/Object.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Colors.h"
#include "skin/draw/SkinDraw.h"

#include <cstdint>
#include <memory>
#include <string>

// The sides of a window's frame, numbered as the painters and the region builder take them.
enum TBorderSide : int32_t { sdLeft = 1, sdRight = 2, sdTop = 3, sdBottom = 4 };

// A caption button's Action: what a click does. Other values are the application's own (the
// click posts them); negative ones make a button that only decorates.
enum TCaptionAction : int32_t {
    cbClose = 0,
    cbMaximize = 1,
    cbMinimize = 2,
    cbSystemMenu = 3,
    cbMdiMinimize = 7,
    cbMdiRestore = 8,
    cbMdiClose = 9,
    cbSystemIcon = 11, // shows the window icon and opens the system menu
    cbSystemMenuOnly = 12,
    cbMaximizeAlt = 22,
    cbMinimizeAlt = 23,
    cbMdiMinimizeAlt = 60,
    cbMdiRestoreAlt = 61,
    cbMdiCloseAlt = 62,
};

// A caption button's Visibility and Visibility1: when it shows. Values from cvAlwaysFrom to
// cvAlwaysTo always show it; any value not named here hides it.
enum TCaptionVisibility : int32_t {
    cvDefault = 0, // a frame with a caption (and, for the close button, a system menu)
    cvMaximized = 1,
    cvNotMaximized = 2,
    cvActive = 3,
    cvInactive = 4,
    cvNever = 5,
    cvMaximizeBox = 6,
    cvNoMaximizeBox = 7,
    cvMinimizeBox = 8,
    cvNoMinimizeBox = 9,
    cvMdiMenuBar = 100, // in the menu bar, while an MDI child is maximised
    cvAlwaysFrom = 200,
    cvAlwaysTo = 2000,
};

// A caption button's Align: where Xcoord and Ycoord count from.
enum TCaptionAlign : int32_t {
    baLeftEdge = 0,
    baRightEdge = 1,
    baBeforeText = 2,
    baAfterText = 3,
    baBeforeTextAlt = 8,
    baAfterTextAlt = 9,
    baMenuBar = 100,
};

// The frames of a caption button's strip, and a non-client object's state (0: not drawn yet).
enum TButtonState : int32_t { btNone = 0, btNormal = 1, btPressed = 2, btHot = 3, btInactive = 4 };

// The colour ParseColour gives for a title that has no text colour of its own.
constexpr TColor NoTitleTextColour = 0x1FFFFFFF;

class TDataSkinObject : public TObject {
    DECLARE_CLASS(TDataSkinObject, TObject)
public:
    explicit TDataSkinObject(std::string AName);
    ~TDataSkinObject() override;

    int32_t LeftWidth = 0;
    int32_t TopHeight = 0;
    int32_t RightWidth = 0;
    int32_t BottomHeight = 0;
    // The element's frame strip; never null, empty when the skin gives none.
    std::unique_ptr<TBitmap> Bitmap;
    int32_t Trans = 0;
    int32_t Tile = 0;
    std::string Name;
    int32_t FrameCount = 0;
    int32_t Style = 0;
    int32_t NormalColour = 0;
    int32_t MouseOverColour = 0;
    int32_t PressedColour = 0;
    TColor NormalColour2 = 0;
    TColor MouseOverColour2 = 0;
    TColor PressedColour2 = 0;
};

// Adds a second image: a border, a progress chunk or a glyph image.
class TDataSkinBorder : public TDataSkinObject {
    DECLARE_CLASS(TDataSkinBorder, TDataSkinObject)
public:
    explicit TDataSkinBorder(std::string AName);
    ~TDataSkinBorder() override;
    std::unique_ptr<TBitmap> Bitmap2;
};

class TDataSkinButton : public TDataSkinObject {
    DECLARE_CLASS(TDataSkinButton, TDataSkinObject)
public:
    explicit TDataSkinButton(std::string AName);
    ~TDataSkinButton() override;
    std::unique_ptr<TBitmap> CheckButton;
    std::unique_ptr<TBitmap> RadioButton;
    int32_t RadioButtonFrame = 0;
    int32_t CheckButtonFrame = 0;
};

// The title: the margins hold TextShift, TextShiftVert, TextRightClip (and 0); Bitmap is TextBack.
class TDataSkinTitle : public TDataSkinObject {
    DECLARE_CLASS(TDataSkinTitle, TDataSkinObject)
public:
    explicit TDataSkinTitle(std::string AName);
    int32_t TextShift() const { return LeftWidth; }
    int32_t TextShiftVert() const { return TopHeight; }
    int32_t TextRightClip() const { return RightWidth; }

    int32_t TextAlignment = 0;
    int32_t Textbackground = 0;
    int32_t FontHeight = 0;
    int32_t TXTBackleft = 0;
    int32_t TXTBackRight = 0;
    TColor ActiveText = NoTitleTextColour;
    TColor InActiveText = NoTitleTextColour;
};

// One caption button: Bitmap is its ButtonImage.
class TDataSkinSysButton : public TDataSkinObject {
    DECLARE_CLASS(TDataSkinSysButton, TDataSkinObject)
public:
    explicit TDataSkinSysButton(std::string AName);
    int32_t Action = 0;
    int32_t Align = 0;
    int32_t Xcoord = 0;
    int32_t Ycoord = 0;
    int32_t CombineOp = 0;
    int32_t Visibility = 0;
    int32_t Visibility1 = 0;
};

// A colour text of the description: the first three runs of digits are red, green and blue
// (each taken modulo 256); two runs and a pending one make three; missing numbers are 0.
// "210 232 249" and "210,232,249" give red 210, green 232, blue 249.
TColor ParseColour(const std::string& Text);

// The four margins of an element, as the frame routines take them.
inline TMargins MarginsOf(const TDataSkinObject& Element)
{
    return TMargins{Element.LeftWidth, Element.TopHeight, Element.RightWidth, Element.BottomHeight};
}
