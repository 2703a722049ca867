// Method pointers: a bound pair (object, function) that can be empty, copied, called and compared.
// Events (OnClick, OnCreate), a control's message hook and the window-procedure thunk all use them.
// Two method pointers are equal when they name the same method of the same object.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

class TObject;

using TMethodCode = void (*)();

// The untyped form, as run-time property access and form descriptions handle it.
struct TMethod {
    TMethodCode Code = nullptr;
    TObject* Data = nullptr;

    bool IsEmpty() const { return Code == nullptr; }
    friend bool operator==(const TMethod&, const TMethod&) = default;
};

namespace method_detail {
template <class T> struct MemberTraits;
template <class C, class R, class... A> struct MemberTraits<R (C::*)(A...)> {
    using Class = C;
    using Signature = R(A...);
};
template <class C, class R, class... A> struct MemberTraits<R (C::*)(A...) noexcept> {
    using Class = C;
    using Signature = R(A...);
};

template <auto M, class Sig> struct Trampoline;
template <auto M, class R, class... A> struct Trampoline<M, R(A...)> {
    using Class = typename MemberTraits<decltype(M)>::Class;
    static R Call(TObject* self, A... args)
    {
        return (static_cast<Class*>(self)->*M)(std::forward<A>(args)...);
    }
};
} // namespace method_detail

template <class Sig> class TEvent;

template <class R, class... A> class TEvent<R(A...)> {
public:
    using Signature = R(A...);
    using Function = R (*)(TObject*, A...);

    TEvent() = default;
    TEvent(std::nullptr_t) {}
    explicit TEvent(const TMethod& method) : FMethod(method) {}
    TEvent(Function code, TObject* data) : FMethod{reinterpret_cast<TMethodCode>(code), data} {}

    // TEvent<void(TObject*)>::Bind<&TForm1::ButtonClick>(form)
    template <auto M> static TEvent Bind(typename method_detail::MemberTraits<decltype(M)>::Class* object)
    {
        static_assert(std::is_same_v<typename method_detail::MemberTraits<decltype(M)>::Signature, Signature>,
                      "the method's signature does not match the event type");
        return TEvent(&method_detail::Trampoline<M, Signature>::Call, object);
    }

    R operator()(A... args) const
    {
        return reinterpret_cast<Function>(FMethod.Code)(FMethod.Data, std::forward<A>(args)...);
    }

    explicit operator bool() const { return FMethod.Code != nullptr; }
    bool IsEmpty() const { return FMethod.Code == nullptr; }
    const TMethod& Method() const { return FMethod; }
    TObject* Data() const { return FMethod.Data; }
    friend bool operator==(const TEvent&, const TEvent&) = default;

private:
    TMethod FMethod;
};

// BindMethod<&TForm1::ButtonClick>(form): the event type follows from the method's signature.
template <auto M>
auto BindMethod(typename method_detail::MemberTraits<decltype(M)>::Class* object)
{
    using Sig = typename method_detail::MemberTraits<decltype(M)>::Signature;
    return TEvent<Sig>::template Bind<M>(object);
}

using TNotifyEvent = TEvent<void(TObject* Sender)>;
