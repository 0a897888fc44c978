// The engine's own threads and lock. On Windows they are plain Win32 threads
// and critical sections, so the shipped programs need no POSIX-threads
// runtime (whose imports a Windows 2000 loader refuses); elsewhere the
// standard library's.
#pragma once

#include <cstdint>
#include <functional>

// Starts a thread that runs `body` once and that nobody joins: the window's
// workers, which report through the shared state and end on their own.
// False when no thread could be had; `body` then never runs.
bool startDetachedThread(std::function<void()> body);

// One thread that runs `body` once, joined by its owner: the command line's
// and the tests' workers.
class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Joins a thread still running, so `body`'s captures outlive it.
    ~WorkerThread();

    // False when no thread could be had; `body` then never runs.
    bool start(std::function<void()> body);
    // Waits for the thread to end; returns at once when none was started.
    void join();

private:
    void* handle_ = nullptr;
};

// A lock for short sections shared by a worker and the window.
class Mutex {
public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    void lock();
    void unlock();

private:
    alignas(8) unsigned char storage_[64];
};

class MutexLock {
public:
    explicit MutexLock(Mutex& mutex) : mutex_(mutex) { mutex_.lock(); }
    ~MutexLock() { mutex_.unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& mutex_;
};

// A wake-up call between threads: notify() lets one wait() return, or the
// next one when nobody waits yet (a call is never lost, two may merge).
class Signal {
public:
    Signal();
    ~Signal();
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;
    void notify();
    // True when notified within `timeoutMs`.
    bool wait(uint32_t timeoutMs);

private:
    void* handle_ = nullptr;
};

void sleepMilliseconds(uint32_t milliseconds);
// Milliseconds from a steady clock; wraps after 49 days, so compare differences only.
uint32_t tickMilliseconds();
