// The version the system reports.
#include "platform/platform.h"

#include <gtest/gtest.h>

namespace {

TEST(Version, IsWindows10OnlyForTheRightSize) {
    OSVERSIONINFOA info = {};
    EXPECT_FALSE(GetVersionExA(&info));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    info.dwOSVersionInfoSize = 148;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(info.dwMajorVersion, 10u);
    EXPECT_EQ(info.dwMinorVersion, 0u);
    EXPECT_EQ(info.dwBuildNumber, 19045u);
    OSVERSIONINFOW wide = {};
    wide.dwOSVersionInfoSize = 276;
    ASSERT_TRUE(GetVersionExW(&wide));
    EXPECT_EQ(wide.dwMajorVersion, 10u);
}

} // namespace
