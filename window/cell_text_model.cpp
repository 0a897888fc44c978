#include "window/cell_text_model.h"

#include <cstring>
#include <vector>

#include "engine/base/text_cut.h"

namespace {

const char kEllipsis[] = "...";

// Where each character of `text` starts, and its end.
std::vector<std::size_t> characterStarts(const char* text, std::size_t length) {
    std::vector<std::size_t> starts;
    for (std::size_t position = 0; position < length; position += characterBytes(text + position))
        starts.push_back(position);
    starts.push_back(length);
    return starts;
}

}  // namespace

std::string middleCutText(const char* text, int width, const TextMeasure& measure) {
    const std::size_t length = std::strlen(text);
    if (measure(text, length) <= width) return text;
    const std::size_t tailStart = lastSeparator(text, length, '\\');
    const std::vector<std::size_t> starts = characterStarts(text, length);
    auto shown = [&](std::size_t headLength, std::size_t from) {
        return std::string(text, headLength) + kEllipsis + std::string(text + from, length - from);
    };
    auto fits = [&](const std::string& candidate) {
        return measure(candidate.data(), candidate.size()) <= width;
    };
    // The characters that may start the last part, and those that may end the start.
    std::size_t firstOfTail = 0;
    while (starts[firstOfTail] < tailStart) ++firstOfTail;
    if (!fits(shown(0, starts[firstOfTail]))) {
        // The last part alone is too wide: as little of its start goes as will do.
        std::size_t low = firstOfTail;
        std::size_t high = starts.size() - 1;
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (fits(shown(0, starts[middle]))) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        return shown(0, starts[low]);
    }
    // The longest start that still fits before "..." and the last part.
    std::size_t low = 0;
    std::size_t high = firstOfTail;
    while (low < high) {
        const std::size_t middle = low + (high - low + 1) / 2;
        if (fits(shown(starts[middle], starts[firstOfTail]))) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return shown(starts[low], starts[firstOfTail]);
}
