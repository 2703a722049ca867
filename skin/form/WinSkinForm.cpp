#include "skin/form/WinSkinForm.h"

#include "framework/controls/Forms.h"
#include "framework/win/Callback.h"
#include "framework/win/ControlMessages.h"
#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"
#include "framework/win/WindowInfo.h"
#include "skin/controls/WinSubClass.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"
#include "skin/form/PopupItems.h"
#include "skin/form/SkinMessages.h"

#include <algorithm>
#include <atomic>
#include <utility>

IMPLEMENT_CLASS(TWinSkinForm)

void TWinSkinForm::Publish(TClassBuilder<TWinSkinForm>& b)
{
    b.Property("DisableTag", &TWinSkinForm::DisableTag, &TWinSkinForm::SetDisableTag);
}

namespace {

// The caption styles the system draws and hit-tests buttons for.
constexpr DWORD CaptionStyleMask = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX; // 0xB0000

// Whether the program's reads of its styles show the caption-button styles (see ProgramStyle).
std::atomic<bool> GProgramReadsOwnStyles{false}; // set on one thread, read on every skinning one
// Style changes of the thread's form objects under way.
thread_local int GEngineStyleChanges = 0;

bool IsDialogClass(const std::string& Class)
{
    const std::string lower = LowerCase(Class);
    return lower == "tmessageform" || lower == "#32770";
}

} // namespace

TWinSkinForm::TWinSkinForm(TComponent* AOwner)
    : TComponent(AOwner), FFrame(std::make_unique<TFramePainter>()),
      FButtons(std::make_unique<TCaptionButtons>()), FAdaptors(std::make_unique<TAdaptorSet>(this)),
      FPopupMenus(std::make_unique<TPopupMenuSkin>())
{
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
    FHotObject = nullptr;
    FButtons->DropCaptionButtons(false);
    FButtons->ForgetDropped();
    FAdaptors->ReleaseAdaptors();
    ForgetPopupItems(FHandle);
    if (FForm != nullptr)
        FForm->RemoveFreeNotification(this);
    if (FSkinData != nullptr)
        FSkinData->RemoveFreeNotification(this);
    if (FSite != nullptr)
        FSite->ForgetForm(this);
}

void TWinSkinForm::SetSkinState(int Value)
{
    FSkinState = Value;
    FAdaptors->SetGoingAway(Value == ssDetaching);
}

void TWinSkinForm::OnRetire() noexcept
{
    if (FHoverTimer)
        FHoverTimer->SetEnabled(false);
    // The site lets go of the object now and may itself go before the running call returns (the
    // skin stopped and started again inside that call): the object, its destructor included,
    // never reaches it again.
    if (TFormSite* site = std::exchange(FSite, nullptr); site != nullptr)
        site->ForgetForm(this);
    // A popup of the bar may be open: it closes with its window, no longer followed by the bar.
    if (TWinSkinMenu* bar = TrackingBar())
        bar->Tracking().StopFollowing();
    ForgetPopupItems(FHandle);
}

bool TWinSkinForm::MainMenuSkinned() const
{
    return FSkinData != nullptr && FSkinData->SkinControls().Contains(xcMainMenu);
}

void TWinSkinForm::AttachForm(TSkinData* Data, TCustomForm* AForm)
{
    FForm = AForm;
    FAdaptors->SetWindow(FForm, FHandle);
    if (FForm == nullptr) {
        SkinFrame(Data);
        return;
    }
    FForm->FreeNotification(this);
    TCustomForm* form = FForm;
    const bool autoScroll = form->AutoScroll();
    FAdaptors->Changes().Record(form, "AutoScroll", [form, autoScroll] { form->SetAutoScroll(autoScroll); });
    form->SetAutoScroll(false);
    if (Data != nullptr && Data->SkinControls().Contains(xcMainMenu) && !FFormHook.Installed())
        FFormHook.Install(FForm, BindMethod<&TWinSkinForm::FormMessageHook>(this));
    SkinFrame(Data);
    if (FSkinData != nullptr) {
        FAdaptors->Changes().SetColor(FForm, FSkinData->Colours().ButtonFace);
        SetPopupMenusOwnerDraw(*FPopupMenus, *FForm, *FSkinData, true);
    }
}

