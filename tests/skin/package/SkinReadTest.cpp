// The package reader: lookups, versions, and packages that are not valid, which must give false
// without a crash, an out-of-bounds read or a huge allocation.
#include "skin/package/SkinRead.h"

#include "framework/core/Dialogs.h"
#include "tests/support/Bytes.h"
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

} // namespace
