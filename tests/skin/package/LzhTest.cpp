// TLZH decoding, mostly against the skinpack encoder: round trips, hand-written symbol streams
// (TLzhSymbolWriter) checked against a plain LZ77 model of the ring, truncated input, the pumps,
// and the block paths (streams, memory, memory a part at a time) against the byte pumps.
#include "skin/package/LZH.h"
#include "tools/skinpack/LzhEncoder.h"
#include "tools/skinpack/PackageWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string StreamText(TMemoryStream& s)
{
    return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

// Decodes through UnpackStreams from the start of Encoded.
std::string Decode(const std::string& Encoded, int32_t TextSize)
{
    TMemoryStream in, out;
    in.WriteBuffer(Encoded.data(), static_cast<int32_t>(Encoded.size()));
    in.SetPosition(0);
    TLZH lzh;
    lzh.UnpackStreams(TextSize, in, out);
    return StreamText(out);
}

std::string RandomBytes(size_t Size, uint32_t Seed)
{
    std::mt19937 rng(Seed);
    std::string s(Size, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

std::string Text(size_t Size, uint32_t Seed)
{
    static const char* const words[] = {"skin ", "window ", "the ", "frame ", "caption ", "button ",
                                        "[Form]\r\n", "TopHeight=", "bitmap ", "of ", "a ", "menu ",
                                        "Colour=", "\r\n", "border ", "draws ", "0", "12", "255 "};
    std::mt19937 rng(Seed);
    std::string s;
    while (s.size() < Size)
        s += words[rng() % std::size(words)];
    s.resize(Size);
    return s;
}

// Rows of 24-bit pixels as in skin bitmaps: horizontal and vertical gradients, framed flat
// areas, dithered textures.
std::string BitmapRows(size_t Size, uint32_t Seed)
{
    std::mt19937 rng(Seed);
    std::string s;
    while (s.size() < Size) {
        const int width = 8 + static_cast<int>(rng() % 120);
        const int height = 4 + static_cast<int>(rng() % 30);
        const int kind = static_cast<int>(rng() % 4);
        const uint8_t r = static_cast<uint8_t>(rng()), g = static_cast<uint8_t>(rng()), b = static_cast<uint8_t>(rng());
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                int t = 0;
                switch (kind) {
                case 0: t = x * 2; break;
                case 1: t = y * 5; break;
                case 2: t = (x == 0 || y == 0 || x == width - 1 || y == height - 1) ? 60 : 0; break;
                default: t = static_cast<int>(rng() % 24); break;
                }
                s.push_back(static_cast<char>(b + t));
                s.push_back(static_cast<char>(g + t));
                s.push_back(static_cast<char>(r + t / 2));
            }
        }
    }
    s.resize(Size);
    return s;
}

// LZ77 over a history that starts with the decoder's 4036 spaces: what a stream of the given
// literals and matches must decode to.
class TRingModel {
public:
    TRingModel() : FHistory(4036, ' ') {}
    void Literal(uint8_t b) { FHistory.push_back(static_cast<char>(b)); }
    void Match(int Length, int Position)
    {
        for (int k = 0; k < Length; ++k)
            FHistory.push_back(FHistory[FHistory.size() - static_cast<size_t>(Position) - 1]);
    }
    std::string Output() const { return FHistory.substr(4036); }
    size_t Size() const { return FHistory.size() - 4036; }

private:
    std::string FHistory;
};

// Writes the same symbols to a stream and to the model.
struct TCrafted {
    TLzhSymbolWriter Writer;
    TRingModel Model;
    void Literal(uint8_t b)
    {
        Writer.Literal(b);
        Model.Literal(b);
    }
    void Literals(const std::string& s)
    {
        for (char c : s)
            Literal(static_cast<uint8_t>(c));
    }
    void Match(int Length, int Position)
    {
        Writer.Match(Length, Position);
        Model.Match(Length, Position);
    }
};

// A memory stream that hands out its bytes a few at a time: 1, 2, ... 9, then 1 again.
class TTrickleStream : public TMemoryStream {
public:
    int32_t Read(void* Buffer, int32_t Count) override
    {
        FNext = FNext % 9 + 1;
        return TMemoryStream::Read(Buffer, std::min(Count, FNext));
    }

private:
    int32_t FNext = 0;
};

// One decode of Input by each way in: the output, and how many input bytes were read.
struct TDecoded {
    std::string Out;
    int64_t Read = 0;
};

// Through the byte pumps, as the classic decoder reads and writes.
TDecoded DecodePumped(const std::string& Input, int32_t TextSize)
{
    TDecoded d;
    size_t next = 0;
    TLZH lzh;
    lzh.Unpack(
        TextSize,
        [&](void* Buffer, int32_t, int32_t& Actual) {
            Actual = next < Input.size() ? (*static_cast<char*>(Buffer) = Input[next++], 1) : 0;
        },
        [&](const void* Buffer, int32_t, int32_t&) { d.Out.push_back(*static_cast<const char*>(Buffer)); });
    d.Read = static_cast<int64_t>(next);
    return d;
}

// Through UnpackStreams, from In (after a 3-byte lead, which stays unread).
TDecoded DecodeStream(TMemoryStream&& In, const std::string& Input, int32_t TextSize)
{
    In.WriteBuffer("abc", 3);
    if (!Input.empty())
        In.WriteBuffer(Input.data(), static_cast<int32_t>(Input.size()));
    In.SetPosition(3);
    TMemoryStream out;
    TLZH lzh;
    lzh.UnpackStreams(TextSize, In, out);
    return {StreamText(out), In.Position() - 3};
}

TDecoded DecodeMemory(const std::string& Input, int32_t TextSize)
{
    std::string out(static_cast<size_t>(TextSize) + TLZH::MaxOverrun, '\0');
    int64_t used = -1;
    TLZH lzh;
    const int64_t written = lzh.UnpackMemory(TextSize, Input.data(), static_cast<int64_t>(Input.size()), out.data(),
                                             static_cast<int64_t>(out.size()), &used);
    out.resize(static_cast<size_t>(written));
    return {out, used};
}

// From memory a part at a time, the parts of random lengths (single bytes among them, and some
// across the window's 32 KB blocks); each part must reach its length and pass it by no more
// than a final match.
TDecoded DecodeInParts(const std::string& Input, int32_t TextSize)
{
    std::string out(static_cast<size_t>(std::max(TextSize, 0)) + TLZH::MaxOverrun, '\0');
    TLZHMemoryDecoder decoder(TextSize, Input.data(), static_cast<int64_t>(Input.size()), out.data(),
                              static_cast<int64_t>(out.size()));
    std::mt19937 rng(static_cast<uint32_t>(TextSize));
    int64_t done = 0;
    while (done < TextSize) {
        const uint32_t pick = rng() % 8;
        const int64_t want = done + (pick < 3 ? 1 : pick < 6 ? 1 + rng() % 300 : 1 + rng() % 70000);
        const int64_t previous = done;
        done = decoder.DecodeTo(want);
        EXPECT_GE(done, std::min<int64_t>(want, TextSize));
        EXPECT_LE(done, std::max(want, previous) + TLZH::MaxOverrun);
        if (done == previous)
            break;
    }
    out.resize(static_cast<size_t>(done));
    return {out, decoder.InputUsed()};
}

// Every way in gives the bytes and reads the input the byte pumps do.
void ExpectSameEveryWay(const std::string& Input, int32_t TextSize)
{
    const TDecoded pumped = DecodePumped(Input, TextSize);
    const TDecoded ways[] = {DecodeStream(TTrickleStream(), Input, TextSize),
                             DecodeStream(TMemoryStream(), Input, TextSize), DecodeMemory(Input, TextSize),
                             DecodeInParts(Input, TextSize)};
    for (const TDecoded& way : ways) {
        SCOPED_TRACE(&way - ways);
        EXPECT_TRUE(way.Out == pumped.Out);
        EXPECT_EQ(way.Read, pumped.Read);
    }
}

void ExpectRoundTrip(const std::string& Data)
{
    const std::string encoded = LzhEncode(Data);
    TMemoryStream in, out;
    in.WriteBuffer(encoded.data(), static_cast<int32_t>(encoded.size()));
    in.SetPosition(0);
    TLZH lzh;
    lzh.UnpackStreams(static_cast<int32_t>(Data.size()), in, out);
    // The encoder never lets a match run past the end, so the output is exactly the data.
    ASSERT_EQ(out.Size(), static_cast<int64_t>(Data.size()));
    EXPECT_TRUE(StreamText(out) == Data);
    EXPECT_EQ(in.Position(), in.Size());
}

} // namespace

