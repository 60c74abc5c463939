#include "entry/routing.h"

#include <cstring>

#include "entry/globals.h"
#include "entry/params.h"
#include "lists/commands.h"
#include "lists/registry.h"
#include "vandu_version.h"

const char kAboutText[] =
    "Vandu " VANDU_VERSION_TEXT
    " - lists of fixed-width lines from text files, and list areas to show them. "
    "By the Vandu developers.";

namespace {
typedef int16_t (*Command)(Globals*);

// Commands by catalogue position; null where a position has none.
Command CommandAt(int32_t position) {
    switch (position) {
        case kPosAbout: return DoAbout;
        case kPosPutListInList: return DoListToList;
        case kPosRemoveLine: return DoRemoveLine;
        case kPosEditLine: return DoEditLine;
        case kPosAddLine: return DoAddLine;
        case kPosSortList: return DoSortList;
        case kPosSetSelection: return DoSetSelection;
        case kPosUnloadList: return DoUnloadList;
        case kPosLoadList: return DoLoadList;
        case 11: return GetLineCount;
        case 12: return DoGetLineSize;
        case 13: return DoGetSortCol;
        case 14: return DoGetModDate;
        case 15: return DoGetModTime;
        case 16: return DoGetSelectedLine;
        case 17: return DoGetLineText;
        case 18: return DoIsListCurrent;
        case kPosTest1: return DoTest1;
        case kPosTest2: return DoTest2;
        default: return nullptr;
    }
}

bool NeedsNoList(int32_t position) {
    return position == kPosAbout || position == kPosTest1 || position == kPosTest2;
}
}  // namespace

int16_t HandleTheCommand(Globals* g, HostCallback cb) {
    const int32_t id = GetPackageId(cb);
    const bool valueFunction = IsValueFunction(id);
    g->errorNum = 0;
    g->errorParam = 0;
    g->errorText = nullptr;

    // The parameter readers below go through the call's callback and kind.
    g->callback = cb;
    g->funcId = static_cast<int16_t>(id);
    const int16_t n = valueFunction ? GetFuncParmInt2(kRefParamCount, cb)
                                    : GetFldInt(kRefParamCount, cb);
    if (n < 1 && id != kPosAbout) return kParamError;

    if (!NeedsNoList(id)) {
        ParamText(g, 1, kListNameMax, g->listName);
        if (g->listName[0] == 0) return kListNotLoaded;
        g->curListIndex = FindList(g, &g->curList, g->listName);
        if (g->curListIndex == 0 && id != kPosLoadList) {
            g->errorText = reinterpret_cast<const char*>(g->listName + 1);
            return kListNotLoaded;
        }
    }

    g->paramCount = n;
    const Command command = CommandAt(id);
    if (!command) return kParamError;
    return command(g);
}

int16_t DoAbout(Globals* g) {
    size_t len = std::strlen(kAboutText);
    if (len > 255) len = 255;
    g->textBuf[0] = static_cast<uint8_t>(len);
    std::memcpy(g->textBuf + 1, kAboutText, len);
    g->textBuf[len + 1] = '\0';
    ShowMessage(0, 1, 1, 0, reinterpret_cast<const char*>(g->textBuf + 1), g->callback);
    return kOk;
}

int16_t DoTest1(Globals*) { return kOk; }

int16_t DoTest2(Globals*) { return kOk; }
