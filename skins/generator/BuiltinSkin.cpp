// The program's built-in skins, drawn: every element has one function that draws its strips and
// writes its keys, and WriteBuiltinSkin runs them in order, for each scale. The colours and sizes
// come from the theme (Themes.cpp); every theme writes the same sections and keys. To add an
// element, write its function and list it in ElementWriters. The output depends on nothing but
// these sources (no clock, no randomness). make_skin and skinpack new write skins with it.
#include "skins/generator/BuiltinSkin.h"

#include "skins/generator/Raster.h"
#include "skins/generator/SkinWriter.h"
#include "skins/generator/Themes.h"

#include <algorithm>
#include <utility>
#include <cmath>
#include <exception>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr TRgb White{255, 255, 255};

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
    Target.BlendMask(cover, X - 1, Y - 1, Colour, Alpha);
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
        Glyph(face, x, y + 1, S, Look.GlyphShadow, Look.GlyphShadowAlpha); // a soft shadow under the glyph
        Glyph(face, x, y, S, Look.Glyph, 1.0);
    }
    return face;
}

// ---- Frame: the four borders ------------------------------------------------------------------

// The frame of a model window, from which all four border strips are cut: the strips then meet
// without seams whatever size the engine stretches them to.
TRaster ModelFrame(const TTheme& T, const TFramePalette& P)
{
    const TFrameGeometry& g = T.Geometry;
    const int width = g.ModelWidth, height = g.ModelHeight, title = g.TitleHeight;
    TRaster model(width, height);
    const int r = g.CornerRadius;
    // Computed for every drawn pixel from its centre (cx, cy) in design pixels: the rings follow
    // the design pixels, the rounded corners are as fine as the pixels drawn.
    model.Paint([&](double cx, double cy) {
        const int x = static_cast<int>(cx), y = static_cast<int>(cy);
        int fromLeft = x;
        int fromRight = width - 1 - x;
        int fromTop = y;
        int fromBottom = height - 1 - y;
        int depth = std::min({fromLeft, fromRight, fromTop, fromBottom});
        bool rightOrBottom = depth == fromRight || depth == fromBottom;
        if (y < r && (x < r || x >= width - r)) {
            double cornerX = x < r ? r : width - r;
            double distance = std::hypot(cx - cornerX, cy - r);
            if (distance > r)
                return KeyColour;
            depth = static_cast<int>(std::floor(r - distance));
            rightOrBottom = x >= width - r && distance > r - 1.5 && fromTop > 1;
        }
        if (depth == 0)
            return P.Outline;
        if (depth == 1)
            return rightOrBottom ? P.Shade : P.Light;
        if (y < title) {
            if (y == title - 1 && x >= g.SideWidth - 1 && x <= width - g.SideWidth)
                return P.Inner;
            TRgb c = Mix(P.TitleTop, P.TitleBottom, (y - 1.0) / (title - 3.0));
            return y < title / 2 ? Lighten(c, T.Title.Glaze) : c; // a faint glaze on the upper half
        }
        if (x == g.SideWidth - 1 || x == width - g.SideWidth || y == height - g.FootHeight)
            return P.Inner;
        return P.Body;
    });
    return model;
}

void WriteFrameBorders(TSkinWriter& Skin, const TTheme& T)
{
    const TFrameGeometry& g = T.Geometry;
    const int side = g.SideWidth, title = g.TitleHeight, foot = g.FootHeight, ends = g.TopEndLength;
    TRaster active = ModelFrame(T, T.ActiveFrame);
    TRaster inactive = ModelFrame(T, T.InactiveFrame);
    auto cut = [&](int X, int Y, int W, int H, bool Vertical) {
        return JoinFrames({active.Crop(X, Y, W, H), inactive.Crop(X, Y, W, H)}, Vertical);
    };
    const int innerWidth = g.ModelWidth - 2 * side;
    TIniSection& s = Skin.Section("Personality");
    // Left and right: frames side by side; their top rows are the ends of the title band.
    s.Set("Left", Skin.SaveImage("left.bmp", cut(0, 0, side, g.ModelHeight, false)));
    s.Set("LeftFrame", 2).Set("LeftTopHeight", title).Set("LeftBotHeight", foot);
    s.Set("LeftStretch", 1).Set("LeftTrans", 1);
    s.Set("Right", Skin.SaveImage("right.bmp", cut(g.ModelWidth - side, 0, side, g.ModelHeight, false)));
    s.Set("RightFrame", 2).Set("RightTopHeight", title).Set("RightBotHeight", foot);
    s.Set("RightStretch", 1).Set("RightTrans", 1);
    // Top and bottom: frames stacked; the two margin keys are the unscaled left and right ends.
    s.Set("Top", Skin.SaveImage("top.bmp", cut(side, 0, innerWidth, title, true)));
    s.Set("TopFrame", 2).Set("TopTopHeight", ends).Set("TopBotHeight", ends);
    s.Set("TopStretch", 1).Set("TopTrans", 1);
    s.Set("Bottom", Skin.SaveImage("bottom.bmp", cut(side, g.ModelHeight - foot, innerWidth, foot, true)));
    s.Set("BottomFrame", 2).Set("BottomTopHeight", 0).Set("BottomBotHeight", 0);
    s.Set("BottomStretch", 1).Set("BottomTrans", 0); // square bottom corners: no holes
}

