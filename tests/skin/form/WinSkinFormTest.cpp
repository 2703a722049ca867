// Skinned windows on real forms under the hook: what the manager skins and what it leaves alone,
// the frame's pixels from a skin whose every piece has its own colour, the window region, the
// caption text, the caption buttons under real mouse input, the actions, and the exact return of
// everything when the skin goes.
#include "skin/form/WinSkinForm.h"

#include "skin/controls/SkinButton.h"

#include "framework/controls/Forms.h"
#include "framework/graphics/Bitmap.h"
#include "framework/win/Subclass.h"
#include "skin/data/WinSkinData.h"
#include "skin/manager/SkinManager.h"
#include "tests/support/FrameSkin.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

POINT ScreenOf(HWND W, int X, int Y)
{
    RECT r{};
    GetWindowRect(W, &r);
    return POINT{r.left + X, r.top + Y};
}

void MouseTo(POINT P)
{
    SetCursorPos(P.x, P.y);
    Pump(60);
}

void MouseButton(bool Down)
{
    mouse_event(Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Pump(60);
}

struct TWindowSnapshot {
    LONG_PTR Proc;
    LONG Style;
    LONG ExStyle;
    RECT Window;
    RECT Client;
    int RegionType;
    TColor Colour;
};

TWindowSnapshot StateOf(TCustomForm& Form)
{
    TWindowSnapshot s{};
    HWND w = Form.Handle();
    s.Proc = GetWindowLongPtrA(w, GWLP_WNDPROC);
    s.Style = GetWindowLongA(w, GWL_STYLE);
    s.ExStyle = GetWindowLongA(w, GWL_EXSTYLE);
    GetWindowRect(w, &s.Window);
    GetClientRect(w, &s.Client);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    s.RegionType = GetWindowRgn(w, probe);
    DeleteObject(probe);
    s.Colour = Form.Color();
    return s;
}

void ExpectSameState(const TWindowSnapshot& A, const TWindowSnapshot& B)
{
    EXPECT_EQ(A.Proc, B.Proc);
    EXPECT_EQ(A.Style & ~WS_VISIBLE, B.Style & ~WS_VISIBLE);
    EXPECT_EQ(A.ExStyle, B.ExStyle);
    EXPECT_TRUE(EqualRect(&A.Window, &B.Window)) << A.Window.left << "," << A.Window.top << " " << A.Window.right
                                                  << "," << A.Window.bottom << " vs " << B.Window.right << ","
                                                  << B.Window.bottom;
    EXPECT_TRUE(EqualRect(&A.Client, &B.Client));
    EXPECT_EQ(A.RegionType, B.RegionType);
    EXPECT_EQ(A.Colour, B.Colour);
}

using TWinSkinFormTest = TSkinnedFormsTest;

} // namespace

