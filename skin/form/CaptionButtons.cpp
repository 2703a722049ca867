#include "skin/form/CaptionButtons.h"

#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"
#include "skin/form/FramePainter.h"
#include "skin/form/SkinMessages.h"
#include "skin/form/SkinMenuBar.h"
#include "skin/form/WinSkinForm.h"

#include <algorithm>
#include <iterator>

namespace {

int FramesOf(const TDataSkinObject& Element)
{
    return std::max(1, Element.FrameCount);
}

bool ShowsIcon(const TDataSkinSysButton& Element)
{
    return Element.Action == cbSystemMenu || Element.Action == cbSystemIcon;
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
        State = btHot;
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
        State = btPressed;
        Paint();
    }
}

void TNCObject::MouseUp()
{
    if (Visible) {
        State = btHot;
        Paint();
    }
}

void TNCObject::MouseLeave()
{
    if (Visible) {
        Form->SetHotObject(nullptr);
        State = btNormal;
        Paint();
    }
}

void TWinSysButton::Paint()
{
    Form->Buttons().DrawSysButton(*this, State);
}

// ---- the caption buttons of a window

TCaptionButtons::TCaptionButtons(TWinSkinForm& Form) : FForm(Form), FDoubleClickTime(GetDoubleClickTime()) {}

void TCaptionButtons::DropCaptionButtons() noexcept
{
    FForm.SetHotObject(nullptr);
    FForm.Frame().ResetCache();
    if (FForm.RunningCalls() > 0)
        std::move(FButtons.begin(), FButtons.end(), std::back_inserter(FDropped));
    FButtons.clear();
}

void TCaptionButtons::LoadCaptionButtons()
{
    DropCaptionButtons();
    for (const auto& element : FForm.SkinData()->SkinSysButtons()) {
        FButtons.push_back(std::make_unique<TWinSysButton>(&FForm, element.get()));
        if (ShowsIcon(*element)) {
            // The system-menu button shows the window's icon.
            if (element->Bitmap->Empty())
                element->Bitmap->Assign(FForm.Frame().IconBitmap());
            if (FForm.SkinData()->SharedIcon()->Empty())
                FForm.SkinData()->SharedIcon()->Assign(FForm.Frame().IconBitmap());
            element->FrameCount = 1;
        }
    }
}

bool TCaptionButtons::PointsInto(const TSkinContent& Content) const
{
    auto into = [&](const std::vector<std::unique_ptr<TWinSysButton>>& Buttons) {
        return std::any_of(Buttons.begin(), Buttons.end(), [&](const std::unique_ptr<TWinSysButton>& Button) {
            return std::any_of(Content.SysButtons.begin(), Content.SysButtons.end(),
                               [&](const auto& Element) { return Element.get() == Button->Element; });
        });
    };
    return into(FButtons) || into(FDropped);
}

bool TCaptionButtons::IsButtonVisible(size_t Index)
{
    if (Index >= FButtons.size())
        return false;
    TWinSysButton& button = *FButtons[Index];
    const TDataSkinSysButton& e = *button.Element;
    const bool max = FForm.ShowState() == shMaximized;
    const bool act = FForm.Active();
    const bool sys = (FForm.CaptionIcons() & ciSystemMenu) != 0;
    const bool maxb = (FForm.CaptionIcons() & ciMaximize) != 0;
    const bool minb = (FForm.CaptionIcons() & ciMinimize) != 0;
    // Visibility decides with First; Visibility1 gets what Visibility decided (A).
    auto rule = [&](int Value, bool First, bool A) {
        if (Value >= cvAlwaysFrom && Value <= cvAlwaysTo)
            return true;
        switch (Value) {
        case cvDefault:
            return First ? FForm.FrameKind() != fkThin && (e.Action != cbClose || sys) : true;
        case cvMaximized:
            return max;
        case cvNotMaximized:
            return !max;
        case cvActive:
            return act;
        case cvInactive:
            return !act;
        case cvMaximizeBox:
            return First ? maxb && sys : maxb;
        case cvNoMaximizeBox:
            return !maxb;
        case cvMinimizeBox:
            return First ? minb && sys : minb;
        case cvNoMinimizeBox:
            return !minb;
        case cvMdiMenuBar:
            return First ? FForm.IsMDIChildMaximized() && FForm.Frame().MenuHeight() > 0 : A;
        default: // cvNever, 10, 11 and anything else
            return false;
        }
    };
    const bool a = rule(e.Visibility, true, false);
    bool visible = a && rule(e.Visibility1, false, a);
    if ((e.Action == cbMaximize && !maxb) || (e.Action == cbMinimize && !minb))
        visible = false;
    button.Visible = visible;
    return visible;
}

