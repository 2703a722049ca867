// What every INI file offers. Readers supply strings, the section list and a section's keys; the
// integer, Boolean and existence reads are built on those once, here.
#pragma once

#include "framework/core/Object.h"

#include <cstdint>
#include <string>

class TStrings;

class TCustomIniFile : public TObject {
public:
    virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                   const std::string& Default) const = 0;
    // Section names in file order (a name that appears twice is listed twice, as the platform does).
    virtual void ReadSections(TStrings* Strings) const = 0;
    // The key names of a section.
    virtual void ReadSection(const std::string& Section, TStrings* Strings) const = 0;

    // Decimal, or hexadecimal after "$", "0x" or "0X"; a missing key or any other text gives Default.
    int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) const;
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    // The "key=value" lines of the keys ReadSection lists.
    void ReadSectionValues(const std::string& Section, TStrings* Strings) const;
    bool SectionExists(const std::string& Section) const;
    bool ValueExists(const std::string& Section, const std::string& Ident) const;
};
