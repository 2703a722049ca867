// What hosts do that the happy path never does: a click handler whose nested message loop switches
// the skin off, skin files that fail half-way or are no packages at all, and a skin data component
// freed while its windows are skinned. Each must leave every window either fully skinned or fully
// its own, and never run engine code on a freed object.
#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/core/Exception.h"
#include "framework/graphics/Bitmap.h"
#include "framework/win/Callback.h"
#include "framework/win/ControlMessages.h"
#include "framework/win/Files.h"
#include "framework/win/WindowInfo.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/WinSubClass.h"
#include "tests/support/EventCounter.h"
#include "tests/support/FrameSkin.h"
#include "tests/support/SkinPackages.h"
#include "tests/support/GdiObjects.h"
#include "tests/support/WindowPixels.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Told when a component it watches is freed.
class TFreeWatcher : public TComponent {
public:
    TFreeWatcher() : TComponent(nullptr) {}
    ~TFreeWatcher() override
    {
        for (TComponent* c : Watched)
            c->RemoveFreeNotification(this);
    }
    void Watch(TComponent* C)
    {
        C->FreeNotification(this);
        Watched.push_back(C);
    }
    bool Freed(TComponent* C) const { return Gone.count(C) != 0; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove) {
            Gone[AComponent] = true;
            std::erase(Watched, AComponent);
        }
    }

private:
    std::vector<TComponent*> Watched;
    std::map<TComponent*, bool> Gone;
};

// A click handler that switches the skin off and runs a message loop (as a modal dialog would)
// until the manager has carried it out; it notes what it saw of the clicked control's adaptor.
struct TSkinOffOnClick : TObject {
    TSkinData* Data = nullptr;
    TWinSkinForm* Skin = nullptr;
    TFreeWatcher* Watcher = nullptr;
    TSkinControl* Adaptor = nullptr;
    bool AdaptorAliveInLoop = false;
    bool RetiredInLoop = false;
    int Clicks = 0;

    void Click(TObject*)
    {
        ++Clicks;
        Data->SetActive(false);
        Pump(450);
        AdaptorAliveInLoop = !Watcher->Freed(Adaptor);
        RetiredInLoop = AdaptorAliveInLoop && Adaptor->Retired();
    }
};

// A control of class T owned by Form, on Parent, at (X, Y) and W x H.
template <class T> T* Place(TForm& Form, TWinControl* Parent, int X, int Y, int W, int H)
{
    auto* control = new T(&Form);
    control->SetParent(Parent);
    control->SetBounds(X, Y, W, H);
    return control;
}

TSkinControl* AdaptorOf(TWinSkinForm* Skin, TControl* Control)
{
    for (TSkinControl* a : Skin->AdaptorSet().Adaptors())
        if (a->Control() == Control || a->GraphicControl() == Control)
            return a;
    return nullptr;
}

} // namespace

using THostSafetyTest = TSkinnedFormsTest;