// Worked out by hand from the starting tree (node n < 626 hangs below node 314 + n / 2, the
// child's index parity is its bit): 'A' is 111001101, the length-60 symbol 11000101; position
// 4035 is prefix 11111111 (upper bits 63) and low bits 000011.
TEST(LzhTest, DecodesStreamsWorkedOutByHand)
{
    EXPECT_EQ(Decode("\xE6\x80", 1), "A");
    EXPECT_EQ(Decode(std::string("\xC5\xFF\x0C", 3), 1), std::string(60, ' '));

    TLzhSymbolWriter a;
    a.Literal('A');
    EXPECT_EQ(a.Finish(), "\xE6\x80");
    TLzhSymbolWriter m;
    m.Match(60, 4035);
    EXPECT_EQ(m.Finish(), "\xC5\xFF\x0C");
}

TEST(LzhTest, RoundTripsAroundTheLookAheadAndRingSizes)
{
    const size_t sizes[] = {0, 1, 2, 3, 59, 60, 61, 4035, 4036, 4037, 4095, 4096, 4097, 8253};
    for (size_t size : sizes) {
        const std::pair<const char*, std::string> inputs[] = {
            {"random", RandomBytes(size, static_cast<uint32_t>(size))},
            {"run", std::string(size, 'a')},
            {"zeros", std::string(size, '\0')},
            {"spaces", std::string(size, ' ')},
            {"text", Text(size, 1)},
            {"pattern", [size] {
                 std::string s(size, '\0');
                 for (size_t i = 0; i < size; ++i)
                     s[i] = static_cast<char>(i % 7 == 0 ? 0xFF : i % 3);
                 return s;
             }()},
        };
        for (const auto& [kind, data] : inputs) {
            SCOPED_TRACE(std::string(kind) + " of " + std::to_string(size));
            ExpectRoundTrip(data);
        }
    }
    EXPECT_TRUE(LzhEncode("").empty());
}

