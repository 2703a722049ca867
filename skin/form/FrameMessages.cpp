// The window procedures of a skinned window: the frame procedure that replaces the window's, the
// hook on a framework form's own message method, the MDI client's procedure, and the non-client
// mouse that drives the caption buttons.
#include "skin/form/WinSkinForm.h"

#include "framework/controls/Forms.h"
#include "framework/win/Callback.h"
#include "framework/win/ControlMessages.h"
#include "framework/win/WindowInfo.h"
#include "skin/controls/WinSubClass.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/PopupItems.h"
#include "skin/form/SkinMessages.h"

namespace {

// The styles that decide the frame a window gets.
constexpr DWORD FrameStyleMask = WS_CAPTION | WS_THICKFRAME | WS_POPUP | WS_CHILD;

// Whether W's class erases it with the platform's face colour.
bool PaintsPlatformFace(HWND W)
{
    const auto brush = static_cast<ULONG_PTR>(GetClassLongPtrA(W, GCLP_HBRBACKGROUND));
    return brush == COLOR_BTNFACE + 1 || brush == reinterpret_cast<ULONG_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

// The platform paints a window's caption itself when it retitles it (the default WM_SETTEXT and
// WM_SETICON, and the MDI client, which sets its frame's "frame - [child]" text with a direct
// call to the default procedure), over the skin's caption, which comes back only with the next
// frame paint: a flash of the platform's caption. It paints only a window whose styles hold the
// whole WS_CAPTION, so a frame the skin paints has WS_DLGFRAME off while it is retitled. The
// style change is the engine's own: its style messages do not reach the program. Nested scopes
// find the style off already and leave it to the outer one.
thread_local bool GQuietingCaption = false;

class TQuietCaption {
public:
    explicit TQuietCaption(HWND Frame)
    {
        if (Frame != nullptr && Toggle(Frame, true))
            FFrame = Frame;
    }
    ~TQuietCaption()
    {
        if (FFrame != nullptr && IsWindow(FFrame))
            Toggle(FFrame, false);
    }
    TQuietCaption(const TQuietCaption&) = delete;
    TQuietCaption& operator=(const TQuietCaption&) = delete;

private:
    static bool Toggle(HWND Frame, bool Quiet)
    {
        const auto style = static_cast<DWORD>(GetWindowLongA(Frame, GWL_STYLE));
        if (Quiet ? (style & WS_CAPTION) != WS_CAPTION : (style & WS_CAPTION) != WS_BORDER)
            return false;
        GQuietingCaption = true;
        SetWindowLongA(Frame, GWL_STYLE, static_cast<LONG>(Quiet ? style & ~WS_DLGFRAME : style | WS_DLGFRAME));
        GQuietingCaption = false;
        return true;
    }
    HWND FFrame = nullptr;
};

POINT PointOf(LPARAM ScreenPoint)
{
    return POINT{static_cast<short>(LOWORD(static_cast<DWORD_PTR>(ScreenPoint))),
                 static_cast<short>(HIWORD(static_cast<DWORD_PTR>(ScreenPoint)))};
}

} // namespace

HWND TWinSkinForm::FrameRetitledBy(UINT Msg) const
{
    // A maximised MDI child's new text, and a child's maximising, restoring and activation,
    // retitle the frame.
    if (!IsMdiChild() || FSite == nullptr || (Msg != WM_SETTEXT && Msg != WM_SIZE && Msg != WM_CHILDACTIVATE))
        return nullptr;
    const HWND client = GetParent(FHandle);
    const HWND frame = client != nullptr ? GetParent(client) : nullptr;
    const TWinSkinForm* form = frame != nullptr ? FSite->FormOf(frame) : nullptr;
    return form != nullptr && form->SkinPaintsCaption() ? frame : nullptr;
}

void TWinSkinForm::FrameWndProc(TMessage& Message)
{
    TFormCall call(*this);
    const TQuietCaption quiet(FrameRetitledBy(Message.Msg));
    // The window's own procedure runs behind its own barrier: what reaches this one is the
    // skin's failure, and the window gets its own look back.
    const unsigned passed = FDefaultCalls;
    try {
        SkinnedFrameMessage(Message);
    } catch (...) {
        PaintingFailed();
        // A message the window has not seen yet goes to it as if there were no skin.
        if (passed == FDefaultCalls && !Retired() && FFrameProc.Installed())
            CallGuarded([&] { CallDefault(Message); });
    }
}

void TWinSkinForm::SkinnedFrameMessage(TMessage& Message)
{
    // The engine keeping the platform off the caption changes the style for a moment: the
    // program's procedure does not hear of it.
    if ((Message.Msg == WM_STYLECHANGING || Message.Msg == WM_STYLECHANGED) && GQuietingCaption)
        return;
    switch (Message.Msg) {
    case SKM_GIVEBACK:
        if (!Retired() && FSite != nullptr)
            FSite->GiveWindowBack(this);
        return;
    case WM_DESTROY:
        if (GoesAtDestroy()) {
            // The program handles it while the window is still skinned (what it reads of its
            // window to save is what it set); then the window goes back, hidden already.
            CallDefault(Message);
            if (!Retired() && FSite != nullptr) {
                FFrame->ForgetRegion();
                FSite->ReleaseWindow(FHandle);
            }
            return;
        }
        UnhookMdiClient();
        if (FFrameProc.Installed()) {
            FFrameProc.Restore();
            FFrame->ForgetRegion();
        }
        // A bare window's menu goes with it, as it would have without the skin. (A framework
        // form takes its menu off its window itself: the menu component owns it.)
        if (FForm == nullptr)
            GiveMenuBack();
        CallDefault(Message);
        return;
    case WM_SETTEXT:
    case WM_SETICON:
        // The skin's caption shows the new text or icon; the platform's stays away.
        {
            const TQuietCaption quiet(SkinPaintsCaption() ? FHandle : nullptr);
            CallDefault(Message);
        }
        if (!Retired() && FFrameProc.Installed()) {
            FFrame->ReadCaptionText(FHandle);
            PaintFrame(nullptr);
        }
        return;
    case WM_DPICHANGED:
        // The skin is redrawn for the new DPI (every window skinned from it takes it, as after a
        // skin change) and this window takes its frame at once, so that the place the program
        // then gives it is taken with the frame it will keep.
        if (FSkinData != nullptr) {
            FSkinData->ScreenDpiChanged(LOWORD(Message.WParam));
            if (FSkinData->SkinDpi() == LOWORD(Message.WParam) && FFrameProc.Installed()) {
                ResetCaptionButtons();
                LoadMetrics();
                ReSkin();
            }
        }
        if (!Retired())
            CallDefault(Message);
        return;
    case WM_STYLECHANGING:
        if (static_cast<int>(Message.WParam) == GWL_STYLE && Message.LParam != 0 && !EngineChangingStyle() &&
            !Retired())
            ProgramStyleChanging(*reinterpret_cast<STYLESTRUCT*>(Message.LParam));
        CallDefault(Message);
        return;
    case WM_STYLECHANGED:
        if (static_cast<int>(Message.WParam) == GWL_STYLE && Message.LParam != 0) {
            const auto& change = *reinterpret_cast<const STYLESTRUCT*>(Message.LParam);
            FWindowStyle = change.styleNew;
            // The program changed its frame (a caption, a border, its caption buttons): the
            // window is taken over anew once the change is over.
            if (!EngineChangingStyle() && FForm == nullptr && !FRestylePosted && !Retired() &&
                (((change.styleOld ^ change.styleNew) & FrameStyleMask) != 0 || FCaptionStylesChanged))
                FRestylePosted = PostMessageA(FHandle, SKM_RESTYLE, 0, 0) != FALSE;
        }
        CallDefault(Message);
        return;
    case SKM_RESTYLE:
        FRestylePosted = false;
        if (!Retired() && FSite != nullptr)
            FSite->RetakeWindow(this);
        return;
    case SKM_QUERY:
        Message.Result = 1;
        return;
    default:
        break;
    }
    if ((FWindowStyle & WS_CHILD) != 0 && !IsMdiChild()) {
        CallDefault(Message);
        return;
    }
    bool handled = HandleFrameMessage(Message);
    // A window whose frame the skin does not draw (a popup without caption or border) keeps the
    // platform's non-client behaviour.
    if (!handled && !Retired() && FSkinState != ssNone && !IsMinimized() && !MdiChildOutOfNormal(FMDIKind, FShowState) &&
        FFrameKind != fkNone)
        handled = HandleSkinnedFrameMessage(Message);
    if (!handled)
        CallDefault(Message);
}

bool TWinSkinForm::HandleFrameMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE:
        HandleSize(Message);
        return true;
    case WM_ACTIVATE:
        FActive = LOWORD(Message.WParam) != WA_INACTIVE;
        return false;
    case WM_NCACTIVATE:
        FActive = Message.WParam != 0;
        return false;
    case WM_ERASEBKGND:
        // A dialog erases with the ground its colour message gives (the skin's face where the
        // program left the platform's); another window of a program takes the skin's face where
        // its class paints the platform's.
        CallDefault(Message);
        if (FForm == nullptr && FSkinData != nullptr && FSkinData->FaceBrush() != nullptr && FWindowClass != "#32770" &&
            PaintsPlatformFace(FHandle)) {
            RECT client{};
            GetClientRect(FHandle, &client);
            FillRect(reinterpret_cast<HDC>(Message.WParam), &client, FSkinData->FaceBrush());
            Message.Result = 1;
        }
        return true;
    case WM_GETMINMAXINFO:
        HandleGetMinMaxInfo(Message);
        return true;
    case WM_WINDOWPOSCHANGED:
        ReadShowState();
        CallDefault(Message);
        return true;
    case WM_COMMAND:
        switch (LOWORD(Message.WParam)) {
        case SC_SIZE:
        case SC_MOVE:
        case SC_MINIMIZE:
        case SC_MAXIMIZE:
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
        case SC_CLOSE:
        case SC_RESTORE:
            // A command of the system menu the engine tracked.
            PostMessageA(FHandle, WM_SYSCOMMAND, LOWORD(Message.WParam), 0);
            break;
        default:
            CallDefault(Message);
            break;
        }
        return true;
    case WM_SYSCOMMAND:
        if ((Message.WParam & 0xFFF0) == SC_KEYMENU && FSkinState == ssSkinned && FSkinMenu != nullptr &&
            FSkinMenu->KeyCommand(Message.LParam)) {
            Message.Result = 1;
            return true;
        }
        if ((Message.WParam & 0xFFF0) == SC_KEYMENU && Message.LParam == ' ' && FButtons->SystemMenu() != nullptr &&
            FSkinState == ssSkinned && !IsMinimized()) {
            // Alt+Space: the system menu, under the skin's title bar (the window has lost the
            // style the platform would open it for).
            RECT r{};
            GetWindowRect(FHandle, &r);
            TrackSystemMenu(POINT{r.left + FFrame->BorderLeft(), r.top + FFrame->BorderTop()});
            Message.Result = 0;
            return true;
        }
        switch (Message.WParam) {
        case SC_MINIMIZE:
            FShowState = shMinimized;
            if (IsMdiChild())
                SetCaptionStyles(true);
            break;
        case SC_MAXIMIZE:
            FShowState = shMaximized;
            break;
        case SC_RESTORE:
            FShowState = shNormal;
            if (IsMdiChild())
                SetCaptionStyles(false);
            break;
        default:
            break;
        }
        CallDefault(Message);
        return true;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
        CallDefault(Message);
        AnswerFaceColour(Message, FSkinData, FForm == nullptr);
        return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        // A framework form's controls answer with their own colours (which the skin set); what
        // is left with the platform's ground is a window without the framework.
        CallDefault(Message);
        AnswerContentColour(Message, FSkinData);
        return true;
    case SKM_START:
        StartSkinning();
        return true;
    case SKM_NEWCHILDREN:
        FChildWalkPosted = false;
        if (!Retired() && FSkinData != nullptr)
            AttachAdaptors();
        return true;
    case CM_MENUCHANGED:
    case SKM_MENUCHANGED:
        // The framework gives its window the changed menu again, or the program gave it one: the
        // bar takes it and shows the change.
        if (Message.Msg == CM_MENUCHANGED)
            CallDefault(Message);
        if (!Retired() && (FSkinMenu != nullptr || FForm == nullptr) && GetMenu(FHandle) != nullptr) {
            const bool newBar = FSkinMenu == nullptr;
            TakeMenuOver();
            // A window that had no menu when it was taken over: given back, its own frame holds one.
            if (newBar && FSkinMenu != nullptr)
                FNativeFrameSize.cy += FFrame->MenuHeight();
            PaintFrame(nullptr);
        }
        return true;
    case WM_INITMENUPOPUP:
        CallDefault(Message);
        if (!Retired() && HIWORD(Message.LParam) == 0)
            MarkOpeningPopup(FHandle, reinterpret_cast<HMENU>(Message.WParam));
        return true;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        if (!Retired() && FSkinData != nullptr &&
            MenuItemMessage(FHandle, *FSkinData, FSkinMenu != nullptr ? FSkinMenu->MainMenu() : nullptr, Message))
            return true;
        CallDefault(Message);
        return true;
    case WM_MENUSELECT:
        if (TWinSkinMenu* bar = TrackingBar())
            bar->Tracking().MenuSelected(Message.WParam, Message.LParam);
        CallDefault(Message);
        return true;
    default:
        return false;
    }
}

