// The splash window: a borderless, screen-centred form with a picture and a Close button, skinned
// by its skin data component. Switches make it an ellipse or a circle; a picture file and a skin
// file in the working folder replace the built-in ones.
#pragma once

#include "framework/controls/Forms.h"

#include <string>
#include <vector>

class TBitBtn;
class TImage;
class TPanel;
class TSkinData;
class TSkinStore;

class TSplashScreen : public TForm {
    DECLARE_CLASS(TSplashScreen, TForm)
public:
    explicit TSplashScreen(TComponent* AOwner);

    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TBitBtn* ButtonClose = nullptr;
    TSkinData* SkinData1 = nullptr;
    TSkinStore* SkinStore1 = nullptr;

    bool TallEllipse = false;
    bool WideEllipse = false;
    bool Circle = false;
    // /noskin: the window as the platform draws it, for comparing start-up times.
    bool NoSkin = false;
    std::string SkinFileName;

    // The program's arguments 1..N; the program passes its command line, tests their own.
    static void SetArguments(std::vector<std::string> Arguments);

    // "/V", "/W", "/X": the first two characters of an argument, letter case counting.
    void LoadParameters();
    void FormCreate(TObject* Sender);
    void ButtonCloseClick(TObject* Sender);

private:
    // The form's outer size W x H, an elliptic window region, the button at (100, 100).
    void ApplyShape(int W, int H);
};

// Every class the splash form's description names.
void RegisterSplashClasses();
