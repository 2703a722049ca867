#include "framework/core/Stream.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>

#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

[[noreturn]] void InvalidPosition()
{
    throw EStreamError("Invalid stream position");
}

[[noreturn]] void OutOfMemory()
{
    throw EStreamError("Out of memory while expanding memory stream");
}

// Base + Offset, which must be a position (0 or more) and must not overflow.
int64_t SeekTarget(int64_t Base, int64_t Offset)
{
    if (Offset > 0 ? Base > INT64_MAX - Offset : Base < INT64_MIN - Offset)
        InvalidPosition();
    const int64_t target = Base + Offset;
    if (target < 0)
        InvalidPosition();
    return target;
}

std::string ErrorText(int error)
{
    return std::strerror(error != 0 ? error : EINVAL);
}

// 64-bit positions through stdio; Windows' long is 32 bits.
int Seek64(std::FILE* f, int64_t offset, int whence)
{
#ifdef _WIN32
    return fseeko64(f, offset, whence);
#else
    return fseeko(f, static_cast<off_t>(offset), whence);
#endif
}

int64_t Tell64(std::FILE* f)
{
#ifdef _WIN32
    return ftello64(f);
#else
    return ftello(f);
#endif
}

bool IsDirectory(std::FILE* f)
{
#ifdef _WIN32
    struct _stat64 st;
    return _fstat64(_fileno(f), &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFDIR;
#else
    struct stat st;
    return fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode);
#endif
}

} // namespace

// TStream

int64_t TStream::Size()
{
    const int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    const int64_t result = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return result;
}

void TStream::SetSize(int64_t)
{
    throw EStreamError("This stream cannot change its size");
}

