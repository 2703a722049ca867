// Generated INI files for comparing in-memory readers with the platform's profile functions: skin
// descriptions with every kind of line the format has and many it should not have (sections
// twice and in other case, keys twice, lines without '=', empty keys and values, comments, blanks,
// unclosed and empty brackets, text after ']', blanks and tabs around everything, quotes, '='
// inside values, numbers good and bad, non-ASCII names and values, values longer than the
// profile functions' first buffers, CR, LF, CR LF and LF CR line ends, a missing last line end),
// written in the ANSI code page, as UTF-8 or as UTF-16 of either byte order (with byte-order
// marks, the odd byte, lone surrogates and invalid UTF-8 thrown in). Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

enum class TIniEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct TGeneratedIni {
    std::string Bytes; // the file
    std::string Ansi;  // its text in the ANSI code page: the names a caller would ask for
};

class TIniTextGenerator {
public:
    explicit TIniTextGenerator(uint32_t Seed) : FRandom(Seed) {}

    // A new text in Encoding, now and then with bytes no decoder takes.
    TGeneratedIni Next(TIniEncoding Encoding)
    {
        TGeneratedIni ini = Encode(Text(), Encoding);
        if (Encoding == TIniEncoding::Utf8) {
            for (int i = Below(3); i > 0; --i)
                ini.Bytes.insert(3 + static_cast<size_t>(Below(static_cast<int>(ini.Bytes.size()) - 2)), 1,
                                 "\xFF\xC3\x80\xE2"[Below(4)]);
        } else if (Encoding != TIniEncoding::Ansi && Chance(10) &&
                   (ini.Bytes.size() == 2 ||
                    ini.Bytes.substr(ini.Bytes.size() - 2) ==
                        std::string(Encoding == TIniEncoding::Utf16LE ? "\n\0" : "\0\n", 2))) {
            // An odd byte at the end, on a line of its own: the platform's unit for it has a
            // second byte from past the end of the file.
            ini.Bytes += 'x';
        }
        return ini;
    }

    // Text as a file in Encoding, with its byte-order mark.
    static TGeneratedIni Encode(const std::wstring& Text, TIniEncoding Encoding)
    {
        TGeneratedIni ini;
        ini.Ansi = ToAnsi(Text);
        switch (Encoding) {
        case TIniEncoding::Ansi:
            ini.Bytes = ini.Ansi;
            break;
        case TIniEncoding::Utf8:
            ini.Bytes = "\xEF\xBB\xBF" + Utf8(Text);
            break;
        case TIniEncoding::Utf16LE:
        case TIniEncoding::Utf16BE: {
            const bool big = Encoding == TIniEncoding::Utf16BE;
            ini.Bytes = big ? "\xFE\xFF" : "\xFF\xFE";
            for (wchar_t c : Text) {
                const auto unit = static_cast<uint16_t>(c);
                const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
                ini.Bytes += big ? high : low;
                ini.Bytes += big ? low : high;
            }
            break;
        }
        }
        return ini;
    }

    // The ANSI code page's bytes of Text ('?' for what it lacks).
    static std::string ToAnsi(const std::wstring& Text)
    {
        if (Text.empty())
            return {};
        const int n = WideCharToMultiByte(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0, nullptr,
                                          nullptr);
        std::string out(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), out.data(), n, nullptr, nullptr);
        return out;
    }

