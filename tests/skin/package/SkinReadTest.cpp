// The package reader: lookups, versions, and packages that are not valid, which must give false
// without a crash, an out-of-bounds read or a huge allocation.
#include "skin/package/SkinRead.h"

#include "framework/core/Dialogs.h"
#include "tests/support/AllocationTracker.h"
#include "tests/support/Bytes.h"
#include "tools/skinpack/LzhEncoder.h"
#include "tools/skinpack/PackageWriter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Collects what the reader would show in a message box.
class MessageCatcher {
public:
    MessageCatcher()
    {
        FOld = SetMessageBoxHandler([this](const std::string& text, const std::string&, uint32_t) {
            Messages.push_back(text);
            return 1;
        });
    }
    ~MessageCatcher() { SetMessageBoxHandler(FOld); }
    std::vector<std::string> Messages;

private:
    TMessageBoxHandler FOld;
};

// A memory stream holding the given bytes, at position 0.
struct TBytes : TMemoryStream {
    explicit TBytes(const std::string& bytes)
    {
        if (!bytes.empty())
            WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
        SetPosition(0);
    }
};

std::string Bytes(const TMemoryStream& s)
{
    return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

// A package of plain content whose name table is Table, followed by Tail (sizes and data, or
// nothing).
std::string WithNameTable(const std::string& Table, const std::string& Tail)
{
    std::string plain(16, '\0');
    test_bytes::Set32(plain, 0, 20000);
    test_bytes::Set32(plain, 4, static_cast<uint32_t>(Table.size()));
    return CompressPlain(plain + Table + Tail);
}

// The package of a header, Size bytes of one byte written as one literal and matches of 60, and
// a tail: large content cheaply (the encoder proper would spend its time finding the matches).
std::string RunPackage(const std::string& Header, char Byte, size_t Size, const std::string& Tail)
{
    TLzhSymbolWriter w;
    for (char c : Header)
        w.Literal(static_cast<uint8_t>(c));
    w.Literal(static_cast<uint8_t>(Byte));
    size_t left = Size - 1;
    for (; left >= 60; left -= 60)
        w.Match(60, 0);
    for (; left > 0; --left)
        w.Literal(static_cast<uint8_t>(Byte));
    for (char c : Tail)
        w.Literal(static_cast<uint8_t>(c));
    std::string package(4, '\0');
    test_bytes::Set32(package, 0, static_cast<uint32_t>(Header.size() + Size + Tail.size()));
    return package + w.Finish();
}

// Opens Package with a tracker running; the earlier package "keep.ini" stays. MaxBytes is the
// content's and the decoder's share; the reader's own copy of the package comes on top.
void ExpectRefusedWithin(const std::string& Package, uint64_t MaxBytes, const std::string& Why)
{
    TSkinReader reader;
    TBytes good(BuildPackage({{"keep.ini", "kept"}}));
    ASSERT_TRUE(reader.Open(good));
    TBytes package(Package);
    TAllocationTracker tracker;
    EXPECT_FALSE(reader.Open(package));
    EXPECT_EQ(reader.LastError(), Why);
    if (TAllocationTracker::Available()) {
        const uint64_t limit = MaxBytes > UINT64_MAX - Package.size() ? UINT64_MAX : MaxBytes + Package.size();
        EXPECT_LE(tracker.Bytes(), limit);
    }
    EXPECT_EQ(reader.EntryCount(), 1);
}

const std::vector<TPackageEntry> kEntries = {
    {"Skin.ini", "[TitlebarSkin]\r\nSkinName=Test\r\n"},
    {"blue_frametop.bmp", "BM-top-bytes"},
    {"Twice.bmp", "first copy"},
    {"empty.bmp", ""},
    {"twice.bmp", "second copy"},
};

TEST(SkinReadTest, EntriesAreFoundByNameWithoutRegardToCase)
{
    TSkinReader reader;
    TBytes package(BuildPackage(kEntries));
    ASSERT_TRUE(reader.Open(package)) << reader.LastError();
    EXPECT_EQ(reader.EntryCount(), 5);
    EXPECT_EQ(reader.Names()[0], "skin.ini");
    EXPECT_EQ(reader.StoredName(0), "Skin.ini");
    EXPECT_EQ(reader.Header().Version, 20000);

    TMemoryStream out;
    reader.ExtractEntry("Blue_FrameTop.BMP", out);
    EXPECT_EQ(Bytes(out), "BM-top-bytes");
    EXPECT_EQ(out.Position(), 0);
    reader.ExtractEntry("twice.bmp", out); // stored twice: the first copy
    EXPECT_EQ(Bytes(out), "first copy");
    reader.ExtractEntry("empty.bmp", out);
    EXPECT_EQ(out.Size(), 0);
    reader.ExtractEntry("missing.bmp", out);
    EXPECT_EQ(out.Size(), 0);

    std::string name = "unchanged";
    reader.ExtractEntryContaining(".ini", out, name);
    EXPECT_EQ(name, "skin.ini");
    EXPECT_EQ(Bytes(out), kEntries[0].Data);
    name = "unchanged";
    reader.ExtractEntryContaining(".INI", out, name); // the text is not lower-cased
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(out.Size(), 0);
}

TEST(SkinReadTest, TrailingLineBreakInTheNameTableAddsNoEntry)
{
    std::string plain = BuildPlainContent({{"a.ini", "A"}, {"b.bmp", "BB"}});
    // Insert a CR LF after the name table "a.ini\r\nb.bmp" and fix its length.
    const size_t tableEnd = 16 + std::strlen("a.ini\r\nb.bmp");
    plain.insert(tableEnd, "\r\n");
    test_bytes::Set32(plain, 4, static_cast<int32_t>(std::strlen("a.ini\r\nb.bmp\r\n")));
    TSkinReader reader;
    TBytes package(CompressPlain(plain));
    ASSERT_TRUE(reader.Open(package)) << reader.LastError();
    EXPECT_EQ(reader.EntryCount(), 2);
    TMemoryStream out;
    reader.ExtractEntry("b.bmp", out);
    EXPECT_EQ(Bytes(out), "BB");
}

TEST(SkinReadTest, OtherVersionsShowTheMessageAndKeepTheEarlierSkin)
{
    MessageCatcher catcher;
    TSkinReader reader;
    TBytes good(BuildPackage(kEntries));
    ASSERT_TRUE(reader.Open(good));
    for (int32_t version : {19999, 20001}) {
        TBytes old(BuildPackage({{"other.ini", "x"}}, version));
        EXPECT_FALSE(reader.Open(old));
    }
    ASSERT_EQ(catcher.Messages.size(), 2u);
    EXPECT_EQ(catcher.Messages[0], "This is Older Skin File\rPlease update to new version !");
    EXPECT_EQ(reader.EntryCount(), 5);
    TMemoryStream out;
    reader.ExtractEntry("blue_frametop.bmp", out);
    EXPECT_EQ(Bytes(out), "BM-top-bytes");
}

TEST(SkinReadTest, InvalidPackagesAreRefusedQuietly)
{
    MessageCatcher catcher;
    const std::string plain = BuildPlainContent(kEntries);
    auto withPlain = [](std::string p) { return CompressPlain(p); };
    auto patched = [&](size_t at, int32_t v) {
        std::string p = plain;
        test_bytes::Set32(p, at, v);
        return withPlain(p);
    };
    std::string huge = BuildPackage(kEntries);
    test_bytes::Set32(huge, 0, static_cast<int32_t>(0xFFFFFFFFu));
    std::string overCap = BuildPackage(kEntries);
    test_bytes::Set32(overCap, 0, (64 << 20) + 1);

    std::string manyNames;
    for (int i = 0; i < 1002; ++i)
        manyNames += "e" + std::to_string(i) + ".bmp\r\n";
    std::string tooMany(16, '\0');
    test_bytes::Set32(tooMany, 0, 20000);
    test_bytes::Set32(tooMany, 4, static_cast<int32_t>(manyNames.size()));
    tooMany += manyNames + std::string(4 * 1002, '\0');

    const size_t sizesAt = 16 + static_cast<size_t>(plain[4] & 0xFF) + (static_cast<size_t>(plain[5] & 0xFF) << 8);
    const struct {
        const char* What;
        std::string Package;
    } cases[] = {
        {"empty", ""},
        {"three bytes", "abc"},
        {"declared length 4 GiB - 1", huge},
        {"declared length above the cap", overCap},
        {"content shorter than the header", withPlain(plain.substr(0, 10))},
        {"negative name table length", patched(4, -5)},
        {"name table past the content", patched(4, 1 << 20)},
        {"more than 1001 entries", withPlain(tooMany)},
        {"negative entry size", patched(sizesAt, -1)},
        {"sizes past the entry data", patched(sizesAt, 1 << 30)},
        {"sizes missing", withPlain(plain.substr(0, sizesAt + 2))},
    };
    TSkinReader reader;
    TBytes good(BuildPackage({{"keep.ini", "kept"}}));
    ASSERT_TRUE(reader.Open(good));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TBytes package(c.Package);
        EXPECT_FALSE(reader.Open(package));
        EXPECT_FALSE(reader.LastError().empty());
        EXPECT_EQ(reader.EntryCount(), 1); // the earlier package is kept
    }
    EXPECT_TRUE(catcher.Messages.empty());
    TMemoryStream out;
    reader.ExtractEntry("keep.ini", out);
    EXPECT_EQ(Bytes(out), "kept");
}

