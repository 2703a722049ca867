#include "skin/controls/SkinBars.h"

#include "framework/controls/ComCtrls.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"
#include "framework/win/Callback.h"
#include "framework/win/ControlMessages.h"
#include "framework/win/Handles.h"
#include "skin/controls/AdaptorSet.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

IMPLEMENT_CLASS_EMPTY(TSkinHeader)
IMPLEMENT_CLASS_EMPTY(TSkinStatusBar)
IMPLEMENT_CLASS_EMPTY(TSkinProgress)
IMPLEMENT_CLASS_EMPTY(TSkinTrackBar)

namespace {

// Frame Index of Count of the element put at T, opaque or without the key.
void DrawElementFrame(HDC DC, const RECT& T, const TDataSkinObject& Element, int Index, int Count, bool Keyed)
{
    DrawFrameImage(DC, T, Element.Bitmap.get(), MarginsOf(Element), Index, Count, Keyed, Element.Tile != 0, false);
}

// The shared paint bitmap at R's size, filled with the skin's face colour.
TBitmapCanvas& PrepareShared(const RECT& R, TColor Face)
{
    TBitmap* shared = SharedPaintBitmap();
    shared->SetSize(R.right - R.left, R.bottom - R.top);
    TBitmapCanvas& canvas = *shared->Canvas();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(Face);
    canvas.FillRect(RECT{0, 0, R.right - R.left, R.bottom - R.top});
    return canvas;
}

void BlitShared(HDC DC, const RECT& R)
{
    BitBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, SharedPaintBitmap()->Canvas()->Handle(), 0, 0,
           SRCCOPY);
}

UINT AlignmentOf(TAlignment Alignment)
{
    return Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
}

} // namespace

// ---- header

void TSkinHeader::AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas)
{
    TSkinControl::AttachWindow(Window, Data, ACanvas);
    if (TAdaptorSet* set = OwnerSet())
        set->AddAdaptor(this);
    InvalidateRect(Window, nullptr, TRUE);
}

const TDataSkinObject* TSkinHeader::Face() const
{
    const TDataSkinObject* face = FSkinData != nullptr ? FSkinData->SkinHeaderbar() : nullptr;
    return HasSkinBitmap(face) ? face : nullptr;
}

bool TSkinHeader::BeforeMessage(TMessage& Message)
{
    // The whole header is the skin's: painted once, off-screen, with no native paint under it.
    return Face() == nullptr || !TakePaint(Message);
}

void TSkinHeader::PaintTo(HDC DC, const RECT& R)
{
    const TDataSkinObject* face = Face();
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (face == nullptr || w <= 0 || h <= 0)
        return;
    TBitmapCanvas& canvas = PrepareShared(R, FSkinData->Colours().ButtonFace);
    TakeFont(canvas);
    canvas.Font()->SetColor(FSkinData->Colours().ButtonText);
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(FHandle, HDM_GETIMAGELIST, 0, 0));
    const int count = static_cast<int>(SendMessageA(FHandle, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int i = 0; i < count; ++i) {
        RECT item{};
        // A column of width 0 (hidden by its program) shows nothing.
        if (!SendMessageA(FHandle, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)) ||
            item.right <= item.left)
            continue;
        PaintItem(canvas, i, item, images);
        right = std::max(right, static_cast<int>(item.right));
    }
    if (right < w) {
        canvas.Changing();
        DrawElementFrame(canvas.Handle(), RECT{right, 0, w, h}, *face, 1, face->FrameCount, false);
        canvas.Changed();
    }
    BlitShared(DC, R);
}

void TSkinHeader::PaintItem(TCanvas& Canvas, int Index, const RECT& T, HIMAGELIST Images)
{
    char text[202] = "";
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = 201;
    if (!SendMessageA(FHandle, HDM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item)))
        return;
    const TDataSkinObject& face = *Face();
    Canvas.Changing();
    DrawElementFrame(Canvas.Handle(), T, face, 1, face.FrameCount, false);
    Canvas.Changed();
    // A callback text the owner did not fill in is left as the empty buffer.
    const std::string caption = item.pszText == text ? std::string(text) : std::string();
    if (caption.empty())
        return;
    const int image = (item.fmt & (HDF_IMAGE | 0x8000)) != 0 ? item.iImage : -1;
    const int alignment = (item.fmt & 0xFF) == HDF_RIGHT ? 2 : (item.fmt & 0xFF) == HDF_CENTER ? 1 : 0;
    // The text and image end at the column's edge.
    TRegionHandle clip(CreateRectRgnIndirect(&T));
    SelectClipRgn(Canvas.Handle(), clip.get());
    DrawImageText(Canvas, T, alignment, caption, image, Images, true);
    SelectClipRgn(Canvas.Handle(), nullptr);
}

