// AddLine, EditLine and RemoveLine: change the memory copy of a list and
// write the whole list file back at once. The file stays the master copy: a
// memory copy that is not current is re-read first, and a failed write-back
// never leaves the file half changed when it can be helped. Bytes after the
// file's last whole line (a last line saved without its line end) are not a
// line; they stay the file's last bytes through every edit.
#include <cstring>

#include "entry/globals.h"
#include "entry/params.h"
#include "lists/commands.h"
#include "lists/registry.h"
#include "lists/search.h"
#include "lists/sort.h"
#include "platform/platform.h"

namespace {

enum EditKind { kAdd, kEdit, kRemove };

constexpr uint64_t kMaxFileSize = 0x7FFFFFFFull;
constexpr int32_t kSortKeyMax = 31;
constexpr int32_t kRsnBytesMax = 30;

// One editing command's state between its steps.
struct Edit {
    Globals* g;
    ListRec* list;
    EditKind kind;
    plat::FileHandle file = nullptr;
    uint32_t fileSize = 0;
};

// Cuts the search key out of the line image in textBuf into textBuf2: the
// sort key from fileSortCol (AddLine) or the RSN key from rsnCol. False when
// the key column lies beyond the line.
bool CutKey(Globals* g, const ListRec* list, EditKind kind) {
    const uint8_t* image = g->textBuf + 1;
    const int32_t size = list->lineSize;
    uint8_t* key = g->textBuf2;
    const int32_t column = kind == kAdd ? list->fileSortCol : list->rsnCol;
    if (column < 1 || column - 1 >= size) return false;
    const uint8_t* from = image + column - 1;
    int32_t avail = size - column + 1;
    if (kind == kAdd) {
        const int32_t n = avail < kSortKeyMax ? avail : kSortKeyMax;
        key[0] = static_cast<uint8_t>(n);
        std::memcpy(key + 1, from, static_cast<size_t>(n));
        return true;
    }
    if (avail > kRsnBytesMax) avail = kRsnBytesMax;
    int32_t n = 0;
    while (n < avail && from[n] != ' ') ++n;
    if (n < avail) {
        std::memcpy(key + 1, from, static_cast<size_t>(n) + 1);  // with its space
        key[0] = static_cast<uint8_t>(n + 1);
    } else {
        std::memcpy(key + 1, from, static_cast<size_t>(n));
        key[n + 1] = ' ';
        key[0] = static_cast<uint8_t>(n + 1);
    }
    return true;
}

void CloseEditFile(Edit* e) {
    plat::CloseFile(e->file);
    e->file = nullptr;
}

// Whether the memory copy can be edited as it is: current by MemCopyCurrent
// and consistent with the file's size, the bytes after the last whole line
// included (a change within the file-time granularity must not make a write
// run past the buffer).
bool CopyMatchesFile(const Edit* e) {
    const ListRec* l = e->list;
    if (l->fileSortCol != l->sortCol || !l->lines) return false;
    const uint32_t size = static_cast<uint32_t>(l->lineSize);
    if (static_cast<uint32_t>(l->lineCount) != e->fileSize / size) return false;
    return SizeXPHandle(l->lines) >= e->fileSize;
}

// Re-reads the whole file into a new buffer with room for one more line when
// adding. 0, kOutOfMemory, or the system's error code of the read.
int16_t Reread(Edit* e) {
    ListRec* l = e->list;
    if (l->lines) DisposeXPHandle(l->lines);
    l->lines = nullptr;
    l->lineCount = 0;
    const uint32_t extra = e->kind == kAdd ? static_cast<uint32_t>(l->lineSize) : 0;
    l->lines = NewXPHandle(e->fileSize + extra + 2);
    if (!l->lines) return kOutOfMemory;
    uint8_t* buf = static_cast<uint8_t*>(LockXPHandle(l->lines));
    const uint32_t err = e->fileSize ? plat::ReadFromStart(e->file, buf, e->fileSize) : 0;
    UnlockXPHandle(l->lines);
    if (err != 0) {
        l->staleCopy = 1;
        return static_cast<int16_t>(err);
    }
    l->lineCount = static_cast<int32_t>(e->fileSize / static_cast<uint32_t>(l->lineSize));
    l->sortCol = l->fileSortCol;
    l->staleCopy = 0;
    return kOk;
}

// Steps shared by the three commands up to the point where the change is
// made: parameters, line image, key, file open, size and an up-to-date copy.
// Returns 0 with the file open, or the command's result with it closed.
int16_t Prepare(Edit* e) {
    Globals* g = e->g;
    ListRec* l = e->list;
    if (g->paramCount < 2) return kParamError;
    if (ParamText(g, 2, 255, g->textBuf) == 0) return kParamError;
    if (!PrepLine(g, l)) return kParamError;
    if (!CutKey(g, l, e->kind)) return kParamError;
    if (OpenListFile(l, &e->file, true) != 0) return kCannotOpen;

    uint64_t size = 0;
    if (!plat::FileSize(e->file, &size) || size > kMaxFileSize) {
        CloseEditFile(e);
        return kOutOfMemory;
    }
    e->fileSize = static_cast<uint32_t>(size);

    const int16_t current = MemCopyCurrent(g, l);
    if (current == kFileNotFound) {
        CloseEditFile(e);
        return kFileNotFound;
    }
    if (current == 0 && CopyMatchesFile(e)) {
        if (e->kind == kAdd) {
            // The record is packed: grow a copy of the handle, then store it.
            XPHandle lines = l->lines;
            const int16_t grown = GrowTheHandle(&lines, static_cast<uint32_t>(l->lineSize));
            l->lines = lines;
            if (grown != 0) {
                CloseEditFile(e);
                return kOutOfMemory;
            }
        }
        return kOk;
    }
    const int16_t r = Reread(e);
    if (r == kOk) return kOk;
    CloseEditFile(e);
    // A list left without any buffer is dropped; a list that an area shows
    // stays in the table without lines.
    if (r == kOutOfMemory && !l->lines) DoUnloadList(g);
    return r;
}

uint8_t* LineAt(uint8_t* base, const ListRec* l, int32_t i) {
    return base + static_cast<size_t>(i) * static_cast<uint32_t>(l->lineSize);
}

// Records the file's new time after a write-back; the command's result.
int16_t Finish(Edit* e) {
    CloseEditFile(e);
    uint64_t t = 0;
    const int16_t r = GetModDate(e->g, e->list, &t);
    SetListFileTime(e->list, t);
    return r;
}

// A write-back failed: the next command re-reads the file.
int16_t WriteFailed(Edit* e, uint32_t err) {
    e->list->staleCopy = 1;
    CloseEditFile(e);
    return static_cast<int16_t>(err);
}

}  // namespace

