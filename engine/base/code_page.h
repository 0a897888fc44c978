// What a byte of 128 or more looks like in the list's texts. Where those texts
// are UTF-8 (Windows 10 and later through the manifest, and Linux) such a byte
// alone is no character, so it is shown as the character it is in the system's
// legacy ANSI code page, or in Windows-1252 where there is none.
#pragma once

#include <cstdint>

// True when the list's texts are UTF-8.
bool textsAreUtf8();

// The Unicode character byte `byte` (128..255) stands for in the system's
// legacy single-byte ANSI code page; Windows-1252's where there is none or the
// byte has no character of its own there (a lead byte of a double-byte page).
uint32_t legacyCharacterOf(uint8_t byte);

// The Unicode character of `byte` (128..255) in Windows-1252. Its five unused
// bytes give the C1 control of the same value, as Windows itself maps them.
uint32_t windows1252CharacterOf(uint8_t byte);
