// Texts of a run row: its position and what the two files hold there. Every
// buffer is a 600-byte cell text; each result is NUL-terminated.
#pragma once

#include <cstdint>

// Decimal digits of an unsigned 32-bit value, no sign or separators; 0 gives "0".
void formatUnsigned(uint32_t value, char* buffer);

// Room for the quoted text of `count` bytes: each byte takes at most four
// bytes of text (a stand-in such as \x7F; a character of the legacy code page
// in UTF-8 takes three), plus the quotes and the terminator.
constexpr uint32_t quotedTextSize(uint32_t count) {
    return 4 * count + 3;
}

// True for a byte that shows as no visible character: 0..31, 127, and the
// bytes the code page leaves undefined or gives a control (128..159 in
// Windows-1252).
bool byteHasNoGlyph(uint8_t byte);

// One differing byte: a byte with no visible character as two uppercase hex
// digits and "h" ("0Ah", "7Fh"), any other as it shows between double quotes,
// where a double quote is written \" and a backslash \\, so no two bytes
// look alike.
void formatByteValue(uint8_t byte, char* buffer);

// The first `count` bytes of a run (2..20) between double quotes, each as it
// shows, except: a byte with no visible character as \x and two uppercase hex
// digits ("\x00", "\x7F"), a double quote as \" and a backslash as \\.
void quoteBytes(const uint8_t* bytes, uint32_t count, char* buffer);
