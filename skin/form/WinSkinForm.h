// The per-window skinning object: one for each window the skin manager skins (a framework form, a
// standard dialog, a message box, an MDI child). It takes the window's non-client area over by
// replacing its window procedure and routes the window's messages to three collaborators it owns:
// the frame painter (metrics, borders, title bar, text, region), the caption buttons (visibility,
// layout, painting, actions, the system menu) and the adaptor set (the controls' adaptors, the hot
// one, discovery, the log of changes to the controls). It gives all of it back when the skin is
// switched off or the window goes away, in whatever state the window is.
//
// The object lives in two files: this one's .cpp (attaching, fitting and giving back) and
// FrameMessages.cpp (the window procedures and the non-client mouse).
//
// The manager releases the object with Retire: when that happens inside one of its window
// procedures (a caption button's system menu, a modal loop of the host), the object gives the
// window back at once and is deleted when the procedure returns; until then Retired() is true and
// the procedures stop touching the window. Caption buttons dropped during such a call are kept
// until the outermost call returns, for the same reason.
#pragma once

#include "framework/controls/ControlHook.h"
#include "framework/controls/Timer.h"
#include "framework/core/Component.h"
#include "framework/core/Retire.h"
#include "framework/win/Message.h"
#include "framework/win/Subclass.h"
#include "skin/controls/AdaptorSet.h"
#include "skin/form/CaptionButtons.h"
#include "skin/form/FormSite.h"
#include "skin/form/FramePainter.h"
#include "skin/form/FrameState.h"
#include "skin/form/SkinMenuBar.h"
#include "skin/menus/PopupMenuSkin.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TCustomForm;
class TControl;
class TSkinData;
class TWinControl;

class TWinSkinForm : public TComponent, public TRetirable {
    DECLARE_CLASS(TWinSkinForm, TComponent)
public:
    explicit TWinSkinForm(TComponent* AOwner = nullptr);
    ~TWinSkinForm() override;

    // Published; nothing reads it.
    int32_t DisableTag() const { return FDisableTag; }
    void SetDisableTag(int32_t Value) { FDisableTag = Value; }

    HWND Handle() const { return FHandle; }
    void SetHandle(HWND Value) { FHandle = Value; }
    TCustomForm* Form() const { return FForm; }
    TSkinData* SkinData() const { return FSkinData; }
    int SkinState() const { return FSkinState; }
    void SetSkinState(int Value);
    // Who keeps the object (the manager); nullptr for one made on its own.
    void SetSite(TFormSite* Value) { FSite = Value; }

    // ---- called by the manager
    void AttachForm(TSkinData* Data, TCustomForm* AForm);
    // Takes the frame over (or, without xcMainMenu, skins the controls only).
    void SkinFrame(TSkinData* Data);
    // The window is not an MDI child and Data takes its frame another way than it is taken now
    // (a skin that draws frames after one that does not, or the other way round).
    bool FrameTakenOtherwiseBy(const TSkinData* Data) const;
    // Gives the window back everything the object changed.
    void Unskin();
    // Child windows are being made in the window: once they are made (a posted message later),
    // the form's new controls, or a bare window's new children of a known class, are taken over.
    void WalkNewChildren();
    // Call inside a catch block: the skin failed to paint the window. The failure is reported,
    // the skin paints nothing more, and the window gets its own look back as soon as the running
    // message returns, for good.
    void PaintingFailed() noexcept;
    // The skin changed: colours, frame metrics, size and region again.
    void ReSkin();
    // Frame metrics and caption buttons from the skin.
    void LoadMetrics();
    // Drops the caption buttons (LoadMetrics makes them again).
    void ResetCaptionButtons();
    // The MDI frame's children became maximised (Max) or stopped being so: an MDI child shows the
    // platform's frame and caption buttons while maximised, and its skinned frame again when normal.
    void MdiMaximizedChanged(bool Max);

    // ---- the collaborators
    // The window's frame as the painters see it now.
    TFrameState FrameState() const;
    TFramePainter& Frame() { return *FFrame; }
    const TFramePainter& Frame() const { return *FFrame; }
    TCaptionButtons& Buttons() { return *FButtons; }
    const TCaptionButtons& Buttons() const { return *FButtons; }
    TAdaptorSet& AdaptorSet() { return *FAdaptors; }
    // The skinned menu bar, or nullptr (a window without a menu, or one whose bar is the system's).
    TWinSkinMenu* SkinMenu() const { return FSkinMenu.get(); }
    // Carries out what a click on the frame asked for.
    void RunFrameCommand(const TFrameClick& Click);

