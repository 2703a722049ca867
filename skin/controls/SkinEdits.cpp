#include "skin/controls/SkinEdits.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Controls.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"
#include "framework/win/Callback.h"
#include "framework/win/ControlMessages.h"
#include "framework/win/Handles.h"
#include "framework/win/WindowInfo.h"
#include "skin/controls/AdaptorSet.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"

#include <commctrl.h>

#include <algorithm>

IMPLEMENT_CLASS_EMPTY(TSkinEdit)
IMPLEMENT_CLASS_EMPTY(TSkinComBox)
IMPLEMENT_CLASS_EMPTY(TSkinUpDown)

namespace {

void FrameWith(HDC DC, const RECT& R, TColor Colour)
{
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(Colour)));
    FrameRect(DC, &R, brush.get());
}

// The control's own border drawn again by the system (the skin's lines painted over it go).
void RedrawFrame(HWND Window)
{
    if (Window != nullptr && IsWindow(Window))
        RedrawWindow(Window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

} // namespace

TColor ContentBorderColour(const TSkinColours& Colours)
{
    return Colours.WindowFrame != clNone ? Colours.WindowFrame : Colours.ButtonShadow;
}

bool ShowsContentColours(const TSkinControl& Adaptor)
{
    const TSkinData* data = Adaptor.SkinData();
    if (data == nullptr || !data->Colours().ColoursContent())
        return false;
    const TControl* control = Adaptor.Control();
    // A bare window's content is answered as it paints; a framework picker is painted in them
    // while it has the platform's ground.
    return control == nullptr || control->Color() == data->Colours().Window ||
           (dynamic_cast<const TDateTimePicker*>(control) != nullptr && control->Color() == clWindow);
}

// ---- edits

TSkinEdit::~TSkinEdit()
{
    Detach();
}

void TSkinEdit::Detach()
{
    const bool attached = FHook.Installed() || FWindowProc.Handle() != nullptr;
    if (TSkinUpDown* upDown = FUpDown) {
        FUpDown = nullptr;
        Retire(upDown);
    }
    TSkinControl::Detach();
    if (attached && !OwnerGoingAway())
        RedrawFrame(FHandle);
}

void TSkinEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TSkinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FUpDown)
        FUpDown = nullptr;
}

bool TSkinEdit::BeforeMessage(TMessage& Message)
{
    const bool ownPaint = Message.WParam == 0;
    if (TakePickerPaint(Message)) {
        if (Message.Msg == WM_PAINT && ownPaint && !Retired())
            Repaint(nullptr);
        return false;
    }
    // Only the edits of windows without the framework: a framework edit answers its own colour.
    if (FControl != nullptr || !TakeDisabledPaint(Message))
        return true;
    // The border, as after the edit's own paint.
    if (ownPaint && !Retired())
        Repaint(nullptr);
    return false;
}

void TSkinEdit::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        if (Message.WParam == 0)
            Repaint(nullptr);
        return;
    case WM_NCPAINT:
        // The system drew the sunken border again.
        Repaint(nullptr);
        return;
    case WM_PRINT:
        if ((Message.LParam & PRF_NONCLIENT) != 0)
            PrintFrame(reinterpret_cast<HDC>(Message.WParam));
        return;
    default:
        TSkinControl::AfterMessage(Message);
    }
}

void TSkinEdit::PaintTo(HDC DC, const RECT& R)
{
    if (FUpDown == nullptr)
        FindUpDown();
    RECT client{};
    GetClientRect(FHandle, &client);
    // A borderless edit is left as it is.
    if (FSkinData == nullptr || client.right == R.right - R.left || client.bottom == R.bottom - R.top)
        return;
    // On the skin's content ground the sunken edge's light inner line would ring it: the ground
    // goes on instead, inside the content border.
    const bool content = ShowsContentColours(*this);
    RECT r = R;
    FrameWith(DC, r, OuterEdge(content));
    InflateRect(&r, -1, -1);
    FrameWith(DC, r, content ? FSkinData->Colours().Window : clWhite);
}

TColor TSkinEdit::OuterEdge(bool Content) const
{
    return Content ? ContentBorderColour(FSkinData->Colours()) : FSkinData->Colours().ButtonShadow;
}

