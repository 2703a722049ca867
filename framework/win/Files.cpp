#include "framework/win/Files.h"

#include <windows.h>

bool FileExists(const std::string& Name)
{
    const DWORD attributes = GetFileAttributesA(Name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& Name)
{
    const DWORD attributes = GetFileAttributesA(Name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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

bool ReadProgramResource(const std::string& Name, std::string& Bytes)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, Name.c_str(), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL data = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* bytes = data != nullptr ? LockResource(data) : nullptr;
    if (bytes == nullptr)
        return false;
    Bytes.assign(static_cast<const char*>(bytes), SizeofResource(module, resource));
    return true;
}
