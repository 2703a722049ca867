// Fonts, brushes and pens: change notification, handles made on demand and replaced after a
// change (the old one deleted), adopted handles, Assign, and the published properties as form
// descriptions set them.
#include "framework/graphics/GraphicsObjects.h"

#include "framework/core/Component.h"
#include "framework/core/FormReader.h"
#include "framework/core/Properties.h"
#include "framework/core/Published.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

namespace {

// Counts OnChange calls and can look at the object while the call runs.
class TChangeListener : public TObject {
public:
    int Calls = 0;
    TObject* LastSender = nullptr;
    std::function<void()> During;

    void Changed(TObject* Sender)
    {
        ++Calls;
        LastSender = Sender;
        if (During)
            During();
    }
    TNotifyEvent Event() { return BindMethod<&TChangeListener::Changed>(this); }
};

LOGFONTA FontOf(HFONT font)
{
    LOGFONTA lf{};
    EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    return lf;
}

LOGBRUSH BrushOf(HBRUSH brush)
{
    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    return lb;
}

LOGPEN PenOf(HPEN pen)
{
    LOGPEN lp{};
    EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
    return lp;
}

} // namespace

// A component with the three objects published, for descriptions.
class TGraphicsHolder : public TComponent {
    DECLARE_CLASS(TGraphicsHolder, TComponent)
public:
    explicit TGraphicsHolder(TComponent* AOwner) : TComponent(AOwner) {}
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* v) { FBrush->Assign(v); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* v) { FPen->Assign(v); }

private:
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
    std::unique_ptr<TBrush> FBrush = std::make_unique<TBrush>();
    std::unique_ptr<TPen> FPen = std::make_unique<TPen>();
};

IMPLEMENT_CLASS(TGraphicsHolder)

void TGraphicsHolder::Publish(TClassBuilder<TGraphicsHolder>& b)
{
    b.Property("Font", &TGraphicsHolder::Font, &TGraphicsHolder::SetFont)
        .Property("Brush", &TGraphicsHolder::Brush, &TGraphicsHolder::SetBrush)
        .Property("Pen", &TGraphicsHolder::Pen, &TGraphicsHolder::SetPen);
}

// ---- TFont --------------------------------------------------------------------------------------

TEST(FontTest, DefaultsAreTheFrameworkFont)
{
    TFont font;
    EXPECT_EQ(font.Name(), "MS Sans Serif");
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(font.Color(), clWindowText);
    EXPECT_TRUE(font.Style().Empty());
    EXPECT_EQ(font.Pitch(), fpDefault);
    EXPECT_FALSE(font.HandleAllocated());
}

TEST(FontTest, EveryChangeFiresOnChangeAndSameValuesDoNot)
{
    TFont font;
    TChangeListener listener;
    font.SetOnChange(listener.Event());

    font.SetName("Arial");
    font.SetHeight(-13);
    font.SetCharset(ANSI_CHARSET);
    font.SetColor(clRed);
    font.SetStyle({fsBold});
    font.SetPitch(fpVariable);
    EXPECT_EQ(listener.Calls, 6);
    EXPECT_EQ(listener.LastSender, &font);

    font.SetName("Arial");
    font.SetHeight(-13);
    font.SetStyle({fsBold});
    EXPECT_EQ(listener.Calls, 6);
}

TEST(FontTest, SizeAndHeightConvertAtThePixelDensity)
{
    TFont font;
    font.SetPixelsPerInch(96);
    font.SetSize(8);
    EXPECT_EQ(font.Height(), -11);
    font.SetHeight(-13);
    EXPECT_EQ(font.Size(), 10);
    font.SetSize(12);
    EXPECT_EQ(font.Height(), -16);
}

TEST(FontTest, HandleCarriesThePropertiesAndIsCachedUntilAChange)
{
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-15);
    font.SetStyle({fsBold, fsItalic, fsUnderline});
    font.SetCharset(ANSI_CHARSET);

    const HFONT first = font.Handle();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(font.Handle(), first);
    const LOGFONTA lf = FontOf(first);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfHeight, -15);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_FALSE(lf.lfStrikeOut);
    EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);

    font.SetHeight(-20);
    EXPECT_EQ(GetObjectType(first), 0u) << "the old font was not deleted";
    const HFONT second = font.Handle();
    EXPECT_NE(second, first);
    EXPECT_EQ(FontOf(second).lfHeight, -20);
}

