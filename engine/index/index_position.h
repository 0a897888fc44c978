// Files of the folder index are named by their position in it, 0-based in walk order.
#pragma once

#include <cstdint>

// The position that names no file of the index.
constexpr uint32_t kNoEntry = 0xFFFFFFFFu;
