// Menus on real HMENUs under the platform: short-cut texts, the item tree and its native menus,
// change messages, dispatch, actions, owner drawing, descriptions and popup menus.
#include "framework/menus/Menus.h"

#include "framework/win/ControlMessages.h"
#include "framework/core/FormReader.h"
#include "framework/core/FormWriter.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Canvas.h"
#include "framework/graphics/ImageList.h"
#include "framework/win/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// ---- Helpers ------------------------------------------------------------------------------------

// Records the Sender of every event it is bound to.
class TEventLog : public TObject {
public:
    std::vector<TObject*> Senders;
    void Notify(TObject* Sender) { Senders.push_back(Sender); }

    RECT DrawRect{};
    bool DrawSelected = false;
    int DrawCalls = 0;
    HFONT DrawFont = nullptr;
    void Draw(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, bool Selected)
    {
        Senders.push_back(Sender);
        DrawRect = ARect;
        DrawSelected = Selected;
        ++DrawCalls;
        DrawFont = static_cast<HFONT>(GetCurrentObject(ACanvas->Handle(), OBJ_FONT));
    }

    int ProposedWidth = 0;
    int ProposedHeight = 0;
    int WidthChange = 0;
    int NewHeight = 0;
    HFONT MeasureFont = nullptr;
    HDC MeasureDC = nullptr;
    void Measure(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)
    {
        Senders.push_back(Sender);
        ProposedWidth = Width;
        ProposedHeight = Height;
        Width += WidthChange;
        if (NewHeight != 0)
            Height = NewHeight;
        MeasureDC = ACanvas->Handle();
        MeasureFont = static_cast<HFONT>(GetCurrentObject(MeasureDC, OBJ_FONT));
    }

    TAction* DisableOnUpdate = nullptr;
    void Update(TObject* Sender)
    {
        Senders.push_back(Sender);
        if (DisableOnUpdate != nullptr)
            DisableOnUpdate->SetEnabled(false);
    }
};

// A window of its own class that counts CM_MENUCHANGED.
class TChangeWindow {
public:
    TChangeWindow()
    {
        static const ATOM atom = [] {
            WNDCLASSA cls{};
            cls.lpfnWndProc = &Proc;
            cls.hInstance = GetModuleHandleA(nullptr);
            cls.lpszClassName = "MenusTestChangeWindow";
            return RegisterClassA(&cls);
        }();
        EXPECT_NE(atom, 0);
        FWnd = CreateWindowExA(0, "MenusTestChangeWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TChangeWindow() { DestroyWindow(FWnd); }
    HWND Handle() const { return FWnd; }
    int Changes = 0;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == CM_MENUCHANGED) {
            if (auto* self = reinterpret_cast<TChangeWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA)))
                ++self->Changes;
            return 0;
        }
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    HWND FWnd = nullptr;
};

TMenuItem* NewItem(TMenuItem* parent, const std::string& caption, TShortCut shortCut = 0)
{
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    item->SetShortCut(shortCut);
    if (parent != nullptr)
        parent->Add(item);
    return item;
}

std::string NativeString(HMENU menu, UINT position)
{
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

MENUITEMINFOA NativeInfo(HMENU menu, UINT position)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    EXPECT_TRUE(GetMenuItemInfoA(menu, position, TRUE, &info));
    return info;
}

// A 32-bit top-down DIB section in a memory DC.
class TDibDC {
public:
    TDibDC(int width, int height) : FDC(nullptr), FWidth(width)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        FBitmap.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        FBits = static_cast<uint32_t*>(bits);
        FSelect = TSelectObject(FDC.get(), FBitmap);
        for (int i = 0; i < width * height; ++i)
            FBits[i] = 0x00123456;
    }
    HDC Handle() const { return FDC.get(); }
    // The pixel as a COLORREF.
    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        const uint32_t v = FBits[y * FWidth + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

private:
    TMemoryDC FDC;
    TBitmapHandle FBitmap;
    TSelectObject FSelect;
    uint32_t* FBits = nullptr;
    int FWidth;
};

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- Short-cuts ---------------------------------------------------------------------------------

TEST(ShortCutText, NamesKeysWithModifiersInOrder)
{
    const struct {
        TShortCut Value;
        const char* Text;
    } cases[] = {
        {ShortCut('S', false, true, false), "Ctrl+S"},
        {ShortCut(VK_F1, true, true, false), "Shift+Ctrl+F1"},
        {ShortCut('X', false, false, true), "Alt+X"},
        {ShortCut(VK_DELETE, false, false, false), "Del"},
        {ShortCut(VK_INSERT, false, false, false), "Ins"},
        {ShortCut(VK_RETURN, false, false, false), "Enter"},
        {ShortCut(VK_ESCAPE, false, false, false), "Esc"},
        {ShortCut(VK_F12, false, false, false), "F12"},
        {ShortCut(VK_HOME, false, true, false), "Ctrl+Home"},
        {ShortCut('7', true, true, true), "Shift+Ctrl+Alt+7"},
        {ShortCut(VK_NEXT, true, false, false), "Shift+PgDn"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortCutToText(c.Value), c.Text);
        EXPECT_EQ(TextToShortCut(c.Text), c.Value) << c.Text;
    }
    EXPECT_EQ(ShortCut('S', false, true, false), scCtrl | 'S');
    EXPECT_EQ(ShortCutToText(0), "");
}