void TWinSkinForm::SkinControlsOnly(TSkinData* Data)
{
    if (FSkinData != Data) {
        FSkinData = Data;
        if (FSkinData != nullptr)
            FSkinData->FreeNotification(this);
    }
    FAdaptors->SetWindow(FForm, FHandle);
    FAdaptors->SetSkinData(FSkinData);
    if (!FHoverTimer) {
        FHoverTimer = std::make_unique<TTimer>();
        FHoverTimer->SetEnabled(false);
        FHoverTimer->SetInterval(250);
        FHoverTimer->SetOnTimer(BindMethod<&TWinSkinForm::HoverTimerTick>(this));
    }
    FWindowClass = WindowClassName(FHandle);
}

void TWinSkinForm::PaintingFailed() noexcept
{
    HandleCallbackException();
    if (FFailed)
        return;
    FFailed = true;
    PostMessageA(FHandle, SKM_GIVEBACK, 0, 0);
}

void TWinSkinForm::WalkNewChildren()
{
    if (!FChildWalkPosted && FFrameProc.Installed())
        FChildWalkPosted = PostMessageA(FHandle, SKM_NEWCHILDREN, 0, 0) != FALSE;
}

void TWinSkinForm::AttachAdaptors()
{
    if (FForm != nullptr)
        FAdaptors->AttachControls(FForm);
    else
        FAdaptors->AttachChildWindows();
}

void TWinSkinForm::SkinFrame(TSkinData* Data)
{
    // A skin that cannot draw a whole frame leaves the window its own, with its title bar.
    if (!TakesFrameWith(Data)) {
        SkinControlsOnly(Data);
        DetectMdiClient();
        if (FMDIKind == mkParent)
            HookMdiClient();
        LoadMetrics();
        AttachAdaptors();
        return;
    }
    if (FFrameProc.Installed())
        return;
    SkinControlsOnly(Data);
    FFrame->LoadCaptionFont();

    FWindowStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
    FExStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_EXSTYLE));
    FOriginalCaptionStyles = FWindowStyle & CaptionStyleMask;
    FButtons->SetSystemMenu(GetSystemMenu(FHandle, FALSE));
    FFrame->CaptureIcon(FHandle, FSkinData, FSite != nullptr ? FSite->SharedMainIcon() : nullptr);
    FFrame->ReadCaptionText(FHandle);

    RecordNativeSize();

    FCaptionIcons = 0;
    if ((FWindowStyle & WS_SYSMENU) != 0 || FButtons->SystemMenu() != nullptr)
        FCaptionIcons |= ciSystemMenu;
    if ((FWindowStyle & WS_MINIMIZEBOX) != 0)
        FCaptionIcons |= ciMinimize;
    if ((FWindowStyle & WS_MAXIMIZEBOX) != 0)
        FCaptionIcons |= ciMaximize;
    ReadShowState();
    DetectMdiClient();
    // A window taken over while it is up shows the activation it has: the platform shows the
    // foreground window's caption active, whichever window each thread calls its active one.
    if (IsWindowVisible(FHandle) && (FWindowStyle & WS_CHILD) == 0)
        FActive = GetForegroundWindow() == FHandle;

    if ((FWindowStyle & WS_POPUP) != 0 && (FWindowStyle & (WS_BORDER | WS_DLGFRAME)) == 0)
        FFrameKind = fkNone;
    else if ((FExStyle & WS_EX_WINDOWEDGE) != 0 || (FWindowStyle & WS_THICKFRAME) != 0)
        FFrameKind = fkSizeable;
    else
        FFrameKind = fkThin;

    FFrame->SetMenuHeight(0);
    TakeMenuOver();

    FFrameProc.Install(FHandle, BindMethod<&TWinSkinForm::FrameWndProc>(this));
    FFrameTaken = true;
    const bool mdiMaximized = MdiChildrenMaximized();
    // A child window that is no MDI child keeps its own frame (the frame procedure passes its
    // messages on), and so its caption buttons.
    const bool embedded = (FWindowStyle & WS_CHILD) != 0 && !IsMdiChild();
    if (!(IsMdiChild() && mdiMaximized) && !IsMinimized() && !embedded)
        SetCaptionStyles(false);
    if (FMDIKind == mkParent)
        HookMdiClient();
    LoadMetrics();
    AttachAdaptors();
    InvalidateRect(FHandle, nullptr, TRUE);
}

