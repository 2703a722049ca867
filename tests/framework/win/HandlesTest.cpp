#include "framework/win/Handles.h"

#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

HBITMAP MakeBitmap() { return CreateBitmap(2, 2, 1, 1, nullptr); }
HBRUSH MakeBrush() { return CreateSolidBrush(RGB(1, 2, 3)); }
HPEN MakePen() { return CreatePen(PS_SOLID, 1, RGB(4, 5, 6)); }
HFONT MakeFont() { return CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"); }
HRGN MakeRegion() { return CreateRectRgn(0, 0, 10, 10); }

// Passes three objects through a holder's ways of owning (construct, move, move-assign onto a
// full holder, reset to a new one, destruction). Returns how many of them could not be created
// or outlived their holders.
template <class Holder, class Make> int CycleThroughHolders(Make make)
{
    typename Holder::Handle made[3];
    {
        Holder a(make());
        Holder b(std::move(a));
        Holder c(make());
        made[0] = b.get();
        made[1] = c.get();
        c = std::move(b); // deletes c's own
        made[2] = make();
        c.reset(made[2]); // deletes the one moved in
    }
    int bad = 0;
    for (auto h : made)
        bad += !h || GetObjectType(h) != 0;
    return bad;
}

TEST(GdiHolders, LeaveNoGdiObjectBehind)
{
    // Wine's GetGuiResources is a stub (0, ERROR_CALL_NOT_IMPLEMENTED). Where it counts nothing,
    // besides checking each handle is dead, the cycles make more objects than a process may hold
    // (Wine's table has room for about 65,000): a way of owning that loses one object per cycle
    // makes creation fail before the end.
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    constexpr int kCycles = 14000; // 5 kinds x 14,000 > 65,536
    int failed = 0;
    for (int i = 0; i < kCycles; ++i) {
        failed += CycleThroughHolders<TBitmapHandle>(MakeBitmap);
        failed += CycleThroughHolders<TBrushHandle>(MakeBrush);
        failed += CycleThroughHolders<TPenHandle>(MakePen);
        failed += CycleThroughHolders<TFontHandle>(MakeFont);
        failed += CycleThroughHolders<TRegionHandle>(MakeRegion);
    }
    EXPECT_EQ(0, failed);
    if (before != 0) {
        EXPECT_EQ(before, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    }

    // And directly: the handle is dead once its holder is gone.
    HBITMAP bitmap;
    HRGN region;
    {
        TBitmapHandle b(MakeBitmap());
        TRegionHandle r(MakeRegion());
        bitmap = b.get();
        region = r.get();
        EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(bitmap));
        EXPECT_EQ(static_cast<DWORD>(OBJ_REGION), GetObjectType(region));
    }
    EXPECT_EQ(0u, GetObjectType(bitmap));
    EXPECT_EQ(0u, GetObjectType(region));
}

TEST(GdiHolders, ReleaseAndResetKeepOwnershipStraight)
{
    TPenHandle pen(MakePen());
    const HPEN raw = pen.get();
    pen.reset(raw); // the same handle again: kept, not deleted
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(raw));
    TPenHandle& same = pen;
    pen = std::move(same); // self-assignment keeps the pen
    EXPECT_EQ(raw, pen.get());
    EXPECT_EQ(raw, pen.release());
    EXPECT_FALSE(pen);
    pen.reset();
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(raw)); // given up, so still alive
    EXPECT_TRUE(DeleteObject(raw));
}

