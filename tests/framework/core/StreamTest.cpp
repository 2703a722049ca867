#include "framework/core/Stream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string Contents(TMemoryStream& stream)
{
    const auto* p = static_cast<const char*>(stream.Memory());
    return p == nullptr ? std::string() : std::string(p, p + stream.Size());
}

void WriteText(TStream& stream, const std::string& text)
{
    stream.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
}

std::string ReadAll(TStream& stream)
{
    stream.SetPosition(0);
    std::string out(static_cast<size_t>(stream.Size()), '\0');
    stream.ReadBuffer(out.data(), static_cast<int32_t>(out.size()));
    return out;
}

std::vector<uint8_t> AllByteValues()
{
    std::vector<uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    return bytes;
}

std::string ExpectedMessage(const char* verb, const std::string& name, int error)
{
    return std::string("Cannot ") + verb + " file \"" + name + "\". " + std::strerror(error);
}

} // namespace

// TMemoryStream: position, size and growth

TEST(MemoryStreamTest, StartsEmpty)
{
    TMemoryStream s;
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
    char c = 'x';
    EXPECT_EQ(s.Read(&c, 1), 0);
    EXPECT_EQ(c, 'x');
}

TEST(MemoryStreamTest, WriteAdvancesAndReadsBack)
{
    TMemoryStream s;
    EXPECT_EQ(s.Write("hello", 5), 5);
    EXPECT_EQ(s.Position(), 5);
    EXPECT_EQ(s.Size(), 5);
    EXPECT_EQ(s.Write(" world", 6), 6);
    EXPECT_EQ(Contents(s), "hello world");

    s.SetPosition(6);
    char buf[5] = {};
    s.ReadBuffer(buf, 5);
    EXPECT_EQ(std::string(buf, 5), "world");
    EXPECT_EQ(s.Position(), 11);

    // Overwriting in the middle keeps the size.
    s.SetPosition(0);
    WriteText(s, "HE");
    EXPECT_EQ(Contents(s), "HEllo world");
    EXPECT_EQ(s.Size(), 11);
}

TEST(MemoryStreamTest, ManySmallWritesGrowCapacityGeometrically)
{
    TMemoryStream s;
    int reallocations = 0;
    int64_t capacity = s.Capacity();
    for (int i = 0; i < 100000; ++i) {
        const auto b = static_cast<uint8_t>(i * 7);
        s.WriteBuffer(&b, 1);
        if (s.Capacity() != capacity) {
            ++reallocations;
            capacity = s.Capacity();
        }
    }
    EXPECT_EQ(s.Size(), 100000);
    EXPECT_GE(s.Capacity(), s.Size());
    EXPECT_LT(reallocations, 20);
    const auto* p = static_cast<const uint8_t*>(s.Memory());
    for (int i = 0; i < 100000; ++i)
        ASSERT_EQ(p[i], static_cast<uint8_t>(i * 7)) << "at " << i;
}

TEST(MemoryStreamTest, SeekOrigins)
{
    TMemoryStream s;
    WriteText(s, "0123456789");
    EXPECT_EQ(s.Seek(3, TSeekOrigin::soBeginning), 3);
    EXPECT_EQ(s.Seek(2, TSeekOrigin::soCurrent), 5);
    EXPECT_EQ(s.Seek(-1, TSeekOrigin::soCurrent), 4);
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd), 8);
    char c = 0;
    s.ReadBuffer(&c, 1);
    EXPECT_EQ(c, '8');
}

