// Menu items, menus, actions, short-cut texts, owner drawing and the popup menus' hidden window.
#include "framework/menus/Menus.h"

#include "framework/win/ControlMessages.h"
#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"
#include "framework/graphics/Canvas.h"
#include "framework/graphics/ImageList.h"
#include "framework/win/Callback.h"
#include "framework/win/Handles.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <deque>
#include <functional>
#include <unordered_map>
#include <unordered_set>

namespace {

// ---- Commands and live items --------------------------------------------------------------------

// Commands run from 1 to 0xEFFF before freed ones come back, so that a late WM_COMMAND for a
// freed item is unlikely to reach a new one.
constexpr WORD kLastFreshCommand = 0xEFFF;

struct TItemRegistry {
    std::unordered_map<WORD, TMenuItem*> Commands;
    std::unordered_set<const TMenuItem*> Live;
    std::deque<WORD> Free;
    WORD Next = 1;
};

// Never destroyed: items may outlive the static destructors of this module.
TItemRegistry& Registry()
{
    static TItemRegistry* registry = new TItemRegistry;
    return *registry;
}

WORD AllocateCommand()
{
    TItemRegistry& r = Registry();
    if (r.Next <= kLastFreshCommand)
        return r.Next++;
    if (r.Free.empty())
        throw EMenuError("Out of menu commands");
    const WORD command = r.Free.front();
    r.Free.pop_front();
    return command;
}

TMenuItem* LiveItem(ULONG_PTR data)
{
    auto* item = reinterpret_cast<TMenuItem*>(data);
    if (item == nullptr || Registry().Live.count(item) == 0)
        return nullptr;
    return item;
}

// ---- Short-cut names ----------------------------------------------------------------------------

struct TKeyName {
    WORD Key;
    const char* Name;
};

constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},    {VK_TAB, "Tab"},      {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"},  {VK_PRIOR, "PgUp"},   {VK_NEXT, "PgDn"},    {VK_END, "End"},
    {VK_HOME, "Home"},    {VK_LEFT, "Left"},    {VK_UP, "Up"},        {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},    {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};

std::string KeyName(WORD key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24)
        return "F" + std::to_string(key - VK_F1 + 1);
    for (const TKeyName& k : kKeyNames)
        if (k.Key == key)
            return k.Name;
    return {};
}

WORD KeyFromName(std::string_view name)
{
    if (name.size() == 1) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
            return static_cast<WORD>(c);
    }
    if (name.size() >= 2 && name.size() <= 3 && (name[0] == 'F' || name[0] == 'f')) {
        int n = 0;
        for (size_t i = 1; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9')
                return 0;
            n = n * 10 + (name[i] - '0');
        }
        return n >= 1 && n <= 24 ? static_cast<WORD>(VK_F1 + n - 1) : 0;
    }
    for (const TKeyName& k : kKeyNames)
        if (SameText(name, k.Name))
            return k.Key;
    return 0;
}

// ---- Owner drawing helpers ----------------------------------------------------------------------

constexpr int kGlyphSize = 16;   // the glyph column without images
constexpr int kMargin = 2;       // left of the glyph column
constexpr int kTextGap = 6;      // between glyph column and caption, and after the last text
constexpr int kShortCutGap = 16; // between caption and short-cut
constexpr int kSeparatorHeight = 8;

// Counts the system's settings changes the popup menus' window has heard of.
std::atomic<unsigned> gSettingsChanges{0};

// The system's menu font: read once a thread, and again after the system's settings changed.
// (Reading it costs more than measuring an item with it, and a menu measures and draws each of its
// items every time it opens.)
LOGFONTA MenuLogFont()
{
    thread_local LOGFONTA cached{};
    thread_local unsigned readAt = 0;
    thread_local bool read = false;
    const unsigned changes = gSettingsChanges.load();
    if (read && readAt == changes)
        return cached;
    // The window that hears of the changes, there before the font is kept.
    try {
        PopupListWindow();
    } catch (const EMenuError&) {
    }
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        cached = metrics.lfMenuFont;
        readAt = changes;
        read = true;
        return cached;
    }
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return lf;
}

