/* A program that knows nothing of Pembrox and sizes its window as many programs do: for a client
 * area it wants, through the platform's frame metrics, and by a placement it saved before. It
 * writes to the file it is given what it saw, one "name=value" per line:
 *   asked    the client size after MoveWindow to AdjustWindowRectEx of 320 x 200
 *   window   GetWindowRect after that (position and size)
 *   session  the client size of a new window made at the first one's saved normal placement
 *   saved    that new window's own normal placement (its size), as it would save it again
 *   placed   the client size after SetWindowPlacement with the first window's placement
 *   nudged   the client size after SetWindowPos to its own GetWindowRect size plus 10 x 10
 * and a last line "skinned=1" when its window procedure was replaced (the skin took it over). */
#include <stdio.h>
#include <windows.h>

static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(w, msg, wp, lp);
}

static void Pump(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    MSG msg;
    while ((LONG)(GetTickCount() - end) < 0) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

static HWND Make(HINSTANCE instance, int x, int y, int cx, int cy)
{
    HMENU bar = CreateMenu(), file = CreatePopupMenu();
    HWND w;
    AppendMenuA(file, MF_STRING, 1, "E&xit");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)file, "&File");
    AppendMenuA(bar, MF_STRING, 2, "&Help");
    w = CreateWindowExA(0, "SizingHost", "Sizing host", WS_OVERLAPPEDWINDOW, x, y, cx, cy, NULL, bar, instance, NULL);
    ShowWindow(w, SW_SHOWNORMAL);
    Pump(300);
    return w;
}

static void Client(FILE* f, const char* name, HWND w)
{
    RECT c;
    GetClientRect(w, &c);
    fprintf(f, "%s=%ldx%ld\n", name, c.right, c.bottom);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show)
{
    WNDCLASSA wc = {0};
    WINDOWPLACEMENT first = {sizeof first}, again = {sizeof again};
    RECT r = {0, 0, 320, 200}, seen;
    HWND w, next;
    FILE* f;
    int skinned;
    (void)previous;
    (void)show;
    if (command == NULL || *command == 0 || (f = fopen(command, "w")) == NULL)
        return 2;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "SizingHost";
    RegisterClassA(&wc);

    w = Make(instance, CW_USEDEFAULT, CW_USEDEFAULT, 200, 150);
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, 0);
    MoveWindow(w, 50, 60, r.right - r.left, r.bottom - r.top, TRUE);
    Pump(200);
    Client(f, "asked", w);
    GetWindowRect(w, &seen);
    fprintf(f, "window=%ld,%ld %ldx%ld\n", seen.left, seen.top, seen.right - seen.left, seen.bottom - seen.top);
    GetWindowPlacement(w, &first);
    skinned = (WNDPROC)GetWindowLongPtrA(w, GWLP_WNDPROC) != Proc;
    DestroyWindow(w);

    /* The next session: the window made where and as large as the last one was saved. */
    next = Make(instance, first.rcNormalPosition.left, first.rcNormalPosition.top,
                first.rcNormalPosition.right - first.rcNormalPosition.left,
                first.rcNormalPosition.bottom - first.rcNormalPosition.top);
    Client(f, "session", next);
    GetWindowPlacement(next, &again);
    fprintf(f, "saved=%ldx%ld\n", again.rcNormalPosition.right - again.rcNormalPosition.left,
            again.rcNormalPosition.bottom - again.rcNormalPosition.top);
    first.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(next, &first);
    Pump(200);
    Client(f, "placed", next);
    GetWindowRect(next, &seen);
    SetWindowPos(next, NULL, 0, 0, seen.right - seen.left + 10, seen.bottom - seen.top + 10, SWP_NOMOVE | SWP_NOZORDER);
    Pump(200);
    Client(f, "nudged", next);
    fprintf(f, "skinned=%d\n", skinned);
    fclose(f);
    DestroyWindow(next);
    return 0;
}
