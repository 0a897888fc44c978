#include "engine/search/pairs/file_heads.h"

#include <algorithm>

#include "engine/compare/byte_diff.h"
#include "engine/compare/file_read.h"
#include "engine/compare/similarity.h"

namespace {

constexpr uint32_t kHeadBlockSize = 64u << 20;
constexpr uint32_t kShortestHead = 4096;
constexpr uint32_t kLongestHead = 64u << 10;

}  // namespace

void FileHeads::prepare(AppState& state, uint32_t entryCount, uint32_t candidates) {
    if (candidates < 2) return;
    // Up to the longest head for each file, within one block of at most kHeadBlockSize.
    const uint64_t wanted = std::min<uint64_t>(kHeadBlockSize, uint64_t{candidates} * kLongestHead);
    const uint32_t share =
        std::clamp(static_cast<uint32_t>(wanted / candidates), kShortestHead, kLongestHead);
    headLength_ = share - share % kShortestHead;
    slots_ = std::max(static_cast<uint32_t>(wanted / headLength_), 1u);
    block_ = OwnedBlock(state, std::size_t{slots_} * headLength_);
    if (!block_) return;
    heads_.assign(entryCount, Head::Unread);
    slotOf_.assign(entryCount, 0);
    facts_.assign(entryCount, TwinFileFacts{});
}

void FileHeads::release() {
    block_.reset();
    heads_.clear();
    slotOf_.clear();
    facts_.clear();
}

const TwinFileFacts* FileHeads::factsOf(uint32_t position) const {
    return position < heads_.size() && heads_[position] == Head::Held ? &facts_[position] : nullptr;
}

const uint8_t* FileHeads::head(AppState& state, const FileIndex& index, uint32_t position) {
    if (heads_[position] == Head::Unread) {
        heads_[position] = Head::Missing;
        const FileIndexEntry& entry = index.entry(position);
        const fs::OwnedFile file = slotsUsed_ < slots_ ? fs::openRead(entry.path) : fs::OwnedFile();
        if (file && fs::fileSize(file.get()) == entry.listedSize) {
            const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>(entry.listedSize, headLength_));
            uint8_t* target = block_.get() + std::size_t{slotsUsed_} * headLength_;
            TwinFileFacts& facts = facts_[position];
            facts.size = entry.listedSize;
            facts.lastWriteTime = fs::lastWriteTime(file.get());
            facts.identityKnown = fs::openFileIdentity(file.get(), facts.identity);
            if (readFromFile(state, file.get(), target, wanted) == wanted) {
                slotOf_[position] = slotsUsed_++;
                heads_[position] = Head::Held;
            }
        }
    }
    return heads_[position] == Head::Held ? block_.get() + std::size_t{slotOf_[position]} * headLength_
                                          : nullptr;
}

bool FileHeads::decide(AppState& state, const FileIndex& index, uint32_t a, uint32_t b, uint32_t matchPercent,
                       uint32_t& percent) {
    if (!block_) return false;
    const uint64_t sizeA = index.entry(a).listedSize, sizeB = index.entry(b).listedSize;
    const uint32_t larger = static_cast<uint32_t>(std::max(sizeA, sizeB));
    const uint32_t smaller = static_cast<uint32_t>(std::min(sizeA, sizeB));
    if (smaller == 0) return false;  // the comparison's own size rules decide
    const uint8_t* headA = head(state, index, a);
    const uint8_t* headB = headA ? head(state, index, b) : nullptr;
    if (headB == nullptr) return false;
    const uint32_t compared = std::min(smaller, headLength_);
    const uint32_t limit = maxDifferingBytesFor(larger, matchPercent);
    uint32_t differing = larger - smaller;
    for (uint32_t offset = 0; offset < compared && differing <= limit; offset += kShortestHead) {
        differing +=
            countDifferingBytes(headA + offset, headB + offset, std::min(kShortestHead, compared - offset));
    }
    if (differing > limit) {
        percent = 0;
        return true;
    }
    if (smaller > headLength_) return false;
    percent = similarityPercent(larger, differing);
    return true;
}
