// AddLine, EditLine and RemoveLine: change the memory copy of a list and
// write the whole list file back at once. The file stays the master copy: a
// memory copy that is not current is re-read first.
//
// The result tells what happened. A command that returns a failure leaves
// the file's old bytes (it puts them back after a failed write) and the list
// as it was: its lines, selection, sort column and file time. A command that
// returns 0 has written the new bytes and holds the new lines. Bytes after
// the file's last whole line (a last line saved without its line end) are
// not a line; they stay the file's last bytes through every edit.
#include <cstring>

#include "entry/globals.h"
#include "entry/params.h"
#include "lists/commands.h"
#include "lists/line_division.h"
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
    ListRec before;                // the record as it was, put back on failure
    XPHandle keptLines = nullptr;  // the list's buffer while a re-read copy is used
    plat::FileHandle file = nullptr;
    uint32_t fileSize = 0;
};

Edit Begin(Globals* g, EditKind kind) {
    Edit e{g, g->curList, kind, *g->curList};
    return e;
}

void CloseEditFile(Edit* e) {
    plat::CloseFile(e->file);
    e->file = nullptr;
}

// Ends a failed command: the file closed, the list's buffer and fields as
// they were before the command. The caller has put back any bytes it moved
// in a buffer that stays.
int16_t Fail(Edit* e, int16_t result) {
    CloseEditFile(e);
    ListRec* l = e->list;
    XPHandle lines = l->lines;  // grown in place or moved: the same lines
    if (e->keptLines) {
        DisposeXPHandle(lines);
        lines = e->keptLines;
        e->keptLines = nullptr;
    }
    *l = e->before;
    l->lines = lines;
    return result;
}

// Ends a command whose new bytes are written: records the file's new time
// and lets the buffer it replaced go. When that time cannot be read the
// change still stands (the file holds it); the copy is marked so that the
// next command re-reads the file instead of trusting a time it never saw.
void Finish(Edit* e) {
    CloseEditFile(e);
    uint64_t t = 0;
    if (GetModDate(e->g, e->list, &t) != 0) e->list->staleCopy = 1;
    SetListFileTime(e->list, t);
    if (e->keptLines) DisposeXPHandle(e->keptLines);
    e->keptLines = nullptr;
}

// A write-back failed: writes the file's old bytes (old, fileSize of them,
// which the caller has put back in its buffer) as far as the system lets it.
void RestoreFile(Edit* e, const uint8_t* old) {
    if (e->fileSize != 0) plat::WriteFromStart(e->file, old, e->fileSize);
    plat::SetFileEnd(e->file, e->fileSize);
}

// Ends a command whose write-back failed, the file's old bytes put back: the
// list as it was. The file was written to all the same, so the next command
// re-reads it.
int16_t WriteFailed(Edit* e, uint32_t err) {
    Fail(e, static_cast<int16_t>(err));
    e->list->staleCopy = 1;
    return static_cast<int16_t>(err);
}

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

// Reads the whole file into a new buffer, with room for one more line when
// adding; the list's buffer is kept aside until the command ends. kOk,
// kOutOfMemory, or the system's error code of the read.
int16_t Reread(Edit* e) {
    ListRec* l = e->list;
    const uint32_t extra = e->kind == kAdd ? static_cast<uint32_t>(l->lineSize) : 0;
    XPHandle fresh = NewXPHandle(e->fileSize + extra + 2);
    if (!fresh) return kOutOfMemory;
    uint32_t err;
    {
        LockedHandle locked(fresh);
        uint8_t* buf = locked.bytes();
        err = e->fileSize ? plat::ReadFromStart(e->file, buf, e->fileSize) : 0;
        buf[e->fileSize + extra] = buf[e->fileSize + extra + 1] = 0;  // the spare bytes
    }
    if (err != 0) {
        DisposeXPHandle(fresh);
        return static_cast<int16_t>(err);
    }
    e->keptLines = l->lines;
    l->lines = fresh;
    l->lineCount = static_cast<int32_t>(e->fileSize / static_cast<uint32_t>(l->lineSize));
    l->sortCol = l->fileSortCol;
    l->staleCopy = 0;
    return kOk;
}

