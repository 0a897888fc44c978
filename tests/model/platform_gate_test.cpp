// Which systems start, and which of them show taskbar progress.
#include <gtest/gtest.h>

#include "shell/platform_model.h"

namespace {

PlatformCode nt(uint32_t major, uint32_t minor, bool tablet = false, bool mediaCenter = false) {
    return classifyVersion({kPlatformNt, major, minor, tablet, mediaCenter});
}

}  // namespace

TEST(PlatformGate, EveryKnownNtVersionHasItsCode) {
    EXPECT_EQ(nt(5, 0), Windows2000);
    EXPECT_EQ(nt(5, 1), WindowsXP);
    EXPECT_EQ(nt(5, 1, false, true), WindowsXPMediaCenter);
    EXPECT_EQ(nt(5, 1, true, false), WindowsXPTablet);
    EXPECT_EQ(nt(5, 1, true, true), WindowsXPTablet);
    EXPECT_EQ(nt(5, 2), WindowsServer2003);
    EXPECT_EQ(nt(6, 0), WindowsVista);
    EXPECT_EQ(nt(6, 1), Windows7);
    EXPECT_EQ(nt(6, 2), Windows8OrLater);
    EXPECT_EQ(nt(6, 3), Windows8OrLater);
    EXPECT_EQ(nt(10, 0), Windows8OrLater);
}

TEST(PlatformGate, EveryNtSystemFrom2000OnStarts) {
    for (auto version : {nt(5, 0), nt(5, 1), nt(5, 1, true), nt(5, 1, false, true), nt(5, 2), nt(5, 3),
                         nt(6, 0), nt(6, 1), nt(6, 2), nt(6, 3), nt(6, 4), nt(10, 0), nt(11, 0)}) {
        EXPECT_TRUE(platformSupported(version)) << version;
    }
}

TEST(PlatformGate, NonNtAndNtBefore2000AreRefused) {
    EXPECT_FALSE(platformSupported(classifyVersion({1, 4, 10, false, false})));  // Windows 98
    EXPECT_FALSE(platformSupported(classifyVersion({1, 4, 90, false, false})));  // Windows Me
    EXPECT_FALSE(platformSupported(classifyVersion({0, 3, 10, false, false})));  // Win32s
    EXPECT_FALSE(platformSupported(nt(4, 0)));
    EXPECT_FALSE(platformSupported(nt(3, 51)));
}

TEST(PlatformGate, TaskbarProgressFromWindows7On) {
    EXPECT_EQ(osGenerationOf(nt(6, 1)), 4u);
    EXPECT_EQ(osGenerationOf(nt(6, 2)), 4u);
    EXPECT_EQ(osGenerationOf(nt(6, 3)), 4u);
    EXPECT_EQ(osGenerationOf(nt(10, 0)), 4u);
    EXPECT_EQ(osGenerationOf(nt(6, 0)), 2u);
    for (auto older : {nt(5, 0), nt(5, 1), nt(5, 1, true), nt(5, 1, false, true), nt(5, 2)}) {
        EXPECT_EQ(osGenerationOf(older), 0u) << older;
    }
}
