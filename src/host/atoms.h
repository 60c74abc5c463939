// Named 32-bit values kept by the host for the external (request 47), and
// the numeric attribute of a window object through the host's notation.
#pragma once
#include <cstddef>
#include <cstdint>

#include "host/callbacks.h"

#pragma pack(push, 1)
// Parameter block of request 47: 336 bytes, offsets fixed by the host.
struct AtomBlock {
    uint8_t nameLen;       // 0
    char name[261];        // 1: the name, NUL-terminated
    int16_t operation;     // 262: 1 get, 3 set, 4 delete
    uint8_t unused1[8];    // 264
    uint32_t value;        // 272
    uint8_t unused2[56];   // 276
    int16_t result;        // 332: for get, 1 when the atom exists
    uint8_t unused3[2];    // 334
};
#pragma pack(pop)
static_assert(sizeof(AtomBlock) == 336, "AtomBlock layout");
static_assert(offsetof(AtomBlock, operation) == 262, "AtomBlock layout");
static_assert(offsetof(AtomBlock, value) == 272, "AtomBlock layout");
static_assert(offsetof(AtomBlock, result) == 332, "AtomBlock layout");

enum AtomOp : int16_t { kAtomGet = 1, kAtomSet = 3, kAtomDelete = 4 };

int16_t SetOmAtom(const char* name, void* value, HostCallback cb);
void* GetOmAtom(const char* name, HostCallback cb);
int16_t DeleteOmAtom(const char* name, HostCallback cb);

// Value of "$cwind.$objs.<objNumber>.<attributeName>"; 0 when unanswered.
double GetNAttribute(const void* hostObj, const char* attributeName, HostCallback cb);
