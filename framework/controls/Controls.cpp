#include "framework/controls/Controls.h"

#include "framework/core/Published.h"
#include "framework/menus/Menus.h"
#include "framework/win/Callback.h"
#include "framework/win/ObjectInstance.h"
#include "framework/win/StartupTrace.h"

#include <algorithm>

namespace {

// The window property that leads from a window to its framework control.
constexpr const char* ControlProp = "FrameworkControl";

// The control whose window CreateWindowExA is making; InitWndProc takes it.
thread_local TWinControl* CreationControl = nullptr;

// The mouse and the window device contexts are each thread's own.
thread_local TControl* GMouseControl = nullptr;
thread_local HWND GMouseWindow = nullptr;

std::vector<TControlCanvas*>& CanvasList()
{
    static thread_local std::vector<TControlCanvas*>* list = nullptr; // made once a thread, kept
    if (list == nullptr)
        list = new std::vector<TControlCanvas*>();
    return *list;
}

bool IsMouseMessage(UINT Msg)
{
    return Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TControl

IMPLEMENT_CLASS(TControl)

void TControl::Publish(TClassBuilder<TControl>& b)
{
    b.Property("Left", &TControl::Left, &TControl::SetLeft)
        .Property("Top", &TControl::Top, &TControl::SetTop)
        .Property("Width", &TControl::Width, &TControl::SetWidth)
        .Property("Height", &TControl::Height, &TControl::SetHeight)
        .Property("Align", &TControl::Align, &TControl::SetAlign)
        .Property("Anchors", &TControl::Anchors, &TControl::SetAnchors)
        .Property("Caption", &TControl::Caption, &TControl::SetCaption)
        .Property("Color", &TControl::Color, &TControl::SetColor, &ColorTypeInfo())
        .Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
        .Property("Font", &TControl::Font, &TControl::SetFont)
        .Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
        .Property("Enabled", &TControl::Enabled, &TControl::SetEnabled)
        .Property("Visible", &TControl::Visible, &TControl::SetVisible)
        .Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
        .Property("OnClick", &TControl::OnClick, &TControl::SetOnClick);
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>())
{
    FWindowProc = DefaultWindowProc();
    FFont->SetOnChange(BindMethod<&TControl::FontPropertyChanged>(this));
}

TControl::~TControl()
{
    if (GMouseControl == this)
        GMouseControl = nullptr;
    if (FParent != nullptr)
        FParent->RemoveControl(this);
}

TWndMethod TControl::DefaultWindowProc()
{
    return BindMethod<&TControl::WndProc>(this);
}

void TControl::SetWindowProc(TWndMethod Value)
{
    FWindowProc = Value ? Value : DefaultWindowProc();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    // A copy: the hook may replace itself while it runs.
    const TWndMethod proc = FWindowProc;
    proc(message);
    return message.Result;
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot be its own parent");
    if (FParent != nullptr)
        FParent->RemoveControl(this);
    if (AParent != nullptr)
        AParent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const
{
    return FParent;
}

void TControl::SetParentComponent(TComponent* Value)
{
    if (auto* parent = dynamic_cast<TWinControl*>(Value))
        SetParent(parent);
}

void TControl::StoreBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    FLeft = ALeft;
    FTop = ATop;
    FWidth = std::max(AWidth, 0);
    FHeight = std::max(AHeight, 0);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    Invalidate();
    StoreBounds(ALeft, ATop, AWidth, AHeight);
    if (!FUpdatingFromParent)
        UpdateAnchorRules();
    Invalidate();
    if (!FUpdatingFromParent)
        RequestAlign();
}

void TControl::ChangeScale(int M, int D)
{
    if (M == D || M <= 0 || D <= 0)
        return;
    ScaleBounds(M, D);
    if (!FParentFont)
        FFont->SetHeight(MulDiv(FFont->Height(), M, D));
}

void TControl::ScaleBounds(int M, int D)
{
    SetBounds(MulDiv(FLeft, M, D), MulDiv(FTop, M, D), MulDiv(FWidth, M, D), MulDiv(FHeight, M, D));
}

void TControl::UpdateAnchorRules()
{
    if (FParent == nullptr)
        return;
    const RECT r = FParent->ClientRect();
    FAnchorRight = r.right - (FLeft + FWidth);
    FAnchorBottom = r.bottom - (FTop + FHeight);
    FAnchorsValid = true;
}

void TControl::ParentResized(int NewClientWidth, int NewClientHeight)
{
    if (!FAnchorsValid || FAlign != alNone)
        return;
    int left = FLeft, top = FTop, width = FWidth, height = FHeight;
    if (FAnchors.Contains(akRight)) {
        if (FAnchors.Contains(akLeft))
            width = NewClientWidth - FAnchorRight - left;
        else
            left = NewClientWidth - FAnchorRight - width;
    }
    if (FAnchors.Contains(akBottom)) {
        if (FAnchors.Contains(akTop))
            height = NewClientHeight - FAnchorBottom - top;
        else
            top = NewClientHeight - FAnchorBottom - height;
    }
    FUpdatingFromParent = true;
    try {
        SetBounds(left, top, width, height);
    } catch (...) {
        FUpdatingFromParent = false;
        throw;
    }
    FUpdatingFromParent = false;
}

void TControl::RequestAlign()
{
    if (FParent != nullptr && FAlign != alNone)
        FParent->Realign();
}

void TControl::SetAlign(TAlign Value)
{
    if (Value == FAlign)
        return;
    FAlign = Value;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors Value)
{
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    if (!Value)
        Invalidate();
    FVisible = Value;
    if (auto* win = dynamic_cast<TWinControl*>(this); win != nullptr && win->FHandle != nullptr)
        ShowWindow(win->FHandle, Value ? SW_SHOW : SW_HIDE);
    if (Value)
        Invalidate();
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    if (FAlign != alNone)
        RequestAlign();
}

bool TControl::Showing() const
{
    return FVisible && (FParent == nullptr || FParent->Showing());
}

void TControl::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    if (auto* win = dynamic_cast<TWinControl*>(this); win != nullptr && win->HandleAllocated())
        EnableWindow(win->FHandle, Value ? TRUE : FALSE);
    Perform(CM_ENABLEDCHANGED);
    Invalidate();
}

void TControl::SetCaption(const std::string& Value)
{
    if (auto* win = dynamic_cast<TWinControl*>(this); win != nullptr && win->HandleAllocated()) {
        // Through the window, so that whoever watches WM_SETTEXT sees it; the handler stores it.
        SendMessageA(win->FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
        return;
    }
    if (Value == FCaption)
        return;
    FCaption = Value;
    Perform(CM_TEXTCHANGED);
    Invalidate();
}

void TControl::SetColor(TColor Value)
{
    if (Value == FColor && !FParentColor)
        return;
    FColor = Value;
    FParentColor = false;
    ColorChanged();
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value)
{
    if (Value == FParentColor)
        return;
    FParentColor = Value;
    if (Value && FParent != nullptr) {
        FColor = FParent->Color();
        ColorChanged();
        Perform(CM_COLORCHANGED);
    }
}

void TControl::SetParentFont(bool Value)
{
    FParentFont = Value;
    if (Value && FParent != nullptr) {
        FFont->Assign(FParent->Font());
        FParentFont = true;
    }
}

void TControl::FontPropertyChanged(TObject*)
{
    // A font taken from the parent keeps ParentFont; any other change ends it.
    if (!FUpdatingFromParent)
        FParentFont = false;
    FontChanged();
    Perform(CM_FONTCHANGED);
}

void TControl::FontChanged() {}

void TControl::ColorChanged() {}

void TControl::Click()
{
    if (FOnClick)
        FOnClick(this);
}

void TControl::Invalidate()
{
    if (FParent == nullptr || !FParent->HandleAllocated() || !FVisible)
        return;
    const RECT r = BoundsRect();
    InvalidateRect(FParent->FHandle, &r, FControlStyle.Contains(csOpaque) ? FALSE : TRUE);
}

void TControl::Update()
{
    if (FParent != nullptr && FParent->HandleAllocated())
        UpdateWindow(FParent->FHandle);
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

RECT TControl::ClientRect()
{
    return RECT{0, 0, FWidth, FHeight};
}

POINT TControl::ClientOrigin()
{
    if (FParent == nullptr)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    POINT p = FParent->ClientOrigin();
    p.x += FLeft;
    p.y += FTop;
    return p;
}

POINT TControl::ClientToScreen(POINT p)
{
    const POINT origin = ClientOrigin();
    return POINT{p.x + origin.x, p.y + origin.y};
}

POINT TControl::ScreenToClient(POINT p)
{
    const POINT origin = ClientOrigin();
    return POINT{p.x - origin.x, p.y - origin.y};
}

bool TControl::MouseInControl() const
{
    return GMouseControl == this;
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParentColor && FParent != nullptr)
        FColor = FParent->Color();
    UpdateAnchorRules();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (Value == FPopupMenu)
        return;
    if (FPopupMenu != nullptr)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (FPopupMenu != nullptr)
        FPopupMenu->FreeNotification(this);
}

bool TControl::DoContextPopup(POINT ScreenPoint)
{
    if (FPopupMenu == nullptr || !FPopupMenu->AutoPopup())
        return false;
    if (ScreenPoint.x == -1 && ScreenPoint.y == -1)
        GetCursorPos(&ScreenPoint);
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(ScreenPoint.x, ScreenPoint.y);
    return true;
}

void TControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        if (FControlStyle.Contains(csClickEvents))
            FClicking = true;
        break;
    case WM_LBUTTONDBLCLK:
        // A control that takes double clicks gets them as such; for the others it is a press.
        if (FControlStyle.Contains(csClickEvents) && !FControlStyle.Contains(csDoubleClicks))
            FClicking = true;
        break;
    case WM_LBUTTONUP:
        if (FClicking) {
            FClicking = false;
            const RECT r = ClientRect();
            const POINT p{Message.LParamX(), Message.LParamY()};
            if (PtInRect(&r, p)) {
                DefaultHandler(Message);
                Click();
                return;
            }
        }
        break;
    case WM_RBUTTONUP:
        if (dynamic_cast<TWinControl*>(this) == nullptr && FPopupMenu != nullptr) {
            DoContextPopup(ClientToScreen(POINT{Message.LParamX(), Message.LParamY()}));
            return;
        }
        break;
    case WM_CONTEXTMENU:
        if (DoContextPopup(POINT{Message.LParamX(), Message.LParamY()}))
            return;
        break;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent != nullptr && FColor != FParent->Color()) {
            FColor = FParent->Color();
            ColorChanged();
            Perform(CM_COLORCHANGED);
        }
        return;
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent != nullptr) {
            FUpdatingFromParent = true;
            try {
                FFont->Assign(FParent->Font());
            } catch (...) {
                FUpdatingFromParent = false;
                throw;
            }
            FUpdatingFromParent = false;
        }
        return;
    default:
        break;
    }
    DefaultHandler(Message);
}

