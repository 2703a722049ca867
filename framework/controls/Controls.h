// Controls: the visual components of a form.
//
// TControl is anything placed on a form: bounds, parent, alignment and anchors, colour, font,
// caption, visibility and enabled state. Every message a control gets passes its WindowProc, a
// comparable method value that starts as the control's own WndProc; code that watches a control
// saves WindowProc, installs its own, forwards to the saved value and puts it back.
//
// TWinControl has a window, made on demand when Handle() is first asked for (creation failures
// raise EWindowCreateError). Its window procedure is a thunk onto MainWndProc, which passes each
// message to WindowProc; the class's handlers run from WndProc and end in DefaultHandler, which
// calls the native procedure (DefWindowProcA, or the system class's procedure for controls over
// BUTTON, EDIT, ...). Window classes are named after the framework class ("TPanel"). A window
// control reflects its children's notifications to them as CN_ messages (see Messages.h).
//
// TGraphicControl has no window: its parent paints it (WM_PAINT with WParam = a DC whose origin
// is the control's corner, clipped to it) and passes it mouse messages in its own coordinates,
// and CM_MOUSEENTER/CM_MOUSELEAVE, all through its WindowProc.
#pragma once

#include "framework/win/ControlMessages.h"
#include "framework/core/Component.h"
#include "framework/core/Exception.h"
#include "framework/core/Method.h"
#include "framework/core/Set.h"
#include "framework/core/TypeInfo.h"
#include "framework/graphics/Canvas.h"
#include "framework/graphics/Colors.h"
#include "framework/graphics/GraphicsObjects.h"
#include "framework/win/Handles.h"
#include "framework/win/Message.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TWinControl;
class TPopupMenu;

// A window that could not be made: "Error creating window <class name>".
DECLARE_EXCEPTION(EWindowCreateError, Exception);

PUBLISHED_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
PUBLISHED_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind>;

// What a control does for itself.
enum TControlStyleItem {
    csAcceptsControls, // others may be placed on it
    csClickEvents,     // a left-button press and release over it is a click
    csOpaque,          // it paints its whole client area (no background under it)
    csDoubleClicks,    // WM_LBUTTONDBLCLK is passed on rather than made a press
};
using TControlStyle = TSet<TControlStyleItem>;

class TControl : public TComponent {
    DECLARE_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Moves and sizes at once (the window too), then the parent re-aligns and this control's
    // own children follow their alignment and anchors.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    // [akLeft, akTop] by default. A control anchored right (bottom) keeps its distance from the
    // parent's right (bottom) edge when the parent is resized; anchored on both sides it stretches.
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and the parents up to a form or a window with no parent control are too.
    bool Showing() const;

    bool Enabled() const { return FEnabled; }
    // A change sends CM_ENABLEDCHANGED through WindowProc.
    virtual void SetEnabled(bool Value);

    // For window controls the window text: setting it sends WM_SETTEXT once the window exists,
    // and a WM_SETTEXT from anywhere updates it.
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    const TNotifyEvent& OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent Value) { FOnClick = Value; }
    // Shown where the user asks for a context menu over the control (right button, menu key)
    // when its AutoPopup is on.
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    // Runs OnClick.
    virtual void Click();

    // The message hook. Reading gives the value in force; writing replaces it (an empty value
    // puts the control's own WndProc back).
    TWndMethod WindowProc() const { return FWindowProc; }
    void SetWindowProc(TWndMethod Value);
    // The control's own handler, the initial WindowProc.
    TWndMethod DefaultWindowProc();
    // Delivers a message straight to WindowProc (no window involved) and returns its Result.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

    // Repainting: Invalidate marks the control's area for painting (its parent's, for windowless
    // controls); Update paints what is marked now; Repaint and Refresh do both.
    virtual void Invalidate();
    void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    virtual RECT ClientRect();
    int ClientWidth() { const RECT r = ClientRect(); return r.right - r.left; }
    int ClientHeight() { const RECT r = ClientRect(); return r.bottom - r.top; }
    virtual void SetClientWidth(int Value) { SetWidth(Value); }
    virtual void SetClientHeight(int Value) { SetHeight(Value); }
    // Between the control's client coordinates and the screen's.
    POINT ClientToScreen(POINT p);
    POINT ScreenToClient(POINT p);
    // The client origin in screen coordinates.
    virtual POINT ClientOrigin();

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    // The control that the mouse is over, as the application last saw it (nullptr: none).
    bool MouseInControl() const;

