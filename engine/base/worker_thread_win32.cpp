#include <windows.h>

#include <new>

#include "engine/base/worker_thread.h"

static_assert(sizeof(CRITICAL_SECTION) <= 64, "Mutex storage too small");

namespace {

DWORD WINAPI runBody(void* argument) {
    auto* body = static_cast<std::function<void()>*>(argument);
    (*body)();
    delete body;
    return 0;
}

// The new thread's handle, or nullptr when no thread could be had.
HANDLE createThread(std::function<void()> body) {
    auto* owned = new (std::nothrow) std::function<void()>(std::move(body));
    if (owned == nullptr) return nullptr;
    const HANDLE thread = CreateThread(nullptr, 0, runBody, owned, 0, nullptr);
    if (thread == nullptr) delete owned;
    return thread;
}

}  // namespace

bool startDetachedThread(std::function<void()> body) {
    const HANDLE thread = createThread(std::move(body));
    if (thread != nullptr) CloseHandle(thread);
    return thread != nullptr;
}

WorkerThread::~WorkerThread() {
    join();
}

bool WorkerThread::start(std::function<void()> body) {
    join();
    handle_ = createThread(std::move(body));
    return handle_ != nullptr;
}

void WorkerThread::join() {
    if (handle_ == nullptr) return;
    WaitForSingleObject(static_cast<HANDLE>(handle_), INFINITE);
    CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

Mutex::Mutex() {
    InitializeCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_));
}
Mutex::~Mutex() {
    DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_));
}
void Mutex::lock() {
    EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_));
}
void Mutex::unlock() {
    LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_));
}

// An auto-reset event: one waiter leaves per SetEvent.
Signal::Signal() : handle_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
Signal::~Signal() {
    if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
}
void Signal::notify() {
    SetEvent(static_cast<HANDLE>(handle_));
}
bool Signal::wait(uint32_t timeoutMs) {
    return WaitForSingleObject(static_cast<HANDLE>(handle_), timeoutMs) == WAIT_OBJECT_0;
}

void sleepMilliseconds(uint32_t milliseconds) {
    Sleep(milliseconds);
}

uint32_t tickMilliseconds() {
    return GetTickCount();
}
