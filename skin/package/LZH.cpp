#include "skin/package/LZH.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr unsigned RingSize = 4096;  // N
constexpr unsigned LookAhead = 60; // F
constexpr unsigned Threshold = 2;
constexpr unsigned SymbolCount = 256 - Threshold + LookAhead; // 314: literals, then lengths 3..60
constexpr unsigned NodeCount = SymbolCount * 2 - 1;            // 627
constexpr unsigned Root = NodeCount - 1;                       // 626
constexpr unsigned MaxFrequency = 0x8000;
constexpr unsigned RingFill = RingSize - LookAhead; // 4036 spaces; writing starts there

// The output is decoded into a window: the last RingSize bytes out (at first the ring as it starts,
// 60 zeros then 4036 spaces, so that a match reads the same bytes it would read there), then up to
// OutputBlock bytes more before they go to the sink and the window slides. A symbol started
// before the block is full may run LookAhead bytes past it, and a match copy may write 7 bytes
// past its end (overwritten later, never handed out).
constexpr unsigned OutputBlock = 32768;
constexpr unsigned CopySlack = 8;
constexpr unsigned WindowSize = RingSize + OutputBlock + LookAhead + CopySlack;
// The bytes read from an input stream at a time.
constexpr unsigned InputBlock = 8192;

// The fixed position prefix code, indexed by the next 8 input bits: the upper 6 bits of the
// position (already shifted into place) and the length of the prefix.
struct TPositionTables {
    uint16_t High[256];
    uint8_t Length[256];
};

constexpr TPositionTables MakePositionTables()
{
    TPositionTables t{};
    unsigned index = 0;
    for (unsigned code = 0; code < 64; ++code) {
        const unsigned length = code < 1 ? 3 : code < 4 ? 4 : code < 12 ? 5 : code < 24 ? 6 : code < 48 ? 7 : 8;
        for (unsigned k = 0; k < (256u >> length); ++k, ++index) {
            t.High[index] = static_cast<uint16_t>(code << 6);
            t.Length[index] = static_cast<uint8_t>(length);
        }
    }
    return t;
}

constexpr TPositionTables Positions = MakePositionTables();

constexpr unsigned CountLength(unsigned length)
{
    unsigned n = 0;
    for (unsigned i = 0; i < 256; ++i)
        n += Positions.Length[i] == length;
    return n;
}

static_assert(CountLength(3) == 32 && CountLength(4) == 48 && CountLength(5) == 64 && CountLength(6) == 48 &&
              CountLength(7) == 48 && CountLength(8) == 16);
static_assert(Positions.High[31] == 0 && Positions.High[32] == 1 << 6 && Positions.High[80] == 4 << 6 &&
              Positions.High[144] == 12 << 6 && Positions.High[192] == 24 << 6 &&
              Positions.High[240] == 48 << 6 && Positions.High[255] == 63 << 6);

// The working memory of one decode. Leaves hang in Parent at symbol + NodeCount; Frequency has
// Lane sentinels after the root. Grand and GrandParent keep the links two levels apart, so that
// the walk down to a symbol and the weight update up from it take one dependent load per two
// levels.
constexpr unsigned Lane = 8;
struct TTables {
    uint16_t Frequency[NodeCount + Lane];
    uint16_t Parent[NodeCount + SymbolCount];
    uint16_t Son[NodeCount];
    // Grand[2 * n + b] is Son[Son[n] + b], for every n that is not a leaf.
    uint16_t Grand[NodeCount * 2];
    // GrandParent[n] is Parent[Parent[n]] (0 for the root's children); the entries past the
    // nodes take the writes meant for leaves, which have no children.
    uint16_t GrandParent[NodeCount + SymbolCount + 1];
    uint8_t Window[WindowSize];
    uint8_t Input[InputBlock]; // for stream input
};

