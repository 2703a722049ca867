// The splash window made from the description Pembrox carries, in a working folder of the test's
// own: the switches and the shape they give (window size and region box), the picture files, the
// skin file or the stored skin, and the skin loaded and active.
#include "splash/SplashScreenUnit.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/core/Dialogs.h"
#include "framework/core/Stream.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Jpeg.h"
#include "framework/graphics/Picture.h"
#include "skin/data/WinSkinData.h"
#include "skin/manager/SkinManager.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinCheckBox.h"
#include "skin/draw/SkinDraw.h"
#include "skin/form/WinSkinForm.h"
#include "skin/package/WinSkinStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string ReadFile(const std::string& Name)
{
    TMemoryStream stream;
    stream.LoadFromFile(Name);
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

void WriteFile(const std::string& Name, const std::string& Bytes)
{
    TFileStream out(Name, fmCreate);
    out.WriteBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
}

// A working folder of its own, made current while the object lives.
class TWorkFolder {
public:
    TWorkFolder()
    {
        char temp[MAX_PATH]{};
        GetTempPathA(MAX_PATH, temp);
        FPath = std::string(temp) + "splashtest-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(FPath.c_str(), nullptr);
        CreateDirectoryA((FPath + "\\IMAGES").c_str(), nullptr);
        char old[MAX_PATH]{};
        GetCurrentDirectoryA(MAX_PATH, old);
        FOld = old;
        SetCurrentDirectoryA(FPath.c_str());
    }
    ~TWorkFolder()
    {
        SetCurrentDirectoryA(FOld.c_str());
        for (const char* f : {"\\IMAGES\\SPLASH.JPG", "\\IMAGES\\SPLASH.BMP", "\\default.skn"})
            DeleteFileA((FPath + f).c_str());
        RemoveDirectoryA((FPath + "\\IMAGES").c_str());
        RemoveDirectoryA(FPath.c_str());
    }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
    std::string FOld;
};

struct TSplashTest : ::testing::Test {
    void SetUp() override
    {
        RegisterSplashClasses();
        RegisterFormDescription("TSplashScreen", ReadFile(PEMBROX_SPLASH_FORM));
        FSaved = SetMessageBoxHandler([this](const std::string& Text, const std::string&, uint32_t) {
            Shown.push_back(Text);
            return IDOK;
        });
        Application()->ResetTerminated();
    }
    void TearDown() override
    {
        SetMessageBoxHandler(FSaved);
        UnRegisterFormDescription("TSplashScreen");
        TSplashScreen::SetArguments({});
        FreeSkinManager();
        Application()->ResetTerminated();
        Application()->SetExitCode(0);
    }
    std::unique_ptr<TSplashScreen> Make(std::vector<std::string> Arguments)
    {
        TSplashScreen::SetArguments(std::move(Arguments));
        std::unique_ptr<TSplashScreen> form(new TSplashScreen(nullptr));
        form->InitFromDescription();
        return form;
    }
    std::vector<std::string> Shown;

private:
    TMessageBoxHandler FSaved;
};

struct TShape {
    int Width, Height;
    bool Region;
};

TShape ShapeOf(TSplashScreen& Form)
{
    RECT r{};
    GetWindowRect(Form.Handle(), &r);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(Form.Handle(), region);
    RECT box{};
    GetRgnBox(region, &box);
    DeleteObject(region);
    const bool hasRegion = kind != ERROR && kind != NULLREGION;
    if (hasRegion) {
        // The ellipse inscribed in (0, 0, width, height); an elliptic region leaves out the
        // bounding rectangle's right column and bottom row.
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.top, 0);
        EXPECT_EQ(box.right, r.right - r.left - 1);
        EXPECT_EQ(box.bottom, r.bottom - r.top - 1);
    }
    return TShape{r.right - r.left, r.bottom - r.top, hasRegion};
}

} // namespace