TEST(MemoryStreamTest, SeekBeforeStartOrOverflowingRaisesAndKeepsPosition)
{
    TMemoryStream s;
    WriteText(s, "abc");
    s.SetPosition(1);
    EXPECT_THROW(s.Seek(-2, TSeekOrigin::soCurrent), EStreamError);
    EXPECT_THROW(s.Seek(-4, TSeekOrigin::soEnd), EStreamError);
    EXPECT_THROW(s.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
    EXPECT_THROW(s.Seek(INT64_MAX, TSeekOrigin::soCurrent), EStreamError);
    EXPECT_THROW(s.Seek(INT64_MIN, TSeekOrigin::soCurrent), EStreamError);
    EXPECT_EQ(s.Position(), 1);
}

TEST(MemoryStreamTest, SeekPastEndThenWriteFillsGapWithZeros)
{
    TMemoryStream s;
    WriteText(s, "ab");
    EXPECT_EQ(s.Seek(6, TSeekOrigin::soBeginning), 6);
    EXPECT_EQ(s.Size(), 2); // seeking alone does not grow
    char c = 'x';
    EXPECT_EQ(s.Read(&c, 1), 0);
    WriteText(s, "z");
    EXPECT_EQ(s.Size(), 7);
    EXPECT_EQ(Contents(s), std::string("ab\0\0\0\0z", 7));
}

TEST(MemoryStreamTest, GapOverOldContentReadsAsZeros)
{
    // Bytes dropped by a shrink must not come back when the stream grows again.
    TMemoryStream s;
    WriteText(s, "abcdefgh");
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2); // clamped to the new end
    s.SetSize(5);
    EXPECT_EQ(Contents(s), std::string("ab\0\0\0", 5));
    s.SetSize(1);
    s.SetPosition(4);
    WriteText(s, "Z");
    EXPECT_EQ(Contents(s), std::string("a\0\0\0Z", 5));
}

TEST(MemoryStreamTest, SetSizeKeepsContentAndPosition)
{
    TMemoryStream s;
    WriteText(s, "abc");
    s.SetPosition(1);
    s.SetSize(1000);
    EXPECT_EQ(s.Size(), 1000);
    EXPECT_EQ(s.Position(), 1);
    EXPECT_EQ(Contents(s).substr(0, 4), std::string("abc\0", 4));
}

TEST(MemoryStreamTest, SizeLimitsRaise)
{
    TMemoryStream s;
    WriteText(s, "abc");
    for (int64_t size : {int64_t(-1), TMemoryStream::MaxSize + 1, INT64_MAX}) {
        try {
            s.SetSize(size);
            ADD_FAILURE() << "SetSize(" << size << ") did not raise";
        } catch (const EStreamError& e) {
            EXPECT_EQ(e.Message(), "Out of memory while expanding memory stream");
        }
    }
    EXPECT_EQ(Contents(s), "abc");

    // A write that would end past the limit raises before allocating anything.
    s.Seek(TMemoryStream::MaxSize, TSeekOrigin::soBeginning);
    EXPECT_THROW(s.Write("x", 1), EStreamError);
    s.Seek(INT64_MAX, TSeekOrigin::soBeginning);
    EXPECT_THROW(s.Write("x", 1), EStreamError);
    EXPECT_EQ(s.Size(), 3);
    EXPECT_LT(s.Capacity(), 1 << 20);
}

TEST(MemoryStreamTest, NegativeCountsTransferNothing)
{
    TMemoryStream s;
    WriteText(s, "abc");
    s.SetPosition(0);
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(s.Read(buf, -1), 0);
    EXPECT_EQ(s.Write(buf, -1), 0);
    EXPECT_EQ(s.Read(buf, INT32_MIN), 0);
    EXPECT_NO_THROW(s.ReadBuffer(buf, -5));
    EXPECT_NO_THROW(s.WriteBuffer(buf, -5));
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(Contents(s), "abc");
    EXPECT_EQ(buf[0], 'x');
}

