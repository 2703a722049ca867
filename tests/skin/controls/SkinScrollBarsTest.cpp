// Scroll bars from the skin: the arithmetic of a bar (layout, thumb, hit test, drag position) on
// worked examples; the bars of a scrolling window by pixel, with the pressed frames the scroll
// messages call for; the thumb dragged with real mouse input, and the drag ending however the
// host ends it; stand-alone bars, size boxes, discovery and the frame given back.
#include "skin/controls/SkinScrollBars.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/win/ControlMessages.h"
#include "skin/controls/SkinBars.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinPackages.h"
#include "tests/support/WindowPixels.h"
#include "tests/support/SkinnedHost.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <climits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

TEST(ScrollBarArithmeticTest, TheWorkedExamples)
{
    // Range 0..100, page 10, track 200: a thumb of 20, at 90 for position 45.
    TBarGeometry bar;
    ASSERT_TRUE(CalcThumbGeometry(0, 100, 10, 45, 200, false, bar));
    EXPECT_EQ(bar.ThumbSize, 20);
    EXPECT_EQ(bar.ThumbOffset, 90);
    EXPECT_EQ(bar.TrackLength, 200);
    // Past the last position the thumb stays at the track's end.
    ASSERT_TRUE(CalcThumbGeometry(0, 100, 10, 100, 200, false, bar));
    EXPECT_EQ(bar.ThumbOffset, 180);
    // No page: the system's thumb size.
    ASSERT_TRUE(CalcThumbGeometry(0, 100, 0, 0, 200, false, bar));
    EXPECT_EQ(bar.ThumbSize, GetSystemMetrics(SM_CXHTHUMB));
    // A page as large as the range: the whole track less one pixel, at the start; the same for a
    // stand-alone bar 0..99 with a page of 100.
    ASSERT_TRUE(CalcThumbGeometry(0, 100, 100, 0, 200, false, bar));
    EXPECT_EQ(bar.ThumbSize, 199);
    EXPECT_EQ(bar.ThumbOffset, 0);
    ASSERT_TRUE(CalcThumbGeometry(0, 99, 100, 0, 200, true, bar));
    EXPECT_EQ(bar.ThumbSize, 199);
    // A page larger than the range keeps the thumb on the track.
    ASSERT_TRUE(CalcThumbGeometry(0, 100, 101, 5, 200, false, bar));
    EXPECT_EQ(bar.ThumbOffset, 0);
    // A small page still gets the smallest thumb.
    ASSERT_TRUE(CalcThumbGeometry(0, 10000, 1, 0, 200, false, bar));
    EXPECT_EQ(bar.ThumbSize, 8);
    // An empty range changes nothing.
    const TBarGeometry before = bar;
    EXPECT_FALSE(CalcThumbGeometry(5, 5, 0, 5, 200, false, bar));
    EXPECT_FALSE(CalcThumbGeometry(6, 5, 0, 5, 200, true, bar));
    EXPECT_EQ(bar.ThumbSize, before.ThumbSize);

    // Hit testing along a bar with 17-pixel arrows, the thumb 20 long at 90 of a 200 track.
    TBarGeometry hit{17, 200, 20, 90, WS_VSCROLL};
    const std::pair<int, int> presses[] = {{0, SB_LINEUP},     {16, SB_LINEUP},     {17, SB_PAGEUP},
                                           {106, SB_PAGEUP},   {107, SB_THUMBTRACK}, {126, SB_THUMBTRACK},
                                           {127, SB_PAGEDOWN}, {216, SB_PAGEDOWN},  {217, SB_LINEDOWN},
                                           {233, SB_LINEDOWN}, {234, -1}};
    for (auto [x, code] : presses)
        EXPECT_EQ(HitTestBar(x, hit), code) << x;

    // Dragged past the end with page 10 over 0..100: position 91; before the start: 0.
    EXPECT_EQ(DragPosition(500, 0, 100, 10, hit), 91);
    EXPECT_EQ(DragPosition(-40, 0, 100, 10, hit), 0);
    EXPECT_EQ(DragPosition(100, 0, 100, 10, hit), 50);
    // Without a page the thumb's own length is left out of the way: the end is the maximum.
    EXPECT_EQ(DragPosition(180, 0, 100, 0, hit), 100);
    EXPECT_EQ(DragPosition(90, 0, 100, 0, hit), 50);
    // Rounded to the nearest position, not cut: 3 px of 200 over 100 is 1.5, 5 px of 180 is 2.8.
    EXPECT_EQ(DragPosition(3, 0, 100, 10, hit), 2);
    EXPECT_EQ(DragPosition(5, 0, 100, 0, hit), 3);

    // The widest range there is, and a page larger than the range: no overflow, the thumb on the track.
    EXPECT_EQ(DragPosition(180, INT_MIN, INT_MAX, 0, hit), INT_MAX);
    EXPECT_EQ(DragPosition(0, INT_MIN, INT_MAX, 0, hit), INT_MIN);
    ASSERT_TRUE(CalcThumbGeometry(0, 100, -5, 50, 200, false, bar));
    EXPECT_EQ(bar.ThumbSize, GetSystemMetrics(SM_CXHTHUMB));
    EXPECT_GE(bar.ThumbOffset, 0);

    // Arrows: 17 long, or half a bar shorter than two of them.
    EXPECT_EQ(ArrowLength(200, 17), 17);
    EXPECT_EQ(ArrowLength(20, 17), 10);
    // The pressed part for each scroll code.
    EXPECT_EQ(PressedPartFor(SB_LINEUP, false), spLeft);
    EXPECT_EQ(PressedPartFor(SB_LINEDOWN, false), spRight);
    EXPECT_EQ(PressedPartFor(SB_THUMBTRACK, false), spHorzThumb);
    EXPECT_EQ(PressedPartFor(SB_LINEUP, true), spUp);
    EXPECT_EQ(PressedPartFor(SB_LINEDOWN, true), spDown);
    EXPECT_EQ(PressedPartFor(SB_THUMBTRACK, true), spVertThumb);
    EXPECT_EQ(PressedPartFor(SB_PAGEDOWN, true), spNone);
    EXPECT_EQ(PressedPartFor(SB_ENDSCROLL, true), spNone);

    // A 304 x 204 window with a 2-pixel border around a 283 x 183 client: both bars and the corner.
    TBarLayout both = LayoutScrollBars(RECT{0, 0, 304, 204}, SIZE{283, 183}, true, true, 17);
    EXPECT_EQ(both.Vertical.left, 304 - 2 - 17);
    EXPECT_EQ(both.Vertical.top, 2);
    EXPECT_EQ(both.Vertical.bottom, 204 - 2 - 17);
    EXPECT_EQ(both.Horizontal.left, 2);
    EXPECT_EQ(both.Horizontal.right, 304 - 2 - 17);
    EXPECT_EQ(both.Corner.left, both.Vertical.left);
    EXPECT_EQ(both.Corner.top, both.Horizontal.top);
    // One bar runs the whole side.
    TBarLayout one = LayoutScrollBars(RECT{0, 0, 304, 204}, SIZE{283, 200}, false, true, 17);
    EXPECT_EQ(one.Vertical.bottom, 204 - 2);
    EXPECT_TRUE(IsRectEmpty(&one.Horizontal));
    one = LayoutScrollBars(RECT{0, 0, 304, 204}, SIZE{300, 183}, true, false, 17);
    EXPECT_EQ(one.Horizontal.right, 304 - 2);
}

