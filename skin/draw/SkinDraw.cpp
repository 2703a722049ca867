#include "skin/draw/SkinDraw.h"

#include "framework/controls/Forms.h"
#include "framework/core/Contrast.h"
#include "framework/core/Exception.h"
#include "framework/graphics/MaskedBlit.h"
#include "skin/draw/FrameComposer.h"
#include "framework/win/Handles.h"
#include "framework/win/Platform.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Where frame Index lies in the strip.
struct TFramePlace {
    int SX = 0;
    int SY = 0;
    int FW = 0;
    int FH = 0;
};

bool LocateFrame(TBitmap* Strip, int Index, int Count, bool Vertical, TFramePlace& Frame)
{
    if (Strip == nullptr || Strip->Empty() || Count < 1 || Index < 1 || Index > Count)
        return false;
    if (Vertical) {
        Frame.FW = Strip->Width();
        Frame.FH = Strip->Height() / Count;
        Frame.SX = 0;
        Frame.SY = (Index - 1) * Frame.FH;
    } else {
        Frame.FW = Strip->Width() / Count;
        Frame.FH = Strip->Height();
        Frame.SX = (Index - 1) * Frame.FW;
        Frame.SY = 0;
    }
    return Frame.FW > 0 && Frame.FH > 0;
}

bool Inverted(const RECT& R)
{
    return R.right < R.left || R.bottom < R.top;
}

// The canvas rectangle copy: StretchBlt SRCCOPY. Pieces of no (or negative) size are left out, so
// a skin whose margins exceed its frames draws less, never a mirror image.
void Piece(HDC Dest, int X, int Y, int W, int H, HDC Source, int SX, int SY, int SW, int SH)
{
    if (W <= 0 || H <= 0 || SW <= 0 || SH <= 0)
        return;
    StretchBlt(Dest, X, Y, W, H, Source, SX, SY, SW, SH, SRCCOPY);
}

// Margins whose sum exceeds the target are dropped in pairs for this draw.
TMargins DropMargins(const TMargins& M, int W, int H)
{
    TMargins m = M;
    if (static_cast<long long>(m.Left) + m.Right > W)
        m.Left = m.Right = 0;
    if (static_cast<long long>(m.Top) + m.Bottom > H)
        m.Top = m.Bottom = 0;
    return m;
}

// One of the nine pieces of a frame: its place in the target and in the frame (from the frame's
// origin). Wanted: the piece's condition holds; Drawn: it is wanted and has pixels to copy.
struct TNinePiece {
    int X, Y, W, H;
    int SX, SY, SW, SH;
    bool Wanted;
    bool Centre;
    bool Drawn() const { return Wanted && W > 0 && H > 0 && SW > 0 && SH > 0; }
};

// The pieces in drawing order: top-left, bottom-left, top-right corners, left edge, top edge,
// centre, bottom-right corner, right edge, bottom edge. The order is part of the result: tiles of
// the centre may run past it, and only the pieces after it cover that.
std::array<TNinePiece, 9> NinePieces(int W, int H, int FW, int FH, const TMargins& m)
{
    const int L = m.Left, T = m.Top, R = m.Right, B = m.Bottom;
    const int CW = W - L - R, CH = H - T - B, SCW = FW - L - R, SCH = FH - T - B;
    return {{
        {0, 0, L, T, 0, 0, L, T, L > 0 && T > 0, false},
        {0, H - B, L, B, 0, FH - B, L, B, L > 0 && B > 0, false},
        {W - R, 0, R, T, FW - R, 0, R, T, R > 0 && T > 0, false},
        {0, T, L, CH, 0, T, L, SCH, L > 0, false},
        {L, 0, CW, T, L, 0, SCW, T, T > 0, false},
        {L, T, CW, CH, L, T, SCW, SCH, true, true},
        {W - R, H - B, R, B, FW - R, FH - B, R, B, R > 0 && B > 0, false},
        {W - R, T, R, CH, FW - R, T, R, SCH, R > 0, false},
        {L, H - B, CW, B, L, FH - B, SCW, B, B > 0, false},
    }};
}

bool SaneMargin(int Value)
{
    return Value >= 0 && Value <= 0xFFFF;
}

bool Within(int Start, int Length, int Limit)
{
    return Start >= 0 && Length >= 0 && Start <= Limit - Length;
}

