// The list view, the tree view and the date-time picker.
#include "framework/controls/ComCtrls.h"
#include "framework/controls/CommonControls.h"
#include "framework/core/Published.h"

#include <algorithm>

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
    SendMessageA(FHandle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FFont->Color())));
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

void TCustomListView::ChangeScale(int M, int D)
{
    TWinControl::ChangeScale(M, D);
    if (M == D || M <= 0 || D <= 0)
        return;
    for (int i = 0; i < FColumns->Count(); ++i)
        FColumns->Items(i)->SetWidth(MulDiv(FColumns->Items(i)->Width(), M, D));
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
    // The list paints only its items: its own erase gives the rest of the client (the margin
    // beside them, the room below them) its background colour.
    if (Message.Msg == WM_ERASEBKGND) {
        DefaultHandler(Message);
        return;
    }
    TWinControl::WndProc(Message);
    if (Message.Msg == CM_COLORCHANGED && HandleAllocated()) {
        SendMessageA(FHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
        SendMessageA(FHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    }
    if (Message.Msg == CM_FONTCHANGED && HandleAllocated()) {
        SendMessageA(FHandle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FFont->Color())));
        InvalidateRect(FHandle, nullptr, TRUE);
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
    FExpanded = true;
    if (FItemId != nullptr && FOwner->Owner()->HandleAllocated())
        SendMessageA(FOwner->Owner()->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(FItemId));
    if (Recurse)
        for (TTreeNode* child : FChildren)
            child->Expand(true);
}

bool TTreeNode::Expanded() const
{
    if (FItemId == nullptr || !FOwner->Owner()->HandleAllocated())
        return FExpanded;
    return (SendMessageA(FOwner->Owner()->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FItemId),
                         TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
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
    // What the user opened and closed stays for the next window.
    for (auto& node : FNodes) {
        node->FExpanded = node->Expanded();
        node->FItemId = nullptr;
    }
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
    SetTextColour();
    // In the order they were added, which puts every parent before its children.
    for (int i = 0; i < FItems->Count(); ++i)
        FItems->InsertNative(FItems->Item(i));
    // Then opened, children and all, as they were.
    for (int i = 0; i < FItems->Count(); ++i)
        if (TTreeNode* node = FItems->Item(i); node->FExpanded)
            SendMessageA(FHandle, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node->ItemId()));
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
    // The tree paints only its items: its own erase gives the rest of the client its background
    // colour (the window's class gives none).
    if (Message.Msg == WM_ERASEBKGND) {
        DefaultHandler(Message);
        return;
    }
    TWinControl::WndProc(Message);
    if (Message.Msg == CM_COLORCHANGED && HandleAllocated())
        SendMessageA(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    if (Message.Msg == CM_FONTCHANGED && HandleAllocated())
        SetTextColour();
}

void TCustomTreeView::SetTextColour()
{
    // The platform's own text colour while the font has the default one.
    const COLORREF text = FFont->Color() == clWindowText ? CLR_DEFAULT : ColorToRGB(FFont->Color());
    SendMessageA(FHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    InvalidateRect(FHandle, nullptr, TRUE);
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
