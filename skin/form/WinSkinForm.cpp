#include "skin/form/WinSkinForm.h"

#include "framework/controls/Forms.h"
#include "framework/controls/Messages.h"
#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"
#include "framework/win/WindowInfo.h"
#include "skin/controls/WinSubClass.h"
#include "skin/data/WinSkinData.h"
#include "skin/manager/SkinManager.h"

#include <algorithm>

IMPLEMENT_CLASS(TWinSkinForm)

void TWinSkinForm::Publish(TClassBuilder<TWinSkinForm>& b)
{
    b.Property("DisableTag", &TWinSkinForm::DisableTag, &TWinSkinForm::SetDisableTag);
}

namespace {

// The caption styles the system draws and hit-tests buttons for.
constexpr DWORD CaptionStyleMask = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX; // 0xB0000

// NONCLIENTMETRICSA as the first Win32 systems knew it (no padded border): 340 bytes.
constexpr UINT NonClientMetricsSize = 340;

bool IsDialogClass(const std::string& Class)
{
    const std::string lower = LowerCase(Class);
    return lower == "tmessageform" || lower == "#32770";
}

} // namespace

TWinSkinForm::TWinSkinForm(TComponent* AOwner)
    : TComponent(AOwner), FIconBitmap(std::make_unique<TBitmap>()), FCaptionBuffer(std::make_unique<TBitmap>())
{
    FIconBitmap->SetPixelFormat(pf32bit);
    FCaptionBuffer->SetPixelFormat(pf32bit);
    FDoubleClickTime = GetDoubleClickTime();
}

TWinSkinForm::~TWinSkinForm()
{
    // Nothing may call into this object once it is gone: the replaced procedures go back (or
    // become pass-throughs when someone subclassed on top of us).
    if (FHoverTimer)
        FHoverTimer->SetEnabled(false);
    FFormHook.Restore();
    UnhookMdiClient();
    FFrameProc.Restore();
    FCaptionButtons.clear();
    FDroppedButtons.clear();
    FHotObject = nullptr;
    ReleaseAdaptors();
    if (FForm != nullptr)
        FForm->RemoveFreeNotification(this);
    if (FSkinData != nullptr)
        FSkinData->RemoveFreeNotification(this);
    if (TSkinManage* manager = SkinManager())
        manager->ForgetForm(this);
}

void TWinSkinForm::OnRetire() noexcept
{
    if (FHoverTimer)
        FHoverTimer->SetEnabled(false);
    if (TSkinManage* manager = SkinManager())
        manager->ForgetForm(this);
}

bool TWinSkinForm::MainMenuSkinned() const
{
    return FSkinData != nullptr && FSkinData->SkinControls().Contains(xcMainMenu);
}

void TWinSkinForm::AttachForm(TSkinData* Data, TCustomForm* AForm)
{
    FForm = AForm;
    if (FForm == nullptr) {
        SkinFrame(Data);
        return;
    }
    FForm->FreeNotification(this);
    TCustomForm* form = FForm;
    const bool autoScroll = form->AutoScroll();
    FChanges.Record(form, "AutoScroll", [form, autoScroll] { form->SetAutoScroll(autoScroll); });
    form->SetAutoScroll(false);
    if (Data != nullptr && Data->SkinControls().Contains(xcMainMenu) && !FFormHook.Installed())
        FFormHook.Install(FForm, BindMethod<&TWinSkinForm::FormMessageHook>(this));
    SkinFrame(Data);
    if (FSkinData != nullptr)
        FChanges.SetColor(FForm, FSkinData->Colours().ButtonFace);
}

void TWinSkinForm::SkinControlsOnly(TSkinData* Data)
{
    if (FSkinData != Data) {
        FSkinData = Data;
        if (FSkinData != nullptr)
            FSkinData->FreeNotification(this);
    }
    if (!FHoverTimer) {
        FHoverTimer = std::make_unique<TTimer>();
        FHoverTimer->SetEnabled(false);
        FHoverTimer->SetInterval(250);
        FHoverTimer->SetOnTimer(BindMethod<&TWinSkinForm::HoverTimerTick>(this));
    }
    FWindowClass = WindowClassName(FHandle);
}

