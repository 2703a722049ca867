// make_skin FOLDER: draws the program's built-in skin ("Pembrox Slate") into FOLDER as 24-bit
// bitmaps plus the description default.ini; the build packs the folder with skinpack.
//
// All artwork is computed here: every element has one function that draws its strips and writes
// its keys, and main() runs them in order. To add an element, write its function and list it in
// ElementWriters. The output depends on nothing but this source (no clock, no randomness).
#include "skins/generator/Raster.h"
#include "skins/generator/SkinWriter.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

// ---- The theme --------------------------------------------------------------------------------

// One look of the window frame; the active frame is slate blue, the inactive one a quiet grey.
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

constexpr TFramePalette ActiveFrame{Rgb(0x23334A), Rgb(0xA3B7D0), Rgb(0x4A6282), Rgb(0x5B7596), Rgb(0x33465F),
                                    Rgb(0x86A0C0), Rgb(0x4C6587), Rgb(0x41577A), Rgb(0x546C8E), Rgb(0x5D7697)};
constexpr TFramePalette InactiveFrame{Rgb(0x6C7582), Rgb(0xD3D8DE), Rgb(0x9098A4), Rgb(0xA3ABB6), Rgb(0x7D8693),
                                      Rgb(0xC3C9D1), Rgb(0x9AA2AE), Rgb(0x7D8692), Rgb(0x929AA6), Rgb(0x99A1AC)};

// A raised control face: outline, a vertical gradient and the glyph drawn on it.
struct TFaceLook {
    TRgb Outline;
    TRgb Top;
    TRgb Bottom;
    TRgb Glyph;
    double Highlight = 0.35; // how much the row under the top outline is lightened
    int GlyphShift = 0;      // pressed faces move their glyph down and right
};

constexpr TRgb White{255, 255, 255};
constexpr TRgb Ink = Rgb(0x18202C); // text on light faces
constexpr TRgb ButtonFace = Rgb(0xE0E4EB);

// ---- Frame geometry ---------------------------------------------------------------------------

constexpr int SideWidth = 4;     // left and right borders
constexpr int TitleHeight = 26;  // the top border, which holds the caption
constexpr int FootHeight = 4;    // the bottom border
constexpr int CornerRadius = 8;  // the top corners are rounded, cut with the key colour
constexpr int ModelWidth = 48;   // the model window the border strips are cut from
constexpr int ModelHeight = 40;
constexpr int TopEndLength = 8;  // unscaled ends of the top strip (they hold the rounded corners)

constexpr int CaptionButtonWidth = 19;
constexpr int CaptionButtonHeight = 17;
constexpr int CaptionButtonTop = (TitleHeight - CaptionButtonHeight) / 2;
constexpr int CaptionButtonGap = 2;
constexpr int CloseButtonX = SideWidth + 3 + CaptionButtonWidth; // Xcoord from the right edge
constexpr int MaximiseButtonX = CloseButtonX + CaptionButtonGap + CaptionButtonWidth;
constexpr int MinimiseButtonX = MaximiseButtonX + CaptionButtonGap + CaptionButtonWidth;
constexpr int IconSize = 16;
constexpr int IconX = SideWidth + 2;

std::string ColourText(TRgb Colour)
{
    return std::to_string(Colour.R) + " " + std::to_string(Colour.G) + " " + std::to_string(Colour.B);
}

TRgb Lighten(TRgb Colour, double Amount) { return Mix(Colour, White, Amount); }

void BlendRect(TRaster& Target, int X, int Y, int W, int H, TRgb Colour, double Alpha)
{
    for (int y = Y; y < Y + H; ++y)
        for (int x = X; x < X + W; ++x)
            Target.Blend(x, y, Colour, Alpha);
}

// ---- Glyphs -----------------------------------------------------------------------------------
// Each draws into an S x S box at (X, Y) with the given colour and opacity.

using TGlyph = std::function<void(TRaster&, int X, int Y, int S, TRgb Colour, double Alpha)>;

void CloseGlyph(TRaster& Target, int X, int Y, int S, TRgb Colour, double Alpha)
{
    TRaster cover(S + 2, S + 2, Rgb(0x000000));
    double width = S >= 9 ? 1.9 : 1.5;
    StrokeLine(cover, 1.5, 1.5, S + 0.5, S + 0.5, width, White);
    StrokeLine(cover, S + 0.5, 1.5, 1.5, S + 0.5, width, White);
    for (int y = 0; y < S + 2; ++y)
        for (int x = 0; x < S + 2; ++x)
            Target.Blend(X - 1 + x, Y - 1 + y, Colour, Alpha * cover.At(x, y).R / 255.0);
}

void BoxOutline(TRaster& Target, int X, int Y, int W, int H, int TopBar, TRgb Colour, double Alpha)
{
    BlendRect(Target, X, Y, W, TopBar, Colour, Alpha);
    BlendRect(Target, X, Y + TopBar, 1, H - TopBar, Colour, Alpha);
    BlendRect(Target, X + W - 1, Y + TopBar, 1, H - TopBar, Colour, Alpha);
    BlendRect(Target, X + 1, Y + H - 1, W - 2, 1, Colour, Alpha);
}

void MaximiseGlyph(TRaster& Target, int X, int Y, int S, TRgb Colour, double Alpha)
{
    BoxOutline(Target, X, Y, S, S - 1, S >= 9 ? 2 : 1, Colour, Alpha);
}

void RestoreGlyph(TRaster& Target, int X, int Y, int S, TRgb Colour, double Alpha)
{
    int box = S - 2;
    int bar = S >= 9 ? 2 : 1;
    // The window behind: only the parts the front window leaves visible.
    BlendRect(Target, X + 2, Y, box, bar, Colour, Alpha);
    BlendRect(Target, X + S - 1, Y + bar, 1, box - bar, Colour, Alpha);
    BlendRect(Target, X + box, Y + box - 1, 1, 1, Colour, Alpha);
    BoxOutline(Target, X, Y + 2, box, box, bar, Colour, Alpha);
}

void MinimiseGlyph(TRaster& Target, int X, int Y, int S, TRgb Colour, double Alpha)
{
    int bar = S >= 9 ? 2 : 1;
    BlendRect(Target, X + 1, Y + S - 1 - bar, S - 2, bar, Colour, Alpha);
}

// ---- Shapes shared by several elements ---------------------------------------------------------