bool TWinSkinForm::HandleSkinnedFrameMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        HandleNcCalcSize(Message);
        return true;
    case WM_NCHITTEST:
        HandleNcHitTest(Message);
        return true;
    case WM_NCMOUSEMOVE:
        HandleNcMouseMove(Message);
        return true;
    case WM_NCLBUTTONDOWN:
        HandleNcLButtonDown(Message);
        return true;
    case WM_NCLBUTTONUP:
        HandleNcLButtonUp(Message);
        return true;
    case WM_NCLBUTTONDBLCLK:
        HandleNcLButtonDblClk(Message);
        return true;
    case WM_NCRBUTTONDOWN:
        HandleNcRButtonDown(Message);
        return true;
    case WM_NCPAINT:
        HandleNcPaint(Message);
        return true;
    case WM_NCACTIVATE:
        HandleNcActivate(Message);
        return true;
    case SKM_REPAINTFRAME:
        PaintFrame(nullptr);
        return true;
    default:
        return false;
    }
}

void TWinSkinForm::HandleSize(TMessage& Message)
{
    CallDefault(Message);
    if (Retired())
        return;
    switch (Message.WParam) {
    case SIZE_RESTORED:
        FShowState = shNormal;
        break;
    case SIZE_MINIMIZED:
        FShowState = shMinimized;
        break;
    case SIZE_MAXIMIZED:
        FShowState = shMaximized;
        break;
    default:
        break;
    }
    if (IsMinimized())
        return;
    if (IsMdiChild()) {
        if (MdiChildrenMaximized() || FShowState != shNormal)
            return;
    }
    if (Message.WParam == SIZE_RESTORED && FSkinState == ssSkinned && FFrameProc.Installed()) {
        if (FFitPending) {
            // Skinned (or re-skinned) while minimised: the fit it could not have then.
            FSkinState = ssReskinning;
            FitToSkin();
            FSkinState = ssSkinned;
        } else if (const SIZE client{LOWORD(Message.LParam), HIWORD(Message.LParam)};
                   !FRefitPending && (client.cx != FFittedClient.cx || client.cy != FFittedClient.cy)) {
            // The user sized the window: the client size to give back follows. (A size the fit
            // gave, which a restore or the first show reports again, is not the user's; nor is
            // a frame change before the fit to new metrics.)
            FNormalClient = client;
            FFittedClient = SIZE{-1, -1}; // from now on every size is the user's
        }
    }
    if (FSkinState == ssSkinned || FSkinState == ssReskinning)
        BuildWindowRegion();
}

