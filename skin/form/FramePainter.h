// The frame of a skinned window: border sizes from the skin's border images, borders and title
// bar painted into the non-client area, the title text, and the window region that turns the key
// colour into holes (and the region the host had, given back when the skin goes).
//
// Each border piece is composed once per size and state and the title bar again only when what it
// shows changed; a paint copies them. Nothing is read back from the window.
#pragma once

#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Canvas.h"
#include "framework/win/Handles.h"
#include "skin/data/SkinElements.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TSkinData;
class TWinSkinForm;

class TFramePainter {
public:
    explicit TFramePainter(TWinSkinForm& Form);

    // ---- metrics
    // The border sizes from the skin (none for a frameless window); the composed pieces go.
    void LoadBorderMetrics();
    // Forgets the composed pieces and title bar: the next paint composes them again.
    void ResetCache();
    // The skin has four borders with frames to draw.
    static bool CanDrawFrame(const TSkinData& Data);
    int BorderLeft() const { return FBorderLeft; }
    int BorderTop() const { return FBorderTop; }
    int BorderRight() const { return FBorderRight; }
    int BorderBottom() const { return FBorderBottom; }
    // The height of the skinned menu bar below the title (0 while the menu bar is the system's).
    int MenuHeight() const { return FMenuHeight; }
    void SetMenuHeight(int Value) { FMenuHeight = Value; }
    // The title font of the system's non-client metrics.
    void LoadCaptionFont();
    HFONT CaptionFont() const { return FCaptionFont.get(); }
    // The window's small icon (or the one another main-form skin captured) for the title bar.
    void CaptureIcon();
    TBitmap* IconBitmap() const { return FIconBitmap.get(); }

    // ---- painting
    // The whole frame on DC, or on the window DC when DC is nullptr.
    void PaintFrame(HDC DC);
    void PaintTitleBar(HDC DC);
    void PaintTitleText(TCanvas& Canvas, const RECT& R);
    void DrawBorder(TBorderSide Side, const RECT& Rect, HDC DC);
    // The composed title bar (borders' tops, title, text, caption buttons).
    TBitmap* CaptionBuffer() const { return FCaptionBuffer.get(); }
    // The window text as the title shows it.
    const std::string& CaptionText() const { return FCaptionText; }
    void ReadCaptionText();
    // Where the title text went in the last paint (window coordinates).
    const RECT& TextRect() const { return FTextRect; }
    // The window's rectangle (screen), width and height at the last paint.
    const RECT& WindowRect() const { return FWindowRect; }
    int FrameWidth() const { return FFrameWidth; }
    int FrameHeight() const { return FFrameHeight; }

    // ---- the window region
    // Notes the region the window has before the skin (none, or its own shape).
    void RecordHostRegion();
    // Cuts the skin's key colour out of the frame, when the size changed or the skin did.
    void BuildWindowRegion();
    // Gives the window the region it had before the skin.
    void DropWindowRegion();
    void GiveRegionBack(BOOL Redraw);
    // The window is gone with its region.
    void ForgetRegion() { FRegionSet = false; }
    bool RegionSet() const { return FRegionSet; }

private:
    TDataSkinBorder* BorderElement(TBorderSide Side) const;

    TWinSkinForm& FForm;
    TFontHandle FCaptionFont;
    std::string FCaptionPrefix = "  ";
    std::string FCaptionSuffix = " ";
    std::string FCaptionText;
    int FBorderLeft = 0;
    int FBorderTop = 0;
    int FBorderRight = 0;
    int FBorderBottom = 0;
    int FMenuHeight = 0;
    std::unique_ptr<TBitmap> FIconBitmap;
    std::unique_ptr<TBitmap> FCaptionBuffer;
    // The frame pieces composed for the current sizes and states.
    struct TFramePiece {
        TBorderSide Side;
        int Frame;
        int Width;
        int Height;
        std::unique_ptr<TBitmap> Image;
    };
    std::vector<TFramePiece> FPieces;
    // What the title bar in FCaptionBuffer shows.
    struct TTitleKey {
        int Width = 0;
        int Height = 0;
        bool Active = false;
        int ShowState = -1;
        std::string Text;
        bool operator==(const TTitleKey&) const = default;
    };
    TTitleKey FTitleKey;
    RECT FTextRect{0, 0, 0, 0};
    RECT FWindowRect{0, 0, 0, 0};
    int FFrameWidth = 0;
    int FFrameHeight = 0;
    SIZE FRegionSize{0, 0};
    bool FRegionSet = false;
    TRegionHandle FHostRegion;
};