void TWinSkinForm::SkinFrame(TSkinData* Data)
{
    // A skin that cannot draw a whole frame leaves the window its own, with its title bar.
    if (Data == nullptr || !Data->SkinControls().Contains(xcMainMenu) || !CanDrawFrame(*Data)) {
        SkinControlsOnly(Data);
        DetectMdiClient();
        if (FMDIKind == 1)
            HookMdiClient();
        LoadMetrics();
        if (FForm != nullptr)
            AttachControls(FForm);
        else
            AttachChildWindows();
        return;
    }
    if (FFrameProc.Installed())
        return;
    SkinControlsOnly(Data);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = NonClientMetricsSize;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NonClientMetricsSize, &metrics, 0))
        FCaptionFont.reset(CreateFontIndirectA(&metrics.lfCaptionFont));

    FWindowStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
    FExStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_EXSTYLE));
    FOriginalCaptionStyles = FWindowStyle & CaptionStyleMask;
    FSysMenu = GetSystemMenu(FHandle, FALSE);
    CaptureIcon();
    FCaptionText = WindowText(FHandle);

    RecordNativeSize();

    FCaptionIcons = 0;
    if ((FWindowStyle & WS_SYSMENU) != 0 || FSysMenu != nullptr)
        FCaptionIcons |= ciSystemMenu;
    if ((FWindowStyle & WS_MINIMIZEBOX) != 0)
        FCaptionIcons |= ciMinimize;
    if ((FWindowStyle & WS_MAXIMIZEBOX) != 0)
        FCaptionIcons |= ciMaximize;
    ReadShowState();
    DetectMdiClient();

    if ((FWindowStyle & WS_POPUP) != 0 && (FWindowStyle & (WS_BORDER | WS_DLGFRAME)) == 0)
        FFrameKind = 2;
    else if ((FExStyle & WS_EX_WINDOWEDGE) != 0 || (FWindowStyle & WS_THICKFRAME) != 0)
        FFrameKind = 0;
    else
        FFrameKind = 3;

    // The menu bar stays the system's until the skinned menu bar takes it over.
    FWindowMenu = GetMenu(FHandle);
    FMenuHeight = 0;

    FFrameProc.Install(FHandle, BindMethod<&TWinSkinForm::FrameWndProc>(this));
    const bool mdiMaximized = MdiChildrenMaximized();
    // A child window that is no MDI child keeps its own frame (the frame procedure passes its
    // messages on), and so its caption buttons.
    const bool embedded = (FWindowStyle & WS_CHILD) != 0 && !IsMdiChild();
    if (!(IsMdiChild() && mdiMaximized) && !IsMinimized() && !embedded)
        SetCaptionStyles(false);
    if (FMDIKind == 1)
        HookMdiClient();
    LoadMetrics();
    if (FForm != nullptr)
        AttachControls(FForm);
    else
        AttachChildWindows();
    InvalidateRect(FHandle, nullptr, TRUE);
}

bool TWinSkinForm::CanDrawFrame(const TSkinData& Data)
{
    for (const TDataSkinBorder* border :
         {Data.SkinBorderLeft(), Data.SkinBorderRight(), Data.SkinBorderTop(), Data.SkinBorderBottom()}) {
        if (border == nullptr || border->Bitmap->Empty() || border->FrameCount < 1)
            return false;
        // The frames of the left and right borders sit side by side, those of the top and
        // bottom ones one above the other: each must be at least a pixel.
        const bool sideBySide = border == Data.SkinBorderLeft() || border == Data.SkinBorderRight();
        if ((sideBySide ? border->Bitmap->Width() : border->Bitmap->Height()) < border->FrameCount)
            return false;
    }
    return true;
}

void TWinSkinForm::RecordNativeSize()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(FHandle, &placement);
    RECT window{}, client{};
    GetWindowRect(FHandle, &window);
    GetClientRect(FHandle, &client);
    if (!IsIconic(FHandle) && !IsZoomed(FHandle)) {
        FNativeFrameSize.cx = (window.right - window.left) - (client.right - client.left);
        FNativeFrameSize.cy = (window.bottom - window.top) - (client.bottom - client.top);
    } else {
        // Minimised or maximised: the frame the system gives these styles.
        RECT frame{0, 0, 0, 0};
        AdjustWindowRectEx(&frame, FWindowStyle & ~WS_MINIMIZE & ~WS_MAXIMIZE, GetMenu(FHandle) != nullptr,
                           FExStyle);
        FNativeFrameSize = SIZE{frame.right - frame.left, frame.bottom - frame.top};
    }
    const RECT& normal = placement.rcNormalPosition;
    FNormalClient.cx = std::max(0L, (normal.right - normal.left) - FNativeFrameSize.cx);
    FNormalClient.cy = std::max(0L, (normal.bottom - normal.top) - FNativeFrameSize.cy);
    FHostRegion.reset(CreateRectRgn(0, 0, 0, 0));
    if (FHostRegion && GetWindowRgn(FHandle, FHostRegion.get()) == ERROR)
        FHostRegion.reset();
}

