#include "framework/controls/Forms.h"

#include "framework/controls/ControlHook.h"
#include "framework/controls/Timer.h"
#include "framework/graphics/Bitmap.h"
#include "framework/core/Dialogs.h"
#include "framework/core/FormReader.h"
#include "framework/core/Published.h"
#include "framework/menus/Menus.h"
#include "framework/win/Callback.h"
#include "framework/win/ControlMessages.h"
#include "framework/win/Files.h"
#include "framework/win/PlatformDialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <mutex>

namespace {

// The application and the screen are made once for the process, whichever thread asks first; any
// thread may add to what the application's end runs.
std::mutex& SharedLock()
{
    static std::mutex* lock = new std::mutex;
    return *lock;
}

std::map<std::string, std::string>& Descriptions()
{
    static std::map<std::string, std::string> map;
    return map;
}

TApplication* GApplication = nullptr;
TScreen* GScreen = nullptr;

constexpr const char* AppClassName = "TApplication";

LRESULT CALLBACK AppWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    try {
        switch (Msg) {
        case WM_CLOSE:
            if (GApplication != nullptr && GApplication->MainForm() != nullptr)
                GApplication->MainForm()->Close();
            return 0;
        case WM_SYSCOMMAND:
            if ((WParam & 0xFFF0) == SC_CLOSE) {
                PostMessageA(Window, WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        default:
            break;
        }
    } catch (...) {
        HandleCallbackException();
        return 0;
    }
    return DefWindowProcA(Window, Msg, WParam, LParam);
}

BOOL CALLBACK CollectEnabledWindow(HWND Window, LPARAM List)
{
    if (IsWindowVisible(Window) && IsWindowEnabled(Window))
        reinterpret_cast<std::vector<HWND>*>(List)->push_back(Window);
    return TRUE;
}

void RouteCallbackException(std::exception_ptr Error)
{
    if (GApplication == nullptr)
        return;
    try {
        std::rethrow_exception(Error);
    } catch (const std::exception& e) {
        GApplication->HandleException(e);
    } catch (...) {
        GApplication->HandleException(Exception("Unknown exception"));
    }
}

struct TModule {
    const char* Name;
    int Order;
    void (*Init)();
    void (*Done)();
};

std::vector<TModule>& Modules()
{
    static std::vector<TModule> list;
    return list;
}

} // namespace

TModuleRegistration::TModuleRegistration(const char* Name, int Order, void (*Init)(), void (*Done)())
{
    Modules().push_back(TModule{Name, Order, Init, Done});
}

void RegisterFormDescription(const std::string& ClassName, std::string Text)
{
    Descriptions()[ClassName] = std::move(Text);
}

void UnRegisterFormDescription(const std::string& ClassName)
{
    Descriptions().erase(ClassName);
}

void ReadClassDescription(TComponent* Root)
{
    const std::string& name = Root->ClassName();
    std::string text;
    auto found = Descriptions().find(name);
    if (found != Descriptions().end()) {
        text = found->second;
    } else if (!ReadProgramResource(name, text)) {
        throw EResNotFound("Resource " + name + " not found");
    }
    ReadComponentText(text, Root);
}

IMPLEMENT_CLASS_EMPTY(TScrollingWinControl)

// ---------------------------------------------------------------------------------------------
// TScrollBox

IMPLEMENT_CLASS(TScrollBox)

void TScrollBox::Publish(TClassBuilder<TScrollBox>& b)
{
    b.Property("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle);
}

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls, csClickEvents});
    SetAutoScroll(true);
    SetBounds(FLeft, FTop, 185, 41);
}

TScrollBox::~TScrollBox() = default;

