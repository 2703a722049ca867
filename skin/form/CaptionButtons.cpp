// Caption buttons from the skin: which are shown when, where they go, how they are drawn, the
// mouse state machine they share with the menu-bar items, what they do, and the system menu.
#include "skin/form/CaptionButtons.h"

#include "skin/controls/WinSubClass.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"

#include <algorithm>
#include <iterator>

namespace {

int FramesOf(const TDataSkinObject& Element)
{
    return std::max(1, Element.FrameCount);
}

bool ShowsIcon(const TDataSkinSysButton& Element)
{
    return Element.Action == 3 || Element.Action == 11;
}

POINT PointOf(LPARAM ScreenPoint)
{
    return POINT{static_cast<short>(LOWORD(static_cast<DWORD_PTR>(ScreenPoint))),
                 static_cast<short>(HIWORD(static_cast<DWORD_PTR>(ScreenPoint)))};
}

} // namespace

// ---- the mouse state machine

void TNCObject::MouseMove()
{
    if (Form->HotObject() == this)
        return; // a pressed button stays pressed
    if (TNCObject* hot = Form->HotObject())
        hot->MouseLeave();
    if (Visible) {
        Form->SetHotObject(this);
        State = 3;
        Paint();
    }
}

void TNCObject::MouseDown()
{
    TNCObject* hot = Form->HotObject();
    if (hot != nullptr && hot != this)
        hot->MouseLeave();
    if (Visible) {
        Form->SetHotObject(this);
        State = 2;
        Paint();
    }
}

void TNCObject::MouseUp()
{
    if (Visible) {
        State = 3;
        Paint();
    }
}

void TNCObject::MouseLeave()
{
    if (Visible) {
        Form->SetHotObject(nullptr);
        State = 1;
        Paint();
    }
}

void TWinSysButton::Paint()
{
    Form->DrawSysButton(*this, State);
}

// ---- TWinSkinForm: caption buttons

void TWinSkinForm::DropCaptionButtons() noexcept
{
    FHotObject = nullptr;
    FTitleKey = TTitleKey{};
    // A button whose own mouse handling is running (its system menu's loop) lives until it returns.
    if (RunningCalls() > 0)
        std::move(FCaptionButtons.begin(), FCaptionButtons.end(), std::back_inserter(FDroppedButtons));
    FCaptionButtons.clear();
}

void TWinSkinForm::LoadCaptionButtons()
{
    DropCaptionButtons();
    for (const auto& element : FSkinData->SkinSysButtons()) {
        FCaptionButtons.push_back(std::make_unique<TWinSysButton>(this, element.get()));
        if (ShowsIcon(*element)) {
            // The system-menu button shows the window's icon.
            if (element->Bitmap->Empty())
                element->Bitmap->Assign(FIconBitmap.get());
            if (FSkinData->SharedIcon()->Empty())
                FSkinData->SharedIcon()->Assign(FIconBitmap.get());
            element->FrameCount = 1;
        }
    }
}

bool TWinSkinForm::IsButtonVisible(size_t Index)
{
    if (Index >= FCaptionButtons.size())
        return false;
    TWinSysButton& button = *FCaptionButtons[Index];
    const TDataSkinSysButton& e = *button.Element;
    const bool max = FShowState == shMaximized;
    const bool act = FActive;
    const bool sys = (FCaptionIcons & ciSystemMenu) != 0;
    const bool maxb = (FCaptionIcons & ciMaximize) != 0;
    const bool minb = (FCaptionIcons & ciMinimize) != 0;
    auto rule = [&](int Value, bool First, bool A) {
        if (Value >= 200 && Value <= 2000)
            return true;
        switch (Value) {
        case 0:
            return First ? FFrameKind != 3 && (e.Action != 0 || sys) : true;
        case 1:
            return max;
        case 2:
            return !max;
        case 3:
            return act;
        case 4:
            return !act;
        case 6:
            return First ? maxb && sys : maxb;
        case 7:
            return !maxb;
        case 8:
            return First ? minb && sys : minb;
        case 9:
            return !minb;
        case 100:
            return First ? IsMDIChildMaximized() && FMenuHeight > 0 : A;
        default: // 5, 10, 11 and anything else
            return false;
        }
    };
    const bool a = rule(e.Visibility, true, false);
    bool visible = a && rule(e.Visibility1, false, a);
    if ((e.Action == 1 && !maxb) || (e.Action == 2 && !minb))
        visible = false;
    button.Visible = visible;
    return visible;
}

