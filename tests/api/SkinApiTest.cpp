// The C interface on a plain Win32 program: a window of its own class with a menu, an edit and a
// list box, and a dialog, skinned by one call; another skin; a skin that does not load; a load
// from a thread that does not skin; and everything exact after the stop. Controls inside the program's own
// panes and child dialogs, and controls made later. The DLL's exports by plain name.
#include "pembrox/skin.h"

#include "skin/controls/AdaptorSet.h"
#include "skin/draw/SkinDraw.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/SkinMessages.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "framework/win/ObjectInstance.h"
#include "framework/win/Subclass.h"
#include "tests/support/GdiObjects.h"
#include "tests/support/Pump.h"
#include "tests/support/WindowPixels.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Commands 98 and 99 load the second skin and stop, each followed by a message loop of its own, as
// a menu command that opens a dialog would run one.
constexpr WPARAM LoadNight = 98, StopSkin = 99;
// Command 97 and timer 97 stop the skin and start it again at once, in the same handler, with
// the heap's freed blocks filled with garbage in between (as a host's own allocations would).
constexpr WPARAM RestartSkin = 97;
int GRestarts = 0;

void StopAndStartAgain()
{
    PembroxSkinStop();
    std::vector<std::unique_ptr<char[]>> garbage;
    for (int i = 0; i < 64; ++i) {
        garbage.emplace_back(new char[sizeof(TSkinManage)]);
        std::fill_n(garbage.back().get(), sizeof(TSkinManage), '\xFF');
    }
    if (PembroxSkinStart(nullptr) == 1 && PembroxSkinLoad(PEMBROX_NIGHT_SKIN_FILE) == 1)
        ++GRestarts;
}

LRESULT CALLBACK PlainProc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if ((Msg == WM_COMMAND || Msg == WM_TIMER) && WParam == RestartSkin) {
        if (Msg == WM_TIMER)
            KillTimer(W, RestartSkin);
        StopAndStartAgain();
        return 0;
    }
    if (Msg == WM_COMMAND && (WParam == LoadNight || WParam == StopSkin)) {
        if (WParam == LoadNight)
            PembroxSkinLoad(PEMBROX_NIGHT_SKIN_FILE);
        else
            PembroxSkinStop();
        Pump(100);
        return 0;
    }
    return DefWindowProcA(W, Msg, WParam, LParam);
}

// A plain program's main window: its own class, a menu, an edit and a list box.
HWND MakePlainWindow()
{
    // The cursor away from every window: no control shows its hot look in a picture.
    SetCursorPos(2, 2);
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "PlainHostWindow";
    RegisterClassA(&wc);
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 1, "&Open");
    AppendMenuA(file, MF_STRING, 2, "E&xit");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_STRING, 3, "&Help");
    HWND w = CreateWindowExA(0, "PlainHostWindow", "Plain host", WS_OVERLAPPEDWINDOW, 80, 60, 420, 300, nullptr,
                             bar, GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "Some text", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 200, 22,
                    w, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 40, 200, 120,
                                w, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int i = 1; i <= 20; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Item " + std::to_string(i)).c_str()));
    CreateWindowExA(0, "BUTTON", "Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 230, 10, 90, 26, w, nullptr,
                    GetModuleHandleA(nullptr), nullptr);
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);
    return w;
}

// The window as the screen shows it once the queue has run (a pending request of the manager
// included), without asking it to redraw: what the engine forgot to repaint shows as it is.
std::vector<uint32_t> Shot(HWND W)
{
    Pump(150);
    for (int i = 0; i < 100 && SkinManager() != nullptr && SkinManager()->TimerArmed(); ++i)
        Pump(20);
    Pump(150);
    return WindowPixels(W);
}

// The client area's part of a window's pixels.
std::vector<uint32_t> ClientPixels(HWND W, const std::vector<uint32_t>& Pixels)
{
    RECT window{}, client{};
    GetWindowRect(W, &window);
    GetClientRect(W, &client);
    POINT origin{0, 0};
    ClientToScreen(W, &origin);
    const int width = window.right - window.left, dx = origin.x - window.left, dy = origin.y - window.top;
    std::vector<uint32_t> part;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            part.push_back(Pixels[static_cast<size_t>(y + dy) * width + x + dx]);
    return part;
}

