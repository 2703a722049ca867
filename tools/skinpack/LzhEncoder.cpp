#include "tools/skinpack/LzhEncoder.h"

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

constexpr int RingSize = 4096; // N
constexpr int RingMask = RingSize - 1;
constexpr int LookAhead = 60; // F
constexpr int Threshold = 2;
constexpr int Nil = RingSize; // no node
constexpr unsigned MaxFrequency = 0x8000;

// The position prefix code for the upper 6 bits of a position: its bits (top-aligned in 8) and
// its length. Code 0 takes 3 bits, 1..3 take 4, 4..11 take 5, 12..23 take 6, 24..47 take 7,
// 48..63 take 8; the codes are assigned in order.
struct TPrefixCode {
    uint8_t Code[64];
    uint8_t Length[64];
};

constexpr TPrefixCode MakePrefixCode()
{
    TPrefixCode t{};
    unsigned next = 0;
    for (unsigned v = 0; v < 64; ++v) {
        const unsigned length = v < 1 ? 3 : v < 4 ? 4 : v < 12 ? 5 : v < 24 ? 6 : v < 48 ? 7 : 8;
        t.Code[v] = static_cast<uint8_t>(next);
        t.Length[v] = static_cast<uint8_t>(length);
        next += 256u >> length;
    }
    return t;
}

constexpr TPrefixCode Prefix = MakePrefixCode();
static_assert(Prefix.Code[1] == 0x20 && Prefix.Code[4] == 0x50 && Prefix.Code[12] == 0x90 &&
              Prefix.Code[24] == 0xC0 && Prefix.Code[48] == 0xF0 && Prefix.Code[63] == 0xFF);

// LZSS match finding with one binary search tree per first byte over the strings starting at the
// ring positions (the classic scheme): inserting a position also finds its longest match.
class TMatchFinder {
public:
    TMatchFinder() : FLeft(RingSize + 1, Nil), FRight(RingSize + 257, Nil), FParent(RingSize + 1, Nil) {}

    uint8_t Text[RingSize + LookAhead - 1] = {};
    int MatchPosition = 0;
    int MatchLength = 0;

    void Insert(int r)
    {
        int cmp = 1;
        const uint8_t* key = &Text[r];
        int p = RingSize + 1 + key[0];
        FRight[r] = FLeft[r] = Nil;
        MatchLength = 0;
        for (;;) {
            if (cmp >= 0) {
                if (FRight[p] != Nil) {
                    p = FRight[p];
                } else {
                    FRight[p] = r;
                    FParent[r] = p;
                    return;
                }
            } else {
                if (FLeft[p] != Nil) {
                    p = FLeft[p];
                } else {
                    FLeft[p] = r;
                    FParent[r] = p;
                    return;
                }
            }
            int i = 1;
            for (; i < LookAhead; ++i)
                if ((cmp = key[i] - Text[p + i]) != 0)
                    break;
            if (i > Threshold) {
                const int position = ((r - p) & RingMask) - 1;
                if (i > MatchLength) {
                    MatchPosition = position;
                    if ((MatchLength = i) >= LookAhead)
                        break;
                } else if (i == MatchLength && position < MatchPosition) {
                    MatchPosition = position;
                }
            }
        }
        // A full-length match: r takes p's place in the tree.
        FParent[r] = FParent[p];
        FLeft[r] = FLeft[p];
        FRight[r] = FRight[p];
        FParent[FLeft[p]] = r;
        FParent[FRight[p]] = r;
        if (FRight[FParent[p]] == p)
            FRight[FParent[p]] = r;
        else
            FLeft[FParent[p]] = r;
        FParent[p] = Nil;
    }

    void Delete(int p)
    {
        if (FParent[p] == Nil)
            return;
        int q;
        if (FRight[p] == Nil) {
            q = FLeft[p];
        } else if (FLeft[p] == Nil) {
            q = FRight[p];
        } else {
            q = FLeft[p];
            if (FRight[q] != Nil) {
                do {
                    q = FRight[q];
                } while (FRight[q] != Nil);
                FRight[FParent[q]] = FLeft[q];
                FParent[FLeft[q]] = FParent[q];
                FLeft[q] = FLeft[p];
                FParent[FLeft[p]] = q;
            }
            FRight[q] = FRight[p];
            FParent[FRight[p]] = q;
        }
        FParent[q] = FParent[p];
        if (FRight[FParent[p]] == p)
            FRight[FParent[p]] = q;
        else
            FLeft[FParent[p]] = q;
        FParent[p] = Nil;
    }

private:
    // Index Nil is a scratch slot that absorbs writes to "no node"; FRight[RingSize + 1 + c] is
    // the root of the tree of strings starting with byte c.
    std::vector<int> FLeft, FRight, FParent;
};

} // namespace

TLzhSymbolWriter::TLzhSymbolWriter()
{
    for (int i = 0; i < SymbolCount; ++i) {
        FFrequency[i] = 1;
        FSon[i] = static_cast<uint16_t>(i + NodeCount);
        FParent[i + NodeCount] = static_cast<uint16_t>(i);
    }
    for (int i = 0, j = SymbolCount; j <= Root; i += 2, ++j) {
        FFrequency[j] = static_cast<uint16_t>(FFrequency[i] + FFrequency[i + 1]);
        FSon[j] = static_cast<uint16_t>(i);
        FParent[i] = FParent[i + 1] = static_cast<uint16_t>(j);
    }
    FFrequency[NodeCount] = 0xFFFF;
    FParent[Root] = 0;
}

