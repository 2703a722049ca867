#include "framework/controls/StdCtrls.h"

#include "framework/controls/Forms.h"
#include "framework/core/Published.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TButtonControl

IMPLEMENT_CLASS_EMPTY(TButtonControl)

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner)
{
    // The native procedure paints the whole button and reports clicks itself (a click of our own
    // on the mouse messages would come on top of BN_CLICKED).
    SetControlStyle(TControlStyle{csOpaque});
}

TButtonControl::~TButtonControl() = default;

void TButtonControl::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    // Buttons hold no children: their windows need not be clipped out.
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
}

// ---------------------------------------------------------------------------------------------
// TButton

IMPLEMENT_CLASS(TButton)

void TButton::Publish(TClassBuilder<TButton>& b)
{
    b.Property("Default", &TButton::Default, &TButton::SetDefault)
        .Property("Cancel", &TButton::Cancel, &TButton::SetCancel)
        .Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    FTabStop = true;
    SetBounds(FLeft, FTop, 75, 25);
}

TButton::~TButton() = default;

DWORD TButton::ButtonStyle() const
{
    return FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    Params.Style |= ButtonStyle();
}

void TButton::SetDefault(bool Value)
{
    if (Value == FDefault)
        return;
    FDefault = Value;
    if (HandleAllocated()) {
        SendMessageA(FHandle, BM_SETSTYLE, ButtonStyle(), TRUE);
        Invalidate();
    }
}

void TButton::Click()
{
    if (FModalResult != 0)
        if (TCustomForm* form = ParentFormOf(this))
            form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND) {
        if (HIWORD(Message.WParam) == BN_CLICKED)
            Click();
        Message.Result = 0;
        return;
    }
    TButtonControl::WndProc(Message);
}

