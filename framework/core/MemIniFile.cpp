#include "framework/core/MemIniFile.h"

#include "framework/core/Stream.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Strings.h"

#include <string_view>

namespace {

// The characters the profile functions trim: Ctrl-Z counts as a blank, CR and LF only matter in
// names given by the caller (lines never hold them).
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string_view TrimBlanks(std::string_view s)
{
    size_t begin = 0, end = s.size();
    while (begin < end && IsBlank(s[begin]))
        ++begin;
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

// What is left of a name or value once it goes through a C string.
std::string UpToNul(std::string_view s)
{
    const size_t nul = s.find('\0');
    return std::string(nul == std::string_view::npos ? s : s.substr(0, nul));
}

std::string StripQuotes(std::string s)
{
    if (s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0])
        return s.substr(1, s.size() - 2);
    return s;
}

void FillList(TStrings* Strings, const std::vector<std::string>& Lines)
{
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        for (const std::string& line : Lines)
            Strings->Add(line);
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

} // namespace

TMemIniFile::TMemIniFile(std::string Text, bool SkipByteOrderMark) { Parse(Text, SkipByteOrderMark); }

TMemIniFile::~TMemIniFile() = default;

std::unique_ptr<TMemIniFile> TMemIniFile::FromFile(const std::string& FileName)
{
    TMemoryStream stream;
    stream.LoadFromFile(FileName);
    std::string text(static_cast<size_t>(stream.Size()), '\0');
    if (!text.empty())
        stream.ReadBuffer(text.data(), static_cast<int32_t>(text.size()));
    return std::make_unique<TMemIniFile>(std::move(text));
}

void TMemIniFile::Parse(const std::string& Text, bool SkipByteOrderMark)
{
    FSections.clear();
    FSections.push_back(TSection{});
    std::string_view rest(Text);
    if (SkipByteOrderMark && rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3);

    while (!rest.empty()) {
        const size_t stop = rest.find_first_of("\r\n");
        const std::string_view raw = rest.substr(0, stop);
        rest.remove_prefix(stop == std::string_view::npos ? rest.size() : stop);
        while (!rest.empty() && (rest[0] == '\r' || rest[0] == '\n'))
            rest.remove_prefix(1);

        const std::string_view line = TrimBlanks(raw);
        if (line.empty())
            continue;
        if (line[0] == '[') {
            const size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                FSections.push_back(TSection{UpToNul(TrimBlanks(line.substr(1, close - 1))), {}});
                continue;
            }
        }
        TKey key;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            key.Name = UpToNul(line);
        } else {
            key.Name = UpToNul(TrimBlanks(line.substr(0, eq)));
            key.Value = UpToNul(TrimBlanks(line.substr(eq + 1)));
            key.HasValue = true;
        }
        FSections.back().Keys.push_back(std::move(key));
    }
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const
{
    const std::string sectionName = UpToNul(TrimBlanks(UpToNul(Section)));
    const std::string keyName = UpToNul(TrimBlanks(UpToNul(Ident)));
    for (const TSection& section : FSections) {
        if (!SameText(section.Name, sectionName))
            continue;
        // Only the first section of that name is searched.
        for (const TKey& key : section.Keys)
            if (SameText(key.Name, keyName)) {
                if (key.HasValue)
                    return StripQuotes(key.Value);
                break;
            }
        break;
    }
    std::string fallback = UpToNul(Default);
    size_t end = fallback.size();
    while (end > 1 && fallback[end - 1] == ' ')
        --end;
    fallback.resize(end);
    return StripQuotes(std::move(fallback));
}

void TMemIniFile::ReadSections(TStrings* Strings) const
{
    std::vector<std::string> names;
    for (size_t i = 1; i < FSections.size(); ++i)
        if (!FSections[i].Name.empty())
            names.push_back(FSections[i].Name);
    FillList(Strings, names);
}

std::vector<std::string> TMemIniFile::ListedKeys(const std::string& Section) const
{
    std::vector<std::string> names;
    const std::string wanted = UpToNul(Section);
    for (const TSection& section : FSections) {
        if (!SameText(section.Name, wanted))
            continue;
        bool first = true;
        for (const TKey& key : section.Keys) {
            if (!key.HasValue || (!key.Name.empty() && key.Name[0] == ';'))
                continue;
            if (key.Name.empty()) {
                // The platform's list then starts with its terminator: it reads as no list.
                if (first)
                    return {};
                continue;
            }
            first = false;
            names.push_back(key.Name);
        }
        break;
    }
    return names;
}

void TMemIniFile::ReadSection(const std::string& Section, TStrings* Strings) const
{
    FillList(Strings, ListedKeys(Section));
}