void TSkinEdit::PrintFrame(HDC DC)
{
    if (DC == nullptr)
        return;
    // The edit's own printing of its client leaves the DC clipped to its text: the frame lies
    // outside that.
    const int saved = SaveDC(DC);
    SelectClipRgn(DC, nullptr);
    Repaint(DC);
    RECT client{};
    GetClientRect(FHandle, &client);
    RECT r = FWindowRect;
    OffsetRect(&r, -r.left, -r.top);
    if (client.right + 2 < r.right && client.bottom + 2 < r.bottom) {
        RECT inner = r;
        InflateRect(&inner, -1, -1);
        FrameRect(DC, &inner, static_cast<HBRUSH>(GetCurrentObject(DC, OBJ_BRUSH)));
        FrameWith(DC, r, OuterEdge(ShowsContentColours(*this)));
    }
    RestoreDC(DC, saved);
}

void TSkinEdit::FindUpDown()
{
    if (FHandle == nullptr || FUpDown != nullptr)
        return;
    for (HWND child = GetTopWindow(FHandle); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string cls = WindowClassName(child);
        if (cls != "msctls_updown32" && cls != "TSpinButton")
            continue;
        // The edit's own: freed with it, and given back when the edit is.
        FUpDown = new TSkinUpDown(this);
        FUpDown->AttachWindow(child, FSkinData, FCanvas);
        FUpDown->InEdit = true;
        InvalidateRect(child, nullptr, FALSE);
        return;
    }
}

// ---- combo boxes

TSkinComBox::~TSkinComBox()
{
    Detach();
}

void TSkinComBox::Detach()
{
    const bool attached = FHook.Installed() || FWindowProc.Handle() != nullptr;
    TSkinControl::Detach();
    if (attached && !OwnerGoingAway())
        RedrawFrame(FHandle);
}

bool TSkinComBox::BeforeMessage(TMessage& Message)
{
    // A date picker's field in the skin's content colours, its button over it as after its own paint.
    const bool ownPaint = Message.WParam == 0;
    if (!TakePickerPaint(Message))
        return true;
    if (Message.Msg == WM_PAINT && ownPaint && !Retired())
        Repaint(nullptr);
    return false;
}

void TSkinComBox::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetMouseBit(msPressed, true);
        Repaint(nullptr);
        break;
    case WM_LBUTTONUP:
    // The release went to the drop-down list, or the focus went: not pressed any more.
    case WM_CAPTURECHANGED:
    case WM_KILLFOCUS:
        SetMouseBit(msPressed, false);
        if (Message.Msg == WM_KILLFOCUS)
            TSkinControl::AfterMessage(Message);
        else
            Repaint(nullptr);
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (FEnabled) {
            SetMouseBit(msHot, Message.Msg == CM_MOUSEENTER);
            Repaint(nullptr);
        }
        break;
    default:
        TSkinControl::AfterMessage(Message);
    }
}

int TSkinComBox::State()
{
    ReadWindowState();
    // A drop-down combo's focus is on its edit.
    const HWND focus = GetFocus();
    FFocused = focus != nullptr && (focus == FHandle || IsChild(FHandle, focus));
    if (Pressed())
        return 2;
    if (FFocused || Hot())
        return 4;
    if (!FEnabled)
        return 3;
    return 1;
}