void TWinSkinForm::HandleGetMinMaxInfo(TMessage& Message)
{
    CallDefault(Message);
    ReadShowState();
    if (IsMinimized()) {
        SetCaptionStyles(true);
    } else if (!IsMdiChild()) {
        SetCaptionStyles(false);
    } else if (FShowState == shNormal) {
        if (MdiChildrenMaximized())
            FSite->SetMdiMax(false);
        SetCaptionStyles(false);
    } else {
        SetCaptionStyles(true);
    }
    if (Message.LParam != 0) {
        auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        info->ptMaxTrackSize.x = GetSystemMetrics(SM_CXMAXIMIZED);
        info->ptMaxTrackSize.y = GetSystemMetrics(SM_CYMAXIMIZED);
        // A program's smallest size is a window size for the platform's frame: it keeps the
        // smallest client area it meant under the skin's.
        if (RECT skin{}, platform{}; FForm == nullptr && FrameMargins(skin, platform)) {
            info->ptMinTrackSize.x += (skin.left + skin.right) - (platform.left + platform.right);
            info->ptMinTrackSize.y += (skin.top + skin.bottom) - (platform.top + platform.bottom);
        }
    }
}

void TWinSkinForm::HandleNcCalcSize(TMessage& Message)
{
    RECT proposed{};
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
    if (Message.WParam != 0 && params != nullptr)
        proposed = params->rgrc[0];
    CallDefault(Message);
    // The host gave the window a menu (SetMenu): the skinned bar takes it once this frame change
    // is over.
    if ((FSkinMenu != nullptr || FForm == nullptr) && GetMenu(FHandle) != nullptr && FFrameKind != fkNone &&
        !IsMdiChild())
        PostMessageA(FHandle, SKM_MENUCHANGED, 0, 0);
    if (Message.WParam == 0 || params == nullptr) {
        Message.Result = 0;
        return;
    }
    if (MdiChildOutOfNormal(FMDIKind, FShowState) || FFrameKind == fkNone) {
        params->rgrc[1] = params->rgrc[0];
        Message.Result = WVR_VALIDRECTS;
        return;
    }
    int x = proposed.left, y = proposed.top;
    int cx = proposed.right - proposed.left, cy = proposed.bottom - proposed.top;
    if (params->lppos != nullptr) {
        x = params->lppos->x;
        y = params->lppos->y;
        cx = params->lppos->cx;
        cy = params->lppos->cy;
    }
    RECT client{x + FFrame->BorderLeft(), y + FFrame->BorderTop() + FFrame->MenuHeight(),
                x + cx - FFrame->BorderRight(), y + cy - FFrame->BorderBottom()};
    // A window smaller than its borders keeps an empty client area, never an inverted one.
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    params->rgrc[0] = client;
    params->rgrc[1] = client;
    Message.Result = WVR_VALIDRECTS;
}