TCustomForm* ParentFormOf(TControl* Control)
{
    for (TControl* c = Control; c != nullptr; c = c->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            return form;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------

namespace {

// The window text of a live window.
std::string WindowText(HWND Window)
{
    const int length = GetWindowTextLengthA(Window);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(Window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

// Fills a list or combo box with Items and selects Index (-1 or out of range: nothing).
void FillList(HWND Window, const TStrings& Items, int Index, UINT Reset, UINT AddString, UINT SetSel)
{
    SendMessageA(Window, WM_SETREDRAW, FALSE, 0);
    SendMessageA(Window, Reset, 0, 0);
    for (int i = 0; i < Items.Count(); ++i) {
        const std::string line = Items.Strings(i);
        SendMessageA(Window, AddString, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SendMessageA(Window, SetSel, static_cast<WPARAM>(Index >= 0 && Index < Items.Count() ? Index : -1), 0);
    SendMessageA(Window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Window, nullptr, TRUE);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCustomCheckBox, TCheckBox

IMPLEMENT_CLASS_EMPTY(TCustomCheckBox)

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner)
{
    FTabStop = true;
    FParentColor = true;
    SetBounds(FLeft, FTop, 97, 17);
}

TCustomCheckBox::~TCustomCheckBox() = default;

void TCustomCheckBox::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    Params.Style |= FAllowGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX;
    if (FAlignment == taRightJustify)
        Params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateHandleDone()
{
    TButtonControl::CreateHandleDone();
    SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState Value)
{
    if (Value == cbGrayed && !FAllowGrayed)
        Value = cbUnchecked;
    if (Value == FState)
        return;
    FState = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(Value), 0);
    if (!ComponentState().Contains(csLoading))
        Click();
}

void TCustomCheckBox::SetAllowGrayed(bool Value)
{
    if (Value == FAllowGrayed)
        return;
    FAllowGrayed = Value;
    if (!Value && FState == cbGrayed)
        FState = cbUnchecked;
    RecreateWnd();
}

void TCustomCheckBox::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomCheckBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case BM_SETCHECK:
        // From us, from the native click or from anyone else: the state follows the window.
        FState = Message.WParam == BST_CHECKED         ? cbChecked
                 : Message.WParam == BST_INDETERMINATE ? (FAllowGrayed ? cbGrayed : cbUnchecked)
                                                       : cbUnchecked;
        break;
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == BN_CLICKED) {
            const LRESULT check = SendMessageA(FHandle, BM_GETCHECK, 0, 0);
            FState = check == BST_CHECKED ? cbChecked : check == BST_INDETERMINATE ? cbGrayed : cbUnchecked;
            Click();
        }
        Message.Result = 0;
        return;
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TButtonControl::WndProc(Message);
}

IMPLEMENT_CLASS(TCheckBox)

void TCheckBox::Publish(TClassBuilder<TCheckBox>& b)
{
    b.Property("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment)
        .Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed)
        .Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked)
        .Property("State", &TCheckBox::State, &TCheckBox::SetState);
}

// ---------------------------------------------------------------------------------------------
// TRadioButton

IMPLEMENT_CLASS(TRadioButton)

void TRadioButton::Publish(TClassBuilder<TRadioButton>& b)
{
    b.Property("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment)
        .Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    FTabStop = true;
    FParentColor = true;
    SetBounds(FLeft, FTop, 113, 17);
}

TRadioButton::~TRadioButton() = default;

void TRadioButton::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    Params.Style |= BS_RADIOBUTTON;
    if (FAlignment == taRightJustify)
        Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateHandleDone()
{
    TButtonControl::CreateHandleDone();
    SendMessageA(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!Value)
        return;
    if (FParent != nullptr)
        for (int i = 0; i < FParent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(FParent->Controls(i)); other != nullptr && other != this)
                other->SetChecked(false);
    if (!ComponentState().Contains(csLoading))
        Click();
}

void TRadioButton::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    RecreateWnd();
}

void TRadioButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case BM_SETCHECK:
        FChecked = Message.WParam == BST_CHECKED;
        break;
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == BN_CLICKED || HIWORD(Message.WParam) == BN_DOUBLECLICKED)
            SetChecked(true);
        Message.Result = 0;
        return;
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TButtonControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TCustomGroupBox, TGroupBox

IMPLEMENT_CLASS_EMPTY(TCustomGroupBox)

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TButtonControl(AOwner)
{
    // Not opaque: the native frame leaves the face to the background, which is Color.
    SetControlStyle(TControlStyle{csAcceptsControls});
    FParentColor = true;
    SetBounds(FLeft, FTop, 185, 105);
}

TCustomGroupBox::~TCustomGroupBox() = default;

void TCustomGroupBox::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    Params.Style |= BS_GROUPBOX | WS_CLIPCHILDREN;
}

void TCustomGroupBox::AdjustClientRect(RECT& Rect)
{
    TButtonControl::AdjustClientRect(Rect);
    int height = 13;
    if (HDC dc = GetDC(nullptr)) {
        const HGDIOBJ old = SelectObject(dc, Font()->Handle());
        TEXTMETRICA metrics{};
        if (GetTextMetricsA(dc, &metrics))
            height = metrics.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    Rect.top += height;
    InflateRect(&Rect, -1, -1);
}

void TCustomGroupBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCHITTEST:
        // The native group box lets the mouse through to what is behind it; as a container it
        // takes it, for the windowless controls on it.
        Message.Result = HTCLIENT;
        return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        Realign();
        break;
    default:
        break;
    }
    TButtonControl::WndProc(Message);
}

IMPLEMENT_CLASS_EMPTY(TGroupBox)

// ---------------------------------------------------------------------------------------------
// TCustomEdit, TEdit

IMPLEMENT_CLASS_EMPTY(TCustomEdit)

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{});
    FTabStop = true;
    FColor = clWindow;
    SetBounds(FLeft, FTop, 121, 21);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    Params.Style |= ES_AUTOHSCROLL;
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateHandleDone()
{
    TWinControl::CreateHandleDone();
    if (FMaxLength > 0)
        SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

std::string TCustomEdit::Text()
{
    if (HandleAllocated())
        FCaption = WindowText(FHandle);
    return FCaption;
}

void TCustomEdit::SetReadOnly(bool Value)
{
    if (Value == FReadOnly)
        return;
    FReadOnly = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, EM_SETREADONLY, Value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetMaxLength(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FMaxLength)
        return;
    FMaxLength = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::Change()
{
    if (FOnChange)
        FOnChange(this);
}

void TCustomEdit::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND) {
        if (HIWORD(Message.WParam) == EN_CHANGE) {
            FCaption = WindowText(FHandle);
            Change();
        }
        Message.Result = 0;
        return;
    }
    TWinControl::WndProc(Message);
}

