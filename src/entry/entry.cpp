// The entry point: load, unload, function calls, describe, and the dispatch
// of object messages.
#include "entry/entry.h"

#include <cstdio>
#include <cstring>

#include "area/area.h"
#include "entry/globals.h"
#include "entry/objects.h"
#include "entry/report.h"
#include "entry/routing.h"
#include "host/atoms.h"
#include "host/hostobj.h"
#include "lists/commands.h"
#include "lists/registry.h"
#include "platform/module.h"
#include "platform/platform.h"
#include "platform/window.h"

Globals* gGlobsPtr = nullptr;

namespace {

// Releases what a load created; used by a failed load and by unload.
void ReleaseInstance(Globals* g) {
    if (g->listTableHandle) {
        void* table = g->listTable ? g->listTable : LockXPHandle(g->listTableHandle);
        if (table) {
            const int16_t count = ListTableCount(table);
            for (int16_t i = 1; i <= count; ++i) {
                ListRec* l = ListTableRecord(table, i);
                if (l->lines) {
                    DisposeXPHandle(l->lines);
                    l->lines = nullptr;
                }
            }
        }
        UnlockXPHandle(g->listTableHandle);
        DisposeXPHandle(g->listTableHandle);
        g->listTableHandle = nullptr;
        g->listTable = nullptr;
    }
    if (g->clipRegion) {
        win::DeleteRegion(g->clipRegion);
        g->clipRegion = nullptr;
    }
    if (gGlobsPtr == g) gGlobsPtr = nullptr;
    DisposeXPPointer(g);
}

void Load(uint32_t p1, uint32_t p2, HostCallback cb) {
    int16_t status = 0;
    Globals* g = static_cast<Globals*>(NewXPPointer(sizeof(Globals)));
    if (!g) {
        plat::MessageBeepAsterisk();
        status = kOutOfMemory;
    } else {
        gGlobsPtr = g;
        g->appWindow = p1 ? p1 : p2;
        g->stateTag = kStateLoading;
        g->callback = cb;
        g->paramCount = 0;
        g->lineNumRef = GetFldRef("#LN", cb);
        g->errorFieldRef = GetFldRef("EX_EXT_ERROR", cb);
        InitGlobalTables(g);
        g->listTableHandle = NewXPHandle(2);
        if (!g->listTableHandle) {
            status = kOutOfMemory;
        } else {
            g->listTable = LockXPHandle(g->listTableHandle);
            g->clipRegion = win::NewRegion();
            if (!g->listTable || !g->clipRegion) status = kOutOfMemory;
        }
        if (status == 0) {
            SetOmAtom(kAtomName, g, cb);
            g->stateTag = kStateReady;
        } else if (g->stateTag != kStateReady) {
            ReleaseInstance(g);
        }
    }
    if (GetFldInt(kRefParamCount, cb) > 0) SetFldInt(kRefParam1, status, cb);
}

void Unload(HostCallback cb) {
    Globals* g = static_cast<Globals*>(GetOmAtom(kAtomName, cb));
    if (!g) return;
    // Windows still carrying areas would call into a library that is gone;
    // the areas themselves stay with their objects.
    DetachAreas(g);
    ReleaseInstance(g);
    DeleteOmAtom(kAtomName, cb);
}

void FunctionCall(uint32_t p1, HostCallback cb) {
    const int32_t id = GetPackageId(cb);
    const bool valueFunction = IsValueFunction(id);
    Globals* g = static_cast<Globals*>(GetOmAtom(kAtomName, cb));
    if (!g || g->stateTag != kStateReady || !g->listTableHandle || !g->listTable) {
        if (valueFunction)
            SetFldInt(kRefValue, -1, cb);
        else
            SetFldInt(kRefStatus, kNoInstance, cb);
        return;
    }
    if (g->appWindow == 0) g->appWindow = p1;

    const int16_t r = HandleTheCommand(g, cb);
    if (valueFunction) {
        if (r != 0) SetFldLong(kRefValue, -static_cast<int32_t>(r), cb);
        return;
    }

    const int16_t status = StatusOfResult(g, r);
    const double statusValue = status;
    SetFldVal(kRefStatus, kTypeNumber, &statusValue, cb);
    if (g->errorFieldRef != 0) {
        AssembleErrorText(g);
        SetFldVal(g->errorFieldRef, kTypeCText, g->textBuf, cb);
    }
}

void Describe(HostCallback cb) {
    const int32_t id = GetPackageId(cb);
    uint8_t* rec = static_cast<uint8_t*>(GetDesignPtr(cb));
    if (!rec) return;
    const int16_t what = ReadAt<int16_t>(rec, designrec::kWhat);
    char answer[300];
    if (what == designrec::kParameters) {
        char entry[256];
        plat::LoadCatalogueString(static_cast<uint32_t>(kCatalogueBase + id), entry, 256);
        if (char* colon = std::strchr(entry, ':')) *colon = '\0';
        const char* open = std::strchr(entry, '(');
        std::snprintf(answer, sizeof answer, "Parms: %s", open ? open : "");
    } else if (what == designrec::kReturnValue) {
        std::strcpy(answer, "Return Code :");
    } else {
        return;
    }
    const size_t len = std::strlen(answer);
    std::memcpy(rec + designrec::kAnswer, answer, len + 1);
    rec[designrec::kAnswerLen] = static_cast<uint8_t>(len);
    rec[designrec::kZero] = 0;
}

}  // namespace

extern "C" int32_t VANDU_STDCALL Vandu(int32_t message, void** objRef, uint32_t p1, uint32_t p2,
                                       uint32_t /*reserved*/, HostCallback callback) {
    void* obj = objRef ? *objRef : nullptr;
    switch (static_cast<int16_t>(message & 0xFFFF)) {
        case kMsgLoad:
            Load(p1, p2, callback);
            break;
        case kMsgCall:
            FunctionCall(p1, callback);
            break;
        case kMsgUnload:
            Unload(callback);
            break;
        case kMsgDescribe:
            Describe(callback);
            break;
        case kMsgDesignFlag:
            if (void* rec = GetDesignPtr(callback)) WriteAt<int16_t>(rec, designrec::kFlag14, 1);
            break;
        case kMsgObjFlag:
            if (obj) WriteAt<int16_t>(obj, hostobj::kFlag378, 1);
            break;
        case kMsgTemplate:
            if (obj) {
                std::memcpy(static_cast<uint8_t*>(obj) + hostobj::kTemplateText, kAreaTemplate,
                            sizeof kAreaTemplate);
                WriteAt<uint8_t>(obj, hostobj::kFlag392, 1);
            }
            break;
        default:
            // The object messages of list areas; every other message does
            // nothing.
            ObjectMessage(static_cast<int16_t>(message & 0xFFFF), obj, callback);
            break;
    }
    return 0;
}
