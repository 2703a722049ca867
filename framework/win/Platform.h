// The platform's identity, read once from the system: the platform family (Win32Platform, 2 for
// the NT family), the version numbers, and GetVersion's top bit (the Windows 95/98/Me family).
// Painting and menu code branch on these; tests override them to run the branches the system
// they run on would never take.
#pragma once

#include <windows.h>

struct TPlatformVersion {
    DWORD PlatformId = VER_PLATFORM_WIN32_NT; // VER_PLATFORM_WIN32_WINDOWS, VER_PLATFORM_WIN32_NT, ...
    DWORD MajorVersion = 0;
    DWORD MinorVersion = 0;
    DWORD BuildNumber = 0;
    // GetVersion's raw value; its top bit is set on Windows 95/98/Me.
    DWORD RawVersion = 0;

    // The system's own figures (GetVersionExA and GetVersion).
    static TPlatformVersion Read();
    // Made-up figures that look like a system of the given family and version.
    static TPlatformVersion NT(DWORD Major, DWORD Minor = 0);
    static TPlatformVersion Win9x(DWORD Major = 4, DWORD Minor = 10);
};

// The figures in force: the system's, or an override's.
const TPlatformVersion& PlatformVersion();

inline DWORD Win32Platform() { return PlatformVersion().PlatformId; }
inline DWORD Win32MajorVersion() { return PlatformVersion().MajorVersion; }
inline DWORD Win32MinorVersion() { return PlatformVersion().MinorVersion; }
inline bool IsNTPlatform() { return Win32Platform() == VER_PLATFORM_WIN32_NT; }
// GetVersion's top bit.
inline bool IsWin9xVersion() { return (PlatformVersion().RawVersion & 0x80000000u) != 0; }

// For tests: makes Value the platform's figures while the object lives; overrides nest, and the
// destructor brings back what was in force before. Not thread-safe: use it on the thread that paints.
class TPlatformOverride {
public:
    explicit TPlatformOverride(const TPlatformVersion& Value);
    ~TPlatformOverride();
    TPlatformOverride(const TPlatformOverride&) = delete;
    TPlatformOverride& operator=(const TPlatformOverride&) = delete;

private:
    const TPlatformVersion* FPrevious;
    TPlatformVersion FValue;
};
