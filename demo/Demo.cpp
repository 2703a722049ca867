// PembroxDemo: one sizeable main form with a few controls, skinned by its skin data component
// ("default.skn" in the working folder, else the built-in skin from the resources).
#include "demo/DemoForm.h"

#include <windows.h>

#include <exception>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    TApplicationScope scope;
    Application()->Initialize();
    Application()->SetTitle("Pembrox Demo");
    RegisterDemoForm();
    try {
        TDemoForm* form = Application()->CreateForm<TDemoForm>();
        // Before the form's window exists, so that the manager's hook sees it made.
        form->LoadSkin();
    } catch (const std::exception& e) {
        Application()->HandleException(e); // shown; the program ends
    }
    Application()->Run();
    return Application()->ExitCode();
}