// Node n, whose parent is p, has a new subtree: the links from n two levels down and to n from two
// levels below follow.
inline void Rehang(TTables& t, unsigned n, unsigned p)
{
    const unsigned s = t.Son[n];
    if (s >= NodeCount)
        return;
    const unsigned a = t.Son[s], b = t.Son[s + 1];
    t.Grand[2 * n] = static_cast<uint16_t>(a);
    t.Grand[2 * n + 1] = static_cast<uint16_t>(b);
    uint16_t* const up = t.GrandParent;
    up[s] = up[s + 1] = static_cast<uint16_t>(p);
    up[a] = up[a + 1] = static_cast<uint16_t>(n);
    up[b] = up[b + 1] = static_cast<uint16_t>(n);
}

void LinkGenerations(TTables& t)
{
    for (unsigned n = 0; n < NodeCount; ++n) {
        if (const unsigned s = t.Son[n]; s < NodeCount) {
            t.Grand[2 * n] = t.Son[s];
            t.Grand[2 * n + 1] = t.Son[s + 1];
        }
        t.GrandParent[n] = t.Parent[t.Parent[n]];
    }
}

void StartTree(TTables& t)
{
    for (unsigned i = 0; i < SymbolCount; ++i) {
        t.Frequency[i] = 1;
        t.Son[i] = static_cast<uint16_t>(i + NodeCount);
        t.Parent[i + NodeCount] = static_cast<uint16_t>(i);
    }
    for (unsigned i = 0, j = SymbolCount; j <= Root; i += 2, ++j) {
        t.Frequency[j] = static_cast<uint16_t>(t.Frequency[i] + t.Frequency[i + 1]);
        t.Son[j] = static_cast<uint16_t>(i);
        t.Parent[i] = t.Parent[i + 1] = static_cast<uint16_t>(j);
    }
    std::fill(t.Frequency + NodeCount, t.Frequency + NodeCount + Lane, uint16_t{0xFFFF});
    t.Parent[Root] = 0;
    LinkGenerations(t);
}

// Halves the leaf weights and builds the tree again from them.
[[gnu::noinline]] void RebuildTree(TTables& t)
{
    uint16_t* freq = t.Frequency;
    uint16_t* son = t.Son;
    unsigned j = 0;
    for (unsigned i = 0; i < NodeCount; ++i) {
        if (son[i] >= NodeCount) {
            freq[j] = static_cast<uint16_t>((freq[i] + 1u) / 2);
            son[j] = son[i];
            ++j;
        }
    }
    for (unsigned i = 0, n = SymbolCount; n < NodeCount; i += 2, ++n) {
        const unsigned w = freq[i] + freq[i + 1];
        unsigned k = n;
        while (w < freq[k - 1])
            --k;
        std::memmove(freq + k + 1, freq + k, (n - k) * sizeof(uint16_t));
        std::memmove(son + k + 1, son + k, (n - k) * sizeof(uint16_t));
        freq[k] = static_cast<uint16_t>(w);
        son[k] = static_cast<uint16_t>(i);
    }
    for (unsigned i = 0; i < NodeCount; ++i) {
        const unsigned k = son[i];
        t.Parent[k] = static_cast<uint16_t>(i);
        if (k < NodeCount)
            t.Parent[k + 1] = static_cast<uint16_t>(i);
    }
    LinkGenerations(t);
}

