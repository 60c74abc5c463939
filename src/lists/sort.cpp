// Sorting a list's lines in memory (the SortList command), and putting the
// selection back on its line afterwards.
//
// The order is that of a quicksort with the middle line of each range as the
// pivot and two scans that stop on equal keys, so equal keys end where that
// procedure puts them. The partitioning runs on an index array that holds,
// per line, its number and the first bytes of its key, comparing the rest of
// the keys where the lines lie; each line is then moved once into its place.
// When that array cannot be had, the same partitioning exchanges whole lines
// in place. Either way the result is the same permutation.
#include "lists/sort.h"

#include <algorithm>
#include <cstring>

#include "entry/globals.h"
#include "entry/params.h"
#include "lists/commands.h"
#include "lists/registry.h"
#include "lists/search.h"
#include "lists/sort_internal.h"
#include "platform/platform.h"

namespace {

// Smallest size of the pivot and exchange blocks.
constexpr int32_t kSortBlockSize = 260;
// Longest re-selection key.
constexpr int32_t kRsnKeyMax = 15;

#ifdef VANDU_TEST_HOOKS
// What the tests read of the latest sort (LastSortReport).
SortReport gReport;
void ReportStart() { gReport = SortReport{false, 0}; }
void ReportDepth(int32_t depth) {
    if (depth > gReport.depth) gReport.depth = depth;
}
void ReportIndexed() { gReport.indexed = true; }
#else
void ReportStart() {}
void ReportDepth(int32_t) {}
void ReportIndexed() {}
#endif

// Folded, signed comparison of two keys of n bytes: 1, -1 or 0.
struct KeyOrder {
    const int8_t* order;  // every byte's folded value as a signed number
    int32_t n;

    int32_t operator()(const uint8_t* a, const uint8_t* b) const {
        for (int32_t k = 0; k < n; ++k) {
            if (a[k] == b[k]) continue;  // equal raw bytes are equal folded
            const int32_t d = static_cast<int32_t>(order[a[k]]) - order[b[k]];
            if (d != 0) return d > 0 ? 1 : -1;
        }
        return 0;
    }
};

// Bytes of a key held in its entry of the index array.
constexpr int32_t kPrefixBytes = 4;

// One line in the index array: the first four folded bytes of its key, as an
// unsigned number that orders as the signed bytes do, and its line number.
struct LineEntry {
    uint32_t prefix;
    uint32_t line;
};

// Lines reached through the index array. Most comparisons are settled by the
// prefixes without touching the lines; the lines do not move while the array
// is partitioned, so the pivot is a copy of its entry.
class IndexedLines {
public:
    using Pivot = LineEntry;

    IndexedLines(const uint8_t* keys, LineEntry* entries, uint32_t lineSize, const KeyOrder& order)
        : keys_(keys), entries_(entries), lineSize_(lineSize), order_(order),
          rest_{order.order, order.n - kPrefixBytes} {}

    // Fills the entries of count lines in their present order. Keys shorter
    // than the prefix are padded alike, so equal prefixes still mean equal
    // leading bytes.
    void Enter(uint32_t count) {
        for (uint32_t k = 0; k < count; ++k) {
            const uint8_t* key = keys_ + k * lineSize_;
            uint32_t prefix = 0;
            for (int32_t b = 0; b < kPrefixBytes; ++b)
                prefix = prefix << 8 |
                         (b < order_.n ? static_cast<uint8_t>(order_.order[key[b]] + 128) : 0u);
            entries_[k] = LineEntry{prefix, k};
        }
    }
    Pivot PivotAt(int32_t k) const { return entries_[k]; }
    int32_t Compare(int32_t k, const Pivot& pivot) const {
        const LineEntry& e = entries_[k];
        if (e.prefix != pivot.prefix) return e.prefix < pivot.prefix ? -1 : 1;
        if (rest_.n <= 0) return 0;
        return rest_(keys_ + e.line * lineSize_ + kPrefixBytes,
                     keys_ + pivot.line * lineSize_ + kPrefixBytes);
    }
    void Exchange(int32_t a, int32_t b) { std::swap(entries_[a], entries_[b]); }

private:
    const uint8_t* keys_;  // key of line 0
    LineEntry* entries_;
    uint32_t lineSize_;
    KeyOrder order_;       // the whole key
    KeyOrder rest_;        // the key bytes after the prefix
};

// Number of leading key bytes that fold alike in all count keys: they decide
// no comparison, so the prefixes are taken after them.
int32_t SharedLead(const uint8_t* keys, uint32_t count, uint32_t lineSize, const KeyOrder& order) {
    int32_t lead = order.n;
    for (uint32_t k = 1; k < count && lead > 0; ++k) {
        const uint8_t* key = keys + k * lineSize;
        int32_t b = 0;
        while (b < lead && (key[b] == keys[b] || order.order[key[b]] == order.order[keys[b]])) ++b;
        lead = b;
    }
    return lead;
}

// Lines exchanged whole in the buffer. The pivot is a copy of its line, so it
// stays fixed while lines move.
class WholeLines {
public:
    using Pivot = const uint8_t*;

