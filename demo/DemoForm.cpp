#include "demo/DemoForm.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/Tabs.h"
#include "framework/controls/Timer.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/ImageList.h"
#include "framework/menus/Menus.h"
#include "framework/win/Files.h"
#include "skin/data/WinSkinData.h"

#include <windows.h>

#include <commdlg.h>

namespace {

constexpr int FormClientWidth = 760;
constexpr int FormClientHeight = 590;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int Gap = 8;

} // namespace

IMPLEMENT_CLASS(TDemoForm)

void TDemoForm::Publish(TClassBuilder<TDemoForm>& b)
{
    b.Method<&TDemoForm::ButtonOKClick>("ButtonOKClick")
        .Method<&TDemoForm::ButtonCloseClick>("ButtonCloseClick")
        .Field("Header", &TDemoForm::Header)
        .Field("Body", &TDemoForm::Body)
        .Field("Status", &TDemoForm::Status)
        .Field("ButtonOK", &TDemoForm::ButtonOK)
        .Field("ButtonClose", &TDemoForm::ButtonClose)
        .Field("SkinData1", &TDemoForm::SkinData1);
}

TDemoForm::TDemoForm(TComponent* AOwner) : TForm(AOwner)
{
    // The frame and the menu first: the client size follows from them.
    MakeMenu();
    MakePopupMenus();
    SetCaption("Pembrox Demo");
    SetBorderStyle(bsSizeable);
    SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    SetPosition(poScreenCenter);
    SetClientWidth(FormClientWidth);
    SetClientHeight(FormClientHeight);

    // The aligned panels, all of them before anything is placed on the body, so that the body
    // has its final size when the buttons' anchors are taken.
    Header = new TPanel(this);
    Header->SetName("Header");
    Header->SetParent(this);
    Header->SetHeight(48);
    Header->SetAlign(alTop);
    Header->SetCaption("The frame, the title bar and its buttons are drawn from the skin");

    // Three panels: a sunken one for messages, a raised one left empty, and one without a bevel
    // that runs to the grip.
    Status = new TStatusBar(this);
    Status->SetName("Status");
    Status->SetParent(this);
    Status->SetHeight(22);
    const struct {
        const char* Text;
        int Width;
        TStatusPanelBevel Bevel;
        TAlignment Alignment;
    } panels[] = {{" Ready", 320, pbLowered, taLeftJustify},
                  {"", 90, pbRaised, taLeftJustify},
                  {"Pembrox", 80, pbNone, taCenter}};
    for (const auto& p : panels) {
        TStatusPanel* panel = Status->Panels()->Add();
        panel->SetText(p.Text);
        panel->SetWidth(p.Width);
        panel->SetBevel(p.Bevel);
        panel->SetAlignment(p.Alignment);
    }

    Body = new TPanel(this);
    Body->SetName("Body");
    Body->SetParent(this);
    Body->SetAlign(alClient);
    Body->SetBevelOuter(bvNone);
    Body->SetCaption("");

    const RECT body = Body->ClientRect();
    const int buttonTop = body.bottom - Gap - ButtonHeight;

    auto* content = new TPanel(this);
    content->SetName("Content");
    content->SetParent(Body);
    content->SetBounds(Gap, Gap, body.right - 2 * Gap, buttonTop - 2 * Gap);
    content->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    content->SetBevelOuter(bvLowered);
    content->SetCaption("");
    // The control groups on pages of a page control.
    auto* pages = new TPageControl(this);
    pages->SetName("Pages");
    pages->SetParent(content);
    pages->SetAlign(alClient);
    auto page = [&](const char* Name, const char* Caption) {
        auto* sheet = new TTabSheet(this);
        sheet->SetName(Name);
        sheet->SetPageControl(pages);
        sheet->SetCaption(Caption);
        return sheet;
    };
    TTabSheet* buttons = page("PageButtons", "Buttons and bars");
    TTabSheet* lists = page("PageLists", "Lists");
    TTabSheet* text = page("PageText", "Text");
    TTabSheet* tabs = page("PageTabs", "Tabs");
    MakeGallery(buttons);
    MakeScrollingControls(lists);
    MakeTextControls(text);
    MakeTabControls(tabs);
    pages->SetActivePage(buttons);

    ButtonClose = new TBitBtn(this);
    ButtonClose->SetName("ButtonClose");
    ButtonClose->SetParent(Body);
    ButtonClose->SetKind(bkClose);
    ButtonClose->SetBounds(body.right - Gap - ButtonWidth, buttonTop, ButtonWidth, ButtonHeight);
    ButtonClose->SetAnchors(TAnchors{akRight, akBottom});
    ButtonClose->SetOnClick(BindMethod<&TDemoForm::ButtonCloseClick>(this));

    ButtonOK = new TButton(this);
    ButtonOK->SetName("ButtonOK");
    ButtonOK->SetParent(Body);
    ButtonOK->SetCaption("OK");
    ButtonOK->SetDefault(true);
    ButtonOK->SetBounds(ButtonClose->Left() - Gap - ButtonWidth, buttonTop, ButtonWidth, ButtonHeight);
    ButtonOK->SetAnchors(TAnchors{akRight, akBottom});
    ButtonOK->SetOnClick(BindMethod<&TDemoForm::ButtonOKClick>(this));

    // Skinning stays off until LoadSkin.
    SkinData1 = new TSkinData(this);
    SkinData1->SetName("SkinData1");
    SkinData1->SetSkinFormtype(sfMainform);
}