bool TWinSkinForm::FrameTakenOtherwiseBy(const TSkinData* Data) const
{
    return !IsMdiChild() && FrameHooked() != TakesFrameWith(Data);
}

void TWinSkinForm::MdiMaximizedChanged(bool Max)
{
    if (!IsMdiChild())
        return;
    if (Max) {
        if (FFrame->RegionSet())
            FFrame->DropWindowRegion(FHandle);
        SetCaptionStyles(true);
    } else if (IsIconic(FHandle)) {
        SetCaptionStyles(true);
    } else {
        FShowState = shNormal;
        FFrame->BuildWindowRegion(FrameState());
        SetCaptionStyles(false);
        if (!FFrame->RegionSet())
            RefreshFrame();
    }
}

bool TWinSkinForm::TakesFrameWith(const TSkinData* Data)
{
    return Data != nullptr && Data->SkinControls().Contains(xcMainMenu) && TFramePainter::CanDrawFrame(*Data);
}

void TWinSkinForm::TakeMenuOver()
{
    const HMENU menu = GetMenu(FHandle);
    if (menu == nullptr || !IsMenu(menu) || IsMdiChild() || FFrameKind == fkNone || (FWindowStyle & WS_CHILD) != 0)
        return;
    if (FSkinMenu == nullptr) {
        FSkinMenu = std::make_unique<TWinSkinMenu>(nullptr, FHandle, FSkinData);
        if (FForm != nullptr)
            FSkinMenu->SetMainMenu(FForm->Menu());
    }
    ForgetHotMenuButton();
    FSkinMenu->BuildButtons();
    FFrame->SetMenuHeight(GetSystemMetrics(SM_CYMENU));
}

void TWinSkinForm::GiveMenuBack() noexcept
{
    if (FSkinMenu == nullptr)
        return;
    const HMENU menu = FSkinMenu->MenuHandle();
    if (IsWindow(FHandle) && GetMenu(FHandle) == nullptr && menu != nullptr && IsMenu(menu))
        SetMenu(FHandle, menu);
    ReleaseMenuBar();
}

void TWinSkinForm::ForgetHotMenuButton() noexcept
{
    if (dynamic_cast<TMenuBtn*>(FHotObject) != nullptr)
        FHotObject = nullptr;
}

void TWinSkinForm::ReleaseMenuBar() noexcept
{
    ForgetHotMenuButton();
    FFrame->SetMenuHeight(0);
    // A popup of the bar may be open (the skin switched off, or the menu taken away, from inside
    // it): the bar no longer slides to its neighbours, and it stays until that call is over.
    if (RunningCalls() > 0) {
        FSkinMenu->Tracking().StopFollowing();
        FDroppedMenus.push_back(std::move(FSkinMenu));
    } else {
        FSkinMenu.reset();
    }
}

TWinSkinMenu* TWinSkinForm::TrackingBar() const
{
    if (FSkinMenu != nullptr && FSkinMenu->Tracking().Active())
        return FSkinMenu.get();
    for (const auto& bar : FDroppedMenus)
        if (bar->Tracking().Active())
            return bar.get();
    return nullptr;
}