void TCaptionButtons::LayoutCaptionButtons()
{
    const TFramePainter& frame = FForm.Frame();
    FRightButtonsLeft = 0;
    for (size_t i = 0; i < FButtons.size(); ++i) {
        TWinSysButton& button = *FButtons[i];
        const TDataSkinSysButton& e = *button.Element;
        if (!IsButtonVisible(i) || e.Bitmap->Empty())
            continue;
        const int w = e.Bitmap->Width() / FramesOf(e);
        const int h = e.Bitmap->Height();
        RECT r{0, 0, w, h};
        switch (e.Align) {
        case baLeftEdge:
            OffsetRect(&r, e.Xcoord, e.Ycoord);
            break;
        case baRightEdge:
            OffsetRect(&r, frame.FrameWidth() - e.Xcoord, e.Ycoord);
            FRightButtonsLeft = FRightButtonsLeft == 0 ? static_cast<int>(r.left)
                                                       : std::min(FRightButtonsLeft, static_cast<int>(r.left));
            break;
        case baBeforeText:
        case baBeforeTextAlt:
            OffsetRect(&r, frame.TextRect().left - w - e.Xcoord, e.Ycoord);
            break;
        case baAfterText:
        case baAfterTextAlt:
            OffsetRect(&r, frame.TextRect().right + e.Xcoord, e.Ycoord);
            break;
        case baMenuBar: {
            const TDataSkinObject* bar = FForm.SkinData()->SkinMenuBar();
            const int inset = bar != nullptr ? bar->LeftWidth : 0;
            OffsetRect(&r, frame.FrameWidth() - e.Xcoord - frame.BorderRight() - inset,
                       (frame.MenuHeight() - h) / 2 + frame.BorderTop());
            break;
        }
        default:
            break;
        }
        button.BoundsRect = r;
    }
}

void TCaptionButtons::PaintCaptionButtons(TCanvas& Canvas)
{
    HDC dc = Canvas.Handle();
    Canvas.Changing();
    for (const auto& button : FButtons) {
        const TDataSkinSysButton& e = *button->Element;
        if (!button->Visible || e.Bitmap->Empty() || e.Visibility == cvMdiMenuBar)
            continue;
        const int frames = FramesOf(e);
        const int frame = frames < btInactive || FForm.Active() ? btNormal : btInactive;
        TBitmap* strip = ShowsIcon(e) ? FForm.Frame().IconBitmap() : e.Bitmap.get();
        DrawStretchFrame(dc, button->BoundsRect, strip, frame, ShowsIcon(e) ? 1 : frames, true);
    }
    Canvas.Changed();
}

void TCaptionButtons::DrawSysButton(TWinSysButton& Button, TButtonState State)
{
    const TDataSkinSysButton& e = *Button.Element;
    TWindowDC window(FForm.Handle());
    HDC dc = window.get();
    if (dc == nullptr)
        return;
    if (ShowsIcon(e)) {
        DrawStretchFrame(dc, Button.BoundsRect, FForm.Frame().IconBitmap(), 1, 1, true);
    } else if (!e.Bitmap->Empty()) {
        const int frames = FramesOf(e);
        int frame = State == btHot && e.Visibility == cvMdiMenuBar ? btInactive : State;
        // A strip without that state's frame shows its first one rather than nothing.
        if (frame > frames)
            frame = btNormal;
        DrawStretchFrame(dc, Button.BoundsRect, e.Bitmap.get(), frame, frames, true);
    }
}

