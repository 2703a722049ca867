#include "skin/controls/SkinTabs.h"

#include "framework/controls/Controls.h"
#include "framework/controls/Tabs.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"
#include "framework/win/Handles.h"
#include "skin/controls/SkinEdits.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"
#include "skin/draw/SkinEffects.h"

#include <commctrl.h>

#include <algorithm>

IMPLEMENT_CLASS_EMPTY(TSkinTab)
IMPLEMENT_CLASS_EMPTY(TSkinTab31)

namespace {

enum : int { tpTop = 0, tpBottom = 1, tpLeft = 2, tpRight = 3 };

// The page border is cut with these margins, whatever the element says.
constexpr TMargins BorderMargins{4, 5, 4, 4};

} // namespace

TSkinTab::TSkinTab(TComponent* AOwner)
    : TSkinControl(AOwner), FTabImage(std::make_unique<TBitmap>()), FBorderImage(std::make_unique<TBitmap>()),
      FStrip(std::make_unique<TBitmap>())
{
    FStrip->SetPixelFormat(pf32bit);
}

TSkinTab::~TSkinTab()
{
    Detach();
}

void TSkinTab::AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas)
{
    TSkinControl::AttachWindow(Window, Data, ACanvas);
    ReadWindowState();
    PrepareTabBitmaps();
    FindArrows();
    InvalidateRect(Window, nullptr, TRUE);
}

void TSkinTab::Detach()
{
    const bool attached = FHook.Installed() || FWindowProc.Handle() != nullptr;
    if (TSkinUpDown* arrows = FArrows) {
        FArrows = nullptr;
        Retire(arrows);
    }
    TSkinControl::Detach();
    if (attached && !OwnerGoingAway() && FHandle != nullptr && IsWindow(FHandle))
        RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TSkinTab::Notification(TComponent* AComponent, TOperation Operation)
{
    TSkinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FArrows)
        FArrows = nullptr;
}

int TSkinTab::TabPosition() const
{
    const LONG style = FHandle != nullptr ? GetWindowLongA(FHandle, GWL_STYLE) : 0;
    const bool bottom = (style & TCS_BOTTOM) != 0, vertical = (style & TCS_VERTICAL) != 0;
    return bottom && vertical ? tpRight : bottom ? tpBottom : vertical ? tpLeft : tpTop;
}

void TSkinTab::PrepareTabBitmaps()
{
    FTabPosition = TabPosition();
    // A skin without the pictures leaves none of the last skin's.
    FTabImage = std::make_unique<TBitmap>();
    FBorderImage = std::make_unique<TBitmap>();
    const TDataSkinBorder* tabs = FSkinData != nullptr ? FSkinData->SkinTabs() : nullptr;
    if (!HasSkinBitmap(tabs) || !tabs->Bitmap2 || tabs->Bitmap2->Empty())
        return;
    FTabImage->Assign(tabs->Bitmap.get());
    FTabImage->SetPixelFormat(pf24bit);
    FBorderImage->Assign(tabs->Bitmap2.get());
    FBorderImage->SetPixelFormat(pf24bit);
    switch (FTabPosition) {
    case tpBottom:
        FlipBitmapVertical(FTabImage.get());
        FlipBitmapVertical(FBorderImage.get());
        break;
    case tpLeft:
        RotateBitmapLeft(FBorderImage.get());
        break;
    case tpRight:
        RotateBitmapRight(FBorderImage.get());
        break;
    default:
        break;
    }
}

