// Files found to hold the same bytes, each class chained from its first file,
// which stands for the class: a copy joins right after the first file, so the
// chain holds the first file, then the copies, latest joined first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CopyChains {
public:
    // What follows the last file of a chain.
    static constexpr uint32_t kEnd = 0xFFFFFFFFu;

    // `files` files, each alone.
    void reset(std::size_t files) { next_.assign(files, kEnd); }
    uint32_t next(uint32_t file) const { return next_[file]; }
    bool hasCopies(uint32_t first) const { return next_[first] != kEnd; }
    // `copy`, alone so far, joins the class of `first`.
    void join(uint32_t first, uint32_t copy) { joinChain(first, copy, copy); }
    // The chain from `other` to its last file `last` joins the class of `first`.
    void joinChain(uint32_t first, uint32_t other, uint32_t last) {
        next_[last] = next_[first];
        next_[first] = other;
    }

private:
    std::vector<uint32_t> next_;
};