void TStream::ReadBuffer(void* Buffer, int32_t Count)
{
    if (Count > 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int32_t Count)
{
    if (Count > 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count)
{
    if (Count < 0)
        return 0;
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    constexpr int64_t ChunkSize = 64 * 1024;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min(Count, ChunkSize)));
    for (int64_t left = Count; left > 0;) {
        const auto n = static_cast<int32_t>(std::min(left, ChunkSize));
        Source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return Count;
}

int32_t TStream::ReadInt32()
{
    uint8_t b[4];
    ReadBuffer(b, 4);
    const uint32_t v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return static_cast<int32_t>(v);
}

void TStream::WriteInt32(int32_t Value)
{
    const auto v = static_cast<uint32_t>(Value);
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    WriteBuffer(b, 4);
}

// TMemoryStream

int32_t TMemoryStream::Read(void* Buffer, int32_t Count)
{
    if (Count <= 0 || Buffer == nullptr || FPosition >= FSize)
        return 0;
    const auto n = static_cast<int32_t>(std::min<int64_t>(Count, FSize - FPosition));
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int32_t TMemoryStream::Write(const void* Buffer, int32_t Count)
{
    if (Count <= 0 || Buffer == nullptr)
        return 0;
    if (FPosition > MaxSize - Count)
        OutOfMemory();
    const int64_t end = FPosition + Count;
    if (end > FSize) {
        Reserve(end);
        if (FPosition > FSize)
            std::memset(FData.data() + FSize, 0, static_cast<size_t>(FPosition - FSize));
        FSize = end;
    }
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    switch (Origin) {
    case TSeekOrigin::soBeginning: FPosition = SeekTarget(0, Offset); break;
    case TSeekOrigin::soCurrent: FPosition = SeekTarget(FPosition, Offset); break;
    case TSeekOrigin::soEnd: FPosition = SeekTarget(FSize, Offset); break;
    }
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize)
{
    if (NewSize < 0 || NewSize > MaxSize)
        OutOfMemory();
    if (NewSize > FSize) {
        Reserve(NewSize);
        std::memset(FData.data() + FSize, 0, static_cast<size_t>(NewSize - FSize));
    }
    FSize = NewSize;
    if (FPosition > FSize)
        FPosition = FSize;
}

void TMemoryStream::Reserve(int64_t NewCapacity)
{
    const auto capacity = static_cast<int64_t>(FData.size());
    if (NewCapacity <= capacity)
        return;
    if (NewCapacity > MaxSize)
        OutOfMemory();
    // Grow geometrically so that a run of small writes costs linear time.
    const int64_t grown = std::min(MaxSize, std::max<int64_t>(capacity * 2, 256));
    try {
        FData.resize(static_cast<size_t>(std::max(NewCapacity, grown)));
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    } catch (const std::length_error&) {
        OutOfMemory();
    }
}

void TMemoryStream::Clear()
{
    std::vector<uint8_t>().swap(FData);
    FSize = 0;
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream)
{
    if (&Stream == this) {
        FPosition = 0;
        return;
    }
    Stream.SetPosition(0);
    const int64_t size = Stream.Size();
    SetSize(size);
    FPosition = 0;
    if (size > 0)
        Stream.ReadBuffer(FData.data(), static_cast<int32_t>(size));
}

void TMemoryStream::LoadFromFile(const std::string& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TMemoryStream::SaveToStream(TStream& Stream) const
{
    if (FSize > 0)
        Stream.WriteBuffer(FData.data(), static_cast<int32_t>(FSize));
}

void TMemoryStream::SaveToFile(const std::string& FileName) const
{
    TFileStream stream(FileName, fmCreate);
    SaveToStream(stream);
}

// TFileStream

TFileStream::TFileStream(const std::string& FileName, uint32_t Mode) : FFileName(FileName)
{
    const bool create = (Mode & fmCreate) == fmCreate;
    const char* mode = nullptr;
    if (create)
        mode = "w+b";
    else if ((Mode & 3) == fmOpenRead)
        mode = "rb";
    else if ((Mode & 3) == fmOpenWrite || (Mode & 3) == fmOpenReadWrite)
        mode = "r+b";

    int error = EINVAL;
    if (mode != nullptr) {
        errno = 0;
        FHandle = std::fopen(FileName.c_str(), mode);
        error = errno;
        // POSIX opens a folder for reading; it is no file to us.
        if (FHandle != nullptr && IsDirectory(FHandle)) {
            std::fclose(FHandle);
            FHandle = nullptr;
            error = EISDIR;
        }
    }
    if (FHandle == nullptr) {
        const std::string reason = ErrorText(error);
        if (create)
            throw EFCreateError(Format("Cannot create file \"%s\". %s", FileName.c_str(), reason.c_str()));
        throw EFOpenError(Format("Cannot open file \"%s\". %s", FileName.c_str(), reason.c_str()));
    }
}

TFileStream::~TFileStream()
{
    if (FHandle != nullptr)
        std::fclose(FHandle);
}

void TFileStream::Switch(TLastOp Op)
{
    if (FLastOp != TLastOp::None && FLastOp != Op)
        Seek64(FHandle, 0, SEEK_CUR);
    FLastOp = Op;
}

int32_t TFileStream::Read(void* Buffer, int32_t Count)
{
    if (Count <= 0 || Buffer == nullptr)
        return 0;
    Switch(TLastOp::Read);
    return static_cast<int32_t>(std::fread(Buffer, 1, static_cast<size_t>(Count), FHandle));
}

int32_t TFileStream::Write(const void* Buffer, int32_t Count)
{
    if (Count <= 0 || Buffer == nullptr)
        return 0;
    Switch(TLastOp::Write);
    return static_cast<int32_t>(std::fwrite(Buffer, 1, static_cast<size_t>(Count), FHandle));
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    const int64_t current = Tell64(FHandle);
    if (current < 0)
        InvalidPosition();
    if (Origin == TSeekOrigin::soCurrent && Offset == 0)
        return current;

    int64_t base = 0;
    if (Origin == TSeekOrigin::soCurrent) {
        base = current;
    } else if (Origin == TSeekOrigin::soEnd) {
        if (Seek64(FHandle, 0, SEEK_END) != 0 || (base = Tell64(FHandle)) < 0)
            InvalidPosition();
        FLastOp = TLastOp::None;
    }
    int64_t target = 0;
    try {
        target = SeekTarget(base, Offset);
    } catch (const EStreamError&) {
        Seek64(FHandle, current, SEEK_SET);
        throw;
    }
    if (Seek64(FHandle, target, SEEK_SET) != 0) {
        Seek64(FHandle, current, SEEK_SET);
        InvalidPosition();
    }
    FLastOp = TLastOp::None;
    return target;
}

int64_t TFileStream::Size()
{
    const int64_t pos = Tell64(FHandle);
    int64_t size = -1;
    if (pos >= 0 && Seek64(FHandle, 0, SEEK_END) == 0)
        size = Tell64(FHandle);
    if (pos >= 0)
        Seek64(FHandle, pos, SEEK_SET);
    FLastOp = TLastOp::None;
    if (size < 0)
        throw EStreamError(Format("Cannot get the size of file \"%s\". %s", FFileName.c_str(),
                                  ErrorText(errno).c_str()));
    return size;
}

void TFileStream::SetSize(int64_t NewSize)
{
    int64_t pos = Tell64(FHandle);
    if (NewSize < 0 || pos < 0)
        throw EStreamError(Format("Cannot change the size of file \"%s\". %s", FFileName.c_str(),
                                  ErrorText(EINVAL).c_str()));
    std::fflush(FHandle);
    errno = 0;
#ifdef _WIN32
    const bool ok = NewSize <= LONG_MAX && _chsize(_fileno(FHandle), static_cast<long>(NewSize)) == 0;
#else
    const bool ok = ftruncate(fileno(FHandle), static_cast<off_t>(NewSize)) == 0;
#endif
    const int error = errno;
    if (pos > NewSize)
        pos = NewSize;
    Seek64(FHandle, pos, SEEK_SET);
    FLastOp = TLastOp::None;
    if (!ok)
        throw EStreamError(Format("Cannot change the size of file \"%s\". %s", FFileName.c_str(),
                                  ErrorText(NewSize > LONG_MAX ? EFBIG : error).c_str()));
}
