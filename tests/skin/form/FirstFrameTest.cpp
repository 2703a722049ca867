// The first frame a user sees of a window the engine skins is the skinned one: the window is
// taken over before it is shown, whether it is a framework form, a bare window or a dialog.
#include "framework/controls/Forms.h"
#include "tests/support/FrameSkin.h"
#include "tests/support/Pump.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// What a window looked like to the engine when the platform first asked it to paint its frame on
// screen (a hidden window's frame paints show nothing).
struct TFirstPaint {
    HWND Window = nullptr;
    bool Painted = false;
    bool Skinned = false;
    bool StateSkinned = false;
};

std::vector<TFirstPaint>* GWatched = nullptr;
TSkinManage* GManagerSeen = nullptr;
HHOOK GHook = nullptr;

LRESULT CALLBACK WatchPaints(int Code, WPARAM WParam, LPARAM LParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(LParam);
    if (Code == HC_ACTION && sent != nullptr && sent->message == WM_NCPAINT && GWatched != nullptr)
        for (TFirstPaint& w : *GWatched)
            if (w.Window == sent->hwnd && !w.Painted && IsWindowVisible(sent->hwnd)) {
                w.Painted = true;
                const TWinSkinForm* form = GManagerSeen->FindSkinForm(sent->hwnd);
                w.Skinned = form != nullptr && form->FrameHooked();
                w.StateSkinned = form != nullptr && form->SkinState() == ssSkinned;
            }
    return CallNextHookEx(GHook, Code, WParam, LParam);
}

struct TFirstFrameTest : TSkinnedFormsTest {
    void Watch(HWND Window) { Watched.push_back(TFirstPaint{Window}); }
    // Installed after the manager's hooks, so it runs before them for the same message.
    void StartWatching()
    {
        GWatched = &Watched;
        GManagerSeen = Manager;
        GHook = SetWindowsHookExA(WH_CALLWNDPROC, &WatchPaints, nullptr, GetCurrentThreadId());
        ASSERT_NE(GHook, nullptr);
    }
    void TearDown() override
    {
        if (GHook != nullptr)
            UnhookWindowsHookEx(GHook);
        GHook = nullptr;
        GWatched = nullptr;
        TSkinnedFormsTest::TearDown();
    }
    std::vector<TFirstPaint> Watched;
};

LRESULT CALLBACK PlainProc(HWND W, UINT M, WPARAM WP, LPARAM LP)
{
    return DefWindowProcA(W, M, WP, LP);
}

// The texts a Unicode window's procedure was given.
std::vector<std::wstring> GTextsSeen;

LRESULT CALLBACK UnicodeProc(HWND W, UINT M, WPARAM WP, LPARAM LP)
{
    if (M == WM_CREATE)
        GTextsSeen.emplace_back(reinterpret_cast<const CREATESTRUCTW*>(LP)->lpszName);
    else if (M == WM_SETTEXT)
        GTextsSeen.emplace_back(reinterpret_cast<const wchar_t*>(LP));
    return DefWindowProcW(W, M, WP, LP);
}

INT_PTR CALLBACK DialogProc(HWND, UINT M, WPARAM, LPARAM)
{
    return M == WM_INITDIALOG ? TRUE : FALSE;
}

// An in-memory dialog template: a captioned, movable dialog with no controls.
std::vector<WORD> DialogTemplate()
{
    std::vector<WORD> t(32, 0);
    auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
    d->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    d->cx = 160;
    d->cy = 80;
    // Menu, class and title: all empty (three zero words after the header).
    return t;
}

} // namespace

