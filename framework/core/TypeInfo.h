// Run-time type information: class identity and the published interface of a class (properties,
// methods and component fields by name). Form descriptions and run-time property access use it.
#pragma once

#include "framework/core/Method.h"
#include "framework/core/StrUtils.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

class TObject;
class TClassInfo;
template <class C> class TClassBuilder;

enum class TTypeKind { tkInteger, tkEnumeration, tkSet, tkString, tkClass, tkMethod };

// The type of a published property.
class TTypeInfo {
public:
    using IdentToIntFn = bool (*)(std::string_view ident, int64_t& value);
    using IntToIdentFn = bool (*)(int64_t value, std::string& ident);

    static TTypeInfo Integer(std::string name, IdentToIntFn identToInt = nullptr,
                             IntToIdentFn intToIdent = nullptr);
    // names: the value names separated by commas, as a macro stringizes an enumerator list.
    static TTypeInfo Enumeration(std::string name, std::string_view names);
    static TTypeInfo Set(std::string name, const TTypeInfo& element);
    static TTypeInfo String();
    static TTypeInfo Class(const TClassInfo& cls);
    static TTypeInfo Method(std::string name);

    TTypeKind Kind() const { return FKind; }
    const std::string& Name() const { return FName; }

    // Enumerations: ordinal of a value name (case-insensitive), -1 when unknown; name of an ordinal.
    int EnumValue(std::string_view name) const;
    std::string EnumName(int64_t ordinal) const;
    int EnumCount() const { return static_cast<int>(FNames.size()); }
    // Sets: the enumeration of their elements.
    const TTypeInfo* ElementType() const { return FElement; }
    // Classes: the class of the object the property holds.
    const TClassInfo* ClassType() const { return FClass; }
    // Integers with named constants (colours, character sets).
    bool IdentToInt(std::string_view ident, int64_t& value) const;
    bool IntToIdent(int64_t value, std::string& ident) const;

private:
    TTypeKind FKind = TTypeKind::tkInteger;
    std::string FName;
    std::vector<std::string> FNames;
    const TTypeInfo* FElement = nullptr;
    const TClassInfo* FClass = nullptr;
    IdentToIntFn FIdentToInt = nullptr;
    IntToIdentFn FIntToIdent = nullptr;
};

// A property value as run-time access passes it: ordinals (integers, enumerations, sets as bits),
// strings, object references and method pointers.
using TValue = std::variant<int64_t, std::string, TObject*, TMethod>;

struct TPropInfo {
    std::string Name;
    const TTypeInfo* Type = nullptr;
    std::function<TValue(TObject&)> Get;
    std::function<void(TObject&, const TValue&)> Set; // empty for a read-only property
    bool Stored = true;                               // false: descriptions never carry it
};

// A published method of a form class, bound by name to events in form descriptions.
struct TMethodEntry {
    std::string Name;
    const TTypeInfo* Type = nullptr; // the event type it fits
    TMethodCode Code = nullptr;
};

// A published field of a root class that the component of the same name is stored in.
struct TFieldEntry {
    std::string Name;
    const TClassInfo* Class = nullptr;
    std::function<TObject*(TObject&)> Get;
    std::function<void(TObject&, TObject*)> Set;
};

// One per class; the published tables are filled on first use by the class's Publish step.
class TClassInfo {
public:
    using Factory = TObject* (*)(TObject* owner);
    using Describer = void (*)(TClassInfo& info);

    TClassInfo(const char* name, const TClassInfo* parent, Factory factory, Describer describer);
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    const std::string& Name() const { return FName; }
    const TClassInfo* Parent() const { return FParent; }
    // This class or one of its descendants? By class, and by name without regard to case.
    bool InheritsFrom(const TClassInfo& other) const;
    bool InheritsFrom(std::string_view className) const;

    // Creates an instance: components take their owner, collection items their collection.
    bool CanCreate() const { return FFactory != nullptr; }
    TObject* Create(TObject* owner) const;

    // Lookups search this class, then its ancestors; names match without regard to case.
    const TPropInfo* FindProperty(std::string_view name) const;
    const TMethodEntry* FindMethod(std::string_view name) const;
    const TMethodEntry* FindMethod(TMethodCode code) const;
    const TFieldEntry* FindField(std::string_view name) const;
    // All published properties, the ancestors' first, each class's in publishing order.
    std::vector<const TPropInfo*> Properties() const;

    // Used by TClassBuilder while the class publishes itself.
    void AddProperty(TPropInfo prop);
    void SetLastPropertyStored(bool stored);
    void AddMethod(TMethodEntry method);
    void AddField(TFieldEntry field);

private:
    void Describe() const;
    template <class Entry, class Match>
    const Entry* Search(std::vector<Entry> TClassInfo::*table, Match match) const;

    std::string FName;
    const TClassInfo* FParent;
    Factory FFactory;
    Describer FDescriber;
    mutable std::once_flag FDescribed;
    mutable std::vector<TPropInfo> FProperties;
    mutable std::vector<TMethodEntry> FMethods;
    mutable std::vector<TFieldEntry> FFields;
};

// The type of each kind of published value: TypeInfoOf(TypeTag<T>{}).
template <class T> struct TypeTag {};

const TTypeInfo& IntegerTypeInfo();
const TTypeInfo& BooleanTypeInfo();
const TTypeInfo& StringTypeInfo();

template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool>)
const TTypeInfo& TypeInfoOf(TypeTag<T>) { return IntegerTypeInfo(); }
inline const TTypeInfo& TypeInfoOf(TypeTag<bool>) { return BooleanTypeInfo(); }
inline const TTypeInfo& TypeInfoOf(TypeTag<std::string>) { return StringTypeInfo(); }

template <class C>
    requires std::is_base_of_v<TObject, C>
const TTypeInfo& TypeInfoOf(TypeTag<C*>)
{
    static const TTypeInfo info = TTypeInfo::Class(C::StaticClass());
    return info;
}

template <class Sig> const TTypeInfo& TypeInfoOf(TypeTag<TEvent<Sig>>)
{
    static const TTypeInfo info = TTypeInfo::Method("event");
    return info;
}

// An enumeration whose values can be named in descriptions and by run-time access. The values
// must run from 0 without gaps: PUBLISHED_ENUM(TBorderStyle, bsNone, bsSingle, bsSizeable).
#define PUBLISHED_ENUM(E, ...)                                                   \
    enum E : int { __VA_ARGS__ };                                                \
    inline const TTypeInfo& TypeInfoOf(TypeTag<E>)                               \
    {                                                                            \
        static const TTypeInfo info = TTypeInfo::Enumeration(#E, #__VA_ARGS__);  \
        return info;                                                             \
    }

// Names for an enumeration declared elsewhere: ENUM_TYPEINFO(TAlign, "alNone, alTop, ...").
#define ENUM_TYPEINFO(E, names)                                                  \
    inline const TTypeInfo& TypeInfoOf(TypeTag<E>)                               \
    {                                                                            \
        static const TTypeInfo info = TTypeInfo::Enumeration(#E, names);         \
        return info;                                                             \
    }

// The class registry: form descriptions create components by class name. (Not "RegisterClass":
// <windows.h> makes that name a macro.)
void RegisterComponentClass(const TClassInfo& cls);
void UnRegisterComponentClass(const TClassInfo& cls);
const TClassInfo* FindClass(std::string_view name); // nullptr when not registered
