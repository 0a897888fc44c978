// Reading a file of the index as the search does: only while it still has the
// size the walk listed, noting what the opened file is for the twin rows.
#pragma once

#include <cstdint>

#include "engine/base/fs.h"
#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/rows/twin_record.h"

// Opens the file at `position` and notes its facts; empty when it cannot be
// opened or its size is no longer the listed one.
fs::OwnedFile openListedFile(const FileIndex& index, uint32_t position, TwinFileFacts& facts);

// Reads the whole file at `position` into `target` a piece at a time, holding
// at the pause gate between pieces; false when it cannot be read whole or the
// search is aborted.
bool readListedFile(AppState& state, const FileIndex& index, uint32_t position, uint8_t* target,
                    TwinFileFacts& facts);

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
