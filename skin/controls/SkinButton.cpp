#include "skin/controls/SkinButton.h"

#include "framework/controls/Buttons.h"
#include "framework/win/ControlMessages.h"
#include "framework/core/Published.h"
#include "framework/win/Callback.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"
#include "skin/controls/AdaptorSet.h"

IMPLEMENT_CLASS_EMPTY(TSkinButton)
IMPLEMENT_CLASS_EMPTY(TSkinBitButton)
IMPLEMENT_CLASS_EMPTY(TSkinSpeedButton)

namespace {

constexpr int ButtonFrames = 5;
// Sent to a control whose hooks are to be let go (a framework control being rebuilt).
constexpr UINT ReleaseHooksMessage = 0xB021;

} // namespace

TSkinButton::TSkinButton(TComponent* AOwner) : TSkinControl(AOwner), FBuffer(std::make_unique<TBitmap>())
{
    FBuffer->SetPixelFormat(pf32bit);
}

TSkinButton::~TSkinButton() = default;

TSkinButtonLayout TSkinButton::CalcButtonLayout(POINT Client, POINT Glyph, POINT Text, int Layout, int Margin,
                                                 int Spacing, bool SpeedButton)
{
    TSkinButtonLayout result;
    const bool across = Layout == 0 || Layout == 1;
    if (across) {
        result.GlyphPos.y = (Client.y - Glyph.y + 1) / 2;
        result.TextPos.y = (Client.y - Text.y + 1) / 2;
    } else {
        result.GlyphPos.x = (Client.x - Glyph.x + 1) / 2;
        result.TextPos.x = (Client.x - Text.x + 1) / 2;
    }
    if (Text.x == 0 || Glyph.x == 0)
        Spacing = 0;
    if (Margin == -1 && Spacing == -1) {
        const POINT total{Glyph.x + Text.x, Glyph.y + Text.y};
        Margin = across ? (Client.x - total.x) / 3 : (Client.y - total.y) / 3;
        Spacing = Margin;
    } else if (Margin == -1) {
        const POINT total{Glyph.x + Spacing + Text.x, Glyph.y + Spacing + Text.y};
        Margin = (across ? (Client.x - total.x) : (Client.y - total.y)) / 2 + (SpeedButton ? 1 : 0);
    } else if (Spacing == -1) {
        const POINT rest{Client.x - (Margin + Glyph.x), Client.y - (Margin + Glyph.y)};
        Spacing = across ? (rest.x - Text.x) / 2 : (rest.y - Text.y) / 2;
    }
    switch (Layout) {
    case 0:
        result.GlyphPos.x = Margin;
        result.TextPos.x = Margin + Glyph.x + Spacing;
        result.Alignment = DT_LEFT;
        break;
    case 1:
        result.GlyphPos.x = Client.x - Margin - Glyph.x;
        result.TextPos.x = result.GlyphPos.x - Spacing - Text.x;
        result.Alignment = DT_RIGHT;
        break;
    case 2:
        result.GlyphPos.y = Margin;
        result.TextPos.y = Margin + Glyph.y + Spacing;
        result.Alignment = DT_CENTER;
        break;
    default:
        result.GlyphPos.y = Client.y - Margin - Glyph.y;
        result.TextPos.y = result.GlyphPos.y - Spacing - Text.y;
        result.Alignment = DT_CENTER;
        break;
    }
    return result;
}

void TSkinButton::RefreshButtonState()
{
    ReadWindowState();
    if (FCaption.empty() && FControl != nullptr)
        FCaption = FControl->Caption();
}

int TSkinButton::ButtonState()
{
    if (!FEnabled)
        return 3;
    if (Pressed())
        return 2;
    if (FFocused || Hot())
        return 4;
    return 1;
}

