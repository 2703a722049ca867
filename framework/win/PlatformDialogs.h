// The platform's message box behind the framework's one message-box function.
#pragma once

// Makes ShowMessageBox/ShowMessage use MessageBoxA, owned by the active window. The application
// object installs it at start; tests keep their own handler.
void InstallPlatformMessageBox();
