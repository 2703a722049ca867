// Move-only owners of Win32 handles: each frees what it holds when destroyed. Common interface:
// get(), release() (gives up ownership and returns the handle), reset() (frees now; the simple
// holders also take a new handle), explicit operator bool. A holder made from a failed call (a
// null handle) is simply empty.
#pragma once

#include <windows.h>

#include <type_traits>
#include <utility>

namespace handles_detail {

// Traits: Handle, and Close(Handle), called for non-null handles only.
template <class Traits> class TUniqueHandle {
public:
    using Handle = typename Traits::Handle;

    TUniqueHandle() noexcept = default;
    explicit TUniqueHandle(Handle h) noexcept : FHandle(h) {}
    TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(other.release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;
    ~TUniqueHandle() { reset(); }

    Handle get() const noexcept { return FHandle; }
    explicit operator bool() const noexcept { return FHandle != nullptr; }
    Handle release() noexcept { return std::exchange(FHandle, nullptr); }
    void reset(Handle h = nullptr) noexcept
    {
        Handle old = std::exchange(FHandle, h);
        if (old && old != h)
            Traits::Close(old);
    }

private:
    Handle FHandle = nullptr;
};

template <class T> struct TGdiTraits {
    static_assert(std::is_same_v<T, HBITMAP> || std::is_same_v<T, HBRUSH> || std::is_same_v<T, HPEN> ||
                      std::is_same_v<T, HFONT> || std::is_same_v<T, HRGN>,
                  "TGdiObject holds bitmaps, brushes, pens, fonts and regions");
    using Handle = T;
    static void Close(T h) noexcept { DeleteObject(h); }
};
struct TIconTraits {
    using Handle = HICON;
    static void Close(HICON h) noexcept { DestroyIcon(h); }
};
struct THookTraits {
    using Handle = HHOOK;
    static void Close(HHOOK h) noexcept { UnhookWindowsHookEx(h); }
};
struct TKernelTraits {
    using Handle = HANDLE;
    static void Close(HANDLE h) noexcept { CloseHandle(h); }
};
struct TMappedViewTraits {
    using Handle = void*;
    static void Close(void* h) noexcept { UnmapViewOfFile(h); }
};
struct TWindowTraits {
    using Handle = HWND;
    static void Close(HWND h) noexcept { DestroyWindow(h); }
};
struct TMemoryDCTraits {
    using Handle = HDC;
    static void Close(HDC h) noexcept { DeleteDC(h); }
};

// A DC from GetDC, GetWindowDC or GetDCEx, given back with ReleaseDC.
class TReleasedDC {
public:
    TReleasedDC() noexcept = default;
    TReleasedDC(TReleasedDC&& other) noexcept
        : FWnd(std::exchange(other.FWnd, nullptr)), FDC(std::exchange(other.FDC, nullptr))
    {
    }
    TReleasedDC& operator=(TReleasedDC&& other) noexcept
    {
        if (this != &other) {
            reset();
            FWnd = std::exchange(other.FWnd, nullptr);
            FDC = std::exchange(other.FDC, nullptr);
        }
        return *this;
    }
    TReleasedDC(const TReleasedDC&) = delete;
    TReleasedDC& operator=(const TReleasedDC&) = delete;
    ~TReleasedDC() { reset(); }

    HDC get() const noexcept { return FDC; }
    HWND window() const noexcept { return FWnd; }
    explicit operator bool() const noexcept { return FDC != nullptr; }
    HDC release() noexcept
    {
        FWnd = nullptr;
        return std::exchange(FDC, nullptr);
    }
    void reset() noexcept
    {
        if (FDC)
            ReleaseDC(FWnd, FDC);
        FWnd = nullptr;
        FDC = nullptr;
    }

protected:
    TReleasedDC(HWND wnd, HDC dc) noexcept : FWnd(wnd), FDC(dc) {}

private:
    HWND FWnd = nullptr;
    HDC FDC = nullptr;
};

} // namespace handles_detail

template <class T> using TGdiObject = handles_detail::TUniqueHandle<handles_detail::TGdiTraits<T>>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TFontHandle = TGdiObject<HFONT>;
using TRegionHandle = TGdiObject<HRGN>;

using TIconHandle = handles_detail::TUniqueHandle<handles_detail::TIconTraits>; // also cursors
using THookHandle = handles_detail::TUniqueHandle<handles_detail::THookTraits>;
// A kernel object's handle (an event, a mapping, a process, a snapshot). INVALID_HANDLE_VALUE,
// what some calls give for a failure, is not a handle: leave it out.
using TKernelHandle = handles_detail::TUniqueHandle<handles_detail::TKernelTraits>;
// A view of a file mapping (MapViewOfFile).
using TMappedView = handles_detail::TUniqueHandle<handles_detail::TMappedViewTraits>;
// DestroyWindow works only on the window's own thread; destroy the holder there.
using TWindowHandle = handles_detail::TUniqueHandle<handles_detail::TWindowTraits>;

// A memory DC: TMemoryDC dc(screenDC) is CreateCompatibleDC(screenDC) (nullptr: the screen).
class TMemoryDC : public handles_detail::TUniqueHandle<handles_detail::TMemoryDCTraits> {
public:
    TMemoryDC() noexcept = default;
    explicit TMemoryDC(HDC compatibleWith) noexcept : TUniqueHandle(CreateCompatibleDC(compatibleWith)) {}
    // Takes over a DC made elsewhere with CreateCompatibleDC or CreateDC.
    static TMemoryDC Adopt(HDC dc) noexcept
    {
        TMemoryDC result;
        result.reset(dc);
        return result;
    }
};

class TClientDC : public handles_detail::TReleasedDC {
public:
    TClientDC() noexcept = default;
    explicit TClientDC(HWND wnd) noexcept : TReleasedDC(wnd, GetDC(wnd)) {}
};

class TWindowDC : public handles_detail::TReleasedDC {
public:
    TWindowDC() noexcept = default;
    explicit TWindowDC(HWND wnd) noexcept : TReleasedDC(wnd, GetWindowDC(wnd)) {}
};

// The DC a paint was handed, or, when it was handed none, the window's own (GetWindowDC),
// given back at the end.
class TGivenOrWindowDC {
public:
    TGivenOrWindowDC(HWND wnd, HDC given) noexcept : FGiven(given)
    {
        if (given == nullptr)
            FWindow = TWindowDC(wnd);
    }
    HDC get() const noexcept { return FGiven != nullptr ? FGiven : FWindow.get(); }
    explicit operator bool() const noexcept { return get() != nullptr; }

private:
    HDC FGiven;
    TWindowDC FWindow;
};

// GetDCEx. With DCX_INTERSECTRGN or DCX_EXCLUDERGN the system takes over the region and deletes
// it itself: pass it with release(), not from a holder that still owns it.
class TDCEx : public handles_detail::TReleasedDC {
public:
    TDCEx() noexcept = default;
    TDCEx(HWND wnd, HRGN clip, DWORD flags) noexcept : TReleasedDC(wnd, GetDCEx(wnd, clip, flags)) {}
};

// BeginPaint/EndPaint, for WM_PAINT handlers.
class TPaintDC {
public:
    TPaintDC() noexcept = default;
    explicit TPaintDC(HWND wnd) noexcept : FWnd(wnd)
    {
        if (!BeginPaint(wnd, &FPaint))
            FWnd = nullptr;
    }
    TPaintDC(TPaintDC&& other) noexcept : FWnd(std::exchange(other.FWnd, nullptr)), FPaint(other.FPaint)
    {
        other.FPaint.hdc = nullptr;
    }
    TPaintDC& operator=(TPaintDC&& other) noexcept
    {
        if (this != &other) {
            reset();
            FWnd = std::exchange(other.FWnd, nullptr);
            FPaint = other.FPaint;
            other.FPaint.hdc = nullptr;
        }
        return *this;
    }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    ~TPaintDC() { reset(); }

