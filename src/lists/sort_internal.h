// What the latest sort did, for tests: which way it moved the lines and how
// deep its partitioning recursed.
#pragma once
#include <cstdint>

struct SortReport {
    bool indexed;   // sorted an index array and placed each line once;
                    // false: exchanged whole lines in place
    int32_t depth;  // deepest nesting of partitioning calls (1 for one range)
};

// The report of the latest QuickSort (zero before any).
SortReport LastSortReport();
