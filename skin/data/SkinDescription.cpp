#include "skin/data/SkinDescription.h"

#include "skin/draw/SkinScale.h"

#include "framework/core/CustomIniFile.h"
#include "framework/core/StrUtils.h"
#include "framework/graphics/Colors.h"
#include "skin/package/FrameCounts.h"
#include "skin/package/SkinRead.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

TSkinContent::TSkinContent()
    : BorderLeft(std::make_unique<TDataSkinBorder>("Left")), BorderRight(std::make_unique<TDataSkinBorder>("Right")),
      BorderTop(std::make_unique<TDataSkinBorder>("Top")), BorderBottom(std::make_unique<TDataSkinBorder>("Bottom")),
      Buttons(std::make_unique<TDataSkinButton>("Buttons")), Title(std::make_unique<TDataSkinTitle>("Title"))
{
}

TSkinContent::~TSkinContent() = default;

TSkinDescription::TSkinDescription(const TSkinReader& Reader, int Dpi) : FReader(Reader), FDpi(Dpi > 0 ? Dpi : 96) {}

void TSkinDescription::LoadScaleImage(TBitmap* Bitmap, const std::string& Name)
{
    const std::string wanted = LowerCase(Name);
    const double target = FDpi / 96.0;
    std::string chosen;
    double chosenScale = 0;
    const TStringList& names = FReader.Names();
    for (int i = 0; i < names.Count(); ++i) {
        std::string base;
        const double scale = ImageScaleOf(names.Strings(i), base);
        if (scale == 0 || base != wanted)
            continue;
        // The nearest at or above the target; when none is, the largest.
        const bool reaches = scale >= target - 1e-9;
        const bool chosenReaches = chosenScale >= target - 1e-9;
        const bool better = chosenScale == 0 || (reaches && (!chosenReaches || scale < chosenScale)) ||
                            (!reaches && !chosenReaches && scale > chosenScale);
        if (better) {
            chosen = names.Strings(i);
            chosenScale = scale;
        }
    }
    if (chosen.empty())
        return;
    FWork.Clear();
    FReader.ExtractEntry(chosen, FWork);
    if (FWork.Size() == 0)
        return;
    FWork.SetPosition(0);
    auto image = std::make_unique<TBitmap>();
    image->LoadFromStream(FWork);
    // Whether its size fits is known only with its frames, when the skin is scaled.
    FSkin->ScaleImages[Bitmap] = TSkinContent::TScaleImage{ScaleDpi(chosenScale),
                                                          std::move(image)};
}

void TSkinDescription::LoadSkinBitmap(TBitmap* Bitmap, const std::string& ImageName)
{
    // A drive ("C:x.bmp") names no entry; a folder part is dropped.
    const std::string name = ImageName.find(':') == std::string::npos ? ExtractFileName(ImageName) : std::string();
    if (name.empty() || ExtractFileExt(name) != ".bmp") {
        Bitmap->SetSize(0, 0);
        return;
    }
    FWork.Clear();
    FReader.ExtractEntry(name, FWork);
    if (FWork.Size() == 0) {
        Bitmap->SetSize(0, 0);
        return;
    }
    FWork.SetPosition(0);
    Bitmap->LoadFromStream(FWork);
    if (FDpi != 96 && FSkin != nullptr && !Bitmap->Empty())
        LoadScaleImage(Bitmap, name);
}

