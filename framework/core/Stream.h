// Streams: a byte sequence with a position. TMemoryStream keeps its bytes in memory; TFileStream
// reads and writes a file through C stdio. Positions and sizes are 64-bit, a single transfer is at
// most 2 GiB - 1 bytes (int32_t), as in the classic framework.
#pragma once

#include "framework/core/Object.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// TFileStream modes: one access mode, optionally or-ed with a share mode (accepted and ignored,
// stdio has no sharing control), or fmCreate on its own.
constexpr uint32_t fmCreate = 0xFF00;
constexpr uint32_t fmOpenRead = 0x0000;
constexpr uint32_t fmOpenWrite = 0x0001;
constexpr uint32_t fmOpenReadWrite = 0x0002;
constexpr uint32_t fmShareCompat = 0x0000;
constexpr uint32_t fmShareExclusive = 0x0010;
constexpr uint32_t fmShareDenyWrite = 0x0020;
constexpr uint32_t fmShareDenyRead = 0x0030;
constexpr uint32_t fmShareDenyNone = 0x0040;

class TStream : public TObject {
public:
    // Read and Write transfer up to Count bytes at the position and advance it; they return the
    // number of bytes transferred (0 for a negative Count).
    virtual int32_t Read(void* Buffer, int32_t Count) = 0;
    virtual int32_t Write(const void* Buffer, int32_t Count) = 0;
    // Moves the position and returns the new one. Seeking past the end is allowed; a position
    // before the start (or one that overflows) raises EStreamError "Invalid stream position".
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, TSeekOrigin::soBeginning); }
    // The default finds the size by seeking to the end and back.
    virtual int64_t Size();
    // Truncates or extends (extensions read as zeros); a position past the new end moves to it.
    // The default raises EStreamError.
    virtual void SetSize(int64_t NewSize);

    // Exactly Count bytes, or EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* Buffer, int32_t Count);
    void WriteBuffer(const void* Buffer, int32_t Count);

    // Copies Count bytes from Source's position; Count 0 copies the whole of Source from its start.
    // Returns the number of bytes copied; a short source raises EReadError.
    int64_t CopyFrom(TStream& Source, int64_t Count);

    // 32-bit integers, little-endian; ReadInt32 raises EReadError at the end.
    int32_t ReadInt32();
    void WriteInt32(int32_t Value);
};

class TMemoryStream : public TStream {
public:
    // The largest size a memory stream grows to.
    static constexpr int64_t MaxSize = int64_t(1) << 30;

    TMemoryStream() = default;

    int32_t Read(void* Buffer, int32_t Count) override;
    // Writing past the end grows the stream; a gap left by seeking past the end reads as zeros.
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return FSize; }
    int64_t Size() const { return FSize; }
    // Keeps the content; a negative size or one over MaxSize raises EStreamError
    // "Out of memory while expanding memory stream".
    void SetSize(int64_t NewSize) override;

    // The bytes, Size() of them; nullptr while nothing is allocated. Valid until the stream grows
    // or is cleared.
    void* Memory() { return FData.empty() ? nullptr : FData.data(); }
    const void* Memory() const { return FData.empty() ? nullptr : FData.data(); }
    int64_t Capacity() const { return static_cast<int64_t>(FData.size()); }
    // Frees the memory: size and position 0.
    void Clear();

    // Replaces the content with the whole of Stream (from its start); the position becomes 0.
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const std::string& FileName);
    // Writes the whole content to Stream at its position; our own position does not change.
    void SaveToStream(TStream& Stream) const;
    void SaveToFile(const std::string& FileName) const;

private:
    void Reserve(int64_t NewCapacity);

    std::vector<uint8_t> FData; // the capacity; bytes past FSize are not kept zeroed
    int64_t FSize = 0;
    int64_t FPosition = 0;
};

class TFileStream : public TStream {
public:
    // Raises EFCreateError 'Cannot create file "NAME". REASON' (fmCreate) or EFOpenError
    // 'Cannot open file "NAME". REASON'. fmOpenWrite opens for reading too (stdio cannot open
    // write-only without truncating), so the file must be readable.
    TFileStream(const std::string& FileName, uint32_t Mode);
    ~TFileStream() override;

    const std::string& FileName() const { return FFileName; }

    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override;
    // Through ftruncate / _chsize; raises EStreamError when the system refuses (on Windows also
    // for sizes of 2 GiB and more).
    void SetSize(int64_t NewSize) override;

private:
    enum class TLastOp { None, Read, Write };
    // stdio needs a seek between a write and a following read (and the other way round).
    void Switch(TLastOp Op);

    std::string FFileName;
    std::FILE* FHandle = nullptr;
    TLastOp FLastOp = TLastOp::None;
};