void TDemoForm::LoadSkin()
{
    const std::string fileName = GetCurrentDir() + "\\" + "default.skn";
    std::string source;
    if (FileExists(fileName)) {
        // Loads the package and hands it to the manager.
        SkinData1->SetSkinFile(fileName);
        source = "default.skn";
    } else {
        std::string package;
        if (ReadProgramResource(DemoSkinResource, package)) {
            SkinData1->PackageBytes().Clear();
            SkinData1->PackageBytes().WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
            SkinData1->LoadPackage();
        }
        // Made in code, the component has no manager yet: this makes it and installs the hook.
        SkinData1->SkinChanged();
        source = "built-in";
    }
    // Without a parsed skin this asks for nothing and the form keeps its own look.
    SkinData1->SetActive(true);
    ShowStatus(" Skin: " + source +
                       (SkinData1->SkinLoading() ? " (not a valid skin)" : " (" + SkinData1->SkinName() + ")"));
}

void TDemoForm::MakeMenu()
{
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    int count = 0;
    auto add = [&](TMenuItem* Parent, const char* Caption, TShortCut Key = scNone) {
        auto* item = new TMenuItem(this);
        item->SetName("MenuItem" + std::to_string(++count));
        item->SetCaption(Caption);
        item->SetShortCut(Key);
        item->SetOnClick(BindMethod<&TDemoForm::MenuItemClick>(this));
        Parent->Add(item);
        return item;
    };
    TMenuItem* root = MainMenu1->Items();
    TMenuItem* file = add(root, "&File");
    add(file, "&New", ShortCut('N', false, true, false));
    add(file, "&Open skin...", ShortCut('O', false, true, false))
        ->SetOnClick(BindMethod<&TDemoForm::OpenSkinClick>(this));
    add(file, "-");
    add(file, "E&xit")->SetOnClick(BindMethod<&TDemoForm::ExitClick>(this));

    TMenuItem* edit = add(root, "&Edit");
    add(edit, "&Undo", ShortCut('Z', false, true, false))->SetEnabled(false);
    add(edit, "Cu&t", ShortCut('X', false, true, false));
    add(edit, "&Copy", ShortCut('C', false, true, false));
    add(edit, "&Paste", ShortCut('V', false, true, false));
    add(edit, "-");
    TMenuItem* wrap = add(edit, "&Word wrap", ShortCut('W', false, true, false));
    wrap->SetChecked(true);
    wrap->SetOnClick(BindMethod<&TDemoForm::ToggleClick>(this));

    TMenuItem* view = add(root, "&View");
    TMenuItem* panels = add(view, "&Panels");
    add(panels, "&Header")->SetOnClick(BindMethod<&TDemoForm::ToggleClick>(this));
    add(panels, "&Status bar")->SetOnClick(BindMethod<&TDemoForm::ToggleClick>(this));
    TMenuItem* size = add(panels, "Si&ze");
    add(size, "&Small");
    add(size, "&Large");
    for (int i = 0; i < 2; ++i)
        panels->Items(i)->SetChecked(true);
    add(view, "&Refresh", VK_F5);
    add(view, "-");
    TMenuItem* skin = add(view, "S&kin", ShortCut('K', false, true, false));
    skin->SetChecked(true);
    skin->SetOnClick(BindMethod<&TDemoForm::ToggleClick>(this));

    TMenuItem* help = add(root, "&Help");
    add(help, "&About Pembrox...")->SetOnClick(BindMethod<&TDemoForm::AboutClick>(this));
    SetMenu(MainMenu1);
}

