#include "skins/generator/Themes.h"

namespace {

constexpr TRgb White{255, 255, 255};

// ---- Pembrox Slate: slate-blue frame, light faces, dark ink -------------------------------------

constexpr TRgb SlateInk = Rgb(0x18202C); // text on light faces
constexpr TRgb SlateFace = Rgb(0xE0E4EB);

constexpr TCaptionLooks SlateCaption{
    {Rgb(0x2D3F58), Rgb(0x97AECC), Rgb(0x5F7999), Rgb(0xF5F8FC), 0.35, 0},
    {Rgb(0x1F2D41), Rgb(0x4A6284), Rgb(0x6781A3), Rgb(0xE6ECF4), 0.0, 1},
    {Rgb(0x2D3F58), Rgb(0xB4C7DF), Rgb(0x7A94B5), White, 0.45, 0},
    {Rgb(0x78818E), Rgb(0xCDD3DA), Rgb(0xA7AFBA), Rgb(0xF4F6F8), 0.35, 0}};

TTheme MakeSlate()
{
    return TTheme{
        .Name = "Pembrox Slate",
        .Comment = "Pembrox Slate, the built-in skin, drawn by make_skin. To make a skin of your own from it: change "
                   "the images (24-bit .bmp; each for 100 %, 150 % and 200 %) and the keys, then skinpack pack "
                   "FOLDER MY.skn",
        .Geometry = {.SideWidth = 4, .TitleHeight = 26, .FootHeight = 4, .CornerRadius = 8, .ModelWidth = 48,
                     .ModelHeight = 40, .TopEndLength = 8, .CaptionButtonWidth = 19, .CaptionButtonHeight = 17,
                     .CaptionButtonRadius = 3.0, .CaptionGlyphSize = 9, .CaptionButtonGap = 2,
                     .CaptionButtonMargin = 3, .IconSize = 16, .IconMargin = 2},
        .ActiveFrame = {Rgb(0x23334A), Rgb(0xA3B7D0), Rgb(0x4A6282), Rgb(0x5B7596), Rgb(0x33465F), Rgb(0x86A0C0),
                        Rgb(0x4C6587), Rgb(0x41577A), Rgb(0x546C8E), Rgb(0x5D7697)},
        .InactiveFrame = {Rgb(0x6C7582), Rgb(0xD3D8DE), Rgb(0x9098A4), Rgb(0xA3ABB6), Rgb(0x7D8693), Rgb(0xC3C9D1),
                          Rgb(0x9AA2AE), Rgb(0x7D8692), Rgb(0x929AA6), Rgb(0x99A1AC)},
        .Title = {.Glaze = 0.08, .TextBackLeft = 6, .TextBackRight = 9, .TextBackMiddle = 4, .TextBackInset = 5,
                  .TextBackRadius = 6.0, .FontHeight = 14},
        .Colours = {.WindowText = SlateInk,
                    .ButtonFace = SlateFace,
                    .Scrollbar = Rgb(0xD0D6E0),
                    .HilightText = White,
                    .Hilight = Rgb(0x4A6891),
                    .Menubar = SlateFace,
                    .Menu = Rgb(0xF6F7FA),
                    .MenuText = SlateInk,
                    .ButtonText = SlateInk,
                    .ButtonHilight = White,
                    .Buttonlight = Rgb(0xEEF1F6),
                    .ButtonShadow = Rgb(0x96A0B0),
                    .ButtonDkShadow = Rgb(0x546072),
                    .MenuBarText = SlateInk,
                    .TitleTextActive = White,
                    .TitleTextNoActive = Rgb(0xF0F2F5),
                    .GrayText = Rgb(0x6B7585),
                    // White content, as the program draws it.
                    .Window = std::nullopt,
                    .WindowFrame = std::nullopt},
        .CaptionLooks = SlateCaption,
        .CloseLooks = {SlateCaption.Normal,
                       {Rgb(0x4E1A15), Rgb(0x9A362E), Rgb(0xBB5047), Rgb(0xF6E6E4), 0.0, 1},
                       {Rgb(0x68251F), Rgb(0xE98D83), Rgb(0xBD4B41), White, 0.35, 0},
                       SlateCaption.Inactive},
        .Icon = {Rgb(0x2A3C54), Rgb(0x9CB3D1), Rgb(0x5E7899), White, Rgb(0xDDE4EE), Rgb(0x8597AE)},
        .MdiNormal = {Rgb(0x9AA6B6), Rgb(0xF6F8FB), Rgb(0xDCE2EA), Rgb(0x2F3E52), 0.5, 0},
        .MdiPressed = {Rgb(0x5A6E8A), Rgb(0xC2CCDA), Rgb(0xD6DDE7), Rgb(0x1E2A3A), 0.0, 1},
        .MdiHot = {Rgb(0x5E7AA1), White, Rgb(0xDCE6F3), Rgb(0x1E3556), 0.5, 0},
        .Push = {{Rgb(0x8190A4), Rgb(0xFCFDFE), Rgb(0xDCE2EB), 0.6, White, 0.0},
                 {Rgb(0x566A87), Rgb(0xC3CDDB), Rgb(0xDCE3EC), 0.0, Rgb(0xAEB9C9), 0.6},
                 {Rgb(0xBAC1CB), Rgb(0xF2F4F7), Rgb(0xEBEEF2), 0.0, White, 0.0},
                 {Rgb(0x4E6B93), White, Rgb(0xD8E3F1), 0.0, Rgb(0xA4BBDA), 0.8},
                 {Rgb(0x3B5880), Rgb(0xFCFDFE), Rgb(0xDCE2EB), 0.0, Rgb(0x7E9BC2), 0.7}},
        .PushText = SlateInk,
        .PushHotText = Rgb(0x16304F),
        .PushPressedText = Rgb(0x101C2E),
        .CheckEnabled = {Rgb(0x5F748E), White, Rgb(0xDFE6EF), Rgb(0x284770)},
        .CheckDisabled = {Rgb(0xB3BAC4), Rgb(0xF3F4F6), Rgb(0xECEEF1), Rgb(0xA2AAB5)},
        .MenuBarActive = {Rgb(0xE9EDF2), Rgb(0xCCD4DF), Rgb(0x9AA6B6)},
        .MenuBarInactive = {Rgb(0xE8EAED), Rgb(0xDADDE2), Rgb(0xBCC2CA)},
        .MenuOutline = Rgb(0x6E7F96),
        .MenuBand = Rgb(0xE3E8EF),
        .SeparatorDark = Rgb(0xB4BDC9),
        .SeparatorLight = White,
        .MenuSelected = {Rgb(0x3E5878), Rgb(0x6F8BB3), Rgb(0x4E6B94), White, 0.25, 0},
        .StatusFace = Rgb(0xE8EBF0),
        .StatusShadow = Rgb(0x96A0B0),
        .StatusLight = White,
        .StatusText = SlateInk,
        .SmallButtons = {{Rgb(0x9AA6B6), Rgb(0xF7F9FB), Rgb(0xDDE3EB), Rgb(0x2E3F57), 0.5, 0},
                         {Rgb(0x72839B), Rgb(0xC3CDDB), Rgb(0xD5DCE6), Rgb(0x2E3F57), 0.0, 1},
                         {Rgb(0xBAC1CB), Rgb(0xF4F6F8), Rgb(0xEBEEF2), Rgb(0xA2AAB5), 0.3, 0},
                         {Rgb(0x4E6B93), White, Rgb(0xD8E3F1), Rgb(0x2E3F57), 0.0, 0}},
        .SunkFill = White,
        .SunkLight = Rgb(0xEEF1F6),
        .SunkSoftShade = Rgb(0xD8DEE6),
        .SunkShadow = Rgb(0x96A0B0),
        .GripDot = Rgb(0x7D8A9C),
        .GripShine = White,
        .HeaderNormal = {Rgb(0xF4F6F9), Rgb(0xDCE2EA), Rgb(0x9AA6B6)},
        .HeaderHot = {White, Rgb(0xE3EAF3), Rgb(0x7E9BC2)},
        .HeaderPressed = {Rgb(0xCFD7E2), Rgb(0xE4E8EE), Rgb(0x8190A4)},
        .HeaderSeparator = Rgb(0xA7B2C2),
        .HeaderSeparatorLight = White,
        .TabOutline = Rgb(0x8A97A9),
        .TabTop = Rgb(0xF2F4F8),
        .TabBottom = Rgb(0xDDE3EB),
        .SelectedTabOutline = Rgb(0x4E6B93),
        .SelectedTabTop = White,
        .SelectedTabBottom = Rgb(0xEEF2F7),
        .TabAccent = Rgb(0x4A6891),
        .PageOutline = Rgb(0x8A97A9),
        .PageLight = White,
        .PageShadow = Rgb(0xC5CDD8),
        .TabText = Rgb(0x2E3F57),
        .TabHotText = Rgb(0x16304F),
        .ProgressTrough = {Rgb(0x8C99AB), Rgb(0xF4F6F9), Rgb(0xF4F6F9), White, 0.0, 0},
        .ProgressBar = {Rgb(0x8C99AB), Rgb(0x6F8BB3), Rgb(0x4E6B94), White, 0.25, 0},
        .ArrowNormal = {Rgb(0x9AA6B6), Rgb(0xF7F9FB), Rgb(0xDDE3EB), Rgb(0x2E3F57), 0.5, 0},
        .ArrowPressed = {Rgb(0x72839B), Rgb(0xC3CDDB), Rgb(0xD5DCE6), Rgb(0x22324A), 0.0, 1},
        .TrackFill = Rgb(0xE9EDF2),
        .TrackEdge = Rgb(0xC5CDD8),
        .TrackShadow = Rgb(0xE0E5EC),
        .ThumbNormal = {Rgb(0x6E7F96), Rgb(0xB9C7DA), Rgb(0x9DB0CA), White, 0.45, 0},
        .ThumbPressed = {Rgb(0x536782), Rgb(0x90A5C1), Rgb(0x7F96B5), White, 0.2, 0},
        .ThumbHot = {Rgb(0x5E7AA1), Rgb(0xC9D6E7), Rgb(0xA9BCD5), White, 0.5, 0},
    };
}

// ---- Pembrox Night: charcoal frame and faces, light text, amber for what is hot or chosen --------

constexpr TRgb NightText = Rgb(0xE4E7EB);   // text on dark faces
constexpr TRgb NightFace = Rgb(0x2B3037);
constexpr TRgb NightMenu = Rgb(0x22262B);
// The client area's face: light enough for the black text of controls that keep their own font
// colour (check boxes, labels, group boxes), dark enough to sit with the charcoal frame.
constexpr TRgb NightPanel = Rgb(0xA2A8B0);
constexpr TRgb Amber = Rgb(0xE8A33A);       // the accent
constexpr TRgb AmberLight = Rgb(0xF5C46E);
constexpr TRgb AmberDeep = Rgb(0xB97A1F);
constexpr TRgb AmberDark = Rgb(0x8A5A14);
constexpr TRgb AmberInk = Rgb(0x1A1408);    // glyphs and text on amber
constexpr TRgb NightBlack = Rgb(0x0C0E10);
constexpr TRgb Shadowless = Rgb(0x000000);

// Light glyphs on dark faces get a dark shadow; dark glyphs on amber get none.
constexpr TFaceLook NightRaised{Rgb(0x111316), Rgb(0x4A515A), Rgb(0x30353C), Rgb(0xDCDFE4), 0.10, 0, Shadowless, 0.45};
constexpr TFaceLook NightPressed{NightBlack, AmberDark, AmberDeep, White, 0.0, 1, Shadowless, 0.35};
constexpr TFaceLook NightHot{Rgb(0x4A3210), AmberLight, Rgb(0xD8952C), AmberInk, 0.25, 0, Shadowless, 0.0};
constexpr TFaceLook NightDisabled{Rgb(0x30343A), Rgb(0x34383E), Rgb(0x2F3338), Rgb(0x5E656F), 0.0, 0, Shadowless, 0.0};

constexpr TCaptionLooks NightCaption{
    {Rgb(0x0A0B0D), Rgb(0x474E57), Rgb(0x2A2F35), Rgb(0xE2E5E9), 0.12, 0, Shadowless, 0.5},
    NightPressed,
    NightHot,
    {Rgb(0x1C1E22), Rgb(0x464B52), Rgb(0x383C42), Rgb(0x8D949E), 0.06, 0, Shadowless, 0.0}};

TTheme MakeNight()
{
    return TTheme{
        .Name = "Pembrox Night",
        .Comment = "Pembrox Night, the dark built-in skin, drawn by make_skin. To make a skin of your own from it: "
                   "change the images (24-bit .bmp; each for 100 %, 150 % and 200 %) and the keys, then skinpack "
                   "pack FOLDER MY.skn",
        .Geometry = {.SideWidth = 4, .TitleHeight = 30, .FootHeight = 4, .CornerRadius = 13, .ModelWidth = 64,
                     .ModelHeight = 46, .TopEndLength = 14, .CaptionButtonWidth = 18, .CaptionButtonHeight = 18,
                     .CaptionButtonRadius = 9.0, .CaptionGlyphSize = 8, .CaptionButtonGap = 5,
                     .CaptionButtonMargin = 7, .IconSize = 16, .IconMargin = 6},
        .ActiveFrame = {NightBlack, Rgb(0x434952), Rgb(0x16181C), Rgb(0x1F2227), Rgb(0x0F1113), Rgb(0x30353C),
                        Rgb(0x1A1D21), AmberDark, Rgb(0x16181B), Rgb(0x1F2226)},
        .InactiveFrame = {Rgb(0x1A1C1F), Rgb(0x4A4F56), Rgb(0x26292D), Rgb(0x32363B), Rgb(0x222528),
                          Rgb(0x3C4046), Rgb(0x303338), Rgb(0x4C5158), Rgb(0x2A2D31), Rgb(0x303338)},
        .Title = {.Glaze = 0.03, .TextBackLeft = 10, .TextBackRight = 12, .TextBackMiddle = 4, .TextBackInset = 6,
                  .TextBackRadius = 9.0, .FontHeight = 14},
        .Colours = {.WindowText = NightText,
                    .ButtonFace = NightPanel,
                    .Scrollbar = Rgb(0x1E2125),
                    .HilightText = AmberInk,
                    .Hilight = Amber,
                    .Menubar = NightFace,
                    .Menu = NightMenu,
                    .MenuText = NightText,
                    .ButtonText = NightText,
                    .ButtonHilight = Rgb(0x5F6771),
                    .Buttonlight = Rgb(0x3E444D),
                    .ButtonShadow = Rgb(0x7A818B),
                    .ButtonDkShadow = NightBlack,
                    .MenuBarText = NightText,
                    .TitleTextActive = Rgb(0xF3F4F6),
                    .TitleTextNoActive = Rgb(0x99A0AA),
                    .GrayText = Rgb(0x454B54),
                    .Window = NightMenu,
                    .WindowFrame = NightBlack},
        .CaptionLooks = NightCaption,
        .CloseLooks = {NightCaption.Normal,
                       {Rgb(0x2A0906), Rgb(0x7A231C), Rgb(0xA1372E), Rgb(0xF6E6E4), 0.0, 1, Shadowless, 0.3},
                       {Rgb(0x3A0E0A), Rgb(0xF07A6E), Rgb(0xC8392D), White, 0.2, 0, Shadowless, 0.3},
                       NightCaption.Inactive},
        .Icon = {NightBlack, AmberLight, AmberDeep, Rgb(0x4A515A), Rgb(0x33383F), Rgb(0x8A929C)},
        .MdiNormal = NightRaised,
        .MdiPressed = NightPressed,
        .MdiHot = NightHot,
        .Push = {{Rgb(0x101215), Rgb(0x4A515A), Rgb(0x32373E), 0.08, White, 0.0},
                 {NightBlack, Rgb(0x202328), Rgb(0x2C3036), 0.0, AmberDark, 0.7},
                 {Rgb(0x353A40), Rgb(0x33373D), Rgb(0x2F3338), 0.0, White, 0.0},
                 {Amber, Rgb(0x545B65), Rgb(0x3A3F47), 0.0, AmberDeep, 0.45},
                 {AmberDeep, Rgb(0x4A515A), Rgb(0x32373E), 0.0, AmberDark, 0.6}},
        .PushText = NightText,
        .PushHotText = White,
        .PushPressedText = AmberLight,
        .CheckEnabled = {Rgb(0x7D858F), Rgb(0x1A1C20), Rgb(0x24282D), Amber},
        .CheckDisabled = {Rgb(0x454B53), Rgb(0x2A2E33), Rgb(0x2A2E33), Rgb(0x5E656F)},
        .MenuBarActive = {Rgb(0x2C3036), Rgb(0x23262B), Rgb(0x111315)},
        .MenuBarInactive = {Rgb(0x34383E), Rgb(0x2E3237), Rgb(0x1F2225)},
        .MenuOutline = NightBlack,
        .MenuBand = Rgb(0x30343A),
        .SeparatorDark = Rgb(0x121417),
        .SeparatorLight = Rgb(0x3A3F46),
        .MenuSelected = {AmberDark, AmberLight, Rgb(0xDC9A34), AmberInk, 0.2, 0},
        .StatusFace = Rgb(0x25292E),
        .StatusShadow = Rgb(0x121417),
        .StatusLight = Rgb(0x454B53),
        .StatusText = Rgb(0xC9CED5),
        .SmallButtons = {NightRaised,
                         NightPressed,
                         NightDisabled,
                         {Amber, Rgb(0x59606A), Rgb(0x3C424A), AmberLight, 0.0, 0, Shadowless, 0.0}},
        .SunkFill = Rgb(0x4A515A),
        .SunkLight = Rgb(0x353A41),
        .SunkSoftShade = Rgb(0x1B1E22),
        .SunkShadow = NightBlack,
        .GripDot = Rgb(0x8A929C),
        .GripShine = Rgb(0x111315),
        .HeaderNormal = {Rgb(0x3B4047), Rgb(0x2D3137), Rgb(0x111315)},
        .HeaderHot = {Rgb(0x474D55), Rgb(0x363B42), Amber},
        .HeaderPressed = {Rgb(0x1F2226), Rgb(0x2B2F35), AmberDeep},
        .HeaderSeparator = Rgb(0x141619),
        .HeaderSeparatorLight = Rgb(0x4A5058),
        .TabOutline = Rgb(0x141619),
        .TabTop = Rgb(0x363A41),
        .TabBottom = Rgb(0x292D33),
        .SelectedTabOutline = NightBlack,
        .SelectedTabTop = Rgb(0x414750),
        .SelectedTabBottom = NightPanel,
        .TabAccent = Amber,
        .PageOutline = Rgb(0x141619),
        .PageLight = Rgb(0x3E444C),
        .PageShadow = Rgb(0x202327),
        .TabText = Rgb(0xB9BFC7),
        .TabHotText = AmberLight,
        .ProgressTrough = {NightBlack, Rgb(0x1B1E22), Rgb(0x1F2226), White, 0.0, 0},
        .ProgressBar = {Rgb(0x6A4410), AmberLight, Rgb(0xD48E26), White, 0.2, 0},
        .ProgressChunks = true,
        .ArrowNormal = NightRaised,
        .ArrowPressed = NightPressed,
        .TrackFill = Rgb(0x1D2024),
        .TrackEdge = Rgb(0x101215),
        .TrackShadow = Rgb(0x16181B),
        .ThumbNormal = {NightBlack, Rgb(0x5A616B), Rgb(0x474D56), White, 0.12, 0},
        .ThumbPressed = {Rgb(0x4A3210), AmberLight, Rgb(0xD48E26), White, 0.2, 0},
        .ThumbHot = {AmberDeep, Rgb(0x6C747F), Rgb(0x565D67), White, 0.15, 0},
    };
}

} // namespace

const TTheme& SlateTheme()
{
    static const TTheme theme = MakeSlate();
    return theme;
}

const TTheme& NightTheme()
{
    static const TTheme theme = MakeNight();
    return theme;
}

const TTheme* FindTheme(const std::string& Key)
{
    if (Key == "slate")
        return &SlateTheme();
    if (Key == "night")
        return &NightTheme();
    return nullptr;
}
