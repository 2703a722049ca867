// Controls over the system's common controls (comctl32).
//
// Each class superclasses a common-control window class the way TButton superclasses BUTTON: the
// window class registered is the framework class name ("TToolBar", "TStatusBar", ...), the native
// procedure paints and behaves, and the notifications the native control sends to its parent come
// back to the control as CN_NOTIFY, CN_HSCROLL and CN_VSCROLL through the framework's reflection.
// The values set before the window exists are kept and given to the window when it is made; the
// values the user can change (positions, the selected tab) are read from the window while it exists.
#pragma once

#include "framework/controls/Controls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/core/Collection.h"
#include "framework/core/Strings.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

// Registers the common controls, the grids and the tab set for form descriptions.
void RegisterCommonControls();

// ---------------------------------------------------------------------------------------------
// Tool bar

// A bar of controls along the top of a form ("ToolbarWindow32"); the controls placed on it are its
// children. Flat gives TBSTYLE_FLAT.
class TToolBar : public TWinControl {
    DECLARE_CLASS(TToolBar, TWinControl)
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;

    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    bool FFlat = false;
};

// ---------------------------------------------------------------------------------------------
// Status bar

PUBLISHED_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised)

class TStatusBar;

class TStatusPanel : public TCollectionItem {
    DECLARE_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* Collection);
    ~TStatusPanel() override;

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    std::string DisplayName() const override { return FText.empty() ? ClassName() : FText; }

private:
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
};

class TStatusPanels : public TOwnedCollection {
    DECLARE_CLASS(TStatusPanels, TOwnedCollection)
public:
    explicit TStatusPanels(TStatusBar* AOwner);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TStatusBar* FStatusBar;
};

// A status line at the bottom of a form ("msctls_statusbar32"): panels side by side, each as wide
// as its Width (the last one takes the rest), or one simple panel with SimpleText.
class TStatusBar : public TWinControl {
    DECLARE_CLASS(TStatusBar, TWinControl)
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const { return FPanels.get(); }
    void SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    // The grip in the bottom right corner (SBARS_SIZEGRIP); on by default.
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);

    // Gives the panels to the window again (parts, texts, bevels).
    void UpdatePanels();
    // The panels' widths scale with the bar.
    void ChangeScale(int M, int D) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;

private:
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
};

// ---------------------------------------------------------------------------------------------
// Progress bar, track bar, up-down

PUBLISHED_ENUM(TProgressBarOrientation, pbHorizontal, pbVertical)
PUBLISHED_ENUM(TTrackBarOrientation, trHorizontal, trVertical)
PUBLISHED_ENUM(TUDOrientation, udVertical, udHorizontal)

class TProgressBar : public TWinControl {
    DECLARE_CLASS(TProgressBar, TWinControl)
public:
    explicit TProgressBar(TComponent* AOwner);
    ~TProgressBar() override;

    int Min() const { return FMin; }
    void SetMin(int Value) { SetRange(Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetRange(FMin, Value); }
    void SetRange(int AMin, int AMax);
    // PBM_GETPOS while the window exists.
    int Position() const;
    void SetPosition(int Value);
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    TProgressBarOrientation FOrientation = pbHorizontal;
};

class TTrackBar : public TWinControl {
    DECLARE_CLASS(TTrackBar, TWinControl)
public:
    explicit TTrackBar(TComponent* AOwner);
    ~TTrackBar() override;

    int Min() const { return FMin; }
    void SetMin(int Value) { SetRange(Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetRange(FMin, Value); }
    void SetRange(int AMin, int AMax);
    // TBM_GETPOS while the window exists.
    int Position() const;
    void SetPosition(int Value);
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value);
    // After the user moved the thumb.
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;

private:
    int FMin = 0;
    int FMax = 10;
    int FPosition = 0;
    TTrackBarOrientation FOrientation = trHorizontal;
    TNotifyEvent FOnChange;
};

// Two arrows that step a position ("msctls_updown32"); with an Associate, the associated window's
// text shows the position.
class TUpDown : public TWinControl {
    DECLARE_CLASS(TUpDown, TWinControl)
public:
    explicit TUpDown(TComponent* AOwner);
    ~TUpDown() override;

    int Min() const { return FMin; }
    void SetMin(int Value) { SetRange(Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetRange(FMin, Value); }
    void SetRange(int AMin, int AMax);
    // UDM_GETPOS32 while the window exists.
    int Position() const;
    void SetPosition(int Value);
    // udHorizontal gives UDS_HORZ.
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    TUDOrientation FOrientation = udVertical;
    TWinControl* FAssociate = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Tab controls

PUBLISHED_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight)

// The common part of tab controls ("SysTabControl32"): the tabs come from TabCaptions, and the
// children aligned to the client share the display area under the tabs (TCM_ADJUSTRECT).
class TCustomTabControl : public TWinControl {
    DECLARE_CLASS(TCustomTabControl, TWinControl)
public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;