TEST(MemoryStreamTest, ShortReadReportsCountAndReadBufferRaises)
{
    TMemoryStream s;
    WriteText(s, "abc");
    s.SetPosition(1);
    char buf[10] = {};
    EXPECT_EQ(s.Read(buf, 10), 2);
    EXPECT_EQ(std::string(buf, 2), "bc");
    EXPECT_EQ(s.Read(buf, 10), 0);
    s.SetPosition(100);
    EXPECT_EQ(s.Read(buf, 1), 0);

    s.SetPosition(0);
    try {
        s.ReadBuffer(buf, 4);
        FAIL() << "ReadBuffer past the end did not raise";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
}

TEST(MemoryStreamTest, Int32IsLittleEndian)
{
    TMemoryStream s;
    s.WriteInt32(0x12345678);
    s.WriteInt32(-2);
    s.WriteInt32(INT32_MIN);
    EXPECT_EQ(Contents(s), std::string("\x78\x56\x34\x12\xFE\xFF\xFF\xFF\x00\x00\x00\x80", 12));
    s.SetPosition(0);
    EXPECT_EQ(s.ReadInt32(), 0x12345678);
    EXPECT_EQ(s.ReadInt32(), -2);
    EXPECT_EQ(s.ReadInt32(), INT32_MIN);
    EXPECT_THROW(s.ReadInt32(), EReadError);

    s.SetSize(14);
    s.SetPosition(12);
    EXPECT_THROW(s.ReadInt32(), EReadError); // two bytes left
}

TEST(MemoryStreamTest, ClearFreesEverything)
{
    TMemoryStream s;
    WriteText(s, "abc");
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(s.Capacity(), 0);
    EXPECT_EQ(s.Memory(), nullptr);
    WriteText(s, "d");
    EXPECT_EQ(Contents(s), "d");
}

TEST(MemoryStreamTest, LoadFromStreamTakesWholeSourceFromItsStart)
{
    TMemoryStream source;
    WriteText(source, "0123456789");
    source.SetPosition(7);

    TMemoryStream s;
    WriteText(s, "old content that is longer");
    s.LoadFromStream(source);
    EXPECT_EQ(Contents(s), "0123456789");
    EXPECT_EQ(s.Position(), 0);

    s.LoadFromStream(s); // loading itself changes nothing
    EXPECT_EQ(Contents(s), "0123456789");
}

TEST(MemoryStreamTest, SaveToStreamWritesAllAtTargetPosition)
{
    TMemoryStream s;
    WriteText(s, "abc");
    s.SetPosition(2);

    TMemoryStream target;
    WriteText(target, "XYZ");
    target.SetPosition(1);
    s.SaveToStream(target);
    EXPECT_EQ(Contents(target), "Xabc");
    EXPECT_EQ(target.Position(), 4);
    EXPECT_EQ(s.Position(), 2);

    TMemoryStream empty;
    empty.SaveToStream(target);
    EXPECT_EQ(target.Size(), 4);
}

// CopyFrom

TEST(StreamCopyTest, CountZeroCopiesWholeSourceFromItsStart)
{
    TMemoryStream source;
    WriteText(source, "0123456789");
    source.SetPosition(6);

    TMemoryStream dest;
    WriteText(dest, ">");
    EXPECT_EQ(dest.CopyFrom(source, 0), 10);
    EXPECT_EQ(Contents(dest), ">0123456789");
    EXPECT_EQ(source.Position(), 10);

    TMemoryStream empty;
    EXPECT_EQ(dest.CopyFrom(empty, 0), 0);
    EXPECT_EQ(dest.Size(), 11);
}

TEST(StreamCopyTest, CountCopiesFromSourcePosition)
{
    TMemoryStream source;
    WriteText(source, "0123456789");
    source.SetPosition(3);

    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 4), 4);
    EXPECT_EQ(Contents(dest), "3456");
    EXPECT_EQ(source.Position(), 7);
    EXPECT_EQ(dest.Position(), 4);
    EXPECT_EQ(dest.CopyFrom(source, -1), 0);
    EXPECT_EQ(source.Position(), 7);
}

TEST(StreamCopyTest, LargeCopySpansSeveralChunks)
{
    TMemoryStream source;
    std::vector<uint8_t> data(300001);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 31 + i / 256);
    source.WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
    source.SetPosition(1);

    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 300000), 300000);
    ASSERT_EQ(dest.Size(), 300000);
    EXPECT_EQ(std::memcmp(dest.Memory(), data.data() + 1, 300000), 0);
}

