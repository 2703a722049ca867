#include "skin/controls/AdaptorSet.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/core/Properties.h"
#include "framework/core/StrUtils.h"
#include "skin/controls/SkinBars.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinCheckBox.h"
#include "skin/controls/SkinEdits.h"
#include "skin/controls/SkinLabel.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/controls/SkinTabs.h"
#include "skin/data/WinSkinData.h"
#include "framework/win/WindowInfo.h"

#include <commctrl.h>

#include <algorithm>

namespace {

template <class T> bool IsA(const TObject* Component)
{
    return dynamic_cast<const T*>(Component) != nullptr;
}

int TagClass(const TComponent* Component)
{
    return Component->Tag() % 100;
}

std::string UpperClassName(const TComponent* Component)
{
    return UpperCase(Component->ClassName());
}

} // namespace

bool TAdaptorSet::HasScrollBars(TControl* Control)
{
    auto* control = dynamic_cast<TWinControl*>(Control);
    if (control == nullptr || !control->HandleAllocated())
        return false;
    const LONG style = GetWindowLongA(control->Handle(), GWL_STYLE);
    return (style & (WS_HSCROLL | WS_VSCROLL)) != 0 || IsA<TListBox>(control) || IsA<TMemo>(control) ||
           control->Tag() == tgScrollBars || IsA<TCustomListBox>(control) || IsA<TCustomTreeView>(control) ||
           IsA<TScrollBox>(control);
}

TAdaptorSet::~TAdaptorSet()
{
    ReleaseAdaptors();
}

void TAdaptorSet::SetWindow(TCustomForm* Form, HWND Window)
{
    FForm = Form;
    FHandle = Window;
}

void TAdaptorSet::AddAdaptor(TSkinControl* Adaptor)
{
    if (Adaptor != nullptr && std::find(FAdaptors.begin(), FAdaptors.end(), Adaptor) == FAdaptors.end()) {
        FAdaptors.push_back(Adaptor);
        Adaptor->FListedIn = this;
    }
}

void TAdaptorSet::RemoveAdaptor(TSkinControl* Adaptor) noexcept
{
    FAdaptors.erase(std::remove(FAdaptors.begin(), FAdaptors.end(), Adaptor), FAdaptors.end());
    if (Adaptor != nullptr && Adaptor->FListedIn == this)
        Adaptor->FListedIn = nullptr;
    if (FHotButton == Adaptor)
        FHotButton = nullptr;
}

void TAdaptorSet::ReleaseAdaptors()
{
    FHotButton = nullptr;
    std::vector<TSkinControl*> adaptors;
    adaptors.swap(FAdaptors);
    // Newest first: a check box gives its colour back before the panel it sits on does.
    for (auto it = adaptors.rbegin(); it != adaptors.rend(); ++it) {
        (*it)->FListedIn = nullptr;
        if ((*it)->Owner() == this)
            Retire(*it);
        else
            (*it)->Detach(); // an adaptor the application made (OnSkinControl) stays its own
    }
}

void TAdaptorSet::ForgetSkinData()
{
    FSkinData = nullptr;
    for (TSkinControl* adaptor : FAdaptors)
        adaptor->FSkinData = nullptr;
    ReleaseAdaptors();
}

void TAdaptorSet::ApplySkinColours()
{
    for (TSkinControl* adaptor : std::vector<TSkinControl*>(FAdaptors))
        if (!adaptor->Retired()) {
            adaptor->ApplySkinColour();
            adaptor->SkinChanged();
        }
}

void TAdaptorSet::LeaveHotButton()
{
    if (TSkinControl* hot = FHotButton) {
        FHotButton = nullptr;
        hot->SendMouseLeave();
    }
}

void TAdaptorSet::GiveChangesBack(bool GoingAway)
{
    if (GoingAway)
        FChanges.Clear();
    else
        FChanges.UndoAll();
}

TSkinControl* TAdaptorSet::FindAdaptor(HWND Window) const
{
    for (TSkinControl* adaptor : FAdaptors)
        if (adaptor->Handle() == Window)
            return adaptor;
    return nullptr;
}

bool TAdaptorSet::IsAttached(TComponent* Component) const
{
    auto* control = dynamic_cast<TWinControl*>(Component);
    for (TSkinControl* adaptor : FAdaptors) {
        if (adaptor->GraphicControl() != nullptr && adaptor->GraphicControl() == Component)
            return true;
        if (adaptor->Control() != nullptr) {
            if (adaptor->Control() == Component)
                return true;
            continue;
        }
        if (control == nullptr)
            continue;
        if (!control->HandleAllocated()) {
            // A print-preview form's controls come and go: they count as attached.
            const std::string name = FForm != nullptr ? FForm->Name() : std::string();
            return LowerCase(name).find("preview") != std::string::npos || name == "TQRStandardPreview" ||
                   name == "TppPrintPreview" || name == "TdxfmStdPreview";
        }
        if (control->Handle() == adaptor->Handle())
            return true;
    }
    return false;
}

