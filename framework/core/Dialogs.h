// The one message-box function of the program. Everything modal that tells the user something goes
// through it, so that tests (and console tools) can take the text instead of a window blocking.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Text, caption, platform flags (MB_OK ...); returns the button pressed (IDOK = 1 ...).
using TMessageBoxHandler = std::function<int(const std::string& Text, const std::string& Caption, uint32_t Flags)>;

// Installs a handler and returns the previous one. An empty handler restores the default, which
// writes the text to standard error and answers 1 (OK); the Windows build installs the platform's
// message box at program start.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler Handler);

int ShowMessageBox(const std::string& Text, const std::string& Caption = std::string(), uint32_t Flags = 0);
void ShowMessage(const std::string& Text);
