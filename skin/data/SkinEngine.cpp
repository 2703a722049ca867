#include "skin/data/SkinEngine.h"

#include "framework/core/Exception.h"

namespace {

TSkinEngineRegistration GEngine{nullptr, nullptr};

} // namespace

void RegisterSkinEngine(TSkinEngineRegistration Registration) noexcept
{
    GEngine = Registration;
}

TSkinEngine* SkinEngine() noexcept
{
    return GEngine.Current != nullptr ? GEngine.Current() : nullptr;
}

TSkinEngine* CreateSkinEngine()
{
    if (GEngine.Create == nullptr)
        throw Exception("No skin engine is linked into the program");
    return GEngine.Create();
}
