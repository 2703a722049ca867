// Panels, images, buttons and glyph buttons on real windows: pixels read back from the windows
// they paint, clicks through the parent's WM_COMMAND and BM_CLICK, the glyph button's layout and
// pressed and disabled pictures, and a description that places them all.
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/core/FormReader.h"
#include "framework/core/Published.h"
#include "framework/core/Stream.h"
#include "framework/core/StrUtils.h"
#include "framework/graphics/Bitmap.h"

#include "tests/support/EventCounter.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/WindowShot.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// A window control of our own as the root of the tests' controls, on the stage window.
class TStdRoot : public TWinControl {
    DECLARE_CLASS(TStdRoot, TWinControl)
public:
    explicit TStdRoot(TComponent* AOwner = nullptr) : TWinControl(AOwner) {}
};

IMPLEMENT_CLASS_EMPTY(TStdRoot)

std::unique_ptr<TStdRoot> MakeRoot(int Width = 500, int Height = 320, TColor Color = clWhite)
{
    auto root = std::make_unique<TStdRoot>();
    root->SetBounds(0, 0, Width, Height);
    root->SetColor(Color);
    root->SetParentWindow(TTestWindows::Stage());
    root->HandleNeeded();
    return root;
}

COLORREF Rgb(TColor Color)
{
    return ColorToRGB(Color);
}

// A 2 x 2 bitmap: red, green / blue, yellow.
std::unique_ptr<TBitmap> FourColours()
{
    auto bitmap = std::make_unique<TBitmap>(2, 2, pf24bit);
    bitmap->Canvas()->SetPixels(0, 0, clRed);
    bitmap->Canvas()->SetPixels(1, 0, clLime);
    bitmap->Canvas()->SetPixels(0, 1, clBlue);
    bitmap->Canvas()->SetPixels(1, 1, clYellow);
    return bitmap;
}