// A W x H rounded face in Look, key colour outside the corners, optionally with a glyph of size S.
TRaster Face(int W, int H, double Radius, const TFaceLook& Look, const TGlyph& Glyph = nullptr, int S = 0)
{
    TRaster face(W, H);
    PaintRoundRect(face, 0, 0, W, H, Radius, TShapeStyle{Look.Outline, 1.0, true}, [&](int, int y) {
        TRgb c = Mix(Look.Top, Look.Bottom, H > 3 ? (y - 1.0) / (H - 3.0) : 0.0);
        return y == 1 ? Lighten(c, Look.Highlight) : c;
    });
    if (Glyph) {
        int x = (W - S) / 2 + Look.GlyphShift;
        int y = (H - S) / 2 + Look.GlyphShift;
        Glyph(face, x, y + 1, S, Rgb(0x101820), 0.28); // a soft shadow under the glyph
        Glyph(face, x, y, S, Look.Glyph, 1.0);
    }
    return face;
}

// ---- Frame: the four borders ------------------------------------------------------------------

// The frame of a model window, from which all four border strips are cut: the strips then meet
// without seams whatever size the engine stretches them to.
TRaster ModelFrame(const TFramePalette& P)
{
    TRaster model(ModelWidth, ModelHeight);
    const int r = CornerRadius;
    for (int y = 0; y < ModelHeight; ++y)
        for (int x = 0; x < ModelWidth; ++x) {
            int fromLeft = x;
            int fromRight = ModelWidth - 1 - x;
            int fromTop = y;
            int fromBottom = ModelHeight - 1 - y;
            int depth = std::min({fromLeft, fromRight, fromTop, fromBottom});
            bool rightOrBottom = depth == fromRight || depth == fromBottom;
            if (y < r && (x < r || x >= ModelWidth - r)) {
                double cx = x < r ? r : ModelWidth - r;
                double distance = std::hypot(x + 0.5 - cx, y + 0.5 - r);
                if (distance > r) {
                    model.Set(x, y, KeyColour);
                    continue;
                }
                depth = static_cast<int>(std::floor(r - distance));
                rightOrBottom = x >= ModelWidth - r && distance > r - 1.5 && fromTop > 1;
            }
            TRgb c;
            if (depth == 0)
                c = P.Outline;
            else if (depth == 1)
                c = rightOrBottom ? P.Shade : P.Light;
            else if (y < TitleHeight) {
                if (y == TitleHeight - 1 && x >= SideWidth - 1 && x <= ModelWidth - SideWidth)
                    c = P.Inner;
                else {
                    c = Mix(P.TitleTop, P.TitleBottom, (y - 1.0) / (TitleHeight - 3.0));
                    if (y < TitleHeight / 2)
                        c = Lighten(c, 0.08); // a faint glaze on the upper half
                }
            } else if (x == SideWidth - 1 || x == ModelWidth - SideWidth || y == ModelHeight - FootHeight)
                c = P.Inner;
            else
                c = P.Body;
            model.Set(x, y, c);
        }
    return model;
}

void WriteFrameBorders(TSkinWriter& Skin)
{
    TRaster active = ModelFrame(ActiveFrame);
    TRaster inactive = ModelFrame(InactiveFrame);
    auto cut = [&](int X, int Y, int W, int H, bool Vertical) {
        return JoinFrames({active.Crop(X, Y, W, H), inactive.Crop(X, Y, W, H)}, Vertical);
    };
    const int innerWidth = ModelWidth - 2 * SideWidth;
    TIniSection& s = Skin.Section("Personality");
    // Left and right: frames side by side; their top rows are the ends of the title band.
    s.Set("Left", Skin.SaveImage("left.bmp", cut(0, 0, SideWidth, ModelHeight, false)));
    s.Set("LeftFrame", 2).Set("LeftTopHeight", TitleHeight).Set("LeftBotHeight", FootHeight);
    s.Set("LeftStretch", 1).Set("LeftTrans", 1);
    s.Set("Right", Skin.SaveImage("right.bmp", cut(ModelWidth - SideWidth, 0, SideWidth, ModelHeight, false)));
    s.Set("RightFrame", 2).Set("RightTopHeight", TitleHeight).Set("RightBotHeight", FootHeight);
    s.Set("RightStretch", 1).Set("RightTrans", 1);
    // Top and bottom: frames stacked; the two margin keys are the unscaled left and right ends.
    s.Set("Top", Skin.SaveImage("top.bmp", cut(SideWidth, 0, innerWidth, TitleHeight, true)));
    s.Set("TopFrame", 2).Set("TopTopHeight", TopEndLength).Set("TopBotHeight", TopEndLength);
    s.Set("TopStretch", 1).Set("TopTrans", 1);
    s.Set("Bottom", Skin.SaveImage("bottom.bmp", cut(SideWidth, ModelHeight - FootHeight, innerWidth, FootHeight, true)));
    s.Set("BottomFrame", 2).Set("BottomTopHeight", 0).Set("BottomBotHeight", 0);
    s.Set("BottomStretch", 1).Set("BottomTrans", 0); // square bottom corners: no holes
}

// ---- Title: caption text and the band behind it ------------------------------------------------

constexpr int TextBackLeft = 6;   // the rounded left end of the band
constexpr int TextBackRight = 9;  // the rounded right end, a little longer to balance the padding
constexpr int TextBackMiddle = 4;

TRaster TextBackFrame(const TFramePalette& P)
{
    const int w = TextBackLeft + TextBackMiddle + TextBackRight;
    const int h = TitleHeight - 10;
    TRaster frame(w, TitleHeight);
    PaintRoundRect(frame, 0, 5, w, h, 6.0, TShapeStyle{P.PillOutline, 1.0, true},
                   [&](int, int y) { return Mix(P.PillTop, P.PillBottom, y / (h - 1.0)); });
    // A light line under the lower edge makes the band look pressed into the title. It lies on
    // the title itself, so it is drawn in a solid colour (a blend with the key colour would show).
    const int y = 5 + h;
    TRgb title = Mix(P.TitleTop, P.TitleBottom, (y - 1.0) / (TitleHeight - 3.0));
    for (int x = 4; x < w - 4; ++x)
        frame.Set(x, y, Mix(title, P.Light, 0.3));
    return frame;
}

void WriteSkinName(TSkinWriter& Skin) { Skin.Section("TitlebarSkin").Set("SkinName", "Pembrox Slate"); }