void TWinSkinForm::GiveSizeBack()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(FHandle, &placement))
        return;
    const int width = FNormalClient.cx + FNativeFrameSize.cx;
    const int height = FNormalClient.cy + FNativeFrameSize.cy;
    if (IsIconic(FHandle) || IsZoomed(FHandle)) {
        RECT& normal = placement.rcNormalPosition;
        normal.right = normal.left + width;
        normal.bottom = normal.top + height;
        placement.flags = 0;
        placement.showCmd = IsIconic(FHandle) ? SW_SHOWMINNOACTIVE : SW_SHOWMAXIMIZED;
        SetWindowPlacement(FHandle, &placement);
        RefreshFrame();
        return;
    }
    RECT r{};
    GetWindowRect(FHandle, &r);
    POINT at{r.left, r.top};
    if (IsMdiChild()) {
        TSkinManage* manager = SkinManager();
        HWND client = manager != nullptr && manager->MdiClientWindow() != nullptr ? manager->MdiClientWindow()
                                                                                 : GetParent(FHandle);
        ScreenToClient(client, &at);
    } else if (HWND parent = GetParent(FHandle); parent != nullptr && (FWindowStyle & WS_CHILD) != 0) {
        ScreenToClient(parent, &at);
    }
    SetWindowPos(FHandle, nullptr, at.x, at.y, width, height, SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
}

void TWinSkinForm::ReadShowState()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(FHandle, &placement))
        return;
    switch (placement.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        FShowState = shMinimized;
        break;
    case SW_SHOWMAXIMIZED:
        FShowState = shMaximized;
        break;
    default:
        FShowState = shNormal;
        break;
    }
}

void TWinSkinForm::DetectMdiClient()
{
    for (HWND child = GetTopWindow(FHandle); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClassName(child) == "MDIClient") {
            FMDIKind = 1;
            FMDIClient = child;
            if (TSkinManage* manager = SkinManager())
                manager->SetMdiClientWindow(child);
            break;
        }
    }
    if ((static_cast<DWORD>(GetWindowLongA(FHandle, GWL_EXSTYLE)) & WS_EX_MDICHILD) != 0)
        FMDIKind = 2;
}

void TWinSkinForm::HookMdiClient()
{
    if (FMDIClient != nullptr && !FClientProc.Installed() && IsWindow(FMDIClient))
        FClientProc.Install(FMDIClient, BindMethod<&TWinSkinForm::ClientWndProc>(this));
}

void TWinSkinForm::UnhookMdiClient() noexcept
{
    FClientProc.Restore();
}

void TWinSkinForm::SetCaptionStyles(bool On)
{
    if (FHandle == nullptr || !IsWindow(FHandle))
        return;
    if (!On && IsMdiChild()) {
        if (MdiChildrenMaximized())
            return;
    }
    const DWORD style = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
    // Exactly the caption styles the window had: a window without WS_SYSMENU that merely has a
    // system menu does not gain the style when its buttons come back.
    const DWORD wanted = On ? (style & ~CaptionStyleMask) | FOriginalCaptionStyles : style & ~CaptionStyleMask;
    if (wanted != style)
        SetWindowLongA(FHandle, GWL_STYLE, static_cast<LONG>(wanted));
}

void TWinSkinForm::StartSkinning()
{
    if (FSkinState == ssNone) {
        if (IsMdiChild() && MdiChildrenMaximized()) {
            SetCaptionStyles(true);
        } else if (IsMinimized() && FFrameKind != 2 && FFrameProc.Installed()) {
            FFitPending = true;
        } else if (!IsMinimized() && FFrameKind != 2) {
            FSkinState = ssFirstFit;
            FitToSkin(false);
            FSkinState = ssSkinned;
            BuildWindowRegion();
        }
    }
    FSkinState = ssSkinned;
    if (FHoverTimer)
        FHoverTimer->SetEnabled(true);
}