TEST(SkinReadTest, ATruncatedStreamStillDecodesToItsDeclaredLength)
{
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "line " + std::to_string(i) + " of a description\r\n";
    const std::string package = CompressPlain(text);
    TBytes cut(package.substr(0, package.size() / 2));
    TMemoryStream plain;
    ASSERT_TRUE(TSkinReader::Decompress(cut, plain));
    EXPECT_GE(plain.Size(), static_cast<int64_t>(text.size()));
    EXPECT_LT(plain.Size(), static_cast<int64_t>(text.size()) + 60);
    // What the remaining bits encoded still comes out right.
    EXPECT_EQ(Bytes(plain).substr(0, 200), text.substr(0, 200));
}

// Entries are decoded as they are read; one that reaches past the end of a package cut short is
// known to be damaged, and the entries before the cut are whole.
TEST(SkinReadTest, AnEntryPastTheCutOfAPackageCutShortIsKnownDamaged)
{
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += static_cast<char>((i * 7919) % 251);
    const std::string description = "[TitlebarSkin]\r\nSkinName=Front\r\n";
    const std::string package = BuildPackage({{"skin.ini", description}, {"big.bmp", big}});
    TMemoryStream out;

    TBytes whole(package);
    TSkinReader reader;
    ASSERT_TRUE(reader.Open(whole));
    reader.ExtractEntry("big.bmp", out);
    EXPECT_TRUE(Bytes(out) == big);
    EXPECT_FALSE(reader.CutShort());

    TBytes cut(package.substr(0, package.size() * 2 / 3));
    ASSERT_TRUE(reader.Open(cut));
    reader.ExtractEntry("skin.ini", out);
    EXPECT_EQ(Bytes(out), description);
    EXPECT_FALSE(reader.CutShort());
    reader.ExtractEntry("big.bmp", out);
    EXPECT_EQ(out.Size(), static_cast<int64_t>(big.size()));
    EXPECT_TRUE(reader.CutShort());
}

