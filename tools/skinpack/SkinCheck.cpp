#include "tools/skinpack/SkinCheck.h"

#include "framework/core/MemIniFile.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Strings.h"
#include "skin/package/SkinRead.h"
#include "tools/skinpack/BitmapCheck.h"

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
    return problems;
}