TEST(StreamCopyTest, ShortSourceRaises)
{
    TMemoryStream source;
    WriteText(source, "0123456789");
    source.SetPosition(8);
    TMemoryStream dest;
    EXPECT_THROW(dest.CopyFrom(source, 3), EReadError);
}

// TFileStream

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        FPath = (std::filesystem::temp_directory_path() /
                 (std::string("pembrox_") + info->test_suite_name() + "_" + info->name() + ".bin"))
                    .string();
        std::filesystem::remove(FPath);
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove(FPath, ec);
    }

    static std::string TempFolder()
    {
        std::string dir = std::filesystem::temp_directory_path().string();
        if (dir.empty() || (dir.back() != '/' && dir.back() != '\\'))
            dir += static_cast<char>(std::filesystem::path::preferred_separator);
        return dir;
    }

    std::string FPath;
};

TEST_F(FileStreamTest, RoundTripIsByteExact)
{
    // All byte values, so any newline translation or stop at ^Z shows.
    const std::vector<uint8_t> bytes = AllByteValues();
    TMemoryStream out;
    out.WriteBuffer(bytes.data(), 256);
    out.WriteBuffer(bytes.data(), 256);
    out.SaveToFile(FPath);
    EXPECT_EQ(std::filesystem::file_size(FPath), 512u);

    TMemoryStream in;
    in.LoadFromFile(FPath);
    ASSERT_EQ(in.Size(), 512);
    EXPECT_EQ(std::memcmp(in.Memory(), bytes.data(), 256), 0);
    EXPECT_EQ(std::memcmp(static_cast<const uint8_t*>(in.Memory()) + 256, bytes.data(), 256), 0);

    TFileStream f(FPath, fmOpenRead);
    EXPECT_EQ(f.Size(), 512);
    EXPECT_EQ(f.Position(), 0);
    f.SetPosition(13);
    uint8_t b = 0;
    f.ReadBuffer(&b, 1);
    EXPECT_EQ(b, 13);
}

TEST_F(FileStreamTest, CreateTruncatesAnExistingFile)
{
    {
        TFileStream f(FPath, fmCreate);
        WriteText(f, "0123456789");
        EXPECT_EQ(f.Size(), 10);
    }
    TFileStream f(FPath, fmCreate);
    EXPECT_EQ(f.Size(), 0);
}

TEST_F(FileStreamTest, OpenWriteKeepsContent)
{
    {
        TFileStream f(FPath, fmCreate);
        WriteText(f, "0123456789");
    }
    {
        TFileStream f(FPath, fmOpenWrite | fmShareExclusive);
        f.SetPosition(2);
        WriteText(f, "ab");
    }
    TFileStream f(FPath, fmOpenRead | fmShareDenyNone);
    EXPECT_EQ(ReadAll(f), "01ab456789");
}

TEST_F(FileStreamTest, MixedReadsWritesAndSeeks)
{
    TFileStream f(FPath, fmCreate);
    WriteText(f, "abcdef");
    EXPECT_EQ(f.Position(), 6);
    f.SetPosition(1);
    char c = 0;
    f.ReadBuffer(&c, 1);
    EXPECT_EQ(c, 'b');
    WriteText(f, "X"); // at 2, straight after a read
    f.ReadBuffer(&c, 1);
    EXPECT_EQ(c, 'd');
    EXPECT_EQ(f.Seek(-1, TSeekOrigin::soEnd), 5);
    EXPECT_EQ(f.Seek(-2, TSeekOrigin::soCurrent), 3);
    EXPECT_THROW(f.Seek(-10, TSeekOrigin::soCurrent), EStreamError);
    EXPECT_EQ(f.Position(), 3);

    // Past the end, then a write: the gap reads as zeros.
    EXPECT_EQ(f.Seek(9, TSeekOrigin::soBeginning), 9);
    WriteText(f, "Z");
    EXPECT_EQ(f.Size(), 10);
    EXPECT_EQ(ReadAll(f), std::string("abXdef\0\0\0Z", 10));
}

