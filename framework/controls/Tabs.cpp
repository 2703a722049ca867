#include "framework/controls/Tabs.h"

#include "framework/core/Published.h"

#include <algorithm>

namespace {

constexpr int TabTextMargin = 6;
constexpr int ScrollerArrowWidth = 15;

} // namespace

// ---------------------------------------------------------------------------------------------
// TScroller

IMPLEMENT_CLASS_EMPTY(TScroller)

TScroller::TScroller(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetControlStyle(TControlStyle{csOpaque});
    FVisible = false;
    SetBounds(FLeft, FTop, 2 * ScrollerArrowWidth, 15);
}

TScroller::~TScroller() = default;

void TScroller::SetRange(int AMin, int AMax)
{
    FMin = AMin;
    FMax = std::max(AMin, AMax);
    FPosition = std::clamp(FPosition, FMin, FMax);
    Invalidate();
}

void TScroller::SetPosition(int Value)
{
    Value = std::clamp(Value, FMin, FMax);
    if (Value == FPosition)
        return;
    FPosition = Value;
    Invalidate();
}

void TScroller::Paint()
{
    TCanvas& canvas = *Canvas();
    const RECT client = ClientRect();
    const int half = (client.right - client.left) / 2;
    RECT left{client.left, client.top, client.left + half, client.bottom};
    RECT right{client.left + half, client.top, client.right, client.bottom};
    DrawFrameControl(canvas.Handle(), &left, DFC_SCROLL,
                     DFCS_SCROLLLEFT | (FPosition <= FMin ? DFCS_INACTIVE : 0u));
    DrawFrameControl(canvas.Handle(), &right, DFC_SCROLL,
                     DFCS_SCROLLRIGHT | (FPosition >= FMax ? DFCS_INACTIVE : 0u));
}

void TScroller::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
        const int before = FPosition;
        SetPosition(Message.LParamX() < Width() / 2 ? FPosition - 1 : FPosition + 1);
        if (FPosition != before && FOnChange)
            FOnChange(this);
        Message.Result = 0;
        return;
    }
    TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TTabSet

IMPLEMENT_CLASS(TTabSet)

void TTabSet::Publish(TClassBuilder<TTabSet>& b)
{
    b.Property("Tabs", &TTabSet::Tabs, &TTabSet::SetTabs)
        .Property("TabIndex", &TTabSet::TabIndex, &TTabSet::SetTabIndex)
        .Property("StartMargin", &TTabSet::StartMargin, &TTabSet::SetStartMargin)
        .Property("EndMargin", &TTabSet::EndMargin, &TTabSet::SetEndMargin)
        .Property("FirstIndex", &TTabSet::FirstIndex, &TTabSet::SetFirstIndex)
        .Property("SelectedColor", &TTabSet::SelectedColor, &TTabSet::SetSelectedColor, &ColorTypeInfo())
        .Property("UnselectedColor", &TTabSet::UnselectedColor, &TTabSet::SetUnselectedColor, &ColorTypeInfo())
        .Property("OnChange", &TTabSet::OnChange, &TTabSet::SetOnChange);
}

TTabSet::TTabSet(TComponent* AOwner) : TCustomControl(AOwner), FTabs(std::make_unique<TStringList>())
{
    SetControlStyle(TControlStyle{csOpaque, csClickEvents});
    // The scroller comes first among the owned components: code looking at a tab set finds it there.
    FScroller = new TScroller(this);
    FScroller->SetParent(this);
    FScroller->SetOnChange(BindMethod<&TTabSet::ScrollerChanged>(this));
    FTabs->SetOnChange(BindMethod<&TTabSet::TabsChanged>(this));
    Canvas()->SetFont(Font());
    SetBounds(FLeft, FTop, 185, 21);
}

TTabSet::~TTabSet()
{
    FTabs->SetOnChange(TNotifyEvent());
}

int TTabSet::RightLimit() const
{
    return FWidth - FEndMargin - (FScroller->Visible() ? FScroller->Width() : 0);
}

int TTabSet::TabWidth(int Index)
{
    const std::string text = FTabs->Strings(Index);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx + 2 * TabTextMargin;
}

int TTabSet::VisibleTabs()
{
    int x = FStartMargin;
    int n = 0;
    for (int i = FFirstIndex; i < FTabs->Count(); ++i) {
        x += TabWidth(i);
        if (x > RightLimit())
            break;
        ++n;
    }
    return n;
}

RECT TTabSet::TabRect(int Index)
{
    if (Index < FFirstIndex || Index >= FFirstIndex + VisibleTabs())
        return RECT{};
    int x = FStartMargin;
    for (int i = FFirstIndex; i < Index; ++i)
        x += TabWidth(i);
    return RECT{x, 0, x + TabWidth(Index), FHeight};
}

