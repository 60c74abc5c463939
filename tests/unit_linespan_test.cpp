// Column ranges located in a line buffer: whatever the columns and however
// short the buffer, a span stays inside its line and the buffer.
#include <gtest/gtest.h>

#include <string>

#include "lists/linespan.h"

namespace {

// "offset+length", or "-" for an empty span.
std::string Span(uint32_t bufSize, int32_t lineSize, int32_t line, int32_t first, int32_t last) {
    const LineSpan s = ColumnSpan(bufSize, lineSize, line, first, last);
    return s.length ? std::to_string(s.offset) + "+" + std::to_string(s.length) : "-";
}

TEST(ColumnSpanTest, CutToTheLineAndTheBuffer) {
    // Lines of 10 bytes; a buffer of 3 lines and 2 spare bytes.
    EXPECT_EQ("22+3", Span(32, 10, 2, 3, 5));
    EXPECT_EQ("10+4", Span(32, 10, 1, -32768, 4));
    EXPECT_EQ("17+3", Span(32, 10, 1, 8, 32767));
    EXPECT_EQ("-", Span(32, 10, 1, 6, 5));
    EXPECT_EQ("-", Span(32, 10, 1, 11, 20));
    EXPECT_EQ("-", Span(32, 0, 0, 1, 10));
    EXPECT_EQ("-", Span(32, 10, -1, 1, 10));
    // A buffer that ends inside line 1 and before line 2.
    EXPECT_EQ("10+5", Span(15, 10, 1, 1, 10));
    EXPECT_EQ("-", Span(15, 10, 2, 1, 10));
    // Lines that start beyond 4 GiB do not wrap round to small offsets.
    EXPECT_EQ("-", Span(0xFFFFFFFFu, 32767, 131077, 1, 10));
    EXPECT_EQ("-", Span(0xFFFFFFFFu, 32767, 0x7FFFFFFF, 1, 32767));
}

}  // namespace
