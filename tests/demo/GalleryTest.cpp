// The gallery as its users try it: every page captured unskinned, then with each built-in skin,
// then with the skin off again, must come back pixel for pixel; a skin file that does not load
// leaves the current skin and says why; the command line.
#include "demo/DemoForm.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/Timer.h"
#include "framework/core/Dialogs.h"
#include "framework/core/MemIniFile.h"
#include "framework/core/Stream.h"
#include "framework/graphics/BitmapCodec.h"
#include "framework/graphics/GraphicsObjects.h"
#include "framework/win/Files.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "skin/package/SkinRead.h"
#include "tests/support/Pump.h"
#include "tests/support/WindowPixels.h"
#include "tools/skinpack/Commands.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TCapture {
    RECT Bounds{};
    std::vector<uint32_t> Pixels;
};

// How many pixels differ, and where the first one is. Pictures of different places or sizes
// cannot be compared: that fails the test.
std::string Differences(const TCapture& A, const TCapture& B, size_t* Count = nullptr)
{
    const int w = A.Bounds.right - A.Bounds.left;
    if (!EqualRect(&A.Bounds, &B.Bounds) || A.Pixels.size() != B.Pixels.size()) {
        ADD_FAILURE() << "pictures of different places or sizes";
        if (Count != nullptr)
            *Count = 0;
        return "the window moved or changed its size";
    }
    size_t count = 0, first = 0;
    for (size_t i = 0; i < A.Pixels.size(); ++i)
        if (A.Pixels[i] != B.Pixels[i] && count++ == 0)
            first = i;
    if (Count != nullptr)
        *Count = count;
    if (count == 0)
        return "";
    return std::to_string(count) + " pixels differ, the first at (" + std::to_string(first % w) + ", " +
           std::to_string(first / w) + ")";
}

struct TGalleryTest : ::testing::Test {
    void SetUp() override
    {
        RegisterDemoForm();
        FSaved = SetMessageBoxHandler([this](const std::string& Text, const std::string&, uint32_t) {
            Shown.push_back(Text);
            return IDOK;
        });
        // The cursor away from every window: nothing hot.
        SetCursorPos(2, 2);
    }
    void TearDown() override
    {
        Form.reset();
        FreeSkinManager();
        SetMessageBoxHandler(FSaved);
    }
    void Open(const TGalleryOptions& Options)
    {
        Form = std::make_unique<TDemoForm>(nullptr);
        Form->Start(Options);
        StillPictures();
        Form->Show();
        SetForegroundWindow(Form->Handle());
        Form->Pages->SetFocus();
        Pump(300);
    }
    // Still pictures: the moving bar stopped, the clock at one time (both made with their
    // pages). The focus goes to the page control (no caret).
    void StillPictures()
    {
        if (Form->Timer1 != nullptr) {
            Form->Timer1->SetEnabled(false);
            Form->Progress1->SetPosition(40);
        }
        if (auto* clock = dynamic_cast<TWinControl*>(Form->FindComponent("DateTimePicker2"))) {
            SYSTEMTIME noon{2026, 12, 4, 10, 12, 0, 0, 0};
            SendMessageA(clock->Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&noon));
        }
    }
    // The window (the gallery's when nullptr), frame included, as the screen shows it once
    // everything pending is done (the manager's request included), without asking for a redraw.
    TCapture Capture(HWND Window = nullptr)
    {
        if (Window == nullptr)
            Window = Form->Handle();
        Pump(100);
        for (int i = 0; i < 100 && SkinManager() != nullptr && SkinManager()->TimerArmed(); ++i)
            Pump(20);
        Pump(150);
        TCapture shot;
        GetWindowRect(Window, &shot.Bounds);
        shot.Pixels = WindowPixels(Window);
        return shot;
    }
    // The client area of a capture of Window taken in its present geometry.
    static TCapture ClientOf(const TCapture& Shot, HWND Window)
    {
        RECT client{};
        GetClientRect(Window, &client);
        POINT origin{0, 0};
        ClientToScreen(Window, &origin);
        const int width = Shot.Bounds.right - Shot.Bounds.left;
        const int dx = origin.x - Shot.Bounds.left, dy = origin.y - Shot.Bounds.top;
        TCapture part;
        part.Bounds = RECT{0, 0, client.right, client.bottom};
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x)
                part.Pixels.push_back(Shot.Pixels[static_cast<size_t>(y + dy) * width + x + dx]);
        return part;
    }

    std::unique_ptr<TDemoForm> Form;
    std::vector<std::string> Shown;