private:
    int Below(int N) { return N <= 1 ? 0 : static_cast<int>(FRandom() % static_cast<uint32_t>(N)); }
    bool Chance(int Percent) { return Below(100) < Percent; }
    template <class T> const T& Pick(const std::vector<T>& From)
    {
        return From[static_cast<size_t>(Below(static_cast<int>(From.size())))];
    }

    // UTF-8, a lone surrogate written as the 3-byte sequence of its value (which no decoder takes).
    static std::string Utf8(const std::wstring& Text)
    {
        std::string out;
        for (size_t i = 0; i < Text.size(); ++i) {
            uint32_t c = static_cast<uint16_t>(Text[i]);
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 && Text[i + 1] < 0xE000)
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(Text[++i]) - 0xDC00);
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

    // Blanks the profile functions trim and characters that look like blanks but are not.
    std::wstring Blank()
    {
        static const std::vector<std::wstring> blanks = {L" ", L"  ", L"\t", L" \t ", L"\x1a", L"\v", L"\f",
                                                         L"\x00A0", L"\x2003", L"\x3000", L"\x0085", L"\xFEFF"};
        return Chance(70) ? std::wstring() : Pick(blanks);
    }

    std::wstring Cased(std::wstring Name)
    {
        const int how = Below(6);
        for (wchar_t& c : Name) {
            if (how == 0 && c >= L'a' && c <= L'z')
                c = static_cast<wchar_t>(c - 32);
            else if (how == 1 && c >= L'A' && c <= L'Z')
                c = static_cast<wchar_t>(c + 32);
        }
        return Name;
    }

    std::wstring SectionName()
    {
        static const std::vector<std::wstring> names = {
            L"TitlebarSkin", L"Personality", L"Colours", L"Colour1", L"Colour2", L"Buttons", L"Button1", L"Button2",
            L"Button3", L"Button.Radio", L"BUTTON.CHECKBOX", L"Progress", L"MDICONTROLS", L"Fonts", L"Tabs",
            L"Scrollbar", L"HorzScrollThumb", L"UpDown.Horz", L"MenuItem", L"F\x00E4rben", L"\x00C4rger",
            L"\x041A\x043D\x043E\x043F\x043A\x0430", L"\x6309\x94AE", L"Sect;ion", L"a=b", L"Space d", L"x\x0081y"};
        return Cased(Pick(names));
    }

    std::wstring KeyName()
    {
        static const std::vector<std::wstring> names = {
            L"SkinName", L"Left", L"LeftTopHeight", L"LeftFrame", L"Top", L"TextShift", L"ActiveTextR", L"menuBar",
            L"Image", L"Bitmap", L"Action", L"Align", L"Xcoord", L"Ycoord", L"Visibility", L"frame", L"ButtonImage",
            L"color", L"ButtonFace", L"Hilight", L"NormalColour", L"NormalColour2", L"Tile", L"Trans", L"LeftWidth",
            L"FontHeight", L"FrameCount", L"Gr\x00F6\x00DF" L"e", L"GR\x00D6\x00DF" L"E", L"\x041A\x043B\x044E\x0447",
            L"\x00E9t\x00E9", L"k\xD800", L"k\xDC00y", L"\xD83D\xDE00", L"Key With Spaces", L"quo\"te", L"x"};
        return Cased(Pick(names));
    }

    std::wstring Value()
    {
        static const std::vector<std::wstring> values = {
            L"12", L"-5", L"0", L"$1F", L"0x1f", L"0X10", L"-$10", L"12abc", L"99999999999", L"$FFFFFFFF", L"+3",
            L"1.5", L"0x", L"\"42\"", L"'0x10'", L"210 232 249", L"1,2,3", L"R10 G20 B30", L"left.bmp",
            L"skins\\top.bmp", L"C:x.bmp", L"TOP.BMP", L"a=b=c", L"\"quoted\"", L"'single'", L"\"", L"\"\"",
            L"\"a'", L"' b '", L"a\tb", L"Blue Luna", L"Gr\x00FCn", L"\x0421\x0438\x043D\x0438\x0439",
            L"\x6ED1\x9F20", L"\x2003pad\x2003", L"\x00A0nb\x00A0", L"\x3000ideo\x3000", L"\x0085nel",
            L"half\xD800", L"\xDC00tail", L"\xD83D\xDE00smile", L"semi;colon", L"[bracket]", L"x\x0081\x008D\x009D"};
        if (Chance(4)) {
            static const std::vector<int> lengths = {2046, 2047, 2048, 2049, 4095, 4096, 4097, 9000, 40000};
            std::wstring longValue;
            const int length = Pick(lengths);
            for (int i = 0; i < length; ++i)
                longValue += static_cast<wchar_t>(L'a' + i % 26);
            if (Chance(30))
                longValue[static_cast<size_t>(length / 2)] = L'\x00E4';
            return longValue;
        }
        return Pick(values);
    }

    std::wstring LineEnd()
    {
        static const std::vector<std::wstring> ends = {L"\r\n", L"\r\n", L"\r\n", L"\n", L"\r", L"\n\r", L"\r\n\r\n"};
        return Pick(ends);
    }

    std::wstring Line()
    {
        switch (Below(20)) {
        case 0:
            return Blank() + KeyName() + Blank(); // no '='
        case 1:
            return KeyName() + Blank() + L"=" + Blank(); // no value
        case 2:
            return Blank() + L"=" + Blank() + Value();
        case 3:
            return Blank() + L";" + KeyName() + L"=" + Value(); // a comment
        case 4:
            return Blank(); // a blank line
        case 5: {
            // Noise: pieces that matter to the reader, in any order.
            static const std::vector<std::wstring> pieces = {L"[", L"]", L"=", L" ", L"\t", L";", L"\"", L"'",
                                                             L"\x1a", L"k", L"S", L"1", L"\x00C4", L"\x00E4",
                                                             std::wstring(1, L'\0'), L"\xD800", L"\xFEFF"};
            std::wstring noise;
            for (int i = 1 + Below(8); i > 0; --i)
                noise += Pick(pieces);
            return noise;
        }
        default:
            return Blank() + KeyName() + Blank() + L"=" + Blank() + Value() + Blank();
        }
    }

    std::wstring Header(const std::wstring& Name)
    {
        switch (Below(14)) {
        case 0:
            return L"[" + Name; // unclosed: an ordinary line
        case 1:
            return L"[]";
        case 2:
            return L"[" + Name + L"] trailing";
        case 3:
            return L"[" + Blank() + Name + Blank() + L"]";
        case 4:
            return Blank() + L"[" + Name + L"]" + Blank();
        default:
            return L"[" + Name + L"]";
        }
    }

    std::wstring Text()
    {
        std::wstring text;
        std::vector<std::wstring> used;
        if (Chance(20))
            text += Line() + LineEnd(); // before any section
        for (int s = Below(14); s >= 0; --s) {
            // A section again now and then, often in other case.
            std::wstring name = !used.empty() && Chance(15) ? Cased(Pick(used)) : SectionName();
            used.push_back(name);
            text += Header(name) + LineEnd();
            std::vector<std::wstring> keys;
            for (int k = Below(10); k > 0; --k) {
                std::wstring line = Line();
                // A key again now and then, with another value.
                if (!keys.empty() && Chance(10))
                    line = Cased(Pick(keys)) + L"=" + Value();
                keys.push_back(line.substr(0, line.find(L'=')));
                text += line + LineEnd();
            }
        }
        if (Chance(30) && !text.empty())
            text.erase(text.find_last_not_of(L"\r\n") + 1); // no line end after the last line
        return text;
    }

    std::mt19937 FRandom;
};
