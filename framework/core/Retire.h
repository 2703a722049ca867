// Objects that may be released while one of their own methods is running.
//
// A window procedure of an object can run a nested message loop (a modal dialog opened by a
// click handler, a popup menu, a drag), and inside that loop the program may decide that the
// object is to go. Deleting it there would leave the outer call running on freed memory. Such an
// object counts the calls on it with a TCallScope, declared first in every entry point that can
// reach a nested loop, and is released with Retire: when no call is running it is deleted at
// once; otherwise it is only marked, and the outermost TCallScope deletes it as it ends.
//
//     void TAdaptor::WndProc(TMessage& m)
//     {
//         TRetirable::TCallScope call(*this);
//         CallPrevious(m);          // may release this object
//         if (Retired())
//             return;               // still valid memory, but no longer ours to act on
//         ...
//     }
//
// Retired objects are alive until then, so code after a nested loop checks Retired() and stops.
// Whoever retires an object gives up its ownership: a component leaves its owner in OnRetire.
#pragma once

#include <memory>

class TRetirable {
public:
    TRetirable() noexcept = default;
    TRetirable(const TRetirable&) = delete;
    TRetirable& operator=(const TRetirable&) = delete;

    class TCallScope {
    public:
        explicit TCallScope(TRetirable& Object) noexcept : FObject(Object) { ++FObject.FCalls; }
        ~TCallScope()
        {
            if (--FObject.FCalls == 0 && FObject.FRetired)
                FObject.Free();
        }
        TCallScope(const TCallScope&) = delete;
        TCallScope& operator=(const TCallScope&) = delete;

    private:
        TRetirable& FObject;
    };

    // Released while a call was running; it is deleted when that call returns.
    bool Retired() const noexcept { return FRetired; }
    // How many calls on the object are running now (nested ones included).
    int RunningCalls() const noexcept { return FCalls; }

    // Deletes Object now, or when the outermost running call on it returns. Nothing happens for
    // nullptr or for an object retired already.
    friend void Retire(TRetirable* Object) noexcept
    {
        if (Object == nullptr || Object->FRetired)
            return;
        Object->FRetired = true;
        Object->OnRetire();
        if (Object->FCalls == 0)
            Object->Free();
    }

protected:
    virtual ~TRetirable() = default;
    // The object is being retired: it hands back what it holds of others (its owner, lists).
    virtual void OnRetire() noexcept {}

private:
    // Through the virtual destructor, wherever the base sits in the object. (GCC's check of freed
    // pointers takes the base's offset for a pointer into the middle of a block: it is not.)
    void Free() noexcept
    {
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"
#endif
        delete this;
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    }

    int FCalls = 0;
    bool FRetired = false;
};

void Retire(TRetirable* Object) noexcept;

// The owner of a retirable object: releasing it retires the object (deleted now, or when its
// running call returns).
struct TRetireDeleter {
    void operator()(TRetirable* Object) const noexcept { Retire(Object); }
};
template <class T> using TRetiringPtr = std::unique_ptr<T, TRetireDeleter>;