void TControl::DefaultHandler(TMessage&) {}

// ---------------------------------------------------------------------------------------------
// Mouse tracking

TControl* MouseControl()
{
    return GMouseControl;
}

void TrackMouseControl()
{
    POINT p{};
    TControl* control = nullptr;
    HWND window = nullptr;
    if (GetCursorPos(&p)) {
        window = WindowFromPoint(p);
        // WindowFromPoint passes over disabled windows; their controls are entered all the same.
        for (HWND inner = window; inner != nullptr;) {
            POINT local = p;
            ::ScreenToClient(inner, &local);
            HWND child = ChildWindowFromPointEx(inner, local, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (child == nullptr || child == inner)
                break;
            window = inner = child;
        }
        if (window != nullptr && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
            if (TWinControl* win = TWinControl::FindControl(window)) {
                POINT client = p;
                ::ScreenToClient(window, &client);
                TControl* inner = win->ControlAtPos(client, true);
                control = inner != nullptr ? inner : win;
            }
        }
    }
    if (control == GMouseControl)
        return;
    TControl* old = GMouseControl;
    GMouseControl = control;
    if (old != nullptr)
        old->Perform(CM_MOUSELEAVE);
    // The old control's handler may have moved things: only enter what is still current.
    if (control != nullptr && GMouseControl == control) {
        control->Perform(CM_MOUSEENTER);
        if (window != nullptr && window != GMouseWindow) {
            // The leave is reported when the cursor goes out of every window of ours.
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
            TrackMouseEvent(&track);
        }
    }
    GMouseWindow = control != nullptr ? window : nullptr;
}

// ---------------------------------------------------------------------------------------------
// TControlCanvas

IMPLEMENT_CLASS_EMPTY(TControlCanvas)

TControlCanvas::TControlCanvas(TControl* Control) : FControl(Control) {}

TControlCanvas::~TControlCanvas()
{
    FreeHandle();
}

void TControlCanvas::CreateHandle()
{
    HWND window = nullptr;
    int left = 0, top = 0;
    if (auto* win = dynamic_cast<TWinControl*>(FControl)) {
        window = win->Handle();
    } else {
        if (FControl->Parent() == nullptr)
            throw EInvalidOperation("Control '" + FControl->Name() + "' has no parent window");
        window = FControl->Parent()->Handle();
        left = FControl->Left();
        top = FControl->Top();
    }
    HDC dc = GetDCEx(window, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (dc == nullptr)
        throw EOutOfResources("Cannot get a device context for the control");
    if (left != 0 || top != 0)
        SetViewportOrgEx(dc, left, top, nullptr);
    IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
    FWindow = window;
    FDC = dc;
    CanvasList().push_back(this);
    SetHandle(dc);
}

void TControlCanvas::FreeHandle() noexcept
{
    SetHandle(nullptr);
    if (FDC == nullptr)
        return;
    ReleaseDC(FWindow, FDC);
    FDC = nullptr;
    FWindow = nullptr;
    auto& list = CanvasList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::FreeDeviceContexts() noexcept
{
    const std::vector<TControlCanvas*> list = CanvasList();
    for (TControlCanvas* canvas : list)
        canvas->FreeHandle();
}

// ---------------------------------------------------------------------------------------------
// TWinControl

IMPLEMENT_CLASS(TWinControl)

void TWinControl::Publish(TClassBuilder<TWinControl>& b)
{
    b.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
        .Property("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered);
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner)
{
    FControlStyle = TControlStyle{csAcceptsControls};
}

TWinControl::~TWinControl()
{
    // The children stay with their owners; their windows go with ours.
    for (TControl* child : FControls)
        child->FParent = nullptr;
    FControls.clear();
    DestroyHandle();
    FreeObjectInstance(FObjectInstance);
}

HWND TWinControl::Handle()
{
    if (FHandle == nullptr && FParent != nullptr) {
        // The parent first: making its window makes its children's, this one's among them, so
        // a control deep in controls without windows is not made twice.
        FParent->HandleNeeded();
    }
    if (FHandle == nullptr) {
        CreateWnd();
        CreateHandleDone();
    }
    return FHandle;
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params.Caption = FCaption;
    Params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (FVisible)
        Params.Style |= WS_VISIBLE;
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = FParent != nullptr ? FParent->Handle() : FParentWindow;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    Params.WindowClass.hInstance = GetModuleHandleA(nullptr);
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* SystemClass)
{
    WNDCLASSA info{};
    if (!GetClassInfoA(nullptr, SystemClass, &info))
        throw EWindowCreateError(std::string("Unknown system window class ") + SystemClass);
    const HCURSOR cursor = Params.WindowClass.hCursor;
    Params.WindowClass = info;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS);
    Params.WindowClass.hInstance = GetModuleHandleA(nullptr);
    if (Params.WindowClass.hCursor == nullptr)
        Params.WindowClass.hCursor = cursor;
    Params.SystemClassName = SystemClass;
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) != 0 && params.WndParent == nullptr)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    FDefWndProc = params.SystemClassName.empty() ? DefWindowProcA : params.WindowClass.lpfnWndProc;

    WNDCLASSA existing{};
    const HINSTANCE instance = params.WindowClass.hInstance;
    const bool registered = GetClassInfoA(instance, params.WinClassName.c_str(), &existing) != 0;
    if (!registered || existing.lpfnWndProc != &TWinControl::InitWndProc) {
        if (registered)
            UnregisterClassA(params.WinClassName.c_str(), instance);
        WNDCLASSA wc = params.WindowClass;
        wc.lpfnWndProc = &TWinControl::InitWndProc;
        wc.lpszClassName = params.WinClassName.c_str();
        if (RegisterClassA(&wc) == 0)
            throw EWindowCreateError("Cannot register window class " + params.WinClassName);
    }
    if (FObjectInstance == nullptr)
        FObjectInstance = MakeObjectInstance(BindMethod<&TWinControl::MainWndProc>(this));

    TWinControl* const saved = CreationControl;
    CreationControl = this;
    HWND window = nullptr;
    if ((params.ExStyle & WS_EX_MDICHILD) != 0 && params.WndParent != nullptr) {
        // An MDI child is made by its client window, as MDI frames expect (they learn of the
        // child from WM_MDICREATE), and the frame's window menu is brought up to date after.
        MDICREATESTRUCTA create{params.WinClassName.c_str(), params.Caption.c_str(), instance, params.X, params.Y,
                                params.Width, params.Height, params.Style, reinterpret_cast<LPARAM>(params.Param)};
        window = reinterpret_cast<HWND>(SendMessageA(params.WndParent, WM_MDICREATE, 0,
                                                     reinterpret_cast<LPARAM>(&create)));
        if (window != nullptr)
            SendMessageA(params.WndParent, WM_MDIREFRESHMENU, 0, 0);
    } else {
        window = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                                 params.X, params.Y, params.Width, params.Height, params.WndParent, nullptr, instance,
                                 params.Param);
    }
    CreationControl = saved;
    if (window == nullptr || FHandle != window) {
        if (window != nullptr)
            DestroyWindow(window);
        ForgetWindow();
        throw EWindowCreateError("Error creating window " + params.WinClassName);
    }
    if (FAlign == alNone) {
        // The system may have placed a top-level window itself.
        RECT r{};
        GetWindowRect(window, &r);
        if (params.WndParent != nullptr && (params.Style & WS_CHILD) != 0)
            MapWindowPoints(nullptr, params.WndParent, reinterpret_cast<POINT*>(&r), 2);
        StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
}

void TWinControl::CreateHandleDone()
{
    SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
    Realign();
    for (TControl* child : std::vector<TControl*>(FControls))
        if (auto* win = dynamic_cast<TWinControl*>(child))
            win->HandleNeeded();
    FAnchorClientWidth = ClientWidth();
    FAnchorClientHeight = ClientHeight();
}

LRESULT CALLBACK TWinControl::InitWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWinControl* control = CreationControl;
    if (control == nullptr || control->FHandle != nullptr)
        return DefWindowProcA(Window, Msg, WParam, LParam);
    CreationControl = nullptr;
    control->AttachWindow(Window);
    return CallWindowProcA(control->FObjectInstance, Window, Msg, WParam, LParam);
}

