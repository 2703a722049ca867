// INI files through the platform's private-profile functions, so that they behave exactly as the
// platform reads them: section and key names match without regard to case, the first occurrence
// of a key wins, values are trimmed, sections are listed in file order.
#pragma once

#include "framework/core/CustomIniFile.h"

#include <cstdint>
#include <string>

class TStrings;

class TIniFile : public TCustomIniFile {
public:
    // FileName is passed to the platform as it is: a name without a path means the Windows
    // folder there, so callers give full paths.
    explicit TIniFile(std::string FileName);
    ~TIniFile() override;

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const override;
    void ReadSections(TStrings* Strings) const override;
    void ReadSection(const std::string& Section, TStrings* Strings) const override;

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
