#include "framework/controls/ComCtrls.h"

#include "framework/controls/Grids.h"
#include "framework/controls/Tabs.h"
#include "framework/core/Published.h"

#include <algorithm>

namespace {

// The common-control classes must be registered with the system before their class information
// can be copied; each family once.
void NeedCommonControls(DWORD Classes)
{
    static DWORD done = 0;
    if ((done & Classes) == Classes)
        return;
    INITCOMMONCONTROLSEX init{sizeof init, Classes};
    InitCommonControlsEx(&init);
    done |= Classes;
}

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
// TCustomTabControl

IMPLEMENT_CLASS(TCustomTabControl)

void TCustomTabControl::Publish(TClassBuilder<TCustomTabControl>& b)
{
    b.Property("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition)
        .Property("MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine)
        .Property("OnChange", &TCustomTabControl::OnChange, &TCustomTabControl::SetOnChange);
}

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls});
    FTabStop = true;
    SetBounds(FLeft, FTop, 289, 193);
}

TCustomTabControl::~TCustomTabControl() = default;

void TCustomTabControl::CreateParams(TCreateParams& Params)
{
    NeedCommonControls(ICC_TAB_CLASSES);
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TABCONTROLA);
    switch (FTabPosition) {
    case tpTop:
        break;
    case tpBottom:
        Params.Style |= TCS_BOTTOM;
        break;
    case tpLeft:
        Params.Style |= TCS_VERTICAL | TCS_MULTILINE;
        break;
    case tpRight:
        Params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE;
        break;
    }
    if (FMultiLine)
        Params.Style |= TCS_MULTILINE;
}

void TCustomTabControl::CreateWnd()
{
    TWinControl::CreateWnd();
    RebuildTabs();
}

void TCustomTabControl::RebuildTabs()
{
    if (!HandleAllocated())
        return;
    SendMessageA(FHandle, TCM_DELETEALLITEMS, 0, 0);
    const std::vector<std::string> captions = TabCaptions();
    for (size_t i = 0; i < captions.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(captions[i].c_str());
        SendMessageA(FHandle, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(SelectedTab()), 0);
    Realign();
}

int TCustomTabControl::CurrentSelection() const
{
    if (FHandle == nullptr)
        return -1;
    return static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
}

void TCustomTabControl::SelectTab(int Index)
{
    if (HandleAllocated())
        SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

void TCustomTabControl::SetTabPosition(TTabPosition Value)
{
    if (Value == FTabPosition)
        return;
    FTabPosition = Value;
    RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool Value)
{
    if (Value == FMultiLine)
        return;
    FMultiLine = Value;
    RecreateWnd();
}

RECT TCustomTabControl::DisplayRect()
{
    RECT r = TWinControl::ClientRect();
    if (HandleAllocated())
        SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TCustomTabControl::AdjustClientRect(RECT& Rect)
{
    Rect = DisplayRect();
}

void TCustomTabControl::Change()
{
    if (FOnChange)
        FOnChange(this);
}

void TCustomTabControl::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
        Message.Result = 0;
        if (header != nullptr && header->code == static_cast<UINT>(TCN_SELCHANGE)) {
            TabSelected(CurrentSelection());
            Change();
        }
        return;
    }
    TWinControl::WndProc(Message);
    if (Message.Msg == WM_SIZE)
        Realign();
}

// ---------------------------------------------------------------------------------------------
// TTabControl

IMPLEMENT_CLASS(TTabControl)

void TTabControl::Publish(TClassBuilder<TTabControl>& b)
{
    b.Property("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs)
        .Property("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex);
}

TTabControl::TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner), FTabs(std::make_unique<TStringList>())
{
    FTabs->SetOnChange(BindMethod<&TTabControl::TabsChanged>(this));
}

TTabControl::~TTabControl()
{
    FTabs->SetOnChange(TNotifyEvent());
}

std::vector<std::string> TTabControl::TabCaptions() const
{
    std::vector<std::string> captions;
    for (int i = 0; i < FTabs->Count(); ++i)
        captions.push_back(FTabs->Strings(i));
    return captions;
}

void TTabControl::TabsChanged(TObject*)
{
    if (FTabIndex >= FTabs->Count())
        FTabIndex = FTabs->Count() - 1;
    RebuildTabs();
}

int TTabControl::TabIndex() const
{
    return HandleAllocated() ? CurrentSelection() : FTabIndex;
}

void TTabControl::SetTabIndex(int Value)
{
    if (Value < -1 || Value >= FTabs->Count())
        Value = -1;
    FTabIndex = Value;
    SelectTab(Value);
}

// ---------------------------------------------------------------------------------------------
// TTabSheet, TPageControl

IMPLEMENT_CLASS(TTabSheet)

void TTabSheet::Publish(TClassBuilder<TTabSheet>& b)
{
    b.Property("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl).NotStored();
}

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls});
    FAlign = alClient;
    FVisible = false;
}

