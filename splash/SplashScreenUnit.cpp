#include "splash/SplashScreenUnit.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"
#include "framework/graphics/Picture.h"
#include "framework/win/Files.h"
#include "skin/data/WinSkinData.h"
#include "skin/package/WinSkinStore.h"

#include <windows.h>

namespace {

std::vector<std::string>& Arguments()
{
    static std::vector<std::string> arguments;
    return arguments;
}

} // namespace

IMPLEMENT_CLASS(TSplashScreen)

void TSplashScreen::Publish(TClassBuilder<TSplashScreen>& b)
{
    b.Method<&TSplashScreen::FormCreate>("FormCreate")
        .Method<&TSplashScreen::ButtonCloseClick>("ButtonCloseClick")
        .Field("Panel1", &TSplashScreen::Panel1)
        .Field("Image1", &TSplashScreen::Image1)
        .Field("ButtonClose", &TSplashScreen::ButtonClose)
        .Field("SkinData1", &TSplashScreen::SkinData1)
        .Field("SkinStore1", &TSplashScreen::SkinStore1);
}

TSplashScreen::TSplashScreen(TComponent* AOwner) : TForm(AOwner) {}

void TSplashScreen::SetArguments(std::vector<std::string> Value)
{
    Arguments() = std::move(Value);
}

void TSplashScreen::LoadParameters()
{
    for (const std::string& argument : Arguments()) {
        const std::string head = argument.substr(0, 2);
        if (head == "/V")
            TallEllipse = true;
        if (head == "/W")
            WideEllipse = true;
        if (head == "/X")
            Circle = true;
        if (LowerCase(argument) == "/noskin")
            NoSkin = true;
    }
}

void TSplashScreen::ApplyShape(int W, int H)
{
    Panel1->SetBevelWidth(1);
    SetHeight(H);
    SetWidth(W);
    HRGN region = CreateEllipticRgn(0, 0, Width(), Height());
    // The window owns the region from here on.
    if (SetWindowRgn(Handle(), region, TRUE) == 0)
        DeleteObject(region);
    ButtonClose->SetTop(100);
    ButtonClose->SetLeft(100);
}

void TSplashScreen::FormCreate(TObject*)
{
    LoadParameters();
    if (Circle)
        ApplyShape(400, 400);
    if (TallEllipse)
        ApplyShape(250, 500);
    if (WideEllipse)
        ApplyShape(500, 250);
    if (FileExists("IMAGES/SPLASH.JPG"))
        Image1->Picture()->LoadFromFile("IMAGES/SPLASH.JPG");
    if (FileExists("IMAGES/SPLASH.BMP"))
        Image1->Picture()->LoadFromFile("IMAGES/SPLASH.BMP");
    if (NoSkin)
        return;
    SkinFileName = GetCurrentDir() + "\\" + "default.skn";
    if (FileExists(SkinFileName))
        SkinData1->SetSkinFile(SkinFileName);
    else
        SkinData1->SelectStoredSkin(SkinStore1, 0);
    if (!SkinData1->Active())
        SkinData1->SetActive(true);
    SkinData1->ApplyToForm(this, nullptr);
}

void TSplashScreen::ButtonCloseClick(TObject*)
{
    Close();
}

void RegisterSplashClasses()
{
    RegisterFrameworkClasses();
    RegisterComponentClass(TSkinData::StaticClass());
    RegisterComponentClass(TSkinStore::StaticClass());
}