TEST_F(THostSafetyTest, ControlsReleasedInsideTheirOwnClickAreFreedWhenTheClickReturns)
{
    StartSkinning();
    TForm& form = NewForm(360, 200);
    auto* check = new TCheckBox(&form);
    auto* radio = new TRadioButton(&form);
    auto* button = new TButton(&form);
    auto* speed = new TSpeedButton(&form);
    int x = 10;
    for (TControl* c : std::initializer_list<TControl*>{check, radio, button, speed}) {
        c->SetParent(&form);
        c->SetBounds(x, 20, 80, 25);
        x += 85;
    }
    button->SetCaption("Go");
    TSkinOffOnClick handler;
    for (TControl* c : std::initializer_list<TControl*>{check, radio, button, speed})
        c->SetOnClick(BindMethod<&TSkinOffOnClick::Click>(&handler));

    // Each way in: a mouse click on a check box, a radio button and a speed button, and the
    // space bar on a push button.
    struct TWay {
        TControl* Control;
        void (*Click)(TForm&, TControl*);
    };
    auto mouse = [](TForm& Form, TControl* C) {
        const bool windowed = dynamic_cast<TWinControl*>(C) != nullptr;
        HWND target = windowed ? static_cast<TWinControl*>(C)->Handle() : Form.Handle();
        const LPARAM at = windowed ? MAKELPARAM(5, 5) : MAKELPARAM(C->Left() + 5, C->Top() + 5);
        SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(target, WM_LBUTTONUP, 0, at);
    };
    auto space = [](TForm&, TControl* C) {
        HWND w = static_cast<TWinControl*>(C)->Handle();
        SetFocus(w);
        SendMessageA(w, WM_KEYDOWN, VK_SPACE, 0x00390001);
        SendMessageA(w, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
    };
    const TWay ways[] = {{check, mouse}, {radio, mouse}, {speed, mouse}, {button, space}};
    for (const TWay& way : ways) {
        SCOPED_TRACE(way.Control->ClassName());
        TWinSkinForm* skin = ShowSkinned(form);
        ASSERT_NE(skin, nullptr);
        TFreeWatcher watcher;
        handler.Clicks = 0;
        handler.Data = Data.get();
        handler.Watcher = &watcher;
        handler.Adaptor = AdaptorOf(skin, way.Control);
        ASSERT_NE(handler.Adaptor, nullptr);
        // A second walk over the form's controls attaches nothing twice.
        const size_t adaptors = skin->AdaptorSet().Adaptors().size();
        skin->AdaptorSet().AttachControls(&form);
        EXPECT_EQ(skin->AdaptorSet().Adaptors().size(), adaptors);
        watcher.Watch(handler.Adaptor);
        way.Click(form, way.Control);
        EXPECT_EQ(handler.Clicks, 1);
        // Released in the loop, yet alive until the click came back through it; freed after.
        EXPECT_TRUE(handler.AdaptorAliveInLoop);
        EXPECT_TRUE(handler.RetiredInLoop);
        EXPECT_TRUE(watcher.Freed(handler.Adaptor));
        EXPECT_TRUE(Manager->SkinnedForms().empty());
        Data->SetActive(true);
        Pump(400);
    }
    form.Hide();
}

namespace {

// A skin file name of this process's own in the temporary folder.
std::string SkinFileName(int Index)
{
    return TempFolder() + "hostsafety" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(Index) + ".skn";
}

// Writes Bytes to skin file Index and returns its name.
std::string SkinFileOf(const std::string& Bytes, int Index)
{
    const std::string name = SkinFileName(Index);
    TMemoryStream stream;
    if (!Bytes.empty())
        stream.WriteBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
    stream.SaveToFile(name);
    return name;
}

std::string PackageWith(const std::string& Entry, const std::string& Bytes)
{
    std::vector<TPackageEntry> entries = Bitmaps();
    for (TPackageEntry& e : entries)
        if (e.Name == Entry)
            e.Data = Bytes;
    entries.insert(entries.begin(), TPackageEntry{"skin.ini", Description({})});
    return BuildPackage(entries);
}

} // namespace

TEST_F(THostSafetyTest, AFailedLoadLeavesTheSkinAndEveryWindowAsTheyWere)
{
    StartSkinning();
    TForm& form = NewForm();
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    ASSERT_FALSE(skin->Buttons().Items().empty());
    const TDataSkinSysButton* element = skin->Buttons().Items()[0]->Element;
    const RECT close = skin->Buttons().Items()[0]->BoundsRect;
    const uint32_t closePixel = WindowPixel(form.Handle(), close.left + 3, close.top + 3);
    const std::string good = PackageWith("", "");
    const std::string bad = "BM not a bitmap at all";

    // A bad caption-button image (read after the caption buttons were made) and a bad border;
    // then an empty file, a truncated package and garbage, a top border too low for its two
    // frames and a package whose description is empty: each is refused or raises its error.
    const std::vector<std::string> packages{PackageWith("close.bmp", bad),
                                            PackageWith("bottom.bmp", bad),
                                            "",
                                            good.substr(0, good.size() / 2),
                                            std::string(3000, 'x'),
                                            PackageWith("top.bmp", Bmp(60, 1)),
                                            BuildPackage({{"skin.ini", ""}, {"top.bmp", Bmp(60, 48)}})};
    int index = 0;
    for (const std::string& package : packages) {
        try {
            Data->SetSkinFile(SkinFileOf(package, index));
            EXPECT_GE(index, 2) << "the bad image was not reported";
        } catch (const Exception&) {
        }
        ++index;
    }
    // Nothing was handed to the manager; the skin, its buttons and the window are the old ones.
    EXPECT_FALSE(Manager->TimerArmed());
    EXPECT_EQ(Data->SkinName(), "Pieces");
    EXPECT_FALSE(Data->SkinLoading());
    EXPECT_TRUE(Data->Active());
    ASSERT_EQ(Manager->FindSkinForm(form.Handle()), skin);
    ASSERT_FALSE(skin->Buttons().Items().empty());
    EXPECT_EQ(skin->Buttons().Items()[0]->Element, element);
    EXPECT_EQ(element, Data->SkinSysButtons()[0].get());
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(50);
    EXPECT_EQ(WindowPixel(form.Handle(), close.left + 3, close.top + 3), closePixel);

    // A good skin afterwards is applied; the replaced one lives until the windows re-read theirs.
    std::vector<TPackageEntry> wide = Bitmaps();
    const uint32_t left[2] = {LeftActive, LeftInactive};
    wide[0].Data = Bmp(20, 40, [&](int x, int) { return left[x / 10]; });
    wide.insert(wide.begin(), TPackageEntry{"skin.ini", Description({})});
    Data->SetSkinFile(SkinFileOf(BuildPackage(wide), index++));
    EXPECT_EQ(Data->RetiredSkinCount(), 1u);
    EXPECT_EQ(skin->Buttons().Items()[0]->Element, element);
    // More loads before the timer runs: only the skin the windows show is kept, and they paint.
    for (int i = 0; i < 5; ++i)
        Data->SetSkinFile(SkinFileOf(BuildPackage(wide), index++));
    EXPECT_EQ(Data->RetiredSkinCount(), 1u);
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(WindowPixel(form.Handle(), close.left + 3, close.top + 3), closePixel);
    Pump(400);
    EXPECT_EQ(Data->RetiredSkinCount(), 0u);
    EXPECT_EQ(skin->Frame().BorderLeft(), 10);
    ASSERT_FALSE(skin->Buttons().Items().empty());
    EXPECT_EQ(skin->Buttons().Items()[0]->Element, Data->SkinSysButtons()[0].get());
    for (int i = 0; i < index; ++i)
        DeleteFileA(SkinFileName(i).c_str());
    form.Hide();
}

TEST_F(THostSafetyTest, FreeingTheSkinDataGivesItsWindowsBack)
{
    StartSkinning();
    TForm& form = NewForm();
    RECT before{};
    GetWindowRect(form.Handle(), &before);
    const LONG_PTR proc = GetWindowLongPtrA(form.Handle(), GWLP_WNDPROC);
    ASSERT_NE(ShowSkinned(form), nullptr);
    Data.reset();
    EXPECT_TRUE(Manager->SkinnedForms().empty());
    EXPECT_EQ(GetWindowLongPtrA(form.Handle(), GWLP_WNDPROC), proc);
    RECT after{};
    GetWindowRect(form.Handle(), &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    form.Hide();
}

namespace {

// A good package of the test skin whose left border is Width pixels wide.
std::string WideSkin(int Width)
{
    std::vector<TPackageEntry> entries = Bitmaps();
    const uint32_t left[2] = {LeftActive, LeftInactive};
    entries[0].Data = Bmp(2 * Width, 40, [&](int x, int) { return left[x / Width]; });
    entries.insert(entries.begin(), TPackageEntry{"skin.ini", Description({})});
    return BuildPackage(entries);
}

} // namespace

TEST_F(THostSafetyTest, TheSizeComesBackInEveryWindowState)
{
    StartSkinning();
    int file = 100;
    auto skinOff = [&] {
        Data->SetActive(false);
        Pump(400);
        ASSERT_TRUE(Manager->SkinnedForms().empty());
    };
    auto skinOn = [&](TForm& Form) {
        Data->SetActive(true);
        Pump(400);
        ASSERT_NE(Manager->FindSkinForm(Form.Handle()), nullptr);
    };
    // Unskinned while maximised, while minimised; re-skinned while minimised; skinned while
    // minimised. Each time the restored window has the client the host gave it.
    TForm& form = NewForm(300, 160);
    auto expectHostsClient = [&](int Line) {
        EXPECT_EQ(ClientSize(form.Handle()).cx, 300) << "line " << Line;
        EXPECT_EQ(ClientSize(form.Handle()).cy, 160) << "line " << Line;
    };
    ASSERT_NE(ShowSkinned(form), nullptr);
    Show(form.Handle(), SW_MAXIMIZE);
    skinOff();
    Show(form.Handle(), SW_RESTORE);
    expectHostsClient(__LINE__);

    skinOn(form);
    Show(form.Handle(), SW_MINIMIZE);
    skinOff();
    Show(form.Handle(), SW_RESTORE);
    expectHostsClient(__LINE__);

    skinOn(form);
    Show(form.Handle(), SW_MINIMIZE);
    Data->SetSkinFile(SkinFileOf(WideSkin(10), file));
    Pump(400);
    Show(form.Handle(), SW_RESTORE);
    EXPECT_EQ(Manager->FindSkinForm(form.Handle())->Frame().BorderLeft(), 10);
    expectHostsClient(__LINE__);
    EXPECT_EQ(WindowSize(form.Handle()).cx, 300 + 10 + BorderWidth);
    skinOff();
    expectHostsClient(__LINE__);

    Show(form.Handle(), SW_MINIMIZE);
    Manager->SetSkinningOn(true);
    ASSERT_TRUE(Manager->SkinWindow(form.Handle()));
    Pump(100);
    Show(form.Handle(), SW_RESTORE);
    expectHostsClient(__LINE__);
    EXPECT_EQ(WindowSize(form.Handle()).cx, 300 + 10 + BorderWidth);
    DeleteFileA(SkinFileName(file).c_str());
    form.Hide();
}

TEST_F(THostSafetyTest, ABorderlessWindowKeepsItsShapeAndAControlsOnlySkinKeepsTheFrame)
{
    StartSkinning();
    TForm& round = NewForm(200, 120);
    round.SetBorderStyle(bsNone);
    round.SetBounds(100, 100, 200, 120);
    SetWindowRgn(round.Handle(), CreateEllipticRgn(0, 0, 200, 120), TRUE);
    auto elliptic = [&] {
        HRGN probe = CreateRectRgn(0, 0, 0, 0);
        const int type = GetWindowRgn(round.Handle(), probe);
        const bool corner = PtInRegion(probe, 1, 1) != 0, centre = PtInRegion(probe, 100, 60) != 0;
        DeleteObject(probe);
        return type == COMPLEXREGION && !corner && centre;
    };
    ASSERT_NE(ShowSkinned(round), nullptr);
    SetWindowPos(round.Handle(), nullptr, 0, 0, 210, 120, SWP_NOMOVE | SWP_NOZORDER);
    Show(round.Handle(), SW_MINIMIZE);
    Show(round.Handle(), SW_RESTORE);
    Data->SetSkinFile(SkinFileOf(WideSkin(8), 200));
    Pump(400);
    EXPECT_TRUE(elliptic());
    Data->SetActive(false);
    Pump(400);
    EXPECT_TRUE(elliptic());
    round.Hide();

    // Controls only: a skin change neither resizes the window nor cuts a region into its frame.
    Data->SetSkinControls(TSkinControlTypes(Data->SkinControls()).Exclude(xcMainMenu));
    Data->SetActive(true);
    TForm& plain = NewForm(220, 100);
    const SIZE native = WindowSize(plain.Handle());
    ASSERT_NE(ShowSkinned(plain), nullptr);
    Data->SetSkinFile(SkinFileOf(WideSkin(12), 201));
    Pump(400);
    EXPECT_EQ(WindowSize(plain.Handle()).cx, native.cx);
    EXPECT_EQ(WindowSize(plain.Handle()).cy, native.cy);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(plain.Handle(), probe), ERROR);
    DeleteObject(probe);
    DeleteFileA(SkinFileName(200).c_str());
    DeleteFileA(SkinFileName(201).c_str());
    plain.Hide();
}

// A skin without a frame after one with a frame: the window gets its own frame (and size) back and
// only its controls stay skinned; the framed skin again takes the frame over again.
TEST_F(THostSafetyTest, ASkinWithoutAFrameAfterOneWithAFrameGivesTheFrameBack)
{
    StartSkinning();
    TForm& form = NewForm(300, 160);
    const SIZE native = WindowSize(form.Handle());
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    ASSERT_TRUE(skin->FrameHooked());
    auto skinnedFrame = [&] {
        const uint32_t left = WindowPixel(form.Handle(), 2, 40);
        return left == LeftActive || left == LeftInactive;
    };
    ASSERT_TRUE(skinnedFrame());

    Data->SetSkinFile(SkinFileOf(BuildPackage({{"skin.ini", "[TitlebarSkin]\r\nSkinName=Controls\r\n"
                                                            "[Progress]\r\nBitmap=p.bmp\r\n"},
                                               {"p.bmp", Bmp(8, 8)}}),
                                 210));
    ASSERT_EQ(Data->SkinName(), "Controls") << Data->LoadError();
    Pump(400);
    skin = Manager->FindSkinForm(form.Handle());
    ASSERT_NE(skin, nullptr) << "the controls are no longer skinned";
    EXPECT_FALSE(skin->FrameHooked()) << "a frame the skin cannot draw stays taken over";
    EXPECT_EQ(WindowSize(form.Handle()).cx, native.cx);
    EXPECT_EQ(WindowSize(form.Handle()).cy, native.cy);
    EXPECT_EQ(ClientSize(form.Handle()).cx, 300);
    EXPECT_FALSE(skinnedFrame());

    Data->SetSkinFile(SkinFileOf(WideSkin(BorderWidth), 211));
    Pump(400);
    skin = Manager->FindSkinForm(form.Handle());
    ASSERT_NE(skin, nullptr);
    EXPECT_TRUE(skin->FrameHooked());
    EXPECT_EQ(ClientSize(form.Handle()).cx, 300);
    EXPECT_TRUE(skinnedFrame());
    DeleteFileA(SkinFileName(210).c_str());
    DeleteFileA(SkinFileName(211).c_str());
    form.Hide();
}

TEST_F(THostSafetyTest, ColoursAndEveryDiscoveryChangeComeBackAndFollowASkinChange)
{
    StartSkinning();
    TForm& form = NewForm(360, 220);
    auto* panel = Place<TPanel>(form, &form, 10, 10, 200, 120);
    panel->SetColor(0x00336699);
    auto* check = Place<TCheckBox>(form, panel, 10, 10, 100, 20);
    auto* group = Place<TGroupBox>(form, panel, 10, 40, 150, 60);
    auto* radio = Place<TRadioButton>(form, group, 10, 20, 100, 20);
    auto* grid = Place<TStringGrid>(form, &form, 220, 10, 120, 80);
    grid->SetFixedColor(0x00102030);
    auto* bar = Place<TToolBar>(form, &form, 0, 180, 360, 30);
    struct TState {
        TColor Panel, Check, Group, Radio, Fixed, Bar, Form;
        bool CheckParent, GroupParent, RadioParent, Flat;
        bool operator==(const TState&) const = default;
    };
    auto state = [&] {
        return TState{panel->Color(), check->Color(), group->Color(), radio->Color(), grid->FixedColor(),
                      bar->Color(), form.Color(), check->ParentColor(), group->ParentColor(),
                      radio->ParentColor(), bar->Flat()};
    };
    const TState before = state();
    ASSERT_TRUE(before.CheckParent && before.GroupParent && before.RadioParent);
    const TColor face = 0x00C8C8C8;

    ASSERT_NE(ShowSkinned(form), nullptr);
    EXPECT_EQ(panel->Color(), face);
    EXPECT_EQ(check->Color(), face);
    EXPECT_EQ(grid->FixedColor(), face);
    EXPECT_TRUE(bar->Flat());

    // A skin of another face colour: the form and every recoloured control follow it.
    std::vector<TPackageEntry> entries = Bitmaps();
    std::string ini = Description({});
    ini.replace(ini.find("ButtonFace=200 200 200"), 22, "ButtonFace=10 20 30");
    entries.insert(entries.begin(), TPackageEntry{"skin.ini", ini});
    Data->SetSkinFile(SkinFileOf(BuildPackage(entries), 300));
    Pump(400);
    const TColor other = 0x001E140A;
    EXPECT_EQ(form.Color(), other);
    EXPECT_EQ(panel->Color(), other);
    EXPECT_EQ(check->Color(), other);
    EXPECT_EQ(radio->Color(), other);

    // Off, on, off: every value is the host's again, and the boxes follow their parents.
    for (int i = 0; i < 2; ++i) {
        Data->SetActive(false);
        Pump(400);
        ASSERT_TRUE(Manager->SkinnedForms().empty());
        const TState now = state();
        EXPECT_TRUE(now == before) << "cycle " << i << std::hex << " panel " << now.Panel << " check " << now.Check
                                   << " group " << now.Group << " radio " << now.Radio << " fixed " << now.Fixed
                                   << " bar " << now.Bar << " form " << now.Form << " parents " << now.CheckParent
                                   << now.GroupParent << now.RadioParent << " flat " << now.Flat << " / before "
                                   << before.Panel << " " << before.Check << " " << before.Group << " "
                                   << before.Radio << " " << before.Fixed << " " << before.Bar << " " << before.Form;
        Data->SetActive(true);
        Pump(400);
    }
    Data->SetActive(false);
    Pump(400);
    panel->SetColor(0x00445566);
    EXPECT_EQ(check->Color(), 0x00445566);
    EXPECT_EQ(radio->Color(), 0x00445566);
    DeleteFileA(SkinFileName(300).c_str());
    form.Hide();
}

namespace {


} // namespace

TEST_F(THostSafetyTest, SkinCyclesPaintsAndBadSkinsLeaveNoGdiObjectsAndTheLookComesBack)
{
    StartSkinning();
    TForm& form = NewForm(360, 200);
    auto* panel = Place<TPanel>(form, &form, 10, 10, 180, 90);
    Place<TCheckBox>(form, panel, 10, 10, 100, 20);
    Place<TRadioButton>(form, panel, 10, 40, 100, 20);
    Place<TButton>(form, &form, 200, 10, 80, 25);
    Place<TBitBtn>(form, &form, 200, 45, 80, 25);
    Place<TSpeedButton>(form, &form, 200, 80, 80, 25);
    Place<TGroupBox>(form, &form, 10, 110, 180, 60);
    Manager->SetSkinningOn(false);
    form.Show();
    Pump(200);
    const std::vector<uint32_t> native = WindowPixels(form.Handle());
    const std::string other = WideSkin(9);
    const std::string good = PackageWith("", "");
    const std::string bad = PackageWith("close.bmp", "BM not a bitmap");
    auto run = [&](int Action) {
        Manager->SetCurrentSkinData(Data.get());
        Manager->RequestAction(Action, 250);
        Manager->OnActionTimer(nullptr);
        Pump(20);
    };
    auto cycle = [&](int I) {
        run(1);
        Data->SetSkinFile(SkinFileOf(I % 2 != 0 ? other : good, 400));
        Manager->OnActionTimer(nullptr);
        Pump(20);
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        run(2);
    };
    cycle(0);
    const int before = LiveGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 1; i <= 30; ++i)
        cycle(i);
    EXPECT_EQ(LiveGdiObjects(), before) << "skin on, change, paint and off";

    // Skinned: many paints of every control and the frame, then bad skins, each ten times.
    run(1);
    ASSERT_NE(Manager->FindSkinForm(form.Handle()), nullptr);
    Pump(50);
    const int skinned = LiveGdiObjects();
    for (int i = 0; i < 200; ++i)
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (int i = 0; i < 10; ++i)
        for (const std::string& package : {bad, std::string(), good.substr(0, good.size() / 3)}) {
            try {
                Data->SetSkinFile(SkinFileOf(package, 401));
            } catch (const Exception&) {
            }
            RedrawWindow(form.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        }
    EXPECT_EQ(LiveGdiObjects(), skinned) << "paints and refused skins";
    run(2);
    Pump(100);
    EXPECT_EQ(LiveGdiObjects(), before);
    EXPECT_TRUE(WindowPixels(form.Handle()) == native) << "the unskinned look differs from the first one";
    DeleteFileA(SkinFileName(400).c_str());
    DeleteFileA(SkinFileName(401).c_str());
    form.Hide();
}

namespace {

// Notes the popup menu that opens and closes it again (the menu loop is modal).
HWND GOpenedMenu = nullptr;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR Id, DWORD)
{
    if (HWND menu = FindWindowA("#32768", nullptr); menu != nullptr && IsWindowVisible(menu)) {
        GOpenedMenu = menu;
        EndMenu();
        KillTimer(nullptr, Id);
    }
}

} // namespace

