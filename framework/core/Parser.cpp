#include "framework/core/Parser.h"

#include "framework/core/Exception.h"
#include "framework/core/StrUtils.h"

namespace {
bool IsAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c)
{
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

TParser::TParser(std::string_view Text) : FText(Text) { Next(); }

void TParser::Error(const std::string& Message) const
{
    throw EParserError(Format("Line %d: %s", FTokenLine, Message.c_str()));
}

bool TParser::IsIdent(std::string_view word) const
{
    return FToken == TToken::toIdent && SameText(FString, word);
}

void TParser::CheckSymbol(char c)
{
    if (!IsSymbol(c))
        Error(Format("'%c' expected", c));
    Next();
}

std::string TParser::CheckIdent()
{
    if (FToken != TToken::toIdent)
        Error("Identifier expected");
    std::string s = FString;
    Next();
    return s;
}

void TParser::Next()
{
    // Blanks, line breaks and // comments.
    for (;;) {
        while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= ' ') {
            if (FText[FPos] == '\n')
                ++FLine;
            ++FPos;
        }
        if (FPos + 1 < FText.size() && FText[FPos] == '/' && FText[FPos + 1] == '/') {
            while (FPos < FText.size() && FText[FPos] != '\n')
                ++FPos;
            continue;
        }
        break;
    }
    FTokenLine = FLine;
    FString.clear();
    FInt = 0;
    if (FPos >= FText.size()) {
        FToken = TToken::toEOF;
        return;
    }
    const char c = FText[FPos];
    if (IsAlpha(c)) {
        const size_t start = FPos;
        while (FPos < FText.size() &&
               (IsAlpha(FText[FPos]) || IsDigit(FText[FPos]) ||
                (FText[FPos] == '.' && FPos + 1 < FText.size() && IsAlpha(FText[FPos + 1]))))
            ++FPos;
        FString.assign(FText.substr(start, FPos - start));
        FToken = TToken::toIdent;
    } else if (c == '\'' || c == '#') {
        ReadString();
    } else if (IsDigit(c) || c == '$' || ((c == '-' || c == '+') && FPos + 1 < FText.size() &&
                                          (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '$'))) {
        ReadNumber();
    } else if (c == '{') {
        ReadBinary();
    } else {
        FToken = TToken::toSymbol;
        FSymbol = c;
        ++FPos;
    }
}

void TParser::ReadString()
{
    FToken = TToken::toString;
    while (FPos < FText.size()) {
        if (FText[FPos] == '\'') {
            ++FPos;
            for (;;) {
                if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r')
                    Error("Unterminated string");
                if (FText[FPos] == '\'') {
                    if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
                        FString += '\'';
                        FPos += 2;
                        continue;
                    }
                    ++FPos;
                    break;
                }
                FString += FText[FPos++];
            }
        } else if (FText[FPos] == '#') {
            ++FPos;
            int value = 0;
            bool any = false;
            if (FPos < FText.size() && FText[FPos] == '$') {
                ++FPos;
                while (FPos < FText.size() && HexValue(FText[FPos]) >= 0) {
                    value = value * 16 + HexValue(FText[FPos++]);
                    any = true;
                    if (value > 255)
                        Error("Character code out of range");
                }
            } else {
                while (FPos < FText.size() && IsDigit(FText[FPos])) {
                    value = value * 10 + (FText[FPos++] - '0');
                    any = true;
                    if (value > 255)
                        Error("Character code out of range");
                }
            }
            if (!any)
                Error("Character code expected");
            FString += static_cast<char>(value);
        } else {
            break;
        }
    }
}

void TParser::ReadNumber()
{
    const size_t start = FPos;
    bool negative = false;
    if (FText[FPos] == '-' || FText[FPos] == '+') {
        negative = FText[FPos] == '-';
        ++FPos;
    }
    uint64_t acc = 0;
    bool overflow = false;
    if (FPos < FText.size() && FText[FPos] == '$') {
        ++FPos;
        if (FPos >= FText.size() || HexValue(FText[FPos]) < 0)
            Error("Invalid number");
        while (FPos < FText.size() && HexValue(FText[FPos]) >= 0) {
            acc = acc * 16 + static_cast<uint64_t>(HexValue(FText[FPos++]));
            overflow = overflow || acc > 0xFFFFFFFFull;
        }
        FToken = TToken::toInteger;
    } else {
        while (FPos < FText.size() && IsDigit(FText[FPos])) {
            acc = acc * 10 + static_cast<uint64_t>(FText[FPos++] - '0');
            overflow = overflow || acc > 0xFFFFFFFFull;
        }
        FToken = TToken::toInteger;
        if (FPos < FText.size() && (FText[FPos] == '.' || FText[FPos] == 'e' || FText[FPos] == 'E')) {
            FToken = TToken::toFloat;
            ++FPos;
            while (FPos < FText.size() && (IsDigit(FText[FPos]) || FText[FPos] == '-' || FText[FPos] == '+' ||
                                           FText[FPos] == 'e' || FText[FPos] == 'E'))
                ++FPos;
        }
    }
    if (FPos < FText.size() && IsAlpha(FText[FPos]))
        Error("Invalid number");
    FString.assign(FText.substr(start, FPos - start));
    if (FToken == TToken::toInteger) {
        if (overflow)
            Error("Number out of range: " + FString);
        FInt = negative ? -static_cast<int64_t>(acc) : static_cast<int64_t>(acc);
    }
}

void TParser::ReadBinary()
{
    FToken = TToken::toBinary;
    ++FPos; // '{'
    int high = -1;
    for (;;) {
        if (FPos >= FText.size())
            Error("Unterminated binary data");
        const char c = FText[FPos++];
        if (c == '}')
            break;
        if (c == '\n') {
            ++FLine;
            continue;
        }
        if (static_cast<unsigned char>(c) <= ' ')
            continue;
        const int v = HexValue(c);
        if (v < 0)
            Error("Invalid binary data");
        if (high < 0) {
            high = v;
        } else {
            FString += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    if (high >= 0)
        Error("Odd number of hex digits in binary data");
}

std::string QuoteDescriptionString(std::string_view Value)
{
    std::string out;
    bool inQuote = false;
    for (char ch : Value) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= ' ' && c < 0x7F) {
            if (!inQuote) {
                out += '\'';
                inQuote = true;
            }
            if (ch == '\'')
                out += '\'';
            out += ch;
        } else {
            if (inQuote) {
                out += '\'';
                inQuote = false;
            }
            out += '#' + std::to_string(c);
        }
    }
    if (inQuote)
        out += '\'';
    if (out.empty())
        out = "''";
    return out;
}
