// The element records of a skin: what the description says about one piece of the skin (a frame
// strip with its margins, frame count, transparency, tiling and text colours), plus the extra
// fields of borders, push buttons, the title and caption buttons. The painters read them.
#pragma once

#include "framework/core/Object.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Colors.h"

#include <cstdint>
#include <memory>
#include <string>

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
