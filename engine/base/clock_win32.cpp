#include <windows.h>

#include "engine/base/clock.h"

double steadySeconds() {
    LARGE_INTEGER frequency, now;
    if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&now)) return 0;
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}
