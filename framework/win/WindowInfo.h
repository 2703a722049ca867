// What a window says of itself, as text: its window text and its class name.
#pragma once

#include <windows.h>

#include <string>

// The window text (GetWindowTextA), at most 1000 characters.
std::string WindowText(HWND W);
// The class name as GetClassNameA gives it, at most 100 characters.
std::string WindowClassName(HWND W);