void TWinSkinForm::LayoutCaptionButtons()
{
    FRightButtonsLeft = 0;
    for (size_t i = 0; i < FCaptionButtons.size(); ++i) {
        TWinSysButton& button = *FCaptionButtons[i];
        const TDataSkinSysButton& e = *button.Element;
        if (!IsButtonVisible(i) || e.Bitmap->Empty())
            continue;
        const int w = e.Bitmap->Width() / FramesOf(e);
        const int h = e.Bitmap->Height();
        RECT r{0, 0, w, h};
        switch (e.Align) {
        case 0:
            OffsetRect(&r, e.Xcoord, e.Ycoord);
            break;
        case 1:
            OffsetRect(&r, FFrameWidth - e.Xcoord, e.Ycoord);
            FRightButtonsLeft = std::max(FRightButtonsLeft, static_cast<int>(r.left));
            break;
        case 2:
        case 8:
            OffsetRect(&r, FTextRect.left - w - e.Xcoord, e.Ycoord);
            break;
        case 3:
        case 9:
            OffsetRect(&r, FTextRect.right + e.Xcoord, e.Ycoord);
            break;
        case 100: {
            const TDataSkinObject* bar = FSkinData->SkinMenuBar();
            const int inset = bar != nullptr ? bar->LeftWidth : 0;
            OffsetRect(&r, FFrameWidth - e.Xcoord - FBorderRight - inset, (FMenuHeight - h) / 2 + FBorderTop);
            break;
        }
        default:
            break;
        }
        button.BoundsRect = r;
    }
}

void TWinSkinForm::PaintCaptionButtons(TCanvas& Canvas)
{
    HDC dc = Canvas.Handle();
    Canvas.Changing();
    for (const auto& button : FCaptionButtons) {
        const TDataSkinSysButton& e = *button->Element;
        if (!button->Visible || e.Bitmap->Empty() || e.Visibility == 100)
            continue;
        const int frames = FramesOf(e);
        const int frame = frames < 4 || FActive ? 1 : 4;
        TBitmap* strip = ShowsIcon(e) ? FIconBitmap.get() : e.Bitmap.get();
        DrawStretchFrame(dc, button->BoundsRect, strip, frame, ShowsIcon(e) ? 1 : frames, true);
    }
    Canvas.Changed();
}

void TWinSkinForm::DrawSysButton(TWinSysButton& Button, int State)
{
    const TDataSkinSysButton& e = *Button.Element;
    TWindowDC window(FHandle);
    HDC dc = window.get();
    if (dc == nullptr)
        return;
    if (ShowsIcon(e)) {
        DrawStretchFrame(dc, Button.BoundsRect, FIconBitmap.get(), 1, 1, true);
    } else if (!e.Bitmap->Empty()) {
        const int frames = FramesOf(e);
        int frame = State == 3 && e.Visibility == 100 ? 4 : State;
        // A strip without that state's frame shows its first one rather than nothing.
        if (frame > frames)
            frame = 1;
        DrawStretchFrame(dc, Button.BoundsRect, e.Bitmap.get(), frame, frames, true);
    }
}

POINT TWinSkinForm::ScreenToFrame(int X, int Y) const
{
    POINT p{X, Y};
    ScreenToClient(FHandle, &p);
    if (!IsMinimized()) {
        p.x += FBorderLeft;
        p.y += FBorderTop + FMenuHeight;
    }
    return p;
}

TWinSysButton* TWinSkinForm::ButtonAt(POINT Point) const
{
    for (const auto& button : FCaptionButtons)
        if (button->Visible && button->Element->Action >= 0 && PtInRect(&button->BoundsRect, Point))
            return button.get();
    return nullptr;
}

TNCObject* TWinSkinForm::ObjectUnderMouse(LPARAM ScreenPoint) const
{
    const POINT screen = PointOf(ScreenPoint);
    return ButtonAt(ScreenToFrame(screen.x, screen.y));
}

// ---- the non-client mouse messages

void TWinSkinForm::HandleNcHitTest(TMessage& Message)
{
    CallDefault(Message);
    if (Message.Result == HTCAPTION && FMenuHeight > 0) {
        const POINT screen = PointOf(Message.LParam);
        if (ScreenToFrame(screen.x, screen.y).y >= FBorderTop)
            Message.Result = HTMENU;
    }
}

void TWinSkinForm::HandleNcMouseMove(TMessage& Message)
{
    Message.Result = 0;
    if (!FActive)
        return;
    if (TNCObject* object = ObjectUnderMouse(Message.LParam)) {
        object->MouseMove();
        return;
    }
    if (FHotObject != nullptr)
        FHotObject->MouseLeave();
    CallDefault(Message);
}

void TWinSkinForm::HandleNcLButtonDown(TMessage& Message)
{
    if (TNCObject* object = ObjectUnderMouse(Message.LParam)) {
        if (!FActive)
            SetForegroundWindow(FHandle);
        object->MouseDown();
        Message.Result = 0;
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
        if (object == FHotObject && dynamic_cast<TWinSysButton*>(object) != nullptr) {
            object->MouseUp();
            const POINT screen = PointOf(Message.LParam);
            DoButtonAction(screen.x, screen.y);
        }
        Message.Result = 0;
        return;
    }
    CallDefault(Message);
}

