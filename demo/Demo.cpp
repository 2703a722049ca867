// PembroxDemo, the gallery: every family of windows the engine skins, on the pages of one main form.
//   PembroxDemo [/page=N] [/skin=FILE | /noskin]
// Without /skin or /noskin the skin is "default.skn" in the working folder, else the built-in one.
#include "demo/DemoForm.h"
#include "framework/win/StartupTrace.h"

#include <windows.h>

#include <exception>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    TApplicationScope scope;
    Application()->Initialize();
    Application()->SetTitle("Pembrox Demo");
    RegisterDemoForm();
    StartupMark("the framework started");
    try {
        TDemoForm* form = Application()->CreateForm<TDemoForm>();
        StartupMark("the gallery's pages built");
        Application()->SetOnException(BindMethod<&TDemoForm::ApplicationException>(form));
        std::vector<std::string> args = SplitCommandLine(GetCommandLineA());
        if (!args.empty())
            args.erase(args.begin()); // the program
        // Before the form's window exists, so that the manager's hook sees it made.
        form->Start(ParseGalleryOptions(args));
        StartupMark("the skin decoded and loaded");
    } catch (const std::exception& e) {
        Application()->HandleException(e); // shown; the program ends
    }
    Application()->Run();
    return Application()->ExitCode();
}
