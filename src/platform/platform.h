// The thin layer over the operating system that the core uses. One body for
// Win32 (platform_win32.cpp) and one for POSIX (platform_posix.cpp); nothing
// else in the core calls the system directly.
//
// Error codes are Win32 system error codes in both bodies (the POSIX body
// maps errno), so a failed file operation reports the same code everywhere.
#pragma once
#include <cstdint>

namespace plat {

// An open list file; null when none.
typedef void* FileHandle;

// Win32 error codes that the core and the tests name.
constexpr uint32_t kErrFileNotFound = 2;
constexpr uint32_t kErrAccessDenied = 5;
constexpr uint32_t kErrNotEnoughMemory = 8;
constexpr uint32_t kErrWriteFault = 29;
constexpr uint32_t kErrReadFault = 30;
constexpr uint32_t kErrSharingViolation = 32;
constexpr uint32_t kErrHandleEof = 38;
constexpr uint32_t kErrDiskFull = 112;
constexpr uint32_t kErrIoDevice = 1117;

// Opens an existing file. Other readers are admitted, other writers refused.
// forWrite asks for read and write access. Returns 0 or a system error code;
// *out is null on failure.
uint32_t OpenFile(const char* path, bool forWrite, FileHandle* out);
// The file's size in bytes; false when it cannot be determined.
bool FileSize(FileHandle f, uint64_t* size);
// Reads exactly n bytes from the file's start. 0 or a system error code
// (a short read is an error: kErrHandleEof).
uint32_t ReadFromStart(FileHandle f, void* buf, uint32_t n);
// Writes n bytes at offset 0. 0 or a system error code.
uint32_t WriteFromStart(FileHandle f, const void* buf, uint32_t n);
// Makes the file exactly size bytes long, reserving the space when it grows,
// so that a full disk fails here rather than half way through a write.
uint32_t SetFileEnd(FileHandle f, uint32_t size);
void CloseFile(FileHandle f);

// Last-write time of the file at path, in 100-ns units since 1601-01-01 UTC,
// found by a directory look-up (the file is not opened). False when absent.
bool LastWriteTime(const char* path, uint64_t* fileTime);

struct CalendarTime {
    uint16_t year, month, day, hour, minute, second;
};
// Local calendar date and time of a file time. False when it cannot convert.
bool LocalCalendar(uint64_t fileTime, CalendarTime* out);

// Milliseconds since system start (wraps every 49.7 days).
uint32_t TickCount();

// Wait cursor around long work: returns the cursor to restore.
void* ShowWaitCursor();
void RestoreCursor(void* previous);

// Sounds.
void Beep(uint32_t frequency, uint32_t milliseconds);
void MessageBeepAsterisk();

// System settings read once at load.
uint32_t KeyboardDelaySetting();   // 0..3
uint32_t DoubleClickTime();        // milliseconds

// Catalogue string number id (13005..13024) into buf, NUL-terminated, at
// most max - 1 characters. Returns the number of characters, 0 if absent.
int32_t LoadCatalogueString(uint32_t id, char* buf, int32_t max);

}  // namespace plat