// Whether the file's bytes in the list's buffer are lines of the list's
// width: the first line's line end where the width puts it, and every whole
// line ending in the terminator. Bytes after the last whole line are no line
// and pass. A file cut at other places would be rewritten with its lines cut
// apart (a width taken from the text of a list whose load failed, another
// program's lines of another width, a short line that the load let pass).
bool CopyIsWholeLines(const Edit* e) {
    const ListRec* l = e->list;
    const int32_t whole = static_cast<int32_t>(e->fileSize / static_cast<uint32_t>(l->lineSize));
    if (whole == 0) return true;
    LockedHandle locked(l->lines);
    const uint8_t* buf = locked.bytes();
    int16_t lineSize = 0;
    uint8_t term = kTermNone;
    return FirstLineEnd(buf, e->fileSize, &lineSize, &term) && lineSize == l->lineSize &&
           term == l->terminator && FirstUnendedLine(buf, whole, lineSize, term) == whole;
}

// Steps shared by the three commands up to the point where the change is
// made: parameters, line image, key, file open, size and an up-to-date copy
// that divides into lines of the list's width. Returns kOk with the file
// open, or the command's failure.
int16_t Prepare(Edit* e) {
    Globals* g = e->g;
    ListRec* l = e->list;
    if (g->paramCount < 2) return kParamError;
    if (ParamText(g, 2, 255, g->textBuf) == 0) return kParamError;
    if (!PrepLine(g, l)) return kParamError;
    if (!CutKey(g, l, e->kind)) return kParamError;
    int16_t r = OpenListFile(l, &e->file, true);
    if (r != kOk) return r;

    uint64_t size = 0;
    if (!plat::FileSize(e->file, &size) || size > kMaxFileSize) return kOutOfMemory;
    e->fileSize = static_cast<uint32_t>(size);

    bool current = false;
    r = MemCopyCurrent(g, l, &current);
    if (r != kOk) return r;
    const bool reread = !current || !CopyMatchesFile(e);
    if (reread) {
        r = Reread(e);
        if (r != kOk) return r;
    }
    if (!CopyIsWholeLines(e)) return kUnequalLines;
    if (e->kind == kAdd && !reread) {
        // The record is packed: grow a copy of the handle, then store it.
        XPHandle lines = l->lines;
        const bool grown = GrowTheHandle(&lines, static_cast<uint32_t>(l->lineSize));
        l->lines = lines;
        if (!grown) return kOutOfMemory;
    }
    return kOk;
}

uint8_t* LineAt(uint8_t* base, const ListRec* l, int32_t i) {
    return base + static_cast<size_t>(i) * static_cast<uint32_t>(l->lineSize);
}

// Writes the buffer's first newSize bytes over the file and gives the file
// that length: a longer file gets its new end first, so that a full disk
// fails before any byte of content changes; a shorter one is cut after the
// write; one of the same length keeps its end. 0, or the system's error code.
uint32_t WriteBack(Edit* e, const uint8_t* base, uint32_t newSize) {
    if (newSize > e->fileSize) {
        const uint32_t err = plat::SetFileEnd(e->file, newSize);
        return err != 0 ? err : plat::WriteFromStart(e->file, base, newSize);
    }
    const uint32_t err = newSize ? plat::WriteFromStart(e->file, base, newSize) : 0;
    return err != 0 || newSize == e->fileSize ? err : plat::SetFileEnd(e->file, newSize);
}

}  // namespace

int16_t DoAddLine(Globals* g) {
    Edit e = Begin(g, kAdd);
    const int16_t r = Prepare(&e);
    if (r != kOk) return Fail(&e, r);
    ListRec* l = e.list;

    int32_t p = FindLine(g, false, l, l->fileSortCol, g->textBuf2);
    if (p < 0) p = l->lineCount;

    // The lines from p on and the bytes after the last whole line move up by
    // one line; the new line, terminator and all, goes into the gap.
    const uint32_t size = static_cast<uint32_t>(l->lineSize);
    uint32_t err;
    {
        LockedHandle locked(l->lines);
        uint8_t* base = locked.bytes();
        uint8_t* at = LineAt(base, l, p);
        const size_t moved = e.fileSize - static_cast<size_t>(p) * size;
        std::memmove(at + size, at, moved);
        std::memcpy(at, g->textBuf + 1, size);
        err = WriteBack(&e, base, e.fileSize + size);
        if (err != 0) {
            std::memmove(at, at + size, moved);
            RestoreFile(&e, base);
        }
    }
    if (err != 0) return WriteFailed(&e, err);
    Finish(&e);
    l->selLine = p;
    l->sortCol = l->fileSortCol;
    ++l->lineCount;
    l->selStamp = l->changeStamp = FreshStamp(l->selStamp);
    return kOk;
}