TEST_F(TWinSkinFormTest, TheFrameComesFromTheSkinAndGoesBackExactly)
{
    StartSkinning();
    TForm& form = NewForm();
    const TWindowSnapshot before = StateOf(form);
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    HWND w = form.Handle();
    EXPECT_EQ(SendMessageA(w, SKM_QUERY, 0, 0), 1);
    EXPECT_TRUE(skin->FrameHooked());
    EXPECT_EQ(skin->SkinState(), ssSkinned);
    EXPECT_EQ(skin->FrameState().FrameKind, 0);
    EXPECT_EQ(skin->FrameState().CaptionIcons, ciSystemMenu | ciMinimize | ciMaximize);
    // Borders from the images, the client area kept, no system caption buttons any more.
    EXPECT_EQ(skin->Frame().BorderLeft(), BorderWidth);
    EXPECT_EQ(skin->Frame().BorderTop(), TitleHeight);
    EXPECT_EQ(skin->Frame().BorderBottom(), BottomHeight);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 160);
    EXPECT_EQ(WindowSize(w).cx, 300 + 2 * BorderWidth);
    EXPECT_EQ(WindowSize(w).cy, 160 + TitleHeight + BottomHeight);
    EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(form.Color(), static_cast<TColor>(0xC8C8C8));

    // Active: frame 1 of every border.
    const SIZE size = WindowSize(w);
    EXPECT_EQ(WindowPixel(w, 2, 100), LeftActive);
    EXPECT_EQ(WindowPixel(w, size.cx - 2, 100), RightActive);
    EXPECT_EQ(WindowPixel(w, 200, 12), TopActive);
    EXPECT_EQ(WindowPixel(w, 100, size.cy - 2), BottomActive);
    // The caption buttons, right-aligned in the title bar.
    EXPECT_EQ(WindowPixel(w, size.cx - 30 + 8, 12), CloseFrames[0]);
    EXPECT_EQ(WindowPixel(w, size.cx - 50 + 8, 12), MaxFrames[0]);

    // The painter paints what a frame state tells it, with no window: into a bitmap, the frame
    // the window shows for the window's own state, and the inactive frame for an inactive one.
    TFrameState state = skin->FrameState();
    state.Window = nullptr;
    const std::vector<uint32_t> shown = WindowPixels(w);
    TBitmap picture(size.cx, size.cy, pf32bit);
    HDC dc = picture.Canvas()->Handle();
    skin->Frame().Paint(dc, state, skin->Buttons());
    auto pixel = [&](int X, int Y) {
        const COLORREF c = GetPixel(dc, X, Y);
        return static_cast<uint32_t>(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
    };
    int differing = 0, compared = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            if (x >= BorderWidth && x < size.cx - BorderWidth && y >= TitleHeight && y < size.cy - BottomHeight)
                continue;
            // (The key colour's pixels are outside the window's region: the window shows none.)
            if (pixel(x, y) != 0xFF00FFu) {
                ++compared;
                differing += pixel(x, y) != shown[static_cast<size_t>(y) * size.cx + x];
            }
        }
    EXPECT_EQ(differing, 0) << "frame pixels painted into the bitmap unlike the window's";
    EXPECT_GT(compared, 5000);
    state.Active = false;
    skin->Frame().Paint(dc, state, skin->Buttons());
    EXPECT_EQ(pixel(2, 100), LeftInactive);
    EXPECT_EQ(pixel(200, 12), TopInactive);
    EXPECT_EQ(pixel(size.cx - 30 + 8, 12), CloseFrames[3]);
    EXPECT_EQ(WindowPixel(w, 2, 100), LeftActive) << "the window itself is left alone";

    // Resized by the program: the screen shows the skin's borders where the new edges are,
    // without anyone asking for a redraw.
    SetWindowPos(w, nullptr, 0, 0, size.cx + 60, size.cy + 40, SWP_NOMOVE | SWP_NOZORDER);
    Pump(100);
    EXPECT_EQ(WindowPixel(w, size.cx + 60 - 2, 100), RightActive);
    EXPECT_EQ(WindowPixel(w, size.cx / 2 + 30, size.cy + 40 - 2), BottomActive);
    EXPECT_EQ(WindowPixel(w, size.cx + 60 - 30 + 8, 12), CloseFrames[0]);
    SetWindowPos(w, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    Pump(100);

    // A second activation never attaches twice.
    EXPECT_FALSE(Manager->SkinWindow(w));
    EXPECT_EQ(Manager->SkinnedForms().size(), 1u);

    // Inactive: frame 2 of every border and the inactive caption buttons.
    TForm& other = NewForm();
    other.SetTag(99); // never skinned
    other.Show();
    SetForegroundWindow(other.Handle());
    Pump(150);
    EXPECT_EQ(Manager->FindSkinForm(other.Handle()), nullptr);
    EXPECT_FALSE(skin->FrameState().Active);
    EXPECT_EQ(WindowPixel(w, 2, 100), LeftInactive);
    EXPECT_EQ(WindowPixel(w, 200, 12), TopInactive);
    EXPECT_EQ(WindowPixel(w, size.cx - 30 + 8, 12), CloseFrames[3]);
    other.Hide();

    // Skinning off (action 2 from the timer): everything the window had comes back.
    Manager->SetActivationCount(1);
    Data->SetActive(false);
    EXPECT_TRUE(Manager->TimerArmed());
    Pump(400);
    EXPECT_TRUE(Manager->SkinnedForms().empty());
    EXPECT_FALSE(Manager->SkinningOn());
    ExpectSameState(StateOf(form), before);
    form.Hide();
}

