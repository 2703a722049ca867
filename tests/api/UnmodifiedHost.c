/* A program that knows nothing of Pembrox, for the launcher's tests: it shows a window and a
 * button and, after a moment, ends with exit code 0 when someone subclassed its window (the skin
 * does) before it was first shown, 4 when only later, and 3 when not at all. Given a file name, it
 * first writes there the colours of two points of its client area, one on the window's ground and
 * one on the button, and that exit code, as "RRGGBB RRGGBB N". "/start ARGS" starts another copy of
 * itself with ARGS and ends at once with exit code 5 (a program that starts another). */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static const char* GReport = NULL;
static int GSkinnedWhenShown = -1;

static int Outcome(HWND w);

static void Report(HWND w)
{
    HDC dc = GetDC(w);
    COLORREF ground = GetPixel(dc, 200, 100);
    COLORREF button = GetPixel(dc, 16, 30);
    FILE* f;
    ReleaseDC(w, dc);
    f = fopen(GReport, "w");
    if (f == NULL)
        return;
    fprintf(f, "%02X%02X%02X %02X%02X%02X %d\n", GetRValue(ground), GetGValue(ground), GetBValue(ground),
            GetRValue(button), GetGValue(button), GetBValue(button), Outcome(w));
    fclose(f);
}

static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);

static int Outcome(HWND w)
{
    const int skinned = (WNDPROC)GetWindowLongPtrA(w, GWLP_WNDPROC) != Proc;
    return !skinned ? 3 : GSkinnedWhenShown == 1 ? 0 : 4;
}

static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    const int skinned = (WNDPROC)GetWindowLongPtrA(w, GWLP_WNDPROC) != Proc;
    if (msg == WM_SHOWWINDOW && wp != 0 && GSkinnedWhenShown < 0)
        GSkinnedWhenShown = skinned;
    if (msg == WM_TIMER) {
        KillTimer(w, 1);
        if (GReport != NULL)
            Report(w);
        PostQuitMessage(Outcome(w));
        DestroyWindow(w);
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
    if (command != NULL && strncmp(command, "/start ", 7) == 0) {
        char self[MAX_PATH], line[2 * MAX_PATH];
        STARTUPINFOA start = {sizeof start};
        PROCESS_INFORMATION started;
        GetModuleFileNameA(NULL, self, MAX_PATH);
        snprintf(line, sizeof line, "\"%s\" %s", self, command + 7);
        if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &start, &started))
            return 6;
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        return 5;
    }
    if (command != NULL && *command != 0)
        GReport = command;
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