void TWinControl::AttachWindow(HWND Window)
{
    FHandle = Window;
    SetPropA(Window, ControlProp, reinterpret_cast<HANDLE>(this));
    SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FObjectInstance));
}

void TWinControl::ForgetWindow() noexcept
{
    if (FHandle == nullptr)
        return;
    // Canvases holding a DC of this window give it back now.
    for (TControlCanvas* canvas : std::vector<TControlCanvas*>(CanvasList()))
        if (canvas->Control() == this || canvas->Control()->Parent() == this)
            canvas->FreeHandle();
    RemovePropA(FHandle, ControlProp);
    if (GMouseWindow == FHandle)
        GMouseWindow = nullptr;
    FHandle = nullptr;
    FCaptureControl = nullptr;
}

void TWinControl::DestroyHandle()
{
    if (FHandle == nullptr)
        return;
    DestroyWnd();
    ForgetWindow();
}

void TWinControl::DestroyWnd()
{
    DestroyWindow(FHandle);
}

void TWinControl::RecreateWnd()
{
    if (FHandle == nullptr)
        return;
    DestroyHandle();
    HandleNeeded();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    for (TControl* c : std::vector<TControl*>(FControls))
        if (c->Owner() == Root)
            Proc(c);
    TControl::GetChildren(Proc, Root);
}