void TScrollBox::SetBorderStyle(TFormBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    Params.Style |= WS_HSCROLL | WS_VSCROLL;
    if (FBorderStyle != bsNone)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::CreateHandleDone()
{
    TScrollingWinControl::CreateHandleDone();
    UpdateScrollBars();
}

void TScrollBox::AlignControls(TControl* AControl, RECT& Rect)
{
    TScrollingWinControl::AlignControls(AControl, Rect);
    UpdateScrollBars();
}

void TScrollBox::UpdateScrollBars()
{
    if (!HandleAllocated() || FUpdatingBars)
        return;
    FUpdatingBars = true;
    // How far the controls reach, in unscrolled coordinates.
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible() || c->Align() != alNone)
            continue;
        right = std::max<int>(right, c->Left() + c->Width() + FScrollPos.x);
        bottom = std::max<int>(bottom, c->Top() + c->Height() + FScrollPos.y);
    }
    // Two rounds: showing one bar can make room for the other scarce.
    for (int round = 0; round < 2; ++round) {
        RECT client{};
        GetClientRect(FHandle, &client);
        auto set = [&](int Bar, int Extent, int Page, LONG Pos) {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            info.nMin = 0;
            info.nMax = AutoScroll() && Extent > Page ? Extent - 1 : 0;
            info.nPage = AutoScroll() && Extent > Page ? static_cast<UINT>(Page) : 0;
            info.nPos = Pos;
            SetScrollInfo(FHandle, Bar, &info, TRUE);
        };
        set(SB_HORZ, right, client.right, FScrollPos.x);
        set(SB_VERT, bottom, client.bottom, FScrollPos.y);
    }
    FUpdatingBars = false;
    // Content that fits now is brought back into view.
    RECT client{};
    GetClientRect(FHandle, &client);
    const int maxX = std::max<int>(right - client.right, 0);
    const int maxY = std::max<int>(bottom - client.bottom, 0);
    if (FScrollPos.x > maxX || FScrollPos.y > maxY)
        ScrollBy(std::min<int>(FScrollPos.x, maxX) - FScrollPos.x, std::min<int>(FScrollPos.y, maxY) - FScrollPos.y);
}

void TScrollBox::ScrollBy(int DeltaX, int DeltaY)
{
    if (DeltaX == 0 && DeltaY == 0)
        return;
    FScrollPos.x += DeltaX;
    FScrollPos.y += DeltaY;
    DisableAlign();
    try {
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            if (c->Align() == alNone)
                c->SetBounds(c->Left() - DeltaX, c->Top() - DeltaY, c->Width(), c->Height());
        }
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
    if (HandleAllocated()) {
        SetScrollPos(FHandle, SB_HORZ, FScrollPos.x, TRUE);
        SetScrollPos(FHandle, SB_VERT, FScrollPos.y, TRUE);
    }
    Invalidate();
}

void TScrollBox::ScrollMessage(int Bar, WPARAM WParam)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(FHandle, Bar, &info))
        return;
    const int page = std::max<int>(static_cast<int>(info.nPage), 1);
    int pos = info.nPos;
    switch (LOWORD(WParam)) {
    case SB_LINEUP: pos -= 8; break;
    case SB_LINEDOWN: pos += 8; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = info.nTrackPos; break;
    case SB_TOP: pos = info.nMin; break;
    case SB_BOTTOM: pos = info.nMax; break;
    default: return;
    }
    pos = std::clamp(pos, 0, std::max<int>(info.nMax - page + 1, 0));
    if (Bar == SB_HORZ)
        ScrollBy(pos - FScrollPos.x, 0);
    else
        ScrollBy(0, pos - FScrollPos.y);
}

void TScrollBox::WndProc(TMessage& Message)
{
    // The box's own bars (lParam 0); a scroll bar control on it is reflected as before.
    if ((Message.Msg == WM_HSCROLL || Message.Msg == WM_VSCROLL) && Message.LParam == 0 && HandleAllocated()) {
        ScrollMessage(Message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, Message.WParam);
        Message.Result = 0;
        return;
    }
    TScrollingWinControl::WndProc(Message);
    if (Message.Msg == WM_SIZE)
        UpdateScrollBars();
}

// ---------------------------------------------------------------------------------------------
// TCustomForm

IMPLEMENT_CLASS(TCustomForm)

