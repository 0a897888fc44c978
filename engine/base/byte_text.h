// Texts of a run row: its position and what the two files hold there. Every
// buffer is a 600-byte cell text; each result is NUL-terminated.
#pragma once

#include <cstdint>

// Decimal digits of an unsigned 32-bit value, no sign or separators; 0 gives "0".
void formatUnsigned(uint32_t value, char* buffer);

// Room for the quoted text of `count` bytes: each byte takes at most three
// bytes of text (a character of the legacy code page in UTF-8), plus the
// quotes and the terminator.
constexpr uint32_t quotedTextSize(uint32_t count) {
    return 3 * count + 3;
}

// One differing byte: 0..31 as two uppercase hex digits and "h" ("0Ah"), any
// other byte as the character it shows as between double quotes. Where texts
// are UTF-8, a byte of 128 or more that stands for no printable character (a C1
// control) is shown in hex too, so no two bytes look alike.
void formatByteValue(uint8_t byte, char* buffer);

// The first `count` bytes of a run (2..20) as they show between double quotes,
// ending early before the first zero byte.
void quoteBytes(const uint8_t* bytes, uint32_t count, char* buffer);
