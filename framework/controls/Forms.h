// Forms, frames, the screen and the application.
//
// A form is a top-level window control made from its class's form description: CreateForm<T>
// constructs it, reads the description registered for its class name (or the RCDATA resource of
// that name), runs Loaded on everything read and then OnCreate. The window class name is the form's
// class name. The screen lists the forms in the order they were made.
//
// The application owns the message loop (Run), the hidden "TApplication" window that owns the
// forms and carries the title, the top-level exception handler and the module finalisation order.
#pragma once

#include "framework/controls/Controls.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TMainMenu;
class TCustomForm;

// A form class with no description: "Resource TFormX not found".
DECLARE_EXCEPTION(EResNotFound, Exception);

PUBLISHED_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
PUBLISHED_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon>;
PUBLISHED_ENUM(TPosition, poDesigned, poDefault, poScreenCenter)
PUBLISHED_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
PUBLISHED_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;

// The modal results of buttons and ShowModal.
constexpr int mrNone = 0;
constexpr int mrOk = IDOK;
constexpr int mrCancel = IDCANCEL;
constexpr int mrAbort = IDABORT;
constexpr int mrRetry = IDRETRY;
constexpr int mrIgnore = IDIGNORE;
constexpr int mrYes = IDYES;
constexpr int mrNo = IDNO;
constexpr int mrClose = 8; // not platform answers: a button that closes its form, one for all
constexpr int mrAll = 9;

// Form descriptions by form class name, for forms that are not made from a resource.
void RegisterFormDescription(const std::string& ClassName, std::string Text);
void UnRegisterFormDescription(const std::string& ClassName);
// Registers every framework class that form descriptions name (forms, frames, panels, images,
// buttons, timers, menus, image lists) with the class registry.
void RegisterFrameworkClasses();
// Reads into Root the description registered for its class name, or else the RCDATA resource of
// that name; raises EResNotFound when there is neither.
void ReadClassDescription(TComponent* Root);

class TScrollingWinControl : public TWinControl {
    DECLARE_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {}
    // Stored; the framework shows no scroll bars of its own.
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value) { FAutoScroll = Value; }

private:
    bool FAutoScroll = false;
};

// A container with a sunken border (BorderStyle bsSingle; bsNone: none) whose scroll bars show
// when the controls on it reach past its client area; scrolling moves them.
class TScrollBox : public TScrollingWinControl {
    DECLARE_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* AOwner);
    ~TScrollBox() override;

    // bsNone or bsSingle (the other values count as bsSingle).
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    // How far the contents are scrolled, in pixels.
    POINT ScrollPos() const { return FScrollPos; }
    void ScrollBy(int DeltaX, int DeltaY);
    // Shows or hides the scroll bars for where the controls are now.
    void UpdateScrollBars();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void WndProc(TMessage& Message) override;
    void AlignControls(TControl* AControl, RECT& Rect) override;

private:
    void ScrollMessage(int Bar, WPARAM WParam);

    TFormBorderStyle FBorderStyle = bsSingle;
    POINT FScrollPos{0, 0};
    bool FUpdatingBars = false;
};