// How many pixels differ. Pictures of different sizes cannot be compared: that fails the test.
size_t Changed(const std::vector<uint32_t>& A, const std::vector<uint32_t>& B)
{
    if (A.size() != B.size()) {
        ADD_FAILURE() << "pictures of different sizes (" << A.size() << " and " << B.size() << " pixels)";
        return 0;
    }
    size_t n = 0;
    for (size_t i = 0; i < A.size(); ++i)
        n += A[i] != B[i];
    return n;
}

// A small dialog from a template in memory: a caption, a check box and an OK button.
struct TSmallDialog {
    alignas(4) WORD Words[128] = {};
    TSmallDialog()
    {
        size_t n = 0;
        auto dword = [&](DWORD v) {
            Words[n++] = LOWORD(v);
            Words[n++] = HIWORD(v);
        };
        auto text = [&](const char* t) {
            while (*t != 0)
                Words[n++] = static_cast<unsigned char>(*t++);
            Words[n++] = 0;
        };
        dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE);
        dword(0);
        Words[n++] = 2;
        for (WORD v : {WORD(200), WORD(60), WORD(160), WORD(60)})
            Words[n++] = v;
        Words[n++] = 0;
        Words[n++] = 0;
        text("Plain dialog");
        Words[n++] = 8;
        text("MS Shell Dlg");
        auto item = [&](const char* cls, const char* caption, DWORD style, WORD y, WORD id) {
            if (n % 2 != 0)
                ++n;
            dword(style | WS_CHILD | WS_VISIBLE);
            dword(0);
            for (WORD v : {WORD(10), y, WORD(80), WORD(14)})
                Words[n++] = v;
            Words[n++] = id;
            text(cls);
            text(caption);
            Words[n++] = 0;
        };
        item("BUTTON", "A check box", BS_AUTOCHECKBOX, 8, 10);
        item("BUTTON", "OK", BS_DEFPUSHBUTTON, 30, IDOK);
    }
};

INT_PTR CALLBACK DialogProc(HWND, UINT Msg, WPARAM, LPARAM)
{
    return Msg == WM_INITDIALOG ? TRUE : FALSE;
}

} // namespace

