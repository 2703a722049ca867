// A second LZHUF decoder, written plainly from the published algorithm: the differential tests
// check TLZH against it, the decoder benchmark measures TLZH against it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The published decoder, step by step and without shortcuts, in the manner of the classic
// program: a 16-bit bit buffer filled a byte at a time from a getc-like function, one putc-like
// call per output byte, parent links walked on every update, the rebuild and the position tables
// as the algorithm describes them. One object decodes one stream (or follows the model of one
// stream through Update).
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
            Rebuilds.push_back({symbol, c, FCount});
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

    // Decodes until at least Size bytes are out, as the classic program does: GetC gives the next
    // input byte or a negative number at the end (read as zero bits), PutC takes one output byte.
    template <class TGetC, class TPutC> void DecodeWith(size_t Size, TGetC&& GetC, TPutC&& PutC)
    {
        uint8_t text[N + F - 1] = {};
        for (int i = 0; i < N - F; i++)
            text[i] = ' ';
        int r = N - F;
        auto nextByte = [&GetC] {
            const int b = GetC();
            return b < 0 ? 0 : b;
        };
        while (FCount < Size) {
            const int c = DecodeChar(nextByte);
            if (c < 256) {
                PutC(c);
                FCount++;
                text[r++] = static_cast<uint8_t>(c);
                r &= N - 1;
            } else {
                const int i = (r - DecodePosition(nextByte) - 1) & (N - 1);
                const int j = c - 255 + Threshold;
                for (int k = 0; k < j; k++) {
                    const uint8_t b = text[(i + k) & (N - 1)];
                    PutC(b);
                    FCount++;
                    text[r++] = b;
                    r &= N - 1;
                }
            }
        }
    }

    std::string Decode(const std::string& In, size_t Size)
    {
        std::string out;
        size_t next = 0;
        DecodeWith(
            Size, [&] { return next < In.size() ? static_cast<uint8_t>(In[next++]) : -1; },
            [&out](int c) { out.push_back(static_cast<char>(c)); });
        return out;
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

    template <class TNext> void Fill(TNext& NextByte)
    {
        while (FBitLength <= 8) {
            FBitBuffer = static_cast<uint16_t>(FBitBuffer | NextByte() << (8 - FBitLength));
            FBitLength += 8;
        }
    }

    template <class TNext> int GetBit(TNext& NextByte)
    {
        Fill(NextByte);
        const int bit = FBitBuffer >> 15;
        FBitBuffer = static_cast<uint16_t>(FBitBuffer << 1);
        FBitLength--;
        return bit;
    }

    template <class TNext> int GetByte(TNext& NextByte)
    {
        Fill(NextByte);
        const int byte = FBitBuffer >> 8;
        FBitBuffer = static_cast<uint16_t>(FBitBuffer << 8);
        FBitLength -= 8;
        return byte;
    }

    template <class TNext> int DecodeChar(TNext& NextByte)
    {
        int c = FSon[R];
        while (c < T)
            c = FSon[c + GetBit(NextByte)];
        c -= T;
        Update(c);
        return c;
    }

    template <class TNext> int DecodePosition(TNext& NextByte)
    {
        int i = GetByte(NextByte);
        const int c = FDCode[i] << 6;
        for (int j = FDLen[i] - 2; j > 0; j--)
            i = (i << 1) + GetBit(NextByte);
        return c | (i & 0x3F);
    }

    unsigned FFreq[T + 1] = {};
    int FParent[T + NChar] = {};
    int FSon[T] = {};
    int FDCode[256] = {};
    int FDLen[256] = {};
    uint16_t FBitBuffer = 0;
    int FBitLength = 0;
    size_t FCount = 0; // bytes out
};
