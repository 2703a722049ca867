// How many GDI objects the process holds now, for leak checks. Windows answers GetGuiResources;
// Wine's is a stub that returns 0, so there the process's GDI handle table, which the PEB points
// to, is counted instead (an entry is live when it has a type).
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstdint>

inline int LiveGdiObjects()
{
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); n != 0)
        return static_cast<int>(n);
    struct TEntry { // Wine's layout, the same in 32- and 64-bit processes
        uint64_t Object;
        uint32_t Owner;
        uint16_t Unique;
        uint8_t Type;
        uint8_t Flags;
        uint64_t UserPointer;
    };
    static_assert(sizeof(TEntry) == 24);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds" // the segment read NtCurrentTeb is made of
    const auto* peb = reinterpret_cast<const uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
    const auto* table = *reinterpret_cast<const TEntry* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    if (table == nullptr)
        return -1;
    int live = 0;
    for (int i = 0; i < 0x10000; ++i)
        live += table[i].Type != 0 ? 1 : 0;
    return live;
}