void TDemoForm::MakePopupMenus()
{
    // Three small glyphs: a blue square, a green disc, an amber bar.
    MenuImages = new TImageList(this);
    MenuImages->SetName("MenuImages");
    for (int k = 0; k < 3; ++k) {
        TBitmap glyph(16, 16, pf24bit);
        TCanvas& c = *glyph.Canvas();
        c.Brush()->SetColor(clFuchsia);
        c.FillRect(RECT{0, 0, 16, 16});
        const TColor colours[3] = {0x00B05020, 0x0040A040, 0x0020A0E0}; // BGR
        c.Brush()->SetColor(colours[k]);
        c.Pen()->SetColor(colours[k]);
        if (k == 0)
            c.FillRect(RECT{3, 3, 13, 13});
        else if (k == 1)
            c.Ellipse(2, 2, 14, 14);
        else
            c.FillRect(RECT{2, 6, 14, 10});
        MenuImages->AddMasked(&glyph, clFuchsia);
    }
    int count = 0;
    auto add = [&](TMenuItem* Parent, const char* Caption, TShortCut Key = scNone) {
        auto* item = new TMenuItem(this);
        item->SetName("PopupItem" + std::to_string(++count));
        item->SetCaption(Caption);
        item->SetShortCut(Key);
        item->SetOnClick(BindMethod<&TDemoForm::MenuItemClick>(this));
        Parent->Add(item);
        return item;
    };
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    PopupMenu1->SetImages(MenuImages);
    TMenuItem* root = PopupMenu1->Items();
    TMenuItem* refresh = add(root, "&Refresh", VK_F5);
    refresh->SetImageIndex(0);
    refresh->SetDefault(true);
    TMenuItem* pin = add(root, "&Pinned");
    pin->SetImageIndex(1);
    pin->SetChecked(true);
    pin->SetOnClick(BindMethod<&TDemoForm::ToggleClick>(this));
    TMenuItem* grid = add(root, "Show &grid");
    grid->SetChecked(true);
    grid->SetOnClick(BindMethod<&TDemoForm::ToggleClick>(this));
    add(root, "-");
    add(root, "&Copy", ShortCut('C', false, true, false))->SetImageIndex(2);
    add(root, "&Unavailable")->SetEnabled(false);
    add(root, "-");
    add(root, "Right-to-left &menu...")->SetOnClick(BindMethod<&TDemoForm::RightToLeftClick>(this));
    SetPopupMenu(PopupMenu1);

    PopupMenuRTL = new TPopupMenu(this);
    PopupMenuRTL->SetName("PopupMenuRTL");
    PopupMenuRTL->SetBiDiMode(bdRightToLeft);
    add(PopupMenuRTL->Items(), "&First item", ShortCut('1', false, true, false));
    add(PopupMenuRTL->Items(), "&Second item")->SetChecked(true);
    add(PopupMenuRTL->Items(), "-");
    add(PopupMenuRTL->Items(), "&Third item");
}

void TDemoForm::RightToLeftClick(TObject*)
{
    POINT at{};
    GetCursorPos(&at);
    PopupMenuRTL->Popup(at.x, at.y);
}

void TDemoForm::MenuItemClick(TObject* Sender)
{
    if (auto* item = dynamic_cast<TMenuItem*>(Sender); item != nullptr && item->Count() == 0)
        ShowStatus(" " + StripHotkey(item->Caption()) + " chosen");
}

void TDemoForm::ToggleClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item == nullptr)
        return;
    item->SetChecked(!item->Checked());
    const std::string caption = StripHotkey(item->Caption());
    if (caption == "Header")
        Header->SetVisible(item->Checked());
    else if (caption == "Status bar")
        Status->SetVisible(item->Checked());
    else if (caption == "Skin")
        SkinData1->SetActive(item->Checked()); // every window and menu back to its own look, or skinned again
    ShowStatus(" " + caption + (item->Checked() ? " on" : " off"));
}