int16_t DoAddLine(Globals* g) {
    Edit e{g, g->curList, kAdd};
    int16_t r = Prepare(&e);
    if (r != kOk) return r;
    ListRec* l = e.list;

    int32_t p = FindLine(g, false, l, l->fileSortCol, g->textBuf2);
    if (p < 0) p = l->lineCount;

    // The lines from p on and the bytes after the last whole line move up by
    // one line; the new line, terminator and all, goes into the gap.
    const uint32_t size = static_cast<uint32_t>(l->lineSize);
    uint8_t* base = static_cast<uint8_t*>(LockXPHandle(l->lines));
    uint8_t* at = LineAt(base, l, p);
    const size_t moved = e.fileSize - static_cast<size_t>(p) * size;
    std::memmove(at + size, at, moved);
    std::memcpy(at, g->textBuf + 1, size);

    // Set the new end first so that a full disk fails before any byte of
    // content changes; then write the file.
    const uint32_t newSize = e.fileSize + size;
    uint32_t err = plat::SetFileEnd(e.file, newSize);
    if (err == 0) {
        err = plat::WriteFromStart(e.file, base, newSize);
        if (err != 0) {
            // Put the old bytes and length back as far as the system lets us.
            std::memmove(at, at + size, moved);
            plat::WriteFromStart(e.file, base, e.fileSize);
            plat::SetFileEnd(e.file, e.fileSize);
            UnlockXPHandle(l->lines);
            return WriteFailed(&e, err);
        }
    } else {
        std::memmove(at, at + size, moved);
        UnlockXPHandle(l->lines);
        return WriteFailed(&e, err);
    }
    r = Finish(&e);
    l->selLine = p;
    l->sortCol = l->fileSortCol;
    ++l->lineCount;
    l->selStamp = l->changeStamp = FreshStamp(l->selStamp);
    UnlockXPHandle(l->lines);
    return r;
}