    // ---- state (read by the manager and tests; the rest is in FrameState)
    // A popup of the skinned menu bar is open (TrackedMenu is its native menu).
    bool MenuTracking() const { return TrackingBar() != nullptr; }
    HMENU TrackedMenu() const { return MenuTracking() ? TrackingBar()->Tracking().Popup() : nullptr; }
    // The window procedure is replaced (the frame is taken over).
    bool FrameHooked() const { return FFrameProc.Installed(); }

    // ---- what the program reads and changes of its window (the C interface's program view)
    // The thickness (left, top with title and menu bars, right, bottom) of the frame the skin
    // draws around the window's client area in its normal state, and of the one the platform
    // would draw for its styles and menu. False when the skin does not draw this window's frame
    // (not yet, not in its present state, or never): it is the platform's.
    bool FrameMargins(RECT& Skin, RECT& Platform) const;
    // The window's style as its program set it: with the caption buttons' styles the skin keeps
    // off the window while it draws them.
    DWORD ProgramStyle() const;
    // Set while the program's own reads of its windows' styles give ProgramStyle: a style the
    // program writes then holds every caption-button style it wants, and one it leaves out is
    // one it takes away (otherwise only the ones it adds count).
    static void SetProgramReadsOwnStyles(bool Value);
    // The object lets go of its window at the window's WM_DESTROY, after the program's own
    // handling of it (a window of a program without a framework form, its frame taken over).
    bool GoesAtDestroy() const;
    // The program took its menu off the window (SetMenu with none, or DestroyMenu): the skinned
    // bar goes, and the client area grows by it as it would under the platform's bar.
    void DropMenuBar();
    // The program changed its menu bar's items (DrawMenuBar): the bar shows them.
    void MenuBarChanged();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void OnRetire() noexcept override;

private:
    // ---- used inside the object only
    bool IsMdiChild() const { return FMDIKind == mkChild; }
    // Whether a window skinned from Data has its frame taken over (the skin draws frames and
    // Data's kinds include them), as against its controls only.
    static bool TakesFrameWith(const TSkinData* Data);
    // On: puts back the system caption buttons the window had (CaptionIcons); off: removes them.
    void SetCaptionStyles(bool On);
    // A new WM_NCCALCSIZE and WM_NCPAINT.
    void RefreshFrame();
    // Re-applies the skin's colours to the form.
    void ApplyColours();
    // A screen point in window coordinates (of the frame the skin draws).
    POINT ScreenToFrame(int X, int Y) const;
    // The mouse over, pressing, letting go of and leaving a caption button or menu-bar item:
    // the one hot or pressed object, and its look.
    void HoverObject(TNCObject& Object);
    void PressObject(TNCObject& Object);
    void ReleaseObject(TNCObject& Object);
    void LeaveObject(TNCObject& Object);
    void HoverTimerTick(TObject* Sender);
    // MDI
    bool IsMDIChildMaximized() const;
    // The MDI children were shown maximised and no longer are: the site is told.
    void MdiChildLeftMaximized();
    // The skinned MDI children are shown maximised.
    bool MdiChildrenMaximized() const { return FSite != nullptr && FSite->MdiMaximized(); }

    // The skin, not the platform, paints the window's caption.
    bool SkinPaintsCaption() const { return !Retired() && FFrameProc.Installed() && FFrameKind != fkNone; }
    bool IsMinimized() const { return FShowState == shMinimized; }

    // Counts a call into the object; the outermost one also frees caption buttons dropped
    // during an earlier call.
    class TFormCall {
    public:
        explicit TFormCall(TWinSkinForm& Form) noexcept : FScope(Form)
        {
            if (Form.RunningCalls() == 1) {
                Form.FButtons->ForgetDropped();
                Form.FDroppedMenus.clear();
            }
        }

    private:
        TCallScope FScope;
    };
    void SkinControlsOnly(TSkinData* Data);
    void AttachAdaptors();
    void DetectMdiClient();
    void HookMdiClient();
    void UnhookMdiClient() noexcept;
    void ReadShowState();
    void FitToSkin();
    // The window's menu goes to the skinned bar (a new menu handle: the bar is built again).
    void TakeMenuOver();
    // The window gets its menu back and the bar goes (kept until the running call returns when
    // one of its popups is open).
    void GiveMenuBack() noexcept;
    // The skinned bar goes (its hot button, its height), kept while one of its popups is open.
    void ReleaseMenuBar() noexcept;
    // The hot object is a menu-bar button: it is forgotten (the bar's buttons are made anew).
    void ForgetHotMenuButton() noexcept;
    // The bar whose popup is open, if it is this window's (the bar may have gone meanwhile).
    TWinSkinMenu* TrackingBar() const;
    // Runs the popup of the bar's pressed button, and the neighbours' the user slides to.
    void TrackMenuBar(const TMenuBtn& Pressed);
    void StartSkinning();
    bool MainMenuSkinned() const;
    // The window's size as the host had it: its native frame around NormalClient, where the
    // normal placement puts it; in whatever state the window is.
    void GiveSizeBack();
    void RecordNativeSize();