TColor TSkinButton::TextColour(int State) const
{
    TColor colour = FSkinData->Colours().ButtonText;
    const TDataSkinButton* buttons = FSkinData->SkinButtons();
    switch (State) {
    case 1:
        colour = buttons->NormalColour2;
        break;
    case 2:
        colour = buttons->PressedColour2;
        break;
    case 3:
        colour = FSkinData->Colours().GrayText;
        break;
    case 4:
        colour = buttons->MouseOverColour2;
        break;
    default:
        break;
    }
    return colour;
}

bool TSkinButton::PrepareFace(const RECT& R, int State)
{
    const TDataSkinButton* buttons = FSkinData != nullptr ? FSkinData->SkinButtons() : nullptr;
    if (buttons == nullptr || buttons->Bitmap->Empty())
        return false;
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (w <= 0 || h <= 0)
        return false;
    FBuffer->SetSize(w, h);
    HDC dc = FBuffer->Canvas()->Handle();
    const RECT local{0, 0, w, h};
    FillFace(dc, local);
    DrawButtonFrame(dc, local, ButtonFrames, State, *buttons);
    TakeFont(*FBuffer->Canvas());
    FBuffer->Canvas()->Font()->SetColor(TextColour(State));
    return true;
}

void TSkinButton::PaintTo(HDC DC, const RECT& R)
{
    RefreshButtonState();
    const int state = ButtonState();
    if (!PrepareFace(R, state))
        return;
    const RECT local{0, 0, R.right - R.left, R.bottom - R.top};
    DrawCaptionText(*FBuffer->Canvas(), local, DT_CENTER, FEnabled, FCaption);
    BitBlt(DC, R.left, R.top, local.right, local.bottom, FBuffer->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TSkinButton::BecomeHot()
{
    TAdaptorSet* set = OwnerSet();
    if (Hot())
        return;
    SetMouseBit(msHot, true);
    if (set != nullptr && set->HotButton() != nullptr && set->HotButton() != this)
        set->HotButton()->SendMouseLeave();
    if (set == nullptr || set->HotButton() != this) {
        Refresh();
        if (set != nullptr)
            set->SetHotButton(this);
    }
}

bool TSkinButton::BeforeMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        PaintMessage(Message);
        return false;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!FFocused && FHandle != nullptr)
            SetFocus(FHandle);
        SetMouseBit(msPressed, true);
        Repaint(nullptr);
        return false;
    default:
        return true;
    }
}

void TSkinButton::AfterMessage(TMessage& Message)
{
    TAdaptorSet* set = OwnerSet();
    switch (Message.Msg) {
    case WM_KEYDOWN:
        if (Message.WParam == VK_SPACE) {
            SetMouseBit(msPressed, true);
            Refresh();
        }
        return;
    case WM_KEYUP:
        if (Message.WParam == VK_SPACE) {
            SetMouseBit(msPressed, false);
            Refresh();
        }
        return;
    case WM_MOUSEMOVE:
        BecomeHot();
        return;
    case WM_LBUTTONUP:
        if (Pressed()) {
            SetMouseBit(msPressed, false);
            Refresh();
            // The click: the press was kept from the button, so the command comes from here.
            const WPARAM id = FControl != nullptr ? 0 : static_cast<WPARAM>(GetDlgCtrlID(FHandle));
            PostMessageA(GetParent(FHandle), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(FHandle));
        }
        return;
    case CM_MOUSEENTER:
        if (FEnabled) {
            SetMouseBit(msHot, true);
            Refresh();
            if (set != nullptr)
                set->SetHotButton(this);
        }
        return;
    case CM_MOUSELEAVE:
        if (FEnabled) {
            SetMouseBit(msHot | msPressed, false);
            Refresh();
            if (set != nullptr && set->HotButton() == this)
                set->SetHotButton(nullptr);
        }
        return;
    default:
        TSkinControl::AfterMessage(Message);
        return;
    }
}

// ---- bit buttons

int TSkinBitButton::ButtonState()
{
    const bool enabled = FControl != nullptr ? FControl->Enabled() : FEnabled;
    if (!enabled)
        return 3;
    if (Pressed())
        return 2;
    if (Hot())
        return 4;
    if (FFocused)
        return 4;
    return 1;
}

