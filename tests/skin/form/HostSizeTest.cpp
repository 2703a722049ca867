// The client size a host gives its forms is the one they have whenever no skin is on them, and the
// one a skinned form shows inside the skin's frame: with a skin whose borders are larger than the
// screen (the platform clamps the skinned window), and in an MDI frame whose children are maximised
// or minimised while the skin goes or changes.
#include "framework/controls/Forms.h"
#include "framework/core/Published.h"
#include "framework/core/Stream.h"
#include "framework/menus/Menus.h"
#include "framework/win/Files.h"
#include "tests/support/FrameSkin.h"
#include "tests/support/Pump.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string SizeSkinFileName(int Index)
{
    return TempFolder() + "hostsize" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(Index) + ".skn";
}

// The test skin's description with Bitmaps as a package, written as skin file Index.
std::string WriteSkinFile(std::vector<TPackageEntry> Bitmaps, int Index)
{
    Bitmaps.insert(Bitmaps.begin(), TPackageEntry{"skin.ini", Description({})});
    const std::string package = BuildPackage(Bitmaps);
    const std::string name = SizeSkinFileName(Index);
    TMemoryStream stream;
    stream.WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
    stream.SaveToFile(name);
    return name;
}

// The test skin with left and right borders Width pixels wide.
std::vector<TPackageEntry> WideSides(int Width)
{
    std::vector<TPackageEntry> entries = Bitmaps();
    const uint32_t left[2] = {LeftActive, LeftInactive}, right[2] = {RightActive, RightInactive};
    entries[0].Data = Bmp(2 * Width, 40, [&](int x, int) { return left[x / Width]; });
    entries[1].Data = Bmp(2 * Width, 40, [&](int x, int) { return right[x / Width]; });
    return entries;
}

// The test skin with a title bar Height pixels high.
std::vector<TPackageEntry> TallTitle(int Height)
{
    std::vector<TPackageEntry> entries = Bitmaps();
    entries[2].Data = Bmp(60, 2 * Height, [&](int, int y) { return y < Height ? TopActive : TopInactive; });
    return entries;
}

DWORD Style(HWND W)
{
    return static_cast<DWORD>(GetWindowLongA(W, GWL_STYLE));
}

constexpr DWORD CaptionStyles = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// An MDI frame made the way a program makes its main form: from its description.
class TMdiFrameForm : public TForm {
    DECLARE_CLASS(TMdiFrameForm, TForm)
public:
    explicit TMdiFrameForm(TComponent* AOwner) : TForm(AOwner) {}
};
IMPLEMENT_CLASS_EMPTY(TMdiFrameForm)

const char* const MdiFrameText = R"(object MdiFrame: TMdiFrameForm
  Left = 60
  Top = 40
  Caption = 'Frame'
  ClientWidth = 760
  ClientHeight = 540
  FormStyle = fsMDIForm
end
)";

// The client sizes the host gives the two MDI children.
constexpr SIZE ChildClients[2] = {{320, 200}, {280, 150}};

} // namespace

struct THostSizeTest : TSkinnedFormsTest {
    void TearDown() override
    {
        TSkinnedFormsTest::TearDown();
        for (int index : Files)
            DeleteFileA(SizeSkinFileName(index).c_str());
    }

    std::string SkinFile(std::vector<TPackageEntry> Bitmaps, int Index)
    {
        Files.push_back(Index);
        return WriteSkinFile(std::move(Bitmaps), Index);
    }

    // Skinning on or off through the manager's timer, as a program switches it.
    void SkinOff()
    {
        Data->SetActive(false);
        Pump(400);
        ASSERT_TRUE(Manager->SkinnedForms().empty());
    }
    void SkinOn()
    {
        Data->SetActive(true);
        Pump(400);
        ASSERT_FALSE(Manager->SkinnedForms().empty());
    }

    // The client the host gave the form, and the window the platform's own frame makes of it.
    void ExpectHostsSize(HWND W, SIZE Native, const char* When)
    {
        SCOPED_TRACE(When);
        EXPECT_EQ(ClientSize(W).cx, 560);
        EXPECT_EQ(ClientSize(W).cy, 400);
        EXPECT_EQ(WindowSize(W).cx, Native.cx);
        EXPECT_EQ(WindowSize(W).cy, Native.cy);
    }