IMPLEMENT_CLASS(TEdit)

void TEdit::Publish(TClassBuilder<TEdit>& b)
{
    b.Property("Text", &TEdit::Text, &TEdit::SetText)
        .Property("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly)
        .Property("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength)
        .Property("OnChange", &TEdit::OnChange, &TEdit::SetOnChange);
}

// ---------------------------------------------------------------------------------------------
// TCustomMemo, TMemo

IMPLEMENT_CLASS_EMPTY(TCustomMemo)

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TStringList>())
{
    FLines->SetOnChange(BindMethod<&TCustomMemo::LinesChanged>(this));
    SetBounds(FLeft, FTop, 185, 89);
}

TCustomMemo::~TCustomMemo()
{
    FLines->SetOnChange(TNotifyEvent());
}

std::string TCustomMemo::LinesText() const
{
    std::string text = FLines->Text();
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
        text.resize(text.size() - 2);
    return text;
}

void TCustomMemo::LinesChanged(TObject*)
{
    if (FSyncing)
        return;
    FSyncing = true;
    try {
        SetCaption(LinesText());
    } catch (...) {
        FSyncing = false;
        throw;
    }
    FSyncing = false;
}

void TCustomMemo::Change()
{
    if (!FSyncing) {
        FSyncing = true;
        try {
            FLines->SetText(FCaption);
        } catch (...) {
            FSyncing = false;
            throw;
        }
        FSyncing = false;
    }
    TCustomEdit::Change();
}

void TCustomMemo::WndProc(TMessage& Message)
{
    TCustomEdit::WndProc(Message);
    // A multi-line edit tells nothing of a WM_SETTEXT: the lines follow the new caption here.
    if (Message.Msg == CM_TEXTCHANGED && !FSyncing) {
        FSyncing = true;
        try {
            FLines->SetText(FCaption);
        } catch (...) {
            FSyncing = false;
            throw;
        }
        FSyncing = false;
    }
}

void TCustomMemo::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    Params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (!FWordWrap)
        Params.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth)
        Params.Style |= WS_HSCROLL;
    if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth)
        Params.Style |= WS_VSCROLL;
}

void TCustomMemo::SetScrollBars(TScrollStyle Value)
{
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    RecreateWnd();
}

IMPLEMENT_CLASS(TMemo)

