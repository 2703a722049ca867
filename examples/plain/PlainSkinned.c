/* A plain Win32 program, written against the Win32 API alone: a window with a menu, an edit, a
 * list box and a dialog. One call, PembroxSkinStart, skins all of it; Skin > Off and Skin > On
 * switch the skin while it runs.
 *   PlainSkinned.exe [SKIN.skn | /noskin]
 */
#include <windows.h>

#include "pembrox/skin.h"

enum { IdAbout = 1, IdExit, IdSkinOn, IdSkinOff, IdList };

static INT_PTR CALLBACK AboutProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    (void)lp;
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

/* The About dialog, from a template in memory: a caption, a text, a check box and OK. */
static void ShowAbout(HWND owner)
{
    static WORD t[256];
    WORD* p = t;
    const char* s;
#define DWORDS(v) (*p++ = LOWORD(v), *p++ = HIWORD(v))
#define TEXT_(x) for (s = (x); *s; ++s) *p++ = (WORD)(unsigned char)*s; *p++ = 0
#define ITEM(cls, text, style, x, y, w, h, id) \
    if ((p - t) % 2) *p++ = 0; \
    DWORDS((style) | WS_CHILD | WS_VISIBLE); DWORDS(0); \
    *p++ = (x); *p++ = (y); *p++ = (w); *p++ = (h); *p++ = (id); \
    TEXT_(cls); TEXT_(text); *p++ = 0
    DWORDS(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT);
    DWORDS(0);
    *p++ = 3;
    *p++ = 0; *p++ = 0; *p++ = 180; *p++ = 70;
    *p++ = 0; *p++ = 0;
    TEXT_("About PlainSkinned");
    *p++ = 8;
    TEXT_("MS Shell Dlg");
    ITEM("STATIC", "A plain Win32 program, skinned by one call.", SS_LEFT, 10, 8, 160, 20, 0xFFFF);
    ITEM("BUTTON", "Show this again", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 30, 100, 12, 100);
    ITEM("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 120, 50, 50, 14, IDOK);
    DialogBoxIndirectParamA(GetModuleHandleA(NULL), (const DLGTEMPLATE*)t, owner, AboutProc, 0);
}

static LRESULT CALLBACK MainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE: {
        HWND list;
        int i;
        char item[32];
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "Type here", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 12, 12,
                        220, 22, w, NULL, GetModuleHandleA(NULL), NULL);
        list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY,
                               12, 44, 220, 150, w, (HMENU)IdList, GetModuleHandleA(NULL), NULL);
        for (i = 1; i <= 30; ++i) {
            wsprintfA(item, "List item %d", i);
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)item);
        }
        CreateWindowExA(0, "BUTTON", "About...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 248, 12, 100, 26, w,
                        (HMENU)IdAbout, GetModuleHandleA(NULL), NULL);
        CreateWindowExA(0, "BUTTON", "A check box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 248, 48, 120, 20, w,
                        NULL, GetModuleHandleA(NULL), NULL);
        return 0;
    }
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IdAbout:
            ShowAbout(w);
            return 0;
        case IdExit:
            DestroyWindow(w);
            return 0;
        case IdSkinOn:
            if (!PembroxSkinStart(NULL))
                MessageBoxA(w, PembroxSkinLastError(), "PlainSkinned", MB_OK | MB_ICONWARNING);
            return 0;
        case IdSkinOff:
            PembroxSkinStop();
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show)
{
    WNDCLASSA wc = {0};
    HMENU bar, file, skin;
    HWND w;
    MSG msg;
    (void)previous;

    /* The one line: the skin file named on the command line, else the built-in skin (/noskin:
     * none, to compare start-up times). */
    if (lstrcmpiA(command, "/noskin") != 0 && !PembroxSkinStart(command[0] != 0 ? command : NULL))
        MessageBoxA(NULL, PembroxSkinLastError(), "PlainSkinned: no skin", MB_OK | MB_ICONWARNING);

    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "PlainSkinnedWindow";
    RegisterClassA(&wc);
    bar = CreateMenu();
    file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, IdAbout, "&About...");
    AppendMenuA(file, MF_SEPARATOR, 0, NULL);
    AppendMenuA(file, MF_STRING, IdExit, "E&xit");
    skin = CreatePopupMenu();
    AppendMenuA(skin, MF_STRING, IdSkinOn, "&On");
    AppendMenuA(skin, MF_STRING, IdSkinOff, "O&ff");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)file, "&File");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)skin, "&Skin");
    w = CreateWindowExA(0, "PlainSkinnedWindow", "PlainSkinned", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        400, 280, NULL, bar, instance, NULL);
    ShowWindow(w, show);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    PembroxSkinStop();
    return (int)msg.wParam;
}
