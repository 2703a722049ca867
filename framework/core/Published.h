// Publishing a class's interface, in its .cpp:
//
//   IMPLEMENT_CLASS(TPanel)
//   void TPanel::Publish(TClassBuilder<TPanel>& b)
//   {
//       b.Property("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth)
//        .Property("Color", &TPanel::Color, &TPanel::SetColor, &ColorTypeInfo())
//        .Method<&TPanel::ButtonClick>("ButtonClick")
//        .Field("Image1", &TPanel::Image1);
//   }
//
// The property's kind follows from the getter's type (integers, bool, PUBLISHED_ENUM types, TSet,
// std::string, object pointers, TEvent); an integer type with named constants is passed explicitly.
#pragma once

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/Object.h"
#include "framework/core/Set.h"
#include "framework/core/TypeInfo.h"

#include <functional>
#include <type_traits>

template <class E> const TTypeInfo& TypeInfoOf(TypeTag<TSet<E>>)
{
    static const TTypeInfo info =
        TTypeInfo::Set("set of " + TypeInfoOf(TypeTag<E>{}).Name(), TypeInfoOf(TypeTag<E>{}));
    return info;
}

namespace published_detail {

template <class T> struct IsSet : std::false_type {};
template <class E> struct IsSet<TSet<E>> : std::true_type {};
template <class T> struct IsEvent : std::false_type {};
template <class Sig> struct IsEvent<TEvent<Sig>> : std::true_type {};

template <class V> const V& Expect(const TValue& value)
{
    if (const V* v = std::get_if<V>(&value))
        return *v;
    throw EPropertyError("Invalid property value");
}

template <class T> TValue ToValue(const T& v)
{
    if constexpr (std::is_same_v<T, bool>)
        return TValue(int64_t{v ? 1 : 0});
    else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
        return TValue(static_cast<int64_t>(v));
    else if constexpr (IsSet<T>::value)
        return TValue(static_cast<int64_t>(v.Bits()));
    else if constexpr (std::is_same_v<T, std::string>)
        return TValue(v);
    else if constexpr (std::is_pointer_v<T>)
        return TValue(static_cast<TObject*>(const_cast<std::remove_const_t<std::remove_pointer_t<T>>*>(v)));
    else if constexpr (IsEvent<T>::value)
        return TValue(v.Method());
    else
        static_assert(sizeof(T) == 0, "this type cannot be published");
}

template <class T> T FromValue(const TValue& value)
{
    if constexpr (std::is_same_v<T, bool>)
        return Expect<int64_t>(value) != 0;
    else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
        return static_cast<T>(Expect<int64_t>(value));
    else if constexpr (IsSet<T>::value)
        return T::FromBits(static_cast<uint64_t>(Expect<int64_t>(value)));
    else if constexpr (std::is_same_v<T, std::string>)
        return Expect<std::string>(value);
    else if constexpr (std::is_pointer_v<T>) {
        TObject* obj = Expect<TObject*>(value);
        auto* typed = dynamic_cast<T>(obj);
        if (obj != nullptr && typed == nullptr)
            throw EPropertyError("Invalid property value: " + obj->ClassName() + " is of the wrong class");
        return typed;
    } else if constexpr (IsEvent<T>::value)
        return T(Expect<TMethod>(value));
    else
        static_assert(sizeof(T) == 0, "this type cannot be published");
}

} // namespace published_detail

template <class C> class TClassBuilder {
public:
    explicit TClassBuilder(TClassInfo& info) : FInfo(info) {}

    // A property with a getter and (unless it is read-only) a setter: member functions of C or of
    // one of its bases.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Property(const char* name, G getter, S setter = nullptr, const TTypeInfo* type = nullptr)
    {
        using V = std::remove_cvref_t<std::invoke_result_t<G, C&>>;
        TPropInfo p;
        p.Name = name;
        p.Type = type != nullptr ? type : &TypeInfoOf(TypeTag<V>{});
        p.Get = [getter](TObject& obj) -> TValue {
            return published_detail::ToValue<V>(std::invoke(getter, static_cast<C&>(obj)));
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            p.Set = [setter](TObject& obj, const TValue& value) {
                std::invoke(setter, static_cast<C&>(obj), published_detail::FromValue<V>(value));
            };
        }
        FInfo.AddProperty(std::move(p));
        return *this;
    }

    // The property just published is never written to descriptions (reading it is still allowed).
    TClassBuilder& NotStored()
    {
        FInfo.SetLastPropertyStored(false);
        return *this;
    }

    // A method that form descriptions can bind events to by name.
    template <auto M> TClassBuilder& Method(const char* name)
    {
        using Sig = typename method_detail::MemberTraits<decltype(M)>::Signature;
        const TEvent<Sig> bound = TEvent<Sig>::template Bind<M>(nullptr);
        FInfo.AddMethod(TMethodEntry{name, &TypeInfoOf(TypeTag<TEvent<Sig>>{}), bound.Method().Code});
        return *this;
    }

    // A field that receives the owned component of the same name.
    template <class F> TClassBuilder& Field(const char* name, F* C::*member)
    {
        TFieldEntry f;
        f.Name = name;
        f.Class = &F::StaticClass();
        f.Get = [member](TObject& root) -> TObject* { return static_cast<C&>(root).*member; };
        f.Set = [member](TObject& root, TObject* value) {
            static_cast<C&>(root).*member = dynamic_cast<F*>(value);
        };
        FInfo.AddField(std::move(f));
        return *this;
    }

private:
    TClassInfo& FInfo;
};

// How the registry and collections create instances of a class.
template <class T> TClassInfo::Factory ClassFactory()
{
    if constexpr (std::is_abstract_v<T>)
        return nullptr;
    else if constexpr (std::is_base_of_v<TComponent, T> && std::is_constructible_v<T, TComponent*>)
        return [](TObject* owner) -> TObject* { return new T(dynamic_cast<TComponent*>(owner)); };
    else if constexpr (std::is_base_of_v<TCollectionItem, T> && std::is_constructible_v<T, TCollection*>)
        return [](TObject* collection) -> TObject* { return new T(dynamic_cast<TCollection*>(collection)); };
    else if constexpr (std::is_default_constructible_v<T>)
        return [](TObject*) -> TObject* { return new T(); };
    else
        return nullptr;
}

#define IMPLEMENT_CLASS(T)                                                                   \
    const TClassInfo& T::StaticClass()                                                       \
    {                                                                                        \
        static const TClassInfo info(#T, &T::inherited::StaticClass(), ClassFactory<T>(),    \
                                     [](TClassInfo& ci) {                                    \
                                         TClassBuilder<T> builder(ci);                       \
                                         T::Publish(builder);                                \
                                     });                                                     \
        return info;                                                                         \
    }

#define IMPLEMENT_CLASS_EMPTY(T) \
    IMPLEMENT_CLASS(T)           \
    void T::Publish(TClassBuilder<T>&) {}
