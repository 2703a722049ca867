// Run-time access to published properties by name. A name may be a dotted path through
// persistent sub-objects ("Font.Height"). Unknown names and wrong kinds raise EPropertyError.
#pragma once

#include "framework/core/Object.h"

#include <cstdint>
#include <string>
#include <string_view>

// The property a (possibly dotted) path names, or nullptr; Target receives the object holding it.
const TPropInfo* FindPropPath(TObject* Instance, std::string_view Path, TObject*& Target);
bool IsPublishedProp(TObject* Instance, std::string_view Path);
// The kind of the property, raising when there is none.
TTypeKind PropKind(TObject* Instance, std::string_view Path);

int64_t GetOrdProp(TObject* Instance, std::string_view Path);
void SetOrdProp(TObject* Instance, std::string_view Path, int64_t Value);
// Enumerations (Booleans included) by value name; an unknown name raises.
std::string GetEnumProp(TObject* Instance, std::string_view Path);
void SetEnumProp(TObject* Instance, std::string_view Path, std::string_view Value);
// Sets as text: "[a,b]" (brackets optional when setting).
std::string GetSetProp(TObject* Instance, std::string_view Path, bool Brackets = true);
void SetSetProp(TObject* Instance, std::string_view Path, std::string_view Value);
std::string GetStrProp(TObject* Instance, std::string_view Path);
void SetStrProp(TObject* Instance, std::string_view Path, const std::string& Value);
TObject* GetObjectProp(TObject* Instance, std::string_view Path);
void SetObjectProp(TObject* Instance, std::string_view Path, TObject* Value);
TMethod GetMethodProp(TObject* Instance, std::string_view Path);
void SetMethodProp(TObject* Instance, std::string_view Path, const TMethod& Value);

// Conversions between set bits and their text, for the description reader and writer.
std::string SetToString(const TTypeInfo& SetType, uint64_t Bits, bool Brackets);
uint64_t StringToSet(const TTypeInfo& SetType, std::string_view Text);
