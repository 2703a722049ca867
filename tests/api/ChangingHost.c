/* A program that knows nothing of Pembrox and sizes and changes its window as many programs do: for
 * a client area it wants, through the platform's frame metrics, by a placement it saved before, by
 * changing its styles and its menu. It writes to the file it is given what it saw, one
 * "name=value" per line:
 *   asked    the client size after MoveWindow to AdjustWindowRectEx of 320 x 200
 *   window   GetWindowRect after that (position and size)
 *   session  the client size of a new window made at the first one's saved normal placement
 *   saved    that new window's own normal placement (its size), as it would save it again
 *   placed   the client size after SetWindowPlacement with the first window's placement
 *   nudged   the client size after SetWindowPos to its own GetWindowRect size plus 10 x 10
 *   style    its style as it reads it, masked to the frame's and caption buttons' styles
 *   nomax    the same after it took its maximise box away
 *   bare     window and client size after it took caption and menu away (a popup with a
 *            sizing border, as a clock without title bar)
 *   titled   window and client size with caption and menu back, and whether GetMenu gives its
 *            menu and a check mark set through it reads back
 *   nomenu   the client size after its menu was taken off and destroyed
 * and a last line "skinned=" with 1 or 0 for each of its two windows: whether its window procedure
 * was replaced (the skin took it over), the second's read after all the changes. */
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
    w = CreateWindowExA(0, "ChangingHost", "Sizing host", WS_OVERLAPPEDWINDOW, x, y, cx, cy, NULL, bar, instance, NULL);
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

static void Sizes(FILE* f, const char* name, HWND w)
{
    RECT c, r;
    GetClientRect(w, &c);
    GetWindowRect(w, &r);
    fprintf(f, "%s=%ldx%ld in %ldx%ld", name, c.right, c.bottom, r.right - r.left, r.bottom - r.top);
}

static void Restyle(HWND w, DWORD style)
{
    SetWindowLongA(w, GWL_STYLE, (LONG)style);
    SetWindowPos(w, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    Pump(300);
}

static const DWORD FrameStyles = WS_CAPTION | WS_THICKFRAME | WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

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
    wc.lpszClassName = "ChangingHost";
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

    /* Its styles and its menu, changed while it runs. */
    {
        HMENU bar = GetMenu(next);
        DWORD style = (DWORD)GetWindowLongA(next, GWL_STYLE);
        fprintf(f, "style=%08lx\n", style & FrameStyles);
        Restyle(next, style & ~WS_MAXIMIZEBOX);
        fprintf(f, "nomax=%08lx\n", (DWORD)GetWindowLongA(next, GWL_STYLE) & FrameStyles);
        SetMenu(next, NULL);
        Restyle(next, ((DWORD)GetWindowLongA(next, GWL_STYLE) & ~WS_OVERLAPPEDWINDOW) | WS_POPUP | WS_THICKFRAME);
        Sizes(f, "bare", next);
        fprintf(f, "\n");
        SetMenu(next, bar);
        Restyle(next, ((DWORD)GetWindowLongA(next, GWL_STYLE) & ~(WS_POPUP | WS_THICKFRAME)) | WS_OVERLAPPEDWINDOW);
        Sizes(f, "titled", next);
        CheckMenuItem(GetMenu(next), 2, MF_BYCOMMAND | MF_CHECKED);
        fprintf(f, " menu=%s check=%s\n", GetMenu(next) == bar ? "own" : "other",
                (GetMenuState(bar, 2, MF_BYCOMMAND) & MF_CHECKED) != 0 ? "set" : "lost");
        SetMenu(next, NULL);
        DestroyMenu(bar);
        Pump(300);
        Client(f, "nomenu", next);
    }
    fprintf(f, "skinned=%d%d\n", skinned, (WNDPROC)GetWindowLongPtrA(next, GWLP_WNDPROC) != Proc);
    fclose(f);
    DestroyWindow(next);
    return 0;
}