TEST_F(FileStreamTest, ShortReadReportsCount)
{
    TFileStream f(FPath, fmCreate);
    WriteText(f, "abc");
    f.SetPosition(1);
    char buf[8] = {};
    EXPECT_EQ(f.Read(buf, 8), 2);
    EXPECT_EQ(f.Read(buf, 8), 0);
    EXPECT_EQ(f.Read(buf, -1), 0);
    f.SetPosition(0);
    EXPECT_THROW(f.ReadBuffer(buf, 4), EReadError);
}

TEST_F(FileStreamTest, WriteToReadOnlyStreamRaises)
{
    {
        TFileStream f(FPath, fmCreate);
        WriteText(f, "abc");
    }
    TFileStream f(FPath, fmOpenRead);
    EXPECT_EQ(f.Write("x", 1), 0);
    try {
        f.WriteBuffer("x", 1);
        FAIL() << "WriteBuffer on a read-only file did not raise";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }
    EXPECT_THROW(f.SetSize(1), EStreamError);
    EXPECT_EQ(ReadAll(f), "abc");
}

TEST_F(FileStreamTest, SetSizeTruncatesAndExtendsWithZeros)
{
    TFileStream f(FPath, fmCreate);
    WriteText(f, "abcdef");
    f.SetSize(3);
    EXPECT_EQ(f.Size(), 3);
    EXPECT_EQ(f.Position(), 3); // was past the new end
    f.SetPosition(1);
    f.SetSize(5);
    EXPECT_EQ(f.Position(), 1);
    EXPECT_EQ(ReadAll(f), std::string("abc\0\0", 5));
    EXPECT_THROW(f.SetSize(-1), EStreamError);
}

TEST_F(FileStreamTest, CopyFromFileToMemory)
{
    {
        TFileStream f(FPath, fmCreate);
        WriteText(f, "0123456789");
    }
    TFileStream f(FPath, fmOpenRead);
    f.SetPosition(4);
    TMemoryStream m;
    EXPECT_EQ(m.CopyFrom(f, 3), 3);
    EXPECT_EQ(Contents(m), "456");
    EXPECT_EQ(m.CopyFrom(f, 0), 10);
    EXPECT_EQ(Contents(m), "4560123456789");
}

TEST_F(FileStreamTest, OpenMissingFileRaisesEFOpenError)
{
    try {
        TFileStream f(FPath, fmOpenRead);
        FAIL() << "opening a missing file did not raise";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), ExpectedMessage("open", FPath, ENOENT));
    }
    TMemoryStream m;
    EXPECT_THROW(m.LoadFromFile(FPath), EFOpenError);
    EXPECT_THROW(TFileStream(FPath, fmOpenReadWrite), EFOpenError);
    EXPECT_FALSE(std::filesystem::exists(FPath)); // opening never creates
}

TEST_F(FileStreamTest, CreatingAFolderNameRaisesEFCreateError)
{
    const std::string folder = TempFolder();
    const std::string prefix = "Cannot create file \"" + folder + "\". ";
    TMemoryStream m;
    WriteText(m, "abc");
    try {
        m.SaveToFile(folder);
        FAIL() << "SaveToFile on a folder did not raise";
    } catch (const EFCreateError& e) {
        ASSERT_EQ(e.Message().substr(0, prefix.size()), prefix);
        EXPECT_GT(e.Message().size(), prefix.size()); // the system's reason follows
#ifndef _WIN32
        EXPECT_EQ(e.Message(), ExpectedMessage("create", folder, EISDIR));
#endif
    }
    EXPECT_THROW(TFileStream(folder, fmCreate), EFCreateError);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST_F(FileStreamTest, OpeningAFolderRaisesEFOpenError)
{
    const std::string folder = TempFolder();
    try {
        TFileStream f(folder, fmOpenRead);
        FAIL() << "opening a folder did not raise";
    } catch (const EFOpenError& e) {
        const std::string prefix = "Cannot open file \"" + folder + "\". ";
        EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
    }
}