void TSkinDescription::ReadRGBTriple(const TCustomIniFile& Ini, const std::string& Section, const std::string& Name,
                              TColor& Colour)
{
    const int32_t r = Ini.ReadInteger(Section, Name + "R", -1);
    const int32_t g = Ini.ReadInteger(Section, Name + "G", -1);
    const int32_t b = Ini.ReadInteger(Section, Name + "B", -1);
    if (r >= 0 && g >= 0 && b >= 0)
        Colour = static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

std::unique_ptr<TSkinContent> TSkinDescription::Parse(const TCustomIniFile& Ini)
{
    auto content = std::make_unique<TSkinContent>();
    FSkin = content.get();
    TStringList sections;
    Ini.ReadSections(&sections);
    FSkin->SkinName = Ini.ReadString("TitlebarSkin", "SkinName", "");
    ReadBorders(Ini);
    ReadColours(Ini, sections);
    ReadSysButtons(Ini, sections);
    ReadButtons(Ini);
    ReadTitle(Ini);
    ReadBitmapElement(FSkin->Progress, Ini, "Progress");
    ReadMenuBar(Ini);
    ReadImageElement(FSkin->GroupBoxEdge, Ini, "GroupBoxEdge");
    ReadImageElement(FSkin->Toolbars, Ini, "Toolbars");
    ReadImagePairElement(FSkin->Tabs, Ini, "Tabs", "Border");
    for (auto [slot, section] : {std::pair{&FSkin->StatusBarEdges, "StatusBarEdges"}, std::pair{&FSkin->ComboButton, "ComboButton"},
                                 std::pair{&FSkin->SunkEdge, "SunkEdge"}, std::pair{&FSkin->ExtraImages, "ExtraImages"},
                                 std::pair{&FSkin->Headerbar, "Headerbar"}, std::pair{&FSkin->MenuItem, "MenuItem"},
                                 std::pair{&FSkin->MenuBackground, "MenuBackground"}, std::pair{&FSkin->Scrollbar, "Scrollbar"},
                                 std::pair{&FSkin->HorzScroll, "HorzScroll"}, std::pair{&FSkin->VertScroll, "VertScroll"},
                                 std::pair{&FSkin->HorzScrollThumb, "HorzScrollThumb"},
                                 std::pair{&FSkin->VertScrollThumb, "VertScrollThumb"}})
        ReadImageElement(*slot, Ini, section);
    // The thumbs say their own frame count.
    if (FSkin->HorzScrollThumb)
        FSkin->HorzScrollThumb->FrameCount = Ini.ReadInteger("HorzScrollThumb", "FrameCount", 3);
    if (FSkin->VertScrollThumb)
        FSkin->VertScrollThumb->FrameCount = Ini.ReadInteger("VertScrollThumb", "FrameCount", 3);
    ReadImagePairElement(FSkin->UpDownHorz, Ini, "UpDown.Horz", "GlyphImage");
    ReadImagePairElement(FSkin->UpDownVert, Ini, "UpDown.Vert", "GlyphImage");
    SetFrameCounts();
    // The face brush in the colour the value stands for: a system colour (the default when the
    // skin gives no ButtonFace) is the platform's colour of that name, not its number.
    FSkin->FaceBrush.reset(CreateSolidBrush(ColorToRGB(FSkin->Colours.ButtonFace)));
    if (FSkin->Colours.ColoursContent())
        FSkin->WindowBrush.reset(CreateSolidBrush(ColorToRGB(FSkin->Colours.Window)));
    FSkin = nullptr;
    return content;
}

void TSkinDescription::ReadBorders(const TCustomIniFile& Ini)
{
    const std::string section = "Personality";
    for (TDataSkinBorder* border : {FSkin->BorderLeft.get(), FSkin->BorderRight.get(), FSkin->BorderTop.get(), FSkin->BorderBottom.get()}) {
        const std::string& p = border->Name;
        const int32_t start = Ini.ReadInteger(section, p + "TopHeight", 0);
        const int32_t end = Ini.ReadInteger(section, p + "BotHeight", 0);
        if (border == FSkin->BorderLeft.get() || border == FSkin->BorderRight.get()) {
            border->TopHeight = start;
            border->BottomHeight = end;
            border->LeftWidth = 0;
            border->RightWidth = 0;
        } else {
            // The horizontal strips: the lengths kept at the left and the right end.
            border->LeftWidth = start;
            border->RightWidth = end;
            border->TopHeight = 0;
            border->BottomHeight = 0;
        }
        border->FrameCount = Ini.ReadInteger(section, p + "Frame", 1);
        border->Tile = Ini.ReadInteger(section, p + "Stretch", 1);
        border->Trans = Ini.ReadInteger(section, p + "Trans", 1);
        const std::string image = Ini.ReadString(section, p, "");
        FSkin->FrameNamed = FSkin->FrameNamed || !image.empty();
        LoadSkinBitmap(border->Bitmap.get(), image);
    }
}

std::string TSkinContent::BorderProblem(const TDataSkinBorder& Border)
{
    if (Border.Bitmap->Empty())
        return "the " + Border.Name + " border's image is missing";
    // The frames of the left and right borders sit side by side, those of the top and bottom
    // ones one above the other.
    const bool sideBySide = Border.Name == "Left" || Border.Name == "Right";
    const int across = sideBySide ? Border.Bitmap->Width() : Border.Bitmap->Height();
    if (Border.FrameCount < 1 || across < Border.FrameCount)
        return "the " + Border.Name + " border's image (" + std::to_string(Border.Bitmap->Width()) + " x " +
               std::to_string(Border.Bitmap->Height()) + ") cannot hold " + std::to_string(Border.FrameCount) +
               " frames";
    return "";
}

std::string TSkinContent::WhyUnusable() const
{
    if (FrameNamed) {
        for (const TDataSkinBorder* border : {BorderLeft.get(), BorderRight.get(), BorderTop.get(), BorderBottom.get()})
            if (std::string problem = BorderProblem(*border); !problem.empty())
                return "The skin's frame cannot be drawn: " + problem;
        return "";
    }
    const TDataSkinObject* controls[] = {Buttons.get(), Progress.get(), Tabs.get(), UpDownHorz.get(), UpDownVert.get(),
                                         MenuBar.get(), GroupBoxEdge.get(), Toolbars.get(), StatusBarEdges.get(),
                                         ComboButton.get(), SunkEdge.get(), ExtraImages.get(), Headerbar.get(),
                                         MenuItem.get(), MenuBackground.get(), Scrollbar.get(), HorzScroll.get(),
                                         VertScroll.get(), HorzScrollThumb.get(), VertScrollThumb.get()};
    for (const TDataSkinObject* element : controls)
        if (element != nullptr && !element->Bitmap->Empty())
            return "";
    return "The skin has nothing to draw: its description names no frame and no image of a control";
}

void TSkinDescription::ReadColours(const TCustomIniFile& Ini, const TStringList& Sections)
{
    const std::string section = "Colours";
    auto read = [&](const char* key, TColor def) {
        const std::string text = Ini.ReadString(section, key, "");
        return text.empty() ? def : ParseColour(text);
    };
    TSkinColours c;
    c.WindowText = read("WindowText", clWindowText);
    c.ButtonFace = read("ButtonFace", clBtnFace);
    c.Scrollbar = read("Scrollbar", clScrollBar);
    c.HilightText = read("HilightText", clHighlightText);
    c.Hilight = read("Hilight", clHighlight);
    c.Menubar = read("Menubar", c.ButtonFace);
    c.Menu = read("Menu", clMenu);
    c.MenuText = read("MenuText", clMenuText);
    c.ButtonText = read("ButtonText", clBtnText);
    c.ButtonHilight = read("ButtonHilight", clBtnHighlight);
    c.Buttonlight = read("Buttonlight", clBtnHighlight);
    c.ButtonShadow = read("ButtonShadow", clBtnShadow);
    c.ButtonDkShadow = read("ButtonDkShadow", clBtnShadow);
    c.MenuBarText = read("MenuBarText", clMenuText);
    c.TitleTextActive = read("TitleTextActive", clCaptionText);
    c.TitleTextNoActive = read("TitleTextNoActive", clInactiveCaptionText);
    c.GrayText = read("GrayText", clGrayText);
    c.Window = read("Window", clNone);
    c.WindowFrame = read("WindowFrame", clNone);
    FSkin->Colours = c;

    FSkin->CustomColours.clear();
    for (int i = 0; i < Sections.Count(); ++i) {
        const std::string& name = Sections.Strings(i);
        if (StartsText("COLOUR", name) && !SameText(name, "COLOURS")) {
            const std::string text = Ini.ReadString(name, "color", "");
            FSkin->CustomColours.push_back(text.empty() ? clWindowText : ParseColour(text));
        }
    }
}

void TSkinDescription::ReadSysButtons(const TCustomIniFile& Ini, const TStringList& Sections)
{
    FSkin->SysButtons.clear();
    std::vector<std::string> kept;
    for (int i = 0; i < Sections.Count(); ++i) {
        const std::string name = UpperCase(Sections.Strings(i));
        if (name.rfind("BUTTON", 0) == 0 && name != "BUTTONS" && name != "BUTTON.RADIO" && name != "BUTTON.CHECKBOX")
            kept.push_back(name);
    }
    // No title bar holds more; sections past these are not caption buttons of any use.
    if (kept.size() > MaxCaptionButtons)
        kept.resize(MaxCaptionButtons);
    for (const std::string& s : kept) {
        auto button = std::make_unique<TDataSkinSysButton>(s);
        button->Action = Ini.ReadInteger(s, "Action", 0);
        button->Align = Ini.ReadInteger(s, "Align", 0);
        button->Xcoord = Ini.ReadInteger(s, "Xcoord", 0);
        button->Ycoord = Ini.ReadInteger(s, "Ycoord", 0);
        button->Visibility = Ini.ReadInteger(s, "Visibility", 0);
        button->Visibility1 = Ini.ReadInteger(s, "Visibility1", 0);
        button->CombineOp = Ini.ReadInteger(s, "CombineOp", -1);
        button->FrameCount = Ini.ReadInteger(s, "frame", 0);
        LoadSkinBitmap(button->Bitmap.get(), Ini.ReadString(s, "ButtonImage", ""));
        if (button->FrameCount == 0) {
            button->FrameCount = 6;
            if (!button->Bitmap->Empty()) {
                const double ratio =
                    static_cast<double>(button->Bitmap->Width()) / static_cast<double>(button->Bitmap->Height());
                button->FrameCount = ratio <= 3.8 ? 3 : 6;
                if (button->Action < 0)
                    button->FrameCount = 6;
            }
            if (button->Action == 3 || button->Action == 11)
                button->Bitmap->SetSize(0, 0);
        }
        FSkin->SysButtons.push_back(std::move(button));
    }
    const size_t n = FSkin->SysButtons.size();
    for (int32_t action : {7, 8, 9}) {
        auto mdi = std::make_unique<TDataSkinSysButton>("MDI" + IntToStr(action));
        mdi->Action = action;
        mdi->Align = 100;
        mdi->Visibility = 100;
        mdi->Visibility1 = 100;
        mdi->FrameCount = 4;
        mdi->CombineOp = 0;
        FSkin->SysButtons.push_back(std::move(mdi));
    }
    TBitmap strip;
    LoadSkinBitmap(&strip, Ini.ReadString("MDICONTROLS", "Image", ""));
    if (strip.Empty())
        return;
    const int w = strip.Width();
    const int h = strip.Height();
    const int a = w / 12;
    for (int k = 0; k < 3; ++k) {
        TDataSkinSysButton& button = *FSkin->SysButtons[n + static_cast<size_t>(k)];
        button.Bitmap->SetPixelFormat(strip.PixelFormat());
        button.Bitmap->SetSize(4 * a, h);
        if (a > 0) {
            const RECT source{4 * a * k, 0, 4 * a * (k + 1), h};
            button.Bitmap->Canvas()->CopyRect(RECT{0, 0, 4 * a, h}, *strip.Canvas(), source);
        }
        button.Xcoord = (a + 4) * (3 - k);
    }
}

void TSkinDescription::ReadTextColours(TDataSkinObject& Element, const TCustomIniFile& Ini, const std::string& Section)
{
    Element.NormalColour = Ini.ReadInteger(Section, "NormalColour", -1);
    Element.MouseOverColour = Ini.ReadInteger(Section, "MouseOverColour", -1);
    Element.PressedColour = Ini.ReadInteger(Section, "PressedColour", -1);
    auto colour = [&](const char* key) {
        const std::string text = Ini.ReadString(Section, key, "");
        return text.empty() ? FSkin->Colours.ButtonText : ParseColour(text);
    };
    Element.NormalColour2 = colour("NormalColour2");
    Element.MouseOverColour2 = colour("MouseOverColour2");
    Element.PressedColour2 = colour("PressedColour2");
}

void TSkinDescription::ReadButtons(const TCustomIniFile& Ini)
{
    const std::string s = "Buttons";
    TDataSkinButton& b = *FSkin->Buttons;
    b.LeftWidth = Ini.ReadInteger(s, "LeftWidth", 0);
    b.RightWidth = Ini.ReadInteger(s, "RightWidth", 0);
    b.TopHeight = Ini.ReadInteger(s, "TopHeight", 0);
    b.BottomHeight = Ini.ReadInteger(s, "BottomHeight", 0);
    b.Trans = Ini.ReadInteger(s, "Trans", 0);
    LoadSkinBitmap(b.Bitmap.get(), Ini.ReadString(s, "Bitmap", ""));
    b.Tile = Ini.ReadInteger(s, "Tile", 0);
    LoadSkinBitmap(b.CheckButton.get(), Ini.ReadString(s, "CheckButton", ""));
    LoadSkinBitmap(b.RadioButton.get(), Ini.ReadString(s, "RadioButton", ""));
    b.RadioButtonFrame = Ini.ReadInteger(s, "RadioButtonFrame", 0);
    b.CheckButtonFrame = Ini.ReadInteger(s, "CheckButtonFrame", 0);
    ReadTextColours(b, Ini, s);
}

void TSkinDescription::ReadTitle(const TCustomIniFile& Ini)
{
    const std::string s = "Personality";
    TDataSkinTitle& t = *FSkin->Title;
    LoadSkinBitmap(t.Bitmap.get(), Ini.ReadString(s, "TextBack", ""));
    t.LeftWidth = Ini.ReadInteger(s, "TextShift", 0);
    t.TopHeight = Ini.ReadInteger(s, "TextShiftVert", 0);
    t.RightWidth = Ini.ReadInteger(s, "TextRightClip", 0);
    t.BottomHeight = 0;
    t.TextAlignment = Ini.ReadInteger(s, "TextAlignment", 0);
    t.Textbackground = Ini.ReadInteger(s, "Textbackground", 0);
    t.FontHeight = Ini.ReadInteger("Fonts", "FontHeight", 14);
    t.TXTBackleft = Ini.ReadInteger(s, "TXTBackleft", 0);
    t.TXTBackRight = Ini.ReadInteger(s, "TXTBackRight", 0);
    t.ActiveText = NoTitleTextColour;
    t.InActiveText = NoTitleTextColour;
    ReadRGBTriple(Ini, s, "ActiveText", t.ActiveText);
    ReadRGBTriple(Ini, s, "InActiveText", t.InActiveText);
}

void TSkinDescription::ReadMenuBar(const TCustomIniFile& Ini)
{
    FSkin->MenuBar.reset();
    const std::string image = Ini.ReadString("Personality", "menuBar", "");
    if (image.empty())
        return;
    auto bar = std::make_unique<TDataSkinObject>("Personality");
    LoadSkinBitmap(bar->Bitmap.get(), image);
    bar->TopHeight = 0;
    bar->BottomHeight = 0;
    bar->Tile = Ini.ReadInteger("Personality", "TileMenu", 0);
    bar->LeftWidth = Ini.ReadInteger("Personality", "TileLeftMenu", 1);
    bar->RightWidth = Ini.ReadInteger("Personality", "TileRightMenu", 1);
    FSkin->MenuBar = std::move(bar);
}

template <class T>
T* TSkinDescription::NewElement(std::unique_ptr<T>& Slot, const TCustomIniFile& Ini, const std::string& Section,
                         const char* ImageKey)
{
    Slot.reset();
    const std::string image = Ini.ReadString(Section, ImageKey, "");
    if (image.empty())
        return nullptr;
    auto element = std::make_unique<T>(Section);
    LoadSkinBitmap(element->Bitmap.get(), image);
    element->LeftWidth = Ini.ReadInteger(Section, "LeftWidth", 0);
    element->RightWidth = Ini.ReadInteger(Section, "RightWidth", 0);
    element->TopHeight = Ini.ReadInteger(Section, "TopHeight", 0);
    element->BottomHeight = Ini.ReadInteger(Section, "BottomHeight", 0);
    element->Trans = Ini.ReadInteger(Section, "Trans", 0);
    element->Tile = Ini.ReadInteger(Section, "Tile", 0);
    Slot = std::move(element);
    return Slot.get();
}

void TSkinDescription::ReadImageElement(std::unique_ptr<TDataSkinObject>& Slot, const TCustomIniFile& Ini,
                                 const std::string& Section)
{
    TDataSkinObject* e = NewElement(Slot, Ini, Section, "Image");
    if (e == nullptr)
        return;
    e->Style = Ini.ReadInteger(Section, "Style", 0);
    ReadTextColours(*e, Ini, Section);
    if (e->Tile > 1)
        e->Tile = 0;
}

void TSkinDescription::ReadImagePairElement(std::unique_ptr<TDataSkinBorder>& Slot, const TCustomIniFile& Ini,
                                     const std::string& Section, const std::string& SecondKey)
{
    TDataSkinBorder* e = NewElement(Slot, Ini, Section, "Image");
    if (e == nullptr)
        return;
    const std::string second = Ini.ReadString(Section, SecondKey, "");
    if (!second.empty())
        LoadSkinBitmap(e->Bitmap2.get(), second);
    ReadTextColours(*e, Ini, Section);
    if (e->Tile > 1)
        e->Tile = 0;
}

void TSkinDescription::ReadBitmapElement(std::unique_ptr<TDataSkinBorder>& Slot, const TCustomIniFile& Ini,
                                  const std::string& Section)
{
    TDataSkinBorder* e = NewElement(Slot, Ini, Section, "Bitmap");
    if (e == nullptr)
        return;
    const std::string chunk = Ini.ReadString(Section, "Chunk", "");
    if (!chunk.empty())
        LoadSkinBitmap(e->Bitmap2.get(), chunk);
    e->Style = Ini.ReadInteger(Section, "Style", 0);
}

void TSkinDescription::SetFrameCounts()
{
    TDataSkinButton& b = *FSkin->Buttons;
    b.FrameCount = FixedFramesOf("Buttons", "Bitmap");
    auto derived = [](const TBitmap& strip) {
        const int frame = strip.Height() < 16 ? 13 : 16;
        return std::max(strip.Width() / frame, 4);
    };
    if (b.RadioButtonFrame == 0)
        b.RadioButtonFrame = derived(*b.RadioButton);
    if (b.CheckButtonFrame == 0)
        b.CheckButtonFrame = derived(*b.CheckButton);
    FSkin->Title->FrameCount = FixedFramesOf("Personality", "TextBack");
    auto set = [](auto& slot, const char* Section, const char* Key = "Image") {
        if (slot)
            slot->FrameCount = FixedFramesOf(Section, Key);
    };
    set(FSkin->Progress, "Progress", "Bitmap");
    set(FSkin->MenuBar, "Personality", "menuBar");
    set(FSkin->GroupBoxEdge, "GroupBoxEdge");
    set(FSkin->Toolbars, "Toolbars");
    set(FSkin->Tabs, "Tabs");
    set(FSkin->StatusBarEdges, "StatusBarEdges");
    set(FSkin->ComboButton, "ComboButton");
    set(FSkin->SunkEdge, "SunkEdge");
    set(FSkin->ExtraImages, "ExtraImages");
    set(FSkin->Headerbar, "Headerbar");
    set(FSkin->MenuItem, "MenuItem");
    set(FSkin->MenuBackground, "MenuBackground");
    set(FSkin->Scrollbar, "Scrollbar");
    set(FSkin->HorzScroll, "HorzScroll");
    set(FSkin->VertScroll, "VertScroll");
    set(FSkin->UpDownHorz, "UpDown.Horz");
    set(FSkin->UpDownVert, "UpDown.Vert");
}

namespace {

// Element's margins at Dpi.
void ScaleMarginsOf(TDataSkinObject& Element, int Dpi, int FromDpi)
{
    const TMargins m = ScaleMargins(MarginsOf(Element), Dpi, FromDpi);
    Element.LeftWidth = m.Left;
    Element.TopHeight = m.Top;
    Element.RightWidth = m.Right;
    Element.BottomHeight = m.Bottom;
}

} // namespace

void TSkinContent::ScaleImage(TBitmap& Bitmap, int Frames, bool Vertical, const TMargins& Margins, int Dpi)
{
    if (Bitmap.Empty())
        return;
    // The frames come out at the base image's sizes at Dpi, whichever image they are drawn from.
    const TStripLayout layout{Frames, Vertical, Margins};
    const TFrameTarget target = ScaledFrame(Bitmap, layout, Dpi, FDpi);
    std::unique_ptr<TBitmap> scaled;
    // An image drawn for a scale is taken only when it is the base image at that scale, frame by
    // frame; otherwise the base image is scaled.
    if (auto it = ScaleImages.find(&Bitmap); it != ScaleImages.end() && it->second.Image && FDpi == SkinDesignDpi) {
        TBitmap& drawn = *it->second.Image;
        const int drawnDpi = it->second.Dpi;
        const std::string problem = ScaleImageProblem(Bitmap.Width(), Bitmap.Height(), drawn.Width(),
                                                      drawn.Height(), drawnDpi, Frames, Vertical);
        if (problem.empty())
            scaled = ScaleStrip(drawn, TStripLayout{Frames, Vertical, ScaleMargins(Margins, drawnDpi, FDpi)}, target);
    }
    if (!scaled)
        scaled = ScaleStrip(Bitmap, layout, target);
    if (scaled)
        Bitmap.Assign(scaled.get());
}

void TSkinContent::ScaleTo(int Dpi)
{
    const int from = FDpi;
    if (Dpi <= 0 || Dpi == from)
        return;
    // Element's strip cut by its margins (or Cut), then its margins.
    auto scaleElement = [&](TDataSkinObject* Element, bool Vertical, const TMargins* Cut = nullptr) {
        if (Element == nullptr)
            return;
        ScaleImage(*Element->Bitmap, Element->FrameCount, Vertical, Cut != nullptr ? *Cut : MarginsOf(*Element), Dpi);
        ScaleMarginsOf(*Element, Dpi, from);
    };
    for (TDataSkinBorder* border : {BorderLeft.get(), BorderRight.get(), BorderTop.get(), BorderBottom.get()})
        scaleElement(border, border == BorderTop.get() || border == BorderBottom.get());
    if (Buttons) {
        scaleElement(Buttons.get(), false);
        ScaleImage(*Buttons->CheckButton, Buttons->CheckButtonFrame, false, TMargins{}, Dpi);
        ScaleImage(*Buttons->RadioButton, Buttons->RadioButtonFrame, false, TMargins{}, Dpi);
    }
    if (Title) {
        // The title's margins are its text's offsets; its back is cut by its own two ends.
        const TMargins back{Title->TXTBackleft, 0, Title->TXTBackRight, 0};
        scaleElement(Title.get(), true, &back);
        Title->TXTBackleft = ScaleLength(Title->TXTBackleft, Dpi, from);
        Title->TXTBackRight = ScaleLength(Title->TXTBackRight, Dpi, from);
        Title->FontHeight = ScaleLength(Title->FontHeight, Dpi, from);
    }
    scaleElement(MenuBar.get(), true);
    for (TDataSkinObject* e : {GroupBoxEdge.get(), Toolbars.get(), StatusBarEdges.get(), ComboButton.get(),
                               SunkEdge.get(), ExtraImages.get(), Headerbar.get(), MenuItem.get(), MenuBackground.get(),
                               Scrollbar.get(), HorzScroll.get(), VertScroll.get(), HorzScrollThumb.get(),
                               VertScrollThumb.get()})
        scaleElement(e, false);
    // The second images: the tabs' border, the up-downs' glyphs, the progress bar's chunk.
    for (TDataSkinBorder* e : {Progress.get(), Tabs.get(), UpDownHorz.get(), UpDownVert.get()}) {
        if (e == nullptr)
            continue;
        scaleElement(e, false);
        const bool glyphs = e == UpDownHorz.get() || e == UpDownVert.get();
        ScaleImage(*e->Bitmap2, glyphs ? e->FrameCount : 1, false, TMargins{}, Dpi);
    }
    for (const auto& button : SysButtons) {
        scaleElement(button.get(), false);
        button->Xcoord = ScaleLength(button->Xcoord, Dpi, from);
        button->Ycoord = ScaleLength(button->Ycoord, Dpi, from);
    }
    // Drawn from now on: the images for a scale are not needed any more.
    ScaleImages.clear();
    FDpi = Dpi;
}
