// Headers, status bars, progress bars and track bars on real controls, read back by pixel from a
// skin whose every frame has its own colour: which frame each part shows, where the last panel,
// the grip, the filled part and the chunks go, the track bar's custom-draw answers, the native
// look where the skin has no element, discovery, and the controls given back exactly.
#include "skin/controls/SkinBars.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/win/ControlMessages.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinPackages.h"
#include "tests/support/WindowPixels.h"
#include "tests/support/SkinnedHost.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <climits>
#include <memory>
#include <string>

namespace {

// 0x00RRGGBB, as the bitmaps hold them.
constexpr uint32_t StatusFrames[3] = {0xA01010, 0x10A010, 0x1010A0}; // lowered, raised, no bevel
constexpr uint32_t Grip = 0xE0E000;
constexpr uint32_t HeaderFrames[5] = {0x8040C0, 0x111111, 0x222222, 0x333333, 0x444444};
constexpr uint32_t Trough = 0x20C0C0, Fill = 0xC02080, Chunk = 0x40A0F0;
constexpr uint32_t Thumb = 0x40A040;
constexpr uint32_t Face = 0xC8C8C8, Shadow = 0x506070, Text = 0x010203;
constexpr uint32_t Key = 0xFF00FF;

struct TBarSkin {
    bool Status = true, Header = true, Progress = true, Buttons = true;
    bool Chunks = false;
};

std::string Description(const TBarSkin& S)
{
    std::string ini = "[TitlebarSkin]\r\nSkinName=Bars\r\n"
                      "[Colours]\r\nButtonFace=200 200 200\r\nButtonShadow=80 96 112\r\nButtonText=0 0 0\r\n";
    if (S.Buttons)
        ini += "[Buttons]\r\nBitmap=button.bmp\r\nTrans=1\r\n";
    if (S.Status)
        ini += "[StatusBarEdges]\r\nImage=status.bmp\r\nNormalColour2=1 2 3\r\n"
               "[ExtraImages]\r\nImage=extra.bmp\r\n";
    if (S.Header)
        ini += "[Headerbar]\r\nImage=header.bmp\r\n";
    if (S.Progress)
        ini += S.Chunks ? "[Progress]\r\nBitmap=trough.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\nStyle=1\r\n"
                          "Chunk=chunk.bmp\r\nTrans=1\r\n"
                        : "[Progress]\r\nBitmap=progress.bmp\r\nTrans=1\r\n";
    return ini;
}

std::vector<TPackageEntry> Bitmaps()
{
    auto strip = [](int W, int H, const uint32_t* Colours, int Count) {
        return Bmp(W * Count, H, [=](int x, int) { return Colours[x / W]; });
    };
    const uint32_t buttons[5] = {0x101010, 0x202020, 0x303030, Thumb, 0x505050};
    const uint32_t progress[2] = {Trough, Fill};
    // The grip: frame 5 of 6 x 6 frames, its top-left corner the key colour.
    const std::string extra = Bmp(30, 6, [](int x, int y) { return x < 24 ? 0x303030u : (x < 26 && y < 2 ? Key : Grip); });
    return {{"button.bmp", strip(8, 8, buttons, 5)},
            {"status.bmp", strip(4, 4, StatusFrames, 3)},
            {"extra.bmp", extra},
            {"header.bmp", strip(4, 4, HeaderFrames, 5)},
            {"progress.bmp", strip(4, 4, progress, 2)},
            {"trough.bmp", Bmp(6, 6, [](int, int) { return Trough; })},
            {"chunk.bmp", Bmp(8, 6, [](int x, int) { return x < 6 ? Chunk : Key; })}};
}

uint32_t SysColour(int Index)
{
    const COLORREF c = GetSysColor(Index);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

void Redraw(HWND W)
{
    RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// Pixels of the rectangle that differ from Colour.
int Others(HWND W, const RECT& R, uint32_t Colour)
{
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            n += WindowPixel(W, x, y) != Colour ? 1 : 0;
    return n;
}

struct TSkinBarsTest : TSkinnedHostTest {
    void SetUp() override
    {
        OpenHost(0, 0, 420, 300, true);
        ASSERT_TRUE(Load(TBarSkin{}));
    }
    bool Load(const TBarSkin& S) { return LoadSkinPackage(*Data, Description(S), Bitmaps()); }

    template <class T> T* Make(int X, int Y, int W, int H)
    {
        auto* control = new T(Host.get());
        control->SetParent(Host.get());
        control->SetBounds(X, Y, W, H);
        control->HandleNeeded();
        return control;
    }
    template <class A> A* Attach(TWinControl* Control)
    {
        auto* adaptor = new A(&Skin->AdaptorSet());
        adaptor->AttachControl(Control, Data.get(), false, Skin->AdaptorSet().Canvas());
        Redraw(Control->Handle());
        return adaptor;
    }

};

} // namespace

TEST_F(TSkinBarsTest, StatusBarPanelsTheLastReachingTheEdgeTheGripAndTheSimplePanel)
{
    auto* bar = Make<TStatusBar>(0, 200, 300, 22);
    bar->SetAlign(alNone);
    bar->SetBounds(0, 200, 300, 22);
    const char* texts[3] = {"One", "", "Three"};
    const TStatusPanelBevel bevels[3] = {pbLowered, pbRaised, pbNone};
    for (int i = 0; i < 3; ++i) {
        TStatusPanel* panel = bar->Panels()->Add();
        panel->SetText(texts[i]);
        panel->SetBevel(bevels[i]);
        panel->SetWidth(60);
    }
    HWND w = bar->Handle();
    const TWndMethod original = bar->WindowProc();
    auto* adaptor = Attach<TSkinStatusBar>(bar);
    RECT parts[3]{};
    for (int i = 0; i < 3; ++i)
        SendMessageA(w, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&parts[i]));
    const int top = parts[0].top + 1;
    EXPECT_EQ(WindowPixel(w, parts[0].left + 1, top), StatusFrames[0]);
    EXPECT_EQ(WindowPixel(w, parts[1].left + 1, top), StatusFrames[1]);
    // The third panel is 60 wide but its frame reaches the bar's right edge.
    EXPECT_EQ(WindowPixel(w, parts[2].left + 1, top), StatusFrames[2]);
    EXPECT_EQ(WindowPixel(w, 290, top), StatusFrames[2]);
    // The first panel's text in the element's colour; the empty one shows nothing but its frame.
    EXPECT_GT(Others(w, parts[0], StatusFrames[0]), 0);
    EXPECT_EQ(Others(w, parts[1], StatusFrames[1]), 0);
    // The grip, frame 5 of "ExtraImages", one pixel in from the bottom-right corner; its key
    // pixels show the panel.
    ASSERT_NE(GetWindowLongA(w, GWL_STYLE) & SBARS_SIZEGRIP, 0);
    EXPECT_EQ(WindowPixel(w, 300 - 2, 22 - 2), Grip);
    EXPECT_EQ(WindowPixel(w, 300 - 7, 22 - 7), StatusFrames[2]);
    EXPECT_EQ(WindowPixel(w, 300 - 1, 22 - 1), StatusFrames[2]);

    // Wider: the last panel follows.
    bar->SetWidth(400);
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, 380, top), StatusFrames[2]);

    // The simple panel: one lowered panel over the whole bar, its text on the left.
    bar->SetSimpleText("Simple");
    bar->SetSimplePanel(true);
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, 0, 0), StatusFrames[0]);
    EXPECT_EQ(WindowPixel(w, 250, 1), StatusFrames[0]);
    EXPECT_GT(Others(w, RECT{0, 0, 50, 22}, StatusFrames[0]), 0);
    bar->SetSimplePanel(false);

    // Without "StatusBarEdges": the plain bevels, sunken for the lowered panel, raised for the
    // raised one, no frame for the last.
    ASSERT_TRUE(Load(TBarSkin{false, true, true, true}));
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, parts[0].left, parts[0].top), SysColour(COLOR_BTNSHADOW));
    EXPECT_EQ(WindowPixel(w, parts[0].right - 1, parts[0].bottom - 1), SysColour(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(WindowPixel(w, parts[1].left, parts[1].top), SysColour(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(WindowPixel(w, parts[2].left + 1, parts[2].top), Face);

    // Given back: the hook, the same window, the grip as the host set it.
    delete adaptor;
    EXPECT_EQ(bar->WindowProc(), original);
    EXPECT_EQ(bar->Handle(), w);
    EXPECT_TRUE(bar->SizeGrip());
    EXPECT_NE(GetWindowLongA(w, GWL_STYLE) & SBARS_SIZEGRIP, 0);
}

TEST(SkinProgressTest, FilledWidthFollowsThePositionWithinTheRange)
{
    EXPECT_EQ(TSkinProgress::FilledWidth(200, 30, 0, 100), 60);
    // The lower limit counts: halfway is half the bar.
    EXPECT_EQ(TSkinProgress::FilledWidth(200, 75, 50, 100), 100);
    EXPECT_EQ(TSkinProgress::FilledWidth(200, 100, 0, 100), 200);
    EXPECT_EQ(TSkinProgress::FilledWidth(200, 0, 0, 100), 0);
    EXPECT_EQ(TSkinProgress::FilledWidth(200, 0, -100, 100), 100);
    EXPECT_EQ(TSkinProgress::FilledWidth(200, 5, 5, 5), 0);
    EXPECT_EQ(TSkinProgress::FilledWidth(200, INT_MAX, INT_MIN, INT_MAX), 200);
}

TEST_F(TSkinBarsTest, ProgressBarsFillStretchedOrInChunksAndKeepTheirLookWithoutTheElement)
{
    auto* bar = Make<TProgressBar>(10, 10, 200, 16);
    bar->SetPosition(30);
    HWND w = bar->Handle();
    auto* adaptor = Attach<TSkinProgress>(bar);
    EXPECT_EQ(WindowPixel(w, 0, 8), Fill);
    EXPECT_EQ(WindowPixel(w, 59, 8), Fill);
    EXPECT_EQ(WindowPixel(w, 60, 8), Trough);
    EXPECT_EQ(WindowPixel(w, 199, 8), Trough);
    // A new position repaints.
    bar->SetPosition(0);
    UpdateWindow(w);
    EXPECT_EQ(WindowPixel(w, 0, 8), Trough);
    bar->SetRange(50, 100);
    bar->SetPosition(75);
    UpdateWindow(w);
    EXPECT_EQ(WindowPixel(w, 99, 8), Fill);
    EXPECT_EQ(WindowPixel(w, 100, 8), Trough);

    // The chunk look: 8-pixel chunks (6 drawn, 2 key) over a filled width of 20, from the
    // trough's left end (2) and centred across the bar; the third chunk cut off at 20.
    ASSERT_TRUE(Load(TBarSkin{true, true, true, true, true}));
    bar->SetRange(0, 100);
    bar->SetPosition(10);
    Redraw(w);
    const int y = 8;
    EXPECT_EQ(WindowPixel(w, 2, y), Chunk);
    EXPECT_EQ(WindowPixel(w, 2 + 7, y), Trough);
    EXPECT_EQ(WindowPixel(w, 2 + 8, y), Chunk);
    EXPECT_EQ(WindowPixel(w, 2 + 19, y), Chunk);
    EXPECT_EQ(WindowPixel(w, 2 + 20, y), Trough);
    EXPECT_EQ(WindowPixel(w, 2, 4), Trough); // chunks are 6 high, from row 5
    // Full: the chunks stop at the trough's right end.
    bar->SetPosition(100);
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, 197, y), Chunk);
    EXPECT_EQ(WindowPixel(w, 198, y), Trough);

    // No "Progress" element, or a vertical bar: the bar paints itself.
    ASSERT_TRUE(Load(TBarSkin{true, true, false, true}));
    bar->SetPosition(50);
    Redraw(w);
    for (uint32_t c : {Trough, Fill, Chunk, Face})
        EXPECT_NE(WindowPixel(w, 20, 8), c);
    ASSERT_TRUE(Load(TBarSkin{}));
    bar->SetOrientation(pbVertical); // a new window: the adaptor of the old one leaves by itself
    adaptor = Attach<TSkinProgress>(bar);
    EXPECT_NE(WindowPixel(bar->Handle(), 8, 100), Trough);
    EXPECT_NE(WindowPixel(bar->Handle(), 8, 100), Fill);
    delete adaptor;
}

TEST_F(TSkinBarsTest, TrackBarAnswersEachDrawStageAndDrawsOnlyTheThumb)
{
    auto* bar = Make<TTrackBar>(10, 40, 200, 40);
    bar->SetPosition(5);
    HWND w = bar->Handle();
    const TWndMethod original = bar->WindowProc();
    auto* adaptor = Attach<TSkinTrackBar>(bar);

    // The reflected custom drawing, stage by stage, on a memory DC.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 40);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, 200, 40, WHITENESS);
    NMCUSTOMDRAW draw{};
    draw.hdr = NMHDR{w, 0, static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.hdc = memory;
    auto stage = [&](DWORD Stage, DWORD_PTR Item) {
        draw.dwDrawStage = Stage;
        draw.dwItemSpec = Item;
        return bar->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
    };
    EXPECT_EQ(stage(CDDS_PREPAINT, 0), CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(stage(CDDS_ITEMPREPAINT, TBCD_TICS), CDRF_DODEFAULT);
    EXPECT_EQ(stage(CDDS_ITEMPREPAINT, TBCD_CHANNEL), CDRF_DODEFAULT);
    EXPECT_EQ(GetPixel(memory, 100, 20) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(stage(CDDS_ITEMPREPAINT, TBCD_THUMB), CDRF_SKIPDEFAULT);
    RECT thumb{};
    SendMessageA(w, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int cx = (thumb.left + thumb.right) / 2, cy = (thumb.top + thumb.bottom) / 2;
    EXPECT_EQ(GetPixel(memory, cx, cy), RGB(0x40, 0xA0, 0x40));
    EXPECT_EQ(stage(CDDS_POSTPAINT, 0), CDRF_DODEFAULT);
    // The same through WM_NOTIFY; one from another window (the bar's tool tip) passes on.
    draw.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(SendMessageA(w, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)), CDRF_NOTIFYITEMDRAW);
    draw.hdr.hwndFrom = Host->Handle();
    EXPECT_NE(SendMessageA(w, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)), CDRF_NOTIFYITEMDRAW);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    // On the screen: the thumb from frame 4 of "Buttons", the channel the bar's own.
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, cx, cy), Thumb);
    RECT channel{};
    SendMessageA(w, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    EXPECT_NE(WindowPixel(w, channel.right - 4, (channel.top + channel.bottom) / 2), Thumb);
    // Without "Buttons": a rectangle outlined in the skin's shadow colour.
    ASSERT_TRUE(Load(TBarSkin{true, true, true, false}));
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, thumb.left, cy), Shadow);
    EXPECT_NE(WindowPixel(w, cx, cy), Thumb);

    delete adaptor;
    EXPECT_EQ(bar->WindowProc(), original);
    Redraw(w);
    EXPECT_NE(WindowPixel(w, thumb.left, cy), Shadow);
}