void TSkinBitButton::PaintTo(HDC DC, const RECT& R)
{
    auto* button = dynamic_cast<TBitBtn*>(FControl);
    if (button == nullptr) {
        TSkinButton::PaintTo(DC, R);
        return;
    }
    RefreshButtonState();
    const int state = ButtonState();
    if (!PrepareFace(R, state))
        return;
    TBitmapCanvas& canvas = *FBuffer->Canvas();
    HDC dc = canvas.Handle();
    const RECT local{0, 0, R.right - R.left, R.bottom - R.top};
    TBitmap* glyph = button->Glyph();
    const int cells = std::max(1, button->NumGlyphs());
    const POINT glyphSize = glyph != nullptr && !glyph->Empty() ? POINT{glyph->Width() / cells, glyph->Height()}
                                                                : POINT{0, 0};
    POINT textSize{0, 0};
    if (!FCaption.empty()) {
        RECT t = local;
        DrawTextA(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &t, DT_CALCRECT);
        textSize = POINT{t.right - t.left, t.bottom - t.top};
    }
    RECT client{};
    GetClientRect(FHandle, &client);
    const TSkinButtonLayout layout = CalcButtonLayout(POINT{client.right, client.bottom}, glyphSize, textSize,
                                                      static_cast<int>(button->Layout()), button->Margin(),
                                                      button->Spacing());
    if (glyphSize.x > 0)
        DrawGlyphCell(canvas, layout.GlyphPos, cells, 1, glyph);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(TextColour(state)));
    RECT text{layout.TextPos.x, layout.TextPos.y, layout.TextPos.x + textSize.x, layout.TextPos.y + textSize.y};
    DrawTextA(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &text, layout.Alignment);
    BitBlt(DC, R.left, R.top, local.right, local.bottom, dc, 0, 0, SRCCOPY);
}

// ---- speed buttons

TSpeedButton* TSkinSpeedButton::Button() const
{
    return dynamic_cast<TSpeedButton*>(FGraphicControl);
}

void TSkinSpeedButton::AttachGraphicControl(TSpeedButton* AButton, TSkinData* Data, TCanvas* ACanvas)
{
    if (AButton == nullptr)
        return;
    FSkinData = Data;
    FCanvas = ACanvas;
    FGraphicControl = AButton;
    AButton->FreeNotification(this);
    FHook.Install(AButton, BindMethod<&TSkinControl::HookedWndProc>(this));
    if (TAdaptorSet* set = OwnerSet())
        set->AddAdaptor(this);
    AButton->Invalidate();
}

int TSkinSpeedButton::ButtonState()
{
    TSpeedButton* button = Button();
    if (button != nullptr && button->Down())
        return 2;
    if (button != nullptr && !button->Enabled())
        return 3;
    if (Pressed())
        return 2;
    if (Hot())
        return 4;
    return 1;
}

