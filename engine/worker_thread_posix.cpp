#include <chrono>
#include <mutex>
#include <new>
#include <thread>

#include "engine/worker_thread.h"

static_assert(sizeof(std::mutex) <= 64, "Mutex storage too small");

bool startDetachedThread(std::function<void()> body) {
    try {
        std::thread(std::move(body)).detach();
        return true;
    } catch (...) {
        return false;
    }
}

WorkerThread::~WorkerThread() { join(); }

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

Mutex::Mutex() { new (storage_) std::mutex(); }
Mutex::~Mutex() { reinterpret_cast<std::mutex*>(storage_)->~mutex(); }
void Mutex::lock() { reinterpret_cast<std::mutex*>(storage_)->lock(); }
void Mutex::unlock() { reinterpret_cast<std::mutex*>(storage_)->unlock(); }

void sleepMilliseconds(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint32_t tickMilliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