TEST_F(TSkinBarsTest, HeaderItemsTheRestAndAnItemWithOnlyAnImage)
{
    HWND w = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, 100, 300, 20, Host->Handle(),
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
    HDC screen = GetDC(nullptr);
    HBITMAP red = CreateCompatibleBitmap(screen, 16, 16);
    {
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, red);
        HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
        RECT r{0, 0, 16, 16};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    ReleaseDC(nullptr, screen);
    ImageList_Add(images, red, nullptr);
    DeleteObject(red);
    SendMessageA(w, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    auto insert = [&](int Index, const char* Text, int Width, int Format) {
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | ((Format & HDF_IMAGE) != 0 ? HDI_IMAGE : 0);
        item.pszText = const_cast<char*>(Text);
        item.cxy = Width;
        item.fmt = Format;
        item.iImage = 0;
        SendMessageA(w, HDM_INSERTITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item));
    };
    insert(0, "Name", 100, HDF_LEFT | HDF_STRING);
    insert(1, "", 80, HDF_LEFT | HDF_IMAGE);
    const LONG_PTR original = GetWindowLongPtrA(w, GWLP_WNDPROC);
    auto* adaptor = new TSkinHeader(&Skin->AdaptorSet());
    adaptor->AttachWindow(w, Data.get(), Skin->AdaptorSet().Canvas());
    EXPECT_EQ(Skin->AdaptorSet().FindAdaptor(w), adaptor);
    Redraw(w);
    EXPECT_EQ(WindowPixel(w, 2, 2), HeaderFrames[0]);
    EXPECT_GT(Others(w, RECT{0, 0, 60, 20}, HeaderFrames[0]), 0); // the caption
    // The image-only item shows its face alone, and the rest past the items frame 1 too.
    EXPECT_EQ(Others(w, RECT{100, 0, 180, 20}, HeaderFrames[0]), 0);
    EXPECT_EQ(Others(w, RECT{180, 0, 300, 20}, HeaderFrames[0]), 0);

    // No "Headerbar": the header paints itself.
    ASSERT_TRUE(Load(TBarSkin{true, false, true, true}));
    Redraw(w);
    EXPECT_NE(WindowPixel(w, 250, 10), HeaderFrames[0]);
    delete adaptor;
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), original);
    DestroyWindow(w);
    ImageList_Destroy(images);
}

