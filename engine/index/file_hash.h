// The 32-bit content checksum of a file: an additive sum over little-endian
// 32-bit words with two wrapping accumulators. It is a pre-filter only: files
// with different checksums are never compared, equal checksums prove nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/base/fs.h"

class Checksum {
public:
    // Adds the complete 4-byte groups of `data`; `length` must be a multiple of 4
    // except for the file's last piece, whose 1 to 3 left-over bytes are folded in.
    void add(const uint8_t* data, std::size_t length);
    uint32_t value() const { return (b_ << 16) + (a_ & 0xFFFFu); }

private:
    uint32_t a_ = 0;
    uint32_t b_ = 1;
};

// Checksum of the file at `path`; 0 when it cannot be opened or its buffer
// cannot be had. Stops between chunks when `runControl` reads AbortRequested
// and returns what was summed so far.
uint32_t hashFile(const char* path, const std::atomic<uint32_t>* runControl = nullptr);

// The same over an open file, reading into the caller's buffer (a multiple of
// 4 bytes long). Bytes a read fails to deliver count as zeros.
uint32_t hashOpenFile(fs::File* file, uint8_t* buffer, uint32_t bufferSize,
                      const std::atomic<uint32_t>* runControl);
