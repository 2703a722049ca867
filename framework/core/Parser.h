// The tokenizer of form descriptions: identifiers (dotted paths included), integers, numbers
// with a fraction, strings ('It''s', #13#10, joined when adjacent), symbols and {hex} binary blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class TToken { toEOF, toSymbol, toIdent, toString, toInteger, toFloat, toBinary };

class TParser {
public:
    explicit TParser(std::string_view Text);

    TToken Token() const { return FToken; }
    int Line() const { return FTokenLine; }
    // Identifier text, decoded string, the bytes of a binary block, or the number's text.
    const std::string& TokenString() const { return FString; }
    int64_t TokenInt() const { return FInt; }
    char Symbol() const { return FToken == TToken::toSymbol ? FSymbol : '\0'; }

    void Next();
    bool IsSymbol(char c) const { return FToken == TToken::toSymbol && FSymbol == c; }
    bool IsIdent(std::string_view word) const; // without regard to case
    void CheckSymbol(char c);                  // and moves on
    std::string CheckIdent();                  // returns it and moves on
    [[noreturn]] void Error(const std::string& Message) const; // EParserError "Line N: ..."

private:
    void ReadString();
    void ReadNumber();
    void ReadBinary();

    std::string_view FText;
    size_t FPos = 0;
    int FLine = 1;
    int FTokenLine = 1;
    TToken FToken = TToken::toEOF;
    std::string FString;
    int64_t FInt = 0;
    char FSymbol = '\0';
};

// The text a description writer gives a string: quoted runs and #n codes.
std::string QuoteDescriptionString(std::string_view Value);
