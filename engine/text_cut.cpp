#include "engine/text_cut.h"

std::size_t cutLengthUtf8(const char* text, std::size_t length, std::size_t limit) {
    if (length <= limit) return length;
    std::size_t cut = limit;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
}