void TMemo::Publish(TClassBuilder<TMemo>& b)
{
    b.Property("Lines", &TMemo::Lines, &TMemo::SetLines)
        .Property("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars)
        .Property("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap)
        .Property("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly)
        .Property("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength)
        .Property("OnChange", &TMemo::OnChange, &TMemo::SetOnChange);
}

// ---------------------------------------------------------------------------------------------
// TCustomComboBox, TComboBox

IMPLEMENT_CLASS_EMPTY(TCustomComboBox)

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TStringList>())
{
    SetControlStyle(TControlStyle{});
    FTabStop = true;
    FColor = clWindow;
    FItems->SetOnChange(BindMethod<&TCustomComboBox::ItemsChanged>(this));
    SetBounds(FLeft, FTop, 145, 21);
}

TCustomComboBox::~TCustomComboBox()
{
    FItems->SetOnChange(TNotifyEvent());
}

void TCustomComboBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "COMBOBOX");
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    switch (FStyle) {
    case csDropDown:
        Params.Style |= CBS_DROPDOWN;
        break;
    case csSimple:
        Params.Style |= CBS_SIMPLE;
        break;
    case csDropDownList:
        Params.Style |= CBS_DROPDOWNLIST;
        break;
    }
    // For the drop-down styles the height made with is the height of the open list.
    if (FStyle != csSimple)
        Params.Height = FHeight + std::max(FDropDownCount, 1) * 16 + 2;
}

void TCustomComboBox::CreateHandleDone()
{
    const std::string text = FCaption;
    TWinControl::CreateHandleDone();
    FillList(FHandle, *FItems, FItemIndex, CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL);
    if (FItemIndex < 0 && FStyle != csDropDownList && !text.empty())
        SetWindowTextA(FHandle, text.c_str());
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value)
{
    if (Value == FStyle)
        return;
    FItemIndex = ItemIndex();
    FStyle = Value;
    RecreateWnd();
}

int TCustomComboBox::ItemIndex()
{
    if (HandleAllocated())
        FItemIndex = static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
    return FItemIndex;
}

void TCustomComboBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    FItemIndex = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

std::string TCustomComboBox::Text()
{
    if (HandleAllocated())
        FCaption = WindowText(FHandle);
    return FCaption;
}

void TCustomComboBox::ItemsChanged(TObject*)
{
    if (HandleAllocated()) {
        const int index = ItemIndex();
        FillList(FHandle, *FItems, index, CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL);
        ItemIndex();
    } else if (FItemIndex >= FItems->Count()) {
        FItemIndex = -1;
    }
}

void TCustomComboBox::Change()
{
    if (FOnChange)
        FOnChange(this);
}

void TCustomComboBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND:
        switch (HIWORD(Message.WParam)) {
        case CBN_SELCHANGE:
            FItemIndex = static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
            Change();
            break;
        case CBN_EDITCHANGE:
            Change();
            break;
        default:
            break;
        }
        Message.Result = 0;
        return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        // From the combo box's own edit and list: they show the combo box's colours.
        Message.Result = Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
        return;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

IMPLEMENT_CLASS(TComboBox)

void TComboBox::Publish(TClassBuilder<TComboBox>& b)
{
    b.Property("Style", &TComboBox::Style, &TComboBox::SetStyle)
        .Property("Items", &TComboBox::Items, &TComboBox::SetItems)
        .Property("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex)
        .Property("Text", &TComboBox::Text, &TComboBox::SetText)
        .Property("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount)
        .Property("OnChange", &TComboBox::OnChange, &TComboBox::SetOnChange);
}

// ---------------------------------------------------------------------------------------------
// TCustomListBox, TListBox

IMPLEMENT_CLASS_EMPTY(TCustomListBox)

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TStringList>())
{
    SetControlStyle(TControlStyle{});
    FTabStop = true;
    FColor = clWindow;
    FItems->SetOnChange(BindMethod<&TCustomListBox::ItemsChanged>(this));
    SetBounds(FLeft, FTop, 121, 97);
}

TCustomListBox::~TCustomListBox()
{
    FItems->SetOnChange(TNotifyEvent());
}

void TCustomListBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    Params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateHandleDone()
{
    TWinControl::CreateHandleDone();
    FillList(FHandle, *FItems, FItemIndex, LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL);
}

int TCustomListBox::ItemIndex()
{
    if (HandleAllocated())
        FItemIndex = static_cast<int>(SendMessageA(FHandle, LB_GETCURSEL, 0, 0));
    return FItemIndex;
}

void TCustomListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    FItemIndex = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomListBox::ItemsChanged(TObject*)
{
    if (HandleAllocated()) {
        const int index = ItemIndex();
        FillList(FHandle, *FItems, index, LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL);
        ItemIndex();
    } else if (FItemIndex >= FItems->Count()) {
        FItemIndex = -1;
    }
}

void TCustomListBox::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND) {
        if (HIWORD(Message.WParam) == LBN_SELCHANGE) {
            FItemIndex = static_cast<int>(SendMessageA(FHandle, LB_GETCURSEL, 0, 0));
            Click();
        }
        Message.Result = 0;
        return;
    }
    TWinControl::WndProc(Message);
}

IMPLEMENT_CLASS(TListBox)

