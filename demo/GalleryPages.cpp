// The gallery's first five pages: buttons, text, lists, bars and tabs, each control family in its
// interesting states.
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
#include "skin/controls/SkinBars.h"
#include "skin/data/WinSkinData.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// Everything is owned by the form, so that the skin finds it.
template <class T>
T* Place(TComponent* Owner, TWinControl* Parent, const std::string& Name, int X, int Y, int W, int H)
{
    auto* control = new T(Owner);
    control->SetName(Name);
    control->SetParent(Parent);
    control->SetBounds(X, Y, W, H);
    return control;
}

// A 16 x 16 glyph of two colours for the bit and speed buttons; its bottom-left pixel, fuchsia, is
// the transparent one.
void DrawGlyph(TBitmap& Glyph, TColor Colour, bool Round)
{
    Glyph.SetPixelFormat(pf24bit);
    Glyph.SetSize(16, 16);
    TCanvas& c = *Glyph.Canvas();
    c.Brush()->SetColor(clFuchsia);
    c.FillRect(RECT{0, 0, 16, 16});
    c.Brush()->SetColor(Colour);
    c.Pen()->SetColor(clBlack);
    if (Round)
        c.Ellipse(2, 2, 14, 14);
    else
        c.Rectangle(2, 3, 14, 13);
}

} // namespace

// A column header ("SysHeader32") as a control of its own; the framework has none. Its sections
// are added once its window is there.
class THeaderStrip : public TWinControl {
    DECLARE_CLASS(THeaderStrip, TWinControl)
public:
    explicit THeaderStrip(TComponent* AOwner) : TWinControl(AOwner) {}
    // Text and width of each section.
    void SetSections(std::vector<std::pair<std::string, int>> Value)
    {
        FSections = std::move(Value);
        if (HandleAllocated())
            InsertSections();
    }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, WC_HEADERA);
        Params.Style |= HDS_BUTTONS | HDS_HORZ;
    }
    void CreateWnd() override
    {
        TWinControl::CreateWnd();
        InsertSections();
    }

private:
    void InsertSections()
    {
        while (SendMessageA(Handle(), HDM_DELETEITEM, 0, 0) != 0) {
        }
        int index = 0;
        for (auto& [text, width] : FSections) {
            HDITEMA item{};
            item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
            item.pszText = text.data();
            item.cxy = width;
            item.fmt = HDF_STRING | (index == 1 ? HDF_RIGHT : HDF_LEFT);
            SendMessageA(Handle(), HDM_INSERTITEMA, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
        }
    }

    std::vector<std::pair<std::string, int>> FSections;
};

IMPLEMENT_CLASS(THeaderStrip)
void THeaderStrip::Publish(TClassBuilder<THeaderStrip>&) {}

void TDemoForm::SkinControl(TComponent*, TSkinData*, TControl*, TControl* Control, const std::string&,
                            TComponent*& SkinnedControl)
{
    if (dynamic_cast<THeaderStrip*>(Control) == nullptr)
        return;
    // One adaptor at a time: the one the last skin-off let go of is freed first.
    delete FHeaderAdaptor;
    FHeaderAdaptor = new TSkinHeader(this);
    SkinnedControl = FHeaderAdaptor;
}

