#include <windows.h>

#include "host/memory.h"
#include "platform/fault.h"

void* NewXPPointer(uint32_t size) {
    if (fault::Hit(fault::kAlloc)) return nullptr;
    void* p = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size ? size : 1);
    if (p) xpmem::CountNew();
    return p;
}

void DisposeXPPointer(void* p) {
    if (!p) return;
    xpmem::CountDispose();
    GlobalFree(p);
}

XPHandle NewXPHandle(uint32_t size) {
    if (fault::Hit(fault::kAlloc)) return nullptr;
    UINT flags = GMEM_MOVEABLE;
    if (size <= kZeroFillLimit) flags |= GMEM_ZEROINIT;
    // A zero-byte movable block cannot be locked; give it one byte.
    HGLOBAL h = GlobalAlloc(flags, size ? size : 1);
    if (h) xpmem::CountNew();
    return h;
}

int16_t ResizeXPHandle(XPHandle* h, uint32_t size) {
    if (fault::Hit(fault::kAlloc)) return 1;
    HGLOBAL n = GlobalReAlloc(static_cast<HGLOBAL>(*h), size ? size : 1,
                              GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (!n) return 1;
    *h = n;
    return 0;
}

void* LockXPHandle(XPHandle h) { return GlobalLock(static_cast<HGLOBAL>(h)); }

void UnlockXPHandle(XPHandle h) { GlobalUnlock(static_cast<HGLOBAL>(h)); }

void DisposeXPHandle(XPHandle h) {
    if (!h) return;
    xpmem::CountDispose();
    GlobalFree(static_cast<HGLOBAL>(h));
}

uint32_t SizeXPHandle(XPHandle h) {
    return static_cast<uint32_t>(GlobalSize(static_cast<HGLOBAL>(h)));
}
