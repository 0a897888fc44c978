// Which systems Kestrow runs on, as a plain function of the version numbers
// the system reports.
#pragma once

#include <cstdint>

enum PlatformCode : uint32_t {
    UnsupportedPlatform = 0,
    Windows2000 = 16,
    WindowsXP = 19,
    OtherNt5 = 20,
    WindowsXPMediaCenter = 21,
    WindowsXPTablet = 22,
    WindowsServer2003 = 23,
    WindowsVista = 24,
    Windows7 = 25,
    Windows8OrLater = 26,
};

constexpr uint32_t kPlatformNt = 2;  // VER_PLATFORM_WIN32_NT

struct PlatformVersion {
    uint32_t platformId;
    uint32_t major;
    uint32_t minor;
    bool tabletPc;     // SM_TABLETPC non-zero
    bool mediaCenter;  // SM_MEDIACENTER non-zero
};

PlatformCode classifyVersion(const PlatformVersion& version);
// Every NT system from 5.0 on is accepted; older NT and non-NT systems are not.
bool platformSupported(PlatformCode code);
// 4 from Windows 7 on (taskbar progress), 2 on Vista, 0 otherwise.
uint32_t osGenerationOf(PlatformCode code);