TEST_F(THostSafetyTest, RunTimeSkinningAltSpaceDeactivationAndATitleChange)
{
    // A host whose form is active before any skin exists, then loads one and switches it on.
    TForm& form = NewForm(300, 160);
    form.Show();
    SetForegroundWindow(form.Handle());
    Pump(200);
    ASSERT_EQ(GetActiveWindow(), form.Handle());
    ASSERT_TRUE(LoadSkinPackage(*Data, Description({}), Bitmaps()));
    Data->SkinChanged();
    Manager = SkinManager();
    Data->SetActive(true);
    Pump(400);
    TWinSkinForm* skin = Manager->FindSkinForm(form.Handle());
    ASSERT_NE(skin, nullptr);
    Pump(100);

    // Alt+Space opens the system menu of the skinned window.
    GOpenedMenu = nullptr;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &CloseMenu);
    SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    KillTimer(nullptr, timer);
    EXPECT_NE(GOpenedMenu, nullptr);

    // A skin whose title bar is lower than the system's caption. Deactivated, the frame is the
    // skin's, and the client area below its title bar keeps what its owner painted there.
    std::vector<TPackageEntry> low = Bitmaps();
    low[2].Data = Bmp(60, 2 * 12, [](int, int y) { return y < 12 ? TopActive : TopInactive; });
    low.insert(low.begin(), TPackageEntry{"skin.ini", Description({})});
    Data->SetSkinFile(SkinFileOf(BuildPackage(low), 500));
    Pump(400);
    ASSERT_EQ(skin->Frame().BorderTop(), 12);
    HWND black = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 0, 0, 60, 30, form.Handle(),
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    Pump(100);
    const uint32_t owned = WindowPixel(form.Handle(), BorderWidth + 5, 12 + 5);
    ASSERT_NE(owned, 0xC8C8C8u);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 700, 500, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    Pump(200);
    EXPECT_FALSE(skin->FrameState().Active);
    EXPECT_EQ(WindowPixel(form.Handle(), 200, 6), TopInactive);
    EXPECT_EQ(WindowPixel(form.Handle(), BorderWidth + 5, 12 + 5), owned);
    DestroyWindow(other);
    DestroyWindow(black);
    DeleteFileA(SkinFileName(500).c_str());

    // A title change straight through the window: the platform's caption does not stay over
    // the skin's, which shows the new text.
    SetWindowTextA(form.Handle(), "A new title");
    Pump(100);
    EXPECT_EQ(skin->Frame().CaptionText(), "A new title");
    EXPECT_EQ(WindowPixel(form.Handle(), 200, 6), skin->FrameState().Active ? TopActive : TopInactive);
    form.Hide();
}