void TCustomForm::Publish(TClassBuilder<TCustomForm>& b)
{
    b.Property("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll)
        .Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle)
        .Property("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
        .Property("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth)
        .Property("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight)
        .Property("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle)
        .Property("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu)
        .Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition)
        .Property("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled)
        .Property("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch)
        .Property("OnCreate", &TCustomForm::OnCreate, &TCustomForm::SetOnCreate)
        .Property("OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::SetOnDestroy)
        .Property("OnClose", &TCustomForm::OnClose, &TCustomForm::SetOnClose)
        .Property("OnCloseQuery", &TCustomForm::OnCloseQuery, &TCustomForm::SetOnCloseQuery);
}

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    FVisible = false;
    FParentFont = false;
    FWidth = 320;
    FHeight = 240;
    Screen()->FForms.push_back(this);
}

TCustomForm::~TCustomForm()
{
    // The form and what it owns know they are going before its window goes (a window being
    // destroyed is otherwise also one being made anew).
    Destroying();
    if (FOnDestroy)
        CallGuarded([&] { FOnDestroy(this); });
    if (FMenu != nullptr)
        FMenu->SetWindowHandle(nullptr);
    // The window goes while this is still a form, so that its own handlers see the last messages.
    DestroyHandle();
    if (GScreen != nullptr) {
        auto& forms = GScreen->FForms;
        forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    }
}

void TCustomForm::InitFromDescription()
{
    ReadClassDescription(this);
    DoCreate();
}

void TCustomForm::DoCreate()
{
    if (!FOnCreate)
        return;
    try {
        FOnCreate(this);
    } catch (const std::exception& e) {
        Application()->HandleException(e);
    }
}

void TCustomForm::FrameStyles(DWORD& Style, DWORD& ExStyle) const
{
    Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    ExStyle = 0;
    if (FParent != nullptr)
        Style |= WS_CHILD;
    else if (FBorderStyle == bsNone || FBorderStyle == bsDialog)
        Style |= WS_POPUP;
    switch (FBorderStyle) {
    case bsNone:
        break;
    case bsSingle:
        Style |= WS_CAPTION | WS_BORDER;
        break;
    case bsSizeable:
        Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        Style |= WS_CAPTION;
        ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        Style |= WS_CAPTION;
        ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        Style |= WS_CAPTION | WS_THICKFRAME;
        ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
        Style |= WS_SYSMENU;
        if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
            if (FBorderIcons.Contains(biMinimize))
                Style |= WS_MINIMIZEBOX;
            if (FBorderIcons.Contains(biMaximize))
                Style |= WS_MAXIMIZEBOX;
        }
    }
    if (FFormStyle == fsMDIChild)
        ExStyle |= WS_EX_MDICHILD;
    if (FFormStyle == fsStayOnTop)
        ExStyle |= WS_EX_TOPMOST;
}

SIZE TCustomForm::FrameSize() const
{
    DWORD style = 0, exStyle = 0;
    FrameStyles(style, exStyle);
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, FMenu != nullptr ? TRUE : FALSE, exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    FrameStyles(Params.Style, Params.ExStyle);
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    Params.X = FLeft;
    Params.Y = FTop;
    if (FParent != nullptr) {
        Params.WndParent = FParent->Handle();
    } else if (FFormStyle == fsMDIChild) {
        // The frame is the MDI form that owns the child, else the main form.
        TCustomForm* frame = dynamic_cast<TCustomForm*>(Owner());
        if (frame == nullptr || frame->FormStyle() != fsMDIForm)
            frame = Application()->MainForm();
        if (frame == nullptr || frame == this || frame->ClientHandle() == nullptr)
            throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
        Params.WndParent = frame->ClientHandle();
        Params.Style |= WS_CHILD | WS_VISIBLE;
    } else {
        Params.WndParent = Application()->Handle();
    }
    Params.WindowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512)); // IDI_APPLICATION
    Params.WindowClass.style = CS_DBLCLKS;
}

void TCustomForm::ScaleToScreen()
{
    const int screen = ScreenPixelsPerInch();
    if (FPixelsPerInch == screen)
        return;
    ChangeScale(screen, FPixelsPerInch);
    FPixelsPerInch = screen;
}

void TCustomForm::ScaleBounds(int M, int D)
{
    const int width = MulDiv(ClientWidth(), M, D);
    const int height = MulDiv(ClientHeight(), M, D);
    SetClientWidth(width);
    SetClientHeight(height);
}

void TCustomForm::CreateWnd()
{
    TScrollingWinControl::CreateWnd();
    if (FFormStyle == fsMDIForm && FClientHandle == nullptr) {
        CLIENTCREATESTRUCT client{nullptr, 0xFF00};
        RECT r{};
        GetClientRect(FHandle, &r);
        FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL |
                                            WS_HSCROLL,
                                        0, 0, r.right, r.bottom, FHandle, nullptr, GetModuleHandleA(nullptr), &client);
        if (FClientHandle == nullptr)
            throw EWindowCreateError("Error creating window MDICLIENT");
    }
    AttachMenu();
}

void TCustomForm::DestroyWnd()
{
    // The menu stays the menu component's: DestroyWindow would destroy a menu still attached.
    if (FHandle != nullptr && GetMenu(FHandle) != nullptr)
        ::SetMenu(FHandle, nullptr);
    FClientHandle = nullptr;
    TScrollingWinControl::DestroyWnd();
}

void TCustomForm::DefaultHandler(TMessage& Message)
{
    if (FHandle == nullptr)
        return;
    if (FFormStyle == fsMDIForm && FClientHandle != nullptr) {
        Message.Result = DefFrameProcA(FHandle, FClientHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    if (FFormStyle == fsMDIChild) {
        Message.Result = DefMDIChildProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TScrollingWinControl::DefaultHandler(Message);
}

RECT TCustomForm::ClientRect()
{
    if (FHandle != nullptr)
        return TScrollingWinControl::ClientRect();
    const SIZE frame = FrameSize();
    return RECT{0, 0, std::max<int>(FWidth - frame.cx, 0), std::max<int>(FHeight - frame.cy, 0)};
}

void TCustomForm::SetClientWidth(int Value)
{
    if (FHandle != nullptr) {
        SetWidth(Value + FWidth - ClientWidth());
        return;
    }
    FPendingClientWidth = Value;
    SetWidth(Value + FrameSize().cx);
}

void TCustomForm::SetClientHeight(int Value)
{
    if (FHandle != nullptr) {
        SetHeight(Value + FHeight - ClientHeight());
        return;
    }
    FPendingClientHeight = Value;
    SetHeight(Value + FrameSize().cy);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    if (FHandle != nullptr) {
        RecreateWnd();
        return;
    }
    // A client size given before keeps its meaning under the new frame.
    if (FPendingClientWidth >= 0)
        SetClientWidth(FPendingClientWidth);
    if (FPendingClientHeight >= 0)
        SetClientHeight(FPendingClientHeight);
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
    FBorderIcons = Value;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (Value == FFormStyle)
        return;
    if (FHandle != nullptr)
        throw EInvalidOperation("Cannot change the form style of a form with a window");
    FFormStyle = Value;
}

void TCustomForm::SetMenu(TMainMenu* Value)
{
    if (Value == FMenu)
        return;
    if (FMenu != nullptr) {
        FMenu->SetWindowHandle(nullptr);
        FMenu->RemoveFreeNotification(this);
    }
    FMenu = Value;
    if (FMenu != nullptr)
        FMenu->FreeNotification(this);
    AttachMenu();
}

void TCustomForm::AttachMenu()
{
    if (FHandle == nullptr || FFormStyle == fsMDIChild)
        return;
    if (FMenu != nullptr) {
        FMenu->SetWindowHandle(FHandle);
        ::SetMenu(FHandle, FMenu->Handle());
    } else {
        ::SetMenu(FHandle, nullptr);
    }
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TScrollingWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMenu) {
        FMenu = nullptr;
        if (FHandle != nullptr)
            ::SetMenu(FHandle, nullptr);
    }
}

void TCustomForm::Loaded()
{
    TScrollingWinControl::Loaded();
    if (FPendingClientWidth >= 0)
        SetClientWidth(FPendingClientWidth);
    if (FPendingClientHeight >= 0)
        SetClientHeight(FPendingClientHeight);
}

void TCustomForm::ApplyPosition()
{
    if (FPosition != poScreenCenter || FParent != nullptr)
        return;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SetBounds(work.left + (work.right - work.left - FWidth) / 2, work.top + (work.bottom - work.top - FHeight) / 2,
              FWidth, FHeight);
}

void TCustomForm::SetVisible(bool Value)
{
    if (Value && !FShownOnce) {
        FShownOnce = true;
        if (FScaled)
            ScaleToScreen();
        ApplyPosition();
    }
    if (Value == FVisible) {
        if (Value && FHandle != nullptr && !IsWindowVisible(FHandle))
            ShowWindow(FHandle, SW_SHOW);
        return;
    }
    if (Value)
        HandleNeeded();
    TScrollingWinControl::SetVisible(Value);
    if (Value && FHandle != nullptr && FParent == nullptr)
        SetForegroundWindow(FHandle);
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (FHandle != nullptr && FParent == nullptr)
        BringWindowToTop(FHandle);
}

void TCustomForm::Close()
{
    if (FInModal) {
        FModalResult = mrCancel;
        return;
    }
    bool canClose = true;
    if (FOnCloseQuery)
        FOnCloseQuery(this, canClose);
    if (!canClose)
        return;
    TCloseAction action = FFormStyle == fsMDIChild ? caMinimize : caHide;
    if (FOnClose)
        FOnClose(this, action);
    if (action == caNone)
        return;
    if (GApplication != nullptr && GApplication->MainForm() == this) {
        GApplication->Terminate();
        return;
    }
    switch (action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        if (FHandle != nullptr)
            ShowWindow(FHandle, SW_MINIMIZE);
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
}

void TCustomForm::Release()
{
    if (FHandle != nullptr)
        PostMessageA(FHandle, CM_RELEASE, 0, 0);
    else
        delete this;
}

int TCustomForm::ShowModal()
{
    if (FVisible || FInModal)
        throw EInvalidOperation("Cannot make a visible window modal");
    // Every other enabled window of ours waits.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), &CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND w : disabled)
        EnableWindow(w, FALSE);
    FModalResult = mrNone;
    FInModal = true;
    try {
        Show();
        while (FModalResult == mrNone) {
            Application()->HandleMessage();
            if (Application()->Terminated())
                FModalResult = mrCancel;
        }
    } catch (...) {
        FInModal = false;
        for (HWND w : disabled)
            EnableWindow(w, TRUE);
        throw;
    }
    FInModal = false;
    for (HWND w : disabled)
        EnableWindow(w, TRUE);
    Hide();
    return FModalResult;
}

TWinControl* TCustomForm::ActiveControl()
{
    TWinControl* control = FindControl(GetFocus());
    return control != nullptr && ContainsControl(control) ? control : nullptr;
}

bool TCustomForm::DialogChar(WPARAM CharCode, LPARAM KeyData)
{
    return SendMessageA(Handle(), CM_DIALOGCHAR, CharCode, KeyData) != 0;
}

void TCustomForm::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case WM_COMMAND:
        if (Message.LParam == 0 && HIWORD(Message.WParam) == 0 && MenuDispatchCommand(LOWORD(Message.WParam)))
            return;
        break;
    case WM_MEASUREITEM: {
        auto* info = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (info != nullptr && info->CtlType == ODT_MENU && MenuMeasureItem(*info)) {
            Message.Result = TRUE;
            return;
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* info = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
        if (info != nullptr && info->CtlType == ODT_MENU && MenuDrawItem(*info)) {
            Message.Result = TRUE;
            return;
        }
        break;
    }
    case WM_INITMENUPOPUP:
        MenuInitPopup(reinterpret_cast<HMENU>(Message.WParam));
        break;
    case WM_DPICHANGED: { // a screen of another DPI, or a new setting
        // The layout follows the new DPI, and the window takes the place the platform offers.
        const int dpi = LOWORD(Message.WParam);
        const auto* suggested = reinterpret_cast<const RECT*>(Message.LParam);
        // 50 % to 500 %: another value (any process may send the message) is not a screen's.
        if (FScaled && dpi >= 48 && dpi <= 480 && dpi != FPixelsPerInch) {
            ChangeScale(dpi, FPixelsPerInch);
            FPixelsPerInch = dpi;
        }
        if (suggested != nullptr)
            SetBounds(suggested->left, suggested->top, suggested->right - suggested->left,
                      suggested->bottom - suggested->top);
        Message.Result = 0;
        return;
    }
    case CM_MENUCHANGED:
        AttachMenu();
        return;
    case CM_RELEASE:
        delete this;
        return;
    default:
        break;
    }
    TScrollingWinControl::WndProc(Message);
}

IMPLEMENT_CLASS_EMPTY(TForm)

IMPLEMENT_CLASS_EMPTY(TCustomFrame)

TCustomFrame::TCustomFrame(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    FWidth = 320;
    FHeight = 240;
}

IMPLEMENT_CLASS_EMPTY(TFrame)

// ---------------------------------------------------------------------------------------------
// TScreen

IMPLEMENT_CLASS_EMPTY(TScreen)

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner), FMenuFont(std::make_unique<TFont>())
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        FMenuFont->SetHandle(CreateFontIndirectA(&metrics.lfMenuFont));
}

TScreen::~TScreen() = default;

TCustomForm* TScreen::ActiveForm() const
{
    HWND active = GetActiveWindow();
    for (TCustomForm* form : FForms)
        if (form->HandleAllocated() && form->Handle() == active)
            return form;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TApplication

IMPLEMENT_CLASS_EMPTY(TApplication)

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication()
{
    Finalize();
    if (GApplication == this)
        GApplication = nullptr;
}

void DeclareDpiAware() noexcept
{
    // Per monitor where the platform knows it (Windows 10 1703 on), else for the system DPI.
    // Without it the platform draws the program at 96 and stretches it, blurred.
    HMODULE user = GetModuleHandleA("user32.dll");
    if (user == nullptr)
        return;
    using TSetContext = BOOL(WINAPI*)(HANDLE);
    using TSetAware = BOOL(WINAPI*)();
    auto setContext =
        reinterpret_cast<TSetContext>(reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext")));
    auto setAware = reinterpret_cast<TSetAware>(reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware")));
    if ((setContext == nullptr || !setContext(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)))) &&
        setAware != nullptr)
        setAware();
}

void TApplication::Initialize()
{
    if (FInitialized)
        return;
    FInitialized = true;
    DeclareDpiAware();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                      ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    InstallPlatformMessageBox();
    SetCallbackExceptionHandler(&RouteCallbackException);
    Handle();
    std::vector<TModule> modules = Modules();
    std::stable_sort(modules.begin(), modules.end(),
                     [](const TModule& a, const TModule& b) { return a.Order < b.Order; });
    for (const TModule& m : modules) {
        if (m.Init != nullptr)
            m.Init();
        if (m.Done != nullptr)
            AddFinalization(m.Done);
    }
}

HWND TApplication::Handle()
{
    if (FHandle != nullptr)
        return FHandle;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (!GetClassInfoA(instance, AppClassName, &existing)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &AppWndProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        wc.lpszClassName = AppClassName;
        if (RegisterClassA(&wc) == 0)
            throw EWindowCreateError("Cannot register window class TApplication");
    }
    // Never shown: it owns the forms and carries the title.
    FHandle = CreateWindowExA(0, AppClassName, FTitle.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                              nullptr, instance, nullptr);
    if (FHandle == nullptr)
        throw EWindowCreateError("Error creating window TApplication");
    return FHandle;
}

void TApplication::SetTitle(const std::string& Value)
{
    FTitle = Value;
    if (FHandle != nullptr)
        SetWindowTextA(FHandle, FTitle.c_str());
}

void TApplication::AddForm(TCustomForm* Form)
{
    if (FMainForm == nullptr)
        FMainForm = Form;
    Form->FreeNotification(this);
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMainForm)
        FMainForm = nullptr;
}

void TApplication::Run()
{
    if (FTerminated)
        return;
    if (FMainForm != nullptr && FShowMainForm)
        FMainForm->Show();
    while (!FTerminated)
        HandleMessage();
}

bool TApplication::ProcessMessage(MSG& Msg)
{
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    if (Msg.message == WM_SYSCHAR && IsDialogChar(Msg))
        return true;
    if ((Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN) && IsShortCut(Msg))
        return true;
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
    switch (Msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_MOUSELEAVE:
    case 0x02A2: // WM_NCMOUSELEAVE
        TrackMouseControl();
        break;
    default:
        break;
    }
    return true;
}

bool TApplication::IsShortCut(MSG& Msg)
{
    if (Msg.wParam > 0xFF)
        return false;
    const TShortCut shortCut = ShortCut(static_cast<WORD>(Msg.wParam), GetKeyState(VK_SHIFT) < 0,
                                        GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0);
    auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(GetAncestor(Msg.hwnd, GA_ROOT)));
    if (form == nullptr || form->Menu() == nullptr || shortCut == scNone)
        return false;
    TMenuItem* item = form->Menu()->FindItem(shortCut, TMenu::fkShortCut);
    if (item == nullptr || !item->Enabled())
        return false;
    item->Click();
    return true;
}

bool TApplication::IsDialogChar(MSG& Msg)
{
    HWND root = GetAncestor(Msg.hwnd, GA_ROOT);
    auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(root));
    return form != nullptr && form->DialogChar(Msg.wParam, Msg.lParam);
}

