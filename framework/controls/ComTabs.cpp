// The tab control and the page control with its sheets.
#include "framework/controls/ComCtrls.h"
#include "framework/controls/CommonControls.h"
#include "framework/core/Published.h"
#include "framework/graphics/GraphicsObjects.h"

#include <algorithm>

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
    // The control pads its labels by 6 x 3 pixels whatever the screen; on a screen of more dots
    // per inch the padding grows with the text, or the labels touch their tabs' edges.
    if (const int dpi = ScreenPixelsPerInch(); dpi != 96)
        SendMessageA(FHandle, TCM_SETPADDING, 0, MAKELPARAM(MulDiv(6, dpi, 96), MulDiv(3, dpi, 96)));
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
    b.Property("OnShow", &TTabSheet::OnShow, &TTabSheet::SetOnShow);
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
        if (!Value->Visible() && Value->FOnShow)
            Value->FOnShow(Value);
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
        // Not while the form goes: no page is shown (nor built by its OnShow) on the way out.
        if (!FPages.empty() && !ComponentState().Contains(csDestroying))
            SetActivePageIndex(std::min(index, PageCount() - 1));
    }
    RebuildTabs();
}
