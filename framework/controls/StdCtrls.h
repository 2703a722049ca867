// The standard controls over system window classes.
//
// TButtonControl is the common base of controls made from BUTTON windows: the native procedure
// paints them and reports clicks to the parent, which reflects them back as CN_COMMAND. TButton is
// the push button: a click runs OnClick and, with a ModalResult, sets the form's. Check boxes,
// radio buttons and group boxes are BUTTON windows too; edits and memos are EDIT windows, combo
// boxes COMBOBOX, list boxes LISTBOX and scroll bars SCROLLBAR windows. Each keeps its state in
// step with its window both ways: set through the control or by a message to the window (a click,
// BM_SETCHECK, typing), the control reads the same. Their colours come from the reflected
// WM_CTLCOLOR* answers of TWinControl: a brush of Color, the text in the font's colour.
#pragma once

#include "framework/controls/Controls.h"
#include "framework/core/Strings.h"

#include <memory>
#include <string>

class TCustomForm;

PUBLISHED_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
PUBLISHED_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
PUBLISHED_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList)
PUBLISHED_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
// The SB_ codes in the same order: SB_LINEUP is scLineUp, SB_ENDSCROLL scEndScroll.
PUBLISHED_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
               scEndScroll)
// Scoped, because ssNone is taken by the skin form's states.
enum class TScrollStyle : int { ssNone, ssHorizontal, ssVertical, ssBoth };
ENUM_TYPEINFO(TScrollStyle, "ssNone, ssHorizontal, ssVertical, ssBoth")

// Code is what happened, ScrollPos the position it leads to; the handler may change it.
using TScrollEvent = TEvent<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TButtonControl : public TWinControl {
    DECLARE_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* AOwner);
    ~TButtonControl() override;

protected:
    void CreateParams(TCreateParams& Params) override;
};

class TButton : public TButtonControl {
    DECLARE_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);
    ~TButton() override;

    // The default button of its form: drawn with the heavier frame (BS_DEFPUSHBUTTON).
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // The button that Escape stands for on its form (kept for the form to look at).
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Non-zero: a click sets the ModalResult of the form the button is on.
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }

    // Sets the form's ModalResult (when the button has one), then runs OnClick.
    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    // The BS_ type of the window: push or default push button.
    virtual DWORD ButtonStyle() const;

private:
    bool FDefault = false;
    bool FCancel = false;
    int FModalResult = 0;
};

// A check box: BS_AUTOCHECKBOX (BS_AUTO3STATE with AllowGrayed). Alignment taRightJustify puts
// the box on the right of the caption (BS_LEFTTEXT); taLeftJustify (the default) on its left.
class TCustomCheckBox : public TButtonControl {
    DECLARE_CLASS(TCustomCheckBox, TButtonControl)
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    ~TCustomCheckBox() override;

    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    // A change made through the control runs OnClick (not while the control is being read).
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void WndProc(TMessage& Message) override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taLeftJustify;
};

