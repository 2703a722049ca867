#include "framework/win/ObjectInstance.h"

#include "framework/core/Exception.h"
#include "framework/win/Callback.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr std::size_t kPageSize = 4096;
constexpr std::uint32_t kSlotFree = 0x45455246; // "FREE"
constexpr std::uint32_t kSlotLive = 0x4556494C; // "LIVE"

#if defined(__x86_64__)
struct TSlot {
    std::uint8_t Code[24]; // the stub; must stay first, a slot's WNDPROC is its address
    TWndMethod Method;
    TSlot* Next;
    std::uint32_t State;
    std::uint32_t Padding[3];
};
static_assert(sizeof(TSlot) == 64, "slots are 64 bytes: 24 of code, 40 of record");
constexpr std::size_t kStubSize = 22;
#else
struct TSlot {
    std::uint8_t Code[16]; // the stub; must stay first, a slot's WNDPROC is its address
    TWndMethod Method;
    TSlot* Next;
    std::uint32_t State;
};
static_assert(sizeof(TSlot) == 32, "slots are 32 bytes: 16 of code, 16 of record");
static_assert(sizeof(void*) == 4, "the stubs are x86 or x64 code");
constexpr std::size_t kStubSize = 12;
#endif

constexpr std::size_t kSlotsPerPage = kPageSize / sizeof(TSlot);

