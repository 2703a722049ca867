#include "framework/core/Object.h"

#include "framework/core/Published.h"

const TClassInfo& TObject::StaticClass()
{
    static const TClassInfo info("TObject", nullptr, nullptr, nullptr);
    return info;
}

IMPLEMENT_CLASS_EMPTY(TPersistent)

void TPersistent::Assign(TPersistent* Source)
{
    if (Source == nullptr)
        AssignError(nullptr);
    Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source)
{
    const std::string source = Source != nullptr ? Source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + source + " to a " + ClassName());
}

std::string TPersistent::GetNamePath() { return ClassName(); }

void TPersistent::DefineProperties(TFiler&) {}
