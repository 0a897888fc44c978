// Where a text may be cut without splitting a character. Kestrow's texts are
// in the system's ANSI code page: UTF-8 on Windows 10 and later (through the
// manifest) and on Linux, a single- or double-byte code page on older Windows.
#pragma once

#include <cstddef>

// Bytes of the character that starts at `text` (1 for ASCII and for a byte
// that starts no character).
std::size_t characterBytes(const char* text);

// The longest prefix of `text` (of `length` bytes) that holds at most `limit`
// bytes and ends on a character boundary.
std::size_t cutLength(const char* text, std::size_t length, std::size_t limit);

// The longest prefix of `text` (of `length` bytes, cut from a longer text)
// that holds only whole characters.
std::size_t wholeCharactersLength(const char* text, std::size_t length);

// The first character boundary of `text` at or after `position`.
std::size_t boundaryFrom(const char* text, std::size_t length, std::size_t position);

// The position of the last `separator` that is a character of its own (in a
// double-byte code page a trail byte may have its value), or `length` if none.
std::size_t lastSeparator(const char* text, std::size_t length, char separator);

// The width of the UTF-8 character that starts with `lead`.
std::size_t utf8CharacterBytes(unsigned char lead);