namespace {

// Makes its own adaptor for every push button, owned by the handler.
struct TOwnAdaptors : TComponent {
    TOwnAdaptors() : TComponent(nullptr) {}
    int Made = 0;
    void SkinControl(TComponent*, TSkinData*, TControl*, TControl* Control, const std::string&,
                     TComponent*& Skinned)
    {
        if (dynamic_cast<TButton*>(Control) != nullptr) {
            Skinned = new TSkinButton(this);
            ++Made;
        }
    }
};

} // namespace

TEST_F(THostSafetyTest, NewWindowsOfControlsAndTheApplicationsAdaptorsAreAttachedOnce)
{
    StartSkinning();
    TForm& form = NewForm(300, 160);
    auto* check = Place<TCheckBox>(form, &form, 10, 10, 100, 20);
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(AdaptorOf(skin, check), nullptr);

    // The control's window is made anew: the old adaptor goes, and the new window has one of its
    // own before it is painted; a skin change keeps it on the new window.
    const HWND old = check->Handle();
    check->RecreateWnd();
    check->HandleNeeded();
    ASSERT_NE(check->Handle(), old);
    Pump(50);
    ASSERT_NE(AdaptorOf(skin, check), nullptr);
    EXPECT_EQ(AdaptorOf(skin, check)->Handle(), check->Handle());
    Data->SkinChanged();
    Pump(400);
    ASSERT_NE(AdaptorOf(skin, check), nullptr);
    EXPECT_EQ(AdaptorOf(skin, check)->Handle(), check->Handle());
    const auto& adaptors = skin->AdaptorSet().Adaptors();
    EXPECT_EQ(std::count_if(adaptors.begin(), adaptors.end(), [&](TSkinControl* a) { return a->Control() == check; }), 1);

    // An adaptor the application makes is attached once, however often the controls are walked,
    // and stays the application's when the skin goes.
    TOwnAdaptors own;
    Data->SetOnSkinControl(BindMethod<&TOwnAdaptors::SkinControl>(&own));
    auto* button = Place<TButton>(form, &form, 10, 40, 80, 25);
    button->HandleNeeded();
    Data->ApplyToForm(&form, nullptr);
    Data->ApplyToForm(&form, nullptr);
    EXPECT_EQ(own.Made, 1);
    Data->SetActive(false);
    Pump(400);
    EXPECT_EQ(own.ComponentCount(), 1);
    Data->SetOnSkinControl(nullptr);
    form.Hide();
}

