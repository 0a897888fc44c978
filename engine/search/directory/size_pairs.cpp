#include "engine/search/directory/size_pairs.h"

#include <algorithm>

#include "engine/base/fs.h"
#include "engine/compare/file_read.h"
#include "engine/search/directory/block_layout.h"
#include "engine/search/directory/block_values.h"
#include "engine/search/pairs/candidates.h"

std::pair<Slot, Slot> SizePairs::sizeRange(uint32_t size) const {
    const uint32_t smallest = size == 0 ? 0 : equalBytesNeeded(size, match_);
    const uint64_t largest = size == 0 ? 0 : largerSizeBound(size, match_);
    auto bySize = [](const SizedFile& file, uint64_t wanted) { return file.size < wanted; };
    const std::vector<SizedFile>& files = files_.entries();
    const auto begin = std::lower_bound(files.begin(), files.end(), uint64_t{smallest}, bySize);
    const auto end = std::lower_bound(begin, files.end(), largest + 1, bySize);
    return {Slot(static_cast<uint32_t>(begin - files.begin())),
            Slot(static_cast<uint32_t>(end - files.begin()))};
}

bool SizePairs::pairsOnlyAtEqualSize(Slot slot, uint32_t smallestSize) {
    const uint32_t size = files_[slot].size;
    if (size == 0 || size >= smallestSize) return false;
    if (size != lastSmallSize_) {
        lastSmallSize_ = size;
        lastSmallSizeAlone_ = onlyEqualSizesPair(size, match_);
    }
    return lastSmallSizeAlone_;
}

bool SizePairs::pairEqualContents(const std::vector<Slot>& slots) {
    struct Content {
        uint32_t size;
        uint32_t value;
        Slot slot;
        bool operator<(const Content& other) const {
            return size != other.size ? size < other.size : value < other.value;
        }
    };
    std::vector<Content> contents;
    for (const Slot slot : slots) {
        if (!holdAtGate(state_)) return true;
        const FileIndexEntry& entry = index_.entry(files_[slot].position.value);
        const uint32_t size = files_[slot].size;
        const fs::OwnedFile file = fs::openRead(entry.path);
        const bool whole = file && fs::fileSize(file.get()) == size &&
                           readFromFile(state_, file.get(), state_.compareBufferA, size) == size;
        if (whole) {
            contents.push_back({size, blockValue(state_.compareBufferA, size), slot});
        } else if (!pairAroundSize(slot)) {
            return false;
        }
    }
    std::stable_sort(contents.begin(), contents.end());
    for (std::size_t first = 0; first < contents.size();) {
        std::size_t end = first + 1;
        while (end < contents.size() && !(contents[first] < contents[end])) ++end;
        for (std::size_t a = first; a < end; ++a)
            for (std::size_t b = a + 1; b < end; ++b)
                pairs_.push_back(
                    pairKey(files_[contents[a].slot].position, files_[contents[b].slot].position));
        if (pairs_.size() > mostPairs_) return false;
        first = end;
    }
    return true;
}

bool SizePairs::pairAroundSize(Slot slot) {
    const auto [begin, end] = sizeRange(files_[slot].size);
    for (Slot other = begin; other < end; ++other) {
        if (other == slot || sizesRuleOut(files_[slot].size, files_[other].size, match_)) continue;
        pairs_.push_back(pairKey(files_[slot].position, files_[other].position));
    }
    return pairs_.size() <= mostPairs_;
}
