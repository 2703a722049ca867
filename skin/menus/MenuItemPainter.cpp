#define OEMRESOURCE // OBM_CHECK
#include "skin/menus/MenuItemPainter.h"

#include "framework/controls/Forms.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/ImageList.h"
#include "framework/menus/Menus.h"
#include "framework/win/Handles.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/SkinDraw.h"
#include "skin/draw/SkinScale.h"
#include "skin/menus/WinSkinPopMenu.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int GlyphSize = 16;
constexpr int TextLength = 80;

bool HasItemElement(const TSkinData& Data)
{
    const TDataSkinObject* element = Data.SkinMenuItem();
    return element != nullptr && !element->Bitmap->Empty();
}

// Each GUI thread composes its items in bitmaps of its own, freed by FreeMenuPaintState on that
// thread. (Plain pointers: the runtime's destructors at a thread's end must not free bitmaps.)
struct TItemFrame {
    uint64_t Strip;
    int Index, W, H;
    std::unique_ptr<TBitmap> Image;
    bool Clear; // every pixel the key colour: drawn transparently, it draws nothing
};
thread_local TBitmap* GItemBitmap = nullptr;
thread_local std::vector<TItemFrame>* GItemFrames = nullptr;

// The bitmap one item is composed in, with the menu font: one for all items, resized as needed
// (a popup's items are mostly of one size).
TBitmap& ItemBitmap(const RECT& R)
{
    TBitmap*& bitmap = GItemBitmap;
    if (bitmap == nullptr) {
        bitmap = new TBitmap();
        bitmap->Canvas()->Font()->Assign(Screen()->MenuFont());
    }
    const int w = std::max(1L, R.right - R.left), h = std::max(1L, R.bottom - R.top);
    if (bitmap->Width() != w || bitmap->Height() != h)
        bitmap->SetSize(w, h);
    return *bitmap;
}

// The menu-item element's frame Index composed to W x H, or nullptr when it would draw nothing
// (all key colour, drawn transparently: a skin's normal items often are). The last few are kept,
// keyed by the strip they came from (a popup draws the same frame at the same size for every item).
TBitmap* ItemFrame(const TDataSkinObject& Element, int Index, int W, int H)
{
    if (GItemFrames == nullptr)
        GItemFrames = new std::vector<TItemFrame>();
    std::vector<TItemFrame>& cache = *GItemFrames;
    for (TItemFrame& e : cache)
        if (e.Strip == Element.Bitmap->Serial() && e.Index == Index && e.W == W && e.H == H)
            return e.Clear && Element.Trans != 0 ? nullptr : e.Image.get();
    const TMargins margins = MarginsOf(Element);
    std::unique_ptr<TBitmap> image =
        BuildFrameBitmap(RECT{0, 0, W, H}, Element.Bitmap.get(), margins, Index, 5, Element.Tile != 0, false);
    if (!image || image->Empty())
        return nullptr;
    bool clear = true;
    for (int y = 0; y < image->Height() && clear; ++y)
        for (int x = 0; x < image->Width() && clear; ++x)
            clear = image->Canvas()->Pixels(x, y) == SkinKeyColour;
    if (cache.size() >= 6)
        cache.erase(cache.begin());
    cache.push_back(TItemFrame{Element.Bitmap->Serial(), Index, W, H, std::move(image), clear});
    return clear && Element.Trans != 0 ? nullptr : cache.back().Image.get();
}

// The piece of Menu's popup background under R, or the "Menu" colour where there is none.
void FillItemBackground(TSkinData& Data, HMENU Menu, TBitmap& Bitmap, const RECT& R)
{
    TWinSkinPopMenu* popup = FindPopupOf(Menu);
    TBitmap* background = popup != nullptr ? popup->Background() : nullptr;
    TCanvas& canvas = *Bitmap.Canvas();
    if (background == nullptr || background->Empty()) {
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(Data.Colours().Menu);
        canvas.FillRect(RECT{0, 0, Bitmap.Width(), Bitmap.Height()});
        return;
    }
    const POINT origin = popup->ClientOrigin();
    BitBlt(canvas.Handle(), 0, 0, Bitmap.Width(), Bitmap.Height(), background->Canvas()->Handle(),
           R.left + origin.x, R.top + origin.y, SRCCOPY);
}

