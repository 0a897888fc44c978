// The first bytes of the files a search compares, each read once into one
// block, so that most pairs are decided in memory: a pair of files that fit
// their heads gets its exact percentage, and a pair whose heads alone differ
// in more bytes than matchPercent allows is ruled out without reading on. A
// file whose size is no longer the one the walk listed gets no head: its
// pairs are compared at the sizes the files have then.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/rows/twin_record.h"

class FileHeads {
public:
    // Shares the block among `candidates` files; without the block the
    // search simply reads every pair.
    FileHeads() = default;
    FileHeads(const FileHeads&) = delete;
    FileHeads& operator=(const FileHeads&) = delete;

    void prepare(AppState& state, uint32_t entryCount, uint32_t candidates);
    void release();

    // True when the heads decide the pair: `percent` is then its exact
    // percentage, or 0 when it cannot reach `matchPercent`.
    bool decide(AppState& state, const FileIndex& index, uint32_t a, uint32_t b, uint32_t matchPercent,
                uint32_t& percent);
    // What reading the head learnt of the file; nullptr when it holds none.
    const TwinFileFacts* factsOf(uint32_t position) const;

private:
    enum class Head : uint8_t { Unread, Held, Missing };
    const uint8_t* head(AppState& state, const FileIndex& index, uint32_t position);

    OwnedBlock block_;
    uint32_t headLength_ = 0;
    uint32_t slots_ = 0;
    uint32_t slotsUsed_ = 0;
    std::vector<Head> heads_;
    std::vector<uint32_t> slotOf_;
    std::vector<TwinFileFacts> facts_;
};