void SetMenuFont(TCanvas& canvas, bool bold)
{
    LOGFONTA lf = MenuLogFont();
    if (bold)
        lf.lfWeight = FW_BOLD;
    canvas.Font()->SetHandle(CreateFontIndirectA(&lf));
}

int GlyphWidth(TImageList* images) { return std::max(kGlyphSize, images != nullptr ? images->Width() : 0); }

std::string NativeText(const std::string& caption, TShortCut shortCut)
{
    if (shortCut == 0)
        return caption;
    const std::string key = ShortCutToText(shortCut);
    return key.empty() ? caption : caption + "\t" + key;
}

// A check mark or radio bullet in `color`: DrawFrameControl paints the glyph black on white, so it
// goes through a monochrome mask (AND in black, then OR in the colour).
void DrawCheckGlyph(HDC dc, const RECT& r, bool radio, COLORREF color)
{
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return;
    TMemoryDC mask(dc);
    TBitmapHandle bits(CreateBitmap(w, h, 1, 1, nullptr));
    if (!mask || !bits)
        return;
    TSelectObject selected(mask.get(), bits);
    RECT glyph{0, 0, w, h};
    DrawFrameControl(mask.get(), &glyph, DFC_MENU, radio ? DFCS_MENUBULLET : DFCS_MENUCHECK);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, r.left, r.top, w, h, mask.get(), 0, 0, SRCAND);
    SetTextColor(dc, color);
    SetBkColor(dc, RGB(0, 0, 0));
    BitBlt(dc, r.left, r.top, w, h, mask.get(), 0, 0, SRCPAINT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
}

void DefaultDrawItem(TMenuItem& item, TCanvas& canvas, const DRAWITEMSTRUCT& info)
{
    const RECT& r = info.rcItem;
    const bool selected = (info.itemState & ODS_SELECTED) != 0;
    const bool enabled = item.Enabled() && (info.itemState & (ODS_DISABLED | ODS_GRAYED)) == 0;
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(selected ? clHighlight : clMenu);
    canvas.FillRect(r);

    if (item.Caption() == "-") {
        RECT line = r;
        line.top = (r.top + r.bottom) / 2 - 1;
        line.bottom = line.top + 2;
        DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
        return;
    }

    TImageList* images = item.GetImageList();
    const int glyphWidth = GlyphWidth(images);
    const int glyphLeft = r.left + kMargin;
    const int height = r.bottom - r.top;
    const TColor textColor = !enabled ? clGrayText : selected ? clHighlightText : clMenuText;

    if (images != nullptr && item.ImageIndex() >= 0 && item.ImageIndex() < images->Count()) {
        images->Draw(canvas, glyphLeft + (glyphWidth - images->Width()) / 2, r.top + (height - images->Height()) / 2,
                     item.ImageIndex(), enabled);
    } else if (item.Checked()) {
        const int size = std::min(kGlyphSize, height);
        RECT glyph;
        glyph.left = glyphLeft + (glyphWidth - size) / 2;
        glyph.top = r.top + (height - size) / 2;
        glyph.right = glyph.left + size;
        glyph.bottom = glyph.top + size;
        DrawCheckGlyph(canvas.Handle(), glyph, item.RadioItem(), ColorToRGB(textColor));
    }

    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetColor(textColor);
    const UINT prefix = (info.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
    RECT text{glyphLeft + glyphWidth + kTextGap, r.top, r.right - kTextGap, r.bottom};
    canvas.DrawText(item.Caption(), text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | prefix);
    if (item.ShortCut() != 0) {
        RECT key{glyphLeft + glyphWidth + kTextGap, r.top, r.right - kTextGap, r.bottom};
        canvas.DrawText(ShortCutToText(item.ShortCut()), key, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
}

// ---- The popup menus' window --------------------------------------------------------------------

constexpr const char* kPopupListClass = "TPopupList";
thread_local HWND gPopupList = nullptr; // a popup's owner is a window of the tracking thread

LRESULT CALLBACK PopupListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (msg) {
        case WM_SETTINGCHANGE:
            ++gSettingsChanges;
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && MenuDispatchCommand(LOWORD(wParam)))
                return 0;
            break;
        case WM_INITMENUPOPUP:
            if (MenuInitPopup(reinterpret_cast<HMENU>(wParam)))
                return 0;
            break;
        case WM_MEASUREITEM: {
            auto* info = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (info != nullptr && info->CtlType == ODT_MENU && MenuMeasureItem(*info))
                return TRUE;
            break;
        }
        case WM_DRAWITEM: {
            const auto* info = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (info != nullptr && info->CtlType == ODT_MENU && MenuDrawItem(*info))
                return TRUE;
            break;
        }
        default:
            break;
        }
        return DefWindowProcA(wnd, msg, wParam, lParam);
    } catch (...) {
        HandleCallbackException();
    }
    return 0;
}

} // namespace