TEST(SkinApi, APlainProgramIsSkinnedByOneCallAndGivenBackExactly)
{
    HWND w = MakePlainWindow();
    const std::vector<uint32_t> plain = Shot(w);
    ASSERT_FALSE(plain.empty());
    const std::vector<uint32_t> plainClient = ClientPixels(w, plain);

    ASSERT_EQ(PembroxSkinStart(nullptr), 1) << PembroxSkinLastError();
    EXPECT_STREQ(PembroxSkinLastError(), "");
    ASSERT_NE(SkinManager(), nullptr);
    EXPECT_NE(SkinManager()->FindSkinForm(w), nullptr) << "a window shown before the start is taken over";
    const std::vector<uint32_t> slate = Shot(w);
    const std::vector<uint32_t> slateClient = ClientPixels(w, slate);
    EXPECT_GT(Changed(plainClient, slateClient), plainClient.size() / 5);

    // A dialog made now is skinned as it comes.
    TSmallDialog dialogTemplate;
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.Words), w,
                                             DialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    Pump(300);
    EXPECT_NE(SkinManager()->FindSkinForm(dialog), nullptr);

    // Another skin; then one that does not load, which leaves it; then a call from another thread.
    ASSERT_EQ(PembroxSkinLoad(PEMBROX_NIGHT_SKIN_FILE), 1) << PembroxSkinLastError();
    const std::vector<uint32_t> night = Shot(w);
    // The two skins' frames differ in size; the client area keeps its size and shows the change.
    const std::vector<uint32_t> nightClient = ClientPixels(w, night);
    EXPECT_GT(Changed(slateClient, nightClient), slateClient.size() / 5);
    EXPECT_EQ(PembroxSkinLoad("C:\\no such folder\\missing.skn"), 0);
    EXPECT_NE(std::string(PembroxSkinLastError()).find("does not exist"), std::string::npos);
    EXPECT_EQ(Changed(night, Shot(w)), 0u);
    int elsewhere = -1;
    std::string why;
    std::thread([&] {
        elsewhere = PembroxSkinLoad(nullptr);
        why = PembroxSkinLastError();
    }).join();
    EXPECT_EQ(elsewhere, 0);
    EXPECT_NE(why.find("not on in this thread"), std::string::npos) << why;

    DestroyWindow(dialog);
    PembroxSkinStop();
    EXPECT_EQ(SkinManager(), nullptr);
    EXPECT_EQ(Changed(plain, Shot(w)), 0u) << "the window is not what it was before the start";

    // The same from the window's own commands, inside its skinned procedure.
    ASSERT_EQ(PembroxSkinStart(nullptr), 1) << PembroxSkinLastError();
    SendMessageA(w, WM_COMMAND, LoadNight, 0);
    // The same frame and client as before (the frame shows the window active now).
    const std::vector<uint32_t> nightAgain = Shot(w);
    ASSERT_EQ(nightAgain.size(), night.size()) << "the window's frame is not the second skin's";
    // (Which control shows the focus may differ with which window of the desktop was active.)
    const std::vector<uint32_t> nightAgainClient = ClientPixels(w, nightAgain);
    EXPECT_LT(Changed(nightAgainClient, nightClient), nightClient.size() / 20) << "the second skin, loaded by a command";
    SendMessageA(w, WM_COMMAND, StopSkin, 0);
    EXPECT_EQ(SkinManager(), nullptr);
    EXPECT_EQ(Changed(plain, Shot(w)), 0u) << "stopped by the window's command";
    PembroxSkinStop(); // twice: nothing
    EXPECT_EQ(PembroxSkinLoad(nullptr), 0) << "not started";

    // A bad skin at the start: nothing starts.
    EXPECT_EQ(PembroxSkinStart("C:\\no such folder\\missing.skn"), 0);
    EXPECT_EQ(SkinManager(), nullptr);
    EXPECT_EQ(Changed(plain, Shot(w)), 0u);
    DestroyWindow(w);
}

HWND MakeList(HWND Parent, int X)
{
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, X, 4, 120, 90,
                                Parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int i = 1; i <= 20; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("An item"));
    return list;
}

