#include "host/memory.h"

#include <cstring>

#ifdef VANDU_TEST_HOOKS
namespace {
int32_t gLiveBlocks;
}  // namespace

int32_t LiveXPBlocks() { return gLiveBlocks; }

namespace xpmem {
void CountNew() { ++gLiveBlocks; }
void CountDispose() { --gLiveBlocks; }
}  // namespace xpmem
#endif

void ClearMemBlock(void* p, uint32_t len) {
    uint8_t* b = static_cast<uint8_t*>(p);
    const uint32_t words = len / 4;
    for (uint32_t i = 0; i < words; ++i) std::memset(b + 4 * i, 0, 4);
    for (uint32_t i = words * 4; i < len; ++i) b[i] = 0;
}
