// Sorting a list's lines: the order (checked against a plain recursive
// quicksort written here), both ways of moving lines, the nesting of the
// partitioning, the re-selection after a sort and the failure to get the
// work blocks. The SortList command itself: sort_test.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "entry/globals.h"
#include "lists/fold.h"
#include "lists/sort.h"
#include "lists/sort_internal.h"
#include "platform/fault.h"
#include "platform/platform.h"
#include "support/instance.h"

using testinstance::Instance;

namespace {

// ---------------------------------------------------------------------------
// The reference: the quicksort procedure as a plain recursion over whole lines.

uint8_t ModelFold(uint8_t c) {
    if (c >= 0x80 && c <= 0xD9) return kFoldTable[c - 0x80];
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 0x20);
    return c;
}

int ModelCompare(const uint8_t* a, const uint8_t* b, int n) {
    for (int k = 0; k < n; ++k) {
        const int x = static_cast<int8_t>(ModelFold(a[k]));
        const int y = static_cast<int8_t>(ModelFold(b[k]));
        if (x > y) return 1;
        if (x < y) return -1;
    }
    return 0;
}

using KeyCompare = std::function<int(const uint8_t*, const uint8_t*)>;

struct ModelSort {
    std::string& lines;
    int size;       // line size
    int offset;     // key offset
    KeyCompare cmp;
    int depth = 0;
    int deepest = 0;

    uint8_t* Line(int k) { return reinterpret_cast<uint8_t*>(&lines[static_cast<size_t>(k) * size]); }
    const uint8_t* Key(uint8_t* line) { return line + (offset < size ? offset : 0); }

    void Sort(int lo, int hi) {
        ++depth;
        if (depth > deepest) deepest = depth;
        std::vector<uint8_t> pivot(Line((lo + hi) / 2), Line((lo + hi) / 2) + size);
        int i = lo;
        int j = hi;
        while (i <= j) {
            while (cmp(Key(Line(i)), Key(pivot.data())) < 0 && i < hi) ++i;
            while (cmp(Key(Line(j)), Key(pivot.data())) > 0 && j > lo) --j;
            if (i <= j) {
                std::vector<uint8_t> swap(Line(i), Line(i) + size);
                std::memmove(Line(i), Line(j), size);
                std::memmove(Line(j), swap.data(), size);
                ++i;
                --j;
            }
        }
        if (lo < j) Sort(lo, j);
        if (i < hi) Sort(i, hi);
        --depth;
    }
};

// The lines sorted by the reference on the 1-based column.
std::string ModelSorted(std::string lines, int size, int column, int* deepest = nullptr) {
    const int n = size - (column - 1) > 0 ? size - (column - 1) : 0;
    ModelSort m{lines, size, column - 1,
                [n](const uint8_t* a, const uint8_t* b) { return ModelCompare(a, b, n); }};
    const int count = static_cast<int>(lines.size()) / size;
    if (count > 0) m.Sort(0, count - 1);
    if (deepest) *deepest = m.deepest;
    return lines;
}

// ---------------------------------------------------------------------------
// Lists built by hand.

std::string Join(const std::vector<std::string>& texts, const std::string& terminator = "\r\n") {
    std::string s;
    for (const auto& t : texts) s += t + terminator;
    return s;
}

// Gives the list exactly these bytes as its line buffer, with no spare bytes,
// so that a read past the last line leaves the block.
void GiveLines(ListRec* l, const std::string& bytes, int16_t lineSize) {
    l->lines = NewXPHandle(static_cast<uint32_t>(bytes.size()));
    if (!bytes.empty()) std::memcpy(LockXPHandle(l->lines), bytes.data(), bytes.size());
    UnlockXPHandle(l->lines);
    l->lineSize = lineSize;
    l->lineCount = lineSize > 0 ? static_cast<int32_t>(bytes.size() / lineSize) : 0;
}

// One list "t" of the given lines, current, as routing leaves it.
struct SortFixture {
    Instance inst;
    ListRec* list;

