#include "framework/core/Strings.h"

#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Stream.h"

#include <algorithm>
#include <utility>

IMPLEMENT_CLASS_EMPTY(TStrings)
IMPLEMENT_CLASS_EMPTY(TStringList)

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool NeedsQuotes(const std::string& s)
{
    return std::any_of(s.begin(), s.end(), [](char c) { return IsBlank(c) || c == '"' || c == ','; });
}

std::string Quoted(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

// Runs Body between BeginUpdate and EndUpdate, ending the update when it raises.
template <class F> void Updating(TStrings& Strings, F&& Body)
{
    Strings.BeginUpdate();
    try {
        Body();
    } catch (...) {
        Strings.EndUpdate();
        throw;
    }
    Strings.EndUpdate();
}

[[noreturn]] void SortedListError()
{
    throw EListError("Operation not allowed on sorted list");
}

} // namespace

// TStrings

void TStrings::IndexError(int Index)
{
    throw EListError(Format("List index out of bounds (%d)", Index));
}

TObject* TStrings::GetObject(int Index) const
{
    if (Index < 0 || Index >= Count())
        IndexError(Index);
    return nullptr;
}

void TStrings::Put(int Index, const std::string& S)
{
    TObject* object = GetObject(Index);
    Updating(*this, [&] {
        Delete(Index);
        InsertObject(Index, S, object);
    });
}

void TStrings::PutObject(int Index, TObject*)
{
    if (Index < 0 || Index >= Count())
        IndexError(Index);
}

int TStrings::Add(const std::string& S)
{
    const int index = Count();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject)
{
    const int index = Add(S);
    PutObject(index, AObject);
    return index;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject)
{
    Updating(*this, [&] {
        Insert(Index, S);
        PutObject(Index, AObject);
    });
}

void TStrings::Exchange(int Index1, int Index2)
{
    const std::string s1 = Get(Index1);
    const std::string s2 = Get(Index2);
    TObject* o1 = GetObject(Index1);
    TObject* o2 = GetObject(Index2);
    Updating(*this, [&] {
        Put(Index1, s2);
        PutObject(Index1, o2);
        Put(Index2, s1);
        PutObject(Index2, o1);
    });
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    const std::string s = Get(CurIndex);
    TObject* object = GetObject(CurIndex);
    if (NewIndex < 0 || NewIndex >= Count())
        IndexError(NewIndex);
    // Insert first, so that a list that refuses the insert loses nothing.
    Updating(*this, [&] {
        if (NewIndex > CurIndex) {
            InsertObject(NewIndex + 1, s, object);
            Delete(CurIndex);
        } else {
            InsertObject(NewIndex, s, object);
            Delete(CurIndex + 1);
        }
    });
}

void TStrings::AddStrings(const TStrings& Strings)
{
    const int count = Strings.Count();
    if (count == 0)
        return;
    // Adding a list to itself: take the lines as they are now.
    std::vector<std::pair<std::string, TObject*>> lines;
    lines.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        lines.emplace_back(Strings.Get(i), Strings.GetObject(i));
    Updating(*this, [&] {
        for (const auto& [s, object] : lines)
            AddObject(s, object);
    });
}