void TWinControl::SetParentWindow(HWND Value)
{
    if (Value == FParentWindow)
        return;
    FParentWindow = Value;
    if (FParent == nullptr && FHandle != nullptr)
        ::SetParent(FHandle, Value);
}

TWinControl* TWinControl::ControlBeingMade()
{
    return CreationControl;
}

TWinControl* TWinControl::FindControl(HWND Window)
{
    if (Window == nullptr)
        return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(Window, &process);
    if (process != GetCurrentProcessId())
        return nullptr;
    return reinterpret_cast<TWinControl*>(GetPropA(Window, ControlProp));
}

void TWinControl::MainWndProc(TMessage& Message)
{
    try {
        const TWndMethod proc = FWindowProc;
        proc(Message);
    } catch (...) {
        HandleCallbackException();
    }
    if (Message.Msg == WM_NCDESTROY)
        ForgetWindow();
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (FHandle == nullptr)
        return;
    Message.Result = CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

bool TWinControl::ReflectToChild(TMessage& Message)
{
    HWND child = nullptr;
    switch (Message.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        child = reinterpret_cast<HWND>(Message.LParam);
        break;
    case WM_NOTIFY:
        if (Message.LParam != 0)
            child = reinterpret_cast<const NMHDR*>(Message.LParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        if (Message.LParam != 0 && reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)->CtlType != ODT_MENU)
            child = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)->hwndItem;
        break;
    default:
        return false;
    }
    TWinControl* control = FindControl(child);
    if (control == nullptr)
        return false;
    Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void TWinControl::WndProc(TMessage& Message)
{
    if (ReflectToChild(Message))
        return;
    switch (Message.Msg) {
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FFont->Color())));
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(FColor)));
        UpdateBrush();
        Message.Result = reinterpret_cast<LRESULT>(FBrush.get());
        return;
    }
    case WM_SETTEXT:
        DefaultHandler(Message);
        if (Message.LParam != 0 && Message.Result != 0) {
            FCaption = reinterpret_cast<const char*>(Message.LParam);
            Perform(CM_TEXTCHANGED);
        }
        return;
    case WM_GETFONT:
        if (FDefWndProc == DefWindowProcA || FDefWndProc == nullptr) {
            Message.Result = reinterpret_cast<LRESULT>(FFont->Handle());
            return;
        }
        break;
    case WM_PAINT:
        PaintHandler(Message);
        if (FParent == nullptr)
            StartupMark("a form painted");
        return;
    case WM_PRINTCLIENT:
        // PrintWindow and friends: our own painting into the DC given.
        if (FDefWndProc == DefWindowProcA && Message.WParam != 0) {
            TMessage paint{WM_PAINT, Message.WParam, 0, 0};
            EraseBackground(reinterpret_cast<HDC>(Message.WParam));
            PaintHandler(paint);
            return;
        }
        break;
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    case WM_WINDOWPOSCHANGED: {
        DefaultHandler(Message);
        if (FHandle == nullptr)
            return;
        RECT r{};
        GetWindowRect(FHandle, &r);
        HWND parent = GetParent(FHandle);
        if (parent != nullptr && (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) != 0)
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        if (r.left != FLeft || r.top != FTop || width != FWidth || height != FHeight) {
            StoreBounds(r.left, r.top, width, height);
            if (!FUpdatingFromParent)
                UpdateAnchorRules();
        }
        AnchorChildren();
        Realign();
        return;
    }
    case WM_MOUSELEAVE:
        DefaultHandler(Message);
        TrackMouseControl();
        return;
    case WM_CAPTURECHANGED:
        FCaptureControl = nullptr;
        break;
    case CM_COLORCHANGED:
        Invalidate();
        return;
    case CM_FONTCHANGED:
        return;
    default:
        if (IsMouseMessage(Message.Msg) && DispatchMouseToControl(Message))
            return;
        break;
    }
    TControl::WndProc(Message);
}

