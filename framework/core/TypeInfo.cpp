#include "framework/core/TypeInfo.h"

#include "framework/core/Exception.h"
#include "framework/core/StrUtils.h"

#include <algorithm>

TTypeInfo TTypeInfo::Integer(std::string name, IdentToIntFn identToInt, IntToIdentFn intToIdent)
{
    TTypeInfo t;
    t.FKind = TTypeKind::tkInteger;
    t.FName = std::move(name);
    t.FIdentToInt = identToInt;
    t.FIntToIdent = intToIdent;
    return t;
}

TTypeInfo TTypeInfo::Enumeration(std::string name, std::string_view names)
{
    TTypeInfo t;
    t.FKind = TTypeKind::tkEnumeration;
    t.FName = std::move(name);
    size_t start = 0;
    while (start <= names.size()) {
        size_t comma = names.find(',', start);
        if (comma == std::string_view::npos)
            comma = names.size();
        std::string item = Trim(names.substr(start, comma - start));
        if (!item.empty())
            t.FNames.push_back(std::move(item));
        start = comma + 1;
    }
    return t;
}

TTypeInfo TTypeInfo::Set(std::string name, const TTypeInfo& element)
{
    TTypeInfo t;
    t.FKind = TTypeKind::tkSet;
    t.FName = std::move(name);
    t.FElement = &element;
    return t;
}

TTypeInfo TTypeInfo::String()
{
    TTypeInfo t;
    t.FKind = TTypeKind::tkString;
    t.FName = "string";
    return t;
}

TTypeInfo TTypeInfo::Class(const TClassInfo& cls)
{
    TTypeInfo t;
    t.FKind = TTypeKind::tkClass;
    t.FName = cls.Name();
    t.FClass = &cls;
    return t;
}

TTypeInfo TTypeInfo::Method(std::string name)
{
    TTypeInfo t;
    t.FKind = TTypeKind::tkMethod;
    t.FName = std::move(name);
    return t;
}

int TTypeInfo::EnumValue(std::string_view name) const
{
    for (size_t i = 0; i < FNames.size(); ++i)
        if (SameText(FNames[i], name))
            return static_cast<int>(i);
    return -1;
}

std::string TTypeInfo::EnumName(int64_t ordinal) const
{
    if (ordinal < 0 || ordinal >= static_cast<int64_t>(FNames.size()))
        return std::string();
    return FNames[static_cast<size_t>(ordinal)];
}

bool TTypeInfo::IdentToInt(std::string_view ident, int64_t& value) const
{
    return FIdentToInt != nullptr && FIdentToInt(ident, value);
}

bool TTypeInfo::IntToIdent(int64_t value, std::string& ident) const
{
    return FIntToIdent != nullptr && FIntToIdent(value, ident);
}

const TTypeInfo& IntegerTypeInfo()
{
    static const TTypeInfo info = TTypeInfo::Integer("Integer");
    return info;
}

const TTypeInfo& BooleanTypeInfo()
{
    static const TTypeInfo info = TTypeInfo::Enumeration("Boolean", "False, True");
    return info;
}

const TTypeInfo& StringTypeInfo()
{
    static const TTypeInfo info = TTypeInfo::String();
    return info;
}

// ---- TClassInfo

TClassInfo::TClassInfo(const char* name, const TClassInfo* parent, Factory factory, Describer describer)
    : FName(name), FParent(parent), FFactory(factory), FDescriber(describer)
{
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const
{
    for (const TClassInfo* c = this; c != nullptr; c = c->FParent)
        if (c == &other)
            return true;
    return false;
}

bool TClassInfo::InheritsFrom(std::string_view className) const
{
    for (const TClassInfo* c = this; c != nullptr; c = c->FParent)
        if (SameText(c->FName, className))
            return true;
    return false;
}

TObject* TClassInfo::Create(TObject* owner) const
{
    if (FFactory == nullptr)
        throw EInvalidOperation("Cannot create an instance of the abstract class " + FName);
    return FFactory(owner);
}

void TClassInfo::Describe() const
{
    std::call_once(FDescribed, [this] {
        if (FDescriber != nullptr)
            FDescriber(const_cast<TClassInfo&>(*this));
    });
}

void TClassInfo::AddProperty(TPropInfo prop) { FProperties.push_back(std::move(prop)); }
void TClassInfo::SetLastPropertyStored(bool stored)
{
    if (!FProperties.empty())
        FProperties.back().Stored = stored;
}

void TClassInfo::AddMethod(TMethodEntry method) { FMethods.push_back(std::move(method)); }
void TClassInfo::AddField(TFieldEntry field) { FFields.push_back(std::move(field)); }

// Searches a class's own table, then its ancestors'.
template <class Entry, class Match>
const Entry* TClassInfo::Search(std::vector<Entry> TClassInfo::*table, Match match) const
{
    for (const TClassInfo* c = this; c != nullptr; c = c->FParent) {
        c->Describe();
        for (const Entry& e : c->*table)
            if (match(e))
                return &e;
    }
    return nullptr;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const
{
    return Search(&TClassInfo::FProperties, [&](const TPropInfo& p) { return SameText(p.Name, name); });
}

const TMethodEntry* TClassInfo::FindMethod(std::string_view name) const
{
    return Search(&TClassInfo::FMethods, [&](const TMethodEntry& m) { return SameText(m.Name, name); });
}

const TMethodEntry* TClassInfo::FindMethod(TMethodCode code) const
{
    return Search(&TClassInfo::FMethods, [&](const TMethodEntry& m) { return m.Code == code; });
}

const TFieldEntry* TClassInfo::FindField(std::string_view name) const
{
    return Search(&TClassInfo::FFields, [&](const TFieldEntry& f) { return SameText(f.Name, name); });
}

std::vector<const TPropInfo*> TClassInfo::Properties() const
{
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c != nullptr; c = c->FParent)
        chain.push_back(c);
    std::vector<const TPropInfo*> result;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        (*it)->Describe();
        for (const TPropInfo& p : (*it)->FProperties) {
            // A descendant may publish a property again (with another type or setter): it wins.
            auto same = std::find_if(result.begin(), result.end(),
                                     [&](const TPropInfo* q) { return SameText(q->Name, p.Name); });
            if (same != result.end())
                *same = &p;
            else
                result.push_back(&p);
        }
    }
    return result;
}

// ---- class registry

namespace {
std::vector<const TClassInfo*>& Registry()
{
    static std::vector<const TClassInfo*> classes;
    return classes;
}
} // namespace

void RegisterComponentClass(const TClassInfo& cls)
{
    auto& r = Registry();
    for (const TClassInfo* c : r) {
        if (c == &cls)
            return;
        if (SameText(c->Name(), cls.Name()))
            throw EFilerError("A class named " + cls.Name() + " already exists");
    }
    r.push_back(&cls);
}

void UnRegisterComponentClass(const TClassInfo& cls)
{
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), &cls), r.end());
}

const TClassInfo* FindClass(std::string_view name)
{
    for (const TClassInfo* c : Registry())
        if (SameText(c->Name(), name))
            return c;
    return nullptr;
}