    // A form of client 560 x 400 shown with skin file Skin: the platform clamps its window to the
    // screen, which leaves it larger than its minimum size.
    struct TClamped {
        HWND Window = nullptr;
        SIZE Native{};
        SIZE Skinned{};
    };
    void ShowClamped(const std::string& Skin, int Left, int Top, TClamped& Out)
    {
        if (!Data->Active()) {
            Data->SetActive(true);
            Pump(400);
        }
        Data->SetSkinFile(Skin);
        Pump(400);
        TForm& form = NewForm(560, 400);
        Out.Window = form.Handle();
        Out.Native = WindowSize(Out.Window);
        ASSERT_EQ(ClientSize(Out.Window).cx, 560);
        ASSERT_EQ(ClientSize(Out.Window).cy, 400);
        TWinSkinForm* skin = ShowSkinned(form);
        ASSERT_NE(skin, nullptr);
        ASSERT_EQ(skin->Frame().BorderLeft(), Left);
        ASSERT_EQ(skin->Frame().BorderRight(), Left);
        ASSERT_EQ(skin->Frame().BorderTop(), Top);
        Out.Skinned = WindowSize(Out.Window);
        ASSERT_TRUE(Out.Skinned.cx < 560 + 2 * Left || Out.Skinned.cy < 400 + Top + BottomHeight)
            << "the skinned window was not clamped";
        EXPECT_GT(Out.Skinned.cx, GetSystemMetrics(SM_CXMINTRACK));
        EXPECT_GT(Out.Skinned.cy, GetSystemMetrics(SM_CYMINTRACK));
    }

    // An MDI frame (the application's main form) with two children, all made and measured while
    // skinning is off, then skinned by the manager's walk over the forms.
    struct TMdi {
        std::unique_ptr<TMdiFrameForm> Frame;
        std::unique_ptr<TForm> Children[2];
        HWND Client = nullptr;
        HWND Child[2]{};
        SIZE FrameClient{};
        DWORD ChildStyles[2]{};
    };
    void MakeMdi(TMdi& Mdi)
    {
        Data->SetActive(false);
        Pump(400);
        ASSERT_FALSE(Manager->SkinningOn());
        RegisterFormDescription("TMdiFrameForm", MdiFrameText);
        ASSERT_EQ(Application()->MainForm(), nullptr);
        Mdi.Frame.reset(Application()->CreateForm<TMdiFrameForm>());
        UnRegisterFormDescription("TMdiFrameForm");
        ASSERT_EQ(Application()->MainForm(), Mdi.Frame.get());
        if (FrameMenu) {
            auto* menu = new TMainMenu(Mdi.Frame.get());
            for (const char* caption : {"&Window", "&Help"}) {
                auto* item = new TMenuItem(Mdi.Frame.get());
                item->SetCaption(caption);
                auto* sub = new TMenuItem(Mdi.Frame.get());
                sub->SetCaption("Item");
                item->Add(sub);
                menu->Items()->Add(item);
            }
            Mdi.Frame->SetMenu(menu);
        }
        Mdi.Frame->HandleNeeded();
        Mdi.Client = Mdi.Frame->ClientHandle();
        ASSERT_NE(Mdi.Client, nullptr);
        ShowSkinned(*Mdi.Frame);
        for (int i = 0; i < 2; ++i) {
            Mdi.Children[i] = std::make_unique<TForm>(nullptr);
            TForm& child = *Mdi.Children[i];
            child.SetFormStyle(fsMDIChild);
            child.SetCaption("Child " + std::to_string(i + 1));
            child.SetBounds(20 + 60 * i, 20 + 40 * i, 400, 300);
            child.SetClientWidth(ChildClients[i].cx);
            child.SetClientHeight(ChildClients[i].cy);
            child.HandleNeeded();
            child.Show();
            Mdi.Child[i] = child.Handle();
            ASSERT_EQ(GetParent(Mdi.Child[i]), Mdi.Client);
        }
        Pump(200);
        Mdi.FrameClient = ClientSize(Mdi.Frame->Handle());
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(ClientSize(Mdi.Child[i]).cx, ChildClients[i].cx);
            ASSERT_EQ(ClientSize(Mdi.Child[i]).cy, ChildClients[i].cy);
            Mdi.ChildStyles[i] = Style(Mdi.Child[i]) & CaptionStyles;
            ASSERT_EQ(Mdi.ChildStyles[i], CaptionStyles);
        }
        SkinMdi(Mdi);
    }
    void SkinMdi(TMdi& Mdi)
    {
        Manager->SetActivationCount(1);
        Data->SetActive(true);
        Pump(400);
        TWinSkinForm* frame = Manager->FindSkinForm(Mdi.Frame->Handle());
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->FrameState().MDIKind, 1);
        for (HWND child : Mdi.Child) {
            TWinSkinForm* skin = Manager->FindSkinForm(child);
            ASSERT_NE(skin, nullptr);
            EXPECT_EQ(skin->FrameState().MDIKind, 2);
            // A normal child shows the skin's caption buttons, not the platform's.
            EXPECT_EQ(Style(child) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
        }
    }
    void RestoreChildren(const TMdi& Mdi)
    {
        for (HWND child : Mdi.Child) {
            SendMessageA(Mdi.Client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
            Pump(150);
        }
        for (HWND child : Mdi.Child)
            ASSERT_FALSE(IsZoomed(child) || IsIconic(child));
    }
    // Every client as the host made it; without the skin, the children's own caption styles.
    void ExpectMdiSizes(const TMdi& Mdi, bool Skinned, const char* When)
    {
        SCOPED_TRACE(When);
        EXPECT_EQ(ClientSize(Mdi.Frame->Handle()).cx, Mdi.FrameClient.cx);
        EXPECT_EQ(ClientSize(Mdi.Frame->Handle()).cy, Mdi.FrameClient.cy);
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(i == 0 ? "child 1" : "child 2");
            EXPECT_EQ(ClientSize(Mdi.Child[i]).cx, ChildClients[i].cx);
            EXPECT_EQ(ClientSize(Mdi.Child[i]).cy, ChildClients[i].cy);
            if (!Skinned) {
                EXPECT_EQ(Style(Mdi.Child[i]) & CaptionStyles, Mdi.ChildStyles[i]);
            }
        }
    }

    // The two skins that make the platform clamp a skinned window: side borders wider than the
    // screen and a title bar taller than it; their files are Index and Index + 1.
    struct TClampingSkin {
        const char* Name;
        std::string File;
        int Left, Top;
    };
    std::vector<TClampingSkin> ClampingSkins(int Index)
    {
        return {{"side borders wider than the screen", SkinFile(WideSides(3000), Index), 3000, TitleHeight},
                {"a title bar taller than the screen", SkinFile(TallTitle(1500), Index + 1), BorderWidth, 1500}};
    }

    std::vector<int> Files;
    // MakeMdi gives the frame a main menu of two items.
    bool FrameMenu = false;
};