// A node whose weight k has just outgrown its right neighbour trades places (with its subtree)
// with the last node of its old weight k - 1; returns that node's index.
inline unsigned SwapUp(TTables& t, unsigned c, unsigned k)
{
    uint16_t* const freq = t.Frequency;
    uint16_t* const parent = t.Parent;
    uint16_t* const son = t.Son;
    // The weights are sorted, so freq[c + 1 ..] holds a run of k - 1 ending before the first
    // weight >= k (the sentinels stop the scan at the latest). The run is measured Lane weights
    // at a time by counting, without a branch on its length (which follows the data).
    unsigned l = c + 1;
    for (const uint16_t* p = freq + l + 1;; p += Lane) {
        unsigned n = 0;
        for (unsigned i = 0; i < Lane; ++i)
            n += p[i] < k;
        l += n;
        if (n < Lane)
            break;
    }
    freq[c] = freq[l];
    freq[l] = static_cast<uint16_t>(k);

    const unsigned i = son[c];
    parent[i] = static_cast<uint16_t>(l);
    if (i < NodeCount)
        parent[i + 1] = static_cast<uint16_t>(l);
    const unsigned j = son[l];
    son[l] = static_cast<uint16_t>(i);
    parent[j] = static_cast<uint16_t>(c);
    if (j < NodeCount)
        parent[j + 1] = static_cast<uint16_t>(c);
    son[c] = static_cast<uint16_t>(j);
    // The nodes' places keep their parents: the parents' links two down change in the entry of
    // the child that changed, and each subtree is hung in its new place.
    const unsigned pc = parent[c], pl = parent[l];
    t.Grand[2 * pc + c - son[pc]] = static_cast<uint16_t>(j);
    t.Grand[2 * pl + l - son[pl]] = static_cast<uint16_t>(i);
    Rehang(t, c, pc);
    Rehang(t, l, pl);
    return l;
}

// The weight update from node c up to the root, following the parent links, two levels a step
// while no node moves. Node c itself is always counted, also when it is node 0: after a rebuild
// the leaf of the symbol being counted may sit there (the first leaf in node order). Every other
// node has a parent above 0, so the walk ends after the root, whose parent is 0.
[[gnu::noinline]] void UpdateFrom(TTables& t, unsigned c)
{
    uint16_t* const freq = t.Frequency;
    for (;;) {
        const unsigned k = ++freq[c];
        if (k > freq[c + 1])
            c = SwapUp(t, c, k);
        const unsigned p = t.Parent[c];
        const unsigned g = t.GrandParent[c];
        if (p == 0)
            return;
        const unsigned kp = ++freq[p];
        if (kp > freq[p + 1]) [[unlikely]] {
            c = t.Parent[SwapUp(t, p, kp)];
            if (c == 0)
                return;
            continue;
        }
        if (g == 0)
            return;
        c = g;
    }
}

// Counts one more occurrence of Symbol: the weights on its path go up by one, nodes that outgrow
// their right neighbours moving up the order (the classic LZHUF update). Path holds the nodes the
// decoder walked from below the root down to the symbol's leaf; until the first swap (or a
// rebuild) changes the tree they are the nodes the parent links lead through, which spares the
// chain of parent loads.
inline void UpdateTree(TTables& t, unsigned Symbol, const uint16_t* Path, unsigned Depth)
{
    uint16_t* const freq = t.Frequency;
    if (freq[Root] == MaxFrequency) [[unlikely]] {
        RebuildTree(t);
        UpdateFrom(t, t.Parent[Symbol + NodeCount]);
        return;
    }
    for (unsigned d = Depth; d-- > 0;) {
        const unsigned c = Path[d];
        const unsigned k = ++freq[c];
        if (k > freq[c + 1]) [[unlikely]] {
            UpdateFrom(t, t.Parent[SwapUp(t, c, k)]);
            return;
        }
    }
    ++freq[Root]; // its parent is 0: the end (the sentinel after it is never exceeded)
}

struct TTablesDeleter {
    void operator()(TTables* t) const { ::operator delete(t, std::nothrow); }
};

std::unique_ptr<TTables, TTablesDeleter> AllocateTables()
{
    void* p = ::operator new(sizeof(TTables), std::nothrow);
    if (p == nullptr)
        throw ElzhException(TLZH::NoMemoryMessage);
    return std::unique_ptr<TTables, TTablesDeleter>(static_cast<TTables*>(p));
}

