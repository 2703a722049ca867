// TLZH against a second decoder written plainly from the published LZHUF algorithm, on streams
// made to rebuild the Huffman tree while chosen symbols are decoded. TLZH updates its model its
// own faster way (along the path it walked, the rebuild on a path apart); whatever way it takes,
// it must count exactly what the published update and our encoder count: the symbol that
// triggers a rebuild too, wherever the rebuild leaves its leaf.
#include "skin/package/LZH.h"
#include "tests/support/PlainLzhuf.h"
#include "tools/skinpack/LzhEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

// A stream written symbol by symbol with the encoder's symbol writer. Alongside: what it must
// decode to (LZ77 over a history that starts with the decoder's spaces), and its model followed
// in a plain tree, which tells which symbol the next rebuild puts where.
class TRebuildStream {
public:
    void Symbol(int s)
    {
        FModel.Update(s);
        if (s < 256) {
            FWriter.Literal(static_cast<uint8_t>(s));
            FHistory.push_back(static_cast<char>(s));
            return;
        }
        const int length = s - 256 + TLzhSymbolWriter::MinMatch;
        const int position = static_cast<int>(FRandom() % std::min<size_t>(4096, FHistory.size()));
        FWriter.Match(length, position);
        for (int k = 0; k < length; ++k)
            FHistory.push_back(FHistory[FHistory.size() - static_cast<size_t>(position) - 1]);
    }
    void Literals(const std::string& Text)
    {
        for (char c : Text)
            Symbol(static_cast<uint8_t>(c));
    }
    // Repeats Filler up to the symbol that rebuilds the tree.
    void FillToRebuild(uint8_t Filler)
    {
        while (!FModel.RebuildDue())
            Symbol(Filler);
    }
    // Writes, as the symbol that rebuilds the tree, the one in leaf slot Slot; returns it.
    int RebuildWith(int Slot)
    {
        const int s = FModel.LeafSymbol(Slot);
        Symbol(s);
        return s;
    }

    std::string Finish() { return FWriter.Finish(); }
    std::string Expected() const { return FHistory.substr(TPlainLzhuf::N - TPlainLzhuf::F); }

private:
    TLzhSymbolWriter FWriter;
    TPlainLzhuf FModel;
    std::string FHistory = std::string(TPlainLzhuf::N - TPlainLzhuf::F, ' ');
    std::mt19937 FRandom{21};
};

std::string DecodeWithTLZH(const std::string& Encoded, size_t Size)
{
    TMemoryStream in, out;
    in.WriteBuffer(Encoded.data(), static_cast<int32_t>(Encoded.size()));
    in.SetPosition(0);
    TLZH lzh;
    lzh.UnpackStreams(static_cast<int32_t>(Size), in, out);
    return std::string(static_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size()));
}

// Where two outputs first differ, for a readable failure.
size_t FirstDifference(const std::string& a, const std::string& b)
{
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return i;
}

void ExpectBothDecode(const std::string& Encoded, const std::string& Expected, TPlainLzhuf& Plain)
{
    const std::string plain = Plain.Decode(Encoded, Expected.size());
    ASSERT_TRUE(plain == Expected) << "the plain decoder differs from byte " << FirstDifference(plain, Expected);
    const std::string ours = DecodeWithTLZH(Encoded, Expected.size());
    EXPECT_TRUE(ours == Expected) << "TLZH differs from byte " << FirstDifference(ours, Expected) << " of "
                                  << Expected.size();
}

const char* const kText = "[TitlebarSkin]\r\nSkinName=Reference\r\nTopHeight=30\r\nBorderWidth=4\r\n"
                          "CaptionColour=255,255,255\r\nbuttons: close, maximize, minimize, help\r\n";

} // namespace

// A run of one byte fills the root weight; the next symbol rebuilds the tree. The leaf a rebuild
// leaves at node 0 is the first in node order: here byte 0, never seen, written as that symbol.
TEST(LzhReferenceTest, CountsTheSymbolThatRebuildsTheTreeAtNodeZero)
{
    TRebuildStream s;
    s.FillToRebuild('A');
    EXPECT_EQ(s.RebuildWith(0), 0);
    s.Literals(kText);

    TPlainLzhuf plain;
    ExpectBothDecode(s.Finish(), s.Expected(), plain);
    ASSERT_EQ(plain.Rebuilds.size(), 1u);
    EXPECT_EQ(plain.Rebuilds[0].Symbol, 0);
    EXPECT_EQ(plain.Rebuilds[0].Node, 0);
}

// Rebuild after rebuild (a run of the filler refills the root each time), each while decoding the
// leaf of another slot: the first and last slots, ones in between, literals and match lengths
// (whose position code follows the rebuild), and node 0 again with whatever leaf it holds then.
TEST(LzhReferenceTest, CountsTheSymbolThatRebuildsTheTreeInAnySlot)
{
    const int slots[] = {0, 313, 1, 0, 2, 3, 156, 0, 255, 256, 312, 0, 60, 100, 200, 0};
    TRebuildStream s;
    std::vector<int> symbols;
    for (int slot : slots) {
        s.FillToRebuild('A');
        symbols.push_back(s.RebuildWith(slot));
        s.Literals(kText);
    }

    TPlainLzhuf plain;
    ExpectBothDecode(s.Finish(), s.Expected(), plain);
    ASSERT_EQ(plain.Rebuilds.size(), std::size(slots));
    bool literalAtZero = false, lengthAtZero = false;
    for (size_t i = 0; i < std::size(slots); ++i) {
        EXPECT_EQ(plain.Rebuilds[i].Symbol, symbols[i]);
        if (slots[i] == 0) {
            EXPECT_EQ(plain.Rebuilds[i].Node, 0);
            (symbols[i] < 256 ? literalAtZero : lengthAtZero) = true;
        }
    }
    EXPECT_TRUE(literalAtZero && lengthAtZero);
}

// The same through the encoder proper: bytes that are never 0 go out as literals until the root
// is full; the byte 0 then sits at node 0 and is the one that rebuilds the tree.
TEST(LzhReferenceTest, RoundTripsAnEncodedRebuildAtNodeZero)
{
    std::mt19937 rng(22);
    std::string data(34000, '\0');
    for (char& c : data)
        c = static_cast<char>(1 + rng() % 255);

    TPlainLzhuf probe;
    probe.Decode(LzhEncode(data), data.size());
    ASSERT_FALSE(probe.Rebuilds.empty());
    const size_t at = probe.Rebuilds[0].Offset;
    data = data.substr(0, at) + '\0' + kText + data.substr(at, 2000);

    const std::string encoded = LzhEncode(data);
    TPlainLzhuf plain;
    ExpectBothDecode(encoded, data, plain);
    ASSERT_FALSE(plain.Rebuilds.empty());
    EXPECT_EQ(plain.Rebuilds[0].Offset, at);
    EXPECT_EQ(plain.Rebuilds[0].Symbol, 0);
    EXPECT_EQ(plain.Rebuilds[0].Node, 0);
}