int TStrings::IndexOf(const std::string& S) const
{
    const int count = Count();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const std::string s = Get(i);
        const size_t p = s.find('=');
        if (p != std::string::npos && CompareStrings(s.substr(0, p), Name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const
{
    const int count = Count();
    for (int i = 0; i < count; ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

std::string TStrings::Names(int Index) const
{
    const std::string s = Get(Index);
    const size_t p = s.find('=');
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::ValueFromIndex(int Index) const
{
    const std::string s = Get(Index);
    const size_t p = s.find('=');
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

std::string TStrings::Values(const std::string& Name) const
{
    const int index = IndexOfName(Name);
    return index >= 0 ? ValueFromIndex(index) : std::string();
}

void TStrings::SetValue(const std::string& Name, const std::string& Value)
{
    const int index = IndexOfName(Name);
    if (!Value.empty()) {
        if (index < 0)
            Add(Name + "=" + Value);
        else
            Put(index, Name + "=" + Value);
    } else if (index >= 0) {
        Delete(index);
    }
}

std::string TStrings::Text() const
{
    const int count = Count();
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(const std::string& Value)
{
    Updating(*this, [&] {
        Clear();
        const size_t n = Value.size();
        size_t start = 0;
        while (start < n) {
            size_t end = start;
            while (end < n && Value[end] != '\r' && Value[end] != '\n')
                ++end;
            Add(Value.substr(start, end - start));
            if (end < n && Value[end] == '\r' && end + 1 < n && Value[end + 1] == '\n')
                ++end;
            start = end + 1; // past the break; at the end of the text nothing follows
        }
    });
}

std::string TStrings::CommaText() const
{
    const int count = Count();
    if (count == 1 && Get(0).empty())
        return "\"\"";
    std::string out;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            out += ',';
        const std::string s = Get(i);
        out += NeedsQuotes(s) ? Quoted(s) : s;
    }
    return out;
}

void TStrings::SetCommaText(const std::string& Value)
{
    Updating(*this, [&] {
        Clear();
        const size_t n = Value.size();
        size_t i = 0;
        while (i < n && IsBlank(Value[i]))
            ++i;
        while (i < n) {
            std::string s;
            if (Value[i] == '"') {
                for (++i; i < n; ++i) {
                    if (Value[i] == '"') {
                        if (i + 1 < n && Value[i + 1] == '"') {
                            s += '"';
                            ++i;
                        } else {
                            ++i;
                            break;
                        }
                    } else {
                        s += Value[i];
                    }
                }
            } else {
                while (i < n && !IsBlank(Value[i]) && Value[i] != ',')
                    s += Value[i++];
            }
            Add(s);
            while (i < n && IsBlank(Value[i]))
                ++i;
            if (i < n && Value[i] == ',') {
                ++i;
                if (i == n)
                    Add(std::string()); // a final comma ends with an empty line
                while (i < n && IsBlank(Value[i]))
                    ++i;
            }
        }
    });
}

bool TStrings::Equals(const TStrings& Strings) const
{
    const int count = Count();
    if (count != Strings.Count())
        return false;
    for (int i = 0; i < count; ++i)
        if (Get(i) != Strings.Get(i))
            return false;
    return true;
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* source = dynamic_cast<TStrings*>(Source)) {
        if (source == this)
            return;
        Updating(*this, [&] {
            Clear();
            AddStrings(*source);
        });
        return;
    }
    inherited::Assign(Source);
}

void TStrings::LoadFromStream(TStream& Stream)
{
    constexpr int32_t ChunkSize = 64 * 1024;
    std::string text;
    const int64_t left = Stream.Size() - Stream.Position();
    if (left > 0 && left <= TMemoryStream::MaxSize)
        text.reserve(static_cast<size_t>(left));
    for (;;) {
        const size_t old = text.size();
        text.resize(old + ChunkSize);
        const int32_t n = Stream.Read(text.data() + old, ChunkSize);
        text.resize(old + static_cast<size_t>(n > 0 ? n : 0));
        if (n <= 0)
            break;
    }
    SetText(text);
}

void TStrings::SaveToStream(TStream& Stream) const
{
    const std::string text = Text();
    constexpr size_t ChunkSize = size_t(1) << 30;
    for (size_t done = 0; done < text.size();) {
        const size_t n = std::min(ChunkSize, text.size() - done);
        Stream.WriteBuffer(text.data() + done, static_cast<int32_t>(n));
        done += n;
    }
}

void TStrings::LoadFromFile(const std::string& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TStrings::SaveToFile(const std::string& FileName) const
{
    TFileStream stream(FileName, fmCreate);
    SaveToStream(stream);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const
{
    return FCaseSensitive ? CompareStr(S1, S2) : CompareText(S1, S2);
}

void TStrings::Changing()
{
    if (FUpdateCount == 0 && FOnChanging)
        FOnChanging(this);
}

void TStrings::Changed()
{
    if (FUpdateCount == 0 && FOnChange)
        FOnChange(this);
}

// TStringList

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        IndexError(Index);
}

std::string TStringList::Get(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].FString;
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].FObject;
}

void TStringList::Put(int Index, const std::string& S)
{
    if (FSorted)
        SortedListError();
    CheckIndex(Index);
    Changing();
    FItems[static_cast<size_t>(Index)].FString = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    Changing();
    FItems[static_cast<size_t>(Index)].FObject = AObject;
    Changed();
}

int TStringList::Add(const std::string& S)
{
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* AObject)
{
    int index = Count();
    if (FSorted && Find(S, index)) {
        switch (FDuplicates) {
        case dupIgnore:
            return index;
        case dupError:
            throw EListError("String list does not allow duplicates");
        case dupAccept:
            while (index < Count() && CompareStrings(FItems[static_cast<size_t>(index)].FString, S) == 0)
                ++index;
            break;
        }
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const std::string& S)
{
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject)
{
    if (FSorted)
        SortedListError();
    if (Index < 0 || Index > Count())
        IndexError(Index);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject)
{
    Changing();
    FItems.insert(FItems.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    FItems.clear();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
    Changed();
}

int TStringList::IndexOf(const std::string& S) const
{
    if (FSorted) {
        int index = 0;
        return Find(S, index) ? index : -1;
    }
    const int count = Count();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(FItems[static_cast<size_t>(i)].FString, S) == 0)
            return i;
    return -1;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (Value == CaseSensitive())
        return;
    TStrings::SetCaseSensitive(Value);
    if (FSorted)
        Sort();
}

bool TStringList::Find(const std::string& S, int& Index) const
{
    const auto it = std::lower_bound(FItems.begin(), FItems.end(), S,
                                     [this](const TStringItem& item, const std::string& s) {
                                         return CompareStrings(item.FString, s) < 0;
                                     });
    Index = static_cast<int>(it - FItems.begin());
    return it != FItems.end() && CompareStrings(it->FString, S) == 0;
}

void TStringList::Sort()
{
    if (Count() < 2)
        return;
    Changing();
    std::stable_sort(FItems.begin(), FItems.end(), [this](const TStringItem& a, const TStringItem& b) {
        return CompareStrings(a.FString, b.FString) < 0;
    });
    Changed();
}

void TStringList::SetSorted(bool Value)
{
    if (Value == FSorted)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}