bool TWinControl::DispatchMouseToControl(TMessage& Message)
{
    if (Message.Msg == WM_MOUSEWHEEL)
        return false;
    const POINT p{Message.LParamX(), Message.LParamY()};
    TControl* target = FCaptureControl;
    if (target == nullptr)
        target = ControlAtPos(p, false);
    if (target == nullptr)
        return false;
    const bool down = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN ||
                      Message.Msg == WM_MBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK ||
                      Message.Msg == WM_RBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK;
    const bool up = Message.Msg == WM_LBUTTONUP || Message.Msg == WM_RBUTTONUP || Message.Msg == WM_MBUTTONUP;
    if (down && FCaptureControl == nullptr) {
        FCaptureControl = target;
        SetCapture(FHandle);
    }
    const LPARAM local = MAKELPARAM(p.x - target->Left(), p.y - target->Top());
    Message.Result = target->Perform(Message.Msg, Message.WParam, local);
    if (up && (Message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && FCaptureControl != nullptr) {
        FCaptureControl = nullptr;
        if (GetCapture() == FHandle)
            ReleaseCapture();
    }
    return true;
}

TControl* TWinControl::ControlAtPos(POINT p, bool AllowDisabled, bool AllowWindows)
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWindows && dynamic_cast<TWinControl*>(c) != nullptr)
            continue;
        if (!c->Visible() || (!AllowDisabled && !c->Enabled()))
            continue;
        const RECT r = c->BoundsRect();
        if (PtInRect(&r, p))
            return c;
    }
    return nullptr;
}

