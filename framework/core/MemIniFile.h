// INI text held in memory, read the way the platform's private-profile functions read a file
// (measured under Wine; tests/framework/win/MemIniFileTest.cpp compares the two):
//
// - lines end at CR or LF; each line is trimmed of blanks, tabs, VT, FF and Ctrl-Z; blank lines
//   are skipped; a UTF-8 byte-order mark at the start is skipped (the rest is taken as bytes);
// - "[Name]" opens a section: the text between '[' and the last ']' of the line, trimmed; text
//   after the ']' is ignored; a '[' without any ']' is an ordinary line;
// - "Key=Value": the key is the text before the first '=', the value the text after it, both
//   trimmed; a value quoted with '"' or '\'' at both ends loses the quotes when read;
// - a line without '=' is a key without a value: it reads as the default and is not listed, but
//   it still hides a later line with the same key;
// - a line starting with ';' is a comment: never listed, although "Key" lookups still see it;
// - lines before the first section belong to an unnamed section "", and so does "[]";
// - names are compared without regard to ASCII case; a name occurring twice: its first occurrence
//   counts, for sections too (the keys of a second copy of a section are never found);
// - a NUL byte ends a name or value.
#pragma once

#include "framework/core/CustomIniFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStrings;

class TMemIniFile : public TCustomIniFile {
public:
    // Text: the bytes of an INI file. With SkipByteOrderMark false a UTF-8 byte-order mark at its
    // start is an ordinary character, for text that has been decoded already.
    explicit TMemIniFile(std::string Text, bool SkipByteOrderMark = true);
    ~TMemIniFile() override;

    // Reads the whole file; raises EFOpenError when it cannot be read.
    static std::unique_ptr<TMemIniFile> FromFile(const std::string& FileName);

    // Section and Ident are trimmed before the lookup. The value of a missing key is Default with
    // its trailing blanks removed (all but the first character) and its quotes stripped, as the
    // platform returns it.
    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const override;
    // Section names in file order; a name that appears twice is listed twice, unnamed sections
    // are left out.
    void ReadSections(TStrings* Strings) const override;
    // The keys with values of the first section of that name (not trimmed here), in file order,
    // a repeated key listed twice. When the first of them has an empty name the platform gives no
    // list at all, and neither do we; other empty names are left out.
    void ReadSection(const std::string& Section, TStrings* Strings) const override;

private:
    struct TKey {
        std::string Name;
        std::string Value;
        bool HasValue = false;
    };
    struct TSection {
        std::string Name;
        std::vector<TKey> Keys;
    };

    void Parse(const std::string& Text, bool SkipByteOrderMark);
    std::vector<std::string> ListedKeys(const std::string& Section) const;

    std::vector<TSection> FSections; // [0]: the unnamed section before the first header
};
