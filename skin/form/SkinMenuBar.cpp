#include "skin/form/SkinMenuBar.h"

#include "framework/controls/Forms.h"
#include "framework/graphics/Bitmap.h"
#include "framework/menus/Menus.h"
#include "framework/win/Handles.h"
#include "skin/controls/WinSubClass.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"
#include "skin/form/CaptionButtons.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// The longest caption a button takes from the native menu.
constexpr int CaptionLength = 80;

// The top-level item of Menu whose command is Command (the last one when several are).
TMenuItem* ItemByCommand(TMainMenu& Menu, UINT Command)
{
    TMenuItem* found = nullptr;
    TMenuItem* items = Menu.Items();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->Command() == Command)
            found = items->Items(i);
    return found;
}

} // namespace

void TMenuBtn::Paint(HDC WindowDC)
{
    TWinSkinMenu* bar = Bar;
    if (bar == nullptr || bar->BarBitmap()->Empty())
        return;
    const RECT& barRect = bar->BarRect();
    const RECT target{BoundsRect.left, barRect.top, BoundsRect.right, barRect.bottom};
    // The background as the bar painted it, then the frame of the hot or pressed look.
    BitBlt(WindowDC, target.left, target.top, target.right - target.left, target.bottom - target.top,
           bar->BarBitmap()->Canvas()->Handle(), target.left - barRect.left, 0, SRCCOPY);
    TCanvas canvas;
    canvas.SetHandle(WindowDC);
    const TSkinColours& colours = SkinData->Colours();
    if (State == btPressed || State == btHot) {
        canvas.Brush()->SetColor(colours.ButtonHilight);
        canvas.FrameRect(BoundsRect);
    }
    canvas.Font()->Assign(Screen()->MenuFont());
    canvas.Font()->SetColor(Enabled ? colours.MenuBarText : colours.ButtonShadow);
    DrawCenteredText(canvas, BoundsRect, Caption, 2, Enabled);
    canvas.SetHandle(nullptr);
}

TWinSkinMenu::TWinSkinMenu(TComponent* AOwner, HWND Window, TSkinData* Data)
    : TComponent(AOwner), FWindow(Window), FSkinData(Data), FBarBitmap(std::make_unique<TBitmap>())
{
    FBarBitmap->SetPixelFormat(pf32bit);
}

TWinSkinMenu::~TWinSkinMenu()
{
    if (FMainMenu != nullptr)
        FMainMenu->RemoveFreeNotification(this);
}

void TWinSkinMenu::SetMainMenu(TMainMenu* Value)
{
    if (Value == FMainMenu)
        return;
    if (FMainMenu != nullptr)
        FMainMenu->RemoveFreeNotification(this);
    FMainMenu = Value;
    if (FMainMenu != nullptr)
        FMainMenu->FreeNotification(this);
}

void TWinSkinMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMainMenu)
        FMainMenu = nullptr;
}

TMenuBtn* TWinSkinMenu::Button(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FButtons.size()) ? FButtons[static_cast<size_t>(Index)].get()
                                                                     : nullptr;
}

void TWinSkinMenu::BuildButtons()
{
    if (HMENU menu = GetMenu(FWindow); menu != nullptr)
        FMenuHandle = menu;
    if (FMenuHandle == nullptr)
        return;
    Build(FMenuHandle, false);
}

void TWinSkinMenu::RebuildButtons(HMENU Menu)
{
    if (Menu == nullptr) {
        BuildButtons();
        return;
    }
    FMenuHandle = Menu;
    Build(Menu, true);
}