void TListBox::Publish(TClassBuilder<TListBox>& b)
{
    b.Property("Items", &TListBox::Items, &TListBox::SetItems)
        .Property("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex)
        .Property("Sorted", &TListBox::Sorted, &TListBox::SetSorted);
}

// ---------------------------------------------------------------------------------------------
// TScrollBar

IMPLEMENT_CLASS(TScrollBar)

void TScrollBar::Publish(TClassBuilder<TScrollBar>& b)
{
    b.Property("Kind", &TScrollBar::Kind, &TScrollBar::SetKind)
        .Property("Min", &TScrollBar::Min, &TScrollBar::SetMin)
        .Property("Max", &TScrollBar::Max, &TScrollBar::SetMax)
        .Property("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize)
        .Property("Position", &TScrollBar::Position, &TScrollBar::SetPosition)
        .Property("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange)
        .Property("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange)
        .Property("OnChange", &TScrollBar::OnChange, &TScrollBar::SetOnChange)
        .Property("OnScroll", &TScrollBar::OnScroll, &TScrollBar::SetOnScroll);
}

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csOpaque});
    FTabStop = true;
    SetBounds(FLeft, FTop, 121, GetSystemMetrics(SM_CYHSCROLL));
}

TScrollBar::~TScrollBar() = default;

void TScrollBar::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "SCROLLBAR");
    Params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    Params.Style |= FKind == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TScrollBar::CreateHandleDone()
{
    TWinControl::CreateHandleDone();
    UpdateScrollInfo();
}

void TScrollBar::SetKind(TScrollBarKind Value)
{
    if (Value == FKind)
        return;
    FKind = Value;
    if (!ComponentState().Contains(csLoading))
        SetBounds(FLeft, FTop, FHeight, FWidth);
    RecreateWnd();
}

int TScrollBar::MaxPosition() const
{
    return FPageSize > 0 ? std::max(FMax - FPageSize + 1, FMin) : FMax;
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    AMax = std::max(AMax, AMin);
    FMin = AMin;
    FMax = AMax;
    FPageSize = std::min(FPageSize, FMax - FMin + 1);
    APosition = std::clamp(APosition, FMin, MaxPosition());
    const bool changed = APosition != FPosition;
    FPosition = APosition;
    UpdateScrollInfo();
    if (changed)
        Change();
}

void TScrollBar::SetPageSize(int Value)
{
    FPageSize = std::clamp(Value, 0, FMax - FMin + 1);
    SetParams(FPosition, FMin, FMax);
}

void TScrollBar::UpdateScrollInfo()
{
    if (!HandleAllocated())
        return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = FMin;
    info.nMax = FMax;
    info.nPage = static_cast<UINT>(FPageSize);
    info.nPos = FPosition;
    SetScrollInfo(FHandle, SB_CTL, &info, TRUE);
}

void TScrollBar::Change()
{
    if (FOnChange)
        FOnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos)
{
    if (FOnScroll)
        FOnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
        const int code = LOWORD(Message.WParam);
        int position = FPosition;
        switch (code) {
        case SB_LINEUP:
            position -= FSmallChange;
            break;
        case SB_LINEDOWN:
            position += FSmallChange;
            break;
        case SB_PAGEUP:
            position -= FLargeChange;
            break;
        case SB_PAGEDOWN:
            position += FLargeChange;
            break;
        case SB_THUMBPOSITION:
            position = HIWORD(Message.WParam);
            break;
        case SB_THUMBTRACK: {
            // While dragging, the 32-bit track position; the message carries only 16 bits of it.
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            position = HIWORD(Message.WParam);
            if (HandleAllocated() && GetScrollInfo(FHandle, SB_CTL, &info) && GetCapture() == FHandle)
                position = info.nTrackPos;
            break;
        }
        case SB_TOP:
            position = FMin;
            break;
        case SB_BOTTOM:
            position = MaxPosition();
            break;
        default:
            break;
        }
        if (code >= SB_LINEUP && code <= SB_ENDSCROLL) {
            Scroll(static_cast<TScrollCode>(code), position);
            SetPosition(position);
        }
        Message.Result = 0;
        return;
    }
    TWinControl::WndProc(Message);
}
