// String helpers with the framework's semantics: ASCII case folding, trimming of blanks and control
// characters, integer text with "$" hexadecimal, identifiers and file-name parts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b); // <0, 0, >0, ignoring ASCII case
int CompareStr(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool ContainsText(std::string_view text, std::string_view sub); // ignoring ASCII case
bool StartsText(std::string_view prefix, std::string_view text);

// Trimming removes characters <= ' ' (blanks and control characters).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Integer text: optional blanks before, optional sign, decimal digits or "$"/"0x"/"0X" and hex
// digits, nothing after. Hexadecimal may use all 32 bits ("$FFFFFFFF" is -1); decimal must fit.
bool TryStrToInt(std::string_view s, int32_t& value);
int32_t StrToIntDef(std::string_view s, int32_t def);
int32_t StrToInt(std::string_view s); // raises EConvertError "'s' is not a valid integer value"
std::string IntToStr(int64_t value);
std::string IntToHex(uint64_t value, int digits);

// A letter or underscore, then letters, digits or underscores.
bool IsValidIdent(std::string_view s);

// The parts of a path: after the last '\' or ':' (the platform's delimiters), and the extension
// from the last '.' of that part ("" when none).
std::string ExtractFileName(std::string_view path);
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileExt(std::string_view path);