// A form whose window is made anew while skinned (a change of its border icons) keeps its client
// size: the going window gives the form its own frame's size back before the new one is made.
TEST_F(THostSizeTest, AFormsWindowMadeAnewKeepsItsClientSize)
{
    StartSkinning();
    TForm& form = NewForm(300, 160);
    ASSERT_NE(ShowSkinned(form), nullptr);
    for (int round = 0; round < 3; ++round) {
        form.SetBorderIcons(round % 2 == 0 ? TBorderIcons{biSystemMenu} : TBorderIcons{biSystemMenu, biMinimize});
        ASSERT_NE(ShowSkinned(form), nullptr) << "round " << round;
        EXPECT_EQ(ClientSize(form.Handle()).cx, 300) << "round " << round;
        EXPECT_EQ(ClientSize(form.Handle()).cy, 160) << "round " << round;
    }
    form.Hide();
}

TEST_F(THostSizeTest, BordersLargerThanTheScreenGiveTheHostsClientBack)
{
    StartSkinning();
    for (const TClampingSkin& c : ClampingSkins(1)) {
        SCOPED_TRACE(c.Name);
        TClamped form;
        ShowClamped(c.File, c.Left, c.Top, form);
        if (HasFatalFailure())
            return;
        SkinOff();
        ExpectHostsSize(form.Window, form.Native, "skinned by its activation, then off");

        // Skinned again by the manager's walk: the same clamped window, and the same size back.
        SkinOn();
        EXPECT_EQ(WindowSize(form.Window).cx, form.Skinned.cx);
        EXPECT_EQ(WindowSize(form.Window).cy, form.Skinned.cy);
        SkinOff();
        ExpectHostsSize(form.Window, form.Native, "skinned by the walk, then off");
        Forms.clear();
    }
}

