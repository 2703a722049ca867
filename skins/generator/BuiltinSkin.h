// The built-in skins as a folder an author can edit: every image as a 24-bit .bmp, each also drawn
// for 150 % and 200 % ("top@1.5x.bmp", "top@2x.bmp"), and the description default.ini, with a
// comment above each section. skinpack packs the folder into exactly the built-in package.
#pragma once

#include "skins/generator/Themes.h"

#include <filesystem>

// Writes Theme's skin into Folder (made when missing; .bmp and .ini files already there go).
void WriteBuiltinSkin(const std::filesystem::path& Folder, const TTheme& Theme);
