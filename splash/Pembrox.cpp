// Pembrox, for now a placeholder: a centred window that says the splash program is not built
// yet, so that the run command shows that the 32-bit build starts and paints under Wine.
#include "framework/win/Handles.h"

namespace {

const char kClassName[] = "PembroxPlaceholder";
const char kText[] = "Pembrox\n\nThe splash program is not built yet.\nThis placeholder shows that "
                     "the 32-bit Windows build runs.\n\nPress Esc or close the window to end.";

LRESULT CALLBACK PlaceholderProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        TPaintDC dc(wnd);
        if (!dc)
            return 0;
        RECT client;
        GetClientRect(wnd, &client);
        TBrushHandle face(CreateSolidBrush(RGB(0x2B, 0x4C, 0x7E)));
        FillRect(dc.get(), &client, face.get());
        InflateRect(&client, -24, -24);
        SetBkMode(dc.get(), TRANSPARENT);
        SetTextColor(dc.get(), RGB(0xFF, 0xFF, 0xFF));
        TSelectObject font(dc.get(), static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
        DrawTextA(dc.get(), kText, -1, &client, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            DestroyWindow(wnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlaceholderProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc))
        return 1;
    const int width = 472, height = 293;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND wnd = CreateWindowExA(0, kClassName, "Pembrox", WS_POPUP | WS_BORDER, left, top, width, height,
                               nullptr, nullptr, instance, nullptr);
    if (wnd == nullptr)
        return 1;
    ShowWindow(wnd, show);
    UpdateWindow(wnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
