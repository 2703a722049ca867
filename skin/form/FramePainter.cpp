#include "skin/form/FramePainter.h"

#include "framework/graphics/Icon.h"
#include "framework/win/WindowInfo.h"
#include "skin/data/SkinDescription.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"

#include <algorithm>

namespace {

// A border element's frames: a count of 0 or less (a bad skin) is taken as one frame.
int FramesOf(const TDataSkinObject& Element)
{
    return std::max(1, Element.FrameCount);
}

// A 32-bit bitmap of W x H, or nullptr when the size is empty.
std::unique_ptr<TBitmap> Scratch(int W, int H)
{
    if (W <= 0 || H <= 0)
        return nullptr;
    return std::make_unique<TBitmap>(W, H, pf32bit);
}

// The region of Piece's non-key pixels at (X, Y); nullptr for an empty piece.
HRGN PieceRegion(TBitmap* Piece, int X, int Y)
{
    if (Piece == nullptr)
        return nullptr;
    return BuildBitmapRegion(Piece, X, Y, SkinKeyColour, 1, 1, 1);
}

// A OR B into A (either may be empty); B is deleted.
void Unite(TRegionHandle& A, HRGN B)
{
    if (B == nullptr)
        return;
    TRegionHandle b(B);
    if (!A) {
        A = std::move(b);
        return;
    }
    CombineRgn(A.get(), A.get(), b.get(), RGN_OR);
}

} // namespace

TFramePainter::TFramePainter()
    : FIconBitmap(std::make_unique<TBitmap>()), FCaptionBuffer(std::make_unique<TBitmap>())
{
    FIconBitmap->SetPixelFormat(pf32bit);
    FCaptionBuffer->SetPixelFormat(pf32bit);
}

TDataSkinBorder* TFramePainter::BorderElement(const TSkinData* data, TBorderSide Side)
{
    if (data == nullptr)
        return nullptr;
    switch (Side) {
    case sdLeft:
        return data->SkinBorderLeft();
    case sdRight:
        return data->SkinBorderRight();
    case sdTop:
        return data->SkinBorderTop();
    case sdBottom:
        return data->SkinBorderBottom();
    }
    return nullptr;
}

bool TFramePainter::CanDrawFrame(const TSkinData& Data)
{
    for (const TDataSkinBorder* border :
         {Data.SkinBorderLeft(), Data.SkinBorderRight(), Data.SkinBorderTop(), Data.SkinBorderBottom()})
        if (border == nullptr || !TSkinContent::BorderProblem(*border).empty())
            return false;
    return true;
}

void TFramePainter::ResetCache()
{
    FPieces.clear();
    FTitleKey = TTitleKey{};
}

void TFramePainter::LoadBorderMetrics(const TSkinData& Skin, int FrameKind)
{
    ResetCache();
    if (FrameKind == fkNone) {
        FBorderLeft = FBorderTop = FBorderRight = FBorderBottom = 0;
        FMenuHeight = 0;
        return;
    }
    auto size = [](const TDataSkinBorder* Border, bool Across) {
        if (Border == nullptr || Border->Bitmap->Empty())
            return 0;
        const int frames = FramesOf(*Border);
        return Across ? Border->Bitmap->Width() / frames : Border->Bitmap->Height() / frames;
    };
    const TSkinData& data = Skin;
    FBorderTop = size(data.SkinBorderTop(), false);
    FBorderLeft = size(data.SkinBorderLeft(), true);
    FBorderRight = size(data.SkinBorderRight(), true);
    FBorderBottom = size(data.SkinBorderBottom(), false);
}

void TFramePainter::LoadCaptionFont()
{
    // NONCLIENTMETRICSA as the first Win32 systems knew it (no padded border): 340 bytes.
    constexpr UINT NonClientMetricsSize = 340;
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = NonClientMetricsSize;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NonClientMetricsSize, &metrics, 0))
        FCaptionFont.reset(CreateFontIndirectA(&metrics.lfCaptionFont));
}

void TFramePainter::ReadCaptionText(HWND Window)
{
    FCaptionText = WindowText(Window);
}

