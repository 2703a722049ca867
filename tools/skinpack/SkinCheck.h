// Checks an opened skin package the way the engine will use it: one description entry, and every
// image the description names present, named with a lower-case ".bmp" (the engine leaves any other
// name empty) and a valid Windows bitmap.
#pragma once

#include <string>
#include <vector>

class TSkinReader;

// One line per problem: "package: problem" lines for the package as a whole first, then
// "Section/Key: problem" lines in the order the engine loads the images. Empty when the skin is fine.
std::vector<std::string> CheckSkin(const TSkinReader& Reader);