TEST_F(TFirstFrameTest, AFormABareWindowAndADialogAreSkinnedBeforeTheirFirstFramePaint)
{
    StartSkinning();
    // The first activation has not happened: until now only a window's activation skinned it.
    ASSERT_EQ(Manager->ActivationCount(), 0);
    StartWatching();

    TForm& form = NewForm(300, 160);
    Watch(form.Handle());

    WNDCLASSA cls{};
    cls.lpfnWndProc = &PlainProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "PembroxFirstFramePlain";
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&cls);
    // A bare window made visible by its creation (WS_VISIBLE): shown inside CreateWindowEx.
    const HWND plain = CreateWindowExA(0, cls.lpszClassName, "Plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 420, 120,
                                       260, 160, nullptr, nullptr, cls.hInstance, nullptr);
    ASSERT_NE(plain, nullptr);
    std::vector<WORD> tmpl = DialogTemplate();
    const HWND dialog = CreateDialogIndirectA(cls.hInstance, reinterpret_cast<DLGTEMPLATE*>(tmpl.data()), nullptr,
                                              &DialogProc);
    ASSERT_NE(dialog, nullptr);
    // The hook sees windows by handle: the bare window's first paint may already have happened
    // inside CreateWindowEx, so it is checked on the manager's list afterwards.
    Watch(dialog);

    form.Show();
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(form.Handle());
    UpdateWindow(dialog);
    Pump(50);

    for (const TFirstPaint& w : Watched) {
        SCOPED_TRACE(WindowClassName(w.Window));
        EXPECT_TRUE(w.Painted);
        EXPECT_TRUE(w.Skinned) << "the first frame paint went to the platform's own frame";
        EXPECT_TRUE(w.StateSkinned);
    }
    for (const HWND w : {form.Handle(), plain, dialog})
        EXPECT_FALSE(Manager->WaitsForShow(w));
    const TWinSkinForm* bare = Manager->FindSkinForm(plain);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->SkinState(), ssSkinned);
    // The frame on screen is the skin's, and the window was fitted to the skin's borders.
    const uint32_t left = WindowPixel(form.Handle(), 2, 40);
    EXPECT_TRUE(left == LeftActive || left == LeftInactive) << std::hex << left;
    EXPECT_EQ(ClientSize(form.Handle()).cx, 300);
    EXPECT_EQ(WindowSize(form.Handle()).cx, 300 + 2 * BorderWidth);

    DestroyWindow(dialog);
    DestroyWindow(plain);
    UnregisterClassA(cls.lpszClassName, cls.hInstance);
    form.Hide();
}

// A main form's window is made before its skin data component has loaded the skin (the
// component is the form's own): when skinning comes on before any activation, the hidden form is
// watched as a new one and its first frame paint is the skin's.
TEST_F(TFirstFrameTest, AFormMadeBeforeSkinningCameOnIsSkinnedBeforeItsFirstFramePaint)
{
    TForm& form = NewForm(300, 160);
    ASSERT_FALSE(IsWindowVisible(form.Handle()));
    StartSkinning();
    ASSERT_EQ(Manager->ActivationCount(), 0);
    EXPECT_TRUE(Manager->WaitsForShow(form.Handle())) << "the form made before is not watched";
    StartWatching();
    Watch(form.Handle());
    form.Show();
    UpdateWindow(form.Handle());
    Pump(50);
    ASSERT_TRUE(Watched[0].Painted);
    EXPECT_TRUE(Watched[0].Skinned) << "the first frame paint went to the platform's own frame";
    EXPECT_TRUE(Watched[0].StateSkinned);
    const uint32_t left = WindowPixel(form.Handle(), 2, 40);
    EXPECT_TRUE(left == LeftActive || left == LeftInactive) << std::hex << left;
}

// A Unicode program's window is watched from its making to its first show without its texts
// passing through the ANSI code page, which would turn what the code page lacks into '?'.
TEST_F(TFirstFrameTest, AUnicodeWindowGetsItsTextsWholeWhileWatchedAndIsSkinnedBeforeItsFirstFramePaint)
{
    StartSkinning();
    StartWatching();
    WNDCLASSW cls{};
    cls.lpfnWndProc = &UnicodeProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"PembroxFirstFrameUnicode";
    RegisterClassW(&cls);
    const std::wstring title = L"\x3a9\x3bc\x3ad\x3b3\x3b1 \x6f22\x5b57";
    const std::wstring later = L"\x41f\x440\x438\x432\x435\x442";
    GTextsSeen.clear();
    const HWND window = CreateWindowExW(0, cls.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 200, 120, 260, 160,
                                        nullptr, nullptr, cls.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Manager->WaitsForShow(window));
    EXPECT_TRUE(IsWindowUnicode(window));
    SetWindowTextW(window, later.c_str());
    Watch(window);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    Pump(50);

    EXPECT_EQ(GTextsSeen, (std::vector<std::wstring>{title, later}));
    EXPECT_FALSE(Manager->WaitsForShow(window));
    ASSERT_TRUE(Watched[0].Painted);
    EXPECT_TRUE(Watched[0].Skinned) << "the first frame paint went to the platform's own frame";
    const uint32_t left = WindowPixel(window, 2, 40);
    EXPECT_TRUE(left == LeftActive || left == LeftInactive) << std::hex << left;
    DestroyWindow(window);
    UnregisterClassW(cls.lpszClassName, cls.hInstance);
}