    SortFixture(const std::string& bytes, int16_t lineSize, int16_t sortCol = 1, int16_t rsnCol = 1) {
        list = inst.AddList("t");
        GiveLines(list, bytes, lineSize);
        list->terminator = kTermCRLF;
        list->fileSortCol = list->sortCol = sortCol;
        list->rsnCol = rsnCol;
        list->selLine = 0;
        list->selStamp = 777;
        inst.g()->curList = list;
        inst.g()->curListIndex = 1;
    }
    ~SortFixture() { fault::DisarmAll(); }

    void Sort(int16_t column) { DoQSort(inst.g(), list, column); }
    std::string Lines() const { return Instance::Lines(list); }
};

// ---------------------------------------------------------------------------

TEST(CompareItemsTest, FoldsLettersAndOrdersHighBytesFirst) {
    SortFixture f(Join({"ab"}), 4);
    Globals* g = f.inst.g();
    g->sortKeyOffset = 2;  // keys of 2 bytes
    auto cmp = [g](const char* a, const char* b) {
        return CompareItems(g, reinterpret_cast<const uint8_t*>(a), reinterpret_cast<const uint8_t*>(b));
    };
    EXPECT_EQ(0, cmp("aB", "Ab"));
    EXPECT_EQ(0, cmp("\x80x", "EX"));     // 0x80 folds to E
    EXPECT_EQ(-1, cmp("\xA0x", " x"));    // 0xA0 folds to 0xA3: negative
    EXPECT_EQ(1, cmp(" x", "\xA0x"));
    EXPECT_EQ(-1, cmp("Ez", "\x80["));    // equal first bytes, then Z < [
    EXPECT_EQ(1, cmp("b\xFF", "B\xFE"));  // beyond the table a byte is itself
    g->sortKeyOffset = 4;                 // empty key
    EXPECT_EQ(0, cmp("a", "b"));
    g->sortKeyOffset = 9;                 // beyond the line
    EXPECT_EQ(0, cmp("a", "b"));
}

TEST(SortOrderTest, FoldedEqualKeysChangePlaces) {
    SortFixture f(Join({"x", "W", "w", "Y"}), 3, 2);
    f.Sort(1);
    EXPECT_EQ(Join({"w", "W", "x", "Y"}), f.Lines());
}

TEST(SortOrderTest, HighBytesSortBeforeSpaceAndDigits) {
    SortFixture f(Join({" 1", "\xA0x", "Ex", "\x80y", "Zz"}), 4, 2);
    f.Sort(1);
    EXPECT_EQ(Join({"\xA0x", " 1", "Ex", "\x80y", "Zz"}), f.Lines());
}

// Random lists with few distinct keys, sorted both ways (index array, and
// whole lines in place when the index array cannot be allocated), must come
// out exactly as the reference leaves them.
TEST(SortOrderTest, MatchesTheReferenceOnRandomListsBothWays) {
    const std::vector<uint8_t> pool = {'a', 'A', 'b', 'B', ' ', 'e', 'E', '1', 'z', 0x80, 0x8C,
                                       0xA0, 0xA3, 0xA4, 0xD6, 0xD9, 0xDA, 0xFF};
    const std::vector<std::string> terminators = {"\r\n", "\n", "\r"};
    std::mt19937 rng(20240611);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    for (int round = 0; round < 300; ++round) {
        const std::string term = terminators[pick(0, 2)];
        const int width = round % 10 == 9 ? pick(255, 300) : pick(0, 12);
        const int size = width + static_cast<int>(term.size());
        const int count = round % 10 == 9 ? pick(0, 60) : pick(0, 300);
        std::vector<uint8_t> alphabet;
        for (int k = pick(1, 4); k > 0; --k) alphabet.push_back(pool[pick(0, pool.size() - 1)]);
        // Some lists share a lead that folds alike (q, Q) in every line.
        const int lead = round % 5 == 3 ? pick(1, 6) : 0;
        std::string bytes;
        for (int i = 0; i < count; ++i) {
            for (int c = 0; c < width; ++c)
                bytes += c < lead ? "qQ"[pick(0, 1)] : static_cast<char>(alphabet[pick(0, alphabet.size() - 1)]);
            bytes += term;
        }
        const int column = pick(1, size + 3);
        const std::string expected = ModelSorted(bytes, size, column);

        for (bool inPlace : {false, true}) {
            SCOPED_TRACE("round " + std::to_string(round) + " size " + std::to_string(size) + " count " +
                         std::to_string(count) + " column " + std::to_string(column) +
                         (inPlace ? " in place" : " indexed"));
            SortFixture f(bytes, static_cast<int16_t>(size), 0);
            // Allocations of a sort: pivot block, exchange block, index array.
            if (inPlace) fault::Arm(fault::kAlloc, 3);
            DoQSort(f.inst.g(), f.list, static_cast<int16_t>(column));
            fault::DisarmAll();
            ASSERT_EQ(expected, f.Lines());
            if (count > 1) {
                EXPECT_EQ(!inPlace, LastSortReport().indexed);
            }
        }
    }
}

