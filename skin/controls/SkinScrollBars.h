// Scroll bars from the skin: the bars that scrolling controls (memos, list boxes, list views, tree
// views, grids) draw in their own non-client area, painted over after the window system has drawn
// them; stand-alone scroll-bar controls; and the size boxes of dialogs, which are not painted.
//
// A bar is composed at a thickness of 16 pixels (arrows from the "Scrollbar" strip, the track from
// "HorzScroll"/"VertScroll", the thumb from "HorzScrollThumb"/"VertScrollThumb") and stretched
// once onto the window. For memos, grids and the like the adaptor drags the thumb itself, in a
// modal loop that ends on the button's release, on the loss of the capture, when the window goes
// and when the skin is switched off; list views keep the system's drag.
#pragma once

#include "skin/controls/WinSubClass.h"

class TSkinHeader;

// What a bar shows pressed: nothing, an arrow, or a thumb.
enum TScrollPart : int { spNone = 0, spLeft = 1, spRight = 2, spUp = 3, spDown = 4, spHorzThumb = 5, spVertThumb = 6 };

struct TBarGeometry {
    int ArrowSize = 0;
    int TrackLength = 0;
    int ThumbSize = 0;
    int ThumbOffset = 0; // from the track's start
    DWORD StyleBit = 0;  // WS_HSCROLL or WS_VSCROLL
};

// Where the bars of a window lie, in window coordinates.
struct TBarLayout {
    RECT Horizontal{0, 0, 0, 0};
    RECT Vertical{0, 0, 0, 0};
    RECT Corner{0, 0, 0, 0};
};

// ---- the arithmetic of a bar (s: the system's scroll-bar width)

// The bars of a window W (at its origin) whose client is Client wide and high.
TBarLayout LayoutScrollBars(const RECT& W, SIZE Client, bool Horizontal, bool Vertical, int S);
// Thumb size and offset on a track Track long for the range Min..Max, page and position; an
// Inclusive range counts Max as one more step (stand-alone bars). False, and nothing changed,
// for an empty range.
bool CalcThumbGeometry(int Min, int Max, int Page, int Pos, int Track, bool Inclusive, TBarGeometry& Bar);
// The scroll code of a press at X along a bar (0 at its start), or -1 past its end.
int HitTestBar(int X, const TBarGeometry& Bar);
// The position a dragged thumb at Offset stands for.
int DragPosition(int Offset, int Min, int Max, int Page, const TBarGeometry& Bar);
// The arrows' length on a bar Length long.
int ArrowLength(int Length, int S);
// PressedPart for a scroll code of the horizontal or vertical bar.
int PressedPartFor(int Code, bool Vertical);

// Paints the bar B on DC: Orientation 1 horizontal, 2 vertical; the thumb when Thumb is given.
void PaintScrollBar(HDC DC, const RECT& B, int Orientation, int PressedPart, const TBarGeometry* Thumb,
                    const TSkinData& Data);

class TSkinScrollBar : public TSkinControl {
    DECLARE_CLASS(TSkinScrollBar, TSkinControl)
public:
    explicit TSkinScrollBar(TComponent* AOwner) : TSkinControl(AOwner) {}
    ~TSkinScrollBar() override;
    void AttachScrolling(TWinControl* AControl, TSkinData* Data, bool AOwnThumbDrag, TCanvas* ACanvas);
    // A bare scrolling window (a list box, list view, tree view or multi-line edit of a dialog or
    // a plain program): the system drags the thumb.
    void AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas) override;
    // Gives the control back and has its frame computed anew.
    void Detach() override;
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;
    // A sunken content border (WS_EX_CLIENTEDGE) around the skin's content ground: its lines in
    // the skin's content border colour and the ground, not the platform's light 3-D edge.
    void PaintContentEdge(HDC DC, const RECT& R);

    int PressedPart() const { return FPressedPart; }
    bool Dragging() const { return FDragging; }
    const TBarGeometry& Bar(int Index) const { return FBars[Index]; }
    const TBarLayout& Layout() const { return FLayout; }
    void LayoutBars(const RECT& W);
    // The bar's thumb from the window's scroll information (not while dragging).
    void CalcThumb(int Index);

protected:
    // A press on a bar: true when it started (and ended) a thumb drag.
    bool ThumbPress(TMessage& Message);
    // A press the system tracks (an arrow, the track, a list view's thumb) with the skin's bar
    // kept over the system's while it does.
    void TrackWithSystem(TMessage& Message);
    void DragThumb(int Index, UINT ScrollMessage);
    void ScrollMessage(TMessage& Message, bool Vertical);
    // The bars' ranges and positions as last painted changed: the system drew them meanwhile.
    bool ScrollStateChanged();
    // After either attach: the bars' state reset and the frame computed anew.
    void StartScrolling(bool AOwnThumbDrag);

    int FPressedPart = spNone;
    DWORD FStyle = 0;
    bool FDragging = false;
    bool FOwnThumbDrag = false;
    bool FHScrolling = false;
    bool FVScrolling = false;
    SCROLLINFO FInfo[2]{};
    TBarGeometry FBars[2]{};
    TBarLayout FLayout{};
};

// A list view: its bars, and its column header through a header adaptor of the same set.
class TSkinListView : public TSkinScrollBar {
    DECLARE_CLASS(TSkinListView, TSkinScrollBar)
public:
    explicit TSkinListView(TComponent* AOwner) : TSkinScrollBar(AOwner) {}
    void AttachControl(TWinControl* AControl, TSkinData* Data, bool AOwnThumbDrag, TCanvas* ACanvas) override;
    void AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas) override;
    TSkinHeader* Header() const { return FHeader; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void AttachHeader(TSkinData* Data, TCanvas* ACanvas);

    TSkinHeader* FHeader = nullptr;
};

// A scroll-bar control: the framework's TScrollBar, or a bare "scrollbar" window.
class TSkinScControl : public TSkinControl {
    DECLARE_CLASS(TSkinScControl, TSkinControl)
public:
    explicit TSkinScControl(TComponent* AOwner) : TSkinControl(AOwner) {}
    ~TSkinScControl() override;
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;
    int PressedPart() const { return FPressedPart; }
    const TBarGeometry& Bar() const { return FBar; }

private:
    bool Vertical() const;
    // While a part is held down the platform runs its own loop, painting the bar in its own look
    // at each step; a filter on that loop's messages has the skin painted again after each.
    void WatchTracking();
    void StopWatchingTracking() noexcept;
    static LRESULT CALLBACK TrackingFilter(int Code, WPARAM WParam, LPARAM LParam);
    int FPressedPart = spNone;
    TBarGeometry FBar{};
};

// A size box of a dialog: not painted at all.
class TSkinSizer : public TSkinControl {
    DECLARE_CLASS(TSkinSizer, TSkinControl)
public:
    explicit TSkinSizer(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeMessage(TMessage& Message) override;
};
