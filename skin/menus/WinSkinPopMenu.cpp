#include "skin/menus/WinSkinPopMenu.h"

#include "framework/win/Callback.h"
#include "framework/graphics/Bitmap.h"
#include "framework/win/Handles.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr UINT SkinQueryMessage = 0x3504; // a skinned window answers 1

// Every popup object alive on this thread, and the one waiting to learn its menu.
std::vector<TWinSkinPopMenu*>& Popups()
{
    static thread_local std::vector<TWinSkinPopMenu*>* popups = nullptr; // made once a thread, kept
    if (popups == nullptr)
        popups = new std::vector<TWinSkinPopMenu*>();
    return *popups;
}
thread_local TWinSkinPopMenu* GCurrentPopup = nullptr;

// The last background composed, for whichever popup of that size comes next: each thread's own,
// freed by FreePopupBackground on that thread. (Plain pointers to each thread's objects: the
// runtime's destructors at a thread's end must not free bitmaps.)
struct TLast {
    uint64_t Strip = 0;
    int W = 0, H = 0;
    std::shared_ptr<TBitmap> Image;
};
thread_local TLast* GLast = nullptr;

} // namespace

void FreePopupBackground() noexcept
{
    delete std::exchange(GLast, nullptr);
}

TWinSkinPopMenu* CurrentPopup()
{
    return GCurrentPopup;
}

void NoteDrawnMenu(HMENU Menu)
{
    if (GCurrentPopup != nullptr && Menu != nullptr) {
        GCurrentPopup->SetMenuHandle(Menu);
        GCurrentPopup = nullptr;
    }
}

TWinSkinPopMenu* FindPopupOf(HMENU Menu)
{
    if (Menu == nullptr)
        return nullptr;
    for (TWinSkinPopMenu* popup : Popups())
        if (popup->MenuHandle() == Menu && popup->Attached())
            return popup;
    return nullptr;
}

TWinSkinPopMenu::TWinSkinPopMenu() : FBackground(std::make_shared<TBitmap>())
{
    Popups().push_back(this);
}

TWinSkinPopMenu::~TWinSkinPopMenu()
{
    Restore();
    auto& popups = Popups();
    popups.erase(std::remove(popups.begin(), popups.end(), this), popups.end());
    if (GCurrentPopup == this)
        GCurrentPopup = nullptr;
}

void TWinSkinPopMenu::Attach(HWND Window, TSkinData* Data)
{
    FHandle = Window;
    FSkinData = Data;
    FMenu = nullptr;
    FProc.Install(Window, BindMethod<&TWinSkinPopMenu::PopupWndProc>(this));
}

void TWinSkinPopMenu::Restore() noexcept
{
    if (!FProc.Installed())
        return;
    FProc.Restore();
    FBackground = std::make_shared<TBitmap>();
    if (GCurrentPopup == this)
        GCurrentPopup = nullptr;
}

bool TWinSkinPopMenu::CanPaint() const
{
    if (FSkinData == nullptr || FSkinData->SkinLoading())
        return false;
    const TDataSkinObject* element = FSkinData->SkinMenuBackground();
    return element != nullptr && !element->Bitmap->Empty();
}

bool TWinSkinPopMenu::ComposeBackground()
{
    RECT window{};
    if (!GetWindowRect(FHandle, &window))
        return false;
    const TDataSkinObject& element = *FSkinData->SkinMenuBackground();
    const int w = window.right - window.left, h = window.bottom - window.top;
    if (GLast == nullptr)
        GLast = new TLast();
    TLast& last = *GLast;
    if (last.Strip != element.Bitmap->Serial() || last.W != w || last.H != h || !last.Image) {
        const TMargins margins{element.LeftWidth, element.TopHeight, element.RightWidth, element.BottomHeight};
        std::unique_ptr<TBitmap> composed =
            BuildFrameBitmap(RECT{0, 0, w, h}, element.Bitmap.get(), margins, 1, 1, element.Tile != 0, false);
        if (!composed)
            return false;
        last = TLast{element.Bitmap->Serial(), w, h, std::shared_ptr<TBitmap>(std::move(composed))};
    }
    FBackground = last.Image;
    POINT origin{0, 0};
    ClientToScreen(FHandle, &origin);
    FClientOrigin = POINT{origin.x - window.left, origin.y - window.top};
    if (FMenu == nullptr)
        GCurrentPopup = this;
    return true;
}

void TWinSkinPopMenu::PaintBand(HDC DC) const
{
    const int w = FBackground->Width(), h = FBackground->Height(), b = BorderBand;
    HDC source = FBackground->Canvas()->Handle();
    BitBlt(DC, 0, 0, w, b, source, 0, 0, SRCCOPY);
    BitBlt(DC, 0, h - b, w, b, source, 0, h - b, SRCCOPY);
    BitBlt(DC, 0, b, b, h - 2 * b, source, 0, b, SRCCOPY);
    BitBlt(DC, w - b, b, b, h - 2 * b, source, w - b, b, SRCCOPY);
}

void TWinSkinPopMenu::PopupWndProc(TMessage& Message)
{
    TCallScope call(*this);
    // The menu window's own procedure is the system's; what is thrown here is the skin's failure:
    // the popup gets its own look back and the message as if there were no skin.
    try {
        SkinnedPopupMessage(Message);
    } catch (...) {
        HandleCallbackException();
        if (!FProc.Installed())
            return;
        // A paint has been passed on first; the others fail before they are.
        if (Message.Msg != WM_PAINT)
            CallGuarded([&] { FProc.CallOld(Message); });
        Restore();
        if (IsWindow(FHandle))
            RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
}

void TWinSkinPopMenu::SkinnedPopupMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case SkinQueryMessage:
        Message.Result = 1;
        return;
    case WM_DESTROY:
        Restore();
        break;
    case WM_NCPAINT:
        PaintPopupBorder(Message);
        return;
    case WM_PRINT:
        PrintPopup(Message);
        return;
    case WM_PAINT: {
        FProc.CallOld(Message);
        // A popup without a frame draws its border itself, inside the client area: the skin's
        // band goes over it.
        RECT window{}, client{};
        if (!Retired() && FProc.Installed() && CanPaint() && GetWindowRect(FHandle, &window) &&
            GetClientRect(FHandle, &client) &&
            client.right == window.right - window.left && client.bottom == window.bottom - window.top &&
            ComposeBackground()) {
            if (TWindowDC dc(FHandle); dc)
                PaintBand(dc.get());
        }
        return;
    }
    default:
        break;
    }
    FProc.CallOld(Message);
}

void TWinSkinPopMenu::PaintPopupBorder(TMessage& Message)
{
    if (!CanPaint() || !ComposeBackground()) {
        FProc.CallOld(Message);
        return;
    }
    if (TWindowDC dc(FHandle); dc)
        PaintBand(dc.get());
    Message.Result = 0;
}

void TWinSkinPopMenu::PrintPopup(TMessage& Message)
{
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc == nullptr || !CanPaint() || !ComposeBackground()) {
        FProc.CallOld(Message);
        return;
    }
    const int w = FBackground->Width(), h = FBackground->Height(), b = BorderBand;
    BitBlt(dc, 0, 0, w, h, FBackground->Canvas()->Handle(), 0, 0, SRCCOPY);
    // The menu prints its items inside the band, over the skin's background.
    const int mode = SetBkMode(dc, TRANSPARENT);
    TRegionHandle clip(CreateRectRgn(b, b, w - b, h - b));
    SelectClipRgn(dc, clip.get());
    FProc.CallOld(Message);
    SelectClipRgn(dc, nullptr);
    SetBkMode(dc, mode);
}
