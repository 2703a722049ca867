#include "framework/win/Platform.h"

namespace {

const TPlatformVersion& SystemVersion()
{
    static const TPlatformVersion value = TPlatformVersion::Read();
    return value;
}

const TPlatformVersion* Current = nullptr;

} // namespace

TPlatformVersion TPlatformVersion::Read()
{
    TPlatformVersion v;
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (GetVersionExA(&info)) {
        v.PlatformId = info.dwPlatformId;
        v.MajorVersion = info.dwMajorVersion;
        v.MinorVersion = info.dwMinorVersion;
        v.BuildNumber = info.dwBuildNumber;
    }
    v.RawVersion = GetVersion();
    return v;
}

TPlatformVersion TPlatformVersion::NT(DWORD Major, DWORD Minor)
{
    TPlatformVersion v;
    v.PlatformId = VER_PLATFORM_WIN32_NT;
    v.MajorVersion = Major;
    v.MinorVersion = Minor;
    v.BuildNumber = Major == 4 ? 1381 : 2600;
    v.RawVersion = (v.BuildNumber << 16) | (Minor << 8) | Major;
    return v;
}

TPlatformVersion TPlatformVersion::Win9x(DWORD Major, DWORD Minor)
{
    TPlatformVersion v;
    v.PlatformId = VER_PLATFORM_WIN32_WINDOWS;
    v.MajorVersion = Major;
    v.MinorVersion = Minor;
    v.BuildNumber = 2222;
    // Windows 95/98/Me set the top bit and leave the build number out of the high word.
    v.RawVersion = 0x80000000u | (Minor << 8) | Major;
    return v;
}

const TPlatformVersion& PlatformVersion()
{
    return Current != nullptr ? *Current : SystemVersion();
}

TPlatformOverride::TPlatformOverride(const TPlatformVersion& Value) : FPrevious(Current), FValue(Value)
{
    Current = &FValue;
}

TPlatformOverride::~TPlatformOverride()
{
    Current = FPrevious;
}