// ---- Short-cuts ---------------------------------------------------------------------------------

std::string StripHotkey(const std::string& Caption)
{
    std::string out;
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&') {
            if (i + 1 < Caption.size() && Caption[i + 1] == '&')
                out += Caption[++i];
            continue;
        }
        out += Caption[i];
    }
    return out;
}

char GetHotkey(const std::string& Caption)
{
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] != '&')
            return static_cast<char>(std::tolower(static_cast<unsigned char>(Caption[i + 1])));
        ++i;
    }
    return 0;
}

TShortCut ShortCut(WORD Key, bool Shift, bool Ctrl, bool Alt)
{
    if ((Key & 0xFF00) != 0)
        return 0;
    TShortCut result = static_cast<TShortCut>(Key);
    if (Shift)
        result |= scShift;
    if (Ctrl)
        result |= scCtrl;
    if (Alt)
        result |= scAlt;
    return result;
}

std::string ShortCutToText(TShortCut Value)
{
    const std::string key = KeyName(static_cast<WORD>(Value & 0xFF));
    if (key.empty())
        return {};
    std::string text;
    if (Value & scShift)
        text += "Shift+";
    if (Value & scCtrl)
        text += "Ctrl+";
    if (Value & scAlt)
        text += "Alt+";
    return text + key;
}

TShortCut TextToShortCut(const std::string& Text)
{
    std::string_view rest = Text;
    TShortCut modifiers = 0;
    for (;;) {
        const size_t plus = rest.find('+');
        if (plus == std::string_view::npos || plus + 1 == rest.size())
            break;
        const std::string_view word = rest.substr(0, plus);
        if (SameText(word, "Shift"))
            modifiers |= scShift;
        else if (SameText(word, "Ctrl"))
            modifiers |= scCtrl;
        else if (SameText(word, "Alt"))
            modifiers |= scAlt;
        else
            return 0;
        rest = rest.substr(plus + 1);
    }
    const WORD key = KeyFromName(rest);
    return key != 0 ? static_cast<TShortCut>(key | modifiers) : 0;
}

// ---- TBasicAction -------------------------------------------------------------------------------

IMPLEMENT_CLASS(TBasicAction)

void TBasicAction::Publish(TClassBuilder<TBasicAction>& b)
{
    b.Property("OnExecute", &TBasicAction::OnExecute, &TBasicAction::SetOnExecute)
        .Property("OnUpdate", &TBasicAction::OnUpdate, &TBasicAction::SetOnUpdate);
}

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

bool TBasicAction::Execute()
{
    if (!FOnExecute)
        return false;
    FOnExecute(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!FOnUpdate)
        return false;
    FOnUpdate(this);
    return true;
}

// ---- TAction ------------------------------------------------------------------------------------

IMPLEMENT_CLASS(TAction)

void TAction::Publish(TClassBuilder<TAction>& b)
{
    b.Property("Caption", &TAction::Caption, &TAction::SetCaption)
        .Property("Checked", &TAction::Checked, &TAction::SetChecked)
        .Property("Enabled", &TAction::Enabled, &TAction::SetEnabled)
        .Property("ImageIndex", &TAction::ImageIndex, &TAction::SetImageIndex)
        .Property("ShortCut", &TAction::ShortCut, &TAction::SetShortCut)
        .Property("Visible", &TAction::Visible, &TAction::SetVisible);
}

TAction::TAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TAction::~TAction()
{
    for (TMenuItem* client : FClients)
        client->FAction = nullptr;
    FClients.clear();
}