TEST_F(TWinSkinFormTest, GivenBackUnderSomeoneWhoSubclassedAfterUs)
{
    StartSkinning();
    TForm& form = NewForm();
    const TWindowSnapshot before = StateOf(form);
    ASSERT_NE(ShowSkinned(form), nullptr);
    HWND w = form.Handle();

    // Someone else subclasses on top of the engine, and is still there when the skin goes.
    static WNDPROC below = nullptr;
    static int seen = 0;
    struct TTop {
        static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM WP, LPARAM LP)
        {
            ++seen;
            return CallWindowProcA(below, W, M, WP, LP);
        }
    };
    below = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TTop::Proc)));
    Manager->SetActivationCount(1);
    Data->SetActive(false);
    Pump(400);
    ASSERT_TRUE(Manager->SkinnedForms().empty());
    // The window works through the other subclass and no longer answers as skinned.
    seen = 0;
    EXPECT_NE(SendMessageA(w, SKM_QUERY, 0, 0), 1);
    EXPECT_GT(seen, 0);
    TWindowSnapshot after = StateOf(form);
    EXPECT_EQ(after.Proc, reinterpret_cast<LONG_PTR>(&TTop::Proc));
    after.Proc = before.Proc;
    ExpectSameState(after, before);

    // The other one leaves: the window's own procedure is back exactly.
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(below));
    SendMessageA(w, WM_NULL, 0, 0);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), before.Proc);
    form.Hide();
}