namespace {

// 0x00RRGGBB. Frame k of the arrow strip has its own colour; the tracks and thumbs theirs.
constexpr uint32_t ArrowColour(int Frame)
{
    return 0x200000u * static_cast<uint32_t>(Frame % 8) + 0x000800u * static_cast<uint32_t>(Frame) + 0x40u;
}
constexpr uint32_t HorzTrack = 0x30C030, VertTrack = 0xC03030, ThumbNormal = 0x2020E0, ThumbPressed = 0xE0E020;
constexpr uint32_t Face = 0xC8C8C8;

std::string Description(bool WithArrows)
{
    std::string ini = "[TitlebarSkin]\r\nSkinName=Bars\r\n[Colours]\r\nButtonFace=200 200 200\r\nScrollbar=90 90 90\r\n"
                      "[HorzScroll]\r\nImage=htrack.bmp\r\n[VertScroll]\r\nImage=vtrack.bmp\r\n"
                      "[HorzScrollThumb]\r\nImage=thumb.bmp\r\nFrameCount=3\r\n"
                      "[VertScrollThumb]\r\nImage=thumb.bmp\r\nFrameCount=3\r\n";
    if (WithArrows)
        ini += "[Scrollbar]\r\nImage=arrows.bmp\r\nTrans=1\r\n";
    return ini;
}

std::vector<TPackageEntry> Bitmaps()
{
    const uint32_t thumbs[3] = {ThumbNormal, ThumbPressed, 0x101010};
    return {{"arrows.bmp", Bmp(16 * 23, 16, [](int x, int) { return ArrowColour(x / 16 + 1); })},
            {"htrack.bmp", Bmp(16 * 4, 16, [](int, int) { return HorzTrack; })},
            {"vtrack.bmp", Bmp(16 * 4, 16, [](int, int) { return VertTrack; })},
            {"thumb.bmp", Bmp(16 * 3, 16, [=](int x, int) { return thumbs[x / 16]; })}};
}

// A window with both bars over 0..100 (vertical page 10 at 45, horizontal page 50 at 0) that
// scrolls as the scroll messages say and notes each of them.
class TScroller : public TCustomControl {
public:
    explicit TScroller(TComponent* AOwner) : TCustomControl(AOwner) {}
    std::vector<std::pair<int, int>> Vertical; // code, position
    void SetRange(int Bar, int Page, int Pos)
    {
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 100, static_cast<UINT>(Page), Pos, 0};
        SetScrollInfo(Handle(), Bar, &info, TRUE);
    }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TCustomControl::CreateParams(Params);
        Params.Style |= WS_VSCROLL | WS_HSCROLL;
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_VSCROLL) {
            const int code = LOWORD(Message.WParam);
            Vertical.emplace_back(code, HIWORD(Message.WParam));
            if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)
                SetScrollPos(Handle(), SB_VERT, HIWORD(Message.WParam), TRUE);
            else if (code == SB_LINEDOWN)
                SetScrollPos(Handle(), SB_VERT, GetScrollPos(Handle(), SB_VERT) + 1, TRUE);
            Message.Result = 0;
            return;
        }
        TCustomControl::WndProc(Message);
    }
};

