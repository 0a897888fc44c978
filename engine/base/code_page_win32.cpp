#include <windows.h>

#include <cstdlib>

#include "engine/base/code_page.h"

namespace {

// The system's ANSI code page as it was before the manifest chose UTF-8; 0 when
// it is unknown or itself UTF-8.
UINT legacyCodePage() {
    static const UINT codePage = [] {
        char digits[8] = {};
        if (GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof(digits)) == 0)
            return 0u;
        const UINT value = static_cast<UINT>(std::strtoul(digits, nullptr, 10));
        return value == CP_UTF8 ? 0u : value;
    }();
    return codePage;
}

}  // namespace

bool textsAreUtf8() {
    return GetACP() == CP_UTF8;
}

uint32_t legacyCharacterOf(uint8_t byte) {
    const UINT codePage = legacyCodePage();
    if (codePage != 0 && !IsDBCSLeadByteEx(codePage, byte)) {
        const char single = static_cast<char>(byte);
        wchar_t wide = 0;
        if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &single, 1, &wide, 1) == 1 && wide != 0)
            return wide;
    }
    return windows1252CharacterOf(byte);
}