// Whether every piece that draws reads inside the frame and writes inside the target, so the
// pixels can be composed in memory; other pieces (a skin's margins larger than its frames) go
// through GDI, whose clipping is the reference.
bool ComposableInMemory(const std::array<TNinePiece, 9>& Pieces, const TMargins& m, int W, int H, int FW, int FH)
{
    if (!SaneMargin(m.Left) || !SaneMargin(m.Top) || !SaneMargin(m.Right) || !SaneMargin(m.Bottom))
        return false;
    for (const TNinePiece& p : Pieces) {
        if (!p.Drawn())
            continue;
        if (!Within(p.SX, p.SW, FW) || !Within(p.SY, p.SH, FH) || !Within(p.X, p.W, W) || !Within(p.Y, p.H, H))
            return false;
    }
    return true;
}

std::unique_ptr<TBitmap> ComposeFrame(int W, int H, TBitmap& Strip, const TFramePlace& f, const TMargins& m,
                                      const std::array<TNinePiece, 9>& Pieces, bool Tile)
{
    // Every pixel is written: by its piece, or cleared where the piece has nothing to copy (as a
    // new bitmap would be).
    auto image = std::make_unique<TBitmap>(W, H, pf32bit, TInitialPixels::Undefined);
    image->Canvas()->SetStretchMode(COLORONCOLOR);
    const TPixelView out = PixelViewOf(*image);
    const TFramePixels frame(Strip, f.SX, f.SY, f.FW, f.FH);
    for (const TNinePiece& p : Pieces)
        if (!p.Drawn())
            ClearPixels(out, p.X, p.Y, p.W, p.H);
    for (const TNinePiece& p : Pieces) {
        if (!p.Drawn())
            continue;
        if (p.Centre && Tile)
            TilePiece(out, RECT{m.Left, m.Top, W - m.Right, H - m.Bottom}, frame.View(),
                      RECT{p.SX, p.SY, p.SX + p.SW, p.SY + p.SH});
        else
            StretchPiece(out, p.X, p.Y, p.W, p.H, frame.View(), p.SX, p.SY, p.SW, p.SH);
    }
    return image;
}

// Each GUI thread paints through bitmaps of its own, freed by FreeSharedPaintBitmap on that
// thread. (Plain pointers: the runtime's destructors at a thread's end must not free bitmaps.)
thread_local TBitmap* GShared = nullptr;
// The stretch of a keyed frame before it is drawn without its key.
thread_local TBitmap* GScratch = nullptr;

void InitSkinDraw()
{
    SharedPaintBitmap();
}

void DoneSkinDraw() noexcept
{
    FreeSharedPaintBitmap();
    FreeStretchMaps();
}

TModuleRegistration SkinDrawModule("SkinDraw", 100, &InitSkinDraw, &DoneSkinDraw);

} // namespace

namespace {

COLORREF Mix(COLORREF From, COLORREF To, int Step, int Steps)
{
    auto channel = [&](int A, int B) { return A + (B - A) * Step / Steps; };
    return RGB(channel(GetRValue(From), GetRValue(To)), channel(GetGValue(From), GetGValue(To)),
               channel(GetBValue(From), GetBValue(To)));
}

} // namespace

double ContrastRatio(COLORREF A, COLORREF B)
{
    return RgbContrast(A, B);
}

COLORREF ReadableOn(COLORREF Ground, COLORREF Wanted, double MinRatio)
{
    if (ContrastRatio(Ground, Wanted) >= MinRatio)
        return Wanted;
    const COLORREF pole = ContrastRatio(Ground, RGB(0, 0, 0)) >= ContrastRatio(Ground, RGB(255, 255, 255))
                              ? RGB(0, 0, 0)
                              : RGB(255, 255, 255);
    constexpr int Steps = 32;
    for (int step = 1; step < Steps; ++step)
        if (const COLORREF mixed = Mix(Wanted, pole, step, Steps); ContrastRatio(Ground, mixed) >= MinRatio)
            return mixed;
    return pole;
}

TBitmap* SharedPaintBitmap()
{
    if (GShared == nullptr) {
        auto made = std::make_unique<TBitmap>();
        made->SetPixelFormat(pf32bit);
        made->Canvas()->SetStretchMode(COLORONCOLOR);
        GShared = made.release();
    }
    return GShared;
}

