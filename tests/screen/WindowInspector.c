/* Looks at a running Windows program from outside, for the real-programs test: its visible
 * top-level windows, whether one of its popup menus shows; and asks its main window to close.
 *
 *   window_inspector list PROCESS            one line per visible top-level window of the process
 *                                            (and per MDI child of its main window)
 *   window_inspector wait PROCESS SECONDS    waits until its main window shows and holds still
 *   window_inspector menu PROCESS [SECONDS]  whether one of its popup menus ("#32768") shows,
 *                                            waiting up to SECONDS for one; then whether its
 *                                            main window's thread is in the menu mode:
 *                                            "menumode inmenu=0|1 popup=0|1 system=0|1 ..."
 *   window_inspector close PROCESS           posts WM_CLOSE to its main window
 *   window_inspector resize PROCESS W H      gives its main window the outer size W x H
 *   window_inspector colours                 the platform's caption colours as RRGGBB: active,
 *                                            its gradient's end, inactive, its gradient's end
 *
 * PROCESS is an executable's file name ("notepad.exe", any case; every running process of that
 * name counts) or a process id. The main window is the first visible top-level window, in
 * z-order, that has no owner and is neither a tool window nor a popup menu.
 *
 * A window's line: its kind (main, top, mdichild or popup), then key=value fields, the title last:
 *   main hwnd=0x... pid=N window=L,T,R,B size=WxH client=L,T,R,B csize=WxH style=0x... exstyle=0x...
 *        menubar=0|1 active=0|1 skinned=0|1|noanswer class=NAME title=TEXT
 * Rectangles are in screen coordinates; "active": the window is the foreground window; "skinned":
 * the window answers the skin's query message with 1.
 *
 * Exit status: 0 when done or found; 1 when the process, its window or a popup menu is not there;
 * 2 on a bad command line. */
#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define SKIN_QUERY 0x3504 /* a skinned window answers 1 */
#define MAX_PIDS 64

static DWORD GPids[MAX_PIDS];
static int GPidCount;

/* The processes PROCESS names: its id, or every process of that executable name. */
static int FindProcesses(const char* Process)
{
    char* end = NULL;
    const unsigned long id = strtoul(Process, &end, 10);
    GPidCount = 0;
    if (*Process != '\0' && *end == '\0') {
        GPids[GPidCount++] = (DWORD)id;
        return 1;
    }
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more && GPidCount < MAX_PIDS; more = Process32Next(snap, &entry)) {
        const char* name = strrchr(entry.szExeFile, '\\');
        name = name != NULL ? name + 1 : entry.szExeFile;
        if (lstrcmpiA(name, Process) == 0)
            GPids[GPidCount++] = entry.th32ProcessID;
    }
    CloseHandle(snap);
    return GPidCount > 0;
}

static int Ours(HWND Window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(Window, &pid);
    for (int i = 0; i < GPidCount; ++i)
        if (GPids[i] == pid)
            return 1;
    return 0;
}

static int IsPopupMenu(HWND Window)
{
    char cls[64] = "";
    GetClassNameA(Window, cls, sizeof cls);
    return strcmp(cls, "#32768") == 0;
}

/* The process's visible top-level windows in z-order (topmost first). */
typedef struct {
    HWND Windows[256];
    int Count;
} TWindowList;

static BOOL CALLBACK Collect(HWND Window, LPARAM Param)
{
    TWindowList* list = (TWindowList*)Param;
    if (list->Count < 256 && IsWindowVisible(Window) && Ours(Window))
        list->Windows[list->Count++] = Window;
    return TRUE;
}

static void TopLevelWindows(TWindowList* List)
{
    List->Count = 0;
    EnumWindows(Collect, (LPARAM)List);
}

static HWND MainWindow(const TWindowList* List)
{
    for (int i = 0; i < List->Count; ++i) {
        HWND w = List->Windows[i];
        if (GetWindow(w, GW_OWNER) == NULL && !(GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) && !IsPopupMenu(w))
            return w;
    }
    return NULL;
}

static void Describe(const char* Kind, HWND Window)
{
    RECT window, client;
    POINT origin = {0, 0};
    char cls[128] = "", title[256] = "";
    DWORD pid = 0;
    DWORD_PTR answer = 0;
    GetWindowRect(Window, &window);
    GetClientRect(Window, &client);
    ClientToScreen(Window, &origin);
    OffsetRect(&client, origin.x, origin.y);
    GetClassNameA(Window, cls, sizeof cls);
    GetWindowTextA(Window, title, sizeof title);
    GetWindowThreadProcessId(Window, &pid);
    const LRESULT answered = SendMessageTimeoutA(Window, SKIN_QUERY, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);
    const LONG_PTR style = GetWindowLongPtrA(Window, GWL_STYLE);
    printf("%s hwnd=0x%08lX pid=%lu window=%ld,%ld,%ld,%ld size=%ldx%ld client=%ld,%ld,%ld,%ld csize=%ldx%ld "
           "style=0x%08lX exstyle=0x%08lX menubar=%d active=%d skinned=%s class=%s title=%s\n",
           Kind, (unsigned long)(ULONG_PTR)Window, (unsigned long)pid, window.left, window.top, window.right,
           window.bottom, window.right - window.left, window.bottom - window.top, client.left, client.top,
           client.right, client.bottom, client.right - client.left, client.bottom - client.top,
           (unsigned long)style, (unsigned long)GetWindowLongPtrA(Window, GWL_EXSTYLE),
           !(style & WS_CHILD) && GetMenu(Window) != NULL, GetForegroundWindow() == Window,
           !answered ? "noanswer" : answer == 1 ? "1" : "0", cls, title);
}

