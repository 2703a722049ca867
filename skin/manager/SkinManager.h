// The skin manager: the one process-wide object that decides which windows of the program are
// skinned, and when. A thread-local CBT hook sees every window being created, activated and
// destroyed. Top-level windows made while skinning is on are watched until they are first shown:
// the framework's forms through their own window method, other windows through their procedure,
// subclassed until then (not through a hook on the thread's sent messages: under Wine every
// hooked message costs a trip to the server, and a window makes its controls before it is
// shown). At WM_SHOWWINDOW, before the platform shows them, the ones
// that pass the rules get a form object (TWinSkinForm) and start, so the first frame the user sees
// is the skinned one. Windows shown otherwise are taken over when they are activated. Destroyed
// windows lose their form objects. Requests of the skin data components (skin on, skin off,
// re-apply a changed skin) run from a 250 ms timer once a window has been activated, and before
// that only switch SkinningOn.
#pragma once

#include "framework/controls/Timer.h"
#include "framework/core/Object.h"
#include "framework/core/Retire.h"
#include "framework/win/Handles.h"
#include "framework/win/WindowInfo.h"
#include "skin/data/SkinEngine.h"
#include "skin/form/FormSite.h"
#include "skin/form/SkinMessages.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TCustomForm;
class TSkinData;
class TWinSkinForm;
class TWinSkinPopMenu;
class TBitmap;

// Set by InstallHook: the platform is of the Windows 95/98/Me family (GetVersion's top bit).
extern bool IsWin9x;

class TSkinManage : public TObject, public TSkinEngine, public TFormSite {
public:
    TSkinManage();
    ~TSkinManage() override;
    TSkinManage(const TSkinManage&) = delete;
    TSkinManage& operator=(const TSkinManage&) = delete;

    void InstallHook() override;
    void AddSkinData(TSkinData* Data) override;
    // Also gives back every window and popup skinned from Data.
    void RemoveSkinData(TSkinData* Data) override;
    // Whether a skinned window paints from Data.
    bool UsesSkinData(const TSkinData* Data) const override;
    bool UsesSkinContent(const TSkinContent* Content) const override;

    // The rules, then a form object for W; true when one was attached.
    bool SkinWindow(HWND W) override;
    bool ReleaseWindow(HWND W) override;
    void GiveWindowBack(TWinSkinForm* Form) override;
    void RetakeWindow(TWinSkinForm* Form) override;
    TWinSkinForm* FormOf(HWND Window) const override { return FindSkinForm(Window); }
    bool IsSkinnedWindow(HWND W) const;
    // The hook's part when a window of the thread is being made (HCBT_CREATEWND): false refuses
    // the window. Whoever started the engine inside that very notification passes it on here.
    bool WindowBeingMade(HWND W, const CBT_CREATEWNDA* Create);
    // A popup-menu window of the thread was made / is going.
    void SkinPopupWindow(HWND W);
    bool ReleasePopupWindow(HWND W);
    bool IsSkinnedPopup(HWND W) const;
    TBitmap* FindPopupBackground(HMENU Menu) const;
    // A form object freed by someone else leaves the list (its destructor calls this).
    void ForgetForm(TWinSkinForm* Form) noexcept override;
    // Whether the skinned MDI children are shown maximised.
    void SetMdiMax(bool Max) override;
    TBitmap* SharedMainIcon() const override;
    TSkinData* ChooseSkinData(HWND W) const;
    bool CanSkinClass(const std::string& ClassName) const;
    bool IsEmbeddedChild(HWND W) const;
    TCustomForm* FindForm(HWND W) const;

    // A TManagerAction; Delay in ms (always RequestDelay).
    void RequestAction(int Action, uint32_t Delay) override;
    void ApplyToForm(HWND Window, TComponent* Container) override;
    void ResetFormButtons();