void WriteTitle(TSkinWriter& Skin)
{
    TIniSection& s = Skin.Section("Personality");
    s.Set("TextBack", Skin.SaveImage("textback.bmp",
                                     JoinFrames({TextBackFrame(ActiveFrame), TextBackFrame(InactiveFrame)}, true)));
    s.Set("TextShift", IconX + IconSize + 2 - SideWidth); // the caption starts right of the icon
    s.Set("TextShiftVert", 0);
    s.Set("TextRightClip", MinimiseButtonX + 2); // never under the caption buttons
    s.Set("TextAlignment", 0);
    s.Set("Textbackground", 1);
    s.Set("TXTBackleft", TextBackLeft).Set("TXTBackRight", TextBackRight);
    s.Set("ActiveTextR", 255).Set("ActiveTextG", 255).Set("ActiveTextB", 255);
    s.Set("InActiveTextR", 240).Set("InActiveTextG", 242).Set("InActiveTextB", 245);
    Skin.Section("Fonts").Set("FontHeight", 14);
}

// ---- Caption buttons ----------------------------------------------------------------------------

// Frames of a caption-button strip: 1 normal, 2 pressed, 3 hot, 4 inactive window.
struct TCaptionLooks {
    TFaceLook Normal, Pressed, Hot, Inactive;
};

constexpr TCaptionLooks CaptionLooks{
    {Rgb(0x2D3F58), Rgb(0x97AECC), Rgb(0x5F7999), Rgb(0xF5F8FC), 0.35, 0},
    {Rgb(0x1F2D41), Rgb(0x4A6284), Rgb(0x6781A3), Rgb(0xE6ECF4), 0.0, 1},
    {Rgb(0x2D3F58), Rgb(0xB4C7DF), Rgb(0x7A94B5), White, 0.45, 0},
    {Rgb(0x78818E), Rgb(0xCDD3DA), Rgb(0xA7AFBA), Rgb(0xF4F6F8), 0.35, 0}};

// The close button turns red under the mouse.
constexpr TCaptionLooks CloseLooks{
    CaptionLooks.Normal,
    {Rgb(0x4E1A15), Rgb(0x9A362E), Rgb(0xBB5047), Rgb(0xF6E6E4), 0.0, 1},
    {Rgb(0x68251F), Rgb(0xE98D83), Rgb(0xBD4B41), White, 0.35, 0},
    CaptionLooks.Inactive};

TRaster CaptionButtonStrip(const TCaptionLooks& Looks, const TGlyph& Glyph)
{
    auto face = [&](const TFaceLook& look) {
        return Face(CaptionButtonWidth, CaptionButtonHeight, 3.0, look, Glyph, 9);
    };
    return JoinFrames({face(Looks.Normal), face(Looks.Pressed), face(Looks.Hot), face(Looks.Inactive)}, false);
}

// The stand-in for the window icon (the engine shows the window's own icon on this button; the
// image gives the button its size).
TRaster SystemIcon()
{
    TRaster icon(IconSize, IconSize);
    const TRgb outline = Rgb(0x2A3C54);
    PaintRoundRect(icon, 1, 2, 14, 12, 2.0, TShapeStyle{outline, 1.0, true}, [&](int, int y) {
        if (y <= 3)
            return Mix(Rgb(0x9CB3D1), Rgb(0x5E7899), (y - 1) / 2.0);
        return Mix(White, Rgb(0xDDE4EE), (y - 4) / 6.0);
    });
    for (int x = 2; x < 14; ++x)
        icon.Set(x, 5, Rgb(0x8597AE));
    return icon;
}

// One caption-button section: Align 1 places the button Xcoord pixels left of the window's right
// edge, Align 0 Xcoord pixels right of its left edge; Ycoord counts from the window's top.
void CaptionButton(TSkinWriter& Skin, const std::string& Section, int Action, int Align, int X, int Y,
                   int Visibility, const std::string& Image, const TRaster& Strip, int Frames)
{
    TIniSection& s = Skin.Section(Section);
    s.Set("Action", Action).Set("Align", Align).Set("Xcoord", X).Set("Ycoord", Y);
    s.Set("Visibility", Visibility).Set("Visibility1", 0);
    s.Set("ButtonImage", Skin.SaveImage(Image, Strip)).Set("frame", Frames);
}

void WriteCaptionButtons(TSkinWriter& Skin)
{
    // Actions: 0 close, 1 maximise or restore, 2 minimise, 3 system menu. Visibility 0 shows a
    // button whenever the window has it; 2 only while not maximised, 1 only while maximised.
    CaptionButton(Skin, "Button1", 0, 1, CloseButtonX, CaptionButtonTop, 0, "btnclose.bmp",
                  CaptionButtonStrip(CloseLooks, CloseGlyph), 4);
    CaptionButton(Skin, "Button2", 1, 1, MaximiseButtonX, CaptionButtonTop, 2, "btnmax.bmp",
                  CaptionButtonStrip(CaptionLooks, MaximiseGlyph), 4);
    CaptionButton(Skin, "Button3", 1, 1, MaximiseButtonX, CaptionButtonTop, 1, "btnrestore.bmp",
                  CaptionButtonStrip(CaptionLooks, RestoreGlyph), 4);
    CaptionButton(Skin, "Button4", 2, 1, MinimiseButtonX, CaptionButtonTop, 0, "btnmin.bmp",
                  CaptionButtonStrip(CaptionLooks, MinimiseGlyph), 4);
    CaptionButton(Skin, "Button5", 3, 0, IconX, (TitleHeight - IconSize) / 2, 0, "sysicon.bmp", SystemIcon(), 1);
}

// ---- MDI child buttons on the menu bar -----------------------------------------------------------

// Three buttons (minimise, restore, close) of four frames each: normal, pressed, then the hot
// look twice (frame 4 is what these buttons show under the mouse).
void WriteMdiControls(TSkinWriter& Skin)
{
    const TFaceLook normal{Rgb(0x9AA6B6), Rgb(0xF6F8FB), Rgb(0xDCE2EA), Rgb(0x2F3E52), 0.5, 0};
    const TFaceLook pressed{Rgb(0x5A6E8A), Rgb(0xC2CCDA), Rgb(0xD6DDE7), Rgb(0x1E2A3A), 0.0, 1};
    const TFaceLook hot{Rgb(0x5E7AA1), White, Rgb(0xDCE6F3), Rgb(0x1E3556), 0.5, 0};
    std::vector<TRaster> frames;
    for (const TGlyph& glyph : {TGlyph(MinimiseGlyph), TGlyph(RestoreGlyph), TGlyph(CloseGlyph)})
        for (const TFaceLook* look : {&normal, &pressed, &hot, &hot})
            frames.push_back(Face(16, 14, 2.0, *look, glyph, 7));
    Skin.Section("MDICONTROLS").Set("Image", Skin.SaveImage("mdicontrols.bmp", JoinFrames(frames, false)));
}

