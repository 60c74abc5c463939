// Character folding: every comparison of line text compares folded bytes,
// ordered as signed 8-bit values.
#pragma once
#include <cstdint>

// Folded values of the characters 0x80 to 0xD9.
extern const uint8_t kFoldTable[90];

// Folded value of c: 0x80..0xD9 through the table, a..z to capitals, every
// other byte (0xDA..0xFF included) itself.
uint8_t FoldByte(const uint8_t* foldTable, uint8_t c);

// order[c] = the folded value of c as a signed number, for all 256 bytes.
void BuildFoldOrder(const uint8_t* foldTable, int8_t* order);