// The 8 bytes at p, the first the most significant (compilers make this one load and a swap).
inline uint64_t LoadBigEndian64(const uint8_t* p)
{
    return static_cast<uint64_t>(p[0]) << 56 | static_cast<uint64_t>(p[1]) << 48 | static_cast<uint64_t>(p[2]) << 40 |
           static_cast<uint64_t>(p[3]) << 32 | static_cast<uint64_t>(p[4]) << 24 | static_cast<uint64_t>(p[5]) << 16 |
           static_cast<uint64_t>(p[6]) << 8 | static_cast<uint64_t>(p[7]);
}

// Copies a match of Length bytes from Distance bytes back (1..4096) to Out, byte after byte as
// far as the result goes: a match closer than its length repeats its first Distance bytes. Whole
// words at a time; up to 7 bytes past the match are written too.
inline void CopyMatch(uint8_t* Out, unsigned Distance, unsigned Length)
{
    const uint8_t* from = Out - Distance;
    if (Distance >= 8) {
        for (unsigned k = 0; k < Length; k += 8) {
            uint64_t v;
            std::memcpy(&v, from + k, 8);
            std::memcpy(Out + k, &v, 8);
        }
        return;
    }
    // The first 8 bytes one by one; after them, every 8 bytes repeat those a multiple of Distance
    // (8 or more, less than 8 + Distance) back, all of them already written.
    unsigned k = 0;
    for (; k < 8 && k < Length; ++k)
        Out[k] = from[k];
    const unsigned period = Distance * ((8 + Distance - 1) / Distance);
    for (; k < Length; k += 8) {
        uint64_t v;
        std::memcpy(&v, Out + k - period, 8);
        std::memcpy(Out + k, &v, 8);
    }
}

// The decoder proper, for two kinds of input:
//  - TInput::Blocks: input comes in blocks (In.Next(Block, BlockEnd) gives the next one, false at
//    the end of the input). The bit buffer is topped up to 56 bits or more a word at a time, ahead of
//    need; returns the number of bits the symbols took, from which the caller works out how many
//    bytes the classic decoder would have read.
//  - otherwise one byte per In.Get() (0 when there is none), fetched exactly when the classic
//    16-bit buffer would fetch it: whenever 8 bits or fewer are left before a bit is taken.
// The output goes to Out.Put(Bytes, Count) in runs: once a window block is full and at the end,
// or, with TSink::EachSymbol, after every symbol (so that output and input calls interleave as in
// the classic decoder).
//
// A decode may stop early and go on later: it stops once Stop bytes (at most TextSize) are out,
// keeping where it is in State, and a later call with the same tables, input, sink and state
// goes on from there. The bytes out are the same however the calls split them.
struct TDecodeState {
    bool Started = false;
    uint64_t Bits = 0;
    unsigned Count = 0;
    uint64_t Fetched = 0;
    const uint8_t* Next = nullptr;
    const uint8_t* End = nullptr;
    int64_t Before = 0;     // bytes out before the window's base
    unsigned Pos = 0;       // the window's write position, from its start
    unsigned Flushed = 0;   // the window bytes up to here have gone to the sink
};

