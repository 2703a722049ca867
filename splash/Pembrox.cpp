// Pembrox: the splash program. Its window is made from the form description in its resources.
#include "splash/SplashScreenUnit.h"

#include "framework/win/StartupTrace.h"

#include <windows.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i)
        arguments.emplace_back(__argv[i]);
    TSplashScreen::SetArguments(std::move(arguments));

    TApplicationScope scope;
    Application()->Initialize();
    RegisterSplashClasses();
    StartupMark("the framework started");
    try {
        Application()->CreateForm<TSplashScreen>();
        StartupMark("the splash form built, its skin loaded");
    } catch (const std::exception& e) {
        Application()->HandleException(e); // shown; the program ends
    }
    Application()->SetTitle("Tavrel Lock");
    Application()->Run();
    return Application()->ExitCode();
}
