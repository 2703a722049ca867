#include "skin/controls/SkinScrollBars.h"

#include "framework/controls/StdCtrls.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"
#include "framework/win/Callback.h"
#include "framework/win/ControlMessages.h"
#include "framework/win/Handles.h"
#include "framework/win/Platform.h"
#include "skin/controls/AdaptorSet.h"
#include "skin/controls/SkinBars.h"
#include "skin/controls/SkinEdits.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>

IMPLEMENT_CLASS_EMPTY(TSkinScrollBar)
IMPLEMENT_CLASS_EMPTY(TSkinListView)
IMPLEMENT_CLASS_EMPTY(TSkinScControl)
IMPLEMENT_CLASS_EMPTY(TSkinSizer)

namespace {

// The bar thickness the pieces are composed at, before the one stretch to the real thickness.
constexpr int ComposeThickness = 16;
// Bars longer than this are not painted (a window sized beyond reason).
constexpr int LongestBar = 10000;
constexpr int ArrowFrames = 23;
// The arrows' frames in the "Scrollbar" strip: normal, then pressed.
constexpr int LeftArrow = 1, RightArrow = 5, UpArrow = 9, DownArrow = 13;

int ScrollWidth()
{
    return GetSystemMetrics(SM_CXHSCROLL);
}

// The smallest thumb: half a scroll-bar width on the old systems, 8 pixels on the NT family.
int MinimumThumb()
{
    return IsNTPlatform() ? 8 : ScrollWidth() / 2;
}

bool EmptyRect(const RECT& R)
{
    return R.right <= R.left || R.bottom <= R.top;
}

} // namespace

// ---- the arithmetic

TBarLayout LayoutScrollBars(const RECT& W, SIZE Client, bool Horizontal, bool Vertical, int S)
{
    TBarLayout layout;
    int b = 0;
    if (Vertical)
        b = (W.right - Client.cx - S) / 2;
    else if (Horizontal)
        b = (W.bottom - Client.cy - S) / 2;
    if (Horizontal && Vertical) {
        layout.Horizontal = RECT{b, W.bottom - b - S, W.right - b - S, W.bottom - b};
        layout.Vertical = RECT{W.right - b - S, b, W.right - b, W.bottom - b - S};
        layout.Corner = RECT{layout.Vertical.left, layout.Horizontal.top, layout.Vertical.right, layout.Horizontal.bottom};
    } else if (Vertical) {
        layout.Vertical = RECT{W.right - b - S, b, W.right - b, W.bottom - b};
    } else if (Horizontal) {
        layout.Horizontal = RECT{b, W.bottom - b - S, W.right - b, W.bottom - b};
    }
    return layout;
}

bool CalcThumbGeometry(int Min, int Max, int Page, int Pos, int Track, bool Inclusive, TBarGeometry& Bar)
{
    const long long span = static_cast<long long>(Max) - Min + (Inclusive ? 1 : 0);
    if (span <= 0 || span > INT_MAX)
        return false;
    const int n = static_cast<int>(span);
    // A page outside the range (the system keeps it inside; a stored one may not be) is clamped.
    const int page = std::clamp(Page, 0, n);
    int t = page != 0 ? std::max(MulDiv(page, Track, n), MinimumThumb()) : GetSystemMetrics(SM_CXHTHUMB);
    t = std::min(t, Track);
    int offset = 0;
    if (page == n)
        t -= 1;
    else
        offset = MulDiv(static_cast<int>(std::clamp<long long>(static_cast<long long>(Pos) - Min, 0, n)), Track - t,
                        n - page);
    // A failed MulDiv (-1) puts the thumb at the start, not before it.
    offset = std::max(0, std::min(offset, Track - t));
    Bar.TrackLength = Track;
    Bar.ThumbSize = t;
    Bar.ThumbOffset = offset;
    return true;
}