RECT ChildRect(TWinControl* Child)
{
    RECT r{};
    GetWindowRect(Child->Handle(), &r);
    MapWindowPoints(nullptr, GetParent(Child->Handle()), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ExpectRect(const RECT& Actual, int Left, int Top, int Width, int Height)
{
    EXPECT_EQ(Actual.left, Left);
    EXPECT_EQ(Actual.top, Top);
    EXPECT_EQ(Actual.right - Actual.left, Width);
    EXPECT_EQ(Actual.bottom - Actual.top, Height);
}

// ---------------------------------------------------------------------------------------------

TEST(PanelTest, DefaultsAndPublishedProperties)
{
    TPanel panel(nullptr);
    EXPECT_EQ(panel.Width(), 185);
    EXPECT_EQ(panel.Height(), 41);
    EXPECT_EQ(panel.BevelOuter(), bvRaised);
    EXPECT_EQ(panel.BevelInner(), bvNone);
    EXPECT_EQ(panel.BevelWidth(), 1);
    EXPECT_EQ(panel.BorderWidth(), 0);
    EXPECT_EQ(panel.Alignment(), taCenter);
    EXPECT_EQ(panel.Color(), clBtnFace);
    EXPECT_TRUE(panel.ControlStyle().Contains(csAcceptsControls));
    EXPECT_TRUE(panel.ControlStyle().Contains(csOpaque));
    for (const char* name : {"BevelInner", "BevelOuter", "BevelWidth", "BorderWidth", "Alignment", "Caption", "Color",
                             "Font", "Align", "Anchors"})
        EXPECT_NE(TPanel::StaticClass().FindProperty(name), nullptr) << name;
}

TEST(PanelTest, PaintsBevelsBorderAndFace)
{
    auto root = MakeRoot();
    TPanel panel(nullptr);
    panel.SetBounds(10, 10, 200, 100);
    panel.SetBevelOuter(bvRaised);
    panel.SetBevelInner(bvLowered);
    panel.SetBevelWidth(2);
    panel.SetBorderWidth(3);
    panel.SetColor(0x4080C0);
    panel.SetParent(root.get());

    TShot shot(panel.Handle());
    ASSERT_EQ(shot.Width(), 200);
    const COLORREF highlight = Rgb(clBtnHighlight);
    const COLORREF shadow = Rgb(clBtnShadow);
    const COLORREF face = 0x4080C0;
    // Outer bevel, raised: rings 0 and 1.
    for (int i : {0, 1}) {
        EXPECT_EQ(shot.At(100, i), highlight) << i;
        EXPECT_EQ(shot.At(i, 50), highlight) << i;
        EXPECT_EQ(shot.At(100, 99 - i), shadow) << i;
        EXPECT_EQ(shot.At(199 - i, 50), shadow) << i;
    }
    // The border: rings 2 to 4 in Color.
    for (int i : {2, 3, 4}) {
        EXPECT_EQ(shot.At(100, i), face) << i;
        EXPECT_EQ(shot.At(199 - i, 50), face) << i;
    }
    // Inner bevel, lowered: rings 5 and 6.
    for (int i : {5, 6}) {
        EXPECT_EQ(shot.At(100, i), shadow) << i;
        EXPECT_EQ(shot.At(i, 50), shadow) << i;
        EXPECT_EQ(shot.At(100, 99 - i), highlight) << i;
        EXPECT_EQ(shot.At(199 - i, 50), highlight) << i;
    }
    EXPECT_EQ(shot.Count(RECT{7, 7, 193, 93}, face), 186 * 86);
}

TEST(PanelTest, CaptionCentredInFont)
{
    auto root = MakeRoot();
    TPanel panel(nullptr);
    panel.SetBounds(0, 0, 200, 40);
    panel.SetColor(clWhite);
    panel.Font()->SetColor(clBlack);
    panel.SetCaption("MMMM");
    panel.SetParent(root.get());
    TShot shot(panel.Handle());
    int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
    for (int y = 1; y < 39; ++y)
        for (int x = 1; x < 199; ++x)
            if (shot.At(x, y) == RGB(0, 0, 0)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0) << "no caption pixels";
    EXPECT_NEAR((minX + maxX) / 2.0, 99.5, 3.0);
    EXPECT_NEAR((minY + maxY) / 2.0, 19.5, 3.0);
}

TEST(PanelTest, AlignedChildrenStayInsideTheBevels)
{
    auto root = MakeRoot();
    TPanel panel(nullptr);
    panel.SetBounds(0, 0, 472, 293);
    panel.SetBevelOuter(bvRaised);
    panel.SetBevelInner(bvLowered);
    panel.SetBevelWidth(3);
    panel.SetParent(root.get());
    TPanel child(nullptr);
    child.SetAlign(alClient);
    child.SetParent(&panel);
    ExpectRect(child.BoundsRect(), 6, 6, 460, 281);
    ExpectRect(ChildRect(&child), 6, 6, 460, 281);

    panel.SetBevelWidth(1);
    ExpectRect(child.BoundsRect(), 2, 2, 468, 289);
    ExpectRect(ChildRect(&child), 2, 2, 468, 289);
    // And the panel shows the thinner frame: ring 1 is the inner bevel now.
    TShot shot(panel.Handle());
    EXPECT_EQ(shot.At(1, 100), Rgb(clBtnShadow));

    panel.SetBorderWidth(4);
    panel.SetBevelInner(bvNone);
    ExpectRect(child.BoundsRect(), 5, 5, 462, 283);
}

// ---------------------------------------------------------------------------------------------

TEST(ImageTest, DefaultsAndPublishedProperties)
{
    TImage image(nullptr);
    EXPECT_EQ(image.Width(), 105);
    EXPECT_EQ(image.Height(), 105);
    EXPECT_FALSE(image.Stretch());
    EXPECT_FALSE(image.Center());
    EXPECT_FALSE(image.Transparent());
    for (const char* name : {"Picture", "Stretch", "Center", "Transparent"})
        EXPECT_NE(TImage::StaticClass().FindProperty(name), nullptr) << name;
}

TEST(ImageTest, StretchedBitmapPaintsQuadrantsOnTheParent)
{
    auto root = MakeRoot();
    TImage image(nullptr);
    image.SetBounds(30, 20, 40, 40);
    image.SetStretch(true);
    image.Picture()->SetGraphic(FourColours().get());
    image.SetParent(root.get());

    TShot shot(root->Handle());
    EXPECT_EQ(shot.Count(RECT{30, 20, 50, 40}, Rgb(clRed)), 400);
    EXPECT_EQ(shot.Count(RECT{50, 20, 70, 40}, Rgb(clLime)), 400);
    EXPECT_EQ(shot.Count(RECT{30, 40, 50, 60}, Rgb(clBlue)), 400);
    EXPECT_EQ(shot.Count(RECT{50, 40, 70, 60}, Rgb(clYellow)), 400);
    EXPECT_EQ(shot.At(29, 30), Rgb(clWhite));
    EXPECT_EQ(shot.At(70, 30), Rgb(clWhite));
}

TEST(ImageTest, NaturalSizeCentredAndPictureChangeRepaints)
{
    auto root = MakeRoot();
    TImage image(nullptr);
    image.SetBounds(0, 0, 40, 40);
    image.SetParent(root.get());
    image.Picture()->SetGraphic(FourColours().get());
    ExpectRect(image.DestRect(), 0, 0, 2, 2);
    TShot natural(root->Handle());
    EXPECT_EQ(natural.At(0, 0), Rgb(clRed));
    EXPECT_EQ(natural.At(1, 1), Rgb(clYellow));
    EXPECT_EQ(natural.At(2, 2), Rgb(clWhite));

    image.SetCenter(true);
    ExpectRect(image.DestRect(), 19, 19, 2, 2);
    // A new picture shows without anything else asking for a repaint.
    TBitmap blue(4, 4, pf24bit);
    blue.Canvas()->Brush()->SetColor(clBlue);
    blue.Canvas()->FillRect(RECT{0, 0, 4, 4});
    image.Picture()->SetGraphic(&blue);
    PumpMessages();
    UpdateWindow(root->Handle());
    TShot centred(root->Handle());
    EXPECT_EQ(centred.Count(RECT{18, 18, 22, 22}, Rgb(clBlue)), 16);
    EXPECT_EQ(centred.At(0, 0), Rgb(clWhite));
}

// ---------------------------------------------------------------------------------------------

TEST(ButtonTest, SystemButtonWithDefaults)
{
    auto root = MakeRoot();
    TButton button(nullptr);
    EXPECT_EQ(button.Width(), 75);
    EXPECT_EQ(button.Height(), 25);
    EXPECT_TRUE(button.TabStop());
    button.SetParent(root.get());
    char name[64] = {};
    GetClassNameA(button.Handle(), name, sizeof name);
    EXPECT_STREQ(name, "TButton");
    EXPECT_EQ(GetWindowLongA(button.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_NE(GetWindowLongA(button.Handle(), GWL_STYLE) & WS_TABSTOP, 0);
    button.SetDefault(true);
    EXPECT_EQ(GetWindowLongA(button.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    for (const char* property : {"Default", "Cancel", "ModalResult", "OnClick", "TabStop"})
        EXPECT_NE(TButton::StaticClass().FindProperty(property), nullptr) << property;
}

TEST(ButtonTest, ClicksOnceFromPostedCommandAndFromBmClick)
{
    auto root = MakeRoot();
    TButton button(nullptr);
    button.SetParent(root.get());
    TEventCounter counter;
    button.SetOnClick(counter.Event());

    PostMessageA(root->Handle(), WM_COMMAND, 0, reinterpret_cast<LPARAM>(button.Handle()));
    EXPECT_EQ(counter.Count, 0);
    PumpMessages();
    EXPECT_EQ(counter.Count, 1);

    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(counter.Count, 2);

    // Other notifications are no clicks.
    SendMessageA(root->Handle(), WM_COMMAND, MAKEWPARAM(0, BN_SETFOCUS), reinterpret_cast<LPARAM>(button.Handle()));
    EXPECT_EQ(counter.Count, 2);
}

TEST(ButtonTest, AnswersWmGetFontWithItsFont)
{
    auto root = MakeRoot();
    TButton button(nullptr);
    button.SetParent(root.get());
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(button.Handle(), WM_GETFONT, 0, 0)), button.Font()->Handle());
    button.Font()->SetHeight(-20);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(button.Handle(), WM_GETFONT, 0, 0)), button.Font()->Handle());
}

TEST(ButtonTest, ModalResultGoesToTheForm)
{
    TCustomForm form(nullptr);
    TPanel panel(nullptr);
    panel.SetParent(&form);
    TButton button(nullptr);
    button.SetParent(&panel);
    button.SetModalResult(mrCancel);
    button.Click();
    EXPECT_EQ(form.ModalResult(), mrCancel);
    EXPECT_EQ(ParentFormOf(&button), &form);

    TButton loose(nullptr);
    loose.SetModalResult(mrOk);
    loose.Click(); // no form: nothing to set
    EXPECT_EQ(ParentFormOf(&loose), nullptr);
}

// ---------------------------------------------------------------------------------------------

TEST(BitBtnTest, CloseKind)
{
    auto root = MakeRoot();
    TBitBtn button(nullptr);
    button.SetKind(bkClose);
    EXPECT_EQ(button.Kind(), bkClose);
    EXPECT_EQ(button.Caption(), "&Close");
    EXPECT_EQ(button.ModalResult(), mrClose);
    EXPECT_FALSE(button.Glyph()->Empty());
    EXPECT_EQ(button.Glyph()->Width(), 36);
    EXPECT_EQ(button.Glyph()->Height(), 18);
    EXPECT_EQ(button.NumGlyphs(), 2);
    // Its bottom-left pixel is the transparent colour, and the door is there.
    EXPECT_NE(button.Glyph()->PixelColor(8, 8), button.Glyph()->PixelColor(0, 17));

    button.SetParent(root.get());
    char name[64] = {};
    GetClassNameA(button.Handle(), name, sizeof name);
    EXPECT_STREQ(name, "TBitBtn");
    EXPECT_EQ(GetWindowLongA(button.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

    // An explicit caption after the kind is what shows; the kind stays.
    button.SetCaption("Shut");
    EXPECT_EQ(button.Kind(), bkClose);
    EXPECT_EQ(button.Caption(), "Shut");

    TBitBtn ok(nullptr);
    ok.SetKind(bkOK);
    EXPECT_EQ(ok.Caption(), "OK");
    EXPECT_EQ(ok.ModalResult(), mrOk);
    EXPECT_TRUE(ok.Default());
    TBitBtn cancel(nullptr);
    cancel.SetKind(bkCancel);
    EXPECT_TRUE(cancel.Cancel());
    EXPECT_EQ(cancel.ModalResult(), mrCancel);
    for (TBitBtnKind kind : {bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll})
        EXPECT_EQ(CreateKindGlyph(kind)->Width(), 36) << kind;

    TBitBtn count(nullptr);
    count.SetNumGlyphs(0);
    EXPECT_EQ(count.NumGlyphs(), 1);
    count.SetNumGlyphs(9);
    EXPECT_EQ(count.NumGlyphs(), 4);
}

TEST(BitBtnTest, LayoutCalculation)
{
    const SIZE glyph{18, 18};
    const SIZE text{30, 13};
    const RECT wide{0, 0, 100, 30};
    auto l = CalcButtonLayout(wide, glyph, text, blGlyphLeft, -1, 4);
    ExpectRect(l.Glyph, 24, 6, 18, 18);
    ExpectRect(l.Text, 46, 8, 30, 13);
    l = CalcButtonLayout(wide, glyph, text, blGlyphRight, -1, 4);
    ExpectRect(l.Glyph, 58, 6, 18, 18);
    ExpectRect(l.Text, 24, 8, 30, 13);
    l = CalcButtonLayout(wide, glyph, text, blGlyphLeft, 4, 4);
    ExpectRect(l.Glyph, 4, 6, 18, 18);
    ExpectRect(l.Text, 26, 8, 30, 13);
    l = CalcButtonLayout(wide, glyph, text, blGlyphRight, 4, 4);
    ExpectRect(l.Glyph, 78, 6, 18, 18);
    ExpectRect(l.Text, 44, 8, 30, 13);
    l = CalcButtonLayout(wide, glyph, text, blGlyphLeft, -1, -1);
    ExpectRect(l.Glyph, 17, 6, 18, 18);
    ExpectRect(l.Text, 52, 8, 30, 13);
    l = CalcButtonLayout(wide, glyph, text, blGlyphLeft, 4, -1);
    ExpectRect(l.Text, 46, 8, 30, 13);

    const RECT tall{0, 0, 60, 80};
    l = CalcButtonLayout(tall, glyph, text, blGlyphTop, -1, 4);
    ExpectRect(l.Glyph, 21, 22, 18, 18);
    ExpectRect(l.Text, 15, 44, 30, 13);
    l = CalcButtonLayout(tall, glyph, text, blGlyphBottom, -1, 4);
    ExpectRect(l.Glyph, 21, 40, 18, 18);
    ExpectRect(l.Text, 15, 23, 30, 13);
    l = CalcButtonLayout(tall, glyph, text, blGlyphTop, 4, 4);
    ExpectRect(l.Glyph, 21, 4, 18, 18);
    ExpectRect(l.Text, 15, 26, 30, 13);
    l = CalcButtonLayout(tall, glyph, text, blGlyphBottom, 4, 4);
    ExpectRect(l.Glyph, 21, 58, 18, 18);
    ExpectRect(l.Text, 15, 41, 30, 13);

    // Only one of them: centred (Margin -1) or at the margin, no gap.
    l = CalcButtonLayout(wide, SIZE{0, 0}, text, blGlyphLeft, -1, 4);
    ExpectRect(l.Text, 35, 8, 30, 13);
    EXPECT_TRUE(IsRectEmpty(&l.Glyph));
    l = CalcButtonLayout(wide, glyph, SIZE{0, 0}, blGlyphLeft, 4, 4);
    ExpectRect(l.Glyph, 4, 6, 18, 18);
    EXPECT_TRUE(IsRectEmpty(&l.Text));
}

TEST(BitBtnTest, ButtonRectanglesFollowLayoutMarginAndSpacing)
{
    auto root = MakeRoot();
    TBitBtn button(nullptr);
    button.SetBounds(10, 10, 120, 60);
    button.SetKind(bkClose);
    button.SetParent(root.get());
    for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
        button.SetLayout(layout);
        const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
        for (int margin : {-1, 4}) {
            button.SetMargin(margin);
            const RECT g = button.GlyphRect();
            const RECT t = button.TextRect();
            SCOPED_TRACE(testing::Message() << "layout " << layout << " margin " << margin);
            EXPECT_EQ(g.right - g.left, 18);
            EXPECT_EQ(g.bottom - g.top, 18);
            EXPECT_GT(t.right - t.left, 0);
            // Spacing 4 between them, on the side the layout says.
            switch (layout) {
            case blGlyphLeft: EXPECT_EQ(t.left - g.right, 4); break;
            case blGlyphRight: EXPECT_EQ(g.left - t.right, 4); break;
            case blGlyphTop: EXPECT_EQ(t.top - g.bottom, 4); break;
            case blGlyphBottom: EXPECT_EQ(g.top - t.bottom, 4); break;
            }
            const int nearGap = layout == blGlyphLeft ? g.left
                                : layout == blGlyphRight ? 120 - g.right
                                : layout == blGlyphTop ? g.top
                                                       : 60 - g.bottom;
            const int farGap = layout == blGlyphLeft ? 120 - t.right
                               : layout == blGlyphRight ? t.left
                               : layout == blGlyphTop ? 60 - t.bottom
                                                      : t.top;
            if (margin == 4)
                EXPECT_EQ(nearGap, 4);
            else
                EXPECT_LE(std::abs(nearGap - farGap), 1);
            // Across the axis both are centred.
            if (horizontal) {
                EXPECT_LE(std::abs(g.top - (60 - g.bottom)), 1);
                EXPECT_LE(std::abs(t.top - (60 - t.bottom)), 1);
            } else {
                EXPECT_LE(std::abs(g.left - (120 - g.right)), 1);
                EXPECT_LE(std::abs(t.left - (120 - t.right)), 1);
            }
        }
    }
}

TEST(BitBtnTest, DrawsGlyphFaceAndPressedState)
{
    auto root = MakeRoot();
    TBitBtn button(nullptr);
    button.SetBounds(20, 20, 100, 30);
    button.SetKind(bkClose);
    button.SetParent(root.get());
    const RECT g = button.GlyphRect();
    const COLORREF maroon = Rgb(clMaroon);
    const COLORREF face = Rgb(clBtnFace);

    TShot up(button.Handle());
    // The door's frame starts at (3, 2) of the glyph; around it the glyph is transparent.
    EXPECT_EQ(up.At(g.left + 3, g.top + 2), maroon);
    EXPECT_EQ(up.At(g.left + 2, g.top + 2), face);
    EXPECT_EQ(up.At(g.left + 3, g.top + 1), face);
    EXPECT_GT(up.Count(g, maroon), 40);
    // The 3D frame: highlight on the top edge, a dark bottom edge.
    EXPECT_EQ(up.At(50, 0), Rgb(clBtnHighlight));
    EXPECT_NE(up.At(50, 29), face);

    SendMessageA(button.Handle(), BM_SETSTATE, TRUE, 0);
    TShot down(button.Handle());
    EXPECT_EQ(down.At(g.left + 4, g.top + 3), maroon);
    EXPECT_EQ(down.At(g.left + 3, g.top + 2), face);
    int same = 0, total = 0;
    for (int y = g.top; y < g.bottom; ++y)
        for (int x = g.left; x < g.right; ++x)
            if (up.At(x, y) == maroon) {
                ++total;
                same += down.At(x + 1, y + 1) == maroon ? 1 : 0;
            }
    EXPECT_EQ(same, total);
    SendMessageA(button.Handle(), BM_SETSTATE, FALSE, 0);
    TShot again(button.Handle());
    EXPECT_EQ(again.At(g.left + 3, g.top + 2), maroon);
}

TEST(BitBtnTest, DisabledShowsTheGreyedGlyph)
{
    auto root = MakeRoot();
    TBitBtn button(nullptr);
    button.SetBounds(20, 20, 100, 30);
    button.SetKind(bkClose);
    button.SetParent(root.get());
    const RECT g = button.GlyphRect();
    button.SetEnabled(false);
    TShot shot(button.Handle());
    EXPECT_EQ(shot.Count(g, Rgb(clMaroon)), 0);
    EXPECT_EQ(shot.At(g.left + 3, g.top + 2), Rgb(clBtnShadow));
    EXPECT_GT(shot.Count(g, Rgb(clBtnShadow)), 40);

    // One image only: greyed from it.
    TBitBtn single(nullptr);
    single.SetBounds(20, 60, 100, 30);
    auto strip = CreateKindGlyph(bkClose);
    TBitmap first(18, 18, pf32bit);
    first.Canvas()->CopyRect(RECT{0, 0, 18, 18}, *strip->Canvas(), RECT{0, 0, 18, 18});
    single.SetGlyph(&first);
    EXPECT_EQ(single.NumGlyphs(), 1);
    single.SetCaption("Off");
    single.SetEnabled(false);
    single.SetParent(root.get());
    TShot greyed(single.Handle());
    const RECT sg = single.GlyphRect();
    EXPECT_EQ(greyed.Count(sg, Rgb(clMaroon)), 0);
    EXPECT_EQ(greyed.At(sg.left + 3, sg.top + 2), Rgb(clBtnShadow));
}

TEST(BitBtnTest, ClicksThroughTheOwnerDrawnButton)
{
    auto root = MakeRoot();
    TBitBtn button(nullptr);
    button.SetKind(bkOK);
    button.SetParent(root.get());
    TEventCounter counter;
    button.SetOnClick(counter.Event());
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(counter.Count, 1);
    PostMessageA(root->Handle(), WM_COMMAND, 0, reinterpret_cast<LPARAM>(button.Handle()));
    PumpMessages();
    EXPECT_EQ(counter.Count, 2);
}

// ---------------------------------------------------------------------------------------------

std::string PictureDataHex(TGraphic* Graphic)
{
    TPicture picture;
    picture.SetGraphic(Graphic);
    TMemoryStream stream;
    picture.WriteData(stream);
    std::vector<uint8_t> bytes(static_cast<size_t>(stream.Size()));
    stream.Seek(0, TSeekOrigin::soBeginning);
    stream.Read(bytes.data(), static_cast<int32_t>(bytes.size()));
    std::string hex;
    for (uint8_t b : bytes)
        hex += IntToHex(b, 2);
    return hex;
}

TEST(StdControlsDescriptionTest, ReadsAndPlacesPanelImageAndBitBtn)
{
    RegisterStandardControls();
    RegisterComponentClass(TStdRoot::StaticClass());
    const std::string text = "object StdRoot1: TStdRoot\n"
                             "  Left = 0\n  Top = 0\n  Width = 400\n  Height = 300\n"
                             "  object Panel1: TPanel\n"
                             "    Left = 8\n    Top = 8\n    Width = 300\n    Height = 200\n"
                             "    BevelInner = bvLowered\n    BevelWidth = 2\n    Color = clWhite\n"
                             "    object Image1: TImage\n"
                             "      Left = 10\n      Top = 10\n      Width = 40\n      Height = 40\n"
                             "      Stretch = True\n"
                             "      Picture.Data = {" + PictureDataHex(FourColours().get()) + "}\n"
                             "    end\n"
                             "    object BitBtn1: TBitBtn\n"
                             "      Left = 100\n      Top = 150\n      Width = 90\n      Height = 30\n"
                             "      Kind = bkClose\n      Layout = blGlyphRight\n      Margin = 4\n"
                             "    end\n"
                             "    object BitBtn2: TBitBtn\n      Left = 200\n      Top = 10\n      Caption = 'Quit'\n      Kind = bkClose\n    end\n"
                             "    object Inner1: TPanel\n      Align = alBottom\n      Height = 20\n    end\n"
                             "  end\n"
                             "end\n";
    TStdRoot root(nullptr);
    ReadComponentText(text, &root);
    auto* panel = dynamic_cast<TPanel*>(root.FindComponent("Panel1"));
    auto* image = dynamic_cast<TImage*>(root.FindComponent("Image1"));
    auto* bitbtn = dynamic_cast<TBitBtn*>(root.FindComponent("BitBtn1"));
    auto* inner = dynamic_cast<TPanel*>(root.FindComponent("Inner1"));
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(image, nullptr);
    ASSERT_NE(bitbtn, nullptr);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(panel->Parent(), &root);
    EXPECT_EQ(image->Parent(), panel);
    EXPECT_EQ(bitbtn->Parent(), panel);
    EXPECT_EQ(panel->BevelInner(), bvLowered);
    EXPECT_EQ(panel->BevelWidth(), 2);
    EXPECT_EQ(image->Picture()->Width(), 2);
    EXPECT_TRUE(image->Stretch());
    EXPECT_EQ(bitbtn->Caption(), "&Close");
    EXPECT_EQ(bitbtn->Layout(), blGlyphRight);
    // A caption read before the kind stays; the rest comes from the kind.
    auto* quit = dynamic_cast<TBitBtn*>(root.FindComponent("BitBtn2"));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->Caption(), "Quit");
    EXPECT_EQ(quit->ModalResult(), mrClose);
    EXPECT_FALSE(quit->Glyph()->Empty());
    EXPECT_EQ(bitbtn->Margin(), 4);
    ExpectRect(bitbtn->BoundsRect(), 100, 150, 90, 30);
    // Inside both bevels (2 + 2).
    ExpectRect(inner->BoundsRect(), 4, 176, 292, 20);

    root.SetParentWindow(TTestWindows::Stage());
    root.HandleNeeded();
    ExpectRect(ChildRect(bitbtn), 100, 150, 90, 30);
    TShot shot(panel->Handle());
    EXPECT_EQ(shot.Count(RECT{10, 10, 30, 30}, Rgb(clRed)), 400);
    EXPECT_EQ(shot.Count(RECT{30, 30, 50, 50}, Rgb(clYellow)), 400);
    TShot button(bitbtn->Handle());
    EXPECT_GT(button.Count(bitbtn->GlyphRect(), Rgb(clMaroon)), 40);
    EXPECT_EQ(bitbtn->GlyphRect().right, 90 - 4);
}

} // namespace