class TCheckBox : public TCustomCheckBox {
    DECLARE_CLASS(TCheckBox, TCustomCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// A radio button (BS_RADIOBUTTON, checked by the control itself): checking it unchecks the other
// radio buttons of the same parent and runs OnClick; a click checks it.
class TRadioButton : public TButtonControl {
    DECLARE_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);
    ~TRadioButton() override;

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void WndProc(TMessage& Message) override;

private:
    bool FChecked = false;
    TAlignment FAlignment = taLeftJustify;
};

// A group box (BS_GROUPBOX): a frame with the caption in its top edge around child controls,
// which sit in its window. Its face is filled with Color.
class TCustomGroupBox : public TButtonControl {
    DECLARE_CLASS(TCustomGroupBox, TButtonControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    ~TCustomGroupBox() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    // Less the frame and the caption's band at the top.
    void AdjustClientRect(RECT& Rect) override;
};

class TGroupBox : public TCustomGroupBox {
    DECLARE_CLASS(TGroupBox, TCustomGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// An EDIT window with a sunken 3D border (WS_EX_CLIENTEDGE): Text is its window text (read back
// from the window, so typing shows), and EN_CHANGE runs OnChange.
class TCustomEdit : public TWinControl {
    DECLARE_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    std::string Text();
    void SetText(const std::string& Value) { SetCaption(Value); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // 0: no limit of our own.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void WndProc(TMessage& Message) override;
    virtual void Change();

private:
    bool FReadOnly = false;
    int FMaxLength = 0;
    TNotifyEvent FOnChange;
};

class TEdit : public TCustomEdit {
    DECLARE_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// A multi-line edit: Lines is its text a line at a time (changing either shows in the other).
// ScrollBars gives WS_HSCROLL/WS_VSCROLL; WordWrap (on by default) wraps at the right edge
// instead of scrolling sideways. Changing either makes a new window.
class TCustomMemo : public TCustomEdit {
    DECLARE_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void Change() override;

private:
    void LinesChanged(TObject* Sender);
    // The window text for Lines: the lines with CR LF between them.
    std::string LinesText() const;

    std::unique_ptr<TStringList> FLines;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
    bool FWordWrap = true;
    bool FSyncing = false;
};

class TMemo : public TCustomMemo {
    DECLARE_CLASS(TMemo, TCustomMemo)
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// A COMBOBOX window: Items are its list, ItemIndex the selected one (-1: none), Text the text of
// its edit (of the selected item for csDropDownList). A changed selection or typed text runs
// OnChange.
class TCustomComboBox : public TWinControl {
    DECLARE_CLASS(TCustomComboBox, TWinControl)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex();
    void SetItemIndex(int Value);
    std::string Text();
    void SetText(const std::string& Value) { SetCaption(Value); }
    // How many items the drop-down list shows.
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void WndProc(TMessage& Message) override;
    virtual void Change();

private:
    void ItemsChanged(TObject* Sender);

    std::unique_ptr<TStringList> FItems;
    TComboBoxStyle FStyle = csDropDown;
    int FItemIndex = -1;
    int FDropDownCount = 8;
    TNotifyEvent FOnChange;
};

class TComboBox : public TCustomComboBox {
    DECLARE_CLASS(TComboBox, TCustomComboBox)
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// A LISTBOX window with a vertical scroll bar and a sunken border: Items, ItemIndex (-1: none);
// a selection made by the user runs OnClick.
class TCustomListBox : public TWinControl {
    DECLARE_CLASS(TCustomListBox, TWinControl)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex();
    void SetItemIndex(int Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void WndProc(TMessage& Message) override;

private:
    void ItemsChanged(TObject* Sender);

    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
};

class TListBox : public TCustomListBox {
    DECLARE_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// A SCROLLBAR window (its window class is "TScrollBar"). The parent reflects WM_HSCROLL and
// WM_VSCROLL as CN_HSCROLL/CN_VSCROLL; the bar works out the new position (SmallChange for the
// arrows, LargeChange for the track, the thumb's position), runs OnScroll, then moves there.
// With PageSize the highest position is Max - PageSize + 1. A position change runs OnChange.
class TScrollBar : public TWinControl {
    DECLARE_CLASS(TScrollBar, TWinControl)
public:
    explicit TScrollBar(TComponent* AOwner);
    ~TScrollBar() override;

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value) { FSmallChange = Value; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value) { FLargeChange = Value; }
    // All three at once; the position is kept in range.
    void SetParams(int APosition, int AMin, int AMax);

    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }
    const TScrollEvent& OnScroll() const { return FOnScroll; }
    void SetOnScroll(TScrollEvent Value) { FOnScroll = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void WndProc(TMessage& Message) override;
    virtual void Change();
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);

private:
    int MaxPosition() const;
    void UpdateScrollInfo();

    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FPageSize = 0;
    int FSmallChange = 1;
    int FLargeChange = 1;
    TNotifyEvent FOnChange;
    TScrollEvent FOnScroll;
};

// The form Control is on: the nearest parent that is a form, or nullptr.
TCustomForm* ParentFormOf(TControl* Control);