struct TSkinScrollBarsTest : TSkinnedHostTest {
    void SetUp() override
    {
        OpenHost(120, 120, 420, 300, false);
        ASSERT_TRUE(LoadSkinPackage(*Data, Description(true), Bitmaps()));
        Scroller = new TScroller(Host.get());
        Scroller->SetParent(Host.get());
        Scroller->SetBounds(10, 10, 304, 204);
        Scroller->HandleNeeded();
        Scroller->SetRange(SB_VERT, 10, 45);
        Scroller->SetRange(SB_HORZ, 50, 0);
        Pump(30);
    }
    TSkinScrollBar* AttachScroller()
    {
        auto* adaptor = new TSkinScrollBar(&Skin->AdaptorSet());
        adaptor->AttachScrolling(Scroller, Data.get(), true, Skin->AdaptorSet().Canvas());
        RedrawWindow(Scroller->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        return adaptor;
    }
    // The screen point of the vertical thumb's middle.
    POINT ThumbPoint(const TSkinScrollBar& Adaptor) const
    {
        RECT window{};
        GetWindowRect(Scroller->Handle(), &window);
        const RECT& bar = Adaptor.Layout().Vertical;
        const TBarGeometry& g = Adaptor.Bar(1);
        return POINT{window.left + (bar.left + bar.right) / 2,
                     window.top + bar.top + g.ArrowSize + g.ThumbOffset + g.ThumbSize / 2};
    }

    TScroller* Scroller = nullptr;
};

// Presses or releases the left button where the cursor is.
void MouseButtonInput(bool Down)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
}

} // namespace