int16_t DoEditLine(Globals* g) {
    Edit e{g, g->curList, kEdit};
    int16_t r = Prepare(&e);
    if (r != kOk) return r;
    ListRec* l = e.list;

    if (e.fileSize == 0) {
        CloseEditFile(&e);
        uint64_t t = 0;
        GetModDate(g, l, &t);
        SetListFileTime(l, t);
        l->sortCol = l->fileSortCol;
        return kListEmpty;
    }
    const int32_t p = FindLine(g, true, l, l->rsnCol, g->textBuf2);
    if (p < 0) {
        CloseEditFile(&e);
        return kLineNotFound;
    }

    const int32_t size = l->lineSize;
    l->selLine = p;
    l->selStamp = l->changeStamp = FreshStamp(l->selStamp);
    uint8_t* base = static_cast<uint8_t*>(LockXPHandle(l->lines));
    uint8_t* line = LineAt(base, l, p);
    int32_t n = size - l->fileSortCol;
    if (n > 28) n = 28;
    const bool keyChanged =
        n > 0 && std::memcmp(line + l->fileSortCol - 1, g->textBuf + 1 + l->fileSortCol - 1,
                             static_cast<size_t>(n)) != 0;
    uint8_t old[kMaxImageSize];
    std::memcpy(old, line, static_cast<size_t>(size));
    std::memcpy(line, g->textBuf + 1, static_cast<size_t>(size));
    if (keyChanged) {
        UnlockXPHandle(l->lines);
        if (!DoQSort(g, l, l->fileSortCol)) {
            // Written unsorted, the file would lose its order: put the old
            // line back and leave the file as it is.
            base = static_cast<uint8_t*>(LockXPHandle(l->lines));
            std::memcpy(LineAt(base, l, p), old, static_cast<size_t>(size));
            UnlockXPHandle(l->lines);
            CloseEditFile(&e);
            return kOutOfMemory;
        }
        base = static_cast<uint8_t*>(LockXPHandle(l->lines));
    }

    // The file keeps its length: the same number of bytes are rewritten.
    const uint32_t err = plat::WriteFromStart(e.file, base, e.fileSize);
    UnlockXPHandle(l->lines);
    if (err != 0) return WriteFailed(&e, err);
    r = Finish(&e);
    l->sortCol = l->fileSortCol;
    return r;
}

int16_t DoRemoveLine(Globals* g) {
    Edit e{g, g->curList, kRemove};
    int16_t r = Prepare(&e);
    if (r != kOk) return r;
    ListRec* l = e.list;

    const int32_t p = FindLine(g, true, l, l->rsnCol, g->textBuf2);
    if (p < 0) {
        CloseEditFile(&e);
        return kLineNotFound;
    }

    // The lines after p and the bytes after the last whole line move down by
    // one line.
    const uint32_t size = static_cast<uint32_t>(l->lineSize);
    uint8_t removed[kMaxImageSize];
    uint8_t* base = static_cast<uint8_t*>(LockXPHandle(l->lines));
    uint8_t* at = LineAt(base, l, p);
    const size_t moved = e.fileSize - static_cast<size_t>(p + 1) * size;
    std::memcpy(removed, at, size);
    std::memmove(at, at + size, moved);

    const uint32_t newSize = e.fileSize - size;
    uint32_t err = newSize ? plat::WriteFromStart(e.file, base, newSize) : 0;
    if (err == 0) err = plat::SetFileEnd(e.file, newSize);
    if (err != 0) {
        // Put the removed line back and rewrite the old content, so that the
        // file does not keep a mixture of old and new lines.
        std::memmove(at + size, at, moved);
        std::memcpy(at, removed, size);
        plat::WriteFromStart(e.file, base, e.fileSize);
        UnlockXPHandle(l->lines);
        return WriteFailed(&e, err);
    }
    UnlockXPHandle(l->lines);
    // The buffer now holds one line less; a failure to shrink is harmless.
    XPHandle lines = l->lines;
    ResizeXPHandle(&lines, newSize ? newSize : 1);
    l->lines = lines;

    r = Finish(&e);
    --l->lineCount;
    l->selLine = p < l->lineCount ? p : p - 1;
    l->sortCol = l->fileSortCol;
    l->selStamp = l->changeStamp = FreshStamp(l->selStamp);
    return r;
}
