/* A program that makes its windows on three threads, for the tests of skinning every GUI thread.
 * Thread N (0, 1, 2) waits N * 400 ms, then shows "Threaded host N" (a button inside) at
 * x = 20 + 260 N, y = 120, and runs its message loop; the program ends with exit code 0 once all
 * three windows are closed (9 when they are not within 60 s).
 *
 *   ThreadedHost.exe                  knows nothing of Pembrox (for the launcher)
 *   ThreadedHost.exe /api SKIN.skn    brings in pembrox.dll (next to it) and takes commands, each
 *                                     carried out on the thread of the window it is sent to:
 *                                     the registered message "PembroxThreadedHostDo" with wParam
 *                                     1 PembroxSkinStart(NULL), 2 PembroxSkinLoad(SKIN.skn),
 *                                     3 PembroxSkinLoad(NULL), 4 PembroxSkinStop(); the answer is
 *                                     the call's result (1 for the stop), -1 without the DLL. */
#include <stdlib.h>
#include <string.h>
#include <windows.h>

typedef int(__stdcall* TSkinCall)(const char*);
typedef void(__stdcall* TStopCall)(void);

static TSkinCall GStart, GLoad;
static TStopCall GStop;
static const char* GSkin = "";
static UINT GDo;

static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == GDo && GDo != 0) {
        if (GStart == NULL || GLoad == NULL || GStop == NULL)
            return -1;
        switch (wp) {
        case 1: return GStart(NULL);
        case 2: return GLoad(GSkin);
        case 3: return GLoad(NULL);
        case 4: GStop(); return 1;
        default: return -1;
        }
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

static DWORD WINAPI WindowThread(LPVOID param)
{
    const int n = (int)(INT_PTR)param;
    char title[32] = "Threaded host 0";
    HWND w;
    MSG m;
    Sleep(400 * n);
    title[14] = (char)('0' + n);
    w = CreateWindowExA(0, "ThreadedHost", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20 + 260 * n, 120, 240, 160,
                        NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (w == NULL)
        return 1;
    CreateWindowExA(0, "BUTTON", "Press", WS_CHILD | WS_VISIBLE, 16, 16, 90, 26, w, NULL, GetModuleHandleA(NULL),
                    NULL);
    while (GetMessageA(&m, NULL, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show)
{
    WNDCLASSA wc = {0};
    HANDLE threads[3];
    int i;
    DWORD waited;
    (void)previous;
    (void)show;
    if (strncmp(command, "/api ", 5) == 0) {
        char path[MAX_PATH];
        char* slash;
        HMODULE dll;
        GSkin = command + 5;
        GetModuleFileNameA(NULL, path, MAX_PATH);
        slash = strrchr(path, '\\');
        strcpy(slash != NULL ? slash + 1 : path, "pembrox.dll");
        dll = LoadLibraryA(path);
        if (dll != NULL) {
            GStart = (TSkinCall)(void*)GetProcAddress(dll, "PembroxSkinStart");
            GLoad = (TSkinCall)(void*)GetProcAddress(dll, "PembroxSkinLoad");
            GStop = (TStopCall)(void*)GetProcAddress(dll, "PembroxSkinStop");
        }
        GDo = RegisterWindowMessageA("PembroxThreadedHostDo");
    }
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "ThreadedHost";
    RegisterClassA(&wc);
    for (i = 0; i < 3; ++i)
        threads[i] = CreateThread(NULL, 0, WindowThread, (LPVOID)(INT_PTR)i, 0, NULL);
    waited = WaitForMultipleObjects(3, threads, TRUE, 60000);
    return waited == WAIT_TIMEOUT ? 9 : 0;
}
