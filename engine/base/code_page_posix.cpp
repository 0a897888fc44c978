#include "engine/base/code_page.h"

bool textsAreUtf8() {
    return true;
}

uint32_t legacyCharacterOf(uint8_t byte) {
    return windows1252CharacterOf(byte);
}
