// The platform's identity: what the system reports, and overrides that tests use to take the
// branches of other systems.
#include "framework/win/Platform.h"

#include <gtest/gtest.h>

TEST(PlatformTest, ReportsTheSystemUntilOverriddenAndOverridesNest)
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(Win32Platform(), info.dwPlatformId);
    EXPECT_EQ(Win32MajorVersion(), info.dwMajorVersion);
    EXPECT_EQ(IsWin9xVersion(), (GetVersion() & 0x80000000u) != 0);
    const bool systemIsNT = IsNTPlatform();
    {
        TPlatformOverride nt4(TPlatformVersion::NT(4));
        EXPECT_TRUE(IsNTPlatform());
        EXPECT_EQ(Win32MajorVersion(), 4u);
        EXPECT_FALSE(IsWin9xVersion());
        {
            TPlatformOverride me(TPlatformVersion::Win9x(4, 90));
            EXPECT_EQ(Win32Platform(), static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
            EXPECT_FALSE(IsNTPlatform());
            EXPECT_TRUE(IsWin9xVersion());
            EXPECT_EQ(Win32MinorVersion(), 90u);
        }
        EXPECT_EQ(Win32MajorVersion(), 4u);
        EXPECT_TRUE(IsNTPlatform());
    }
    EXPECT_EQ(IsNTPlatform(), systemIsNT);
    EXPECT_EQ(Win32MajorVersion(), info.dwMajorVersion);
}
