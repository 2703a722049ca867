#include "framework/win/Files.h"

#include <windows.h>

bool FileExists(const std::string& Name)
{
    const DWORD attributes = GetFileAttributesA(Name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string GetCurrentDir()
{
    char buffer[MAX_PATH + 1]{};
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
    return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : std::string(".");
}

std::string TempFolder()
{
    char buffer[256 + 1]{};
    const DWORD n = GetTempPathA(256, buffer);
    std::string folder = n > 0 && n <= 256 ? std::string(buffer, n) : std::string(".\\");
    if (folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder;
}
