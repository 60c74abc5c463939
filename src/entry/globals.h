// The external's instance record: one per loaded external, allocated at the
// load message and found again through the host atom "VANDU".
#pragma once
#include <cstdint>

#include "host/callbacks.h"
#include "host/memory.h"
#include "lists/listrec.h"

constexpr uint32_t kStateLoading = 0x4C4F4144;  // "LOAD"
constexpr uint32_t kStateReady = 0x434F4F4C;    // "COOL"
constexpr const char kAtomName[] = "VANDU";

struct AreaRec;

// One area shown with a scroll bar, as the list window's record of the host
// windows it has subclassed keeps it (src/area/subclassed.h).
constexpr int32_t kMaxSubclassedAreas = 128;
struct SubclassedArea {
    AreaRec* area;
    void* window;          // the host window it was attached on
    void* prevProc;        // that window's procedure before the list window took it
    uint8_t listName[18];  // the list that took it as a subscriber; length 0 if none did
};
struct SubclassedWindows {
    SubclassedArea rows[kMaxSubclassedAreas];  // in the order of attaching
    int16_t count;
};

struct Globals {
    uint32_t stateTag;
    HostCallback callback;        // of the load, then of the latest function call
    int16_t paramCount;           // parameters of the current call
    int16_t lineNumRef;           // host reference of "#LN"
    XPHandle listTableHandle;     // the list table
    void* listTable;              // its locked address
    void* clipRegion;             // GDI region for clipping
    int16_t typeAheadLen;
    uint8_t typeAhead[30];
    // Where the type-ahead search resumes: a byte offset into the line
    // buffer, which is movable, so that no address outlives a call.
    uint32_t typeAheadPos;
    int32_t typeAheadLeft;
    uint32_t lastEventTick;
    uint32_t eventTick;
    uint8_t* sortBase;            // locked line buffer during a sort
    uint8_t* sortPivot;           // pivot line during a sort
    uint8_t* sortSwap;            // exchange line during a sort
    int16_t sortKeyOffset;        // sort column - 1
    uint8_t foldTable[90];        // folded values of 0x80..0xD9
    uint8_t textBuf[258];
    uint8_t textBuf2[258];
    uint8_t textBuf3[258];        // unread: no command needs a third text
    uint8_t listName[18];         // length byte, up to 15 characters, NUL
    int16_t funcId;               // catalogue position of the current call
    int16_t errorFieldRef;        // host reference of "EX_EXT_ERROR", 0 if none
    int16_t errorNum;
    int16_t errorParam;
    const char* errorText;
    int16_t curListIndex;         // 1-based, 0 if none
    ListRec* curList;
    AreaRec* curArea;
    uint32_t typeAheadTimeout;    // ms
    uint32_t doubleClickTime;     // ms
    uint32_t appWindow;
    int16_t frameExtraY;          // unread, 0: the drag check maps the cursor with ScreenToClient
    // Every byte's folded value as a signed order, built from foldTable at
    // load: comparisons look a byte up once instead of testing its range.
    int8_t foldOrder[256];
    // Every area shown with a scroll bar and the window it subclassed: the
    // window procedure, the destroy request and the unload find an area, and
    // the previous procedure of its window, here.
    SubclassedWindows subclassed;
};

// Module-level pointer for the window procedure, which gets no callback.
extern Globals* gGlobsPtr;
