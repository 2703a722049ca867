#include "skin/controls/SkinLabel.h"

#include "framework/core/Published.h"
#include "framework/win/Handles.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

IMPLEMENT_CLASS_EMPTY(TSkinLabel)

namespace {

// The control now printing its disabled text, the ground it is given, and whether its parent
// answered with it.
struct TPrint {
    HWND Control = nullptr;
    HBRUSH Ground = nullptr;
    bool Grounded = false;
};
TPrint* GPrint = nullptr;

uint8_t Channel(COLORREF C, int Index)
{
    return static_cast<uint8_t>(C >> (8 * Index));
}

} // namespace

HBRUSH DisabledPrintGround(HWND Control)
{
    if (GPrint == nullptr || Control == nullptr || Control != GPrint->Control)
        return nullptr;
    GPrint->Grounded = true;
    return GPrint->Ground;
}

bool PaintReadableDisabled(HWND Window, HDC DC, const TSkinData& Data)
{
    RECT client{};
    if (DC == nullptr || !GetClientRect(Window, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    const int w = client.right, h = client.bottom;
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF ground =
        ContrastRatio(grey, RGB(0, 0, 0)) >= ContrastRatio(grey, RGB(255, 255, 255)) ? RGB(0, 0, 0) : RGB(255, 255, 255);
    const COLORREF face = ColorToRGB(Data.Colours().ButtonFace);
    const COLORREF text = ReadableOn(face, ColorToRGB(Data.Colours().GrayText));

    TMemoryDC memory(DC);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TBitmapHandle dib(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !dib || bits == nullptr)
        return false;
    TSelectObject selected(memory.get(), dib.get());
    TBrushHandle groundBrush(CreateSolidBrush(ground));
    RECT all{0, 0, w, h};
    FillRect(memory.get(), &all, groundBrush.get());
    TPrint print{Window, groundBrush.get(), false};
    TPrint* outer = std::exchange(GPrint, &print);
    SendMessageA(Window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT | PRF_ERASEBKGND);
    GPrint = outer;
    if (!print.Grounded)
        return false;
    GdiFlush();

    // Where each pixel lies between the ground and the platform's grey, measured on the channel
    // on which they differ most, is where it lies between the face and the readable grey.
    int along = 0;
    for (int c = 1; c < 3; ++c)
        if (std::abs(Channel(grey, c) - Channel(ground, c)) > std::abs(Channel(grey, along) - Channel(ground, along)))
            along = c;
    const int span = Channel(grey, along) - Channel(ground, along);
    if (span == 0)
        return false;
    auto* pixel = static_cast<uint32_t*>(bits);
    for (size_t i = 0, n = static_cast<size_t>(w) * static_cast<size_t>(h); i < n; ++i) {
        // DIB pixels are 0x00RRGGBB; COLORREF channel 0 is red.
        const uint32_t p = pixel[i];
        const int at[3] = {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                           static_cast<int>(p & 0xFF)};
        const int t = std::clamp((at[along] - Channel(ground, along)) * 256 / span, 0, 256);
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const int v = Channel(face, c) + (Channel(text, c) - Channel(face, c)) * t / 256;
            out |= static_cast<uint32_t>(v) << (16 - 8 * c);
        }
        pixel[i] = out;
    }
    return BitBlt(DC, 0, 0, w, h, memory.get(), 0, 0, SRCCOPY) != FALSE;
}

namespace {

// Whether a DIB pixel (0x00RRGGBB) is off the grey line from black to white.
bool Coloured(uint32_t P)
{
    const int r = static_cast<int>((P >> 16) & 0xFF), g = static_cast<int>((P >> 8) & 0xFF),
              b = static_cast<int>(P & 0xFF);
    return std::max({std::abs(r - g), std::abs(g - b), std::abs(r - b)}) > 24;
}

} // namespace

bool PaintInContentColours(HWND Window, HDC DC, const TSkinData& Data)
{
    RECT client{};
    if (DC == nullptr || !GetClientRect(Window, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    const int w = client.right, h = client.bottom;
    const COLORREF ground = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF newGround = ColorToRGB(Data.Colours().Window), newText = ColorToRGB(Data.Colours().WindowText);
    int along = 0;
    for (int c = 1; c < 3; ++c)
        if (std::abs(Channel(text, c) - Channel(ground, c)) > std::abs(Channel(text, along) - Channel(ground, along)))
            along = c;
    const int span = Channel(text, along) - Channel(ground, along);
    if (span == 0)
        return false;

    TMemoryDC memory(DC);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TBitmapHandle dib(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !dib || bits == nullptr)
        return false;
    TSelectObject selected(memory.get(), dib.get());
    TBrushHandle groundBrush(CreateSolidBrush(ground));
    RECT all{0, 0, w, h};
    FillRect(memory.get(), &all, groundBrush.get());
    SendMessageA(Window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
    GdiFlush();

    auto* pixel = static_cast<uint32_t*>(bits);
    RECT mark{w, h, 0, 0};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (Coloured(pixel[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)]))
                mark = RECT{std::min<LONG>(mark.left, x), std::min<LONG>(mark.top, y), std::max<LONG>(mark.right, x + 1),
                            std::max<LONG>(mark.bottom, y + 1)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t& p = pixel[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
            if (Coloured(p))
                continue;
            const int at = static_cast<int>((p >> (16 - 8 * along)) & 0xFF);
            const int t = std::clamp((at - Channel(ground, along)) * 256 / span, 0, 256);
            const POINT pt{x, y};
            const bool marked = PtInRect(&mark, pt) != FALSE;
            const COLORREF from = marked ? newText : newGround, to = marked ? newGround : newText;
            uint32_t out = 0;
            for (int c = 0; c < 3; ++c) {
                const int v = Channel(from, c) + (Channel(to, c) - Channel(from, c)) * t / 256;
                out |= static_cast<uint32_t>(v) << (16 - 8 * c);
            }
            p = out;
        }
    return BitBlt(DC, 0, 0, w, h, memory.get(), 0, 0, SRCCOPY) != FALSE;
}

bool TSkinLabel::ShowsText(LONG Style)
{
    switch (Style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        return true;
    default:
        return false;
    }
}

void TSkinLabel::AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas)
{
    TSkinControl::AttachWindow(Window, Data, ACanvas);
    if (!IsWindowEnabled(Window))
        Refresh();
}

void TSkinLabel::Detach()
{
    const HWND window = FHandle;
    const bool attached = FWindowProc.Handle() != nullptr;
    TSkinControl::Detach();
    if (attached && window != nullptr && IsWindow(window) && !IsWindowEnabled(window) && !OwnerGoingAway())
        InvalidateRect(window, nullptr, TRUE);
}

bool TSkinLabel::BeforeMessage(TMessage& Message)
{
    return !TakeDisabledPaint(Message);
}

void TSkinLabel::AfterMessage(TMessage& Message)
{
    // Painting is BeforeMessage's; a change of state or text paints again.
    if (Message.Msg != WM_PAINT)
        TSkinControl::AfterMessage(Message);
}
