#include "demo/DemoForm.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/core/Published.h"
#include "framework/win/Files.h"
#include "skin/data/WinSkinData.h"

#include <windows.h>

namespace {

constexpr int FormClientWidth = 480;
constexpr int FormClientHeight = 320;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int Gap = 8;

} // namespace

IMPLEMENT_CLASS(TDemoForm)

void TDemoForm::Publish(TClassBuilder<TDemoForm>& b)
{
    b.Method<&TDemoForm::ButtonOKClick>("ButtonOKClick")
        .Method<&TDemoForm::ButtonCloseClick>("ButtonCloseClick")
        .Field("Header", &TDemoForm::Header)
        .Field("Body", &TDemoForm::Body)
        .Field("Status", &TDemoForm::Status)
        .Field("ButtonOK", &TDemoForm::ButtonOK)
        .Field("ButtonClose", &TDemoForm::ButtonClose)
        .Field("SkinData1", &TDemoForm::SkinData1);
}

TDemoForm::TDemoForm(TComponent* AOwner) : TForm(AOwner)
{
    // The frame first: the client size follows from it.
    SetCaption("Pembrox Demo");
    SetBorderStyle(bsSizeable);
    SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    SetPosition(poScreenCenter);
    SetClientWidth(FormClientWidth);
    SetClientHeight(FormClientHeight);

    // The aligned panels, all of them before anything is placed on the body, so that the body
    // has its final size when the buttons' anchors are taken.
    Header = new TPanel(this);
    Header->SetName("Header");
    Header->SetParent(this);
    Header->SetHeight(48);
    Header->SetAlign(alTop);
    Header->SetCaption("The frame, the title bar and its buttons are drawn from the skin");

    Status = new TPanel(this);
    Status->SetName("Status");
    Status->SetParent(this);
    Status->SetHeight(24);
    Status->SetAlign(alBottom);
    Status->SetBevelOuter(bvLowered);
    Status->SetAlignment(taLeftJustify);
    Status->SetCaption(" Ready");

    Body = new TPanel(this);
    Body->SetName("Body");
    Body->SetParent(this);
    Body->SetAlign(alClient);
    Body->SetBevelOuter(bvNone);
    Body->SetCaption("");

    const RECT body = Body->ClientRect();
    const int buttonTop = body.bottom - Gap - ButtonHeight;

    auto* content = new TPanel(this);
    content->SetName("Content");
    content->SetParent(Body);
    content->SetBounds(Gap, Gap, body.right - 2 * Gap, buttonTop - 2 * Gap);
    content->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    content->SetBevelOuter(bvLowered);
    content->SetCaption("Resize, minimise, maximise: the skin follows");

    ButtonClose = new TBitBtn(this);
    ButtonClose->SetName("ButtonClose");
    ButtonClose->SetParent(Body);
    ButtonClose->SetKind(bkClose);
    ButtonClose->SetBounds(body.right - Gap - ButtonWidth, buttonTop, ButtonWidth, ButtonHeight);
    ButtonClose->SetAnchors(TAnchors{akRight, akBottom});
    ButtonClose->SetOnClick(BindMethod<&TDemoForm::ButtonCloseClick>(this));

    ButtonOK = new TButton(this);
    ButtonOK->SetName("ButtonOK");
    ButtonOK->SetParent(Body);
    ButtonOK->SetCaption("OK");
    ButtonOK->SetDefault(true);
    ButtonOK->SetBounds(ButtonClose->Left() - Gap - ButtonWidth, buttonTop, ButtonWidth, ButtonHeight);
    ButtonOK->SetAnchors(TAnchors{akRight, akBottom});
    ButtonOK->SetOnClick(BindMethod<&TDemoForm::ButtonOKClick>(this));

    // Skinning stays off until LoadSkin.
    SkinData1 = new TSkinData(this);
    SkinData1->SetName("SkinData1");
    SkinData1->SetSkinFormtype(sfMainform);
}

void TDemoForm::LoadSkin()
{
    const std::string fileName = GetCurrentDir() + "\\" + "default.skn";
    std::string source;
    if (FileExists(fileName)) {
        // Loads the package and hands it to the manager.
        SkinData1->SetSkinFile(fileName);
        source = "default.skn";
    } else {
        std::string package;
        if (ReadProgramResource(DemoSkinResource, package)) {
            SkinData1->PackageBytes().Clear();
            SkinData1->PackageBytes().WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
            SkinData1->LoadPackage();
        }
        // Made in code, the component has no manager yet: this makes it and installs the hook.
        SkinData1->SkinChanged();
        source = "built-in";
    }
    // Without a parsed skin this asks for nothing and the form keeps its own look.
    SkinData1->SetActive(true);
    Status->SetCaption(" Skin: " + source +
                       (SkinData1->SkinLoading() ? " (not a valid skin)" : " (" + SkinData1->SkinName() + ")"));
}

void TDemoForm::ButtonOKClick(TObject*)
{
    Status->SetCaption(" OK pressed");
}

void TDemoForm::ButtonCloseClick(TObject*)
{
    Close();
}

void RegisterDemoForm()
{
    // CreateForm reads a form's description; this form builds itself, so its description only
    // names it.
    RegisterFormDescription("TDemoForm", "object DemoForm: TDemoForm\nend\n");
}