namespace {

struct TThrowOnce : TObject {
    int Calls = 0;
    void FormSkin(TObject*, const std::string&, bool&)
    {
        if (++Calls == 1)
            throw Exception("the host's handler failed");
    }
};

int GReported = 0;
void CountReport(std::exception_ptr)
{
    ++GReported;
}

} // namespace

TEST_F(THostSafetyTest, AFailingWindowDoesNotStopTheTimersWalk)
{
    StartSkinning();
    TForm& first = NewForm(200, 100);
    TForm& second = NewForm(200, 100);
    TForm& embedded = NewForm(100, 50);
    Manager->SetSkinningOn(false);
    first.Show();
    second.Show();
    Pump(100);
    TThrowOnce handler;
    Data->SetOnFormSkin(BindMethod<&TThrowOnce::FormSkin>(&handler));
    GReported = 0;
    const TCallbackExceptionHandler saved = SetCallbackExceptionHandler(&CountReport);
    Manager->SetActivationCount(1);
    Manager->SetCurrentSkinData(Data.get());
    Manager->RequestAction(1, 250);
    Manager->OnActionTimer(nullptr);
    SetCallbackExceptionHandler(saved);
    Data->SetOnFormSkin(nullptr);
    EXPECT_EQ(GReported, 1);
    // One window failed; the others were skinned, and the walk's licence to skin embedded
    // windows ended with it.
    EXPECT_EQ(Manager->SkinnedForms().size(), 2u);
    embedded.SetParentWindow(first.Handle());
    embedded.Show();
    EXPECT_FALSE(Manager->SkinWindow(embedded.Handle()));
    Pump(50);
    first.Hide();
    second.Hide();
}