template <class TInput, class TSink>
uint64_t Decode(int32_t TextSize, TTables& t, TInput& In, TSink& Out, TDecodeState& State, int64_t Stop)
{
    constexpr bool blocks = TInput::Blocks;
    uint8_t* const window = t.Window;
    uint8_t* const base = window + RingSize;
    uint8_t* const slideAt = base + OutputBlock;
    const uint16_t* const son = t.Son;
    uint16_t path[SymbolCount]; // the nodes of one walk: no deeper than the inner nodes are many

    // The bit buffer holds its bits at the top; below the count valid ones it holds zeros or the
    // true bits that follow (a word load takes a little more than it counts).
    uint64_t bits = State.Bits;
    unsigned count = State.Count;
    uint64_t fetched = State.Fetched; // bytes put into the bit buffer, the zeros past the end included
    const uint8_t* next = State.Next;
    const uint8_t* end = State.End;

    auto refillSlow = [&] {
        while (count <= 56) {
            if (next == end && !In.Next(next, end)) {
                // Missing input reads as zero bits: nothing to add but the count.
                fetched += (63 - count) >> 3;
                count |= 56;
                return;
            }
            bits |= static_cast<uint64_t>(*next++) << (56 - count);
            count += 8;
            ++fetched;
        }
    };
    auto refill = [&] {
        if constexpr (blocks) {
            if (end - next >= 8) [[likely]] {
                bits |= LoadBigEndian64(next) >> count;
                const unsigned n = (63 - count) >> 3;
                next += n;
                fetched += n;
                count |= 56;
            } else {
                refillSlow();
            }
        } else {
            bits |= static_cast<uint64_t>(In.Get()) << (56 - count);
            count += 8;
            ++fetched;
        }
    };

    if (!State.Started) {
        State.Started = true;
        StartTree(t);
        std::memset(window, 0, LookAhead);
        std::memset(window + LookAhead, ' ', RingFill);
        State.Pos = State.Flushed = RingSize;
        if constexpr (!blocks) {
            // At least one bit is taken, before which two bytes are due; from then on at least 8
            // bits are left after every step, so one fetch always restores 9.
            refill();
            refill();
        }
    }

    const int64_t target = std::min<int64_t>(Stop, TextSize);
    int64_t before = State.Before;
    uint8_t* pos = window + State.Pos;
    uint8_t* flushed = window + State.Flushed;
    for (;;) {
        const int64_t need = target - (before + (pos - base)); // a final match may pass INT32_MAX
        if (need <= 0)
            break;
        uint8_t* const limit = TSink::EachSymbol ? pos + 1 : pos + std::min<int64_t>(need, slideAt - pos);
        while (pos < limit) {
            if constexpr (blocks) {
                if (count < 40)
                    refill();
            }
            unsigned c = son[Root];
            unsigned depth = 0;
            if constexpr (blocks) {
                // No walk is longer than the 40 bits the buffer holds: the tree keeps its nodes
                // in weight order, so a leaf d levels down needs a root weight of at least the
                // (d + 2)th Fibonacci number, and the root's weight stays under 0x8001 (depth 21
                // at most). Two levels a step: the node two down is one load away.
                uint64_t b = bits;
                const uint16_t* const grand = t.Grand;
                unsigned node = Root; // c is son[node]
                for (;;) {
                    const unsigned first = static_cast<unsigned>(b >> 63);
                    const unsigned below = grand[2 * node + first];
                    path[depth] = static_cast<uint16_t>(c + first);
                    if (below >= NodeCount) {
                        c = below;
                        depth += 1;
                        b <<= 1;
                        break;
                    }
                    node = below + (static_cast<unsigned>(b >> 62) & 1);
                    path[depth + 1] = static_cast<uint16_t>(node);
                    depth += 2;
                    b <<= 2;
                    c = son[node];
                    if (c >= NodeCount)
                        break;
                }
                bits = b;
                count = depth <= count ? count - depth : 0; // (never short; kept from wrapping)
            } else {
                do {
                    if (count <= 8)
                        refill();
                    const unsigned node = c + static_cast<unsigned>(bits >> 63);
                    path[depth++] = static_cast<uint16_t>(node);
                    c = son[node];
                    bits <<= 1;
                    --count;
                } while (c < NodeCount);
            }
            c -= NodeCount;
            UpdateTree(t, c, path, depth);

            if (c < 256) {
                *pos++ = static_cast<uint8_t>(c);
                continue;
            }

            // Position: 8 bits pick the prefix; the bits after the prefix and (length - 2) more
            // make up the low 6.
            if constexpr (blocks) {
                if (count < 8 + 6 + 8) // 9 or more before each of the 14 bits at most
                    refill();
            } else {
                if (count <= 8)
                    refill();
            }
            const unsigned index = static_cast<unsigned>(bits >> 56);
            bits <<= 8;
            count -= 8;
            const unsigned extra = Positions.Length[index] - 2u; // 1..6
            if constexpr (!blocks) {
                while (count < extra + 8)
                    refill();
            }
            const unsigned low = ((index << extra) | static_cast<unsigned>(bits >> (64 - extra))) & 0x3F;
            bits <<= extra;
            count -= extra;
            const unsigned distance = (Positions.High[index] | low) + 1;
            const unsigned length = c - 256 + Threshold + 1;
            CopyMatch(pos, distance, length);
            pos += length;
        }
        Out.Put(flushed, static_cast<size_t>(pos - flushed));
        flushed = pos;
        if (pos >= slideAt) {
            std::memmove(window, pos - RingSize, RingSize);
            before += pos - base;
            pos = flushed = base;
        }
    }
    State.Bits = bits;
    State.Count = count;
    State.Fetched = fetched;
    State.Next = next;
    State.End = end;
    State.Before = before;
    State.Pos = static_cast<unsigned>(pos - window);
    State.Flushed = static_cast<unsigned>(flushed - window);
    return fetched * 8 - count;
}