TEST(SkinApi, ControlsInsidePanesAndChildDialogsAndControlsMadeLaterAreSkinned)
{
    // A program's own pane holding a list box, a tab control holding another, and a dialog inside
    // the window (as a file dialog's extra part is) with a label, beside the window's own controls.
    WNDCLASSA pane{};
    pane.lpfnWndProc = PlainProc;
    pane.hInstance = GetModuleHandleA(nullptr);
    pane.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    pane.lpszClassName = "PlainHostPane";
    RegisterClassA(&pane);
    HWND w = MakePlainWindow();
    HWND holder = CreateWindowExA(0, "PlainHostPane", "", WS_CHILD | WS_VISIBLE, 10, 170, 390, 100, w, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    HWND nested = MakeList(holder, 4);
    // A tab control holding its page's list box.
    HWND tabs = CreateWindowExA(0, "SysTabControl32", "", WS_CHILD | WS_VISIBLE, 260, 170, 140, 100, w, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    HWND paged = MakeList(tabs, 4);
    TSmallDialog dialogTemplate;
    auto* words = reinterpret_cast<DWORD*>(dialogTemplate.Words);
    words[0] = (words[0] & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME)) | WS_CHILD | DS_CONTROL;
    HWND inner = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                            reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.Words), w,
                                            DialogProc, 0);
    ASSERT_NE(inner, nullptr);
    SetWindowPos(inner, HWND_TOP, 230, 50, 170, 110, SWP_SHOWWINDOW);
    const std::vector<uint32_t> plainInner = Shot(inner);

    ASSERT_EQ(PembroxSkinStart(nullptr), 1) << PembroxSkinLastError();
    TWinSkinForm* form = SkinManager()->FindSkinForm(w);
    ASSERT_NE(form, nullptr);
    EXPECT_NE(form->AdaptorSet().FindAdaptor(nested), nullptr) << "a list box inside the program's pane";
    EXPECT_NE(form->AdaptorSet().FindAdaptor(paged), nullptr) << "a list box on a tab control's page";
    EXPECT_NE(form->AdaptorSet().FindAdaptor(GetDlgItem(inner, IDOK)), nullptr) << "a button of the inner dialog";
    // The inner dialog's ground is the skin's face, not the system's.
    const COLORREF face = ColorToRGB(form->SkinData()->Colours().ButtonFace);
    const std::vector<uint32_t> skinnedInner = Shot(inner);
    RECT client{};
    GetClientRect(inner, &client);
    const uint32_t ground = skinnedInner[static_cast<size_t>(client.bottom - 3) * client.right + client.right - 3];
    EXPECT_EQ(ground & 0xFFFFFF, (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face));

    // A list made after the start, in the pane: taken over once it is made.
    HWND later = MakeList(holder, 140);
    EXPECT_EQ(form->AdaptorSet().FindAdaptor(later), nullptr);
    Pump(100);
    EXPECT_NE(form->AdaptorSet().FindAdaptor(later), nullptr) << "a control made after the start";

    PembroxSkinStop();
    EXPECT_EQ(Changed(plainInner, Shot(inner)), 0u) << "the inner dialog is not what it was";
    DestroyWindow(w);
}

// A tab control in a plain window shows the tabs of the skin loaded last, as the screen shows
// it: loaded over another skin, it looks as when started with that skin.
TEST(SkinApi, ATabControlShowsTheTabsOfTheNewSkin)
{
    HWND w = MakePlainWindow();
    HWND tabs = CreateWindowExA(0, "SysTabControl32", "", WS_CHILD | WS_VISIBLE, 10, 170, 300, 80, w, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    for (const char* text : {"First", "Second", "Third"}) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(text);
        SendMessageA(tabs, TCM_INSERTITEMA, 9, reinterpret_cast<LPARAM>(&item));
    }
    ASSERT_EQ(PembroxSkinStart(PEMBROX_NIGHT_SKIN_FILE), 1) << PembroxSkinLastError();
    const std::vector<uint32_t> night = Shot(tabs);
    PembroxSkinStop();
    ASSERT_EQ(PembroxSkinStart(nullptr), 1) << PembroxSkinLastError();
    const std::vector<uint32_t> slate = Shot(tabs);
    EXPECT_GT(Changed(night, slate), slate.size() / 10) << "the two skins' tabs look alike";
    ASSERT_EQ(PembroxSkinLoad(PEMBROX_NIGHT_SKIN_FILE), 1) << PembroxSkinLastError();
    EXPECT_EQ(Changed(night, Shot(tabs)), 0u) << "the tabs are not the new skin's";
    PembroxSkinStop();
    DestroyWindow(w);
}