TEST(ShortCutText, ReadsWithoutRegardToCaseAndRejectsTheUnknown)
{
    EXPECT_EQ(TextToShortCut("ctrl+s"), ShortCut('S', false, true, false));
    EXPECT_EQ(TextToShortCut("SHIFT+CTRL+f1"), ShortCut(VK_F1, true, true, false));
    EXPECT_EQ(TextToShortCut("del"), ShortCut(VK_DELETE, false, false, false));
    EXPECT_EQ(TextToShortCut(""), 0);
    EXPECT_EQ(TextToShortCut("Hyper+S"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut("F25"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), 0);
    // Every key of the table survives the trip with every modifier combination.
    for (WORD key : {WORD('A'), WORD('Z'), WORD('0'), WORD(VK_F1), WORD(VK_F24), WORD(VK_BACK), WORD(VK_TAB),
                     WORD(VK_SPACE), WORD(VK_PRIOR), WORD(VK_END), WORD(VK_LEFT), WORD(VK_UP), WORD(VK_RIGHT),
                     WORD(VK_DOWN)})
        for (int m = 0; m < 8; ++m) {
            const TShortCut sc = ShortCut(key, m & 1, m & 2, m & 4);
            EXPECT_EQ(TextToShortCut(ShortCutToText(sc)), sc) << ShortCutToText(sc);
        }
}

// ---- The tree -----------------------------------------------------------------------------------

TEST(MenuTree, BuildsInsertsRemovesAndFrees)
{
    TMainMenu menu(nullptr);
    TMenuItem* root = menu.Items();
    TMenuItem* file = NewItem(root, "&File");
    TMenuItem* edit = NewItem(root, "&Edit");
    TMenuItem* view = new TMenuItem(nullptr);
    view->SetCaption("&View");
    root->Insert(1, view);
    ASSERT_EQ(root->Count(), 3);
    EXPECT_EQ(root->Items(0), file);
    EXPECT_EQ(root->Items(1), view);
    EXPECT_EQ(root->Items(2), edit);
    EXPECT_EQ(edit->MenuIndex(), 2);
    EXPECT_EQ(view->Parent(), root);
    EXPECT_EQ(root->Find("view"), view);
    EXPECT_EQ(root->Find("&Edit"), edit);
    EXPECT_EQ(root->Find("Help"), nullptr);
    EXPECT_EQ(file->GetParentMenu(), &menu);
    EXPECT_EQ(file->GetParentComponent(), &menu);
    EXPECT_THROW(root->Items(3), EMenuError);
    EXPECT_THROW(file->Add(file), EMenuError);

    TMenuItem* open = NewItem(file, "&Open");
    TMenuItem* recent = NewItem(file, "&Recent");
    TMenuItem* first = NewItem(recent, "First");
    EXPECT_EQ(open->GetParentComponent(), file);
    EXPECT_EQ(first->GetParentMenu(), &menu);
    EXPECT_THROW(first->Add(file), EMenuError);
    EXPECT_NE(open->Command(), 0);
    EXPECT_NE(open->Command(), first->Command());

    // Remove keeps the item, which leaves the menu.
    root->Remove(view);
    EXPECT_EQ(root->Count(), 2);
    EXPECT_EQ(view->Parent(), nullptr);
    EXPECT_EQ(view->GetParentMenu(), nullptr);
    EXPECT_EQ(FindMenuItem(view->Command()), view);
    delete view;

    // Delete frees the sub-tree.
    const WORD recentCommand = recent->Command();
    const WORD firstCommand = first->Command();
    file->Delete(1);
    EXPECT_EQ(file->Count(), 1);
    EXPECT_EQ(FindMenuItem(recentCommand), nullptr);
    EXPECT_EQ(FindMenuItem(firstCommand), nullptr);

    // Freeing an item takes it out of its parent; moving one takes it from its old parent.
    delete open;
    EXPECT_EQ(file->Count(), 0);
    TMenuItem* moved = NewItem(file, "Moved");
    edit->Add(moved);
    EXPECT_EQ(file->Count(), 0);
    EXPECT_EQ(moved->Parent(), edit);
}

TEST(MenuTree, FindItemGoesDepthFirstParentsFirst)
{
    TPopupMenu menu(nullptr);
    TMenuItem* file = NewItem(menu.Items(), "File");
    TMenuItem* save = NewItem(file, "Save", ShortCut('S', false, true, false));
    TMenuItem* deep = NewItem(NewItem(file, "More"), "Deep", ShortCut('D', false, true, false));
    TMenuItem* other = NewItem(menu.Items(), "Other", ShortCut('S', false, true, false));

    EXPECT_EQ(menu.FindItem(save->Command(), TMenu::fkCommand), save);
    EXPECT_EQ(menu.FindItem(deep->Command(), TMenu::fkCommand), deep);
    EXPECT_EQ(menu.FindItem(other->Command(), TMenu::fkCommand), other);
    // Ctrl+S: the nested Save comes before the later top-level item.
    EXPECT_EQ(menu.FindItem(ShortCut('S', false, true, false), TMenu::fkShortCut), save);
    EXPECT_EQ(menu.FindItem(ShortCut('D', false, true, false), TMenu::fkShortCut), deep);
    EXPECT_EQ(menu.FindItem(ShortCut('Q', false, true, false), TMenu::fkShortCut), nullptr);

    const HMENU top = menu.Handle();
    EXPECT_EQ(menu.FindItem(reinterpret_cast<UINT_PTR>(top), TMenu::fkHandle), menu.Items());
    EXPECT_EQ(menu.FindItem(reinterpret_cast<UINT_PTR>(file->Handle()), TMenu::fkHandle), file);
    EXPECT_EQ(menu.FindItem(reinterpret_cast<UINT_PTR>(deep->Parent()->Handle()), TMenu::fkHandle), deep->Parent());
    EXPECT_EQ(GetSubMenu(top, 0), file->Handle());

    EXPECT_TRUE(menu.DispatchCommand(save->Command()));
    EXPECT_FALSE(menu.DispatchCommand(0));
}

// ---- Native menus -------------------------------------------------------------------------------

TEST(NativeMenu, ItemsCarryTheirCommandsTextAndStates)
{
    TMainMenu menu(nullptr);
    TMenuItem* file = NewItem(menu.Items(), "&File");
    TMenuItem* save = NewItem(file, "&Save", ShortCut('S', false, true, false));
    TMenuItem* hidden = NewItem(file, "Hidden");
    TMenuItem* sep = NewItem(file, "-");
    TMenuItem* exit = NewItem(file, "E&xit");
    hidden->SetVisible(false);

    const HMENU bar = menu.Handle();
    EXPECT_TRUE(IsMenu(bar));
    EXPECT_EQ(GetMenuItemCount(bar), 1);
    EXPECT_EQ(GetSubMenu(bar, 0), file->Handle());
    const HMENU popup = file->Handle();
    ASSERT_EQ(GetMenuItemCount(popup), 3);
    EXPECT_EQ(GetMenuItemID(popup, 0), save->Command());
    EXPECT_EQ(GetMenuItemID(popup, 2), exit->Command());
    EXPECT_EQ(NativeString(popup, 0), "&Save\tCtrl+S");
    EXPECT_EQ(NativeString(popup, 2), "E&xit");
    EXPECT_NE(NativeInfo(popup, 1).fType & MFT_SEPARATOR, 0u);
    EXPECT_EQ(NativeInfo(popup, 1).wID, sep->Command());

    save->SetChecked(true);
    exit->SetEnabled(false);
    save->SetDefault(true);
    EXPECT_EQ(NativeInfo(popup, 0).fState & (MFS_CHECKED | MFS_DEFAULT), UINT(MFS_CHECKED | MFS_DEFAULT));
    EXPECT_EQ(NativeInfo(popup, 2).fState & MFS_DISABLED, UINT(MFS_DISABLED));
    EXPECT_EQ(NativeInfo(popup, 2).fState & MFS_CHECKED, 0u);

    hidden->SetVisible(true);
    ASSERT_EQ(GetMenuItemCount(popup), 4);
    EXPECT_EQ(GetMenuItemID(popup, 1), hidden->Command());
    save->SetCaption("Save &As");
    save->SetShortCut(ShortCut(VK_F12, true, false, false));
    EXPECT_EQ(NativeString(popup, 0), "Save &As\tShift+F12");
    EXPECT_EQ(popup, file->Handle()); // rebuilt in place

    // An item that gains sub-items becomes a popup in its parent.
    TMenuItem* sub = NewItem(exit, "Now");
    EXPECT_EQ(GetSubMenu(popup, 3), exit->Handle());
    EXPECT_EQ(GetMenuItemID(exit->Handle(), 0), sub->Command());
    exit->Delete(0);
    EXPECT_EQ(GetSubMenu(popup, 3), nullptr);
    EXPECT_EQ(GetMenuItemID(popup, 3), exit->Command());
}

TEST(NativeMenu, RadioItemsOfAGroupExcludeEachOther)
{
    TPopupMenu menu(nullptr);
    TMenuItem* a = NewItem(menu.Items(), "A");
    TMenuItem* b = NewItem(menu.Items(), "B");
    TMenuItem* c = NewItem(menu.Items(), "C");
    for (TMenuItem* item : {a, b, c}) {
        item->SetRadioItem(true);
        item->SetGroupIndex(1);
    }
    c->SetGroupIndex(2);
    c->SetChecked(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(c->Checked());
    const HMENU h = menu.Handle();
    EXPECT_NE(NativeInfo(h, 1).fType & MFT_RADIOCHECK, 0u);
    EXPECT_EQ(NativeInfo(h, 0).fState & MFS_CHECKED, 0u);
    EXPECT_NE(NativeInfo(h, 1).fState & MFS_CHECKED, 0u);
}

TEST(NativeMenu, ChangesReachTheMenusWindow)
{
    TChangeWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    TMainMenu menu(nullptr);
    TMenuItem* file = NewItem(menu.Items(), "&File");
    menu.Handle();
    menu.SetWindowHandle(window.Handle());
    EXPECT_EQ(menu.WindowHandle(), window.Handle());

    file->SetCaption("&Document");
    EXPECT_EQ(window.Changes, 1);
    EXPECT_EQ(NativeString(menu.Handle(), 0), "&Document");
    TMenuItem* open = NewItem(file, "Open");
    EXPECT_EQ(window.Changes, 2);
    EXPECT_EQ(GetSubMenu(menu.Handle(), 0), file->Handle());
    file->Delete(0);
    EXPECT_EQ(window.Changes, 3);
    (void)open;
    file->SetEnabled(false);
    EXPECT_EQ(window.Changes, 4);
    file->SetEnabled(false); // no change, no message
    EXPECT_EQ(window.Changes, 4);
    menu.SetOwnerDraw(true);
    EXPECT_EQ(window.Changes, 5);

    menu.SetWindowHandle(nullptr);
    file->SetCaption("&File");
    EXPECT_EQ(window.Changes, 5);
}

TEST(NativeMenu, OwnerDrawSwitchesTheItemType)
{
    TPopupMenu menu(nullptr);
    TMenuItem* open = NewItem(menu.Items(), "&Open");
    TMenuItem* sub = NewItem(menu.Items(), "&More");
    TMenuItem* inner = NewItem(sub, "Inner");
    const HMENU h = menu.Handle();
    EXPECT_EQ(NativeInfo(h, 0).fType & MFT_OWNERDRAW, 0u);

    menu.SetOwnerDraw(true);
    MENUITEMINFOA info = NativeInfo(h, 0);
    EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(open));
    EXPECT_EQ(info.wID, open->Command());
    info = NativeInfo(sub->Handle(), 0);
    EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(inner));
    EXPECT_EQ(GetSubMenu(h, 1), sub->Handle());

    menu.SetOwnerDraw(false);
    EXPECT_EQ(NativeInfo(h, 0).fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(NativeInfo(sub->Handle(), 0).fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(NativeString(h, 0), "&Open");
}

// ---- Dispatch and actions -----------------------------------------------------------------------

TEST(MenuDispatch, CommandsClickTheirItems)
{
    TEventLog log;
    TMainMenu menu(nullptr);
    TMenuItem* file = NewItem(menu.Items(), "&File");
    TMenuItem* open = NewItem(file, "&Open");
    open->SetOnClick(BindMethod<&TEventLog::Notify>(&log));
    EXPECT_FALSE(open->OnClick().IsEmpty());

    EXPECT_EQ(FindMenuItem(open->Command()), open);
    EXPECT_TRUE(MenuDispatchCommand(open->Command()));
    ASSERT_EQ(log.Senders.size(), 1u);
    EXPECT_EQ(log.Senders[0], open);
    // A disabled item's command (a skinned menu bar posts one) is taken and ignored.
    open->SetEnabled(false);
    EXPECT_TRUE(MenuDispatchCommand(open->Command()));
    EXPECT_EQ(log.Senders.size(), 1u);
    open->SetEnabled(true);

    open->SetOnClick(nullptr);
    EXPECT_TRUE(open->OnClick().IsEmpty());
    EXPECT_TRUE(MenuDispatchCommand(open->Command()));
    EXPECT_EQ(log.Senders.size(), 1u);

    TMenuItem* gone = new TMenuItem(nullptr);
    const WORD goneCommand = gone->Command();
    delete gone;
    EXPECT_FALSE(MenuDispatchCommand(goneCommand));
    EXPECT_EQ(FindMenuItem(goneCommand), nullptr);
    EXPECT_FALSE(MenuInitPopup(nullptr));
    EXPECT_FALSE(MenuInitPopup(reinterpret_cast<HMENU>(0x7FFF0000)));
}

TEST(MenuDispatch, ItemsFollowTheirActions)
{
    TEventLog log;
    TPopupMenu menu(nullptr);
    TMenuItem* file = NewItem(menu.Items(), "&File");
    TMenuItem* save = NewItem(file, "placeholder");
    save->SetOnClick(BindMethod<&TEventLog::Notify>(&log));
    auto* action = new TAction(nullptr);
    action->SetCaption("&Save");
    action->SetShortCut(ShortCut('S', false, true, false));
    action->SetOnExecute(BindMethod<&TEventLog::Notify>(&log));
    save->SetAction(action);
    EXPECT_EQ(save->Caption(), "&Save");
    EXPECT_EQ(NativeString(file->Handle(), 0), "&Save\tCtrl+S");
    EXPECT_EQ(action->ClientCount(), 1);

    // The action's OnExecute replaces the item's OnClick.
    EXPECT_TRUE(MenuDispatchCommand(save->Command()));
    ASSERT_EQ(log.Senders.size(), 1u);
    EXPECT_EQ(log.Senders[0], action);

    action->SetChecked(true);
    EXPECT_TRUE(save->Checked());
    EXPECT_NE(NativeInfo(file->Handle(), 0).fState & MFS_CHECKED, 0u);

    // Opening the popup runs OnUpdate, and what it changes shows natively.
    log.Senders.clear();
    log.DisableOnUpdate = action;
    action->SetOnUpdate(BindMethod<&TEventLog::Update>(&log));
    EXPECT_TRUE(MenuInitPopup(file->Handle()));
    ASSERT_EQ(log.Senders.size(), 1u);
    EXPECT_EQ(log.Senders[0], action);
    EXPECT_FALSE(save->Enabled());
    EXPECT_NE(NativeInfo(file->Handle(), 0).fState & MFS_DISABLED, 0u);
    action->SetEnabled(true);
    EXPECT_TRUE(menu.DispatchPopup(file->Handle()));
    EXPECT_FALSE(save->Enabled());

    // Without OnExecute the item's own OnClick runs.
    log.Senders.clear();
    action->SetOnExecute(nullptr);
    save->Click();
    ASSERT_EQ(log.Senders.size(), 1u);
    EXPECT_EQ(log.Senders[0], save);

    action->SetVisible(false);
    EXPECT_EQ(GetMenuItemCount(file->Handle()), 0);
    action->SetVisible(true);
    delete action;
    EXPECT_EQ(save->Action(), nullptr);
    EXPECT_EQ(GetMenuItemCount(file->Handle()), 1);

    // The link goes when the item goes first.
    auto* other = new TAction(nullptr);
    save->SetAction(other);
    EXPECT_EQ(other->ClientCount(), 1);
    file->Delete(0);
    EXPECT_EQ(other->ClientCount(), 0);
    delete other;
}

TEST(MenuDispatch, TheActionComponentsExecuteAndUpdate)
{
    TEventLog log;
    TBasicAction basic(nullptr);
    EXPECT_FALSE(basic.Execute());
    EXPECT_FALSE(basic.Update());
    basic.SetOnExecute(BindMethod<&TEventLog::Notify>(&log));
    basic.SetOnUpdate(BindMethod<&TEventLog::Notify>(&log));
    EXPECT_TRUE(basic.Execute());
    EXPECT_TRUE(basic.Update());
    EXPECT_EQ(log.Senders.size(), 2u);

    // A basic action only runs its OnExecute; the item keeps its own look.
    TPopupMenu menu(nullptr);
    TMenuItem* item = NewItem(menu.Items(), "Mine");
    item->SetAction(&basic);
    EXPECT_EQ(item->Caption(), "Mine");
    EXPECT_TRUE(MenuDispatchCommand(item->Command()));
    EXPECT_EQ(log.Senders.size(), 3u);
    EXPECT_EQ(log.Senders.back(), &basic);
    item->SetAction(nullptr);
}

// ---- Owner drawing ------------------------------------------------------------------------------

MEASUREITEMSTRUCT MeasureInfo(TMenuItem* item)
{
    MEASUREITEMSTRUCT info{};
    info.CtlType = ODT_MENU;
    info.itemID = item->Command();
    info.itemData = reinterpret_cast<ULONG_PTR>(item);
    return info;
}

DRAWITEMSTRUCT DrawInfo(TMenuItem* item, HDC dc, RECT r, UINT state)
{
    DRAWITEMSTRUCT info{};
    info.CtlType = ODT_MENU;
    info.itemID = item->Command();
    info.itemAction = ODA_DRAWENTIRE;
    info.itemState = state;
    info.hDC = dc;
    info.rcItem = r;
    info.itemData = reinterpret_cast<ULONG_PTR>(item);
    return info;
}

TEST(OwnerDraw, MeasureProposesAndTheEventDecides)
{
    TEventLog log;
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    TMenuItem* plain = NewItem(menu.Items(), "&Properties");
    TMenuItem* bold = NewItem(menu.Items(), "&Properties");
    bold->SetDefault(true);
    TMenuItem* keyed = NewItem(menu.Items(), "&Properties", ShortCut(VK_F12, true, true, false));
    TMenuItem* sep = NewItem(menu.Items(), "-");

    MEASUREITEMSTRUCT p = MeasureInfo(plain);
    ASSERT_TRUE(MenuMeasureItem(p));
    EXPECT_GT(p.itemWidth, 16u);
    EXPECT_GT(p.itemHeight, 8u);
    MEASUREITEMSTRUCT b = MeasureInfo(bold);
    ASSERT_TRUE(MenuMeasureItem(b));
    EXPECT_GT(b.itemWidth, p.itemWidth);
    MEASUREITEMSTRUCT k = MeasureInfo(keyed);
    ASSERT_TRUE(MenuMeasureItem(k));
    EXPECT_GT(k.itemWidth, p.itemWidth + 16);
    MEASUREITEMSTRUCT s = MeasureInfo(sep);
    ASSERT_TRUE(MenuMeasureItem(s));
    EXPECT_LT(s.itemHeight, p.itemHeight);

    // The proposal arrives in the event; what the event leaves comes back.
    log.WidthChange = 25;
    log.NewHeight = 33;
    plain->SetOnMeasureItem(BindMethod<&TEventLog::Measure>(&log));
    MEASUREITEMSTRUCT e = MeasureInfo(plain);
    ASSERT_TRUE(MenuMeasureItem(e));
    ASSERT_EQ(log.Senders.size(), 1u);
    EXPECT_EQ(log.Senders[0], plain);
    EXPECT_EQ(log.ProposedWidth, static_cast<int>(p.itemWidth));
    EXPECT_EQ(log.ProposedHeight, static_cast<int>(p.itemHeight));
    EXPECT_EQ(e.itemWidth, p.itemWidth + 25);
    EXPECT_EQ(e.itemHeight, 33u);
    plain->SetOnMeasureItem(nullptr);
    EXPECT_TRUE(plain->OnMeasureItem().IsEmpty());

    // Anything that is not a live item of ours is left alone.
    MEASUREITEMSTRUCT unknown{};
    unknown.CtlType = ODT_MENU;
    unknown.itemData = reinterpret_cast<ULONG_PTR>(&log);
    unknown.itemWidth = 7;
    EXPECT_FALSE(MenuMeasureItem(unknown));
    EXPECT_EQ(unknown.itemWidth, 7u);
    MEASUREITEMSTRUCT button = MeasureInfo(plain);
    button.CtlType = ODT_BUTTON;
    EXPECT_FALSE(MenuMeasureItem(button));
    TDibDC dib(10, 10);
    DRAWITEMSTRUCT unknownDraw = DrawInfo(plain, dib.Handle(), RECT{0, 0, 10, 10}, 0);
    unknownDraw.itemData = 0;
    EXPECT_FALSE(MenuDrawItem(unknownDraw));
    EXPECT_EQ(dib.Pixel(5, 5), RGB(0x12, 0x34, 0x56));
}

TEST(OwnerDraw, TheDrawEventGetsTheRectangleAndSelection)
{
    TEventLog log;
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    TMenuItem* item = NewItem(menu.Items(), "&Open");
    item->SetOnDrawItem(BindMethod<&TEventLog::Draw>(&log));
    EXPECT_FALSE(item->OnDrawItem().IsEmpty());
    TDibDC dib(120, 40);
    const RECT r{3, 4, 110, 30};
    ASSERT_TRUE(MenuDrawItem(DrawInfo(item, dib.Handle(), r, ODS_SELECTED)));
    EXPECT_EQ(log.DrawCalls, 1);
    EXPECT_EQ(log.Senders[0], item);
    EXPECT_TRUE(EqualRect(&log.DrawRect, &r));
    EXPECT_TRUE(log.DrawSelected);
    ASSERT_TRUE(MenuDrawItem(DrawInfo(item, dib.Handle(), r, 0)));
    EXPECT_FALSE(log.DrawSelected);
    // The event drew nothing, so nothing was painted for it.
    EXPECT_EQ(dib.Pixel(50, 20), RGB(0x12, 0x34, 0x56));
    item->SetOnDrawItem(nullptr);
    EXPECT_TRUE(item->OnDrawItem().IsEmpty());
}

TEST(OwnerDraw, DefaultDrawingPaintsTheBackgroundAndRestoresTheDC)
{
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    TMenuItem* item = NewItem(menu.Items(), "&Open", ShortCut('O', false, true, false));
    item->SetChecked(true);
    TMenuItem* sep = NewItem(menu.Items(), "-");
    TMenuItem* off = NewItem(menu.Items(), "Off");
    off->SetEnabled(false);

    TDibDC dib(200, 48);
    HDC dc = dib.Handle();
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    SetBkMode(dc, OPAQUE);

    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF menuColor = GetSysColor(COLOR_MENU);
    ASSERT_TRUE(MenuDrawItem(DrawInfo(item, dc, RECT{0, 0, 200, 24}, ODS_SELECTED)));
    ASSERT_TRUE(MenuDrawItem(DrawInfo(off, dc, RECT{0, 24, 200, 48}, 0)));
    // Away from the glyph and the texts: the top and bottom rows, and the gap between the texts.
    for (int x : {1, 100, 198}) {
        EXPECT_EQ(dib.Pixel(x, 0), highlight) << x;
        EXPECT_EQ(dib.Pixel(x, 23), highlight) << x;
        EXPECT_EQ(dib.Pixel(x, 24), menuColor) << x;
        EXPECT_EQ(dib.Pixel(x, 47), menuColor) << x;
    }
    EXPECT_EQ(dib.Pixel(120, 12), highlight);
    EXPECT_EQ(dib.Pixel(120, 36), menuColor);
    // Something (glyph, caption) was drawn in the selected row.
    int different = 0;
    for (int x = 0; x < 200; ++x)
        for (int y = 2; y < 22; ++y)
            different += dib.Pixel(x, y) != highlight;
    EXPECT_GT(different, 10);

    // A check mark and a radio bullet alone (no caption): only the glyph column changes.
    TMenuItem* mark = NewItem(menu.Items(), "");
    mark->SetChecked(true);
    TMenuItem* bullet = NewItem(menu.Items(), "");
    bullet->SetRadioItem(true);
    bullet->SetChecked(true);
    for (TMenuItem* glyph : {mark, bullet}) {
        TDibDC cell(100, 20);
        ASSERT_TRUE(MenuDrawItem(DrawInfo(glyph, cell.Handle(), RECT{0, 0, 100, 20}, 0)));
        int inColumn = 0;
        int outside = 0;
        for (int x = 0; x < 100; ++x)
            for (int y = 0; y < 20; ++y)
                if (cell.Pixel(x, y) != menuColor)
                    ++(x < 2 + 16 ? inColumn : outside);
        EXPECT_GT(inColumn, 4) << glyph->RadioItem();
        EXPECT_EQ(outside, 0) << glyph->RadioItem();
    }

    TDibDC line(100, 8);
    ASSERT_TRUE(MenuDrawItem(DrawInfo(sep, line.Handle(), RECT{0, 0, 100, 8}, 0)));
    EXPECT_EQ(line.Pixel(50, 0), menuColor);
    EXPECT_NE(line.Pixel(50, 3), menuColor);

    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(dc), RGB(4, 5, 6));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
}

TEST(OwnerDraw, ManyCyclesLeaveNoFontsOrDCsBehind)
{
    TEventLog log;
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    TMenuItem* item = NewItem(menu.Items(), "&Open", ShortCut('O', false, true, false));
    TMenuItem* plain = NewItem(menu.Items(), "Plain");
    plain->SetChecked(true);
    item->SetDefault(true);
    item->SetOnMeasureItem(BindMethod<&TEventLog::Measure>(&log));
    item->SetOnDrawItem(BindMethod<&TEventLog::Draw>(&log));
    TDibDC dib(200, 24);
    const HGDIOBJ font = GetCurrentObject(dib.Handle(), OBJ_FONT);
    for (int i = 0; i < 1000; ++i) {
        MEASUREITEMSTRUCT m = MeasureInfo(item);
        ASSERT_TRUE(MenuMeasureItem(m));
        ASSERT_EQ(GetObjectType(log.MeasureFont), 0u) << i;
        ASSERT_EQ(GetObjectType(log.MeasureDC), 0u) << i;
        ASSERT_TRUE(MenuDrawItem(DrawInfo(item, dib.Handle(), RECT{0, 0, 200, 24}, i % 2 ? ODS_SELECTED : 0)));
        ASSERT_NE(log.DrawFont, font);
        ASSERT_EQ(GetObjectType(log.DrawFont), 0u) << i;
        // The default drawing, glyph included, in the same loop.
        MEASUREITEMSTRUCT pm = MeasureInfo(plain);
        ASSERT_TRUE(MenuMeasureItem(pm));
        ASSERT_TRUE(MenuDrawItem(DrawInfo(plain, dib.Handle(), RECT{0, 0, 200, 24}, i % 2 ? ODS_SELECTED : 0)));
        ASSERT_EQ(GetCurrentObject(dib.Handle(), OBJ_FONT), font);
    }
    // A font made now can be made and freed as usual: GDI is not exhausted.
    TFontHandle probe(CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
    EXPECT_TRUE(probe);
}

TEST(OwnerDraw, ImagesSizeTheItemAndAreDrawnInTheGlyphColumn)
{
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    TMenuItem* item = NewItem(menu.Items(), "&Open");
    TMenuItem* bare = NewItem(menu.Items(), "&Open");
    MEASUREITEMSTRUCT before = MeasureInfo(item);
    ASSERT_TRUE(MenuMeasureItem(before));

    auto* images = new TImageList(nullptr);
    images->SetSize(20, 30);
    TBitmap red(20, 30);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(RECT{0, 0, 20, 30});
    ASSERT_EQ(images->Add(&red, nullptr), 0);
    menu.SetImages(images);
    EXPECT_EQ(item->GetImageList(), images);
    item->SetImageIndex(0);

    MEASUREITEMSTRUCT m = MeasureInfo(item);
    ASSERT_TRUE(MenuMeasureItem(m));
    EXPECT_GE(m.itemHeight, 32u);
    EXPECT_GT(m.itemWidth, before.itemWidth); // a wider glyph column

    TDibDC dib(200, 40);
    ASSERT_TRUE(MenuDrawItem(DrawInfo(item, dib.Handle(), RECT{0, 0, 200, 40}, 0)));
    EXPECT_EQ(dib.Pixel(12, 20), RGB(255, 0, 0));
    ASSERT_TRUE(MenuDrawItem(DrawInfo(bare, dib.Handle(), RECT{0, 0, 200, 40}, 0)));
    EXPECT_EQ(dib.Pixel(12, 20), GetSysColor(COLOR_MENU));

    delete images;
    EXPECT_EQ(menu.Images(), nullptr);
    EXPECT_EQ(item->GetImageList(), nullptr);
}

// ---- Descriptions -------------------------------------------------------------------------------

class TMenuTestRoot : public TComponent {
    DECLARE_CLASS(TMenuTestRoot, TComponent)
public:
    explicit TMenuTestRoot(TComponent* AOwner) : TComponent(AOwner) {}
    TMainMenu* MainMenu1 = nullptr;
    std::vector<TObject*> Clicks;
    void ItemClick(TObject* Sender) { Clicks.push_back(Sender); }
};

} // namespace

IMPLEMENT_CLASS(TMenuTestRoot)

void TMenuTestRoot::Publish(TClassBuilder<TMenuTestRoot>& b)
{
    b.Method<&TMenuTestRoot::ItemClick>("ItemClick").Field("MainMenu1", &TMenuTestRoot::MainMenu1);
}

namespace {

constexpr const char* kDescription = R"(object Root: TMenuTestRoot
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Open1: TMenuItem
        Caption = '&Open...'
        ShortCut = 16463
        OnClick = ItemClick
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object Exit1: TMenuItem
        Caption = 'E&xit'
        Default = True
        OnClick = ItemClick
      end
    end
    object Help1: TMenuItem
      Caption = '&Help'
      Enabled = False
    end
  end
end
)";

TEST(MenuDescription, ReadsTheTreeAndBindsEvents)
{
    RegisterComponentClass(TMainMenu::StaticClass());
    RegisterComponentClass(TPopupMenu::StaticClass());
    RegisterComponentClass(TMenuItem::StaticClass());
    RegisterComponentClass(TAction::StaticClass());

    TMenuTestRoot root(nullptr);
    ReadComponentText(kDescription, &root);
    ASSERT_NE(root.MainMenu1, nullptr);
    TMenuItem* items = root.MainMenu1->Items();
    ASSERT_EQ(items->Count(), 2);
    TMenuItem* file = items->Items(0);
    EXPECT_EQ(file->Name(), "File1");
    EXPECT_EQ(file->Owner(), &root);
    ASSERT_EQ(file->Count(), 3);
    auto* open = dynamic_cast<TMenuItem*>(root.FindComponent("Open1"));
    auto* exit = dynamic_cast<TMenuItem*>(root.FindComponent("Exit1"));
    ASSERT_NE(open, nullptr);
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(open->Parent(), file);
    EXPECT_EQ(open->ShortCut(), ShortCut('O', false, true, false));
    EXPECT_TRUE(exit->Default());
    EXPECT_FALSE(items->Items(1)->Enabled());

    const HMENU bar = root.MainMenu1->Handle();
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(NativeString(file->Handle(), 0), "&Open...\tCtrl+O");
    EXPECT_EQ(GetMenuItemID(file->Handle(), 2), exit->Command());

    EXPECT_TRUE(MenuDispatchCommand(open->Command()));
    EXPECT_TRUE(MenuDispatchCommand(exit->Command()));
    ASSERT_EQ(root.Clicks.size(), 2u);
    EXPECT_EQ(root.Clicks[0], open);
    EXPECT_EQ(root.Clicks[1], exit);

    // The writer walks the same tree.
    const std::string text = WriteComponentText(&root);
    const size_t menuAt = text.find("object MainMenu1: TMainMenu");
    const size_t fileAt = text.find("object File1: TMenuItem");
    const size_t exitAt = text.find("object Exit1: TMenuItem");
    const size_t helpAt = text.find("object Help1: TMenuItem");
    ASSERT_NE(menuAt, std::string::npos) << text;
    ASSERT_NE(fileAt, std::string::npos) << text;
    ASSERT_NE(exitAt, std::string::npos) << text;
    ASSERT_NE(helpAt, std::string::npos) << text;
    EXPECT_LT(menuAt, fileAt);
    EXPECT_LT(fileAt, exitAt);
    EXPECT_LT(exitAt, helpAt);
    EXPECT_EQ(text.find("object File1", fileAt + 1), std::string::npos) << text;
    EXPECT_NE(text.find("OnClick = ItemClick"), std::string::npos) << text;

    TMenuTestRoot copy(nullptr);
    ReadComponentText(text, &copy);
    ASSERT_NE(copy.MainMenu1, nullptr);
    ASSERT_EQ(copy.MainMenu1->Items()->Count(), 2);
    EXPECT_EQ(copy.MainMenu1->Items()->Items(0)->Count(), 3);
}

TEST(MenuDescription, FreedReferencesAreCleared)
{
    TMenuTestRoot root(nullptr);
    auto* menu = new TPopupMenu(&root);
    auto* action = new TAction(&root);
    auto* item = new TMenuItem(&root);
    menu->Items()->Add(item);
    item->SetAction(action);
    delete action;
    EXPECT_EQ(item->Action(), nullptr);

    // A popup's component.
    auto* target = new TAction(nullptr);
    menu->SetPopupComponent(target);
    EXPECT_EQ(menu->PopupComponent(), target);
    delete target;
    EXPECT_EQ(menu->PopupComponent(), nullptr);

    // An action owned elsewhere.
    auto* foreign = new TAction(nullptr);
    item->SetAction(foreign);
    delete foreign;
    EXPECT_EQ(item->Action(), nullptr);

    // Freeing the root frees menu and items in whatever order it takes them.
    auto* second = new TMenuItem(&root);
    item->Add(second);
    (void)menu;
}

// ---- Popup menus --------------------------------------------------------------------------------

int gTimerTicks = 0;

void CALLBACK EndMenuTimer(HWND, UINT, UINT_PTR, DWORD)
{
    ++gTimerTicks;
    EndMenu();
}

void CALLBACK ChooseFirstTimer(HWND, UINT, UINT_PTR, DWORD)
{
    ++gTimerTicks;
    if (HWND menuWnd = FindWindowA("#32768", nullptr)) {
        PostMessageA(menuWnd, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menuWnd, WM_KEYUP, VK_DOWN, 0xC0000001);
        PostMessageA(menuWnd, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(menuWnd, WM_KEYUP, VK_RETURN, 0xC0000001);
    }
    if (gTimerTicks > 20)
        EndMenu(); // never hang if the keys do not arrive
}

TEST(PopupMenu, ReturnsWhenTheMenuEnds)
{
    TEventLog log;
    TPopupMenu menu(nullptr);
    EXPECT_TRUE(menu.AutoPopup());
    EXPECT_EQ(menu.Alignment(), paLeft);
    NewItem(menu.Items(), "&One");
    menu.SetOnPopup(BindMethod<&TEventLog::Notify>(&log));
    gTimerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, &EndMenuTimer);
    ASSERT_NE(timer, 0u);
    const DWORD start = GetTickCount();
    menu.Popup(100, 100);
    KillTimer(nullptr, timer);
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_GE(gTimerTicks, 1);
    ASSERT_EQ(log.Senders.size(), 1u);
    EXPECT_EQ(log.Senders[0], &menu);
    EXPECT_NE(FindWindowA("TPopupList", nullptr), nullptr);
    FreeMenuWindows();
    EXPECT_EQ(FindWindowA("TPopupList", nullptr), nullptr);

    menu.SetAlignment(paCenter);
    menu.SetBiDiMode(bdRightToLeft);
    EXPECT_TRUE(menu.IsRightToLeft());
    gTimerTicks = 0;
    const UINT_PTR again = SetTimer(nullptr, 0, 100, &EndMenuTimer);
    menu.Popup(200, 200);
    KillTimer(nullptr, again);
    EXPECT_GE(gTimerTicks, 1);
    FreeMenuWindows();
}

TEST(PopupMenu, TheMenusWindowServesOwnerDrawingAndUpdates)
{
    TEventLog draw;
    TEventLog update;
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    TMenuItem* item = NewItem(menu.Items(), "&Drawn");
    item->SetOnMeasureItem(BindMethod<&TEventLog::Measure>(&draw));
    item->SetOnDrawItem(BindMethod<&TEventLog::Draw>(&draw));
    NewItem(menu.Items(), "-");
    TMenuItem* plain = NewItem(menu.Items(), "Plain");
    auto* action = new TAction(nullptr);
    action->SetCaption("Acting");
    action->SetOnUpdate(BindMethod<&TEventLog::Update>(&update));
    update.DisableOnUpdate = action;
    plain->SetAction(action);

    gTimerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, &EndMenuTimer);
    menu.Popup(120, 120);
    KillTimer(nullptr, timer);
    EXPECT_GE(draw.ProposedWidth, 16);
    EXPECT_GE(draw.DrawCalls, 1);
    EXPECT_FALSE(update.Senders.empty());
    EXPECT_FALSE(plain->Enabled());
    delete action;
    FreeMenuWindows();
}

TEST(PopupMenu, ChoosingAnItemClicksIt)
{
    TEventLog log;
    TPopupMenu menu(nullptr);
    TMenuItem* first = NewItem(menu.Items(), "&First");
    first->SetOnClick(BindMethod<&TEventLog::Notify>(&log));
    gTimerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 150, &ChooseFirstTimer);
    ASSERT_NE(timer, 0u);
    menu.Popup(100, 100);
    KillTimer(nullptr, timer);
    // The choice comes as a posted WM_COMMAND to the menus' window.
    const DWORD start = GetTickCount();
    while (log.Senders.empty() && GetTickCount() - start < 3000) {
        PumpMessages();
        Sleep(10);
    }
    ASSERT_EQ(log.Senders.size(), 1u);
    EXPECT_EQ(log.Senders[0], first);
    FreeMenuWindows();
}

} // namespace