void TDemoForm::OpenSkinClick(TObject*)
{
    char file[MAX_PATH] = "";
    OPENFILENAMEA open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = Handle();
    open.lpstrFilter = "Skins (*.skn)\0*.skn\0All files\0*.*\0";
    open.lpstrFile = file;
    open.nMaxFile = sizeof file;
    open.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&open))
        return;
    SkinData1->SetSkinFile(file);
    ShowStatus(" Skin: " + std::string(file) +
                       (SkinData1->SkinLoading() ? " (not a valid skin)" : " (" + SkinData1->SkinName() + ")"));
}

void TDemoForm::ExitClick(TObject*)
{
    Close();
}

void TDemoForm::AboutClick(TObject*)
{
    MessageBoxA(Handle(), "Pembrox Demo\nEvery window of this program is drawn from a skin.", "About Pembrox",
                MB_OK | MB_ICONINFORMATION);
}

void TDemoForm::MakeGallery(TWinControl* Content)
{
    // Everything is owned by the form, so that the skin finds it.
    auto place = [&](TControl* Control, TWinControl* Parent, const char* Name, int X, int Y, int W, int H) {
        Control->SetName(Name);
        Control->SetParent(Parent);
        Control->SetBounds(X, Y, W, H);
    };
    auto* checks = new TGroupBox(this);
    place(checks, Content, "Checks", 8, 8, 190, 124);
    checks->SetCaption("Check boxes");
    const char* checkCaptions[] = {"Unchecked", "Checked", "Disabled, checked", "Box on the right"};
    for (int i = 0; i < 4; ++i) {
        auto* box = new TCheckBox(this);
        const std::string name = "CheckBox" + std::to_string(i + 1);
        place(box, checks, name.c_str(), 10, 20 + 24 * i, 170, 20);
        box->SetCaption(checkCaptions[i]);
        box->SetChecked(i == 1 || i == 2);
        box->SetEnabled(i != 2);
        if (i == 3)
            box->SetAlignment(taRightJustify);
    }

    auto* group = new TRadioGroup(this);
    place(group, Content, "RadioGroup1", 206, 8, 150, 124);
    group->SetCaption("Radio group");
    group->Items()->Add("First");
    group->Items()->Add("Second");
    group->Items()->Add("Third");
    group->SetItemIndex(1);

    auto* radios = new TGroupBox(this);
    place(radios, Content, "Radios", 364, 8, 160, 124);
    radios->SetCaption("Radio buttons");
    const char* radioCaptions[] = {"On", "Off", "Disabled"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new TRadioButton(this);
        const std::string name = "Radio" + std::to_string(i + 1);
        place(radio, radios, name.c_str(), 10, 20 + 28 * i, 140, 20);
        radio->SetCaption(radioCaptions[i]);
        radio->SetEnabled(i != 2);
    }
    dynamic_cast<TRadioButton*>(FindComponent("Radio1"))->SetChecked(true);

    const char* speedCaptions[] = {"Left", "Centre", "Right"};
    for (int i = 0; i < 3; ++i) {
        auto* speed = new TSpeedButton(this);
        const std::string name = "Speed" + std::to_string(i + 1);
        place(speed, Content, name.c_str(), 8 + 64 * i, 144, 62, 25);
        speed->SetCaption(speedCaptions[i]);
        speed->SetGroupIndex(1);
        speed->SetDown(i == 1);
    }

    auto* message = new TButton(this);
    place(message, Content, "ButtonMessage", 206, 144, 100, 25);
    message->SetCaption("Message...");
    message->SetOnClick(BindMethod<&TDemoForm::ButtonMessageClick>(this));

    // A progress bar that a timer moves on, one that the track bar sets, and the track bar.
    Progress1 = new TProgressBar(this);
    place(Progress1, Content, "Progress1", 8, 186, 250, 18);
    Progress2 = new TProgressBar(this);
    place(Progress2, Content, "Progress2", 8, 214, 250, 18);
    TrackBar1 = new TTrackBar(this);
    place(TrackBar1, Content, "TrackBar1", 272, 180, 252, 40);
    TrackBar1->SetPosition(6);
    TrackBar1->SetOnChange(BindMethod<&TDemoForm::TrackBarChange>(this));
    Progress2->SetPosition(60);
    Timer1 = new TTimer(this);
    Timer1->SetName("Timer1");
    Timer1->SetInterval(100);
    Timer1->SetOnTimer(BindMethod<&TDemoForm::TimerTick>(this));

}

