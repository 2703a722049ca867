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
thread_local TPrint* GPrint = nullptr;

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

namespace {

// Where a pixel lies between two colours, measured on the channel on which they differ most.
struct TAxis {
    TAxis(COLORREF AFrom, COLORREF ATo) : From(AFrom)
    {
        for (int c = 1; c < 3; ++c)
            if (std::abs(Channel(ATo, c) - Channel(AFrom, c)) > std::abs(Channel(ATo, Along) - Channel(AFrom, Along)))
                Along = c;
        Span = Channel(ATo, Along) - Channel(AFrom, Along);
    }
    // 0 at the first colour, 256 at the second, for a DIB pixel (0x00RRGGBB; COLORREF channel 0
    // is red).
    int At(uint32_t Pixel) const
    {
        const int at = static_cast<int>((Pixel >> (16 - 8 * Along)) & 0xFF);
        return std::clamp((at - Channel(From, Along)) * 256 / Span, 0, 256);
    }
    COLORREF From;
    int Along = 0;
    int Span = 0;
};

// The colour T 256ths of the way from A to B, as a DIB pixel.
uint32_t Mix(COLORREF A, COLORREF B, int T)
{
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c)
        out |= static_cast<uint32_t>(Channel(A, c) + (Channel(B, c) - Channel(A, c)) * T / 256) << (16 - 8 * c);
    return out;
}

// Window's client area printed off-screen on Ground (Print(memory DC, ground brush) prints it,
// false when the print does not count), its pixels changed by Recolour(pixels, width, height),
// then put on DC. False, with nothing painted, when any step failed.
template <class P, class R> bool PrintRecoloured(HWND Window, HDC DC, COLORREF Ground, P Print, R Recolour)
{
    RECT client{};
    if (DC == nullptr || !GetClientRect(Window, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    const int w = client.right, h = client.bottom;
    TMemoryDC memory(DC);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TBitmapHandle dib(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !dib || bits == nullptr)
        return false;
    TSelectObject selected(memory.get(), dib.get());
    TBrushHandle groundBrush(CreateSolidBrush(Ground));
    RECT all{0, 0, w, h};
    FillRect(memory.get(), &all, groundBrush.get());
    if (!Print(memory.get(), groundBrush.get()))
        return false;
    GdiFlush();
    Recolour(static_cast<uint32_t*>(bits), w, h);
    return BitBlt(DC, 0, 0, w, h, memory.get(), 0, 0, SRCCOPY) != FALSE;
}

// Whether a DIB pixel is off the grey line from black to white.
bool Coloured(uint32_t P)
{
    const int r = static_cast<int>((P >> 16) & 0xFF), g = static_cast<int>((P >> 8) & 0xFF),
              b = static_cast<int>(P & 0xFF);
    return std::max({std::abs(r - g), std::abs(g - b), std::abs(r - b)}) > 24;
}

} // namespace

bool PaintReadableDisabled(HWND Window, HDC DC, const TSkinData& Data)
{
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF ground =
        ContrastRatio(grey, RGB(0, 0, 0)) >= ContrastRatio(grey, RGB(255, 255, 255)) ? RGB(0, 0, 0) : RGB(255, 255, 255);
    const COLORREF face = ColorToRGB(Data.Colours().ButtonFace);
    const COLORREF text = ReadableOn(face, ColorToRGB(Data.Colours().GrayText));
    // Where each pixel lies between the ground and the platform's grey is where it lies between
    // the face and the readable grey.
    const TAxis axis(ground, grey);
    if (axis.Span == 0)
        return false;
    auto printGrounded = [Window](HDC Memory, HBRUSH Ground) {
        TPrint print{Window, Ground, false};
        TPrint* outer = std::exchange(GPrint, &print);
        SendMessageA(Window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Memory), PRF_CLIENT | PRF_ERASEBKGND);
        GPrint = outer;
        return print.Grounded;
    };
    return PrintRecoloured(Window, DC, ground, printGrounded, [&](uint32_t* Pixels, int W, int H) {
        for (size_t i = 0, n = static_cast<size_t>(W) * static_cast<size_t>(H); i < n; ++i)
            Pixels[i] = Mix(face, text, axis.At(Pixels[i]));
    });
}

bool PaintInContentColours(HWND Window, HDC DC, const TSkinData& Data)
{
    const COLORREF ground = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF newGround = ColorToRGB(Data.Colours().Window), newText = ColorToRGB(Data.Colours().WindowText);
    const TAxis axis(ground, text);
    if (axis.Span == 0)
        return false;
    auto print = [Window](HDC Memory, HBRUSH) {
        SendMessageA(Window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Memory), PRF_CLIENT);
        return true;
    };
    return PrintRecoloured(Window, DC, ground, print, [&](uint32_t* Pixels, int W, int H) {
        auto pixel = [&](int X, int Y) -> uint32_t& {
            return Pixels[static_cast<size_t>(Y) * static_cast<size_t>(W) + static_cast<size_t>(X)];
        };
        RECT mark{W, H, 0, 0};
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (Coloured(pixel(x, y)))
                    mark = RECT{std::min<LONG>(mark.left, x), std::min<LONG>(mark.top, y),
                                std::max<LONG>(mark.right, x + 1), std::max<LONG>(mark.bottom, y + 1)};
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                uint32_t& p = pixel(x, y);
                if (Coloured(p))
                    continue;
                // Inside the selected field's mark, the platform's ground is its text.
                const bool marked = x >= mark.left && x < mark.right && y >= mark.top && y < mark.bottom;
                p = marked ? Mix(newText, newGround, axis.At(p)) : Mix(newGround, newText, axis.At(p));
            }
    });
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