bool TAdaptorSet::AttachByClassMap(const std::string& ClassName, TComponent* Control)
{
    if (FSkinData == nullptr)
        return false;
    const std::string key = LowerCase(ClassName) + "=";
    TStringList* map = FSkinData->Skin3rd();
    std::string kind;
    bool found = false;
    for (int i = 0; i < map->Count() && !found; ++i) {
        const std::string line = LowerCase(map->Strings(i));
        if (line.rfind(key, 0) == 0) {
            kind = line.substr(line.find('=') + 1, 50);
            found = true;
        }
    }
    if (!found)
        return false;
    const TSkinControlTypes kinds = FSkinData->SkinControls();
    auto* control = dynamic_cast<TWinControl*>(Control);
    if (control == nullptr)
        return true;
    auto swapped = [&](auto* Adaptor) { Adaptor->AttachControl(control, FSkinData, true, &FCanvas); };
    auto children = [&](auto MakeAdaptor) {
        for (int i = 0; i < control->ControlCount(); ++i)
            if (auto* child = dynamic_cast<TWinControl*>(control->Controls(i))) {
                FChanges.SetParentColor(child, false);
                MakeAdaptor()->AttachControl(child, FSkinData, true, &FCanvas);
            }
    };
    if (kind == "edit") {
        if (kinds.Contains(xcEdit))
            AttachEdit(control->Handle());
    } else if (kind == "combobox") {
        if (kinds.Contains(xcCombo))
            NewAdaptor<TSkinComBox>()->AttachControl(control, FSkinData, false, &FCanvas);
    } else if (kind == "progress") {
        if (kinds.Contains(xcProgress))
            NewAdaptor<TSkinProgress>()->AttachControl(control, FSkinData, false, &FCanvas);
    } else if (kind == "radiobutton") {
        if (kinds.Contains(xcRadioButton))
            swapped(NewAdaptor<TSkinRadioButton>());
    } else if (kind == "panel" || kind == "trackbar") {
        if (kinds.Contains(kind == "panel" ? xcPanel : xcButton)) {
            FChanges.SetEnumProperty(control, "Transparent", "True");
            swapped(NewAdaptor<TSkinBox>());
        }
    } else if (kind == "radiogroup") {
        if (kinds.Contains(xcPanel)) {
            if (kinds.Contains(xcRadioButton))
                children([this] { return NewAdaptor<TSkinRadioButton>(); });
            swapped(NewAdaptor<TSkinBox>());
        }
    } else if (kind == "checkgroup") {
        if (kinds.Contains(xcPanel)) {
            if (kinds.Contains(xcCheckBox))
                children([this] { return NewAdaptor<TSkinCheckBox>(); });
            swapped(NewAdaptor<TSkinBox>());
        }
    } else if (kind == "checkbox") {
        if (kinds.Contains(xcCheckBox))
            swapped(NewAdaptor<TSkinCheckBox>());
    }
    return true;
}

