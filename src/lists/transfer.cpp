// PutListInList: copies every line of a list into a host list, up to six
// column ranges of each line into up to six host list columns.
#include <cstring>

#include "entry/globals.h"
#include "entry/params.h"
#include "host/callbacks.h"
#include "host/memory.h"
#include "lists/commands.h"
#include "lists/linespan.h"
#include "platform/platform.h"

namespace {

constexpr int16_t kHostListRef = kRefParam1 + 1;  // parameter 2
constexpr int32_t kFirstRangeParams = 5;          // listName, host list, column, first, last
constexpr int32_t kParamsPerRange = 3;            // column, first, last
constexpr int32_t kMaxRanges = 6;

// Ranges whose three parameters are all passed; the first incomplete group
// ends them.
int32_t RangeCount(int32_t paramCount) {
    const int32_t n = 1 + (paramCount - kFirstRangeParams) / kParamsPerRange;
    return n > kMaxRanges ? kMaxRanges : n;
}

// Parameter number of range k's (0-based) host column: 3, 6, 9, ...
int32_t ColumnParam(int32_t k) { return 3 + kParamsPerRange * k; }

int16_t ColumnRef(int32_t k) { return static_cast<int16_t>(kRefParam1 + ColumnParam(k) - 1); }

// The ranges' first and last columns are kept in textBuf2 as 16-bit pairs in
// range order, ended by a 0 value. The columns may be anything, 0 included,
// so the count of ranges, not the 0, says where the pairs end.
void StoreRanges(Globals* g, int32_t ranges) {
    for (int32_t k = 0; k < ranges; ++k) {
        const int16_t pair[2] = {ParamInt(g, ColumnParam(k) + 1), ParamInt(g, ColumnParam(k) + 2)};
        std::memcpy(g->textBuf2 + 4 * k, pair, sizeof pair);
    }
    const int16_t end = 0;
    std::memcpy(g->textBuf2 + 4 * ranges, &end, sizeof end);
}

void LoadRange(const Globals* g, int32_t k, int16_t* first, int16_t* last) {
    int16_t pair[2];
    std::memcpy(pair, g->textBuf2 + 4 * k, sizeof pair);
    *first = pair[0];
    *last = pair[1];
}

// Hands the host one cell as a NUL-terminated text. The NUL takes the place
// of the byte after the span for the duration of the request when that byte
// lies inside the buffer; a span that ends at the buffer's end is copied into
// scratch instead.
void SendCell(const Globals* g, int32_t line1, int16_t columnRef, uint8_t* buf, uint32_t bufSize,
              LineSpan span, char* scratch) {
    static const char kEmpty[] = "";
    if (span.length == 0) {
        SetLstVal(kHostListRef, line1, columnRef, kTypeCText, kEmpty, g->callback);
        return;
    }
    const uint32_t after = span.offset + span.length;
    if (after < bufSize) {
        const uint8_t kept = buf[after];
        buf[after] = '\0';
        SetLstVal(kHostListRef, line1, columnRef, kTypeCText, buf + span.offset, g->callback);
        buf[after] = kept;
        return;
    }
    std::memcpy(scratch, buf + span.offset, span.length);
    scratch[span.length] = '\0';
    SetLstVal(kHostListRef, line1, columnRef, kTypeCText, scratch, g->callback);
}

}  // namespace

int16_t DoListToList(Globals* g) {
    if (g->paramCount < kFirstRangeParams) return kParamError;
    ListRec* list = g->curList;
    if (!list) return kListNotLoaded;

    const int32_t ranges = RangeCount(g->paramCount);
    StoreRanges(g, ranges);

    DoListOp(kListOpClear, kHostListRef, 0, g->callback);
    DoListOp(kListOpSetLineCount, kHostListRef, list->lineCount, g->callback);
    // The host reports the list's new size through "#LN". An application
    // without that variable gives no way to confirm the size, so only an
    // empty list can go; reference 0 is not sent to the host.
    const int32_t hostLines = g->lineNumRef != 0 ? GetFldLong(g->lineNumRef, g->callback) : 0;
    if (hostLines != list->lineCount) return kOutOfMemory;
    if (!list->lines) return kListNotLoaded;

    const int32_t lineSize = list->lineSize;
    const uint32_t bufSize = SizeXPHandle(list->lines);
    // A span can end at the buffer's end only when the lines fill it (the
    // editing commands may leave no spare bytes); those cells need a copy.
    char* scratch = nullptr;
    if (list->lineCount > 0 && lineSize > 0 &&
        static_cast<uint64_t>(list->lineCount) * static_cast<uint32_t>(lineSize) >= bufSize) {
        scratch = static_cast<char*>(NewXPPointer(static_cast<uint32_t>(lineSize) + 1));
        if (!scratch) return kOutOfMemory;
    }

    void* previousCursor = plat::ShowWaitCursor();
    bool loaded;
    {
        LockedHandle locked(list->lines);
        uint8_t* buf = locked.bytes();
        loaded = buf != nullptr;
        for (int32_t i = 0; loaded && i < list->lineCount; ++i) {
            for (int32_t k = 0; k < ranges; ++k) {
                int16_t first, last;
                LoadRange(g, k, &first, &last);
                const LineSpan span = ColumnSpan(bufSize, lineSize, i, first, last);
                SendCell(g, i + 1, ColumnRef(k), buf, bufSize, span, scratch);
            }
        }
    }
    plat::RestoreCursor(previousCursor);
    if (scratch) DisposeXPPointer(scratch);
    return loaded ? kOk : kListNotLoaded;
}
