// Writes the splash window's form description, the one Pembrox carries as a resource:
//   make_splash_form PICTURE.jpg SKIN.skn OUT.txt
// The objects are made here with their settings and written with the framework's description
// writer, so the text always says what the classes read.
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/core/FormWriter.h"
#include "framework/core/Stream.h"
#include "framework/graphics/Jpeg.h"
#include "framework/graphics/Picture.h"
#include "skin/data/WinSkinData.h"
#include "skin/package/WinSkinStore.h"
#include "splash/SplashScreenUnit.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

void Describe(TSplashScreen& Form, const std::string& PictureFile, const std::string& SkinFile)
{
    Form.SetName("SplashScreen");
    Form.SetLeft(228);
    Form.SetTop(209);
    Form.SetBorderStyle(bsNone);
    Form.SetBorderIcons(TBorderIcons{});
    Form.SetCaption("SplashScreen");
    Form.SetClientWidth(472);
    Form.SetClientHeight(293);
    Form.SetColor(clBtnFace);
    Form.Font()->SetCharset(DEFAULT_CHARSET);
    Form.Font()->SetColor(clWindowText);
    Form.Font()->SetHeight(-11);
    Form.Font()->SetName("MS Sans Serif");
    Form.Font()->SetStyle(TFontStyles{});
    Form.SetPosition(poScreenCenter);
    Form.SetOnCreate(BindMethod<&TSplashScreen::FormCreate>(&Form));

    auto* panel = new TPanel(&Form);
    panel->SetName("Panel1");
    panel->SetParent(&Form);
    panel->SetBounds(0, 0, 472, 293);
    panel->SetAlign(alClient);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(3);
    panel->SetCaption("Panel1");

    auto* image = new TImage(&Form);
    image->SetName("Image1");
    image->SetParent(panel);
    image->SetBounds(6, 6, 460, 281);
    image->SetAlign(alClient);
    image->SetStretch(true);
    image->Picture()->LoadFromFile(PictureFile);

    auto* button = new TBitBtn(&Form);
    button->SetName("ButtonClose");
    button->SetParent(panel);
    button->SetBounds(200, 248, 75, 25);
    button->SetAnchors(TAnchors{akRight, akBottom});
    button->SetKind(bkClose);
    button->SetOnClick(BindMethod<&TSplashScreen::ButtonCloseClick>(&Form));

    auto* data = new TSkinData(&Form);
    data->SetName("SkinData1");
    data->SetDisableTag(99);
    data->SetSkinFormtype(sfMainform);

    auto* store = new TSkinStore(&Form);
    store->SetName("SkinStore1");
    TSkinCollectionItem* item = store->Store()->Add();
    item->SetName("SkinItem0");
    item->LoadFromFile(SkinFile);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_splash_form PICTURE.jpg SKIN.skn OUT.txt\n");
        return 2;
    }
    try {
        TSplashScreen form(nullptr);
        Describe(form, argv[1], argv[2]);
        const std::string text = WriteComponentText(&form);
        TFileStream out(argv[3], fmCreate);
        out.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_splash_form: %s\n", e.what());
        return 1;
    }
    return 0;
}