void TSkinComBox::PaintTo(HDC DC, const RECT& R)
{
    const TDataSkinObject* button = FSkinData != nullptr ? FSkinData->SkinComboButton() : nullptr;
    if (!HasSkinBitmap(button) || R.right <= R.left || R.bottom <= R.top)
        return;
    const int state = State();
    if (button->Style == 1) {
        PaintFlat(DC, R, state);
        return;
    }
    const TDataSkinObject* sunk = FSkinData->SkinSunkEdge();
    if (!HasSkinBitmap(sunk))
        return;
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    // The inner line of the default border, hidden in the content's ground.
    RECT inner = R;
    InflateRect(&inner, -1, -1);
    FrameRect(DC, &inner, ShowsContentColours(*this) ? FSkinData->WindowBrush()
                                                     : static_cast<HBRUSH>(GetCurrentObject(DC, OBJ_BRUSH)));

    // The button and its arrow, composed off-screen (keyed draws are cheap there) and put in one go.
    const RECT bt{R.right - s - 2, R.top, R.right, R.bottom};
    const int bw = bt.right - bt.left, bh = bt.bottom - bt.top;
    TBitmap* shared = SharedPaintBitmap();
    shared->SetSize(bw, bh);
    HDC work = shared->Canvas()->Handle();
    const RECT face{0, 0, bw, bh};
    FillFace(work, face);
    DrawKeyedFrame(work, face, std::max(1, static_cast<int>(button->FrameCount)), state, button->Bitmap.get());
    const TDataSkinObject* extra = FSkinData->SkinExtraImages();
    if (HasSkinBitmap(extra) && extra->FrameCount > 0) {
        const int w = extra->Bitmap->Width() / extra->FrameCount, h = extra->Bitmap->Height();
        const int x = (bw - w) / 2, y = (bh - h) / 2;
        DrawKeyedFrame(work, RECT{x, y, x + w, y + h}, extra->FrameCount, state, extra->Bitmap.get());
    }
    BitBlt(DC, bt.left, bt.top, bw, bh, work, 0, 0, SRCCOPY);

    // The left, top and bottom border from frame 1 of "SunkEdge", at most two pixels thick.
    const int frames = std::max(1, static_cast<int>(sunk->FrameCount));
    const int W = sunk->Bitmap->Width() / frames, H = sunk->Bitmap->Height();
    const int L = sunk->LeftWidth, T = sunk->TopHeight, Rt = sunk->RightWidth, Bm = sunk->BottomHeight;
    const int left = L > 1 ? 2 : 1, top = T > 1 ? 2 : 1, bottom = Bm > 1 ? 2 : 1;
    HDC source = sunk->Bitmap->Canvas()->Handle();
    const int mode = SetStretchBltMode(DC, COLORONCOLOR);
    auto piece = [&](const RECT& Target, const RECT& Source) {
        if (Target.right <= Target.left || Target.bottom <= Target.top || Source.right <= Source.left ||
            Source.bottom <= Source.top)
            return;
        StretchBlt(DC, Target.left, Target.top, Target.right - Target.left, Target.bottom - Target.top, source,
                   Source.left, Source.top, Source.right - Source.left, Source.bottom - Source.top, SRCCOPY);
    };
    piece(RECT{R.left, R.top, R.left + left, R.bottom}, RECT{0, T, L, H - Bm});
    piece(RECT{R.left, R.top, bt.left, R.top + top}, RECT{L, 0, W - Rt, T});
    piece(RECT{R.left, R.top, R.left + top, R.top + top}, RECT{0, 0, L, T});
    piece(RECT{R.left, R.bottom - bottom, bt.left, R.bottom}, RECT{L, H - Bm, W - Rt, H});
    piece(RECT{R.left, R.bottom - bottom, R.left + bottom, R.bottom}, RECT{0, H - Bm, L, H});
    SetStretchBltMode(DC, mode);
}

void TSkinComBox::PaintFlat(HDC DC, const RECT& R, int State)
{
    const TDataSkinObject& button = *FSkinData->SkinComboButton();
    RECT r{0, 0, R.right - R.left, R.bottom - R.top};
    const auto brush = static_cast<HBRUSH>(GetCurrentObject(DC, OBJ_BRUSH));
    RECT inner = r;
    InflateRect(&inner, -1, -1);
    FrameRect(DC, &inner, brush);
    InflateRect(&inner, -1, -1);
    inner.left = inner.right - GetSystemMetrics(SM_CYVTHUMB);
    FillRect(DC, &inner, brush);
    const int frames = std::max(1, static_cast<int>(button.FrameCount));
    const int w = button.Bitmap->Width() / frames, h = button.Bitmap->Height();
    if (State >= 1 && State <= frames && inner.right > inner.left) {
        const int mode = SetStretchBltMode(DC, COLORONCOLOR);
        StretchBlt(DC, inner.left, inner.top, inner.right - inner.left, inner.bottom - inner.top,
                   button.Bitmap->Canvas()->Handle(), (State - 1) * w, 0, w, h, SRCCOPY);
        SetStretchBltMode(DC, mode);
    }
    FrameWith(DC, r, FSkinData->Colours().ButtonShadow);
}

// ---- up-downs

bool TSkinUpDown::BeforeMessage(TMessage& Message)
{
    if (TakePaint(Message))
        return false;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        CallPrevious(Message);
        SetMouseBit(msPressed, true);
        if (!Retired())
            Repaint(nullptr);
        return false;
    case WM_LBUTTONUP:
        SetMouseBit(msPressed, false);
        CallPrevious(Message);
        if (!Retired())
            Repaint(nullptr);
        return false;
    default:
        return true;
    }
}