void TWinSkinForm::HandleNcPaint(TMessage& Message)
{
    if (MdiChildOutOfNormal(FMDIKind, FShowState) || FFrameKind == fkNone) {
        CallDefault(Message);
        return;
    }
    // The update region is the sender's: the DC gets a copy of it, which GetDCEx takes over only
    // when it succeeds.
    TDCEx dc;
    const auto update = reinterpret_cast<HRGN>(Message.WParam);
    if (Message.WParam > 1) {
        TRegionHandle copy(CreateRectRgn(0, 0, 0, 0));
        if (copy && CombineRgn(copy.get(), update, nullptr, RGN_COPY) != ERROR) {
            dc = TDCEx(FHandle, copy.get(), DCX_WINDOW | DCX_INTERSECTRGN);
            if (dc)
                copy.release();
        }
    }
    PaintFrame(dc.get());
    Message.Result = 0;
}

void TWinSkinForm::HandleNcActivate(TMessage& Message)
{
    FActive = Message.WParam != 0;
    if (FHoverTimer)
        FHoverTimer->SetEnabled(FActive);
    if (!FActive)
        FAdaptors->LeaveHotButton();
    const bool ours = !MdiChildOutOfNormal(FMDIKind, FShowState);
    // The platform would paint its own caption, of its own height, first: over the client area
    // when the skin's title bar is lower. -1 asks it to change the state and leave the paint.
    if (ours)
        Message.LParam = -1;
    CallDefault(Message);
    if (ours && !Retired())
        PaintFrame(nullptr);
}

