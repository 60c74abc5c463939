// The area's view of its list's line buffer: locked while in use, read only
// within the line's text and the buffer.
#include "area/area_internal.h"
#include "host/memory.h"

namespace area {

LineBuffer::LineBuffer(const AreaRec* a)
    : area_(a), locked_(a->listCopy.lines), base_(locked_.bytes()),
      size_(base_ ? SizeXPHandle(a->listCopy.lines) : 0) {}

void LineBuffer::Release() {
    // The guard unlocks the handle it locked: the area's copy may hold
    // another by now.
    locked_.Unlock();
    base_ = nullptr;
    size_ = 0;
}

int32_t LineBuffer::WholeLines() const {
    const ListRec& l = area_->listCopy;
    if (!base_ || l.lineSize <= 0 || l.lineCount <= 0) return 0;
    const uint32_t whole = size_ / static_cast<uint32_t>(l.lineSize);
    return whole < static_cast<uint32_t>(l.lineCount) ? static_cast<int32_t>(whole) : l.lineCount;
}

int32_t LineBuffer::TextWidth() const {
    const ListRec& l = area_->listCopy;
    return l.terminator ? l.lineSize - TerminatorLength(l.terminator) : l.lineSize;
}

const uint8_t* LineBuffer::Text(int32_t line, int32_t first, int32_t count, int32_t* n) const {
    *n = 0;
    const ListRec& l = area_->listCopy;
    if (!base_ || line < 0 || line >= l.lineCount || l.lineSize <= 0) return nullptr;
    const int64_t text = TextWidth();
    int64_t from = first;
    int64_t to = static_cast<int64_t>(first) + count - 1;
    if (from < 1) from = 1;
    if (to > text) to = text;
    if (to < from) return nullptr;
    const uint64_t lineStart = static_cast<uint64_t>(line) * static_cast<uint32_t>(l.lineSize);
    const uint64_t begin = lineStart + static_cast<uint64_t>(from - 1);
    uint64_t end = lineStart + static_cast<uint64_t>(to);
    if (end > size_) end = size_;
    if (begin >= end) return nullptr;
    *n = static_cast<int32_t>(end - begin);
    return base_ + begin;
}

}  // namespace area