void TDemoForm::MakeButtonsPage(TWinControl* Page)
{
    const char* pushCaptions[3] = {"Push", "Default", "Disabled"};
    auto* pushes = Place<TGroupBox>(this, Page, "Pushes", 8, 8, 170, 124);
    pushes->SetCaption("Push buttons");
    for (int i = 0; i < 3; ++i) {
        auto* button = Place<TButton>(this, pushes, "Push" + std::to_string(i + 1), 12, 22 + 32 * i, 146, 25);
        button->SetCaption(pushCaptions[i]);
        button->SetEnabled(i != 2);
    }

    auto* bits = Place<TGroupBox>(this, Page, "BitButtons", 186, 8, 170, 124);
    bits->SetCaption("Bit buttons");
    const TBitBtnKind kinds[3] = {bkOK, bkCancel, bkHelp};
    for (int i = 0; i < 3; ++i) {
        auto* button = Place<TBitBtn>(this, bits, "Bit" + std::to_string(i + 1), 12, 22 + 32 * i, 146, 25);
        button->SetKind(kinds[i]);
        button->SetEnabled(i != 2);
    }

    auto* checks = Place<TGroupBox>(this, Page, "Checks", 364, 8, 180, 124);
    checks->SetCaption("Check boxes");
    const char* checkCaptions[4] = {"Unchecked", "Checked", "Disabled, checked", "Box on the right"};
    for (int i = 0; i < 4; ++i) {
        auto* box = Place<TCheckBox>(this, checks, "CheckBox" + std::to_string(i + 1), 10, 20 + 24 * i, 160, 20);
        box->SetCaption(checkCaptions[i]);
        box->SetChecked(i == 1 || i == 2);
        box->SetEnabled(i != 2);
        if (i == 3)
            box->SetAlignment(taRightJustify);
    }

    auto* radios = Place<TGroupBox>(this, Page, "Radios", 552, 8, 172, 124);
    radios->SetCaption("Radio buttons");
    const char* radioCaptions[3] = {"On", "Off", "Disabled"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = Place<TRadioButton>(this, radios, "Radio" + std::to_string(i + 1), 10, 20 + 28 * i, 150, 20);
        radio->SetCaption(radioCaptions[i]);
        radio->SetEnabled(i != 2);
        radio->SetChecked(i == 0);
    }

    auto* group = Place<TRadioGroup>(this, Page, "RadioGroup1", 8, 140, 170, 124);
    group->SetCaption("Radio group");
    for (const char* item : {"First", "Second", "Third"})
        group->Items()->Add(item);
    group->SetItemIndex(1);

    // Speed buttons: a group of three (one down), one with a glyph, and a disabled one.
    auto* speeds = Place<TPanel>(this, Page, "SpeedPanel", 186, 140, 358, 44);
    speeds->SetCaption("");
    const char* speedCaptions[3] = {"Left", "Centre", "Right"};
    for (int i = 0; i < 3; ++i) {
        auto* speed = Place<TSpeedButton>(this, speeds, "Speed" + std::to_string(i + 1), 8 + 64 * i, 9, 62, 25);
        speed->SetCaption(speedCaptions[i]);
        speed->SetGroupIndex(1);
        speed->SetDown(i == 1);
    }
    auto* glyph = Place<TSpeedButton>(this, speeds, "Speed4", 210, 9, 80, 25);
    glyph->SetCaption("Glyph");
    DrawGlyph(*glyph->Glyph(), 0x00C08040, true);
    auto* disabled = Place<TSpeedButton>(this, speeds, "Speed5", 294, 9, 56, 25);
    disabled->SetCaption("Off");
    disabled->SetEnabled(false);

    // Panels: raised, lowered, and raised on lowered.
    const TPanelBevel outer[3] = {bvRaised, bvLowered, bvRaised};
    const char* panelCaptions[3] = {"Raised", "Lowered", "Framed"};
    for (int i = 0; i < 3; ++i) {
        auto* panel = Place<TPanel>(this, Page, "Panel" + std::to_string(i + 1), 186 + 120 * i, 192, 112, 72);
        panel->SetCaption(panelCaptions[i]);
        panel->SetBevelOuter(outer[i]);
        if (i == 2)
            panel->SetBevelInner(bvLowered);
    }

    auto* bitGlyph = Place<TBitBtn>(this, Page, "BitGlyph", 552, 140, 172, 44);
    bitGlyph->SetCaption("Glyph above");
    bitGlyph->SetLayout(blGlyphTop);
    DrawGlyph(*bitGlyph->Glyph(), 0x0040A0E0, false);
}

