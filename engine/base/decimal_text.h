// The decimal texts of the list's numbers: counts, lengths and percentages.
#pragma once

// Signed 32-bit value to decimal text ("-5", "0", "42") into a 600-byte buffer.
void formatDecimal(int value, char* buffer);
// Digits to value: value * 10 + (c - '0') for every character; "" gives 0.
int parseDecimal(const char* text);