TEST_F(TSplashTest, TheStoredSkinIsLoadedAndActiveAndTheWindowIsTheDescribedOne)
{
    TWorkFolder folder;
    auto form = Make({});
    EXPECT_TRUE(Shown.empty());
    ASSERT_NE(form->SkinData1, nullptr);
    TSkinData& data = *form->SkinData1;
    EXPECT_TRUE(data.Active());
    EXPECT_FALSE(data.SkinLoading());
    EXPECT_EQ(data.SkinName(), "Pembrox Slate");
    // The parsed elements of the built-in skin.
    EXPECT_FALSE(data.SkinBorderTop()->Bitmap->Empty());
    EXPECT_EQ(data.SkinBorderTop()->FrameCount, 2);
    EXPECT_FALSE(data.SkinButtons()->Bitmap->Empty());
    EXPECT_EQ(data.SkinButtons()->FrameCount, 5);
    EXPECT_EQ(data.SkinButtons()->CheckButtonFrame, 4);
    EXPECT_GE(data.SkinSysButtons().size(), 3u + 4u);
    EXPECT_NE(data.Colours().ButtonFace, clBtnFace);
    EXPECT_EQ(data.DisableTag(), 99);
    EXPECT_FALSE(data.SkinControls().Contains(xcFastReport));
    EXPECT_EQ(data.Skin3rd()->Count(), 81);
    ASSERT_NE(SkinManager(), nullptr);
    EXPECT_TRUE(SkinManager()->SkinningOn()); // before any activation: switched on only
    EXPECT_EQ(form->SkinStore1->Store()->Items(0)->Name(), "SkinItem0");
    EXPECT_EQ(form->SkinFileName, folder.Path() + "\\default.skn");

    // The window: no switches, 472 x 293, no region; the picture and the button where described.
    const TShape shape = ShapeOf(*form);
    EXPECT_EQ(shape.Width, 472);
    EXPECT_EQ(shape.Height, 293);
    EXPECT_FALSE(shape.Region);
    EXPECT_EQ(form->Image1->Width(), 460);
    EXPECT_EQ(form->ButtonClose->Left(), 200);
    EXPECT_EQ(form->ButtonClose->Caption(), "&Close");
    EXPECT_NE(dynamic_cast<TJPEGImage*>(form->Image1->Picture()->Graphic()), nullptr);
    EXPECT_EQ(form->Caption(), "SplashScreen");
    const DWORD style = static_cast<DWORD>(GetWindowLongA(form->Handle(), GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME), 0u);
}

TEST_F(TSplashTest, SwitchesShapeTheWindowAndTheLastOneWins)
{
    TWorkFolder folder;
    struct TCase {
        std::vector<std::string> Arguments;
        int Width, Height;
        bool Region;
    };
    const std::vector<TCase> cases{
        {{"/W"}, 500, 250, true},
        {{"/V"}, 250, 500, true},
        {{"/Xtra"}, 400, 400, true},         // anything after the two characters is ignored
        {{"/X", "/V"}, 250, 500, true},      // "/V" runs after "/X"
        {{"/V", "/X", "/W"}, 500, 250, true}, // circle, tall, wide: wide is last
        {{"/v", "-W", "X", "W/"}, 472, 293, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Arguments.empty() ? std::string() : c.Arguments[0]);
        auto form = Make(c.Arguments);
        const TShape shape = ShapeOf(*form);
        EXPECT_EQ(shape.Width, c.Width);
        EXPECT_EQ(shape.Height, c.Height);
        EXPECT_EQ(shape.Region, c.Region);
        if (c.Region) {
            EXPECT_EQ(form->ButtonClose->Left(), 100);
            EXPECT_EQ(form->ButtonClose->Top(), 100);
            EXPECT_EQ(form->Panel1->BevelWidth(), 1);
            // The picture fills the new client area inside the thinner bevels.
            EXPECT_EQ(form->Image1->Width(), c.Width - 4);
        }
        FreeSkinManager();
    }
}

