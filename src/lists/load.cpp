// LoadList and UnloadList: a list file read whole into one buffer and divided
// into fixed-length lines arithmetically.
#include <cstring>

#include "entry/globals.h"
#include "entry/params.h"
#include "lists/commands.h"
#include "lists/line_division.h"
#include "lists/registry.h"
#include "platform/platform.h"

namespace {

constexpr uint64_t kMaxFileSize = 0x7FFFFFFFull;  // below 2 GiB

// Resizes the locked list table to hold count records, keeping it locked.
// False, with the table as before, when the block cannot be resized.
bool ResizeListTable(Globals* g, int16_t count) {
    UnlockXPHandle(g->listTableHandle);
    const uint32_t size = 2 + static_cast<uint32_t>(count) * sizeof(ListRec);
    const bool ok = ResizeXPHandle(&g->listTableHandle, size) == 0;
    g->listTable = LockXPHandle(g->listTableHandle);
    return ok;
}

// Appends a zero-filled record named after the current call's list name.
int16_t CreateList(Globals* g) {
    int16_t* count = static_cast<int16_t*>(g->listTable);
    if (*count == INT16_MAX) return kOutOfMemory;
    const int16_t n = static_cast<int16_t>(*count + 1);
    if (!ResizeListTable(g, n)) return kOutOfMemory;
    *static_cast<int16_t*>(g->listTable) = n;
    ListRec* l = ListTableRecord(g->listTable, n);
    ClearMemBlock(l, sizeof(ListRec));
    std::memcpy(l->name, g->listName, static_cast<size_t>(g->listName[0]) + 1);
    g->curListIndex = n;
    g->curList = l;
    return kOk;
}

// The present-without-lines state: no buffer, no lines, no width.
void DropLines(ListRec* l) {
    if (l->lines) DisposeXPHandle(l->lines);
    l->lines = nullptr;
    l->lineCount = 0;
    l->lineSize = 0;
    l->terminator = kTermNone;
    l->staleCopy = 0;
}

// Divides the buffer into lines from the first line's terminator.
// Returns 0, or 9 when the first line has no terminator, begins with a NUL
// before its terminator, is too long for the line size, or a later line does
// not end with the terminator (the lines stay divided then).
int16_t DivideLines(ListRec* l, const uint8_t* buf, uint32_t size) {
    int16_t lineSize = 0;
    uint8_t term = kTermNone;
    if (!FirstLineEnd(buf, size, &lineSize, &term)) return kUnequalLines;
    l->terminator = term;
    l->lineSize = lineSize;
    l->lineCount = static_cast<int32_t>(size / static_cast<uint32_t>(lineSize));
    // The last line's end is not checked: a last line cut short is a
    // partial line, not a fault.
    const int32_t checked = l->lineCount - 1;
    return FirstUnendedLine(buf, checked, lineSize, term) < checked ? kUnequalLines : kOk;
}

}  // namespace

int16_t DoLoadList(Globals* g) {
    if (g->paramCount < 4) {
        g->errorParam = 4;
        return kParamError;
    }
    uint8_t* path = g->textBuf;
    if (ParamText(g, 2, 255, path) == 0) {
        g->errorParam = 2;
        return kParamError;
    }
    const int16_t sortCol = ParamInt(g, 3);
    if (sortCol <= 0) {
        g->errorParam = 3;
        return kParamError;
    }
    const int16_t rsnCol = ParamInt(g, 4);
    if (rsnCol <= 0) {
        g->errorParam = 4;
        return kParamError;
    }

    if (g->curListIndex != 0) {
        DropLines(g->curList);
    } else {
        const int16_t r = CreateList(g);
        if (r != kOk) return r;
    }
    ListRec* l = g->curList;
    std::memcpy(l->path, path, static_cast<size_t>(path[0]) + 2);
    l->fileSortCol = sortCol;
    l->sortCol = sortCol;
    l->rsnCol = rsnCol;

    plat::FileHandle file;
    const int16_t opened = OpenListFile(l, &file, false);
    if (opened != kOk) return opened;
    uint64_t size64 = 0;
    if (!plat::FileSize(file, &size64) || size64 > kMaxFileSize) {
        plat::CloseFile(file);
        return kOutOfMemory;
    }
    const uint32_t size = static_cast<uint32_t>(size64);
    l->lines = NewXPHandle(size + 2);
    if (!l->lines) {
        plat::CloseFile(file);
        return kOutOfMemory;
    }
    LockedHandle locked(l->lines);
    uint8_t* buf = locked.bytes();
    l->lineCount = 0;
    l->lineSize = 0;
    l->selLine = 0;
    // The spare bytes are never part of a line; keep them defined.
    buf[size] = 0;
    buf[size + 1] = 0;
    if (size != 0) {
        const uint32_t err = plat::ReadFromStart(file, buf, size);
        if (err != 0) {
            plat::CloseFile(file);
            locked.Unlock();
            DisposeXPHandle(l->lines);
            l->lines = nullptr;
            return static_cast<int16_t>(err);
        }
    }
    plat::CloseFile(file);
    l->changeStamp = l->selStamp = FreshStamp(l->selStamp);

    uint64_t fileTime = 0;
    const int16_t found = GetModDate(g, l, &fileTime);
    if (found != kOk) return found;
    SetListFileTime(l, fileTime);

    if (size != 0) {
        const int16_t r = DivideLines(l, buf, size);
        if (r != kOk) return r;
    }
    locked.Unlock();
    if (g->paramCount >= 5) SetFldLong(static_cast<int16_t>(kRefParam1 + 4), l->lineCount, g->callback);
    if (g->paramCount >= 6) SetFldInt(static_cast<int16_t>(kRefParam1 + 5), l->lineSize, g->callback);
    return kOk;
}

int16_t DoUnloadList(Globals* g) {
    ListRec* l = g->curList;
    if (l->subscriberCount != 0) return kListShown;
    if (l->lines) {
        DisposeXPHandle(l->lines);
        l->lines = nullptr;
    }
    int16_t* count = static_cast<int16_t*>(g->listTable);
    const int16_t index = g->curListIndex;
    if (index < *count)
        std::memmove(l, l + 1, static_cast<size_t>(*count - index) * sizeof(ListRec));
    const int16_t n = static_cast<int16_t>(*count - 1);
    *count = n;
    g->curListIndex = 0;
    g->curList = nullptr;
    return ResizeListTable(g, n) ? kOk : kOutOfMemory;
}
