#include "framework/win/PlatformDialogs.h"

#include "framework/core/Dialogs.h"

#include <windows.h>

void InstallPlatformMessageBox()
{
    SetMessageBoxHandler([](const std::string& Text, const std::string& Caption, uint32_t Flags) {
        return MessageBoxA(GetActiveWindow(), Text.c_str(), Caption.empty() ? nullptr : Caption.c_str(), Flags);
    });
}
