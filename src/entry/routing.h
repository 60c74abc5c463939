// Routing of host function calls to their commands by catalogue position.
#pragma once
#include <cstdint>

#include "host/callbacks.h"

struct Globals;

// Catalogue positions.
enum CataloguePosition : int16_t {
    kPosExternal = 1,
    kPosAbout = 2,
    kPosPutListInList = 3,
    kPosRemoveLine = 4,
    kPosEditLine = 5,
    kPosAddLine = 6,
    kPosSortList = 7,
    kPosSetSelection = 8,
    kPosUnloadList = 9,
    kPosLoadList = 10,
    kPosFirstValueFunction = 11,
    kPosLastValueFunction = 18,
    kPosTest1 = 19,
    kPosTest2 = 20,
};

constexpr uint32_t kCatalogueBase = 13004;  // string number = base + position

inline bool IsValueFunction(int32_t position) {
    return position >= kPosFirstValueFunction && position <= kPosLastValueFunction;
}

int16_t HandleTheCommand(Globals* g, HostCallback cb);
int16_t DoAbout(Globals* g);
int16_t DoTest1(Globals* g);
int16_t DoTest2(Globals* g);

// The About message.
extern const char kAboutText[];
