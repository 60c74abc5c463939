// How a list file divides into lines of one fixed length: the first line's
// line end fixes the length and the terminator, and every line ends in the
// terminator's last byte.
#pragma once
#include <cstdint>

// The line size (terminator included) and terminator code that the first
// line's line end fixes. False when the file has no CR or LF, a NUL comes
// before it, or the line is longer than a 16-bit line size holds.
bool FirstLineEnd(const uint8_t* buf, uint32_t size, int16_t* lineSize, uint8_t* terminator);

// Index of the first of lines 0..count - 1 that does not end in the
// terminator's last byte; count when all of them do.
int32_t FirstUnendedLine(const uint8_t* buf, int32_t count, int16_t lineSize, uint8_t terminator);
