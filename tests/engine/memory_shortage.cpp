#include "tests/engine/memory_shortage.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> armed{false};
std::atomic<long> requests{0};
std::atomic<long> failingRequest{0};

}  // namespace

MemoryShortage::MemoryShortage(long failing) {
    requests = 0;
    failingRequest = failing;
    armed = true;
}

MemoryShortage::~MemoryShortage() {
    armed = false;
}

long MemoryShortage::asked() const {
    return requests;
}

// Every new of the test program passes here, in all its forms, and every
// delete frees with std::free, so that allocation and release always match.
void* operator new(std::size_t bytes) {
    if (armed && ++requests == failingRequest) throw std::bad_alloc();
    if (void* block = std::malloc(bytes == 0 ? 1 : bytes)) return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t bytes) {
    return ::operator new(bytes);
}

void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t bytes, const std::nothrow_t& nothrow) noexcept {
    return ::operator new(bytes, nothrow);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
