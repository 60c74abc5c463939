#include "entry/objects.h"

#include "area/area.h"
#include "area/area_internal.h"
#include "entry/entry.h"
#include "entry/globals.h"
#include "platform/platform.h"

namespace {

// Binds the object to its area and list: the area, or null when the list
// is not found (or the object has no area).
AreaRec* Prologue(void* obj, HostCallback cb) {
    SecureGlobals(obj, cb);
    return ListForObject(obj, cb) ? AreaOfObject(obj) : nullptr;
}

void Input(int16_t message, void* obj, HostCallback cb) {
    AreaRec* a = Prologue(obj, cb);
    if (!a) return;
    SyncAreaToList(a, a->globals->curList);
    area::WorkDC dc(obj);
    if (message != kMsgKey && !a->hostWindow) SecureWindow(obj, a);
    a->globals->eventTick = plat::TickCount();
    if (message == kMsgKey)
        DoKeyDown(a, cb);
    else
        DoContent(a);
}

}  // namespace

bool ObjectMessage(int16_t message, void* obj, HostCallback cb) {
    switch (message) {
        case kMsgKey:
        case kMsgMouseDown:
        case kMsgMouseDown2:
            Input(message, obj, cb);
            return true;
        case kMsgDesignDraw:
            if (obj) {
                SecureGlobals(obj, cb);
                // The host may ask for the picture without a device context.
                area::WorkDC dc(obj);
                DesignDraw(obj, cb);
            }
            return true;
        case kMsgReinit:
            if (Prologue(obj, cb)) ReinitRequest(obj, cb);
            if (obj) WriteAt<uint8_t>(obj, hostobj::kFlag380, 0);
            return true;
        case kMsgDestroy:
            // An area is released even when its list is gone, so that its
            // record, font and scroll bar do not outlive the object.
            if (AreaOfObject(obj)) {
                SecureGlobals(obj, cb);
                ListForObject(obj, cb);
                DestroyRequest(obj);
            }
            return true;
        case kMsgPaint:
            if (AreaRec* a = Prologue(obj, cb)) {
                SyncAreaToList(a, a->globals->curList);
                area::WorkDC dc(obj);
                PaintRequest(obj, cb);
            }
            return true;
        case kMsgClip:
            if (AreaRec* a = Prologue(obj, cb)) {
                SyncAreaToList(a, a->globals->curList);
                area::WorkDC dc(obj);
                ClipRequest(obj);
            }
            return true;
        case kMsgInit:
            if (Prologue(obj, cb)) {
                InitRequest(obj, cb);
                WriteAt<uint8_t>(obj, hostobj::kFlag380, 0);
            }
            return true;
        default:
            return false;
    }
}
