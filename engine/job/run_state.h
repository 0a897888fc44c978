// Codes of the shared run state and run control.
#pragma once

#include <cstdint>

enum RunState : uint32_t {
    Idle = 0,
    Comparing = 1,
    EndReached = 2,
    SizeFault = 5,
    OpenFailed = 6,
    ZeroBytes = 7,
    Indexing = 200,
    Pairing = 201,
    DetailRequested = 1001,
    DeleteAllA = 1020,
    DeleteAllB = 1021,
    BatchDeleting = 1025,
    MenuRequested = 2000,
    BatchCancel = 9999,
};

enum RunControl : uint32_t { Running = 0, Paused = 5, AbortRequested = 10 };

// A job counts as busy while the run state lies in 1..kLastBusyCode.
constexpr uint32_t kLastBusyCode = 500;
inline bool busy(uint32_t runState) {
    return runState >= 1 && runState <= kLastBusyCode;
}

// The finished marker of progressPercent: the next paint clears the taskbar.
constexpr uint32_t kProgressFinished = 101;