// ---- Push buttons, check boxes and radio buttons -------------------------------------------------

constexpr int PushMargin = 4;

TRaster PushButtonFrame(TRgb Outline, TRgb Top, TRgb Bottom, double Highlight, TRgb Ring, double RingAlpha)
{
    TRaster frame(24, 22);
    PaintRoundRect(frame, 0, 0, 24, 22, 3.0, TShapeStyle{Outline, 1.0, true}, [&](int x, int y) {
        TRgb c = Mix(Top, Bottom, (y - 1.0) / 19.0);
        if (y == 1)
            c = Lighten(c, Highlight);
        // An inner ring one pixel in from the outline (focus and default looks).
        if (RingAlpha > 0 && (x == 1 || x == 22 || y == 1 || y == 20))
            c = Mix(c, Ring, RingAlpha);
        return c;
    });
    return frame;
}

void WritePushButtons(TSkinWriter& Skin)
{
    // Frames: 1 normal, 2 pressed, 3 disabled, 4 hot or focused, 5 default button.
    TRaster strip = JoinFrames(
        {PushButtonFrame(Rgb(0x8190A4), Rgb(0xFCFDFE), Rgb(0xDCE2EB), 0.6, White, 0.0),
         PushButtonFrame(Rgb(0x566A87), Rgb(0xC3CDDB), Rgb(0xDCE3EC), 0.0, Rgb(0xAEB9C9), 0.6),
         PushButtonFrame(Rgb(0xBAC1CB), Rgb(0xF2F4F7), Rgb(0xEBEEF2), 0.0, White, 0.0),
         PushButtonFrame(Rgb(0x4E6B93), White, Rgb(0xD8E3F1), 0.0, Rgb(0xA4BBDA), 0.8),
         PushButtonFrame(Rgb(0x3B5880), Rgb(0xFCFDFE), Rgb(0xDCE2EB), 0.0, Rgb(0x7E9BC2), 0.7)},
        false);
    TIniSection& s = Skin.Section("Buttons");
    s.Set("Bitmap", Skin.SaveImage("button.bmp", strip));
    s.Set("LeftWidth", PushMargin).Set("TopHeight", PushMargin).Set("RightWidth", PushMargin);
    s.Set("BottomHeight", PushMargin);
    s.Set("Trans", 1).Set("Tile", 0);
    s.Set("NormalColour2", ColourText(Ink));
    s.Set("MouseOverColour2", ColourText(Rgb(0x16304F)));
    s.Set("PressedColour2", ColourText(Rgb(0x101C2E)));
}

// Frames of both strips: 1 unchecked, 2 checked, 3 unchecked disabled, 4 checked disabled.
constexpr int BoxSize = 13;

TRaster CheckFrame(bool Checked, bool Enabled, bool Round)
{
    TRaster frame(BoxSize, BoxSize);
    TRgb outline = Enabled ? Rgb(0x5F748E) : Rgb(0xB3BAC4);
    TRgb top = Enabled ? White : Rgb(0xF3F4F6);
    TRgb bottom = Enabled ? Rgb(0xDFE6EF) : Rgb(0xECEEF1);
    TRgb mark = Enabled ? Rgb(0x284770) : Rgb(0xA2AAB5);
    PaintRoundRect(frame, 0, 0, BoxSize, BoxSize, Round ? BoxSize / 2.0 : 2.0, TShapeStyle{outline, 1.0, true},
                   [&](int, int y) { return Mix(top, bottom, (y - 1.0) / (BoxSize - 3.0)); });
    if (Checked) {
        if (Round)
            FillDisc(frame, BoxSize / 2.0, BoxSize / 2.0, 2.6, mark);
        else {
            StrokeLine(frame, 3.3, 6.6, 5.6, 9.0, 1.8, mark);
            StrokeLine(frame, 5.6, 9.0, 9.9, 3.6, 1.8, mark);
        }
    }
    return frame;
}

void WriteCheckAndRadio(TSkinWriter& Skin)
{
    auto strip = [](bool round) {
        return JoinFrames({CheckFrame(false, true, round), CheckFrame(true, true, round),
                           CheckFrame(false, false, round), CheckFrame(true, false, round)},
                          false);
    };
    TIniSection& s = Skin.Section("Buttons");
    s.Set("CheckButton", Skin.SaveImage("checkbox.bmp", strip(false))).Set("CheckButtonFrame", 4);
    s.Set("RadioButton", Skin.SaveImage("radio.bmp", strip(true))).Set("RadioButtonFrame", 4);
}

// ---- Menu bar --------------------------------------------------------------------------------------

// The bar below the title: a light band over the face colour with a hairline under it, and ends
// that continue the frame's inner line. Frame 1 for an active window, frame 2 for an inactive one.
void WriteMenuBar(TSkinWriter& Skin)
{
    constexpr int Width = 32, Height = 20, End = 2;
    auto frame = [](TRgb Top, TRgb Bottom, TRgb Line, TRgb Edge) {
        TRaster bar(Width, Height);
        bar.VerticalGradient(0, 0, Width, Height - 1, Top, Bottom);
        bar.FillRect(0, Height - 1, Width, 1, Line);
        bar.FillRect(0, 0, 1, Height, Edge);
        bar.FillRect(Width - 1, 0, 1, Height, Edge);
        return bar;
    };
    const TRaster strip =
        JoinFrames({frame(Rgb(0xE9EDF2), Rgb(0xCCD4DF), Rgb(0x9AA6B6), ActiveFrame.Inner),
                    frame(Rgb(0xE8EAED), Rgb(0xDADDE2), Rgb(0xBCC2CA), InactiveFrame.Inner)},
                   true);
    TIniSection& s = Skin.Section("Personality");
    s.Set("menuBar", Skin.SaveImage("menubar.bmp", strip));
    s.Set("TileLeftMenu", End).Set("TileRightMenu", End).Set("TileMenu", 1);
}

// ---- Popup menus -----------------------------------------------------------------------------------