void FreeSharedPaintBitmap() noexcept
{
    delete std::exchange(GShared, nullptr);
    delete std::exchange(GScratch, nullptr);
}

void TileBitmap(TCanvas& Canvas, const RECT& Dest, TBitmap* Bitmap, const RECT& Source)
{
    const int w = Source.right - Source.left;
    const int h = Source.bottom - Source.top;
    if (Bitmap == nullptr || Bitmap->Empty() || w < 0 || h < 0 || w * h == 0)
        return;
    TBitmap tile(w, h, pf32bit);
    HDC tileDC = tile.Canvas()->Handle();
    StretchBlt(tileDC, 0, 0, w, h, Bitmap->Canvas()->Handle(), Source.left, Source.top, w, h, SRCCOPY);
    HDC dest = Canvas.Handle();
    Canvas.Changing();
    for (int x = Dest.left; x < Dest.right; x += w)
        for (int y = Dest.top; y < Dest.bottom; y += h)
            BitBlt(dest, x, y, w, h, tileDC, 0, 0, SRCCOPY);
    Canvas.Changed();
}

std::unique_ptr<TBitmap> BuildFrameBitmap(const RECT& Target, TBitmap* Strip, const TMargins& Margins, int Index,
                                          int Count, bool Tile, bool Vertical)
{
    TFramePlace f;
    if (!LocateFrame(Strip, Index, Count, Vertical, f))
        return nullptr;
    const int W = Target.right - Target.left;
    const int H = Target.bottom - Target.top;
    if (W <= 0 || H <= 0)
        return std::make_unique<TBitmap>(W, H, pf32bit);
    const TMargins m = DropMargins(Margins, W, H);
    const auto pieces = NinePieces(W, H, f.FW, f.FH, m);
    if (ComposableInMemory(pieces, m, W, H, f.FW, f.FH))
        return ComposeFrame(W, H, *Strip, f, m, pieces, Tile);

    auto image = std::make_unique<TBitmap>(W, H, pf32bit);
    image->Canvas()->SetStretchMode(COLORONCOLOR);
    HDC src = Strip->Canvas()->Handle();
    for (const TNinePiece& p : pieces) {
        if (!p.Wanted)
            continue;
        if (p.Centre && Tile) {
            TileBitmap(*image->Canvas(), RECT{m.Left, m.Top, W - m.Right, H - m.Bottom}, Strip,
                       RECT{f.SX + p.SX, f.SY + p.SY, f.SX + p.SX + p.SW, f.SY + p.SY + p.SH});
            continue;
        }
        Piece(image->Canvas()->Handle(), p.X, p.Y, p.W, p.H, src, f.SX + p.SX, f.SY + p.SY, p.SW, p.SH);
    }
    image->Canvas()->Changed();
    return image;
}

namespace {

// The 32-bit DIB section selected into DC, when DC maps one to one and clips nothing: then a
// keyed copy onto it is plain pixel work (MaskBlt costs tens of times more under Wine).
bool PlainDibTarget(HDC DC, DIBSECTION& Dib)
{
    const auto bitmap = static_cast<HBITMAP>(GetCurrentObject(DC, OBJ_BITMAP));
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof Dib, &Dib) != sizeof Dib || Dib.dsBm.bmBitsPixel != 32 ||
        Dib.dsBm.bmBits == nullptr || Dib.dsBmih.biCompression != BI_RGB)
        return false;
    POINT viewport{}, window{};
    if (GetMapMode(DC) != MM_TEXT || GetGraphicsMode(DC) != GM_COMPATIBLE || !GetViewportOrgEx(DC, &viewport) ||
        !GetWindowOrgEx(DC, &window) || viewport.x != 0 || viewport.y != 0 || window.x != 0 || window.y != 0)
        return false;
    TRegionHandle clip(CreateRectRgn(0, 0, 0, 0));
    return GetClipRgn(DC, clip.get()) == 0;
}

