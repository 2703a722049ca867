// The per-window skinning object: one for each window the skin manager skins (a framework form, a
// standard dialog, a message box, an MDI child). It takes the window's non-client area over by
// replacing its window procedure, paints borders, title bar and caption buttons from the skin,
// gives the window a region cut by the skin's key colour, and gives all of it back when the skin
// is switched off or the window goes away.
//
// The object lives in three files: this one's .cpp (attaching, the window procedures, fitting
// and giving back), FramePaint.cpp (frame metrics, painting and the window region) and
// CaptionButtons.cpp (caption buttons, the non-client mouse, the system menu).
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
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Canvas.h"
#include "framework/win/Handles.h"
#include "framework/win/Message.h"
#include "framework/win/Subclass.h"
#include "skin/form/CaptionButtons.h"
#include "skin/form/ChangeLog.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TCustomForm;
class TControl;
class TSkinControl;
class TSkinData;
class TDataSkinBorder;
class TWinControl;

// SkinState: what the object is doing with its window.
enum TSkinFormState {
    ssNone = 0,       // attached, SKM_START not seen yet
    ssSkinned = 1,    // running
    ssReskinning = 3, // ReSkin re-fits the window
    ssDetaching = 4,  // the window or the program is going away: colours and look are not restored
    ssFirstFit = 5,   // the first FitToSkin
};

// ShowState.
enum TFormShowState { shNormal = 0, shMaximized = 1, shMinimized = 2 };