void TAdaptorSet::AttachControls(TComponent* Container)
{
    if (Container == nullptr || FSkinData == nullptr)
        return;
    const TSkinControlTypes kinds = FSkinData->SkinControls();
    const TColor face = FSkinData->Colours().ButtonFace;
    const bool tabs = FSkinData->SkinTabs() != nullptr;
    for (int i = 0; i < Container->ComponentCount(); ++i) {
        TComponent* component = Container->Components(i);
        if (TagClass(component) == FSkinData->DisableTag() || IsAttached(component) || Refused(component))
            continue;
        auto* control = dynamic_cast<TWinControl*>(component);
        if (control != nullptr && !control->HandleAllocated()) {
            try {
                control->HandleNeeded();
            } catch (const Exception&) {
                continue;
            }
        }
        if (control != nullptr && Refused(control->Handle()))
            continue;
        const std::string name = UpperClassName(component);
        if (FSkinData->OnSkinControl()) {
            TComponent* skinned = nullptr;
            FSkinData->OnSkinControl()(FSender, FSkinData, dynamic_cast<TControl*>(Container),
                                       dynamic_cast<TControl*>(component), name, skinned);
            if (auto* adaptor = dynamic_cast<TSkinControl*>(skinned)) {
                if (control != nullptr) {
                    adaptor->AttachWindow(control->Handle(), FSkinData, &FCanvas);
                    // Listed, so that the next walk finds the control attached; it stays the
                    // application's (ReleaseAdaptors only detaches it).
                    AddAdaptor(adaptor);
                }
                continue;
            }
        }
        auto attach = [&](TSkinControl* Adaptor, bool Swap) {
            Adaptor->AttachControl(control, FSkinData, Swap, &FCanvas);
        };
        // The bars of a scrolling control; OwnDrag: the adaptor drags the thumb itself.
        auto scrolling = [&](bool OwnDrag) {
            NewAdaptor<TSkinScrollBar>()->AttachScrolling(control, FSkinData, OwnDrag, &FCanvas);
        };
        const int tag = TagClass(component);
        // The rows, first match wins.
        if (name == "TDBCOMBOBOXEH") {
        } else if (name == "TTOOLBAR") {
            if (auto* bar = dynamic_cast<TToolBar*>(component)) {
                const bool flat = bar->Flat();
                FChanges.Record(bar, "Flat", [bar, flat] { bar->SetFlat(flat); });
                bar->SetFlat(true);
                FChanges.SetColor(bar, face);
            }
        } else if (IsA<TTabControl>(component) && kinds.Contains(xcTab) && tabs) {
            AttachTab(control);
        } else if (name == "TTABSET" && kinds.Contains(xcTab) && tabs) {
            attach(NewAdaptor<TSkinTab31>(), false);
        } else if (name == "TTABBEDNOTEBOOK" && kinds.Contains(xcTab) && tabs) {
            AttachTab(control);
        } else if (name == "TMVCPANEL") {
            AttachControls(component);
        } else if (IsA<TPageControl>(component) && kinds.Contains(xcTab) && tabs) {
            AttachTab(control);
        } else if (IsA<TTabSheet>(component)) {
            // A page shows the face colour as its page control's border and the controls on it do.
            FChanges.SetColor(dynamic_cast<TControl*>(component), face);
        } else if (IsA<TCustomCheckBox>(component) && kinds.Contains(xcCheckBox)) {
            attach(NewAdaptor<TSkinCheckBox>(), true);
        } else if (name == "TTRACKBAR" && kinds.Contains(xcButton)) {
            // With the face colour: the bar fills its background with its own colour's brush.
            attach(NewAdaptor<TSkinTrackBar>(), true);
        } else if (name == "TUPDOWN" && kinds.Contains(xcButton)) {
            attach(NewAdaptor<TSkinUpDown>(), false);
        } else if (IsA<TCustomRadioGroup>(component) && kinds.Contains(xcRadioButton)) {
            for (int c = 0; c < control->ControlCount(); ++c)
                if (auto* child = dynamic_cast<TWinControl*>(control->Controls(c))) {
                    FChanges.SetParentColor(child, false);
                    NewAdaptor<TSkinRadioButton>()->AttachControl(child, FSkinData, true, &FCanvas);
                }
            attach(NewAdaptor<TSkinBox>(), true);
        } else if (name == "TDBNAVIGATOR" && kinds.Contains(xcPanel)) {
            FChanges.SetEnumProperty(component, "Flat", "True");
            attach(NewAdaptor<TSkinBox>(), true);
        } else if (IsA<TRadioButton>(component) && kinds.Contains(xcRadioButton)) {
            attach(NewAdaptor<TSkinRadioButton>(), true);
        } else if (IsA<TToolBar>(component) && kinds.Contains(xcToolbar)) {
            FChanges.SetEnumProperty(component, "Flat", "True");
            attach(NewAdaptor<TSkinBox>(), true);
        } else if (IsA<TStatusBar>(component) && kinds.Contains(xcStatusBar)) {
            // The bar keeps its size grip: the skin draws it, and turning it off would make the
            // host's window anew (a new handle, the host's own subclassing lost).
            attach(NewAdaptor<TSkinStatusBar>(), false);
        } else if (IsA<TProgressBar>(component) && kinds.Contains(xcProgress)) {
            attach(NewAdaptor<TSkinProgress>(), false);
        } else if (IsA<TScrollBar>(component) && kinds.Contains(xcScrollbar)) {
            attach(NewAdaptor<TSkinScControl>(), false);
        } else if ((IsA<TCustomComboBox>(component) || tag == tgComboBox) && kinds.Contains(xcCombo)) {
            // A simple combo box has no button to draw: it keeps its own look.
            auto* combo = dynamic_cast<TCustomComboBox*>(component);
            if (combo == nullptr || combo->Style() != csSimple)
                attach(NewAdaptor<TSkinComBox>(), false);
        } else if (name == "TDATETIMEPICKER" && kinds.Contains(xcEdit)) {
            // A picker that shows arrows (a time, or a date in up-down mode) has the up-down look;
            // one that drops a calendar down, the combo box's.
            auto* picker = dynamic_cast<TDateTimePicker*>(component);
            if (picker != nullptr && (picker->DateMode() == dmUpDown || picker->Kind() == dtkTime))
                attach(NewAdaptor<TSkinEdit>(), false);
            else
                attach(NewAdaptor<TSkinComBox>(), false);
        } else if (kinds.Contains(xcScrollbar) &&
                   (name == "TRICHEDIT" || name == "TWWDBRICHEDIT" || name == "TDXDBMEMO")) {
            scrolling(true);
        } else if (IsA<TBitBtn>(component) && kinds.Contains(xcBitBtn)) {
            attach(NewAdaptor<TSkinBitButton>(), false);
        } else if (IsA<TSpeedButton>(component) && kinds.Contains(xcSpeedButton)) {
            NewAdaptor<TSkinSpeedButton>()->AttachGraphicControl(dynamic_cast<TSpeedButton*>(component), FSkinData,
                                                                 &FCanvas);
        } else if ((IsA<TCustomPanel>(component) || IsA<TCustomGroupBox>(component)) && kinds.Contains(xcPanel)) {
            attach(NewAdaptor<TSkinBox>(), true);
            AttachControls(component);
        } else if (kinds.Contains(xcScrollbar) &&
                   (name == "TDXTREELIST" || name == "TDXDBTREELIST" || name == "TDXDBGRID")) {
            scrolling(false);
        } else if (IsA<TCustomListView>(component) && kinds.Contains(xcScrollbar)) {
            attach(NewAdaptor<TSkinListView>(), false);
        } else if (kinds.Contains(xcScrollbar) && IsA<TCustomMemo>(component)) {
            scrolling(true);
        } else if (kinds.Contains(xcScrollbar) && IsA<TCustomGrid>(component)) {
            scrolling(true);
            auto* grid = dynamic_cast<TCustomGrid*>(component);
            const TColor fixed = grid->FixedColor();
            FChanges.Record(grid, "FixedColor", [grid, fixed] { grid->SetFixedColor(fixed); });
            grid->SetFixedColor(face);
        } else if (kinds.Contains(xcScrollbar) &&
                   (tag == tgScrollBar || HasScrollBars(dynamic_cast<TControl*>(component)))) {
            scrolling(true);
        } else if (IsA<TButton>(component) && kinds.Contains(xcButton)) {
            attach(NewAdaptor<TSkinButton>(), false);
        } else if (AttachByClassMap(name, component)) {
        } else if ((IsA<TCustomEdit>(component) || tag == tgEdit) && kinds.Contains(xcEdit)) {
            AttachEdit(control->Handle());
        } else if (IsA<TCustomFrame>(component)) {
            AttachControls(component);
        } else if (auto* form = dynamic_cast<TCustomForm*>(component)) {
            FChanges.SetColor(form, face);
            AttachControls(component);
        }
    }
}

