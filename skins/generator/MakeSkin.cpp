// make_skin FOLDER [THEME]: draws one of the program's built-in skins into FOLDER (see
// BuiltinSkin.h); the build packs the folder with skinpack. THEME is "slate" (Pembrox Slate, the
// default) or "night" (Pembrox Night, the dark one).
#include "skins/generator/BuiltinSkin.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    const TTheme* theme = argc == 2 ? &SlateTheme() : argc == 3 ? FindTheme(argv[2]) : nullptr;
    if (theme == nullptr) {
        std::cerr << "usage: make_skin FOLDER [slate|night]\n";
        return 2;
    }
    try {
        WriteBuiltinSkin(argv[1], *theme);
    } catch (const std::exception& e) {
        std::cerr << "make_skin: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
