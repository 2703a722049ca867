// LZHUF encoding, the inverse of TLZH: TLZH decoding LzhEncode(x) with TextSize x.size() gives
// exactly x.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The compressed stream of Data (no length prefix; the last partial byte padded with zero bits).
// Empty data gives an empty stream.
std::string LzhEncode(std::string_view Data);

// The coding layer under LzhEncode: writes literals and matches with the adaptive Huffman tree
// and the position code, without looking for matches. Lets tests write streams symbol by symbol.
class TLzhSymbolWriter {
public:
    static constexpr int MinMatch = 3;
    static constexpr int MaxMatch = 60;
    static constexpr int MaxPosition = 4095;

    TLzhSymbolWriter();

    void Literal(uint8_t Byte);
    // Length MinMatch..MaxMatch; Position is the distance back from the write position minus 1
    // (0 repeats the last byte). Out-of-range values raise std::invalid_argument.
    void Match(int Length, int Position);
    // The stream so far, the final partial byte padded with zero bits. Ends the writer's use.
    std::string Finish();

private:
    static constexpr int SymbolCount = 314;
    static constexpr int NodeCount = 2 * SymbolCount - 1;
    static constexpr int Root = NodeCount - 1;

    void Symbol(unsigned Symbol);
    void Update(unsigned Symbol);
    void Rebuild();
    void PutBits(uint32_t Value, unsigned Count); // the low Count bits, most significant first

    std::array<uint16_t, NodeCount + 1> FFrequency{};
    std::array<uint16_t, NodeCount + SymbolCount> FParent{};
    std::array<uint16_t, NodeCount> FSon{};
    std::string FOut;
    uint64_t FBits = 0;
    unsigned FBitCount = 0;
};