TWinSysButton* TCaptionButtons::ButtonAt(POINT Point) const
{
    for (const auto& button : FButtons)
        if (button->Visible && button->Element->Action >= 0 && PtInRect(&button->BoundsRect, Point))
            return button.get();
    return nullptr;
}

// ---- what the buttons do

void TCaptionButtons::DoButtonAction(int X, int Y)
{
    auto* button = dynamic_cast<TWinSysButton*>(FForm.HotObject());
    if (button == nullptr)
        return;
    const int action = button->Element->Action;
    switch (action) {
    case cbClose:
        if (FForm.HoverTimer())
            FForm.HoverTimer()->SetEnabled(false);
        PostMessageA(FForm.Handle(), WM_CLOSE, 0, 0);
        break;
    case cbMaximize:
    case cbMaximizeAlt:
        ToggleMaximize();
        break;
    case cbMinimize:
    case cbMinimizeAlt:
        ToggleMinimize();
        break;
    case cbSystemMenu:
    case cbSystemIcon:
    case cbSystemMenuOnly:
        ShowSystemMenu(POINT{X + 1, Y + 1});
        break;
    case cbMdiMinimize:
    case cbMdiMinimizeAlt:
        SendToMDIChild(SC_MINIMIZE);
        break;
    case cbMdiRestore:
    case cbMdiRestoreAlt:
        SendToMDIChild(SC_RESTORE);
        break;
    case cbMdiClose:
    case cbMdiCloseAlt:
        SendToMDIChild(SC_CLOSE);
        break;
    default:
        // An action of the application's own: a message filter of the program can see it.
        PostMessageA(FForm.Handle(), SKM_QUERY, static_cast<WPARAM>(action), 0);
        break;
    }
}

void TCaptionButtons::ToggleMaximize()
{
    if (FForm.ShowState() == shMaximized) {
        RestoreWindow();
        return;
    }
    FForm.SetShowState(shMaximized);
    PostMessageA(FForm.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    FForm.SetHotObject(nullptr);
}

void TCaptionButtons::RestoreWindow()
{
    FForm.SetShowState(shNormal);
    PostMessageA(FForm.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TCaptionButtons::ToggleMinimize()
{
    if (FForm.IsMinimized()) {
        RestoreWindow();
        return;
    }
    FForm.SetShowState(shMinimized);
    PostMessageA(FForm.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TCaptionButtons::SendToMDIChild(WPARAM Command)
{
    if (FForm.MDIKind() != mkParent || FForm.MDIClient() == nullptr)
        return;
    const auto child = reinterpret_cast<HWND>(SendMessageA(FForm.MDIClient(), WM_MDIGETACTIVE, 0, 0));
    if (child == nullptr)
        return;
    SendMessageA(child, WM_SYSCOMMAND, Command, 0);
    FForm.MdiChildLeftMaximized();
}

void TCaptionButtons::ShowSystemMenu(POINT Point)
{
    const DWORD now = GetTickCount();
    if (now - FLastSysMenuTime > FDoubleClickTime) {
        FLastSysMenuTime = now;
        TrackSystemMenu(Point);
        return;
    }
    // A second click within the double-click time closes the window.
    if (FForm.HoverTimer())
        FForm.HoverTimer()->SetEnabled(false);
    PostMessageA(FForm.Handle(), WM_CLOSE, 0, 0);
}

void TCaptionButtons::TrackSystemMenu(POINT Point)
{
    // Its commands come back as WM_COMMAND, which the frame procedure turns into WM_SYSCOMMAND.
    if (FSysMenu == nullptr)
        return;
    // Its items are drawn from the skin while it is open.
    TSkinnedPopupItems items(FForm, FSysMenu);
    TrackPopupMenu(FSysMenu, TPM_RIGHTBUTTON, Point.x, Point.y, 0, FForm.Handle(), nullptr);
}

