#include "engine/base/text_cut.h"

std::size_t characterBytes(const char* text) {
    return utf8CharacterBytes(static_cast<unsigned char>(*text));
}
