// Control discovery: which adaptor a control gets, from one table of kinds of control (Kinds).
// Each row says how a control is matched, on each of the three ways controls are found:
//
// - a framework form's components (AttachControls), by class, class name (upper-cased, for other
//   libraries' controls) and tag;
// - other libraries' controls that the skin data's class map (Skin3rd) names, by the kind it gives
//   them ("edit", "panel", ...): one row of the framework's way hands a control to the map;
// - a bare window's child windows (AttachChildWindows), by window class and style;
//
// then what it gets: an adaptor (on a framework control, taking over its colours or not), a change
// to the control, adaptors for its children, and whether discovery goes on into its components.
// Each way reads the table from the top and the first row that matches wins; a row with a gate
// applies only when the skin data's SkinControls holds that kind. A new kind of control is a row.
#include "skin/controls/AdaptorSet.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/core/Properties.h"
#include "framework/core/StrUtils.h"
#include "framework/win/WindowInfo.h"
#include "skin/controls/SkinBars.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinCheckBox.h"
#include "skin/controls/SkinEdits.h"
#include "skin/controls/SkinLabel.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/controls/SkinTabs.h"
#include "skin/data/WinSkinData.h"

#include <commctrl.h>

#include <optional>

// A component being discovered, as the framework rows see it.
struct TAdaptorSet::TFound {
    const TAdaptorSet& Set;
    TComponent* Component;
    TWinControl* Control; // nullptr for a windowless component
    std::string Name;     // its class name, upper-cased
    int Tag;              // its tag's class (Tag mod 100)
    TSkinControlTypes Kinds;
    bool Tabs; // the skin has a tab element

    // The kind the skin's class map gives the class name (lower-cased), looked up once.
    const std::optional<std::string>& MapKind() const
    {
        if (!FLooked) {
            FLooked = true;
            FMapKind = Set.ClassMapKind(Name);
        }
        return FMapKind;
    }
    mutable bool FLooked = false;
    mutable std::optional<std::string> FMapKind;
};