TEST(LzhTest, RoundTripsAMegabyteOfMixedData)
{
    const std::string data = Text(512 * 1024, 2) + BitmapRows(512 * 1024, 3);
    const std::string encoded = LzhEncode(data);
    EXPECT_LT(encoded.size(), data.size() / 2);
    EXPECT_TRUE(Decode(encoded, static_cast<int32_t>(data.size())) == data);
}

// The root weight starts at 314 and grows by one a symbol; at 0x8000 the tree is rebuilt.
TEST(LzhTest, RoundTripsThroughTreeRebuilds)
{
    // Nearly every byte a literal: five rebuilds or so.
    ExpectRoundTrip(RandomBytes(100000, 9));
    // A few frequent bytes among rare ones: weights far apart when the leaves are halved.
    std::mt19937 rng(4);
    std::string skewed(120000, '\0');
    for (char& c : skewed)
        c = static_cast<char>(rng() % 16 == 0 ? rng() % 256 : "etaoin"[rng() % 6]);
    ExpectRoundTrip(skewed);
    // Long runs between noise: match lengths dominate the weights.
    std::string runs;
    while (runs.size() < 300000) {
        const size_t run = rng() % 200, noise = rng() % 8;
        const auto c = static_cast<char>(rng() % 4);
        runs += std::string(run, c) + RandomBytes(noise, static_cast<uint32_t>(rng()));
    }
    ExpectRoundTrip(runs);
}

// Weights 181, 307, ... (factor 1.7) on nine bytes put the unused bytes 18 levels down: codes
// longer than 16 bits, then a rebuild.
TEST(LzhTest, DecodesCodesLongerThanSixteenBits)
{
    std::string frequent;
    double weight = 181;
    for (int k = 0; k < 9; ++k, weight *= 1.7)
        frequent.append(static_cast<size_t>(weight), static_cast<char>('A' + k));
    std::shuffle(frequent.begin(), frequent.end(), std::mt19937(5));

    TCrafted s;
    s.Literals(frequent);
    for (int i = 0; i < 60; ++i)
        s.Literal(static_cast<uint8_t>(0x80 + i)); // the deepest leaves
    s.Match(60, 4000);
    s.Literals(RandomBytes(4000, 6)); // past the rebuild
    const std::string expected = s.Model.Output();
    EXPECT_TRUE(Decode(s.Writer.Finish(), static_cast<int32_t>(expected.size())) == expected);
}

