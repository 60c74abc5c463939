// One loaded list and the list table that holds them.
#pragma once
#include <cstddef>
#include <cstdint>

#include "host/memory.h"

#pragma pack(push, 2)
// One list area that shows a list. Packed like the record that holds it.
struct Subscriber {
    void* area;          // the area's AreaRec
    void* scrollWindow;  // its scroll-bar window
    void* hostWindow;    // the host window it draws in
    void* prevWndProc;   // the window procedure it replaced
};
#pragma pack(pop)

// Terminator codes.
enum Terminator : uint8_t { kTermNone = 0, kTermLF = 0x0A, kTermCR = 0x0D, kTermCRLF = 0xDA };

constexpr int32_t kMaxSubscribers = 20;
constexpr int32_t kListNameMax = 15;

// Packed on 2 bytes, the layout the system keeps its records in: the list
// table is a 2-byte count and then records of 636 bytes each, and an area
// copies a record whole. A 4-byte field may sit on a 2-byte boundary
// (selLine at 302): read such a field by value, never through a reference.
#pragma pack(push, 2)
struct ListRec {
    uint8_t name[18];          // length byte, up to 15 characters, zeros
    uint8_t path[258];         // length byte, up to 255 characters, NUL
    uint32_t fileTimeLow;      // last-write time as recorded: FILETIME form
    uint32_t fileTimeHigh;
    XPHandle lines;            // line buffer, or null
    int32_t lineCount;
    int16_t lineSize;          // bytes per line, terminator included
    int16_t fileSortCol;       // column the file is ordered on
    int16_t sortCol;           // column the memory copy is ordered on
    int16_t rsnCol;            // column where each line's RSN begins
    uint8_t terminator;        // Terminator code
    uint8_t staleCopy;         // set when the copy may differ from the file: re-read before use
    int32_t selLine;           // 0-based selected line, -1 none
    uint32_t selStamp;         // tick of the last selection change
    uint32_t changeStamp;      // tick of the last content change; unread: areas follow lines and lineCount
    int16_t subscriberCount;
    Subscriber subscribers[kMaxSubscribers];
};
#pragma pack(pop)
static_assert(sizeof(ListRec) == 636, "ListRec layout");
static_assert(offsetof(ListRec, fileTimeLow) == 276, "ListRec layout");
static_assert(offsetof(ListRec, terminator) == 300, "ListRec layout");
static_assert(offsetof(ListRec, selLine) == 302, "ListRec layout");
static_assert(offsetof(ListRec, subscribers) == 316, "ListRec layout");

inline uint64_t ListFileTime(const ListRec* l) {
    return (static_cast<uint64_t>(l->fileTimeHigh) << 32) | l->fileTimeLow;
}
inline void SetListFileTime(ListRec* l, uint64_t t) {
    l->fileTimeLow = static_cast<uint32_t>(t);
    l->fileTimeHigh = static_cast<uint32_t>(t >> 32);
}
inline int32_t TerminatorLength(uint8_t term) { return term == kTermCRLF ? 2 : 1; }
// The byte that ends every line: LF for CR LF.
inline uint8_t TerminatorLastByte(uint8_t term) { return term == kTermCRLF ? 0x0A : term; }

// The list table: a 16-bit count followed by that many records.
inline int16_t ListTableCount(const void* table) {
    return *static_cast<const int16_t*>(table);
}
inline ListRec* ListTableRecord(void* table, int32_t index1) {
    return reinterpret_cast<ListRec*>(static_cast<uint8_t*>(table) + 2 +
                                      (index1 - 1) * static_cast<int32_t>(sizeof(ListRec)));
}
