// PauseGate: a manual-reset gate. Pause closes it, Resume, Abort and a
// confirmed close open it. Workers check `isOpen()` (one atomic load) on their
// hot paths and call `waitGate` only when it reads closed. On Windows the gate
// is a manual-reset event; elsewhere a condition variable.
#pragma once

#include <atomic>
#include <cstdint>

constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

class PauseGate {
public:
    PauseGate();
    ~PauseGate();
    PauseGate(const PauseGate&) = delete;
    PauseGate& operator=(const PauseGate&) = delete;

    // Waits until the gate is open or `timeoutMs` passes (kWaitForever: no
    // limit). Returns true when the gate was open.
    bool waitGate(uint32_t timeoutMs);
    void openGate();
    void closeGate();
    bool isOpen() const { return open_.load(std::memory_order_acquire); }

private:
    std::atomic<bool> open_{true};
    // The platform's gate and the lock that keeps it in step with the flag.
    void* gate_ = nullptr;
};