// The popup's background: a slate outline and a light band around the "Menu" colour. The items:
// frame 1 (normal) and the unused frames 3 and 5 are all key colour, so the background shows;
// frame 2 holds the separator's etched line in its bottom rows; frame 4 is the selected item, a
// rounded face in the highlight colour.
void WriteMenus(TSkinWriter& Skin)
{
    constexpr int Size = 24, ItemWidth = 24, ItemHeight = 20, Margin = 4;
    TRaster background(Size, Size, Rgb(0xF6F7FA));
    background.FillRect(0, 0, Size, Size, Rgb(0x6E7F96));
    background.FillRect(1, 1, Size - 2, Size - 2, Rgb(0xE3E8EF));
    background.FillRect(3, 3, Size - 6, Size - 6, Rgb(0xF6F7FA));
    TIniSection& b = Skin.Section("MenuBackground");
    b.Set("Image", Skin.SaveImage("menuback.bmp", background));
    b.Set("LeftWidth", 3).Set("TopHeight", 3).Set("RightWidth", 3).Set("BottomHeight", 3);
    b.Set("Trans", 0).Set("Tile", 0);

    const TRaster empty(ItemWidth, ItemHeight);
    TRaster separator(ItemWidth, ItemHeight);
    separator.FillRect(Margin, ItemHeight - 5, ItemWidth - 2 * Margin, 1, Rgb(0xB4BDC9));
    separator.FillRect(Margin, ItemHeight - 4, ItemWidth - 2 * Margin, 1, White);
    const TFaceLook selected{Rgb(0x3E5878), Rgb(0x6F8BB3), Rgb(0x4E6B94), White, 0.25, 0};
    TIniSection& m = Skin.Section("MenuItem");
    m.Set("Image", Skin.SaveImage("menuitem.bmp", JoinFrames({empty, separator, empty,
                                                              Face(ItemWidth, ItemHeight, 3.0, selected), empty},
                                                             false)));
    m.Set("LeftWidth", Margin).Set("TopHeight", Margin).Set("RightWidth", Margin).Set("BottomHeight", Margin);
    m.Set("Trans", 1).Set("Tile", 0);
}

// ---- Status bar ------------------------------------------------------------------------------------

// The status bar's panels, 16 x 18 each: frame 1 sunken (shadow on the top and left, white on the
// bottom and right, a face a little lighter than the button face), frame 2 raised (the same lines
// swapped), frame 3 flat (the button face alone, so it blends with the bar).
void WriteStatusBar(TSkinWriter& Skin)
{
    constexpr int Width = 16, Height = 18, Edge = 2;
    auto panel = [](TRgb Face, TRgb TopLeft, TRgb BottomRight) {
        TRaster frame(Width, Height, Face);
        frame.FillRect(0, Height - 1, Width, 1, BottomRight);
        frame.FillRect(Width - 1, 0, 1, Height, BottomRight);
        frame.FillRect(0, 0, Width - 1, 1, TopLeft);
        frame.FillRect(0, 0, 1, Height - 1, TopLeft);
        return frame;
    };
    const TRgb face = Rgb(0xE8EBF0), shadow = Rgb(0x96A0B0);
    TIniSection& s = Skin.Section("StatusBarEdges");
    s.Set("Image", Skin.SaveImage("statusbar.bmp", JoinFrames({panel(face, shadow, White), panel(face, White, shadow),
                                                               TRaster(Width, Height, ButtonFace)},
                                                              false)));
    s.Set("LeftWidth", Edge).Set("TopHeight", Edge).Set("RightWidth", Edge).Set("BottomHeight", Edge);
    s.Set("Trans", 0).Set("Tile", 0);
    s.Set("NormalColour2", ColourText(Ink));
}

// ---- Small buttons: the combo box's drop-down button and the up-down halves ---------------------

// The faces of both, in the order of their frames: 1 normal, 2 pressed (darker), 3 disabled
// (paler), 4 hot or focused (a blue outline). The normal and pressed looks are the scroll arrows'.
const TFaceLook SmallButtonLooks[] = {
    {Rgb(0x9AA6B6), Rgb(0xF7F9FB), Rgb(0xDDE3EB), Rgb(0x2E3F57), 0.5, 0},
    {Rgb(0x72839B), Rgb(0xC3CDDB), Rgb(0xD5DCE6), Rgb(0x2E3F57), 0.0, 1},
    {Rgb(0xBAC1CB), Rgb(0xF4F6F8), Rgb(0xEBEEF2), Rgb(0xA2AAB5), 0.3, 0},
    {Rgb(0x4E6B93), White, Rgb(0xD8E3F1), Rgb(0x2E3F57), 0.0, 0},
};

// The four faces at W x H, side by side.
TRaster SmallButtonStrip(int W, int H)
{
    std::vector<TRaster> frames;
    for (const TFaceLook& look : SmallButtonLooks)
        frames.push_back(Face(W, H, 2.0, look));
    return JoinFrames(frames, false);
}

// A solid triangle pointing down (or up), Base pixels wide and (Base + 1) / 2 rows high, its top-left
// corner at (X, Y).
void UpDownTriangle(TRaster& Target, int X, int Y, int Base, bool PointsUp, TRgb Colour)
{
    const int rows = (Base + 1) / 2;
    for (int r = 0; r < rows; ++r) {
        const int inset = PointsUp ? rows - 1 - r : r;
        Target.FillRect(X + inset, Y + r, Base - 2 * inset, 1, Colour);
    }
}

// The drop-down button, 17 x 21 per frame: the face alone, stretched whole over the button area at
// the right of the combo box; the arrow on it is frame 1 to 4 of "ExtraImages".
void WriteComboButton(TSkinWriter& Skin)
{
    TIniSection& s = Skin.Section("ComboButton");
    s.Set("Image", Skin.SaveImage("combobtn.bmp", SmallButtonStrip(17, 21)));
    s.Set("LeftWidth", 0).Set("TopHeight", 0).Set("RightWidth", 0).Set("BottomHeight", 0);
    s.Set("Trans", 1).Set("Tile", 0).Set("Style", 0);
}

// The sunken border of a combo box, four equal frames of 12 x 12 (the engine cuts the left, top and
// bottom edge from frame 1): a shadow line outside a soft light one on the top and left, white
// outside a light line on the bottom and right, a white middle.
void WriteSunkEdge(TSkinWriter& Skin)
{
    constexpr int Size = 12, Edge = 2;
    TRaster frame(Size, Size, White);
    frame.FillRect(1, Size - 2, Size - 2, 1, Rgb(0xEEF1F6));
    frame.FillRect(Size - 2, 1, 1, Size - 2, Rgb(0xEEF1F6));
    frame.FillRect(1, 1, Size - 3, 1, Rgb(0xD8DEE6));
    frame.FillRect(1, 1, 1, Size - 3, Rgb(0xD8DEE6));
    frame.FillRect(0, 0, Size - 1, 1, Rgb(0x96A0B0));
    frame.FillRect(0, 0, 1, Size - 1, Rgb(0x96A0B0));
    TIniSection& s = Skin.Section("SunkEdge");
    s.Set("Image", Skin.SaveImage("sunkedge.bmp", JoinFrames({frame, frame, frame, frame}, false)));
    s.Set("LeftWidth", Edge).Set("TopHeight", Edge).Set("RightWidth", Edge).Set("BottomHeight", Edge);
    s.Set("Trans", 0).Set("Tile", 0);
}

