// The root of the object model: class identity and is-a tests, and the persistent base with
// Assign and defined properties.
#pragma once

#include "framework/core/Exception.h"
#include "framework/core/TypeInfo.h"

#include <string>
#include <string_view>

// In a class body: DECLARE_CLASS(TPanel, TCustomPanel). In its .cpp: IMPLEMENT_CLASS(TPanel) and a
// definition of TPanel::Publish (or IMPLEMENT_CLASS_EMPTY when nothing is published); see Published.h.
#define DECLARE_CLASS(T, Base)                                          \
public:                                                                 \
    using inherited = Base;                                             \
    static const TClassInfo& StaticClass();                             \
    const TClassInfo& ClassType() const override { return StaticClass(); } \
                                                                        \
private:                                                                \
    friend class TClassBuilder<T>;                                      \
    static void Publish(TClassBuilder<T>& builder);                     \
                                                                        \
public:

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassType() const { return StaticClass(); }

    const std::string& ClassName() const { return ClassType().Name(); }
    bool InheritsFrom(const TClassInfo& cls) const { return ClassType().InheritsFrom(cls); }
    bool InheritsFrom(std::string_view className) const { return ClassType().InheritsFrom(className); }
    template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }
};

// dynamic_cast by another name, for the framework's "as" idiom: nullptr when obj is not a T.
template <class T> T* As(TObject* obj) { return dynamic_cast<T*>(obj); }

template <class T> void FreeAndNil(T*& obj)
{
    T* old = obj;
    obj = nullptr;
    delete old;
}

class TFiler;

class TPersistent : public TObject {
    DECLARE_CLASS(TPersistent, TObject)
public:
    // Copies Source into this object. Sources a class does not know go to AssignTo, whose default
    // raises EConvertError "Cannot assign a <source> to a <dest>".
    virtual void Assign(TPersistent* Source);
    // The object this one belongs to (a collection's owner, an item's collection).
    virtual TPersistent* GetOwner() { return nullptr; }
    virtual std::string GetNamePath();
    // Registers the defined (non-published) properties that form descriptions carry.
    virtual void DefineProperties(TFiler& Filer);

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
};
