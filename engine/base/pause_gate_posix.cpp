#include <chrono>
#include <condition_variable>
#include <mutex>

#include "engine/base/pause_gate.h"

namespace {

struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
};

Gate& gateOf(void* gate) {
    return *static_cast<Gate*>(gate);
}

}  // namespace

PauseGate::PauseGate() : gate_(new Gate) {}

PauseGate::~PauseGate() {
    delete static_cast<Gate*>(gate_);
}

bool PauseGate::waitGate(uint32_t timeoutMs) {
    if (isOpen()) return true;
    Gate& gate = gateOf(gate_);
    std::unique_lock<std::mutex> lock(gate.mutex);
    auto gateOpen = [this] { return open_.load(std::memory_order_acquire); };
    if (timeoutMs == kWaitForever) {
        gate.opened.wait(lock, gateOpen);
        return true;
    }
    return gate.opened.wait_for(lock, std::chrono::milliseconds(timeoutMs), gateOpen);
}

void PauseGate::openGate() {
    Gate& gate = gateOf(gate_);
    {
        std::lock_guard<std::mutex> lock(gate.mutex);
        open_.store(true, std::memory_order_release);
    }
    gate.opened.notify_all();
}

void PauseGate::closeGate() {
    std::lock_guard<std::mutex> lock(gateOf(gate_).mutex);
    open_.store(false, std::memory_order_release);
}
