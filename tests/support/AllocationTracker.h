// Counts the heap allocations made while a tracker lives: how many, their bytes in all and the
// largest. It listens to the sanitizer allocator (the native test build); elsewhere Available()
// is false and the counts stay 0, so tests look at them only when it is true.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define PEMBROX_ALLOCATION_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PEMBROX_ALLOCATION_HOOKS 1
#endif
#endif

#ifdef PEMBROX_ALLOCATION_HOOKS
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*Malloc)(const volatile void*, size_t),
                                                         void (*Free)(const volatile void*));
#endif

class TAllocationTracker {
public:
    TAllocationTracker() : FPrevious(Current().exchange(this))
    {
#ifdef PEMBROX_ALLOCATION_HOOKS
        // The hooks cannot be taken out again: installed once, they count for whichever tracker
        // is current.
        static const bool installed = (__sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree), true);
        (void)installed;
#endif
    }
    ~TAllocationTracker() { Current().store(FPrevious); }
    TAllocationTracker(const TAllocationTracker&) = delete;
    TAllocationTracker& operator=(const TAllocationTracker&) = delete;

    static constexpr bool Available()
    {
#ifdef PEMBROX_ALLOCATION_HOOKS
        return true;
#else
        return false;
#endif
    }

    uint64_t Count() const { return FCount.load(); }
    uint64_t Bytes() const { return FBytes.load(); }
    uint64_t Largest() const { return FLargest.load(); }

private:
    static std::atomic<TAllocationTracker*>& Current()
    {
        static std::atomic<TAllocationTracker*> current{nullptr};
        return current;
    }
    static void OnMalloc(const volatile void*, size_t Size)
    {
        TAllocationTracker* t = Current().load(std::memory_order_relaxed);
        if (t == nullptr)
            return;
        t->FCount.fetch_add(1, std::memory_order_relaxed);
        t->FBytes.fetch_add(Size, std::memory_order_relaxed);
        uint64_t largest = t->FLargest.load(std::memory_order_relaxed);
        while (Size > largest && !t->FLargest.compare_exchange_weak(largest, Size, std::memory_order_relaxed)) {
        }
    }
    static void OnFree(const volatile void*) {}

    TAllocationTracker* FPrevious;
    std::atomic<uint64_t> FCount{0};
    std::atomic<uint64_t> FBytes{0};
    std::atomic<uint64_t> FLargest{0};
};
