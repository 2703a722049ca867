#include "tools/skinpack/SkinCheck.h"

#include "framework/core/Contrast.h"
#include "framework/core/MemIniFile.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Strings.h"
#include "framework/graphics/BitmapCodec.h"
#include "skin/package/FrameCounts.h"
#include "skin/package/ScaleImages.h"
#include "skin/package/SkinRead.h"
#include "tools/skinpack/BitmapCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string_view>

namespace {

bool EndsWith(std::string_view s, std::string_view tail)
{
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

class TChecker {
public:
    TChecker(const TSkinReader& Reader, const TMemIniFile& Ini, std::vector<std::string>& Problems)
        : FReader(Reader), FIni(Ini), FProblems(Problems)
    {
    }

    // The image named by Section/Key, as the engine loads it.
    void Image(const std::string& Section, const std::string& Key)
    {
        const std::string value = FIni.ReadString(Section, Key, std::string());
        if (value.empty())
            return;
        const std::string where = Section + "/" + Key + ": ";
        const std::string name = ExtractFileName(value);
        if (name.empty()) {
            FProblems.push_back(where + Quoted(value) + " names no file");
            return;
        }
        if (ExtractFileExt(name) != ".bmp") {
            FProblems.push_back(where + Quoted(name) + " does not end in \".bmp\" (lower case)");
            return;
        }
        const int index = Find(name);
        if (index < 0) {
            FProblems.push_back(where + "no entry " + Quoted(name) + " in the package");
            return;
        }
        const std::string_view data = FReader.Entry(index);
        if (data.empty()) {
            FProblems.push_back(where + "entry " + Quoted(name) + " is empty");
            return;
        }
        std::string problem;
        if (!CheckWindowsBitmap(data, problem))
            FProblems.push_back(where + Quoted(name) + " is not a valid bitmap: " + problem);
    }

private:
    int Find(const std::string& Name) const
    {
        const std::string wanted = LowerCase(Name);
        for (int i = 0; i < FReader.EntryCount(); ++i)
            if (FReader.Names()[i] == wanted)
                return i;
        return -1;
    }

    const TSkinReader& FReader;
    const TMemIniFile& FIni;
    std::vector<std::string>& FProblems;
};

// The size of the bitmap in entry Index, or false when it does not decode.
bool ImageSize(const TSkinReader& Reader, int Index, int& Width, int& Height)
{
    const std::string_view data = Reader.Entry(Index);
    TBitmapImage image;
    std::string problem;
    if (data.empty() || !TryDecodeBitmap(reinterpret_cast<const uint8_t*>(data.data()), data.size(), image, problem,
                                         /*StrictFileSize=*/true))
        return false;
    Width = image.Width;
    Height = image.Height;
    return true;
}

// Every image drawn for a scale ("top@1.5x.bmp") stands for a base image the package holds and is
// exactly its size times the scale; the engine leaves out one that is not.
void CheckScaleImages(const TSkinReader& Reader, std::vector<std::string>& Problems)
{
    for (int i = 0; i < Reader.EntryCount(); ++i) {
        std::string base;
        const double scale = ImageScaleOf(Reader.Names()[i], base);
        if (scale == 0)
            continue;
        const std::string where = Reader.StoredName(i) + ": ";
        int b = -1;
        for (int j = 0; j < Reader.EntryCount(); ++j)
            if (Reader.Names()[j] == base)
                b = j;
        if (b < 0) {
            Problems.push_back(where + "an image for a scale of " + Quoted(base) +
                               ", which the package does not hold; name it after its base image");
            continue;
        }
        int bw = 0, bh = 0, w = 0, h = 0;
        if (!ImageSize(Reader, i, w, h)) {
            Problems.push_back(where + "is not a valid bitmap");
            continue;
        }
        if (!ImageSize(Reader, b, bw, bh))
            continue; // the base image's own check reports it
        if (const std::string why = ScaleImageProblem(bw, bh, w, h, ScaleDpi(scale)); !why.empty())
            Problems.push_back(where + "not " + Quoted(Reader.StoredName(b)) + " at its scale: " + why +
                               "; the engine scales the base image instead");
    }
}

// The description of the package, read as the engine reads it (null: there is none).
std::unique_ptr<TMemIniFile> Description(const TSkinReader& Reader)
{
    for (int i = 0; i < Reader.EntryCount(); ++i)
        if (Reader.Names()[i].find(".ini") != std::string::npos)
            return std::make_unique<TMemIniFile>(std::string(Reader.Entry(i)));
    return nullptr;
}

// Section's keys, in file order.
std::vector<std::string> KeysOf(const TMemIniFile& Ini, const std::string& Section)
{
    TStringList keys;
    Ini.ReadSection(Section, &keys);
    std::vector<std::string> out;
    for (int i = 0; i < keys.Count(); ++i)
        out.push_back(keys[i]);
    return out;
}

std::vector<std::string> SectionsOf(const TMemIniFile& Ini)
{
    TStringList sections;
    Ini.ReadSections(&sections);
    std::vector<std::string> out;
    for (int i = 0; i < sections.Count(); ++i)
        out.push_back(sections[i]);
    return out;
}

// A colour as a skin writes one, "R G B" (three numbers from 0 to 255, blanks between), as
// 0x00BBGGRR; nullopt for anything else, which the engine would read as some other colour.
std::optional<uint32_t> ParseRgb(const std::string& Text)
{
    unsigned r = 0, g = 0, b = 0;
    char rest = 0;
    if (Text.find_first_not_of("0123456789 \t") != std::string::npos ||
        std::sscanf(Text.c_str(), "%3u %3u %3u %c", &r, &g, &b, &rest) != 3 || r > 255 || g > 255 || b > 255)
        return std::nullopt;
    return r | (g << 8) | (b << 16);
}

// The keys of the description that hold colours: every key of [Colours], and "color" of each
// COLOUR... section.
template <class Fn>
void ForEachColourKey(const TMemIniFile& Ini, Fn&& Visit)
{
    for (const std::string& section : SectionsOf(Ini)) {
        const std::string upper = UpperCase(section);
        if (upper == "COLOURS") {
            for (const std::string& key : KeysOf(Ini, section))
                Visit(section, key);
        } else if (upper.rfind("COLOUR", 0) == 0) {
            Visit(section, std::string("color"));
        }
    }
}

// Every key some element of the engine reads, in any section.
constexpr const char* KnownKeys[] = {
    "Action", "ActiveTextB", "ActiveTextG", "ActiveTextR", "Align", "Bitmap", "Border", "Bottom", "BottomBotHeight",
    "BottomFrame", "BottomHeight", "BottomStretch", "BottomTopHeight", "BottomTrans", "ButtonDkShadow", "ButtonFace",
    "ButtonHilight", "ButtonImage", "Buttonlight", "ButtonShadow", "ButtonText", "CheckButton", "CheckButtonFrame",
    "Chunk", "color", "CombineOp", "FontHeight", "frame", "FrameCount", "GlyphImage", "GrayText", "Hilight",
    "HilightText", "Image", "InActiveTextB", "InActiveTextG", "InActiveTextR", "Left", "LeftBotHeight", "LeftFrame",
    "LeftStretch", "LeftTopHeight", "LeftTrans", "LeftWidth", "Menu", "menuBar", "MenuBarText", "MenuText",
    "MouseOverColour", "MouseOverColour2", "NormalColour", "NormalColour2", "PressedColour", "PressedColour2",
    "RadioButton", "RadioButtonFrame", "Right", "RightBotHeight", "RightFrame", "RightStretch", "RightTopHeight",
    "RightTrans", "RightWidth", "Scrollbar", "SkinName", "Style", "TextAlignment", "TextBack", "Textbackground",
    "TextRightClip", "TextShift", "TextShiftVert", "Tile", "TileLeftMenu", "TileMenu", "TileRightMenu",
    "TitleTextActive", "TitleTextNoActive", "Top", "TopBotHeight", "TopFrame", "TopHeight", "TopStretch",
    "TopTopHeight", "TopTrans", "Trans", "TXTBackleft", "TXTBackRight", "Visibility", "Visibility1", "Window",
    "WindowFrame", "WindowText", "Xcoord", "Ycoord",
};

// Edits (a letter added, dropped, changed, or two swapped) from A to B, ignoring case.
size_t Distance(const std::string& A, const std::string& B)
{
    const std::string a = LowerCase(A), b = LowerCase(B);
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

void UnknownKeys(const TMemIniFile& Ini, std::vector<std::string>& Warnings)
{
    for (const std::string& section : SectionsOf(Ini)) {
        for (const std::string& key : KeysOf(Ini, section)) {
            if (std::any_of(std::begin(KnownKeys), std::end(KnownKeys),
                            [&](const char* Known) { return LowerCase(Known) == LowerCase(key); }))
                continue;
            const char* nearest = *std::min_element(std::begin(KnownKeys), std::end(KnownKeys),
                                                    [&](const char* X, const char* Y) {
                                                        return Distance(key, X) < Distance(key, Y);
                                                    });
            const std::string where = section + "/" + key + ": warning: no element reads this key";
            Warnings.push_back(Distance(key, nearest) <= 2 ? where + ": did you mean " + nearest + "?"
                                                           : where + "; check its spelling or remove it");
        }
    }
}

// The size of the image Section/Key names, when the package holds it and it decodes.
bool NamedImageSize(const TSkinReader& Reader, const TMemIniFile& Ini, const std::string& Section,
                    const std::string& Key, std::string& Name, int& Width, int& Height)
{
    Name = LowerCase(ExtractFileName(Ini.ReadString(Section, Key, std::string())));
    if (Name.empty())
        return false;
    for (int i = 0; i < Reader.EntryCount(); ++i)
        if (Reader.Names()[i] == Name)
            return ImageSize(Reader, i, Width, Height);
    return false;
}

// A strip the engine cuts into frames, and the keys that size it.
struct TStrip {
    std::string Section, Key;
    int32_t Frames;
    bool Stacked;         // frames one above the other (the Top and Bottom borders)
    std::string CountKey; // the key that gives Frames, "" when the engine fixes it
};

std::vector<TStrip> Strips(const TMemIniFile& Ini)
{
    std::vector<TStrip> strips;
    for (const char* border : {"Left", "Right", "Top", "Bottom"}) {
        const std::string b = border;
        strips.push_back({"Personality", b, Ini.ReadInteger("Personality", b + "Frame", 1), b == "Top" || b == "Bottom",
                          b + "Frame"});
    }
    for (const TFixedFrames& f : FixedFrameCounts)
        strips.push_back({f.Section, f.ImageKey, f.Frames, f.Stacked, ""});
    for (const char* thumb : {"HorzScrollThumb", "VertScrollThumb"})
        strips.push_back({thumb, "Image", Ini.ReadInteger(thumb, "FrameCount", 3), false, "FrameCount"});
    for (const char* box : {"CheckButton", "RadioButton"})
        if (const int32_t n = Ini.ReadInteger("Buttons", std::string(box) + "Frame", 0); n > 0)
            strips.push_back({"Buttons", box, n, false, std::string(box) + "Frame"});
    for (const std::string& section : SectionsOf(Ini)) {
        const std::string upper = UpperCase(section);
        if (upper.rfind("BUTTON", 0) == 0 && upper != "BUTTONS" && upper != "BUTTON.RADIO" &&
            upper != "BUTTON.CHECKBOX")
            if (const int32_t n = Ini.ReadInteger(section, "frame", 0); n > 0)
                strips.push_back({section, "ButtonImage", n, false, "frame"});
    }
    return strips;
}

std::string SizeText(int Width, int Height)
{
    return std::to_string(Width) + " x " + std::to_string(Height);
}

// Border strips that cannot hold their frames: the engine refuses such a skin's window frame.
void BorderFrames(const TSkinReader& Reader, const TMemIniFile& Ini, std::vector<std::string>& Problems)
{
    for (const TStrip& s : Strips(Ini)) {
        std::string name;
        int w = 0, h = 0;
        if (s.Section != "Personality" || s.CountKey.empty() || !NamedImageSize(Reader, Ini, s.Section, s.Key, name, w, h))
            continue;
        if (s.Frames < 1 || (s.Stacked ? h : w) < s.Frames)
            Problems.push_back(s.Section + "/" + s.CountKey + ": " + Quoted(name) + " (" + SizeText(w, h) +
                               ") cannot hold " + std::to_string(s.Frames) + " frames " +
                               (s.Stacked ? "one above the other" : "side by side") +
                               "; the engine refuses the skin's window frame: change " + s.CountKey +
                               " or the image");
    }
}

// Strips that do not split into whole frames, and margins wider than a frame.
void FrameWarnings(const TSkinReader& Reader, const TMemIniFile& Ini, std::vector<std::string>& Warnings)
{
    for (const TStrip& s : Strips(Ini)) {
        std::string name;
        int w = 0, h = 0;
        if (!NamedImageSize(Reader, Ini, s.Section, s.Key, name, w, h) || s.Frames < 1)
            continue;
        const std::string where = s.Section + "/" + s.Key + ": warning: " + Quoted(name) + " (" + SizeText(w, h) + ")";
        const int across = s.Stacked ? h : w;
        const std::string count = std::to_string(s.Frames) + " frames" +
                                  (s.CountKey.empty() ? " (the engine's count for it)" : " (" + s.CountKey + ")");
        if (across < s.Frames) {
            if (s.Section != "Personality")
                Warnings.push_back(where + " cannot hold " + count + "; the engine draws nothing from it");
            continue;
        }
        if (across % s.Frames != 0)
            Warnings.push_back(where + " does not split into " + count + " of equal " +
                               (s.Stacked ? "height" : "width") + ": the last " + std::to_string(across % s.Frames) +
                               " are never drawn; make it a multiple of " + std::to_string(s.Frames));
        const int fw = s.Stacked ? w : w / s.Frames, fh = s.Stacked ? h / s.Frames : h;
        auto margins = [&](const std::string& A, const std::string& B, int Frame, const char* Measure) {
            const int32_t a = Ini.ReadInteger(s.Section, A, 0), b = Ini.ReadInteger(s.Section, B, 0);
            if (a + b > Frame)
                Warnings.push_back(s.Section + "/" + A + ": warning: " + A + " + " + B + " (" + std::to_string(a) +
                                   " + " + std::to_string(b) + ") are " + Measure + " than a frame of " + Quoted(name) +
                                   " (" + std::to_string(Frame) + "); make them smaller or the frames larger");
        };
        if (s.Section == "Personality" && !s.CountKey.empty()) {
            // A border's kept ends run along it: down the sides, across the top and the bottom.
            const bool side = !s.Stacked;
            margins(s.Key + "TopHeight", s.Key + "BotHeight", side ? fh : fw, side ? "taller" : "wider");
        } else if (s.Key == "Image" || s.Key == "Bitmap") {
            margins("LeftWidth", "RightWidth", fw, "wider");
            margins("TopHeight", "BottomHeight", fh, "taller");
        }
    }
}

void UnreadableColours(const TMemIniFile& Ini, std::vector<std::string>& Warnings)
{
    auto colour = [&](const char* Key) { return ParseRgb(Ini.ReadString("Colours", Key, std::string())); };
    struct TPair {
        const char* Text;
        const char* Ground;
        double Needed;
        const char* What;
    };
    constexpr TPair pairs[] = {
        {"ButtonText", "ButtonFace", 3.0, "text"},       {"MenuText", "Menu", 3.0, "text"},
        {"MenuBarText", "Menubar", 3.0, "text"},         {"HilightText", "Hilight", 3.0, "selected text"},
        {"WindowText", "Window", 3.0, "content text"},   {"GrayText", "ButtonFace", 2.0, "disabled text"},
    };
    for (const TPair& pair : pairs) {
        const std::optional<uint32_t> text = colour(pair.Text);
        // The menu bar takes the face's colour when it has none of its own.
        std::optional<uint32_t> ground = colour(pair.Ground);
        if (!ground && std::string_view(pair.Ground) == "Menubar")
            ground = colour("ButtonFace");
        if (!text || !ground)
            continue;
        const double ratio = RgbContrast(*text, *ground);
        if (ratio >= pair.Needed)
            continue;
        char figures[64];
        std::snprintf(figures, sizeof figures, "%.1f:1 against %s, under the %.0f:1 ", ratio, pair.Ground, pair.Needed);
        Warnings.push_back(std::string("Colours/") + pair.Text + ": warning: " + figures + pair.What +
                           " needs to be read; make it or " + pair.Ground + " lighter or darker");
    }
}

} // namespace

std::vector<std::string> SkinWarnings(const TSkinReader& Reader)
{
    std::vector<std::string> warnings;
    if (const std::unique_ptr<TMemIniFile> ini = Description(Reader)) {
        UnknownKeys(*ini, warnings);
        FrameWarnings(Reader, *ini, warnings);
        UnreadableColours(*ini, warnings);
    }
    return warnings;
}

std::vector<std::string> CheckSkin(const TSkinReader& Reader)
{
    std::vector<std::string> problems;

    // The engine takes the first entry whose name contains ".ini" for the description.
    std::vector<int> descriptions;
    int taken = -1;
    for (int i = 0; i < Reader.EntryCount(); ++i) {
        const std::string name = Reader.Names()[i];
        if (taken < 0 && name.find(".ini") != std::string::npos)
            taken = i;
        if (EndsWith(name, ".ini"))
            descriptions.push_back(i);
    }
    if (descriptions.empty())
        problems.push_back("package: no description entry");
    if (descriptions.size() > 1) {
        std::string names;
        for (int i : descriptions)
            names += (names.empty() ? "" : ", ") + Reader.StoredName(i);
        problems.push_back("package: " + std::to_string(descriptions.size()) + " description entries (" + names + ")");
    }
    if (taken >= 0 && (descriptions.empty() || taken != descriptions.front()))
        problems.push_back("package: " + Quoted(Reader.StoredName(taken)) +
                           " comes first with \".ini\" in its name and is read as the description");
    if (descriptions.empty())
        return problems;

    const std::string_view text = Reader.Entry(descriptions.front());
    const TMemIniFile ini{std::string(text)};
    TChecker check(Reader, ini, problems);

    for (const char* key : {"Left", "Right", "Top", "Bottom"})
        check.Image("Personality", key);

    // Caption buttons: every section named BUTTON... but the three the controls use.
    TStringList sections;
    ini.ReadSections(&sections);
    std::set<std::string> seen;
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string upper = UpperCase(sections[i]);
        if (upper.rfind("BUTTON", 0) != 0 || upper == "BUTTONS" || upper == "BUTTON.RADIO" ||
            upper == "BUTTON.CHECKBOX" || !seen.insert(upper).second)
            continue;
        check.Image(sections[i], "ButtonImage");
    }
    check.Image("MDICONTROLS", "Image");

    for (const char* key : {"Bitmap", "CheckButton", "RadioButton"})
        check.Image("Buttons", key);
    check.Image("Personality", "TextBack");
    check.Image("Progress", "Bitmap");
    check.Image("Progress", "Chunk");
    check.Image("Personality", "menuBar");
    check.Image("GroupBoxEdge", "Image");
    check.Image("Toolbars", "Image");
    check.Image("Tabs", "Image");
    check.Image("Tabs", "Border");
    for (const char* section : {"StatusBarEdges", "ComboButton", "SunkEdge", "ExtraImages", "Headerbar", "MenuItem",
                                "MenuBackground", "Scrollbar", "HorzScroll", "VertScroll", "HorzScrollThumb",
                                "VertScrollThumb"})
        check.Image(section, "Image");
    for (const char* section : {"UpDown.Horz", "UpDown.Vert"}) {
        check.Image(section, "Image");
        check.Image(section, "GlyphImage");
    }
    CheckScaleImages(Reader, problems);
    BorderFrames(Reader, ini, problems);
    ForEachColourKey(ini, [&](const std::string& Section, const std::string& Key) {
        const std::string value = ini.ReadString(Section, Key, std::string());
        if (!ParseRgb(value))
            problems.push_back(Section + "/" + Key + ": " + Quoted(value) +
                               " is no colour; write red, green and blue, each from 0 to 255, as \"224 228 235\"");
    });
    return problems;
}
