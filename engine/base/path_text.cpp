#include "engine/base/path_text.h"

#include <cstring>

bool copyPathText(char* target, const char* source) {
    return joinPathText(target, source, "", "");
}

bool joinPathText(char* target, const char* prefix, const char* a, const char* b) {
    const std::size_t lengths[3] = {std::strlen(prefix), std::strlen(a), std::strlen(b)};
    if (lengths[0] + lengths[1] + lengths[2] >= kPathTextSize) return false;
    char joined[kPathTextSize];
    std::memcpy(joined, prefix, lengths[0]);
    std::memcpy(joined + lengths[0], a, lengths[1]);
    std::memcpy(joined + lengths[0] + lengths[1], b, lengths[2]);
    joined[lengths[0] + lengths[1] + lengths[2]] = '\0';
    std::memcpy(target, joined, lengths[0] + lengths[1] + lengths[2] + 1);
    return true;
}
