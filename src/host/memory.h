// Fixed (pointer) blocks and movable (handle) blocks with explicit locking.
// Win32 body: global memory. POSIX body: a small handle record over malloc.
#pragma once
#include <cstdint>

typedef void* XPHandle;

// Fixed block, zero-filled; null on failure.
void* NewXPPointer(uint32_t size);
void DisposeXPPointer(void* p);

// Movable block; zero-filled when size <= 8192, contents undefined above.
XPHandle NewXPHandle(uint32_t size);
// 0 on success (the new handle stored through h, grown bytes zero);
// 1 on failure, the handle and block untouched.
int16_t ResizeXPHandle(XPHandle* h, uint32_t size);
void* LockXPHandle(XPHandle h);
void UnlockXPHandle(XPHandle h);
void DisposeXPHandle(XPHandle h);
// The block's size as the memory manager reports it (may exceed the request).
uint32_t SizeXPHandle(XPHandle h);

// Keeps a movable block locked for the life of the object, so that every
// way out of a scope unlocks it. A null handle locks nothing and gives a
// null pointer. Unlock lets go early (before the block is resized or
// released, or while another routine locks it); Lock takes it again and
// returns the block's address, which may have changed meanwhile.
class LockedHandle {
public:
    explicit LockedHandle(XPHandle h) : handle_(h) { Lock(); }
    ~LockedHandle() { Unlock(); }
    LockedHandle(const LockedHandle&) = delete;
    LockedHandle& operator=(const LockedHandle&) = delete;

    uint8_t* Lock() {
        if (!bytes_ && handle_) bytes_ = static_cast<uint8_t*>(LockXPHandle(handle_));
        return bytes_;
    }
    void Unlock() {
        if (bytes_) UnlockXPHandle(handle_);
        bytes_ = nullptr;
    }
    uint8_t* bytes() const { return bytes_; }
    template <typename T>
    T* as() const { return reinterpret_cast<T*>(bytes_); }

private:
    XPHandle handle_;
    uint8_t* bytes_ = nullptr;
};

// Zeroes len bytes: four at a time, then the remaining one to three.
void ClearMemBlock(void* p, uint32_t len);

#ifdef VANDU_TEST_HOOKS
// Pointer and handle blocks alive: lets tests prove that a command releases
// what it allocates, also where no leak checker can run. Test build only.
int32_t LiveXPBlocks();
namespace xpmem {
void CountNew();
void CountDispose();
}  // namespace xpmem
#else
namespace xpmem {
inline void CountNew() {}
inline void CountDispose() {}
}  // namespace xpmem
#endif

// Largest block that NewXPHandle zero-fills.
constexpr uint32_t kZeroFillLimit = 8192;