    HDC get() const noexcept { return FPaint.hdc; }
    HWND window() const noexcept { return FWnd; }
    const PAINTSTRUCT& paint() const noexcept { return FPaint; }
    const RECT& rcPaint() const noexcept { return FPaint.rcPaint; }
    bool erase() const noexcept { return FPaint.fErase != FALSE; }
    explicit operator bool() const noexcept { return FWnd != nullptr && FPaint.hdc != nullptr; }
    // Gives up the DC; the caller then owes EndPaint(window(), &paint()).
    HDC release() noexcept
    {
        FWnd = nullptr;
        return std::exchange(FPaint.hdc, nullptr);
    }
    void reset() noexcept
    {
        if (FWnd && FPaint.hdc)
            EndPaint(FWnd, &FPaint);
        FWnd = nullptr;
        FPaint.hdc = nullptr;
    }

private:
    HWND FWnd = nullptr;
    PAINTSTRUCT FPaint{};
};

// Selects a bitmap, brush, pen or font into a DC and reselects the previous one on destruction.
// Regions are not objects one reselects (SelectObject returns a region type for them), hence not
// accepted. get() is the previous object; empty when SelectObject failed.
class TSelectObject {
public:
    TSelectObject() noexcept = default;
    TSelectObject(HDC dc, HBITMAP obj) noexcept : TSelectObject(dc, static_cast<HGDIOBJ>(obj), 0) {}
    TSelectObject(HDC dc, HBRUSH obj) noexcept : TSelectObject(dc, static_cast<HGDIOBJ>(obj), 0) {}
    TSelectObject(HDC dc, HPEN obj) noexcept : TSelectObject(dc, static_cast<HGDIOBJ>(obj), 0) {}
    TSelectObject(HDC dc, HFONT obj) noexcept : TSelectObject(dc, static_cast<HGDIOBJ>(obj), 0) {}
    template <class T> TSelectObject(HDC dc, const TGdiObject<T>& obj) noexcept : TSelectObject(dc, obj.get()) {}
    TSelectObject(HDC dc, HRGN obj) = delete;
    TSelectObject(HDC dc, const TRegionHandle& obj) = delete;

