// Texts of a run row: its position and what the two files hold there. Every
// buffer is a 600-byte cell text; each result is NUL-terminated.
#pragma once

#include <cstdint>

// Decimal digits of an unsigned 32-bit value, no sign or separators; 0 gives "0".
void formatUnsigned(uint32_t value, char* buffer);

// One differing byte: 0..31 as two uppercase hex digits and "h" ("0Ah"), any
// other byte as itself between double quotes.
void formatByteValue(uint8_t byte, char* buffer);

// The first `count` bytes of a run (2..20) as they are between double quotes,
// ending early before the first zero byte.
void quoteBytes(const uint8_t* bytes, uint32_t count, char* buffer);
