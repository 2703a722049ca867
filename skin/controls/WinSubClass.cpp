#include "skin/controls/WinSubClass.h"

#include "skin/controls/SkinLabel.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Controls.h"
#include "framework/win/ControlMessages.h"
#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"
#include "framework/graphics/Bitmap.h"
#include "framework/win/Callback.h"
#include "framework/win/Handles.h"
#include "framework/win/WindowInfo.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"
#include "skin/controls/AdaptorSet.h"

#include <commctrl.h>

#include <memory>

IMPLEMENT_CLASS_EMPTY(TSkinControl)

namespace {

// Background transparent, brush clear, plain font style, for the text routines.
void PrepareText(TCanvas& Canvas)
{
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.Font()->SetStyle(TFontStyles{});
    SetBkMode(Canvas.Handle(), TRANSPARENT);
}

} // namespace

TSkinControl::TSkinControl(TComponent* AOwner) : TComponent(AOwner) {}

TSkinControl::~TSkinControl()
{
    Detach();
    if (TAdaptorSet* set = OwnerSet())
        set->RemoveAdaptor(this);
}

void TSkinControl::OnRetire() noexcept
{
    CallGuarded([this] { Detach(); });
    if (TAdaptorSet* set = OwnerSet())
        set->RemoveAdaptor(this);
    // The retired adaptor belongs to nobody: its owner may go before the adaptor's last call.
    if (Owner() != nullptr)
        Owner()->RemoveComponent(this);
}

TAdaptorSet* TSkinControl::OwnerSet() const
{
    return dynamic_cast<TAdaptorSet*>(Owner());
}

bool TSkinControl::OwnerGoingAway() const
{
    const TAdaptorSet* set = OwnerSet();
    return set != nullptr && set->GoingAway();
}

void TSkinControl::Watch(TControl* AControl)
{
    if (AControl != nullptr)
        AControl->FreeNotification(this);
}

void TSkinControl::ReadWindowState()
{
    if (FHandle == nullptr)
        return;
    FFocused = GetFocus() == FHandle;
    FEnabled = (GetWindowLongA(FHandle, GWL_STYLE) & WS_DISABLED) == 0;
    FCaption = WindowText(FHandle);
}

void TSkinControl::TakeFont(TCanvas& Canvas) const
{
    // A control never given a font draws with the system font, at the screen's DPI.
    auto font = reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
    if (font == nullptr)
        font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LOGFONTA log{};
    if (font != nullptr && GetObjectA(font, sizeof log, &log) == sizeof log)
        Canvas.Font()->SetHandle(CreateFontIndirectA(&log));
}

void TSkinControl::AttachControl(TWinControl* AControl, TSkinData* Data, bool ASwapColour, TCanvas* ACanvas)
{
    if (AControl == nullptr)
        return;
    FSwapColour = ASwapColour;
    FSkinData = Data;
    FCanvas = ACanvas;
    FControl = AControl;
    Watch(AControl);
    FHandle = AControl->Handle();
    // The framework's picker has a window class of its own.
    FPicker = dynamic_cast<TDateTimePicker*>(AControl) != nullptr;
    FHook.Install(AControl, BindMethod<&TSkinControl::HookedWndProc>(this));
    FSavedDoubleBuffered = AControl->DoubleBuffered();
    AControl->SetDoubleBuffered(true);
    if (TAdaptorSet* set = OwnerSet())
        set->AddAdaptor(this);
    ReadWindowState();
    TakeColour(AControl);
    AControl->Invalidate();
}

void TSkinControl::AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas)
{
    FSkinData = Data;
    FCanvas = ACanvas;
    FHandle = Window;
    FEnabled = true;
    FCaption = WindowText(Window);
    FWindowClass = LowerCase(WindowClassName(Window));
    FPicker = FWindowClass == "sysdatetimepick32";
    FWindowProc.Install(Window, BindMethod<&TSkinControl::HookedWndProc>(this));
}

void TSkinControl::Detach()
{
    TControl* control = FControl != nullptr ? FControl : FGraphicControl;
    if (FHook.Installed()) {
        FHook.Restore();
        if (auto* window = dynamic_cast<TWinControl*>(FControl))
            window->SetDoubleBuffered(FSavedDoubleBuffered);
    }
    FWindowProc.Restore();
    if (FSwapColour && control != nullptr && !OwnerGoingAway()) {
        FSwapColour = false;
        control->SetColor(FSavedColour);
        if (FSavedParentColour)
            control->SetParentColor(true);
    }
}

