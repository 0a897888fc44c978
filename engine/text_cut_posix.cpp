#include "engine/text_cut.h"

std::size_t cutLength(const char* text, std::size_t length, std::size_t limit) {
    return cutLengthUtf8(text, length, limit);
}