    // tpBottom gives TCS_BOTTOM, tpLeft TCS_VERTICAL, tpRight TCS_VERTICAL | TCS_RIGHT.
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    // After the user (or TCM_SETCURFOCUS) selected another tab.
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

    // The area under the tabs, in client coordinates.
    RECT DisplayRect();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void AdjustClientRect(RECT& Rect) override;

    // The captions of the tabs and the tab selected, as the subclass keeps them.
    virtual std::vector<std::string> TabCaptions() const { return {}; }
    virtual int SelectedTab() const { return -1; }
    // The window selected Index; called before OnChange.
    virtual void TabSelected(int) {}
    virtual void Change();
    // Gives the tabs to the window again.
    void RebuildTabs();
    // The selection the window shows (-1 without a window).
    int CurrentSelection() const;
    void SelectTab(int Index);

private:
    TTabPosition FTabPosition = tpTop;
    bool FMultiLine = false;
    TNotifyEvent FOnChange;
};

class TTabControl : public TCustomTabControl {
    DECLARE_CLASS(TTabControl, TCustomTabControl)
public:
    explicit TTabControl(TComponent* AOwner);
    ~TTabControl() override;

    TStrings* Tabs() const { return FTabs.get(); }
    void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
    int TabIndex() const;
    void SetTabIndex(int Value);

protected:
    std::vector<std::string> TabCaptions() const override;
    int SelectedTab() const override { return FTabIndex; }
    void TabSelected(int Index) override { FTabIndex = Index; }

private:
    void TabsChanged(TObject* Sender);
    std::unique_ptr<TStringList> FTabs;
    int FTabIndex = -1;
};

class TPageControl;

// A page of a page control: a plain window control in Color whose Caption is its tab.
class TTabSheet : public TWinControl {
    DECLARE_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // Its place among the page control's pages (-1 when on none).
    int PageIndex() const;
    void SetParent(TWinControl* AParent) override;
    // As the sheet is about to be shown, when another page becomes the active one: what a handler
    // puts on it appears with it (a page may build itself when it is first shown).
    const TNotifyEvent& OnShow() const { return FOnShow; }
    void SetOnShow(TNotifyEvent Value) { FOnShow = Value; }

protected:
    void WndProc(TMessage& Message) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    TNotifyEvent FOnShow;
};

class TPageControl : public TCustomTabControl {
    DECLARE_CLASS(TPageControl, TCustomTabControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(static_cast<size_t>(Index)); }
    // The sheet shown; the others are hidden.
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Value);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);

protected:
    std::vector<std::string> TabCaptions() const override;
    int SelectedTab() const override { return ActivePageIndex(); }
    void TabSelected(int Index) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

// ---------------------------------------------------------------------------------------------
// List view

PUBLISHED_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport)

class TCustomListView;

class TListColumn : public TCollectionItem {
    DECLARE_CLASS(TListColumn, TCollectionItem)
public:
    explicit TListColumn(TCollection* Collection);
    ~TListColumn() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    std::string DisplayName() const override { return FCaption.empty() ? ClassName() : FCaption; }

private:
    std::string FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
};

class TListColumns : public TOwnedCollection {
    DECLARE_CLASS(TListColumns, TOwnedCollection)
public:
    explicit TListColumns(TCustomListView* AOwner);
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
    TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomListView* FListView;
};

class TListItems;

class TListItem : public TObject {
public:
    explicit TListItem(TListItems* Owner);
    ~TListItem() override;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // The texts of the columns after the first; a change shows at once.
    TStrings* SubItems() const { return FSubItems.get(); }
    int Index() const;

private:
    void SubItemsChanged(TObject* Sender);
    TListItems* FOwner;
    std::string FCaption;
    std::unique_ptr<TStringList> FSubItems;
};

class TListItems {
public:
    explicit TListItems(TCustomListView* Owner) : FOwner(Owner) {}
    ~TListItems();
    TListItem* Add();
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TListItem* Item(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    TCustomListView* Owner() const { return FOwner; }

private:
    friend class TListItem;
    std::vector<std::unique_ptr<TListItem>> FItems;
    TCustomListView* FOwner;
};

class TCustomListView : public TWinControl {
    DECLARE_CLASS(TCustomListView, TWinControl)
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;

    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value);
    TListColumns* Columns() const { return FColumns.get(); }
    void SetColumns(TListColumns* Value) { FColumns->Assign(Value); }
    TListItems* Items() const { return FItems.get(); }
    // The header window of the report view (LVM_GETHEADER), nullptr without a window.
    HWND HeaderHandle();