void TDemoForm::MakeTextPage(TWinControl* Page)
{
    auto* group = Place<TGroupBox>(this, Page, "TextBox", 8, 8, 196, 226);
    group->SetCaption("Edits and combo boxes");
    const char* edits[3] = {"An edit", "Disabled", "No border"};
    for (int i = 0; i < 3; ++i) {
        auto* edit = Place<TEdit>(this, group, "Edit" + std::to_string(i + 1), 8, 20 + 24 * i, 180, 21);
        edit->SetText(edits[i]);
        edit->SetEnabled(i != 1);
        if (i == 2) {
            // Without its sunken border: the skin leaves it as it is.
            HWND w = edit->Handle();
            SetWindowLongA(w, GWL_EXSTYLE, GetWindowLongA(w, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
            SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        }
    }
    const TComboBoxStyle styles[3] = {csDropDown, csDropDownList, csSimple};
    for (int i = 0; i < 3; ++i) {
        auto* combo = Place<TComboBox>(this, group, "ComboBox" + std::to_string(i + 1), 8, 94 + 26 * i, 180,
                                       i == 2 ? 74 : 21);
        combo->SetStyle(styles[i]);
        for (const char* item : {"Slate", "Night", "Sand", "Moss"})
            combo->Items()->Add(item);
        combo->SetItemIndex(i);
    }

    auto* spins = Place<TGroupBox>(this, Page, "SpinBox", 212, 8, 196, 226);
    spins->SetCaption("Spin edits, up-downs, a date");
    // Spin edits: an edit with an up-down inside it, at its right end.
    for (int i = 0; i < 2; ++i) {
        auto* spin = Place<TEdit>(this, spins, "SpinEdit" + std::to_string(i + 1), 8, 20 + 28 * i, 90, 21);
        spin->SetText(i == 0 ? "42" : "7");
        RECT client{};
        GetClientRect(spin->Handle(), &client);
        HWND arrows = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS,
                                      client.right - 16, 0, 16, client.bottom, spin->Handle(), nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        SendMessageA(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(spin->Handle()), 0);
        SendMessageA(arrows, UDM_SETRANGE32, 0, 100);
        SendMessageA(arrows, UDM_SETPOS32, 0, i == 0 ? 42 : 7);
        SendMessageA(spin->Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, 16));
        if (i == 1)
            spin->SetEnabled(false);
    }
    // Stand-alone up-downs: vertical, horizontal, and a disabled one.
    Place<TUpDown>(this, spins, "UpDown1", 110, 20, 17, 22);
    Place<TUpDown>(this, spins, "UpDown2", 134, 23, 36, 17)->SetOrientation(udHorizontal);
    Place<TUpDown>(this, spins, "UpDown3", 110, 48, 17, 22)->SetEnabled(false);
    Place<TDateTimePicker>(this, spins, "DateTimePicker1", 8, 84, 180, 21);
    auto* time = Place<TDateTimePicker>(this, spins, "DateTimePicker2", 8, 112, 180, 21);
    time->SetKind(dtkTime);

    auto* memo = Place<TMemo>(this, Page, "Memo1", 416, 8, 316, 300);
    memo->SetScrollBars(TScrollStyle::ssVertical);
    memo->Lines()->BeginUpdate(); // the window's text once, not once a line
    for (int i = 1; i <= 60; ++i)
        memo->Lines()->Add("Line " + std::to_string(i) + " of a memo with a scroll bar.");
    memo->Lines()->EndUpdate();
}

void TDemoForm::MakeListsPage(TWinControl* Page)
{
    // A memo with more and longer lines than it shows: both bars.
    auto* memo = Place<TMemo>(this, Page, "Memo2", 8, 8, 200, 110);
    memo->SetScrollBars(TScrollStyle::ssBoth);
    memo->SetWordWrap(false);
    memo->Lines()->BeginUpdate();
    for (int i = 1; i <= 40; ++i)
        memo->Lines()->Add("Line " + std::to_string(i) + " of the memo, long enough to scroll sideways as well");
    memo->Lines()->EndUpdate();

    auto* list = Place<TListBox>(this, Page, "ListBox1", 216, 8, 140, 110);
    for (int i = 1; i <= 40; ++i)
        list->Items()->Add("List item " + std::to_string(i));
    list->SetItemIndex(2);

    auto* view = Place<TListView>(this, Page, "ListView1", 364, 8, 360, 110);
    view->SetViewStyle(vsReport);
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

    auto* tree = Place<TTreeView>(this, Page, "TreeView1", 8, 126, 200, 300);
    for (int i = 1; i <= 6; ++i) {
        TTreeNode* node = tree->Items()->Add(nullptr, "Folder " + std::to_string(i));
        for (int j = 1; j <= 3; ++j)
            tree->Items()->AddChild(node, "Document " + std::to_string(i) + "." + std::to_string(j));
        node->Expand(false);
    }

    auto* grid = Place<TStringGrid>(this, Page, "StringGrid1", 216, 126, 348, 300);
    grid->SetColCount(8);
    grid->SetRowCount(20);
    grid->SetDefaultRowHeight(20);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 20; ++r)
            grid->SetCells(c, r, r == 0 ? "Col " + std::to_string(c) : c == 0 ? "Row " + std::to_string(r)
                                                                                 : std::to_string(r * c));

    auto* horizontal = Place<TScrollBar>(this, Page, "ScrollBar1", 572, 126, 152, 17);
    horizontal->SetPageSize(10);
    horizontal->SetPosition(30);
    auto* vertical = Place<TScrollBar>(this, Page, "ScrollBar2", 572, 150, 17, 276);
    vertical->SetKind(sbVertical);
    vertical->SetBounds(572, 150, 17, 276);
    vertical->SetPageSize(20);
    auto* disabled = Place<TScrollBar>(this, Page, "ScrollBar3", 596, 150, 128, 17);
    disabled->SetEnabled(false);
}

