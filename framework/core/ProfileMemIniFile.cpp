#include "framework/core/ProfileMemIniFile.h"

#include "framework/core/Strings.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace {

bool IsAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Whether the ANSI code page takes ASCII as it is, both ways (every code page Windows uses for it
// does; should one not, everything is converted).
bool AsciiKept()
{
    static const bool kept = [] {
        char ascii[128];
        for (int i = 0; i < 128; ++i)
            ascii[i] = static_cast<char>(i);
        wchar_t wide[128];
        if (MultiByteToWideChar(CP_ACP, 0, ascii, 128, wide, 128) != 128)
            return false;
        char back[128];
        if (WideCharToMultiByte(CP_ACP, 0, wide, 128, back, 128, nullptr, nullptr) != 128)
            return false;
        for (int i = 0; i < 128; ++i)
            if (wide[i] != static_cast<wchar_t>(i) || back[i] != ascii[i])
                return false;
        return true;
    }();
    return kept;
}

std::wstring Widen(UINT CodePage, std::string_view s)
{
    if (s.empty())
        return {};
    const int size = static_cast<int>(s.size());
    const int count = MultiByteToWideChar(CodePage, 0, s.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    if (count > 0)
        MultiByteToWideChar(CodePage, 0, s.data(), size, wide.data(), count);
    return wide;
}

std::string Narrow(std::wstring_view w)
{
    if (w.empty())
        return {};
    const int size = static_cast<int>(w.size());
    const int count = WideCharToMultiByte(CP_ACP, 0, w.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(count), '\0');
    if (count > 0)
        WideCharToMultiByte(CP_ACP, 0, w.data(), size, narrow.data(), count, nullptr, nullptr);
    return narrow;
}

// UTF-16 code units in UTF-8 form. A surrogate pair becomes its 4-byte sequence; a surrogate
// without its partner is written as a 3-byte sequence of its own value, so nothing is lost.
std::string Utf8Form(std::wstring_view w)
{
    std::string out;
    out.reserve(w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        uint32_t c = static_cast<uint16_t>(w[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < w.size()) {
            const uint32_t low = static_cast<uint16_t>(w[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The inverse of Utf8Form. Its input only ever comes from there, cut at ASCII bytes, so every
// sequence is whole.
std::wstring FromUtf8Form(std::string_view s)
{
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        uint32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (size_t k = 1; k < length && i + k < s.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += length;
        if (c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

// UTF-16 code units from bytes. An odd last byte makes a unit of its own in either byte order:
// the platform reads it as the low half of a unit whose other half lies past the end of the file
// (whatever its buffer holds next, mostly 0), which is taken as 0 here.
std::wstring Utf16(std::string_view Bytes, bool BigEndian)
{
    std::wstring out((Bytes.size() + 1) / 2, L'\0');
    for (size_t i = 0; i < Bytes.size() / 2; ++i) {
        const auto first = static_cast<unsigned char>(Bytes[2 * i]);
        const auto second = static_cast<unsigned char>(Bytes[2 * i + 1]);
        out[i] = static_cast<wchar_t>(BigEndian ? (first << 8) | second : (second << 8) | first);
    }
    if (Bytes.size() % 2 != 0)
        out.back() = static_cast<wchar_t>(static_cast<unsigned char>(Bytes.back()));
    return out;
}

// The file's text as the profile functions decode it, in UTF-8 form.
std::string DecodedText(std::string_view Bytes)
{
    if (Bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return Utf8Form(Widen(CP_UTF8, Bytes.substr(3)));
    if (Bytes.substr(0, 2) == "\xFF\xFE")
        return Utf8Form(Utf16(Bytes.substr(2), false));
    if (Bytes.substr(0, 2) == "\xFE\xFF")
        return Utf8Form(Utf16(Bytes.substr(2), true));
    if (IsAscii(Bytes) && AsciiKept())
        return std::string(Bytes);
    return Utf8Form(Widen(CP_ACP, Bytes));
}

// A name or default from the caller (ANSI code page) in the form of the text.
std::string Inward(const std::string& s)
{
    return IsAscii(s) && AsciiKept() ? s : Utf8Form(Widen(CP_ACP, s));
}

// An answer back in the ANSI code page.
std::string Outward(const std::string& s)
{
    return IsAscii(s) && AsciiKept() ? s : Narrow(FromUtf8Form(s));
}

void Outward(const TStringList& Lines, TStrings* Strings)
{
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        for (int i = 0; i < Lines.Count(); ++i)
            Strings->Add(Outward(Lines[i]));
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

} // namespace

TProfileMemIniFile::TProfileMemIniFile(std::string_view Bytes) : FText(DecodedText(Bytes), false) {}

TProfileMemIniFile::~TProfileMemIniFile() = default;

std::string TProfileMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                           const std::string& Default) const
{
    return Outward(FText.ReadString(Inward(Section), Inward(Ident), Inward(Default)));
}

void TProfileMemIniFile::ReadSections(TStrings* Strings) const
{
    TStringList names;
    FText.ReadSections(&names);
    Outward(names, Strings);
}

void TProfileMemIniFile::ReadSection(const std::string& Section, TStrings* Strings) const
{
    TStringList names;
    FText.ReadSection(Inward(Section), &names);
    Outward(names, Strings);
}
