// Menus on native HMENUs: menu items in a tree, main menus (a window's menu bar), popup menus,
// short-cuts, actions that menu items follow, and owner drawing.
//
// Every item has a program-wide unique command (the native item id, never 0) from a pool, so
// WM_COMMAND from any window can be dispatched with MenuDispatchCommand. Each item's sub-items
// live in a popup HMENU of its own (Handle(), made on demand); the root item of a TMenu uses the
// menu's native menu. Any change to the tree or to an item's appearance brings the native menus
// that exist up to date at once, and the menu then sends CM_MENUCHANGED to its WindowHandle().
#pragma once

#include "framework/core/Component.h"
#include "framework/core/Method.h"
#include "framework/core/Object.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class TCanvas;
class TImageList;
class TMenu;
class TMenuItem;

// ---- Short-cuts ---------------------------------------------------------------------------------

// A virtual key in the low byte and the modifiers in the high bits.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD Key, bool Shift, bool Ctrl, bool Alt);
// "Ctrl+S", "Shift+Ctrl+F1", "Alt+X", "Del", "Enter", "F12"; modifiers in the order Shift, Ctrl,
// Alt. 0 (or a key without a name) gives "".
std::string ShortCutToText(TShortCut Value);
// The inverse, without regard to case; anything it cannot read gives 0.
TShortCut TextToShortCut(const std::string& Text);

// ---- Captions -----------------------------------------------------------------------------------

// The caption without its access-key marks ("&&" is a plain ampersand).
std::string StripHotkey(const std::string& Caption);
// The access key of Caption, in lower case: the character after a single '&'; 0 when none.
char GetHotkey(const std::string& Caption);

// ---- Actions ------------------------------------------------------------------------------------

class TBasicAction : public TComponent {
    DECLARE_CLASS(TBasicAction, TComponent)
public:
    explicit TBasicAction(TComponent* AOwner);

    // Runs OnExecute / OnUpdate (Sender = the action); true when it is assigned.
    virtual bool Execute();
    virtual bool Update();

    const TNotifyEvent& OnExecute() const { return FOnExecute; }
    void SetOnExecute(TNotifyEvent Value) { FOnExecute = Value; }
    const TNotifyEvent& OnUpdate() const { return FOnUpdate; }
    void SetOnUpdate(TNotifyEvent Value) { FOnUpdate = Value; }

private:
    TNotifyEvent FOnExecute;
    TNotifyEvent FOnUpdate;
};

// An action with the appearance its menu items take over; a change reaches every linked item.
class TAction : public TBasicAction {
    DECLARE_CLASS(TAction, TBasicAction)
public:
    explicit TAction(TComponent* AOwner);
    ~TAction() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // The menu items that follow this action (TMenuItem::SetAction keeps the list).
    int ClientCount() const { return static_cast<int>(FClients.size()); }

private:
    friend class TMenuItem;
    void Change();

    std::string FCaption;
    bool FEnabled = true;
    bool FChecked = false;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    bool FVisible = true;
    std::vector<TMenuItem*> FClients;
};

// ---- Menu items ---------------------------------------------------------------------------------

PUBLISHED_ENUM(TPopupAlignment, paLeft, paRight, paCenter)
PUBLISHED_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)

using TMenuDrawItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, bool Selected)>;
// Width and Height arrive with the framework's proposal.
using TMenuMeasureItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

class TMenuItem : public TComponent {
    DECLARE_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    // Leaves the parent, frees the sub-items and the native menu, gives the command back.
    ~TMenuItem() override;

    // "-" makes a separator; "&" marks the access key ("&&" is a plain ampersand).
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the other radio items of its group under the same parent.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // The default item of its menu: drawn bold (MFS_DEFAULT).
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Invisible items are left out of the native menu.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // An image of the menu's Images; -1: none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Shown after a tab in the native text ("Caption\tCtrl+S").
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    // When a TAction, the item takes over its Caption, Enabled, Checked, ShortCut, ImageIndex and
    // Visible, now and whenever they change. Freeing the action clears the reference.
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);

    const TNotifyEvent& OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent Value) { FOnClick = Value; }
    const TMenuDrawItemEvent& OnDrawItem() const { return FOnDrawItem; }
    void SetOnDrawItem(TMenuDrawItemEvent Value);
    const TMenuMeasureItemEvent& OnMeasureItem() const { return FOnMeasureItem; }
    void SetOnMeasureItem(TMenuMeasureItemEvent Value);

    // The sub-items.
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const; // raises EMenuError out of range
    // Adding an item that has a parent takes it from there first. Raises EMenuError for the item
    // itself or one of its ancestors.
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Frees the sub-item at Index.
    void Delete(int Index);
    // Takes Item out without freeing it.
    void Remove(TMenuItem* Item);
    int IndexOf(const TMenuItem* Item) const;
    TMenuItem* Parent() const { return FParent; }
    // The sub-item whose caption without access-key marks matches (without regard to case).
    TMenuItem* Find(const std::string& ACaption) const;
    int MenuIndex() const { return FParent != nullptr ? FParent->IndexOf(this) : -1; }

    // The native id of the item, unique in the program while the item lives; never 0.
    WORD Command() const { return FCommand; }
    // The popup menu of the sub-items (the menu's own native menu for a menu's root), made on
    // demand; an item without sub-items has an empty one. Stays the same HMENU while the item lives.
    HMENU Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }

    // The menu whose tree the item is in, or nullptr.
    TMenu* GetParentMenu() const;
    // The parent menu's Images, or nullptr.
    TImageList* GetImageList() const;

    // The action's Execute when the action has an OnExecute, else OnClick.
    virtual void Click();
    // Runs the action's Update; the item follows the action's new state.
    void UpdateFromAction();

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    // A TMenu (top-level item) or a TMenuItem.
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TMenu;
    friend class TAction;
    friend bool MenuMeasureItem(MEASUREITEMSTRUCT& Info);
    friend bool MenuDrawItem(const DRAWITEMSTRUCT& Info);
    friend bool MenuInitPopup(HMENU Menu);

    // The item's look changed: its parent's native menu and the menu's window hear of it.
    void Changed();
    // Copies the linked action's properties (no notification).
    bool TakeFromAction();
    void ActionChanged();
    void TurnSiblingsOff();
    // Rebuilds the native menus that exist in this item's tree.
    void RebuildTree();
    void RebuildAllocated();
    void RebuildHandle();
    void FillNativeItem(MENUITEMINFOA& Info, std::string& Text);
    void DestroyHandle() noexcept;
    bool IsSeparator() const { return FCaption == "-"; }
    bool IsOwnerDraw() const;
    TMenuItem* Root();

    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FDefault = false;
    bool FVisible = true;
    bool FRadioItem = false;
    int FGroupIndex = 0;
    int FImageIndex = -1;
    TShortCut FShortCut = 0;
    TBasicAction* FAction = nullptr;
    TNotifyEvent FOnClick;
    TMenuDrawItemEvent FOnDrawItem;
    TMenuMeasureItemEvent FOnMeasureItem;

    WORD FCommand = 0;
    HMENU FHandle = nullptr;
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
    TMenu* FMenu = nullptr; // set on a menu's root item only
    bool FDestroying = false;
};

