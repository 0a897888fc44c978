#include <windows.h>

#include "engine/base/pause_gate.h"
#include "engine/base/worker_thread.h"

// A manual-reset event, created open. The atomic flag spares the workers a
// kernel call on every check; the lock keeps flag and event in step.
namespace {

struct Gate {
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    Mutex mutex;
    ~Gate() {
        if (event != nullptr) CloseHandle(event);
    }
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
    const DWORD timeout = timeoutMs == kWaitForever ? INFINITE : timeoutMs;
    return WaitForSingleObject(gateOf(gate_).event, timeout) == WAIT_OBJECT_0;
}

void PauseGate::openGate() {
    Gate& gate = gateOf(gate_);
    MutexLock lock(gate.mutex);
    open_.store(true, std::memory_order_release);
    SetEvent(gate.event);
}

void PauseGate::closeGate() {
    Gate& gate = gateOf(gate_);
    MutexLock lock(gate.mutex);
    open_.store(false, std::memory_order_release);
    ResetEvent(gate.event);
}
