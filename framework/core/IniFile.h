// INI files through the platform's private-profile functions, so that they behave exactly as the
// platform reads them: section and key names match without regard to case, the first occurrence
// of a key wins, values are trimmed, sections are listed in file order.
#pragma once

#include "framework/core/Object.h"

#include <cstdint>
#include <string>

class TStrings;

class TIniFile : public TObject {
public:
    // FileName is passed to the platform as it is: a name without a path means the Windows
    // folder there, so callers give full paths.
    explicit TIniFile(std::string FileName);
    ~TIniFile() override;

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
    // Decimal, or hexadecimal after "$", "0x" or "0X"; a missing key or any other text gives Default.
    int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) const;
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    // Section names in file order (a name that appears twice is listed twice, as the platform does).
    void ReadSections(TStrings* Strings) const;
    // The key names of a section, and its "key=value" lines.
    void ReadSection(const std::string& Section, TStrings* Strings) const;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) const;
    bool SectionExists(const std::string& Section) const;
    bool ValueExists(const std::string& Section, const std::string& Ident) const;

    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value);
    void DeleteKey(const std::string& Section, const std::string& Ident);
    void EraseSection(const std::string& Section);
    // Writes out and drops the platform's cached copy of the file, so that the next read sees the
    // file as it is on disk (the platform caches the last profile file it read).
    void UpdateFile();

private:
    std::string FFileName;
};
