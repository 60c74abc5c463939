// The exported entry point through which the host drives the external.
#pragma once
#include <cstdint>

#include "host/callbacks.h"

// Messages of the entry point.
enum EntryMessage : int16_t {
    kMsgLoad = 0,
    kMsgCall = 1,
    kMsgUnload = 2,
    kMsgDescribe = 3,
    kMsgDesignFlag = 4,
    kMsgKey = 101,
    kMsgMouseDown = 103,
    kMsgMouseDown2 = 105,
    kMsgDesignDraw = 147,
    kMsgReinit = 148,
    kMsgDestroy = 149,
    kMsgObjFlag = 150,
    kMsgPaint = 151,
    kMsgClip = 152,
    kMsgInit = 156,
    kMsgTemplate = 159,
};

// message: low 16 bits tested; objRef: pointer to the calling object's record
// pointer (never null); p1, p2: parameter words; reserved: never read.
// Returns 0 for every message.
extern "C" int32_t VANDU_STDCALL Vandu(int32_t message, void** objRef, uint32_t p1, uint32_t p2,
                                       uint32_t reserved, HostCallback callback);