TEST(FontTest, ColorChangesKeepTheHandle)
{
    TFont font;
    const HFONT handle = font.Handle();
    font.SetColor(clBlue);
    EXPECT_EQ(font.Handle(), handle);
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
}

TEST(FontTest, TheOldHandleLivesUntilTheListenersHaveRun)
{
    TFont font;
    const HFONT old = font.Handle();
    TChangeListener listener;
    DWORD typeDuring = 0;
    HFONT newDuring = nullptr;
    listener.During = [&] {
        typeDuring = GetObjectType(old);
        newDuring = font.Handle();
    };
    font.SetOnChange(listener.Event());
    font.SetStyle({fsBold});
    EXPECT_EQ(typeDuring, static_cast<DWORD>(OBJ_FONT));
    EXPECT_NE(newDuring, old);
    EXPECT_EQ(font.Handle(), newDuring);
    EXPECT_EQ(GetObjectType(old), 0u);
}

TEST(FontTest, AdoptsAFontMadeElsewhereAndOwnsIt)
{
    LOGFONTA lf{};
    lf.lfHeight = -17;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = TRUE;
    lf.lfCharSet = RUSSIAN_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::strcpy(lf.lfFaceName, "Courier New");
    const HFONT made = CreateFontIndirectA(&lf);
    ASSERT_NE(made, nullptr);

    TFont font;
    TChangeListener listener;
    font.SetOnChange(listener.Event());
    font.SetHandle(made);
    EXPECT_EQ(listener.Calls, 1);
    EXPECT_EQ(font.Handle(), made);
    EXPECT_EQ(font.Name(), "Courier New");
    EXPECT_EQ(font.Height(), -17);
    EXPECT_EQ(font.Charset(), RUSSIAN_CHARSET);
    EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(font.Pitch(), fpFixed);

    // The next handle keeps the adopted font's other fields.
    font.SetHeight(-12);
    EXPECT_EQ(GetObjectType(made), 0u) << "the adopted font belongs to the font object";
    const LOGFONTA next = FontOf(font.Handle());
    EXPECT_EQ(next.lfHeight, -12);
    EXPECT_EQ(next.lfQuality, NONANTIALIASED_QUALITY);
    EXPECT_EQ(next.lfPitchAndFamily, FIXED_PITCH | FF_MODERN);
    EXPECT_STREQ(next.lfFaceName, "Courier New");
}

TEST(FontTest, AdoptedFontIsDeletedWithTheFontObject)
{
    TFontHandle made(CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    ASSERT_TRUE(made);
    const HFONT raw = made.get();
    {
        TFont font;
        font.SetHandle(std::move(made));
        EXPECT_EQ(font.Handle(), raw);
    }
    EXPECT_EQ(GetObjectType(raw), 0u);
}

TEST(FontTest, AdoptingSomethingElseRaises)
{
    TBrushHandle brush(CreateSolidBrush(RGB(1, 2, 3)));
    TFont font;
    EXPECT_THROW(font.SetHandle(reinterpret_cast<HFONT>(brush.release())), EInvalidOperation);
}

TEST(FontTest, AssignCopiesEveryPropertyWithOneChange)
{
    TFont source;
    source.SetName("Tahoma");
    source.SetHeight(-14);
    source.SetColor(clBtnText);
    source.SetStyle({fsStrikeOut});
    source.SetCharset(GREEK_CHARSET);
    source.SetPitch(fpVariable);

    TFont dest;
    const HFONT old = dest.Handle();
    TChangeListener listener;
    dest.SetOnChange(listener.Event());
    dest.Assign(&source);
    EXPECT_EQ(listener.Calls, 1);
    EXPECT_EQ(dest.Name(), "Tahoma");
    EXPECT_EQ(dest.Height(), -14);
    EXPECT_EQ(dest.Color(), clBtnText);
    EXPECT_EQ(dest.Style(), TFontStyles{fsStrikeOut});
    EXPECT_EQ(dest.Charset(), GREEK_CHARSET);
    EXPECT_EQ(dest.Pitch(), fpVariable);
    EXPECT_EQ(GetObjectType(old), 0u);
    EXPECT_NE(dest.Handle(), source.Handle()) << "each font has its own handle";

    TBrush brush;
    EXPECT_THROW(dest.Assign(&brush), EConvertError);
    EXPECT_THROW(dest.Assign(nullptr), EConvertError);
}

// ---- TBrush -------------------------------------------------------------------------------------

TEST(BrushTest, SolidBrushHasTheResolvedColor)
{
    TBrush brush;
    EXPECT_EQ(brush.Style(), bsSolid);
    EXPECT_EQ(brush.Color(), clWhite);
    brush.SetColor(clBtnFace);
    const LOGBRUSH lb = BrushOf(brush.Handle());
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
}

TEST(BrushTest, ClearBrushIsTheStockNullBrushAndIsNeverDeleted)
{
    const HBRUSH stock = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    {
        TBrush brush;
        brush.SetStyle(bsClear);
        EXPECT_EQ(brush.Handle(), stock);
        brush.SetStyle(bsSolid);
        EXPECT_NE(brush.Handle(), stock);
        brush.SetStyle(bsClear);
        EXPECT_EQ(brush.Handle(), stock);
    }
    EXPECT_EQ(GetObjectType(stock), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(BrushOf(stock).lbStyle, static_cast<UINT>(BS_NULL));
}

TEST(BrushTest, HandleIsReplacedAfterAChangeAndTheOldOneDeleted)
{
    TBrush brush;
    TChangeListener listener;
    brush.SetOnChange(listener.Event());
    const HBRUSH first = brush.Handle();
    brush.SetColor(clRed);
    EXPECT_EQ(listener.Calls, 1);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(BrushOf(brush.Handle()).lbColor, RGB(255, 0, 0));
}

TEST(BrushTest, HatchedStylesMakeHatchBrushes)
{
    TBrush brush;
    brush.SetColor(clNavy);
    brush.SetStyle(bsDiagCross);
    LOGBRUSH lb = BrushOf(brush.Handle());
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
    EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_DIAGCROSS));
    EXPECT_EQ(lb.lbColor, RGB(0, 0, 128));
    brush.SetStyle(bsHorizontal);
    lb = BrushOf(brush.Handle());
    EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_HORIZONTAL));
}

