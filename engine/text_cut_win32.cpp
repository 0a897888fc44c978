#include <windows.h>

#include "engine/text_cut.h"

std::size_t cutLength(const char* text, std::size_t length, std::size_t limit) {
    if (length <= limit) return length;
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8) return cutLengthUtf8(text, length, limit);
    // A double-byte code page: walk from the start, since a trail byte can
    // look like a lead byte.
    std::size_t position = 0;
    while (position < limit) {
        const std::size_t width = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[position])) ? 2 : 1;
        if (position + width > limit) break;
        position += width;
    }
    return position;
}