void TApplication::HandleMessage()
{
    MSG msg{};
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        try {
            ProcessMessage(msg);
        } catch (const std::exception& e) {
            HandleException(e);
        }
        return;
    }
    Idle();
    if (!FTerminated)
        WaitMessage();
}

void TApplication::ProcessMessages()
{
    MSG msg{};
    while (!FTerminated && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        try {
            ProcessMessage(msg);
        } catch (const std::exception& e) {
            HandleException(e);
        }
    }
}

void TApplication::Idle()
{
    TrackMouseControl();
    TControlCanvas::FreeDeviceContexts();
}

void TApplication::Terminate()
{
    if (!FTerminated)
        PostQuitMessage(FExitCode);
    FTerminated = true;
}

void TApplication::ResetTerminated()
{
    FTerminated = false;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void TApplication::HandleException(const std::exception& E)
{
    if (FOnException) {
        FOnException(this, E);
        return;
    }
    static thread_local bool showing = false;
    if (showing)
        return;
    showing = true;
    try {
        ShowMessageBox(E.what(), FTitle, MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
    showing = false;
    FExitCode = 1;
    Terminate();
}

void TApplication::HandleCurrentException() noexcept
{
    try {
        throw;
    } catch (const std::exception& e) {
        try {
            HandleException(e);
        } catch (...) {
        }
    } catch (...) {
        try {
            HandleException(Exception("Unknown exception"));
        } catch (...) {
        }
    }
}

void TApplication::AddFinalization(std::function<void()> Fn)
{
    const std::lock_guard<std::mutex> hold(SharedLock());
    FFinalizers.push_back(std::move(Fn));
}

void TApplication::Finalize() noexcept
{
    if (FFinalized)
        return;
    FFinalized = true;
    // The forms first (last made first), then what modules registered, then our own windows.
    CallGuarded([&] { DestroyComponents(); });
    FMainForm = nullptr;
    while (!FFinalizers.empty()) {
        std::function<void()> fn = std::move(FFinalizers.back());
        FFinalizers.pop_back();
        CallGuarded([&] { fn(); });
    }
    CallGuarded([] { FreeTimerWindow(); });
    CallGuarded([] { FreeMenuWindows(); });
    FreeControlHookRelays();
    TBitmap::FreeRecycledDibs();
    if (FHandle != nullptr) {
        DestroyWindow(FHandle);
        FHandle = nullptr;
    }
    if (GetCallbackExceptionHandler() == &RouteCallbackException)
        SetCallbackExceptionHandler(nullptr);
}

TApplication* Application()
{
    if (GApplication == nullptr) {
        const std::lock_guard<std::mutex> hold(SharedLock());
        if (GApplication == nullptr)
            GApplication = new TApplication(nullptr);
    }
    return GApplication;
}

TScreen* Screen()
{
    if (GScreen == nullptr) {
        const std::lock_guard<std::mutex> hold(SharedLock());
        if (GScreen == nullptr)
            GScreen = new TScreen(nullptr);
    }
    return GScreen;
}

void FreeApplication() noexcept
{
    if (GApplication != nullptr) {
        TApplication* app = GApplication;
        app->Finalize();
        GApplication = nullptr;
        delete app;
    }
    TControlCanvas::FreeDeviceContexts();
    if (GScreen != nullptr) {
        delete GScreen;
        GScreen = nullptr;
    }
}