void TWinSkinMenu::Build(HMENU Menu, bool ByCommand)
{
    FButtons.clear();
    const int count = GetMenuItemCount(Menu);
    for (int i = 0; i < count; ++i) {
        char text[CaptionLength + 1]{};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
        info.dwTypeData = text;
        info.cch = CaptionLength;
        if (!GetMenuItemInfoA(Menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        auto button = std::make_unique<TMenuBtn>(this, FSkinData);
        button->Index = i;
        button->SubMenu = info.hSubMenu;
        button->Enabled = (info.fState & (MFS_GRAYED | MFS_DISABLED)) == 0;
        button->Visible = true;
        button->CommandId = info.wID;
        // An owner-drawn item has no text: the framework's item says what it shows.
        if ((info.fType & MFT_OWNERDRAW) == 0)
            button->Caption.assign(text, strnlen(text, CaptionLength));
        TMenuItem* item = nullptr;
        if (button->Caption.empty() && FMainMenu != nullptr) {
            if (ByCommand)
                item = ItemByCommand(*FMainMenu, info.wID);
            else if (FMainMenu->Items()->Count() > i)
                item = FMainMenu->Items()->Items(i);
        }
        if (item != nullptr) {
            if (item->Action() != nullptr)
                item->UpdateFromAction();
            button->Caption = item->Caption();
            button->Enabled = item->Enabled();
            button->CommandId = ByCommand ? item->Command() : GetMenuItemID(Menu, i);
            button->SubMenu = item->Count() > 0 ? item->Handle() : nullptr;
        }
        FButtons.push_back(std::move(button));
    }
    // The skin draws the bar now (an empty one too): the window has no native one.
    if (FWindow != nullptr && GetMenu(FWindow) != nullptr)
        SetMenu(FWindow, nullptr);
}

void TWinSkinMenu::PaintBar(HDC DC, const RECT& R, const TFrameState& State, const TCaptionButtons& Buttons)
{
    const int w = R.right - R.left, h = R.bottom - R.top;
    TBitmap* shared = SharedPaintBitmap();
    if (w <= 0 || h <= 0 || shared == nullptr || FSkinData == nullptr)
        return;
    shared->SetSize(w, h);
    TBitmapCanvas& canvas = *shared->Canvas();
    const TSkinColours& colours = FSkinData->Colours();
    const TDataSkinObject* element = FSkinData->SkinMenuBar();
    int x = FSkinData->Px(6);
    if (element != nullptr && !element->Bitmap->Empty()) {
        const int frame = State.Active ? 1 : 2;
        const TMargins margins{element->LeftWidth, 0, element->RightWidth, 0};
        const RECT all{0, 0, w, h};
        if (element->Tile == 1)
            DrawFrameImage(canvas.Handle(), all, element->Bitmap.get(), margins, frame, 2, false, false, true);
        else
            DrawTiledFrame(canvas, all, element->Bitmap.get(), margins, frame, 2, false, true);
        const int inset = element->LeftWidth + FSkinData->Px(4);
        x = w > inset ? inset : FSkinData->Px(12);
    } else {
        canvas.Brush()->SetColor(colours.Menubar);
        canvas.Brush()->SetStyle(bsSolid);
        canvas.FillRect(RECT{0, 0, w, h});
    }
    FBarRect = R;
    FBarBitmap->SetSize(w, h);
    BitBlt(FBarBitmap->Canvas()->Handle(), 0, 0, w, h, canvas.Handle(), 0, 0, SRCCOPY);

    canvas.Font()->Assign(Screen()->MenuFont());
    canvas.Brush()->SetStyle(bsClear);
    for (const auto& button : FButtons) {
        canvas.Font()->SetColor(colours.MenuBarText);
        const int t = canvas.TextWidth(button->Caption);
        const int b = t > 0 ? t + FSkinData->Px(10) : t;
        const RECT local{x, 0, x + b, h - 1};
        canvas.Font()->SetColor(button->Enabled ? colours.MenuBarText : colours.ButtonShadow);
        DrawCenteredText(canvas, local, button->Caption, 2, button->Enabled);
        button->BoundsRect = RECT{R.left + x, R.top, R.left + x + b, R.bottom - 1};
        x += b;
    }
    // A maximised MDI child's minimise, restore and close buttons sit in the frame's bar.
    if (State.MDIKind == mkParent && State.MdiChildMaximized) {
        for (const auto& button : Buttons.Items()) {
            const TDataSkinSysButton& e = *button->Element;
            if (e.Visibility != cvMdiMenuBar || e.Bitmap->Empty())
                continue;
            RECT at = button->BoundsRect;
            OffsetRect(&at, -R.left, -R.top);
            DrawStretchFrame(canvas.Handle(), at, e.Bitmap.get(), 1, std::max(1, e.FrameCount), true);
        }
    }
    BitBlt(DC, R.left, R.top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
}

TMenuBtn* TWinSkinMenu::ButtonAtPoint(POINT Point) const
{
    for (const auto& button : FButtons)
        if (!button->Caption.empty() && PtInRect(&button->BoundsRect, Point))
            return button.get();
    return nullptr;
}

TMenuBtn* TWinSkinMenu::FindAccelButton(char Key) const
{
    const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(Key)));
    for (const auto& button : FButtons)
        if (button->Enabled && key != 0 && GetHotkey(button->Caption) == key)
            return button.get();
    return nullptr;
}

POINT TWinSkinMenu::ScreenToBar(POINT Screen) const
{
    RECT window{};
    GetWindowRect(FWindow, &window);
    return POINT{Screen.x - window.left, Screen.y - window.top};
}

void TWinSkinMenu::PostButtonClick(const TMenuBtn& Button) const
{
    RECT window{};
    GetWindowRect(FWindow, &window);
    const int x = window.left + Button.BoundsRect.left + 1, y = window.top + Button.BoundsRect.top + 1;
    PostMessageA(FWindow, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(x, y));
}

bool TWinSkinMenu::DialogChar(WPARAM CharCode) const
{
    if (CharCode > 0xFF)
        return false;
    const bool altOnly = GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    TMenuBtn* button = FindAccelButton(static_cast<char>(CharCode));
    if (button == nullptr || !altOnly)
        return false;
    PostButtonClick(*button);
    return true;
}

bool TWinSkinMenu::KeyCommand(LPARAM Key) const
{
    if (FTracking.Active() || GetCapture() != nullptr || Key == ' ' || Key == '-')
        return false;
    if (Key == 0) {
        // Alt or F10 alone: the window has no native bar to enter, so the skinned bar opens its
        // first menu, from which the arrows go on as in the platform's menu mode.
        for (const auto& first : FButtons)
            if (first->Enabled) {
                PostButtonClick(*first);
                break;
            }
        return true;
    }
    TMenuBtn* button = Key > 0 && Key <= 0xFF ? FindAccelButton(static_cast<char>(Key)) : nullptr;
    if (button == nullptr)
        return false;
    PostButtonClick(*button);
    return true;
}
