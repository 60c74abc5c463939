// Test-only switch that makes the n-th file operation or the n-th memory
// allocation fail, so that tests can walk every failure point of a command.
// It exists in the test build of the core alone (VANDU_TEST_HOOKS); in the
// shipped build Hit is a constant false and the checks compile away.
// Disarmed it costs one comparison per call.
#pragma once
#include <cstdint>

namespace fault {

enum Kind { kFile = 0, kAlloc = 1 };

#ifdef VANDU_TEST_HOOKS
// Fail the n-th call (1-based) of the kind from now on, and with andAfter
// every later call too; n = 0 disarms.
void Arm(Kind kind, uint32_t n, bool andAfter = false);
void DisarmAll();
// Calls of the kind counted since the last Arm or Reset.
uint32_t Count(Kind kind);
void Reset();
// True when this call must fail; counts the call.
bool Hit(Kind kind);
#else
constexpr bool Hit(Kind) { return false; }
#endif

}  // namespace fault