// Five 13 x 13 images on the key colour. Frames 1 to 4 are the combo box's drop-down arrow in the
// button's states (normal, pressed, disabled, hot): a solid triangle 7 wide and 4 high in the
// middle (rows 5 to 8), one pixel lower when pressed. Frame 5 is the size grip, three diagonal rows
// of 2 x 2 slate dots, each with a white dot under it one pixel down and right, in the bottom-right
// corner.
void WriteExtraImages(TSkinWriter& Skin)
{
    constexpr int Size = 13, Pitch = 4, ArrowBase = 7, ArrowHeight = (ArrowBase + 1) / 2;
    TRaster grip(Size, Size);
    const int first = Size - 1 - (2 * Pitch + 3); // one free column and row at the far edges
    for (int row = 0; row < 3; ++row)
        for (int col = 2 - row; col < 3; ++col) {
            grip.FillRect(first + col * Pitch + 1, first + row * Pitch + 1, 2, 2, White);
            grip.FillRect(first + col * Pitch, first + row * Pitch, 2, 2, Rgb(0x7D8A9C));
        }
    std::vector<TRaster> frames;
    for (const TFaceLook& look : SmallButtonLooks) {
        TRaster arrow(Size, Size);
        // Of the two middle places the lower one: the triangle's weight sits near its base, on top.
        UpDownTriangle(arrow, (Size - ArrowBase) / 2, (Size - ArrowHeight + 1) / 2 + look.GlyphShift, ArrowBase, false,
                       look.Glyph);
        frames.push_back(arrow);
    }
    frames.push_back(grip);
    TIniSection& s = Skin.Section("ExtraImages");
    s.Set("Image", Skin.SaveImage("extra.bmp", JoinFrames(frames, false)));
    s.Set("LeftWidth", 0).Set("TopHeight", 0).Set("RightWidth", 0).Set("BottomHeight", 0);
    s.Set("Trans", 1).Set("Tile", 0);
}

// ---- Column headers --------------------------------------------------------------------------------

// A header face of 20 x 20: a soft vertical gradient, a hairline along the bottom and a separator
// at the right edge with a white line left of it. Frame 1 normal, frame 2 hot (lighter, with a
// blue bottom line), frame 3 pressed (darker, the gradient turned over); frames 4 and 5 repeat
// frame 1.
void WriteHeaderbar(TSkinWriter& Skin)
{
    constexpr int Size = 20, Margin = 2;
    auto frame = [](TRgb Top, TRgb Bottom, TRgb Line) {
        TRaster face(Size, Size);
        face.VerticalGradient(0, 0, Size, Size - 1, Top, Bottom);
        face.FillRect(Size - 2, 0, 1, Size - 1, White);
        face.FillRect(Size - 1, 0, 1, Size - 1, Rgb(0xA7B2C2));
        face.FillRect(0, Size - 1, Size, 1, Line);
        return face;
    };
    const TRaster normal = frame(Rgb(0xF4F6F9), Rgb(0xDCE2EA), Rgb(0x9AA6B6));
    TIniSection& s = Skin.Section("Headerbar");
    s.Set("Image", Skin.SaveImage("header.bmp", JoinFrames({normal, frame(White, Rgb(0xE3EAF3), Rgb(0x7E9BC2)),
                                                            frame(Rgb(0xCFD7E2), Rgb(0xE4E8EE), Rgb(0x8190A4)),
                                                            normal, normal},
                                                           false)));
    s.Set("LeftWidth", Margin).Set("TopHeight", Margin).Set("RightWidth", Margin).Set("BottomHeight", Margin);
    s.Set("Trans", 0).Set("Tile", 0);
}

// ---- Tabs ------------------------------------------------------------------------------------------

// Five 24 x 22 tab faces with rounded top corners (radius 3, cut with the key colour) and no outline
// on the bottom row, which joins the page. Frame 1 normal: a slate outline over a soft light
// gradient; frame 2 selected: a blue outline over a whiter gradient with a 2-px accent line along
// the top inside the outline; frames 3 to 5 repeat frame 1. The page border ("Border") is 16 x 16:
// a slate outline, a white line inside it on the left and top, a light shadow line on the right and
// bottom, the face colour in the middle (which the engine does not draw).
TRaster TabFrame(TRgb Outline, TRgb Top, TRgb Bottom, bool Accent)
{
    constexpr int Width = 24, Height = 22, Radius = 3;
    // Painted taller and cut, so that the lower corners and the bottom outline fall away.
    TRaster tall(Width, Height + Radius + 1);
    PaintRoundRect(tall, 0, 0, Width, Height + Radius + 1, Radius, TShapeStyle{Outline, 1.0, true},
                   [&](int, int y) {
                       if (Accent && (y == 1 || y == 2))
                           return Rgb(0x4A6891);
                       return Mix(Top, Bottom, (y - 1.0) / (Height - 2.0));
                   });
    return tall.Crop(0, 0, Width, Height);
}

void WriteTabs(TSkinWriter& Skin)
{
    const TRaster normal = TabFrame(Rgb(0x8A97A9), Rgb(0xF2F4F8), Rgb(0xDDE3EB), false);
    const TRaster selected = TabFrame(Rgb(0x4E6B93), White, Rgb(0xEEF2F7), true);

    constexpr int Size = 16;
    TRaster border(Size, Size, ButtonFace);
    border.FillRect(1, 1, Size - 2, 1, White);
    border.FillRect(1, 1, 1, Size - 2, White);
    border.FillRect(1, Size - 2, Size - 2, 1, Rgb(0xC5CDD8));
    border.FillRect(Size - 2, 1, 1, Size - 2, Rgb(0xC5CDD8));
    border.FillRect(0, 0, Size, 1, Rgb(0x8A97A9));
    border.FillRect(0, Size - 1, Size, 1, Rgb(0x8A97A9));
    border.FillRect(0, 0, 1, Size, Rgb(0x8A97A9));
    border.FillRect(Size - 1, 0, 1, Size, Rgb(0x8A97A9));

    TIniSection& s = Skin.Section("Tabs");
    s.Set("Image", Skin.SaveImage("tabs.bmp", JoinFrames({normal, selected, normal, normal, normal}, false)));
    s.Set("Border", Skin.SaveImage("tabborder.bmp", border));
    s.Set("LeftWidth", 4).Set("TopHeight", 4).Set("RightWidth", 4).Set("BottomHeight", 2);
    s.Set("Trans", 1).Set("Tile", 0);
    s.Set("NormalColour2", ColourText(Rgb(0x2E3F57)));
    s.Set("MouseOverColour2", ColourText(Rgb(0x16304F)));
}

