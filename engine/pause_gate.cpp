#include "engine/pause_gate.h"

#include <chrono>

bool PauseGate::waitGate(uint32_t timeoutMs) {
    if (isOpen()) return true;
    std::unique_lock<std::mutex> lock(mutex_);
    auto gateOpen = [this] { return open_.load(std::memory_order_acquire); };
    if (timeoutMs == kWaitForever) {
        opened_.wait(lock, gateOpen);
        return true;
    }
    return opened_.wait_for(lock, std::chrono::milliseconds(timeoutMs), gateOpen);
}

void PauseGate::openGate() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_.store(true, std::memory_order_release);
    }
    opened_.notify_all();
}

void PauseGate::closeGate() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_.store(false, std::memory_order_release);
}