// Disabled labels and edits of a dialog under the dark skin, as the screen shows them: their text
// stands out from the skin's face by 3:1 at least, and they go back to the platform's own look
// when the skin stops.
TEST(SkinApi, DisabledTextOfADialogReadsOnTheSkinsFace)
{
    TSmallDialog dialogTemplate;
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.Words), nullptr,
                                             DialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    SetWindowPos(dialog, nullptr, 0, 0, 360, 200, SWP_NOMOVE | SWP_NOZORDER);
    HWND label = CreateWindowExA(0, "STATIC", "Disabled label text", WS_CHILD | WS_VISIBLE | WS_DISABLED | SS_LEFT,
                                 10, 100, 200, 20, dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "Disabled edit text", WS_CHILD | WS_VISIBLE | WS_DISABLED,
                                10, 125, 200, 24, dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (HWND w : {label, edit})
        SendMessageA(w, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), TRUE);
    const std::vector<uint32_t> plainLabel = Shot(label);
    ASSERT_EQ(PembroxSkinStart(PEMBROX_NIGHT_SKIN_FILE), 1) << PembroxSkinLastError();
    const COLORREF face = ColorToRGB(SkinManager()->FindSkinForm(dialog)->SkinData()->Colours().ButtonFace);
    for (HWND w : {label, edit}) {
        SCOPED_TRACE(w == label ? "label" : "edit");
        const std::vector<uint32_t> pixels = Shot(w);
        double best = 1;
        size_t ground = 0;
        for (uint32_t p : pixels) {
            const COLORREF c = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            best = std::max(best, ContrastRatio(c, face));
            ground += c == face;
        }
        EXPECT_GT(ground, pixels.size() / 2) << "the control is not on the skin's face";
        EXPECT_GE(best, 3.0) << "the disabled text does not stand out from the face";
    }
    // Enabled again, the label is the platform's to paint.
    EnableWindow(label, TRUE);
    Pump(50);
    EnableWindow(label, FALSE);
    PembroxSkinStop();
    EXPECT_EQ(Changed(plainLabel, Shot(label)), 0u) << "the label is not its own after the stop";
    DestroyWindow(dialog);
}

INT_PTR CALLBACK WhiteDialogProc(HWND, UINT Msg, WPARAM WParam, LPARAM)
{
    if (Msg == WM_CTLCOLORDLG || Msg == WM_CTLCOLORSTATIC) {
        SetBkColor(reinterpret_cast<HDC>(WParam), RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    }
    return Msg == WM_INITDIALOG ? TRUE : FALSE;
}

// A dialog, and a page inside a window, that give their own white ground keep it under the skin
// (only the platform's face becomes the skin's), as the screen shows them.
TEST(SkinApi, ADialogsOwnGroundStays)
{
    TSmallDialog dialogTemplate;
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.Words), nullptr,
                                             WhiteDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    HWND w = MakePlainWindow();
    auto* words = reinterpret_cast<DWORD*>(dialogTemplate.Words);
    words[0] = (words[0] & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME)) | WS_CHILD | DS_CONTROL;
    HWND page = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                           reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.Words), w,
                                           WhiteDialogProc, 0);
    ASSERT_NE(page, nullptr);
    SetWindowPos(page, HWND_TOP, 230, 50, 170, 110, SWP_SHOWWINDOW);
    ASSERT_EQ(PembroxSkinStart(PEMBROX_NIGHT_SKIN_FILE), 1) << PembroxSkinLastError();
    ASSERT_NE(SkinManager()->FindSkinForm(dialog), nullptr);
    for (HWND x : {dialog, page}) {
        SCOPED_TRACE(x == dialog ? "dialog" : "page");
        const std::vector<uint32_t> pixels = Shot(x);
        RECT client{};
        GetClientRect(x, &client);
        POINT origin{0, 0};
        ClientToScreen(x, &origin);
        RECT window{};
        GetWindowRect(x, &window);
        const int width = window.right - window.left;
        const size_t at = static_cast<size_t>(origin.y - window.top + client.bottom - 3) * width + origin.x -
                          window.left + client.right - 3;
        EXPECT_EQ(pixels[at] & 0xFFFFFF, 0xFFFFFFu) << "the program's white ground was replaced";
    }
    PembroxSkinStop();
    DestroyWindow(dialog);
    DestroyWindow(w);
}

static WINDOWPLACEMENT Placement(HWND W)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(W, &placement);
    return placement;
}