void TAdaptorSet::AttachTab(TWinControl* Control)
{
    if (Control == nullptr || FindAdaptor(Control->Handle()) != nullptr)
        return;
    TSkinControl* tab = NewAdaptor<TSkinTab>();
    tab->AttachWindow(Control->Handle(), FSkinData, &FCanvas);
    AddAdaptor(tab);
}

void TAdaptorSet::AttachEdit(HWND Window)
{
    if (Window == nullptr || FindAdaptor(Window) != nullptr)
        return;
    TSkinControl* edit = NewAdaptor<TSkinEdit>();
    edit->AttachWindow(Window, FSkinData, &FCanvas);
    // Listed, so that the skin going gives the edit back and a second walk does not attach again.
    AddAdaptor(edit);
    InvalidateRect(Window, nullptr, FALSE);
}

void TAdaptorSet::Refuse(const void* Control)
{
    if (Control != nullptr && !Refused(Control))
        FRefused.push_back(Control);
}

bool TAdaptorSet::Refused(const void* Control) const
{
    return std::find(FRefused.begin(), FRefused.end(), Control) != FRefused.end();
}

void TAdaptorSet::AttachChildWindows()
{
    AttachChildWindowsOf(FHandle);
}

void TAdaptorSet::AttachChildWindowsOf(HWND Parent)
{
    for (HWND child = GetTopWindow(Parent); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & WS_CHILD) == 0)
            continue;
        AttachChildWindow(child);
        // Into the program's own containers (panes, splitters, child dialogs), whose controls
        // are the window's as much as its direct children are. Not into a control that was
        // taken over (but a dialog inside, and a tab control holding its pages, are containers),
        // nor into the combo boxes' parts, which go with their combo box, nor into MDI children,
        // which are skinned windows of their own.
        const std::string cls = LowerCase(WindowClassName(child));
        const bool container = FindAdaptor(child) == nullptr || cls == "#32770" || cls == "systabcontrol32";
        if (container && cls != "mdiclient" && cls != "combobox" && cls != "comboboxex32" &&
            cls != "sysdatetimepick32" && cls != "sysipaddress32")
            AttachChildWindowsOf(child);
    }
}

