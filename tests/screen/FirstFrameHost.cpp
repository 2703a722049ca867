// A program of the framework whose main form owns its skin data component, started by the
// first-frame test as a user would start it, in one of the orders a host may use:
//   first_frame_host /order=ORDER /skin=FILE
//     described  the component is in the form's description, with the skin file and Active
//     before     the form's window is made first, the component afterwards in code
//     oncreate   the form's OnCreate makes and activates the component
//     shown      as described, and the form is shown before the message loop runs
// The form closes itself after a second and a half; the exit code is 0 when its window was
// skinned then, 5 when it was not, 6 on a bad command line.
//   first_frame_host /colours   prints the platform's caption colours (for the watcher)
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/Timer.h"
#include "framework/core/Published.h"
#include "skin/data/WinSkinData.h"
#include "skin/form/SkinMessages.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

class TFirstFrameForm : public TForm {
    DECLARE_CLASS(TFirstFrameForm, TForm)
public:
    explicit TFirstFrameForm(TComponent* AOwner) : TForm(AOwner)
    {
        auto* edit = new TEdit(this);
        edit->SetParent(this);
        edit->SetBounds(16, 16, 200, 22);
        auto* button = new TButton(this);
        button->SetParent(this);
        button->SetCaption("OK");
        button->SetBounds(16, 52, 90, 26);
        FCloser = std::make_unique<TTimer>();
        FCloser->SetInterval(1500);
        FCloser->SetOnTimer(BindMethod<&TFirstFrameForm::CloseNow>(this));
    }
    // Makes the component in code and switches it on with the skin file.
    void MakeSkinData(const std::string& SkinFile)
    {
        SkinData1 = new TSkinData(this);
        SkinData1->SkinChanged(); // made in code: this makes the manager and its hook
        SkinData1->SetSkinFile(SkinFile);
        SkinData1->SetActive(true);
    }
    void FormCreate(TObject*) { MakeSkinData(GSkinFile); }
    void CloseNow(TObject*)
    {
        FCloser->SetEnabled(false);
        Application()->SetExitCode(SendMessageA(Handle(), SKM_QUERY, 0, 0) == 1 ? 0 : 5);
        Close();
    }

    static std::string GSkinFile;
    TSkinData* SkinData1 = nullptr;

private:
    std::unique_ptr<TTimer> FCloser;
};

std::string TFirstFrameForm::GSkinFile;

IMPLEMENT_CLASS(TFirstFrameForm)

void TFirstFrameForm::Publish(TClassBuilder<TFirstFrameForm>& b)
{
    b.Method<&TFirstFrameForm::FormCreate>("FormCreate").Field("SkinData1", &TFirstFrameForm::SkinData1);
}

namespace {

std::string Quoted(const std::string& Text)
{
    std::string q = "'";
    for (char c : Text)
        q += c == '\'' ? std::string("''") : std::string(1, c);
    return q + "'";
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::string order, skin;
    for (int i = 1; i < __argc; ++i) {
        const std::string a = __argv[i];
        if (a == "/colours") {
            // The platform's caption colours, for the watcher: active, its gradient's end,
            // inactive, its gradient's end.
            for (int index : {COLOR_ACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION, COLOR_INACTIVECAPTION,
                              COLOR_GRADIENTINACTIVECAPTION}) {
                const COLORREF c = GetSysColor(index);
                std::printf("%02X%02X%02X ", GetRValue(c), GetGValue(c), GetBValue(c));
            }
            std::printf("\n");
            return 0;
        }
        if (a.rfind("/order=", 0) == 0)
            order = a.substr(7);
        else if (a.rfind("/skin=", 0) == 0)
            skin = a.substr(6);
    }
    if (skin.empty() || (order != "described" && order != "before" && order != "oncreate" && order != "shown"))
        return 6;
    TFirstFrameForm::GSkinFile = skin;

    TApplicationScope scope;
    Application()->Initialize();
    RegisterFrameworkClasses();
    RegisterComponentClass(TSkinData::StaticClass());
    std::string description = "object FirstFrameForm: TFirstFrameForm\n"
                              "  Left = 120\n  Top = 90\n  Width = 360\n  Height = 240\n"
                              "  Caption = 'First frame'\n  BorderStyle = bsSizeable\n";
    if (order == "oncreate")
        description += "  OnCreate = FormCreate\n";
    if (order == "described" || order == "shown")
        description += "  object SkinData1: TSkinData\n    Active = True\n    SkinFile = " + Quoted(skin) +
                       "\n  end\n";
    description += "end\n";
    RegisterFormDescription("TFirstFrameForm", description);
    auto* form = Application()->CreateForm<TFirstFrameForm>();
    if (order == "before") {
        form->HandleNeeded();
        form->MakeSkinData(skin);
    }
    if (order == "shown")
        form->Show();
    Application()->Run();
    return Application()->ExitCode();
}