TEST(SkinApi, AMaximisedOrMinimisedWindowComesBackInItsStateAndPlace)
{
    for (int state : {SW_MAXIMIZE, SW_MINIMIZE}) {
        HWND w = MakePlainWindow();
        ShowWindow(w, state);
        Pump(200);
        const WINDOWPLACEMENT before = Placement(w);
        RECT rect{};
        GetWindowRect(w, &rect);
        const std::vector<uint32_t> plain = state == SW_MAXIMIZE ? Shot(w) : std::vector<uint32_t>{};

        ASSERT_EQ(PembroxSkinStart(nullptr), 1) << PembroxSkinLastError();
        Pump(200);
        ShowWindow(w, SW_RESTORE); // used while skinned, then put back as it was
        Pump(100);
        ShowWindow(w, state);
        Pump(100);
        PembroxSkinStop();
        Pump(200);

        const WINDOWPLACEMENT after = Placement(w);
        RECT now{};
        GetWindowRect(w, &now);
        EXPECT_EQ(after.showCmd, before.showCmd) << state;
        EXPECT_TRUE(EqualRect(&after.rcNormalPosition, &before.rcNormalPosition)) << state;
        EXPECT_TRUE(EqualRect(&now, &rect)) << state << ": " << now.left << "," << now.top << "," << now.right << ","
                                            << now.bottom << " was " << rect.left << "," << rect.top << ","
                                            << rect.right << "," << rect.bottom;
        if (state == SW_MAXIMIZE) {
            EXPECT_EQ(Changed(plain, Shot(w)), 0u) << "the maximised window is not what it was";
        }
        DestroyWindow(w);
    }
}

// An MDI program's children, made by each of the platform's ways, are skinned before they are
// first shown, and stay so when the program arranges them.
HWND GMdiClient = nullptr;
std::vector<std::pair<HWND, bool>> GShownMdiChildren; // each child at its first show: skinned or not

// How many pixels of the band where a window's caption shows carry the platform's caption
// colours, read through Dc with the window's corner at Origin.
int PlatformCaptionPixels(HDC Dc, POINT Origin, int Width)
{
    const COLORREF platform[] = {GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_GRADIENTACTIVECAPTION),
                                 GetSysColor(COLOR_INACTIVECAPTION), GetSysColor(COLOR_GRADIENTINACTIVECAPTION)};
    int n = 0;
    for (int x = Origin.x + 8; x < Origin.x + Width - 8; ++x)
        for (int y = Origin.y + 3; y < Origin.y + 12; ++y)
            n += std::count(std::begin(platform), std::end(platform), GetPixel(Dc, x, y)) > 0;
    return n;
}

// While set, the frame's procedure reads its caption from its own pixels each time the platform
// may just have painted it: after its text or icon was set, and when the MDI client, having set
// the frame's text behind its procedure, changes its frame.
bool GWatchFrameCaption = false;
std::vector<std::string> GPlatformCaptionSeen; // where the platform's caption showed
int GCaptionStyleMessages = 0;                 // style messages about the caption the program heard

LRESULT CALLBACK MdiFrameProc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (GWatchFrameCaption && Msg == WM_STYLECHANGED &&
        ((reinterpret_cast<const STYLESTRUCT*>(LParam)->styleOld ^ reinterpret_cast<const STYLESTRUCT*>(LParam)->styleNew) &
         WS_CAPTION) != 0)
        ++GCaptionStyleMessages;
    const bool frameChange =
        Msg == WM_WINDOWPOSCHANGING && (reinterpret_cast<const WINDOWPOS*>(LParam)->flags & SWP_FRAMECHANGED) != 0;
    const LRESULT result = DefFrameProcA(W, GMdiClient, Msg, WParam, LParam);
    if (GWatchFrameCaption && (Msg == WM_SETTEXT || Msg == WM_SETICON || frameChange)) {
        RECT r{};
        GetWindowRect(W, &r);
        HDC dc = GetWindowDC(W);
        if (const int n = PlatformCaptionPixels(dc, POINT{0, 0}, r.right - r.left); n > 0) {
            char text[64] = {};
            GetWindowTextA(W, text, sizeof text);
            GPlatformCaptionSeen.push_back(std::string(Msg == WM_SETTEXT   ? "text set"
                                                       : Msg == WM_SETICON ? "icon set"
                                                                           : "frame changed") +
                                           " (" + text + "): " + std::to_string(n) + " px");
        }
        ReleaseDC(W, dc);
    }
    return result;
}