// ---- status bar

bool TSkinStatusBar::BeforeMessage(TMessage& Message)
{
    return !TakePaint(Message);
}

std::vector<TStatusPanelLook> TSkinStatusBar::Panels(const RECT& R) const
{
    std::vector<TStatusPanelLook> panels;
    if (auto* bar = dynamic_cast<TStatusBar*>(FControl)) {
        if (bar->SimplePanel() || bar->Panels()->Count() == 0) {
            panels.push_back(TStatusPanelLook{R, bar->SimpleText(), DT_LEFT, 1});
            return panels;
        }
        const int count = bar->Panels()->Count();
        for (int i = 0; i < count; ++i) {
            TStatusPanelLook look;
            if (!SendMessageA(FHandle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&look.Rect)))
                continue;
            const TStatusPanel* panel = bar->Panels()->Items(i);
            look.Text = panel->Text();
            look.Alignment = AlignmentOf(panel->Alignment());
            look.Frame = panel->Bevel() == pbRaised ? 2 : panel->Bevel() == pbLowered ? 1 : 3;
            panels.push_back(look);
        }
    } else {
        // A status bar of the platform: its parts, texts and borders as the window keeps them.
        // The text's leading tabs centre it (one) or right-align it (two); an owner-drawn part's
        // "text" is its owner's data and is not shown.
        auto textOf = [this](int Part, int& Type) {
            const LRESULT info = SendMessageA(FHandle, SB_GETTEXTLENGTHA, static_cast<WPARAM>(Part), 0);
            Type = HIWORD(info);
            if ((Type & SBT_OWNERDRAW) != 0)
                return std::string();
            std::string text(LOWORD(info) + 1u, '\0');
            SendMessageA(FHandle, SB_GETTEXTA, static_cast<WPARAM>(Part), reinterpret_cast<LPARAM>(text.data()));
            text.resize(std::min(text.size() - 1, std::string(text.c_str()).size()));
            return text;
        };
        auto lookOf = [&](const RECT& Rect, int Part) {
            int type = 0;
            TStatusPanelLook look{Rect, textOf(Part, type), DT_LEFT, 1};
            size_t tabs = 0;
            while (tabs < 2 && tabs < look.Text.size() && look.Text[tabs] == '\t')
                ++tabs;
            look.Text.erase(0, tabs);
            look.Alignment = tabs == 2 ? DT_RIGHT : tabs == 1 ? DT_CENTER : DT_LEFT;
            look.Frame = (type & SBT_NOBORDERS) != 0 ? 3 : (type & SBT_POPOUT) != 0 ? 2 : 1;
            return look;
        };
        const int count = static_cast<int>(SendMessageA(FHandle, SB_GETPARTS, 0, 0));
        if (SendMessageA(FHandle, SB_ISSIMPLE, 0, 0) || count <= 0) {
            panels.push_back(lookOf(R, 0));
            panels.back().Frame = 1;
            panels.back().Alignment = DT_LEFT;
            return panels;
        }
        for (int i = 0; i < count; ++i) {
            RECT rect{};
            if (SendMessageA(FHandle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect)))
                panels.push_back(lookOf(rect, i));
        }
    }
    if (!panels.empty())
        panels.back().Rect.right = R.right;
    return panels;
}