    WholeLines(uint8_t* lines, uint8_t* pivot, uint8_t* spare, uint32_t lineSize, uint32_t keyOffset,
               const KeyOrder& order)
        : lines_(lines), pivot_(pivot), spare_(spare), lineSize_(lineSize), keyOffset_(keyOffset),
          order_(order) {}
    Pivot PivotAt(int32_t k) {
        std::memcpy(pivot_, Line(k), lineSize_);
        return pivot_ + keyOffset_;
    }
    int32_t Compare(int32_t k, Pivot pivot) const { return order_(Line(k) + keyOffset_, pivot); }
    void Exchange(int32_t a, int32_t b) {
        if (a == b) return;
        std::memcpy(spare_, Line(a), lineSize_);
        std::memcpy(Line(a), Line(b), lineSize_);
        std::memcpy(Line(b), spare_, lineSize_);
    }

private:
    uint8_t* Line(int32_t k) const { return lines_ + static_cast<uint32_t>(k) * lineSize_; }
    uint8_t* lines_;
    uint8_t* pivot_;
    uint8_t* spare_;
    uint32_t lineSize_;
    uint32_t keyOffset_;
    KeyOrder order_;
};

// Sorts positions lo..hi. After a partition the two parts are disjoint and
// sorted independently, so the smaller one is sorted by recursion and the
// larger one by the loop: the nesting stays within log2 of the line count
// and the order is the one that sorting both by recursion would give.
template <class Lines>
void SortRange(Lines& lines, int32_t lo, int32_t hi, int32_t depth) {
    ReportDepth(depth);
    while (lo < hi) {
        const typename Lines::Pivot pivot = lines.PivotAt(lo + (hi - lo) / 2);
        int32_t i = lo;
        int32_t j = hi;
        while (i <= j) {
            while (i < hi && lines.Compare(i, pivot) < 0) ++i;
            while (j > lo && lines.Compare(j, pivot) > 0) --j;
            if (i <= j) {
                lines.Exchange(i, j);
                ++i;
                --j;
            }
        }
        if (j - lo < hi - i) {
            if (lo < j) SortRange(lines, lo, j, depth + 1);
            lo = i;
        } else {
            if (i < hi) SortRange(lines, i, hi, depth + 1);
            hi = j;
        }
    }
}

// Moves every line once to its place: position p takes the line that
// entries[p] names. Each cycle of the permutation is followed from its first
// position, whose line waits in the spare block meanwhile.
void PlaceLines(uint8_t* lines, LineEntry* entries, uint32_t count, uint32_t lineSize, uint8_t* spare) {
    for (uint32_t p = 0; p < count; ++p) {
        if (entries[p].line == p) continue;
        std::memcpy(spare, lines + p * lineSize, lineSize);
        uint32_t to = p;
        for (uint32_t from = entries[p].line; from != p; from = entries[to].line) {
            std::memcpy(lines + to * lineSize, lines + from * lineSize, lineSize);
            entries[to].line = to;
            to = from;
        }
        std::memcpy(lines + to * lineSize, spare, lineSize);
        entries[to].line = to;
    }
}

// Sorts lines lo..hi of list in g->sortBase, with the work blocks in g.
void SortLines(Globals* g, const ListRec* list, int32_t lo, int32_t hi) {
    ReportStart();
    if (!g->sortBase || !g->sortPivot || !g->sortSwap || g->sortKeyOffset < 0) return;
    const int32_t lastLine = LinesInBuffer(list) - 1;
    if (lo < 0) lo = 0;
    if (hi > lastLine) hi = lastLine;
    if (lo >= hi) return;

    const uint32_t lineSize = static_cast<uint32_t>(list->lineSize);
    // A column beyond the line leaves an empty key: all lines compare equal.
    const uint32_t keyOffset = std::min(static_cast<uint32_t>(g->sortKeyOffset), lineSize);
    const KeyOrder cmp{g->foldOrder, static_cast<int32_t>(lineSize - keyOffset)};
    uint8_t* first = g->sortBase + static_cast<uint32_t>(lo) * lineSize;
    const uint32_t count = static_cast<uint32_t>(hi - lo) + 1;

    XPHandle indexBlock =
        count <= UINT32_MAX / sizeof(LineEntry) ? NewXPHandle(count * sizeof(LineEntry)) : nullptr;
    {
        LockedHandle locked(indexBlock);
        if (LineEntry* entries = locked.as<LineEntry>()) {
            const int32_t lead = SharedLead(first + keyOffset, count, lineSize, cmp);
            IndexedLines lines(first + keyOffset + lead, entries, lineSize,
                               KeyOrder{cmp.order, cmp.n - lead});
            lines.Enter(count);
            SortRange(lines, 0, static_cast<int32_t>(count - 1), 1);
            PlaceLines(first, entries, count, lineSize, g->sortSwap);
            ReportIndexed();
        } else {
            WholeLines lines(first, g->sortPivot, g->sortSwap, lineSize, keyOffset, cmp);
            SortRange(lines, 0, static_cast<int32_t>(count - 1), 1);
        }
    }
    if (indexBlock) DisposeXPHandle(indexBlock);
}

// The RSN of the selected line as a length-prefixed key: its bytes from
// rsnCol through the first space, at most 15, never beyond the line. Empty
// when there is no selected line or the column lies beyond it.
void ReselectionKey(const ListRec* list, const uint8_t* base, uint8_t* key) {
    key[0] = 0;
    const int32_t from = list->rsnCol - 1;
    if (!base || list->selLine < 0 || list->selLine >= LinesInBuffer(list) || from < 0 ||
        from >= list->lineSize)
        return;
    const uint8_t* rsn =
        base + static_cast<uint32_t>(list->selLine) * static_cast<uint32_t>(list->lineSize) + from;
    const int32_t room = std::min(kRsnKeyMax, list->lineSize - from);
    int32_t n = 0;
    while (n < room) {
        const uint8_t c = rsn[n];
        key[++n] = c;
        if (c == ' ') break;
    }
    key[0] = static_cast<uint8_t>(n);
}

void ReleaseSortBlocks(Globals* g) {
    DisposeXPPointer(g->sortPivot);
    DisposeXPPointer(g->sortSwap);
    g->sortPivot = nullptr;
    g->sortSwap = nullptr;
}

}  // namespace

