// Checks an opened skin package the way the engine will use it: one description entry, and every
// image the description names present, named with a lower-case ".bmp" (the engine leaves any other
// name empty) and a valid Windows bitmap.
#pragma once

#include <string>
#include <vector>

class TSkinReader;

// One line per problem: "package: problem" lines for the package as a whole first, then
// "Section/Key: problem" lines in the order the engine loads the images, then window-frame borders
// that cannot hold their frames, then colours that are no colours. Empty when the skin is fine.
std::vector<std::string> CheckSkin(const TSkinReader& Reader);

// What an author should look at though the skin works, one "Section/Key: warning: ..." line each,
// saying what to change: keys no element reads (with the known key nearest in spelling), strips
// that do not split into their frames, margins wider or taller than a frame, and colour pairs
// that make text hard to read (text on its ground under 3:1, disabled text under 2:1).
std::vector<std::string> SkinWarnings(const TSkinReader& Reader);
