#include <windows.h>

#include <new>

#include "engine/worker_thread.h"

static_assert(sizeof(CRITICAL_SECTION) <= 64, "Mutex storage too small");

namespace {

DWORD WINAPI runBody(void* argument) {
    auto* body = static_cast<std::function<void()>*>(argument);
    (*body)();
    delete body;
    return 0;
}

}  // namespace

WorkerThread::~WorkerThread() { join(); }

bool WorkerThread::start(std::function<void()> body) {
    join();
    auto* owned = new (std::nothrow) std::function<void()>(std::move(body));
    if (owned == nullptr) return false;
    handle_ = CreateThread(nullptr, 0, runBody, owned, 0, nullptr);
    if (handle_ == nullptr) delete owned;
    return handle_ != nullptr;
}

void WorkerThread::join() {
    if (handle_ == nullptr) return;
    WaitForSingleObject(static_cast<HANDLE>(handle_), INFINITE);
    CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

Mutex::Mutex() { InitializeCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_)); }
Mutex::~Mutex() { DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_)); }
void Mutex::lock() { EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_)); }
void Mutex::unlock() { LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_)); }

void sleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

uint32_t tickMilliseconds() { return GetTickCount(); }