TEST(DCHolders, SelectObjectPutsThePreviousObjectBack)
{
    TMemoryDC dc(nullptr);
    ASSERT_TRUE(dc);
    const HGDIOBJ stockBitmap = GetCurrentObject(dc.get(), OBJ_BITMAP);
    const HGDIOBJ stockPen = GetCurrentObject(dc.get(), OBJ_PEN);
    const HGDIOBJ stockBrush = GetCurrentObject(dc.get(), OBJ_BRUSH);
    const HGDIOBJ stockFont = GetCurrentObject(dc.get(), OBJ_FONT);

    HBITMAP bitmapSeen;
    {
        TBitmapHandle bitmap(CreateCompatibleBitmap(dc.get(), 8, 8));
        bitmapSeen = bitmap.get();
        TPenHandle pen(MakePen()), pen2(MakePen());
        TBrushHandle brush(MakeBrush());
        TFontHandle font(MakeFont());
        TSelectObject selBitmap(dc.get(), bitmap);
        TSelectObject selPen(dc.get(), pen);
        TSelectObject selBrush(dc.get(), brush.get());
        TSelectObject selFont(dc.get(), font);
        EXPECT_EQ(stockBitmap, selBitmap.get());
        EXPECT_EQ(bitmap.get(), GetCurrentObject(dc.get(), OBJ_BITMAP));
        EXPECT_EQ(font.get(), GetCurrentObject(dc.get(), OBJ_FONT));
        {
            TSelectObject inner(dc.get(), pen2);
            EXPECT_EQ(pen.get(), inner.get());
            TSelectObject moved(std::move(inner));
            EXPECT_FALSE(inner);
            EXPECT_EQ(pen2.get(), GetCurrentObject(dc.get(), OBJ_PEN));
        }
        EXPECT_EQ(pen.get(), GetCurrentObject(dc.get(), OBJ_PEN));
        // The holders of the objects go after the selections (declared first): by then they are
        // no longer selected and can really be deleted.
    }
    EXPECT_EQ(stockBitmap, GetCurrentObject(dc.get(), OBJ_BITMAP));
    EXPECT_EQ(stockPen, GetCurrentObject(dc.get(), OBJ_PEN));
    EXPECT_EQ(stockBrush, GetCurrentObject(dc.get(), OBJ_BRUSH));
    EXPECT_EQ(stockFont, GetCurrentObject(dc.get(), OBJ_FONT));
    EXPECT_EQ(0u, GetObjectType(bitmapSeen));

    // release() leaves the new object selected.
    TBrushHandle brush(MakeBrush());
    TSelectObject kept(dc.get(), brush);
    EXPECT_EQ(stockBrush, kept.release());
    EXPECT_EQ(brush.get(), GetCurrentObject(dc.get(), OBJ_BRUSH));
    SelectObject(dc.get(), stockBrush);
}

TEST(DCHolders, FailedSelectionHoldsNothing)
{
    TMemoryDC first(nullptr), second(nullptr);
    TBitmapHandle bitmap(CreateCompatibleBitmap(first.get(), 4, 4));
    TSelectObject inFirst(first.get(), bitmap);
    ASSERT_TRUE(inFirst);
    const HGDIOBJ secondBitmap = GetCurrentObject(second.get(), OBJ_BITMAP);
    {
        // A bitmap can be selected into one DC at a time.
        TSelectObject inSecond(second.get(), bitmap);
        EXPECT_FALSE(inSecond);
    }
    EXPECT_EQ(secondBitmap, GetCurrentObject(second.get(), OBJ_BITMAP));
    EXPECT_EQ(bitmap.get(), GetCurrentObject(first.get(), OBJ_BITMAP));
}

TEST(DCHolders, SaveDCRestoresTheState)
{
    TMemoryDC dc(nullptr);
    SetTextColor(dc.get(), RGB(10, 20, 30));
    SetBkMode(dc.get(), OPAQUE);
    const HGDIOBJ stockPen = GetCurrentObject(dc.get(), OBJ_PEN);
    TPenHandle pen(MakePen());
    {
        TSaveDC outer(dc.get());
        ASSERT_TRUE(outer);
        SetTextColor(dc.get(), RGB(200, 100, 50));
        SelectObject(dc.get(), pen.get());
        {
            TSaveDC inner(dc.get());
            EXPECT_GT(inner.get(), outer.get());
            SetBkMode(dc.get(), TRANSPARENT);
        }
        EXPECT_EQ(OPAQUE, GetBkMode(dc.get()));
        EXPECT_EQ(pen.get(), GetCurrentObject(dc.get(), OBJ_PEN));
    }
    EXPECT_EQ(RGB(10, 20, 30), GetTextColor(dc.get()));
    EXPECT_EQ(stockPen, GetCurrentObject(dc.get(), OBJ_PEN));
}

