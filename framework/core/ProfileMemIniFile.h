// INI bytes held in memory, read exactly as the platform's profile functions (TIniFile) read a
// file of those bytes, text encodings and the ANSI code page included (measured under Wine;
// tests/framework/win/MemIniFileTest.cpp compares the two on many generated texts). The
// text is gone through once, when the object is made; every read after that is a lookup in
// memory, where TIniFile goes to the platform, and to the file, for each one.
//
// The profile functions decode a file to UTF-16 before they read it: as UTF-8 after a UTF-8
// byte-order mark, as UTF-16 after FF FE (little-endian) or FE FF (big-endian), in the ANSI code
// page otherwise. They match names in UTF-16, the ASCII letters without regard to case, and hand
// strings back in the ANSI code page, with '?' or a look-alike for a character it lacks. Here the
// decoded text is kept in UTF-8 form (a lone surrogate written like any other code unit) and read
// by TMemIniFile, whose rules are the profile functions' (see MemIniFile.h): every character they
// act on is ASCII, and no UTF-8 sequence of another character holds an ASCII byte. Names asked
// for go the same way in, answers the same way out; ASCII text needs no converting either way.
#pragma once

#include "framework/core/CustomIniFile.h"
#include "framework/core/MemIniFile.h"

#include <string>
#include <string_view>

class TStrings;

class TProfileMemIniFile : public TCustomIniFile {
public:
    // Bytes: the content of an INI file.
    explicit TProfileMemIniFile(std::string_view Bytes);
    ~TProfileMemIniFile() override;

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const override;
    void ReadSections(TStrings* Strings) const override;
    void ReadSection(const std::string& Section, TStrings* Strings) const override;

private:
    TMemIniFile FText;
};