// The description entry is written to a file of its name in the temporary folder: a name that
// leads out of it makes the package invalid, whichever entry carries it.
TEST(SkinReadTest, NamesWithAFolderADriveDotDotOrADeviceAreRefused)
{
    MessageCatcher catcher;
    for (const char* name : {"..\\victim.ini", "../victim.ini", "..", "skins\\x.ini", "a/b.bmp", "C:victim.ini",
                             "c:\\windows\\win.ini", "x..ini", "\\\\server\\share.ini"}) {
        SCOPED_TRACE(name);
        const std::string bitmap = std::string("BM") + name; // the name kept in the bytes too
        ExpectRefusedWithin(BuildPackage({{"skin.ini", "[A]\r\n"}, {"ok.bmp", "BM"}, {name, bitmap}}), UINT64_MAX,
                            "entry name \"" + std::string(name) + "\" has a folder, a drive or \"..\" in it");
    }
    // Device names open a device wherever the file is written.
    for (const char* name : {"con.ini", "NUL.bmp", "com1.ini", "Lpt9.bmp", "aux"}) {
        SCOPED_TRACE(name);
        ExpectRefusedWithin(BuildPackage({{"skin.ini", "[A]\r\n"}, {name, "BM"}}), UINT64_MAX,
                            "entry name \"" + std::string(name) + "\" names a device");
    }
    EXPECT_TRUE(catcher.Messages.empty());

    // Dots, blanks and other marks are names like any other; so are names a device name begins.
    TSkinReader reader;
    TBytes package(BuildPackage({{"my.skin.ini", "[A]\r\n"}, {".frame.bmp", "a"}, {"a b (2).bmp", "b"},
                                 {"console.bmp", "c"}, {"com10.bmp", "d"}}));
    ASSERT_TRUE(reader.Open(package)) << reader.LastError();
    EXPECT_EQ(reader.EntryCount(), 5);
}

