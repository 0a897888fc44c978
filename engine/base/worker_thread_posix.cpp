#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "engine/base/worker_thread.h"

static_assert(sizeof(std::mutex) <= 64, "Mutex storage too small");

bool startDetachedThread(std::function<void()> body) {
    try {
        std::thread(std::move(body)).detach();
        return true;
    } catch (...) {
        return false;
    }
}

WorkerThread::~WorkerThread() {
    join();
}

bool WorkerThread::start(std::function<void()> body) {
    join();
    try {
        handle_ = new std::thread(std::move(body));
    } catch (...) {
        handle_ = nullptr;
    }
    return handle_ != nullptr;
}

void WorkerThread::join() {
    auto* thread = static_cast<std::thread*>(handle_);
    if (thread == nullptr) return;
    thread->join();
    delete thread;
    handle_ = nullptr;
}

Mutex::Mutex() {
    new (storage_) std::mutex();
}
Mutex::~Mutex() {
    reinterpret_cast<std::mutex*>(storage_)->~mutex();
}
void Mutex::lock() {
    reinterpret_cast<std::mutex*>(storage_)->lock();
}
void Mutex::unlock() {
    reinterpret_cast<std::mutex*>(storage_)->unlock();
}

namespace {

struct SignalState {
    std::mutex mutex;
    std::condition_variable woken;
    bool notified = false;
};

}  // namespace

Signal::Signal() : handle_(new SignalState) {}
Signal::~Signal() {
    delete static_cast<SignalState*>(handle_);
}

void Signal::notify() {
    auto* signal = static_cast<SignalState*>(handle_);
    {
        const std::lock_guard<std::mutex> lock(signal->mutex);
        signal->notified = true;
    }
    signal->woken.notify_one();
}

bool Signal::wait(uint32_t timeoutMs) {
    auto* signal = static_cast<SignalState*>(handle_);
    std::unique_lock<std::mutex> lock(signal->mutex);
    const bool notified = signal->woken.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                                 [signal] { return signal->notified; });
    signal->notified = false;
    return notified;
}

void sleepMilliseconds(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint32_t tickMilliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