#ifdef VANDU_TEST_HOOKS
SortReport LastSortReport() { return gReport; }
#endif

int32_t CompareItems(Globals* g, const uint8_t* a, const uint8_t* b) {
    const ListRec* list = g->curList;
    if (!list) return 0;
    const int32_t n = list->lineSize - g->sortKeyOffset;
    return n > 0 ? KeyOrder{g->foldOrder, n}(a, b) : 0;
}

bool DoQSort(Globals* g, ListRec* list, int16_t column) {
    if (column < 1) return false;  // no key starts before the line
    const uint32_t blockSize =
        static_cast<uint32_t>(std::max<int32_t>(kSortBlockSize, list->lineSize));
    g->sortPivot = static_cast<uint8_t*>(NewXPPointer(blockSize));
    g->sortSwap = g->sortPivot ? static_cast<uint8_t*>(NewXPPointer(blockSize)) : nullptr;
    if (!g->sortSwap) {
        ReleaseSortBlocks(g);
        plat::Beep(1500, 2);
        return false;
    }
    uint8_t key[kRsnKeyMax + 1];
    void* cursor;
    {
        LockedHandle locked(list->lines);
        g->sortBase = locked.bytes();
        g->sortKeyOffset = static_cast<int16_t>(column - 1);
        ReselectionKey(list, g->sortBase, key);

        cursor = plat::ShowWaitCursor();
        list->sortCol = column;
        SortLines(g, list, 0, list->lineCount - 1);
    }
    g->sortBase = nullptr;
    plat::RestoreCursor(cursor);
    ReleaseSortBlocks(g);

    const int32_t found = FindLine(g, true, list, list->rsnCol, key);
    list->selLine = found >= 0 ? found : 0;
    list->selStamp = FreshStamp(list->selStamp);
    return true;
}

int16_t DoSortList(Globals* g) {
    if (g->paramCount < 2) return kParamError;
    const int16_t column = ParamInt(g, 2);
    if (column <= 0) return kParamError;
    ListRec* list = g->curList;
    if (!list) return kListNotLoaded;
    if (column == list->sortCol || list->lineCount <= 0) return kOk;
    // Past the column after the last byte a key would have a negative length.
    if (column > list->lineSize + 1) return kParamError;
    // A sort that cannot get its work blocks leaves the list as it was; the
    // result says so rather than claim a sort that did not happen.
    return DoQSort(g, list, column) ? kOk : kOutOfMemory;
}