TEST_F(TWinSkinFormTest, WindowsTheManagerLeavesAlone)
{
    StartSkinning();
    // Tag 99, and the framework's hidden application window.
    TForm& tagged = NewForm();
    tagged.SetTag(99);
    EXPECT_FALSE(Manager->SkinWindow(tagged.Handle()));
    EXPECT_FALSE(Manager->SkinWindow(Application()->Handle()));
    // A window of no area is skipped now and skinned when it has one.
    TForm& flat = NewForm();
    flat.SetBorderStyle(bsNone);
    SetWindowPos(flat.Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(Manager->SkinWindow(flat.Handle()));
    SetWindowPos(flat.Handle(), nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Manager->SkinWindow(flat.Handle()));
    // A form embedded in another is skinned only by a full pass.
    TForm& host = NewForm();
    TForm& embedded = NewForm();
    embedded.SetParent(&host);
    EXPECT_FALSE(Manager->SkinWindow(embedded.Handle()));

    // A stand-alone scroll bar is refused on a skinned window and allowed elsewhere.
    HWND refused = CreateWindowExA(0, "ScrollBar", "", WS_CHILD, 0, 0, 50, 16, flat.Handle(), nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(refused, nullptr);
    HWND allowed = CreateWindowExA(0, "ScrollBar", "", WS_CHILD, 0, 0, 50, 16, tagged.Handle(), nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(allowed, nullptr);
    DestroyWindow(allowed);

    // A dialog gets the dialog component, even with a main-form one registered after it.
    TSkinData dialogData(nullptr);
    dialogData.SetSkinFormtype(sfDialog);
    Manager->RemoveSkinData(Data.get());
    Manager->AddSkinData(&dialogData);
    Manager->AddSkinData(Data.get());
    HWND dialog = CreateWindowExA(0, "#32770", "Question", WS_POPUP | WS_CAPTION, 0, 0, 200, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Manager->ChooseSkinData(dialog), &dialogData);
    EXPECT_EQ(Manager->ChooseSkinData(flat.Handle()), Data.get());
    DestroyWindow(dialog);
    Manager->RemoveSkinData(&dialogData);

    // Destroying a skinned window takes its form object with it.
    flat.DestroyHandle();
    EXPECT_TRUE(Manager->SkinnedForms().empty());
}

TEST_F(TWinSkinFormTest, TheTimersActionsSkinReapplyAndUnskin)
{
    StartSkinning();
    TForm& first = NewForm();
    TForm& second = NewForm(200, 100);
    const int native = WindowSize(second.Handle()).cx;
    // Skinning switched off before the forms were activated: nothing is skinned.
    Manager->SetSkinningOn(false);
    first.Show();
    second.Show();
    SetForegroundWindow(first.Handle());
    Pump(100);
    EXPECT_TRUE(Manager->SkinnedForms().empty());

    // Action 1 from the timer: a full pass over the screen's forms.
    Manager->SetActivationCount(1);
    Manager->SetCurrentSkinData(Data.get());
    Manager->RequestAction(1, 50);
    Pump(200);
    EXPECT_EQ(Manager->SkinnedForms().size(), 2u);
    EXPECT_EQ(Manager->CurrentSkinData(), nullptr);
    Pump(100);
    const int before = WindowSize(second.Handle()).cx;
    EXPECT_EQ(before, 200 + 2 * BorderWidth);

    // Action 3 after a skin with other borders: metrics and sizes follow.
    std::vector<TPackageEntry> wide = Bitmaps();
    const uint32_t left[2] = {LeftActive, LeftInactive};
    wide[0].Data = Bmp(20, 40, [&](int x, int) { return left[x / 10]; });
    ASSERT_TRUE(LoadSkinPackage(*Data, Description({}), wide));
    Data->SkinChanged();
    Pump(400);
    TWinSkinForm* skin = Manager->FindSkinForm(second.Handle());
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->Frame().BorderLeft(), 10);
    EXPECT_EQ(WindowSize(second.Handle()).cx, 200 + 10 + BorderWidth);
    RECT client{};
    GetClientRect(second.Handle(), &client);
    EXPECT_EQ(client.right, 200);

    // Action 2: every window given back.
    Data->SetActive(false);
    EXPECT_TRUE(Manager->TimerArmed());
    EXPECT_EQ(Manager->PendingAction(), 2);
    EXPECT_EQ(Manager->CurrentSkinData(), Data.get());
    Pump(400);
    EXPECT_TRUE(Manager->SkinnedForms().empty());
    EXPECT_EQ(WindowSize(second.Handle()).cx, native);
    GetClientRect(second.Handle(), &client);
    EXPECT_EQ(client.right, 200);
    first.Hide();
    second.Hide();
}

TEST_F(TWinSkinFormTest, RegionsFollowTheKeyColourOfTheTransparentBorders)
{
    StartSkinning();
    TForm& form = NewForm();
    ASSERT_NE(ShowSkinned(form), nullptr);
    HWND w = form.Handle();
    const SIZE size = WindowSize(w);
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(w, region.get()), ERROR);
    // The top strip's key corners are holes; the opaque left and right borders are whole.
    EXPECT_FALSE(PtInRegion(region.get(), BorderWidth + 1, 1));
    EXPECT_FALSE(PtInRegion(region.get(), size.cx - BorderWidth - 2, 1));
    EXPECT_TRUE(PtInRegion(region.get(), BorderWidth + 5, 1));
    EXPECT_TRUE(PtInRegion(region.get(), 1, 1));
    EXPECT_TRUE(PtInRegion(region.get(), size.cx / 2, size.cy / 2));
    EXPECT_TRUE(PtInRegion(region.get(), size.cx - 1, size.cy - 1));
    // Resized: the region is rebuilt for the new outline.
    SetWindowPos(w, nullptr, 0, 0, size.cx + 40, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(50);
    ASSERT_NE(GetWindowRgn(w, region.get()), ERROR);
    EXPECT_FALSE(PtInRegion(region.get(), size.cx + 40 - BorderWidth - 2, 1));
    EXPECT_TRUE(PtInRegion(region.get(), size.cx - BorderWidth - 2, 1));
    form.Hide();
    Forms.clear();
    FreeSkinManager();

    // No transparent border: a plain rectangle of the window's size.
    Data = std::make_unique<TSkinData>(nullptr);
    TSkinOptions opaque;
    opaque.AnyTrans = false;
    StartSkinning(opaque);
    TForm& plain = NewForm();
    ASSERT_NE(ShowSkinned(plain), nullptr);
    RECT box{};
    ASSERT_EQ(GetWindowRgn(plain.Handle(), region.get()), SIMPLEREGION);
    GetRgnBox(region.get(), &box);
    const SIZE plainSize = WindowSize(plain.Handle());
    EXPECT_EQ(box.right, plainSize.cx);
    EXPECT_EQ(box.bottom, plainSize.cy);
    plain.Hide();
    Forms.clear();
    FreeSkinManager();

    // Only the bottom border transparent: holes at the bottom only.
    Data = std::make_unique<TSkinData>(nullptr);
    TSkinOptions bottom;
    bottom.TopTrans = false;
    bottom.BottomTrans = true;
    StartSkinning(bottom);
    TForm& holed = NewForm();
    ASSERT_NE(ShowSkinned(holed), nullptr);
    const SIZE holedSize = WindowSize(holed.Handle());
    ASSERT_NE(GetWindowRgn(holed.Handle(), region.get()), ERROR);
    EXPECT_TRUE(PtInRegion(region.get(), BorderWidth + 1, 1));
    EXPECT_FALSE(PtInRegion(region.get(), BorderWidth + 1, holedSize.cy - 1));
    EXPECT_TRUE(PtInRegion(region.get(), BorderWidth + 10, holedSize.cy - 1));
    holed.Hide();
}

TEST_F(TWinSkinFormTest, CaptionTextAlignmentAndEllipsis)
{
    for (int alignment : {0, 1, 2}) {
        SCOPED_TRACE(alignment);
        Data = std::make_unique<TSkinData>(nullptr);
        TSkinOptions options;
        options.TextAlignment = alignment;
        StartSkinning(options);
        TForm& form = NewForm(300, 100, "Mid");
        TWinSkinForm* skin = ShowSkinned(form);
        ASSERT_NE(skin, nullptr);
        const SIZE size = WindowSize(form.Handle());
        const RECT text = skin->Frame().TextRect();
        const int left = text.left - BorderWidth, right = size.cx - BorderWidth - text.right;
        switch (alignment) {
        case 0:
            EXPECT_EQ(left, options.TextShift);
            break;
        case 1:
            EXPECT_LE(std::abs(left - right), 1);
            break;
        default:
            // At the right, ending where the caption buttons begin (not under them).
            EXPECT_EQ(text.right, skin->Buttons().RightButtonsLeft() - 4) << right;
            break;
        }
        // The text itself: white pixels inside the text rectangle, none in the band left of it.
        bool inside = false, outside = false;
        const uint32_t ink = skin->FrameState().Active ? 0xFFFFFF : 0xFFFF00;
        for (int y = 0; y < TitleHeight; ++y) {
            for (int x = BorderWidth; x < size.cx - BorderWidth; ++x) {
                const bool onButton = std::any_of(
                    skin->Buttons().Items().begin(), skin->Buttons().Items().end(),
                    [&](const auto& b) { return b->Visible && PtInRect(&b->BoundsRect, POINT{x, y}); });
                if (onButton)
                    continue;
                const bool white = WindowPixel(form.Handle(), x, y) == ink;
                if (x >= text.left && x < text.right)
                    inside = inside || white;
                else
                    outside = outside || white;
            }
        }
        EXPECT_TRUE(inside);
        EXPECT_FALSE(outside);
        form.Hide();
        Forms.clear();
        FreeSkinManager();
    }

    // A caption longer than the band ends in an ellipsis where it would reach the caption
    // buttons the window shows: 4 pixels before the maximise button (the skin's TextRightClip
    // keeps room for every button, and cuts only a window without buttons at the right).
    Data = std::make_unique<TSkinData>(nullptr);
    TSkinOptions clipped;
    clipped.TextRightClip = 40;
    StartSkinning(clipped);
    TForm& form = NewForm(200, 80, std::string(80, 'W'));
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    const SIZE size = WindowSize(form.Handle());
    EXPECT_EQ(skin->Frame().TextRect().right, size.cx - 50 - 4);
    for (int y = 0; y < TitleHeight; ++y)
        for (int x = skin->Frame().TextRect().right; x < size.cx - 50; ++x)
            ASSERT_NE(WindowPixel(form.Handle(), x, y), 0xFFFFFFu) << x << "," << y;
    form.Hide();

    // Without a maximise box only the close button is at the right: the title has room up to it,
    // past where the skin's clip would cut it.
    TForm& narrow = NewForm(200, 80, std::string(80, 'W'));
    narrow.SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    skin = ShowSkinned(narrow);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->Frame().TextRect().right, WindowSize(narrow.Handle()).cx - 30 - 4);
    EXPECT_GT(skin->Frame().TextRect().right, WindowSize(narrow.Handle()).cx - BorderWidth - 40);
    narrow.Hide();
}

TEST_F(TWinSkinFormTest, CaptionButtonsUnderTheMouseAndWhatTheyDo)
{
    StartSkinning();
    TForm& form = NewForm();
    // Away from where the other tests' windows were: under Wine a hidden window's X window can
    // linger for a moment and take the click.
    form.SetBounds(600, 450, form.Width(), form.Height());
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    HWND w = form.Handle();
    const int closeX = WindowSize(w).cx - 30 + 8, maxX = WindowSize(w).cx - 50 + 8, buttonY = 12;

    // Hot, pressed, out (the hover timer clears it), released outside: no action.
    MouseTo(ScreenOf(w, closeX, buttonY));
    EXPECT_EQ(WindowPixel(w, closeX, buttonY), CloseFrames[2]);
    EXPECT_EQ(skin->FrameState().Hot, skin->Buttons().Items()[0].get());
    // The frame painted again (the program retitles its window) keeps the look under the mouse.
    SetWindowTextA(w, "Retitled");
    EXPECT_EQ(WindowPixel(w, closeX, buttonY), CloseFrames[2]);
    MouseButton(true);
    EXPECT_EQ(WindowPixel(w, closeX, buttonY), CloseFrames[1]);
    MouseTo(ScreenOf(w, 150, 100));
    Pump(350);
    EXPECT_TRUE(skin->FrameState().Active);
    EXPECT_EQ(GetForegroundWindow(), w);
    EXPECT_EQ(WindowPixel(w, closeX, buttonY), CloseFrames[0]);
    EXPECT_EQ(skin->FrameState().Hot, nullptr);
    MouseButton(false);
    Pump(50);
    EXPECT_TRUE(IsWindowVisible(w));

    // Maximise, then the double click on the frame restores.
    MouseTo(ScreenOf(w, maxX, buttonY));
    MouseButton(true);
    MouseButton(false);
    Pump(200);
    EXPECT_TRUE(IsZoomed(w));
    EXPECT_EQ(skin->FrameState().ShowState, shMaximized);
    const POINT title = ScreenOf(w, 60, 10);
    SendMessageA(w, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(title.x, title.y));
    Pump(200);
    EXPECT_FALSE(IsZoomed(w));

    // A custom action is posted as SKM_QUERY with the action in wParam.
    skin->RunFrameCommand(skin->Buttons().ButtonCommand(*skin->Buttons().Items()[2], POINT{0, 0}, skin->FrameState()));
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, w, SKM_QUERY, SKM_QUERY, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 15u);
    // A button with a negative action is drawn but never found under the mouse.
    EXPECT_EQ(WindowPixel(w, 100 + 8, buttonY), MaxFrames[0]);
    EXPECT_EQ(skin->Buttons().ButtonAt(POINT{100 + 8, buttonY}), nullptr);
    EXPECT_EQ(skin->Buttons().ButtonAt(POINT{closeX, buttonY}), skin->Buttons().Items()[0].get());

    // Close, pressed and released on it, with the frame painted in between (a program that
    // retitles its window as the user clicks): the button stays pressed and the click counts.
    MouseTo(ScreenOf(w, closeX, buttonY));
    MouseButton(true);
    SetWindowTextA(w, "Retitled again");
    EXPECT_EQ(WindowPixel(w, closeX, buttonY), CloseFrames[1]);
    MouseButton(false);
    Pump(150);
    EXPECT_FALSE(IsWindowVisible(w));

    // The system menu twice within the double-click time closes the window.
    TForm& second = NewForm();
    second.SetBounds(600, 150, second.Width(), second.Height());
    ASSERT_NE(ShowSkinned(second), nullptr);
    struct TCloseMenu {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR Id, DWORD)
        {
            KillTimer(nullptr, Id);
            EndMenu();
        }
    };
    SetTimer(nullptr, 0, 100, &TCloseMenu::Tick);
    const POINT caption = ScreenOf(second.Handle(), 60, 10);
    SendMessageA(second.Handle(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(caption.x, caption.y));
    EXPECT_TRUE(IsWindowVisible(second.Handle()));
    SendMessageA(second.Handle(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(caption.x, caption.y));
    Pump(150);
    EXPECT_FALSE(IsWindowVisible(second.Handle()));
}

TEST_F(TWinSkinFormTest, AFramelessPopupKeepsItsLookAndOnlyItsControlsAreSkinned)
{
    StartSkinning();
    TForm& form = NewForm();
    form.SetBorderStyle(bsNone);
    const TWindowSnapshot before = StateOf(form);
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->FrameState().FrameKind, 2);
    EXPECT_EQ(skin->Frame().BorderTop(), 0);
    EXPECT_EQ(skin->Frame().MenuHeight(), 0);
    // Not resized, no region.
    TWindowSnapshot now = StateOf(form);
    EXPECT_TRUE(EqualRect(&now.Window, &before.Window));
    EXPECT_EQ(now.RegionType, ERROR);
    form.Hide();
}

