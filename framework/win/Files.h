// Files and folders as the program sees them: plain existence tests, the current folder, the
// platform's folder for temporary files, and the program's own data resources.
#pragma once

#include <string>

// True when Name is an existing file (not a folder); nothing else is looked at.
bool FileExists(const std::string& Name);
// True when Name is an existing folder.
bool DirectoryExists(const std::string& Name);
// The current folder, without a trailing separator.
std::string GetCurrentDir();
// The platform's temporary folder (GetTempPathA with a 256-character buffer), ending in "\".
std::string TempFolder();
// The bytes of the program's RCDATA resource Name into Bytes; false (Bytes untouched) when the
// program has none of that name.
bool ReadProgramResource(const std::string& Name, std::string& Bytes);