void TDemoForm::MakeBarsPage(TWinControl* Page)
{
    // Status-bar panels of every bevel, one of them empty, and a bar in its simple mode.
    auto* status = Place<TStatusBar>(this, Page, "StatusPanels", 8, 8, 716, 22);
    status->SetAlign(alNone);
    status->SetBounds(8, 8, 716, 22);
    status->SetSizeGrip(false);
    const struct {
        const char* Text;
        TStatusPanelBevel Bevel;
    } panels[] = {{"Lowered", pbLowered}, {"Raised", pbRaised}, {"", pbLowered}, {"No bevel", pbNone}};
    for (const auto& p : panels) {
        TStatusPanel* panel = status->Panels()->Add();
        panel->SetText(p.Text);
        panel->SetWidth(150);
        panel->SetBevel(p.Bevel);
    }
    auto* simple = Place<TStatusBar>(this, Page, "StatusSimple", 8, 38, 716, 22);
    simple->SetAlign(alNone);
    simple->SetBounds(8, 38, 716, 22);
    simple->SetSizeGrip(false);
    simple->SetSimplePanel(true);
    simple->SetSimpleText("A status bar showing its simple panel");

    // A progress bar that a timer moves on, one that the track bar sets, an empty and a full one.
    Progress1 = Place<TProgressBar>(this, Page, "Progress1", 8, 74, 340, 18);
    Progress2 = Place<TProgressBar>(this, Page, "Progress2", 8, 100, 340, 18);
    Progress2->SetPosition(60);
    Place<TProgressBar>(this, Page, "Progress3", 8, 126, 340, 18)->SetPosition(0);
    Place<TProgressBar>(this, Page, "Progress4", 8, 152, 340, 18)->SetPosition(100);
    Timer1 = new TTimer(this);
    Timer1->SetName("Timer1");
    Timer1->SetInterval(100);
    Timer1->SetOnTimer(BindMethod<&TDemoForm::TimerTick>(this));

    TrackBar1 = Place<TTrackBar>(this, Page, "TrackBar1", 364, 74, 300, 40);
    TrackBar1->SetPosition(6);
    TrackBar1->SetOnChange(BindMethod<&TDemoForm::TrackBarChange>(this));
    auto* upright = Place<TTrackBar>(this, Page, "TrackBar2", 672, 74, 40, 100);
    upright->SetOrientation(trVertical);
    upright->SetBounds(672, 74, 40, 100);
    upright->SetPosition(3);
    Place<TTrackBar>(this, Page, "TrackBar3", 364, 126, 300, 40)->SetEnabled(false);

    auto* header = Place<THeaderStrip>(this, Page, "Header1", 8, 190, 716, 24);
    header->SetSections({{"Name", 200}, {"Size", 100}, {"Kind", 160}, {"Modified", 180}});
}

void TDemoForm::MakeTabsPage(TWinControl* Page)
{
    // Tabs at the bottom, at the left, at the right, more tabs than fit (scroll arrows), a tab set.
    struct {
        const char* Name;
        TTabPosition Position;
        int X, Y, W, H, Count;
    } const controls[] = {{"TabsBottom", tpBottom, 8, 8, 230, 120, 3},
                          {"TabsLeft", tpLeft, 246, 8, 230, 120, 3},
                          {"TabsRight", tpRight, 484, 8, 230, 120, 3},
                          {"TabsMany", tpTop, 8, 136, 300, 100, 12}};
    for (const auto& c : controls) {
        auto* tabs = Place<TTabControl>(this, Page, c.Name, c.X, c.Y, c.W, c.H);
        tabs->SetTabPosition(c.Position);
        for (int i = 1; i <= c.Count; ++i)
            tabs->Tabs()->Add("Tab " + std::to_string(i));
        tabs->SetTabIndex(c.Position == tpTop ? 2 : 0);
    }
    auto* set = Place<TTabSet>(this, Page, "TabSet1", 320, 136, 300, 24);
    for (const char* caption : {"Sheet 1", "Sheet 2", "Sheet 3", "Sheet 4", "Sheet 5", "Sheet 6", "Sheet 7"})
        set->Tabs()->Add(caption);
    set->SetTabIndex(0);
}

void TDemoForm::TimerTick(TObject*)
{
    Progress1->SetPosition(Progress1->Position() >= Progress1->Max() ? 0 : Progress1->Position() + 2);
}

void TDemoForm::TrackBarChange(TObject*)
{
    Progress2->SetPosition(TrackBar1->Position() * 10);
}
