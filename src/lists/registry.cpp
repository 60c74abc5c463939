#include "lists/registry.h"

#include <cstring>

#include "entry/globals.h"
#include "lists/commands.h"
#include "lists/fold.h"

void InitGlobalTables(Globals* g) {
    std::memcpy(g->foldTable, kFoldTable, sizeof g->foldTable);
    BuildFoldOrder(g->foldTable, g->foldOrder);
    g->typeAheadTimeout = (plat::KeyboardDelaySetting() + 1) * 500;
    g->doubleClickTime = plat::DoubleClickTime();
}

int16_t FindList(Globals* g, ListRec** found, const uint8_t* name) {
    const int16_t count = ListTableCount(g->listTable);
    for (int16_t i = 1; i <= count; ++i) {
        ListRec* l = ListTableRecord(g->listTable, i);
        if (std::memcmp(l->name, name, static_cast<size_t>(name[0]) + 1) == 0) {
            *found = l;
            return i;
        }
    }
    *found = nullptr;
    return 0;
}

int16_t OpenListFile(ListRec* list, plat::FileHandle* file, bool forWrite) {
    *file = nullptr;
    if (plat::OpenFile(reinterpret_cast<const char*>(list->path + 1), forWrite, file) != 0) {
        *file = nullptr;
        return kCannotOpen;
    }
    return kOk;
}

int16_t GetModDate(Globals*, ListRec* list, uint64_t* fileTime) {
    if (!plat::LastWriteTime(reinterpret_cast<const char*>(list->path + 1), fileTime)) {
        *fileTime = 1;
        return kFileNotFound;
    }
    return kOk;
}

int16_t MemCopyCurrent(Globals* g, ListRec* list, bool* current) {
    *current = false;
    uint64_t t = 0;
    const int16_t r = GetModDate(g, list, &t);
    if (r != kOk) return r;
    // A list without a line buffer (its load failed) holds no copy of the
    // file; after a failed write-back, or one whose new time is unknown, the
    // copy cannot be trusted to match it.
    if (!list->lines || list->staleCopy) return kOk;
    *current = t == ListFileTime(list) && list->fileSortCol == list->sortCol;
    return kOk;
}

bool GrowTheHandle(XPHandle* handle, uint32_t extra) {
    const uint32_t oldSize = SizeXPHandle(*handle);
    if (extra > UINT32_MAX - oldSize) return false;
    const uint32_t size = oldSize + extra;
    if (ResizeXPHandle(handle, size) == 0) return true;
    XPHandle fresh = NewXPHandle(size);
    if (!fresh) return false;
    {
        LockedHandle from(*handle);
        LockedHandle to(fresh);
        std::memcpy(to.bytes(), from.bytes(), oldSize);
    }
    DisposeXPHandle(*handle);
    *handle = fresh;
    return true;
}

int32_t LinesInBuffer(const ListRec* list) {
    if (!list->lines || list->lineSize <= 0 || list->lineCount <= 0) return 0;
    const uint32_t whole = SizeXPHandle(list->lines) / static_cast<uint32_t>(list->lineSize);
    return whole < static_cast<uint32_t>(list->lineCount) ? static_cast<int32_t>(whole)
                                                          : list->lineCount;
}

uint32_t FreshStamp(uint32_t previous) {
    const uint32_t now = plat::TickCount();
    return static_cast<int32_t>(now - previous) > 0 ? now : previous + 1;
}

bool SubscribeToList(ListRec* list, const Subscriber& entry) {
    if (list->subscriberCount >= kMaxSubscribers) return false;
    list->subscribers[list->subscriberCount] = entry;
    ++list->subscriberCount;
    return true;
}

bool UnsubscribeFromList(ListRec* list, void* area) {
    if (!list) return false;
    for (int16_t i = 0; i < list->subscriberCount; ++i) {
        if (list->subscribers[i].area != area) continue;
        std::memmove(&list->subscribers[i], &list->subscribers[i + 1],
                     static_cast<size_t>(list->subscriberCount - i - 1) * sizeof(Subscriber));
        --list->subscriberCount;
        return true;
    }
    return false;
}
