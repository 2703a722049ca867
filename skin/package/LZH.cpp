#include "skin/package/LZH.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr unsigned RingSize = 4096; // N
constexpr unsigned RingMask = RingSize - 1;
constexpr unsigned LookAhead = 60; // F
constexpr unsigned Threshold = 2;
constexpr unsigned SymbolCount = 256 - Threshold + LookAhead; // 314: literals, then lengths 3..60
constexpr unsigned NodeCount = SymbolCount * 2 - 1;            // 627
constexpr unsigned Root = NodeCount - 1;                       // 626
constexpr unsigned MaxFrequency = 0x8000;
constexpr unsigned RingFill = RingSize - LookAhead; // 4036 spaces; writing starts there

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

// The working tables of one decode. Leaves hang in Parent at symbol + NodeCount; Frequency has a
// sentinel after the root.
struct TTables {
    uint16_t Frequency[NodeCount + 1];
    uint16_t Parent[NodeCount + SymbolCount];
    uint16_t Son[NodeCount];
    uint8_t Ring[RingSize + LookAhead - 1];
};

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
    t.Frequency[NodeCount] = 0xFFFF;
    t.Parent[Root] = 0;
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
}

// A node whose weight k has just outgrown its right neighbour trades places (with its subtree)
// with the last node of its old weight k - 1; returns that node's index.
inline unsigned SwapUp(TTables& t, unsigned c, unsigned k)
{
    uint16_t* const freq = t.Frequency;
    uint16_t* const parent = t.Parent;
    uint16_t* const son = t.Son;
    // The weights are sorted, so freq[c + 1 ..] holds a run of k - 1 ending before the first
    // weight >= k (the sentinel stops the scan at the latest).
    unsigned l = c + 1;
    if (k > freq[l + 1]) {
        const uint16_t* p = freq + l + 2;
        while (k > p[0] && k > p[1] && k > p[2] && k > p[3])
            p += 4;
        while (k > *p)
            ++p;
        l = static_cast<unsigned>(p - freq) - 1;
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
    return l;
}

// The weight update from node c up to the root, following the parent links. Node c itself is
// always counted, also when it is node 0: after a rebuild the leaf of the symbol being counted
// may sit there (the first leaf in node order). Every other node has a parent above 0, so the
// walk ends after the root, whose parent is 0.
[[gnu::noinline]] void UpdateFrom(TTables& t, unsigned c)
{
    uint16_t* const freq = t.Frequency;
    do {
        const unsigned k = ++freq[c];
        if (k > freq[c + 1])
            c = SwapUp(t, c, k);
        c = t.Parent[c];
    } while (c != 0);
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

// The decoder proper. Get() returns the next input byte (0 when there is none), Put(b) takes one
// output byte. The bit buffer holds its bits at the top of 32; a byte is fetched whenever 8 bits
// or fewer are left before a bit is taken, so the input is consumed exactly as with the classic
// 16-bit buffer.
template <class TGet, class TPut>
void Decode(int32_t TextSize, TGet& Get, TPut& Put)
{
    if (TextSize <= 0)
        return;
    const auto tables = AllocateTables();
    TTables& t = *tables;
    StartTree(t);
    uint8_t* const ring = t.Ring;
    std::memset(ring, ' ', RingFill);
    std::memset(ring + RingFill, 0, sizeof(t.Ring) - RingFill);
    const uint16_t* const son = t.Son;
    uint16_t path[SymbolCount]; // the nodes of one walk: no deeper than the inner nodes are many

    uint32_t bits = 0;
    unsigned count = 0;
    auto fetch = [&] {
        bits |= static_cast<uint32_t>(Get()) << (24 - count);
        count += 8;
    };

    // At least one bit is taken, before which two bytes are due; from then on at least 8 bits
    // are left after every step, so one fetch always restores 9.
    fetch();
    fetch();

    unsigned r = RingFill;
    int64_t done = 0; // a final match may pass INT32_MAX
    while (done < TextSize) {
        unsigned c = son[Root];
        unsigned depth = 0;
        do {
            if (count <= 8)
                fetch();
            const unsigned node = c + (bits >> 31);
            path[depth++] = static_cast<uint16_t>(node);
            c = son[node];
            bits <<= 1;
            --count;
        } while (c < NodeCount);
        c -= NodeCount;
        UpdateTree(t, c, path, depth);

        if (c < 256) {
            Put(static_cast<uint8_t>(c));
            ring[r] = static_cast<uint8_t>(c);
            r = (r + 1) & RingMask;
            ++done;
            continue;
        }

        // Position: 8 bits pick the prefix; the bits after the prefix and (length - 2) more
        // make up the low 6.
        if (count <= 8)
            fetch();
        const unsigned index = bits >> 24;
        bits <<= 8;
        count -= 8;
        const unsigned extra = Positions.Length[index] - 2u; // 1..6
        while (count < extra + 8)
            fetch();
        const unsigned low = ((index << extra) | (bits >> (32 - extra))) & 0x3F;
        bits <<= extra;
        count -= extra;
        const unsigned position = Positions.High[index] | low;

        const unsigned length = c - 256 + Threshold + 1;
        unsigned from = (r - position - 1) & RingMask;
        for (unsigned k = 0; k < length; ++k) {
            const uint8_t b = ring[from];
            from = (from + 1) & RingMask;
            Put(b);
            ring[r] = b;
            r = (r + 1) & RingMask;
        }
        done += length;
    }
}

void NoInput(void*, int32_t, int32_t& Actual) { Actual = 0; }
void NoOutput(const void*, int32_t Count, int32_t& Actual) { Actual = Count; }

} // namespace

void TLZH::Unpack(int32_t TextSize, const TGetBytes& GetBytes, const TPutBytes& PutBytes)
{
    static const TGetBytes noInput = NoInput;
    static const TPutBytes noOutput = NoOutput;
    const TGetBytes& getBytes = GetBytes ? GetBytes : noInput;
    const TPutBytes& putBytes = PutBytes ? PutBytes : noOutput;
    auto get = [&getBytes]() -> uint32_t {
        uint8_t b = 0;
        int32_t actual = 0;
        getBytes(&b, 1, actual);
        return actual > 0 ? b : 0u;
    };
    auto put = [&putBytes](uint8_t b) {
        int32_t actual = 0;
        putBytes(&b, 1, actual);
    };
    Decode(TextSize, get, put);
}

void TLZH::UnpackStreams(int32_t TextSize, TStream& Input, TStream& Output)
{
    if (TextSize <= 0)
        return;
    int64_t left = std::max<int64_t>(Input.Size() - Input.Position(), 0);
    auto get = [&Input, &left]() -> uint32_t {
        if (left <= 0)
            return 0;
        uint8_t b = 0;
        if (Input.Read(&b, 1) != 1) {
            left = 0;
            return 0;
        }
        --left;
        return b;
    };
    auto put = [&Output](uint8_t b) { Output.Write(&b, 1); };
    Decode(TextSize, get, put);
}