// Whether the DIB's first row in memory is its top row. GetObject does not say (it gives the
// height as a positive number either way): two probes of the pixel GDI shows at (0, 0).
bool TopDown(HDC DC, const DIBSECTION& Dib)
{
    if (Dib.dsBm.bmHeight < 2)
        return true;
    auto* first = static_cast<uint32_t*>(Dib.dsBm.bmBits);
    const uint32_t saved = *first;
    bool top = true;
    for (uint32_t probe : {(~saved) & 0xFFFFFFu, saved ^ 0x808080u}) {
        *first = probe;
        top = top && GetPixel(DC, 0, 0) == RGB((probe >> 16) & 0xFF, (probe >> 8) & 0xFF, probe & 0xFF);
    }
    *first = saved;
    return top;
}

// Copies Count pixels from From to To, except those of the key colour (alpha ignored). Every
// pixel of To is written, the kept ones with their own value: no branch per pixel, and four at a
// time where the processor has SSE2 (the 32-bit build runs on processors without it).
void KeyedCopyRow(const uint32_t* From, uint32_t* To, int Count, uint32_t Key)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF), key = _mm_set1_epi32(static_cast<int>(Key));
    for (; x + 4 <= Count; x += 4) {
        const __m128i from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(From + x));
        const __m128i to = _mm_loadu_si128(reinterpret_cast<const __m128i*>(To + x));
        const __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(from, rgb), key);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(To + x),
                         _mm_or_si128(_mm_and_si128(keyed, to), _mm_andnot_si128(keyed, from)));
    }
#endif
    for (; x < Count; ++x)
        To[x] = (From[x] & 0xFFFFFF) == Key ? To[x] : From[x];
}

bool KeyedCopyInMemory(HDC DC, const RECT& Target, TBitmap* Bitmap, TColor Key)
{
    DIBSECTION dest{};
    if (Bitmap->PixelFormat() != pf32bit || !PlainDibTarget(DC, dest))
        return false;
    const int destWidth = dest.dsBm.bmWidth, destHeight = dest.dsBm.bmHeight;
    const int left = std::max(0L, Target.left), top = std::max(0L, Target.top);
    const int right = std::min({static_cast<int>(Target.right), destWidth, static_cast<int>(Target.left) + Bitmap->Width()});
    const int bottom =
        std::min({static_cast<int>(Target.bottom), destHeight, static_cast<int>(Target.top) + Bitmap->Height()});
    if (right <= left || bottom <= top)
        return true;
    GdiFlush();
    const uint32_t key = ((Key & 0xFF) << 16) | (Key & 0xFF00) | ((Key >> 16) & 0xFF);
    auto* bits = static_cast<uint8_t*>(dest.dsBm.bmBits);
    const bool bottomUp = !TopDown(DC, dest);
    for (int y = top; y < bottom; ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(Bitmap->ScanLine(y - Target.top)) + (left - Target.left);
        auto* to = reinterpret_cast<uint32_t*>(bits + static_cast<size_t>(bottomUp ? destHeight - 1 - y : y) *
                                                          dest.dsBm.bmWidthBytes) + left;
        KeyedCopyRow(from, to, right - left, key);
    }
    return true;
}

} // namespace

void DrawTransparentBitmap(HDC DC, const RECT& Target, TBitmap* Bitmap, TColor Key)
{
    if (Inverted(Target) || Bitmap == nullptr || Bitmap->Empty())
        return;
    if (KeyedCopyInMemory(DC, Target, Bitmap, Key))
        return;
    // The mask: 1 (white) where the bitmap has the key colour, 0 elsewhere. The bitmap keeps it
    // until its pixels change; its pixels are not touched.
    HBITMAP mask = Bitmap->CreateMask(Key);
    HDC source = Bitmap->Canvas()->Handle();
    MaskedBlt(DC, Target.left, Target.top, Target.right - Target.left, Target.bottom - Target.top, source, 0, 0, mask,
              IsNTPlatform() ? TMaskMethod::MaskBlt : TMaskMethod::ThreeBlits);
}