// ---- Progress bar ----------------------------------------------------------------------------------

// Two 16 x 14 frames with a slate outline and key-coloured corner pixels: frame 1 the empty trough,
// light inside; frame 2 the filled part, a blue gradient like the selected menu item.
void WriteProgress(TSkinWriter& Skin)
{
    constexpr int Width = 16, Height = 14, Margin = 2;
    const TRgb outline = Rgb(0x8C99AB);
    const TFaceLook trough{outline, Rgb(0xF4F6F9), Rgb(0xF4F6F9), White, 0.0, 0};
    const TFaceLook bar{outline, Rgb(0x6F8BB3), Rgb(0x4E6B94), White, 0.25, 0};
    TIniSection& s = Skin.Section("Progress");
    s.Set("Bitmap", Skin.SaveImage("progress.bmp", JoinFrames({Face(Width, Height, 2.0, trough),
                                                               Face(Width, Height, 2.0, bar)},
                                                              false)));
    s.Set("LeftWidth", Margin).Set("TopHeight", Margin).Set("RightWidth", Margin).Set("BottomHeight", Margin);
    s.Set("Trans", 1).Set("Tile", 0).Set("Style", 0);
}

// ---- Scroll bars -----------------------------------------------------------------------------------

// Every piece is drawn for a horizontal bar, 16 pixels thick (the thickness the engine composes a
// bar at); the vertical pieces are the same rasters turned over the diagonal, so the up arrow is
// the left one, the down arrow the right one, and the shading runs from left to right.
constexpr int ScrollSize = 16;

TRaster Transposed(const TRaster& Source)
{
    TRaster turned(Source.Height(), Source.Width());
    for (int y = 0; y < Source.Height(); ++y)
        for (int x = 0; x < Source.Width(); ++x)
            turned.Set(y, x, Source.At(x, y));
    return turned;
}

// The turned copy of every frame of a strip of Count frames side by side, again side by side.
TRaster TransposedFrames(const TRaster& Strip, int Count)
{
    const int w = Strip.Width() / Count;
    std::vector<TRaster> frames;
    for (int k = 0; k < Count; ++k)
        frames.push_back(Transposed(Strip.Crop(k * w, 0, w, Strip.Height())));
    return JoinFrames(frames, false);
}

// A solid triangle pointing left or right, 4 columns wide and 8 rows high at its base, its middle
// on the middle of the frame (Shift moves it down and right).
void ArrowTriangle(TRaster& Target, bool PointsRight, int Shift, TRgb Colour)
{
    constexpr int Depth = 4;
    const int left = (ScrollSize - Depth) / 2 + Shift;
    const int middle = ScrollSize / 2 + Shift; // rows middle - 1 and middle form the tip
    for (int c = 0; c < Depth; ++c) {
        const int half = c + 1; // the tip is 2 rows high, each column 2 more
        const int x = PointsRight ? left + Depth - 1 - c : left + c;
        Target.FillRect(x, middle - half, 1, 2 * half, Colour);
    }
}

// The arrow buttons: a small rounded face, lighter and quieter than a push button.
const TFaceLook ArrowNormal{Rgb(0x9AA6B6), Rgb(0xF7F9FB), Rgb(0xDDE3EB), Rgb(0x2E3F57), 0.5, 0};
const TFaceLook ArrowPressed{Rgb(0x72839B), Rgb(0xC3CDDB), Rgb(0xD5DCE6), Rgb(0x22324A), 0.0, 1};

TRaster ArrowFrame(const TFaceLook& Look, bool PointsRight)
{
    TRaster face = Face(ScrollSize, ScrollSize, 2.0, Look);
    ArrowTriangle(face, PointsRight, Look.GlyphShift, Look.Glyph);
    return face;
}

// The "Scrollbar" strip: 23 frames of 16 x 16, of which the engine draws 1 and 2 (left arrow,
// normal and pressed), 5 and 6 (right), 9 and 10 (up), 13 and 14 (down). The others are all key
// colour.
void WriteScrollArrows(TSkinWriter& Skin)
{
    constexpr int Frames = 23;
    std::vector<TRaster> frames(Frames, TRaster(ScrollSize, ScrollSize));
    frames[0] = ArrowFrame(ArrowNormal, false);
    frames[1] = ArrowFrame(ArrowPressed, false);
    frames[4] = ArrowFrame(ArrowNormal, true);
    frames[5] = ArrowFrame(ArrowPressed, true);
    frames[8] = Transposed(frames[0]);
    frames[9] = Transposed(frames[1]);
    frames[12] = Transposed(frames[4]);
    frames[13] = Transposed(frames[5]);
    TIniSection& s = Skin.Section("Scrollbar");
    s.Set("Image", Skin.SaveImage("scrollbar.bmp", JoinFrames(frames, false)));
    s.Set("LeftWidth", 0).Set("TopHeight", 0).Set("RightWidth", 0).Set("BottomHeight", 0);
    s.Set("Trans", 1).Set("Tile", 0);
}

// The track between the arrows: a light groove with a hairline along either edge and a faint
// shadow under the upper one. Four frames of 16 x 16; the engine draws frame 1, the others repeat
// it. Nothing changes along the bar, so the stretch along it needs no margins beyond the ends.
void WriteScrollTracks(TSkinWriter& Skin)
{
    constexpr int Ends = 2;
    TRaster track(ScrollSize, ScrollSize, Rgb(0xE9EDF2));
    track.FillRect(0, 0, ScrollSize, 1, Rgb(0xC5CDD8));
    track.FillRect(0, 1, ScrollSize, 1, Rgb(0xE0E5EC));
    track.FillRect(0, ScrollSize - 1, ScrollSize, 1, Rgb(0xC5CDD8));
    const TRaster horizontal = JoinFrames({track, track, track, track}, false);
    TIniSection& h = Skin.Section("HorzScroll");
    h.Set("Image", Skin.SaveImage("hscroll.bmp", horizontal));
    h.Set("LeftWidth", Ends).Set("TopHeight", 0).Set("RightWidth", Ends).Set("BottomHeight", 0);
    h.Set("Trans", 0).Set("Tile", 0);
    TIniSection& v = Skin.Section("VertScroll");
    v.Set("Image", Skin.SaveImage("vscroll.bmp", TransposedFrames(horizontal, 4)));
    v.Set("LeftWidth", 0).Set("TopHeight", Ends).Set("RightWidth", 0).Set("BottomHeight", Ends);
    v.Set("Trans", 0).Set("Tile", 0);
}