// ---- Title: caption text and the band behind it ------------------------------------------------

TRaster TextBackFrame(const TTheme& T, const TFramePalette& P)
{
    const TTitleLook& t = T.Title;
    const int titleHeight = T.Geometry.TitleHeight;
    const int w = t.TextBackLeft + t.TextBackMiddle + t.TextBackRight;
    const int h = titleHeight - 2 * t.TextBackInset;
    TRaster frame(w, titleHeight);
    PaintRoundRect(frame, 0, t.TextBackInset, w, h, t.TextBackRadius, TShapeStyle{P.PillOutline, 1.0, true},
                   [&](int, int y) { return Mix(P.PillTop, P.PillBottom, y / (h - 1.0)); });
    // A light line under the lower edge makes the band look pressed into the title. It lies on
    // the title itself, so it is drawn in a solid colour (a blend with the key colour would show).
    const int y = t.TextBackInset + h;
    TRgb title = Mix(P.TitleTop, P.TitleBottom, (y - 1.0) / (titleHeight - 3.0));
    for (int x = 4; x < w - 4; ++x)
        frame.Set(x, y, Mix(title, P.Light, 0.3));
    return frame;
}

void WriteSkinName(TSkinWriter& Skin, const TTheme& T) { Skin.Section("TitlebarSkin").Set("SkinName", T.Name); }

void WriteTitle(TSkinWriter& Skin, const TTheme& T)
{
    const TFrameGeometry& g = T.Geometry;
    const TRgb active = T.Colours.TitleTextActive, inactive = T.Colours.TitleTextNoActive;
    TIniSection& s = Skin.Section("Personality");
    s.Set("TextBack", Skin.SaveImage("textback.bmp", JoinFrames({TextBackFrame(T, T.ActiveFrame),
                                                                 TextBackFrame(T, T.InactiveFrame)},
                                                                true)));
    s.Set("TextShift", g.IconX() + g.IconSize + 2 - g.SideWidth); // the caption starts right of the icon
    s.Set("TextShiftVert", 0);
    s.Set("TextRightClip", g.MinimiseButtonX() + 2); // never under the caption buttons
    s.Set("TextAlignment", 0);
    s.Set("Textbackground", 1);
    s.Set("TXTBackleft", T.Title.TextBackLeft).Set("TXTBackRight", T.Title.TextBackRight);
    s.Set("ActiveTextR", active.R).Set("ActiveTextG", active.G).Set("ActiveTextB", active.B);
    s.Set("InActiveTextR", inactive.R).Set("InActiveTextG", inactive.G).Set("InActiveTextB", inactive.B);
    Skin.Section("Fonts").Set("FontHeight", T.Title.FontHeight);
}

// ---- Caption buttons ----------------------------------------------------------------------------

// Frames of a caption-button strip (TCaptionLooks): 1 normal, 2 pressed, 3 hot, 4 inactive window.
TRaster CaptionButtonStrip(const TFrameGeometry& G, const TCaptionLooks& Looks, const TGlyph& Glyph)
{
    auto face = [&](const TFaceLook& look) {
        return Face(G.CaptionButtonWidth, G.CaptionButtonHeight, G.CaptionButtonRadius, look, Glyph,
                    G.CaptionGlyphSize);
    };
    return JoinFrames({face(Looks.Normal), face(Looks.Pressed), face(Looks.Hot), face(Looks.Inactive)}, false);
}