void TFramePainter::CaptureIcon(HWND Window, const TSkinData* Skin, TBitmap* Shared)
{
    FTitleKey = TTitleKey{};
    const int w = GetSystemMetrics(SM_CXSMICON);
    const int h = GetSystemMetrics(SM_CYSMICON);
    TBitmap ground(w, h, pf32bit);
    ground.Canvas()->Brush()->SetColor(SkinKeyColour);
    ground.Canvas()->FillRect(RECT{0, 0, w, h});
    FIconBitmap->Assign(&ground);

    auto icon = reinterpret_cast<HICON>(SendMessageA(Window, WM_GETICON, ICON_SMALL, 0));
    if (icon == nullptr)
        icon = reinterpret_cast<HICON>(SendMessageA(Window, WM_GETICON, ICON_BIG, 0));
    if (icon != nullptr) {
        TIconHandle copy(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, w, h, LR_COPYFROMRESOURCE)));
        if (!copy)
            copy.reset(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, w, h, 0)));
        HDC dc = FIconBitmap->Canvas()->Handle();
        FIconBitmap->Canvas()->Changing();
        DrawIconEx(dc, 0, 0, copy ? copy.get() : icon, w, h, 0, nullptr, DI_NORMAL);
        FIconBitmap->Canvas()->Changed();
        return;
    }
    if (Skin == nullptr)
        return;
    if (Skin->SharedIcon()->Empty()) {
        // A window without an icon shows the one another main-form skin has captured.
        if (Shared != nullptr)
            FIconBitmap->Assign(Shared);
    } else {
        FIconBitmap->Assign(Skin->SharedIcon());
    }
}

void TFramePainter::Paint(HDC DC, const TFrameState& State, TTitleButtons& Buttons)
{
    if (State.Skin == nullptr || State.Width <= 0 || State.Height <= 0)
        return;
    FFrameWidth = State.Width;
    FFrameHeight = State.Height;
    const int w = FFrameWidth, h = FFrameHeight;
    DrawBorder(sdLeft, RECT{0, 0, FBorderLeft, h}, DC, State);
    DrawBorder(sdRight, RECT{w - FBorderRight, 0, w, h}, DC, State);
    DrawBorder(sdBottom, RECT{FBorderLeft, h - FBorderBottom, w - FBorderRight, h}, DC, State);
    PaintTitleBar(DC, State, Buttons);
}

TFrameLayout TFramePainter::Layout() const
{
    return TFrameLayout{FFrameWidth, FBorderLeft, FBorderTop, FBorderRight, FMenuHeight, FTextRect};
}

RECT TFramePainter::MenuBarRect() const
{
    if (FMenuHeight <= 0)
        return RECT{0, 0, 0, 0};
    return RECT{FBorderLeft, FBorderTop, FFrameWidth - FBorderRight, FBorderTop + FMenuHeight};
}

