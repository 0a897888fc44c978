#include <windows.h>

#include "engine/base/text_cut.h"

std::size_t characterBytes(const char* text) {
    const unsigned char lead = static_cast<unsigned char>(*text);
    if (lead < 0x80) return 1;
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8) return utf8CharacterBytes(lead);
    return IsDBCSLeadByteEx(codePage, lead) && text[1] != '\0' ? 2 : 1;
}