void TSkinControl::TakeColour(TControl* AControl)
{
    if (!FSwapColour || FSkinData == nullptr || AControl == nullptr)
        return;
    // A control that follows its parent's colour goes back to following it: the colour it shows
    // now may be the skin's already (its parent was recoloured first).
    FSavedColour = AControl->Color();
    FSavedParentColour = AControl->ParentColor();
    AControl->SetColor(FSkinData->Colours().ButtonFace);
}

void TSkinControl::ApplySkinColour()
{
    TControl* control = FControl != nullptr ? FControl : FGraphicControl;
    if (FSwapColour && control != nullptr && FSkinData != nullptr && !Retired())
        control->SetColor(FSkinData->Colours().ButtonFace);
}

void TSkinControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent == nullptr)
        return;
    if (AComponent == FControl || AComponent == FGraphicControl) {
        // The control goes: nothing to give back to it.
        FHook.Forget();
        FSwapColour = false;
        if (AComponent == FControl)
            FControl = nullptr;
        if (AComponent == FGraphicControl)
            FGraphicControl = nullptr;
    }
}

bool TSkinControl::BeforeMessage(TMessage&)
{
    return true;
}

void TSkinControl::HookedWndProc(TMessage& Message)
{
    TCallScope call(*this);
    // What the control's own procedure throws is the control's and goes on to its barrier; what
    // the filters throw is the skin's failure.
    bool passed = false;
    try {
        if (!BeforeMessage(Message))
            return;
        passed = true;
        // Passed on also when the adaptor was released meanwhile: the control still gets it.
        CallPrevious(Message);
    } catch (...) {
        if (passed)
            throw;
        // The control gets the message as if there were no skin, then its own look back.
        CallGuarded([&] { CallPrevious(Message); });
        PaintingFailed();
        return;
    }
    // The control's own handling may have run a modal loop in which the skin went.
    if (Retired())
        return;
    PaintOrLetGo([&] { AfterMessage(Message); });
}

void TSkinControl::CallPrevious(TMessage& Message)
{
    if (FHook.Installed() || FHook.OldMethod()) {
        FHook.CallOld(Message);
        return;
    }
    if (FWindowProc.Handle() != nullptr) {
        FWindowProc.CallOld(Message);
        return;
    }
    Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TSkinControl::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
        Refresh();
        break;
    case WM_SETTEXT:
        if (Message.LParam != 0)
            FCaption = reinterpret_cast<const char*>(Message.LParam);
        Refresh();
        break;
    case WM_PAINT:
        Repaint(reinterpret_cast<HDC>(Message.WParam));
        break;
    case WM_NCDESTROY:
        Detach();
        // The control's window is gone (re-created, say): the adaptor leaves the form object so
        // that the next walk over the controls attaches a new one to the new window.
        if (OwnerSet() != nullptr && !OwnerGoingAway())
            Retire(this);
        break;
    default:
        break;
    }
}

void TSkinControl::SendMouseLeave()
{
    if (FHandle != nullptr)
        SendMessageA(FHandle, CM_MOUSELEAVE, 0, 0);
}

void TSkinControl::Refresh()
{
    if (FHandle == nullptr || Retired())
        return;
    HWND parent = GetParent(FHandle);
    RECT r{};
    if (!GetWindowRect(FHandle, &r) || parent == nullptr)
        return;
    OffsetRect(&r, -r.left, -r.top);
    InvalidateRect(FHandle, &r, FALSE);
    UpdateWindow(FHandle);
}

void AnswerFaceColour(TMessage& Message, const TSkinData* Data, bool Transparent)
{
    // A disabled control printing its text for the skin's readable grey gets the ground it asked for.
    if (HBRUSH ground = DisabledPrintGround(reinterpret_cast<HWND>(Message.LParam)); ground != nullptr) {
        SetBkMode(reinterpret_cast<HDC>(Message.WParam), TRANSPARENT);
        Message.Result = reinterpret_cast<LRESULT>(ground);
        return;
    }
    if (Transparent) {
        // A ground the program answers itself (a white page, a coloured label) stays its own:
        // only the platform's face becomes the skin's.
        const auto answered = reinterpret_cast<HBRUSH>(Message.Result);
        if (answered != nullptr && answered != GetSysColorBrush(COLOR_BTNFACE))
            return;
        SetBkMode(reinterpret_cast<HDC>(Message.WParam), TRANSPARENT);
    }
    if (Message.Msg != WM_CTLCOLORBTN && Data != nullptr && Data->FaceBrush() != nullptr)
        Message.Result = reinterpret_cast<LRESULT>(Data->FaceBrush());
}