void TWinSkinForm::FormMessageHook(TMessage& Message)
{
    TFormCall call(*this);
    switch (Message.Msg) {
    case WM_SETTEXT:
        FFormHook.CallOld(Message);
        if (!Retired())
            RefreshFrame();
        return;
    case SKM_RESKIN:
        ReSkin();
        return;
    case CM_DIALOGCHAR:
        if (!Retired() && FSkinMenu != nullptr && FSkinMenu->DialogChar(Message.WParam)) {
            Message.Result = 1;
            return;
        }
        FFormHook.CallOld(Message);
        return;
    default:
        FFormHook.CallOld(Message);
        return;
    }
}

void TWinSkinForm::ClientWndProc(TMessage& Message)
{
    TFormCall call(*this);
    // Destroying, activating, maximising or restoring a child retitles the frame.
    const bool retitles = Message.Msg == WM_MDIDESTROY || Message.Msg == WM_MDIACTIVATE || Message.Msg == WM_MDINEXT ||
                          Message.Msg == WM_MDIMAXIMIZE || Message.Msg == WM_MDIRESTORE;
    const TQuietCaption quiet(retitles && SkinPaintsCaption() ? FHandle : nullptr);
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        if (MainMenuSkinned()) {
            const LONG style = GetWindowLongA(FMDIClient, GWL_STYLE);
            const LONG plain = style & ~static_cast<LONG>(WS_VSCROLL | WS_HSCROLL);
            if (plain != style)
                SetWindowLongA(FMDIClient, GWL_STYLE, plain);
        }
        FClientProc.CallOld(Message);
        return;
    case WM_MDICREATE:
        FClientProc.CallOld(Message);
        FNewMDIChild = reinterpret_cast<HWND>(Message.Result);
        return;
    case WM_MDIDESTROY:
        if (FSite != nullptr)
            FSite->ReleaseWindow(reinterpret_cast<HWND>(Message.WParam));
        FClientProc.CallOld(Message);
        if (FSite != nullptr && !Retired())
            FSite->SetMdiMax(IsMDIChildMaximized());
        return;
    case WM_MDITILE:
    case WM_MDICASCADE:
        if (MdiChildrenMaximized())
            FSite->SetMdiMax(false);
        FClientProc.CallOld(Message);
        return;
    case WM_MDISETMENU:
        FClientProc.CallOld(Message);
        if (!Retired() && FSkinMenu != nullptr) {
            ForgetHotMenuButton();
            if (Message.WParam != 0)
                FSkinMenu->RebuildButtons(reinterpret_cast<HMENU>(Message.WParam));
            else
                FSkinMenu->BuildButtons();
            PaintFrame(nullptr);
        }
        return;
    case WM_MDIREFRESHMENU:
        FClientProc.CallOld(Message);
        if (FNewMDIChild != nullptr) {
            const HWND child = FNewMDIChild;
            FNewMDIChild = nullptr;
            if (FSite != nullptr)
                FSite->SkinWindow(child);
            PostMessageA(FHandle, SKM_REPAINTFRAME, 0, 0);
        }
        return;
    default:
        FClientProc.CallOld(Message);
        return;
    }
}