// Names are counted before any is made: a name table of line breaks costs no list of millions
// of empty names. What the reader allocates stays near the content it decoded.
TEST(SkinReadTest, NameTablesAreCountedBeforeTheyAreSplit)
{
    const size_t breaks = 512 * 1024;
    std::string header(16, '\0');
    test_bytes::Set32(header, 0, 20000);
    test_bytes::Set32(header, 4, static_cast<uint32_t>(breaks));
    // The decoded content (with a final match's overrun) and the decoder's tables.
    const std::string room(4 * 1001, '\0');
    const uint64_t budget = 16 + breaks + room.size() + 60 + 64 * 1024;
    ExpectRefusedWithin(RunPackage(header, '\n', breaks, room), budget, "more than 1001 entries");
    ExpectRefusedWithin(RunPackage(header, '\r', breaks, room), budget, "more than 1001 entries");
    ExpectRefusedWithin(RunPackage(header, '\n', breaks, ""), budget, "entry sizes run past the content");
    // Fewer names than 1001, but more than the content has sizes for.
    ExpectRefusedWithin(WithNameTable(std::string(1000, '\n'), std::string(3996, '\0')), budget,
                        "entry sizes run past the content");
    // One name of half a megabyte.
    ExpectRefusedWithin(RunPackage(header, 'a', breaks, room), budget, "an entry name is longer than 1024 bytes");

    // At the limits: 1001 names, a name of 1024 bytes, and breaks of every kind (CR LF, lone CR,
    // lone LF, an empty name between two) counted as the lines they make.
    std::string names;
    for (int i = 0; i < 1000; ++i)
        names += "e" + std::to_string(i) + ".bmp\r\n";
    names += std::string(1020, 'n') + ".ini";
    std::string sizes(4 * 1001, '\0');
    test_bytes::Set32(sizes, 4 * 1000, 3);
    TSkinReader reader;
    TBytes full(WithNameTable(names, sizes + "INI"));
    ASSERT_TRUE(reader.Open(full)) << reader.LastError();
    EXPECT_EQ(reader.EntryCount(), 1001);
    TMemoryStream out;
    std::string name;
    reader.ExtractEntryContaining(".ini", out, name);
    EXPECT_EQ(name.size(), 1024u);
    EXPECT_EQ(Bytes(out), "INI");

    std::string mixedSizes;
    for (uint32_t size : {1u, 2u, 3u, 0u, 4u})
        test_bytes::Put32(mixedSizes, size);
    TBytes mixed(WithNameTable("a.ini\rb.bmp\nc.bmp\r\n\r\nd.bmp\r\n", mixedSizes + "ABBCCCDDDD"));
    ASSERT_TRUE(reader.Open(mixed)) << reader.LastError();
    ASSERT_EQ(reader.EntryCount(), 5);
    EXPECT_EQ(reader.Names()[3], "");
    reader.ExtractEntry("d.bmp", out);
    EXPECT_EQ(Bytes(out), "DDDD");
}

// A declared length is believed only as far as the compressed bytes can produce it (missing input
// decodes as zero bits for ever): a few bytes declaring megabytes are refused before any decoding.
// A run of one byte, the best any stream compresses, still opens.
TEST(SkinReadTest, DeclaredLengthsTheDataCannotHoldAreRefusedUndecoded)
{
    std::string small = BuildPackage({{"skin.ini", "[A]\r\n"}});
    const auto stream = static_cast<uint32_t>(small.size() - 4);
    test_bytes::Set32(small, 0, 48 * stream + 60);
    ExpectRefusedWithin(small, 64 * 1024,
                        "declared content length " + std::to_string(48 * stream + 60) + " is more than " +
                            std::to_string(stream) + " compressed bytes can hold");
    std::string tiny(1000, '\0');
    test_bytes::Set32(tiny, 0, (64 << 20) - 1);
    ExpectRefusedWithin(tiny, 64 * 1024, "declared content length 67108863 is more than 996 compressed bytes can hold");

    const std::string run(400 * 1024, 'A');
    const std::string package = BuildPackage({{"skin.ini", "[A]\r\n"}, {"run.bmp", run}});
    EXPECT_GT(static_cast<double>(run.size()) / static_cast<double>(package.size()), 45.0);
    TSkinReader reader;
    TBytes bytes(package);
    ASSERT_TRUE(reader.Open(bytes)) << reader.LastError();
    TMemoryStream out;
    reader.ExtractEntry("run.bmp", out);
    EXPECT_TRUE(Bytes(out) == run);
}

} // namespace
