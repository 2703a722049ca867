// libFuzzer target: whatever bytes a user drops next to the program, opening them as a skin
// package and extracting every entry must not crash, read out of bounds or leak.
#include "framework/core/Dialogs.h"
#include "skin/package/SkinRead.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const bool quiet = [] {
        SetMessageBoxHandler([](const std::string&, const std::string&, uint32_t) { return 1; });
        return true;
    }();
    (void)quiet;
    // No length filter: the reader decodes no more than the input's size can stand for
    // (TSkinReader::MaxExpansion bytes a byte), so a run stays short for any input.
    TMemoryStream package;
    if (Size > 0)
        package.WriteBuffer(Data, static_cast<int32_t>(Size));
    TSkinReader reader;
    if (!reader.Open(package))
        return 0;
    TMemoryStream out;
    for (int i = 0; i < reader.EntryCount(); ++i)
        reader.ExtractEntry(reader.StoredName(i), out);
    std::string name;
    reader.ExtractEntryContaining(".ini", out, name);
    return 0;
}
