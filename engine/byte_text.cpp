#include "engine/byte_text.h"

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

void formatByteValue(uint8_t byte, char* buffer) {
    if (byte < 32) {
        const char* hexDigits = "0123456789ABCDEF";
        buffer[0] = hexDigits[byte >> 4];
        buffer[1] = hexDigits[byte & 0x0F];
        buffer[2] = 'h';
        buffer[3] = '\0';
        return;
    }
    buffer[0] = '"';
    buffer[1] = static_cast<char>(byte);
    buffer[2] = '"';
    buffer[3] = '\0';
}

void quoteBytes(const uint8_t* bytes, uint32_t count, char* buffer) {
    uint32_t out = 0;
    buffer[out++] = '"';
    for (uint32_t index = 0; index < count && bytes[index] != 0; ++index)
        buffer[out++] = static_cast<char>(bytes[index]);
    buffer[out++] = '"';
    buffer[out] = '\0';
}