TTabSheet::~TTabSheet()
{
    if (FPageControl != nullptr)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value)
{
    SetParent(Value);
}

int TTabSheet::PageIndex() const
{
    if (FPageControl == nullptr)
        return -1;
    const auto& pages = FPageControl->FPages;
    const auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (FPageControl != nullptr)
        FPageControl->RemovePage(this);
    TWinControl::SetParent(AParent);
    if (auto* pages = dynamic_cast<TPageControl*>(AParent))
        pages->InsertPage(this);
}

void TTabSheet::WndProc(TMessage& Message)
{
    TWinControl::WndProc(Message);
    if (Message.Msg == CM_TEXTCHANGED && FPageControl != nullptr)
        FPageControl->RebuildTabs();
}

IMPLEMENT_CLASS(TPageControl)

void TPageControl::Publish(TClassBuilder<TPageControl>& b)
{
    b.Property("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
}

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl()
{
    for (TTabSheet* page : FPages)
        page->FPageControl = nullptr;
}

std::vector<std::string> TPageControl::TabCaptions() const
{
    std::vector<std::string> captions;
    for (const TTabSheet* page : FPages)
        captions.push_back(page->Caption());
    return captions;
}

int TPageControl::ActivePageIndex() const
{
    return FActivePage != nullptr ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value)
{
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[static_cast<size_t>(Value)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Value)
{
    if (Value != nullptr && Value->FPageControl != this)
        return;
    FActivePage = Value;
    if (Value != nullptr) {
        Value->SetVisible(true);
        Value->SetBounds(Value->Left(), Value->Top(), Value->Width(), Value->Height());
    }
    for (TTabSheet* page : FPages)
        if (page != Value)
            page->SetVisible(false);
    SelectTab(ActivePageIndex());
}

void TPageControl::TabSelected(int Index)
{
    SetActivePageIndex(Index);
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    Page->FPageControl = this;
    FPages.push_back(Page);
    RebuildTabs();
    if (FActivePage == nullptr)
        SetActivePage(Page);
    else
        Page->SetVisible(false);
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    Page->FPageControl = nullptr;
    const int index = static_cast<int>(std::find(FPages.begin(), FPages.end(), Page) - FPages.begin());
    FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
    if (FActivePage == Page) {
        FActivePage = nullptr;
        if (!FPages.empty())
            SetActivePageIndex(std::min(index, PageCount() - 1));
    }
    RebuildTabs();
}

// ---------------------------------------------------------------------------------------------
// TListColumn, TListColumns, TListItem, TListItems, TCustomListView

IMPLEMENT_CLASS(TListColumn)

void TListColumn::Publish(TClassBuilder<TListColumn>& b)
{
    b.Property("Caption", &TListColumn::Caption, &TListColumn::SetCaption)
        .Property("Width", &TListColumn::Width, &TListColumn::SetWidth)
        .Property("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment);
}

TListColumn::TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}
TListColumn::~TListColumn() = default;

void TListColumn::SetCaption(const std::string& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    Changed(false);
}

void TListColumn::SetWidth(int Value)
{
    if (Value == FWidth)
        return;
    FWidth = Value;
    Changed(false);
}

void TListColumn::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Changed(false);
}

IMPLEMENT_CLASS_EMPTY(TListColumns)

TListColumns::TListColumns(TCustomListView* AOwner)
    : TOwnedCollection(AOwner, TListColumn::StaticClass()), FListView(AOwner)
{
}

void TListColumns::Update(TCollectionItem*)
{
    FListView->UpdateColumns();
}

TListItem::TListItem(TListItems* Owner) : FOwner(Owner), FSubItems(std::make_unique<TStringList>())
{
    FSubItems->SetOnChange(BindMethod<&TListItem::SubItemsChanged>(this));
}

TListItem::~TListItem()
{
    FSubItems->SetOnChange(TNotifyEvent());
}

int TListItem::Index() const
{
    const auto& items = FOwner->FItems;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == this)
            return static_cast<int>(i);
    return -1;
}