TEST_F(THostSizeTest, BordersLargerThanTheScreenSurviveAMaximiseAndASkinChange)
{
    StartSkinning();
    const std::string normal = SkinFile(Bitmaps(), 10);
    for (const TClampingSkin& c : ClampingSkins(11)) {
        SCOPED_TRACE(c.Name);
        TClamped form;
        ShowClamped(c.File, c.Left, c.Top, form);
        if (HasFatalFailure())
            return;
        // Restored, the skinned window is the clamped one again, not one shrunk to its minimum.
        Show(form.Window, SW_MAXIMIZE);
        Show(form.Window, SW_RESTORE);
        EXPECT_EQ(WindowSize(form.Window).cx, form.Skinned.cx);
        EXPECT_EQ(WindowSize(form.Window).cy, form.Skinned.cy);
        SkinOff();
        ExpectHostsSize(form.Window, form.Native, "off after a maximise and restore");

        // A change to a skin of normal borders fits the host's client into it.
        SkinOn();
        Show(form.Window, SW_MAXIMIZE);
        Show(form.Window, SW_RESTORE);
        Data->SetSkinFile(normal);
        Pump(400);
        ASSERT_NE(Manager->FindSkinForm(form.Window), nullptr);
        ASSERT_EQ(Manager->FindSkinForm(form.Window)->Frame().BorderLeft(), BorderWidth);
        EXPECT_EQ(ClientSize(form.Window).cx, 560);
        EXPECT_EQ(ClientSize(form.Window).cy, 400);
        EXPECT_EQ(WindowSize(form.Window).cx, 560 + 2 * BorderWidth);
        EXPECT_EQ(WindowSize(form.Window).cy, 400 + TitleHeight + BottomHeight);
        SkinOff();
        ExpectHostsSize(form.Window, form.Native, "off after a change to a normal skin");
        Forms.clear();
    }
}

TEST_F(THostSizeTest, MdiChildrenGetTheirSizeAndCaptionBackFromAMaximisedOrMinimisedState)
{
    StartSkinning();
    TMdi mdi;
    MakeMdi(mdi);
    if (HasFatalFailure())
        return;
    ExpectMdiSizes(mdi, true, "skinned");

    // Off while a child is maximised.
    SendMessageA(mdi.Child[0], WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Pump(200);
    ASSERT_TRUE(IsZoomed(mdi.Child[0]));
    SkinOff();
    RestoreChildren(mdi);
    ExpectMdiSizes(mdi, false, "off while child 1 was maximised");

    // Off while a child is minimised.
    SkinMdi(mdi);
    SendMessageA(mdi.Child[1], WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Pump(200);
    ASSERT_TRUE(IsIconic(mdi.Child[1]));
    SkinOff();
    RestoreChildren(mdi);
    ExpectMdiSizes(mdi, false, "off while child 2 was minimised");
}

TEST_F(THostSizeTest, MdiChildrenKeepTheirSizeThroughASkinChangeWhileOneIsMaximised)
{
    StartSkinning();
    const std::string wide = SkinFile(WideSides(10), 20), narrower = SkinFile(WideSides(8), 21);
    TMdi mdi;
    MakeMdi(mdi);
    if (HasFatalFailure())
        return;

    // A skin of other borders while child 1 is maximised, then off.
    SendMessageA(mdi.Child[0], WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Pump(200);
    ASSERT_TRUE(IsZoomed(mdi.Child[0]));
    ASSERT_EQ(reinterpret_cast<HWND>(SendMessageA(mdi.Client, WM_MDIGETACTIVE, 0, 0)), mdi.Child[0]);
    Data->SetSkinFile(wide);
    Pump(400);
    ASSERT_NE(Manager->FindSkinForm(mdi.Frame->Handle()), nullptr);
    ASSERT_EQ(Manager->FindSkinForm(mdi.Frame->Handle())->Frame().BorderLeft(), 10);
    EXPECT_TRUE(IsZoomed(mdi.Child[0]));
    EXPECT_FALSE(IsZoomed(mdi.Child[1]));
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(mdi.Client, WM_MDIGETACTIVE, 0, 0)), mdi.Child[0]);
    EXPECT_EQ(ClientSize(mdi.Frame->Handle()).cx, mdi.FrameClient.cx);
    EXPECT_EQ(ClientSize(mdi.Frame->Handle()).cy, mdi.FrameClient.cy);
    SkinOff();
    RestoreChildren(mdi);
    ExpectMdiSizes(mdi, false, "off after a skin change while child 1 was maximised");

    // Skinned again, and a skin of narrower borders while child 2 is maximised: it stays the
    // maximised and active one, and restored, every skinned client is the host's.
    SkinMdi(mdi);
    SendMessageA(mdi.Child[1], WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Pump(200);
    ASSERT_TRUE(IsZoomed(mdi.Child[1]));
    ASSERT_EQ(reinterpret_cast<HWND>(SendMessageA(mdi.Client, WM_MDIGETACTIVE, 0, 0)), mdi.Child[1]);
    Data->SetSkinFile(narrower);
    Pump(400);
    ASSERT_NE(Manager->FindSkinForm(mdi.Child[0]), nullptr);
    ASSERT_EQ(Manager->FindSkinForm(mdi.Child[0])->Frame().BorderLeft(), 8);
    EXPECT_FALSE(IsZoomed(mdi.Child[0]));
    EXPECT_TRUE(IsZoomed(mdi.Child[1]));
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(mdi.Client, WM_MDIGETACTIVE, 0, 0)), mdi.Child[1]);
    RestoreChildren(mdi);
    ExpectMdiSizes(mdi, true, "skinned and restored after a skin change");
    SkinOff();
    ExpectMdiSizes(mdi, false, "off after that");
}