// A column of width 0 shows nothing, and a column's text stays inside its column: right-aligned
// text of a hidden column, or too long for its column, would otherwise be drawn over the column
// before it. The first column shows exactly as in a header without them.
TEST_F(TSkinBarsTest, HiddenColumnsDrawNothingAndTextStaysInItsColumn)
{
    auto header = [&](int Y, std::vector<std::pair<const char*, int>> Items) {
        HWND w = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, Y, 300, 20, Host->Handle(),
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        for (size_t i = 0; i < Items.size(); ++i) {
            HDITEMA item{};
            item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
            item.pszText = const_cast<char*>(Items[i].first);
            item.cxy = Items[i].second;
            item.fmt = (i == 0 ? HDF_LEFT : HDF_RIGHT) | HDF_STRING;
            SendMessageA(w, HDM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        }
        auto* adaptor = new TSkinHeader(&Skin->AdaptorSet());
        adaptor->AttachWindow(w, Data.get(), Skin->AdaptorSet().Canvas());
        Redraw(w);
        return w;
    };
    HWND odd = header(100, {{"Name", 80}, {"Hidden one", 0}, {"Hidden two", 0}, {"A long size column", 30}});
    HWND plain = header(130, {{"Name", 80}, {"Size", 30}});
    const std::vector<uint32_t> a = WindowPixels(odd), b = WindowPixels(plain);
    ASSERT_EQ(a.size(), b.size());
    int differ = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x)
            differ += a[static_cast<size_t>(y) * 300 + x] != b[static_cast<size_t>(y) * 300 + x];
    EXPECT_EQ(differ, 0) << "text of a hidden column, or of one too narrow for it, shows over the column before";
    EXPECT_GT(Others(odd, RECT{80, 0, 110, 20}, HeaderFrames[0]), 0) << "the long text shows in its own column";
    DestroyWindow(odd);
    DestroyWindow(plain);
}

