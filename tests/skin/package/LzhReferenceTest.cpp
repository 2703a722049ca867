// TLZH against a second decoder written plainly from the published LZHUF algorithm, on streams
// made to rebuild the Huffman tree while chosen symbols are decoded. TLZH updates its model its
// own faster way (along the path it walked, the rebuild on a path apart); whatever way it takes,
// it must count exactly what the published update and our encoder count: the symbol that
// triggers a rebuild too, wherever the rebuild leaves its leaf.
#include "skin/package/LZH.h"
#include "tools/skinpack/LzhEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

// The published decoder, step by step and without shortcuts: a 16-bit bit buffer, parent links
// walked on every update, the rebuild and the position tables as the algorithm describes them.
// One object decodes one stream (or follows the model of one stream through Update).
class TPlainLzhuf {
public:
    static constexpr int N = 4096;
    static constexpr int F = 60;
    static constexpr int Threshold = 2;
    static constexpr int NChar = 256 - Threshold + F; // 314 symbols
    static constexpr int T = NChar * 2 - 1;           // 627 nodes
    static constexpr int R = T - 1;                   // the root
    static constexpr unsigned MaxFreq = 0x8000;

    // One rebuild while decoding: the symbol being counted, the node its leaf was at right after
    // the rebuild, and the output offset of the symbol's first byte.
    struct TRebuild {
        int Symbol;
        int Node;
        size_t Offset;
    };

    TPlainLzhuf()
    {
        // The tree: every symbol once, leaves paired left to right.
        for (int i = 0; i < NChar; i++) {
            FFreq[i] = 1;
            FSon[i] = i + T;
            FParent[i + T] = i;
        }
        for (int i = 0, j = NChar; j <= R; i += 2, j++) {
            FFreq[j] = FFreq[i] + FFreq[i + 1];
            FSon[j] = i;
            FParent[i] = FParent[i + 1] = j;
        }
        FFreq[T] = 0xFFFF;
        FParent[R] = 0;

        // The position prefix code, by ranges of its first byte: first index, code of the range,
        // indices per code, bits in all.
        const struct {
            int From, Code, PerCode, Length;
        } ranges[] = {{0x00, 0, 32, 3}, {0x20, 1, 16, 4}, {0x50, 4, 8, 5},
                      {0x90, 12, 4, 6}, {0xC0, 24, 2, 7}, {0xF0, 48, 1, 8}};
        for (int r = 0; r < 6; r++) {
            const int to = r < 5 ? ranges[r + 1].From : 0x100;
            for (int i = ranges[r].From; i < to; i++) {
                FDCode[i] = ranges[r].Code + (i - ranges[r].From) / ranges[r].PerCode;
                FDLen[i] = ranges[r].Length;
            }
        }
    }

    bool RebuildDue() const { return FFreq[R] == MaxFreq; }

    // The symbol of the Slot-th leaf in node order. A rebuild keeps that order and puts slot 0
    // at node 0.
    int LeafSymbol(int Slot) const
    {
        for (int i = 0; i < T; i++)
            if (FSon[i] >= T && Slot-- == 0)
                return FSon[i] - T;
        return -1;
    }

    // The model update for symbol c: rebuild when the root is full, then count c's leaf and every
    // node above it, swapping a node that outgrows its right neighbour past its equals.
    void Update(int c)
    {
        const bool rebuilt = FFreq[R] == MaxFreq;
        if (rebuilt)
            Reconstruct();
        const int symbol = c;
        c = FParent[c + T];
        if (rebuilt)
            Rebuilds.push_back({symbol, c, FOut.size()});
        do {
            const unsigned k = ++FFreq[c];
            int l = c + 1;
            if (k > FFreq[l]) {
                while (k > FFreq[++l]) {
                }
                l--;
                FFreq[c] = FFreq[l];
                FFreq[l] = k;

                const int i = FSon[c];
                FParent[i] = l;
                if (i < T)
                    FParent[i + 1] = l;
                const int j = FSon[l];
                FSon[l] = i;
                FParent[j] = c;
                if (j < T)
                    FParent[j + 1] = c;
                FSon[c] = j;
                c = l;
            }
        } while ((c = FParent[c]) != 0);
    }

    std::string Decode(const std::string& In, size_t Size)
    {
        FIn = &In;
        uint8_t text[N + F - 1] = {};
        for (int i = 0; i < N - F; i++)
            text[i] = ' ';
        int r = N - F;
        while (FOut.size() < Size) {
            const int c = DecodeChar();
            if (c < 256) {
                FOut.push_back(static_cast<char>(c));
                text[r++] = static_cast<uint8_t>(c);
                r &= N - 1;
            } else {
                const int i = (r - DecodePosition() - 1) & (N - 1);
                const int j = c - 255 + Threshold;
                for (int k = 0; k < j; k++) {
                    const uint8_t b = text[(i + k) & (N - 1)];
                    FOut.push_back(static_cast<char>(b));
                    text[r++] = b;
                    r &= N - 1;
                }
            }
        }
        return FOut;
    }

    std::vector<TRebuild> Rebuilds;

private:
    // Halves the leaf counts into the first slots, then pairs them up again, each new node going
    // where its weight keeps the weights in order.
    void Reconstruct()
    {
        int j = 0;
        for (int i = 0; i < T; i++) {
            if (FSon[i] >= T) {
                FFreq[j] = (FFreq[i] + 1) / 2;
                FSon[j] = FSon[i];
                j++;
            }
        }
        for (int i = 0, n = NChar; n < T; i += 2, n++) {
            const unsigned f = FFreq[i] + FFreq[i + 1];
            int k = n - 1;
            while (f < FFreq[k])
                k--;
            k++;
            for (int m = n; m > k; m--) {
                FFreq[m] = FFreq[m - 1];
                FSon[m] = FSon[m - 1];
            }
            FFreq[k] = f;
            FSon[k] = i;
        }
        for (int i = 0; i < T; i++) {
            const int k = FSon[i];
            if (k >= T)
                FParent[k] = i;
            else
                FParent[k] = FParent[k + 1] = i;
        }
    }

    int NextByte() { return FNext < FIn->size() ? static_cast<uint8_t>((*FIn)[FNext++]) : 0; }

    void Fill()
    {
        while (FBitLength <= 8) {
            FBitBuffer = static_cast<uint16_t>(FBitBuffer | NextByte() << (8 - FBitLength));
            FBitLength += 8;
        }
    }

    int GetBit()
    {
        Fill();
        const int bit = FBitBuffer >> 15;
        FBitBuffer = static_cast<uint16_t>(FBitBuffer << 1);
        FBitLength--;
        return bit;
    }

    int GetByte()
    {
        Fill();
        const int byte = FBitBuffer >> 8;
        FBitBuffer = static_cast<uint16_t>(FBitBuffer << 8);
        FBitLength -= 8;
        return byte;
    }

    int DecodeChar()
    {
        int c = FSon[R];
        while (c < T)
            c = FSon[c + GetBit()];
        c -= T;
        Update(c);
        return c;
    }

    int DecodePosition()
    {
        int i = GetByte();
        const int c = FDCode[i] << 6;
        for (int j = FDLen[i] - 2; j > 0; j--)
            i = (i << 1) + GetBit();
        return c | (i & 0x3F);
    }

    unsigned FFreq[T + 1] = {};
    int FParent[T + NChar] = {};
    int FSon[T] = {};
    int FDCode[256] = {};
    int FDLen[256] = {};
    const std::string* FIn = nullptr;
    size_t FNext = 0;
    uint16_t FBitBuffer = 0;
    int FBitLength = 0;
    std::string FOut;
};

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
