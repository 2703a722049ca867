// Files and folders as the program sees them: plain existence tests, the current folder and the
// platform's folder for temporary files.
#pragma once

#include <string>

// True when Name is an existing file (not a folder); nothing else is looked at.
bool FileExists(const std::string& Name);
// The current folder, without a trailing separator.
std::string GetCurrentDir();
// The platform's temporary folder (GetTempPathA with a 256-character buffer), ending in "\".
std::string TempFolder();
