/* The LZHUF decoder in the classic program's manner (ClassicLzhuf.c). */
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Decodes a package (a 4-byte little-endian length, then the LZH stream) from In into Out (at
 * most OutSize bytes kept); returns the length decoded, or -1 when In has no length. */
long ClassicLzhufDecode(const unsigned char* In, size_t InSize, unsigned char* Out, size_t OutSize);

#ifdef __cplusplus
}
#endif