namespace {

class TGauge : public TProgressBar {
    DECLARE_CLASS(TGauge, TProgressBar)
public:
    explicit TGauge(TComponent* AOwner) : TProgressBar(AOwner) {}
};
IMPLEMENT_CLASS_EMPTY(TGauge)

// A control of another library that the class map calls a progress bar.
class TMeter : public TWinControl {
    DECLARE_CLASS(TMeter, TWinControl)
public:
    explicit TMeter(TComponent* AOwner) : TWinControl(AOwner) {}

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, PROGRESS_CLASSA);
    }
};
IMPLEMENT_CLASS_EMPTY(TMeter)

} // namespace

TEST_F(TSkinBarsTest, DiscoveryAttachesTheBarsAndUnskinGivesThemBack)
{
    auto* status = Make<TStatusBar>(0, 270, 420, 22);
    auto* progress = Make<TGauge>(10, 10, 200, 16);
    auto* track = Make<TTrackBar>(10, 40, 200, 40);
    auto* meter = Make<TMeter>(10, 90, 200, 16);
    Data->Skin3rd()->Add("TMeter=Progress");
    const TWndMethod originals[4] = {status->WindowProc(), progress->WindowProc(), track->WindowProc(),
                                     meter->WindowProc()};
    HWND handles[4] = {status->Handle(), progress->Handle(), track->Handle(), meter->Handle()};
    Skin->AttachForm(Data.get(), Host.get());
    auto adaptorOf = [&](TControl* Control) -> TSkinControl* {
        for (TSkinControl* a : Skin->AdaptorSet().Adaptors())
            if (a->Control() == Control)
                return a;
        return nullptr;
    };
    EXPECT_NE(dynamic_cast<TSkinStatusBar*>(adaptorOf(status)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinProgress*>(adaptorOf(progress)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinTrackBar*>(adaptorOf(track)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinProgress*>(adaptorOf(meter)), nullptr);
    Pump(30);
    EXPECT_EQ(WindowPixel(status->Handle(), 100, 2), StatusFrames[0]);
    // Painted through the form: the track bar's custom drawing reaches the adaptor.
    RECT thumb{};
    SendMessageA(track->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    Redraw(track->Handle());
    EXPECT_EQ(WindowPixel(track->Handle(), (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), Thumb);

    // The track bar took the face colour for the background it fills itself.
    EXPECT_EQ(track->Color(), static_cast<TColor>(Face));

    // The host makes the status bar's window anew while skinned: the old window's adaptor
    // leaves with it, and the next walk skins the new one.
    status->SetSizeGrip(false);
    EXPECT_EQ(adaptorOf(status), nullptr);
    Skin->AdaptorSet().AttachControls(Host.get());
    EXPECT_NE(dynamic_cast<TSkinStatusBar*>(adaptorOf(status)), nullptr);
    Redraw(status->Handle());
    EXPECT_EQ(WindowPixel(status->Handle(), 100, 2), StatusFrames[0]);
    handles[0] = status->Handle();
    status->SetSizeGrip(true);
    Skin->AdaptorSet().AttachControls(Host.get());
    handles[0] = status->Handle();

    Skin->Unskin();
    EXPECT_TRUE(Skin->AdaptorSet().Adaptors().empty());
    EXPECT_EQ(track->Color(), clBtnFace);
    TWinControl* controls[4] = {status, progress, track, meter};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(controls[i]->WindowProc(), originals[i]) << i;
        EXPECT_EQ(controls[i]->Handle(), handles[i]) << i;
    }
    Redraw(status->Handle());
    EXPECT_NE(WindowPixel(status->Handle(), 100, 2), StatusFrames[0]);

    // A bare window's header, status bar and progress bar, found among its child windows.
    auto child = [&](const char* Class) {
        return CreateWindowExA(0, Class, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, Host->Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    HWND header = child(WC_HEADERA), bar = child(STATUSCLASSNAMEA), gauge = child(PROGRESS_CLASSA);
    Pump(30); // shown in their own look, as a program's new windows are before the next walk
    Skin->AdaptorSet().AttachChildWindows();
    EXPECT_NE(dynamic_cast<TSkinHeader*>(Skin->AdaptorSet().FindAdaptor(header)), nullptr);
    EXPECT_NE(dynamic_cast<TSkinStatusBar*>(Skin->AdaptorSet().FindAdaptor(bar)), nullptr);
    Pump(30);
    EXPECT_EQ(WindowPixel(bar, 50, 2), StatusFrames[0]) << "the status bar shows the skin without a redraw";
    EXPECT_NE(dynamic_cast<TSkinProgress*>(Skin->AdaptorSet().FindAdaptor(gauge)), nullptr);
    Skin->AdaptorSet().ReleaseAdaptors();
    for (HWND w : {header, bar, gauge})
        DestroyWindow(w);
}

TEST_F(TSkinBarsTest, APlatformStatusBarIsReadFromItsWindow)
{
    HWND w = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 100,
                             300, 22, Host->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    const int edges[3] = {80, 160, -1};
    SendMessageA(w, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SendMessageA(w, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("\tMiddle"));
    SendMessageA(w, SB_SETTEXTA, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("\t\tRight"));
    SendMessageA(w, SB_SETTEXTA, 2 | SBT_OWNERDRAW, 12345);
    auto* adaptor = new TSkinStatusBar(&Skin->AdaptorSet());
    adaptor->AttachWindow(w, Data.get(), Skin->AdaptorSet().Canvas());
    const std::vector<TStatusPanelLook> panels = adaptor->Panels(RECT{0, 0, 300, 22});
    ASSERT_EQ(panels.size(), 3u);
    EXPECT_EQ(panels[0].Text, "Middle");
    EXPECT_EQ(panels[0].Alignment, static_cast<UINT>(DT_CENTER));
    EXPECT_EQ(panels[1].Text, "Right");
    EXPECT_EQ(panels[1].Alignment, static_cast<UINT>(DT_RIGHT));
    EXPECT_EQ(panels[1].Frame, 2);
    EXPECT_EQ(panels[2].Text, ""); // an owner-drawn part's data is not text
    EXPECT_EQ(panels[2].Rect.right, 300);
    Redraw(w);
    // The centred text sits in the middle of its panel, the right-aligned one at its right end.
    EXPECT_EQ(Others(w, RECT{2, 2, 20, 20}, StatusFrames[0]), 0);
    EXPECT_GT(Others(w, RECT{25, 2, 55, 20}, StatusFrames[0]), 0);
    EXPECT_EQ(Others(w, RECT{82, 2, 110, 20}, StatusFrames[1]), 0);
    EXPECT_GT(Others(w, RECT{125, 2, 158, 20}, StatusFrames[1]), 0);
    delete adaptor;
    DestroyWindow(w);
}
