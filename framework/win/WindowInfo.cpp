#include "framework/win/WindowInfo.h"

std::string WindowText(HWND W)
{
    char text[1001]{};
    const int n = GetWindowTextA(W, text, 1000);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string WindowClassName(HWND W)
{
    char name[101]{};
    const int n = GetClassNameA(W, name, 100);
    return std::string(name, n > 0 ? static_cast<size_t>(n) : 0);
}