namespace {

// The application's own button adaptor, whose painting fails once Failing is set, and whose
// filter fails on a new caption once FailingText is.
struct TFailingAdaptors : TComponent {
    TFailingAdaptors() : TComponent(nullptr) {}
    // Paints the whole button in one colour, or fails.
    struct TFailingButton : TSkinControl {
        using TSkinControl::TSkinControl;
        TFailingAdaptors* Owner = nullptr;
        bool BeforeMessage(TMessage& Message) override
        {
            if (Message.Msg == WM_SETTEXT && Owner->FailingText)
                throw EInvalidOperation("no caption");
            return !TakePaint(Message);
        }
        void PaintTo(HDC DC, const RECT& R) override
        {
            if (Owner->Failing)
                throw EOutOfResources("no more bitmaps");
            TBrushHandle red(CreateSolidBrush(RGB(200, 0, 0)));
            FillRect(DC, &R, red.get());
        }
    };
    bool Failing = false;
    bool FailingText = false;
    int Made = 0;
    void SkinControl(TComponent*, TSkinData*, TControl*, TControl* Control, const std::string&, TComponent*& Skinned)
    {
        if (dynamic_cast<TButton*>(Control) != nullptr) {
            auto* adaptor = new TFailingButton(this);
            adaptor->Owner = this;
            Skinned = adaptor;
            ++Made;
        }
    }
};

// Every GDI handle the process may still make, held until Release: painting that needs a new
// bitmap then fails as it does in a program that leaks handles.
struct TGdiExhaustion {
    std::vector<HRGN> Held;
    void Exhaust(size_t Spare)
    {
        while (HRGN r = CreateRectRgn(0, 0, 1, 1))
            Held.push_back(r);
        for (size_t i = 0; i < Spare && !Held.empty(); ++i) {
            DeleteObject(Held.back());
            Held.pop_back();
        }
    }
    void Release()
    {
        for (HRGN r : Held)
            DeleteObject(r);
        Held.clear();
    }
    ~TGdiExhaustion() { Release(); }
};

} // namespace

