// The frame of a skinned window: border sizes from the skin's border images, borders and title
// bar painted into the non-client area, the title text, and the window region that turns the key
// colour into holes (and the region the host had, given back when the skin goes).
//
// Each border piece is composed once per size and state and the title bar again only when what it
// shows changed; a paint copies them. What it paints is told by a TFrameState: the painter never
// asks the form object, and nothing is read back from the window.
#pragma once

#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Canvas.h"
#include "framework/win/Handles.h"
#include "skin/data/SkinElements.h"
#include "skin/form/FrameState.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TSkinData;

class TFramePainter {
public:
    TFramePainter();

    // ---- metrics
    // The border sizes from Skin (none for a frameless window); the composed pieces go.
    void LoadBorderMetrics(const TSkinData& Skin, int FrameKind);
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
    // Window's small icon for the title bar; without one, Skin's captured icon, or else Shared
    // (the one another main-form skin captured; may be nullptr).
    void CaptureIcon(HWND Window, const TSkinData* Skin, TBitmap* Shared);
    TBitmap* IconBitmap() const { return FIconBitmap.get(); }

    // ---- painting
    // The frame State tells of on DC (the window's DC, or a bitmap's of the window's size: the
    // window itself is not asked): the borders and the title bar with Buttons; the menu bar's band
    // (MenuBarRect) is left to the bar. Whether the skin frames the window at all is the caller's
    // question.
    void Paint(HDC DC, const TFrameState& State, TTitleButtons& Buttons);
    void PaintTitleBar(HDC DC, const TFrameState& State, TTitleButtons& Buttons);
    // The title text in R, cut before RightButtonsLeft (the caption buttons at the right; 0: none).
    void PaintTitleText(TCanvas& Canvas, const RECT& R, const TFrameState& State, int RightButtonsLeft);
    // Where the frame's parts are, at the last paint.
    TFrameLayout Layout() const;
    // The menu bar's band at the last paint (empty without one).
    RECT MenuBarRect() const;
    void DrawBorder(TBorderSide Side, const RECT& Rect, HDC DC, const TFrameState& State);
    // The composed title bar (borders' tops, title, text, caption buttons).
    TBitmap* CaptionBuffer() const { return FCaptionBuffer.get(); }
    // The window text as the title shows it.
    const std::string& CaptionText() const { return FCaptionText; }
    void ReadCaptionText(HWND Window);
    // Where the title text went in the last paint (window coordinates).
    const RECT& TextRect() const { return FTextRect; }
    // The window's width and height at the last paint.
    int FrameWidth() const { return FFrameWidth; }
    int FrameHeight() const { return FFrameHeight; }

    // ---- the window region
    // Notes the region Window has before the skin (none, or its own shape).
    void RecordHostRegion(HWND Window);
    // Cuts the skin's key colour out of the frame, when the size changed or the skin did.
    void BuildWindowRegion(const TFrameState& State);
    // Gives Window the region it had before the skin.
    void DropWindowRegion(HWND Window);
    void GiveRegionBack(HWND Window, BOOL Redraw);
    // The window is gone with its region.
    void ForgetRegion() { FRegionSet = false; }
    bool RegionSet() const { return FRegionSet; }

private:
    static TDataSkinBorder* BorderElement(const TSkinData* Skin, TBorderSide Side);

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
    int FFrameWidth = 0;
    int FFrameHeight = 0;
    SIZE FRegionSize{0, 0};
    bool FRegionSet = false;
    TRegionHandle FHostRegion;
};