private:
    TMessageBoxHandler FSaved;
};

struct TGalleryPageTest : TGalleryTest, ::testing::WithParamInterface<int> {};

} // namespace

TEST(GalleryOptions, CommandLine)
{
    EXPECT_EQ(SplitCommandLine("demo.exe /page=3 \"/skin=C:\\my skins\\a.skn\"  x\\\"y"),
              (std::vector<std::string>{"demo.exe", "/page=3", "/skin=C:\\my skins\\a.skn", "x\"y"}));
    TGalleryOptions o = ParseGalleryOptions({"/page=3", "/SKIN=C:\\a b.skn"});
    EXPECT_EQ(o.Page, 3);
    EXPECT_EQ(o.SkinFile, "C:\\a b.skn");
    EXPECT_FALSE(o.NoSkin);
    o = ParseGalleryOptions({"/page=7", "/page=0", "/page=12", "/noskin", "/unknown"});
    EXPECT_EQ(o.Page, 1) << "pages out of range are ignored";
    EXPECT_TRUE(o.NoSkin);
    EXPECT_EQ(ParseGalleryOptions({"/page=6"}).Page, 6);
}

// Unskinned at the start, then each built-in skin, then off again: the same pixels as at first.
TEST_P(TGalleryPageTest, SwitchingSkinsAndOffAgainIsExact)
{
    TGalleryOptions options;
    options.Page = GetParam();
    options.NoSkin = true;
    Open(options);
    ASSERT_EQ(Form->Page(), GetParam());
    ASSERT_EQ(Form->CurrentSkin(), "");
    const TCapture plain = Capture();
    ASSERT_FALSE(plain.Pixels.empty());
    const TCapture plainClient = ClientOf(plain, Form->Handle());

    ASSERT_TRUE(Form->UseBuiltinSkin(0));
    EXPECT_EQ(Form->CurrentSkin(), "Pembrox Slate");
    const TCapture slate = Capture();
    // The skins' frames differ from the platform's and from each other; the client area keeps
    // its place and size, and shows each skin.
    const TCapture slateClient = ClientOf(slate, Form->Handle());
    size_t changed = 0;
    Differences(plainClient, slateClient, &changed);
    EXPECT_GT(changed, plainClient.Pixels.size() / 10) << "the first skin hardly shows";

    ASSERT_TRUE(Form->UseBuiltinSkin(1));
    EXPECT_EQ(Form->CurrentSkin(), "Pembrox Night");
    const TCapture night = Capture();
    Differences(slateClient, ClientOf(night, Form->Handle()), &changed);
    EXPECT_GT(changed, plainClient.Pixels.size() / 10) << "the second skin looks like the first";

    Form->SkinOff();
    EXPECT_EQ(Form->CurrentSkin(), "");
    const TCapture after = Capture();
    EXPECT_EQ(Differences(plain, after), "") << "page " << GetParam();
    EXPECT_TRUE(Shown.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryPage, TGalleryPageTest, ::testing::Range(1, TDemoForm::PageCount + 1));

// A page the user first opens under a skin is made then: it looks exactly as when the gallery
// starts on it, every control on it skinned.
TEST_F(TGalleryTest, APageFirstShownLaterLooksAsWhenTheGalleryStartsOnIt)
{
    // (Not the Lists page: the platform's memo takes a wider sideways range for lines it is made
    // with than for the same lines set later, skinned or not.)
    const int pages[] = {2, 4, 5};
    std::vector<TCapture> started;
    for (int page : pages) {
        TGalleryOptions options;
        options.Page = page;
        Open(options);
        ASSERT_EQ(Form->CurrentSkin(), "Pembrox Slate");
        started.push_back(Capture(Form->Pages->Handle()));
        Form.reset();
        FreeSkinManager();
    }
    Open(TGalleryOptions{});
    for (size_t i = 0; i < started.size(); ++i) {
        // As a click on the tab does it.
        SendMessageA(Form->Pages->Handle(), TCM_SETCURFOCUS, pages[i] - 1, 0);
        StillPictures();
        ASSERT_EQ(Form->Page(), pages[i]);
        EXPECT_EQ(Differences(started[i], Capture(Form->Pages->Handle())), "") << "page " << pages[i];
    }
}

// A skin file that is missing, not a package, or a package whose stream is damaged where the skin
// reads it: the message says so and why, and the current skin (or no skin) stays, window and all.
TEST_F(TGalleryTest, ASkinThatDoesNotLoadLeavesTheCurrentOne)
{
    char temp[MAX_PATH]{};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "gallerytest-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string junk = folder + "\\junk.skn", damaged = folder + "\\damaged.skn";
    {
        TFileStream out(junk, fmCreate);
        out.WriteBuffer("not a skin at all", 17);
    }
    std::string package;
    ASSERT_TRUE(ReadProgramResource(BuiltinSkins()[1].Resource, package));
    {
        std::string bytes = package;
        for (size_t i = 64; i < bytes.size() / 4; ++i)
            bytes[i] = static_cast<char>(i * 37);
        TFileStream out(damaged, fmCreate);
        out.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    }

    TGalleryOptions options;
    options.SkinFile = junk;
    Open(options);
    ASSERT_EQ(Shown.size(), 1u) << "the start with a bad skin file says so";
    EXPECT_NE(Shown[0].find("junk.skn"), std::string::npos) << Shown[0];
    EXPECT_NE(Shown[0].find("stay unskinned"), std::string::npos) << Shown[0];
    EXPECT_EQ(Form->CurrentSkin(), "");

    ASSERT_TRUE(Form->UseBuiltinSkin(0));
    const TCapture before = Capture();
    for (const std::string& file : {junk, damaged, folder + "\\missing.skn"}) {
        Shown.clear();
        EXPECT_FALSE(Form->UseSkinFile(file));
        ASSERT_EQ(Shown.size(), 1u) << file;
        EXPECT_NE(Shown[0].find("could not be loaded:\n"), std::string::npos) << Shown[0];
        EXPECT_NE(Shown[0].find("The skin \"Pembrox Slate\" stays."), std::string::npos) << Shown[0];
        EXPECT_EQ(Form->CurrentSkin(), "Pembrox Slate");
    }
    EXPECT_NE(Shown[0].find("does not exist"), std::string::npos) << Shown[0];
    EXPECT_EQ(Differences(before, Capture()), "");

    // A good file after the bad ones loads.
    TFileStream(folder + "\\good.skn", fmCreate).WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
    EXPECT_TRUE(Form->UseSkinFile(folder + "\\good.skn"));
    EXPECT_EQ(Form->CurrentSkin(), "Pembrox Night");
    for (const char* name : {"\\junk.skn", "\\damaged.skn", "\\good.skn"})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

namespace {

// What the timer saw inside the standard dialog's own message loop.
struct TDialogVisit {
    TDemoForm* Form = nullptr;
    HWND Dialog = nullptr;
    int Ticks = 0;
    size_t Adaptors = 0;
    bool SkinnedAtFirst = false;
    bool PlainAfterSkinOff = false;
};
TDialogVisit GVisit;

void CALLBACK VisitDialog(HWND, UINT, UINT_PTR Timer, DWORD)
{
    TDialogVisit& v = GVisit;
    if (v.Dialog == nullptr)
        v.Dialog = FindWindowA("#32770", "A dialog of every standard class");
    if (v.Dialog == nullptr)
        return;
    ++v.Ticks;
    if (v.Ticks == 1) {
        TWinSkinForm* skin = SkinManager()->FindSkinForm(v.Dialog);
        v.SkinnedAtFirst = skin != nullptr;
        v.Adaptors = skin != nullptr ? skin->AdaptorSet().Adaptors().size() : 0;
        // The host switches the skin off while its dialog is up.
        v.Form->SkinOff();
    } else if (v.Ticks == 6) {
        v.PlainAfterSkinOff = SkinManager()->FindSkinForm(v.Dialog) == nullptr;
        KillTimer(nullptr, Timer);
        PostMessageA(v.Dialog, WM_COMMAND, IDOK, 0);
    }
}

} // namespace

// The dialog of every standard class comes up skinned, with its controls; switching the skin off
// from inside its modal loop gives it back, and it ends as usual.
// The author's loop: a skin's folder, as skinpack new writes it, shows what its package shows; a
// bitmap saved in the folder is on the screen within a second, the page and the window staying;
// a description saved broken keeps the last good skin and says why in the status bar, without a
// message box, until it is mended.
TEST_F(TGalleryTest, ASkinFolderLoadsLikeItsPackageAndFollowsEachSave)
{
    char temp[MAX_PATH]{};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "gallery-folder-" + std::to_string(GetCurrentProcessId());
    std::ostringstream said;
    ASSERT_EQ(RunSkinPack({"new", folder, "night"}, said, said), 0) << said.str();

    TGalleryOptions options;
    options.Page = 1;
    Open(options);
    ASSERT_TRUE(Form->UseBuiltinSkin(1));
    const TCapture package = Capture(Form->Pages->Handle());
    ASSERT_TRUE(Form->UseSkinFile(folder));
    EXPECT_EQ(Differences(package, Capture(Form->Pages->Handle())), "") << "the folder does not look like its package";
    const TCapture loaded = Capture();
    const int row = 3; // in the title band
    auto titleRow = [&] { return WindowPixels(Form->Handle(), row, 1); };
    const std::vector<uint32_t> title = titleRow();

    auto* push = dynamic_cast<TWinControl*>(Form->FindComponent("Push1"));
    ASSERT_NE(push, nullptr);
    const std::vector<uint32_t> button = WindowPixels(push->Handle());

    // The title band's strip and the push buttons' saved with their colours turned over: the
    // frame and the controls inside, whose colours and sizes stay, are drawn anew.
    auto save = [](const std::string& File, const std::string& Bytes) {
        TFileStream out(File, fmCreate);
        out.WriteBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
    };
    for (const char* name : {"\\top.bmp", "\\button.bmp"}) {
        std::string bitmap;
        {
            TFileStream in(folder + name, fmOpenRead);
            bitmap.resize(static_cast<size_t>(in.Size()));
            in.ReadBuffer(bitmap.data(), static_cast<int32_t>(bitmap.size()));
        }
        const uint32_t pixels = static_cast<uint8_t>(bitmap[10]) | static_cast<uint8_t>(bitmap[11]) << 8;
        for (size_t i = pixels; i < bitmap.size(); ++i)
            bitmap[i] = static_cast<char>(~bitmap[i]);
        save(folder + name, bitmap);
    }
    const DWORD saved = GetTickCount();
    while ((titleRow() == title || WindowPixels(push->Handle()) == button) && GetTickCount() - saved < 3000)
        Pump(20);
    const DWORD took = GetTickCount() - saved;
    std::printf("  the saved bitmaps on the screen %lu ms after the save\n", static_cast<unsigned long>(took));
    EXPECT_LT(took, 1000u) << "the saved bitmaps were not on the screen within a second";
    EXPECT_TRUE(titleRow() != title) << "the title band was not drawn anew";
    EXPECT_TRUE(WindowPixels(push->Handle()) != button) << "the push button was not drawn anew";
    EXPECT_EQ(Form->Page(), 1);
    RECT now{};
    GetWindowRect(Form->Handle(), &now);
    EXPECT_TRUE(EqualRect(&now, &loaded.Bounds)) << "the window moved";
    const TCapture changedPage = Capture(Form->Pages->Handle());
    const std::vector<uint32_t> changedTitle = titleRow();

    // The description saved broken: the skin stays, the status bar says why; mended, it loads.
    const std::string description = folder + "\\default.ini";
    std::string ini;
    {
        TFileStream in(description, fmOpenRead);
        ini.resize(static_cast<size_t>(in.Size()));
        in.ReadBuffer(ini.data(), static_cast<int32_t>(ini.size()));
    }
    std::string broken = ini;
    broken.replace(broken.find("Left=left.bmp"), 13, "Left=lost.bmp");
    save(description, broken);
    auto status = [&] { return Form->StatusText(); };
    for (DWORD start = GetTickCount(); status().find("Not loaded") == std::string::npos && GetTickCount() - start < 3000;)
        Pump(20);
    EXPECT_NE(status().find(" Not loaded: "), std::string::npos) << status();
    EXPECT_NE(status().find("(Pembrox Night stays)"), std::string::npos) << status();
    EXPECT_EQ(Differences(changedPage, Capture(Form->Pages->Handle())), "") << "the last good skin did not stay";
    EXPECT_TRUE(titleRow() == changedTitle) << "the last good skin's frame did not stay";
    save(description, ini);
    for (DWORD start = GetTickCount(); status().find("loaded again") == std::string::npos && GetTickCount() - start < 3000;)
        Pump(20);
    EXPECT_NE(status().find("loaded again"), std::string::npos) << status();
    EXPECT_TRUE(Shown.empty()) << Shown.front();

    Form.reset();
    for (const char* pattern : {"\\*.bmp", "\\*.ini"}) {
        WIN32_FIND_DATAA found{};
        const HANDLE find = FindFirstFileA((folder + pattern).c_str(), &found);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found))
            DeleteFileA((folder + "\\" + found.cFileName).c_str());
        if (find != INVALID_HANDLE_VALUE)
            FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

TEST_F(TGalleryTest, TheStandardDialogIsSkinnedAndLetGoOfWhileItRuns)
{
    TGalleryOptions options;
    options.Page = 6;
    Open(options);
    ASSERT_EQ(Form->CurrentSkin(), "Pembrox Slate");
    GVisit = TDialogVisit{Form.get()};
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, VisitDialog);
    Form->StandardDialogClick(nullptr); // returns when the dialog ends
    KillTimer(nullptr, timer);
    EXPECT_TRUE(GVisit.SkinnedAtFirst);
    // Buttons, check boxes, radio buttons, edits, combo boxes, the scroll bars, the tab control,
    // the progress bar and the header.
    EXPECT_GE(GVisit.Adaptors, 15u);
    EXPECT_TRUE(GVisit.PlainAfterSkinOff);
    EXPECT_EQ(Form->Status->Panels()->Items(0)->Text(), " The dialog ended with OK");
    EXPECT_EQ(Form->CurrentSkin(), "");
    // And on again afterwards.
    EXPECT_TRUE(Form->UseBuiltinSkin(1));
    EXPECT_EQ(Form->CurrentSkin(), "Pembrox Night");
}

namespace {

// The common dialog the timer found inside its modal loop (the dialog is the gallery's only
// top-level dialog window of the thread then).
struct TCommonDialogVisit {
    HWND Dialog = nullptr;
    bool Skinned = false;
    uint32_t LeftEdge = 0;
};
TCommonDialogVisit GCommon;

BOOL CALLBACK FindThreadDialog(HWND Window, LPARAM Found)
{
    if (WindowClassName(Window) == "#32770" && IsWindowVisible(Window)) {
        *reinterpret_cast<HWND*>(Found) = Window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK VisitCommonDialog(HWND, UINT, UINT_PTR Timer, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindThreadDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr)
        return;
    KillTimer(nullptr, Timer);
    GCommon.Dialog = dialog;
    const TWinSkinForm* skin = SkinManager()->FindSkinForm(dialog);
    GCommon.Skinned = skin != nullptr && skin->SkinState() == ssSkinned;
    RECT r{};
    GetWindowRect(dialog, &r);
    GCommon.LeftEdge = WindowPixel(dialog, 1, (r.bottom - r.top) / 2);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// A colour the platform paints its own frames with.
bool PlatformFrameColour(uint32_t Pixel)
{
    for (int index : {COLOR_3DFACE, COLOR_3DLIGHT, COLOR_3DHILIGHT, COLOR_3DSHADOW, COLOR_3DDKSHADOW,
                      COLOR_WINDOWFRAME, COLOR_ACTIVEBORDER, COLOR_INACTIVEBORDER}) {
        const COLORREF c = GetSysColor(index);
        if (Pixel == (((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)))
            return true;
    }
    return false;
}

} // namespace

// The open, colour and font dialogs come from their library, loaded at the first of them, not
// with the program; each comes up skinned, and cancelling it ends it as usual.
TEST_F(TGalleryTest, TheCommonDialogsOpenSkinnedFromTheirLibraryLoadedWhenFirstAsked)
{
    TGalleryOptions options;
    options.Page = 6;
    Open(options);
    ASSERT_EQ(Form->CurrentSkin(), "Pembrox Slate");
    for (const char* name : {"OpenDialog", "ColourDialog", "FontDialog"}) {
        SCOPED_TRACE(name);
        GCommon = {};
        auto* button = dynamic_cast<TButton*>(Form->FindComponent(name));
        ASSERT_NE(button, nullptr);
        const UINT_PTR timer = SetTimer(nullptr, 0, 150, VisitCommonDialog);
        button->Click(); // returns when the dialog ends
        KillTimer(nullptr, timer);
        ASSERT_NE(GCommon.Dialog, nullptr) << "no dialog came up";
        EXPECT_TRUE(GCommon.Skinned);
        EXPECT_FALSE(PlatformFrameColour(GCommon.LeftEdge)) << "the frame on the screen is the platform's, "
                                                            << std::hex << GCommon.LeftEdge;
        EXPECT_FALSE(IsWindow(GCommon.Dialog));
        EXPECT_EQ(Form->Status->Panels()->Items(0)->Text(), " Cancelled");
    }
}

// The MDI window: its children are skinned; with one maximised (its caption buttons in the frame's
// menu bar), the skin goes and the frame and child are what they were before the skin came.
TEST_F(TGalleryTest, TheMdiWindowWithAMaximisedChildComesBackExactly)
{
    TGalleryOptions options;
    options.Page = 6;
    options.NoSkin = true;
    Open(options);
    Form->MdiWindowClick(nullptr);
    auto* frame = dynamic_cast<TForm*>(Form->FindComponent("MdiFrame"));
    ASSERT_NE(frame, nullptr);
    const HWND client = frame->ClientHandle();
    const HWND child = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
    ASSERT_NE(child, nullptr);
    SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    Pump(300);
    const TCapture plain = Capture(frame->Handle());

    ASSERT_TRUE(Form->UseBuiltinSkin(0));
    Pump(300);
    TWinSkinForm* skin = SkinManager()->FindSkinForm(child);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->FrameState().MDIKind, 2);
    EXPECT_TRUE(IsZoomed(child));
    // The frame and its menu bar are the skin's (the client, the maximised child's page, is the
    // same): the title and menu rows differ from the platform's over the width both have.
    const TCapture skinned = Capture(frame->Handle());
    const int width = std::min(plain.Bounds.right - plain.Bounds.left, skinned.Bounds.right - skinned.Bounds.left);
    const int rows = 40;
    size_t changed = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < width; ++x)
            changed += plain.Pixels[static_cast<size_t>(y) * (plain.Bounds.right - plain.Bounds.left) + x] !=
                       skinned.Pixels[static_cast<size_t>(y) * (skinned.Bounds.right - skinned.Bounds.left) + x];
    EXPECT_GT(changed, static_cast<size_t>(width * rows) / 2) << "the frame is not the skin's";

    Form->SkinOff();
    EXPECT_TRUE(IsZoomed(child));
    EXPECT_EQ(Differences(plain, Capture(frame->Handle())), "");
}

namespace {

// An image of the built-in package, decoded: 0x00RRGGBB, rows top first.
struct TPackageImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int X, int Y) const { return Pixels[static_cast<size_t>(Y) * Width + X]; }
};

TPackageImage PackageImage(const TSkinReader& Reader, const std::string& Name)
{
    TMemoryStream entry;
    Reader.ExtractEntry(Name, entry);
    TPackageImage image;
    if (entry.Size() == 0)
        return image;
    const TBitmapImage bmp =
        DecodeBitmap(static_cast<const uint8_t*>(entry.Memory()), static_cast<size_t>(entry.Size()));
    image.Width = bmp.Width;
    image.Height = bmp.Height;
    for (int y = 0; y < bmp.Height; ++y)
        for (int x = 0; x < bmp.Width; ++x) {
            const uint8_t* p = bmp.Row(y) + 3 * x;
            image.Pixels.push_back((uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0]);
        }
    return image;
}

// How many pixels of Image's part (X, Y, W, H) that are not the key colour differ from the
// capture at (Left, Top).
int Mismatches(const TCapture& Shot, int Left, int Top, const TPackageImage& Image, int X, int Y, int W, int H,
               int Limit = 1 << 30)
{
    const int width = Shot.Bounds.right - Shot.Bounds.left, height = Shot.Bounds.bottom - Shot.Bounds.top;
    int count = 0;
    for (int y = 0; y < H && count < Limit; ++y)
        for (int x = 0; x < W && count < Limit; ++x) {
            const uint32_t want = Image.At(X + x, Y + y);
            if (want == 0xFF00FF)
                continue;
            const int sx = Left + x, sy = Top + y;
            const bool inside = sx >= 0 && sy >= 0 && sx < width && sy < height;
            count += !inside || (Shot.Pixels[static_cast<size_t>(sy) * width + sx] & 0xFFFFFF) != want;
        }
    return count;
}

} // namespace