bool TSkinTab::FindArrows()
{
    HWND arrows = FindWindowExA(FHandle, nullptr, UPDOWN_CLASSA, nullptr);
    if (arrows == nullptr)
        return false;
    if (FArrows == nullptr) {
        // The tab control's own: given back with it.
        FArrows = new TSkinUpDown(this);
        FArrows->AttachWindow(arrows, FSkinData, FCanvas);
    }
    return (GetWindowLongA(arrows, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool TSkinTab::PaintsWhole() const
{
    return HasSkinBitmap(FSkinData != nullptr ? FSkinData->SkinTabs() : nullptr) && !FTabImage->Empty() &&
           !FBorderImage->Empty();
}

bool TSkinTab::BeforeMessage(TMessage& Message)
{
    // The control's own paint would be painted over to the last pixel, and costs: under a theme
    // the page's ground alone takes longer than the whole skinned paint.
    return !PaintsWhole() || !TakePaint(Message);
}

void TSkinTab::LeaveOutArrows(HDC DC)
{
    if (!FindArrows())
        return;
    HWND arrows = FindWindowExA(FHandle, nullptr, UPDOWN_CLASSA, nullptr);
    RECT a{};
    GetWindowRect(arrows, &a);
    MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&a), 2);
    ExcludeClipRect(DC, a.left, a.top, a.right, a.bottom);
}

void TSkinTab::PaintTo(HDC DC, const RECT& R)
{
    if (!PaintsWhole())
        return;
    const TDataSkinBorder* tabs = FSkinData->SkinTabs();
    // The arrows paint themselves (through their own adaptor): left out.
    const TSaveDC saved(DC);
    LeaveOutArrows(DC);
    FillFace(DC, R);
    const int position = FTabPosition;
    RECT d = R;
    SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&d));
    InflateRect(&d, 4, 4);
    const int count = static_cast<int>(SendMessageA(FHandle, TCM_GETITEMCOUNT, 0, 0));
    const int focused = static_cast<int>(SendMessageA(FHandle, TCM_GETCURFOCUS, 0, 0));
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(FHandle, TCM_GETIMAGELIST, 0, 0));
    switch (position) {
    case tpTop:
        d.top += 1;
        break;
    case tpBottom:
        d.bottom -= 1;
        break;
    case tpLeft:
        d.left += 1;
        break;
    default:
        d.right -= 1;
        break;
    }

    // The strip beside the page, composed lying down.
    RECT s = R;
    switch (position) {
    case tpTop:
        s.bottom = d.top;
        break;
    case tpBottom:
        s.top = d.bottom;
        break;
    case tpLeft:
        s.right = d.left;
        break;
    default:
        s.left = d.right;
        break;
    }
    const bool vertical = position == tpLeft || position == tpRight;
    const int len = vertical ? s.bottom - s.top : s.right - s.left;
    const int th = vertical ? s.right - s.left : s.bottom - s.top;
    if (len > 0 && th > 0) {
        // Composed at 32 bits, where keyed frames are copied in memory (a turn leaves it at 24).
        if (FStrip->PixelFormat() != pf32bit)
            FStrip = std::make_unique<TBitmap>(len, th, pf32bit);
        FStrip->SetSize(len, th);
        TBitmapCanvas& canvas = *FStrip->Canvas();
        FillFace(canvas.Handle(), RECT{0, 0, len, th});
        TakeFont(canvas);
        for (int i = 0; i < count; ++i) {
            char text[81] = "";
            TCITEMA item{};
            item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
            item.pszText = text;
            item.cchTextMax = 80;
            RECT t{};
            if (!SendMessageA(FHandle, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)) ||
                !SendMessageA(FHandle, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&t)))
                continue;
            RECT m = t;
            switch (position) {
            case tpTop:
                OffsetRect(&m, 0, 1);
                break;
            case tpBottom:
                OffsetRect(&m, 0, -(d.bottom + 1));
                break;
            case tpLeft:
                m = RECT{len - t.bottom, t.left, len - t.top, t.right};
                break;
            default:
                m = RECT{t.top - 1, R.right - t.right, t.bottom - 1, R.right - t.left};
                break;
            }
            const int k = i == focused ? 2 : 1;
            canvas.Changing();
            DrawFrameImage(canvas.Handle(), m, FTabImage.get(), MarginsOf(*tabs), k,
                           std::max(1, static_cast<int>(tabs->FrameCount)), tabs->Trans == 1, tabs->Tile != 0, false);
            canvas.Changed();
            canvas.Font()->SetColor(k == 1 ? tabs->NormalColour2 : tabs->MouseOverColour2);
            const std::string caption = item.pszText == text ? std::string(text) : std::string();
            DrawImageText(canvas, m, 1, caption, item.iImage, images, true);
        }
        if (position == tpRight)
            RotateBitmapRight(FStrip.get());
        else if (position == tpLeft)
            RotateBitmapLeft(FStrip.get());
        HDC strip = FStrip->Canvas()->Handle();
        BitBlt(DC, s.left, s.top, s.right - s.left, s.bottom - s.top, strip, 0, 0, SRCCOPY);
    }
    DrawFrameBorder(DC, d, FBorderImage.get(), BorderMargins, 1, 1, false);
    // The windowless controls the program put on it, as its own paint would.
    if (TWinControl* control = TWinControl::FindControl(FHandle))
        control->PaintControls(DC);
}

