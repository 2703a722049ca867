// A check of Windows bitmap files, as skin packages carry them: the framework's bitmap codec must
// decode the file (headers, colour table and pixel data consistent and within the data), and the
// file-size field must not claim more than the data holds.
#pragma once

#include <string>
#include <string_view>

// True when Data is a bitmap file a loader can read; otherwise false, with Problem set to a short
// description ("no \"BM\" signature", "pixel data runs past the end of the data" ...).
bool CheckWindowsBitmap(std::string_view Data, std::string& Problem);