int HitTestBar(int X, const TBarGeometry& Bar)
{
    const int a = Bar.ArrowSize, o = Bar.ThumbOffset, t = Bar.ThumbSize, l = Bar.TrackLength;
    if (X < a)
        return SB_LINEUP;
    if (X < a + o)
        return SB_PAGEUP;
    if (X < a + o + t)
        return SB_THUMBTRACK;
    if (X < a + l)
        return SB_PAGEDOWN;
    if (X < 2 * a + l)
        return SB_LINEDOWN;
    return -1;
}

namespace {

// A * B / C rounded to the nearest, halves away from zero, as MulDiv rounds (C > 0), in 64 bits.
long long MulDivRounded(long long A, long long B, long long C)
{
    const long long n = A * B;
    return n >= 0 ? (n + C / 2) / C : -((-n + C / 2) / C);
}

} // namespace

int DragPosition(int Offset, int Min, int Max, int Page, const TBarGeometry& Bar)
{
    // In 64 bits: a range from INT_MIN to INT_MAX does not fit in an int.
    const long long l = Bar.TrackLength, t = Bar.ThumbSize, range = static_cast<long long>(Max) - Min;
    long long o = std::max(Offset, 0);
    long long pos = Min;
    if (Page != 0) {
        o = std::min(o, l);
        if (l > 0)
            pos = Min + MulDivRounded(o, range, l);
        if (pos >= static_cast<long long>(Max) - Page)
            pos = static_cast<long long>(Max) - Page + 1;
    } else {
        o = std::min(o, l - t);
        if (l - t > 0)
            pos = Min + MulDivRounded(o, range, l - t);
        pos = std::min<long long>(pos, Max);
    }
    return static_cast<int>(std::clamp<long long>(pos, Min, Max));
}

int ArrowLength(int Length, int S)
{
    return Length < 2 * S ? Length / 2 : S;
}

int PressedPartFor(int Code, bool Vertical)
{
    switch (Code) {
    case SB_LINEUP:
        return Vertical ? spUp : spLeft;
    case SB_LINEDOWN:
        return Vertical ? spDown : spRight;
    case SB_THUMBTRACK:
        return Vertical ? spVertThumb : spHorzThumb;
    default:
        return spNone;
    }
}

void PaintScrollBar(HDC DC, const RECT& B, int Orientation, int PressedPart, const TBarGeometry* Thumb,
                    const TSkinData& Data)
{
    const TDataSkinObject* arrows = Data.SkinScrollbar();
    if (EmptyRect(B) || !HasSkinBitmap(arrows))
        return;
    const bool horizontal = Orientation == 1;
    const int length = horizontal ? B.right - B.left : B.bottom - B.top;
    if (length > LongestBar)
        return;
    const int s = ScrollWidth();
    const int w = horizontal ? length : ComposeThickness, h = horizontal ? ComposeThickness : length;
    TBitmap* work = SharedPaintBitmap();
    work->SetSize(w, h);
    TBitmapCanvas& canvas = *work->Canvas();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(Data.Colours().Scrollbar);
    canvas.FillRect(RECT{0, 0, w, h});
    HDC dc = canvas.Handle();

    const TDataSkinObject* track = horizontal ? Data.SkinHorzScroll() : Data.SkinVertScroll();
    if (HasSkinBitmap(track)) {
        const RECT t = horizontal ? RECT{s, 0, w - s, h} : RECT{0, s, w, h - s};
        DrawFrameImage(dc, t, track->Bitmap.get(), MarginsOf(*track), 1, 4, track->Trans == 1, track->Tile != 0, false);
    }
    const int a = ArrowLength(length, s);
    const RECT first = horizontal ? RECT{0, 0, a, h} : RECT{0, 0, w, a};
    const RECT second = horizontal ? RECT{w - a, 0, w, h} : RECT{0, h - a, w, h};
    const int firstFrame = horizontal ? LeftArrow : UpArrow, secondFrame = horizontal ? RightArrow : DownArrow;
    const bool firstPressed = PressedPart == (horizontal ? spLeft : spUp);
    const bool secondPressed = PressedPart == (horizontal ? spRight : spDown);
    DrawKeyedFrame(canvas, first, ArrowFrames, firstFrame + (firstPressed ? 1 : 0), arrows->Bitmap.get());
    DrawKeyedFrame(canvas, second, ArrowFrames, secondFrame + (secondPressed ? 1 : 0), arrows->Bitmap.get());

    const TDataSkinObject* thumb = horizontal ? Data.SkinHorzScrollThumb() : Data.SkinVertScrollThumb();
    if (Thumb != nullptr && HasSkinBitmap(thumb) && Thumb->TrackLength >= Thumb->ThumbSize && Thumb->ThumbSize > 0) {
        const int from = a + Thumb->ThumbOffset, to = from + Thumb->ThumbSize;
        const RECT r = horizontal ? RECT{from, 0, to, h} : RECT{0, from, w, to};
        const int frame = PressedPart == (horizontal ? spHorzThumb : spVertThumb) ? 2 : 1;
        DrawFrameImage(canvas.Handle(), r, thumb->Bitmap.get(), MarginsOf(*thumb), frame,
                       std::max(1, static_cast<int>(thumb->FrameCount)), thumb->Trans == 1, false, false);
    }
    const int mode = SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, B.left, B.top, B.right - B.left, B.bottom - B.top, canvas.Handle(), 0, 0, w, h, SRCCOPY);
    SetStretchBltMode(DC, mode);
}

