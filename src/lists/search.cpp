// Line search (linear scan, folded and signed comparison), line images, and
// the SetSelection command.
#include "lists/search.h"

#include <cstring>

#include "entry/globals.h"
#include "entry/params.h"
#include "lists/commands.h"
#include "lists/fold.h"
#include "lists/registry.h"
#include "platform/platform.h"

namespace {

// Compares the window of a line with the folded text over m bytes:
// 0 equal, >0 the line is greater, <0 smaller.
inline int32_t CompareWindow(const int8_t* order, const uint8_t* window, const int8_t* text,
                             int32_t m) {
    for (int32_t k = 0; k < m; ++k) {
        const int32_t d = static_cast<int32_t>(order[window[k]]) - text[k];
        if (d != 0) return d;
    }
    return 0;
}

}  // namespace

int32_t FindLine(Globals* g, bool exact, ListRec* list, int16_t startCol, uint8_t* searchText) {
    const int32_t n = searchText[0];
    for (int32_t k = 1; k <= n; ++k) searchText[k] = FoldByte(g->foldTable, searchText[k]);
    const int32_t count = LinesInBuffer(list);
    if (n == 0 || count == 0) return -1;

    // A window that runs past the line is compared over the bytes the line
    // has; equal over those, the line counts as smaller than the text.
    const int32_t size = list->lineSize;
    const int32_t offset = static_cast<int32_t>(startCol) - 1;
    if (offset < 0 || offset >= size) return -1;
    const int32_t m = n < size - offset ? n : size - offset;
    if (exact && m < n) return -1;

    const int8_t* order = g->foldOrder;
    const int8_t* text = reinterpret_cast<const int8_t*>(searchText + 1);
    LockedHandle locked(list->lines);
    const uint8_t* base = locked.bytes();
    int32_t found = -1;

    if (exact && list->selLine >= 0 && list->selLine < count &&
        CompareWindow(order, base + static_cast<size_t>(list->selLine) * size + offset, text, n) == 0) {
        found = list->selLine;
    } else if (exact) {
        const int8_t first = text[0];
        const uint8_t* w = base + offset;
        for (int32_t i = 0; i < count; ++i, w += size) {
            if (order[*w] != first) continue;
            if (CompareWindow(order, w, text, n) == 0) {
                found = i;
                break;
            }
        }
    } else {
        const uint8_t* w = base + offset;
        for (int32_t i = 0; i < count; ++i, w += size) {
            const int32_t d = CompareWindow(order, w, text, m);
            if (d > 0 || (d == 0 && m == n)) {
                found = i;
                break;
            }
        }
    }
    return found;
}

bool PrepLine(Globals* g, ListRec* list) {
    uint8_t* buf = g->textBuf;
    const int32_t len = buf[0];
    int32_t size = list->lineSize;
    uint8_t term = list->terminator;
    if (size == 0) {
        size = len + 2;
        term = kTermCRLF;
    }
    const int32_t width = size - TerminatorLength(term);
    if (size > kMaxImageSize || width < 0) return false;
    list->lineSize = static_cast<int16_t>(size);
    list->terminator = term;

    if (len < width) std::memset(buf + 1 + len, ' ', static_cast<size_t>(width - len));
    uint8_t* end = buf + 1 + width;
    if (term == kTermCRLF) {
        end[0] = 0x0D;
        end[1] = 0x0A;
    } else {
        end[0] = term;
    }
    buf[0] = static_cast<uint8_t>(size);
    buf[size + 1] = '\0';
    return true;
}

int16_t DoSetSelection(Globals* g) {
    ListRec* list = g->curList;
    if (g->paramCount < 2) return kParamError;
    bool exact = g->paramCount == 2;
    if (g->paramCount >= 4) exact = ParamInt(g, 4) != 0;

    uint8_t* text = g->textBuf;
    const int32_t len = ParamText(g, 2, 255, text);
    if (len == 0) return kParamError;

    int16_t column;
    if (g->paramCount == 2) {
        column = list->rsnCol;
        if (text[len] != ' ') {
            // No room for the space that ends an RSN.
            if (len >= 255) return kParamError;
            text[len + 1] = ' ';
            text[len + 2] = '\0';
            text[0] = static_cast<uint8_t>(len + 1);
        }
    } else {
        column = ParamInt(g, 3);
        if (column <= 0) return kParamError;
    }

    const int32_t found = FindLine(g, exact, list, column, text);
    list->selLine = found >= 0 ? found : list->lineCount - 1;
    list->selStamp = FreshStamp(list->selStamp);
    return kOk;
}