/* The MDI children of the main window's MDI client, if it has one. */
static void PrintMdiChildren(HWND Main)
{
    HWND client = FindWindowExA(Main, NULL, "MDIClient", NULL);
    if (client == NULL)
        return;
    for (HWND child = GetWindow(client, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child))
            Describe("mdichild", child);
}

static int List(void)
{
    TWindowList list;
    TopLevelWindows(&list);
    HWND main = MainWindow(&list);
    for (int i = 0; i < list.Count; ++i)
        Describe(list.Windows[i] == main ? "main" : "top", list.Windows[i]);
    if (main != NULL)
        PrintMdiChildren(main);
    return list.Count > 0 ? 0 : 1;
}

/* Waits for the main window to show, then for its rectangle to hold still for half a second. */
static int Wait(const char* Process, double Seconds)
{
    const DWORD start = GetTickCount();
    RECT last = {0, 0, 0, 0};
    HWND lastWindow = NULL;
    int still = 0;
    for (;;) {
        const int timeUp = GetTickCount() - start > (DWORD)(Seconds * 1000);
        HWND main = NULL;
        if (FindProcesses(Process)) {
            TWindowList list;
            TopLevelWindows(&list);
            main = MainWindow(&list);
        }
        if (main != NULL) {
            RECT r;
            GetWindowRect(main, &r);
            still = main == lastWindow && EqualRect(&r, &last) ? still + 1 : 0;
            last = r;
            lastWindow = main;
            if (still >= 10 || timeUp) {
                if (still < 10)
                    fprintf(stderr, "window_inspector: the main window was still moving after %g s\n", Seconds);
                Describe("main", main);
                return 0;
            }
        } else if (timeUp) {
            fprintf(stderr, "window_inspector: no main window of %s after %g s\n", Process, Seconds);
            return 1;
        }
        Sleep(50);
    }
}

/* The process's visible popup menus, waiting up to Seconds for one; then the menu state of its
 * main window's thread. */
static int Menu(const char* Process, double Seconds)
{
    const DWORD start = GetTickCount();
    int found = 0;
    TWindowList list;
    for (;;) {
        if (FindProcesses(Process)) {
            TopLevelWindows(&list);
            for (int i = 0; i < list.Count; ++i)
                if (IsPopupMenu(list.Windows[i])) {
                    Describe("popup", list.Windows[i]);
                    found = 1;
                }
        }
        if (found || GetTickCount() - start >= (DWORD)(Seconds * 1000))
            break;
        Sleep(50);
    }
    HWND main = GPidCount > 0 ? MainWindow(&list) : NULL; /* the list of the last round */
    if (main != NULL) {
        GUITHREADINFO info;
        memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(main, NULL), &info))
            printf("menumode inmenu=%d popup=%d system=%d menuowner=0x%08lX\n", !!(info.flags & GUI_INMENUMODE),
                   !!(info.flags & GUI_POPUPMENUMODE), !!(info.flags & GUI_SYSTEMMENUMODE),
                   (unsigned long)(ULONG_PTR)info.hwndMenuOwner);
    }
    if (!found)
        printf("no popup menu\n");
    return found ? 0 : 1;
}

static HWND FindMain(const char* Process)
{
    TWindowList list;
    if (!FindProcesses(Process)) {
        fprintf(stderr, "window_inspector: no process %s\n", Process);
        return NULL;
    }
    TopLevelWindows(&list);
    HWND main = MainWindow(&list);
    if (main == NULL)
        fprintf(stderr, "window_inspector: %s has no main window\n", Process);
    return main;
}

static int Colours(void)
{
    const int indexes[] = {COLOR_ACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION, COLOR_INACTIVECAPTION,
                           COLOR_GRADIENTINACTIVECAPTION};
    for (int i = 0; i < 4; ++i) {
        const COLORREF c = GetSysColor(indexes[i]);
        printf("%02X%02X%02X%s", GetRValue(c), GetGValue(c), GetBValue(c), i < 3 ? " " : "\n");
    }
    return 0;
}

static int Usage(void)
{
    fprintf(stderr, "usage: window_inspector list|wait|menu|close|resize|colours PROCESS [ARGS]\n");
    return 2;
}

int main(int argc, char** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc == 2 && strcmp(argv[1], "colours") == 0)
        return Colours();
    if (argc < 3)
        return Usage();
    const char* command = argv[1];
    const char* process = argv[2];
    if (strcmp(command, "list") == 0 && argc == 3) {
        if (!FindProcesses(process)) {
            fprintf(stderr, "window_inspector: no process %s\n", process);
            return 1;
        }
        return List();
    }
    if (strcmp(command, "wait") == 0 && argc == 4)
        return Wait(process, atof(argv[3]));
    if (strcmp(command, "menu") == 0 && argc <= 4)
        return Menu(process, argc == 4 ? atof(argv[3]) : 0);
    if (strcmp(command, "close") == 0 && argc == 3) {
        HWND main = FindMain(process);
        return main != NULL && PostMessageA(main, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (strcmp(command, "resize") == 0 && argc == 5) {
        HWND main = FindMain(process);
        return main != NULL && SetWindowPos(main, NULL, 0, 0, atoi(argv[3]), atoi(argv[4]),
                                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
    }
    return Usage();
}
