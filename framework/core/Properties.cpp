#include "framework/core/Properties.h"

#include "framework/core/StrUtils.h"

namespace {

const TPropInfo& Require(TObject* Instance, std::string_view Path, TObject*& Target)
{
    const TPropInfo* prop = FindPropPath(Instance, Path, Target);
    if (prop == nullptr)
        throw EPropertyError("Property " + std::string(Path) + " does not exist");
    return *prop;
}

const TPropInfo& RequireKind(TObject* Instance, std::string_view Path, TObject*& Target,
                             std::initializer_list<TTypeKind> kinds)
{
    const TPropInfo& prop = Require(Instance, Path, Target);
    for (TTypeKind k : kinds)
        if (prop.Type->Kind() == k)
            return prop;
    throw EPropertyError("Invalid property type: " + std::string(Path));
}

void Store(const TPropInfo& prop, TObject& target, const TValue& value)
{
    if (!prop.Set)
        throw EPropertyError("Property " + prop.Name + " is read-only");
    prop.Set(target, value);
}

} // namespace

const TPropInfo* FindPropPath(TObject* Instance, std::string_view Path, TObject*& Target)
{
    Target = nullptr;
    TObject* obj = Instance;
    while (obj != nullptr) {
        const size_t dot = Path.find('.');
        const std::string_view head = Path.substr(0, dot);
        const TPropInfo* prop = obj->ClassType().FindProperty(head);
        if (prop == nullptr)
            return nullptr;
        if (dot == std::string_view::npos) {
            Target = obj;
            return prop;
        }
        if (prop->Type->Kind() != TTypeKind::tkClass)
            return nullptr;
        obj = std::get<TObject*>(prop->Get(*obj));
        Path = Path.substr(dot + 1);
    }
    return nullptr;
}

bool IsPublishedProp(TObject* Instance, std::string_view Path)
{
    TObject* target;
    return FindPropPath(Instance, Path, target) != nullptr;
}

TTypeKind PropKind(TObject* Instance, std::string_view Path)
{
    TObject* target;
    return Require(Instance, Path, target).Type->Kind();
}

int64_t GetOrdProp(TObject* Instance, std::string_view Path)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t,
                                     {TTypeKind::tkInteger, TTypeKind::tkEnumeration, TTypeKind::tkSet});
    return std::get<int64_t>(p.Get(*t));
}

void SetOrdProp(TObject* Instance, std::string_view Path, int64_t Value)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t,
                                     {TTypeKind::tkInteger, TTypeKind::tkEnumeration, TTypeKind::tkSet});
    Store(p, *t, Value);
}

std::string GetEnumProp(TObject* Instance, std::string_view Path)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t, {TTypeKind::tkEnumeration});
    return p.Type->EnumName(std::get<int64_t>(p.Get(*t)));
}

void SetEnumProp(TObject* Instance, std::string_view Path, std::string_view Value)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t, {TTypeKind::tkEnumeration});
    const int ordinal = p.Type->EnumValue(Value);
    if (ordinal < 0)
        throw EPropertyError("Invalid property value: " + std::string(Value));
    Store(p, *t, int64_t{ordinal});
}

std::string GetSetProp(TObject* Instance, std::string_view Path, bool Brackets)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t, {TTypeKind::tkSet});
    return SetToString(*p.Type, static_cast<uint64_t>(std::get<int64_t>(p.Get(*t))), Brackets);
}

void SetSetProp(TObject* Instance, std::string_view Path, std::string_view Value)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t, {TTypeKind::tkSet});
    Store(p, *t, static_cast<int64_t>(StringToSet(*p.Type, Value)));
}

std::string GetStrProp(TObject* Instance, std::string_view Path)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t, {TTypeKind::tkString});
    return std::get<std::string>(p.Get(*t));
}

void SetStrProp(TObject* Instance, std::string_view Path, const std::string& Value)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t, {TTypeKind::tkString});
    Store(p, *t, Value);
}

TObject* GetObjectProp(TObject* Instance, std::string_view Path)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t, {TTypeKind::tkClass});
    return std::get<TObject*>(p.Get(*t));
}

void SetObjectProp(TObject* Instance, std::string_view Path, TObject* Value)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t, {TTypeKind::tkClass});
    if (Value != nullptr && !Value->InheritsFrom(*p.Type->ClassType()))
        throw EPropertyError("Invalid property value: " + Value->ClassName() + " is not a " +
                             p.Type->ClassType()->Name());
    Store(p, *t, Value);
}

TMethod GetMethodProp(TObject* Instance, std::string_view Path)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t, {TTypeKind::tkMethod});
    return std::get<TMethod>(p.Get(*t));
}

void SetMethodProp(TObject* Instance, std::string_view Path, const TMethod& Value)
{
    TObject* t;
    const TPropInfo& p = RequireKind(Instance, Path, t, {TTypeKind::tkMethod});
    Store(p, *t, Value);
}

std::string SetToString(const TTypeInfo& SetType, uint64_t Bits, bool Brackets)
{
    const TTypeInfo& element = *SetType.ElementType();
    std::string text;
    for (int i = 0; i < element.EnumCount() && i < 64; ++i) {
        if ((Bits & (uint64_t{1} << i)) == 0)
            continue;
        if (!text.empty())
            text += ',';
        text += element.EnumName(i);
    }
    return Brackets ? "[" + text + "]" : text;
}

uint64_t StringToSet(const TTypeInfo& SetType, std::string_view Text)
{
    std::string s = Trim(Text);
    if (!s.empty() && s.front() == '[') {
        if (s.back() != ']')
            throw EPropertyError("Invalid property value: " + s);
        s = s.substr(1, s.size() - 2);
    }
    const TTypeInfo& element = *SetType.ElementType();
    uint64_t bits = 0;
    size_t start = 0;
    while (start <= s.size()) {
        size_t comma = s.find(',', start);
        if (comma == std::string::npos)
            comma = s.size();
        const std::string name = Trim(std::string_view(s).substr(start, comma - start));
        if (!name.empty()) {
            const int ordinal = element.EnumValue(name);
            if (ordinal < 0 || ordinal >= 64)
                throw EPropertyError("Invalid property value: " + name);
            bits |= uint64_t{1} << ordinal;
        } else if (comma < s.size()) {
            throw EPropertyError("Invalid property value: " + s);
        }
        start = comma + 1;
    }
    return bits;
}