// The bytes the classic decoder reads for symbols that took Bits bits: before every bit it has
// 9 or more buffered, so ceil((Bits + 8) / 8); none of them past the end of the input, which is
// Available bytes long.
uint64_t BytesRead(uint64_t Bits, uint64_t Available)
{
    return Bits == 0 ? 0 : std::min<uint64_t>((Bits + 15) / 8, Available);
}

// Input from one block of memory.
struct TMemoryInput {
    static constexpr bool Blocks = true;
    const uint8_t* First;
    const uint8_t* End;
    bool Given = false;
    bool Next(const uint8_t*& Block, const uint8_t*& BlockEnd)
    {
        if (Given || First == End)
            return false;
        Given = true;
        Block = First;
        BlockEnd = End;
        return true;
    }
};

// Input read from a stream a block at a time, never more than Left bytes in all; a read that
// gives nothing ends the input there.
struct TStreamInput {
    static constexpr bool Blocks = true;
    TStream& Stream;
    uint8_t* Buffer;
    int64_t Left;
    int64_t Read = 0;
    bool Next(const uint8_t*& Block, const uint8_t*& BlockEnd)
    {
        if (Left <= 0)
            return false;
        const int32_t n = Stream.Read(Buffer, static_cast<int32_t>(std::min<int64_t>(Left, InputBlock)));
        if (n <= 0) {
            Left = 0; // the end: what was read is all there is
            return false;
        }
        Left -= n;
        Read += n;
        Block = Buffer;
        BlockEnd = Buffer + n;
        return true;
    }
};

// Input through the byte pump.
struct TPumpInput {
    static constexpr bool Blocks = false;
    const TLZH::TGetBytes& GetBytes;
    uint32_t Get()
    {
        uint8_t b = 0;
        int32_t actual = 0;
        GetBytes(&b, 1, actual);
        return actual > 0 ? b : 0u;
    }
    bool Next(const uint8_t*&, const uint8_t*&) { return false; }
};

struct TMemorySink {
    static constexpr bool EachSymbol = false;
    uint8_t* Out;
    void Put(const uint8_t* Bytes, size_t Count)
    {
        std::memcpy(Out, Bytes, Count);
        Out += Count;
    }
};

struct TStreamSink {
    static constexpr bool EachSymbol = false;
    TStream& Stream;
    void Put(const uint8_t* Bytes, size_t Count)
    {
        if (Count > 0)
            Stream.Write(Bytes, static_cast<int32_t>(Count));
    }
};

// Output through the byte pump, a call a byte, right after the symbol that made it.
struct TPumpSink {
    static constexpr bool EachSymbol = true;
    const TLZH::TPutBytes& PutBytes;
    void Put(const uint8_t* Bytes, size_t Count)
    {
        for (size_t i = 0; i < Count; ++i) {
            int32_t actual = 0;
            PutBytes(Bytes + i, 1, actual);
        }
    }
};