// ---- the bars of a scrolling control

TSkinScrollBar::~TSkinScrollBar()
{
    // Here, while the object is whole: the frame is computed anew as the adaptor leaves.
    Detach();
}

void TSkinScrollBar::AttachScrolling(TWinControl* AControl, TSkinData* Data, bool AOwnThumbDrag, TCanvas* ACanvas)
{
    if (AControl == nullptr)
        return;
    TSkinControl::AttachControl(AControl, Data, false, ACanvas);
    StartScrolling(AOwnThumbDrag);
}

void TSkinScrollBar::AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas)
{
    TSkinControl::AttachWindow(Window, Data, ACanvas);
    StartScrolling(false);
}

void TSkinScrollBar::StartScrolling(bool AOwnThumbDrag)
{
    if (FHandle == nullptr)
        return;
    FDragging = FHScrolling = FVScrolling = false;
    for (SCROLLINFO& info : FInfo)
        info.cbSize = sizeof(SCROLLINFO);
    FBars[0].StyleBit = WS_HSCROLL;
    FBars[1].StyleBit = WS_VSCROLL;
    FOwnThumbDrag = AOwnThumbDrag;
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TSkinScrollBar::Detach()
{
    const bool attached = FHook.Installed() || FWindowProc.Handle() != nullptr;
    FDragging = false;
    TSkinControl::Detach();
    // The window system draws its own bars again.
    if (attached && FHandle != nullptr && IsWindow(FHandle))
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool TSkinScrollBar::BeforeMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        CallPrevious(Message);
        return false;
    case WM_NCMOUSEMOVE:
        // Over a bar the system would draw its hot look over the skin's.
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL) {
            Message.Result = 0;
            return false;
        }
        return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: // a second press soon after the first is a press on the thumb too
        if (FOwnThumbDrag && ThumbPress(Message))
            return false;
        if (Message.WParam != HTHSCROLL && Message.WParam != HTVSCROLL)
            return true;
        TrackWithSystem(Message);
        return false;
    case WM_HSCROLL:
    case WM_VSCROLL:
        // A child scroll-bar control's notification is not about the window's own bars.
        if (Message.LParam != 0)
            return true;
        ScrollMessage(Message, Message.Msg == WM_VSCROLL);
        return false;
    default:
        return true;
    }
}

void TSkinScrollBar::ScrollMessage(TMessage& Message, bool Vertical)
{
    FPressedPart = PressedPartFor(LOWORD(Message.WParam), Vertical);
    // The bar being scrolled is painted even if the style does not show it (yet).
    bool& scrolling = Vertical ? FVScrolling : FHScrolling;
    scrolling = true;
    CallPrevious(Message);
    if (!Retired())
        Repaint(nullptr);
    scrolling = false;
}