void AnswerContentColour(TMessage& Message, const TSkinData* Data)
{
    if (Data == nullptr || Data->WindowBrush() == nullptr)
        return;
    // Only the platform's own content colours become the skin's: a ground the program answers
    // itself stays its own.
    if (reinterpret_cast<HBRUSH>(Message.Result) != GetSysColorBrush(COLOR_WINDOW))
        return;
    // An owner-drawn list draws its items in its owner's colours: the ground around them stays
    // the platform's, to match. So does a date picker's, whose text is the platform's colour
    // (its adaptor paints it in the skin's).
    const auto control = reinterpret_cast<HWND>(Message.LParam);
    if (Message.Msg == WM_CTLCOLORLISTBOX
            ? (GetWindowLongA(control, GWL_STYLE) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0
            : LowerCase(WindowClassName(control)) == "sysdatetimepick32")
        return;
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Data->Colours().WindowText)));
    SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(Data->Colours().Window)));
    Message.Result = reinterpret_cast<LRESULT>(Data->WindowBrush());
}

void TSkinControl::FillFace(HDC DC, const RECT& R)
{
    if (FSkinData == nullptr)
        return;
    // The skin's own brush of its face colour; one made for the paint only when it has none.
    if (HBRUSH face = FSkinData->FaceBrush(); face != nullptr) {
        FillRect(DC, &R, face);
        return;
    }
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(FSkinData->Colours().ButtonFace)));
    FillRect(DC, &R, brush.get());
}

void TSkinControl::Repaint(HDC DC)
{
    if (FHandle == nullptr || Retired() || !GetWindowRect(FHandle, &FWindowRect))
        return;
    RECT r = FWindowRect;
    OffsetRect(&r, -r.left, -r.top);
    const TGivenOrWindowDC dc(FHandle, DC);
    if (!dc)
        return;
    PaintOrLetGo([&] { PaintTo(dc.get(), r); });
}

void TSkinControl::PaintingFailed() noexcept
{
    HandleCallbackException();
    if (Retired())
        return;
    const HWND window = FHandle;
    TControl* graphic = FGraphicControl;
    TAdaptorSet* set = OwnerSet();
    if (TAdaptorSet* lister = FListedIn != nullptr ? FListedIn : set; lister != nullptr)
        CallGuarded([&] { lister->Refuse(graphic != nullptr ? static_cast<const void*>(graphic) : window); });
    if (set != nullptr && !set->GoingAway()) {
        // Released like a control that went; deleted when its running calls return.
        Retire(this);
    } else {
        CallGuarded([&] { Detach(); });
        if (FListedIn != nullptr)
            FListedIn->RemoveAdaptor(this);
    }
    if (graphic != nullptr)
        CallGuarded([&] { graphic->Invalidate(); });
    else if (window != nullptr && IsWindow(window))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TSkinControl::PaintTo(HDC, const RECT&) {}

namespace {

// Runs Paint on the DC of a WM_PAINT: the one the message brings, or the window's own between
// BeginPaint and EndPaint. A paint that fails releases the adaptor.
template <class F> void OnPaintDC(TSkinControl& Adaptor, HWND Window, TMessage& Message, F Paint)
{
    TPaintDC painting;
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc == nullptr) {
        painting = TPaintDC(Window);
        dc = painting.get();
    }
    if (dc != nullptr)
        Adaptor.PaintOrLetGo([&] { Paint(dc); });
    Message.Result = 0;
}

} // namespace

void TSkinControl::PaintMessage(TMessage& Message)
{
    // The handle is held here: a paint that fails releases the adaptor.
    OnPaintDC(*this, FHandle, Message, [&](HDC DC) {
        if (GetWindowRect(FHandle, &FWindowRect)) {
            RECT r = FWindowRect;
            OffsetRect(&r, -r.left, -r.top);
            PaintTo(DC, r);
        }
    });
}

void TSkinControl::PaintPrinted(TMessage& Message, bool (*Paint)(HWND, HDC, const TSkinData&))
{
    const HWND window = FHandle;
    const TSkinData& data = *FSkinData;
    OnPaintDC(*this, window, Message, [&](HDC DC) {
        // When the print cannot be made (a parent the skin does not answer for, no memory) the
        // control paints itself as it would.
        if (!Paint(window, DC, data))
            SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT | PRF_ERASEBKGND);
    });
}

bool TSkinControl::TakeDisabledPaint(TMessage& Message)
{
    if (Message.Msg != WM_PAINT || FSkinData == nullptr || IsWindowEnabled(FHandle))
        return false;
    PaintPrinted(Message, &PaintReadableDisabled);
    return true;
}

