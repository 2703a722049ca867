// A whole window, frame included, as its window DC shows it: 32 bits a pixel, rows top first.
#pragma once

#include "framework/win/Handles.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// Rows rows from Top only, when given (a cheap look at one band of a large window).
inline std::vector<uint32_t> WindowPixels(HWND W, int Top = 0, int Rows = -1)
{
    RECT r{};
    GetWindowRect(W, &r);
    const int w = r.right - r.left, h = Rows < 0 ? r.bottom - r.top - Top : Rows;
    if (w <= 0 || h <= 0)
        return {};
    TWindowDC window(W);
    TMemoryDC memory(window.get());
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TBitmapHandle dib(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || bits == nullptr)
        return {};
    TSelectObject selected(memory.get(), dib.get());
    BitBlt(memory.get(), 0, 0, w, h, window.get(), 0, Top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(p, p + static_cast<size_t>(w) * static_cast<size_t>(h));
}

// One pixel of the window (frame included) as its window DC shows it, 0x00RRGGBB.
inline uint32_t WindowPixel(HWND W, int X, int Y)
{
    TWindowDC dc(W);
    const COLORREF c = GetPixel(dc.get(), X, Y);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// The pixel at (X, Y) of each window, in order.
inline std::vector<uint32_t> WindowPixelOfEach(const std::vector<HWND>& Windows, int X, int Y)
{
    std::vector<uint32_t> out;
    for (HWND w : Windows)
        out.push_back(WindowPixel(w, X, Y));
    return out;
}