// The stand-in for the window icon (the engine shows the window's own icon on this button; the
// image gives the button its size).
TRaster SystemIcon(int Size, const TIconLook& Look)
{
    TRaster icon(Size, Size);
    PaintRoundRect(icon, 1, 2, 14, 12, 2.0, TShapeStyle{Look.Outline, 1.0, true}, [&](int, int y) {
        if (y <= 3)
            return Mix(Look.BarTop, Look.BarBottom, (y - 1) / 2.0);
        return Mix(Look.PageTop, Look.PageBottom, (y - 4) / 6.0);
    });
    for (int x = 2; x < 14; ++x)
        icon.Set(x, 5, Look.Rule);
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

void WriteCaptionButtons(TSkinWriter& Skin, const TTheme& T)
{
    const TFrameGeometry& g = T.Geometry;
    const int top = g.CaptionButtonTop();
    // Actions: 0 close, 1 maximise or restore, 2 minimise, 3 system menu. Visibility 0 shows a
    // button whenever the window has it; 2 only while not maximised, 1 only while maximised.
    CaptionButton(Skin, "Button1", 0, 1, g.CloseButtonX(), top, 0, "btnclose.bmp",
                  CaptionButtonStrip(g, T.CloseLooks, CloseGlyph), 4);
    CaptionButton(Skin, "Button2", 1, 1, g.MaximiseButtonX(), top, 2, "btnmax.bmp",
                  CaptionButtonStrip(g, T.CaptionLooks, MaximiseGlyph), 4);
    CaptionButton(Skin, "Button3", 1, 1, g.MaximiseButtonX(), top, 1, "btnrestore.bmp",
                  CaptionButtonStrip(g, T.CaptionLooks, RestoreGlyph), 4);
    CaptionButton(Skin, "Button4", 2, 1, g.MinimiseButtonX(), top, 0, "btnmin.bmp",
                  CaptionButtonStrip(g, T.CaptionLooks, MinimiseGlyph), 4);
    CaptionButton(Skin, "Button5", 3, 0, g.IconX(), (g.TitleHeight - g.IconSize) / 2, 0, "sysicon.bmp",
                  SystemIcon(g.IconSize, T.Icon), 1);
}

// ---- MDI child buttons on the menu bar -----------------------------------------------------------

// Three buttons (minimise, restore, close) of four frames each: normal, pressed, then the hot
// look twice (frame 4 is what these buttons show under the mouse).
void WriteMdiControls(TSkinWriter& Skin, const TTheme& T)
{
    std::vector<TRaster> frames;
    for (const TGlyph& glyph : {TGlyph(MinimiseGlyph), TGlyph(RestoreGlyph), TGlyph(CloseGlyph)})
        for (const TFaceLook* look : {&T.MdiNormal, &T.MdiPressed, &T.MdiHot, &T.MdiHot})
            frames.push_back(Face(16, 14, 2.0, *look, glyph, 7));
    Skin.Section("MDICONTROLS").Set("Image", Skin.SaveImage("mdicontrols.bmp", JoinFrames(frames, false)));
}

// ---- Push buttons, check boxes and radio buttons -------------------------------------------------

constexpr int PushMargin = 4;

TRaster PushButtonFrame(const TPushLook& Look)
{
    TRaster frame(24, 22);
    PaintRoundRect(frame, 0, 0, 24, 22, 3.0, TShapeStyle{Look.Outline, 1.0, true}, [&](int x, int y) {
        TRgb c = Mix(Look.Top, Look.Bottom, (y - 1.0) / 19.0);
        if (y == 1)
            c = Lighten(c, Look.Highlight);
        // An inner ring one pixel in from the outline (focus and default looks).
        if (Look.RingAlpha > 0 && (x == 1 || x == 22 || y == 1 || y == 20))
            c = Mix(c, Look.Ring, Look.RingAlpha);
        return c;
    });
    return frame;
}

void WritePushButtons(TSkinWriter& Skin, const TTheme& T)
{
    // Frames: 1 normal, 2 pressed, 3 disabled, 4 hot or focused, 5 default button.
    std::vector<TRaster> frames;
    for (const TPushLook& look : T.Push)
        frames.push_back(PushButtonFrame(look));
    TRaster strip = JoinFrames(frames, false);
    TIniSection& s = Skin.Section("Buttons");
    s.Set("Bitmap", Skin.SaveImage("button.bmp", strip));
    s.Set("LeftWidth", PushMargin).Set("TopHeight", PushMargin).Set("RightWidth", PushMargin);
    s.Set("BottomHeight", PushMargin);
    s.Set("Trans", 1).Set("Tile", 0);
    s.Set("NormalColour2", ColourText(T.PushText));
    s.Set("MouseOverColour2", ColourText(T.PushHotText));
    s.Set("PressedColour2", ColourText(T.PushPressedText));
}

// Frames of both strips: 1 unchecked, 2 checked, 3 unchecked disabled, 4 checked disabled.
constexpr int BoxSize = 13;

TRaster CheckFrame(const TTheme& T, bool Checked, bool Enabled, bool Round)
{
    TRaster frame(BoxSize, BoxSize);
    const TCheckLook& look = Enabled ? T.CheckEnabled : T.CheckDisabled;
    const TRgb mark = look.Mark;
    PaintRoundRect(frame, 0, 0, BoxSize, BoxSize, Round ? BoxSize / 2.0 : 2.0, TShapeStyle{look.Outline, 1.0, true},
                   [&](int, int y) { return Mix(look.Top, look.Bottom, (y - 1.0) / (BoxSize - 3.0)); });
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

void WriteCheckAndRadio(TSkinWriter& Skin, const TTheme& T)
{
    auto strip = [&](bool round) {
        return JoinFrames({CheckFrame(T, false, true, round), CheckFrame(T, true, true, round),
                           CheckFrame(T, false, false, round), CheckFrame(T, true, false, round)},
                          false);
    };
    TIniSection& s = Skin.Section("Buttons");
    s.Set("CheckButton", Skin.SaveImage("checkbox.bmp", strip(false))).Set("CheckButtonFrame", 4);
    s.Set("RadioButton", Skin.SaveImage("radio.bmp", strip(true))).Set("RadioButtonFrame", 4);
}

// ---- Menu bar --------------------------------------------------------------------------------------

// The bar below the title: a light band over the face colour with a hairline under it, and ends
// that continue the frame's inner line. Frame 1 for an active window, frame 2 for an inactive one.
void WriteMenuBar(TSkinWriter& Skin, const TTheme& T)
{
    constexpr int Width = 32, Height = 20, End = 2;
    auto frame = [](const TBandLook& Look, TRgb Edge) {
        TRaster bar(Width, Height);
        bar.VerticalGradient(0, 0, Width, Height - 1, Look.Top, Look.Bottom);
        bar.FillRect(0, Height - 1, Width, 1, Look.Line);
        bar.FillRect(0, 0, 1, Height, Edge);
        bar.FillRect(Width - 1, 0, 1, Height, Edge);
        return bar;
    };
    const TRaster strip =
        JoinFrames({frame(T.MenuBarActive, T.ActiveFrame.Inner), frame(T.MenuBarInactive, T.InactiveFrame.Inner)},
                   true);
    TIniSection& s = Skin.Section("Personality");
    s.Set("menuBar", Skin.SaveImage("menubar.bmp", strip));
    s.Set("TileLeftMenu", End).Set("TileRightMenu", End).Set("TileMenu", 1);
}

// ---- Popup menus -----------------------------------------------------------------------------------

// The popup's background: an outline and a band around the "Menu" colour. The items:
// frame 1 (normal) and the unused frames 3 and 5 are all key colour, so the background shows;
// frame 2 holds the separator's etched line in its bottom rows; frame 4 is the selected item, a
// rounded face in the highlight colour.
void WriteMenus(TSkinWriter& Skin, const TTheme& T)
{
    constexpr int Size = 24, ItemWidth = 24, ItemHeight = 20, Margin = 4;
    TRaster background(Size, Size, T.Colours.Menu);
    background.FillRect(0, 0, Size, Size, T.MenuOutline);
    background.FillRect(1, 1, Size - 2, Size - 2, T.MenuBand);
    background.FillRect(3, 3, Size - 6, Size - 6, T.Colours.Menu);
    TIniSection& b = Skin.Section("MenuBackground");
    b.Set("Image", Skin.SaveImage("menuback.bmp", background));
    b.Set("LeftWidth", 3).Set("TopHeight", 3).Set("RightWidth", 3).Set("BottomHeight", 3);
    b.Set("Trans", 0).Set("Tile", 0);

    const TRaster empty(ItemWidth, ItemHeight);
    TRaster separator(ItemWidth, ItemHeight);
    separator.FillRect(Margin, ItemHeight - 5, ItemWidth - 2 * Margin, 1, T.SeparatorDark);
    separator.FillRect(Margin, ItemHeight - 4, ItemWidth - 2 * Margin, 1, T.SeparatorLight);
    TIniSection& m = Skin.Section("MenuItem");
    m.Set("Image", Skin.SaveImage("menuitem.bmp", JoinFrames({empty, separator, empty,
                                                              Face(ItemWidth, ItemHeight, 3.0, T.MenuSelected), empty},
                                                             false)));
    m.Set("LeftWidth", Margin).Set("TopHeight", Margin).Set("RightWidth", Margin).Set("BottomHeight", Margin);
    m.Set("Trans", 1).Set("Tile", 0);
}

// ---- Status bar ------------------------------------------------------------------------------------

// The status bar's panels, 16 x 18 each: frame 1 sunken (shadow on the top and left, a light line
// on the bottom and right, a face a little off the button face), frame 2 raised (the same lines
// swapped), frame 3 flat (the panel face alone, without lines: the panels' text reads on it as on
// the others; the button face it was made Night's borderless panels light under light text).
void WriteStatusBar(TSkinWriter& Skin, const TTheme& T)
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
    const TRgb face = T.StatusFace, shadow = T.StatusShadow, light = T.StatusLight;
    TIniSection& s = Skin.Section("StatusBarEdges");
    s.Set("Image", Skin.SaveImage("statusbar.bmp", JoinFrames({panel(face, shadow, light), panel(face, light, shadow),
                                                               TRaster(Width, Height, face)},
                                                              false)));
    s.Set("LeftWidth", Edge).Set("TopHeight", Edge).Set("RightWidth", Edge).Set("BottomHeight", Edge);
    s.Set("Trans", 0).Set("Tile", 0);
    s.Set("NormalColour2", ColourText(T.StatusText));
}

// ---- Small buttons: the combo box's drop-down button and the up-down halves ---------------------

// The faces of both (TTheme::SmallButtons), in the order of their frames: 1 normal, 2 pressed,
// 3 disabled, 4 hot or focused. The normal and pressed looks match the scroll arrows'.

// The four faces at W x H, side by side.
TRaster SmallButtonStrip(const TTheme& T, int W, int H)
{
    std::vector<TRaster> frames;
    for (const TFaceLook& look : T.SmallButtons)
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
void WriteComboButton(TSkinWriter& Skin, const TTheme& T)
{
    TIniSection& s = Skin.Section("ComboButton");
    s.Set("Image", Skin.SaveImage("combobtn.bmp", SmallButtonStrip(T, 17, 21)));
    s.Set("LeftWidth", 0).Set("TopHeight", 0).Set("RightWidth", 0).Set("BottomHeight", 0);
    s.Set("Trans", 1).Set("Tile", 0).Set("Style", 0);
}

// The sunken border of a combo box, four equal frames of 12 x 12 (the engine cuts the left, top and
// bottom edge from frame 1): a shadow line outside a soft shade on the top and left, the fill
// colour outside a light line on the bottom and right, the fill colour in the middle.
void WriteSunkEdge(TSkinWriter& Skin, const TTheme& T)
{
    constexpr int Size = 12, Edge = 2;
    TRaster frame(Size, Size, T.SunkFill);
    frame.FillRect(1, Size - 2, Size - 2, 1, T.SunkLight);
    frame.FillRect(Size - 2, 1, 1, Size - 2, T.SunkLight);
    frame.FillRect(1, 1, Size - 3, 1, T.SunkSoftShade);
    frame.FillRect(1, 1, 1, Size - 3, T.SunkSoftShade);
    frame.FillRect(0, 0, Size - 1, 1, T.SunkShadow);
    frame.FillRect(0, 0, 1, Size - 1, T.SunkShadow);
    TIniSection& s = Skin.Section("SunkEdge");
    s.Set("Image", Skin.SaveImage("sunkedge.bmp", JoinFrames({frame, frame, frame, frame}, false)));
    s.Set("LeftWidth", Edge).Set("TopHeight", Edge).Set("RightWidth", Edge).Set("BottomHeight", Edge);
    s.Set("Trans", 0).Set("Tile", 0);
}

// Five 13 x 13 images on the key colour. Frames 1 to 4 are the combo box's drop-down arrow in the
// button's states (normal, pressed, disabled, hot): a solid triangle 7 wide and 4 high in the
// middle (rows 5 to 8), one pixel lower when pressed. Frame 5 is the size grip, three diagonal rows
// of 2 x 2 dots, each with a shine dot under it one pixel down and right, in the bottom-right
// corner.
void WriteExtraImages(TSkinWriter& Skin, const TTheme& T)
{
    constexpr int Size = 13, Pitch = 4, ArrowBase = 7, ArrowHeight = (ArrowBase + 1) / 2;
    TRaster grip(Size, Size);
    const int first = Size - 1 - (2 * Pitch + 3); // one free column and row at the far edges
    for (int row = 0; row < 3; ++row)
        for (int col = 2 - row; col < 3; ++col) {
            grip.FillRect(first + col * Pitch + 1, first + row * Pitch + 1, 2, 2, T.GripShine);
            grip.FillRect(first + col * Pitch, first + row * Pitch, 2, 2, T.GripDot);
        }
    std::vector<TRaster> frames;
    for (const TFaceLook& look : T.SmallButtons) {
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
// at the right edge with a light line left of it. Frame 1 normal, frame 2 hot (lighter, with an
// accent bottom line), frame 3 pressed (darker, the gradient turned over); frames 4 and 5 repeat
// frame 1.
void WriteHeaderbar(TSkinWriter& Skin, const TTheme& T)
{
    constexpr int Size = 20, Margin = 2;
    auto frame = [&](const TBandLook& Look) {
        TRaster face(Size, Size);
        face.VerticalGradient(0, 0, Size, Size - 1, Look.Top, Look.Bottom);
        face.FillRect(Size - 2, 0, 1, Size - 1, T.HeaderSeparatorLight);
        face.FillRect(Size - 1, 0, 1, Size - 1, T.HeaderSeparator);
        face.FillRect(0, Size - 1, Size, 1, Look.Line);
        return face;
    };
    const TRaster normal = frame(T.HeaderNormal);
    TIniSection& s = Skin.Section("Headerbar");
    s.Set("Image", Skin.SaveImage("header.bmp", JoinFrames({normal, frame(T.HeaderHot), frame(T.HeaderPressed),
                                                            normal, normal},
                                                           false)));
    s.Set("LeftWidth", Margin).Set("TopHeight", Margin).Set("RightWidth", Margin).Set("BottomHeight", Margin);
    s.Set("Trans", 0).Set("Tile", 0);
}

// ---- Tabs ------------------------------------------------------------------------------------------

// Five 24 x 22 tab faces with rounded top corners (radius 3, cut with the key colour) and no outline
// on the bottom row, which joins the page. Frame 1 normal: an outline over a soft gradient; frame 2
// selected: its own outline over a brighter gradient with a 2-px accent line along the top inside
// the outline; frames 3 to 5 repeat frame 1. The page border ("Border") is 16 x 16: an outline, a
// light line inside it on the left and top, a shadow line on the right and bottom, the face colour
// in the middle (which the engine does not draw).
TRaster TabFrame(TRgb Outline, TRgb Top, TRgb Bottom, const TRgb* Accent)
{
    constexpr int Width = 24, Height = 22, Radius = 3;
    // Painted taller and cut, so that the lower corners and the bottom outline fall away.
    TRaster tall(Width, Height + Radius + 1);
    PaintRoundRect(tall, 0, 0, Width, Height + Radius + 1, Radius, TShapeStyle{Outline, 1.0, true},
                   [&](int, int y) {
                       if (Accent && (y == 1 || y == 2))
                           return *Accent;
                       return Mix(Top, Bottom, (y - 1.0) / (Height - 2.0));
                   });
    return tall.Crop(0, 0, Width, Height);
}

void WriteTabs(TSkinWriter& Skin, const TTheme& T)
{
    const TRaster normal = TabFrame(T.TabOutline, T.TabTop, T.TabBottom, nullptr);
    const TRaster selected = TabFrame(T.SelectedTabOutline, T.SelectedTabTop, T.SelectedTabBottom, &T.TabAccent);

    constexpr int Size = 16;
    TRaster border(Size, Size, T.Colours.ButtonFace);
    border.FillRect(1, 1, Size - 2, 1, T.PageLight);
    border.FillRect(1, 1, 1, Size - 2, T.PageLight);
    border.FillRect(1, Size - 2, Size - 2, 1, T.PageShadow);
    border.FillRect(Size - 2, 1, 1, Size - 2, T.PageShadow);
    border.FillRect(0, 0, Size, 1, T.PageOutline);
    border.FillRect(0, Size - 1, Size, 1, T.PageOutline);
    border.FillRect(0, 0, 1, Size, T.PageOutline);
    border.FillRect(Size - 1, 0, 1, Size, T.PageOutline);

    TIniSection& s = Skin.Section("Tabs");
    s.Set("Image", Skin.SaveImage("tabs.bmp", JoinFrames({normal, selected, normal, normal, normal}, false)));
    s.Set("Border", Skin.SaveImage("tabborder.bmp", border));
    s.Set("LeftWidth", 4).Set("TopHeight", 4).Set("RightWidth", 4).Set("BottomHeight", 2);
    s.Set("Trans", 1).Set("Tile", 0);
    s.Set("NormalColour2", ColourText(T.TabText));
    s.Set("MouseOverColour2", ColourText(T.TabHotText));
}

// ---- Progress bar ----------------------------------------------------------------------------------

// Two 16 x 14 frames with an outline and key-coloured corner pixels: frame 1 the empty trough;
// frame 2 the filled part, a gradient in the highlight colour like the selected menu item.
void WriteProgress(TSkinWriter& Skin, const TTheme& T)
{
    constexpr int Width = 16, Height = 14, Margin = 2;
    TIniSection& s = Skin.Section("Progress");
    if (T.ProgressChunks) {
        // One trough image; chunks of 8 pixels with a 2-pixel gap of the key colour between them.
        constexpr int ChunkWidth = 10, ChunkHeight = Height - 2 * Margin;
        TRaster chunk(ChunkWidth, ChunkHeight);
        chunk.Paste(Face(ChunkWidth - 2, ChunkHeight, 1.0, T.ProgressBar), 1, 0);
        s.Set("Bitmap", Skin.SaveImage("progress.bmp", Face(Width, Height, 2.0, T.ProgressTrough)));
        s.Set("Chunk", Skin.SaveImage("progresschunk.bmp", chunk));
        s.Set("LeftWidth", Margin).Set("TopHeight", Margin).Set("RightWidth", Margin).Set("BottomHeight", Margin);
        s.Set("Trans", 1).Set("Tile", 0).Set("Style", 1);
        return;
    }
    s.Set("Bitmap", Skin.SaveImage("progress.bmp", JoinFrames({Face(Width, Height, 2.0, T.ProgressTrough),
                                                               Face(Width, Height, 2.0, T.ProgressBar)},
                                                              false)));
    s.Set("LeftWidth", Margin).Set("TopHeight", Margin).Set("RightWidth", Margin).Set("BottomHeight", Margin);
    s.Set("Trans", 1).Set("Tile", 0).Set("Style", 0);
}

// ---- Scroll bars -----------------------------------------------------------------------------------

// Every piece is drawn for a horizontal bar, 16 pixels thick (the thickness the engine composes a
// bar at); the vertical pieces are the same rasters turned over the diagonal, so the up arrow is
// the left one, the down arrow the right one, and the shading runs from left to right.
constexpr int ScrollSize = 16;

// The turned copy of every frame of a strip of Count frames side by side, again side by side.
TRaster TransposedFrames(const TRaster& Strip, int Count)
{
    std::vector<TRaster> frames;
    for (const TRaster& frame : Strip.SplitFrames(Count))
        frames.push_back(frame.Transposed());
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

// The arrow buttons: a small rounded face, quieter than a push button.
TRaster ArrowFrame(const TFaceLook& Look, bool PointsRight)
{
    TRaster face = Face(ScrollSize, ScrollSize, 2.0, Look);
    ArrowTriangle(face, PointsRight, Look.GlyphShift, Look.Glyph);
    return face;
}

// The "Scrollbar" strip: 23 frames of 16 x 16, of which the engine draws 1 and 2 (left arrow,
// normal and pressed), 5 and 6 (right), 9 and 10 (up), 13 and 14 (down). The others are all key
// colour.
void WriteScrollArrows(TSkinWriter& Skin, const TTheme& T)
{
    constexpr int Frames = 23;
    std::vector<TRaster> frames(Frames, TRaster(ScrollSize, ScrollSize));
    frames[0] = ArrowFrame(T.ArrowNormal, false);
    frames[1] = ArrowFrame(T.ArrowPressed, false);
    frames[4] = ArrowFrame(T.ArrowNormal, true);
    frames[5] = ArrowFrame(T.ArrowPressed, true);
    frames[8] = frames[0].Transposed();
    frames[9] = frames[1].Transposed();
    frames[12] = frames[4].Transposed();
    frames[13] = frames[5].Transposed();
    TIniSection& s = Skin.Section("Scrollbar");
    s.Set("Image", Skin.SaveImage("scrollbar.bmp", JoinFrames(frames, false)));
    s.Set("LeftWidth", 0).Set("TopHeight", 0).Set("RightWidth", 0).Set("BottomHeight", 0);
    s.Set("Trans", 1).Set("Tile", 0);
}

// The track between the arrows: a groove with a hairline along either edge and a faint shadow
// under the upper one. Four frames of 16 x 16; the engine draws frame 1, the others repeat
// it. Nothing changes along the bar, so the stretch along it needs no margins beyond the ends.
void WriteScrollTracks(TSkinWriter& Skin, const TTheme& T)
{
    constexpr int Ends = 2;
    TRaster track(ScrollSize, ScrollSize, T.TrackFill);
    track.FillRect(0, 0, ScrollSize, 1, T.TrackEdge);
    track.FillRect(0, 1, ScrollSize, 1, T.TrackShadow);
    track.FillRect(0, ScrollSize - 1, ScrollSize, 1, T.TrackEdge);
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

// The thumbs: a rounded face one pixel in from both edges of the bar (the track's
// hairlines run on past it), with a light line under its top. No grip: the middle is stretched
// along the bar. Three frames of 16 x 16: 1 normal, 2 pressed, 3 hot.
TRaster ThumbFrame(const TFaceLook& Look)
{
    TRaster frame(ScrollSize, ScrollSize);
    frame.Paste(Face(ScrollSize, ScrollSize - 2, 3.0, Look), 0, 1);
    return frame;
}

void WriteScrollThumbs(TSkinWriter& Skin, const TTheme& T)
{
    constexpr int Ends = 4, Sides = 3;
    const TRaster horizontal =
        JoinFrames({ThumbFrame(T.ThumbNormal), ThumbFrame(T.ThumbPressed), ThumbFrame(T.ThumbHot)}, false);
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
void WriteUpDowns(TSkinWriter& Skin, const TTheme& T)
{
    constexpr int Length = 16, Breadth = 11, GlyphBase = 7, GlyphHeight = (GlyphBase + 1) / 2;
    const TRaster faces = SmallButtonStrip(T, Length, Breadth);
    std::vector<TRaster> glyphs;
    for (bool up : {true, false})
        for (const TFaceLook& look : T.SmallButtons) {
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
    const TRaster across = SmallButtonStrip(T, Breadth, Length);
    TIniSection& h = Skin.Section("UpDown.Horz");
    h.Set("Image", Skin.SaveImage("updownh.bmp", JoinFrames({across, across}, false)));
    h.Set("GlyphImage", Skin.SaveImage("updownhg.bmp", TransposedFrames(vertical, 8)));
    h.Set("LeftWidth", 0).Set("TopHeight", 0).Set("RightWidth", 0).Set("BottomHeight", 0);
    h.Set("Trans", 1).Set("Tile", 0);
}

// ---- Colours -------------------------------------------------------------------------------------

void WriteColours(TSkinWriter& Skin, const TTheme& T)
{
    const TColourKeys& c = T.Colours;
    TIniSection& s = Skin.Section("Colours");
    s.Set("WindowText", ColourText(c.WindowText));
    s.Set("ButtonFace", ColourText(c.ButtonFace));
    s.Set("Scrollbar", ColourText(c.Scrollbar));
    s.Set("HilightText", ColourText(c.HilightText));
    s.Set("Hilight", ColourText(c.Hilight));
    s.Set("Menubar", ColourText(c.Menubar));
    s.Set("Menu", ColourText(c.Menu));
    s.Set("MenuText", ColourText(c.MenuText));
    s.Set("ButtonText", ColourText(c.ButtonText));
    s.Set("ButtonHilight", ColourText(c.ButtonHilight));
    s.Set("Buttonlight", ColourText(c.Buttonlight));
    s.Set("ButtonShadow", ColourText(c.ButtonShadow));
    s.Set("ButtonDkShadow", ColourText(c.ButtonDkShadow));
    s.Set("MenuBarText", ColourText(c.MenuBarText));
    s.Set("TitleTextActive", ColourText(c.TitleTextActive));
    s.Set("TitleTextNoActive", ColourText(c.TitleTextNoActive));
    s.Set("GrayText", ColourText(c.GrayText));
    if (c.Window)
        s.Set("Window", ColourText(*c.Window));
    if (c.WindowFrame)
        s.Set("WindowFrame", ColourText(*c.WindowFrame));
}

using TElementWriter = void (*)(TSkinWriter&, const TTheme&);

// In the order their sections appear in the description.
constexpr TElementWriter ElementWriters[] = {
    WriteSkinName, WriteFrameBorders, WriteTitle, WriteMenuBar, WriteColours, WritePushButtons, WriteCheckAndRadio, WriteCaptionButtons,
    WriteMdiControls, WriteMenus, WriteStatusBar, WriteComboButton, WriteSunkEdge, WriteExtraImages, WriteHeaderbar,
    WriteTabs, WriteProgress, WriteScrollArrows, WriteScrollTracks, WriteScrollThumbs, WriteUpDowns,
};


// What each section is, written above it in the description for whoever edits the skin. Strips hold
// their frames side by side unless said otherwise; pure magenta (255 0 255) is the key colour where
// Trans=1; LeftWidth, TopHeight, RightWidth and BottomHeight are the edges kept unstretched.
constexpr std::pair<const char*, const char*> SectionNotes[] = {
    {"TitlebarSkin", "The skin's name."},
    {"Personality", "The window frame: Left and Right strips (frames side by side), Top and Bottom strips (frames "
                    "one above the other), frame 1 active and 2 inactive, *TopHeight/*BotHeight their ends kept "
                    "unstretched; TextBack, the plate behind the caption text; menuBar, the menu bar's strip."},
    {"Fonts", "FontHeight: the caption text's height in pixels at 100 %."},
    {"Colours", "The skin's colours, as R G B: faces, text, selection, menus, captions; Window, WindowText and "
                "WindowFrame are the ground, text and border of edits, lists and views."},
    {"Buttons", "Push buttons (Bitmap: frame 1 normal, 2 pressed, 3 disabled, 4 hot or focused, 5 the default "
                "button) and their text colours; CheckButton and RadioButton: 1 unchecked, 2 checked, 3 and 4 "
                "the same disabled."},
    {"Button1", "A caption button: Action 0 close, 1 maximise or restore, 2 minimise, 3 system menu; Align 0 from "
                "the left, 1 from the right, at Xcoord, Ycoord; frame: the frames in ButtonImage."},
    {"MDICONTROLS", "The buttons of a maximised MDI child in its frame's menu bar."},
    {"MenuBackground", "The background of popup menus, stretched to each popup."},
    {"MenuItem", "Popup menu items: frame 1 an item, 2 a separator, 4 the selected item."},
    {"StatusBarEdges", "The status bar's panels: frame 1 sunken, 2 raised, 3 flat."},
    {"ComboButton", "The face of a combo box's drop-down button: frames normal, pressed, disabled, hot."},
    {"SunkEdge", "The sunken border of a combo box."},
    {"ExtraImages", "The drop-down button's arrow (frames 1 to 4, as the button's) and, frame 5, the status bar's "
                    "size grip."},
    {"Headerbar", "The column headers of list views and grids."},
    {"Tabs", "The tabs of tab controls."},
    {"Progress", "Progress bars: frame 1 the empty trough, 2 the filled part."},
    {"Scrollbar", "Scroll bars: the arrows (HorzScroll, VertScroll), the tracks and the thumbs below."},
    {"UpDown.Vert", "Up-down buttons: Image, the faces of both halves; GlyphImage, their arrows."},
};

} // namespace

void WriteBuiltinSkin(const std::filesystem::path& Folder, const TTheme& Theme)
{
    TSkinWriter skin(Folder);
    // The images for 100 %, 150 % and 200 %; the description, the same for every scale, once.
    for (int dpi : {96, 144, 192}) {
        const TDrawingDpi drawing(dpi);
        for (TElementWriter write : ElementWriters)
            write(skin, Theme);
    }
    for (const auto& [section, note] : SectionNotes)
        skin.Section(section).Describe(note);
    skin.SaveDescription("default.ini", Theme.Comment);
}