TEST(LzhTest, MatchesReadTheInitialSpaces)
{
    // Leading spaces are coded as a match into the spaces the ring starts with.
    const std::string indented = std::string(70, ' ') + "Key=Value";
    const std::string encoded = LzhEncode(indented);
    EXPECT_LT(encoded.size(), 20u);
    EXPECT_EQ(Decode(encoded, static_cast<int32_t>(indented.size())), indented);

    TCrafted s;
    s.Literals("abc");   // ring 4036..4038
    s.Match(6, 5);       // from 4033: "   abc"
    s.Match(60, 4044);   // from ring position 0
    s.Match(10, 4095);   // from the write position itself, 9: not yet overwritten
    const std::string expected = s.Model.Output();
    ASSERT_EQ(expected, "abc   abc" + std::string(70, ' '));
    EXPECT_EQ(Decode(s.Writer.Finish(), static_cast<int32_t>(expected.size())), expected);

    // Before they are written, the ring bytes after the spaces are zeros (a stream the encoder
    // never makes: the match copies the byte it is about to overwrite).
    TLzhSymbolWriter w;
    w.Match(3, 4095);
    EXPECT_EQ(Decode(w.Finish(), 3), std::string(3, '\0'));
}

// After 4096 bytes of history, a match at every position (each prefix code and low bits) and
// matches that wrap the ring.
TEST(LzhTest, DecodesEveryPosition)
{
    TCrafted s;
    s.Literals(RandomBytes(4096, 7));
    std::mt19937 rng(8);
    for (int position = 0; position <= TLzhSymbolWriter::MaxPosition; ++position)
        s.Match(3 + static_cast<int>(rng() % 58), position);
    for (int i = 0; i < 200; ++i) {
        s.Match(60, static_cast<int>(rng() % 10)); // overlapping copies
        s.Literal(static_cast<uint8_t>(rng()));
    }
    const std::string expected = s.Model.Output();
    EXPECT_TRUE(Decode(s.Writer.Finish(), static_cast<int32_t>(expected.size())) == expected);
}

TEST(LzhTest, MissingInputReadsAsZeroBits)
{
    const std::string data = Text(20000, 10);
    const std::string encoded = LzhEncode(data);
    const std::string truncated = encoded.substr(0, encoded.size() / 2);
    const auto size = static_cast<int32_t>(data.size());

    const std::string decoded = Decode(truncated, size);
    ASSERT_GE(decoded.size(), data.size());
    EXPECT_LT(decoded.size(), data.size() + 60);
    EXPECT_EQ(decoded, Decode(truncated + std::string(20000, '\0'), size));
    // What the bytes that arrived describe is there.
    const size_t intact = data.size() / 4;
    EXPECT_EQ(decoded.substr(0, intact), data.substr(0, intact));

    // A pump that reports no byte: whatever it left in the buffer is not used.
    TLZH lzh;
    std::string pumped;
    size_t next = 0;
    lzh.Unpack(
        size,
        [&](void* Buffer, int32_t, int32_t& Actual) {
            if (next < truncated.size()) {
                *static_cast<char*>(Buffer) = truncated[next++];
                Actual = 1;
            } else {
                *static_cast<uint8_t*>(Buffer) = 0xFF;
                Actual = 0;
            }
        },
        [&](const void* Buffer, int32_t, int32_t& Actual) {
            pumped.push_back(*static_cast<const char*>(Buffer));
            Actual = 1;
        });
    EXPECT_EQ(pumped, decoded);

    // No input at all, and no input pump: the same bytes from zero bits alone.
    const std::string fromNothing = Decode("", 1000);
    EXPECT_GE(fromNothing.size(), 1000u);
    EXPECT_EQ(fromNothing, Decode(std::string(400, '\0'), 1000));
    std::string noPump;
    lzh.Unpack(1000, nullptr, [&](const void* Buffer, int32_t, int32_t&) { noPump.push_back(*static_cast<const char*>(Buffer)); });
    EXPECT_EQ(noPump, fromNothing);
}

