// The adaptors of one skinned window: finding its controls and giving each the adaptor its class,
// class name, tag or window class calls for (a framework form's components, a bare window's
// child windows: the tables of Discovery.cpp), the list of adaptors, the one showing the hot look,
// the canvas they share, and the log of what skinning changed on the controls.
//
// The set owns the adaptors it makes (they are its components) and releases them with Retire, so
// an adaptor released inside one of its own messages lives until that message returns. Adaptors
// that the application supplies (OnSkinControl) are listed too, but only detached.
#pragma once

#include "framework/core/Component.h"
#include "framework/graphics/Canvas.h"
#include "skin/controls/ChangeLog.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class TControl;
class TWinControl;
class TCustomForm;
class TCustomGrid;
class TSkinControl;
class TSkinData;

class TAdaptorSet : public TComponent {
public:
    // Sender is what OnSkinControl handlers are given as the asking object (the form object).
    explicit TAdaptorSet(TComponent* Sender) : TComponent(nullptr), FSender(Sender) {}
    ~TAdaptorSet() override;

    // The window the adaptors are for: its framework form (nullptr for a bare window), its
    // handle, and the skin data they paint from.
    void SetWindow(TCustomForm* Form, HWND Window);
    void SetSkinData(TSkinData* Data) { FSkinData = Data; }

    // ---- discovery
    // Attaches adaptors to the components Container owns, by class, class name, tag and the
    // skin's class map.
    void AttachControls(TComponent* Container);
    // Control, when it shows content (edits, lists, views, grids) in the platform's colours,
    // takes the skin's content colours.
    void TakeContentColours(TControl* Control);
    // Bare windows: adaptors for the window's child windows and theirs, by window class and
    // style; a second walk attaches only the ones that are new.
    void AttachChildWindows();
    void AttachChildWindow(HWND Window);
    // An edit adaptor on the window, entered in the list.
    void AttachEdit(HWND Window);
    // A tab adaptor on the control's window, entered in the list.
    void AttachTab(TWinControl* Control);
    bool IsAttached(TComponent* Component) const;
    static bool HasScrollBars(TControl* Control);

    // ---- the list
    void AddAdaptor(TSkinControl* Adaptor);
    // An adaptor being freed leaves the list and the hot slot.
    void RemoveAdaptor(TSkinControl* Adaptor) noexcept;
    TSkinControl* FindAdaptor(HWND Window) const;
    const std::vector<TSkinControl*>& Adaptors() const { return FAdaptors; }
    // Retires the set's own adaptors and detaches the application's, newest first.
    void ReleaseAdaptors();
    // The skin data went away: every adaptor lets go of its control without reading the skin,
    // and none is made until a new skin data is set.
    void ForgetSkinData();
    // After a skin change: the adaptors that took a control's colour give it the current skin's,
    // and every adaptor prepares anew what it derived from the skin.
    void ApplySkinColours();
    // The controls of Container (and of its containers) that show content in the platform's
    // colours take the skin's content colours; on a skin change, each gives back the last skin's
    // first, so a skin without content colours leaves the program's.
    void RecolourContent(TComponent* Container);
    // The same for the windows without the framework: list and tree views (which keep their
    // colours themselves); edits and lists, answered as they paint, are shown again.
    void RecolourContentWindows();

    // The adaptor showing the hot look (at most one).
    TSkinControl* HotButton() const { return FHotButton; }
    void SetHotButton(TSkinControl* Value) { FHotButton = Value; }
    // The hot adaptor, if any, is told that the mouse left.
    void LeaveHotButton();

    // What skinning changed on the controls; undone when the skin goes, or only forgotten when
    // the window is going away.
    TChangeLog& Changes() { return FChanges; }
    void GiveChangesBack(bool GoingAway);
    // The window is going away with the program: colours are not given back.
    bool GoingAway() const { return FGoingAway; }
    void SetGoingAway(bool Value) { FGoingAway = Value; }

    // The canvas every adaptor borrows for drawing.
    TCanvas* Canvas() { return &FCanvas; }

    // A control (its window, or a windowless control) whose skin failed to paint it: no walk
    // attaches to it again while the set lasts.
    void Refuse(const void* Control);
    bool Refused(const void* Control) const;

private:
    // The table of kinds of control, and what a row reads and gives (Discovery.cpp).
    struct TFound;
    struct TTarget;
    struct TKind;
    static const std::vector<TKind>& Kinds();
    template <class T, bool Swap> static void GiveAdaptor(TAdaptorSet& Set, const TTarget& Target);
    template <bool OwnDrag> static void GiveScrolling(TAdaptorSet& Set, const TTarget& Target);
    template <class T, int ButtonGate> static void GiveGroup(TAdaptorSet& Set, const TTarget& Target);
    // The kind the skin data's class map gives ClassName (lower-cased), if it names it.
    std::optional<std::string> ClassMapKind(const std::string& ClassName) const;
    // What a control of the class map's Kind gets: its row's.
    void AttachMapKind(const std::string& Kind, const TTarget& Target);
    void AttachChildWindowsOf(HWND Parent);
    // A bare list or tree view in the platform's content colours takes the skin's.
    void TakeContentColours(HWND Window);
    // A grid's fixed cells and lines in the current skin's colours (given back unless the host
    // changed them meanwhile); again on a skin change.
    void ColourGrid(TCustomGrid* Grid);
    static constexpr const char* GridColoursKey = "GridColours";
    // Makes an adaptor of class T owned by the set.
    template <class T> T* NewAdaptor() { return new T(this); }

    TComponent* FSender;
    TCustomForm* FForm = nullptr;
    HWND FHandle = nullptr;
    TSkinData* FSkinData = nullptr;
    std::vector<TSkinControl*> FAdaptors;
    std::vector<const void*> FRefused;
    TSkinControl* FHotButton = nullptr;
    bool FGoingAway = false;
    TCanvas FCanvas;
    TChangeLog FChanges;
};