struct TDiscardSink {
    static constexpr bool EachSymbol = false;
    void Put(const uint8_t*, size_t) {}
};

void NoInput(void*, int32_t, int32_t& Actual) { Actual = 0; }

} // namespace

void TLZH::Unpack(int32_t TextSize, const TGetBytes& GetBytes, const TPutBytes& PutBytes)
{
    if (TextSize <= 0)
        return;
    static const TGetBytes noInput = NoInput;
    const auto tables = AllocateTables();
    TPumpInput in{GetBytes ? GetBytes : noInput};
    TDecodeState state;
    if (PutBytes) {
        TPumpSink out{PutBytes};
        Decode(TextSize, *tables, in, out, state, TextSize);
    } else {
        TDiscardSink out;
        Decode(TextSize, *tables, in, out, state, TextSize);
    }
}

void TLZH::UnpackStreams(int32_t TextSize, TStream& Input, TStream& Output)
{
    if (TextSize <= 0)
        return;
    const auto tables = AllocateTables();
    const int64_t start = Input.Position();
    TStreamInput in{Input, tables->Input, std::max<int64_t>(Input.Size() - start, 0)};
    TStreamSink out{Output};
    TDecodeState state;
    const uint64_t bits = Decode(TextSize, *tables, in, out, state, TextSize);
    // The input was read ahead: it ends after the bytes the symbols came from.
    const uint64_t used = BytesRead(bits, static_cast<uint64_t>(in.Read + in.Left));
    if (used != static_cast<uint64_t>(in.Read))
        Input.Seek(start + static_cast<int64_t>(used), TSeekOrigin::soBeginning);
}

int64_t TLZH::UnpackMemory(int32_t TextSize, const void* Input, int64_t InputSize, void* Output, int64_t OutputSize,
                           int64_t* InputUsed)
{
    if (InputUsed != nullptr)
        *InputUsed = 0;
    if (TextSize <= 0)
        return 0;
    TLZHMemoryDecoder decoder(TextSize, Input, InputSize, Output, OutputSize);
    const int64_t written = decoder.DecodeTo(TextSize);
    if (InputUsed != nullptr)
        *InputUsed = decoder.InputUsed();
    return written;
}

struct TLZHMemoryDecoder::TWork {
    std::unique_ptr<TTables, TTablesDeleter> Tables;
    TMemoryInput In;
    TMemorySink Out;
    TDecodeState State;
    uint64_t Available;
};

TLZHMemoryDecoder::TLZHMemoryDecoder(int32_t TextSize, const void* Input, int64_t InputSize, void* Output,
                                     int64_t OutputSize)
    : FTextSize(std::max(TextSize, 0)), FOutput(static_cast<uint8_t*>(Output))
{
    if (FTextSize == 0)
        return;
    if (OutputSize < int64_t{FTextSize} + TLZH::MaxOverrun)
        throw ElzhException(TLZH::OutputTooSmallMessage);
    const auto* first = static_cast<const uint8_t*>(Input);
    const uint64_t available = InputSize > 0 && first != nullptr ? static_cast<uint64_t>(InputSize) : 0;
    FWork.reset(new TWork{AllocateTables(), TMemoryInput{first, first + available}, TMemorySink{FOutput},
                          TDecodeState{}, available});
}

TLZHMemoryDecoder::~TLZHMemoryDecoder() = default;

int64_t TLZHMemoryDecoder::DecodeTo(int64_t Length)
{
    if (FWork == nullptr || Length <= FDecoded)
        return FDecoded;
    const uint64_t bits = Decode(FTextSize, *FWork->Tables, FWork->In, FWork->Out, FWork->State, Length);
    FDecoded = FWork->Out.Out - FOutput;
    FInputUsed = static_cast<int64_t>(BytesRead(bits, FWork->Available));
    FRanOut = bits > FWork->Available * 8;
    if (FDecoded >= FTextSize)
        FWork.reset(); // all out: the tables are not needed again
    return FDecoded;
}
