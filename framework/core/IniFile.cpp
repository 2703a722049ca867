#include "framework/core/IniFile.h"

#include "framework/core/StrUtils.h"
#include "framework/core/Strings.h"

#include <windows.h>

#include <vector>

namespace {

// Calls fill(buffer, size) with growing buffers until the answer fits; returns it as a string.
// truncated(result, size) tells when the answer was cut short.
template <class Fill, class Truncated> std::string ReadGrowing(Fill fill, Truncated truncated)
{
    constexpr DWORD kLimit = 16u << 20;
    for (DWORD size = 2048;; size *= 2) {
        std::vector<char> buffer(size);
        const DWORD got = fill(buffer.data(), size);
        if (!truncated(got, size) || size >= kLimit)
            return std::string(buffer.data(), got);
    }
}

// A double-null-terminated list into lines.
void SplitNullList(const std::string& list, TStrings* strings)
{
    strings->BeginUpdate();
    try {
        strings->Clear();
        size_t start = 0;
        while (start < list.size()) {
            const size_t end = list.find('\0', start);
            const size_t stop = end == std::string::npos ? list.size() : end;
            if (stop > start)
                strings->Add(list.substr(start, stop - start));
            start = stop + 1;
        }
    } catch (...) {
        strings->EndUpdate();
        throw;
    }
    strings->EndUpdate();
}

std::string ReadList(const char* section, const std::string& file)
{
    return ReadGrowing(
        [&](char* buf, DWORD size) {
            return GetPrivateProfileStringA(section, nullptr, nullptr, buf, size, file.c_str());
        },
        [](DWORD got, DWORD size) { return got + 2 >= size; });
}

} // namespace

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName))
{
    // Read the file as it is now, never a cached copy of an earlier file of that name.
    UpdateFile();
}

TIniFile::~TIniFile() = default;

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const
{
    return ReadGrowing(
        [&](char* buf, DWORD size) {
            return GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), Default.c_str(), buf, size,
                                            FFileName.c_str());
        },
        [](DWORD got, DWORD size) { return got + 1 >= size; });
}

void TIniFile::ReadSections(TStrings* Strings) const { SplitNullList(ReadList(nullptr, FFileName), Strings); }

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings) const
{
    SplitNullList(ReadList(Section.c_str(), FFileName), Strings);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value)
{
    if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), FFileName.c_str()))
        throw EOSError("Unable to write to " + FFileName);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident)
{
    WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), nullptr, FFileName.c_str());
}

void TIniFile::EraseSection(const std::string& Section)
{
    if (!WritePrivateProfileStringA(Section.c_str(), nullptr, nullptr, FFileName.c_str()))
        throw EOSError("Unable to write to " + FFileName);
}

void TIniFile::UpdateFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FFileName.c_str()); }
