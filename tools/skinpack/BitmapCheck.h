// A structural check of Windows bitmap files, as skin packages carry them: the file header, a
// core (12-byte), info (40), V4 (108) or V5 (124) header, the colour table and the pixel data
// must be consistent and lie within the data. Pixels themselves are not decoded, apart from a
// walk over RLE codes to see that they do not run past the data.
#pragma once

#include <string>
#include <string_view>

// True when Data is a bitmap file a loader can read; otherwise false, with Problem set to a short
// description ("no \"BM\" signature", "pixel data runs past the end of the data" ...).
bool CheckWindowsBitmap(std::string_view Data, std::string& Problem);