void TAdaptorSet::AttachChildWindow(HWND Window)
{
    if (FindAdaptor(Window) != nullptr || FSkinData == nullptr || Refused(Window))
        return;
    const std::string cls = LowerCase(WindowClassName(Window));
    const LONG style = GetWindowLongA(Window, GWL_STYLE);
    TSkinControl* adaptor = nullptr;
    if (cls == "button") {
        // By the button's type alone: group boxes, owner-drawn, user, split and command-link
        // buttons draw themselves and keep their own look. So do check boxes and radio buttons
        // that look like push buttons: a box and a mark would not show their state.
        switch ((style & BS_PUSHLIKE) != 0 ? BS_OWNERDRAW : style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            adaptor = NewAdaptor<TSkinButton>();
            break;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            adaptor = NewAdaptor<TSkinCheckBox>();
            break;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            adaptor = NewAdaptor<TSkinRadioButton>();
            break;
        default:
            break;
        }
    }
    // The other classes by name. A bare track bar keeps its own look: its thumb is drawn in its
    // custom drawing, which only a framework parent passes back to it.
    const TSkinControlTypes kinds = FSkinData->SkinControls();
    if (cls == "combobox" && (style & 3) != CBS_SIMPLE && kinds.Contains(xcCombo)) {
        adaptor = NewAdaptor<TSkinComBox>();
    } else if (cls == "comboboxex32" && kinds.Contains(xcCombo)) {
        // The combo box inside it.
        if (HWND inner = GetTopWindow(Window); inner != nullptr && FindAdaptor(inner) == nullptr) {
            TSkinControl* combo = NewAdaptor<TSkinComBox>();
            combo->AttachWindow(inner, FSkinData, &FCanvas);
            AddAdaptor(combo);
        }
        return;
    } else if (kinds.Contains(xcScrollbar) &&
               (cls == "syslistview32" || cls == "systreeview32" || cls == "listbox" ||
                (cls == "edit" && (style & ES_MULTILINE) != 0 && (style & (WS_VSCROLL | WS_HSCROLL)) != 0))) {
        // Scrolling windows draw their bars in their own frame: the bars from the skin. Lists and
        // views show and hide their bars (and style bits) as their items come and go.
        adaptor = cls == "syslistview32" ? NewAdaptor<TSkinListView>() : NewAdaptor<TSkinScrollBar>();
    } else if (cls == "edit" && kinds.Contains(xcEdit)) {
        AttachEdit(Window);
        return;
    } else if (cls == "#32770") {
        adaptor = NewAdaptor<TSkinDialogPane>();
    } else if (cls == "static" && TSkinLabel::ShowsText(style)) {
        adaptor = NewAdaptor<TSkinLabel>();
    } else if (cls == "systabcontrol32" && (style & TCS_OWNERDRAWFIXED) == 0) {
        adaptor = NewAdaptor<TSkinTab>();
    } else if (cls == "sysheader32") {
        adaptor = NewAdaptor<TSkinHeader>();
    } else if (cls == "scrollbar" && kinds.Contains(xcScrollbar)) {
        // A size box is not painted; a real scroll bar is skinned, not hidden.
        if ((style & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0)
            adaptor = NewAdaptor<TSkinSizer>();
        else
            adaptor = NewAdaptor<TSkinScControl>();
    } else if (cls == "msctls_statusbar32" && kinds.Contains(xcStatusBar)) {
        adaptor = NewAdaptor<TSkinStatusBar>();
    } else if (cls == "msctls_progress32" && kinds.Contains(xcProgress)) {
        adaptor = NewAdaptor<TSkinProgress>();
    } else if (cls == "msctls_updown32" && kinds.Contains(xcButton)) {
        // A spin edit's arrows beside their buddy (the ones inside an edit go with the edit).
        adaptor = NewAdaptor<TSkinUpDown>();
    }
    if (adaptor == nullptr)
        return;
    adaptor->AttachWindow(Window, FSkinData, &FCanvas);
    AddAdaptor(adaptor);
}