    // The form objects and popup objects now (a copy: handling one may change the lists).
    std::vector<TWinSkinForm*> SkinnedForms() const;
    std::vector<TWinSkinPopMenu*> SkinnedPopups() const;
    // The form object of W, or nullptr.
    TWinSkinForm* FindSkinForm(HWND W) const;
    const std::vector<TSkinData*>& SkinDataList() const { return FSkinDataList; }
    bool SkinningOn() const { return FSkinningOn; }
    void SetSkinningOn(bool Value) override { FSkinningOn = Value; }
    int ActivationCount() const override { return FActivationCount; }
    void SetActivationCount(int Value) override { FActivationCount = Value; }
    TSkinData* CurrentSkinData() const { return FCurrentSkinData; }
    void SetCurrentSkinData(TSkinData* Value) override { FCurrentSkinData = Value; }
    int PendingAction() const { return FPendingAction; }
    bool TimerArmed() const { return FTimer->Enabled(); }
    bool HookInstalled() const { return static_cast<bool>(FHook); }
    // W is watched, to be taken over as it is first shown.
    bool WaitsForShow(HWND W) const;
    bool MdiMaximized() const override { return FMdiMaximized; }
    HWND MdiClientWindow() const override { return FMdiClientWindow; }
    void SetMdiClientWindow(HWND Value) override { FMdiClientWindow = Value; }

    // The timer's handler: carries out the pending action.
    void OnActionTimer(TObject* Sender);

private:
    static LRESULT CALLBACK HookProc(int Code, WPARAM WParam, LPARAM LParam);
    // A top-level window (not a popup menu) is being made: it is watched until it is shown or
    // destroyed.
    void WatchNewWindow(HWND W, const std::string& ClassName, const CREATESTRUCTA* Create);
    // W is watched when it is a framed top-level window of a class the skin takes.
    void Watch(HWND W, const std::string& ClassName, DWORD Style);
    // W is taken over at its first WM_SHOWWINDOW, seen by a framework form's own window method,
    // or else by the window's procedure subclassed until then. Not by a hook on the thread's sent
    // messages: under Wine each hooked message is a trip to the server, and a window makes its
    // controls before it is shown.
    void WatchUntilShown(HWND W);
    // The framework form whose window W is, also while the window is being made, or nullptr.
    static TCustomForm* FrameworkFormOf(HWND W);
    struct TShowWatch;
    // W is no longer watched.
    void EndShowWatch(HWND W) noexcept;
    // Skinning came on before any window was activated: the thread's hidden windows made before
    // are watched as if they were new.
    void WatchHiddenWindows();
    static BOOL CALLBACK WatchIfHidden(HWND W, LPARAM Self);
    // A child window is being made: the nearest window skinned without a form of the framework
    // takes its new children over once they are made.
    void NoteNewChild(const CREATESTRUCTA* Create);
    // A top-level window is about to be shown for the first time since skinning is on: it is
    // skinned and started now, before the platform paints it.
    void SkinBeforeShow(HWND W);
    // A key command (Alt+letter, Alt or F10 alone) reached a control inside a window whose menu
    // bar the skin draws: it is sent to that window instead. True when it was.
    bool ForwardKeyMenu(LPARAM Key);
    void DetachForm(TWinSkinForm* Form, bool Repaint);
    // Takes Form out of the list; its owner is the caller now.
    TRetiringPtr<TWinSkinForm> TakeForm(TWinSkinForm* Form) noexcept;

    std::unique_ptr<TTimer> FTimer;
    THookHandle FHook;
    std::vector<std::unique_ptr<TShowWatch>> FShowWatches; // windows made, not shown yet
    std::vector<HWND> FGivenBack;  // their skin failed to paint them: left alone until they go
    std::vector<TRetiringPtr<TWinSkinForm>> FSkinnedForms;
    std::vector<TRetiringPtr<TWinSkinPopMenu>> FSkinnedPopups;
    std::vector<TSkinData*> FSkinDataList;
    bool FSkinningOn = false;
    bool FFullPass = false;
    bool FForwardingKeyMenu = false;
    int FActivationCount = 0;
    bool FMdiMaximized = false;
    HWND FMdiClientWindow = nullptr;
    int FPendingAction = 0;
    TSkinData* FCurrentSkinData = nullptr;
};

// The calling thread's manager (each GUI thread that skins has its own, which sees that thread's
// windows only), or nullptr before the first skin data component there made it.
TSkinManage* SkinManager();
// Makes it when there is none (and arranges for FreeSkinManager at the application's end).
TSkinManage* CreateSkinManager();
// Detaches every window the calling thread's manager still holds, removes its hook and frees it,
// with the thread's paint bitmaps and caches.
void FreeSkinManager() noexcept;