TEST_F(TWinSkinFormTest, AStandardDialogIsSkinnedWithItsButtonsAndWidenedForItsCaption)
{
    StartSkinning();
    // A dialog of the system's class with a caption far wider than its body, and two buttons.
    const std::string caption(60, 'M');
    HWND dialog = CreateWindowExA(0, "#32770", caption.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                  620, 420, 160, 90, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    HWND ok = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 10, 10, 60, 22, dialog,
                              reinterpret_cast<HMENU>(IDOK), GetModuleHandleA(nullptr), nullptr);
    HWND group = CreateWindowExA(0, "BUTTON", "Group", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 80, 4, 60, 40, dialog,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    RECT client{};
    GetClientRect(dialog, &client);
    const int clientBefore = client.right;
    ShowWindow(dialog, SW_SHOW);
    for (int i = 0; i < 60 && Manager->FindSkinForm(dialog) == nullptr; ++i) {
        SetForegroundWindow(dialog);
        Pump(25);
    }
    Pump(150);
    TWinSkinForm* skin = Manager->FindSkinForm(dialog);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->Form(), nullptr);
    // The push button got the push-button adaptor, the group box none.
    EXPECT_NE(dynamic_cast<TSkinButton*>(skin->AdaptorSet().FindAdaptor(ok)), nullptr);
    EXPECT_EQ(skin->AdaptorSet().FindAdaptor(group), nullptr);
    // Widened until the caption fits, the children moved right by half of what was added.
    GetClientRect(dialog, &client);
    const int added = client.right - clientBefore;
    EXPECT_GT(added, 50);
    POINT at{0, 0};
    MapWindowPoints(ok, dialog, &at, 1);
    EXPECT_EQ(at.x, 10 + added / 2);
    EXPECT_EQ(at.y, 10);

    // A bare window's buttons get no mouse-leave of their own: the hover timer clears the hot one.
    SetCursorPos(0, 0);
    SendMessageA(ok, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(skin->AdaptorSet().HotButton(), skin->AdaptorSet().FindAdaptor(ok));
    Pump(400);
    EXPECT_EQ(skin->AdaptorSet().HotButton(), nullptr);
    EXPECT_EQ(skin->AdaptorSet().FindAdaptor(ok)->MouseState() & msHot, 0);
    DestroyWindow(dialog);
    Pump(50);
    EXPECT_EQ(Manager->FindSkinForm(dialog), nullptr);
}
