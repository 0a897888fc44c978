// Byte-identical files among files of one size, found before "Directory"
// matches blocks, so that a set of copies is read for its blocks and compared
// as one file. Each file is read once, piece by piece, against the first file
// of each set met so far in its size, which is held whole; reading stops as
// soon as no set is left that it may belong to and it cannot start one.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/search/pairs/copy_classes.h"

// `positions`: index positions in order of listed size. Each file that holds
// the same bytes as an earlier file of `positions` of its size joins, in
// `copies` (one place per index entry), the class of the first file of that
// set. Files that cannot be read whole at their listed size join no set.
// Sets whose first file the memory cannot hold are not looked for. Holds at
// the pause gate between pieces; an abort ends the search early, the sets
// found so far standing. Raises progressPercent from 0 to `progressTo` with
// the bytes of the files of shared sizes it is done with.
void findCopies(AppState& state, const FileIndex& index, const std::vector<uint32_t>& positions,
                CopyClasses& copies, uint32_t progressTo);
