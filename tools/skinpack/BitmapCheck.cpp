#include "tools/skinpack/BitmapCheck.h"

#include "framework/graphics/BitmapCodec.h"

#include <cstdint>

// The framework's decoder does the work; a package also must not claim more bytes than it holds.
bool CheckWindowsBitmap(std::string_view Data, std::string& Problem)
{
    TBitmapImage image;
    return TryDecodeBitmap(reinterpret_cast<const uint8_t*>(Data.data()), Data.size(), image, Problem,
                           /*StrictFileSize=*/true);
}
