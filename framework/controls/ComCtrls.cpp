#include "framework/controls/ComCtrls.h"
#include "framework/controls/CommonControls.h"
#include "framework/controls/Grids.h"
#include "framework/controls/Tabs.h"
#include "framework/core/Published.h"

#include <algorithm>

namespace {

void SetStyleBits(HWND Window, DWORD Bits, bool On)
{
    const DWORD style = static_cast<DWORD>(GetWindowLongA(Window, GWL_STYLE));
    const DWORD wanted = On ? (style | Bits) : (style & ~Bits);
    if (wanted != style)
        SetWindowLongA(Window, GWL_STYLE, static_cast<LONG>(wanted));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TToolBar

IMPLEMENT_CLASS(TToolBar)

void TToolBar::Publish(TClassBuilder<TToolBar>& b)
{
    b.Property("Flat", &TToolBar::Flat, &TToolBar::SetFlat);
}

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls});
    FAlign = alTop;
    SetBounds(FLeft, FTop, 150, 29);
}

TToolBar::~TToolBar() = default;

void TToolBar::CreateParams(TCreateParams& Params)
{
    NeedCommonControls(ICC_BAR_CLASSES);
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, TOOLBARCLASSNAMEA);
    // We place and size it ourselves, and the controls on it are our children.
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (FFlat)
        Params.Style |= TBSTYLE_FLAT;
}

void TToolBar::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(FHandle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
}

void TToolBar::SetFlat(bool Value)
{
    if (Value == FFlat)
        return;
    FFlat = Value;
    if (HandleAllocated()) {
        SetStyleBits(FHandle, TBSTYLE_FLAT, FFlat);
        Invalidate();
    }
}

// ---------------------------------------------------------------------------------------------
// TStatusPanel, TStatusPanels, TStatusBar

IMPLEMENT_CLASS(TStatusPanel)

void TStatusPanel::Publish(TClassBuilder<TStatusPanel>& b)
{
    b.Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
        .Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth)
        .Property("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment)
        .Property("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel);
}

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}
TStatusPanel::~TStatusPanel() = default;

void TStatusPanel::SetText(const std::string& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    Changed(false);
}

void TStatusPanel::SetWidth(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FWidth)
        return;
    FWidth = Value;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value)
{
    if (Value == FBevel)
        return;
    FBevel = Value;
    Changed(false);
}

IMPLEMENT_CLASS_EMPTY(TStatusPanels)

TStatusPanels::TStatusPanels(TStatusBar* AOwner)
    : TOwnedCollection(AOwner, TStatusPanel::StaticClass()), FStatusBar(AOwner)
{
}

void TStatusPanels::Update(TCollectionItem*)
{
    FStatusBar->UpdatePanels();
}

IMPLEMENT_CLASS(TStatusBar)

