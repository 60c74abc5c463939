#include "lists/line_division.h"

#include "lists/listrec.h"

namespace {
constexpr uint32_t kMaxLineSize = 32767;
}  // namespace

bool FirstLineEnd(const uint8_t* buf, uint32_t size, int16_t* lineSize, uint8_t* terminator) {
    uint32_t n = 0;  // 1-based position of the first NUL, CR or LF
    for (uint32_t i = 0; i < size; ++i) {
        const uint8_t c = buf[i];
        if (c == 0 || c == 0x0D || c == 0x0A) {
            n = i + 1;
            break;
        }
    }
    if (n == 0 || buf[n - 1] == 0) return false;
    uint8_t term = buf[n - 1];
    uint32_t length = n;
    if (term == 0x0D && n < size && buf[n] == 0x0A) {
        term = kTermCRLF;
        length = n + 1;
    }
    if (length > kMaxLineSize) return false;
    *lineSize = static_cast<int16_t>(length);
    *terminator = term;
    return true;
}

int32_t FirstUnendedLine(const uint8_t* buf, int32_t count, int16_t lineSize, uint8_t terminator) {
    const uint8_t last = TerminatorLastByte(terminator);
    const uint8_t* end = buf + lineSize - 1;
    for (int32_t k = 0; k < count; ++k, end += lineSize)
        if (*end != last) return k;
    return count;
}
