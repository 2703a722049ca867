// Skin packages: a 4-byte plain length, then an LZH stream of the plain content
//
//   0   version (20000)        4   L, the length of the name table
//   8   not interpreted        12  not interpreted
//   16  name table (L bytes; one entry name a line, CR LF between lines)
//   16+L       entry sizes, 32-bit each, in name-table order
//   16+L+4n    entry data, concatenated
//
// TSkinReader opens a package held in memory and hands out its entries by name (without regard to
// case: names are lower-cased when opened and when looked up; a name stored twice gives its first
// entry).
#pragma once

#include "framework/core/Object.h"
#include "framework/core/Stream.h"
#include "framework/core/Strings.h"
#include "skin/package/LZH.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct TSkinPackageHeader {
    int32_t Version = 0;
    int32_t NameTableLength = 0;
    int32_t Reserved1 = 0; // carried, never interpreted
    int32_t Reserved2 = 0;
};

class TSkinReader : public TObject {
public:
    static constexpr int32_t PackageVersion = 20000;
    static constexpr int MaxEntries = 1001;
    // No skin comes near this; a declared plain length above it is not a package.
    static constexpr int64_t MaxPlainSize = int64_t(64) << 20;
    // The most plain bytes one byte of LZH stream can stand for: every symbol takes at least a
    // bit, a match (60 bytes at most) at least 10 (its code, the 8-bit position byte and one or
    // more bits after it), so no stream yields more than 6 bytes a bit. A declared length above
    // this times the stream's size (plus one final match) would come from missing input.
    static constexpr int64_t MaxExpansion = 48;
    // Entry names are file names; no file system holds a name this long.
    static constexpr int MaxNameLength = 1024;
    static constexpr const char* OlderVersionMessage = "This is Older Skin File\rPlease update to new version !";

    TSkinReader();
    ~TSkinReader() override;

    // Indexes a package (the reader keeps its own copy of it), decoding the content only as far
    // as the index; the entries are decoded as they are read, as far as the one read reaches. A
    // package of another version shows OlderVersionMessage (through the framework's message box)
    // and returns false, the earlier contents kept. Anything else that is not a valid package
    // (see LastError) also returns false, without a message: among others a declared length the
    // compressed data cannot hold, more names than MaxEntries or than the content has sizes for,
    // a name longer than MaxNameLength, and a name with a folder, a drive or ".." in it (entries
    // are written to files of their names).
    bool Open(TMemoryStream& Package);
    // Copies the entry called Name into Out (emptied first; position 0 after). No match: Out empty.
    void ExtractEntry(const std::string& Name, TMemoryStream& Out) const;
    // Copies the first entry whose (lower-case) name contains Text, and returns that name in Name.
    // No match: Out empty, Name unchanged.
    void ExtractEntryContaining(const std::string& Text, TMemoryStream& Out, std::string& Name) const;
    // LZH-decodes a whole package (its declared length of bytes) into Plain. Returns false, with
    // nothing decoded, when the declared length is negative, above MaxPlainSize or more than
    // MaxExpansion times the compressed bytes (see PlausibleLength).
    static bool Decompress(TMemoryStream& Package, TMemoryStream& Plain);
    // Whether Declared plain bytes can come out of a package of PackageSize bytes (4-byte length
    // included).
    static bool PlausibleLength(int64_t Declared, int64_t PackageSize);

    // What the last Open found.
    const TSkinPackageHeader& Header() const { return FHeader; }
    int EntryCount() const { return FEntryCount; }
    const TStringList& Names() const { return *FNames; } // lower case
    const std::string& StoredName(int Index) const { return FStoredNames[static_cast<size_t>(Index)]; }
    int32_t EntrySize(int Index) const { return FSizes[static_cast<size_t>(Index)]; }
    // Where entry Index starts, from the start of the entry data.
    int64_t EntryOffset(int Index) const;
    // The bytes of entry Index (empty for an index out of range), decoded as far as they reach;
    // they stay in place while this reader holds the package.
    std::string_view Entry(int Index) const;
    int64_t PlainSize() const { return FPlainSize; }
    // How much of the content has been decoded so far: the index when opened, then as far as the
    // entries read reach (a final match may carry it a little further).
    int64_t DecodedSize() const { return FContent != nullptr ? FContent->Decoder->Decoded() : 0; }
    // Whether the content decoded so far runs past the end of the compressed stream (the part
    // past it reads as zeros): a package cut short, whose entries read from there are damaged.
    bool CutShort() const { return FContent != nullptr && FContent->Decoder->RanOutOfInput(); }
    // Why the last Open returned false ("" after a successful one).
    const std::string& LastError() const { return FLastError; }

private:
    bool Fail(const std::string& Why);
    std::string_view EntryAt(int Index, int64_t Offset) const;
    void CopyEntry(int Index, int64_t Offset, TMemoryStream& Out) const;

    // The package's content, decoded from the front as far as it has been asked for.
    struct TContent {
        std::vector<uint8_t> Stream;            // the LZH stream, past the length
        std::unique_ptr<uint8_t[]> Plain;       // room for the whole content and a final match
        std::unique_ptr<TLZHMemoryDecoder> Decoder;
        int64_t DataAt = 0;                     // where the entry data starts
    };

    std::unique_ptr<TStringList> FNames;
    int FEntryCount = 0;
    std::vector<int32_t> FSizes;
    std::unique_ptr<TContent> FContent;
    TSkinPackageHeader FHeader;
    std::vector<std::string> FStoredNames;
    int64_t FPlainSize = 0;
    std::string FLastError;
};