int16_t DoEditLine(Globals* g) {
    Edit e = Begin(g, kEdit);
    int16_t r = Prepare(&e);
    if (r != kOk) return Fail(&e, r);
    ListRec* l = e.list;

    if (e.fileSize == 0) return Fail(&e, kListEmpty);
    const int32_t p = FindLine(g, true, l, l->rsnCol, g->textBuf2);
    if (p < 0) return Fail(&e, kLineNotFound);

    const int32_t size = l->lineSize;
    l->selLine = p;
    l->selStamp = l->changeStamp = FreshStamp(l->selStamp);
    uint32_t err = 0;
    uint8_t* oldFile = nullptr;
    {
        LockedHandle locked(l->lines);
        uint8_t* base = locked.bytes();
        uint8_t* line = LineAt(base, l, p);
        int32_t n = size - l->fileSortCol;
        if (n > 28) n = 28;
        const bool keyChanged =
            n > 0 && std::memcmp(line + l->fileSortCol - 1, g->textBuf + 1 + l->fileSortCol - 1,
                                 static_cast<size_t>(n)) != 0;

        // What a failure puts back: the old line, or the whole old content
        // when a re-sort is to move the lines.
        uint8_t oldLine[kMaxImageSize];
        std::memcpy(oldLine, line, static_cast<size_t>(size));
        if (keyChanged) {
            oldFile = static_cast<uint8_t*>(NewXPPointer(e.fileSize));
            if (oldFile)
                std::memcpy(oldFile, base, e.fileSize);
            else
                r = kOutOfMemory;
        }
        if (r == kOk) {
            std::memcpy(line, g->textBuf + 1, static_cast<size_t>(size));
            if (keyChanged) {
                locked.Unlock();
                // Written unsorted, the file would lose its order: a sort
                // that cannot run fails the command before the file is touched.
                if (!DoQSort(g, l, l->fileSortCol)) r = kOutOfMemory;
                base = locked.Lock();
            }
            // The file keeps its length: the same number of bytes are rewritten.
            if (r == kOk) err = WriteBack(&e, base, e.fileSize);
            if (r != kOk || err != 0) {
                if (oldFile)
                    std::memcpy(base, oldFile, e.fileSize);
                else
                    std::memcpy(line, oldLine, static_cast<size_t>(size));
                if (err != 0) RestoreFile(&e, base);
            }
        }
    }
    DisposeXPPointer(oldFile);
    if (r != kOk) return Fail(&e, r);
    if (err != 0) return WriteFailed(&e, err);
    Finish(&e);
    l->sortCol = l->fileSortCol;
    return kOk;
}

int16_t DoRemoveLine(Globals* g) {
    Edit e = Begin(g, kRemove);
    const int16_t r = Prepare(&e);
    if (r != kOk) return Fail(&e, r);
    ListRec* l = e.list;

    const int32_t p = FindLine(g, true, l, l->rsnCol, g->textBuf2);
    if (p < 0) return Fail(&e, kLineNotFound);

    // The lines after p and the bytes after the last whole line move down by
    // one line.
    const uint32_t size = static_cast<uint32_t>(l->lineSize);
    const uint32_t newSize = e.fileSize - size;
    uint32_t err;
    {
        uint8_t removed[kMaxImageSize];
        LockedHandle locked(l->lines);
        uint8_t* base = locked.bytes();
        uint8_t* at = LineAt(base, l, p);
        const size_t moved = e.fileSize - static_cast<size_t>(p + 1) * size;
        std::memcpy(removed, at, size);
        std::memmove(at, at + size, moved);
        err = WriteBack(&e, base, newSize);
        if (err != 0) {
            std::memmove(at + size, at, moved);
            std::memcpy(at, removed, size);
            RestoreFile(&e, base);
        }
    }
    if (err != 0) return WriteFailed(&e, err);
    // The buffer now holds one line less; a failure to shrink is harmless.
    XPHandle lines = l->lines;
    ResizeXPHandle(&lines, newSize ? newSize : 1);
    l->lines = lines;

    Finish(&e);
    --l->lineCount;
    l->selLine = p < l->lineCount ? p : p - 1;
    l->sortCol = l->fileSortCol;
    l->selStamp = l->changeStamp = FreshStamp(l->selStamp);
    return kOk;
}