LRESULT CallMethod(TSlot* slot, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

#if defined(__x86_64__)
// The stub leaves the slot in r10 and jumps to SharedEntryX64, which makes it the first of five
// arguments (the fifth on the stack, above the 32 bytes of home space) and calls SharedEntry.
extern "C" __attribute__((used)) LRESULT SharedEntry(TSlot* slot, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallMethod(slot, wnd, msg, wParam, lParam);
}
extern "C" void SharedEntryX64();
asm(R"(
    .text
    .p2align 4
    .globl SharedEntryX64
SharedEntryX64:
    subq $56, %rsp
    movq %r9, 32(%rsp)
    movq %r8, %r9
    movq %rdx, %r8
    movq %rcx, %rdx
    movq %r10, %rcx
    call SharedEntry
    addq $56, %rsp
    ret
)");
#else
// Realigns the stack: callers guarantee 4 bytes, and the stub has pushed one word more.
__attribute__((force_align_arg_pointer)) LRESULT __stdcall SharedEntry(TSlot* slot, HWND wnd, UINT msg,
                                                                       WPARAM wParam, LPARAM lParam)
{
    return CallMethod(slot, wnd, msg, wParam, lParam);
}
#endif

LRESULT CallMethod(TSlot* slot, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Copy before the call: the method may free this slot (and it may be reused) while it runs.
    // A freed slot's method is empty.
    const TWndMethod method = slot->Method;
    if (!method)
        return DefWindowProcA(wnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    try {
        method(message);
    } catch (...) {
        HandleCallbackException();
        return 0;
    }
    return message.Result;
}

#if defined(__x86_64__)
void WriteStub(TSlot* slot)
{
    // 49 BA <slot>     mov r10, slot
    // 48 B8 <entry>    mov rax, SharedEntryX64
    // FF E0            jmp rax
    std::uint8_t* code = slot->Code;
    const auto record = reinterpret_cast<std::uint64_t>(slot);
    const auto target = reinterpret_cast<std::uint64_t>(&SharedEntryX64);
    code[0] = 0x49;
    code[1] = 0xBA;
    std::memcpy(code + 2, &record, 8);
    code[10] = 0x48;
    code[11] = 0xB8;
    std::memcpy(code + 12, &target, 8);
    code[20] = 0xFF;
    code[21] = 0xE0;
    std::memset(code + kStubSize, 0xCC, sizeof(slot->Code) - kStubSize); // int3
}
#else
void WriteStub(TSlot* slot)
{
    std::uint8_t* code = slot->Code;
    const auto record = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(slot));
    const auto target = reinterpret_cast<std::uintptr_t>(&SharedEntry);
    const auto rel = static_cast<std::uint32_t>(target - (reinterpret_cast<std::uintptr_t>(code) + kStubSize));
    code[0] = 0x58; // pop eax
    code[1] = 0x68; // push imm32
    std::memcpy(code + 2, &record, 4);
    code[6] = 0x50; // push eax
    code[7] = 0xE9; // jmp rel32
    std::memcpy(code + 8, &rel, 4);
    std::memset(code + kStubSize, 0xCC, sizeof(slot->Code) - kStubSize); // int3
}
#endif

class TPool {
public:
    WNDPROC Make(const TWndMethod& method)
    {
        std::lock_guard lock(FLock);
        if (!FFreeHead)
            AddPage();
        TSlot* slot = FFreeHead;
        FFreeHead = slot->Next;
        if (!FFreeHead)
            FFreeTail = nullptr;
        slot->Next = nullptr;
        slot->Method = method;
        slot->State = kSlotLive;
        ++FLive;
        return reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(slot->Code));
    }

    void Free(WNDPROC proc) noexcept
    {
        std::lock_guard lock(FLock);
        TSlot* slot = Find(proc);
        if (!slot || slot->State != kSlotLive) {
            ++FRejected;
            OutputDebugStringA(slot ? "FreeObjectInstance: thunk already free\n"
                                    : "FreeObjectInstance: not a thunk\n");
            return;
        }
        slot->Method = TWndMethod();
        slot->State = kSlotFree;
        Enqueue(slot);
        --FLive;
    }

    bool IsLive(WNDPROC proc) noexcept
    {
        std::lock_guard lock(FLock);
        const TSlot* slot = Find(proc);
        return slot && slot->State == kSlotLive;
    }

    TObjectInstanceStats Stats() noexcept
    {
        std::lock_guard lock(FLock);
        TObjectInstanceStats stats;
        stats.Live = FLive;
        stats.Pages = FPages.size();
        stats.SlotsPerPage = kSlotsPerPage;
        stats.RejectedFrees = FRejected;
        return stats;
    }

private:
    std::mutex FLock;
    std::vector<std::uintptr_t> FPages; // sorted page addresses
    TSlot* FFreeHead = nullptr;
    TSlot* FFreeTail = nullptr;
    std::size_t FLive = 0;
    std::size_t FRejected = 0;

    void Enqueue(TSlot* slot) noexcept
    {
        // FIFO: a freed slot is reused as late as possible, so a stale call through it most
        // likely finds it empty rather than bound to a newer object.
        slot->Next = nullptr;
        if (FFreeTail)
            FFreeTail->Next = slot;
        else
            FFreeHead = slot;
        FFreeTail = slot;
    }

    void AddPage()
    {
        FPages.reserve(FPages.size() + 1); // may throw; nothing allocated yet
        void* page = VirtualAlloc(nullptr, kPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
        if (!page)
            throw EOutOfResources(Format("Cannot allocate a window procedure thunk page (error %lu)",
                                         GetLastError()));
        auto* slots = static_cast<TSlot*>(page);
        for (std::size_t i = 0; i < kSlotsPerPage; ++i) {
            TSlot* slot = new (&slots[i]) TSlot{};
            WriteStub(slot);
            slot->State = kSlotFree;
            Enqueue(slot);
        }
        FlushInstructionCache(GetCurrentProcess(), page, kPageSize);
        const auto address = reinterpret_cast<std::uintptr_t>(page);
        FPages.insert(std::upper_bound(FPages.begin(), FPages.end(), address), address);
    }

    TSlot* Find(WNDPROC proc) const noexcept
    {
        const auto address = reinterpret_cast<std::uintptr_t>(reinterpret_cast<void*>(proc));
        auto it = std::upper_bound(FPages.begin(), FPages.end(), address);
        if (it == FPages.begin())
            return nullptr;
        const std::uintptr_t page = *--it;
        const std::uintptr_t offset = address - page;
        if (offset >= kPageSize || offset % sizeof(TSlot) != 0)
            return nullptr;
        return reinterpret_cast<TSlot*>(address);
    }
};

// Never destroyed: thunks may be freed by destructors of other static objects.
TPool& Pool()
{
    static TPool* pool = new TPool;
    return *pool;
}

} // namespace

WNDPROC MakeObjectInstance(TWndMethod Method)
{
    if (!Method)
        throw EInvalidOperation("MakeObjectInstance: the method is empty");
    return Pool().Make(Method);
}

void FreeObjectInstance(WNDPROC Proc) noexcept
{
    if (Proc)
        Pool().Free(Proc);
}

bool IsObjectInstance(WNDPROC Proc) noexcept
{
    return Proc && Pool().IsLive(Proc);
}

TObjectInstanceStats ObjectInstanceStats() noexcept
{
    return Pool().Stats();
}
