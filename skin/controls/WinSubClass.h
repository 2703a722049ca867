// The control adaptors' base: a small object between one standard control and its message
// procedure that repaints the control from the skin. It attaches through the framework control's
// WindowProc, or by replacing the window procedure of a bare window; every message then passes a
// "before" filter (which may consume it), the previous procedure, and an "after" reaction. The
// adaptor tracks focus, the enabled state, the caption and the mouse (hot, pressed), paints on
// demand into the window DC, and gives everything back when it detaches.
//
// Adaptors are components owned by the adaptor set of a window (TAdaptorSet), which makes them and
// releases them with Retire: an adaptor released while one of its messages is being handled (a click
// handler's modal dialog that switches the skin off) is detached at once and deleted when that
// message returns. Code after CallPrevious checks Retired() before it touches the control again.
#pragma once

#include "framework/controls/ControlHook.h"
#include "framework/core/Component.h"
#include "framework/core/Retire.h"
#include "framework/graphics/Canvas.h"
#include "framework/graphics/Colors.h"
#include "framework/win/Message.h"
#include "framework/win/Subclass.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

class TBitmap;
class TControl;
class TDataSkinObject;
class TSkinData;
class TWinControl;
class TAdaptorSet;

// MouseState bits.
constexpr uint8_t msHot = 1;
constexpr uint8_t msPressed = 2;

// A dialog's colour messages (WM_CTLCOLORSTATIC, WM_CTLCOLORDLG, WM_CTLCOLORBTN), after their
// default handling: labels and the dialog on the skin's face brush, and with Transparent (a
// window without the framework) their text without a ground of its own, where the program left
// the platform's face; a ground it answered itself stays.
void AnswerFaceColour(TMessage& Message, const TSkinData* Data, bool Transparent);
// A window's content colour messages (WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX), after their default
// handling: where the answer is the platform's content ground, the skin's content colours, when
// the skin gives them.
void AnswerContentColour(TMessage& Message, const TSkinData* Data);

class TSkinControl : public TComponent, public TRetirable {
    DECLARE_CLASS(TSkinControl, TComponent)
public:
    explicit TSkinControl(TComponent* AOwner);
    ~TSkinControl() override;

    // ---- attaching
    virtual void AttachControl(TWinControl* AControl, TSkinData* Data, bool ASwapColour, TCanvas* ACanvas);
    virtual void AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas);
    // Gives back the hook or the window procedure and the colour; a second call changes nothing.
    virtual void Detach();

    // ---- the filters
    // False consumes the message: the previous procedure never sees it, AfterMessage does not run.
    virtual bool BeforeMessage(TMessage& Message);
    virtual void AfterMessage(TMessage& Message);
    // Paints the whole window now, on DC or the window DC.
    virtual void Repaint(HDC DC);
    virtual void PaintTo(HDC DC, const RECT& R);
    virtual bool IsSkinning() { return true; }
    // A control whose colour the adaptor took gets the current skin's face colour.
    void ApplySkinColour();
    // The window's skin was changed: whatever the adaptor prepared from the old one is made anew.
    virtual void SkinChanged() {}

    void HookedWndProc(TMessage& Message);
    void CallPrevious(TMessage& Message);
    void SendMouseLeave();
    // Invalidates the control (without erasing) and updates it at once; nothing without a parent.
    void Refresh();
    void FillFace(HDC DC, const RECT& R);
    // Call inside a catch block: the skin failed to paint the control. The failure is reported,
    // the adaptor lets go of the control, which repaints in its own look, and its set does not
    // attach to it again.
    void PaintingFailed() noexcept;
    // The adaptor's one paint barrier: runs Paint, and a failure there is PaintingFailed. False
    // when it failed (the adaptor has let go of the control).
    template <class F> bool PaintOrLetGo(F&& Paint) noexcept
    {
        try {
            Paint();
            return true;
        } catch (...) {
            PaintingFailed();
            return false;
        }
    }
    // The common answer to WM_PAINT.
    void PaintMessage(TMessage& Message);
    // For adaptors that paint the whole control: WM_PAINT (when Paints) is answered off-screen
    // and WM_ERASEBKGND with 1, neither reaching the control. True when it consumed Message.
    bool TakePaint(TMessage& Message, bool Paints = true);
    // For the labels and edits whose disabled text the platform draws in its own grey: a WM_PAINT
    // while the control is disabled is answered with its text in the skin's readable grey
    // (PaintReadableDisabled). True when it consumed Message.
    bool TakeDisabledPaint(TMessage& Message);
    // For date and time pickers, which draw their text in the platform's colours: while the skin
    // gives content colours and the picker shows the platform's, WM_PAINT is answered with the
    // picker in the skin's (PaintInContentColours) and WM_ERASEBKGND with 1. True when it
    // consumed Message.
    bool TakePickerPaint(TMessage& Message);
    // A WM_PAINT answered with the control printed off-screen by Paint, or with its own print
    // where Paint cannot make it.
    void PaintPrinted(TMessage& Message, bool (*Paint)(HWND, HDC, const TSkinData&));

    HWND Handle() const { return FHandle; }
    TControl* Control() const { return FControl; }
    // The windowless control (a speed button) the adaptor hooks, or nullptr.
    TControl* GraphicControl() const { return FGraphicControl; }
    TSkinData* SkinData() const { return FSkinData; }
    uint8_t MouseState() const { return FMouseState; }
    const RECT& WindowRect() const { return FWindowRect; }
    bool Enabled() const { return FEnabled; }
    bool Focused() const { return FFocused; }
    const std::string& Caption() const { return FCaption; }
    // The adaptor set that owns the adaptor, or nullptr (an adaptor the application made).
    TAdaptorSet* OwnerSet() const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Detaches and leaves its set (and the set's component list) at once.
    void OnRetire() noexcept override;
    // Gives Canvas a copy of the font the window answers WM_GETFONT with (the canvas owns what
    // it is given), or of the system font for a window given none (as the platform draws it).
    void TakeFont(TCanvas& Canvas) const;
    // Focused, Enabled and Caption from the window.
    void ReadWindowState();
    bool Hot() const { return (FMouseState & msHot) != 0; }
    bool Pressed() const { return (FMouseState & msPressed) != 0; }
    void SetMouseBit(uint8_t Bit, bool On) { FMouseState = On ? FMouseState | Bit : FMouseState & ~Bit; }
    // With colour swapping: notes the control's colour (and whether it follows its parent's) and
    // gives it the skin's face colour; Detach gives both back.
    void TakeColour(TControl* AControl);
    // The set's window is going away: colours are not given back.
    bool OwnerGoingAway() const;

    uint8_t FMouseState = 0;
    TCanvas* FCanvas = nullptr;
    bool FEnabled = true;
    bool FFocused = false;
    std::string FCaption;
    TWindowSubclass FWindowProc; // bare windows
    TSkinData* FSkinData = nullptr;
    HWND FHandle = nullptr;
    TControlHook FHook; // framework controls (and windowless ones)
    TControl* FControl = nullptr;
    RECT FWindowRect{0, 0, 0, 0};
    TControl* FGraphicControl = nullptr;
    bool FSwapColour = false;
    TColor FSavedColour = 0;
    bool FSavedParentColour = false;
    bool FSavedDoubleBuffered = false;
    // A bare window's class, lower-cased (empty for a framework control), and whether the window
    // is a date and time picker: known when attached.
    std::string FWindowClass;
    bool FPicker = false;

private:
    friend class TAdaptorSet;
    void Watch(TControl* AControl);
    // The set whose list holds the adaptor (its owner, or the set an application's adaptor was
    // listed in).
    TAdaptorSet* FListedIn = nullptr;
};

