#include "engine/base/byte_text.h"

#include "engine/base/code_page.h"

namespace {

constexpr const char* kHexDigits = "0123456789ABCDEF";

// Writes `byte` as it shows in the texts; returns the bytes written (1..3).
uint32_t writeShownByte(uint8_t byte, char* out) {
    if (byte < 0x80 || !textsAreUtf8()) {
        out[0] = static_cast<char>(byte);
        return 1;
    }
    const uint32_t character = legacyCharacterOf(byte);  // below 0x10000
    if (character < 0x800) {
        out[0] = static_cast<char>(0xC0 | (character >> 6));
        out[1] = static_cast<char>(0x80 | (character & 0x3F));
        return 2;
    }
    out[0] = static_cast<char>(0xE0 | (character >> 12));
    out[1] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (character & 0x3F));
    return 3;
}

// A byte as it shows between quotes: its character, or a stand-in that
// cannot be taken for the closing quote or for nothing. Returns the bytes written (1..4).
uint32_t writeQuotedByte(uint8_t byte, char* out) {
    if (byteHasNoGlyph(byte)) {
        out[0] = '\\';
        out[1] = 'x';
        out[2] = kHexDigits[byte >> 4];
        out[3] = kHexDigits[byte & 0x0F];
        return 4;
    }
    if (byte == '"' || byte == '\\') {
        out[0] = '\\';
        out[1] = static_cast<char>(byte);
        return 2;
    }
    return writeShownByte(byte, out);
}

void writeHexByte(uint8_t byte, char* buffer) {
    buffer[0] = kHexDigits[byte >> 4];
    buffer[1] = kHexDigits[byte & 0x0F];
    buffer[2] = 'h';
    buffer[3] = '\0';
}

}  // namespace

uint32_t windows1252CharacterOf(uint8_t byte) {
    // 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves unused.
    static const uint16_t kHighControls[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const uint16_t character = kHighControls[byte - 0x80];
    return character != 0 ? character : byte;
}

void formatUnsigned(uint32_t value, char* buffer) {
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    int out = 0;
    while (count > 0) buffer[out++] = digits[--count];
    buffer[out] = '\0';
}

// A byte of 128 or more means what the code page makes of it: the legacy
// code page's character where texts are UTF-8, the system's own otherwise.
bool byteHasNoGlyph(uint8_t byte) {
    const uint32_t character = byte < 0x80 ? byte : legacyCharacterOf(byte);
    return character < 0x20 || (character >= 0x7F && character < 0xA0);
}

void formatByteValue(uint8_t byte, char* buffer) {
    if (byteHasNoGlyph(byte)) {
        writeHexByte(byte, buffer);
        return;
    }
    uint32_t out = 0;
    buffer[out++] = '"';
    out += writeQuotedByte(byte, buffer + out);
    buffer[out++] = '"';
    buffer[out] = '\0';
}

void quoteBytes(const uint8_t* bytes, uint32_t count, char* buffer) {
    uint32_t out = 0;
    buffer[out++] = '"';
    for (uint32_t index = 0; index < count; ++index) out += writeQuotedByte(bytes[index], buffer + out);
    buffer[out++] = '"';
    buffer[out] = '\0';
}