void TListItem::SetCaption(const std::string& Value)
{
    FCaption = Value;
    FOwner->Owner()->UpdateItem(Index());
}

void TListItem::SubItemsChanged(TObject*)
{
    FOwner->Owner()->UpdateItem(Index());
}

TListItems::~TListItems() = default;

TListItem* TListItems::Add()
{
    FItems.push_back(std::make_unique<TListItem>(this));
    TListItem* item = FItems.back().get();
    if (FOwner->HandleAllocated()) {
        LVITEMA native{};
        native.mask = LVIF_TEXT;
        native.iItem = Count() - 1;
        native.pszText = const_cast<char*>("");
        SendMessageA(FOwner->Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&native));
    }
    return item;
}

void TListItems::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    FItems.erase(FItems.begin() + Index);
    if (FOwner->HandleAllocated())
        SendMessageA(FOwner->Handle(), LVM_DELETEITEM, static_cast<WPARAM>(Index), 0);
}

void TListItems::Clear()
{
    FItems.clear();
    if (FOwner->HandleAllocated())
        SendMessageA(FOwner->Handle(), LVM_DELETEALLITEMS, 0, 0);
}

IMPLEMENT_CLASS(TCustomListView)

void TCustomListView::Publish(TClassBuilder<TCustomListView>& b)
{
    b.Property("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle)
        .Property("Columns", &TCustomListView::Columns, &TCustomListView::SetColumns);
}

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FColumns(std::make_unique<TListColumns>(this)),
      FItems(std::make_unique<TListItems>(this))
{
    SetControlStyle(TControlStyle{csOpaque});
    FTabStop = true;
    FColor = clWindow;
    SetBounds(FLeft, FTop, 250, 150);
}

TCustomListView::~TCustomListView()
{
    // The items go before the window: nothing may reach the window while they are freed.
    DestroyHandle();
    FItems.reset();
}

void TCustomListView::CreateParams(TCreateParams& Params)
{
    NeedCommonControls(ICC_LISTVIEW_CLASSES);
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_LISTVIEWA);
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    Params.Style |= LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    switch (FViewStyle) {
    case vsIcon:
        Params.Style |= LVS_ICON;
        break;
    case vsSmallIcon:
        Params.Style |= LVS_SMALLICON;
        break;
    case vsList:
        Params.Style |= LVS_LIST;
        break;
    case vsReport:
        Params.Style |= LVS_REPORT;
        break;
    }
}

void TCustomListView::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(FHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    SendMessageA(FHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    UpdateColumns();
    UpdateItems();
}

void TCustomListView::SetViewStyle(TViewStyle Value)
{
    if (Value == FViewStyle)
        return;
    FViewStyle = Value;
    if (HandleAllocated()) {
        const DWORD style = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
        const DWORD view[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
        SetWindowLongA(FHandle, GWL_STYLE, static_cast<LONG>((style & ~static_cast<DWORD>(LVS_TYPEMASK)) | view[Value]));
        Invalidate();
    }
}

HWND TCustomListView::HeaderHandle()
{
    if (!HandleAllocated())
        return nullptr;
    return reinterpret_cast<HWND>(SendMessageA(FHandle, LVM_GETHEADER, 0, 0));
}

void TCustomListView::UpdateColumns()
{
    if (!HandleAllocated())
        return;
    // Column 0 cannot be aligned otherwise than left by the system; taken as it comes.
    while (SendMessageA(FHandle, LVM_DELETECOLUMN, 0, 0) != 0) {
    }
    for (int i = 0; i < FColumns->Count(); ++i) {
        const TListColumn* column = FColumns->Items(i);
        LVCOLUMNA native{};
        native.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        native.fmt = column->Alignment() == taCenter         ? LVCFMT_CENTER
                     : column->Alignment() == taRightJustify ? LVCFMT_RIGHT
                                                             : LVCFMT_LEFT;
        native.cx = column->Width();
        native.pszText = const_cast<char*>(column->Caption().c_str());
        native.iSubItem = i;
        SendMessageA(FHandle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&native));
    }
}

void TCustomListView::UpdateItems()
{
    if (!HandleAllocated())
        return;
    SendMessageA(FHandle, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < FItems->Count(); ++i) {
        LVITEMA native{};
        native.mask = LVIF_TEXT;
        native.iItem = i;
        native.pszText = const_cast<char*>("");
        SendMessageA(FHandle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&native));
        UpdateItem(i);
    }
}

