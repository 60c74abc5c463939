// The commands and value functions behind the host catalogue. Each takes the
// instance record, with the call state set by routing, and returns a 16-bit
// result code: 0 for success.
#pragma once
#include <cstdint>

struct Globals;

// Result codes shared by the commands.
enum ResultCode : int16_t {
    kOk = 0,
    kOutOfMemory = 2,
    kParamError = 3,
    kNoInstance = 4,
    kListNotLoaded = 5,
    kCannotOpen = 8,
    kUnequalLines = 9,
    kFileNotFound = 10,
    kListShown = 12,
    kListEmpty = 998,
    kLineNotFound = 999,
};

int16_t DoLoadList(Globals* g);
int16_t DoUnloadList(Globals* g);
int16_t DoSortList(Globals* g);
int16_t DoSetSelection(Globals* g);
int16_t DoAddLine(Globals* g);
int16_t DoEditLine(Globals* g);
int16_t DoRemoveLine(Globals* g);
int16_t DoListToList(Globals* g);

int16_t GetLineCount(Globals* g);
int16_t DoGetLineSize(Globals* g);
int16_t DoGetSortCol(Globals* g);
int16_t DoGetModDate(Globals* g);
int16_t DoGetModTime(Globals* g);
int16_t DoGetSelectedLine(Globals* g);
int16_t DoGetLineText(Globals* g);
int16_t DoIsListCurrent(Globals* g);
