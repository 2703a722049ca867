#include "tools/skinpack/SkinCheck.h"

#include "framework/core/MemIniFile.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Strings.h"
#include "framework/graphics/BitmapCodec.h"
#include "skin/package/ScaleImages.h"
#include "skin/package/SkinRead.h"
#include "tools/skinpack/BitmapCheck.h"

#include <cstdint>
#include <set>
#include <string_view>

namespace {

std::string_view EntryBytes(const TSkinReader& Reader, int Index)
{
    const auto* base = static_cast<const char*>(Reader.EntryData().Memory());
    if (base == nullptr || Reader.EntrySize(Index) <= 0)
        return {};
    return std::string_view(base + Reader.EntryOffset(Index), static_cast<size_t>(Reader.EntrySize(Index)));
}

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
        const std::string_view data = EntryBytes(FReader, index);
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
    const std::string_view data = EntryBytes(Reader, Index);
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

} // namespace

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

    const std::string_view text = EntryBytes(Reader, descriptions.front());
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
    return problems;
}
