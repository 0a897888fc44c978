// How a path cell of the list is cut to its column: in the middle, so that
// the file name, the part that tells the files apart, stays in view.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// How wide `length` bytes of a text are drawn.
using TextMeasure = std::function<int(const char* text, std::size_t length)>;

// `text` as a cell `width` wide shows it: whole when it fits; otherwise its
// start, "..." and its last part from the last backslash on, with as much of
// the start as fits; when even "..." and the last part are too wide, "..."
// and as much of the end as fits. Never splits a character.
std::string middleCutText(const char* text, int width, const TextMeasure& measure);