TEST(LzhTest, NoOutputForTextSizeZeroOrLess)
{
    const std::string encoded = LzhEncode("some text");
    for (int32_t size : {0, -1, -100000}) {
        TLZH lzh;
        int calls = 0;
        lzh.Unpack(
            size, [&](void*, int32_t, int32_t& Actual) { ++calls, Actual = 0; },
            [&](const void*, int32_t, int32_t&) { ++calls; });
        EXPECT_EQ(calls, 0);

        TMemoryStream in, out;
        in.WriteBuffer(encoded.data(), static_cast<int32_t>(encoded.size()));
        in.SetPosition(0);
        lzh.UnpackStreams(size, in, out);
        EXPECT_EQ(out.Size(), 0);
        EXPECT_EQ(in.Position(), 0);
    }
}

// The length is tested between symbols only: a final match is copied whole.
TEST(LzhTest, AFinalMatchMayRunPastTextSize)
{
    TCrafted s;
    s.Literal('a');
    s.Match(60, 0);
    s.Literal('b');
    const std::string encoded = s.Writer.Finish();
    const std::string all = std::string(61, 'a') + "b";
    EXPECT_EQ(Decode(encoded, 1), "a");
    EXPECT_EQ(Decode(encoded, 2), std::string(61, 'a')); // 59 bytes over
    EXPECT_EQ(Decode(encoded, 61), std::string(61, 'a'));
    EXPECT_EQ(Decode(encoded, 62), all);

    // Stopping anywhere in an encoded text: a prefix of it, at most 59 bytes long.
    const std::string data = Text(3000, 11);
    const std::string encodedText = LzhEncode(data);
    for (int32_t size = 1; size < 3000; size += 37) {
        const std::string decoded = Decode(encodedText, size);
        ASSERT_GE(decoded.size(), static_cast<size_t>(size));
        ASSERT_LE(decoded.size(), static_cast<size_t>(size) + 59);
        ASSERT_EQ(decoded, data.substr(0, decoded.size()));
    }
}

TEST(LzhTest, PumpsMoveOneByteAtATime)
{
    const std::string data = Text(5000, 12) + RandomBytes(3000, 13);
    const std::string encoded = LzhEncode(data);
    TLZH lzh;
    size_t next = 0, gets = 0;
    std::string out;
    std::vector<int32_t> requested, counts;
    lzh.Unpack(
        static_cast<int32_t>(data.size()),
        [&](void* Buffer, int32_t Requested, int32_t& Actual) {
            requested.push_back(Requested);
            ++gets;
            Actual = 0;
            if (next < encoded.size()) {
                *static_cast<char*>(Buffer) = encoded[next++];
                Actual = 1;
            }
        },
        [&](const void* Buffer, int32_t Count, int32_t& Actual) {
            counts.push_back(Count);
            out.push_back(*static_cast<const char*>(Buffer));
            Actual = Count;
        });
    EXPECT_TRUE(out == data);
    EXPECT_TRUE(std::all_of(requested.begin(), requested.end(), [](int32_t n) { return n == 1; }));
    EXPECT_TRUE(std::all_of(counts.begin(), counts.end(), [](int32_t n) { return n == 1; }));
    // 9 bits or more are kept buffered before each bit is taken: the whole stream is read, and
    // one fetch more (which finds nothing).
    EXPECT_EQ(gets, encoded.size() + 1);

    // The same for streams that end in a literal or in a match, at every bit offset.
    for (size_t n = 1; n <= 16; ++n) {
        const std::string tail = RandomBytes(n, static_cast<uint32_t>(n));
        for (const std::string& x : {tail, tail + tail + tail + tail}) {
            const std::string e = LzhEncode(x);
            size_t fetches = 0;
            lzh.Unpack(
                static_cast<int32_t>(x.size()),
                [&](void* Buffer, int32_t, int32_t& Actual) {
                    Actual = fetches < e.size() ? (*static_cast<char*>(Buffer) = e[fetches], 1) : 0;
                    ++fetches;
                },
                nullptr);
            EXPECT_EQ(fetches, e.size() + 1) << n;
        }
    }

    // Discarding the output (no output pump) still consumes the input the same way.
    size_t discardedGets = 0;
    next = 0;
    lzh.Unpack(
        static_cast<int32_t>(data.size()),
        [&](void* Buffer, int32_t, int32_t& Actual) {
            ++discardedGets;
            Actual = next < encoded.size() ? (*static_cast<char*>(Buffer) = encoded[next++], 1) : 0;
        },
        nullptr);
    EXPECT_EQ(discardedGets, gets);
}