void TAction::Change()
{
    // A client may drop the link while being told.
    const std::vector<TMenuItem*> clients = FClients;
    for (TMenuItem* client : clients)
        if (std::find(FClients.begin(), FClients.end(), client) != FClients.end())
            client->ActionChanged();
}

void TAction::SetCaption(const std::string& Value)
{
    if (Value != FCaption) {
        FCaption = Value;
        Change();
    }
}

void TAction::SetEnabled(bool Value)
{
    if (Value != FEnabled) {
        FEnabled = Value;
        Change();
    }
}

void TAction::SetChecked(bool Value)
{
    if (Value != FChecked) {
        FChecked = Value;
        Change();
    }
}

void TAction::SetShortCut(TShortCut Value)
{
    if (Value != FShortCut) {
        FShortCut = Value;
        Change();
    }
}

void TAction::SetImageIndex(int Value)
{
    if (Value != FImageIndex) {
        FImageIndex = Value;
        Change();
    }
}

void TAction::SetVisible(bool Value)
{
    if (Value != FVisible) {
        FVisible = Value;
        Change();
    }
}

// ---- TMenuItem ----------------------------------------------------------------------------------

IMPLEMENT_CLASS(TMenuItem)

void TMenuItem::Publish(TClassBuilder<TMenuItem>& b)
{
    b.Property("Action", &TMenuItem::Action, &TMenuItem::SetAction)
        .Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
        .Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
        .Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
        .Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
        .Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex)
        .Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex)
        .Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
        .Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut)
        .Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
        .Property("OnClick", &TMenuItem::OnClick, &TMenuItem::SetOnClick)
        .Property("OnDrawItem", &TMenuItem::OnDrawItem, &TMenuItem::SetOnDrawItem)
        .Property("OnMeasureItem", &TMenuItem::OnMeasureItem, &TMenuItem::SetOnMeasureItem);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner)
{
    FCommand = AllocateCommand();
    TItemRegistry& r = Registry();
    r.Commands[FCommand] = this;
    r.Live.insert(this);
}

TMenuItem::~TMenuItem()
{
    if (FParent != nullptr)
        FParent->Remove(this); // the parent's native menu lets go of ours
    FDestroying = true;
    while (!FItems.empty()) {
        TMenuItem* child = FItems.back();
        FItems.pop_back();
        child->FParent = nullptr;
        delete child;
    }
    if (auto* action = dynamic_cast<TAction*>(FAction)) {
        auto& clients = action->FClients;
        clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
    }
    FAction = nullptr;
    DestroyHandle();
    TItemRegistry& r = Registry();
    r.Live.erase(this);
    r.Commands.erase(FCommand);
    r.Free.push_back(FCommand);
}

TMenuItem* TMenuItem::Root()
{
    TMenuItem* item = this;
    while (item->FParent != nullptr)
        item = item->FParent;
    return item;
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* item = this;
    while (item->FParent != nullptr)
        item = item->FParent;
    return item->FMenu;
}

TImageList* TMenuItem::GetImageList() const
{
    TMenu* menu = GetParentMenu();
    return menu != nullptr ? menu->Images() : nullptr;
}

bool TMenuItem::IsOwnerDraw() const
{
    TMenu* menu = GetParentMenu();
    return menu != nullptr && menu->OwnerDraw();
}

void TMenuItem::Changed()
{
    if (FDestroying)
        return;
    RebuildTree();
    if (TMenu* menu = GetParentMenu())
        menu->MenuChanged(this);
}

void TMenuItem::SetCaption(const std::string& Value)
{
    if (Value != FCaption) {
        FCaption = Value;
        Changed();
    }
}

void TMenuItem::TurnSiblingsOff()
{
    if (FParent == nullptr || !FRadioItem || !FChecked)
        return;
    for (TMenuItem* sibling : FParent->FItems)
        if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex)
            sibling->FChecked = false;
}

void TMenuItem::SetChecked(bool Value)
{
    if (Value != FChecked) {
        FChecked = Value;
        TurnSiblingsOff();
        Changed();
    }
}

void TMenuItem::SetEnabled(bool Value)
{
    if (Value != FEnabled) {
        FEnabled = Value;
        Changed();
    }
}

