#include "platform/fault.h"

namespace fault {
namespace {
uint32_t gFailAt[2];
uint32_t gCount[2];
bool gAndAfter[2];
}  // namespace

void Arm(Kind kind, uint32_t n, bool andAfter) {
    gFailAt[kind] = n;
    gAndAfter[kind] = andAfter;
    gCount[kind] = 0;
}

void DisarmAll() {
    gFailAt[kFile] = gFailAt[kAlloc] = 0;
}

uint32_t Count(Kind kind) { return gCount[kind]; }

void Reset() { gCount[kFile] = gCount[kAlloc] = 0; }

bool Hit(Kind kind) {
    ++gCount[kind];
    if (gFailAt[kind] == 0) return false;
    return gAndAfter[kind] ? gCount[kind] >= gFailAt[kind] : gCount[kind] == gFailAt[kind];
}

}  // namespace fault