// CaptionIcons bits.
constexpr unsigned ciMaximize = 1;
constexpr unsigned ciMinimize = 2;
constexpr unsigned ciSystemMenu = 8;

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
    void SetSkinState(int Value) { FSkinState = Value; }

    // ---- called by the manager
    void AttachForm(TSkinData* Data, TCustomForm* AForm);
    // Takes the frame over (or, without xcMainMenu, skins the controls only).
    void SkinFrame(TSkinData* Data);
    // Gives the window back everything the object changed.
    void Unskin();
    // The skin changed: colours, frame metrics, size and region again.
    void ReSkin();
    // Frame metrics and caption buttons from the skin.
    void LoadMetrics();
    // Drops the caption buttons (LoadMetrics makes them again).
    void ResetCaptionButtons();
    // Re-applies the skin's colours to the form.
    void ApplyColours();
    // On: puts back the system caption buttons the window had (CaptionIcons); off: removes them.
    void SetCaptionStyles(bool On);
    void BuildWindowRegion();
    // Gives the window the region it had before the skin (none, or its own shape).
    void DropWindowRegion();
    // A new WM_NCCALCSIZE and WM_NCPAINT.
    void RefreshFrame();
    // ShowState normal (an MDI child whose siblings stopped being maximised).
    void MarkNormal() { FShowState = shNormal; }
    // ---- control adaptors
    // Attaches adaptors to the components Container owns, by class, class name and tag.
    void AttachControls(TComponent* Container);
    // The kind the skin's class map gives ClassName (upper-cased); true when it has one.
    bool AttachByClassMap(const std::string& ClassName, TComponent* Control);
    // Bare windows: adaptors for the child windows, by window class and style.
    void AttachChildWindows();
    void AttachChildWindow(HWND Window);
    bool IsAttached(TComponent* Component) const;
    static bool HasScrollBars(TControl* Control);
    TSkinControl* FindAdaptor(HWND Window) const;
    void ReleaseAdaptors();
    // Undoes what skinning changed on the controls, or only forgets it when the window goes.
    void GiveChangesBack(bool GoingAway);
    void AddAdaptor(TSkinControl* Adaptor);
    // An adaptor being freed leaves the list and the hot slot.
    void RemoveAdaptor(TSkinControl* Adaptor) noexcept;
    const std::vector<TSkinControl*>& Adaptors() const { return FAdaptors; }
    // The adaptor showing the hot look (at most one).
    TSkinControl* HotButton() const { return FHotButton; }
    void SetHotButton(TSkinControl* Value) { FHotButton = Value; }
    // What skinning changed on the window's controls, undone when the skin goes.
    TChangeLog& Changes() { return FChanges; }
    // The canvas every adaptor borrows for drawing.
    TCanvas* AdaptorCanvas() { return &FAdaptorCanvas; }

    // ---- painting
    // The whole frame on DC, or on the window DC when DC is nullptr.
    void PaintFrame(HDC DC);
    void PaintTitleBar(HDC DC);
    void PaintTitleText(TCanvas& Canvas, const RECT& R);
    // Index: 1 left, 2 right, 3 top, 4 bottom.
    void DrawBorder(int Index, const RECT& Rect, HDC DC);

    // ---- caption buttons and the non-client mouse
    bool IsButtonVisible(size_t Index);
    void LayoutCaptionButtons();
    void PaintCaptionButtons(TCanvas& Canvas);
    void DrawSysButton(TWinSysButton& Button, int State);
    POINT ScreenToFrame(int X, int Y) const;
    TWinSysButton* ButtonAt(POINT Point) const;
    void DoButtonAction(int X, int Y);
    void ShowSystemMenu(POINT Point);
    // Opens the system menu at Point (screen coordinates), now.
    void TrackSystemMenu(POINT Point);
    void ToggleMaximize();
    void RestoreWindow();
    void ToggleMinimize();
    void SendToMDIChild(WPARAM Command);
    bool IsMDIChildMaximized() const;
    void HoverTimerTick(TObject* Sender);

    // ---- state (read by the manager, the menu bar, the adaptors and tests)
    int MDIKind() const { return FMDIKind; }
    int FrameKind() const { return FFrameKind; }
    int ShowState() const { return FShowState; }
    bool RegionSet() const { return FRegionSet; }
    bool Active() const { return FActive; }
    unsigned CaptionIcons() const { return FCaptionIcons; }
    DWORD WindowStyle() const { return FWindowStyle; }
    int BorderLeft() const { return FBorderLeft; }
    int BorderTop() const { return FBorderTop; }
    int BorderRight() const { return FBorderRight; }
    int BorderBottom() const { return FBorderBottom; }
    int MenuHeight() const { return FMenuHeight; }
    SIZE NativeFrameSize() const { return FNativeFrameSize; }
    SIZE NormalClient() const { return FNormalClient; }
    const RECT& TextRect() const { return FTextRect; }
    int RightButtonsLeft() const { return FRightButtonsLeft; }
    int FrameWidth() const { return FFrameWidth; }
    const std::string& CaptionText() const { return FCaptionText; }
    const std::string& WindowClass() const { return FWindowClass; }
    const std::vector<std::unique_ptr<TWinSysButton>>& CaptionButtons() const { return FCaptionButtons; }
    TNCObject* HotObject() const { return FHotObject; }
    void SetHotObject(TNCObject* Value) { FHotObject = Value; }
    TBitmap* IconBitmap() const { return FIconBitmap.get(); }
    TBitmap* CaptionBuffer() const { return FCaptionBuffer.get(); }
    TTimer* HoverTimer() const { return FHoverTimer.get(); }
    bool MenuTracking() const { return FMenuTracking; }
    // The window procedure is replaced (the frame is taken over).
    bool FrameHooked() const { return FFrameProc.Installed(); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void OnRetire() noexcept override;

private:
    // Counts a call into the object; the outermost one also frees caption buttons dropped
    // during an earlier call.
    class TFormCall {
    public:
        explicit TFormCall(TWinSkinForm& Form) noexcept : FScope(Form)
        {
            if (Form.RunningCalls() == 1)
                Form.FDroppedButtons.clear();
        }

    private:
        TCallScope FScope;
    };
    void SkinControlsOnly(TSkinData* Data);
    void DetectMdiClient();
    void HookMdiClient();
    void UnhookMdiClient() noexcept;
    void ReadShowState();
    void FitToSkin(bool WithMenu);
    void StartSkinning();
    void CaptureIcon();
    void LoadBorderMetrics();
    void LoadCaptionButtons();
    void DropCaptionButtons() noexcept;
    bool MainMenuSkinned() const;
    void GiveRegionBack(BOOL Redraw);
    // The window's size as the host had it: its native frame around NormalClient, where the
    // normal placement puts it; in whatever state the window is.
    void GiveSizeBack();
    void RecordNativeSize();
    // The skin has four borders with frames to draw.
    static bool CanDrawFrame(const TSkinData& Data);
    bool IsMdiChild() const { return FMDIKind == 2; }
    bool IsMinimized() const { return FShowState == shMinimized; }
    TDataSkinBorder* BorderElement(int Index) const;
    // Makes an adaptor of class T owned by this object.
    template <class T> T* NewAdaptor() { return new T(this); }

    // The three replacement message procedures.
    void FrameWndProc(TMessage& Message);
    void FormMessageHook(TMessage& Message);
    void ClientWndProc(TMessage& Message);
    // Switches A and B of FrameWndProc; true when they handled the message.
    bool HandleFrameMessage(TMessage& Message);
    bool HandleSkinnedFrameMessage(TMessage& Message);
    void CallDefault(TMessage& Message) { FFrameProc.CallOld(Message); }
    void HandleSize(TMessage& Message);
    void HandleNcCalcSize(TMessage& Message);
    void HandleNcPaint(TMessage& Message);
    void HandleNcActivate(TMessage& Message);
    void HandleGetMinMaxInfo(TMessage& Message);
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

    TWindowSubclass FFrameProc;
    TControlHook FFormHook;
    HWND FMDIClient = nullptr;
    TWindowSubclass FClientProc;
    HWND FNewMDIChild = nullptr;

    TFontHandle FCaptionFont;
    std::unique_ptr<TTimer> FHoverTimer;
    std::string FCaptionPrefix = "  ";
    std::string FCaptionSuffix = " ";
    std::string FCaptionText;
    std::string FWindowClass;
    int FBorderLeft = 0;
    int FBorderTop = 0;
    int FBorderRight = 0;
    int FBorderBottom = 0;
    int FMenuHeight = 0;
    SIZE FNativeFrameSize{0, 0};
    DWORD FWindowStyle = 0;
    DWORD FExStyle = 0;
    // Which of WS_SYSMENU, WS_MINIMIZEBOX and WS_MAXIMIZEBOX the window had at take-over.
    DWORD FOriginalCaptionStyles = 0;
    unsigned FCaptionIcons = 0;
    int FFrameKind = 0;
    int FMDIKind = 0;
    int FShowState = shNormal;
    bool FActive = true;
    int FSkinState = ssNone;
    HMENU FSysMenu = nullptr;
    HMENU FWindowMenu = nullptr;
    bool FMenuTracking = false;
    std::vector<std::unique_ptr<TWinSysButton>> FCaptionButtons;
    std::vector<std::unique_ptr<TWinSysButton>> FDroppedButtons;
    TNCObject* FHotObject = nullptr;
    std::unique_ptr<TBitmap> FIconBitmap;
    std::unique_ptr<TBitmap> FCaptionBuffer;
    // The frame pieces composed for the current sizes and states (border Index 1 to 4).
    struct TFramePiece {
        int Index;
        int Frame;
        int Width;
        int Height;
        std::unique_ptr<TBitmap> Image;
    };
    std::vector<TFramePiece> FPieces;
    // What the title bar in FCaptionBuffer shows.
    struct TTitleKey {
        int Width = 0;
        int Height = 0;
        bool Active = false;
        int ShowState = -1;
        std::string Text;
        bool operator==(const TTitleKey&) const = default;
    };
    TTitleKey FTitleKey;
    RECT FTextRect{0, 0, 0, 0};
    int FRightButtonsLeft = 0;
    RECT FWindowRect{0, 0, 0, 0};
    int FFrameWidth = 0;
    int FFrameHeight = 0;
    SIZE FRegionSize{0, 0};
    bool FRegionSet = false;
    // What the window had before the skin: its region (if any) and the client size of its
    // normal placement, which only the user changes while it is skinned.
    TRegionHandle FHostRegion;
    SIZE FNormalClient{0, 0};
    // The first fit waits for the window to leave the minimised state.
    bool FFitPending = false;
    DWORD FLastSysMenuTime = 0;
    DWORD FDoubleClickTime = 0;
    std::vector<TSkinControl*> FAdaptors;
    TSkinControl* FHotButton = nullptr;
    TCanvas FAdaptorCanvas;
    TChangeLog FChanges;
};

// Sets a published enumerated (or Boolean) property of Component by name from its value text;
// nothing happens without a component or such a property.
void SetEnumProperty(TComponent* Component, const std::string& PropertyName, const std::string& ValueText);