void TSkinScrollBar::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCPAINT:
    case WM_PAINT:
        // On the window DC, whatever DC the message came with: the bars are outside the client.
        Repaint(nullptr);
        return;
    case WM_PRINT:
        if ((Message.LParam & PRF_NONCLIENT) != 0)
            Repaint(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_DESTROY:
    case WM_NCDESTROY:
        TSkinControl::AfterMessage(Message);
        return;
    default:
        break;
    }
    TSkinControl::AfterMessage(Message);
    // The control set its bars with a redraw (typing, the wheel, a selection): the system has
    // just drawn its own.
    if (!Retired() && !FDragging && FHandle != nullptr && ScrollStateChanged())
        Repaint(nullptr);
}

bool TSkinScrollBar::ScrollStateChanged()
{
    const DWORD style = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE)) & (WS_HSCROLL | WS_VSCROLL);
    if (style != (FStyle & (WS_HSCROLL | WS_VSCROLL)))
        return style != 0 || (FStyle & (WS_HSCROLL | WS_VSCROLL)) != 0;
    for (int i = 0; i < 2; ++i) {
        if ((style & FBars[i].StyleBit) == 0)
            continue;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (GetScrollInfo(FHandle, i == 0 ? SB_HORZ : SB_VERT, &info) &&
            (info.nMin != FInfo[i].nMin || info.nMax != FInfo[i].nMax || info.nPage != FInfo[i].nPage ||
             info.nPos != FInfo[i].nPos))
            return true;
    }
    return false;
}

void TSkinScrollBar::LayoutBars(const RECT& W)
{
    RECT client{};
    GetClientRect(FHandle, &client);
    const int s = ScrollWidth();
    FLayout = LayoutScrollBars(W, SIZE{client.right, client.bottom}, (FStyle & WS_HSCROLL) != 0,
                               (FStyle & WS_VSCROLL) != 0, s);
    FBars[0].ArrowSize = FBars[1].ArrowSize = s;
}

void TSkinScrollBar::CalcThumb(int Index)
{
    if (FDragging)
        return;
    const RECT& bar = Index == 0 ? FLayout.Horizontal : FLayout.Vertical;
    const int s = ScrollWidth();
    const int track = (Index == 0 ? bar.right - bar.left : bar.bottom - bar.top) - 2 * s;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    if (!GetScrollInfo(FHandle, Index == 0 ? SB_HORZ : SB_VERT, &info))
        return;
    FInfo[Index] = info;
    CalcThumbGeometry(info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos, track, false, FBars[Index]);
}