// ---- Menus --------------------------------------------------------------------------------------

class TMenu : public TComponent {
    DECLARE_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The root item: its sub-items are the menu's top-level items. It belongs to the menu.
    TMenuItem* Items() const { return FItems; }
    // The native menu, built from the tree on demand and kept up to date.
    virtual HMENU Handle();
    bool HandleAllocated() const { return FItems->HandleAllocated(); }

    // The window the menu belongs to: it gets CM_MENUCHANGED after every change.
    HWND WindowHandle() const { return FWindowHandle; }
    void SetWindowHandle(HWND Value) { FWindowHandle = Value; }

    // Freeing the image list clears the reference.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    // True: every native item is MFT_OWNERDRAW with the TMenuItem* as its item data.
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool IsRightToLeft() const { return FBiDiMode != bdLeftToRight; }

    enum TFindItemKind { fkCommand, fkHandle, fkShortCut };
    // Depth first, each parent before its children. fkHandle also matches the root's handle.
    TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind);
    // Clicks the item with that command; true when it is in this menu.
    bool DispatchCommand(WORD Command);
    // WM_INITMENUPOPUP: the items of that popup update themselves from their actions; true when
    // the popup is this menu's.
    bool DispatchPopup(HMENU Menu);

    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

protected:
    // Makes the empty native menu of the root item: CreatePopupMenu; TMainMenu: CreateMenu.
    virtual HMENU CreateMenuHandle();
    // A change in the tree: CM_MENUCHANGED to WindowHandle.
    virtual void MenuChanged(TMenuItem* Source);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TMenuItem;

    TMenuItem* FItems;
    HWND FWindowHandle = nullptr;
    TImageList* FImages = nullptr;
    bool FOwnerDraw = false;
    TBiDiMode FBiDiMode = bdLeftToRight;
};

class TMainMenu : public TMenu {
    DECLARE_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* AOwner);

protected:
    HMENU CreateMenuHandle() override;
};

class TPopupMenu : public TMenu {
    DECLARE_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);

    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    // Whether the control it belongs to shows it on a right click.
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    const TNotifyEvent& OnPopup() const { return FOnPopup; }
    void SetOnPopup(TNotifyEvent Value) { FOnPopup = Value; }
    // The component the menu was last shown for (set by whoever shows it; cleared when it is freed).
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);

    // Screen coordinates. Fires OnPopup, then shows the menu (TrackPopupMenu, owned by the menus'
    // hidden window) and returns when it closes; a chosen item's WM_COMMAND is posted to that
    // window, so the item's Click runs from the message loop.
    virtual void Popup(int X, int Y);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TPopupAlignment FAlignment = paLeft;
    bool FAutoPopup = true;
    TNotifyEvent FOnPopup;
    TComponent* FPopupComponent = nullptr;
};

DECLARE_EXCEPTION(EMenuError, Exception);

// ---- Program-wide dispatch ----------------------------------------------------------------------
// A framework window calls these from its window procedure. Each returns true when the item named
// (by command, by item data, by popup handle) is a live item of this module; anything else returns
// false and touches nothing.

// WM_COMMAND of a menu: clicks the item with that command (a disabled item is not clicked).
bool MenuDispatchCommand(WORD Command);
// WM_MEASUREITEM / WM_DRAWITEM with CtlType ODT_MENU.
bool MenuMeasureItem(MEASUREITEMSTRUCT& Info);
bool MenuDrawItem(const DRAWITEMSTRUCT& Info);
// WM_INITMENUPOPUP: the items of that popup update themselves from their actions.
bool MenuInitPopup(HMENU Menu);
TMenuItem* FindMenuItem(WORD Command);

// The hidden window that owns popup menus ("TPopupList"), made on demand.
HWND PopupListWindow();
// Destroys that window (program finalisation); it comes back when needed again.
void FreeMenuWindows();
