#include "engine/rows/twin_files.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kPathBlockBytes = 64u << 10;

}  // namespace

const char* TwinFiles::storePath(const char* path) {
    const std::size_t length = std::strlen(path) + 1;
    if (length > pathRoom_) {
        const std::size_t bytes = std::max(kPathBlockBytes, length);
        std::unique_ptr<char[]> block(new char[bytes]);
        pathBlocks_.push_back(std::move(block));
        pathNext_ = pathBlocks_.back().get();
        pathRoom_ = bytes;
    }
    char* stored = pathNext_;
    std::memcpy(stored, path, length);
    pathNext_ += length;
    pathRoom_ -= length;
    return stored;
}

uint32_t TwinFiles::add(const char* path, const TwinFileFacts& facts, uint32_t searchNumber) {
    const bool numbered = searchNumber != kNoSearchNumber;
    if (numbered && searchNumber < numberOf_.size() && numberOf_[searchNumber] != 0)
        return numberOf_[searchNumber] - 1;
    if (numbered && searchNumber >= numberOf_.size())
        numberOf_.resize(std::max<std::size_t>(std::size_t{searchNumber} + 1, numberOf_.size() * 2), 0);
    files_.reserveOne();
    const uint32_t file = static_cast<uint32_t>(files_.size());
    files_.insert(file, File{storePath(path), facts});
    if (numbered) numberOf_[searchNumber] = file + 1;
    return file;
}

void TwinFiles::clear() {
    files_.clear();
    numberOf_ = std::vector<uint32_t>();
    pathBlocks_ = std::vector<std::unique_ptr<char[]>>();
    pathNext_ = nullptr;
    pathRoom_ = 0;
}