void TMenuItem::SetDefault(bool Value)
{
    if (Value != FDefault) {
        FDefault = Value;
        Changed();
    }
}

void TMenuItem::SetVisible(bool Value)
{
    if (Value != FVisible) {
        FVisible = Value;
        Changed();
    }
}

void TMenuItem::SetRadioItem(bool Value)
{
    if (Value != FRadioItem) {
        FRadioItem = Value;
        TurnSiblingsOff();
        Changed();
    }
}

void TMenuItem::SetGroupIndex(int Value)
{
    if (Value != FGroupIndex) {
        FGroupIndex = Value;
        TurnSiblingsOff();
        Changed();
    }
}

void TMenuItem::SetImageIndex(int Value)
{
    if (Value != FImageIndex) {
        FImageIndex = Value;
        Changed();
    }
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    if (Value != FShortCut) {
        FShortCut = Value;
        Changed();
    }
}

void TMenuItem::SetOnDrawItem(TMenuDrawItemEvent Value)
{
    FOnDrawItem = Value;
}

void TMenuItem::SetOnMeasureItem(TMenuMeasureItemEvent Value)
{
    // The size is asked for when the native item is (re)made.
    if (!(Value == FOnMeasureItem)) {
        FOnMeasureItem = Value;
        if (IsOwnerDraw())
            Changed();
    }
}

bool TMenuItem::TakeFromAction()
{
    auto* action = dynamic_cast<TAction*>(FAction);
    if (action == nullptr)
        return false;
    const bool same = FCaption == action->Caption() && FEnabled == action->Enabled() &&
                      FChecked == action->Checked() && FShortCut == action->ShortCut() &&
                      FImageIndex == action->ImageIndex() && FVisible == action->Visible();
    FCaption = action->Caption();
    FEnabled = action->Enabled();
    FChecked = action->Checked();
    FShortCut = action->ShortCut();
    FImageIndex = action->ImageIndex();
    FVisible = action->Visible();
    if (!same)
        TurnSiblingsOff();
    return !same;
}

void TMenuItem::ActionChanged()
{
    if (TakeFromAction())
        Changed();
}

void TMenuItem::SetAction(TBasicAction* Value)
{
    if (Value == FAction)
        return;
    if (FAction != nullptr) {
        if (auto* old = dynamic_cast<TAction*>(FAction)) {
            auto& clients = old->FClients;
            clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
        }
        FAction->RemoveFreeNotification(this);
    }
    FAction = Value;
    if (Value != nullptr) {
        Value->FreeNotification(this);
        if (auto* action = dynamic_cast<TAction*>(Value)) {
            action->FClients.push_back(this);
            if (TakeFromAction())
                Changed();
        }
    }
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == FAction)
        FAction = nullptr;
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EMenuError(Format("Menu index out of range (%d)", Index));
    return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (Item == nullptr)
        throw EMenuError("Cannot insert a nil menu item");
    for (TMenuItem* p = this; p != nullptr; p = p->FParent)
        if (p == Item)
            throw EMenuError("A menu item cannot contain itself");
    if (Item->FMenu != nullptr)
        throw EMenuError("A menu's root item cannot be inserted");
    if (Item->FParent != nullptr)
        Item->FParent->Remove(Item);
    if (Index < 0 || Index > Count())
        throw EMenuError(Format("Menu index out of range (%d)", Index));
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    Item->TurnSiblingsOff();
    Changed();
}

void TMenuItem::Delete(int Index)
{
    TMenuItem* item = Items(Index);
    Remove(item);
    delete item;
}