void TWinSkinForm::TrackMenuBar(const TMenuBtn& Pressed)
{
    int index = Pressed.Index;
    for (bool first = true; index >= 0; first = false) {
        // The bar may have been rebuilt or gone while the last popup was open.
        TWinSkinMenu* bar = FSkinMenu.get();
        TMenuBtn* button = bar != nullptr ? bar->Button(index) : nullptr;
        if (button == nullptr || Retired() || !IsWindow(FHandle))
            break;
        if (!first)
            PressObject(*button);
        index = bar->Tracking().Track(*button);
    }
    // The pressed look goes with the popup; the hover timer takes the hot one away.
    if (!Retired() && FSkinMenu != nullptr)
        if (auto* last = dynamic_cast<TMenuBtn*>(FHotObject))
            ReleaseObject(*last);
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
    FFrame->RecordHostRegion(FHandle);
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
        if (IsZoomed(FHandle) && !IsMdiChild() && IsWindowVisible(FHandle)) {
            // Maximised again, its place and size are the platform's for the window's own frame
            // (and what the window's WM_GETMINMAXINFO says); setting the placement of a window
            // that is maximised already keeps the skin's. Which window is active stays.
            const HWND active = GetActiveWindow();
            placement.showCmd = SW_SHOWNOACTIVATE;
            SetWindowPlacement(FHandle, &placement);
            placement.showCmd = SW_SHOWMAXIMIZED;
            SetWindowPlacement(FHandle, &placement);
            if (active != FHandle && active != nullptr && IsWindow(active))
                SetActiveWindow(active);
            RefreshFrame();
            return;
        }
        placement.showCmd = IsIconic(FHandle) ? SW_SHOWMINNOACTIVE : SW_SHOWMAXIMIZED;
        SetWindowPlacement(FHandle, &placement);
        if (IsMdiChild() && IsZoomed(FHandle)) {
            // Still maximised, so the client does not place it again: its own frame, caption
            // included, goes outside the client area as a maximised child's does.
            HWND client = GetParent(FHandle);
            RECT r{};
            GetClientRect(client, &r);
            AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE)), FALSE,
                               static_cast<DWORD>(GetWindowLongA(FHandle, GWL_EXSTYLE)));
            SetWindowPos(FHandle, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
            return;
        }
        RefreshFrame();
        return;
    }
    RECT r{};
    GetWindowRect(FHandle, &r);
    POINT at{r.left, r.top};
    if (IsMdiChild()) {
        HWND client = FSite != nullptr && FSite->MdiClientWindow() != nullptr ? FSite->MdiClientWindow()
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
            FMDIKind = mkParent;
            FMDIClient = child;
            if (FSite != nullptr)
                FSite->SetMdiClientWindow(child);
            break;
        }
    }
    if ((static_cast<DWORD>(GetWindowLongA(FHandle, GWL_EXSTYLE)) & WS_EX_MDICHILD) != 0)
        FMDIKind = mkChild;
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
    if (wanted != style) {
        ++GEngineStyleChanges;
        SetWindowLongA(FHandle, GWL_STYLE, static_cast<LONG>(wanted));
        --GEngineStyleChanges;
    }
}

TFrameState TWinSkinForm::FrameState() const
{
    TFrameState state;
    state.Window = FHandle;
    if (RECT r{}; GetWindowRect(FHandle, &r)) {
        state.Width = r.right - r.left;
        state.Height = r.bottom - r.top;
    }
    state.Skin = Retired() ? nullptr : FSkinData;
    state.Active = FActive;
    state.ShowState = FShowState;
    state.SkinState = FSkinState;
    state.FrameKind = FFrameKind;
    state.MDIKind = FMDIKind;
    state.Style = FWindowStyle;
    state.Caption = WindowText(FHandle);
    state.MenuHeight = FFrame->MenuHeight();
    state.CaptionIcons = FCaptionIcons;
    state.MdiChildMaximized = IsMDIChildMaximized();
    state.Hot = FHotObject;
    return state;
}