bool TWinControl::ContainsControl(TControl* Control) const
{
    for (TControl* c = Control; c != nullptr; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

void TWinControl::InsertControl(TControl* AControl)
{
    FControls.push_back(AControl);
    AControl->FParent = this;
    if (AControl->FParentColor)
        AControl->FColor = FColor;
    if (AControl->FParentFont) {
        AControl->FUpdatingFromParent = true;
        AControl->FFont->Assign(FFont.get());
        AControl->FUpdatingFromParent = false;
    }
    AControl->UpdateAnchorRules();
    if (FHandle != nullptr) {
        if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
            // A top-level window (a form put on a panel) becomes a child window: a new window.
            if (win->FHandle != nullptr && (GetWindowLongA(win->FHandle, GWL_STYLE) & WS_CHILD) == 0)
                win->RecreateWnd();
            else if (win->FHandle != nullptr)
                ::SetParent(win->FHandle, FHandle);
            else
                win->HandleNeeded();
        }
    }
    if (AControl->FAlign != alNone)
        Realign();
    AControl->Invalidate();
}

void TWinControl::RemoveControl(TControl* AControl)
{
    AControl->Invalidate();
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    if (FCaptureControl == AControl)
        FCaptureControl = nullptr;
    AControl->FParent = nullptr;
    if (auto* win = dynamic_cast<TWinControl*>(AControl); win != nullptr && win->FHandle != nullptr &&
                                                          (GetWindowLongA(win->FHandle, GWL_STYLE) & WS_CHILD) != 0)
        win->DestroyHandle();
    if (AControl->FAlign != alNone)
        Realign();
}

void TWinControl::SetParent(TWinControl* AParent)
{
    TControl::SetParent(AParent);
}

bool TWinControl::Focused()
{
    return FHandle != nullptr && GetFocus() == FHandle;
}

bool TWinControl::CanFocus()
{
    for (TControl* c = this; c != nullptr; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TWinControl::SetFocus()
{
    ::SetFocus(Handle());
}

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0)
        Realign();
}

void TWinControl::Realign()
{
    if (FAlignLevel > 0 || FAligning)
        return;
    FAligning = true;
    try {
        RECT r = ClientRect();
        AdjustClientRect(r);
        AlignControls(nullptr, r);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::AdjustClientRect(RECT&) {}

void TWinControl::AlignControls(TControl*, RECT& Rect)
{
    auto place = [](TControl* c, const RECT& r) {
        c->FUpdatingFromParent = true;
        try {
            c->SetBounds(r.left, r.top, std::max<int>(r.right - r.left, 0), std::max<int>(r.bottom - r.top, 0));
        } catch (...) {
            c->FUpdatingFromParent = false;
            throw;
        }
        c->FUpdatingFromParent = false;
    };
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if (c->FAlign != align || !c->FVisible)
                continue;
            switch (align) {
            case alTop:
                place(c, RECT{Rect.left, Rect.top, Rect.right, Rect.top + c->FHeight});
                Rect.top += c->FHeight;
                break;
            case alBottom:
                place(c, RECT{Rect.left, Rect.bottom - c->FHeight, Rect.right, Rect.bottom});
                Rect.bottom -= c->FHeight;
                break;
            case alLeft:
                place(c, RECT{Rect.left, Rect.top, Rect.left + c->FWidth, Rect.bottom});
                Rect.left += c->FWidth;
                break;
            case alRight:
                place(c, RECT{Rect.right - c->FWidth, Rect.top, Rect.right, Rect.bottom});
                Rect.right -= c->FWidth;
                break;
            default:
                place(c, Rect);
                break;
            }
        }
    }
}

void TWinControl::ChangeScale(int M, int D)
{
    if (M == D || M <= 0 || D <= 0)
        return;
    DisableAlign();
    try {
        for (TControl* c : std::vector<TControl*>(FControls))
            c->ChangeScale(M, D);
        FScaling = true;
        TControl::ChangeScale(M, D);
        FScaling = false;
        const RECT r = ClientRect();
        FAnchorClientWidth = r.right - r.left;
        FAnchorClientHeight = r.bottom - r.top;
        for (TControl* c : FControls)
            c->UpdateAnchorRules();
    } catch (...) {
        FScaling = false;
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TWinControl::AnchorChildren()
{
    if (FScaling)
        return;
    const RECT r = ClientRect();
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width == FAnchorClientWidth && height == FAnchorClientHeight)
        return;
    FAnchorClientWidth = width;
    FAnchorClientHeight = height;
    for (TControl* c : std::vector<TControl*>(FControls))
        c->ParentResized(width, height);
}

RECT TWinControl::ClientRect()
{
    RECT r{0, 0, FWidth, FHeight};
    if (FHandle != nullptr)
        GetClientRect(FHandle, &r);
    return r;
}

POINT TWinControl::ClientOrigin()
{
    POINT p{0, 0};
    if (FHandle != nullptr) {
        ::ClientToScreen(FHandle, &p);
        return p;
    }
    if (FParent == nullptr) {
        POINT origin{FLeft, FTop};
        if (FParentWindow != nullptr)
            ::ClientToScreen(FParentWindow, &origin);
        return origin;
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    StoreBounds(ALeft, ATop, AWidth, AHeight);
    if (!FUpdatingFromParent)
        UpdateAnchorRules();
    if (FHandle != nullptr)
        SetWindowPos(FHandle, nullptr, FLeft, FTop, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    AnchorChildren();
    Realign();
    if (!FUpdatingFromParent)
        RequestAlign();
}

void TWinControl::Invalidate()
{
    if (FHandle != nullptr)
        InvalidateRect(FHandle, nullptr, FControlStyle.Contains(csOpaque) ? FALSE : TRUE);
}

void TWinControl::Repaint()
{
    if (FHandle == nullptr)
        return;
    InvalidateRect(FHandle, nullptr, FControlStyle.Contains(csOpaque) ? FALSE : TRUE);
    UpdateWindow(FHandle);
}

void TWinControl::FontChanged()
{
    if (FHandle != nullptr) {
        SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), TRUE);
        Invalidate();
    }
    for (TControl* c : std::vector<TControl*>(FControls))
        c->Perform(CM_PARENTFONTCHANGED);
}

void TWinControl::ColorChanged()
{
    FBrush.reset();
    for (TControl* c : std::vector<TControl*>(FControls))
        c->Perform(CM_PARENTCOLORCHANGED);
}

void TWinControl::UpdateBrush()
{
    if (!FBrush)
        FBrush.reset(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(FColor))));
}

