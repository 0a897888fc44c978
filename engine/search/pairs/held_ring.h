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
    std::size_t first() const { return first_; }
    std::size_t size() const { return files_.size(); }
    bool empty() const { return first_ == files_.size(); }
    Held& operator[](std::size_t place) { return files_[place]; }
    const Held& operator[](std::size_t place) const { return files_[place]; }
    typename std::vector<Held>::iterator begin() { return files_.begin(); }
    const Held& oldest() const { return files_[first_]; }

    // Where `size` bytes go after the newest file of a block of `capacity`
    // bytes; false when they do not fit before the oldest.
    bool findRoom(std::size_t capacity, uint32_t size, std::size_t& offset) const {
        const bool none = empty();
        return findRingRoom(capacity, none, none ? 0 : files_[first_].offset,
                            none ? 0 : files_.back().offset + files_.back().size, size, offset);
    }
    void hold(const Held& file) { files_.push_back(file); }
    // Raises the ring's `capacity` within `block` to `larger` bytes. When the
    // ring wraps, the files from the oldest to the former end move up by the
    // growth, so that the room after the newest grows by as much.
    void grow(uint8_t* block, std::size_t& capacity, std::size_t larger) {
        const std::size_t growth = larger - capacity;
        capacity = larger;
        if (empty() || files_[first_].offset < files_.back().offset + files_.back().size) return;
        const std::size_t from = files_[first_].offset;
        std::size_t end = from;
        for (std::size_t i = first_; i < files_.size() && files_[i].offset >= from; ++i) {
            end = std::max<std::size_t>(end, files_[i].offset + files_[i].size);
            files_[i].offset += growth;
        }
        std::memmove(block + from + growth, block + from, end - from);
    }
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
    std::vector<Held> files_;
    std::size_t first_ = 0;
};
