// Moving the view and the selection of a list area: one-line scrolls that
// shift the drawn rows and draw only the uncovered row, line and page moves
// of the selection, the scroll bar's requests, and the mapping between the
// top line and the scroll bar's fixed 1..32767 scale.
#include <algorithm>

#include "area/area.h"
#include "area/area_internal.h"
#include "entry/globals.h"

namespace {

int32_t LastLine(const AreaRec* a) { return a->listCopy.lineCount - 1; }

// A selection placed by a row rule (the last row, the middle row) lands on
// a real line: rows may reach past the last line of a short list.
int32_t OnALine(const AreaRec* a, int64_t line) {
    return static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(line, LastLine(a))));
}

// Shifts the rows one line (down > 0: the view moves towards the end) and
// draws the row that comes into view, and its highlight when it holds the
// selection. Without a known window the rows are drawn afresh instead.
void ScrollOneLine(AreaRec* a, int32_t down) {
    const int32_t entering = down > 0 ? a->rows - 1 : 0;
    win::DC dc = AreaDC(a);
    a->topLine += down;
    if (!dc || !a->hostWindow) {
        DrawContents(a);
        MySetCtlValue(a, a->topLine);
        return;
    }
    win::Rect uncovered{0, 0, 0, 0};
    win::ScrollArea(a->hostWindow, -down * a->lineHeight, area::ToWin(a->textRect), &uncovered);
    win::FillWhite(dc, uncovered);
    DrawOne(a, a->topLine + entering, a->textX, a->baseY + a->lineHeight * entering);
    MySetCtlValue(a, a->topLine);
    if (a->selection == a->topLine + entering) GoFlip(a, entering, true);
}

void Redraw(AreaRec* a) {
    DrawContents(a);
    MySetCtlValue(a, a->topLine);
}

}  // namespace

win::ScrollState area::ScrollStateFor(const AreaRec* a, int32_t pos) {
    return {1, a->listCopy.lineCount > a->rows ? kThumbMax : 0, a->rows, pos};
}

// top × 32767 ÷ maxTop. Just above 65,535 that product passes the largest
// signed 32-bit number, so the system halves both sides for a larger top
// line: (top × 32767 ÷ 2) ÷ (maxTop ÷ 2). The product is formed in 64 bits
// here, so nothing overflows; the halving stays because it rounds
// differently, and the thumb stands where the system puts it.
int32_t ThumbOfTop(int32_t top, int32_t maxTop) {
    if (maxTop <= 0) return 0;
    const int64_t t = top;
    if (top <= 65535) return static_cast<int32_t>(t * area::kThumbMax / maxTop);
    return static_cast<int32_t>((t * area::kThumbMax / 2) / (maxTop / 2));
}

void UpOne(Globals* g) {
    AreaRec* a = g->curArea;
    if (a && a->topLine > 0) ScrollOneLine(a, -1);
}

void DownOne(Globals* g) {
    AreaRec* a = g->curArea;
    if (a && static_cast<int64_t>(a->topLine) + a->rows < a->listCopy.lineCount) ScrollOneLine(a, 1);
}

void DoUp(Globals* g, bool byLine) {
    AreaRec* a = g->curArea;
    if (!a || a->listCopy.lineCount <= 0 || (a->topLine == 0 && a->selection == 0)) return;
    if (byLine && !IsShiftKeyDown()) {
        if (!area::SelectionInView(a)) {
            a->selection = OnALine(a, static_cast<int64_t>(a->topLine) + a->rows - 1);
            GoFlip(a, a->selection - a->topLine, true);
            return;
        }
        GoFlip(a, a->selection - a->topLine, false);
        --a->selection;
        if (a->selection < a->topLine)
            UpOne(g);
        else
            GoFlip(a, a->selection - a->topLine, true);
        return;
    }
    if (a->topLine == 0) return;
    a->topLine = a->rows > a->topLine ? 0 : a->topLine - a->rows;
    a->selection = OnALine(a, static_cast<int64_t>(a->topLine) + a->rows / 2);
    Redraw(a);
}