// ---- the non-client mouse

TNCObject* TWinSkinForm::ObjectUnderMouse(LPARAM ScreenPoint) const
{
    const POINT screen = PointOf(ScreenPoint);
    const POINT p = ScreenToFrame(screen.x, screen.y);
    if (TNCObject* button = FButtons->ButtonAt(p))
        return button;
    return FSkinMenu != nullptr ? FSkinMenu->ButtonAtPoint(p) : nullptr;
}

// ---- the non-client mouse messages

void TWinSkinForm::HandleNcHitTest(TMessage& Message)
{
    CallDefault(Message);
    if (FFrame->MenuHeight() <= 0 || Message.Result == HTCLIENT)
        return;
    // The bar's band is the menu's, whatever the platform makes of its own smaller frame.
    const POINT screen = PointOf(Message.LParam);
    const POINT p = ScreenToFrame(screen.x, screen.y);
    RECT window{};
    GetWindowRect(FHandle, &window);
    const bool inBar = p.y >= FFrame->BorderTop() && p.y < FFrame->BorderTop() + FFrame->MenuHeight() &&
                       p.x >= FFrame->BorderLeft() && p.x < (window.right - window.left) - FFrame->BorderRight();
    if (inBar || (Message.Result == HTCAPTION && p.y >= FFrame->BorderTop()))
        Message.Result = HTMENU;
}