void TMenuItem::Remove(TMenuItem* Item)
{
    const auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    Item->FParent = nullptr;
    Changed();
    // The item's own tree is detached now: what it had built stays valid on its own.
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const
{
    const std::string wanted = StripHotkey(ACaption);
    for (TMenuItem* item : FItems)
        if (SameText(StripHotkey(item->FCaption), wanted))
            return item;
    return nullptr;
}

HMENU TMenuItem::Handle()
{
    if (FHandle == nullptr) {
        HMENU menu = FMenu != nullptr ? FMenu->CreateMenuHandle() : CreatePopupMenu();
        if (menu == nullptr)
            throw EMenuError("Cannot create a menu");
        FHandle = menu;
        RebuildHandle();
    }
    return FHandle;
}

void TMenuItem::RebuildTree()
{
    Root()->RebuildAllocated();
}

void TMenuItem::RebuildAllocated()
{
    if (FHandle != nullptr)
        RebuildHandle();
    else
        for (TMenuItem* child : FItems)
            child->RebuildAllocated();
}

void TMenuItem::FillNativeItem(MENUITEMINFOA& Info, std::string& Text)
{
    Info = MENUITEMINFOA{};
    Info.cbSize = sizeof(Info);
    Info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU;
    const bool ownerDraw = IsOwnerDraw();
    TMenu* menu = GetParentMenu();
    if (IsSeparator()) {
        Info.fType = MFT_SEPARATOR;
    } else {
        Info.fMask |= MIIM_STRING;
        Text = NativeText(FCaption, FShortCut);
        Info.dwTypeData = Text.data();
        Info.cch = static_cast<UINT>(Text.size());
        if (FRadioItem)
            Info.fType |= MFT_RADIOCHECK;
    }
    if (ownerDraw) {
        Info.fType |= MFT_OWNERDRAW;
        Info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    }
    // An owner-drawn item is drawn right to left by its drawing; the type is left off it, as
    // Wine sends no WM_DRAWITEM for an owner-drawn item of that type.
    if (menu != nullptr && menu->IsRightToLeft() && !ownerDraw)
        Info.fType |= MFT_RIGHTORDER;
    if (FChecked)
        Info.fState |= MFS_CHECKED;
    if (!FEnabled)
        Info.fState |= MFS_DISABLED;
    if (FDefault)
        Info.fState |= MFS_DEFAULT;
    Info.wID = FCommand;
    Info.hSubMenu = !FItems.empty() ? FHandle : nullptr;
}

void TMenuItem::RebuildHandle()
{
    // Sub-menus first, so that every visible item with sub-items has its popup ready.
    for (TMenuItem* child : FItems) {
        if (child->FVisible && !child->FItems.empty() && child->FHandle == nullptr) {
            child->FHandle = CreatePopupMenu();
            if (child->FHandle == nullptr)
                throw EMenuError("Cannot create a menu");
        }
        child->RebuildAllocated();
    }
    // RemoveMenu, not DeleteMenu: the sub-menus stay their items'.
    for (int n = GetMenuItemCount(FHandle); n > 0; --n)
        if (!RemoveMenu(FHandle, 0, MF_BYPOSITION))
            break;
    UINT position = 0;
    for (TMenuItem* child : FItems) {
        if (!child->FVisible)
            continue;
        MENUITEMINFOA info;
        std::string text;
        child->FillNativeItem(info, text);
        if (InsertMenuItemA(FHandle, position, TRUE, &info))
            ++position;
    }
}

void TMenuItem::DestroyHandle() noexcept
{
    if (FHandle == nullptr)
        return;
    // A window destroyed with the menu still set has destroyed it already.
    if (!IsMenu(FHandle)) {
        FHandle = nullptr;
        return;
    }
    for (int n = GetMenuItemCount(FHandle); n > 0; --n)
        if (!RemoveMenu(FHandle, 0, MF_BYPOSITION))
            break;
    DestroyMenu(FHandle);
    FHandle = nullptr;
}

void TMenuItem::Click()
{
    if (FAction != nullptr && FAction->OnExecute())
        FAction->Execute();
    else if (FOnClick)
        FOnClick(this);
}

void TMenuItem::UpdateFromAction()
{
    if (FAction == nullptr)
        return;
    FAction->Update();
    // A TAction's changes have come through already; anything else the action did, the item takes.
    ActionChanged();
}

TComponent* TMenuItem::GetParentComponent() const
{
    if (FParent != nullptr && FParent->FMenu != nullptr)
        return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value)
{
    if (auto* menu = dynamic_cast<TMenu*>(Value))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(Value))
        item->Add(this);
    else if (Value != nullptr)
        throw EMenuError("A menu item belongs in a menu or another menu item");
    else if (FParent != nullptr)
        FParent->Remove(this);
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*)
{
    const std::vector<TMenuItem*> items = FItems;
    for (TMenuItem* item : items)
        Proc(item);
}