void TWinSkinForm::FitToSkin(bool WithMenu)
{
    FFitPending = false;
    if (FShowState == shMaximized || IsZoomed(FHandle)) {
        // The skinned frame around the client size the window will have when restored.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (FFrameKind != 2 && GetWindowPlacement(FHandle, &placement)) {
            RECT& normal = placement.rcNormalPosition;
            normal.right = normal.left + FNormalClient.cx + FBorderLeft + FBorderRight;
            normal.bottom = normal.top + FNormalClient.cy + FBorderTop + FBorderBottom + (WithMenu ? FMenuHeight : 0);
            placement.flags = 0;
            placement.showCmd = SW_SHOWMAXIMIZED;
            SetWindowPlacement(FHandle, &placement);
        }
        RefreshFrame();
        return;
    }
    if (IsIconic(FHandle)) {
        FFitPending = true;
        return;
    }
    // The client size the host gave the window (or the user since), never one derived from a
    // frame the system may have clamped.
    RECT client{0, 0, FNormalClient.cx, FNormalClient.cy};
    int width = client.right + FBorderLeft + FBorderRight;
    const int height = client.bottom + FBorderTop + FBorderBottom + (WithMenu ? FMenuHeight : 0);
    if (IsDialogClass(FWindowClass) && FSkinData != nullptr) {
        // A message dialog's caption must fit its title bar.
        int blank = 0;
        if (TWindowDC dc(FHandle); dc) {
            TSaveDC state(dc.get());
            if (FCaptionFont)
                SelectObject(dc.get(), FCaptionFont.get());
            SIZE size{};
            if (GetTextExtentPoint32A(dc.get(), " ", 1, &size))
                blank = size.cx;
        }
        const TDataSkinTitle* title = FSkinData->SkinTitle();
        const int needed = (static_cast<int>(FCaptionText.size()) + 7) * blank + FBorderLeft + FBorderRight +
                           (title != nullptr ? title->TextShift() + title->TextRightClip() + title->TXTBackleft +
                                                   title->TXTBackRight
                                             : 0);
        if (width < needed) {
            const int shift = (needed - width) / 2;
            for (HWND child = GetTopWindow(FHandle); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
                RECT r{};
                GetWindowRect(child, &r);
                POINT p{r.left, r.top};
                ScreenToClient(FHandle, &p);
                SetWindowPos(child, nullptr, p.x + shift, p.y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOSENDCHANGING | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
            }
            width = needed;
            FNormalClient.cx = width - FBorderLeft - FBorderRight;
        }
    }
    SetWindowPos(FHandle, nullptr, 0, 0, width, height, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE);
}