LRESULT CALLBACK MdiChildProc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_SHOWWINDOW && WParam != 0 &&
        std::none_of(GShownMdiChildren.begin(), GShownMdiChildren.end(), [&](const auto& C) { return C.first == W; }))
        GShownMdiChildren.emplace_back(W, SendMessageA(W, SKM_QUERY, 0, 0) == 1);
    return DefMDIChildProcA(W, Msg, WParam, LParam);
}

TEST(SkinApi, AnMdiProgramsChildrenAreSkinnedBeforeTheyAreShownAndItsFrameKeepsTheSkinsCaption)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = MdiFrameProc;
    wc.lpszClassName = "PlainMdiFrame";
    RegisterClassA(&wc);
    wc.lpfnWndProc = MdiChildProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "PlainMdiChild";
    RegisterClassA(&wc);
    HMENU bar = CreateMenu(), window = CreatePopupMenu();
    AppendMenuA(window, MF_STRING, 1, "&Cascade");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
    HWND frame = CreateWindowExA(0, "PlainMdiFrame", "MDI host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 60, 40, 640, 480,
                                 nullptr, bar, instance, nullptr);
    CLIENTCREATESTRUCT client{window, 100};
    GMdiClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDIClient", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                                 600, 400, frame, nullptr, instance, &client);
    ASSERT_EQ(PembroxSkinStart(nullptr), 1) << PembroxSkinLastError();
    ShowWindow(frame, SW_SHOW);
    SetForegroundWindow(frame);
    Pump(300);
    GShownMdiChildren.clear();

    MDICREATESTRUCTA create{"PlainMdiChild", "By message", instance, CW_USEDEFAULT, CW_USEDEFAULT, 260, 180, 0, 0};
    SendMessageA(GMdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create));
    CreateMDIWindowA("PlainMdiChild", "By function", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 260, 180, GMdiClient,
                     instance, 0);
    CreateWindowExA(WS_EX_MDICHILD, "PlainMdiChild", "Made directly", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 260, 180,
                    GMdiClient, nullptr, instance, nullptr);
    Pump(300);
    SendMessageA(GMdiClient, WM_MDICASCADE, 0, 0);
    Pump(500);

    ASSERT_EQ(GShownMdiChildren.size(), 3u);
    HDC screen = GetDC(nullptr);
    for (const auto& [child, skinnedWhenShown] : GShownMdiChildren) {
        char title[32] = {};
        GetWindowTextA(child, title, sizeof title);
        EXPECT_TRUE(skinnedWhenShown) << title << ": shown before the skin took it";
        EXPECT_EQ(SendMessageA(child, SKM_QUERY, 0, 0), 1) << title;
        // Its caption on the screen as it is: no pixel of the platform's caption colours.
        RECT r{};
        GetWindowRect(child, &r);
        EXPECT_EQ(PlatformCaptionPixels(screen, POINT{r.left, r.top}, r.right - r.left), 0)
            << title << " shows the platform's caption";
    }
    ReleaseDC(nullptr, screen);

    // Retitled, the frame never shows the platform's caption, not even until the skin's next
    // paint: its own text and icon set, a child maximised, renamed, switched to and destroyed
    // (the MDI client sets the frame's "MDI host - [child]" behind the frame's procedure).
    GPlatformCaptionSeen.clear();
    GCaptionStyleMessages = 0;
    GWatchFrameCaption = true;
    SetWindowTextA(frame, "MDI host, renamed");
    SendMessageA(frame, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(32516))));
    const HWND first = GShownMdiChildren[0].first, second = GShownMdiChildren[1].first;
    SendMessageA(GMdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(first), 0);
    Pump(100);
    SetWindowTextA(first, "Renamed child");
    SendMessageA(GMdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(second), 0);
    Pump(100);
    SendMessageA(GMdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(second), 0);
    Pump(100);
    SendMessageA(GMdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(first), 0);
    Pump(100);
    GWatchFrameCaption = false;
    for (const std::string& seen : GPlatformCaptionSeen)
        ADD_FAILURE() << "the platform's caption showed on the frame after: " << seen;
    EXPECT_EQ(GCaptionStyleMessages, 0) << "the program heard of the engine's own caption style changes";
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(frame, GWL_STYLE)) & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    char title[64] = {};
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ(title, "MDI host, renamed");
    RECT r{};
    GetWindowRect(frame, &r);
    screen = GetDC(nullptr);
    EXPECT_EQ(PlatformCaptionPixels(screen, POINT{r.left, r.top}, r.right - r.left), 0);
    ReleaseDC(nullptr, screen);
    PembroxSkinStop();
    DestroyWindow(frame);
    GMdiClient = nullptr;
}

