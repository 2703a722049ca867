#include "skin/package/SkinRead.h"

#include "framework/core/Dialogs.h"
#include "framework/core/StrUtils.h"
#include "skin/package/LZH.h"

#include <algorithm>
#include <cstring>

namespace {

int32_t ReadLE32(const uint8_t* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

// A final match may carry the decoder up to 59 bytes past the declared length.
constexpr int64_t MatchOverrun = TLZH::MaxOverrun;

struct TNameCount {
    int Lines = 0;
    bool TooMany = false; // more than the limit
    bool TooLong = false; // a line longer than MaxNameLength
};

// Counts the lines TStrings::SetText makes of Text (CR LF, a lone CR or a lone LF ends a line; a
// final break adds none) without making them, stopping at the first line past Limit or longer
// than MaxNameLength.
TNameCount CountNames(const uint8_t* Text, size_t Size, int Limit)
{
    TNameCount count;
    size_t start = 0;
    while (start < Size) {
        if (count.Lines == Limit) {
            count.TooMany = true;
            return count;
        }
        size_t end = start;
        while (end < Size && Text[end] != '\r' && Text[end] != '\n')
            ++end;
        if (end - start > static_cast<size_t>(TSkinReader::MaxNameLength)) {
            count.TooLong = true;
            return count;
        }
        ++count.Lines;
        if (end < Size && Text[end] == '\r' && end + 1 < Size && Text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return count;
}

// Entry names are file names (skinpack's unpack writes them, a caller may save an entry under
// its name): a name must not lead out of the folder it is written to.
bool HasPathPart(const std::string& Name)
{
    return Name.find_first_of("\\/:") != std::string::npos || Name.find("..") != std::string::npos;
}

// A name the platform takes for a device whatever folder it is in ("con.ini", "com1.bmp").
bool IsDeviceName(const std::string& Name)
{
    std::string stem = Name.substr(0, Name.find('.'));
    for (char& c : stem)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul" || stem == "clock$")
        return true;
    return stem.size() == 4 && (stem.rfind("com", 0) == 0 || stem.rfind("lpt", 0) == 0) && stem[3] >= '1' &&
           stem[3] <= '9';
}

} // namespace

TSkinReader::TSkinReader()
    : FNames(std::make_unique<TStringList>()), FSizes(MaxEntries, 0)
{
}

TSkinReader::~TSkinReader() = default;

bool TSkinReader::Fail(const std::string& Why)
{
    FLastError = Why;
    return false;
}

bool TSkinReader::PlausibleLength(int64_t Declared, int64_t PackageSize)
{
    return Declared >= 0 && Declared <= MaxPlainSize &&
           Declared <= MaxExpansion * std::max<int64_t>(PackageSize - 4, 0) + MatchOverrun;
}

bool TSkinReader::Decompress(TMemoryStream& Package, TMemoryStream& Plain)
{
    Package.SetPosition(0);
    Plain.SetPosition(0);
    uint8_t prefix[4];
    if (Package.Read(prefix, 4) != 4)
        return false;
    const int64_t length = static_cast<uint32_t>(ReadLE32(prefix));
    if (!PlausibleLength(length, Package.Size()))
        return false;
    // Decoded straight into the stream's memory, room for a final match included.
    const int64_t before = Plain.Size();
    if (before < length + MatchOverrun)
        Plain.SetSize(length + MatchOverrun);
    TLZH lzh;
    const auto* stream = static_cast<const uint8_t*>(Package.Memory()) + 4;
    int64_t used = 0;
    const int64_t written =
        lzh.UnpackMemory(static_cast<int32_t>(length), stream, Package.Size() - 4, Plain.Memory(), Plain.Size(), &used);
    Package.SetPosition(4 + used);
    Plain.SetSize(std::max(before, written));
    Plain.SetPosition(written);
    return true;
}

bool TSkinReader::Open(TMemoryStream& Package)
{
    FLastError.clear();
    if (Package.Size() < 4)
        return Fail("too short for a skin package");
    const int64_t declared = static_cast<uint32_t>(ReadLE32(static_cast<const uint8_t*>(Package.Memory())));
    if (declared > MaxPlainSize)
        return Fail(Format("declared content length is above the %lld MiB limit",
                           static_cast<long long>(MaxPlainSize >> 20)));
    if (!PlausibleLength(declared, Package.Size()))
        return Fail(Format("declared content length %lld is more than %lld compressed bytes can hold",
                           static_cast<long long>(declared), static_cast<long long>(Package.Size() - 4)));
    // The decoder goes only as far as the index now, and on through the entries as they are
    // asked for: a skin seldom needs all of its images. It reads its own copy of the stream; the
    // content's memory is not filled in advance, so that the pages past the last entry asked for
    // are never touched.
    const int64_t size = declared;
    if (size < 16)
        return Fail("content is shorter than its 16-byte header");
    auto content = std::make_unique<TContent>();
    try {
        content->Stream.assign(static_cast<const uint8_t*>(Package.Memory()) + 4,
                               static_cast<const uint8_t*>(Package.Memory()) + Package.Size());
        content->Plain.reset(new uint8_t[static_cast<size_t>(size + MatchOverrun)]);
    } catch (const std::bad_alloc&) {
        throw EStreamError("Out of memory while expanding memory stream");
    }
    content->Decoder = std::make_unique<TLZHMemoryDecoder>(static_cast<int32_t>(size), content->Stream.data(),
                                                           static_cast<int64_t>(content->Stream.size()),
                                                           content->Plain.get(), size + MatchOverrun);
    const uint8_t* const bytes = content->Plain.get();
    content->Decoder->DecodeTo(16);

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

    // The names are counted before any is made: each needs a 4-byte size after the table, and
    // there are MaxEntries at most.
    const int64_t sizesAt = 16 + nameLength;
    content->Decoder->DecodeTo(sizesAt);
    const int limit = static_cast<int>(std::min<int64_t>(MaxEntries, (size - sizesAt) / 4));
    const TNameCount names = CountNames(bytes + 16, static_cast<size_t>(nameLength), limit);
    if (names.TooLong)
        return Fail(Format("an entry name is longer than %d bytes", MaxNameLength));
    if (names.TooMany)
        return Fail(limit == MaxEntries ? Format("more than %d entries", MaxEntries)
                                        : std::string("entry sizes run past the content"));
    const int count = names.Lines;

    const std::string table(reinterpret_cast<const char*>(bytes + 16), static_cast<size_t>(nameLength));
    TStringList stored, lowered;
    stored.SetText(table);
    lowered.SetText(LowerCase(table));
    for (int i = 0; i < count; ++i)
        if (HasPathPart(stored[i]))
            return Fail("entry name \"" + stored[i] + "\" has a folder, a drive or \"..\" in it");
        else if (IsDeviceName(stored[i]))
            return Fail("entry name \"" + stored[i] + "\" names a device");

    const int64_t dataAt = sizesAt + int64_t{4} * count;
    content->Decoder->DecodeTo(dataAt);
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
    content->DataAt = dataAt;
    FContent = std::move(content);
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

std::string_view TSkinReader::EntryAt(int Index, int64_t Offset) const
{
    const int32_t length = FSizes[static_cast<size_t>(Index)];
    if (length <= 0 || FContent == nullptr)
        return {};
    const int64_t from = FContent->DataAt + Offset;
    FContent->Decoder->DecodeTo(from + length);
    return std::string_view(reinterpret_cast<const char*>(FContent->Plain.get()) + from, static_cast<size_t>(length));
}

std::string_view TSkinReader::Entry(int Index) const
{
    if (Index < 0 || Index >= FEntryCount)
        return {};
    return EntryAt(Index, EntryOffset(Index));
}

void TSkinReader::CopyEntry(int Index, int64_t Offset, TMemoryStream& Out) const
{
    const std::string_view bytes = EntryAt(Index, Offset);
    if (!bytes.empty())
        Out.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
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