int TTabSet::ItemAtPos(POINT p)
{
    const int shown = VisibleTabs();
    for (int i = FFirstIndex; i < FFirstIndex + shown; ++i) {
        const RECT r = TabRect(i);
        if (PtInRect(&r, p))
            return i;
    }
    return -1;
}

void TTabSet::UpdateScroller()
{
    // Whether they all fit without the scroller.
    int total = FStartMargin;
    for (int i = 0; i < FTabs->Count(); ++i)
        total += TabWidth(i);
    const bool fits = FFirstIndex == 0 && total <= FWidth - FEndMargin;
    FScroller->SetVisible(!fits);
    FScroller->SetBounds(std::max(0, FWidth - FScroller->Width()), 0, FScroller->Width(),
                         std::min(FHeight, 15));
    FScroller->SetRange(0, std::max(0, FTabs->Count() - 1));
    FScroller->SetPosition(FFirstIndex);
    Invalidate();
}

void TTabSet::TabsChanged(TObject*)
{
    if (FTabIndex >= FTabs->Count())
        FTabIndex = FTabs->Count() - 1;
    FFirstIndex = std::clamp(FFirstIndex, 0, std::max(0, FTabs->Count() - 1));
    UpdateScroller();
}

void TTabSet::ScrollerChanged(TObject*)
{
    SetFirstIndex(FScroller->Position());
}

void TTabSet::SetTabIndex(int Value)
{
    if (Value < -1 || Value >= FTabs->Count())
        Value = -1;
    if (Value == FTabIndex)
        return;
    FTabIndex = Value;
    Invalidate();
}

void TTabSet::SetStartMargin(int Value)
{
    FStartMargin = std::max(Value, 0);
    UpdateScroller();
}

void TTabSet::SetEndMargin(int Value)
{
    FEndMargin = std::max(Value, 0);
    UpdateScroller();
}

void TTabSet::SetFirstIndex(int Value)
{
    Value = std::clamp(Value, 0, std::max(0, FTabs->Count() - 1));
    if (Value == FFirstIndex)
        return;
    FFirstIndex = Value;
    UpdateScroller();
}

void TTabSet::SetSelectedColor(TColor Value)
{
    FSelectedColor = Value;
    Invalidate();
}

void TTabSet::SetUnselectedColor(TColor Value)
{
    FUnselectedColor = Value;
    Invalidate();
}

void TTabSet::CreateHandleDone()
{
    TCustomControl::CreateHandleDone();
    UpdateScroller();
}

void TTabSet::Paint()
{
    TCanvas& canvas = *Canvas();
    const RECT client = ClientRect();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(FColor);
    canvas.FillRect(client);
    // The edge the tabs hang from.
    canvas.Brush()->SetColor(clBtnShadow);
    canvas.FillRect(RECT{client.left, client.top, client.right, client.top + 1});
    canvas.SetFont(Font());
    const int shown = VisibleTabs();
    for (int i = FFirstIndex; i < FFirstIndex + shown; ++i) {
        const RECT r = TabRect(i);
        const bool selected = i == FTabIndex;
        RECT face{r.left, r.top + (selected ? 0 : 1), r.right, r.bottom - (selected ? 1 : 3)};
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(selected ? FSelectedColor : FUnselectedColor);
        canvas.FillRect(face);
        // Outlined on the left, right and bottom; the selected tab opens into the edge above it.
        canvas.Brush()->SetColor(clBtnShadow);
        canvas.FillRect(RECT{face.left, face.top, face.left + 1, face.bottom});
        canvas.FillRect(RECT{face.right - 1, face.top, face.right, face.bottom});
        canvas.FillRect(RECT{face.left, face.bottom - 1, face.right, face.bottom});
        if (selected) {
            canvas.Brush()->SetColor(FSelectedColor);
            canvas.FillRect(RECT{face.left + 1, client.top, face.right - 1, client.top + 1});
        }
        canvas.Brush()->SetStyle(bsClear);
        RECT text = face;
        canvas.DrawText(FTabs->Strings(i), text, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
}

void TTabSet::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: {
        const int index = ItemAtPos(POINT{Message.LParamX(), Message.LParamY()});
        if (index >= 0 && index != FTabIndex) {
            SetTabIndex(index);
            if (FOnChange)
                FOnChange(this);
        }
        break;
    }
    case CM_FONTCHANGED:
        // The canvas keeps the control's font between paints too: the tabs are measured in it.
        Canvas()->SetFont(Font());
        TCustomControl::WndProc(Message);
        UpdateScroller();
        return;
    case WM_SIZE:
        TCustomControl::WndProc(Message);
        UpdateScroller();
        return;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}
