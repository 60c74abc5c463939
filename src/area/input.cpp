// Mouse presses and keys in a list area: selection moves, the press-tracking
// loop, the choice and click actions, the copy of Ctrl+C and the type-ahead
// search.
#include <algorithm>
#include <cstring>

#include "area/area.h"
#include "area/area_internal.h"
#include "entry/globals.h"
#include "lists/fold.h"

namespace {

constexpr int32_t kTypeAheadMax = 29;
constexpr uint8_t kSpace = ' ';

// Host key codes of the key table.
enum KeyCode : uint8_t {
    kKeyNone = 16,
    kKeyLineUp = 17,
    kKeyLineDown = 18,
    kKeyPageUp = 21,
    kKeyPageDown = 22,
    kKeyFirst = 25,
    kKeyLast = 26,
    kKeyChoose1 = 27,
    kKeyChoose3 = 29,
};

bool KeyDown(int32_t vk) {
    uint8_t keys[256];
    return win::KeyboardState(keys) && (keys[vk] & 0x80);
}

bool InRect(const AreaRect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void ClickAction(AreaRec* a) {
    if (a->clickMode == 2) DoDoubleClick(a, true);
}

// Ctrl+C: the visible part of the selected line without its leading and
// trailing spaces, as CF_TEXT. A blank line leaves the clipboard as it was.
void CopySelection(AreaRec* a) {
    // The clipboard needs an owner window for its data; after a
    // re-initialisation the area has forgotten its own until the next press.
    win::Window owner = a->hostWindow;
    if (!owner && a->hostObj) owner = area::DrawWindow(a->hostObj);
    if (!win::OpenClip(owner)) return;
    {
        area::LineBuffer buf(a);
        int32_t n = 0;
        const uint8_t* p = buf.Text(a->selection, 1, a->cols, &n);
        while (n > 0 && p[n - 1] == kSpace) --n;
        while (n > 0 && *p == kSpace) {
            ++p;
            --n;
        }
        if (n > 0) {
            win::EmptyClip();
            win::PutClipText(p, n);
        }
    }
    win::CloseClip();
}

// Moves the selection to line idx after a type-ahead step: by two row
// redraws when it lands in view, else by framing it and drawing afresh.
void ShowTypeAheadLine(AreaRec* a, int32_t idx) {
    Globals* g = a->globals;
    if (idx >= a->topLine && idx < static_cast<int64_t>(a->topLine) + a->rows) {
        if (area::SelectionInView(a)) GoFlip(a, a->selection - a->topLine, false);
        a->selection = idx;
        GoFlip(a, idx - a->topLine, true);
        MySetCtlValue(a, a->topLine);
        SyncListToAreaChoice(a, g->curList);
    } else {
        a->selection = idx;
        FrameSel(a);
        SyncListToAreaChoice(a, g->curList);
        DrawContents(a);
        MySetCtlValue(a, a->topLine);
    }
    ClickAction(a);
}

// One typed character of the incremental search on the list's sort column.
void TypeAhead(AreaRec* a, uint8_t key) {
    Globals* g = a->globals;
    const ListRec& l = a->listCopy;
    const int32_t count = l.lineCount;
    const int32_t lineSize = l.lineSize;
    area::LineBuffer buf(a);
    if (count <= 0 || lineSize <= 0 || buf.empty()) return;
    if (key >= 'a' && key <= 'z') key = static_cast<uint8_t>(key & ~0x20);

    const int32_t keyOffset = std::max(0, l.sortCol - 1);
    int32_t line = 0;
    int32_t left = count;
    // A running search resumes where it stopped, on the same kind of line:
    // a position that no longer names a line of this buffer starts anew.
    const bool running = g->typeAheadLen != 0 && g->typeAheadLen < kTypeAheadMax &&
                         g->eventTick - g->lastEventTick <= g->typeAheadTimeout &&
                         g->typeAheadPos >= static_cast<uint32_t>(keyOffset) &&
                         (g->typeAheadPos - keyOffset) / lineSize < static_cast<uint32_t>(count) &&
                         g->typeAheadLeft >= 0 && g->typeAheadLeft <= count;
    if (running) {
        line = static_cast<int32_t>((g->typeAheadPos - keyOffset) / lineSize);
        left = std::min(g->typeAheadLeft, count - line);
    } else {
        g->typeAheadLen = 0;
    }
    g->typeAhead[g->typeAheadLen++] = key;

    // The key's bytes in each line: the typed text, cut at the line's text.
    // Where the text ends first, its terminator comes next, lower than any
    // typed character: the line sorts before the typed text. Only lines
    // wholly inside the buffer are searched.
    const int32_t typedLen = g->typeAheadLen;
    const int32_t keyBytes = std::max(0, std::min<int32_t>(typedLen, buf.TextWidth() - keyOffset));
    left = std::max(0, std::min(left, buf.WholeLines() - line));
    const uint8_t* base = buf.Base();
    const int8_t* order = g->foldOrder;
    const uint8_t* typed = g->typeAhead;
    uint64_t at = static_cast<uint64_t>(line) * static_cast<uint32_t>(lineSize) +
                  static_cast<uint32_t>(keyOffset);
    bool found = false;
    int32_t searched = -1;
    while (!found && left > 0) {
        --left;
        searched = line;
        int32_t j = 0;
        while (j < keyBytes && static_cast<int8_t>(typed[j]) == order[base[at + j]]) ++j;
        // The line sorts before the typed text: go on with the next one.
        const bool before =
            j < keyBytes ? static_cast<int8_t>(typed[j]) > order[base[at + j]] : keyBytes < typedLen;
        if (before) {
            ++line;
            at += static_cast<uint32_t>(lineSize);
        } else {
            found = true;
        }
    }
    if (found)
        ++left;
    else if (searched >= 0)
        line = searched;  // ran off the end: the last line searched
    line = std::min(line, count - 1);
    g->lastEventTick = g->eventTick;
    g->typeAheadPos = static_cast<uint32_t>(line) * static_cast<uint32_t>(lineSize) +
                      static_cast<uint32_t>(keyOffset);
    g->typeAheadLeft = left;
    // Unlocked before the selection is shown and the click action runs: its
    // host requests may re-enter the external and replace the buffer.
    buf.Release();
    ShowTypeAheadLine(a, line);
}

}  // namespace

uint8_t IsShiftKeyDown() { return KeyDown(win::kVkShift) ? 0x80 : 0; }

uint8_t IsControlKeyDown() { return KeyDown(win::kVkControl) ? 0x80 : 0; }

void DoDoubleClick(AreaRec* a, bool isClick) {
    Globals* g = a->globals;
    if (!g) return;
    const int16_t remembered = g->typeAheadLen;
    g->typeAheadLen = 0;
    if (a->colWidth <= 0) {
        g->lastEventTick = g->eventTick;
        return;
    }
    // The columns fromCol..toCol of the selected line, cut at the line's
    // end, without leading and trailing spaces; a blank or empty range is
    // one space.
    char text[256] = {' ', 0};
    {
        area::LineBuffer buf(a);
        int32_t n = 0;
        const uint8_t* p = buf.Text(a->selection, a->fromCol, a->colWidth, &n);
        while (n > 0 && *p == kSpace) {
            ++p;
            --n;
        }
        while (n > 1 && p[n - 1] == kSpace) --n;
        if (n > 0) {
            n = std::min(n, 255);
            std::memcpy(text, p, static_cast<size_t>(n));
            text[n] = 0;
        }
    }
    g->lastEventTick = g->eventTick;
    const char* procedure = a->dclkProc;
    int16_t field = a->dataFldRef;
    if (a->clickMode == 2) {
        if (isClick) {
            procedure = a->clkProc;
            field = a->clickFldRef;
            g->typeAheadLen = remembered;
        }
    } else {
        g->lastEventTick = 0;
    }
    if (field != 0) SetFldVal(field, kTypeCText, text, g->callback);
    if (procedure[0]) PushSequence(procedure, g->callback);
}

void DoContent(AreaRec* a) {
    Globals* g = a->globals;
    win::Window window = a->hostWindow;
    if (!g || !window || a->lineHeight <= 0) {
        if (g) SyncListToAreaChoice(a, g->curList);
        return;
    }
    int32_t x = 0, y = 0;
    if (!win::CursorPos(&x, &y) || !win::ToClient(window, &x, &y) || !InRect(a->textRect, x, y)) {
        SyncListToAreaChoice(a, g->curList);
        return;
    }
    bool firstPass = true;
    bool over = false;
    while (!over) {
        const int32_t row = (y - a->baseY + a->ascent) / a->lineHeight;
        if (row < 0 || row + 1 > a->listCopy.lineCount ||
            static_cast<int64_t>(a->topLine) + row > a->listCopy.lineCount - 1) {
            g->lastEventTick = g->eventTick;
            break;
        }
        if (!area::SelectionInView(a)) {
            a->selection = a->topLine + row;
            GoFlip(a, row, true);
        } else if (row != a->selection - a->topLine) {
            GoFlip(a, a->selection - a->topLine, false);
            a->selection = a->topLine + row;
            GoFlip(a, row, true);
        } else if (firstPass && g->eventTick - g->lastEventTick <= g->doubleClickTime) {
            // Published before the action: its host requests may re-enter
            // the external, which may move the list table under curList.
            SyncListToAreaChoice(a, g->curList);
            DoDoubleClick(a, false);
            return;
        }
        firstPass = false;

        // Polls without waiting and takes no message out of the queue, so
        // the host still sees the release.
        for (;;) {
            if (win::MouseButtonWaiting()) {
                g->lastEventTick = g->eventTick;
                over = true;
                if (a->clickMode == 2) {
                    SyncListToAreaChoice(a, g->curList);
                    DoDoubleClick(a, true);
                    return;
                }
            }
            // The cursor in the window's client coordinates, as at the
            // press: exact for a window of any frame.
            if (!win::CursorPos(&x, &y) || !win::ToClient(window, &x, &y)) break;
            if (InRect(a->textRect, x, y)) break;
            if (x >= a->textRect.left && x <= a->textRect.right) {
                if (y <= a->textRect.top)
                    DoUp(g, true);
                else
                    DoDown(g, true);
            }
            if (over) break;
        }
    }
    SyncListToAreaChoice(a, g->curList);
}

void DoKeyDown(AreaRec* a, HostCallback cb) {
    Globals* g = a->globals;
    if (!g) return;
    uint8_t key[2] = {0, 0};
    uint8_t text[256] = {0};
    if (GetExtKey(key, text, cb) != 0) return;
    uint8_t code = key[0];
    if (IsControlKeyDown()) {
        if (code == 'C' || code == 'c') CopySelection(a);
        return;
    }
    if (code == kKeyNone) return;
    if (code & 0x80) code = FoldByte(g->foldTable, code);
    switch (code) {
        case kKeyLineUp:
        case kKeyLineDown:
        case kKeyPageUp:
        case kKeyPageDown:
            if (code == kKeyLineUp)
                DoUp(g, true);
            else if (code == kKeyLineDown)
                DoDown(g, true);
            else if (code == kKeyPageUp && a->topLine != 0 && a->selection != 0)
                DoUp(g, false);
            else if (code == kKeyPageDown)
                DoDown(g, false);
            SyncListToAreaChoice(a, g->curList);
            ClickAction(a);
            return;
        case kKeyFirst:
        case kKeyLast:
            if (code == kKeyFirst) {
                a->topLine = 0;
                a->selection = 0;
            } else {
                a->topLine = std::max(0, a->listCopy.lineCount - a->rows);
                a->selection = a->listCopy.lineCount - 1;
            }
            DrawContents(a);
            MySetCtlValue(a, a->topLine);
            ClickAction(a);
            return;
        default:
            break;
    }
    if (code >= kKeyChoose1 && code <= kKeyChoose3) {
        DoDoubleClick(a, false);
        return;
    }
    if (code < 32 || code > 127) return;
    TypeAhead(a, code);
}
