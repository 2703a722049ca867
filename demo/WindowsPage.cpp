// The gallery's Windows page: windows of their own. Message boxes, a dialog made from a template
// in memory that holds every standard window class, the system's Open, Colour and Font dialogs, the
// context menu, and an MDI frame with two children.
#include "demo/DemoForm.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/StdCtrls.h"
#include "framework/menus/Menus.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <string>
#include <vector>

namespace {

// A dialog template (DLGTEMPLATE and its DLGITEMTEMPLATEs) built in memory.
class TDialogTemplate {
public:
    TDialogTemplate(const char* Title, short W, short H)
    {
        const DWORD style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        AddDword(style);
        AddDword(0);
        FWords.push_back(0); // item count, set as items come
        for (short v : {short(0), short(0), W, H})
            FWords.push_back(static_cast<WORD>(v));
        FWords.push_back(0); // no menu
        FWords.push_back(0); // the standard dialog class
        AddText(Title);
        FWords.push_back(8);
        AddText("MS Shell Dlg");
    }

    void Add(const char* Class, const char* Text, DWORD Style, short X, short Y, short W, short H, WORD Id)
    {
        if (FWords.size() % 2 != 0)
            FWords.push_back(0); // items start on a DWORD boundary
        AddDword(Style | WS_CHILD | WS_VISIBLE);
        AddDword(0);
        for (short v : {X, Y, W, H})
            FWords.push_back(static_cast<WORD>(v));
        FWords.push_back(Id);
        AddText(Class);
        AddText(Text);
        FWords.push_back(0); // no creation data
        ++FWords[4];
    }

    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(FWords.data()); }

private:
    void AddDword(DWORD Value)
    {
        FWords.push_back(LOWORD(Value));
        FWords.push_back(HIWORD(Value));
    }
    void AddText(const char* Text)
    {
        for (; *Text != 0; ++Text)
            FWords.push_back(static_cast<unsigned char>(*Text));
        FWords.push_back(0);
    }

    std::vector<WORD> FWords;
};

enum : WORD {
    IdEdit = 100, IdMultiLine, IdDropDown, IdDropList, IdSimple, IdList, IdHorz, IdVert, IdTabs, IdSpinEdit,
    IdSpin, IdProgress, IdTrack, IdListView, IdHeader, IdCheck, IdThreeState, IdRadio1, IdRadio2, IdPushLike,
};

