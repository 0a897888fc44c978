// A sequence held in blocks of a fixed count: growing never moves what is
// held, nor asks for one large piece of memory, which a 32-bit process may
// not have in one piece even when it has enough in all.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

template <typename T, std::size_t kBlockCount>
class BlockSequence {
public:
    std::size_t size() const { return size_; }
    T& operator[](std::size_t at) { return blocks_[at / kBlockCount][at % kBlockCount]; }
    const T& operator[](std::size_t at) const { return blocks_[at / kBlockCount][at % kBlockCount]; }

    // Makes room for one more element. The only call that asks for memory: it
    // throws std::bad_alloc when there is none, and then nothing has changed.
    void reserveOne() {
        if (size_ < blocks_.size() * kBlockCount) return;
        std::unique_ptr<T[]> block(new T[kBlockCount]);
        blocks_.push_back(std::move(block));
    }
    // Puts `value` at `at` (at the end when `at` lies beyond it); reserveOne first.
    void insert(std::size_t at, const T& value) {
        if (at > size_) at = size_;
        for (std::size_t moved = size_; moved > at; --moved) (*this)[moved] = (*this)[moved - 1];
        (*this)[at] = value;
        ++size_;
    }
    void erase(std::size_t at) {
        for (; at + 1 < size_; ++at) (*this)[at] = (*this)[at + 1];
        --size_;
        if (blocks_.size() * kBlockCount >= size_ + 2 * kBlockCount) blocks_.pop_back();
    }
    // Keeps the first `count` elements (no more than it holds).
    void shrinkTo(std::size_t count) {
        if (count >= size_) return;
        size_ = count;
        while (blocks_.size() * kBlockCount >= size_ + 2 * kBlockCount) blocks_.pop_back();
    }
    // Gives all memory back.
    void clear() {
        blocks_ = std::vector<std::unique_ptr<T[]>>();
        size_ = 0;
    }

private:
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t size_ = 0;
};