void PutBitmap(TCanvas& Canvas, TBitmap& Bitmap, const RECT& R)
{
    BitBlt(Canvas.Handle(), R.left, R.top, Bitmap.Width(), Bitmap.Height(), Bitmap.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The item drawn from the menu-item element over its background (Separator: frame 2 after the
// background, else frame 1 or 4 and the content).
void DrawFromElement(TSkinData& Data, TMenuItem& Item, HMENU Menu, TCanvas& Canvas, const RECT& R, bool Selected,
                     bool SeparatorFrame)
{
    TBitmap& bitmap = ItemBitmap(R);
    FillItemBackground(Data, Menu, bitmap, R);
    if (SeparatorFrame) {
        PutBitmap(Canvas, bitmap, R);
        DrawMenuSeparator(Data, Canvas, R);
        return;
    }
    const TDataSkinObject& element = *Data.SkinMenuItem();
    const RECT local{0, 0, bitmap.Width(), bitmap.Height()};
    if (TBitmap* frame = ItemFrame(element, Selected ? 4 : 1, local.right, local.bottom)) {
        if (element.Trans != 0)
            DrawTransparentBitmap(bitmap.Canvas()->Handle(), local, frame, SkinKeyColour);
        else
            BitBlt(bitmap.Canvas()->Handle(), 0, 0, local.right, local.bottom, frame->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    DrawMenuItemContent(Data, Item, *bitmap.Canvas(), Selected, local);
    PutBitmap(Canvas, bitmap, R);
}

UINT AlignmentOf(const TMenuItem& Item)
{
    if (const auto* popup = dynamic_cast<const TPopupMenu*>(Item.GetParentMenu())) {
        switch (popup->Alignment()) {
        case paRight:
            return DT_RIGHT;
        case paCenter:
            return DT_CENTER;
        default:
            break;
        }
    }
    return DT_LEFT;
}

// The checked box behind a checked item's image: the button face and highlight dithered.
void FillDithered(HDC DC, const RECT& R)
{
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    TBitmapHandle bits(CreateBitmap(8, 8, 1, 1, pattern));
    TBrushHandle brush(CreatePatternBrush(bits.get()));
    const COLORREF text = SetTextColor(DC, GetSysColor(COLOR_BTNFACE));
    const COLORREF back = SetBkColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(DC, &R, brush.get());
    SetTextColor(DC, text);
    SetBkColor(DC, back);
}

// The platform's check mark in the button-text colour, centred in Box, its white left alone.
void DrawCheckMark(HDC DC, const RECT& Box)
{
    TBitmapHandle check(LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECK)));
    BITMAP info{};
    if (!check || GetObjectA(check.get(), sizeof info, &info) == 0)
        return;
    TMemoryDC source(DC);
    HGDIOBJ old = SelectObject(source.get(), check.get());
    TBrushHandle ink(CreateSolidBrush(GetSysColor(COLOR_BTNTEXT)));
    HGDIOBJ oldBrush = SelectObject(DC, ink.get());
    const COLORREF text = SetTextColor(DC, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(DC, RGB(255, 255, 255));
    const int size = Box.right - Box.left;
    const int x = Box.left + (size - info.bmWidth) / 2 + 1, y = Box.top + (size - info.bmHeight) / 2 + 1;
    // Brush where the mark is black, the destination where it is white.
    BitBlt(DC, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, 0x00B8074A);
    SetTextColor(DC, text);
    SetBkColor(DC, back);
    SelectObject(DC, oldBrush);
    SelectObject(source.get(), old);
}

} // namespace

void FreeMenuPaintState() noexcept
{
    delete std::exchange(GItemBitmap, nullptr);
    delete std::exchange(GItemFrames, nullptr);
    FreePopupBackground();
}

void MeasurePopupItem(int& Width, int&)
{
    Width += ScreenLength(28);
}

void MeasureMenuItem(TMenuItem& Item, TCanvas& Canvas, int& Width, int& Height)
{
    const std::string shortCut = Item.ShortCut() != 0 ? ShortCutToText(Item.ShortCut()) : std::string();
    Width = Canvas.TextWidth(Item.Caption() + shortCut) + ScreenLength(26);
    Height = Item.Caption() == "-" ? ScreenLength(8) : Height + ScreenLength(4);
}

void MeasureNativeMenuItem(HMENU Menu, MEASUREITEMSTRUCT& Info)
{
    char text[TextLength + 1]{};
    GetMenuStringA(Menu, Info.itemID, text, TextLength, MF_BYCOMMAND);
    TMemoryDC dc(nullptr);
    TCanvas canvas;
    canvas.SetHandle(dc.get());
    canvas.Font()->Assign(Screen()->MenuFont());
    Info.itemWidth = static_cast<UINT>(canvas.TextWidth(text) + ScreenLength(26));
    Info.itemHeight = text[0] == 0 ? ScreenLength(8) : Info.itemHeight + ScreenLength(4);
    canvas.SetHandle(nullptr);
}

void DrawSkinnedMenuItem(TSkinData& Data, TMenuItem& Item, HMENU Menu, TCanvas& Canvas, const RECT& R, bool Selected)
{
    if (!HasItemElement(Data)) {
        DrawPlainMenuItem(Data, Item, Canvas, Selected, R);
        return;
    }
    NoteDrawnMenu(Menu);
    DrawFromElement(Data, Item, Menu, Canvas, R, Selected, Item.Caption() == "-");
}

void DrawNativeMenuItem(TSkinData& Data, HMENU Menu, TMenuItem& Item, bool Selected, const RECT& R, TCanvas& Canvas)
{
    if (!HasItemElement(Data)) {
        DrawPlainMenuItem(Data, Item, Canvas, Selected, R);
        return;
    }
    DrawFromElement(Data, Item, Menu, Canvas, R, Selected && Item.Caption() != "-", false);
}

void DrawPlainMenuItem(TSkinData& Data, TMenuItem& Item, TCanvas& Canvas, bool Selected, const RECT& R)
{
    TBitmap& bitmap = ItemBitmap(R);
    TCanvas& canvas = *bitmap.Canvas();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(Selected ? Data.Colours().Hilight : Data.Colours().Menu);
    const RECT local{0, 0, bitmap.Width(), bitmap.Height()};
    canvas.FillRect(local);
    DrawMenuItemContent(Data, Item, canvas, Selected, local);
    PutBitmap(Canvas, bitmap, R);
}

void DrawMenuSeparator(TSkinData& Data, TCanvas& Canvas, const RECT& R)
{
    const TDataSkinObject* element = Data.SkinMenuItem();
    if (element == nullptr || element->Bitmap->Empty())
        return;
    TBitmap& strip = *element->Bitmap;
    const int f = strip.Width() / 5, stripHeight = strip.Height();
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (f <= 0 || w <= 0 || h <= 0)
        return;
    const int top = h < stripHeight ? stripHeight - h : 0, rows = stripHeight - top;
    // (The skin's margins are its own numbers: they are kept inside the frame.)
    const int left = std::clamp(element->LeftWidth, 0, f), right = std::clamp(element->RightWidth, 0, f - left);
    TBitmap piece(w, h);
    HDC dc = piece.Canvas()->Handle(), source = strip.Canvas()->Handle();
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, left, h, source, f, top, left, rows, SRCCOPY);
    StretchBlt(dc, w - right, 0, right, h, source, 2 * f - right, top, right, rows, SRCCOPY);
    StretchBlt(dc, left, 0, w - left - right, h, source, f + left, top, f - left - right, rows, SRCCOPY);
    DrawTransparentBitmap(Canvas.Handle(), R, &piece, SkinKeyColour);
}

void DrawMenuItemContent(TSkinData& Data, TMenuItem& Item, TCanvas& Canvas, bool Selected, const RECT& R)
{
    if (Item.Action() != nullptr)
        Item.UpdateFromAction();
    const bool separator = Item.Caption() == "-";
    // A right-to-left menu is the mirror image: the glyph on the right, the short-cut on the left.
    const TMenu* menu = Item.GetParentMenu();
    const bool mirrored = menu != nullptr && menu->IsRightToLeft();
    RECT glyph = mirrored ? RECT{R.right, R.top, R.right, R.top} : RECT{0, 0, 0, 0};
    const int size = Data.Px(GlyphSize);
    if (!separator) {
        const int left = mirrored ? R.right - 1 - size : R.left + 1;
        glyph = RECT{left, R.top + 1, left + size, R.top + 1 + size};
        HDC dc = Canvas.Handle();
        TImageList* images = Item.GetImageList();
        if (images != nullptr && Item.ImageIndex() >= 0 && Item.ImageIndex() < images->Count()) {
            if (Item.Checked()) {
                FillDithered(dc, glyph);
                RECT edge = glyph;
                DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
            }
            images->Draw(Canvas, glyph.left, glyph.top, Item.ImageIndex(), Item.Enabled());
        } else if (Item.Checked()) {
            DrawCheckMark(dc, glyph);
        }
    }
    const int gap = Data.Px(3);
    const RECT text = mirrored ? RECT{R.left + 1, R.top, glyph.left - gap, R.bottom}
                               : RECT{glyph.right + gap, R.top, R.right - 1, R.bottom};
    const UINT format = AlignmentOf(Item) | DT_SINGLELINE | DT_EXPANDTABS;
    RECT caption = text;
    DrawMenuItemText(Data, Item, Canvas, format | DT_CALCRECT | DT_NOCLIP, Selected, caption, Item.Caption());
    OffsetRect(&caption, mirrored ? text.right - caption.right : 0,
               ((text.bottom - text.top) - (caption.bottom - caption.top)) / 2);
    DrawMenuItemText(Data, Item, Canvas, format, Selected, caption, Item.Caption());
    if (Item.ShortCut() != 0) {
        // 11 pixels (at 96) from the far edge (the text routine turns the alignment round when
        // mirrored).
        const int end = Data.Px(11);
        RECT shortCut = mirrored ? RECT{R.left + end, caption.top, caption.left, caption.bottom}
                                 : RECT{caption.right, caption.top, R.right - end, caption.bottom};
        DrawMenuItemText(Data, Item, Canvas, DT_RIGHT, Selected, shortCut, ShortCutToText(Item.ShortCut()));
    }
}

void DrawMenuItemText(TSkinData& Data, TMenuItem& Item, TCanvas& Canvas, UINT Format, bool Selected, RECT& R,
                      const std::string& Text)
{
    const TMenu* menu = Item.GetParentMenu();
    if (menu != nullptr && menu->IsRightToLeft()) {
        if ((Format & DT_CENTER) == 0)
            Format = (Format & DT_RIGHT) != 0 ? (Format & ~DT_RIGHT) | DT_LEFT : Format | DT_RIGHT;
        Format |= DT_RTLREADING;
    }
    const bool measuring = (Format & DT_CALCRECT) != 0;
    if (Text == "-") {
        if (!measuring) {
            RECT line = R;
            OffsetRect(&line, 0, 4);
            DrawEdge(Canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
        }
        return;
    }
    const TSkinColours& colours = Data.Colours();
    Canvas.Brush()->SetStyle(bsClear);
    TFontStyles style = Canvas.Font()->Style();
    if (Item.Default())
        style.Include(fsBold);
    else
        style.Exclude(fsBold);
    Canvas.Font()->SetStyle(style);
    TColor colour = colours.ButtonShadow;
    if (Item.Enabled())
        colour = Selected ? colours.HilightText : colours.MenuText;
    else if (colours.ButtonShadow == colours.MenuText)
        colour = clBtnShadow;
    // A disabled item stays readable on the ground drawn under its text.
    if (!Item.Enabled()) {
        const COLORREF ground = GetPixel(Canvas.Handle(), (R.left + R.right) / 2, (R.top + R.bottom) / 2);
        if (ground != CLR_INVALID)
            colour = static_cast<TColor>(ReadableOn(ground, ColorToRGB(colour)));
    }
    Canvas.Font()->SetColor(colour);
    const std::string shown = measuring && (Text.empty() || Text == "&") ? Text + " " : Text;
    Canvas.DrawText(shown, R, Format);
}

std::unique_ptr<TMenuItem> NativeMenuItem(HMENU Menu, UINT Id)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE;
    GetMenuItemInfoA(Menu, Id, FALSE, &info);
    char text[TextLength + 1]{};
    GetMenuStringA(Menu, Id, text, TextLength, MF_BYCOMMAND);
    auto item = std::make_unique<TMenuItem>(nullptr);
    std::string caption(text);
    // The native text carries the short-cut after a tab; drawn apart, it is right-aligned.
    if (const size_t tab = caption.find('\t'); tab != std::string::npos) {
        if (const TShortCut shortCut = TextToShortCut(caption.substr(tab + 1)); shortCut != 0) {
            item->SetShortCut(shortCut);
            caption.erase(tab);
        }
    }
    item->SetCaption(caption.empty() || (info.fType & MFT_SEPARATOR) != 0 ? "-" : caption);
    item->SetEnabled((info.fState & (MFS_GRAYED | MFS_DISABLED)) == 0);
    item->SetChecked((info.fState & MFS_CHECKED) != 0);
    item->SetDefault((info.fState & MFS_DEFAULT) != 0);
    return item;
}