    TSelectObject(TSelectObject&& other) noexcept
        : FDC(std::exchange(other.FDC, nullptr)), FOld(std::exchange(other.FOld, nullptr))
    {
    }
    TSelectObject& operator=(TSelectObject&& other) noexcept
    {
        if (this != &other) {
            reset();
            FDC = std::exchange(other.FDC, nullptr);
            FOld = std::exchange(other.FOld, nullptr);
        }
        return *this;
    }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;
    ~TSelectObject() { reset(); }

    HGDIOBJ get() const noexcept { return FOld; }
    HDC dc() const noexcept { return FDC; }
    explicit operator bool() const noexcept { return FOld != nullptr; }
    // Keeps the new object selected; returns the previous one.
    HGDIOBJ release() noexcept
    {
        FDC = nullptr;
        return std::exchange(FOld, nullptr);
    }
    // Reselects the previous object now.
    void reset() noexcept
    {
        if (FDC && FOld)
            SelectObject(FDC, FOld);
        FDC = nullptr;
        FOld = nullptr;
    }

private:
    TSelectObject(HDC dc, HGDIOBJ obj, int) noexcept : FDC(dc), FOld(SelectObject(dc, obj))
    {
        if (!FOld)
            FDC = nullptr;
    }

    HDC FDC = nullptr;
    HGDIOBJ FOld = nullptr;
};

// SaveDC/RestoreDC: the DC's state (objects, modes, colours, clipping) comes back on destruction.
class TSaveDC {
public:
    TSaveDC() noexcept = default;
    explicit TSaveDC(HDC dc) noexcept : FDC(dc), FLevel(SaveDC(dc))
    {
        if (!FLevel)
            FDC = nullptr;
    }
    TSaveDC(TSaveDC&& other) noexcept : FDC(std::exchange(other.FDC, nullptr)), FLevel(std::exchange(other.FLevel, 0)) {}
    TSaveDC& operator=(TSaveDC&& other) noexcept
    {
        if (this != &other) {
            reset();
            FDC = std::exchange(other.FDC, nullptr);
            FLevel = std::exchange(other.FLevel, 0);
        }
        return *this;
    }
    TSaveDC(const TSaveDC&) = delete;
    TSaveDC& operator=(const TSaveDC&) = delete;
    ~TSaveDC() { reset(); }

    // The saved state's level, as RestoreDC takes it.
    int get() const noexcept { return FLevel; }
    HDC dc() const noexcept { return FDC; }
    explicit operator bool() const noexcept { return FLevel != 0; }
    int release() noexcept
    {
        FDC = nullptr;
        return std::exchange(FLevel, 0);
    }
    void reset() noexcept
    {
        if (FDC && FLevel)
            RestoreDC(FDC, FLevel);
        FDC = nullptr;
        FLevel = 0;
    }

private:
    HDC FDC = nullptr;
    int FLevel = 0;
};
