// The files a "Directory" route holds in one block of memory while a larger
// file may still pair with them: they follow one another in the block and
// wrap to its start, and the oldest are let go to make room. The ring may use
// only the start of its block and grow into the rest when room is short, so
// that the memory it touches follows the bytes it holds at once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// The ring's bytes before it first grows.
constexpr std::size_t kFirstRingBytes = std::size_t{4} << 20;
// Held files start on a cache line, so that a count loads whole lines of
// both files of a pair.
constexpr std::size_t kHeldAlignment = 64;

inline std::size_t alignedHeldEnd(std::size_t end) {
    return (end + kHeldAlignment - 1) & ~(kHeldAlignment - 1);
}

// Where `size` bytes go after the newest of the files held one after another
// in a block of `capacity` bytes used as a ring, its held files running from
// `oldestOffset` to `newestEnd` (`empty`: none held). False when they do not
// fit before the oldest file.
inline bool findRingRoom(std::size_t capacity, bool empty, std::size_t oldestOffset, std::size_t newestEnd,
                         uint32_t size, std::size_t& offset) {
    if (empty) {
        offset = 0;
        return size <= capacity;
    }
    if (oldestOffset < newestEnd) {
        offset = capacity - newestEnd >= size ? newestEnd : 0;
        return capacity - newestEnd >= size || oldestOffset >= size;
    }
    offset = newestEnd;
    return oldestOffset - newestEnd >= size;
}

// The held files, oldest first. `Held` has the `offset` and `size` of the
// file's bytes in the block. Places count from the first file ever held since
// the last compact(); those before first() are files let go.
template <typename Held>
class HeldRing {
public:
    // Holds the files in `bytes` bytes of `block`, from its first cache line
    // on; the ring uses `firstRingBytes` of them until it grows.
    void useBlock(uint8_t* block, std::size_t bytes, std::size_t firstRingBytes = kFirstRingBytes) {
        const std::size_t skip =
            alignedHeldEnd(reinterpret_cast<std::uintptr_t>(block)) - reinterpret_cast<std::uintptr_t>(block);
        base_ = block + skip;
        capacity_ = bytes > skip ? (bytes - skip) & ~(kHeldAlignment - 1) : 0;
        ringBytes_ = std::min(capacity_, firstRingBytes);
    }
    // The bytes of the block the ring may grow into.
    std::size_t capacity() const { return capacity_; }
    uint8_t* bytesAt(std::size_t offset) const { return base_ + offset; }

    std::size_t first() const { return first_; }
    std::size_t size() const { return files_.size(); }
    bool empty() const { return first_ == files_.size(); }
    Held& operator[](std::size_t place) { return files_[place]; }
    const Held& operator[](std::size_t place) const { return files_[place]; }
    typename std::vector<Held>::iterator begin() { return files_.begin(); }
    const Held& oldest() const { return files_[first_]; }

    // Where `size` bytes go after the newest file: the ring grows into the
    // rest of the block (`moved` is set when held files moved in the block)
    // before `letGoOldest` is called to let its oldest file go, which returns
    // false when it may not. False when there is no room.
    template <typename LetGo>
    bool makeRoom(uint32_t size, std::size_t& offset, bool& moved, LetGo letGoOldest) {
        while (!findRoom(size, offset)) {
            if (ringBytes_ < capacity_) {
                if (grow(grownRingBytes(size))) moved = true;
            } else if (empty() || !letGoOldest()) {
                return false;
            }
        }
        return true;
    }
    void hold(const Held& file) { files_.push_back(file); }
    // The oldest file, no longer held.
    const Held& letGoOldest() { return files_[first_++]; }
    // Forgets the files let go once they are most of the list (places shift).
    void compact() {
        if (first_ > 1024 && first_ * 2 > files_.size()) {
            files_.erase(files_.begin(), files_.begin() + static_cast<std::ptrdiff_t>(first_));
            first_ = 0;
        }
    }
    // Lets go of every file and of the memory of the list.
    void release() {
        files_ = std::vector<Held>();
        first_ = 0;
    }

private:
    bool findRoom(uint32_t size, std::size_t& offset) const {
        const bool none = empty();
        return findRingRoom(ringBytes_, none, none ? 0 : files_[first_].offset,
                            none ? 0 : alignedHeldEnd(files_.back().offset + files_.back().size), size,
                            offset);
    }

    // The ring's bytes once it grows to make room for a file of `size` bytes:
    // by half, or by the file's bytes when more, never past the block.
    std::size_t grownRingBytes(uint32_t size) const {
        return std::min(capacity_, alignedHeldEnd(ringBytes_ + std::max<std::size_t>(ringBytes_ / 2, size)));
    }

    // Raises the ring's bytes to `larger`. When the ring wraps, the files at
    // the block's start move after the former end, or, when they are more,
    // the files from the oldest to the former end move up by the growth: either
    // way the room after the newest grows by as much. True when files moved.
    bool grow(std::size_t larger) {
        const std::size_t former = ringBytes_, growth = larger - former;
        ringBytes_ = larger;
        if (empty() || files_[first_].offset < files_.back().offset + files_.back().size) return false;
        const std::size_t oldest = files_[first_].offset;
        std::size_t startEnd = 0, tailEnd = oldest;
        for (std::size_t i = first_; i < files_.size(); ++i) {
            std::size_t& end = files_[i].offset >= oldest ? tailEnd : startEnd;
            end = std::max<std::size_t>(end, files_[i].offset + files_[i].size);
        }
        const bool moveStart = startEnd <= growth && startEnd < tailEnd - oldest;
        for (std::size_t i = first_; i < files_.size(); ++i) {
            if (moveStart && files_[i].offset < oldest) files_[i].offset += former;
            if (!moveStart && files_[i].offset >= oldest) files_[i].offset += growth;
        }
        if (moveStart)
            std::memcpy(base_ + former, base_, startEnd);
        else
            std::memmove(base_ + oldest + growth, base_ + oldest, tailEnd - oldest);
        return true;
    }

    std::vector<Held> files_;
    std::size_t first_ = 0;
    uint8_t* base_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t ringBytes_ = 0;
};
