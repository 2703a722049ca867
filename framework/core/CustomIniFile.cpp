#include "framework/core/CustomIniFile.h"

#include "framework/core/StrUtils.h"
#include "framework/core/Strings.h"

int32_t TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) const
{
    // StrToIntDef reads "0x"/"0X" as "$".
    return StrToIntDef(ReadString(Section, Ident, std::string()), Default);
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) const
{
    TStringList keys;
    ReadSection(Section, &keys);
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        for (int i = 0; i < keys.Count(); ++i)
            Strings->Add(keys[i] + "=" + ReadString(Section, keys[i], std::string()));
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

bool TCustomIniFile::SectionExists(const std::string& Section) const
{
    TStringList sections;
    ReadSections(&sections);
    return sections.IndexOf(Section) >= 0;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) const
{
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.IndexOf(Ident) >= 0;
}