// Keys chosen so that every middle pivot is the smallest line of its range:
// the comparison fixes a key only when it must, always in the pivot's
// disfavour (McIlroy's adversary), while the reference sorts.
std::vector<int> WorstCaseKeys(int n) {
    std::string lines;
    char text[16];
    for (int i = 0; i < n; ++i) {
        std::snprintf(text, sizeof text, "%06d\r\n", i);
        lines += text;
    }
    const int undecided = n;
    std::vector<int> value(n, undecided);
    int decided = 0;
    int candidate = -1;
    auto id = [](const uint8_t* key) {
        return std::atoi(std::string(reinterpret_cast<const char*>(key), 6).c_str());
    };
    auto adversary = [&](const uint8_t* a, const uint8_t* b) {
        const int x = id(a);
        const int y = id(b);
        if (value[x] == undecided && value[y] == undecided) value[x == candidate ? x : y] = decided++;
        if (value[x] == undecided)
            candidate = x;
        else if (value[y] == undecided)
            candidate = y;
        return value[x] < value[y] ? -1 : value[x] > value[y] ? 1 : 0;
    };
    ModelSort m{lines, 8, 0, adversary};
    m.Sort(0, n - 1);
    return value;
}

TEST(SortDepthTest, WorstCasePivotsKeepTheNestingLogarithmic) {
    const int n = 2000;
    std::string bytes;
    char text[16];
    for (int v : WorstCaseKeys(n)) {
        std::snprintf(text, sizeof text, "%06d\r\n", v);
        bytes += text;
    }
    int referenceDepth = 0;
    const std::string expected = ModelSorted(bytes, 8, 1, &referenceDepth);
    // Plain recursion on these keys nests about once per line.
    ASSERT_GT(referenceDepth, n / 4);

    const int bound = static_cast<int>(std::log2(n)) + 1;
    for (bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "indexed");
        SortFixture f(bytes, 8, 2);
        if (inPlace) fault::Arm(fault::kAlloc, 3);
        f.Sort(1);
        fault::DisarmAll();
        EXPECT_EQ(expected, f.Lines());
        EXPECT_EQ(!inPlace, LastSortReport().indexed);
        EXPECT_LE(LastSortReport().depth, bound);
    }
}

// ---------------------------------------------------------------------------

TEST(ReselectionTest, SelectionFollowsItsLineByRsn) {
    const std::string bytes = Join({"10 pear ", "11 fig  ", "12 kiwi ", "13 apple"});
    for (int32_t selected : {0, 3}) {
        SortFixture f(bytes, 10);
        f.list->selLine = selected;
        const uint32_t before = plat::TickCount();
        f.Sort(4);
        const uint32_t after = plat::TickCount();
        EXPECT_EQ(Join({"13 apple", "11 fig  ", "12 kiwi ", "10 pear "}), f.Lines());
        EXPECT_EQ(3 - selected, f.list->selLine);
        EXPECT_LE(f.list->selStamp - before, after - before);
    }
}

TEST(ReselectionTest, KeyIsFifteenBytesWhenNoSpaceComes) {
    // The selected line (index 1) and another share their first 15 bytes.
    SortFixture f(Join({"ABCDEFGHIJKLMNOY 2", "ABCDEFGHIJKLMNOX 3", "ZZZ              1"}), 20);
    f.list->selLine = 1;
    f.Sort(18);
    EXPECT_EQ(Join({"ZZZ              1", "ABCDEFGHIJKLMNOY 2", "ABCDEFGHIJKLMNOX 3"}), f.Lines());
    // The 15-byte key matches the line now at the old index, which wins.
    EXPECT_EQ(1, f.list->selLine);
}