TEST_F(TSplashTest, PictureFilesAndTheSkinFileReplaceTheBuiltInOnes)
{
    TWorkFolder folder;
    // A JPEG only: it is shown.
    TBitmap small(8, 4, pf24bit);
    small.Canvas()->Brush()->SetColor(clRed);
    small.Canvas()->FillRect(RECT{0, 0, 8, 4});
    TMemoryStream bmp;
    small.SaveToStream(bmp);
    const std::string builtIn = ReadFile(PEMBROX_SPLASH_PICTURE);
    WriteFile("IMAGES\\SPLASH.JPG", builtIn);
    {
        auto form = Make({});
        auto* jpeg = dynamic_cast<TJPEGImage*>(form->Image1->Picture()->Graphic());
        ASSERT_NE(jpeg, nullptr);
        EXPECT_EQ(jpeg->Data().size(), builtIn.size());
        FreeSkinManager();
    }
    // Both: the bitmap replaces the JPEG.
    WriteFile("IMAGES\\SPLASH.BMP",
              std::string(static_cast<const char*>(bmp.Memory()), static_cast<size_t>(bmp.Size())));
    {
        auto form = Make({});
        auto* bitmap = dynamic_cast<TBitmap*>(form->Image1->Picture()->Graphic());
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->Width(), 8);
        FreeSkinManager();
    }
    // A "default.skn" in the folder is taken instead of the stored skin.
    const std::string skin = ReadFile(PEMBROX_BUILTIN_SKIN_FILE);
    WriteFile("default.skn", skin);
    {
        auto form = Make({});
        EXPECT_EQ(form->SkinData1->SkinFile(), folder.Path() + "\\default.skn");
        EXPECT_TRUE(form->SkinData1->Active());
        FreeSkinManager();
    }
    // A picture file that cannot be loaded: its error is shown and the program ends; the steps
    // after it (the skin) do not run.
    WriteFile("IMAGES\\SPLASH.BMP", "BM broken");
    {
        auto form = Make({});
        ASSERT_EQ(Shown.size(), 1u);
        EXPECT_TRUE(Application()->Terminated());
        EXPECT_EQ(Application()->ExitCode(), 1);
        EXPECT_FALSE(form->SkinData1->Active());
    }
}

TEST_F(TSplashTest, TheSplashWindowIsSkinnedEndToEnd)
{
    TWorkFolder folder;
    auto form = Make({});
    form->Show();
    for (int i = 0; i < 40 && GetForegroundWindow() != form->Handle(); ++i) {
        SetForegroundWindow(form->Handle());
        Application()->ProcessMessages();
        Sleep(20);
    }
    for (int i = 0; i < 10; ++i) {
        Application()->ProcessMessages();
        Sleep(20);
    }
    TSkinManage* manager = SkinManager();
    ASSERT_NE(manager, nullptr);
    TWinSkinForm* skin = manager->FindSkinForm(form->Handle());
    ASSERT_NE(skin, nullptr);
    // No frame: not resized, no region; only the controls are skinned.
    EXPECT_EQ(skin->FrameState().FrameKind, 2);
    EXPECT_EQ(ShapeOf(*form).Width, 472);
    TSkinBitButton* button = nullptr;
    TSkinBox* panel = nullptr;
    for (TSkinControl* adaptor : skin->AdaptorSet().Adaptors()) {
        if (adaptor->Control() == form->ButtonClose)
            button = dynamic_cast<TSkinBitButton*>(adaptor);
        if (adaptor->Control() == form->Panel1)
            panel = dynamic_cast<TSkinBox*>(adaptor);
    }
    ASSERT_NE(button, nullptr);
    ASSERT_NE(panel, nullptr);

    // The panel takes the skin's ButtonFace (its bevels and the picture cover all of it).
    EXPECT_EQ(form->Panel1->Color(), form->SkinData1->Colours().ButtonFace);

    // The button shows the skin's button frame, normal or focused, not the system's face.
    RECT r{};
    GetWindowRect(form->ButtonClose->Handle(), &r);
    const TDataSkinButton& element = *form->SkinData1->SkinButtons();
    const TMargins margins{element.LeftWidth, element.TopHeight, element.RightWidth, element.BottomHeight};
    const RECT size{0, 0, r.right - r.left, r.bottom - r.top};
    auto normal = BuildFrameBitmap(size, element.Bitmap.get(), margins, 1, 5, element.Tile != 0, false);
    auto focused = BuildFrameBitmap(size, element.Bitmap.get(), margins, 4, 5, element.Tile != 0, false);
    HDC dc = GetDC(form->ButtonClose->Handle());
    const int x = 3, y = size.bottom / 2;
    const TColor shown = static_cast<TColor>(GetPixel(dc, x, y));
    ReleaseDC(form->ButtonClose->Handle(), dc);
    EXPECT_TRUE(shown == normal->PixelColor(x, y) || shown == focused->PixelColor(x, y)) << std::hex << shown;
    EXPECT_NE(shown, ColorToRGB(clBtnFace));
    form->Hide();
}