// The thumbs: a rounded slate-blue face one pixel in from both edges of the bar (the track's
// hairlines run on past it), with a light line under its top. No grip: the middle is stretched
// along the bar. Three frames of 16 x 16: 1 normal, 2 pressed, 3 hot.
TRaster ThumbFrame(const TFaceLook& Look)
{
    TRaster frame(ScrollSize, ScrollSize);
    frame.Paste(Face(ScrollSize, ScrollSize - 2, 3.0, Look), 0, 1);
    return frame;
}

void WriteScrollThumbs(TSkinWriter& Skin)
{
    constexpr int Ends = 4, Sides = 3;
    const TRaster horizontal =
        JoinFrames({ThumbFrame({Rgb(0x6E7F96), Rgb(0xB9C7DA), Rgb(0x9DB0CA), White, 0.45, 0}),
                    ThumbFrame({Rgb(0x536782), Rgb(0x90A5C1), Rgb(0x7F96B5), White, 0.2, 0}),
                    ThumbFrame({Rgb(0x5E7AA1), Rgb(0xC9D6E7), Rgb(0xA9BCD5), White, 0.5, 0})},
                   false);
    TIniSection& h = Skin.Section("HorzScrollThumb");
    h.Set("Image", Skin.SaveImage("hthumb.bmp", horizontal)).Set("FrameCount", 3);
    h.Set("LeftWidth", Ends).Set("TopHeight", Sides).Set("RightWidth", Ends).Set("BottomHeight", Sides);
    h.Set("Trans", 1).Set("Tile", 0);
    TIniSection& v = Skin.Section("VertScrollThumb");
    v.Set("Image", Skin.SaveImage("vthumb.bmp", TransposedFrames(horizontal, 3))).Set("FrameCount", 3);
    v.Set("LeftWidth", Sides).Set("TopHeight", Ends).Set("RightWidth", Sides).Set("BottomHeight", Ends);
    v.Set("Trans", 1).Set("Tile", 0);
}

// ---- Up-downs --------------------------------------------------------------------------------------

// Eight frames each: 1 to 4 the up (or left) half in the button states, 5 to 8 the down (or right)
// half. The faces are stretched whole over each half; the glyphs, 7 x 4 triangles, are drawn at
// their own size in the middle of it on the key colour.
void WriteUpDowns(TSkinWriter& Skin)
{
    constexpr int Length = 16, Breadth = 11, GlyphBase = 7, GlyphHeight = (GlyphBase + 1) / 2;
    const TRaster faces = SmallButtonStrip(Length, Breadth);
    std::vector<TRaster> glyphs;
    for (bool up : {true, false})
        for (const TFaceLook& look : SmallButtonLooks) {
            TRaster cell(GlyphBase, GlyphHeight);
            UpDownTriangle(cell, 0, 0, GlyphBase, up, look.Glyph);
            glyphs.push_back(cell);
        }
    const TRaster vertical = JoinFrames(glyphs, false);
    TIniSection& v = Skin.Section("UpDown.Vert");
    v.Set("Image", Skin.SaveImage("updownv.bmp", JoinFrames({faces, faces}, false)));
    v.Set("GlyphImage", Skin.SaveImage("updownvg.bmp", vertical));
    v.Set("LeftWidth", 0).Set("TopHeight", 0).Set("RightWidth", 0).Set("BottomHeight", 0);
    v.Set("Trans", 1).Set("Tile", 0);
    // The horizontal faces are drawn upright (lit from the top like every other face); the glyphs
    // are the vertical ones turned over the diagonal, so up becomes left and down right.
    const TRaster across = SmallButtonStrip(Breadth, Length);
    TIniSection& h = Skin.Section("UpDown.Horz");
    h.Set("Image", Skin.SaveImage("updownh.bmp", JoinFrames({across, across}, false)));
    h.Set("GlyphImage", Skin.SaveImage("updownhg.bmp", TransposedFrames(vertical, 8)));
    h.Set("LeftWidth", 0).Set("TopHeight", 0).Set("RightWidth", 0).Set("BottomHeight", 0);
    h.Set("Trans", 1).Set("Tile", 0);
}

// ---- Colours -------------------------------------------------------------------------------------

void WriteColours(TSkinWriter& Skin)
{
    const TRgb face = ButtonFace;
    TIniSection& s = Skin.Section("Colours");
    s.Set("WindowText", ColourText(Ink));
    s.Set("ButtonFace", ColourText(face));
    s.Set("Scrollbar", ColourText(Rgb(0xD0D6E0)));
    s.Set("HilightText", ColourText(White));
    s.Set("Hilight", ColourText(Rgb(0x4A6891)));
    s.Set("Menubar", ColourText(face));
    s.Set("Menu", ColourText(Rgb(0xF6F7FA)));
    s.Set("MenuText", ColourText(Ink));
    s.Set("ButtonText", ColourText(Ink));
    s.Set("ButtonHilight", ColourText(White));
    s.Set("Buttonlight", ColourText(Rgb(0xEEF1F6)));
    s.Set("ButtonShadow", ColourText(Rgb(0x96A0B0)));
    s.Set("ButtonDkShadow", ColourText(Rgb(0x546072)));
    s.Set("MenuBarText", ColourText(Ink));
    s.Set("TitleTextActive", ColourText(White));
    s.Set("TitleTextNoActive", ColourText(Rgb(0xF0F2F5)));
}

using TElementWriter = void (*)(TSkinWriter&);

// In the order their sections appear in the description.
constexpr TElementWriter ElementWriters[] = {
    WriteSkinName, WriteFrameBorders, WriteTitle, WriteMenuBar, WriteColours, WritePushButtons, WriteCheckAndRadio, WriteCaptionButtons,
    WriteMdiControls, WriteMenus, WriteStatusBar, WriteComboButton, WriteSunkEdge, WriteExtraImages, WriteHeaderbar,
    WriteTabs, WriteProgress, WriteScrollArrows, WriteScrollTracks, WriteScrollThumbs, WriteUpDowns,
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_skin FOLDER\n";
        return 2;
    }
    try {
        TSkinWriter skin(argv[1]);
        for (TElementWriter write : ElementWriters)
            write(skin);
        skin.SaveDescription("default.ini", "Pembrox Slate, the built-in skin: generated by make_skin, do not edit");
    } catch (const std::exception& e) {
        std::cerr << "make_skin: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