void TSkinSpeedButton::PaintSpeedButton(TCanvas& Canvas, const RECT& R)
{
    TSpeedButton* button = Button();
    const TDataSkinButton* buttons = FSkinData != nullptr ? FSkinData->SkinButtons() : nullptr;
    if (button == nullptr || buttons == nullptr || buttons->Bitmap->Empty())
        return;
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (w <= 0 || h <= 0)
        return;
    const int state = ButtonState();
    static const int Cells[5] = {1, 1, 3, 2, 1};
    const int cells = std::max(1, button->NumGlyphs());
    int cell = Cells[state];
    if (cell > cells)
        cell = 1;
    TBitmap* shared = SharedPaintBitmap();
    shared->SetSize(w, h);
    TBitmapCanvas& canvas = *shared->Canvas();
    canvas.SetFont(button->Font());
    const RECT local{0, 0, w, h};
    DrawFaceToShared(local, *buttons, buttons->Trans, buttons->FrameCount > 0 ? buttons->FrameCount : ButtonFrames,
                     state, FSkinData->Colours().ButtonFace);
    const std::string caption = button->Caption();
    TBitmap* glyph = button->Glyph();
    if (glyph != nullptr && !glyph->Empty()) {
        HDC dc = canvas.Handle();
        RECT t = local;
        POINT text{0, 0};
        if (!caption.empty()) {
            DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &t, DT_CALCRECT);
            text = POINT{t.right - t.left, t.bottom - t.top};
        }
        const POINT glyphSize{glyph->Width() / cells, glyph->Height()};
        const TSkinButtonLayout layout = CalcButtonLayout(POINT{w, h}, glyphSize, text,
                                                          static_cast<int>(button->Layout()), button->Margin(),
                                                          button->Spacing(), true);
        DrawGlyphCell(canvas, layout.GlyphPos, cells, cell, glyph);
        canvas.Font()->SetColor(TextColour(state));
        dc = canvas.Handle();
        SetBkMode(dc, TRANSPARENT);
        RECT box{layout.TextPos.x, layout.TextPos.y, layout.TextPos.x + text.x, layout.TextPos.y + text.y};
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &box, layout.Alignment);
    } else {
        // A caption in the default text colour takes the skin's, as with a glyph, so that it
        // reads on the skin's face (dark skins); a colour the host chose stays.
        const TColor own = button->Font()->Color();
        if (own == clWindowText || own == clBtnText || !button->Enabled())
            canvas.Font()->SetColor(TextColour(state));
        DrawCaptionText(canvas, local, DT_CENTER, button->Enabled(), caption);
    }
    Canvas.Changing();
    BitBlt(Canvas.Handle(), R.left, R.top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
    Canvas.Changed();
}

void TSkinSpeedButton::Repaint(HDC)
{
    TSpeedButton* button = Button();
    if (button == nullptr || button->Parent() == nullptr || !button->Parent()->HandleAllocated())
        return;
    RECT r = button->ClientRect();
    OffsetRect(&r, -r.left, -r.top);
    PaintOrLetGo([&] {
        if (button->Canvas()->Handle() != nullptr)
            PaintSpeedButton(*button->Canvas(), r);
    });
}

bool TSkinSpeedButton::BeforeMessage(TMessage& Message)
{
    TSpeedButton* button = Button();
    switch (Message.Msg) {
    case WM_PAINT: {
        // A skin without a button image leaves the button its own look.
        const TDataSkinButton* buttons = FSkinData != nullptr ? FSkinData->SkinButtons() : nullptr;
        if (buttons == nullptr || buttons->Bitmap->Empty())
            return true;
        if (button != nullptr && Message.WParam != 0) {
            TCanvas canvas;
            canvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
            RECT r = button->ClientRect();
            OffsetRect(&r, -r.left, -r.top);
            PaintOrLetGo([&] { PaintSpeedButton(canvas, r); });
            canvas.SetHandle(nullptr);
        }
        Message.Result = 1;
        return false;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        CallPrevious(Message);
        if (Retired())
            return false;
        SetMouseBit(msPressed, true);
        Repaint(nullptr);
        return false;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return true;
    default:
        return true;
    }
}

void TSkinSpeedButton::AfterMessage(TMessage& Message)
{
    TSpeedButton* button = Button();
    switch (Message.Msg) {
    case WM_NCDESTROY:
    case ReleaseHooksMessage:
        FHook.Restore();
        return;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (Message.WParam == VK_SPACE) {
            SetMouseBit(msPressed, Message.Msg == WM_KEYDOWN);
            Repaint(nullptr);
        }
        return;
    case WM_LBUTTONUP:
        SetMouseBit(msPressed, false);
        Repaint(nullptr);
        return;
    case CM_MOUSEENTER:
        SetMouseBit(msHot, true);
        Repaint(nullptr);
        return;
    case CM_MOUSELEAVE:
        SetMouseBit(msHot | msPressed, false);
        if (button != nullptr && button->Visible())
            Repaint(nullptr);
        return;
    default:
        TSkinButton::AfterMessage(Message);
        return;
    }
}
