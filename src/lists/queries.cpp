// The value functions that report facts about a loaded list: each writes the
// function's value to the value reference and returns 0, or returns a code
// that the entry point turns into the negated value.
#include <cstring>

#include "entry/globals.h"
#include "entry/params.h"
#include "host/callbacks.h"
#include "host/memory.h"
#include "lists/commands.h"
#include "lists/linespan.h"
#include "lists/registry.h"
#include "lists/search.h"
#include "platform/platform.h"

namespace {

constexpr int32_t kMaxRsnLen = 60;
constexpr int32_t kMaxValueText = 255;

// Writes the date (y, m, d) or the time (h, m, s) of the list's recorded
// file time in local time; leaves the value unset when it cannot convert.
int16_t SetFileTimeValue(Globals* g, bool date) {
    plat::CalendarTime cal;
    if (!plat::LocalCalendar(ListFileTime(g->curList), &cal)) return kOk;
    const uint16_t parts[3] = {date ? cal.year : cal.hour, date ? cal.month : cal.minute,
                               date ? cal.day : cal.second};
    SetFldVal(kRefValue, date ? kTypeDate : kTypeTime, parts, g->callback);
    return kOk;
}

// The 1-based line that LineText names, or 0 when it names none: lineNum
// itself, the selected line for 0, the line with the RSN of parameter 5 for a
// negative number.
int32_t ChooseLine(Globals* g, ListRec* list, int32_t lineNum) {
    int32_t line1;
    if (lineNum > 0) {
        line1 = lineNum;
    } else if (lineNum == 0) {
        if (list->selLine < 0) return 0;
        line1 = list->selLine + 1;
    } else {
        if (g->paramCount < 5) return 0;
        // Room for the 60 characters, the appended space and the reader's NUL.
        uint8_t rsn[kMaxRsnLen + 3];
        const int32_t len = ParamText(g, 5, kMaxRsnLen, rsn);
        if (len == 0) return 0;
        // An RSN is followed by a space in its line: "12" must not find "123".
        if (rsn[len] != ' ') {
            rsn[len + 1] = ' ';
            rsn[0] = static_cast<uint8_t>(len + 1);
        }
        const int32_t found = FindLine(g, true, list, list->rsnCol, rsn);
        if (found < 0) return 0;
        line1 = found + 1;
    }
    return line1 <= list->lineCount ? line1 : 0;
}

// Copies the span into a length-prefixed text without leading and trailing
// spaces, at most 255 characters; text holds 257 bytes (a NUL follows).
void TrimmedText(const uint8_t* buf, LineSpan span, uint8_t* text) {
    const uint8_t* begin = buf + span.offset;
    const uint8_t* end = begin + span.length;
    while (begin < end && *begin == ' ') ++begin;
    while (end > begin && end[-1] == ' ') --end;
    size_t n = static_cast<size_t>(end - begin);
    if (n > kMaxValueText) n = kMaxValueText;
    text[0] = static_cast<uint8_t>(n);
    std::memcpy(text + 1, begin, n);
    text[n + 1] = '\0';
}

}  // namespace

int16_t GetLineCount(Globals* g) {
    SetFldLong(kRefValue, g->curList->lineCount, g->callback);
    return kOk;
}

int16_t DoGetLineSize(Globals* g) {
    SetFldInt(kRefValue, g->curList->lineSize, g->callback);
    return kOk;
}

int16_t DoGetSortCol(Globals* g) {
    SetFldInt(kRefValue, g->curList->sortCol, g->callback);
    return kOk;
}

int16_t DoGetModDate(Globals* g) { return SetFileTimeValue(g, true); }

int16_t DoGetModTime(Globals* g) { return SetFileTimeValue(g, false); }

int16_t DoGetSelectedLine(Globals* g) {
    // 0 when no line is selected: selLine -1, and also the selection on the
    // first line that a load gives a list without lines.
    const ListRec* list = g->curList;
    const bool selected = list->selLine >= 0 && list->selLine < list->lineCount;
    SetFldLong(kRefValue, selected ? list->selLine + 1 : 0, g->callback);
    return kOk;
}

int16_t DoIsListCurrent(Globals* g) {
    bool current = false;
    const int16_t r = MemCopyCurrent(g, g->curList, &current);
    SetFldInt(kRefValue, current ? 1 : 0, g->callback);
    return r;
}

int16_t DoGetLineText(Globals* g) {
    ListRec* list = g->curList;
    if (!list->lines) {
        SetFldInt(kRefValue, 0, g->callback);
        return kOk;
    }
    if (g->paramCount < 4) return kParamError;
    const int32_t lineNum = ParamLong(g, 2);
    const int16_t startCol = ParamInt(g, 3);
    const int16_t endCol = ParamInt(g, 4);

    const int32_t line1 = ChooseLine(g, list, lineNum);
    if (line1 == 0) return kParamError;
    // The last text column cannot start a range.
    const int32_t width = list->lineSize - TerminatorLength(list->terminator);
    if (startCol < 1 || startCol >= width || endCol < 1) return kParamError;

    uint8_t text[kMaxValueText + 2];
    const int32_t last = endCol < width ? endCol : width;
    {
        LockedHandle locked(list->lines);
        if (const uint8_t* buf = locked.bytes()) {
            const LineSpan span =
                ColumnSpan(SizeXPHandle(list->lines), list->lineSize, line1 - 1, startCol, last);
            TrimmedText(buf, span, text);
        } else {
            text[0] = 0;
            text[1] = '\0';
        }
    }
    SetFldVal(kRefValue, kTypePascalText, text, g->callback);
    return kOk;
}
