// Win32 body of the platform layer.
#include <windows.h>

#include "platform/fault.h"
#include "platform/module.h"
#include "platform/platform.h"

namespace plat {
namespace {
uint32_t LastErrorOr(uint32_t fallback) {
    const DWORD e = GetLastError();
    return e ? static_cast<uint32_t>(e) : fallback;
}
}  // namespace

uint32_t OpenFile(const char* path, bool forWrite, FileHandle* out) {
    *out = nullptr;
    if (fault::Hit(fault::kFile)) return kErrSharingViolation;
    SECURITY_ATTRIBUTES sa;
    sa.nLength = sizeof sa;
    sa.lpSecurityDescriptor = nullptr;
    sa.bInheritHandle = FALSE;
    const DWORD access = forWrite ? (GENERIC_READ | GENERIC_WRITE) : GENERIC_READ;
    HANDLE h = CreateFileA(path, access, FILE_SHARE_READ, &sa, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastErrorOr(kErrFileNotFound);
    *out = h;
    return 0;
}

bool FileSize(FileHandle f, uint64_t* size) {
    if (fault::Hit(fault::kFile)) return false;
    LARGE_INTEGER li;
    if (!GetFileSizeEx(static_cast<HANDLE>(f), &li) || li.QuadPart < 0) return false;
    *size = static_cast<uint64_t>(li.QuadPart);
    return true;
}

uint32_t ReadFromStart(FileHandle f, void* buf, uint32_t n) {
    if (fault::Hit(fault::kFile)) return kErrReadFault;
    HANDLE h = static_cast<HANDLE>(f);
    if (SetFilePointer(h, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return LastErrorOr(kErrReadFault);
    DWORD got = 0;
    if (!ReadFile(h, buf, n, &got, nullptr)) return LastErrorOr(kErrReadFault);
    return got == n ? 0 : kErrHandleEof;
}

uint32_t WriteFromStart(FileHandle f, const void* buf, uint32_t n) {
    if (fault::Hit(fault::kFile)) return kErrDiskFull;
    HANDLE h = static_cast<HANDLE>(f);
    if (SetFilePointer(h, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return LastErrorOr(kErrWriteFault);
    DWORD put = 0;
    if (!WriteFile(h, buf, n, &put, nullptr)) return LastErrorOr(kErrWriteFault);
    return put == n ? 0 : kErrWriteFault;
}

uint32_t SetFileEnd(FileHandle f, uint32_t size) {
    if (fault::Hit(fault::kFile)) return kErrDiskFull;
    HANDLE h = static_cast<HANDLE>(f);
    LARGE_INTEGER li;
    li.QuadPart = size;
    if (!SetFilePointerEx(h, li, nullptr, FILE_BEGIN)) return LastErrorOr(kErrWriteFault);
    if (!SetEndOfFile(h)) return LastErrorOr(kErrWriteFault);
    return 0;
}

void CloseFile(FileHandle f) {
    if (f) CloseHandle(static_cast<HANDLE>(f));
}

bool LastWriteTime(const char* path, uint64_t* fileTime) {
    if (fault::Hit(fault::kFile)) return false;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(path, &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    *fileTime = (static_cast<uint64_t>(fd.ftLastWriteTime.dwHighDateTime) << 32) |
                fd.ftLastWriteTime.dwLowDateTime;
    return true;
}

bool LocalCalendar(uint64_t fileTime, CalendarTime* out) {
    FILETIME utc, local;
    utc.dwLowDateTime = static_cast<DWORD>(fileTime);
    utc.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return false;
    out->year = st.wYear;
    out->month = st.wMonth;
    out->day = st.wDay;
    out->hour = st.wHour;
    out->minute = st.wMinute;
    out->second = st.wSecond;
    return true;
}

uint32_t TickCount() { return GetTickCount(); }

namespace {
HCURSOR SharedCursor(LPCSTR id) {
    return static_cast<HCURSOR>(
        LoadImageA(nullptr, id, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}
}  // namespace

void* ShowWaitCursor() { return SetCursor(SharedCursor(IDC_WAIT)); }

void RestoreCursor(void* previous) {
    SetCursor(previous ? static_cast<HCURSOR>(previous) : SharedCursor(IDC_ARROW));
}

void Beep(uint32_t frequency, uint32_t milliseconds) { ::Beep(frequency, milliseconds); }

void MessageBeepAsterisk() { MessageBeep(MB_ICONASTERISK); }

uint32_t KeyboardDelaySetting() {
    int delay = 1;
    if (!SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0)) delay = 1;
    if (delay < 0) delay = 0;
    if (delay > 3) delay = 3;
    return static_cast<uint32_t>(delay);
}

uint32_t DoubleClickTime() { return GetDoubleClickTime(); }

int32_t LoadCatalogueString(uint32_t id, char* buf, int32_t max) {
    if (max <= 0) return 0;
    buf[0] = '\0';
    return LoadStringA(static_cast<HINSTANCE>(hInstLib), id, buf, max);
}

}  // namespace plat
