// The memory in which "Directory" compares the files it holds: a block no
// larger than the files it may hold, of which the ring of held files uses only
// the start and grows into the rest when room is short. A fresh page costs the
// system a fault and a cleared page the first time it is touched (on the
// 20,000-file benchmark tree at 95%, a ring over the whole block of 512 MiB
// spent more system time on them than on reading every file), so the
// memory touched follows the most bytes held at once, not the bytes read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/index/file_index.h"
#include "engine/search/pairs/held_ring.h"

// Bytes of the block for the files of `order` (positions in `index`, by size)
// when the largest block tried is `most` and the block holds files of up to
// one `share` of it: the bytes of every file it may hold (those of up to one
// share of `most`, each from a cache line), at least `share` times the largest of them so that the
// block holds it as the largest would, and at least the ring's first bytes;
// never more than `most`.
std::size_t blockBytesFor(const FileIndex& index, const std::vector<uint32_t>& order, std::size_t most,
                          uint32_t share);
