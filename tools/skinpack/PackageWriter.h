// Writing skin packages: the plain content (header, name table, sizes, data) and its compressed
// form (4-byte little-endian plain length, then the LZH stream).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TPackageEntry {
    std::string Name;
    std::string Data;
};

// The plain content: version, name table length L and two zero words; the names joined with
// CR LF (no break after the last); one 32-bit size per entry; the entry data back to back.
std::string BuildPlainContent(const std::vector<TPackageEntry>& Entries, int32_t Version = 20000);

// 4-byte little-endian length of Plain, then LzhEncode(Plain).
std::string CompressPlain(std::string_view Plain);

// CompressPlain(BuildPlainContent(Entries, Version)).
std::string BuildPackage(const std::vector<TPackageEntry>& Entries, int32_t Version = 20000);