TEST(BrushTest, AColorMakesAClearBrushSolid)
{
    TBrush brush;
    brush.SetStyle(bsClear);
    brush.SetColor(clWhite); // the colour it already had
    EXPECT_EQ(brush.Style(), bsSolid);
}

TEST(BrushTest, TakesADCsBrushWithoutOwningIt)
{
    const HBRUSH gray = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    TBrushHandle own(CreateSolidBrush(RGB(10, 20, 30)));
    {
        TBrush brush;
        brush.SetHandle(gray);
        EXPECT_EQ(brush.Handle(), gray);
        EXPECT_EQ(brush.Style(), bsSolid);
        EXPECT_EQ(brush.Color(), static_cast<TColor>(RGB(128, 128, 128)));
        brush.SetHandle(own.get());
        EXPECT_EQ(brush.Color(), static_cast<TColor>(RGB(10, 20, 30)));
        brush.SetColor(clRed);
        EXPECT_NE(brush.Handle(), own.get());
    }
    EXPECT_EQ(GetObjectType(own.get()), static_cast<DWORD>(OBJ_BRUSH)) << "a taken brush must not be deleted";
    EXPECT_EQ(GetObjectType(gray), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(BrushTest, AssignCopiesColorAndStyle)
{
    TBrush source;
    source.SetColor(clTeal);
    source.SetStyle(bsCross);
    TBrush dest;
    TChangeListener listener;
    dest.SetOnChange(listener.Event());
    dest.Assign(&source);
    EXPECT_EQ(listener.Calls, 1);
    EXPECT_EQ(dest.Color(), clTeal);
    EXPECT_EQ(dest.Style(), bsCross);
    TPen pen;
    EXPECT_THROW(dest.Assign(&pen), EConvertError);
}

// ---- TPen ---------------------------------------------------------------------------------------

TEST(PenTest, HandleFollowsColorWidthAndStyle)
{
    TPen pen;
    EXPECT_EQ(pen.Color(), clBlack);
    EXPECT_EQ(pen.Width(), 1);
    EXPECT_EQ(pen.Style(), psSolid);
    EXPECT_EQ(pen.Mode(), pmCopy);

    TChangeListener listener;
    pen.SetOnChange(listener.Event());
    const HPEN first = pen.Handle();
    pen.SetColor(clBtnShadow);
    pen.SetWidth(3);
    pen.SetStyle(psInsideFrame);
    EXPECT_EQ(listener.Calls, 3);
    EXPECT_EQ(GetObjectType(first), 0u);
    LOGPEN lp = PenOf(pen.Handle());
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_INSIDEFRAME));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, GetSysColor(COLOR_BTNSHADOW));

    pen.SetStyle(psClear);
    EXPECT_EQ(PenOf(pen.Handle()).lopnStyle, static_cast<UINT>(PS_NULL));
    pen.SetStyle(psDashDotDot);
    pen.SetWidth(1);
    EXPECT_EQ(PenOf(pen.Handle()).lopnStyle, static_cast<UINT>(PS_DASHDOTDOT));
}

