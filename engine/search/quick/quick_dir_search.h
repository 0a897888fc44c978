// "Quick Dir" pairing: files of equal listed size form a group, and a group is
// settled by reading its files side by side, piece by piece, each file once:
// small files whole, larger ones in pieces that share one block. Files that
// have held the same bytes so far stay together in a class; classes split as
// contents part, and two classes stay paired only while their differing bytes
// can still reach matchPercent. Rows come out in the order of the plain
// search (entry A, then entry B, in walk order), each as soon as no later
// group can put a row before it.
#pragma once

#include <cstdint>

#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/search/pairs/candidates.h"

// Lists the twins from row `rowCounter` on and returns the row after the last.
// Holds at a closed pause gate between pieces; an abort ends pairing there,
// and the rows listed are then a prefix of those a complete search lists.
// `outOfMemory` is set when the block for the pieces could not be had: then
// no pair was read. Keeps the last pair the plain order of work takes up in `last`.
uint32_t pairBySize(AppState& state, FileIndex& index, const SearchOptions& options, uint32_t rowCounter,
                    bool& outOfMemory, LastPair& last);
