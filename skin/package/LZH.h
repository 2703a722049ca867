// LZHUF decoding: LZSS over a 4096-byte ring (look-ahead 60, shortest match 3) whose literals and
// match lengths are coded with one adaptive Huffman tree, match positions with a fixed prefix code
// for the upper 6 bits plus 6 plain bits.
//
// The decoder stops as soon as at least TextSize bytes are out; the length is tested only between
// symbols, so a final match may carry the output up to MaxOverrun (59) bytes past TextSize.
// Missing input reads as zero bits: a truncated or corrupt stream is not detected and still yields
// (at least) TextSize bytes. Whichever way the bytes come and go, the output is the same, and so
// is the input the decoder counts as read: as many bytes as the classic decoder, which keeps 9
// bits or more buffered before it takes a bit, reads (it may read one byte past the end of the
// compressed data).
#pragma once

#include "framework/core/Exception.h"
#include "framework/core/Object.h"
#include "framework/core/Stream.h"

#include <cstdint>
#include <functional>
#include <memory>

DECLARE_EXCEPTION(ElzhException, Exception);

class TLZH : public TObject {
public:
    // Requested and Count are always 1. GetBytes sets Actual to the number of bytes it delivered
    // (0 at the end of the input); the Actual of PutBytes is not looked at.
    using TGetBytes = std::function<void(void* Buffer, int32_t Requested, int32_t& Actual)>;
    using TPutBytes = std::function<void(const void* Buffer, int32_t Count, int32_t& Actual)>;

    static constexpr int32_t MaxOverrun = 59;
    static constexpr const char* NoMemoryMessage = "LZH : Cannot get memory for dictionary tables";
    static constexpr const char* OutputTooSmallMessage = "LZH : Output buffer too small";

    // Decodes until TextSize bytes (or a few more, see above) have gone to PutBytes, pulling the
    // input from GetBytes: a byte a call each way, each call when the classic decoder makes it
    // (the output of a symbol goes out before the input of the next is pulled). TextSize <= 0: no
    // pump is called. An empty GetBytes is an empty input, an empty PutBytes discards the output.
    // The working tables live for this call only; ElzhException NoMemoryMessage when they cannot
    // be allocated. Exceptions of the pumps pass through.
    void Unpack(int32_t TextSize, const TGetBytes& GetBytes, const TPutBytes& PutBytes);

    // Decodes from Input's position (never more than the bytes left in it) to Output's position,
    // both in blocks: the input is read ahead and the position set back afterwards. Both positions
    // end after the bytes moved. When a stream raises an exception, it passes through and the
    // positions are where the blocks moved so far left them.
    void UnpackStreams(int32_t TextSize, TStream& Input, TStream& Output);

    // Decodes the InputSize bytes at Input into Output, which must have room for TextSize +
    // MaxOverrun bytes (ElzhException OutputTooSmallMessage otherwise, before anything is done).
    // Returns the number of bytes written (0 for TextSize <= 0); InputUsed, when given, receives
    // the number of input bytes read.
    int64_t UnpackMemory(int32_t TextSize, const void* Input, int64_t InputSize, void* Output, int64_t OutputSize,
                         int64_t* InputUsed = nullptr);
};

// Decodes a stream held in memory a part at a time, for a reader that wants the front of the
// content first and perhaps never the rest. Each DecodeTo carries the output on from where the
// last one stopped until at least Length bytes (at most TextSize) are out; a final match may
// carry it further, as with UnpackMemory. However the calls split it, the output is the same as
// UnpackMemory's, and so is the input counted as used. The input and output must stay in place
// for as long as the decoder may go on; the working tables are let go once all TextSize bytes
// are out.
class TLZHMemoryDecoder {
public:
    // Output must have room for TextSize + MaxOverrun bytes (ElzhException OutputTooSmallMessage
    // otherwise); ElzhException NoMemoryMessage when the tables cannot be allocated.
    TLZHMemoryDecoder(int32_t TextSize, const void* Input, int64_t InputSize, void* Output, int64_t OutputSize);
    ~TLZHMemoryDecoder();
    TLZHMemoryDecoder(const TLZHMemoryDecoder&) = delete;
    TLZHMemoryDecoder& operator=(const TLZHMemoryDecoder&) = delete;

    // Returns the number of bytes out so far.
    int64_t DecodeTo(int64_t Length);
    int64_t Decoded() const { return FDecoded; }
    // The input bytes the classic decoder would have read for the bytes out so far.
    int64_t InputUsed() const { return FInputUsed; }
    // Whether the symbols decoded so far took bits past the end of the input (read as zeros):
    // the bytes out since then come from a stream cut short.
    bool RanOutOfInput() const { return FRanOut; }

private:
    struct TWork;
    int32_t FTextSize;
    uint8_t* FOutput;
    int64_t FDecoded = 0;
    int64_t FInputUsed = 0;
    bool FRanOut = false;
    std::unique_ptr<TWork> FWork;
};
