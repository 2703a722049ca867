// Window procedures bound to object methods.
//
// MakeObjectInstance(method) returns a real WNDPROC: a 12-byte x86 stub that passes its slot's
// record to one shared C++ entry. The entry packs the arguments into a TMessage (Result 0),
// calls the method and returns Result; the HWND is dropped, the object knows its window.
//
// Stub, one per slot (rec = the slot's address, rel = SharedEntry - (stub + 12)):
//     58             pop  eax          ; return address
//     68 <rec>       push rec          ; becomes SharedEntry's first argument
//     50             push eax
//     E9 <rel>       jmp  SharedEntry  ; LRESULT __stdcall (Record*, HWND, UINT, WPARAM, LPARAM)
//     CC CC CC CC    (padding)
// SharedEntry is stdcall, so its `ret 20` removes the pushed record with the four arguments and
// returns straight to the caller: once the jump is taken the stub is not run again for that call.
//
// Pool: pages of 4 KB (VirtualAlloc, PAGE_EXECUTE_READWRITE), 128 slots of 32 bytes each (stub,
// method, free-list link, state). All stubs of a page are written once when the page is made
// (FlushInstructionCache then); making or freeing a thunk only changes the slot's record. Freed
// slots queue on a FIFO free list and are reused; pages are never given back.
//
// Freeing:
//  - from inside the call the thunk is serving is fine: SharedEntry copies the method before
//    calling it and does not touch the record afterwards, and the stub's code stays mapped;
//  - a call through a freed slot that has not been reused yet reaches DefWindowProcA, not the
//    former object;
//  - nullptr is ignored; so are pointers that are not a slot's start and slots already free
//    (those are counted in TObjectInstanceStats::RejectedFrees).
//
// Exceptions never leave the entry: they go to HandleCallbackException and the call returns 0.
// The pool is thread-safe; a thunk is called on its window's thread like any window procedure.
#pragma once

#include "framework/win/Message.h"

#include <cstddef>

// Throws EInvalidOperation for an empty method, EOutOfResources when no page can be allocated.
WNDPROC MakeObjectInstance(TWndMethod Method);
void FreeObjectInstance(WNDPROC Proc) noexcept;
// True when Proc is a live thunk of the pool.
bool IsObjectInstance(WNDPROC Proc) noexcept;

struct TObjectInstanceStats {
    std::size_t Live = 0;         // thunks made and not yet freed
    std::size_t Pages = 0;        // pool pages allocated so far
    std::size_t SlotsPerPage = 0;
    std::size_t RejectedFrees = 0; // frees of unknown or already free pointers
};
TObjectInstanceStats ObjectInstanceStats() noexcept;

// Owns one thunk; move-only.
class TObjectInstance {
public:
    TObjectInstance() noexcept = default;
    explicit TObjectInstance(TWndMethod Method) : FProc(MakeObjectInstance(Method)) {}
    TObjectInstance(TObjectInstance&& Other) noexcept : FProc(Other.Release()) {}
    TObjectInstance& operator=(TObjectInstance&& Other) noexcept
    {
        if (this != &Other) {
            WNDPROC proc = Other.Release();
            FreeObjectInstance(FProc);
            FProc = proc;
        }
        return *this;
    }
    TObjectInstance(const TObjectInstance&) = delete;
    TObjectInstance& operator=(const TObjectInstance&) = delete;
    ~TObjectInstance() { FreeObjectInstance(FProc); }

    WNDPROC Proc() const noexcept { return FProc; }
    explicit operator bool() const noexcept { return FProc != nullptr; }

    // Gives up ownership; the caller frees the thunk with FreeObjectInstance.
    WNDPROC Release() noexcept
    {
        WNDPROC proc = FProc;
        FProc = nullptr;
        return proc;
    }
    // Frees the held thunk and, for a non-empty method, holds a new one. The new thunk is made
    // first, so on failure the old one is kept.
    void Reset(TWndMethod Method = {})
    {
        WNDPROC proc = Method ? MakeObjectInstance(Method) : nullptr;
        FreeObjectInstance(FProc);
        FProc = proc;
    }

private:
    WNDPROC FProc = nullptr;
};