TEST(LzhTest, UnpackStreamsReadsFromThePositionAndWritesAtThePosition)
{
    const std::string data = Text(10000, 14);
    const std::string encoded = LzhEncode(data);
    TMemoryStream in, out;
    in.WriteBuffer("skip", 4);
    in.WriteBuffer(encoded.data(), static_cast<int32_t>(encoded.size()));
    in.SetPosition(4);
    out.WriteBuffer("head", 4);
    TLZH lzh;
    lzh.UnpackStreams(static_cast<int32_t>(data.size()), in, out);
    EXPECT_TRUE(StreamText(out) == "head" + data);
    EXPECT_EQ(out.Position(), out.Size());
    EXPECT_EQ(in.Position(), in.Size());
}

TEST(LzhTest, PumpExceptionsPassThrough)
{
    const std::string encoded = LzhEncode(Text(5000, 15));
    TLZH lzh;
    size_t next = 0;
    int written = 0;
    auto get = [&](void* Buffer, int32_t, int32_t& Actual) {
        Actual = next < encoded.size() ? (*static_cast<char*>(Buffer) = encoded[next++], 1) : 0;
    };
    EXPECT_THROW(lzh.Unpack(5000, get,
                            [&](const void*, int32_t, int32_t&) {
                                if (++written == 100)
                                    throw EWriteError("Stream write error");
                            }),
                 EWriteError);
    EXPECT_EQ(written, 100);
    // The same object decodes again from scratch (and the tables were freed: LeakSanitizer).
    next = 0;
    std::string out;
    lzh.Unpack(5000, get, [&](const void* Buffer, int32_t, int32_t&) { out.push_back(*static_cast<const char*>(Buffer)); });
    EXPECT_EQ(out, Text(5000, 15));
}

TEST(LzhTest, SymbolWriterRejectsWhatTheFormatCannotHold)
{
    TLzhSymbolWriter w;
    EXPECT_THROW(w.Match(2, 0), std::invalid_argument);
    EXPECT_THROW(w.Match(61, 0), std::invalid_argument);
    EXPECT_THROW(w.Match(3, -1), std::invalid_argument);
    EXPECT_THROW(w.Match(3, 4096), std::invalid_argument);
}

TEST(LzhTest, PackageWriterLaysOutTheContent)
{
    const std::vector<TPackageEntry> entries = {{"a.bmp", "BMxy"}, {"skin.ini", "[x]\r\n"}, {"empty", ""}};
    const std::string plain = BuildPlainContent(entries);
    const std::string names = "a.bmp\r\nskin.ini\r\nempty";
    std::string expected;
    auto le32 = [&expected](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            expected.push_back(static_cast<char>(v >> (8 * i)));
    };
    le32(20000);
    le32(static_cast<uint32_t>(names.size()));
    le32(0);
    le32(0);
    expected += names;
    le32(4);
    le32(5);
    le32(0);
    expected += "BMxy[x]\r\n";
    EXPECT_EQ(plain, expected);
    EXPECT_EQ(BuildPlainContent(entries, 19999).substr(0, 4), std::string("\x1F\x4E\0\0", 4));

    const std::string package = BuildPackage(entries);
    ASSERT_GT(package.size(), 4u);
    uint32_t length = 0;
    for (int i = 3; i >= 0; --i)
        length = length << 8 | static_cast<uint8_t>(package[static_cast<size_t>(i)]);
    EXPECT_EQ(length, plain.size());
    EXPECT_EQ(Decode(package.substr(4), static_cast<int32_t>(length)), plain);
    EXPECT_EQ(CompressPlain(plain), package);
}