void TWinSkinForm::HandleNcLButtonDblClk(TMessage& Message)
{
    if (FShowState != shNormal)
        RestoreWindow();
    else if ((FCaptionIcons & ciMaximize) != 0)
        ToggleMaximize();
    Message.Result = 0;
}

void TWinSkinForm::HandleNcRButtonDown(TMessage& Message)
{
    if (Message.WParam == HTCAPTION && !IsMdiChild()) {
        ShowSystemMenu(PointOf(Message.LParam));
        Message.Result = 0;
        return;
    }
    CallDefault(Message);
}

// ---- what the buttons do

void TWinSkinForm::DoButtonAction(int X, int Y)
{
    auto* button = dynamic_cast<TWinSysButton*>(FHotObject);
    if (button == nullptr)
        return;
    const int action = button->Element->Action;
    switch (action) {
    case 0:
        if (FHoverTimer)
            FHoverTimer->SetEnabled(false);
        PostMessageA(FHandle, WM_CLOSE, 0, 0);
        break;
    case 1:
    case 22:
        ToggleMaximize();
        break;
    case 2:
    case 23:
        ToggleMinimize();
        break;
    case 3:
    case 11:
    case 12:
        ShowSystemMenu(POINT{X + 1, Y + 1});
        break;
    case 7:
    case 60:
        SendToMDIChild(SC_MINIMIZE);
        break;
    case 8:
    case 61:
        SendToMDIChild(SC_RESTORE);
        break;
    case 9:
    case 62:
        SendToMDIChild(SC_CLOSE);
        break;
    default:
        // An action of the application's own: a message filter of the program can see it.
        PostMessageA(FHandle, SKM_QUERY, static_cast<WPARAM>(action), 0);
        break;
    }
}

void TWinSkinForm::ToggleMaximize()
{
    if (FShowState == shMaximized) {
        RestoreWindow();
        return;
    }
    FShowState = shMaximized;
    PostMessageA(FHandle, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    FHotObject = nullptr;
}

void TWinSkinForm::RestoreWindow()
{
    FShowState = shNormal;
    PostMessageA(FHandle, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TWinSkinForm::ToggleMinimize()
{
    if (IsMinimized()) {
        RestoreWindow();
        return;
    }
    FShowState = shMinimized;
    PostMessageA(FHandle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TWinSkinForm::SendToMDIChild(WPARAM Command)
{
    if (FMDIKind != 1 || FMDIClient == nullptr)
        return;
    const auto child = reinterpret_cast<HWND>(SendMessageA(FMDIClient, WM_MDIGETACTIVE, 0, 0));
    if (child == nullptr)
        return;
    SendMessageA(child, WM_SYSCOMMAND, Command, 0);
    TSkinManage* manager = SkinManager();
    if (MdiChildrenMaximized() && !IsMDIChildMaximized())
        manager->SetMdiMax(false);
}

void TWinSkinForm::ShowSystemMenu(POINT Point)
{
    const DWORD now = GetTickCount();
    if (now - FLastSysMenuTime > FDoubleClickTime) {
        FLastSysMenuTime = now;
        TrackSystemMenu(Point);
        return;
    }
    // A second click within the double-click time closes the window.
    if (FHoverTimer)
        FHoverTimer->SetEnabled(false);
    PostMessageA(FHandle, WM_CLOSE, 0, 0);
}

void TWinSkinForm::TrackSystemMenu(POINT Point)
{
    // Its commands come back as WM_COMMAND, which the frame procedure turns into WM_SYSCOMMAND.
    if (FSysMenu != nullptr)
        TrackPopupMenu(FSysMenu, TPM_RIGHTBUTTON, Point.x, Point.y, 0, FHandle, nullptr);
}

void TWinSkinForm::HoverTimerTick(TObject*)
{
    TFormCall call(*this);
    if (FMenuTracking || Retired())
        return;
    POINT cursor{};
    if (!GetCursorPos(&cursor))
        return;
    if (FHotObject != nullptr) {
        const POINT p = ScreenToFrame(cursor.x, cursor.y);
        if (!PtInRect(&FHotObject->BoundsRect, p))
            FHotObject->MouseLeave();
    }
    // Bare windows get no mouse-leave of their own: the hot adaptor is told here.
    if (FForm == nullptr && FHotButton != nullptr && !PtInRect(&FHotButton->WindowRect(), cursor)) {
        TSkinControl* hot = FHotButton;
        FHotButton = nullptr;
        hot->SendMouseLeave();
    }
}
