// What a skinned window's frame is, as its painters and hit-tests see it: built by the form
// object once for each message that paints or hit-tests, and read, never changed, by the frame
// painter, the caption buttons and the menu bar. Also what the painter and the caption buttons
// know of each other: where the frame's parts are, and the buttons a title bar holds.
#pragma once

#include <windows.h>

#include <string>

class TBitmap;
class TCanvas;
class TNCObject;
class TSkinData;

// SkinState: what the form object is doing with its window.
enum TSkinFormState {
    ssNone = 0,       // attached, SKM_START not seen yet
    ssSkinned = 1,    // running
    ssReskinning = 3, // ReSkin re-fits the window
    ssDetaching = 4,  // the window or the program is going away: colours and look are not restored
    ssFirstFit = 5,   // the first FitToSkin
};

// ShowState.
enum TFormShowState { shNormal = 0, shMaximized = 1, shMinimized = 2 };

// FrameKind: what frame the window had when it was taken over.
enum TFrameKind {
    fkSizeable = 0, // a window edge or a sizing border
    fkNone = 2,     // a popup without caption or border (a splash window): never framed by the skin
    fkThin = 3,     // any other frame (a dialog's)
};

// MDIKind.
enum TMDIKind { mkNone = 0, mkParent = 1, mkChild = 2 };

// CaptionIcons bits.
constexpr unsigned ciMaximize = 1;
constexpr unsigned ciMinimize = 2;
constexpr unsigned ciSystemMenu = 8;

// An MDI child shown maximised or minimised: its frame is the MDI client's business, not the skin's.
inline bool MdiChildOutOfNormal(int MDIKind, int ShowState)
{
    return MDIKind == mkChild && ShowState != shNormal;
}

// What a click on the frame asks for; the form object's message router carries it out.
enum TFrameCommand {
    fcNone,
    fcClose,
    fcMaximize,
    fcRestore,
    fcMinimize,
    fcSystemMenu, // at At
    fcMdiMinimize,
    fcMdiRestore,
    fcMdiClose,
    fcCustom, // a skin's own action: posted to the window as SKM_QUERY with Action
};

struct TFrameClick {
    TFrameCommand Command = fcNone;
    POINT At{0, 0}; // screen
    int Action = 0;
};

struct TFrameState {
    HWND Window = nullptr;
    int Width = 0;             // the window's size, frame included
    int Height = 0;
    TSkinData* Skin = nullptr; // nullptr once the object has no skin, or is going
    bool Active = false;
    int ShowState = shNormal;
    int SkinState = ssNone;
    int FrameKind = fkNone;
    int MDIKind = mkNone;
    DWORD Style = 0;           // the window's style as the object last saw it
    std::string Caption;       // the window text
    int MenuHeight = 0;        // the skinned menu bar's band (0 without one)
    unsigned CaptionIcons = 0; // the caption buttons the window has (ci... bits)
    bool MdiChildMaximized = false; // an MDI frame whose active child is shown maximised
    const TNCObject* Hot = nullptr;

    bool MdiChild() const { return MDIKind == mkChild; }
    // The skin draws the frame: a framed window, not an MDI child shown maximised or minimised.
    bool Framed() const { return Skin != nullptr && FrameKind != fkNone && !MdiChildOutOfNormal(MDIKind, ShowState); }
};

// Where the frame painter put a frame's parts (window coordinates): what the caption buttons are
// placed by.
struct TFrameLayout {
    int Width = 0; // the window's
    int BorderLeft = 0;
    int BorderTop = 0; // the title bar's height
    int BorderRight = 0;
    int MenuHeight = 0;
    RECT TextRect{0, 0, 0, 0}; // the title text, as last drawn
};

// The buttons a title bar holds, composed with it by the frame painter: placed around the text,
// then drawn on the composed bar.
class TTitleButtons {
public:
    virtual ~TTitleButtons() = default;
    // Places the buttons for the window State tells of; the left edge of the ones placed from the
    // right edge (0 when there are none), where a title is cut.
    virtual int PlaceButtons(const TFrameState& State, const TFrameLayout& Layout) = 0;
    // Draws them on Canvas (the title bar's); Icon is what the system-menu button shows.
    virtual void PaintButtons(TCanvas& Canvas, const TFrameState& State, TBitmap* Icon) = 0;
};