TEST(SkinApi, StartingAndStoppingAgainAndAgainLeavesNothingBehind)
{
    HWND w = MakePlainWindow();
    TSmallDialog dialogTemplate;
    auto cycle = [&](const char* Skin) {
        ASSERT_EQ(PembroxSkinStart(Skin), 1) << PembroxSkinLastError();
        HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                                 reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.Words), w,
                                                 DialogProc, 0);
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(30);
        DestroyWindow(dialog);
        PembroxSkinStop();
        Pump(30);
    };
    cycle(nullptr);
    const int gdi = LiveGdiObjects();
    const std::size_t thunks = ObjectInstanceStats().Live;
    const std::size_t subclasses = WindowSubclassStats().States;
    for (int i = 0; i < 10; ++i)
        cycle(i % 2 == 0 ? PEMBROX_NIGHT_SKIN_FILE : nullptr);
    EXPECT_EQ(LiveGdiObjects(), gdi);
    EXPECT_EQ(ObjectInstanceStats().Live, thunks);
    EXPECT_EQ(WindowSubclassStats().States, subclasses);
    DestroyWindow(w);
}

// Stopped and started again inside one command or timer message of the skinned window: the
// window's old form object goes when that message returns, after the manager it was made by, and
// the new one skins the window.
TEST(SkinApi, StoppingAndStartingAgainInsideOneMessageSkinsTheWindowAgain)
{
    HWND w = MakePlainWindow();
    const std::vector<uint32_t> plain = Shot(w);
    GRestarts = 0;
    for (int round = 0; round < 4; ++round) {
        ASSERT_EQ(PembroxSkinStart(nullptr), 1) << PembroxSkinLastError();
        Pump(100);
        if (round % 2 == 0) {
            SendMessageA(w, WM_COMMAND, RestartSkin, 0);
        } else {
            SetTimer(w, RestartSkin, 1, nullptr);
            Pump(150);
        }
        ASSERT_EQ(GRestarts, round + 1) << PembroxSkinLastError();
        Pump(300);
        ASSERT_NE(SkinManager(), nullptr);
        const TWinSkinForm* form = SkinManager()->FindSkinForm(w);
        ASSERT_NE(form, nullptr) << "round " << round;
        EXPECT_TRUE(form->FrameHooked());
        EXPECT_EQ(form->SkinState(), ssSkinned);
        EXPECT_EQ(SendMessageA(w, SKM_QUERY, 0, 0), 1);
        PembroxSkinStop();
        EXPECT_EQ(Changed(plain, Shot(w)), 0u) << "round " << round;
    }
    DestroyWindow(w);
}

TEST(SkinApi, TheDllExportsEveryFunctionByItsPlainName)
{
    HMODULE dll = LoadLibraryA("pembrox.dll");
    ASSERT_NE(dll, nullptr) << GetLastError();
    for (const char* name : {"PembroxSkinStart", "PembroxSkinLoad", "PembroxSkinStop", "PembroxSkinLastError"})
        EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;
    using TLastError = const char*(__stdcall*)();
    auto lastError = reinterpret_cast<TLastError>(reinterpret_cast<void*>(GetProcAddress(dll, "PembroxSkinLastError")));
    ASSERT_NE(lastError, nullptr);
    EXPECT_STREQ(lastError(), "");
    FreeLibrary(dll);
}
