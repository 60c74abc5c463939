// Where a column range of one line lies in a line buffer, cut to the line and
// to the buffer, so that no caller reads outside either whatever the columns,
// the line number or the buffer's size.
#pragma once
#include <cstdint>

struct LineSpan {
    uint32_t offset;  // first byte in the buffer
    uint32_t length;  // 0 when nothing of the range is left
};

// Columns first..last (1-based, inclusive) of the 0-based line. A first
// column below 1 starts at 1, a last column beyond lineSize ends there, and
// the span stops at the buffer's end (bufSize bytes).
inline LineSpan ColumnSpan(uint32_t bufSize, int32_t lineSize, int32_t line, int32_t first,
                           int32_t last) {
    if (first < 1) first = 1;
    if (last > lineSize) last = lineSize;
    if (line < 0 || last < first) return {0, 0};
    const uint64_t lineStart = static_cast<uint64_t>(line) * static_cast<uint32_t>(lineSize);
    const uint64_t begin = lineStart + static_cast<uint32_t>(first - 1);
    uint64_t end = lineStart + static_cast<uint32_t>(last);
    if (end > bufSize) end = bufSize;
    if (begin >= end) return {0, 0};
    return {static_cast<uint32_t>(begin), static_cast<uint32_t>(end - begin)};
}