// ---- TMenu --------------------------------------------------------------------------------------

IMPLEMENT_CLASS(TMenu)

void TMenu::Publish(TClassBuilder<TMenu>& b)
{
    b.Property("BiDiMode", &TMenu::BiDiMode, &TMenu::SetBiDiMode)
        .Property("Images", &TMenu::Images, &TMenu::SetImages)
        .Property("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(this))
{
    FItems->FMenu = this;
}

TMenu::~TMenu()
{
    Destroying();
    FWindowHandle = nullptr;
    delete FItems; // frees the whole tree (its ~TComponent takes it from our components)
    FItems = nullptr;
}

HMENU TMenu::Handle() { return FItems->Handle(); }

HMENU TMenu::CreateMenuHandle() { return CreatePopupMenu(); }

void TMenu::MenuChanged(TMenuItem*)
{
    const TComponentState state = ComponentState();
    if (FWindowHandle != nullptr && !state.Contains(csLoading) && !state.Contains(csDestroying))
        SendMessageA(FWindowHandle, CM_MENUCHANGED, 0, 0);
}

void TMenu::SetImages(TImageList* Value)
{
    if (Value == FImages)
        return;
    if (FImages != nullptr)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
    FItems->Changed();
}

void TMenu::SetOwnerDraw(bool Value)
{
    if (Value != FOwnerDraw) {
        FOwnerDraw = Value;
        FItems->Changed();
    }
}

void TMenu::SetBiDiMode(TBiDiMode Value)
{
    if (Value != FBiDiMode) {
        FBiDiMode = Value;
        FItems->Changed();
    }
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == FImages) {
        FImages = nullptr;
        if (FItems != nullptr)
            FItems->Changed();
    }
}

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind)
{
    std::function<TMenuItem*(TMenuItem*)> search = [&](TMenuItem* item) -> TMenuItem* {
        bool match = false;
        switch (Kind) {
        case fkCommand: match = item != FItems && item->FCommand == Value; break;
        case fkHandle: match = item->FHandle != nullptr && reinterpret_cast<UINT_PTR>(item->FHandle) == Value; break;
        case fkShortCut: match = item != FItems && item->FShortCut != 0 && item->FShortCut == Value; break;
        }
        if (match)
            return item;
        for (TMenuItem* child : item->FItems)
            if (TMenuItem* found = search(child))
                return found;
        return nullptr;
    };
    return search(FItems);
}

bool TMenu::DispatchCommand(WORD Command)
{
    TMenuItem* item = FindItem(Command, fkCommand);
    if (item == nullptr)
        return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU Menu)
{
    TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(Menu), fkHandle);
    if (item == nullptr)
        return false;
    const std::vector<TMenuItem*> items = item->FItems;
    for (TMenuItem* child : items)
        if (Registry().Live.count(child) != 0)
            child->UpdateFromAction();
    return true;
}

void TMenu::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    FItems->GetChildren(Proc, Root);
}

// ---- TMainMenu / TPopupMenu ---------------------------------------------------------------------

IMPLEMENT_CLASS_EMPTY(TMainMenu)

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

HMENU TMainMenu::CreateMenuHandle() { return CreateMenu(); }

IMPLEMENT_CLASS(TPopupMenu)