class TCustomForm : public TScrollingWinControl {
    DECLARE_CLASS(TCustomForm, TScrollingWinControl)
public:
    // A form with no description read: for forms built in code.
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Reads the description of the form's class (raising EResNotFound when there is none), then
    // OnCreate. CreateForm<T> and TApplication::CreateForm call it after construction.
    void InitFromDescription();
    // Runs OnCreate; an exception goes to the application's handler.
    void DoCreate();

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    // The dots per inch the form's layout is written for (96 unless its description says), and
    // whether the layout is scaled to the screen's when the form is first shown: its client
    // size, its controls' places and sizes, and the fonts of their own. Once shown, the form's
    // PixelsPerInch is the screen's: what a program places later is in screen pixels.
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value > 0 ? Value : FPixelsPerInch; }
    // Scales the layout from PixelsPerInch to the screen's now (once; nothing when they match).
    void ScaleToScreen();
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);

    // The client size; before the window exists it is worked out from the frame the styles give.
    RECT ClientRect() override;
    void SetClientWidth(int Value) override;
    void SetClientHeight(int Value) override;

    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);

    // Visible = true shows the window (placing it first when Position asks), false hides it.
    void Show();
    // Closes: OnCloseQuery, OnClose (caHide by default, the main form ends the program), then
    // hides or frees as the action says.
    void Close();
    // Frees the form once the messages already posted to it have been handled.
    void Release();
    void SetVisible(bool Value) override;
    // Shows the form and runs a message loop until ModalResult is set; other forms are disabled
    // meanwhile.
    int ShowModal();
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    // The framework control that has the focus, or nullptr.
    TWinControl* ActiveControl();
    // An MDI frame's client window ("MDIClient"); nullptr for other forms.
    HWND ClientHandle() const { return FClientHandle; }

    const TNotifyEvent& OnCreate() const { return FOnCreate; }
    void SetOnCreate(TNotifyEvent Value) { FOnCreate = Value; }
    const TNotifyEvent& OnDestroy() const { return FOnDestroy; }
    void SetOnDestroy(TNotifyEvent Value) { FOnDestroy = Value; }
    const TCloseEvent& OnClose() const { return FOnClose; }
    void SetOnClose(TCloseEvent Value) { FOnClose = Value; }
    const TCloseQueryEvent& OnCloseQuery() const { return FOnCloseQuery; }
    void SetOnCloseQuery(TCloseQueryEvent Value) { FOnCloseQuery = Value; }

    // Offers an Alt+key character to the form (CM_DIALOGCHAR through its WindowProc): true when
    // something took it.
    bool DialogChar(WPARAM CharCode, LPARAM KeyData);

protected:
    void CreateParams(TCreateParams& Params) override;
    // The client size scales; the place on the screen stays.
    void ScaleBounds(int M, int D) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

private:
    void ApplyPosition();
    void AttachMenu();
    // The styles CreateParams gives, without making any window.
    void FrameStyles(DWORD& Style, DWORD& ExStyle) const;
    SIZE FrameSize() const;
    friend class TApplication;

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    bool FScaled = true;
    int FPixelsPerInch = 96;
    TFormStyle FFormStyle = fsNormal;
    TMainMenu* FMenu = nullptr;
    int FModalResult = mrNone;
    bool FShownOnce = false;
    bool FInModal = false;
    // ClientWidth/ClientHeight set before the window exists.
    int FPendingClientWidth = -1;
    int FPendingClientHeight = -1;
    HWND FClientHandle = nullptr;
    TNotifyEvent FOnCreate;
    TNotifyEvent FOnDestroy;
    TCloseEvent FOnClose;
    TCloseQueryEvent FOnCloseQuery;
};

class TForm : public TCustomForm {
    DECLARE_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// A container of controls and components that can be placed on a form, built in code or read
// from a description of its own class (InitFromDescription) like a form.
class TCustomFrame : public TScrollingWinControl {
    DECLARE_CLASS(TCustomFrame, TScrollingWinControl)
public:
    explicit TCustomFrame(TComponent* AOwner);
    void InitFromDescription() { ReadClassDescription(this); }
};

class TFrame : public TCustomFrame {
    DECLARE_CLASS(TFrame, TCustomFrame)
public:
    explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
};

// The forms of the program, in the order they were made.
class TScreen : public TComponent {
    DECLARE_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(static_cast<size_t>(Index)); }
    // The form whose window is active, or nullptr.
    TCustomForm* ActiveForm() const;
    // The platform's menu font (SystemParametersInfo), read when the screen is made.
    TFont* MenuFont() const { return FMenuFont.get(); }
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    // The screen's dots per inch: 96 at 100 %, 144 at 150 %.
    int PixelsPerInch() const { return ScreenPixelsPerInch(); }

private:
    friend class TCustomForm;
    std::vector<TCustomForm*> FForms;
    std::unique_ptr<TFont> FMenuFont;
};