// On a screen of 150 % (ctest runs this on a bench at 144 dots per inch) the gallery's frame,
// caption buttons and check boxes are the built-in skin's own images for the scale, pixel for
// pixel and where the description puts them at that scale, as the screen shows them.
TEST_F(TGalleryTest, OnAScreenAt150PercentTheSkinsImagesForTheScaleAreOnTheScreen)
{
    if (ScreenPixelsPerInch() != 144)
        GTEST_SKIP() << "the screen is at " << ScreenPixelsPerInch() << " dots per inch, not 144";
    std::string package;
    ASSERT_TRUE(ReadProgramResource(BuiltinSkins()[0].Resource, package));
    TMemoryStream bytes;
    bytes.WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
    TSkinReader reader;
    ASSERT_TRUE(reader.Open(bytes)) << reader.LastError();
    TMemoryStream text;
    reader.ExtractEntry("default.ini", text);
    const TMemIniFile ini(std::string(static_cast<const char*>(text.Memory()), static_cast<size_t>(text.Size())));
    const auto at150 = [](int Length) { return MulDiv(Length, 144, 96); };

    TGalleryOptions options;
    options.Page = 1;
    Open(options);
    ASSERT_EQ(Form->CurrentSkin(), "Pembrox Slate");
    const TCapture shot = Capture();
    const int width = shot.Bounds.right - shot.Bounds.left;

    // The close button, frame 1 of 4, its right edge Xcoord (at 1.5x) from the window's.
    const TPackageImage close = PackageImage(reader, "btnclose@1.5x.bmp");
    ASSERT_EQ(close.Width % 4, 0);
    const int buttonWidth = close.Width / 4;
    EXPECT_EQ(buttonWidth, at150(PackageImage(reader, "btnclose.bmp").Width / 4));
    EXPECT_EQ(Mismatches(shot, width - at150(ini.ReadInteger("Button1", "Xcoord", 0)),
                         at150(ini.ReadInteger("Button1", "Ycoord", 0)), close, 0, 0, buttonWidth, close.Height),
              0);
    // The frame's top-left corner: the left border's active frame down to the end of its top part.
    const TPackageImage left = PackageImage(reader, "left@1.5x.bmp");
    const int leftTop = at150(ini.ReadInteger("Personality", "LeftTopHeight", 0));
    EXPECT_EQ(Mismatches(shot, 0, 0, left, 0, 0, left.Width / 2, leftTop), 0);
    // The checked box somewhere on the page: frame 2 of 4.
    const TPackageImage boxes = PackageImage(reader, "checkbox@1.5x.bmp");
    const int box = boxes.Width / 4;
    ASSERT_EQ(box, at150(13));
    bool found = false;
    for (int y = 0; y + box <= shot.Bounds.bottom - shot.Bounds.top && !found; ++y)
        for (int x = 0; x + box <= width && !found; ++x)
            found = Mismatches(shot, x, y, boxes, box, 0, box, box, 1) == 0;
    EXPECT_TRUE(found) << "no checked box drawn from the image for 1.5x";
}

