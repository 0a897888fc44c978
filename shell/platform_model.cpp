#include "shell/platform_model.h"

static PlatformCode classifyNt5(const PlatformVersion& version) {
    switch (version.minor) {
        case 0: return Windows2000;
        case 1:
            if (version.tabletPc) return WindowsXPTablet;
            if (version.mediaCenter) return WindowsXPMediaCenter;
            return WindowsXP;
        case 2: return WindowsServer2003;
        default: return OtherNt5;
    }
}

PlatformCode classifyVersion(const PlatformVersion& version) {
    if (version.platformId != kPlatformNt || version.major < 5) return UnsupportedPlatform;
    if (version.major == 5) return classifyNt5(version);
    if (version.major == 6 && version.minor == 0) return WindowsVista;
    if (version.major == 6 && version.minor == 1) return Windows7;
    return Windows8OrLater;
}

bool platformSupported(PlatformCode code) {
    return code != UnsupportedPlatform;
}

uint32_t osGenerationOf(PlatformCode code) {
    switch (code) {
        case Windows7:
        case Windows8OrLater: return 4;
        case WindowsVista: return 2;
        default: return 0;
    }
}
