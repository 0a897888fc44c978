#include "engine/base/decimal_text.h"

#include <cstdint>

void formatDecimal(int value, char* buffer) {
    char digits[12];
    int count = 0;
    // Work on the magnitude as unsigned so INT_MIN has no overflow.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int out = 0;
    if (value < 0) buffer[out++] = '-';
    while (count > 0) buffer[out++] = digits[--count];
    buffer[out] = '\0';
}

int parseDecimal(const char* text) {
    uint32_t value = 0;  // wraps like the 32-bit original, without signed overflow
    for (; *text != '\0'; ++text)
        value = value * 10 + static_cast<uint32_t>(static_cast<unsigned char>(*text) - 48);
    return static_cast<int>(value);
}
