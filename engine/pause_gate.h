// PauseGate: a manual-reset gate. Pause closes it, Resume, Abort and a
// confirmed close open it. Workers check `isOpen()` (one atomic load) on their
// hot paths and call `waitGate` only when it reads closed.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

class PauseGate {
public:
    PauseGate() = default;
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
    std::mutex mutex_;
    std::condition_variable opened_;
};