// The block paths read ahead of the symbols and copy in words: cut anywhere (in the middle of a
// word the bit buffer loads, of a block a stream hands out), with or without bytes after the
// stream, stopped anywhere, they give what the byte pumps give and count as read what the byte
// pumps read.
TEST(LzhTest, BlockPathsReadAndWriteWhatThePumpsDo)
{
    const std::string data = Text(1500, 16) + RandomBytes(300, 17);
    const std::string encoded = LzhEncode(data);
    const auto size = static_cast<int32_t>(data.size());
    for (size_t cut = 0; cut <= encoded.size(); cut += 3) { // every alignment to a word
        SCOPED_TRACE(cut);
        ExpectSameEveryWay(encoded.substr(0, cut), size);
        if (cut % 7 == 0)
            ExpectSameEveryWay(encoded.substr(0, cut) + "\x5A\xA5\xFF", size);
    }
    // Stopping anywhere, with bytes after the stream to read ahead into.
    for (int32_t textSize = 1; textSize <= size; textSize += 7) {
        SCOPED_TRACE(textSize);
        ExpectSameEveryWay(encoded + "\x5A\xA5\xFF", textSize);
    }
    // The whole of it: the data, and one byte more than there is read.
    EXPECT_EQ(DecodeMemory(encoded, size).Out, data);
    EXPECT_EQ(DecodeMemory(encoded, size).Read, static_cast<int64_t>(encoded.size()));
    EXPECT_EQ(DecodeMemory(encoded + "xyz", size).Read, static_cast<int64_t>(encoded.size()) + 1);

    // Longer than a block of the input and of the output, stopping at different lengths.
    const std::string big = BitmapRows(150000, 18) + Text(60000, 19);
    const std::string bigEncoded = LzhEncode(big);
    for (int32_t textSize : {static_cast<int32_t>(big.size()), 65536, 32767})
        ExpectSameEveryWay(bigEncoded + "tail", textSize);
    EXPECT_TRUE(DecodeMemory(bigEncoded, static_cast<int32_t>(big.size())).Out == big);
}

// The output is written in runs: matches at every distance, the farthest (whole history back)
// and the nearest (overlapping their own bytes) at every alignment, run after run for far longer
// than the history, against the model.
TEST(LzhTest, MatchRunsFarAndNearOverLongOutputs)
{
    TCrafted s;
    s.Literals(RandomBytes(4096, 20));
    std::mt19937 rng(21);
    while (s.Model.Size() < 150000) {
        s.Match(60, TLzhSymbolWriter::MaxPosition); // the whole history back
        if (rng() % 5 == 0)
            s.Literal(static_cast<uint8_t>(rng())); // shifts the alignment
    }
    while (s.Model.Size() < 300000) {
        const unsigned kind = rng() % 4;
        const int position = kind == 0   ? static_cast<int>(rng() % 8)
                             : kind == 1 ? TLzhSymbolWriter::MaxPosition - static_cast<int>(rng() % 8)
                                         : static_cast<int>(rng() % 4096);
        s.Match(3 + static_cast<int>(rng() % 58), position);
        if (rng() % 3 == 0)
            s.Literal(static_cast<uint8_t>(rng()));
    }
    const std::string expected = s.Model.Output();
    const std::string encoded = s.Writer.Finish();
    const auto size = static_cast<int32_t>(expected.size());
    EXPECT_TRUE(DecodeMemory(encoded, size).Out == expected);
    EXPECT_TRUE(DecodeStream(TMemoryStream(), encoded, size).Out == expected);
    EXPECT_TRUE(DecodePumped(encoded, size).Out == expected);
}

TEST(LzhTest, UnpackMemoryWantsRoomForAFinalMatch)
{
    const std::string encoded = LzhEncode("some text");
    std::string out(9 + TLZH::MaxOverrun, '*');
    TLZH lzh;
    int64_t used = -1;
    EXPECT_THROW(lzh.UnpackMemory(9, encoded.data(), static_cast<int64_t>(encoded.size()), out.data(),
                                  static_cast<int64_t>(out.size()) - 1, &used),
                 ElzhException);
    EXPECT_EQ(out, std::string(out.size(), '*'));
    EXPECT_EQ(lzh.UnpackMemory(9, encoded.data(), static_cast<int64_t>(encoded.size()), out.data(),
                               static_cast<int64_t>(out.size()), &used),
              9);
    EXPECT_EQ(out.substr(0, 9), "some text");
    EXPECT_EQ(used, static_cast<int64_t>(encoded.size()));
    EXPECT_EQ(lzh.UnpackMemory(0, encoded.data(), static_cast<int64_t>(encoded.size()), nullptr, 0, &used), 0);
    EXPECT_EQ(used, 0);
}