void TWinSkinForm::PaintFrame(HDC DC)
{
    if (Retired() || FFailed || SharedPaintBitmap() == nullptr || (FSkinState != ssSkinned && FSkinState != ssReskinning))
        return;
    const TFrameState state = FrameState();
    if (!state.Framed())
        return;
    const TGivenOrWindowDC dc(FHandle, DC);
    if (!dc)
        return;
    try {
        // The borders and the title bar with its buttons, then the menu bar below the title.
        FFrame->Paint(dc.get(), state, *FButtons);
        if (FSkinMenu != nullptr && FFrame->MenuHeight() > 0 && state.Width > 0) {
            FSkinMenu->PaintBar(dc.get(), FFrame->MenuBarRect(), state, *FButtons);
            // The bar showed a maximised MDI child's buttons: the site knows the children are so.
            if (state.MDIKind == mkParent && state.MdiChildMaximized && FSite != nullptr && !FSite->MdiMaximized())
                FSite->SetMdiMax(true);
        }
        // The hot or pressed object keeps its look through the paint (the mouse is still over it,
        // or its button is still down); one the frame no longer shows is no longer hot.
        if (FHotObject != nullptr && FHotObject->Visible)
            FHotObject->Paint(dc.get());
        else
            FHotObject = nullptr;
    } catch (...) {
        // No half-painted frame: the window gets its own back.
        FHotObject = nullptr;
        PaintingFailed();
    }
}

// ---- the clickable objects of the frame: one hot or pressed at a time

void TWinSkinForm::PaintObject(TNCObject& Object)
{
    if (TWindowDC dc(FHandle); dc)
        Object.Paint(dc.get());
}

void TWinSkinForm::HoverObject(TNCObject& Object)
{
    if (FHotObject == &Object)
        return; // a pressed button stays pressed
    if (FHotObject != nullptr)
        LeaveObject(*FHotObject);
    if (Object.Visible) {
        FHotObject = &Object;
        Object.State = btHot;
        PaintObject(Object);
    }
}

void TWinSkinForm::PressObject(TNCObject& Object)
{
    if (FHotObject != nullptr && FHotObject != &Object)
        LeaveObject(*FHotObject);
    if (Object.Visible) {
        FHotObject = &Object;
        Object.State = btPressed;
        PaintObject(Object);
    }
}

void TWinSkinForm::ReleaseObject(TNCObject& Object)
{
    if (Object.Visible) {
        Object.State = btHot;
        PaintObject(Object);
    }
}

void TWinSkinForm::LeaveObject(TNCObject& Object)
{
    if (Object.Visible) {
        FHotObject = nullptr;
        Object.State = btNormal;
        PaintObject(Object);
    }
}