void TCustomListView::UpdateItem(int Index)
{
    if (!HandleAllocated() || Index < 0 || Index >= FItems->Count())
        return;
    const TListItem* item = FItems->Item(Index);
    auto setText = [&](int SubItem, const std::string& Text) {
        LVITEMA native{};
        native.iSubItem = SubItem;
        native.pszText = const_cast<char*>(Text.c_str());
        SendMessageA(FHandle, LVM_SETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&native));
    };
    setText(0, item->Caption());
    for (int i = 0; i < item->SubItems()->Count(); ++i)
        setText(i + 1, item->SubItems()->Strings(i));
}

void TCustomListView::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_NOTIFY) {
        Message.Result = 0;
        return;
    }
    TWinControl::WndProc(Message);
    if (Message.Msg == CM_COLORCHANGED && HandleAllocated()) {
        SendMessageA(FHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
        SendMessageA(FHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    }
}

IMPLEMENT_CLASS_EMPTY(TListView)

// ---------------------------------------------------------------------------------------------
// TTreeNode, TTreeNodes, TCustomTreeView

TTreeNode::TTreeNode(TTreeNodes* Owner, TTreeNode* Parent, const std::string& Text)
    : FOwner(Owner), FParent(Parent), FText(Text)
{
}

void TTreeNode::SetText(const std::string& Value)
{
    FText = Value;
    if (FItemId != nullptr && FOwner->Owner()->HandleAllocated()) {
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = FItemId;
        item.pszText = const_cast<char*>(FText.c_str());
        SendMessageA(FOwner->Owner()->Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

int TTreeNode::Level() const
{
    int level = 0;
    for (const TTreeNode* p = FParent; p != nullptr; p = p->FParent)
        ++level;
    return level;
}

void TTreeNode::Expand(bool Recurse)
{
    if (FItemId != nullptr && FOwner->Owner()->HandleAllocated())
        SendMessageA(FOwner->Owner()->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(FItemId));
    if (Recurse)
        for (TTreeNode* child : FChildren)
            child->Expand(true);
}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& Text)
{
    return AddChild(Sibling != nullptr ? Sibling->Parent() : nullptr, Text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& Text)
{
    FNodes.push_back(std::make_unique<TTreeNode>(this, Parent, Text));
    TTreeNode* node = FNodes.back().get();
    if (Parent != nullptr)
        Parent->FChildren.push_back(node);
    if (FOwner->HandleAllocated())
        InsertNative(node);
    return node;
}

void TTreeNodes::InsertNative(TTreeNode* Node)
{
    TVINSERTSTRUCTA insert{};
    insert.hParent = Node->FParent != nullptr ? Node->FParent->FItemId : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(Node->FText.c_str());
    Node->FItemId = reinterpret_cast<HTREEITEM>(
        SendMessageA(FOwner->Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TTreeNodes::ForgetNative()
{
    for (auto& node : FNodes)
        node->FItemId = nullptr;
}

void TTreeNodes::Clear()
{
    FNodes.clear();
    if (FOwner->HandleAllocated())
        SendMessageA(FOwner->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

TTreeNode* TTreeNodes::GetFirstNode() const
{
    return FNodes.empty() ? nullptr : FNodes.front().get();
}

IMPLEMENT_CLASS(TCustomTreeView)

void TCustomTreeView::Publish(TClassBuilder<TCustomTreeView>& b)
{
    b.Property("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines)
        .Property("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot)
        .Property("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons);
}

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TTreeNodes>(this))
{
    SetControlStyle(TControlStyle{csOpaque});
    FTabStop = true;
    FColor = clWindow;
    SetBounds(FLeft, FTop, 121, 97);
}

TCustomTreeView::~TCustomTreeView()
{
    DestroyHandle();
    FItems.reset();
}

void TCustomTreeView::CreateParams(TCreateParams& Params)
{
    NeedCommonControls(ICC_TREEVIEW_CLASSES);
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TREEVIEWA);
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    Params.Style |= TVS_SHOWSELALWAYS;
    if (FShowLines)
        Params.Style |= TVS_HASLINES;
    if (FShowRoot)
        Params.Style |= TVS_LINESATROOT;
    if (FShowButtons)
        Params.Style |= TVS_HASBUTTONS;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    // In the order they were added, which puts every parent before its children.
    for (int i = 0; i < FItems->Count(); ++i)
        FItems->InsertNative(FItems->Item(i));
}

void TCustomTreeView::DestroyWnd()
{
    FItems->ForgetNative();
    TWinControl::DestroyWnd();
}

void TCustomTreeView::SetShowLines(bool Value)
{
    if (Value == FShowLines)
        return;
    FShowLines = Value;
    RecreateWnd();
}

void TCustomTreeView::SetShowRoot(bool Value)
{
    if (Value == FShowRoot)
        return;
    FShowRoot = Value;
    RecreateWnd();
}

void TCustomTreeView::SetShowButtons(bool Value)
{
    if (Value == FShowButtons)
        return;
    FShowButtons = Value;
    RecreateWnd();
}

void TCustomTreeView::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_NOTIFY) {
        Message.Result = 0;
        return;
    }
    TWinControl::WndProc(Message);
    if (Message.Msg == CM_COLORCHANGED && HandleAllocated())
        SendMessageA(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
}

IMPLEMENT_CLASS_EMPTY(TTreeView)

// ---------------------------------------------------------------------------------------------
// TDateTimePicker

IMPLEMENT_CLASS(TDateTimePicker)

void TDateTimePicker::Publish(TClassBuilder<TDateTimePicker>& b)
{
    b.Property("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind)
        .Property("DateMode", &TDateTimePicker::DateMode, &TDateTimePicker::SetDateMode)
        .Property("DateFormat", &TDateTimePicker::DateFormat, &TDateTimePicker::SetDateFormat);
}

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csOpaque});
    FTabStop = true;
    FColor = clWindow;
    GetLocalTime(&FDateTime);
    SetBounds(FLeft, FTop, 186, 21);
}

TDateTimePicker::~TDateTimePicker() = default;

void TDateTimePicker::CreateParams(TCreateParams& Params)
{
    NeedCommonControls(ICC_DATE_CLASSES);
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, DATETIMEPICK_CLASSA);
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    if (FKind == dtkTime)
        Params.Style |= DTS_TIMEFORMAT;
    else {
        if (FDateMode == dmUpDown)
            Params.Style |= DTS_UPDOWN;
        if (FDateFormat == dfLong)
            Params.Style |= DTS_LONGDATEFORMAT;
    }
}

void TDateTimePicker::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(FHandle, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&FDateTime));
}

SYSTEMTIME TDateTimePicker::DateTime() const
{
    SYSTEMTIME value = FDateTime;
    if (FHandle != nullptr && SendMessageA(FHandle, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) != GDT_VALID)
        value = FDateTime;
    return value;
}

void TDateTimePicker::SetDateTime(const SYSTEMTIME& Value)
{
    FDateTime = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&FDateTime));
}

void TDateTimePicker::SetKind(TDateTimeKind Value)
{
    if (Value == FKind)
        return;
    FDateTime = DateTime();
    FKind = Value;
    RecreateWnd();
}

void TDateTimePicker::SetDateMode(TDTDateMode Value)
{
    if (Value == FDateMode)
        return;
    FDateTime = DateTime();
    FDateMode = Value;
    RecreateWnd();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat Value)
{
    if (Value == FDateFormat)
        return;
    FDateTime = DateTime();
    FDateFormat = Value;
    RecreateWnd();
}

void TDateTimePicker::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (header != nullptr && header->code == static_cast<UINT>(DTN_DATETIMECHANGE))
            FDateTime = DateTime();
        Message.Result = 0;
        return;
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
