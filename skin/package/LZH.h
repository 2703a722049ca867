// LZHUF decoding: LZSS over a 4096-byte ring (look-ahead 60, shortest match 3) whose literals and
// match lengths are coded with one adaptive Huffman tree, match positions with a fixed prefix code
// for the upper 6 bits plus 6 plain bits.
//
// The decoder pulls its input and pushes its output one byte per pump call. It stops as soon as at
// least TextSize bytes are out; the length is tested only between symbols, so a final match may
// carry the output up to 59 bytes past TextSize. Missing input reads as zero bits: a truncated or
// corrupt stream is not detected and still yields (at least) TextSize bytes.
#pragma once

#include "framework/core/Exception.h"
#include "framework/core/Object.h"
#include "framework/core/Stream.h"

#include <cstdint>
#include <functional>

DECLARE_EXCEPTION(ElzhException, Exception);

class TLZH : public TObject {
public:
    // Requested and Count are always 1. GetBytes sets Actual to the number of bytes it delivered
    // (0 at the end of the input); the Actual of PutBytes is not looked at.
    using TGetBytes = std::function<void(void* Buffer, int32_t Requested, int32_t& Actual)>;
    using TPutBytes = std::function<void(const void* Buffer, int32_t Count, int32_t& Actual)>;

    static constexpr const char* NoMemoryMessage = "LZH : Cannot get memory for dictionary tables";

    // Decodes until TextSize bytes (or a few more, see above) have gone to PutBytes. TextSize <= 0:
    // no pump is called. An empty GetBytes is an empty input, an empty PutBytes discards the output.
    // The working tables live for this call only; ElzhException NoMemoryMessage when they cannot
    // be allocated. Exceptions of the pumps pass through.
    void Unpack(int32_t TextSize, const TGetBytes& GetBytes, const TPutBytes& PutBytes);

    // Unpack with the pumps bound to streams: input from Input's position (never more than the
    // bytes left in it), output written at Output's position. Both positions end after the bytes
    // moved. The decoder keeps 9 bits or more buffered, so it may read one byte past the end of
    // the compressed data.
    void UnpackStreams(int32_t TextSize, TStream& Input, TStream& Output);
};