namespace {

// The share of Control's client area that shows Colour (0x00RRGGBB) in Shot, a capture of the
// window Window.
double ShareOf(const TCapture& Shot, HWND Window, TWinControl& Control, uint32_t Colour)
{
    RECT client{};
    GetClientRect(Control.Handle(), &client);
    POINT origin{0, 0};
    ClientToScreen(Control.Handle(), &origin);
    RECT frame{};
    GetWindowRect(Window, &frame);
    const int width = Shot.Bounds.right - Shot.Bounds.left;
    size_t count = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) {
            const size_t at = static_cast<size_t>(origin.y - frame.top + y) * width + (origin.x - frame.left + x);
            count += at < Shot.Pixels.size() && (Shot.Pixels[at] & 0xFFFFFF) == Colour;
        }
    return client.right * client.bottom > 0 ? static_cast<double>(count) / (client.right * client.bottom) : 0;
}

uint32_t Rgb24(TColor Colour)
{
    const COLORREF c = static_cast<COLORREF>(ColorToRGB(Colour));
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

} // namespace

// Under a skin that colours content (Pembrox Night) the Lists page's memo, list view, tree view
// and grid show the skin's content ground on the screen, except a list box whose ground
// the host set itself; with the skin off every pixel is as before. Slate gives no content colours:
// the content stays white.
TEST_F(TGalleryTest, ContentTakesTheSkinsContentGroundExceptTheHostsOwnAndGivesItBack)
{
    TGalleryOptions options;
    options.Page = 3;
    options.NoSkin = true;
    Open(options);
    auto* own = dynamic_cast<TWinControl*>(Form->FindComponent("ListBox1"));
    ASSERT_NE(own, nullptr);
    own->SetColor(static_cast<TColor>(0x00D0F0FF));
    const TCapture plain = Capture();

    ASSERT_TRUE(Form->UseBuiltinSkin(1));
    const TSkinColours& colours = Form->SkinData1->Colours();
    ASSERT_TRUE(colours.ColoursContent());
    const uint32_t ground = Rgb24(colours.Window);
    const TCapture night = Capture();
    for (const char* name : {"Memo2", "ListView1", "TreeView1", "StringGrid1"}) {
        auto* control = dynamic_cast<TWinControl*>(Form->FindComponent(name));
        ASSERT_NE(control, nullptr) << name;
        EXPECT_GT(ShareOf(night, Form->Handle(), *control, ground), 0.3) << name << " keeps its own ground";
        EXPECT_LT(ShareOf(night, Form->Handle(), *control, 0xFFFFFF), 0.05) << name << " still shows white";
    }
    EXPECT_GT(ShareOf(night, Form->Handle(), *own, 0xFFF0D0), 0.3) << "the host's own ground is gone";
    // The sunken edges around content are the skin's content border and ground, not the
    // platform's light 3-D lines.
    for (const char* name : {"Memo2", "TreeView1"}) {
        HWND window = dynamic_cast<TWinControl*>(Form->FindComponent(name))->Handle();
        EXPECT_EQ(WindowPixel(window, 0, 30), Rgb24(colours.WindowFrame)) << name;
        EXPECT_EQ(WindowPixel(window, 1, 30), ground) << name;
    }
    EXPECT_NE(WindowPixel(own->Handle(), 1, 30), ground) << "the edge around the host's own ground";
    // The list view's margin beside its items.
    auto* view = dynamic_cast<TWinControl*>(Form->FindComponent("ListView1"));
    EXPECT_EQ(WindowPixel(view->Handle(), 2, 60), ground);
    // The grid's fixed cells carry the content's light text too: not on the skin's light face.
    auto* grid = dynamic_cast<TWinControl*>(Form->FindComponent("StringGrid1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_LT(ShareOf(night, Form->Handle(), *grid, Rgb24(colours.ButtonFace)), 0.02);

    ASSERT_TRUE(Form->UseBuiltinSkin(0));
    const TCapture slate = Capture();
    auto* memo = dynamic_cast<TWinControl*>(Form->FindComponent("Memo2"));
    EXPECT_GT(ShareOf(slate, Form->Handle(), *memo, 0xFFFFFF), 0.3) << "Night's content ground stayed under Slate";
    EXPECT_GT(ShareOf(slate, Form->Handle(), *grid, Rgb24(Form->SkinData1->Colours().ButtonFace)), 0.1)
        << "the grid's fixed cells did not follow the skin change";

    Form->SkinOff();
    EXPECT_EQ(Differences(plain, Capture()), "");
    EXPECT_EQ(own->Color(), static_cast<TColor>(0x00D0F0FF));
}