void TWinSkinForm::HandleNcMouseMove(TMessage& Message)
{
    Message.Result = 0;
    if (!FActive)
        return;
    if (TNCObject* object = ObjectUnderMouse(Message.LParam)) {
        HoverObject(*object);
        return;
    }
    if (FHotObject != nullptr)
        LeaveObject(*FHotObject);
    CallDefault(Message);
}

void TWinSkinForm::HandleNcLButtonDown(TMessage& Message)
{
    if (TNCObject* object = ObjectUnderMouse(Message.LParam)) {
        if (!FActive)
            SetForegroundWindow(FHandle);
        PressObject(*object);
        Message.Result = 0;
        if (auto* button = dynamic_cast<TMenuBtn*>(object); button != nullptr && !Retired())
            TrackMenuBar(*button);
        return;
    }
    // A maximised window is not dragged by its title.
    if (FShowState == shMaximized && FActive && Message.WParam == HTCAPTION)
        Message.WParam = HTMENU;
    CallDefault(Message);
}

void TWinSkinForm::HandleNcLButtonUp(TMessage& Message)
{
    if (TNCObject* object = ObjectUnderMouse(Message.LParam)) {
        if (auto* button = dynamic_cast<TWinSysButton*>(object); button != nullptr && object == FHotObject) {
            ReleaseObject(*object);
            RunFrameCommand(FButtons->ButtonCommand(*button, PointOf(Message.LParam), FrameState()));
        }
        Message.Result = 0;
        return;
    }
    CallDefault(Message);
}

void TWinSkinForm::HandleNcLButtonDblClk(TMessage& Message)
{
    if (FShowState != shNormal)
        RunFrameCommand(TFrameClick{fcRestore});
    else if ((FCaptionIcons & ciMaximize) != 0)
        RunFrameCommand(TFrameClick{fcMaximize});
    Message.Result = 0;
}

void TWinSkinForm::HandleNcRButtonDown(TMessage& Message)
{
    if (Message.WParam == HTCAPTION && !IsMdiChild()) {
        RunFrameCommand(FButtons->SystemMenuCommand(PointOf(Message.LParam)));
        Message.Result = 0;
        return;
    }
    CallDefault(Message);
}

void TWinSkinForm::HoverTimerTick(TObject*)
{
    TFormCall call(*this);
    if (MenuTracking() || Retired())
        return;
    POINT cursor{};
    if (!GetCursorPos(&cursor))
        return;
    if (FHotObject != nullptr) {
        const POINT p = ScreenToFrame(cursor.x, cursor.y);
        if (!PtInRect(&FHotObject->BoundsRect, p))
            LeaveObject(*FHotObject);
    }
    // Bare windows get no mouse-leave of their own: the hot adaptor is told here.
    if (FForm == nullptr && FAdaptors->HotButton() != nullptr &&
        !PtInRect(&FAdaptors->HotButton()->WindowRect(), cursor))
        FAdaptors->LeaveHotButton();
}