// ---- tab sets

TSkinTab31::TSkinTab31(TComponent* AOwner) : TSkinControl(AOwner), FTabImage(std::make_unique<TBitmap>()) {}

TSkinTab31::~TSkinTab31()
{
    Detach();
}

void TSkinTab31::AttachControl(TWinControl* AControl, TSkinData* Data, bool ASwapColour, TCanvas* ACanvas)
{
    TSkinControl::AttachControl(AControl, Data, ASwapColour, ACanvas);
    PrepareTabBitmaps();
    auto* set = dynamic_cast<TTabSet*>(AControl);
    if (set != nullptr && set->Scroller() != nullptr && set->Scroller()->HandleAllocated()) {
        FScroller = set->Scroller();
        FScroller->FreeNotification(this);
        // The tab set's own: given back with it.
        FArrows = new TSkinUpDown(this);
        FArrows->ForceHorizontal = 1;
        FArrows->AttachWindow(FScroller->Handle(), Data, ACanvas);
    }
}

void TSkinTab31::Detach()
{
    if (TSkinUpDown* arrows = FArrows) {
        FArrows = nullptr;
        Retire(arrows);
    }
    TSkinControl::Detach();
}

void TSkinTab31::Notification(TComponent* AComponent, TOperation Operation)
{
    TSkinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FArrows)
        FArrows = nullptr;
    if (AComponent == FScroller)
        FScroller = nullptr;
}

void TSkinTab31::PrepareTabBitmaps()
{
    FTabImage = std::make_unique<TBitmap>();
    const TDataSkinBorder* tabs = FSkinData != nullptr ? FSkinData->SkinTabs() : nullptr;
    if (!HasSkinBitmap(tabs))
        return;
    FTabImage->Assign(tabs->Bitmap.get());
    FlipBitmapVertical(FTabImage.get());
}

bool TSkinTab31::BeforeMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        // Painted now, and once more after the tab set's own painting (the base reaction).
        PaintMessage(Message);
        return true;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return false;
    default:
        return true;
    }
}

void TSkinTab31::PaintTo(HDC DC, const RECT& R)
{
    auto* set = dynamic_cast<TTabSet*>(FControl);
    const TDataSkinBorder* tabs = FSkinData != nullptr ? FSkinData->SkinTabs() : nullptr;
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (set == nullptr || !HasSkinBitmap(tabs) || FTabImage->Empty() || w <= 0 || h <= 0)
        return;
    TBitmap* buffer = SharedPaintBitmap();
    buffer->SetSize(w, h);
    TBitmapCanvas& canvas = *buffer->Canvas();
    FillFace(canvas.Handle(), RECT{0, 0, w, h});
    canvas.SetFont(set->Canvas()->Font());
    // The tab set's own layout: a tab is drawn where a click selects it.
    const int first = std::max(0, set->FirstIndex());
    for (int index = first, end = first + set->VisibleTabs(); index < end; ++index) {
        RECT t = set->TabRect(index);
        t.top = 0;
        t.bottom = h;
        const int k = index == set->TabIndex() ? 2 : 1;
        canvas.Changing();
        DrawFrameImage(canvas.Handle(), t, FTabImage.get(), MarginsOf(*tabs), k,
                       std::max(1, static_cast<int>(tabs->FrameCount)), tabs->Trans == 1, tabs->Tile != 0, false);
        canvas.Changed();
        canvas.Font()->SetColor(k == 1 ? tabs->NormalColour2 : tabs->MouseOverColour2);
        DrawCaptionText(canvas, t, DT_CENTER, true, set->Tabs()->Strings(index));
    }
    // Not over the scroller: a window DC of the tab set does not leave its children out.
    TSaveDC saved(DC);
    if (FScroller != nullptr && FScroller->Visible() && FScroller->HandleAllocated()) {
        RECT arrows{};
        GetWindowRect(FScroller->Handle(), &arrows);
        MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&arrows), 2);
        // In the coordinates of R (the window's, which are the client's for a borderless set).
        OffsetRect(&arrows, R.left, R.top);
        ExcludeClipRect(DC, arrows.left, arrows.top, arrows.right, arrows.bottom);
    }
    BitBlt(DC, R.left, R.top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
}
