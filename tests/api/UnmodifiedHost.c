/* A program that knows nothing of Pembrox, for the launcher's test: it shows a window and a
 * button, looks after a moment whether someone subclassed its window (the skin does), and ends
 * with exit code 0 when so and 3 when not. */
#include <windows.h>

static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_TIMER) {
        const int skinned = (WNDPROC)GetWindowLongPtrA(w, GWLP_WNDPROC) != Proc;
        DestroyWindow(w);
        PostQuitMessage(skinned ? 0 : 3);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show)
{
    WNDCLASSA wc = {0};
    HWND w;
    MSG msg;
    (void)previous;
    (void)command;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "UnmodifiedHost";
    RegisterClassA(&wc);
    w = CreateWindowExA(0, "UnmodifiedHost", "Unmodified host", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, NULL, NULL,
                        instance, NULL);
    CreateWindowExA(0, "BUTTON", "A button", WS_CHILD | WS_VISIBLE, 10, 10, 100, 26, w, NULL, instance, NULL);
    ShowWindow(w, show);
    SetTimer(w, 1, 1500, NULL);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
