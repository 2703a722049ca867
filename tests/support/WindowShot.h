// The client area of a window as it is on screen, after everything pending has painted, for
// pixel assertions.
#pragma once

#include "tests/support/MessageRecorder.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class TShot {
public:
    explicit TShot(HWND Window)
    {
        PumpMessages();
        RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
        RECT r{};
        GetClientRect(Window, &r);
        FWidth = r.right;
        FHeight = r.bottom;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = FWidth;
        info.bmiHeader.biHeight = -FHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HDC screen = GetDC(Window);
        HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC mem = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, FWidth, FHeight, screen, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const uint8_t*>(bits);
        FPixels.resize(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight));
        for (size_t i = 0; i < FPixels.size(); ++i)
            FPixels[i] = RGB(p[i * 4 + 2], p[i * 4 + 1], p[i * 4]);
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(dib);
        ReleaseDC(Window, screen);
    }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    COLORREF At(int X, int Y) const
    {
        if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
            return CLR_INVALID;
        return FPixels[static_cast<size_t>(Y) * static_cast<size_t>(FWidth) + static_cast<size_t>(X)];
    }
    // How many pixels of Rect have Color.
    int Count(const RECT& Rect, COLORREF Color) const
    {
        int n = 0;
        for (int y = Rect.top; y < Rect.bottom; ++y)
            for (int x = Rect.left; x < Rect.right; ++x)
                n += At(x, y) == Color ? 1 : 0;
        return n;
    }

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<COLORREF> FPixels;
};
