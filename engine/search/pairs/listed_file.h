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
