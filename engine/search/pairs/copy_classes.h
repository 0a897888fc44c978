// Files found to hold the same bytes, in classes. A class is named by its
// first file, which stands for it, and chained from it: the first file, then
// the copies, latest joined first. A file in no class has no first file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/index/index_position.h"

class CopyClasses {
public:
    // What follows the last file of a chain.
    static constexpr uint32_t kEnd = kNoEntry;

    // `files` files, each in no class.
    void reset(std::size_t files) {
        first_.assign(files, kNoEntry);
        next_.assign(files, kEnd);
    }
    // The first file of the file's class; kNoEntry for a file in none.
    uint32_t firstOf(uint32_t file) const { return first_[file]; }
    // The first file of the file's class when that is another file; kNoEntry otherwise.
    uint32_t originalOf(uint32_t file) const { return first_[file] == file ? kNoEntry : first_[file]; }
    uint32_t next(uint32_t file) const { return next_[file]; }
    bool hasCopies(uint32_t first) const { return next_[first] != kEnd; }

    // `file`, in no class so far, starts a class of its own.
    void start(uint32_t file) { first_[file] = file; }
    // `other` and the copies chained from it (the whole of its class, or
    // `other` alone) join the class of `file`, which starts one when it is in none.
    void join(uint32_t file, uint32_t other) {
        if (first_[file] == kNoEntry) start(file);
        const uint32_t first = first_[file];
        uint32_t last = other;
        for (uint32_t copy = other; copy != kEnd; copy = next_[copy]) {
            first_[copy] = first;
            last = copy;
        }
        next_[last] = next_[first];
        next_[first] = other;
    }

private:
    std::vector<uint32_t> first_;
    std::vector<uint32_t> next_;
};