INT_PTR CALLBACK StandardDialogProc(HWND Dialog, UINT Msg, WPARAM WParam, LPARAM)
{
    switch (Msg) {
    case WM_INITDIALOG: {
        for (int id : {IdDropDown, IdDropList, IdSimple})
            for (const char* item : {"Slate", "Night", "Sand", "Moss"})
                SendDlgItemMessageA(Dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendDlgItemMessageA(Dialog, IdDropList, CB_SETCURSEL, 1, 0);
        SendDlgItemMessageA(Dialog, IdSimple, CB_SETCURSEL, 2, 0);
        for (int i = 1; i <= 20; ++i)
            SendDlgItemMessageA(Dialog, IdList, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(("List item " + std::to_string(i)).c_str()));
        SendDlgItemMessageA(Dialog, IdList, LB_SETCURSEL, 1, 0);
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 100, 10, 30, 0};
        SendDlgItemMessageA(Dialog, IdHorz, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
        SendDlgItemMessageA(Dialog, IdVert, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
        for (const char* caption : {"General", "Details", "More"}) {
            TCITEMA tab{};
            tab.mask = TCIF_TEXT;
            tab.pszText = const_cast<char*>(caption);
            SendDlgItemMessageA(Dialog, IdTabs, TCM_INSERTITEMA, 99, reinterpret_cast<LPARAM>(&tab));
        }
        SendDlgItemMessageA(Dialog, IdSpin, UDM_SETRANGE32, 0, 100);
        SendDlgItemMessageA(Dialog, IdSpin, UDM_SETPOS32, 0, 25);
        SendDlgItemMessageA(Dialog, IdProgress, PBM_SETPOS, 40, 0);
        SendDlgItemMessageA(Dialog, IdTrack, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
        SendDlgItemMessageA(Dialog, IdTrack, TBM_SETPOS, TRUE, 4);
        HWND view = GetDlgItem(Dialog, IdListView);
        const char* columns[3] = {"Name", "Size", "Type"};
        for (int c = 0; c < 3; ++c) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = const_cast<char*>(columns[c]);
            column.cx = 70;
            SendMessageA(view, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
        }
        for (int r = 0; r < 12; ++r) {
            std::string name = "File " + std::to_string(r + 1), size = std::to_string(12 * (r + 1)) + " KB";
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = r;
            item.pszText = name.data();
            SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 1;
            item.pszText = size.data();
            SendMessageA(view, LVM_SETITEMTEXTA, r, reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 2;
            item.pszText = const_cast<char*>(r % 2 == 0 ? "Text" : "Picture");
            SendMessageA(view, LVM_SETITEMTEXTA, r, reinterpret_cast<LPARAM>(&item));
        }
        int index = 0;
        for (const char* caption : {"Header", "of its own", "class"}) {
            HDITEMA item{};
            item.mask = HDI_TEXT | HDI_WIDTH;
            item.pszText = const_cast<char*>(caption);
            item.cxy = 70;
            SendDlgItemMessageA(Dialog, IdHeader, HDM_INSERTITEMA, index++, reinterpret_cast<LPARAM>(&item));
        }
        CheckDlgButton(Dialog, IdCheck, BST_CHECKED);
        CheckDlgButton(Dialog, IdThreeState, BST_INDETERMINATE);
        CheckRadioButton(Dialog, IdRadio1, IdRadio2, IdRadio1);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(WParam) == IDOK || LOWORD(WParam) == IDCANCEL) {
            EndDialog(Dialog, LOWORD(WParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

void TDemoForm::MakeWindowsPage(TWinControl* Page)
{
    struct {
        const char* Name;
        const char* Caption;
        int Tag;
        TNotifyEvent Handler;
    } const buttons[] = {
        {"MessageInfo", "Information...", MB_ICONINFORMATION | MB_OK, BindMethod<&TDemoForm::MessageBoxClick>(this)},
        {"MessageQuestion", "Question...", MB_ICONQUESTION | MB_YESNOCANCEL, BindMethod<&TDemoForm::MessageBoxClick>(this)},
        {"MessageWarning", "Warning...", MB_ICONWARNING | MB_ABORTRETRYIGNORE, BindMethod<&TDemoForm::MessageBoxClick>(this)},
        {"StandardDialog", "Standard dialog...", 0, BindMethod<&TDemoForm::StandardDialogClick>(this)},
        {"OpenDialog", "Open...", 1, BindMethod<&TDemoForm::CommonDialogClick>(this)},
        {"ColourDialog", "Colour...", 2, BindMethod<&TDemoForm::CommonDialogClick>(this)},
        {"FontDialog", "Font...", 3, BindMethod<&TDemoForm::CommonDialogClick>(this)},
        {"ContextMenu", "Context menu...", 0, BindMethod<&TDemoForm::ContextMenuClick>(this)},
        {"MdiWindow", "MDI window...", 0, BindMethod<&TDemoForm::MdiWindowClick>(this)},
    };
    const char* groups[3] = {"Message boxes", "Dialogs", "Menus and MDI"};
    TGroupBox* boxes[3] = {};
    for (int g = 0; g < 3; ++g) {
        boxes[g] = new TGroupBox(this);
        boxes[g]->SetName("WindowsGroup" + std::to_string(g + 1));
        boxes[g]->SetParent(Page);
        boxes[g]->SetBounds(8 + 240 * g, 8, 228, 160);
        boxes[g]->SetCaption(groups[g]);
    }
    const int groupOf[9] = {0, 0, 0, 1, 1, 1, 1, 2, 2};
    int row[3] = {};
    for (size_t i = 0; i < std::size(buttons); ++i) {
        auto* button = new TButton(this);
        button->SetName(buttons[i].Name);
        button->SetParent(boxes[groupOf[i]]);
        button->SetBounds(12, 22 + 32 * row[groupOf[i]]++, 204, 25);
        button->SetCaption(buttons[i].Caption);
        button->SetTag(buttons[i].Tag);
        button->SetOnClick(buttons[i].Handler);
    }
    auto* note = new TPanel(this);
    note->SetName("WindowsNote");
    note->SetParent(Page);
    note->SetBounds(8, 180, 716, 28);
    note->SetBevelOuter(bvNone);
    note->SetAlignment(taLeftJustify);
    note->SetCaption("Right-click the form for its context menu. In the MDI window, maximise a child: its "
                     "caption buttons move into the menu bar.");
}

void TDemoForm::MessageBoxClick(TObject* Sender)
{
    const auto flags = static_cast<UINT>(dynamic_cast<TComponent*>(Sender)->Tag());
    const char* text = (flags & MB_ICONQUESTION) != 0  ? "Save the changes to the gallery?"
                       : (flags & MB_ICONWARNING) != 0 ? "The skin could not be found.\nTry again?"
                                                       : "A message box of the system, skinned with its buttons.";
    const int answer = MessageBoxA(Handle(), text, "Pembrox Demo", flags);
    ShowStatus(" The message box answered " + std::to_string(answer));
}

void TDemoForm::StandardDialogClick(TObject*)
{
    TDialogTemplate dialog("A dialog of every standard class", 356, 232);
    // Buttons of every kind on the left.
    dialog.Add("Button", "Buttons", BS_GROUPBOX, 7, 4, 104, 120, 0xFFFF);
    dialog.Add("Button", "Check box", BS_AUTOCHECKBOX | WS_TABSTOP, 14, 16, 90, 12, IdCheck);
    dialog.Add("Button", "Three states", BS_AUTO3STATE | WS_TABSTOP, 14, 30, 90, 12, IdThreeState);
    dialog.Add("Button", "Radio one", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 44, 90, 12, IdRadio1);
    dialog.Add("Button", "Radio two", BS_AUTORADIOBUTTON, 14, 58, 90, 12, IdRadio2);
    dialog.Add("Button", "Push-like", BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_GROUP | WS_TABSTOP, 14, 74, 90, 14,
               IdPushLike);
    dialog.Add("Button", "Disabled", BS_PUSHBUTTON | WS_DISABLED, 14, 92, 90, 14, 0xFFFF);
    dialog.Add("Static", "A static text, then an etched line:", SS_LEFT, 7, 130, 104, 18, 0xFFFF);
    dialog.Add("Static", "", SS_ETCHEDHORZ, 7, 150, 104, 2, 0xFFFF);
    dialog.Add("ScrollBar", "", SBS_HORZ, 7, 158, 104, 10, IdHorz);
    dialog.Add("ScrollBar", "", SBS_VERT, 116, 4, 10, 88, IdVert);
    // Text in the middle.
    dialog.Add("Edit", "An edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 132, 4, 104, 13, IdEdit);
    dialog.Add("Edit", "25", ES_NUMBER | WS_BORDER | WS_TABSTOP, 132, 21, 50, 13, IdSpinEdit);
    dialog.Add(UPDOWN_CLASSA, "", UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0, 0,
               IdSpin);
    dialog.Add("ComboBox", "", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 132, 38, 104, 80, IdDropDown);
    dialog.Add("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 132, 55, 104, 80, IdDropList);
    dialog.Add("ComboBox", "", CBS_SIMPLE | WS_TABSTOP, 132, 72, 104, 40, IdSimple);
    dialog.Add("ListBox", "", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 132, 114, 104, 54, IdList);
    dialog.Add("Edit", "A multi-line edit\r\nwith a scroll bar\r\nand more lines\r\nthan it shows\r\nfive\r\nsix",
               ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 174, 119, 34, IdMultiLine);
    // Common controls on the right.
    dialog.Add(WC_TABCONTROLA, "", WS_TABSTOP, 242, 4, 107, 50, IdTabs);
    dialog.Add(PROGRESS_CLASSA, "", 0, 242, 60, 107, 10, IdProgress);
    dialog.Add(TRACKBAR_CLASSA, "", TBS_AUTOTICKS | WS_TABSTOP, 242, 74, 107, 20, IdTrack);
    dialog.Add(WC_HEADERA, "", HDS_BUTTONS, 242, 98, 107, 12, IdHeader);
    dialog.Add(WC_LISTVIEWA, "", LVS_REPORT | WS_BORDER | WS_TABSTOP, 132, 174, 217, 34, IdListView);
    dialog.Add("Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 242, 214, 50, 14, IDOK);
    dialog.Add("Button", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 299, 214, 50, 14, IDCANCEL);
    const INT_PTR answer =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.Data(), Handle(), StandardDialogProc, 0);
    ShowStatus(" The dialog ended with " + std::string(answer == IDOK ? "OK" : "Cancel"));
}

void TDemoForm::CommonDialogClick(TObject* Sender)
{
    const int32_t which = dynamic_cast<TComponent*>(Sender)->Tag();
    bool chosen = false;
    if (which == 1) {
        chosen = !AskForFile("All files\0*.*\0Skins (*.skn)\0*.skn\0", false).empty();
    } else if (which == 2) {
        static COLORREF custom[16] = {};
        CHOOSECOLORA colour{};
        colour.lStructSize = sizeof colour;
        colour.hwndOwner = Handle();
        colour.rgbResult = RGB(80, 120, 170);
        colour.lpCustColors = custom;
        colour.Flags = CC_RGBINIT | CC_FULLOPEN;
        chosen = CommonDialog<decltype(ChooseColorA)>("ChooseColorA")(&colour) != FALSE;
    } else {
        LOGFONTA font{};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        CHOOSEFONTA choose{};
        choose.lStructSize = sizeof choose;
        choose.hwndOwner = Handle();
        choose.lpLogFont = &font;
        choose.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
        chosen = CommonDialog<decltype(ChooseFontA)>("ChooseFontA")(&choose) != FALSE;
    }
    ShowStatus(chosen ? " Chosen" : " Cancelled");
}

void TDemoForm::ContextMenuClick(TObject* Sender)
{
    auto* button = dynamic_cast<TControl*>(Sender);
    POINT at{0, button->Height()};
    ::ClientToScreen(dynamic_cast<TWinControl*>(button)->Handle(), &at);
    PopupMenu1->Popup(at.x, at.y);
}

void TDemoForm::MdiWindowClick(TObject*)
{
    auto* frame = dynamic_cast<TForm*>(FindComponent("MdiFrame"));
    if (frame == nullptr) {
        frame = new TForm(this);
        frame->SetName("MdiFrame");
        frame->SetFormStyle(fsMDIForm);
        frame->SetCaption("An MDI window");
        frame->SetBounds(Left() + 60, Top() + 60, 560, 400);
        auto* menu = new TMainMenu(frame);
        for (const char* caption : {"&Window", "&Help"}) {
            auto* item = new TMenuItem(frame);
            item->SetCaption(caption);
            auto* sub = new TMenuItem(frame);
            sub->SetCaption(caption[1] == 'W' ? "&Cascade" : "&About");
            item->Add(sub);
            menu->Items()->Add(item);
        }
        frame->SetMenu(menu);
        // Shown first, so that the children are made in a frame the skin has taken over.
        frame->Show();
        for (int i = 0; i < 2; ++i) {
            auto* child = new TForm(frame);
            child->SetFormStyle(fsMDIChild);
            child->SetCaption("Child " + std::to_string(i + 1));
            child->SetBounds(16 + 60 * i, 16 + 50 * i, 300, 200);
            auto* memo = new TMemo(child);
            memo->SetParent(child);
            memo->SetAlign(alClient);
            memo->Lines()->Add("A child window of the MDI frame.");
            child->HandleNeeded();
            child->Show();
        }
    }
    frame->Show();
}