// ---- text and frame routines of the adaptors

// The element exists and has a picture: without one, a control keeps (some of) its own look.
bool HasSkinBitmap(const TDataSkinObject* Element);

// The text routines draw in the canvas's font colour; disabled text (Enabled false) in it too
// where it stands out from the ground under the text by 3:1, else in the nearest colour that does.

// Alignment DT_LEFT, DT_CENTER or DT_RIGHT; one pixel above the vertical centre.
void DrawCaptionText(TCanvas& Canvas, const RECT& R, UINT Alignment, bool Enabled, const std::string& Text);
// An image of the list (index -1: none) beside the text; alignment 0 left, 1 centre, 2 right.
void DrawImageText(TCanvas& Canvas, const RECT& R, int Alignment, const std::string& Text, int ImageIndex,
                   HIMAGELIST Images, bool Enabled);
// Single line, centred both ways; alignment index 0 left, 1 right, 2 centre.
void DrawCenteredText(TCanvas& Canvas, const RECT& R, const std::string& Text, int Alignment, bool Enabled);
// Frame Index of Count of the element's strip, nine-sliced to R on DC (keyed when its Trans is 1).
void DrawButtonFrame(HDC DC, const RECT& R, int Count, int Index, const TDataSkinObject& Element);
// The face of the element on the shared paint bitmap over a ButtonFace fill.
void DrawFaceToShared(const RECT& R, const TDataSkinObject& Element, int Transparent, int Count, int Index,
                      TColor Face);
// Frame Index of Count of a horizontal strip stretched to R, the key colour left out.
void DrawKeyedFrame(HDC DC, const RECT& R, int Count, int Index, TBitmap* Strip);
void DrawKeyedFrame(TCanvas& Canvas, const RECT& R, int Count, int Index, TBitmap* Strip);
// Cell Index of Count of the glyph at Point, its bottom-left pixel transparent.
void DrawGlyphCell(TCanvas& Canvas, POINT Point, int Count, int Index, TBitmap* Glyph);
// A small arrow of pen lines pointing Direction (0 up, 1 down, 2 left, 3 right) at (X, Y), in the
// canvas's pen.
void DrawArrowGlyph(TCanvas& Canvas, int X, int Y, int Direction);