void TStatusBar::Publish(TClassBuilder<TStatusBar>& b)
{
    b.Property("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels)
        .Property("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel)
        .Property("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
        .Property("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip);
}

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this))
{
    SetControlStyle(TControlStyle{csOpaque});
    FAlign = alBottom;
    SetBounds(FLeft, FTop, 150, 19);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::CreateParams(TCreateParams& Params)
{
    NeedCommonControls(ICC_BAR_CLASSES);
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, STATUSCLASSNAMEA);
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    if (FSizeGrip)
        Params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdatePanels();
}

void TStatusBar::ChangeScale(int M, int D)
{
    TWinControl::ChangeScale(M, D);
    if (M == D || M <= 0 || D <= 0)
        return;
    for (int i = 0; i < FPanels->Count(); ++i)
        FPanels->Items(i)->SetWidth(MulDiv(FPanels->Items(i)->Width(), M, D));
}

void TStatusBar::UpdatePanels()
{
    if (!HandleAllocated())
        return;
    // The last panel runs to the right edge. Its edge is given as a number, not as -1: a bar that
    // we size ourselves (CCS_NORESIZE) may keep the width it had when it was made for "-1".
    RECT client{};
    GetClientRect(FHandle, &client);
    const int count = FPanels->Count();
    std::vector<int> edges;
    int right = 0;
    for (int i = 0; i < count; ++i) {
        right += FPanels->Items(i)->Width();
        edges.push_back(i == count - 1 ? std::max(right, static_cast<int>(client.right)) : right);
    }
    if (edges.empty())
        edges.push_back(std::max(1, static_cast<int>(client.right)));
    SendMessageA(FHandle, SB_SETPARTS, static_cast<WPARAM>(edges.size()), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < count; ++i) {
        const TStatusPanel* panel = FPanels->Items(i);
        // The status bar centres the text after one tab and right-aligns it after two.
        std::string text = panel->Alignment() == taCenter         ? "\t" + panel->Text()
                           : panel->Alignment() == taRightJustify ? "\t\t" + panel->Text()
                                                                  : panel->Text();
        WPARAM type = static_cast<WPARAM>(i);
        if (panel->Bevel() == pbNone)
            type |= SBT_NOBORDERS;
        else if (panel->Bevel() == pbRaised)
            type |= SBT_POPOUT;
        SendMessageA(FHandle, SB_SETTEXTA, type, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageA(FHandle, SB_SIMPLE, FSimplePanel ? TRUE : FALSE, 0);
    if (FSimplePanel)
        SendMessageA(FHandle, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

void TStatusBar::SetSimplePanel(bool Value)
{
    if (Value == FSimplePanel)
        return;
    FSimplePanel = Value;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& Value)
{
    if (Value == FSimpleText)
        return;
    FSimpleText = Value;
    if (HandleAllocated() && FSimplePanel)
        SendMessageA(FHandle, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

void TStatusBar::SetSizeGrip(bool Value)
{
    if (Value == FSizeGrip)
        return;
    FSizeGrip = Value;
    RecreateWnd();
}

void TStatusBar::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_NOTIFY) {
        Message.Result = 0;
        return;
    }
    TWinControl::WndProc(Message);
    // Sized by us (CCS_NORESIZE), the bar lays its parts out only when given them: the last one
    // has to follow the new width.
    if (Message.Msg == WM_SIZE)
        UpdatePanels();
}

// ---------------------------------------------------------------------------------------------
// TProgressBar

IMPLEMENT_CLASS(TProgressBar)

void TProgressBar::Publish(TClassBuilder<TProgressBar>& b)
{
    b.Property("Min", &TProgressBar::Min, &TProgressBar::SetMin)
        .Property("Max", &TProgressBar::Max, &TProgressBar::SetMax)
        .Property("Position", &TProgressBar::Position, &TProgressBar::SetPosition)
        .Property("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation);
}

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csOpaque});
    SetBounds(FLeft, FTop, 150, 16);
}

TProgressBar::~TProgressBar() = default;

void TProgressBar::CreateParams(TCreateParams& Params)
{
    NeedCommonControls(ICC_PROGRESS_CLASS);
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, PROGRESS_CLASSA);
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    if (FOrientation == pbVertical)
        Params.Style |= PBS_VERTICAL;
}

void TProgressBar::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
    SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SetRange(int AMin, int AMax)
{
    if (AMax < AMin)
        AMax = AMin;
    FPosition = std::clamp(Position(), AMin, AMax);
    FMin = AMin;
    FMax = AMax;
    if (HandleAllocated()) {
        SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
        SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
    }
}

int TProgressBar::Position() const
{
    if (FHandle != nullptr)
        return static_cast<int>(SendMessageA(FHandle, PBM_GETPOS, 0, 0));
    return FPosition;
}

void TProgressBar::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, FMax);
    if (HandleAllocated())
        SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value)
{
    if (Value == FOrientation)
        return;
    FPosition = Position();
    FOrientation = Value;
    RecreateWnd();
}

// ---------------------------------------------------------------------------------------------
// TTrackBar

IMPLEMENT_CLASS(TTrackBar)

void TTrackBar::Publish(TClassBuilder<TTrackBar>& b)
{
    b.Property("Min", &TTrackBar::Min, &TTrackBar::SetMin)
        .Property("Max", &TTrackBar::Max, &TTrackBar::SetMax)
        .Property("Position", &TTrackBar::Position, &TTrackBar::SetPosition)
        .Property("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation)
        .Property("OnChange", &TTrackBar::OnChange, &TTrackBar::SetOnChange);
}

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csOpaque});
    FTabStop = true;
    SetBounds(FLeft, FTop, 150, 45);
}

TTrackBar::~TTrackBar() = default;

void TTrackBar::CreateParams(TCreateParams& Params)
{
    NeedCommonControls(ICC_BAR_CLASSES);
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, TRACKBAR_CLASSA);
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    Params.Style |= TBS_AUTOTICKS | (FOrientation == trVertical ? TBS_VERT : TBS_HORZ);
}

void TTrackBar::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(FHandle, TBM_SETRANGEMIN, FALSE, FMin);
    SendMessageA(FHandle, TBM_SETRANGEMAX, FALSE, FMax);
    SendMessageA(FHandle, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::SetRange(int AMin, int AMax)
{
    if (AMax < AMin)
        AMax = AMin;
    FPosition = std::clamp(Position(), AMin, AMax);
    FMin = AMin;
    FMax = AMax;
    if (HandleAllocated()) {
        SendMessageA(FHandle, TBM_SETRANGEMIN, FALSE, FMin);
        SendMessageA(FHandle, TBM_SETRANGEMAX, TRUE, FMax);
        SendMessageA(FHandle, TBM_SETPOS, TRUE, FPosition);
    }
}

int TTrackBar::Position() const
{
    if (FHandle != nullptr)
        return static_cast<int>(SendMessageA(FHandle, TBM_GETPOS, 0, 0));
    return FPosition;
}

void TTrackBar::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, FMax);
    if (HandleAllocated())
        SendMessageA(FHandle, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value)
{
    if (Value == FOrientation)
        return;
    FPosition = Position();
    FOrientation = Value;
    if (HandleAllocated())
        // A vertical bar is a horizontal one turned: swap the sides as well.
        SetBounds(FLeft, FTop, FHeight, FWidth);
    RecreateWnd();
}

void TTrackBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL: {
        const int position = Position();
        if (position != FPosition) {
            FPosition = position;
            if (FOnChange)
                FOnChange(this);
        }
        Message.Result = 0;
        return;
    }
    case CN_NOTIFY:
        // NM_CUSTOMDRAW among them: the native drawing as it is.
        Message.Result = CDRF_DODEFAULT;
        return;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TUpDown

IMPLEMENT_CLASS(TUpDown)

void TUpDown::Publish(TClassBuilder<TUpDown>& b)
{
    b.Property("Min", &TUpDown::Min, &TUpDown::SetMin)
        .Property("Max", &TUpDown::Max, &TUpDown::SetMax)
        .Property("Position", &TUpDown::Position, &TUpDown::SetPosition)
        .Property("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation)
        .Property("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
}

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csOpaque});
    SetBounds(FLeft, FTop, 17, 25);
}

TUpDown::~TUpDown() = default;

void TUpDown::CreateParams(TCreateParams& Params)
{
    NeedCommonControls(ICC_UPDOWN_CLASS);
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, UPDOWN_CLASSA);
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    Params.Style |= UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
    if (FOrientation == udHorizontal)
        Params.Style |= UDS_HORZ;
}

void TUpDown::CreateWnd()
{
    TWinControl::CreateWnd();
    // The buddy first: with UDS_SETBUDDYINT the position is read back from the buddy's text, so
    // setting the position afterwards writes it there.
    if (FAssociate != nullptr)
        SendMessageA(FHandle, UDM_SETBUDDY, reinterpret_cast<WPARAM>(FAssociate->Handle()), 0);
    SendMessageA(FHandle, UDM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
    SendMessageA(FHandle, UDM_SETPOS32, 0, FPosition);
}

void TUpDown::SetRange(int AMin, int AMax)
{
    if (AMax < AMin)
        AMax = AMin;
    FPosition = std::clamp(Position(), AMin, AMax);
    FMin = AMin;
    FMax = AMax;
    if (HandleAllocated()) {
        SendMessageA(FHandle, UDM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
        SendMessageA(FHandle, UDM_SETPOS32, 0, FPosition);
    }
}

int TUpDown::Position() const
{
    if (FHandle != nullptr)
        return static_cast<int>(SendMessageA(FHandle, UDM_GETPOS32, 0, 0));
    return FPosition;
}

void TUpDown::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, FMax);
    if (HandleAllocated())
        SendMessageA(FHandle, UDM_SETPOS32, 0, FPosition);
}

void TUpDown::SetOrientation(TUDOrientation Value)
{
    if (Value == FOrientation)
        return;
    FPosition = Position();
    FOrientation = Value;
    RecreateWnd();
}

void TUpDown::SetAssociate(TWinControl* Value)
{
    if (Value == FAssociate)
        return;
    if (FAssociate != nullptr)
        FAssociate->RemoveFreeNotification(this);
    FAssociate = Value;
    if (FAssociate != nullptr)
        FAssociate->FreeNotification(this);
    if (HandleAllocated()) {
        FPosition = Position();
        SendMessageA(FHandle, UDM_SETBUDDY,
                     FAssociate != nullptr ? reinterpret_cast<WPARAM>(FAssociate->Handle()) : 0, 0);
        SendMessageA(FHandle, UDM_SETPOS32, 0, FPosition);
    }
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAssociate) {
        FAssociate = nullptr;
        if (HandleAllocated())
            SendMessageA(FHandle, UDM_SETBUDDY, 0, 0);
    }
}

void TUpDown::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
        if (LOWORD(Message.WParam) != SB_ENDSCROLL) {
            FPosition = Position();
            Click();
        }
        Message.Result = 0;
        return;
    case CN_NOTIFY:
        Message.Result = 0;
        return;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------

void RegisterCommonControls()
{
    for (const TClassInfo* cls :
         {&TToolBar::StaticClass(), &TStatusBar::StaticClass(), &TProgressBar::StaticClass(),
          &TTrackBar::StaticClass(), &TUpDown::StaticClass(), &TTabControl::StaticClass(),
          &TPageControl::StaticClass(), &TTabSheet::StaticClass(), &TListView::StaticClass(),
          &TTreeView::StaticClass(), &TDateTimePicker::StaticClass(), &TDrawGrid::StaticClass(),
          &TStringGrid::StaticClass(), &TTabSet::StaticClass()})
        RegisterComponentClass(*cls);
}
