// A skin description parsed: the colour table, the element records with their bitmaps, the
// caption buttons and the face brush, as one object. A load parses into a new TSkinContent and
// the skin data component swaps it in only when the whole description and every bitmap it names
// have loaded, so a skin that fails half-way changes nothing.
#pragma once

#include "framework/core/Stream.h"
#include "framework/core/Strings.h"
#include "framework/graphics/Colors.h"
#include "framework/win/Handles.h"
#include "skin/data/SkinElements.h"
#include "skin/package/ScaleImages.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TCustomIniFile;
class TSkinReader;

// The colour table of a skin (section "Colours").
struct TSkinColours {
    TColor WindowText = clWindowText;
    TColor ButtonFace = clBtnFace;
    TColor Scrollbar = clScrollBar;
    TColor HilightText = clHighlightText;
    TColor Hilight = clHighlight;
    TColor Menubar = clBtnFace;
    TColor Menu = clMenu;
    TColor MenuText = clMenuText;
    TColor ButtonText = clBtnText;
    TColor ButtonHilight = clBtnHighlight;
    TColor Buttonlight = clBtnHighlight;
    TColor ButtonShadow = clBtnShadow;
    TColor ButtonDkShadow = clBtnShadow;
    TColor MenuBarText = clMenuText;
    TColor TitleTextActive = clCaptionText;
    TColor TitleTextNoActive = clInactiveCaptionText;
    // Disabled text (the painters make it stand out from the ground it is drawn on).
    TColor GrayText = clGrayText;
    // The content of edits, lists, views and grids: its ground ("Window"; clNone, when the skin
    // does not give it, leaves content in the program's colours) and, with it, WindowText for its
    // text; "WindowFrame", the line around content, clNone when not given.
    TColor Window = clNone;
    TColor WindowFrame = clNone;
    bool ColoursContent() const { return Window != clNone; }
};

// Everything one description gives; the fixed elements always exist, the optional ones only when
// the description names their image.
class TSkinContent {
public:
    TSkinContent();
    ~TSkinContent();
    TSkinContent(const TSkinContent&) = delete;
    TSkinContent& operator=(const TSkinContent&) = delete;

    std::string SkinName;
    TSkinColours Colours;
    std::vector<TColor> CustomColours;
    std::unique_ptr<TDataSkinBorder> BorderLeft, BorderRight, BorderTop, BorderBottom;
    std::unique_ptr<TDataSkinButton> Buttons;
    std::unique_ptr<TDataSkinTitle> Title;
    std::unique_ptr<TDataSkinBorder> Progress, Tabs, UpDownHorz, UpDownVert;
    std::unique_ptr<TDataSkinObject> MenuBar, GroupBoxEdge, Toolbars, StatusBarEdges, ComboButton, SunkEdge,
        ExtraImages, Headerbar, MenuItem, MenuBackground, Scrollbar, HorzScroll, VertScroll, HorzScrollThumb,
        VertScrollThumb;
    // The caption buttons of the skin, then the three MDI buttons.
    std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;
    TBrushHandle FaceBrush;
    // A brush of the content ground, when the skin gives one.
    TBrushHandle WindowBrush;
    // The description names a frame image (any of the four borders).
    bool FrameNamed = false;

    // Why Border cannot be drawn as a side of a frame ("" when it can): its image is there and
    // holds its frames, each at least a pixel across the way they are laid out.
    static std::string BorderProblem(const TDataSkinBorder& Border);
    // An image the package holds for a scale ("top@2x.bmp" beside "top.bmp"), drawn for Dpi.
    struct TScaleImage {
        int Dpi = 96;
        std::unique_ptr<TBitmap> Image;
    };
    // The images for a scale the description chose, by the base image they stand for; ScaleTo
    // draws from them where their size fits.
    std::map<const TBitmap*, TScaleImage> ScaleImages;

    // The dots per inch the images and lengths are drawn for (96 until ScaleTo).
    int Dpi() const { return FDpi; }
    // Every image and length of the skin redrawn for Dpi: frames, margins, text offsets, the
    // title's font, the caption buttons' places. Made once per load, never per paint.
    void ScaleTo(int Dpi);
    // Why the skin cannot be used ("" when it can). A skin that names a frame must draw all of
    // it; one that names none skins the controls only, and must have an image for one.
    std::string WhyUnusable() const;

private:
    // Bitmap (Frames frames, cut by the margins Margins at 96) redrawn for Dpi: from the image
    // for a scale the package holds for it when there is one, else from itself.
    void ScaleImage(TBitmap& Bitmap, int Frames, bool Vertical, const TMargins& Margins, int Dpi);

    int FDpi = 96;
};


// Reads a description, the bitmaps it names from the entries of an open package.
class TSkinDescription {
public:
    // A title bar never holds more caption buttons than this; later sections are ignored.
    static constexpr std::size_t MaxCaptionButtons = 32;

    // Dpi: the dots per inch the skin will be drawn for; an image named for the scale nearest at
    // or above it (else the largest) is loaded beside each base image.
    explicit TSkinDescription(const TSkinReader& Reader, int Dpi = 96);
    // The whole description, or an exception (a bitmap that does not load) and nothing. Ini
    // answers as the platform's profile functions would for the description file (the engine
    // passes a TProfileMemIniFile of the description entry's bytes).
    std::unique_ptr<TSkinContent> Parse(const TCustomIniFile& Ini);
    // Fills Bitmap from the entry ImageName names (its file-name part, which must end in ".bmp"
    // exactly; a name with a drive names nothing), or empties it.
    void LoadSkinBitmap(TBitmap* Bitmap, const std::string& ImageName);
    // Name+"R", Name+"G", Name+"B"; Colour changes only when all three are 0 or more.
    static void ReadRGBTriple(const TCustomIniFile& Ini, const std::string& Section, const std::string& Name,
                              TColor& Colour);

private:
    void ReadBorders(const TCustomIniFile& Ini);
    void ReadColours(const TCustomIniFile& Ini, const TStringList& Sections);
    void ReadSysButtons(const TCustomIniFile& Ini, const TStringList& Sections);
    void ReadButtons(const TCustomIniFile& Ini);
    void ReadTitle(const TCustomIniFile& Ini);
    void ReadMenuBar(const TCustomIniFile& Ini);
    template <class T>
    T* NewElement(std::unique_ptr<T>& Slot, const TCustomIniFile& Ini, const std::string& Section,
                  const char* ImageKey);
    void ReadImageElement(std::unique_ptr<TDataSkinObject>& Slot, const TCustomIniFile& Ini, const std::string& Section);
    void ReadImagePairElement(std::unique_ptr<TDataSkinBorder>& Slot, const TCustomIniFile& Ini,
                              const std::string& Section, const std::string& SecondKey);
    void ReadBitmapElement(std::unique_ptr<TDataSkinBorder>& Slot, const TCustomIniFile& Ini, const std::string& Section);
    void ReadTextColours(TDataSkinObject& Element, const TCustomIniFile& Ini, const std::string& Section);
    void SetFrameCounts();

    // The image for a scale chosen for the base image Name, loaded beside Bitmap.
    void LoadScaleImage(TBitmap* Bitmap, const std::string& Name);

    const TSkinReader& FReader;
    int FDpi = 96;
    TMemoryStream FWork;
    TSkinContent* FSkin = nullptr; // while Parse runs
};