void TSkinUpDown::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        // The half under the cursor shows hot; the system says when the mouse leaves.
        if (!Hot()) {
            SetMouseBit(msHot, true);
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
            TrackMouseEvent(&track);
        }
        Repaint(nullptr);
        break;
    }
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
        SetMouseBit(msHot, false);
        Repaint(nullptr);
        break;
    case WM_CAPTURECHANGED:
        // A press ended elsewhere (the release went to another window).
        if (Pressed() && reinterpret_cast<HWND>(Message.LParam) != FHandle) {
            SetMouseBit(msPressed, false);
            Repaint(nullptr);
        }
        break;
    default:
        TSkinControl::AfterMessage(Message);
    }
}

void TSkinUpDown::PaintTo(HDC DC, const RECT& R)
{
    if (FSkinData == nullptr)
        return;
    RECT client{};
    GetClientRect(FHandle, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    TBitmap* work = SharedPaintBitmap();
    work->SetSize(client.right, client.bottom);
    TBitmapCanvas& canvas = *work->Canvas();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(FSkinData->Colours().ButtonFace);
    canvas.FillRect(client);
    RECT c = client;
    if (InEdit)
        InflateRect(&c, -1, -1);
    // Where the cursor is matters only to a pressed or hot up-down (and asking costs).
    POINT cursor{-1, -1};
    if (Pressed() || Hot()) {
        GetCursorPos(&cursor);
        ScreenToClient(FHandle, &cursor);
    }
    const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    FEnabled = (style & WS_DISABLED) == 0;
    const bool horizontal = ForceHorizontal == 1 || (style & UDS_HORZ) != 0;
    RECT first = c, second = c;
    int half = 0, coordinate = 0;
    if (horizontal) {
        half = (c.right - c.left) / 2;
        first.right = second.left = c.left + half;
        coordinate = cursor.x;
    } else {
        half = (c.bottom - c.top) / 2;
        first.bottom = second.top = c.top + half;
        coordinate = cursor.y;
    }
    // The cursor's half: the halves meet at the split, from the inset's edge.
    const int split = horizontal ? first.right : first.bottom;
    const int active = Pressed() ? 2 : Hot() ? 4 : 1;
    const int firstState = !FEnabled ? 3 : coordinate >= split ? 1 : active;
    const int secondState = !FEnabled ? 3 : coordinate < split ? 1 : active;
    PaintHalf(canvas, first, horizontal ? 2 : 0, firstState);
    PaintHalf(canvas, second, horizontal ? 3 : 1, secondState);
    // The whole client: inside an edit the inset leaves a face-coloured edge all round.
    BitBlt(DC, R.left, R.top, client.right, client.bottom, canvas.Handle(), 0, 0, SRCCOPY);
}

void TSkinUpDown::PaintHalf(TCanvas& Canvas, const RECT& Half, int Kind, int State)
{
    if (Half.right <= Half.left || Half.bottom <= Half.top)
        return;
    const bool horizontal = Kind >= 2;
    const TDataSkinBorder* element = horizontal ? FSkinData->SkinUpDownHorz() : FSkinData->SkinUpDownVert();
    if (HasSkinBitmap(element) && element->Bitmap2 && !element->Bitmap2->Empty()) {
        const int frame = State + 4 * (Kind % 2);
        Canvas.Changing();
        HDC dc = Canvas.Handle();
        DrawStretchFrame(dc, Half, element->Bitmap.get(), frame, 8, true);
        TBitmap* glyph = element->Bitmap2.get();
        const int cw = glyph->Width() / 8, ch = glyph->Height();
        const int x = Half.left + ((Half.right - Half.left) - cw) / 2;
        const int y = Half.top + ((Half.bottom - Half.top) - ch) / 2;
        DrawStretchFrame(dc, RECT{x, y, x + cw, y + ch}, glyph, frame, 8, true);
        Canvas.Changed();
        return;
    }
    // Without the element: a rectangle in the skin's colours and an arrow of lines.
    const TSkinColours& colours = FSkinData->Colours();
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(State == 2 || State == 4 ? colours.ButtonShadow : colours.ButtonFace);
    Canvas.Pen()->SetColor(colours.ButtonDkShadow);
    Canvas.Rectangle(Half);
    const int x = Half.left + (Half.right - Half.left) / 2;
    const int y = Half.top + (Half.bottom - Half.top) / 2 - (horizontal ? 0 : 2);
    DrawArrowGlyph(Canvas, x, y, Kind);
}