namespace {

template <class T> bool IsA(const TObject* Component)
{
    return dynamic_cast<const T*>(Component) != nullptr;
}

// No gate: the row applies whatever SkinControls holds.
constexpr int Always = -1;

bool Gated(int Gate, const TSkinControlTypes& Kinds)
{
    return Gate == Always || Kinds.Contains(static_cast<TSkinControlType>(Gate));
}

// A button's type, a push-like check box or radio button counting as owner-drawn.
LONG ButtonType(LONG Style)
{
    return (Style & BS_PUSHLIKE) != 0 ? BS_OWNERDRAW : Style & BS_TYPEMASK;
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


// What a row gives a control found one way or another: its component and framework control on a
// framework form's way (Control nullptr for a windowless component), its window on every way.
struct TAdaptorSet::TTarget {
    const TFound* Found; // nullptr on a bare window's way
    TComponent* Component;
    TWinControl* Control;
    HWND Window;
};

struct TAdaptorSet::TKind {
    int Gate;
    // A framework form's component of this kind (nullptr: not found that way).
    bool (*Framework)(const TFound&);
    // The class map's kind, lower-cased (nullptr: not found that way).
    const char* MapKind;
    // A bare child window of this class (lower-cased) and, unless nullptr, this style.
    const char* WindowClass;
    bool (*Style)(LONG);
    // What the control gets (nullptr: nothing, it keeps its look).
    void (*Give)(TAdaptorSet&, const TTarget&);
    // Discovery goes on into its components (a framework container).
    bool Children;
};

// An adaptor of class T: on a framework control through the control (taking its colours over
// with Swap), on a bare window through the window, listed.
template <class T, bool Swap> void TAdaptorSet::GiveAdaptor(TAdaptorSet& Set, const TTarget& Target)
{
    T* adaptor = Set.NewAdaptor<T>();
    if (Target.Found != nullptr) {
        adaptor->AttachControl(Target.Control, Set.FSkinData, Swap, &Set.FCanvas);
    } else {
        adaptor->AttachWindow(Target.Window, Set.FSkinData, &Set.FCanvas);
        Set.AddAdaptor(adaptor);
    }
}

// A group box with a box's adaptor, and its buttons each with an adaptor of class T (when the skin
// data's SkinControls holds ButtonGate), no longer taking the group's colour.
template <class T, int ButtonGate> void TAdaptorSet::GiveGroup(TAdaptorSet& Set, const TTarget& Target)
{
    if (Gated(ButtonGate, Set.FSkinData->SkinControls()))
        for (int i = 0; i < Target.Control->ControlCount(); ++i)
            if (auto* button = dynamic_cast<TWinControl*>(Target.Control->Controls(i))) {
                Set.FChanges.SetParentColor(button, false);
                Set.NewAdaptor<T>()->AttachControl(button, Set.FSkinData, true, &Set.FCanvas);
            }
    GiveAdaptor<TSkinBox, true>(Set, Target);
}

// The bars of a scrolling framework control; OwnDrag: the adaptor drags the thumb itself.
template <bool OwnDrag> void TAdaptorSet::GiveScrolling(TAdaptorSet& Set, const TTarget& Target)
{
    Set.NewAdaptor<TSkinScrollBar>()->AttachScrolling(Target.Control, Set.FSkinData, OwnDrag, &Set.FCanvas);
}

const std::vector<TAdaptorSet::TKind>& TAdaptorSet::Kinds()
{
    using F = const TFound&;
    using S = TAdaptorSet&;
    using T = const TTarget&;
    static constexpr auto name = [](F f, std::initializer_list<const char*> Names) {
        return std::any_of(Names.begin(), Names.end(), [&](const char* n) { return f.Name == n; });
    };
    // A box whose control is told to be transparent (the class map's panels and track bars).
    static constexpr auto transparentBox = [](S s, T t) {
        s.FChanges.SetEnumProperty(t.Control, "Transparent", "True");
        GiveAdaptor<TSkinBox, true>(s, t);
    };
    static const std::vector<TKind> kinds = {
        // gate, framework, class map, window class, style, what it gets, children
        {Always, [](F f) { return f.Name == "TDBCOMBOBOXEH"; }, nullptr, nullptr, nullptr, nullptr, false},
        // A tool bar by that class name: flat, in the face colour.
        {Always, [](F f) { return f.Name == "TTOOLBAR"; }, nullptr, nullptr, nullptr,
         [](S s, T t) {
             if (auto* bar = dynamic_cast<TToolBar*>(t.Component)) {
                 const bool flat = bar->Flat();
                 s.FChanges.Record(bar, "Flat", [bar, flat] { bar->SetFlat(flat); });
                 bar->SetFlat(true);
                 s.FChanges.SetColor(bar, s.FSkinData->Colours().ButtonFace);
             }
         },
         false},
        {xcTab, [](F f) { return f.Tabs && (IsA<TTabControl>(f.Component) || f.Name == "TTABBEDNOTEBOOK" ||
                                             IsA<TPageControl>(f.Component)); },
         nullptr, nullptr, nullptr, [](S s, T t) { s.AttachTab(t.Control); }, false},
        {xcTab, [](F f) { return f.Tabs && f.Name == "TTABSET"; }, nullptr, nullptr, nullptr,
         &GiveAdaptor<TSkinTab31, false>, false},
        // A tab control of a bare window (an owner-drawn one draws its own tabs).
        {Always, nullptr, nullptr, "systabcontrol32", [](LONG style) { return (style & TCS_OWNERDRAWFIXED) == 0; },
         &GiveAdaptor<TSkinTab, false>, false},
        {Always, [](F f) { return f.Name == "TMVCPANEL"; }, nullptr, nullptr, nullptr, nullptr, true},
        // A page shows the face colour as its page control's border and the controls on it do.
        {Always, [](F f) { return IsA<TTabSheet>(f.Component); }, nullptr, nullptr, nullptr,
         [](S s, T t) { s.FChanges.SetColor(dynamic_cast<TControl*>(t.Component), s.FSkinData->Colours().ButtonFace); },
         false},
        {xcCheckBox, [](F f) { return IsA<TCustomCheckBox>(f.Component); }, "checkbox", nullptr, nullptr,
         &GiveAdaptor<TSkinCheckBox, true>, false},
        // With the face colour: the bar fills its background with its own colour's brush. (A bare
        // track bar keeps its own look: its thumb is drawn in its custom drawing, which only a
        // framework parent passes back to it.)
        {xcButton, [](F f) { return f.Name == "TTRACKBAR"; }, nullptr, nullptr, nullptr,
         &GiveAdaptor<TSkinTrackBar, true>, false},
        {xcButton, nullptr, "trackbar", nullptr, nullptr, transparentBox, false},
        // A spin edit's arrows beside their buddy (the ones inside an edit go with the edit).
        {xcButton, [](F f) { return f.Name == "TUPDOWN"; }, nullptr, "msctls_updown32", nullptr,
         &GiveAdaptor<TSkinUpDown, false>, false},
        {xcRadioButton, [](F f) { return IsA<TCustomRadioGroup>(f.Component); }, nullptr, nullptr, nullptr,
         &GiveGroup<TSkinRadioButton, Always>, false},
        {xcPanel, nullptr, "radiogroup", nullptr, nullptr, &GiveGroup<TSkinRadioButton, xcRadioButton>, false},
        {xcPanel, nullptr, "checkgroup", nullptr, nullptr, &GiveGroup<TSkinCheckBox, xcCheckBox>, false},
        {xcPanel, [](F f) { return f.Name == "TDBNAVIGATOR"; }, nullptr, nullptr, nullptr,
         [](S s, T t) {
             s.FChanges.SetEnumProperty(t.Component, "Flat", "True");
             GiveAdaptor<TSkinBox, true>(s, t);
         },
         false},
        {xcRadioButton, [](F f) { return IsA<TRadioButton>(f.Component); }, "radiobutton", nullptr, nullptr,
         &GiveAdaptor<TSkinRadioButton, true>, false},
        {xcToolbar, [](F f) { return IsA<TToolBar>(f.Component); }, nullptr, nullptr, nullptr,
         [](S s, T t) {
             s.FChanges.SetEnumProperty(t.Component, "Flat", "True");
             GiveAdaptor<TSkinBox, true>(s, t);
         },
         false},
        // The bar keeps its size grip: the skin draws it, and turning it off would make the host's
        // window anew (a new handle, the host's own subclassing lost).
        {xcStatusBar, [](F f) { return IsA<TStatusBar>(f.Component); }, nullptr, "msctls_statusbar32", nullptr,
         &GiveAdaptor<TSkinStatusBar, false>, false},
        {xcProgress, [](F f) { return IsA<TProgressBar>(f.Component); }, "progress", "msctls_progress32", nullptr,
         &GiveAdaptor<TSkinProgress, false>, false},
        // A size box is not painted; a real scroll bar is skinned, not hidden.
        {xcScrollbar, [](F f) { return IsA<TScrollBar>(f.Component); }, nullptr, "scrollbar",
         [](LONG style) { return (style & (SBS_SIZEBOX | SBS_SIZEGRIP)) == 0; },
         &GiveAdaptor<TSkinScControl, false>, false},
        {xcScrollbar, nullptr, nullptr, "scrollbar", nullptr, &GiveAdaptor<TSkinSizer, false>, false},
        // A simple combo box has no button to draw: it keeps its own look.
        {xcCombo, [](F f) {
             auto* combo = dynamic_cast<TCustomComboBox*>(f.Component);
             return combo != nullptr && combo->Style() == csSimple;
         },
         nullptr, nullptr, nullptr, nullptr, false},
        {xcCombo, [](F f) { return IsA<TCustomComboBox>(f.Component) || f.Tag == tgComboBox; }, "combobox", "combobox",
         [](LONG style) { return (style & 3) != CBS_SIMPLE; }, &GiveAdaptor<TSkinComBox, false>, false},
        // The combo box inside it.
        {xcCombo, nullptr, nullptr, "comboboxex32", nullptr,
         [](S s, T t) {
             if (HWND inner = GetTopWindow(t.Window); inner != nullptr && s.FindAdaptor(inner) == nullptr)
                 GiveAdaptor<TSkinComBox, false>(s, TTarget{nullptr, nullptr, nullptr, inner});
         },
         false},
        // A picker that shows arrows (a time, or a date in up-down mode) has the up-down look; one
        // that drops a calendar down, the combo box's.
        {xcEdit, [](F f) { return f.Name == "TDATETIMEPICKER"; }, nullptr, nullptr, nullptr,
         [](S s, T t) {
             auto* picker = dynamic_cast<TDateTimePicker*>(t.Component);
             if (picker != nullptr && (picker->DateMode() == dmUpDown || picker->Kind() == dtkTime))
                 GiveAdaptor<TSkinEdit, false>(s, t);
             else
                 GiveAdaptor<TSkinComBox, false>(s, t);
         },
         false},
        {xcEdit, nullptr, nullptr, "sysdatetimepick32", nullptr,
         [](S s, T t) {
             if ((GetWindowLongA(t.Window, GWL_STYLE) & DTS_UPDOWN) != 0)
                 GiveAdaptor<TSkinEdit, false>(s, t);
             else
                 GiveAdaptor<TSkinComBox, false>(s, t);
         },
         false},
        {xcScrollbar, [](F f) { return name(f, {"TRICHEDIT", "TWWDBRICHEDIT", "TDXDBMEMO"}); }, nullptr, nullptr,
         nullptr, &GiveScrolling<true>, false},
        {xcBitBtn, [](F f) { return IsA<TBitBtn>(f.Component); }, nullptr, nullptr, nullptr,
         &GiveAdaptor<TSkinBitButton, false>, false},
        {xcSpeedButton, [](F f) { return IsA<TSpeedButton>(f.Component); }, nullptr, nullptr, nullptr,
         [](S s, T t) {
             s.NewAdaptor<TSkinSpeedButton>()->AttachGraphicControl(dynamic_cast<TSpeedButton*>(t.Component),
                                                                    s.FSkinData, &s.FCanvas);
         },
         false},
        {xcPanel, [](F f) { return IsA<TCustomPanel>(f.Component) || IsA<TCustomGroupBox>(f.Component); }, nullptr,
         nullptr, nullptr, &GiveAdaptor<TSkinBox, true>, true},
        {xcPanel, nullptr, "panel", nullptr, nullptr, transparentBox, false},
        {xcScrollbar, [](F f) { return name(f, {"TDXTREELIST", "TDXDBTREELIST", "TDXDBGRID"}); }, nullptr, nullptr,
         nullptr, &GiveScrolling<false>, false},
        // Scrolling windows draw their bars in their own frame: the bars from the skin. Lists and
        // views show and hide their bars (and style bits) as their items come and go.
        {xcScrollbar, [](F f) { return IsA<TCustomListView>(f.Component); }, nullptr, "syslistview32", nullptr,
         &GiveAdaptor<TSkinListView, false>, false},
        {xcScrollbar, nullptr, nullptr, "systreeview32", nullptr, &GiveAdaptor<TSkinScrollBar, false>, false},
        {xcScrollbar, nullptr, nullptr, "listbox", nullptr, &GiveAdaptor<TSkinScrollBar, false>, false},
        {xcScrollbar, nullptr, nullptr, "edit",
         [](LONG style) { return (style & ES_MULTILINE) != 0 && (style & (WS_VSCROLL | WS_HSCROLL)) != 0; },
         &GiveAdaptor<TSkinScrollBar, false>, false},
        {xcScrollbar, [](F f) { return IsA<TCustomMemo>(f.Component); }, nullptr, nullptr, nullptr,
         &GiveScrolling<true>, false},
        {xcScrollbar, [](F f) { return IsA<TCustomGrid>(f.Component); }, nullptr, nullptr, nullptr,
         [](S s, T t) {
             GiveScrolling<true>(s, t);
             s.ColourGrid(dynamic_cast<TCustomGrid*>(t.Component));
         },
         false},
        {xcScrollbar,
         [](F f) { return f.Tag == tgScrollBar || HasScrollBars(dynamic_cast<TControl*>(f.Component)); }, nullptr,
         nullptr, nullptr, &GiveScrolling<true>, false},
        {xcButton, [](F f) { return IsA<TButton>(f.Component); }, nullptr, nullptr, nullptr,
         &GiveAdaptor<TSkinButton, false>, false},
        // A bare window's buttons by their type alone: group boxes, owner-drawn, user, split and
        // command-link buttons draw themselves and keep their own look. So do check boxes and
        // radio buttons that look like push buttons: a box and a mark would not show their state.
        {Always, nullptr, nullptr, "button",
         [](LONG style) { return ButtonType(style) == BS_PUSHBUTTON || ButtonType(style) == BS_DEFPUSHBUTTON; },
         &GiveAdaptor<TSkinButton, false>, false},
        {Always, nullptr, nullptr, "button",
         [](LONG style) {
             const LONG type = ButtonType(style);
             return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
         },
         &GiveAdaptor<TSkinCheckBox, false>, false},
        {Always, nullptr, nullptr, "button",
         [](LONG style) { return ButtonType(style) == BS_RADIOBUTTON || ButtonType(style) == BS_AUTORADIOBUTTON; },
         &GiveAdaptor<TSkinRadioButton, false>, false},
        // Another library's control that the skin's class map names: what it gets, if anything, is
        // its kind's row (a windowless one gets nothing).
        {Always, [](F f) { return f.MapKind().has_value(); }, nullptr, nullptr, nullptr,
         [](S s, T t) {
             if (t.Control != nullptr)
                 s.AttachMapKind(*t.Found->MapKind(), t);
         },
         false},
        {xcEdit, [](F f) { return IsA<TCustomEdit>(f.Component) || f.Tag == tgEdit; }, "edit", "edit", nullptr,
         [](S s, T t) { s.AttachEdit(t.Window); }, false},
        {Always, nullptr, nullptr, "#32770", nullptr, &GiveAdaptor<TSkinDialogPane, false>, false},
        {Always, nullptr, nullptr, "static", [](LONG style) { return TSkinLabel::ShowsText(style); },
         &GiveAdaptor<TSkinLabel, false>, false},
        {Always, nullptr, nullptr, "sysheader32", nullptr, &GiveAdaptor<TSkinHeader, false>, false},
        {Always, [](F f) { return IsA<TCustomFrame>(f.Component); }, nullptr, nullptr, nullptr, nullptr, true},
        {Always, [](F f) { return IsA<TCustomForm>(f.Component); }, nullptr, nullptr, nullptr,
         [](S s, T t) {
             s.FChanges.SetColor(dynamic_cast<TCustomForm*>(t.Component), s.FSkinData->Colours().ButtonFace);
         },
         true},
    };
    return kinds;
}

std::optional<std::string> TAdaptorSet::ClassMapKind(const std::string& ClassName) const
{
    if (FSkinData == nullptr)
        return std::nullopt;
    const std::string key = LowerCase(ClassName) + "=";
    const TStringList* map = FSkinData->Skin3rd();
    for (int i = 0; i < map->Count(); ++i) {
        const std::string line = LowerCase(map->Strings(i));
        if (line.rfind(key, 0) == 0)
            return line.substr(line.find('=') + 1, 50);
    }
    return std::nullopt;
}

void TAdaptorSet::AttachMapKind(const std::string& Kind, const TTarget& Target)
{
    for (const TKind& kind : Kinds())
        if (kind.MapKind != nullptr && Kind == kind.MapKind) {
            if (Gated(kind.Gate, FSkinData->SkinControls()) && kind.Give != nullptr)
                kind.Give(*this, Target);
            return;
        }
}

void TAdaptorSet::AttachControls(TComponent* Container)
{
    if (Container == nullptr || FSkinData == nullptr)
        return;
    const TSkinControlTypes kinds = FSkinData->SkinControls();
    const bool tabs = FSkinData->SkinTabs() != nullptr;
    for (int i = 0; i < Container->ComponentCount(); ++i) {
        TComponent* component = Container->Components(i);
        if (component->Tag() % 100 == FSkinData->DisableTag() || IsAttached(component) || Refused(component))
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
        const std::string name = UpperCase(component->ClassName());
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
        TakeContentColours(control);
        const TFound found{*this, component, control, name, component->Tag() % 100, kinds, tabs, false, std::nullopt};
        const TTarget target{&found, component, control, control != nullptr ? control->Handle() : nullptr};
        for (const TKind& kind : Kinds())
            if (kind.Framework != nullptr && Gated(kind.Gate, kinds) && kind.Framework(found)) {
                if (kind.Give != nullptr)
                    kind.Give(*this, target);
                if (kind.Children)
                    AttachControls(component);
                break;
            }
    }
}

namespace {

bool ShowsContent(const TControl* Control)
{
    return IsA<TCustomEdit>(Control) || IsA<TCustomListBox>(Control) || IsA<TCustomComboBox>(Control) ||
           IsA<TCustomListView>(Control) || IsA<TCustomTreeView>(Control) || IsA<TCustomGrid>(Control);
}

} // namespace

void TAdaptorSet::TakeContentColours(TControl* Control)
{
    if (Control == nullptr || FSkinData == nullptr || !ShowsContent(Control))
        return;
    const TSkinColours& c = FSkinData->Colours();
    // A ground or text colour of the host's own stays.
    if (c.ColoursContent() && Control->Color() == clWindow && Control->Font()->Color() == clWindowText)
        FChanges.SetContentColours(Control, c.Window, c.WindowText);
}

void TAdaptorSet::RecolourContent(TComponent* Container)
{
    if (Container == nullptr)
        return;
    for (int i = 0; i < Container->ComponentCount(); ++i) {
        TComponent* component = Container->Components(i);
        if (auto* control = dynamic_cast<TControl*>(component); control != nullptr && ShowsContent(control)) {
            FChanges.Undo(control, TChangeLog::ContentColoursKey);
            if (FSkinData != nullptr && component->Tag() % 100 != FSkinData->DisableTag() && !Refused(component)) {
                TakeContentColours(control);
                if (FChanges.Has(control, GridColoursKey))
                    ColourGrid(dynamic_cast<TCustomGrid*>(control));
            }
        }
        RecolourContent(component);
    }
}

namespace {

// The colour Part 256ths of the way from From to To.
TColor MixColour(TColor From, TColor To, int Part)
{
    const auto from = static_cast<COLORREF>(ColorToRGB(From)), to = static_cast<COLORREF>(ColorToRGB(To));
    auto mix = [Part](int A, int B) { return A + (B - A) * Part / 256; };
    return static_cast<TColor>(RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
                                   mix(GetBValue(from), GetBValue(to))));
}

} // namespace

void TAdaptorSet::ColourGrid(TCustomGrid* Grid)
{
    if (Grid == nullptr || FSkinData == nullptr)
        return;
    FChanges.Undo(Grid, GridColoursKey);
    const TSkinColours& c = FSkinData->Colours();
    const TColor fixed = Grid->FixedColor(), lines = Grid->GridLineColor();
    // On the skin's content ground the fixed cells are a shade of it towards the text and so are
    // the lines (the content's text stays readable on both); otherwise the fixed cells take the
    // skin's face, as the headers around them do.
    const bool content = c.ColoursContent() && Grid->Color() == c.Window;
    const TColor newFixed = content ? MixColour(c.Window, c.WindowText, 40) : c.ButtonFace;
    const TColor newLines = content ? MixColour(c.Window, c.WindowText, 64) : lines;
    FChanges.Record(Grid, GridColoursKey, [Grid, fixed, lines, newFixed, newLines] {
        // A colour the host set meanwhile stays.
        if (Grid->FixedColor() == newFixed)
            Grid->SetFixedColor(fixed);
        if (Grid->GridLineColor() == newLines)
            Grid->SetGridLineColor(lines);
    });
    Grid->SetFixedColor(newFixed);
    Grid->SetGridLineColor(newLines);
}

namespace {

// The colours of a bare list or tree view the skin sets, read, and given back: Get and Set are
// the control's messages for one of them.
struct TViewColour {
    UINT Get;
    UINT Set;
    bool Text;
};

constexpr TViewColour TreeColours[] = {{TVM_GETBKCOLOR, TVM_SETBKCOLOR, false},
                                       {TVM_GETTEXTCOLOR, TVM_SETTEXTCOLOR, true}};
constexpr TViewColour ListColours[] = {{LVM_GETBKCOLOR, LVM_SETBKCOLOR, false},
                                       {LVM_GETTEXTBKCOLOR, LVM_SETTEXTBKCOLOR, false},
                                       {LVM_GETTEXTCOLOR, LVM_SETTEXTCOLOR, true}};

// Whether a view's colour is the platform's own: the default mark, or the system colour.
bool PlatformColour(COLORREF Colour, bool Text)
{
    return Colour == CLR_NONE || Colour == CLR_DEFAULT ||
           Colour == GetSysColor(Text ? COLOR_WINDOWTEXT : COLOR_WINDOW);
}

// Whether windows of the class (lower-cased) take their content colours as they paint (edits and
// lists ask their parent; a date picker's adaptor paints it).
bool PaintsContentColours(const std::string& Class)
{
    return Class == "listbox" || Class == "edit" || Class == "combobox" || Class == "comboboxex32" ||
           Class == "sysdatetimepick32";
}

std::string ContentKey(HWND Window)
{
    return std::string(TChangeLog::ContentColoursKey) + ":" +
           std::to_string(reinterpret_cast<uintptr_t>(Window));
}

} // namespace

void TAdaptorSet::TakeContentColours(HWND Window)
{
    if (FSkinData == nullptr || !FSkinData->Colours().ColoursContent())
        return;
    const std::string cls = LowerCase(WindowClassName(Window));
    std::vector<TViewColour> colours;
    if (cls == "systreeview32")
        colours.assign(std::begin(TreeColours), std::end(TreeColours));
    else if (cls == "syslistview32")
        colours.assign(std::begin(ListColours), std::end(ListColours));
    else
        return;
    std::vector<COLORREF> before;
    for (const TViewColour& c : colours) {
        before.push_back(static_cast<COLORREF>(SendMessageA(Window, c.Get, 0, 0)));
        // A colour of the program's own: the view keeps all of its colours.
        if (!PlatformColour(before.back(), c.Text))
            return;
    }
    const COLORREF ground = static_cast<COLORREF>(ColorToRGB(FSkinData->Colours().Window));
    const COLORREF text = static_cast<COLORREF>(ColorToRGB(FSkinData->Colours().WindowText));
    FChanges.Record(this, ContentKey(Window), [Window, colours, before, ground, text] {
        if (!IsWindow(Window))
            return;
        // What the program set meanwhile stays.
        for (size_t i = 0; i < colours.size(); ++i)
            if (static_cast<COLORREF>(SendMessageA(Window, colours[i].Get, 0, 0)) == (colours[i].Text ? text : ground))
                SendMessageA(Window, colours[i].Set, 0, static_cast<LPARAM>(before[i]));
        InvalidateRect(Window, nullptr, TRUE);
    });
    for (const TViewColour& c : colours)
        SendMessageA(Window, c.Set, 0, static_cast<LPARAM>(c.Text ? text : ground));
    InvalidateRect(Window, nullptr, TRUE);
}

namespace {

BOOL CALLBACK CollectWindow(HWND Window, LPARAM Windows)
{
    reinterpret_cast<std::vector<HWND>*>(Windows)->push_back(Window);
    return TRUE;
}

} // namespace

void TAdaptorSet::RecolourContentWindows()
{
    if (FHandle == nullptr)
        return;
    std::vector<HWND> windows;
    EnumChildWindows(FHandle, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        FChanges.Undo(this, ContentKey(window));
        if (FindAdaptor(window) != nullptr)
            TakeContentColours(window);
        // Shown again, the ones that take their colours as they paint show the new skin's.
        if (PaintsContentColours(LowerCase(WindowClassName(window))))
            InvalidateRect(window, nullptr, TRUE);
    }
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
    const TSkinControlTypes kinds = FSkinData->SkinControls();
    for (const TKind& kind : Kinds())
        if (kind.WindowClass != nullptr && cls == kind.WindowClass && Gated(kind.Gate, kinds) &&
            (kind.Style == nullptr || kind.Style(style))) {
            if (kind.Give != nullptr)
                kind.Give(*this, TTarget{nullptr, nullptr, nullptr, Window});
            // A window the program made after the skin came may have shown itself already: it
            // shows the skin's look now, not at its next change.
            if (FindAdaptor(Window) != nullptr)
                RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            TakeContentColours(Window);
            return;
        }
}
