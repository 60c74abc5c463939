// What the latest sort did, for the tests: which way it moved the lines and
// how deep its partitioning recursed. Kept by the test build of the core.
#pragma once
#include <cstdint>

struct SortReport {
    bool indexed;   // sorted an index array and placed each line once;
                    // false: exchanged whole lines in place
    int32_t depth;  // deepest nesting of partitioning calls (1 for one range)
};

#ifdef VANDU_TEST_HOOKS
// The report of the latest sort (zero before any).
SortReport LastSortReport();
#endif
