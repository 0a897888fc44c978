#include "engine/index/file_hash.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/job/run_state.h"

namespace {

// The plain checksum reads a file in chunks of this size.
constexpr uint32_t kHashChunk = 20000064;

bool abortRequested(const std::atomic<uint32_t>* runControl) {
    return runControl != nullptr && runControl->load() == AbortRequested;
}

}  // namespace

void Checksum::add(const uint8_t* data, std::size_t length) {
    uint32_t a = a_;
    uint32_t b = b_;
    const std::size_t words = length / 4;
    for (std::size_t i = 0; i < words; ++i) {
        const uint8_t* word = data + i * 4;
        b += static_cast<uint32_t>(word[0]) | static_cast<uint32_t>(word[1]) << 8 |
             static_cast<uint32_t>(word[2]) << 16 | static_cast<uint32_t>(word[3]) << 24;
        a += b;
    }
    const uint8_t* tail = data + words * 4;
    uint32_t t = 0;
    switch (length % 4) {
        case 3: t = static_cast<uint32_t>(tail[0]) << 24 | static_cast<uint32_t>(tail[2]) << 8; break;
        case 2: t = static_cast<uint32_t>(tail[0]) << 16 | static_cast<uint32_t>(tail[1]) << 24; break;
        case 1: t = static_cast<uint32_t>(tail[0]) << 24; break;
        default: break;
    }
    if (length % 4 != 0) {
        b += t;
        a += b;
    }
    a_ = a;
    b_ = b;
}

uint32_t hashOpenFile(fs::File* file, uint8_t* buffer, uint32_t bufferSize,
                      const std::atomic<uint32_t>* runControl) {
    // Sizes are 32-bit: only the low part of the size is summed.
    uint32_t remaining = static_cast<uint32_t>(fs::fileSize(file));
    Checksum checksum;
    while (remaining != 0 && !abortRequested(runControl)) {
        const uint32_t wanted = remaining < bufferSize ? remaining : bufferSize;
        const int64_t got = fs::readFile(file, buffer, wanted);
        const uint32_t delivered = got < 0 ? 0 : static_cast<uint32_t>(got);
        if (delivered < wanted) std::memset(buffer + delivered, 0, wanted - delivered);
        checksum.add(buffer, wanted);
        remaining -= wanted;
    }
    return checksum.value();
}

uint32_t hashFile(const char* path, const std::atomic<uint32_t>* runControl) {
    const std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kHashChunk]);
    if (buffer == nullptr) return 0;
    const fs::OwnedFile file = fs::openRead(path);
    return file ? hashOpenFile(file.get(), buffer.get(), kHashChunk, runControl) : 0;
}
