// POSIX body of the platform layer. flock gives the Win32 share results:
// a shared lock for readers, an exclusive one for writers, never waiting.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include <catalogue.h>

#include "platform/fault.h"
#include "platform/platform.h"

namespace plat {
namespace {

// File handles carry fd + 1 so that a valid handle is never null.
inline int Fd(FileHandle f) { return static_cast<int>(reinterpret_cast<intptr_t>(f)) - 1; }

uint32_t FromErrno(int e) {
    switch (e) {
        case 0: return 0;
        case ENOENT: case ENOTDIR: return kErrFileNotFound;
        case EACCES: case EPERM: case EISDIR: case EROFS: return kErrAccessDenied;
        case ENOMEM: return kErrNotEnoughMemory;
        case EWOULDBLOCK: return kErrSharingViolation;
        case ENOSPC: case EDQUOT: case EFBIG: return kErrDiskFull;
        default: return kErrIoDevice;
    }
}

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr uint64_t kEpochDelta = 116444736000000000ULL;

}  // namespace

uint32_t OpenFile(const char* path, bool forWrite, FileHandle* out) {
    *out = nullptr;
    if (fault::Hit(fault::kFile)) return kErrSharingViolation;
    const int fd = ::open(path, (forWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) return FromErrno(errno);
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return kErrAccessDenied;
    }
    // A reader refuses writers (shared lock); a writer refuses other writers
    // and is refused while anyone else holds the file (exclusive lock).
    if (::flock(fd, (forWrite ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        ::close(fd);
        return kErrSharingViolation;
    }
    *out = reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd + 1));
    return 0;
}

bool FileSize(FileHandle f, uint64_t* size) {
    if (fault::Hit(fault::kFile)) return false;
    struct stat st;
    if (::fstat(Fd(f), &st) != 0 || st.st_size < 0) return false;
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

uint32_t ReadFromStart(FileHandle f, void* buf, uint32_t n) {
    if (fault::Hit(fault::kFile)) return kErrReadFault;
    uint8_t* p = static_cast<uint8_t*>(buf);
    uint32_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(Fd(f), p + done, n - done, static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR) continue;
            return FromErrno(errno);
        }
        if (r == 0) return kErrHandleEof;
        done += static_cast<uint32_t>(r);
    }
    return 0;
}

uint32_t WriteFromStart(FileHandle f, const void* buf, uint32_t n) {
    if (fault::Hit(fault::kFile)) return kErrDiskFull;
    const uint8_t* p = static_cast<const uint8_t*>(buf);
    uint32_t done = 0;
    while (done < n) {
        const ssize_t r = ::pwrite(Fd(f), p + done, n - done, static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR) continue;
            return FromErrno(errno);
        }
        if (r == 0) return kErrWriteFault;
        done += static_cast<uint32_t>(r);
    }
    return 0;
}

uint32_t SetFileEnd(FileHandle f, uint32_t size) {
    if (fault::Hit(fault::kFile)) return kErrDiskFull;
    struct stat st;
    if (::fstat(Fd(f), &st) != 0) return FromErrno(errno);
    const uint64_t oldSize = static_cast<uint64_t>(st.st_size);
    if (oldSize < size) {
        // Reserve the new blocks now: a sparse extension would let a later
        // write fail half way on a full disk. Only the extension is asked
        // for, so that a file system without fallocate (where the C library
        // writes every block instead) pays for the new bytes alone.
        const int e = ::posix_fallocate(Fd(f), static_cast<off_t>(oldSize),
                                        static_cast<off_t>(size - oldSize));
        if (e != 0 && e != EOPNOTSUPP && e != EINVAL) return FromErrno(e);
    }
    if (::ftruncate(Fd(f), static_cast<off_t>(size)) != 0) return FromErrno(errno);
    return 0;
}

void CloseFile(FileHandle f) {
    if (f) ::close(Fd(f));
}

bool LastWriteTime(const char* path, uint64_t* fileTime) {
    if (fault::Hit(fault::kFile)) return false;
    struct stat st;
    if (::stat(path, &st) != 0) return false;
    const int64_t secs = static_cast<int64_t>(st.st_mtim.tv_sec);
    const int64_t nsec = static_cast<int64_t>(st.st_mtim.tv_nsec);
    *fileTime = static_cast<uint64_t>(secs * 10000000LL + nsec / 100) + kEpochDelta;
    return true;
}

bool LocalCalendar(uint64_t fileTime, CalendarTime* out) {
    if (fileTime < kEpochDelta) return false;
    const time_t secs = static_cast<time_t>((fileTime - kEpochDelta) / 10000000ULL);
    struct tm tmv;
    if (!::localtime_r(&secs, &tmv)) return false;
    out->year = static_cast<uint16_t>(tmv.tm_year + 1900);
    out->month = static_cast<uint16_t>(tmv.tm_mon + 1);
    out->day = static_cast<uint16_t>(tmv.tm_mday);
    out->hour = static_cast<uint16_t>(tmv.tm_hour);
    out->minute = static_cast<uint16_t>(tmv.tm_min);
    out->second = static_cast<uint16_t>(tmv.tm_sec);
    return true;
}

uint32_t TickCount() {
    struct timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                 static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

// There is no cursor to show without a window system.
void* ShowWaitCursor() { return nullptr; }
void RestoreCursor(void*) {}
void Beep(uint32_t, uint32_t) {}
void MessageBeepAsterisk() {}

// The Windows defaults.
uint32_t KeyboardDelaySetting() { return 1; }
uint32_t DoubleClickTime() { return 500; }

int32_t LoadCatalogueString(uint32_t id, char* buf, int32_t max) {
    static const char* const kEntries[] = {VANDU_CATALOGUE_ENTRIES};
    if (max <= 0) return 0;
    buf[0] = '\0';
    if (id < VANDU_CAT_FIRST || id > VANDU_CAT_LAST) return 0;
    const char* s = kEntries[id - VANDU_CAT_FIRST];
    int32_t n = static_cast<int32_t>(std::strlen(s));
    if (n > max - 1) n = max - 1;
    std::memcpy(buf, s, static_cast<size_t>(n));
    buf[n] = '\0';
    return n;
}

}  // namespace plat