TEST_F(TSkinScrollBarsTest, BarsArePaintedFromTheSkinWithThePressedFramesAndTheFrameComesBack)
{
    HWND w = Scroller->Handle();
    RECT client{};
    GetClientRect(w, &client);
    const TWndMethod original = Scroller->WindowProc();
    TSkinScrollBar* adaptor = AttachScroller();
    const TBarLayout& layout = adaptor->Layout();
    const RECT v = layout.Vertical, h = layout.Horizontal;
    const int midV = (v.left + v.right) / 2, midH = (h.top + h.bottom) / 2;
    const TBarGeometry& bar = adaptor->Bar(1);
    EXPECT_EQ(bar.ThumbOffset, MulDiv(45, bar.TrackLength - bar.ThumbSize, 90));
    // Arrows (up 9, down 13, left 1, right 5), the tracks, the thumbs, the corner.
    EXPECT_EQ(WindowPixel(w, midV, v.top + 2), ArrowColour(9));
    EXPECT_EQ(WindowPixel(w, midV, v.bottom - 2), ArrowColour(13));
    EXPECT_EQ(WindowPixel(w, h.left + 2, midH), ArrowColour(1));
    EXPECT_EQ(WindowPixel(w, h.right - 2, midH), ArrowColour(5));
    EXPECT_EQ(WindowPixel(w, midV, v.top + bar.ArrowSize + bar.ThumbOffset / 2), VertTrack);
    EXPECT_EQ(WindowPixel(w, midV, v.top + bar.ArrowSize + bar.ThumbOffset + bar.ThumbSize / 2), ThumbNormal);
    EXPECT_EQ(WindowPixel(w, h.right - bar.ArrowSize - 3, midH), HorzTrack);
    EXPECT_EQ(WindowPixel(w, h.left + bar.ArrowSize + 3, midH), ThumbNormal);
    EXPECT_EQ(WindowPixel(w, layout.Corner.left + 2, layout.Corner.top + 2), Face);

    // A line down: the down arrow pressed until the closing SB_ENDSCROLL; the thumb moved on.
    SendMessageA(w, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(adaptor->PressedPart(), spDown);
    EXPECT_EQ(WindowPixel(w, midV, v.bottom - 2), ArrowColour(14));
    SendMessageA(w, WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_EQ(adaptor->PressedPart(), spNone);
    EXPECT_EQ(WindowPixel(w, midV, v.bottom - 2), ArrowColour(13));
    EXPECT_EQ(adaptor->Bar(1).ThumbOffset, MulDiv(46, bar.TrackLength - bar.ThumbSize, 90));
    // A line left on the horizontal bar.
    SendMessageA(w, WM_HSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(WindowPixel(w, h.left + 2, midH), ArrowColour(2));
    // The program sets a position with a redraw: the system's bar is covered again at once.
    SendMessageA(w, WM_HSCROLL, SB_ENDSCROLL, 0);
    SetScrollPos(w, SB_VERT, 0, TRUE);
    Scroller->Perform(WM_USER, 0, 0);
    EXPECT_EQ(WindowPixel(w, midV, v.top + bar.ArrowSize + 2), ThumbNormal);

    // Given back: the hook, the client, and the system's own bars.
    delete adaptor;
    EXPECT_EQ(Scroller->WindowProc(), original);
    RECT after{};
    GetClientRect(w, &after);
    EXPECT_TRUE(EqualRect(&after, &client));
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_NE(WindowPixel(w, midV, v.top + 2), ArrowColour(9));
    EXPECT_NE(WindowPixel(w, layout.Corner.left + 2, layout.Corner.top + 2), Face);

    // No "Scrollbar" element: the system's bars stay.
    ASSERT_TRUE(LoadSkinPackage(*Data, Description(false), Bitmaps()));
    adaptor = AttachScroller();
    EXPECT_NE(WindowPixel(w, midV, v.top + bar.ArrowSize + bar.ThumbSize / 2), ThumbNormal);
    delete adaptor;
}

TEST_F(TSkinScrollBarsTest, TheThumbIsDraggedWithTheMouseAndStopsAtTheEnd)
{
    TSkinScrollBar* adaptor = AttachScroller();
    const POINT thumb = ThumbPoint(*adaptor);
    // Pressed and released without moving: the position as it was, then the end of scrolling.
    TInputScript click;
    click.Then([&] { MouseInput(thumb, false); return true; })
        .Then([&] { MouseButtonInput(true); return true; })
        .Then([&] { return adaptor->Dragging(); })
        .Then([&] {
            EXPECT_EQ(adaptor->PressedPart(), spVertThumb);
            MouseButtonInput(false);
            return true;
        })
        .Then([&] { return !adaptor->Dragging(); });
    ASSERT_TRUE(click.Run());
    Pump(50);
    ASSERT_GE(Scroller->Vertical.size(), 2u);
    EXPECT_EQ(Scroller->Vertical[Scroller->Vertical.size() - 2], std::make_pair(int(SB_THUMBPOSITION), 45));
    EXPECT_EQ(Scroller->Vertical.back().first, SB_ENDSCROLL);
    EXPECT_EQ(GetCapture(), nullptr);

    // Dragged far past the end: tracking positions on the way, and 91 at the end.
    Scroller->Vertical.clear();
    TInputScript drag;
    drag.Then([&] { MouseInput(thumb, false); return true; })
        .Then([&] { MouseButtonInput(true); return true; })
        .Then([&] { return adaptor->Dragging(); })
        .Then([&] { MouseInput(POINT{thumb.x, thumb.y + 40}, false); return true; })
        .Then([&] { MouseInput(POINT{thumb.x, thumb.y + 400}, false); return true; })
        .Then([&] { MouseButtonInput(false); return true; })
        .Then([&] { return !adaptor->Dragging(); });
    ASSERT_TRUE(drag.Run());
    Pump(50);
    ASSERT_GE(Scroller->Vertical.size(), 3u);
    EXPECT_EQ(Scroller->Vertical.front().first, SB_THUMBTRACK);
    EXPECT_GT(Scroller->Vertical.front().second, 45);
    EXPECT_EQ(Scroller->Vertical[Scroller->Vertical.size() - 2], std::make_pair(int(SB_THUMBPOSITION), 91));
    EXPECT_EQ(GetScrollPos(Scroller->Handle(), SB_VERT), 91);
    // The thumb shown at the end of its track, not past it.
    EXPECT_EQ(adaptor->Bar(1).ThumbOffset, adaptor->Bar(1).TrackLength - adaptor->Bar(1).ThumbSize);
}

TEST_F(TSkinScrollBarsTest, AnArrowHeldDownShowsTheSkinsPressedFrameWhileTheSystemRepeatsIt)
{
    TSkinScrollBar* adaptor = AttachScroller();
    HWND w = Scroller->Handle();
    RECT window{};
    GetWindowRect(w, &window);
    const RECT v = adaptor->Layout().Vertical;
    const POINT down{window.left + (v.left + v.right) / 2, window.top + v.bottom - 4};
    uint32_t held = 0, after = 0;
    TInputScript hold;
    hold.Then([&] { MouseInput(down, false); return true; })
        .Then([&] { MouseButtonInput(true); return true; })
        .Wait(400) // past the first repeat
        .Then([&] {
            held = WindowPixel(w, (v.left + v.right) / 2, v.bottom - 2);
            MouseButtonInput(false);
            return true;
        });
    ASSERT_TRUE(hold.Run());
    after = WindowPixel(w, (v.left + v.right) / 2, v.bottom - 2);
    EXPECT_EQ(held, ArrowColour(14));
    EXPECT_EQ(after, ArrowColour(13));
    EXPECT_GT(GetScrollPos(w, SB_VERT), 46); // repeated
}

// A stand-alone bar keeps the skin's look while the mouse moves over it and leaves it, and while
// an arrow is held down (the platform paints it in its own look at each of those).
TEST_F(TSkinScrollBarsTest, AStandAloneBarKeepsTheSkinUnderTheMouseAndWhileAnArrowIsHeld)
{
    HWND bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 330, 10, 20, 120, Host->Handle(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
    SetScrollPos(bar, SB_CTL, 50, TRUE);
    auto* adaptor = new TSkinScControl(&Skin->AdaptorSet());
    adaptor->AttachWindow(bar, Data.get(), Skin->AdaptorSet().Canvas());
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT r{};
    GetWindowRect(bar, &r);
    uint32_t hovered = 0, held = 0;
    TInputScript mouse;
    mouse.Then([&] { MouseInput(POINT{r.left + 10, r.top + 5}, false); return true; })
        .Wait(200)
        .Then([&] { hovered = WindowPixel(bar, 10, 2); return true; })
        .Then([&] { MouseInput(POINT{r.left + 10, r.bottom - 5}, false); return true; })
        .Then([&] { MouseButtonInput(true); return true; })
        .Wait(400) // past the first repeat
        .Then([&] {
            held = WindowPixel(bar, 10, 120 - 2);
            MouseButtonInput(false);
            return true;
        })
        .Then([&] { MouseInput(POINT{2, 2}, false); return true; });
    ASSERT_TRUE(mouse.Run());
    Pump(100);
    EXPECT_EQ(hovered, ArrowColour(9)) << "the up arrow under the mouse";
    EXPECT_EQ(held, ArrowColour(14)) << "the down arrow held";
    EXPECT_EQ(WindowPixel(bar, 10, 120 - 2), ArrowColour(13)) << "the down arrow let go";
    EXPECT_EQ(WindowPixel(bar, 10, 2), ArrowColour(9)) << "the up arrow after the mouse left";
    delete adaptor;
    DestroyWindow(bar);

    // A framework bar moves its thumb at each step of the loop (the position it is given goes
    // back to the bar): held, it still shows the skin, its thumb where it went.
    auto* framework = new TScrollBar(Host.get());
    framework->SetParent(Host.get());
    framework->SetKind(sbVertical);
    framework->SetBounds(330, 10, 20, 120);
    framework->SetParams(50, 0, 100);
    framework->SetPageSize(20);
    Skin->AttachForm(Data.get(), Host.get());
    Pump(50);
    RedrawWindow(framework->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    std::vector<uint32_t> track;
    TInputScript hold;
    hold.Then([&] { MouseInput(POINT{r.left + 10, r.bottom - 5}, false); return true; })
        .Then([&] { MouseButtonInput(true); return true; })
        .Wait(700) // several repeats
        .Then([&] {
            held = WindowPixel(framework->Handle(), 10, 120 - 2);
            track = {WindowPixel(framework->Handle(), 10, 24), WindowPixel(framework->Handle(), 10, 120 - 24)};
            MouseButtonInput(false);
            return true;
        })
        .Then([&] { MouseInput(POINT{2, 2}, false); return true; });
    ASSERT_TRUE(hold.Run());
    Pump(100);
    EXPECT_GT(framework->Position(), 52) << "repeated";
    EXPECT_EQ(held, ArrowColour(14)) << "the framework bar's down arrow held";
    for (uint32_t pixel : track)
        EXPECT_TRUE(pixel == VertTrack || pixel == ThumbNormal || pixel == 0x101010u) << std::hex << pixel << " inside the held bar";
    Skin->Unskin();
}

TEST_F(TSkinScrollBarsTest, TheDragEndsWhenTheCaptureOrTheSkinGoes)
{
    TSkinScrollBar* adaptor = AttachScroller();
    const POINT thumb = ThumbPoint(*adaptor);
    // Someone takes the capture (a window popping up): the drag ends, the button still down.
    TInputScript lost;
    lost.Then([&] { MouseInput(thumb, false); return true; })
        .Then([&] { MouseButtonInput(true); return true; })
        .Then([&] { return adaptor->Dragging(); })
        .Then([&] { SetCapture(Host->Handle()); return true; })
        .Then([&] { return !adaptor->Dragging(); })
        .Then([&] { MouseButtonInput(false); ReleaseCapture(); return true; });
    ASSERT_TRUE(lost.Run());
    Pump(50);
    ASSERT_FALSE(Scroller->Vertical.empty());
    EXPECT_EQ(Scroller->Vertical.back().first, SB_ENDSCROLL);

    // The skin is switched off in the middle of a drag (a timer of the program's): the loop ends,
    // the control is given back, and the program goes on.
    Scroller->Vertical.clear();
    bool released = false;
    TInputScript off;
    off.Then([&] { MouseInput(thumb, false); return true; })
        .Then([&] { MouseButtonInput(true); return true; })
        .Then([&] { return adaptor->Dragging(); })
        .Then([&] { Skin->AdaptorSet().ReleaseAdaptors(); return true; })
        .Then([&] { return GetCapture() == nullptr; })
        .Then([&] { MouseButtonInput(false); released = true; return true; });
    ASSERT_TRUE(off.Run());
    EXPECT_TRUE(released);
    EXPECT_TRUE(Skin->AdaptorSet().Adaptors().empty());
    Pump(50);
    ASSERT_FALSE(Scroller->Vertical.empty());
    EXPECT_EQ(Scroller->Vertical.back().first, SB_ENDSCROLL);
}

TEST_F(TSkinScrollBarsTest, IdleDragLoopSleeps)
{
    TSkinScrollBar* adaptor = AttachScroller();
    const POINT thumb = ThumbPoint(*adaptor);
    FILETIME created, exited, kernel0, user0, kernel1, user1;
    TInputScript hold;
    hold.Then([&] { MouseInput(thumb, false); return true; })
        .Then([&] { MouseButtonInput(true); return true; })
        .Then([&] {
            if (!adaptor->Dragging())
                return false;
            GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel0, &user0);
            return true;
        })
        // Half a second with the mouse still.
        .Wait(500)
        .Then([&] {
            GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel1, &user1);
            MouseButtonInput(false);
            return true;
        })
        .Then([&] { return !adaptor->Dragging(); });
    ASSERT_TRUE(hold.Run());
    auto ticks = [](const FILETIME& F) { return (static_cast<uint64_t>(F.dwHighDateTime) << 32) | F.dwLowDateTime; };
    const uint64_t busy = ticks(kernel1) - ticks(kernel0) + ticks(user1) - ticks(user0); // 100 ns units
    EXPECT_LT(busy, 1000000u) << "more than 100 ms of processor time in half a second of holding still";
}

TEST_F(TSkinScrollBarsTest, StandAloneBarsSizeBoxesAndDiscovery)
{
    // A stand-alone bar 0..99 with a page of 100: the thumb fills its track less one pixel.
    auto* stand = new TScrollBar(Host.get());
    stand->SetParent(Host.get());
    stand->SetBounds(10, 230, 200, 17);
    stand->SetMax(99);
    stand->SetPageSize(100);
    auto* memo = new TMemo(Host.get());
    memo->SetParent(Host.get());
    memo->SetBounds(220, 230, 100, 60);
    memo->SetScrollBars(TScrollStyle::ssVertical);
    auto* view = new TListView(Host.get());
    view->SetParent(Host.get());
    view->SetBounds(330, 230, 80, 60);
    view->SetViewStyle(vsReport);
    view->Columns()->Add()->SetCaption("Name");
    auto* list = new TListBox(Host.get());
    list->SetParent(Host.get());
    list->SetBounds(330, 10, 80, 60);
    Skin->AttachForm(Data.get(), Host.get());
    auto adaptorOf = [&](TControl* Control) -> TSkinControl* {
        for (TSkinControl* a : Skin->AdaptorSet().Adaptors())
            if (a->Control() == Control)
                return a;
        return nullptr;
    };
    auto* bar = dynamic_cast<TSkinScControl*>(adaptorOf(stand));
    ASSERT_NE(bar, nullptr);
    Pump(30);
    RedrawWindow(stand->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    EXPECT_EQ(bar->Bar().ThumbSize, 200 - 2 * s - 1);
    EXPECT_EQ(WindowPixel(stand->Handle(), 100, 8), ThumbNormal);
    EXPECT_EQ(WindowPixel(stand->Handle(), 200 - s - 1, 8), HorzTrack); // the pixel the thumb leaves
    // The framework's reflected scroll codes press the arrows.
    stand->Perform(CN_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(bar->PressedPart(), spRight);
    EXPECT_EQ(WindowPixel(stand->Handle(), 200 - 2, 8), ArrowColour(6));

    EXPECT_NE(dynamic_cast<TSkinScrollBar*>(adaptorOf(memo)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinScrollBar*>(adaptorOf(list)), nullptr);
    auto* listView = dynamic_cast<TSkinListView*>(adaptorOf(view));
    ASSERT_NE(listView, nullptr);
    ASSERT_NE(listView->Header(), nullptr);
    EXPECT_EQ(Skin->AdaptorSet().FindAdaptor(listView->Header()->Handle()), listView->Header());
    Skin->Unskin();
    EXPECT_TRUE(Skin->AdaptorSet().Adaptors().empty());

    // A dialog's size box is not painted at all; its real scroll bars are skinned.
    auto child = [&](DWORD Style, int X) {
        return CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | Style, X, 240, 20, 40, Host->Handle(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    };
    HWND grip = child(SBS_SIZEGRIP, 10), real = child(SBS_VERT, 40);
    Skin->AdaptorSet().AttachChildWindows();
    EXPECT_NE(dynamic_cast<TSkinSizer*>(Skin->AdaptorSet().FindAdaptor(grip)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinScControl*>(Skin->AdaptorSet().FindAdaptor(real)), nullptr);
    HDC dc = GetDC(grip);
    RECT all{0, 0, 20, 40};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, magenta);
    DeleteObject(magenta);
    ReleaseDC(grip, dc);
    RedrawWindow(grip, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(WindowPixel(grip, 10, 30), 0xFF00FFu);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(grip, &update, FALSE));
    RedrawWindow(real, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(WindowPixel(real, 10, 2), ArrowColour(9));
    Skin->AdaptorSet().ReleaseAdaptors();
    DestroyWindow(grip);
    DestroyWindow(real);
}