void TWinSkinForm::RefreshFrame()
{
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinSkinForm::ApplyColours()
{
    if (FSkinData == nullptr || FForm == nullptr)
        return;
    const TColor face = FSkinData->Colours().ButtonFace;
    FChanges.SetColor(FForm, face);
    for (int i = 0; i < FForm->ComponentCount(); ++i)
        if (auto* form = dynamic_cast<TCustomForm*>(FForm->Components(i)))
            FChanges.SetColor(form, face);
    // The controls whose colour the adaptors took follow the new skin too.
    for (TSkinControl* adaptor : FAdaptors)
        adaptor->ApplySkinColour();
}

void TWinSkinForm::ReSkin()
{
    ApplyColours();
    // Controls made since, or whose windows were made anew, get their adaptors.
    if (FForm != nullptr)
        AttachControls(FForm);
    // Only the controls are skinned: the window keeps its own frame, size and region.
    if (!FFrameProc.Installed())
        return;
    FSkinState = ssReskinning;
    FitToSkin(true);
    FSkinState = ssSkinned;
    BuildWindowRegion();
}

void TWinSkinForm::ResetCaptionButtons()
{
    DropCaptionButtons();
}

void TWinSkinForm::Unskin()
{
    if (FHoverTimer)
        FHoverTimer->SetEnabled(false);
    const bool goingAway = FSkinState == ssDetaching;
    if (!MainMenuSkinned() && !FFrameProc.Installed()) {
        // Only the controls were skinned.
        ReleaseAdaptors();
        GiveChangesBack(goingAway);
        UnhookMdiClient();
        if (FForm != nullptr) {
            for (int i = 0; i < FForm->ComponentCount(); ++i)
                if (auto* control = dynamic_cast<TControl*>(FForm->Components(i)))
                    control->Invalidate();
            if (!goingAway && IsWindow(FHandle)) {
                ShowWindow(FHandle, SW_MINIMIZE);
                ShowWindow(FHandle, SW_RESTORE);
            }
        }
        return;
    }
    if (!FFrameProc.Installed()) {
        // The window procedure went back already (WM_DESTROY); what is left to give back.
        FFormHook.Restore();
        ReleaseAdaptors();
        UnhookMdiClient();
        return;
    }
    SetCaptionStyles(true);
    FFormHook.Restore();
    FFrameProc.Restore();
    ReleaseAdaptors();
    GiveChangesBack(goingAway);
    UnhookMdiClient();
    FCaptionBuffer->SetSize(0, 0);
    FHotObject = nullptr;
    if (IsWindow(FHandle) && (IsMdiChild() || (FWindowStyle & WS_CHILD) == 0) && FFrameKind != 2)
        GiveSizeBack();
    if (FRegionSet)
        GiveRegionBack(TRUE);
}

void TWinSkinForm::GiveChangesBack(bool GoingAway)
{
    if (GoingAway)
        FChanges.Clear();
    else
        FChanges.UndoAll();
}

void TWinSkinForm::AddAdaptor(TSkinControl* Adaptor)
{
    if (Adaptor != nullptr && std::find(FAdaptors.begin(), FAdaptors.end(), Adaptor) == FAdaptors.end())
        FAdaptors.push_back(Adaptor);
}

void TWinSkinForm::RemoveAdaptor(TSkinControl* Adaptor) noexcept
{
    FAdaptors.erase(std::remove(FAdaptors.begin(), FAdaptors.end(), Adaptor), FAdaptors.end());
    if (FHotButton == Adaptor)
        FHotButton = nullptr;
}

void TWinSkinForm::ReleaseAdaptors()
{
    FHotButton = nullptr;
    std::vector<TSkinControl*> adaptors;
    adaptors.swap(FAdaptors);
    // Newest first: a check box gives its colour back before the panel it sits on does.
    for (auto it = adaptors.rbegin(); it != adaptors.rend(); ++it) {
        if ((*it)->Owner() == this)
            Retire(*it);
        else
            (*it)->Detach(); // an adaptor the application made (OnSkinControl) stays its own
    }
}

void TWinSkinForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSkinData)
        FSkinData = nullptr;
    if (AComponent == FForm) {
        // The form goes before its window: its message method is its own business now.
        FFormHook.Forget();
        FForm = nullptr;
    }
}

// ---- the window procedures