TEST(PenTest, ModeChangesNotifyButKeepTheHandle)
{
    TPen pen;
    TChangeListener listener;
    pen.SetOnChange(listener.Event());
    const HPEN handle = pen.Handle();
    pen.SetMode(pmXor);
    EXPECT_EQ(listener.Calls, 1);
    EXPECT_EQ(pen.Handle(), handle);
    EXPECT_EQ(PenModeToROP2(pmXor), R2_XORPEN);
    EXPECT_EQ(PenModeToROP2(pmCopy), R2_COPYPEN);
    EXPECT_EQ(PenModeToROP2(pmBlack), R2_BLACK);
    EXPECT_EQ(PenModeToROP2(pmNotXor), R2_NOTXORPEN);
}

TEST(PenTest, AssignCopiesEverything)
{
    TPen source;
    source.SetColor(clMaroon);
    source.SetWidth(2);
    source.SetStyle(psDot);
    source.SetMode(pmNot);
    TPen dest;
    dest.Assign(&source);
    EXPECT_EQ(dest.Color(), clMaroon);
    EXPECT_EQ(dest.Width(), 2);
    EXPECT_EQ(dest.Style(), psDot);
    EXPECT_EQ(dest.Mode(), pmNot);
}

// ---- Published properties -----------------------------------------------------------------------

TEST(GraphicsPropertiesTest, PropertiesAreReachableByName)
{
    TFont font;
    SetOrdProp(&font, "Height", -9);
    EXPECT_EQ(font.Height(), -9);
    SetStrProp(&font, "Name", "Verdana");
    EXPECT_EQ(font.Name(), "Verdana");
    SetSetProp(&font, "Style", "[fsBold,fsUnderline]");
    EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(GetSetProp(&font, "Style"), "[fsBold,fsUnderline]");
    EXPECT_EQ(GetOrdProp(&font, "Color"), clWindowText);
    EXPECT_EQ(PropKind(&font, "Size"), TTypeKind::tkInteger);

    TBrush brush;
    SetEnumProp(&brush, "Style", "bsClear");
    EXPECT_EQ(brush.Style(), bsClear);
    TPen pen;
    SetEnumProp(&pen, "Style", "psDashDot");
    EXPECT_EQ(pen.Style(), psDashDot);
    SetOrdProp(&pen, "Width", 4);
    EXPECT_EQ(pen.Width(), 4);
}

TEST(GraphicsPropertiesTest, DescriptionsSetFontBrushAndPen)
{
    RegisterComponentClass(TGraphicsHolder::StaticClass());
    TGraphicsHolder holder(nullptr);
    ReadComponentText(R"(object Holder1: TGraphicsHolder
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = [fsBold]
  Brush.Color = clBtnFace
  Brush.Style = bsClear
  Pen.Color = $00FF00
  Pen.Style = psDot
end
)",
                      &holder);
    EXPECT_EQ(holder.Font()->Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(holder.Font()->Color(), clWindowText);
    EXPECT_EQ(holder.Font()->Height(), -11);
    EXPECT_EQ(holder.Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(holder.Font()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(holder.Brush()->Color(), clBtnFace);
    EXPECT_EQ(holder.Brush()->Style(), bsClear);
    EXPECT_EQ(holder.Pen()->Color(), clLime);
    EXPECT_EQ(holder.Pen()->Style(), psDot);

    ReadComponentText("object Holder1: TGraphicsHolder\n  Font.Style = []\n  Font.Charset = ANSI_CHARSET\nend\n", &holder);
    EXPECT_TRUE(holder.Font()->Style().Empty());
    EXPECT_EQ(holder.Font()->Charset(), ANSI_CHARSET);
    UnRegisterComponentClass(TGraphicsHolder::StaticClass());
}