TEST_F(THostSizeTest, AnMdiFramesBarCarriesTheMaximisedChildsButtonsAndFollowsTheFramesMenu)
{
    StartSkinning();
    // The MDI buttons' strip: three buttons of four frames, each button's first frame its own colour.
    constexpr uint32_t MdiFirst[3] = {0x700070, 0x007070, 0x707000};
    std::string ini = Description({});
    ini.replace(ini.find("[Personality]\r\n"), 15, "[Personality]\r\nmenuBar=menubar.bmp\r\nTileLeftMenu=2\r\n");
    ini += "[MDICONTROLS]\r\nImage=mdi.bmp\r\n";
    std::vector<TPackageEntry> bitmaps = Bitmaps();
    bitmaps.push_back({"menubar.bmp", Bmp(20, 40, [](int, int y) { return y < 20 ? 0x2040A0u : 0x102050u; })});
    bitmaps.push_back({"mdi.bmp", Bmp(12 * 12, 12, [&](int x, int) { return x / 12 % 4 == 0 ? MdiFirst[x / 48] : 0x808080u; })});
    ASSERT_TRUE(LoadSkinPackage(*Data, ini, bitmaps));
    FrameMenu = true;
    TMdi mdi;
    MakeMdi(mdi);
    if (HasFatalFailure())
        return;
    TWinSkinForm* frame = Manager->FindSkinForm(mdi.Frame->Handle());
    ASSERT_NE(frame->SkinMenu(), nullptr);
    ASSERT_EQ(frame->SkinMenu()->Buttons().size(), 2u);
    const HMENU own = mdi.Frame->Menu()->Handle();
    EXPECT_EQ(GetMenu(mdi.Frame->Handle()), nullptr);
    EXPECT_EQ(ClientSize(mdi.Frame->Handle()).cy, mdi.FrameClient.cy);

    // A maximised child: its three buttons in the frame's bar, and the manager knows.
    SendMessageA(mdi.Child[0], WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Pump(300);
    ASSERT_TRUE(IsZoomed(mdi.Child[0]));
    EXPECT_EQ(GetMenu(mdi.Frame->Handle()), nullptr) << "the MDI client put no native bar back";
    int drawn = 0;
    for (const auto& button : frame->Buttons().Items()) {
        const int k = button->Element->Action - cbMdiMinimize;
        if (button->Element->Visibility != cvMdiMenuBar || k < 0 || k > 2)
            continue;
        const RECT& r = button->BoundsRect;
        EXPECT_GE(r.top, frame->Frame().BorderTop());
        EXPECT_LE(r.bottom, frame->Frame().BorderTop() + frame->Frame().MenuHeight());
        EXPECT_EQ(WindowPixel(mdi.Frame->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2), MdiFirst[k]);
        ++drawn;
    }
    EXPECT_EQ(drawn, 3);
    EXPECT_TRUE(Manager->MdiMaximized());

    // The frame's menu replaced through the MDI client, and back: the bar follows both times.
    const HMENU other = CreateMenu();
    for (const char* caption : {"&One", "&Two", "T&hree"})
        AppendMenuA(other, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), caption);
    // (With a maximised child, the MDI client adds the child's menu and buttons to the new menu
    // as items without text: they take no room on the bar.)
    auto captions = [&] {
        std::string all;
        for (const auto& button : frame->SkinMenu()->Buttons())
            all += button->Caption.empty() ? "" : button->Caption + "|";
        return all;
    };
    SendMessageA(mdi.Client, WM_MDISETMENU, reinterpret_cast<WPARAM>(other), 0);
    Pump(150);
    EXPECT_EQ(captions(), "&One|&Two|T&hree|");
    EXPECT_EQ(GetMenu(mdi.Frame->Handle()), nullptr);
    SendMessageA(mdi.Client, WM_MDISETMENU, reinterpret_cast<WPARAM>(own), 0);
    Pump(150);
    EXPECT_EQ(captions(), "&Window|&Help|");
    DestroyMenu(other);

    // Off: the frame's own menu on the frame again.
    SkinOff();
    EXPECT_EQ(GetMenu(mdi.Frame->Handle()), own);
    RestoreChildren(mdi);
}