void TPopupMenu::Publish(TClassBuilder<TPopupMenu>& b)
{
    b.Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment)
        .Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup)
        .Property("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::SetOnPopup);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent* Value)
{
    if (Value == FPopupComponent)
        return;
    if (FPopupComponent != nullptr)
        FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TPopupMenu::Popup(int X, int Y)
{
    if (FOnPopup)
        FOnPopup(this);
    TPopupAlignment alignment = FAlignment;
    if (IsRightToLeft() && alignment != paCenter)
        alignment = alignment == paLeft ? paRight : paLeft;
    UINT flags = TPM_RIGHTBUTTON;
    switch (alignment) {
    case paLeft: flags |= TPM_LEFTALIGN; break;
    case paRight: flags |= TPM_RIGHTALIGN; break;
    case paCenter: flags |= TPM_CENTERALIGN; break;
    }
    TrackPopupMenu(Handle(), flags, X, Y, 0, PopupListWindow(), nullptr);
}

// ---- Program-wide dispatch ----------------------------------------------------------------------

TMenuItem* FindMenuItem(WORD Command)
{
    const auto& commands = Registry().Commands;
    const auto it = commands.find(Command);
    return it != commands.end() ? it->second : nullptr;
}

bool MenuDispatchCommand(WORD Command)
{
    TMenuItem* item = FindMenuItem(Command);
    if (item == nullptr)
        return false;
    // A native menu sends no command for a disabled item; one that comes anyway is ignored.
    if (item->Enabled())
        item->Click();
    return true;
}

bool MenuInitPopup(HMENU Menu)
{
    if (Menu == nullptr)
        return false;
    TMenuItem* owner = nullptr;
    for (const TMenuItem* item : Registry().Live)
        if (item->FHandle == Menu) {
            owner = const_cast<TMenuItem*>(item);
            break;
        }
    if (owner == nullptr)
        return false;
    const std::vector<TMenuItem*> items = owner->FItems;
    for (TMenuItem* child : items)
        if (Registry().Live.count(child) != 0)
            child->UpdateFromAction();
    return true;
}

bool MenuMeasureItem(MEASUREITEMSTRUCT& Info)
{
    if (Info.CtlType != ODT_MENU)
        return false;
    TMenuItem* item = LiveItem(Info.itemData);
    if (item == nullptr)
        return false;

    TMemoryDC dc(nullptr);
    if (!dc)
        return false;
    TCanvas canvas;
    canvas.SetHandle(dc.get());
    SetMenuFont(canvas, item->FDefault);

    int width = 0;
    int height = kSeparatorHeight;
    if (!item->IsSeparator()) {
        TImageList* images = item->GetImageList();
        RECT text{0, 0, 0, 0};
        canvas.DrawText(item->FCaption.empty() ? std::string(" ") : item->FCaption, text,
                        DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
        width = kMargin + GlyphWidth(images) + kTextGap + (text.right - text.left) + kTextGap;
        if (item->FShortCut != 0)
            width += kShortCutGap + canvas.TextWidth(ShortCutToText(item->FShortCut));
        height = canvas.TextHeight("Wg") + 4;
        if (images != nullptr)
            height = std::max(height, images->Height() + 2);
    }
    if (item->FOnMeasureItem)
        item->FOnMeasureItem(item, &canvas, width, height);
    canvas.SetHandle(nullptr);
    Info.itemWidth = static_cast<UINT>(std::max(width, 0));
    Info.itemHeight = static_cast<UINT>(std::max(height, 0));
    return true;
}

bool MenuDrawItem(const DRAWITEMSTRUCT& Info)
{
    if (Info.CtlType != ODT_MENU || Info.hDC == nullptr)
        return false;
    TMenuItem* item = LiveItem(Info.itemData);
    if (item == nullptr)
        return false;
    TCanvas canvas;
    canvas.SetHandle(Info.hDC);
    SetMenuFont(canvas, item->FDefault);
    if (item->FOnDrawItem)
        item->FOnDrawItem(item, &canvas, Info.rcItem, (Info.itemState & ODS_SELECTED) != 0);
    else
        DefaultDrawItem(*item, canvas, Info);
    canvas.SetHandle(nullptr);
    return true;
}

// ---- The hidden window --------------------------------------------------------------------------

HWND PopupListWindow()
{
    if (gPopupList != nullptr && IsWindow(gPopupList))
        return gPopupList;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA cls{};
    if (!GetClassInfoA(instance, kPopupListClass, &cls)) {
        cls = WNDCLASSA{};
        cls.lpfnWndProc = &PopupListProc;
        cls.hInstance = instance;
        cls.lpszClassName = kPopupListClass;
        if (RegisterClassA(&cls) == 0)
            throw EMenuError("Cannot register the popup menu window class");
    }
    gPopupList = CreateWindowExA(0, kPopupListClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (gPopupList == nullptr)
        throw EMenuError("Cannot create the popup menu window");
    return gPopupList;
}

void FreeMenuWindows()
{
    if (gPopupList != nullptr) {
        DestroyWindow(gPopupList);
        gPopupList = nullptr;
    }
}