TEST_F(THostSafetyTest, AControlOrFrameTheSkinFailsToPaintGetsItsOwnLookBackForGood)
{
    StartSkinning();
    TForm& form = NewForm(300, 160);
    auto* button = Place<TButton>(form, &form, 10, 10, 100, 30);
    button->SetCaption("Press");
    auto* other = Place<TButton>(form, &form, 10, 50, 100, 30);
    Manager->SetSkinningOn(false);
    form.Show();
    Pump(200);
    const std::vector<uint32_t> nativeButton = WindowPixels(button->Handle());
    const std::vector<uint32_t> nativeForm = WindowPixels(form.Handle());
    RECT first{};
    GetWindowRect(form.Handle(), &first);
    TFailingAdaptors own;
    Data->SetOnSkinControl(BindMethod<&TFailingAdaptors::SkinControl>(&own));
    Manager->SetCurrentSkinData(Data.get());
    Manager->RequestAction(1, 250);
    Manager->OnActionTimer(nullptr);
    Pump(100);
    TWinSkinForm* skin = Manager->FindSkinForm(form.Handle());
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->AdaptorSet().FindAdaptor(button->Handle()), nullptr);
    ASSERT_TRUE(WindowPixels(button->Handle()) != nativeButton) << "the button is not skinned";

    GReported = 0;
    const TCallbackExceptionHandler saved = SetCallbackExceptionHandler(&CountReport);
    // The button's paint fails: the button alone is given back, and no walk takes it again.
    own.Failing = true;
    RedrawWindow(button->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(50);
    EXPECT_EQ(GReported, 1);
    EXPECT_EQ(skin->AdaptorSet().FindAdaptor(button->Handle()), nullptr);
    EXPECT_TRUE(WindowPixels(button->Handle()) == nativeButton) << "the button is not in its own look";
    Data->ApplyToForm(&form, nullptr);
    EXPECT_EQ(own.Made, 2);
    // The other's filter fails on a message: the button still gets it, and is given back.
    own.FailingText = true;
    other->SetCaption("Changed");
    EXPECT_EQ(GReported, 2);
    EXPECT_EQ(WindowText(other->Handle()), "Changed");
    EXPECT_EQ(skin->AdaptorSet().FindAdaptor(other->Handle()), nullptr);
    other->SetCaption("");
    EXPECT_EQ(Manager->FindSkinForm(form.Handle()), skin) << "the window keeps its skin";

    // The frame's paint fails (no handle left for a bitmap of the new size): the window is given
    // back whole and is not taken over again when activated.
    TGdiExhaustion gdi;
    RECT r{};
    GetWindowRect(form.Handle(), &r);
    for (size_t spare = 2; spare <= 8 && GReported == 2; ++spare) {
        gdi.Exhaust(spare);
        r.right += 7;
        SetWindowPos(form.Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        gdi.Release();
    }
    EXPECT_GT(GReported, 2) << "the frame's paint never failed";
    Pump(100);
    EXPECT_EQ(Manager->FindSkinForm(form.Handle()), nullptr);
    SetActiveWindow(nullptr);
    SetForegroundWindow(form.Handle());
    Pump(100);
    EXPECT_EQ(Manager->FindSkinForm(form.Handle()), nullptr);
    SetCallbackExceptionHandler(saved);
    Data->SetOnSkinControl(nullptr);
    // At its first size again, the window is what it was before the skin.
    SetWindowPos(form.Handle(), nullptr, 0, 0, first.right - first.left, first.bottom - first.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    RedrawWindow(form.Handle(), nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(100);
    EXPECT_TRUE(WindowPixels(form.Handle()) == nativeForm) << "the window is not in its own look";
    form.Hide();
}

TEST_F(THostSafetyTest, AWindowMovedToAScreenOfAnotherDpiTakesItsPlaceLayoutAndSkinForIt)
{
    StartSkinning();
    TForm& form = NewForm(300, 160);
    auto* button = Place<TButton>(form, &form, 10, 10, 100, 30);
    TWinSkinForm* skin = ShowSkinned(form);
    ASSERT_NE(skin, nullptr);
    const TFrameLayout before = skin->Frame().Layout();
    ASSERT_GT(before.BorderTop, 0);
    RECT first{};
    GetWindowRect(form.Handle(), &first);
    // The inside of the window as the platform sees it: where its client area starts.
    auto clientTop = [&] {
        POINT origin{0, 0};
        ClientToScreen(form.Handle(), &origin);
        RECT r{};
        GetWindowRect(form.Handle(), &r);
        return origin.y - r.top;
    };
    EXPECT_EQ(clientTop(), before.BorderTop + before.MenuHeight);

    // Wine does not send it: sent as Windows would on a move to a 150 % screen.
    auto moveTo = [&](int Dpi, const RECT& Suggested) {
        SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(Dpi, Dpi), reinterpret_cast<LPARAM>(&Suggested));
        Manager->OnActionTimer(nullptr);
        Pump(100);
    };
    const RECT wide{first.left, first.top, first.left + (first.right - first.left) * 3 / 2,
                    first.top + (first.bottom - first.top) * 3 / 2};
    moveTo(144, wide);
    EXPECT_EQ(Data->SkinDpi(), 144);
    RECT now{};
    GetWindowRect(form.Handle(), &now);
    EXPECT_TRUE(EqualRect(&now, &wide)) << "the window did not take the suggested place: it is "
                                        << now.right - now.left << " x " << now.bottom - now.top;
    EXPECT_EQ(button->Width(), 150);
    EXPECT_EQ(button->Left(), 15);
    ASSERT_EQ(Manager->FindSkinForm(form.Handle()), skin);
    const TFrameLayout scaled = skin->Frame().Layout();
    EXPECT_EQ(scaled.BorderTop, MulDiv(before.BorderTop, 144, 96));
    EXPECT_EQ(scaled.BorderLeft, MulDiv(before.BorderLeft, 144, 96));
    EXPECT_EQ(clientTop(), scaled.BorderTop + scaled.MenuHeight);

    // And back: the layout and the frame as they were.
    moveTo(96, first);
    EXPECT_EQ(Data->SkinDpi(), 96);
    EXPECT_EQ(button->Width(), 100);
    const TFrameLayout after = skin->Frame().Layout();
    EXPECT_EQ(after.BorderTop, before.BorderTop);
    EXPECT_EQ(after.BorderLeft, before.BorderLeft);
    EXPECT_EQ(clientTop(), before.BorderTop + before.MenuHeight);
    form.Hide();
}
// The windows a program makes itself on a skinned form show the skin's content ground as they
// are on the screen: an edit, an empty list box; an owner-drawn list keeps the
// platform's (its owner draws the items in its own colours). A skin change gives the new skin's;
// skin off gives back exactly what they showed.
TEST_F(THostSafetyTest, TheProgramsOwnContentWindowsTakeTheContentGroundAndGiveItBack)
{
    TForm& form = NewForm(300, 160);
    form.Show();
    Pump(100);
    auto child = [&](const char* Class, DWORD Style, int X) {
        return CreateWindowExA(0, Class, "", WS_CHILD | WS_VISIBLE | Style, X, 5, 80, 60, form.Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    const std::vector<HWND> content{child("EDIT", ES_MULTILINE, 5), child("LISTBOX", LBS_NOINTEGRALHEIGHT, 95)};
    HWND ownerDrawn = child("LISTBOX", LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT, 185);
    Pump(100);
    std::vector<HWND> all = content;
    all.push_back(ownerDrawn);
    auto grounds = [&] { return WindowPixelOfEach(all, 70, 50); };
    const std::vector<uint32_t> before = grounds();

    ASSERT_TRUE(LoadSkinPackage(*Data, WithColours(Description({}), "Window=30 40 50\r\nWindowText=220 210 200\r\n"), Bitmaps()));
    Data->SkinChanged();
    Manager = SkinManager();
    Data->SetActive(true);
    Pump(400);
    std::vector<uint32_t> skinned = grounds();
    for (size_t i = 0; i < content.size(); ++i)
        EXPECT_EQ(skinned[i], 0x1E2832u) << "window " << i;
    EXPECT_EQ(skinned.back(), before.back()) << "the owner-drawn list";

    ASSERT_TRUE(LoadSkinPackage(*Data, WithColours(Description({}), "Window=60 20 20\r\n"), Bitmaps()));
    Data->SkinChanged();
    Pump(400);
    skinned = grounds();
    for (size_t i = 0; i < content.size(); ++i)
        EXPECT_EQ(skinned[i], 0x3C1414u) << "window " << i << " after the skin change";

    Data->SetActive(false);
    Pump(400);
    EXPECT_EQ(grounds(), before);
    for (HWND w : content)
        DestroyWindow(w);
    DestroyWindow(ownerDrawn);
}
