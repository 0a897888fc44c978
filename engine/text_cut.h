// Where a text may be cut without splitting a character. Kestrow's texts are
// in the system's ANSI code page: UTF-8 on Windows 10 and later (through the
// manifest) and on Linux, a single- or double-byte code page on older Windows.
#pragma once

#include <cstddef>

// The longest prefix of `text` (of `length` bytes) that holds at most `limit`
// bytes and ends on a character boundary.
std::size_t cutLength(const char* text, std::size_t length, std::size_t limit);

// For the platform parts: the same rule for UTF-8 texts.
std::size_t cutLengthUtf8(const char* text, std::size_t length, std::size_t limit);