    // The three replacement message procedures.
    void FrameWndProc(TMessage& Message);
    void FormMessageHook(TMessage& Message);
    void ClientWndProc(TMessage& Message);
    // Switches A and B of FrameWndProc; true when they handled the message.
    bool HandleFrameMessage(TMessage& Message);
    bool HandleSkinnedFrameMessage(TMessage& Message);
    void CallDefault(TMessage& Message)
    {
        ++FDefaultCalls;
        FFrameProc.CallOld(Message);
    }
    void SkinnedFrameMessage(TMessage& Message);
    // The skin's frame on DC, or on the window DC when DC is nullptr, when the skin frames the
    // window now; a paint that fails gives the window its own look back.
    void PaintFrame(HDC DC);
    void BuildWindowRegion() { FFrame->BuildWindowRegion(FrameState()); }
    void PaintObject(TNCObject& Object);
    // The system menu at Point (screen), its items drawn from the skin while it is open.
    void TrackSystemMenu(POINT Point);
    void SendToMdiChild(WPARAM Command);
    // The skinned MDI frame whose caption the platform repaints while this child handles Msg.
    HWND FrameRetitledBy(UINT Msg) const;
    void HandleSize(TMessage& Message);
    void HandleNcCalcSize(TMessage& Message);
    void HandleNcPaint(TMessage& Message);
    void HandleNcActivate(TMessage& Message);
    void HandleGetMinMaxInfo(TMessage& Message);
    // WM_STYLECHANGING of the program's own: the caption-button styles it wants are kept by the
    // object (and off the window while the skin draws them).
    void ProgramStyleChanging(STYLESTRUCT& Change);
    // A form object of the thread is changing a window's style (one retired inside a call sees
    // the change of the object that followed it).
    static bool EngineChangingStyle();
    // The non-client mouse messages.
    TNCObject* ObjectUnderMouse(LPARAM ScreenPoint) const;
    void HandleNcHitTest(TMessage& Message);
    void HandleNcMouseMove(TMessage& Message);
    void HandleNcLButtonDown(TMessage& Message);
    void HandleNcLButtonUp(TMessage& Message);
    void HandleNcLButtonDblClk(TMessage& Message);
    void HandleNcRButtonDown(TMessage& Message);

    int32_t FDisableTag = 0;
    HWND FHandle = nullptr;
    TCustomForm* FForm = nullptr;
    TSkinData* FSkinData = nullptr;
    TFormSite* FSite = nullptr;

    TWindowSubclass FFrameProc;
    TControlHook FFormHook;
    HWND FMDIClient = nullptr;
    TWindowSubclass FClientProc;
    HWND FNewMDIChild = nullptr;

    std::unique_ptr<TFramePainter> FFrame;
    std::unique_ptr<TCaptionButtons> FButtons;
    std::unique_ptr<TAdaptorSet> FAdaptors;
    std::unique_ptr<TWinSkinMenu> FSkinMenu;
    std::unique_ptr<TPopupMenuSkin> FPopupMenus;
    std::unique_ptr<TTimer> FHoverTimer;
    std::string FWindowClass;
    SIZE FNativeFrameSize{0, 0};
    DWORD FWindowStyle = 0;
    DWORD FExStyle = 0;
    // Which of WS_SYSMENU, WS_MINIMIZEBOX and WS_MAXIMIZEBOX the window had at take-over.
    DWORD FOriginalCaptionStyles = 0;
    unsigned FCaptionIcons = 0;
    int FFrameKind = fkSizeable;
    int FMDIKind = mkNone;
    int FShowState = shNormal;
    bool FActive = true;
    int FSkinState = ssNone;
    // Bars that went while one of their popups was open.
    std::vector<std::unique_ptr<TWinSkinMenu>> FDroppedMenus;
    TNCObject* FHotObject = nullptr;
    // The client size of the window's normal placement as the host had it, which only the user
    // changes while it is skinned.
    SIZE FNormalClient{0, 0};
    // The first fit waits for the window to leave the minimised state.
    bool FFitPending = false;
    // The client size the last fit gave the window (the platform may have clamped it): a WM_SIZE
    // that reports it (the first show, a restore) is no size the user chose.
    SIZE FFittedClient{-1, -1};
    // New frame metrics are loaded and the window is not fitted to them yet.
    bool FRefitPending = false;
    bool FChildWalkPosted = false;
    bool FFailed = false;
    // The window's frame was taken over (its procedure replaced), as against its controls only.
    bool FFrameTaken = false;
    unsigned FDefaultCalls = 0;
    // The program changed its caption-button styles since the take-over.
    bool FCaptionStylesChanged = false;
    bool FRestylePosted = false;
};