void TWinControl::EraseBackground(HDC DC)
{
    if (FControlStyle.Contains(csOpaque) || DC == nullptr || FHandle == nullptr)
        return;
    RECT r{};
    GetClientRect(FHandle, &r);
    UpdateBrush();
    FillRect(DC, &r, FBrush.get());
}

void TWinControl::PaintWindow(HDC DC)
{
    TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(message);
}

void TWinControl::PaintHandler(TMessage& Message)
{
    const bool hasGraphicChildren = std::any_of(FControls.begin(), FControls.end(), [](TControl* c) {
        return dynamic_cast<TWinControl*>(c) == nullptr && c->Visible();
    });
    // A native control with nothing windowless on it paints itself the usual way.
    if (!hasGraphicChildren && FDefWndProc != DefWindowProcA && Message.WParam == 0) {
        DefaultHandler(Message);
        return;
    }
    if (Message.WParam != 0) {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        PaintWindow(dc);
        PaintControls(dc);
        return;
    }
    TPaintDC paint(FHandle);
    PaintWindow(paint.get());
    PaintControls(paint.get());
}

void TWinControl::PaintControls(HDC DC, TControl* First)
{
    RECT clip{};
    const int clipKind = GetClipBox(DC, &clip);
    bool started = First == nullptr;
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (!started) {
            started = c == First;
            if (!started)
                continue;
        }
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible())
            continue;
        const RECT bounds = c->BoundsRect();
        RECT overlap{};
        if (clipKind != NULLREGION && clipKind != ERROR && !IntersectRect(&overlap, &bounds, &clip))
            continue;
        TSaveDC saved(DC);
        POINT origin{};
        GetViewportOrgEx(DC, &origin);
        SetViewportOrgEx(DC, origin.x + bounds.left, origin.y + bounds.top, nullptr);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl, TCustomControl

IMPLEMENT_CLASS_EMPTY(TGraphicControl)

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this))
{
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_PAINT && Message.WParam != 0) {
        FCanvas->FreeHandle();
        FCanvas->SetHandle(reinterpret_cast<HDC>(Message.WParam));
        try {
            Paint();
        } catch (...) {
            FCanvas->SetHandle(nullptr);
            throw;
        }
        FCanvas->SetHandle(nullptr);
        return;
    }
    TControl::WndProc(Message);
}

IMPLEMENT_CLASS_EMPTY(TCustomControl)

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this))
{
}

TCustomControl::~TCustomControl()
{
    FCanvas->FreeHandle();
}

void TCustomControl::PaintWindow(HDC DC)
{
    FCanvas->FreeHandle();
    FCanvas->SetHandle(DC);
    try {
        Paint();
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
}