void TSkinScrollBar::PaintContentEdge(HDC DC, const RECT& R)
{
    if ((GetWindowLongA(FHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0 || !ShowsContentColours(*this))
        return;
    const TSkinColours& c = FSkinData->Colours();
    if (FControl == nullptr) {
        // A bare window: an edit or list answered with the skin's ground, or a view that took it.
        const std::string& cls = FWindowClass;
        const auto ground = static_cast<COLORREF>(ColorToRGB(c.Window));
        const bool content =
            cls == "edit" || cls == "listbox" ||
            (cls == "systreeview32" && static_cast<COLORREF>(SendMessageA(FHandle, TVM_GETBKCOLOR, 0, 0)) == ground) ||
            (cls == "syslistview32" && static_cast<COLORREF>(SendMessageA(FHandle, LVM_GETBKCOLOR, 0, 0)) == ground);
        if (!content)
            return;
    }
    TBrushHandle outer(CreateSolidBrush(ColorToRGB(ContentBorderColour(c))));
    RECT r = R;
    FrameRect(DC, &r, outer.get());
    // The rest of the edge, and a plain border's line inside it, in the ground.
    const int lines = (GetWindowLongA(FHandle, GWL_STYLE) & WS_BORDER) != 0 ? 2 : 1;
    for (int i = 0; i < lines; ++i) {
        InflateRect(&r, -1, -1);
        FrameRect(DC, &r, FSkinData->WindowBrush());
    }
}

void TSkinScrollBar::PaintTo(HDC DC, const RECT& R)
{
    if (FSkinData == nullptr)
        return;
    PaintContentEdge(DC, R);
    if (!HasSkinBitmap(FSkinData->SkinScrollbar()))
        return;
    FStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
    if (FVScrolling)
        FStyle |= WS_VSCROLL;
    if (FHScrolling)
        FStyle |= WS_HSCROLL;
    const bool horizontal = (FStyle & WS_HSCROLL) != 0, vertical = (FStyle & WS_VSCROLL) != 0;
    if (!horizontal && !vertical)
        return;
    LayoutBars(R);
    for (int i = 0; i < 2; ++i) {
        if ((FStyle & FBars[i].StyleBit) == 0)
            continue;
        CalcThumb(i);
        // An empty range shows no thumb (the geometry of the last one is kept for the drag).
        const bool thumb = FInfo[i].nMax - FInfo[i].nMin > 0 || FDragging;
        PaintScrollBar(DC, i == 0 ? FLayout.Horizontal : FLayout.Vertical, i + 1, FPressedPart,
                       thumb ? &FBars[i] : nullptr, *FSkinData);
    }
    if (horizontal && vertical && !EmptyRect(FLayout.Corner))
        FillFace(DC, FLayout.Corner);
}

namespace {

// The bar the system is tracking a press on (one at a time on each GUI thread), and the filter
// that sees each message of the system's tracking loop.
thread_local TSkinScrollBar* GSystemTracked = nullptr;

LRESULT CALLBACK ScrollFilterProc(int Code, WPARAM WParam, LPARAM LParam)
{
    // The system draws the bar as it tracks, after the scroll message that has the skin paint
    // it: before its next message, the skin's bar goes back over the system's.
    if (Code == MSGF_SCROLLBAR && GSystemTracked != nullptr && !GSystemTracked->Retired())
        CallGuarded([] { GSystemTracked->Repaint(nullptr); });
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

} // namespace

void TSkinScrollBar::TrackWithSystem(TMessage& Message)
{
    // The filter lives while the system's loop runs, however it ends.
    struct TFilterScope {
        TSkinScrollBar* Outer = GSystemTracked;
        THookHandle Hook;
        ~TFilterScope() { GSystemTracked = Outer; }
    } scope;
    GSystemTracked = this;
    scope.Hook.reset(SetWindowsHookExA(WH_MSGFILTER, &ScrollFilterProc, nullptr, GetCurrentThreadId()));
    CallPrevious(Message);
    // The system drew the bar last, after its closing SB_ENDSCROLL.
    if (!Retired())
        Repaint(nullptr);
}

bool TSkinScrollBar::ThumbPress(TMessage& Message)
{
    if (Message.WParam != HTHSCROLL && Message.WParam != HTVSCROLL)
        return false;
    const int index = Message.WParam == HTHSCROLL ? 0 : 1;
    POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    ScreenToClient(FHandle, &p);
    // The geometry as the bar shows it now.
    RECT window{};
    GetWindowRect(FHandle, &window);
    OffsetRect(&window, -window.left, -window.top);
    FStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
    LayoutBars(window);
    CalcThumb(index);
    const int code = HitTestBar(index == 0 ? p.x : p.y, FBars[index]);
    FPressedPart = index == 0 ? spHorzThumb : spVertThumb;
    if (code != SB_THUMBTRACK)
        return false;
    Repaint(nullptr);
    DragThumb(index, index == 0 ? WM_HSCROLL : WM_VSCROLL);
    Message.Result = 0;
    return true;
}

void TSkinScrollBar::DragThumb(int Index, UINT ScrollMessage)
{
    const HWND window = FHandle;
    FDragging = true;
    POINT start{};
    GetCursorPos(&start);
    const int startOffset = FBars[Index].ThumbOffset;
    int last = FInfo[Index].nPos;
    SetCapture(window);
    auto track = [&] {
        POINT now{};
        GetCursorPos(&now);
        const int offset = startOffset + (Index == 1 ? now.y - start.y : now.x - start.x);
        const SCROLLINFO& info = FInfo[Index];
        const int pos = DragPosition(offset, info.nMin, info.nMax, static_cast<int>(info.nPage), FBars[Index]);
        if (pos != last) {
            TBarGeometry& bar = FBars[Index];
            // The thumb follows the mouse and stops at the track's ends.
            bar.ThumbOffset = std::max(0, std::min(offset, bar.TrackLength - bar.ThumbSize));
            SCROLLINFO set{};
            set.cbSize = sizeof set;
            set.fMask = SIF_POS;
            set.nPos = pos;
            FInfo[Index].nPos = FInfo[Index].nTrackPos = pos;
            SetScrollInfo(window, Index == 0 ? SB_HORZ : SB_VERT, &set, FALSE);
            SendMessageA(window, ScrollMessage, MAKEWPARAM(SB_THUMBTRACK, pos), 0);
        }
        last = pos;
    };
    // Polls without spinning: between messages the thread sleeps until input comes or a tenth of
    // a second passes. Ends on the release, and when the capture, the window or the skin goes.
    while (FDragging) {
        MSG msg{};
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (Retired() || !IsWindow(window) || GetCapture() != window)
                break;
            MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (Retired() || !IsWindow(window) || GetCapture() != window)
            break;
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE)
            track();
    }
    FDragging = false;
    if (!IsWindow(window))
        return;
    if (GetCapture() == window)
        ReleaseCapture();
    SendMessageA(window, ScrollMessage, MAKEWPARAM(SB_THUMBPOSITION, last), 0);
    PostMessageA(window, ScrollMessage, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

// ---- list views

void TSkinListView::AttachControl(TWinControl* AControl, TSkinData* Data, bool AOwnThumbDrag, TCanvas* ACanvas)
{
    AttachScrolling(AControl, Data, AOwnThumbDrag, ACanvas);
    AttachHeader(Data, ACanvas);
}

void TSkinListView::AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas)
{
    TSkinScrollBar::AttachWindow(Window, Data, ACanvas);
    AttachHeader(Data, ACanvas);
}

void TSkinListView::AttachHeader(TSkinData* Data, TCanvas* ACanvas)
{
    if (FHandle == nullptr || FHeader != nullptr)
        return;
    const auto header = reinterpret_cast<HWND>(SendMessageA(FHandle, LVM_GETHEADER, 0, 0));
    if (header == nullptr)
        return;
    FHeader = new TSkinHeader(Owner() != nullptr ? Owner() : this);
    FHeader->FreeNotification(this);
    FHeader->AttachWindow(header, Data, ACanvas);
}

void TSkinListView::Notification(TComponent* AComponent, TOperation Operation)
{
    TSkinScrollBar::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FHeader)
        FHeader = nullptr;
}

// ---- scroll-bar controls

namespace {

// The stand-alone bar whose part is held down on this thread, and the filter on the platform's
// loop for it.
thread_local TSkinScControl* GTrackedBar = nullptr;
thread_local THookHandle GTrackingFilter;

// Posted to the bar from inside the loop: the skin paints it again once the step is done.
UINT BarRepaintMessage()
{
    static const UINT message = RegisterWindowMessageA("PembroxScrollBarRepaint");
    return message;
}

} // namespace

TSkinScControl::~TSkinScControl()
{
    StopWatchingTracking();
}

void TSkinScControl::WatchTracking()
{
    StopWatchingTracking();
    GTrackedBar = this;
    GTrackingFilter.reset(
        SetWindowsHookExA(WH_MSGFILTER, &TSkinScControl::TrackingFilter, nullptr, GetCurrentThreadId()));
}

void TSkinScControl::StopWatchingTracking() noexcept
{
    if (GTrackedBar != this)
        return;
    GTrackingFilter.reset();
    GTrackedBar = nullptr;
}

LRESULT CALLBACK TSkinScControl::TrackingFilter(int Code, WPARAM WParam, LPARAM LParam)
{
    // Each message of the loop is a step the platform paints in its own look (an arrow repeated,
    // the thumb moved, the button let go): the skin's paint follows it.
    if (Code == MSGF_SCROLLBAR && LParam != 0 && GTrackedBar != nullptr) {
        const auto* msg = reinterpret_cast<const MSG*>(LParam);
        if (msg->hwnd == GTrackedBar->Handle() && msg->message != BarRepaintMessage())
            PostMessageA(msg->hwnd, BarRepaintMessage(), 0, 0);
    }
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

bool TSkinScControl::Vertical() const
{
    if (auto* bar = dynamic_cast<TScrollBar*>(FControl))
        return bar->Kind() == sbVertical;
    return (GetWindowLongA(FHandle, GWL_STYLE) & SBS_VERT) != 0;
}

bool TSkinScControl::BeforeMessage(TMessage& Message)
{
    const bool skinned = FSkinData != nullptr && HasSkinBitmap(FSkinData->SkinScrollbar());
    switch (Message.Msg) {
    case WM_NCMOUSEMOVE:
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL) {
            Message.Result = 0;
            return false;
        }
        return true;
    case CN_HSCROLL:
    case CN_VSCROLL:
        FPressedPart = PressedPartFor(LOWORD(Message.WParam), Message.Msg == CN_VSCROLL);
        CallPrevious(Message);
        if (!Retired())
            Repaint(nullptr);
        return false;
    case WM_LBUTTONDOWN:
        // The part under the cursor shows pressed while the platform's loop runs.
        if (skinned) {
            const bool vertical = Vertical();
            const int along = vertical ? Message.LParamY() : Message.LParamX();
            FPressedPart = PressedPartFor(HitTestBar(along, FBar), vertical);
            WatchTracking();
            Repaint(nullptr);
        }
        return true;
    default:
        if (Message.Msg == BarRepaintMessage() && Message.Msg != 0) {
            if (skinned)
                Repaint(nullptr);
            return false;
        }
        // The whole window is the bar: painted once, with no native paint under it.
        return !(skinned && TakePaint(Message));
    }
}

void TSkinScControl::AfterMessage(TMessage& Message)
{
    TSkinControl::AfterMessage(Message);
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        // The platform's tracking loop runs inside WM_LBUTTONDOWN and ends with the button let go.
        StopWatchingTracking();
        if (!Retired()) {
            FPressedPart = spNone;
            Repaint(nullptr);
        }
        break;
    case SBM_SETPOS:
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
    case SBM_SETSCROLLINFO:
    case SBM_ENABLE_ARROWS:
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
        // The system draws the bar itself when it is set or the mouse moves over it or leaves it.
        // (A position the program sets at a step of the loop leaves the loop watched: the steps
        // after it are the platform's paints too.)
        if (!Retired())
            Repaint(nullptr);
        break;
    default:
        break;
    }
}

void TSkinScControl::PaintTo(HDC DC, const RECT& R)
{
    if (FSkinData == nullptr || !HasSkinBitmap(FSkinData->SkinScrollbar()))
        return;
    const bool vertical = Vertical();
    const int s = ScrollWidth();
    const int track = (vertical ? R.bottom - R.top : R.right - R.left) - 2 * s;
    FBar.ArrowSize = s;
    FBar.StyleBit = vertical ? WS_VSCROLL : WS_HSCROLL;
    bool thumb = false;
    if (auto* bar = dynamic_cast<TScrollBar*>(FControl)) {
        thumb = CalcThumbGeometry(bar->Min(), bar->Max(), bar->PageSize(), bar->Position(), track, true, FBar);
    } else {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        thumb = GetScrollInfo(FHandle, SB_CTL, &info) &&
                CalcThumbGeometry(info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos, track, true, FBar);
    }
    PaintScrollBar(DC, R, vertical ? 2 : 1, FPressedPart, thumb ? &FBar : nullptr, *FSkinData);
}

// ---- size boxes

bool TSkinSizer::BeforeMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        // Not painted, and not asked again.
        ValidateRect(FHandle, nullptr);
        Message.Result = 0;
        return false;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return false;
    default:
        return true;
    }
}