void TFramePainter::DrawBorder(TBorderSide Side, const RECT& Rect, HDC DC, const TFrameState& State)
{
    const int w = Rect.right - Rect.left;
    const int h = Rect.bottom - Rect.top;
    TDataSkinBorder* border = BorderElement(State.Skin, Side);
    if (w < 0 || h < 0 || border == nullptr || border->Bitmap->Empty())
        return;
    const int frames = FramesOf(*border);
    const int frame = State.Active || frames == 1 ? 1 : 2;
    // Each piece is composed once per size and state: a paint copies it.
    auto cached = std::find_if(FPieces.begin(), FPieces.end(), [&](const TFramePiece& p) {
        return p.Side == Side && p.Frame == frame && p.Width == w && p.Height == h;
    });
    if (cached == FPieces.end()) {
        std::unique_ptr<TBitmap> image = BuildFrameBitmap(Rect, border->Bitmap.get(), MarginsOf(*border), frame,
                                                          frames, border->Tile != 1, Side == sdTop || Side == sdBottom);
        if (!image || image->Empty())
            return;
        // Two states of four pieces; a piece of an older size makes room.
        if (FPieces.size() >= 8)
            FPieces.erase(FPieces.begin());
        FPieces.push_back(TFramePiece{Side, frame, w, h, std::move(image)});
        cached = FPieces.end() - 1;
    }
    BitBlt(DC, Rect.left, Rect.top, w, h, cached->Image->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TFramePainter::PaintTitleBar(HDC DC, const TFrameState& State, TTitleButtons& Buttons)
{
    if (FFrameWidth <= 0 || FBorderTop <= 0) {
        SetBkMode(DC, OPAQUE);
        return;
    }
    // The title bar is composed again only when what it shows changed.
    const TTitleKey key{FFrameWidth, FBorderTop, State.Active, State.ShowState, State.Caption};
    if (FTitleKey == key && FCaptionBuffer->Width() == FFrameWidth && FCaptionBuffer->Height() == FBorderTop) {
        BitBlt(DC, 0, 0, FFrameWidth, FBorderTop, FCaptionBuffer->Canvas()->Handle(), 0, 0, SRCCOPY);
        SetBkMode(DC, OPAQUE);
        return;
    }
    FTitleKey = TTitleKey{};
    FCaptionBuffer->SetSize(FFrameWidth, FBorderTop);
    TBitmapCanvas& canvas = *FCaptionBuffer->Canvas();
    HDC buffer = canvas.Handle();
    // The side borders' tops are drawn into the buffer too (reading them back from the window
    // would cost more than drawing them).
    DrawBorder(sdLeft, RECT{0, 0, FBorderLeft, FFrameHeight}, buffer, State);
    DrawBorder(sdRight, RECT{FFrameWidth - FBorderRight, 0, FFrameWidth, FFrameHeight}, buffer, State);
    const RECT title{FBorderLeft, 0, FFrameWidth - FBorderRight, FBorderTop};
    DrawBorder(sdTop, title, buffer, State);
    // The text of a popup window's title reaches the right-hand buttons, and buttons beside the
    // text follow it: laid out before and after, so that the first paint is the lasting one.
    const int rightButtons = Buttons.PlaceButtons(State, Layout());
    PaintTitleText(canvas, title, State, rightButtons);
    Buttons.PlaceButtons(State, Layout());
    Buttons.PaintButtons(canvas, State, FIconBitmap.get());
    BitBlt(DC, 0, 0, FFrameWidth, FBorderTop, canvas.Handle(), 0, 0, SRCCOPY);
    FTitleKey = key;
    // Nothing below the title bar is ours: the platform is asked not to paint its own caption
    // (see WM_NCACTIVATE), so the client area keeps what its owner painted.
    SetBkMode(DC, OPAQUE);
}

namespace {

// The room kept between a cut title and the caption buttons after it.
constexpr int TitleButtonGap = 4;

} // namespace

void TFramePainter::PaintTitleText(TCanvas& Canvas, const RECT& R, const TFrameState& State, int RightButtonsLeft)
{
    if (State.Skin == nullptr)
        return;
    const TDataSkinTitle* title = State.Skin->SkinTitle();
    FCaptionSuffix = " ";
    FCaptionText = State.Caption;
    const std::string shown = FCaptionPrefix + FCaptionText + FCaptionSuffix;

    HDC dc = Canvas.Handle();
    TSaveDC state(dc);
    const auto font = [&] {
        if (FCaptionFont)
            SelectObject(dc, FCaptionFont.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(State.Active ? State.Skin->Colours().TitleTextActive
                                                 : State.Skin->Colours().TitleTextNoActive));
    };
    font();
    RECT r = R;
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &r, DT_CALCRECT | DT_NOCLIP);
    const int back = title != nullptr ? title->TXTBackleft + title->TXTBackRight : 0;
    r.right += back;
    const int rw = R.right - R.left, rh = R.bottom - R.top;
    const int tw = r.right - r.left, th = r.bottom - r.top;
    int dx = 0;
    switch (title != nullptr ? title->TextAlignment : 0) {
    case 0:
        dx = title != nullptr ? title->TextShift() : 0;
        break;
    case 1:
        dx = (rw - tw) / 2;
        break;
    case 2:
        dx = rw + (title != nullptr ? title->TextRightClip() : 0) - tw;
        break;
    default:
        break;
    }
    const int dy = (rh - th) / 2 + (title != nullptr ? title->TextShiftVert() : 0) / 2;
    OffsetRect(&r, dx, dy);
    const int clip = title != nullptr ? title->TextRightClip() : 0;
    if ((State.Style & WS_POPUP) != 0) {
        if (RightButtonsLeft - State.Skin->Px(5) > r.right)
            r.right = RightButtonsLeft - State.Skin->Px(5);
    } else {
        // Cut only where the text would reach the caption buttons this window shows at the
        // right (the skin's clip keeps room for every button a window may have); without any,
        // where the skin's clip says.
        const int buttons = RightButtonsLeft;
        const int limit = buttons > 0 ? buttons - State.Skin->Px(TitleButtonGap) : R.right - clip;
        if (limit < r.right) {
            // A title placed at the right or in the middle moves left to end before them, as
            // far as where a title starts; what still does not fit is cut.
            const int start = R.left + (title != nullptr ? title->TextShift() : 0);
            const int move = std::min(static_cast<int>(r.right) - limit, std::max(0, static_cast<int>(r.left) - start));
            OffsetRect(&r, -move, 0);
            if (limit < r.right)
                r.right = limit;
        }
    }
    FTextRect = r;
    if (title != nullptr && !title->Bitmap->Empty()) {
        DrawTiledFrame(Canvas, RECT{r.left, R.top, r.right, R.bottom}, title->Bitmap.get(),
                       TMargins{title->TXTBackleft, 0, title->TXTBackRight, 0}, State.Active ? 1 : 2, 2, true, true);
        font();
    }
    if (title != nullptr) {
        r.left += title->TXTBackleft;
        r.right -= title->TXTBackRight;
    }
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    Canvas.Changed();
}

void TFramePainter::BuildWindowRegion(const TFrameState& State)
{
    // A window without borders keeps whatever region it has (a splash window's ellipse).
    if (!State.Framed())
        return;
    const int w = State.Width, h = State.Height;
    if (w <= 0 || h <= 0)
        return;
    if (w == FRegionSize.cx && h == FRegionSize.cy && !State.MdiChild() && State.SkinState != ssReskinning)
        return;
    auto trans = [&](TBorderSide Side) {
        const TDataSkinBorder* border = BorderElement(State.Skin, Side);
        return border != nullptr && border->Trans == 1;
    };
    if (!trans(sdLeft) && !trans(sdRight) && !trans(sdTop) && !trans(sdBottom)) {
        TRegionHandle plain(CreateRectRgn(0, 0, w, h));
        if (SetWindowRgn(State.Window, plain.get(), TRUE) != 0)
            plain.release();
        FRegionSet = true;
        return;
    }
    FRegionSize = SIZE{w, h};
    const int L = FBorderLeft, T = FBorderTop, R = FBorderRight, B = FBorderBottom;
    TRegionHandle region(CreateRectRgn(L, T, w - R, h - B));
    {
        TRegionHandle left, right, top, bottom;
        if (trans(sdLeft) && h > 1 && L > 0) {
            auto piece = Scratch(L, h);
            DrawBorder(sdLeft, RECT{0, 0, L, h}, piece->Canvas()->Handle(), State);
            left.reset(PieceRegion(piece.get(), 0, 0));
        } else {
            left.reset(CreateRectRgn(0, 0, L, h));
        }
        if (trans(sdRight) && h > 1 && R > 0) {
            auto piece = Scratch(R, h);
            DrawBorder(sdRight, RECT{0, 0, R, h}, piece->Canvas()->Handle(), State);
            right.reset(PieceRegion(piece.get(), w - R, 0));
        } else {
            right.reset(CreateRectRgn(w - R, 0, w, h));
        }
        const int across = w - L - R;
        if (trans(sdBottom)) {
            auto piece = Scratch(across, B);
            if (piece && B >= 2) {
                DrawBorder(sdBottom, RECT{0, 0, across, B}, piece->Canvas()->Handle(), State);
                bottom.reset(PieceRegion(piece.get(), L, h - B));
            } else {
                bottom.reset(CreateRectRgn(L, h - B, w - R, h));
            }
        } else {
            bottom.reset(CreateRectRgn(L, h - B, w - R, h));
        }
        auto piece = trans(sdTop) && T > 1 ? Scratch(across, T) : nullptr;
        if (piece) {
            // The composed title bar, so that its text and buttons count; after a resize the
            // buffer still has the old width, and the border alone gives the new outline.
            if (!FCaptionBuffer->Empty() && FCaptionBuffer->Width() == w && FCaptionBuffer->Height() == T)
                BitBlt(piece->Canvas()->Handle(), 0, 0, across, T, FCaptionBuffer->Canvas()->Handle(), L, 0,
                       SRCCOPY);
            else
                DrawBorder(sdTop, RECT{0, 0, across, T}, piece->Canvas()->Handle(), State);
            top.reset(PieceRegion(piece.get(), L, 0));
        } else {
            top.reset(CreateRectRgn(L, 0, w - R, T));
        }
        TRegionHandle sides = std::move(left);
        Unite(sides, right.release());
        TRegionHandle caps = std::move(top);
        Unite(caps, bottom.release());
        Unite(sides, caps.release());
        Unite(region, sides.release());
    }
    if (SetWindowRgn(State.Window, region.get(), TRUE) != 0)
        region.release(); // the system's now
    FRegionSet = true;
}

void TFramePainter::RecordHostRegion(HWND Window)
{
    FHostRegion.reset(CreateRectRgn(0, 0, 0, 0));
    if (FHostRegion && GetWindowRgn(Window, FHostRegion.get()) == ERROR)
        FHostRegion.reset();
}

void TFramePainter::DropWindowRegion(HWND Window)
{
    if (!FRegionSet)
        return;
    FCaptionBuffer->SetSize(0, 0);
    GiveRegionBack(Window, FALSE);
}

void TFramePainter::GiveRegionBack(HWND Window, BOOL Redraw)
{
    FRegionSet = false;
    FRegionSize = SIZE{0, 0};
    if (!IsWindow(Window))
        return;
    // A copy: the window owns what it is given.
    TRegionHandle copy;
    if (FHostRegion) {
        copy.reset(CreateRectRgn(0, 0, 0, 0));
        if (copy && CombineRgn(copy.get(), FHostRegion.get(), nullptr, RGN_COPY) == ERROR)
            copy.reset();
    }
    if (SetWindowRgn(Window, copy.get(), Redraw) != 0)
        copy.release();
}
