// Fixed-size path text shared by every path, cell text and message buffer.
#pragma once

#include <cstddef>

constexpr std::size_t kPathTextSize = 600;
using PathText = char[kPathTextSize];

// Copies `source` into the 600-byte `target` only when it fits with its NUL.
// Returns false (and leaves `target` untouched) when it would not fit: paths
// are skipped, never truncated.
bool copyPathText(char* target, const char* source);

// Appends `a` then `b` to `prefix` into `target` when the whole text fits.
bool joinPathText(char* target, const char* prefix, const char* a, const char* b = "");