void TWinSkinForm::RunFrameCommand(const TFrameClick& Click)
{
    switch (Click.Command) {
    case fcClose:
        if (FHoverTimer)
            FHoverTimer->SetEnabled(false);
        PostMessageA(FHandle, WM_CLOSE, 0, 0);
        break;
    case fcMaximize:
        FShowState = shMaximized;
        PostMessageA(FHandle, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        FHotObject = nullptr;
        break;
    case fcRestore:
        FShowState = shNormal;
        PostMessageA(FHandle, WM_SYSCOMMAND, SC_RESTORE, 0);
        break;
    case fcMinimize:
        FShowState = shMinimized;
        PostMessageA(FHandle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case fcSystemMenu:
        TrackSystemMenu(Click.At);
        break;
    case fcMdiMinimize:
        SendToMdiChild(SC_MINIMIZE);
        break;
    case fcMdiRestore:
        SendToMdiChild(SC_RESTORE);
        break;
    case fcMdiClose:
        SendToMdiChild(SC_CLOSE);
        break;
    case fcCustom:
        PostMessageA(FHandle, SKM_QUERY, static_cast<WPARAM>(Click.Action), 0);
        break;
    case fcNone:
        break;
    }
}

void TWinSkinForm::TrackSystemMenu(POINT Point)
{
    // Its commands come back as WM_COMMAND, which the frame procedure turns into WM_SYSCOMMAND.
    const HMENU menu = FButtons->SystemMenu();
    if (menu == nullptr)
        return;
    // Its items are drawn from the skin while it is open.
    TSkinnedPopupItems items(FHandle, FSkinData, menu);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, Point.x, Point.y, 0, FHandle, nullptr);
}

void TWinSkinForm::SendToMdiChild(WPARAM Command)
{
    if (FMDIKind != mkParent || FMDIClient == nullptr)
        return;
    const auto child = reinterpret_cast<HWND>(SendMessageA(FMDIClient, WM_MDIGETACTIVE, 0, 0));
    if (child == nullptr)
        return;
    SendMessageA(child, WM_SYSCOMMAND, Command, 0);
    MdiChildLeftMaximized();
}

void TWinSkinForm::StartSkinning()
{
    if (FSkinState == ssNone) {
        if (IsMdiChild() && MdiChildrenMaximized()) {
            SetCaptionStyles(true);
        } else if (IsMinimized() && FFrameKind != fkNone && FFrameProc.Installed()) {
            FFitPending = true;
        } else if (!IsMinimized() && FFrameKind != fkNone) {
            FSkinState = ssFirstFit;
            FitToSkin();
            FSkinState = ssSkinned;
            BuildWindowRegion();
            // The rows the fit gave back to the client were erased on the way with the window's
            // own ground when the window was up and had not painted yet: all of it once more.
            if (IsWindowVisible(FHandle))
                InvalidateRect(FHandle, nullptr, TRUE);
        }
    }
    FSkinState = ssSkinned;
    if (FHoverTimer)
        FHoverTimer->SetEnabled(true);
}

void TWinSkinForm::FitToSkin()
{
    FFitPending = false;
    FRefitPending = false;
    if (FShowState == shMaximized || IsZoomed(FHandle)) {
        // The skinned frame around the client size the window will have when restored.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (FFrameKind != fkNone && GetWindowPlacement(FHandle, &placement)) {
            RECT& normal = placement.rcNormalPosition;
            normal.right = normal.left + FNormalClient.cx + FFrame->BorderLeft() + FFrame->BorderRight();
            normal.bottom = normal.top + FNormalClient.cy + FFrame->BorderTop() + FFrame->BorderBottom() +
                            FFrame->MenuHeight();
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
    int width = client.right + FFrame->BorderLeft() + FFrame->BorderRight();
    const int height = client.bottom + FFrame->BorderTop() + FFrame->BorderBottom() + FFrame->MenuHeight();
    if (IsDialogClass(FWindowClass) && FSkinData != nullptr) {
        // A message dialog's caption must fit its title bar.
        int blank = 0;
        if (TWindowDC dc(FHandle); dc) {
            TSaveDC state(dc.get());
            if (FFrame->CaptionFont() != nullptr)
                SelectObject(dc.get(), FFrame->CaptionFont());
            SIZE size{};
            if (GetTextExtentPoint32A(dc.get(), " ", 1, &size))
                blank = size.cx;
        }
        const TDataSkinTitle* title = FSkinData->SkinTitle();
        const int needed =
            (static_cast<int>(FFrame->CaptionText().size()) + 7) * blank + FFrame->BorderLeft() +
            FFrame->BorderRight() +
            (title != nullptr ? title->TextShift() + title->TextRightClip() + title->TXTBackleft + title->TXTBackRight
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
            FNormalClient.cx = width - FFrame->BorderLeft() - FFrame->BorderRight();
        }
    }
    // Never activating: re-fitting an inactive MDI child would make it the maximised one.
    SetWindowPos(FHandle, nullptr, 0, 0, width, height, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    RECT fitted{};
    GetClientRect(FHandle, &fitted);
    FFittedClient = SIZE{fitted.right, fitted.bottom};
}

bool TWinSkinForm::FrameMargins(RECT& Skin, RECT& Platform) const
{
    // (A minimised window's normal placement is the skin's frame too, unless it was never fitted.)
    if (Retired() || FSkinState != ssSkinned || !FFrameProc.Installed() || FFrameKind == fkNone || FFitPending ||
        MdiChildOutOfNormal(FMDIKind, FShowState) || ((FWindowStyle & WS_CHILD) != 0 && !IsMdiChild()))
        return false;
    Skin = RECT{FFrame->BorderLeft(), FFrame->BorderTop() + FFrame->MenuHeight(), FFrame->BorderRight(),
                FFrame->BorderBottom()};
    RECT frame{0, 0, 0, 0};
    const bool menu = FSkinMenu != nullptr || GetMenu(FHandle) != nullptr;
    if (!AdjustWindowRectEx(&frame, (FWindowStyle | FOriginalCaptionStyles) & ~(WS_MINIMIZE | WS_MAXIMIZE), menu,
                            FExStyle))
        return false;
    Platform = RECT{-frame.left, -frame.top, frame.right, frame.bottom};
    return true;
}

bool TWinSkinForm::GoesAtDestroy() const
{
    return FForm == nullptr && FFrameProc.Installed() && !IsMdiChild() && !Retired() && FSite != nullptr;
}

DWORD TWinSkinForm::ProgramStyle() const
{
    const auto style = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
    if (!FFrameProc.Installed() || (style & CaptionStyleMask) != 0)
        return style;
    return style | FOriginalCaptionStyles;
}

void TWinSkinForm::SetProgramReadsOwnStyles(bool Value)
{
    GProgramReadsOwnStyles = Value;
}

bool TWinSkinForm::EngineChangingStyle()
{
    return GEngineStyleChanges > 0;
}

void TWinSkinForm::ProgramStyleChanging(STYLESTRUCT& Change)
{
    if (!FFrameProc.Installed())
        return;
    const DWORD wanted = GProgramReadsOwnStyles ? Change.styleNew & CaptionStyleMask
                                                : FOriginalCaptionStyles | (Change.styleNew & CaptionStyleMask);
    if (wanted != FOriginalCaptionStyles) {
        FOriginalCaptionStyles = wanted;
        FCaptionStylesChanged = true;
    }
    // While the skin draws the caption buttons, the window keeps them off.
    if ((Change.styleOld & CaptionStyleMask) == 0)
        Change.styleNew &= ~CaptionStyleMask;
}

void TWinSkinForm::DropMenuBar()
{
    if (FSkinMenu == nullptr)
        return;
    // The window given back has no menu: its own frame is as much lower.
    FNativeFrameSize.cy -= FFrame->MenuHeight();
    ReleaseMenuBar();
    RefreshFrame();
}

void TWinSkinForm::MenuBarChanged()
{
    if (FSkinMenu == nullptr)
        return;
    ForgetHotMenuButton();
    if (!IsMenu(FSkinMenu->MenuHandle())) {
        DropMenuBar();
        return;
    }
    FSkinMenu->BuildButtons();
    PaintFrame(nullptr);
}

void TWinSkinForm::RefreshFrame()
{
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinSkinForm::ApplyColours()
{
    if (FSkinData == nullptr)
        return;
    if (FForm == nullptr) {
        // A window without a form of the framework: its adaptors make what they drew from the
        // old skin anew (a tab control's tabs), and the window shows the new skin's ground.
        FAdaptors->ApplySkinColours();
        FAdaptors->RecolourContentWindows();
        if (IsWindow(FHandle))
            RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return;
    }
    const TColor face = FSkinData->Colours().ButtonFace;
    FAdaptors->Changes().SetColor(FForm, face);
    for (int i = 0; i < FForm->ComponentCount(); ++i)
        if (auto* form = dynamic_cast<TCustomForm*>(FForm->Components(i)))
            FAdaptors->Changes().SetColor(form, face);
    // The controls whose colour the adaptors took follow the new skin too, and so does content.
    FAdaptors->ApplySkinColours();
    FAdaptors->RecolourContent(FForm);
    // And so do the windows the program made itself on the form.
    FAdaptors->RecolourContentWindows();
    SetPopupMenusOwnerDraw(*FPopupMenus, *FForm, *FSkinData, true);
}

void TWinSkinForm::ReSkin()
{
    ApplyColours();
    // Controls made since, or whose windows were made anew, get their adaptors.
    if (FForm != nullptr)
        FAdaptors->AttachControls(FForm);
    // Only the controls are skinned: the window keeps its own frame, size and region.
    if (FFrameProc.Installed()) {
        FSkinState = ssReskinning;
        FitToSkin();
        FSkinState = ssSkinned;
        BuildWindowRegion();
    }
    // A skin whose images changed but whose colours and frame sizes did not changes nothing the
    // controls would notice on their own: everything shown is drawn again from the new images.
    if (IsWindowVisible(FHandle))
        RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TWinSkinForm::ResetCaptionButtons()
{
    FHotObject = nullptr;
    FFrame->ResetCache();
    FButtons->DropCaptionButtons(RunningCalls() > 0);
}

void TWinSkinForm::LoadMetrics()
{
    FFrame->ResetCache();
    if (FSkinData == nullptr || FSkinData->SkinLoading())
        return;
    FFrame->LoadBorderMetrics(*FSkinData, FFrameKind);
    FRefitPending = true;
    ResetCaptionButtons();
    FButtons->LoadCaptionButtons(*FSkinData, FFrame->IconBitmap());
}

POINT TWinSkinForm::ScreenToFrame(int X, int Y) const
{
    POINT p{X, Y};
    ScreenToClient(FHandle, &p);
    if (!IsMinimized()) {
        p.x += FFrame->BorderLeft();
        p.y += FFrame->BorderTop() + FFrame->MenuHeight();
    }
    return p;
}

void TWinSkinForm::MdiChildLeftMaximized()
{
    if (MdiChildrenMaximized() && !IsMDIChildMaximized())
        FSite->SetMdiMax(false);
}

void TWinSkinForm::Unskin()
{
    if (FHoverTimer)
        FHoverTimer->SetEnabled(false);
    const bool goingAway = FSkinState == ssDetaching;
    FPopupMenus->GiveBack();
    if (!FFrameTaken) {
        // Only the controls were skinned (the skin leaves frames alone, or it has no frame to
        // draw).
        FAdaptors->ReleaseAdaptors();
        FAdaptors->GiveChangesBack(goingAway);
        UnhookMdiClient();
        if (FForm != nullptr) {
            for (int i = 0; i < FForm->ComponentCount(); ++i)
                if (auto* control = dynamic_cast<TControl*>(FForm->Components(i)))
                    control->Invalidate();
            // Redrawn whole, in the state it is in (a maximised window stays maximised, the
            // active one active).
            if (!goingAway && IsWindow(FHandle))
                RedrawWindow(FHandle, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        return;
    }
    FFrameTaken = false;
    if (!FFrameProc.Installed()) {
        // The window procedure went back already (WM_DESTROY); what is left to give back.
        FFormHook.Restore();
        FAdaptors->ReleaseAdaptors();
        UnhookMdiClient();
        return;
    }
    SetCaptionStyles(true);
    FFormHook.Restore();
    FFrameProc.Restore();
    GiveMenuBack();
    FAdaptors->ReleaseAdaptors();
    FAdaptors->GiveChangesBack(goingAway);
    UnhookMdiClient();
    FFrame->CaptionBuffer()->SetSize(0, 0);
    FHotObject = nullptr;
    // A window that goes for good keeps its size and shape: given back, it would show the
    // platform's frame as it goes. One that a live form makes anew gives the form its own size
    // back first, or the new window would grow by the skin's frame.
    const bool gone = goingAway && (FForm == nullptr || FForm->ComponentState().Contains(csDestroying));
    if (!gone && IsWindow(FHandle) && (IsMdiChild() || (FWindowStyle & WS_CHILD) == 0) && FFrameKind != fkNone)
        GiveSizeBack();
    if (FFrame->RegionSet())
        FFrame->GiveRegionBack(FHandle, gone ? FALSE : TRUE);
}

void TWinSkinForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSkinData) {
        // The skin is gone: no adaptor may paint from it again. They let go of their controls
        // (without reading the skin) and the set makes no new ones.
        FSkinData = nullptr;
        FAdaptors->ForgetSkinData();
    }
    if (AComponent == FForm) {
        // The form goes before its window: its message method is its own business now.
        FFormHook.Forget();
        FPopupMenus->GiveBack();
        FForm = nullptr;
        FAdaptors->SetWindow(nullptr, FHandle);
    }
}

bool TWinSkinForm::IsMDIChildMaximized() const
{
    if (FMDIKind != mkParent || FMDIClient == nullptr)
        return false;
    BOOL maximized = FALSE;
    const auto active = reinterpret_cast<HWND>(
        SendMessageA(FMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return active != nullptr && maximized != FALSE;
}