void TDemoForm::MakeScrollingControls(TWinControl* Content)
{
    auto place = [&](TWinControl* Control, const char* Name, int X, int Y, int W, int H) {
        Control->SetName(Name);
        Control->SetParent(Content);
        Control->SetBounds(X, Y, W, H);
    };
    // A memo with more and longer lines than it shows: both bars.
    auto* memo = new TMemo(this);
    place(memo, "Memo1", 8, 8, 200, 110);
    memo->SetScrollBars(TScrollStyle::ssBoth);
    memo->SetWordWrap(false);
    for (int i = 1; i <= 40; ++i)
        memo->Lines()->Add("Line " + std::to_string(i) + " of the memo, long enough to scroll sideways as well");

    auto* list = new TListBox(this);
    place(list, "ListBox1", 216, 8, 140, 110);
    for (int i = 1; i <= 40; ++i)
        list->Items()->Add("List item " + std::to_string(i));

    auto* view = new TListView(this);
    place(view, "ListView1", 364, 8, 372, 110);
    view->SetViewStyle(vsReport);
    view->SetAnchors(TAnchors{akLeft, akTop, akRight});
    const char* columns[4] = {"Name", "Size", "Type", "Modified"};
    for (const char* caption : columns) {
        TListColumn* column = view->Columns()->Add();
        column->SetCaption(caption);
        column->SetWidth(84);
    }
    for (int i = 1; i <= 40; ++i) {
        TListItem* item = view->Items()->Add();
        item->SetCaption("File " + std::to_string(i));
        item->SubItems()->Add(std::to_string(i * 17) + " KB");
        item->SubItems()->Add(i % 3 == 0 ? "Picture" : "Text");
        item->SubItems()->Add("2026-12-0" + std::to_string(1 + i % 8));
    }

    auto* tree = new TTreeView(this);
    place(tree, "TreeView1", 8, 126, 200, 92);
    for (int i = 1; i <= 6; ++i) {
        TTreeNode* node = tree->Items()->Add(nullptr, "Folder " + std::to_string(i));
        for (int j = 1; j <= 3; ++j)
            tree->Items()->AddChild(node, "Document " + std::to_string(i) + "." + std::to_string(j));
        node->Expand(false);
    }

    auto* grid = new TStringGrid(this);
    place(grid, "StringGrid1", 216, 126, 360, 92);
    grid->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    grid->SetColCount(8);
    grid->SetRowCount(20);
    grid->SetDefaultRowHeight(20);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 20; ++r)
            grid->SetCells(c, r, r == 0 ? "Col " + std::to_string(c) : c == 0 ? "Row " + std::to_string(r)
                                                                                 : std::to_string(r * c));

    auto* horizontal = new TScrollBar(this);
    place(horizontal, "ScrollBar1", 584, 126, 152, 17);
    horizontal->SetAnchors(TAnchors{akTop, akRight});
    horizontal->SetPageSize(10);
    horizontal->SetPosition(30);
    auto* vertical = new TScrollBar(this);
    place(vertical, "ScrollBar2", 584, 150, 17, 68);
    vertical->SetKind(sbVertical);
    vertical->SetBounds(584, 150, 17, 68);
    vertical->SetAnchors(TAnchors{akTop, akRight});
    vertical->SetPageSize(20);
}

