// POSIX body of the memory functions. A handle is a small record that owns
// the block; the block may move on resize, as a Win32 movable block may.
#include <cstdlib>
#include <cstring>

#include "host/memory.h"
#include "platform/fault.h"

namespace {
struct HandleRec {
    void* block;
    uint32_t size;
    int32_t locks;
};
}  // namespace

void* NewXPPointer(uint32_t size) {
    if (fault::Hit(fault::kAlloc)) return nullptr;
    void* p = std::calloc(1, size ? size : 1);
    if (p) xpmem::CountNew();
    return p;
}

void DisposeXPPointer(void* p) {
    if (!p) return;
    xpmem::CountDispose();
    std::free(p);
}

XPHandle NewXPHandle(uint32_t size) {
    if (fault::Hit(fault::kAlloc)) return nullptr;
    HandleRec* h = static_cast<HandleRec*>(std::malloc(sizeof(HandleRec)));
    if (!h) return nullptr;
    const uint32_t n = size ? size : 1;
    h->block = size <= kZeroFillLimit ? std::calloc(1, n) : std::malloc(n);
    if (!h->block) {
        std::free(h);
        return nullptr;
    }
    h->size = size;
    h->locks = 0;
    xpmem::CountNew();
    return h;
}

int16_t ResizeXPHandle(XPHandle* hp, uint32_t size) {
    if (fault::Hit(fault::kAlloc)) return 1;
    HandleRec* h = static_cast<HandleRec*>(*hp);
    void* b = std::realloc(h->block, size ? size : 1);
    if (!b) return 1;
    if (size > h->size) std::memset(static_cast<uint8_t*>(b) + h->size, 0, size - h->size);
    h->block = b;
    h->size = size;
    return 0;
}

void* LockXPHandle(XPHandle hp) {
    HandleRec* h = static_cast<HandleRec*>(hp);
    if (!h) return nullptr;
    ++h->locks;
    return h->block;
}

void UnlockXPHandle(XPHandle hp) {
    HandleRec* h = static_cast<HandleRec*>(hp);
    if (h && h->locks > 0) --h->locks;
}

void DisposeXPHandle(XPHandle hp) {
    HandleRec* h = static_cast<HandleRec*>(hp);
    if (!h) return;
    xpmem::CountDispose();
    std::free(h->block);
    std::free(h);
}

uint32_t SizeXPHandle(XPHandle hp) {
    HandleRec* h = static_cast<HandleRec*>(hp);
    return h ? h->size : 0;
}