protected:
    // The class's message handlers; each calls the inherited WndProc for what it leaves.
    virtual void WndProc(TMessage& Message);
    // The end of the chain: nothing for windowless controls, the native procedure for windows.
    virtual void DefaultHandler(TMessage& Message);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Scales the control by M/D: a layout written for one number of dots per inch placed at
    // another (its bounds, and its font when it has its own).
    virtual void ChangeScale(int M, int D);
    // ChangeScale's change of the control's own bounds.
    virtual void ScaleBounds(int M, int D);
    // Called after a change of the matching property, before the CM_ message goes out.
    virtual void FontChanged();
    virtual void ColorChanged();
    // The parent's bounds changed: follow the anchors.
    void ParentResized(int OldClientWidth, int OldClientHeight);
    // Shows PopupMenu at the screen point (-1, -1: at the cursor); true when it did.
    bool DoContextPopup(POINT ScreenPoint);
    // Records the distances the anchors keep (when not being moved by the parent).
    void UpdateAnchorRules();
    // Only for SetBounds overrides: the fields without any side effect.
    void StoreBounds(int ALeft, int ATop, int AWidth, int AHeight);
    // Asks the parent to lay out its aligned children again.
    void RequestAlign();

    friend class TWinControl;

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    // The distances kept by right and bottom anchors, taken against the parent's client size.
    int FAnchorRight = 0;
    int FAnchorBottom = 0;
    bool FAnchorsValid = false;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FCaption;
    TColor FColor = clBtnFace;
    bool FParentColor = false;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    TControlStyle FControlStyle{csClickEvents};
    TNotifyEvent FOnClick;
    TPopupMenu* FPopupMenu = nullptr;
    TWndMethod FWindowProc;
    bool FClicking = false;
    bool FUpdatingFromParent = false;

private:
    void FontPropertyChanged(TObject* Sender);
};

// A canvas onto a control: its own window's DC, or for a windowless control its parent's DC with
// the origin at the control's corner and the clipping cut to it. The DC is made on first use and
// given back by FreeHandle (the application does that for all of them when idle).
class TControlCanvas : public TCanvas {
    DECLARE_CLASS(TControlCanvas, TCanvas)
public:
    explicit TControlCanvas(TControl* Control);
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    // Unbinds and releases a DC the canvas got itself; a bound foreign DC is only unbound.
    void FreeHandle() noexcept;
    // Every control canvas holding a DC of its own gives it back.
    static void FreeDeviceContexts() noexcept;

protected:
    void CreateHandle() override;

private:
    TControl* FControl;
    HWND FWindow = nullptr;
    HDC FDC = nullptr;
};

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    // The class registered and created: the framework class name by default.
    std::string WinClassName;
    // For controls over a system class ("BUTTON", "EDIT"): that class; its procedure becomes
    // the default handler and the new class copies its settings.
    std::string SystemClassName;
};

class TWinControl : public TControl {
    DECLARE_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window, made (with the parents' windows first and the children's after) when there
    // is none. Raises EWindowCreateError when the system refuses it.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }
    // Destroys the window (the children's go with it); the control stays and makes a new one on
    // the next Handle().
    void DestroyHandle();
    // A new window with the current settings, when there is one now.
    void RecreateWnd();