void TSkinStatusBar::PaintPanel(TCanvas& Canvas, const TStatusPanelLook& Panel)
{
    RECT p = Panel.Rect;
    if (p.right < p.left || p.bottom < p.top)
        return;
    const TDataSkinObject* edges = FSkinData->SkinStatusBarEdges();
    Canvas.Changing();
    HDC dc = Canvas.Handle();
    if (HasSkinBitmap(edges)) {
        DrawElementFrame(dc, p, *edges, Panel.Frame, edges->FrameCount, false);
    } else if (Panel.Frame != 3) {
        // The plain bevel: a one-pixel 3-D frame, sunken for a lowered panel, raised otherwise.
        const TColor topLeft = Panel.Frame == 1 ? clBtnShadow : clBtnHighlight;
        const TColor bottomRight = Panel.Frame == 1 ? clBtnHighlight : clBtnShadow;
        auto line = [dc](int X, int Y, int W, int H, TColor Colour) {
            TBrushHandle brush(CreateSolidBrush(ColorToRGB(Colour)));
            const RECT r{X, Y, X + W, Y + H};
            FillRect(dc, &r, brush.get());
        };
        const int w = p.right - p.left, h = p.bottom - p.top;
        line(p.left, p.top, w, 1, topLeft);
        line(p.left, p.top, 1, h, topLeft);
        line(p.left, p.bottom - 1, w, 1, bottomRight);
        line(p.right - 1, p.top, 1, h, bottomRight);
        InflateRect(&p, -1, -1);
    }
    Canvas.Changed();
    DrawCaptionText(Canvas, p, Panel.Alignment, true, Panel.Text.empty() ? std::string(" ") : Panel.Text);
}

void TSkinStatusBar::PaintTo(HDC DC, const RECT& R)
{
    if (FSkinData == nullptr || R.right <= R.left || R.bottom <= R.top)
        return;
    TBitmapCanvas& canvas = PrepareShared(R, FSkinData->Colours().ButtonFace);
    TakeFont(canvas);
    const TDataSkinObject* edges = FSkinData->SkinStatusBarEdges();
    canvas.Font()->SetColor(edges != nullptr ? edges->NormalColour2 : clBtnText);
    const RECT local{0, 0, R.right - R.left, R.bottom - R.top};
    for (const TStatusPanelLook& panel : Panels(local))
        PaintPanel(canvas, panel);
    const TDataSkinObject* extra = FSkinData->SkinExtraImages();
    if ((GetWindowLongA(FHandle, GWL_STYLE) & SBARS_SIZEGRIP) != 0 && HasSkinBitmap(extra) && extra->FrameCount > 0) {
        const int w = extra->Bitmap->Width() / extra->FrameCount, h = extra->Bitmap->Height();
        DrawKeyedFrame(canvas, RECT{local.right - 1 - w, local.bottom - 1 - h, local.right - 1, local.bottom - 1},
                       extra->FrameCount, 5, extra->Bitmap.get());
    }
    BlitShared(DC, R);
}

// ---- progress bar

int TSkinProgress::FilledWidth(int Width, int Position, int Min, int Max)
{
    if (Max <= Min || Position <= Min || Width <= 0)
        return 0;
    const long long done = static_cast<long long>(std::min(Position, Max)) - Min;
    const long long range = static_cast<long long>(Max) - Min;
    return static_cast<int>(done * Width / range);
}

bool TSkinProgress::Paints() const
{
    const TDataSkinBorder* progress = FSkinData != nullptr ? FSkinData->SkinProgress() : nullptr;
    return HasSkinBitmap(progress) && FHandle != nullptr &&
           (GetWindowLongA(FHandle, GWL_STYLE) & (PBS_VERTICAL | PBS_MARQUEE)) == 0;
}

bool TSkinProgress::BeforeMessage(TMessage& Message)
{
    return !TakePaint(Message, Message.Msg == WM_PAINT && Paints());
}