bool TSkinControl::TakePickerPaint(TMessage& Message)
{
    if (!FPicker || (Message.Msg != WM_PAINT && Message.Msg != WM_ERASEBKGND) || FSkinData == nullptr ||
        FSkinData->WindowBrush() == nullptr)
        return false;
    // A picker the host gave a colour of its own keeps its look.
    if (FControl != nullptr && FControl->Color() != clWindow)
        return false;
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return true;
    }
    PaintPrinted(Message, &PaintInContentColours);
    return true;
}

bool TSkinControl::TakePaint(TMessage& Message, bool Paints)
{
    if (Message.Msg == WM_PAINT && Paints) {
        PaintMessage(Message);
        return true;
    }
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return true;
    }
    return false;
}

// ---- text and frame routines

namespace {

// Disabled text keeps the colour it was given where that stands out from the ground under R;
// elsewhere it takes the nearest colour that does.
void MakeDisabledReadable(TCanvas& Canvas, const RECT& R)
{
    const COLORREF ground = GetPixel(Canvas.Handle(), (R.left + R.right) / 2, (R.top + R.bottom) / 2);
    if (ground != CLR_INVALID)
        Canvas.Font()->SetColor(static_cast<TColor>(ReadableOn(ground, ColorToRGB(Canvas.Font()->Color()))));
}

} // namespace

bool HasSkinBitmap(const TDataSkinObject* Element)
{
    return Element != nullptr && Element->Bitmap && !Element->Bitmap->Empty();
}

void DrawCaptionText(TCanvas& Canvas, const RECT& R, UINT Alignment, bool Enabled, const std::string& Text)
{
    PrepareText(Canvas);
    if (!Enabled)
        MakeDisabledReadable(Canvas, R);
    HDC dc = Canvas.Handle();
    RECT r = R;
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &r,
              Alignment | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS);
    const int textWidth = r.right - r.left, textHeight = r.bottom - r.top;
    OffsetRect(&r, 0, ((R.bottom - R.top) - textHeight) / 2 - 1);
    if (Alignment == DT_CENTER)
        OffsetRect(&r, ((R.right - R.left) - textWidth) / 2, 0);
    else if (Alignment == DT_RIGHT) // measuring keeps the left edge: the text goes to the right one
        OffsetRect(&r, R.right - r.right, 0);
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &r, Alignment | DT_EXPANDTABS);
}

void DrawImageText(TCanvas& Canvas, const RECT& R, int Alignment, const std::string& Text, int ImageIndex,
                   HIMAGELIST Images, bool Enabled)
{
    int w = 0, h = 0;
    if (Images != nullptr && ImageIndex != -1)
        ImageList_GetIconSize(Images, &w, &h);
    // Measured in the style it is drawn in.
    PrepareText(Canvas);
    HDC dc = Canvas.Handle();
    RECT box{0, 0, 0, 0};
    if (!Text.empty())
        DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &box,
                  DT_CENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT | DT_NOCLIP);
    const int textWidth = Text.empty() ? 0 : box.right - box.left;
    const int textHeight = box.bottom - box.top;
    const int width = R.right - R.left, height = R.bottom - R.top;
    int x = 2;
    if (Alignment == 1)
        x = (width - w - textWidth) / 2;
    else if (Alignment == 2)
        x = width - w - textWidth - 2;
    if (Images != nullptr && ImageIndex != -1)
        ImageList_Draw(Images, ImageIndex, dc, R.left + x, R.top + (height - h) / 2, ILD_TRANSPARENT);
    if (Text.empty())
        return;
    RECT r{R.left + x + w + 1, R.top + (height - textHeight) / 2, 0, 0};
    r.right = r.left + textWidth;
    r.bottom = r.top + textHeight;
    if (!Enabled)
        MakeDisabledReadable(Canvas, r);
    DrawTextA(Canvas.Handle(), Text.c_str(), static_cast<int>(Text.size()), &r,
              DT_CENTER | DT_SINGLELINE | DT_EXPANDTABS);
}

void DrawCenteredText(TCanvas& Canvas, const RECT& R, const std::string& Text, int Alignment, bool Enabled)
{
    static const UINT Alignments[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    const UINT alignment = Alignments[Alignment >= 0 && Alignment < 3 ? Alignment : 0];
    PrepareText(Canvas);
    if (!Enabled)
        MakeDisabledReadable(Canvas, R);
    HDC dc = Canvas.Handle();
    RECT r = R;
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &r,
              alignment | DT_SINGLELINE | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS);
    const int textWidth = r.right - r.left, textHeight = r.bottom - r.top;
    OffsetRect(&r, ((R.right - R.left) - textWidth) / 2, ((R.bottom - R.top) - textHeight) / 2);
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &r, alignment | DT_SINGLELINE | DT_EXPANDTABS);
}