    // Give the columns and the items to the window again.
    void UpdateColumns();
    // The columns' widths scale with the view.
    void ChangeScale(int M, int D) override;
    void UpdateItems();
    void UpdateItem(int Index);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;

private:
    TViewStyle FViewStyle = vsIcon;
    std::unique_ptr<TListColumns> FColumns;
    std::unique_ptr<TListItems> FItems;
};

class TListView : public TCustomListView {
    DECLARE_CLASS(TListView, TCustomListView)
public:
    explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};

// ---------------------------------------------------------------------------------------------
// Tree view

class TTreeNodes;
class TCustomTreeView;

class TTreeNode {
public:
    TTreeNode(TTreeNodes* Owner, TTreeNode* Parent, const std::string& Text);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    TTreeNode* Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FChildren.size()); }
    TTreeNode* Item(int Index) const { return FChildren.at(static_cast<size_t>(Index)); }
    int Level() const;
    // The native item (nullptr without a window).
    HTREEITEM ItemId() const { return FItemId; }
    // Shows the children; also before the tree's window is made, or when it is made again.
    void Expand(bool Recurse);
    bool Expanded() const;

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    TTreeNodes* FOwner;
    TTreeNode* FParent;
    std::string FText;
    std::vector<TTreeNode*> FChildren;
    HTREEITEM FItemId = nullptr;
    bool FExpanded = false; // as last known; the window's state while it has one
};

class TTreeNodes {
public:
    explicit TTreeNodes(TCustomTreeView* Owner) : FOwner(Owner) {}
    ~TTreeNodes();
    // A new last node on Sibling's level (the top level for nullptr).
    TTreeNode* Add(TTreeNode* Sibling, const std::string& Text);
    // A new last child of Parent (a top-level node for nullptr).
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& Text);
    void Clear();
    // Every node, in the order they were added.
    int Count() const { return static_cast<int>(FNodes.size()); }
    TTreeNode* Item(int Index) const { return FNodes.at(static_cast<size_t>(Index)).get(); }
    TTreeNode* GetFirstNode() const;
    TCustomTreeView* Owner() const { return FOwner; }

private:
    friend class TCustomTreeView;
    friend class TTreeNode;
    void InsertNative(TTreeNode* Node);
    void ForgetNative();
    std::vector<std::unique_ptr<TTreeNode>> FNodes;
    TCustomTreeView* FOwner;
};

class TCustomTreeView : public TWinControl {
    DECLARE_CLASS(TCustomTreeView, TWinControl)
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() const { return FItems.get(); }
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;

private:
    // The items' text in the font's colour.
    void SetTextColour();

    std::unique_ptr<TTreeNodes> FItems;
    bool FShowLines = true;
    bool FShowRoot = true;
    bool FShowButtons = true;
};

class TTreeView : public TCustomTreeView {
    DECLARE_CLASS(TTreeView, TCustomTreeView)
public:
    explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

// ---------------------------------------------------------------------------------------------
// Date and time picker

PUBLISHED_ENUM(TDateTimeKind, dtkDate, dtkTime)
PUBLISHED_ENUM(TDTDateMode, dmComboBox, dmUpDown)
PUBLISHED_ENUM(TDTDateFormat, dfShort, dfLong)

// "SysDateTimePick32": a date with a drop-down calendar (dmComboBox) or arrows (dmUpDown, which
// gives DTS_UPDOWN), or a time (always with arrows).
class TDateTimePicker : public TWinControl {
    DECLARE_CLASS(TDateTimePicker, TWinControl)
public:
    explicit TDateTimePicker(TComponent* AOwner);
    ~TDateTimePicker() override;

    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind Value);
    TDTDateMode DateMode() const { return FDateMode; }
    void SetDateMode(TDTDateMode Value);
    TDTDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat Value);
    // The value shown (DTM_GETSYSTEMTIME while the window exists).
    SYSTEMTIME DateTime() const;
    void SetDateTime(const SYSTEMTIME& Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;

private:
    TDateTimeKind FKind = dtkDate;
    TDTDateMode FDateMode = dmComboBox;
    TDTDateFormat FDateFormat = dfShort;
    SYSTEMTIME FDateTime{};
};