void DrawFrameImage(HDC DC, const RECT& Target, TBitmap* Strip, const TMargins& Margins, int Index, int Count,
                    bool Transparent, bool Tile, bool Vertical)
{
    if (Inverted(Target))
        return;
    std::unique_ptr<TBitmap> image = BuildFrameBitmap(Target, Strip, Margins, Index, Count, Tile, Vertical);
    if (!image || image->Empty())
        return;
    const int w = image->Width();
    const int h = image->Height();
    if (Transparent)
        DrawTransparentBitmap(DC, RECT{Target.left, Target.top, Target.left + w, Target.top + h}, image.get(),
                              SkinKeyColour);
    else
        BitBlt(DC, Target.left, Target.top, w, h, image->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void DrawTiledFrame(TCanvas& Canvas, const RECT& Target, TBitmap* Strip, const TMargins& Margins, int Index,
                    int Count, bool Transparent, bool Vertical)
{
    TFramePlace f;
    if (Inverted(Target) || !LocateFrame(Strip, Index, Count, Vertical, f))
        return;
    const int W = Target.right - Target.left;
    const int H = Target.bottom - Target.top;
    TBitmap bar(W, H, pf32bit);
    if (bar.Empty())
        return;
    bar.Canvas()->SetStretchMode(COLORONCOLOR);
    const int L = Margins.Left, R = Margins.Right;
    // The middle at its own width; a middle of no width is left out (it would never advance).
    const int c = f.FW - L - R;
    if (SaneMargin(L) && SaneMargin(R) && L <= f.FW && R <= f.FW && L <= W && R <= W) {
        const TPixelView out = PixelViewOf(bar);
        const TFramePixels frame(*Strip, f.SX, f.SY, f.FW, f.FH);
        StretchPiece(out, 0, 0, L, H, frame.View(), 0, 0, L, f.FH);
        if (c > 0)
            for (int x = L; x < W - R; x += c)
                StretchPiece(out, x, 0, c, H, frame.View(), L, 0, c, f.FH);
        StretchPiece(out, W - R, 0, R, H, frame.View(), f.FW - R, 0, R, f.FH);
    } else {
        HDC dc = bar.Canvas()->Handle();
        HDC src = Strip->Canvas()->Handle();
        Piece(dc, 0, 0, L, H, src, f.SX, f.SY, L, f.FH);
        if (c > 0)
            for (int x = L; x < W - R; x += c)
                Piece(dc, x, 0, c, H, src, f.SX + L, f.SY, c, f.FH);
        Piece(dc, W - R, 0, R, H, src, f.SX + f.FW - R, f.SY, R, f.FH);
    }
    if (Transparent) {
        bar.SetTransparentColor(SkinKeyColour);
        bar.SetTransparent(true);
        bar.Draw(Canvas, Target.left, Target.top);
        return;
    }
    HDC dest = Canvas.Handle();
    Canvas.Changing();
    BitBlt(dest, Target.left, Target.top, W, H, bar.Canvas()->Handle(), 0, 0, SRCCOPY);
    Canvas.Changed();
}

void DrawFrameBorder(HDC DC, const RECT& Target, TBitmap* Strip, const TMargins& Margins, int Index, int Count,
                     bool Vertical)
{
    TFramePlace f;
    if (!LocateFrame(Strip, Index, Count, Vertical, f))
        return;
    const int W = Target.right - Target.left;
    const int H = Target.bottom - Target.top;
    const TMargins m = DropMargins(Margins, W, H);
    SetStretchBltMode(DC, COLORONCOLOR);
    HDC src = Strip->Canvas()->Handle();
    for (const TNinePiece& p : NinePieces(W, H, f.FW, f.FH, m))
        if (p.Wanted && !p.Centre)
            Piece(DC, Target.left + p.X, Target.top + p.Y, p.W, p.H, src, f.SX + p.SX, f.SY + p.SY, p.SW, p.SH);
}

void DrawStretchFrame(HDC DC, const RECT& Target, TBitmap* Strip, int Index, int Count, bool Transparent)
{
    TFramePlace f;
    if (Inverted(Target) || !LocateFrame(Strip, Index, Count, false, f))
        return;
    const int W = Target.right - Target.left;
    const int H = Target.bottom - Target.top;
    if (W <= 0 || H <= 0)
        return;
    if (!Transparent) {
        const int mode = SetStretchBltMode(DC, COLORONCOLOR);
        Piece(DC, Target.left, Target.top, W, H, Strip->Canvas()->Handle(), f.SX, 0, f.FW, f.FH);
        SetStretchBltMode(DC, mode);
        return;
    }
    // Keyed: stretched into a scratch bitmap first (making one costs more than the draw; it only
    // grows), whose top-left W x H is then drawn without the key.
    if (GScratch == nullptr) {
        auto made = std::make_unique<TBitmap>();
        made->SetPixelFormat(pf32bit);
        GScratch = made.release();
    }
    TBitmap* scratch = GScratch;
    if (scratch->Width() < W || scratch->Height() < H)
        scratch->SetSize(std::max(W, scratch->Width()), std::max(H, scratch->Height()));
    if (scratch->Empty())
        return;
    // Shrunk, whole pixels are dropped: the default mode would AND them together and make key
    // pixels that are no longer the key colour.
    TBitmapCanvas& canvas = *scratch->Canvas();
    canvas.Changing();
    HDC work = canvas.Handle();
    SetStretchBltMode(work, COLORONCOLOR);
    Piece(work, 0, 0, W, H, Strip->Canvas()->Handle(), f.SX, 0, f.FW, f.FH);
    canvas.Changed(); // the mask of its last pixels goes
    DrawTransparentBitmap(DC, RECT{Target.left, Target.top, Target.left + W, Target.top + H}, scratch, SkinKeyColour);
}

HRGN BuildBitmapRegion(TBitmap* Bitmap, int X, int Y, TColor Key, uint8_t RedTolerance, uint8_t GreenTolerance,
                       uint8_t BlueTolerance)
{
    const int keyR = Key & 0xFF, keyG = (Key >> 8) & 0xFF, keyB = (Key >> 16) & 0xFF;
    const int maxR = std::min(255, keyR + RedTolerance);
    const int maxG = std::min(255, keyG + GreenTolerance);
    const int maxB = std::min(255, keyB + BlueTolerance);
    auto isKey = [&](const uint8_t* p) {
        return p[2] >= keyR && p[2] <= maxR && p[1] >= keyG && p[1] <= maxG && p[0] >= keyB && p[0] <= maxB;
    };

    constexpr size_t Batch = 2000;
    constexpr size_t Step = 500;
    // RGNDATAHEADER, then the rectangles.
    std::vector<uint8_t> buffer(sizeof(RGNDATAHEADER) + Step * sizeof(RECT));
    size_t count = 0;
    RECT bounds{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
    TRegionHandle result;
    auto flush = [&] {
        auto* header = reinterpret_cast<RGNDATAHEADER*>(buffer.data());
        header->dwSize = sizeof(RGNDATAHEADER);
        header->iType = RDH_RECTANGLES;
        header->nCount = static_cast<DWORD>(count);
        header->nRgnSize = 0;
        header->rcBound = bounds;
        TRegionHandle batch(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()),
                                            reinterpret_cast<const RGNDATA*>(buffer.data())));
        if (!batch)
            throw EOutOfResources("Cannot create a region");
        if (!result)
            result = std::move(batch);
        else
            CombineRgn(result.get(), result.get(), batch.get(), RGN_OR);
        count = 0;
        bounds = RECT{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
    };
    auto add = [&](int x1, int x2, int y) {
        if ((count + 1) * sizeof(RECT) + sizeof(RGNDATAHEADER) > buffer.size())
            buffer.resize(buffer.size() + Step * sizeof(RECT));
        const RECT r{X + x1, Y + y, X + x2, Y + y + 1};
        std::memcpy(buffer.data() + sizeof(RGNDATAHEADER) + count * sizeof(RECT), &r, sizeof r);
        ++count;
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
        if (count == Batch)
            flush();
    };

    if (Bitmap != nullptr && !Bitmap->Empty()) {
        Bitmap->SetPixelFormat(pf32bit);
        const int w = Bitmap->Width();
        const int h = Bitmap->Height();
        // Rows through the bitmap's own stride, so a bitmap of one row is read right too.
        const uint8_t* base = Bitmap->ScanLine(0);
        const int stride = Bitmap->Stride();
        for (int y = 0; y < h; ++y) {
            const uint8_t* row = base + static_cast<ptrdiff_t>(y) * stride;
            int x = 0;
            while (x < w) {
                while (x < w && isKey(row + x * 4))
                    ++x;
                const int start = x;
                while (x < w && !isKey(row + x * 4))
                    ++x;
                if (x > start)
                    add(start, x, y);
            }
        }
    }
    flush();
    return result.release();
}
