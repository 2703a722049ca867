#include "skin/package/SkinRead.h"

#include "framework/core/Dialogs.h"
#include "framework/core/StrUtils.h"
#include "skin/package/LZH.h"

#include <algorithm>

namespace {

int32_t ReadLE32(const uint8_t* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

TSkinReader::TSkinReader()
    : FNames(std::make_unique<TStringList>()), FSizes(MaxEntries, 0), FEntryData(std::make_unique<TMemoryStream>())
{
}

TSkinReader::~TSkinReader() = default;

bool TSkinReader::Fail(const std::string& Why)
{
    FLastError = Why;
    return false;
}

bool TSkinReader::Decompress(TMemoryStream& Package, TMemoryStream& Plain)
{
    Package.SetPosition(0);
    Plain.SetPosition(0);
    uint8_t prefix[4];
    if (Package.Read(prefix, 4) != 4)
        return false;
    const uint32_t length = static_cast<uint32_t>(ReadLE32(prefix));
    if (length > MaxPlainSize)
        return false;
    TLZH lzh;
    lzh.UnpackStreams(static_cast<int32_t>(length), Package, Plain);
    return true;
}

bool TSkinReader::Open(TMemoryStream& Package)
{
    FLastError.clear();
    TMemoryStream plain;
    if (Package.Size() < 4)
        return Fail("too short for a skin package");
    if (!Decompress(Package, plain))
        return Fail(Format("declared content length is above the %lld MiB limit",
                           static_cast<long long>(MaxPlainSize >> 20)));
    // A final match may carry the decoder past the declared length: the content is what was declared.
    const int64_t declared = static_cast<int64_t>(static_cast<uint32_t>(
        ReadLE32(static_cast<const uint8_t*>(Package.Memory()))));
    const int64_t size = std::min(plain.Size(), declared);
    const auto* bytes = static_cast<const uint8_t*>(plain.Memory());
    if (size < 16)
        return Fail("content is shorter than its 16-byte header");

    TSkinPackageHeader header;
    header.Version = ReadLE32(bytes);
    header.NameTableLength = ReadLE32(bytes + 4);
    header.Reserved1 = ReadLE32(bytes + 8);
    header.Reserved2 = ReadLE32(bytes + 12);
    if (header.Version != PackageVersion) {
        ShowMessage(OlderVersionMessage);
        return Fail(Format("version %d, not %d", header.Version, PackageVersion));
    }
    const int64_t nameLength = header.NameTableLength;
    if (nameLength < 0 || nameLength > size - 16)
        return Fail("name table runs past the content");

    const std::string table(reinterpret_cast<const char*>(bytes + 16), static_cast<size_t>(nameLength));
    TStringList stored, lowered;
    stored.SetText(table);
    lowered.SetText(LowerCase(table));
    const int count = lowered.Count();
    if (count > MaxEntries)
        return Fail(Format("%d entries, more than %d", count, MaxEntries));
    const int64_t sizesAt = 16 + nameLength;
    if (int64_t{4} * count > size - sizesAt)
        return Fail("entry sizes run past the content");
    const int64_t dataAt = sizesAt + int64_t{4} * count;
    std::vector<int32_t> sizes(MaxEntries, 0);
    int64_t total = 0;
    for (int i = 0; i < count; ++i) {
        sizes[static_cast<size_t>(i)] = ReadLE32(bytes + sizesAt + 4 * i);
        if (sizes[static_cast<size_t>(i)] < 0)
            return Fail(Format("entry %d has a negative size", i));
        total += sizes[static_cast<size_t>(i)];
    }
    if (total > size - dataAt)
        return Fail("entry sizes add up to more than the entry data");

    // Valid: take it.
    FHeader = header;
    FNames->Assign(&lowered);
    FStoredNames.clear();
    for (int i = 0; i < stored.Count(); ++i)
        FStoredNames.push_back(stored[i]);
    FEntryCount = count;
    FSizes = std::move(sizes);
    FEntryData->Clear();
    if (size > dataAt)
        FEntryData->WriteBuffer(bytes + dataAt, static_cast<int32_t>(size - dataAt));
    FEntryData->SetPosition(0);
    FPlainSize = size;
    return true;
}

int64_t TSkinReader::EntryOffset(int Index) const
{
    int64_t offset = 0;
    for (int i = 0; i < Index && i < FEntryCount; ++i)
        offset += FSizes[static_cast<size_t>(i)];
    return offset;
}

void TSkinReader::CopyEntry(int Index, int64_t Offset, TMemoryStream& Out) const
{
    const int32_t length = FSizes[static_cast<size_t>(Index)];
    if (length > 0)
        Out.WriteBuffer(static_cast<const uint8_t*>(FEntryData->Memory()) + Offset, length);
    Out.SetPosition(0);
}

void TSkinReader::ExtractEntry(const std::string& Name, TMemoryStream& Out) const
{
    Out.Clear();
    const std::string wanted = LowerCase(Name);
    int64_t offset = 0;
    for (int i = 0; i < FEntryCount; offset += FSizes[static_cast<size_t>(i)], ++i)
        if ((*FNames)[i] == wanted) {
            CopyEntry(i, offset, Out);
            return;
        }
}

void TSkinReader::ExtractEntryContaining(const std::string& Text, TMemoryStream& Out, std::string& Name) const
{
    Out.Clear();
    int64_t offset = 0;
    for (int i = 0; i < FEntryCount; offset += FSizes[static_cast<size_t>(i)], ++i) {
        const std::string entry = (*FNames)[i];
        if (entry.find(Text) != std::string::npos) {
            CopyEntry(i, offset, Out);
            Name = entry;
            return;
        }
    }
}