TEST(DCHolders, WindowDCsAreGivenBack)
{
    TTestWindows windows;
    const HWND wnd = windows.CreateChild(TTestWindows::Stage());
    // ReleaseDC answers 1 only for a DC that is still out.
    HDC dc;
    {
        TClientDC client(wnd);
        ASSERT_TRUE(client);
        dc = client.get();
        EXPECT_EQ(wnd, client.window());
        TClientDC moved(std::move(client));
        EXPECT_FALSE(client);
    }
    EXPECT_EQ(0, ReleaseDC(wnd, dc));
    {
        TWindowDC window(wnd);
        ASSERT_TRUE(window);
        dc = window.get();
    }
    EXPECT_EQ(0, ReleaseDC(wnd, dc));
    {
        TDCEx ex(wnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
        ASSERT_TRUE(ex);
        dc = ex.get();
    }
    EXPECT_EQ(0, ReleaseDC(wnd, dc));
    {
        TClientDC given(wnd);
        dc = given.release();
    }
    EXPECT_EQ(1, ReleaseDC(wnd, dc));

    // Memory DCs are deleted.
    {
        TMemoryDC memory(nullptr);
        dc = memory.get();
        EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(dc));
        TMemoryDC adopted = TMemoryDC::Adopt(CreateCompatibleDC(nullptr));
        memory = std::move(adopted); // deletes the first
    }
    EXPECT_EQ(0u, GetObjectType(dc));
}

TEST(DCHolders, PaintDCEndsThePaint)
{
    TTestWindows windows;
    TMessageRecorder recorder;
    const HWND wnd = windows.CreateChild(TTestWindows::Stage(), &recorder);
    HDC paintDC = nullptr;
    RECT painted{};
    int releasedAfter = -1;
    recorder.SetHandler([&](TMessage& m) {
        if (m.Msg != WM_PAINT)
            return false;
        {
            TPaintDC paint(wnd);
            paintDC = paint.get();
            painted = paint.rcPaint();
            EXPECT_TRUE(paint);
        }
        releasedAfter = ReleaseDC(wnd, paintDC); // 0: EndPaint gave it back already
        return true;
    });
    UpdateWindow(wnd);
    InvalidateRect(wnd, nullptr, FALSE);
    UpdateWindow(wnd);
    ASSERT_TRUE(paintDC);
    EXPECT_GT(painted.right, painted.left);
    EXPECT_EQ(0, releasedAfter);
    EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE));
}

LRESULT CALLBACK CountingHook(int code, WPARAM wParam, LPARAM lParam);
int gHookCalls = 0;
LRESULT CALLBACK CountingHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_APP + 3)
        ++gHookCalls;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(UserHolders, HookIsRemoved)
{
    TTestWindows windows;
    const HWND wnd = windows.CreateTopLevel();
    gHookCalls = 0;
    {
        THookHandle hook(SetWindowsHookExA(WH_CALLWNDPROC, &CountingHook, nullptr, GetCurrentThreadId()));
        ASSERT_TRUE(hook);
        SendMessageA(wnd, WM_APP + 3, 0, 0);
        EXPECT_EQ(1, gHookCalls);
        THookHandle moved(std::move(hook));
        SendMessageA(wnd, WM_APP + 3, 0, 0);
        EXPECT_EQ(2, gHookCalls);
    }
    SendMessageA(wnd, WM_APP + 3, 0, 0);
    EXPECT_EQ(2, gHookCalls);
}

TEST(UserHolders, IconAndWindowAreDestroyed)
{
    BYTE andMask[32 * 4], xorMask[32 * 4];
    std::fill(std::begin(andMask), std::end(andMask), 0xFF);
    std::fill(std::begin(xorMask), std::end(xorMask), 0x00);
    HICON raw;
    {
        TIconHandle icon(CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andMask, xorMask));
        ASSERT_TRUE(icon);
        raw = icon.get();
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(raw, &info));
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
    }
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(raw, &info));

    TTestWindows windows; // registers the class
    TWindowHandle first(CreateWindowExA(0, TTestWindows::ClassName(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr));
    TWindowHandle second(CreateWindowExA(0, TTestWindows::ClassName(), "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                         nullptr, GetModuleHandleA(nullptr), nullptr));
    const HWND firstWnd = first.get(), secondWnd = second.get();
    second = std::move(first); // destroys the second window
    EXPECT_FALSE(IsWindow(secondWnd));
    EXPECT_TRUE(IsWindow(firstWnd));
    const HWND kept = second.release();
    second.reset();
    EXPECT_TRUE(IsWindow(kept));
    second.reset(kept);
    second.reset();
    EXPECT_FALSE(IsWindow(firstWnd));
}

} // namespace
