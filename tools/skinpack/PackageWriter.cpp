#include "tools/skinpack/PackageWriter.h"

#include "tools/skinpack/LzhEncoder.h"

#include <stdexcept>

namespace {

void AppendLE32(std::string& Out, uint32_t Value)
{
    for (int shift = 0; shift < 32; shift += 8)
        Out.push_back(static_cast<char>((Value >> shift) & 0xFF));
}

uint32_t CheckedSize(size_t Size)
{
    if (Size > 0x7FFFFFFF)
        throw std::length_error("skin package part too large");
    return static_cast<uint32_t>(Size);
}

} // namespace

std::string BuildPlainContent(const std::vector<TPackageEntry>& Entries, int32_t Version)
{
    std::string names;
    size_t dataSize = 0;
    for (size_t i = 0; i < Entries.size(); ++i) {
        if (i > 0)
            names += "\r\n";
        names += Entries[i].Name;
        dataSize += Entries[i].Data.size();
    }
    std::string out;
    out.reserve(16 + names.size() + 4 * Entries.size() + dataSize);
    AppendLE32(out, static_cast<uint32_t>(Version));
    AppendLE32(out, CheckedSize(names.size()));
    AppendLE32(out, 0);
    AppendLE32(out, 0);
    out += names;
    for (const TPackageEntry& e : Entries)
        AppendLE32(out, CheckedSize(e.Data.size()));
    for (const TPackageEntry& e : Entries)
        out += e.Data;
    CheckedSize(out.size());
    return out;
}

std::string CompressPlain(std::string_view Plain)
{
    std::string out;
    AppendLE32(out, CheckedSize(Plain.size()));
    out += LzhEncode(Plain);
    return out;
}

std::string BuildPackage(const std::vector<TPackageEntry>& Entries, int32_t Version)
{
    return CompressPlain(BuildPlainContent(Entries, Version));
}