TEST(ReselectionTest, KeyEndsAfterTheFirstSpace) {
    // Two lines carry the RSN 12; the key "12 " finds the one now at the old
    // index, not the selected line's whole text.
    SortFixture f(Join({"12 pear", "12 kiwi"}), 9);
    f.list->selLine = 1;
    f.Sort(4);
    EXPECT_EQ(Join({"12 kiwi", "12 pear"}), f.Lines());
    EXPECT_EQ(1, f.list->selLine);
}

TEST(ReselectionTest, KeyStopsAtTheLineEnd) {
    // RSNs without a space run to the end of the line; the last line ends the
    // buffer.
    const std::string bytes = Join({"k1z", "k2y", "k3x"}, "\n");
    for (int32_t selected : {0, 2}) {
        SortFixture f(bytes, 4);
        f.list->selLine = selected;
        f.Sort(3);
        EXPECT_EQ(Join({"k3x", "k2y", "k1z"}, "\n"), f.Lines());
        EXPECT_EQ(2 - selected, f.list->selLine);
    }
}

TEST(ReselectionTest, WithoutAKeyTheFirstLineIsSelected) {
    const std::string bytes = Join({"c 1", "b 2", "a 3"});
    {
        SortFixture f(bytes, 5);
        f.list->selLine = -1;
        f.Sort(3);
        EXPECT_EQ(0, f.list->selLine);
    }
    {
        SortFixture f(bytes, 5, 1, 6);  // RSN column beyond the line
        f.list->selLine = 2;
        f.Sort(3);
        EXPECT_EQ(0, f.list->selLine);
    }
    {
        SortFixture f(bytes, 5);
        f.list->selLine = 3;  // out of range
        f.Sort(3);
        EXPECT_EQ(0, f.list->selLine);
    }
}

// ---------------------------------------------------------------------------

TEST(SortWorkTest, ColumnIsRecordedAndWorkFieldsCleared) {
    SortFixture f(Join({"a3", "b1", "c2"}), 4);
    f.Sort(2);
    EXPECT_EQ(Join({"b1", "c2", "a3"}), f.Lines());
    EXPECT_EQ(2, f.list->sortCol);
    EXPECT_EQ(1, f.list->fileSortCol);
    Globals* g = f.inst.g();
    EXPECT_EQ(nullptr, g->sortBase);
    EXPECT_EQ(nullptr, g->sortPivot);
    EXPECT_EQ(nullptr, g->sortSwap);
    EXPECT_EQ(1, g->sortKeyOffset);
}

TEST(SortWorkTest, LinesBeyondTheBufferAreNotTouched) {
    SortFixture f(Join({"c", "b", "a"}), 3, 2);
    f.list->lineCount = 5;  // more lines than the block holds
    f.list->selLine = 4;
    f.Sort(1);
    EXPECT_EQ(Join({"a", "b", "c"}), std::string(static_cast<const char*>(LockXPHandle(f.list->lines)), 9));
    UnlockXPHandle(f.list->lines);
    EXPECT_EQ(0, f.list->selLine);
}

TEST(SortFailureTest, WorkBlocksUnavailableLeaveTheListAsItWas) {
    const std::string bytes = Join({"1 b", "2 a"});
    for (uint32_t failing : {1u, 2u}) {  // the pivot block, then the exchange block
        SCOPED_TRACE(failing);
        SortFixture f(bytes, 5);
        f.list->selLine = 1;
        fault::Arm(fault::kAlloc, failing);
        f.Sort(3);
        fault::DisarmAll();
        EXPECT_EQ(bytes, f.Lines());
        EXPECT_EQ(1, f.list->sortCol);
        EXPECT_EQ(1, f.list->selLine);
        EXPECT_EQ(777u, f.list->selStamp);
        EXPECT_EQ(nullptr, f.inst.g()->sortPivot);
        EXPECT_EQ(nullptr, f.inst.g()->sortSwap);
        EXPECT_EQ(nullptr, f.inst.g()->sortBase);
    }
}

}  // namespace