void TLzhSymbolWriter::PutBits(uint32_t Value, unsigned Count)
{
    FBits = (FBits << Count) | (Value & ((uint64_t(1) << Count) - 1));
    FBitCount += Count;
    while (FBitCount >= 8) {
        FBitCount -= 8;
        FOut.push_back(static_cast<char>(FBits >> FBitCount));
    }
}

void TLzhSymbolWriter::Symbol(unsigned Symbol)
{
    // The path from the leaf up to the root, then written root first. With weights capped at
    // 0x8000 the tree stays well under 32 levels deep (a Huffman tree of that total weight).
    uint32_t path = 0;
    unsigned depth = 0;
    for (unsigned node = FParent[Symbol + NodeCount]; node != Root; node = FParent[node]) {
        if (depth == 32)
            throw std::logic_error("LZH tree deeper than 32 levels");
        path |= static_cast<uint32_t>(node - FSon[FParent[node]]) << depth;
        ++depth;
    }
    PutBits(path, depth);
    Update(Symbol);
}

void TLzhSymbolWriter::Rebuild()
{
    int j = 0;
    for (int i = 0; i < NodeCount; ++i) {
        if (FSon[i] >= NodeCount) {
            FFrequency[j] = static_cast<uint16_t>((FFrequency[i] + 1u) / 2);
            FSon[j] = FSon[i];
            ++j;
        }
    }
    for (int i = 0, n = SymbolCount; n < NodeCount; i += 2, ++n) {
        const unsigned w = FFrequency[i] + FFrequency[i + 1];
        int k = n;
        while (w < FFrequency[k - 1])
            --k;
        for (int m = n; m > k; --m) {
            FFrequency[m] = FFrequency[m - 1];
            FSon[m] = FSon[m - 1];
        }
        FFrequency[k] = static_cast<uint16_t>(w);
        FSon[k] = static_cast<uint16_t>(i);
    }
    for (int i = 0; i < NodeCount; ++i) {
        const int k = FSon[i];
        FParent[k] = static_cast<uint16_t>(i);
        if (k < NodeCount)
            FParent[k + 1] = static_cast<uint16_t>(i);
    }
}

void TLzhSymbolWriter::Update(unsigned Symbol)
{
    if (FFrequency[Root] == MaxFrequency)
        Rebuild();
    unsigned c = FParent[Symbol + NodeCount];
    do {
        const unsigned k = ++FFrequency[c];
        if (k > FFrequency[c + 1]) {
            unsigned l = c + 1;
            while (k > FFrequency[l + 1])
                ++l;
            FFrequency[c] = FFrequency[l];
            FFrequency[l] = static_cast<uint16_t>(k);
            const unsigned i = FSon[c];
            FParent[i] = static_cast<uint16_t>(l);
            if (i < NodeCount)
                FParent[i + 1] = static_cast<uint16_t>(l);
            const unsigned j = FSon[l];
            FSon[l] = static_cast<uint16_t>(i);
            FParent[j] = static_cast<uint16_t>(c);
            if (j < NodeCount)
                FParent[j + 1] = static_cast<uint16_t>(c);
            FSon[c] = static_cast<uint16_t>(j);
            c = l;
        }
        c = FParent[c];
    } while (c != 0);
}

void TLzhSymbolWriter::Literal(uint8_t Byte) { Symbol(Byte); }

void TLzhSymbolWriter::Match(int Length, int Position)
{
    if (Length < MinMatch || Length > MaxMatch || Position < 0 || Position > MaxPosition)
        throw std::invalid_argument("LZH match out of range");
    Symbol(static_cast<unsigned>(255 - Threshold + Length));
    const unsigned high = static_cast<unsigned>(Position) >> 6;
    PutBits(Prefix.Code[high] >> (8 - Prefix.Length[high]), Prefix.Length[high]);
    PutBits(static_cast<unsigned>(Position) & 0x3F, 6);
}

std::string TLzhSymbolWriter::Finish()
{
    if (FBitCount > 0)
        PutBits(0, 8 - FBitCount);
    return std::move(FOut);
}

std::string LzhEncode(std::string_view Data)
{
    if (Data.empty())
        return {};
    TLzhSymbolWriter writer;
    auto finder = std::make_unique<TMatchFinder>();
    TMatchFinder& m = *finder;
    uint8_t* const text = m.Text;

    const auto* in = reinterpret_cast<const uint8_t*>(Data.data());
    const size_t size = Data.size();
    size_t next = 0; // the next input byte to take into the ring

    int s = 0;
    int r = RingSize - LookAhead;
    std::memset(text, ' ', static_cast<size_t>(r));
    int len = 0;
    for (; len < LookAhead && next < size; ++len)
        text[r + len] = in[next++];
    for (int i = 1; i <= LookAhead; ++i)
        m.Insert(r - i);
    m.Insert(r);

    do {
        if (m.MatchLength > len)
            m.MatchLength = len;
        if (m.MatchLength <= Threshold) {
            m.MatchLength = 1;
            writer.Literal(text[r]);
        } else {
            writer.Match(m.MatchLength, m.MatchPosition);
        }
        const int last = m.MatchLength;
        int i = 0;
        for (; i < last && next < size; ++i) {
            const uint8_t c = in[next++];
            m.Delete(s);
            text[s] = c;
            if (s < LookAhead - 1)
                text[s + RingSize] = c; // the copy past the end, for comparisons that run over it
            s = (s + 1) & RingMask;
            r = (r + 1) & RingMask;
            m.Insert(r);
        }
        for (; i < last; ++i) {
            m.Delete(s);
            s = (s + 1) & RingMask;
            r = (r + 1) & RingMask;
            if (--len)
                m.Insert(r);
        }
    } while (len > 0);
    return writer.Finish();
}