void DrawButtonFrame(HDC DC, const RECT& R, int Count, int Index, const TDataSkinObject& Element)
{
    if (R.right < R.left || R.bottom < R.top)
        return;
    const TMargins margins = MarginsOf(Element);
    std::unique_ptr<TBitmap> image =
        BuildFrameBitmap(R, Element.Bitmap.get(), margins, Index, Count, Element.Tile != 0, false);
    if (!image || image->Empty())
        return;
    if (Element.Trans == 1)
        DrawTransparentBitmap(DC, R, image.get(), SkinKeyColour);
    else
        BitBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, image->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void DrawFaceToShared(const RECT& R, const TDataSkinObject& Element, int Transparent, int Count, int Index,
                      TColor Face)
{
    if (R.right < R.left || R.bottom < R.top)
        return;
    const TMargins margins = MarginsOf(Element);
    std::unique_ptr<TBitmap> image =
        BuildFrameBitmap(R, Element.Bitmap.get(), margins, Index, Count, Element.Tile != 0, false);
    TBitmap* shared = SharedPaintBitmap();
    TBitmapCanvas& canvas = *shared->Canvas();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(Face);
    canvas.FillRect(RECT{0, 0, R.right - R.left, R.bottom - R.top});
    if (!image || image->Empty())
        return;
    if (Transparent == 1) {
        image->SetTransparentColor(SkinKeyColour);
        image->SetTransparent(true);
    }
    image->Draw(canvas, 0, 0);
}

void DrawKeyedFrame(HDC DC, const RECT& R, int Count, int Index, TBitmap* Strip)
{
    if (R.right < R.left || R.bottom < R.top)
        return;
    DrawStretchFrame(DC, R, Strip, Index, Count, true);
}

void DrawKeyedFrame(TCanvas& Canvas, const RECT& R, int Count, int Index, TBitmap* Strip)
{
    Canvas.Changing();
    DrawKeyedFrame(Canvas.Handle(), R, Count, Index, Strip);
    Canvas.Changed();
}

void DrawGlyphCell(TCanvas& Canvas, POINT Point, int Count, int Index, TBitmap* Glyph)
{
    if (Glyph == nullptr || Glyph->Empty() || Count < 1 || Index < 1 || Index > Count)
        return;
    const int w = Glyph->Width() / Count, h = Glyph->Height();
    if (w <= 0)
        return;
    TBitmap cell(w, h, pf32bit);
    BitBlt(cell.Canvas()->Handle(), 0, 0, w, h, Glyph->Canvas()->Handle(), (Index - 1) * w, 0, SRCCOPY);
    cell.SetTransparentColor(cell.PixelColor(0, h - 1));
    cell.SetTransparent(true);
    cell.Draw(Canvas, Point.x, Point.y);
}

void DrawArrowGlyph(TCanvas& Canvas, int X, int Y, int Direction)
{
    // Pen lines, each leaving out its end point: a small solid triangle for up and down, a
    // closed outline for left and right.
    struct TLine {
        int X1, Y1, X2, Y2;
    };
    static const TLine Up[7] = {{0, 0, 0, -1}, {1, 1, 4, 4}, {0, 1, 3, 4}, {0, 2, 2, 4},
                                {-1, 1, -4, 4}, {0, 2, -3, 4}, {0, 1, -2, 4}};
    static const TLine Down[7] = {{0, 3, 0, 4}, {1, 2, 4, -1}, {0, 2, 3, -1}, {0, 1, 2, 0},
                                  {-1, 2, -4, -1}, {0, 2, -3, -1}, {0, 1, -2, 0}};
    if (Direction == 0 || Direction == 1) {
        for (const TLine& line : Direction == 0 ? Up : Down) {
            Canvas.MoveTo(X + line.X1, Y + line.Y1);
            Canvas.LineTo(X + line.X2, Y + line.Y2);
        }
        return;
    }
    const int s = Direction == 2 ? 1 : -1; // left: the tip on the left
    const POINT points[5] = {{X, Y}, {X + s, Y + 2}, {X + s, Y - 2}, {X - s, Y}, {X + s, Y + 2}};
    Canvas.MoveTo(points[0].x, points[0].y);
    for (int i = 1; i < 5; ++i)
        Canvas.LineTo(points[i].x, points[i].y);
}