void TWinSkinForm::FrameWndProc(TMessage& Message)
{
    TFormCall call(*this);
    switch (Message.Msg) {
    case WM_DESTROY:
        UnhookMdiClient();
        if (FFrameProc.Installed()) {
            FFrameProc.Restore();
            FRegionSet = false;
        }
        CallDefault(Message);
        return;
    case WM_SETTEXT:
        // The platform paints its own caption with the new text: the skin's goes over it.
        CallDefault(Message);
        if (!Retired() && FFrameProc.Installed()) {
            FCaptionText = WindowText(FHandle);
            PaintFrame(nullptr);
        }
        return;
    case WM_STYLECHANGED:
        if (static_cast<int>(Message.WParam) == GWL_STYLE && Message.LParam != 0)
            FWindowStyle = reinterpret_cast<const STYLESTRUCT*>(Message.LParam)->styleNew;
        CallDefault(Message);
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
    if (!handled && !Retired() && FSkinState != ssNone && !IsMinimized() && !(IsMdiChild() && FShowState != shNormal))
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
        CallDefault(Message);
        if (FForm == nullptr && FSkinData != nullptr && FSkinData->FaceBrush() != nullptr) {
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
        if ((Message.WParam & 0xFFF0) == SC_KEYMENU && Message.LParam == ' ' && FSysMenu != nullptr &&
            FSkinState == ssSkinned && !IsMinimized()) {
            // Alt+Space: the system menu, under the skin's title bar (the window has lost the
            // style the platform would open it for).
            RECT r{};
            GetWindowRect(FHandle, &r);
            TrackSystemMenu(POINT{r.left + FBorderLeft, r.top + FBorderTop});
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
        CallDefault(Message);
        if (FForm == nullptr)
            SetBkMode(reinterpret_cast<HDC>(Message.WParam), TRANSPARENT);
        return true;
    case WM_CTLCOLORSTATIC:
        CallDefault(Message);
        if (FForm == nullptr)
            SetBkMode(reinterpret_cast<HDC>(Message.WParam), TRANSPARENT);
        if (FSkinData != nullptr && FSkinData->FaceBrush() != nullptr)
            Message.Result = reinterpret_cast<LRESULT>(FSkinData->FaceBrush());
        return true;
    case SKM_START:
        StartSkinning();
        return true;
    case CM_MENUCHANGED:
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
            FitToSkin(true);
            FSkinState = ssSkinned;
        } else {
            // The user sized the window: the client size to give back follows.
            FNormalClient = SIZE{LOWORD(Message.LParam), HIWORD(Message.LParam)};
        }
    }
    if (FSkinState == ssSkinned || FSkinState == ssReskinning)
        BuildWindowRegion();
}

void TWinSkinForm::HandleGetMinMaxInfo(TMessage& Message)
{
    CallDefault(Message);
    ReadShowState();
    TSkinManage* manager = SkinManager();
    if (IsMinimized()) {
        SetCaptionStyles(true);
    } else if (!IsMdiChild()) {
        SetCaptionStyles(false);
    } else if (FShowState == shNormal) {
        if (MdiChildrenMaximized())
            manager->SetMdiMax(false);
        SetCaptionStyles(false);
    } else {
        SetCaptionStyles(true);
    }
    if (Message.LParam != 0) {
        auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        info->ptMaxTrackSize.x = GetSystemMetrics(SM_CXMAXIMIZED);
        info->ptMaxTrackSize.y = GetSystemMetrics(SM_CYMAXIMIZED);
    }
}

void TWinSkinForm::HandleNcCalcSize(TMessage& Message)
{
    RECT proposed{};
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
    if (Message.WParam != 0 && params != nullptr)
        proposed = params->rgrc[0];
    CallDefault(Message);
    if (Message.WParam == 0 || params == nullptr) {
        Message.Result = 0;
        return;
    }
    if ((IsMdiChild() && FShowState != shNormal) || FFrameKind == 2) {
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
    RECT client{x + FBorderLeft, y + FBorderTop + FMenuHeight, x + cx - FBorderRight, y + cy - FBorderBottom};
    // A window smaller than its borders keeps an empty client area, never an inverted one.
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    params->rgrc[0] = client;
    params->rgrc[1] = client;
    Message.Result = WVR_VALIDRECTS;
}

void TWinSkinForm::HandleNcPaint(TMessage& Message)
{
    if ((IsMdiChild() && FShowState != shNormal) || FFrameKind == 2) {
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
    if (!FActive && FHotButton != nullptr) {
        TSkinControl* hot = FHotButton;
        FHotButton = nullptr;
        hot->SendMouseLeave();
    }
    const bool ours = !(IsMdiChild() && FShowState != shNormal);
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
    default:
        FFormHook.CallOld(Message);
        return;
    }
}

void TWinSkinForm::ClientWndProc(TMessage& Message)
{
    TFormCall call(*this);
    TSkinManage* manager = SkinManager();
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
        if (manager != nullptr)
            manager->ReleaseWindow(reinterpret_cast<HWND>(Message.WParam));
        FClientProc.CallOld(Message);
        if (manager != nullptr)
            manager->SetMdiMax(IsMDIChildMaximized());
        return;
    case WM_MDITILE:
    case WM_MDICASCADE:
        if (MdiChildrenMaximized())
            manager->SetMdiMax(false);
        FClientProc.CallOld(Message);
        return;
    case WM_MDIREFRESHMENU:
        FClientProc.CallOld(Message);
        if (FNewMDIChild != nullptr) {
            const HWND child = FNewMDIChild;
            FNewMDIChild = nullptr;
            if (manager != nullptr)
                manager->SkinWindow(child);
            PostMessageA(FHandle, SKM_REPAINTFRAME, 0, 0);
        }
        return;
    default:
        FClientProc.CallOld(Message);
        return;
    }
}

bool TWinSkinForm::IsMDIChildMaximized() const
{
    if (FMDIKind != 1 || FMDIClient == nullptr)
        return false;
    BOOL maximized = FALSE;
    const auto active = reinterpret_cast<HWND>(
        SendMessageA(FMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return active != nullptr && maximized != FALSE;
}
