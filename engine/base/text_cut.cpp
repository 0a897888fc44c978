#include "engine/base/text_cut.h"

namespace {

// The character at `position`, never reaching past the end of the text.
std::size_t widthAt(const char* text, std::size_t length, std::size_t position) {
    const std::size_t width = characterBytes(text + position);
    return position + width <= length ? width : length - position;
}

}  // namespace

std::size_t utf8CharacterBytes(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    return 1;
}

std::size_t cutLength(const char* text, std::size_t length, std::size_t limit) {
    if (length <= limit) return length;
    std::size_t position = 0;
    while (position < limit) {
        const std::size_t width = widthAt(text, length, position);
        if (position + width > limit) break;
        position += width;
    }
    return position;
}

std::size_t wholeCharactersLength(const char* text, std::size_t length) {
    std::size_t position = 0;
    while (position < length) {
        const std::size_t width = characterBytes(text + position);
        if (position + width > length) break;
        position += width;
    }
    return position;
}

std::size_t boundaryFrom(const char* text, std::size_t length, std::size_t position) {
    std::size_t boundary = 0;
    while (boundary < position && boundary < length) boundary += widthAt(text, length, boundary);
    return boundary;
}

std::size_t lastSeparator(const char* text, std::size_t length, char separator) {
    std::size_t found = length;
    for (std::size_t position = 0; position < length; position += widthAt(text, length, position)) {
        if (text[position] == separator) found = position;
    }
    return found;
}