void TDemoForm::MakeTextControls(TWinControl* Content)
{
    auto* group = new TGroupBox(this);
    group->SetName("TextBox");
    group->SetParent(Content);
    group->SetBounds(8, 8, 196, 226);
    group->SetCaption("Text");
    auto place = [&](TWinControl* Control, const char* Name, int X, int Y, int W, int H) {
        Control->SetName(Name);
        Control->SetParent(group);
        Control->SetBounds(X, Y, W, H);
    };
    const char* edits[3] = {"An edit", "Disabled", "No border"};
    for (int i = 0; i < 3; ++i) {
        auto* edit = new TEdit(this);
        const std::string name = "Edit" + std::to_string(i + 1);
        place(edit, name.c_str(), 8, 20 + 24 * i, 180, 21);
        edit->SetText(edits[i]);
        edit->SetEnabled(i != 1);
        if (i == 2) {
            // Without its sunken border: the skin leaves it as it is.
            HWND w = edit->Handle();
            SetWindowLongA(w, GWL_EXSTYLE, GetWindowLongA(w, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
            SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        }
    }
    // A spin edit: an edit with an up-down inside it, at its right end.
    auto* spin = new TEdit(this);
    place(spin, "SpinEdit1", 8, 92, 80, 21);
    spin->SetText("42");
    RECT client{};
    GetClientRect(spin->Handle(), &client);
    HWND arrows = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS,
                                  client.right - 16, 0, 16, client.bottom, spin->Handle(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    SendMessageA(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(spin->Handle()), 0);
    SendMessageA(arrows, UDM_SETRANGE32, 0, 100);
    SendMessageA(arrows, UDM_SETPOS32, 0, 42);
    SendMessageA(spin->Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, 16));

    // Stand-alone up-downs: vertical, horizontal, and a disabled one.
    auto* up = new TUpDown(this);
    place(up, "UpDown1", 96, 92, 17, 22);
    auto* across = new TUpDown(this);
    place(across, "UpDown2", 120, 95, 36, 17);
    across->SetOrientation(udHorizontal);
    auto* off = new TUpDown(this);
    place(off, "UpDown3", 164, 92, 17, 22);
    off->SetEnabled(false);

    const TComboBoxStyle styles[3] = {csDropDown, csDropDownList, csSimple};
    const char* names[3] = {"ComboBox1", "ComboBox2", "ComboBox3"};
    for (int i = 0; i < 3; ++i) {
        auto* combo = new TComboBox(this);
        place(combo, names[i], 8, 118 + 26 * i, 180, i == 2 ? 24 : 21);
        combo->SetStyle(styles[i]);
        for (const char* item : {"Slate", "Graphite", "Sand", "Moss"})
            combo->Items()->Add(item);
        combo->SetItemIndex(i);
    }
    auto* date = new TDateTimePicker(this);
    place(date, "DateTimePicker1", 8, 196, 180, 21);
}

void TDemoForm::MakeTabControls(TWinControl* Content)
{
    // Tabs at the bottom, at the left, at the right, more tabs than fit (scroll arrows), a tab set.
    struct {
        const char* Name;
        TTabPosition Position;
        int X, Y, W, H, Count;
    } const controls[] = {{"TabsBottom", tpBottom, 8, 8, 230, 120, 3},
                          {"TabsLeft", tpLeft, 246, 8, 230, 120, 3},
                          {"TabsRight", tpRight, 484, 8, 230, 120, 3},
                          {"TabsMany", tpTop, 8, 136, 300, 80, 12}};
    for (const auto& c : controls) {
        auto* tabs = new TTabControl(this);
        tabs->SetName(c.Name);
        tabs->SetParent(Content);
        tabs->SetBounds(c.X, c.Y, c.W, c.H);
        tabs->SetTabPosition(c.Position);
        for (int i = 1; i <= c.Count; ++i)
            tabs->Tabs()->Add("Tab " + std::to_string(i));
        tabs->SetTabIndex(0);
    }
    auto* set = new TTabSet(this);
    set->SetName("TabSet1");
    set->SetParent(Content);
    set->SetBounds(320, 136, 300, 24);
    for (const char* caption : {"Sheet 1", "Sheet 2", "Sheet 3", "Sheet 4", "Sheet 5", "Sheet 6", "Sheet 7"})
        set->Tabs()->Add(caption);
    set->SetTabIndex(0);
}

void TDemoForm::ShowStatus(const std::string& Text)
{
    Status->Panels()->Items(0)->SetText(Text);
}

void TDemoForm::TimerTick(TObject*)
{
    Progress1->SetPosition(Progress1->Position() >= Progress1->Max() ? 0 : Progress1->Position() + 2);
}

void TDemoForm::TrackBarChange(TObject*)
{
    Progress2->SetPosition(TrackBar1->Position() * 10);
}

void TDemoForm::ButtonMessageClick(TObject*)
{
    // A standard dialog of the system: it is skinned as it is activated.
    MessageBoxA(Handle(), "A standard message box, skinned with its buttons.", "Pembrox Demo",
                MB_OKCANCEL | MB_ICONINFORMATION);
}

void TDemoForm::ButtonOKClick(TObject*)
{
    ShowStatus(" OK pressed");
}

void TDemoForm::ButtonCloseClick(TObject*)
{
    Close();
}

void RegisterDemoForm()
{
    // CreateForm reads a form's description; this form builds itself, so its description only
    // names it.
    RegisterFormDescription("TDemoForm", "object DemoForm: TDemoForm\nend\n");
}