// Tells the platform the program draws itself for the screen's dots per inch (the application's
// Initialize does, before anything reads the screen's DPI; executables also say so in their
// manifest). Harmless when already declared.
void DeclareDpiAware() noexcept;

using TExceptionEvent = TEvent<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
    DECLARE_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner = nullptr);
    ~TApplication() override;

    // Installs the platform message box and the callback exception barrier's handler, registers
    // the common controls, makes the hidden window and starts the registered modules.
    void Initialize();

    // Makes a form of class T from its description (the first form made is the main form) and
    // returns it; the application owns it.
    template <class T> T* CreateForm()
    {
        T* form = new T(this);
        AddForm(form);
        form->InitFromDescription();
        return form;
    }
    TCustomForm* MainForm() const { return FMainForm; }

    // The hidden application window ("TApplication"), owner of the forms; made on demand.
    HWND Handle();
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value);

    // Shows the main form and runs the message loop until Terminate (or the main form closes).
    void Run();
    // Handles every message waiting, then returns.
    void ProcessMessages();
    // Waits for a message and handles it (and the idle work before waiting).
    void HandleMessage();
    // Ends Run (posts WM_QUIT).
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Clears Terminated and a pending WM_QUIT, for programs (and tests) that run the loop again.
    void ResetTerminated();

    // The top-level handler: an exception that escaped an event handler or a window procedure.
    // OnException when assigned; otherwise the message is shown through the message box, the
    // exit code becomes 1 and the program ends (Terminate).
    void HandleException(const std::exception& E);
    void HandleCurrentException() noexcept;
    const TExceptionEvent& OnException() const { return FOnException; }
    void SetOnException(TExceptionEvent Value) { FOnException = Value; }
    int ExitCode() const { return FExitCode; }
    void SetExitCode(int Value) { FExitCode = Value; }

    // Frees the forms, then runs the registered finalisers (the last registered first). Called by
    // the destructor when not called before.
    void Finalize() noexcept;
    // Finalisation of a module: runs in Finalize after the forms are freed, in reverse order of
    // registration. Engine modules register when they initialise; framework globals are
    // finalised after all of them.
    void AddFinalization(std::function<void()> Fn);

    // Runs one message through the framework (hooks, dialog keys, mouse tracking), then dispatches.
    bool ProcessMessage(MSG& Msg);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void AddForm(TCustomForm* Form);
    void Idle();
    bool IsDialogChar(MSG& Msg);
    // A key that is the short-cut of an enabled item of the form's main menu clicks it.
    bool IsShortCut(MSG& Msg);
    void WndProc(TMessage& Message);
    friend class TCustomForm;

    TCustomForm* FMainForm = nullptr;
    std::string FTitle;
    HWND FHandle = nullptr;
    WNDPROC FObjectInstance = nullptr;
    bool FTerminated = false;
    bool FFinalized = false;
    bool FInitialized = false;
    bool FShowMainForm = true;
    int FExitCode = 0;
    TExceptionEvent FOnException;
    std::vector<std::function<void()>> FFinalizers;
};

// A module's start and end. TApplication::Initialize runs the start of every registered module
// (lower Order first; equal orders in registration order) and queues its end, so that Finalize
// runs the ends in the reverse order after the forms are freed. Declare one at namespace scope:
//     static TModuleRegistration Registration("SkinDraw", 100, &InitSkinDraw, &DoneSkinDraw);
struct TModuleRegistration {
    TModuleRegistration(const char* Name, int Order, void (*Init)(), void (*Done)());
};

// The program's application and screen, made on first use and freed by FreeApplication in the
// order: forms, engine modules (the application's finalisers), framework globals.
TApplication* Application();
TScreen* Screen();
// Finalises and frees the application and the screen; safe to call twice. Programs call it at
// the end of WinMain (TApplicationScope does); static destructors are not relied on.
void FreeApplication() noexcept;

struct TApplicationScope {
    TApplicationScope() = default;
    ~TApplicationScope() { FreeApplication(); }
    TApplicationScope(const TApplicationScope&) = delete;
    TApplicationScope& operator=(const TApplicationScope&) = delete;
};