void DoDown(Globals* g, bool byLine) {
    AreaRec* a = g->curArea;
    if (!a || a->listCopy.lineCount <= 0) return;
    const int32_t count = a->listCopy.lineCount;
    if (byLine && !IsShiftKeyDown()) {
        if (!area::SelectionInView(a)) {
            a->selection = OnALine(a, a->topLine);
            GoFlip(a, a->selection - a->topLine, true);
            return;
        }
        if (a->selection + 1 >= count) return;
        GoFlip(a, a->selection - a->topLine, false);
        ++a->selection;
        if (a->selection >= static_cast<int64_t>(a->topLine) + a->rows)
            DownOne(g);
        else
            GoFlip(a, a->selection - a->topLine, true);
        return;
    }
    const int64_t t = static_cast<int64_t>(a->topLine) + 2 * static_cast<int64_t>(a->rows);
    if (t > count) {
        const int32_t last = std::max(0, count - a->rows);
        if (last == a->topLine) return;
        a->topLine = last;
    } else {
        a->topLine += a->rows;
    }
    a->selection = OnALine(a, static_cast<int64_t>(a->topLine) + a->rows / 2);
    Redraw(a);
}

void MySetCtlValue(AreaRec* a, int32_t top) {
    const int32_t maxTop = a->listCopy.lineCount - a->rows;
    a->topLine = std::max(0, (maxTop >= 0 && top > maxTop) ? maxTop : top);
    if (a->scrollWindow)
        win::SetScroll(a->scrollWindow, area::ScrollStateFor(a, ThumbOfTop(a->topLine, maxTop)), true);
}

// The top line for the thumb's position p: maxTop × p ÷ 32767, rounded down,
// then three corrections so that the view does not creep and the end stays
// reachable:
// - when the old top line still maps to p, it stays: a thumb let go where it
//   stood does not move the view by the rounding;
// - the bar's last position shows the last page;
// - a top line one short of the last page is taken to it, since rounding
//   down lands there for positions just below the end.
void FixMyCtlValue(AreaRec* a) {
    if (!a->scrollWindow) return;
    const int32_t maxTop = a->listCopy.lineCount - a->rows;
    if (maxTop <= 0) {
        a->topLine = 0;
        return;
    }
    // A position outside the scale (the bar's own clamping differs between
    // platforms) is taken at the nearest end of it.
    const int64_t p = std::max<int64_t>(
        0, std::min<int64_t>(static_cast<int16_t>(win::ScrollPos(a->scrollWindow)), area::kThumbMax));
    const int64_t old = a->topLine;
    int64_t top = static_cast<int64_t>(maxTop) * p / area::kThumbMax;
    // The bar holds its thumb at most at 32767 - page + 1: that position is
    // its end, and shows the last page.
    const int64_t rows = a->rows;  // a copy: the record is packed
    const int64_t lastPosition = area::kThumbMax - std::max<int64_t>(rows, 1) + 1;
    if (old >= 0 && old * area::kThumbMax / maxTop == p)
        top = old;
    else if (p >= lastPosition)
        top = maxTop;
    if (top == maxTop - 1) top = maxTop;
    a->topLine = static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(top, maxTop)));
}

void ScrollRequest(Globals* g, int32_t code, int32_t thumb) {
    AreaRec* a = g->curArea;
    if (!a) return;
    const int32_t count = a->listCopy.lineCount;
    switch (code) {
        case win::kLineUp:
            if (a->topLine != 0) UpOne(g);
            break;
        case win::kLineDown:
            if (static_cast<int64_t>(a->topLine) + a->rows < count) DownOne(g);
            break;
        case win::kPageUp:
            a->topLine = a->topLine < a->rows ? 0 : a->topLine - a->rows;
            Redraw(a);
            break;
        case win::kPageDown:
            a->topLine = static_cast<int64_t>(a->topLine) + 2 * static_cast<int64_t>(a->rows) <= count
                             ? a->topLine + a->rows
                             : std::max(0, count - a->rows);
            Redraw(a);
            break;
        case win::kThumbPosition:
        case win::kThumbTrack:
            if (a->scrollWindow) win::SetScrollPos(a->scrollWindow, thumb, true);
            FixMyCtlValue(a);
            DrawContents(a);
            break;
        case win::kTop:
            a->topLine = 0;
            Redraw(a);
            break;
        case win::kBottom:
            a->topLine = std::max(0, count - a->rows);
            Redraw(a);
            break;
        default:
            break;
    }
}
