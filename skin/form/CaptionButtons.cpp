#include "skin/form/CaptionButtons.h"

#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"
#include "skin/form/SkinMessages.h"

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

void TWinSysButton::Paint(HDC WindowDC)
{
    Owner->DrawSysButton(WindowDC, *this, State);
}

// ---- the caption buttons of a window

TCaptionButtons::TCaptionButtons() : FDoubleClickTime(GetDoubleClickTime()) {}

void TCaptionButtons::DropCaptionButtons(bool KeepDropped) noexcept
{
    if (KeepDropped)
        std::move(FButtons.begin(), FButtons.end(), std::back_inserter(FDropped));
    FButtons.clear();
}

void TCaptionButtons::LoadCaptionButtons(TSkinData& Skin, TBitmap* Icon)
{
    FIcon = Icon;
    for (const auto& element : Skin.SkinSysButtons()) {
        FButtons.push_back(std::make_unique<TWinSysButton>(this, element.get()));
        if (ShowsIcon(*element)) {
            // The system-menu button shows the window's icon.
            if (element->Bitmap->Empty())
                element->Bitmap->Assign(Icon);
            if (Skin.SharedIcon()->Empty())
                Skin.SharedIcon()->Assign(Icon);
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

bool TCaptionButtons::IsButtonVisible(size_t Index, const TFrameState& State)
{
    if (Index >= FButtons.size())
        return false;
    TWinSysButton& button = *FButtons[Index];
    const TDataSkinSysButton& e = *button.Element;
    const bool max = State.ShowState == shMaximized;
    const bool act = State.Active;
    const bool sys = (State.CaptionIcons & ciSystemMenu) != 0;
    const bool maxb = (State.CaptionIcons & ciMaximize) != 0;
    const bool minb = (State.CaptionIcons & ciMinimize) != 0;
    // Visibility decides with First; Visibility1 gets what Visibility decided (A).
    auto rule = [&](int Value, bool First, bool A) {
        if (Value >= cvAlwaysFrom && Value <= cvAlwaysTo)
            return true;
        switch (Value) {
        case cvDefault:
            return First ? State.FrameKind != fkThin && (e.Action != cbClose || sys) : true;
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
            return First ? State.MdiChildMaximized && State.MenuHeight > 0 : A;
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

int TCaptionButtons::PlaceButtons(const TFrameState& State, const TFrameLayout& Layout)
{
    FRightButtonsLeft = 0;
    for (size_t i = 0; i < FButtons.size(); ++i) {
        TWinSysButton& button = *FButtons[i];
        const TDataSkinSysButton& e = *button.Element;
        if (!IsButtonVisible(i, State) || e.Bitmap->Empty())
            continue;
        const int w = e.Bitmap->Width() / FramesOf(e);
        const int h = e.Bitmap->Height();
        RECT r{0, 0, w, h};
        switch (e.Align) {
        case baLeftEdge:
            OffsetRect(&r, e.Xcoord, e.Ycoord);
            break;
        case baRightEdge:
            OffsetRect(&r, Layout.Width - e.Xcoord, e.Ycoord);
            FRightButtonsLeft = FRightButtonsLeft == 0 ? static_cast<int>(r.left)
                                                       : std::min(FRightButtonsLeft, static_cast<int>(r.left));
            break;
        case baBeforeText:
        case baBeforeTextAlt:
            OffsetRect(&r, Layout.TextRect.left - w - e.Xcoord, e.Ycoord);
            break;
        case baAfterText:
        case baAfterTextAlt:
            OffsetRect(&r, Layout.TextRect.right + e.Xcoord, e.Ycoord);
            break;
        case baMenuBar: {
            const TDataSkinObject* bar = State.Skin != nullptr ? State.Skin->SkinMenuBar() : nullptr;
            const int inset = bar != nullptr ? bar->LeftWidth : 0;
            OffsetRect(&r, Layout.Width - e.Xcoord - Layout.BorderRight - inset,
                       (Layout.MenuHeight - h) / 2 + Layout.BorderTop);
            break;
        }
        default:
            break;
        }
        button.BoundsRect = r;
    }
    return FRightButtonsLeft;
}

void TCaptionButtons::PaintButtons(TCanvas& Canvas, const TFrameState& State, TBitmap* Icon)
{
    HDC dc = Canvas.Handle();
    Canvas.Changing();
    for (const auto& button : FButtons) {
        const TDataSkinSysButton& e = *button->Element;
        if (!button->Visible || e.Bitmap->Empty() || e.Visibility == cvMdiMenuBar)
            continue;
        const int frames = FramesOf(e);
        const int frame = frames < btInactive || State.Active ? btNormal : btInactive;
        TBitmap* strip = ShowsIcon(e) ? Icon : e.Bitmap.get();
        DrawStretchFrame(dc, button->BoundsRect, strip, frame, ShowsIcon(e) ? 1 : frames, true);
    }
    Canvas.Changed();
}

void TCaptionButtons::DrawSysButton(HDC WindowDC, const TWinSysButton& Button, TButtonState State) const
{
    const TDataSkinSysButton& e = *Button.Element;
    HDC dc = WindowDC;
    if (ShowsIcon(e)) {
        if (FIcon != nullptr)
            DrawStretchFrame(dc, Button.BoundsRect, FIcon, 1, 1, true);
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

TFrameClick TCaptionButtons::ButtonCommand(const TWinSysButton& Button, POINT Point, const TFrameState& State)
{
    const int action = Button.Element->Action;
    switch (action) {
    case cbClose:
        return TFrameClick{fcClose};
    case cbMaximize:
    case cbMaximizeAlt:
        return TFrameClick{State.ShowState == shMaximized ? fcRestore : fcMaximize};
    case cbMinimize:
    case cbMinimizeAlt:
        return TFrameClick{State.ShowState == shMinimized ? fcRestore : fcMinimize};
    case cbSystemMenu:
    case cbSystemIcon:
    case cbSystemMenuOnly:
        return SystemMenuCommand(POINT{Point.x + 1, Point.y + 1});
    case cbMdiMinimize:
    case cbMdiMinimizeAlt:
        return TFrameClick{fcMdiMinimize};
    case cbMdiRestore:
    case cbMdiRestoreAlt:
        return TFrameClick{fcMdiRestore};
    case cbMdiClose:
    case cbMdiCloseAlt:
        return TFrameClick{fcMdiClose};
    default:
        // An action of the application's own: a message filter of the program can see it.
        return TFrameClick{fcCustom, POINT{0, 0}, action};
    }
}

TFrameClick TCaptionButtons::SystemMenuCommand(POINT Point)
{
    const DWORD now = GetTickCount();
    if (now - FLastSysMenuTime > FDoubleClickTime) {
        FLastSysMenuTime = now;
        return TFrameClick{fcSystemMenu, Point};
    }
    // A second click within the double-click time closes the window.
    return TFrameClick{fcClose};
}