void TSkinProgress::PaintTo(HDC DC, const RECT& R)
{
    if (!Paints() || R.right <= R.left || R.bottom <= R.top)
        return;
    const TDataSkinBorder& progress = *FSkinData->SkinProgress();
    TBitmapCanvas& canvas = PrepareShared(R, FSkinData->Colours().ButtonFace);
    const int w = R.right - R.left, h = R.bottom - R.top;
    const RECT local{0, 0, w, h};
    PBRANGE range{0, 0};
    SendMessageA(FHandle, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    const int position = static_cast<int>(SendMessageA(FHandle, PBM_GETPOS, 0, 0));
    const int filled = FilledWidth(w, position, range.iLow, range.iHigh);
    HDC dc = canvas.Handle();
    const bool chunks = progress.Style == 1 && progress.Bitmap2 && !progress.Bitmap2->Empty();
    if (!chunks) {
        DrawElementFrame(dc, local, progress, 1, 2, true);
        DrawElementFrame(dc, RECT{0, 0, filled, h}, progress, 2, 2, true);
    } else {
        // The whole image is the trough; the chunk is repeated over the filled width, centred
        // across the bar, and kept inside the trough's ends.
        DrawElementFrame(dc, local, progress, 1, 1, true);
        TBitmap* chunk = progress.Bitmap2.get();
        const int cw = chunk->Width(), ch = chunk->Height();
        const int shown = std::min(filled, w - progress.LeftWidth - progress.RightWidth);
        if (cw > 0 && ch > 0 && shown > 0) {
            // Only what shows: a narrow chunk on a long bar is not blitted past the trough.
            TBitmap work(shown, ch, pf32bit);
            HDC workDC = work.Canvas()->Handle();
            for (int x = 0; x < shown; x += cw)
                BitBlt(workDC, x, 0, cw, ch, chunk->Canvas()->Handle(), 0, 0, SRCCOPY);
            const int top = (h - ch) / 2;
            DrawTransparentBitmap(dc, RECT{progress.LeftWidth, top, progress.LeftWidth + shown, top + ch}, &work,
                                  SkinKeyColour);
        }
    }
    BlitShared(DC, R);
}

// ---- track bar

bool TSkinTrackBar::BeforeMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return false;
    case WM_NOTIFY:
    case CN_NOTIFY: {
        auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(Message.LParam);
        // Only the bar's own drawing: its tool tip reports its custom drawing here too.
        if (draw == nullptr || draw->hdr.code != static_cast<UINT>(NM_CUSTOMDRAW) || draw->hdr.hwndFrom != FHandle)
            return true;
        Message.Result = CDRF_DODEFAULT;
        if (draw->dwDrawStage == CDDS_PREPAINT) {
            Message.Result = CDRF_NOTIFYITEMDRAW;
        } else if (draw->dwDrawStage == CDDS_ITEMPREPAINT && draw->dwItemSpec == TBCD_THUMB) {
            PaintOrLetGo([&] { PaintThumb(draw->hdc); });
            Message.Result = CDRF_SKIPDEFAULT;
        }
        return false;
    }
    default:
        return true;
    }
}

void TSkinTrackBar::PaintThumb(HDC DC)
{
    if (FSkinData == nullptr)
        return;
    RECT thumb{};
    SendMessageA(FHandle, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const TDataSkinButton* buttons = FSkinData->SkinButtons();
    if (HasSkinBitmap(buttons)) {
        // Over what the bar drew there, composed off-screen: a keyed draw straight onto the
        // bar's DC costs many times more.
        const int w = thumb.right - thumb.left, h = thumb.bottom - thumb.top;
        if (w <= 0 || h <= 0)
            return;
        TBitmap* shared = SharedPaintBitmap();
        shared->SetSize(w, h);
        HDC work = shared->Canvas()->Handle();
        if (!BitBlt(work, 0, 0, w, h, DC, thumb.left, thumb.top, SRCCOPY)) {
            DrawKeyedFrame(DC, thumb, 5, 4, buttons->Bitmap.get()); // a DC that cannot be read
            return;
        }
        DrawKeyedFrame(work, RECT{0, 0, w, h}, 5, 4, buttons->Bitmap.get());
        BitBlt(DC, thumb.left, thumb.top, w, h, work, 0, 0, SRCCOPY);
        return;
    }
    if (FCanvas == nullptr)
        return;
    // The shared canvas is let go of the DC however the drawing ends.
    struct TBound {
        TCanvas* Canvas;
        ~TBound() { Canvas->SetHandle(nullptr); }
    } bound{FCanvas};
    FCanvas->SetHandle(DC);
    FCanvas->Pen()->SetColor(FSkinData->Colours().ButtonShadow);
    FCanvas->Rectangle(thumb);
}