    // A window of someone else's that this control's window is a child of, for a control without
    // a parent control (a control embedded in a foreign window). Set it before the window exists.
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);

    // The window controls and windowless controls placed on this one, in the order they were
    // placed (windowless ones paint in that order).
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(static_cast<size_t>(Index)); }
    // The topmost visible child whose bounds hold p (client coordinates); windowless children
    // only unless AllowWindows. Disabled children count only with AllowDisabled.
    TControl* ControlAtPos(POINT p, bool AllowDisabled, bool AllowWindows = false);
    bool ContainsControl(TControl* Control) const;

    bool Focused();
    bool CanFocus();
    virtual void SetFocus();
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }

    // Stored and honoured by painting code: paint off-screen, then copy.
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }

    // The children by M/D against the present size, then the control itself: an anchored child
    // keeps its scaled place, not the one its anchors would give it.
    void ChangeScale(int M, int D) override;
    // Lays the aligned children out again and lets anchored ones follow.
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();

    RECT ClientRect() override;
    POINT ClientOrigin() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    void Repaint() override;
    void SetParent(TWinControl* AParent) override;

    // Paints the windowless children that intersect the DC's clip box.
    void PaintControls(HDC DC, TControl* First = nullptr);

    // The native procedure at the end of the chain.
    WNDPROC DefWndProc() const { return FDefWndProc; }
    // The window procedure the framework installed at creation (the thunk onto MainWndProc).
    WNDPROC ObjectWndProc() const { return FObjectInstance; }

    // The framework control that owns Window, or nullptr.
    static TWinControl* FindControl(HWND Window);
    // The control whose window is being made on this thread and has not had its first message
    // yet (what a CBT hook sees at HCBT_CREATEWND), or nullptr.
    static TWinControl* ControlBeingMade();

    // For description writing: the controls placed on this one that Root owns, in placing order,
    // then (for the root) the owned components that are no controls.
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

    // For the message loop: a window message that one of this control's children reflects
    // (WM_COMMAND and the rest) goes to that child; true when a child took it.
    static bool ReflectToChild(TMessage& Message);

protected:
    virtual void CreateParams(TCreateParams& Params);
    // Makes the window from CreateParams; raises when that fails.
    virtual void CreateWnd();
    // After the window exists: font, children, alignment.
    virtual void CreateHandleDone();
    virtual void DestroyWnd();
    // Fills in a system class: CreateSubClass(Params, "BUTTON").
    static void CreateSubClass(TCreateParams& Params, const char* SystemClass);

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    // The thunk's target: WindowProc, with the exception barrier.
    void MainWndProc(TMessage& Message);

    // WM_PAINT: BeginPaint, PaintWindow, then the windowless children.
    virtual void PaintHandler(TMessage& Message);
    // Paints the control itself; the default lets the native procedure paint.
    virtual void PaintWindow(HDC DC);
    // WM_ERASEBKGND: fills with Color unless the control is opaque.
    virtual void EraseBackground(HDC DC);
    // The rectangle aligned children share: ClientRect, less borders the control draws itself.
    virtual void AdjustClientRect(RECT& Rect);
    virtual void AlignControls(TControl* AControl, RECT& Rect);
    void FontChanged() override;
    void ColorChanged() override;

    // Mouse messages for windowless children; true when one took it.
    bool DispatchMouseToControl(TMessage& Message);

    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    friend class TControl;

    HWND FHandle = nullptr;
    HWND FParentWindow = nullptr;
    WNDPROC FObjectInstance = nullptr;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls;
    TBrushHandle FBrush; // Color, for painting and the WM_CTLCOLOR* answers
    bool FTabStop = false;
    bool FDoubleBuffered = false;
    int FAlignLevel = 0;
    bool FAligning = false;
    // While ChangeScale changes the control's own size, anchored children stay where they are.
    bool FScaling = false;
    // The client size the anchored children were placed against.
    int FAnchorClientWidth = -1;
    int FAnchorClientHeight = -1;

private:
    static LRESULT CALLBACK InitWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void AttachWindow(HWND Window);
    void ForgetWindow() noexcept;
    void UpdateBrush();
    void AnchorChildren();
    TControl* FCaptureControl = nullptr;
};

// A windowless control with a canvas and Paint.
class TGraphicControl : public TControl {
    DECLARE_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TControlCanvas* Canvas() const { return FCanvas.get(); }

protected:
    void WndProc(TMessage& Message) override;
    // Draws onto Canvas(), which is bound to the paint DC (origin at the control's corner).
    virtual void Paint() {}

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// A window control that paints itself through a canvas and Paint.
class TCustomControl : public TWinControl {
    DECLARE_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TControlCanvas* Canvas() const { return FCanvas.get(); }

protected:
    void PaintWindow(HDC DC) override;
    virtual void Paint() {}

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// The control under the cursor, kept by TrackMouseControl: the message loop calls it after
// mouse messages and when idle, and it sends CM_MOUSELEAVE to the control the cursor left and
// CM_MOUSEENTER to the one it entered (window or windowless, enabled or not).
void TrackMouseControl();
TControl* MouseControl();
