// The window procedure of host windows that carry list areas: scroll-bar
// requests of an area's scroll bar go to scrolling, everything else to the
// window's previous procedure.
#include "area/area.h"
#include "area/area_internal.h"
#include "entry/globals.h"

namespace {

intptr_t PassOn(win::Proc proc, win::Window window, uint32_t message, uintptr_t wParam,
                intptr_t lParam) {
    // Never back into this procedure: that would recurse without end.
    if (!proc || proc == reinterpret_cast<win::Proc>(&WndProc)) return 0;
    return win::CallProc(proc, window, message, wParam, lParam);
}

}  // namespace

extern "C" intptr_t VANDU_STDCALL WndProc(win::Window window, uint32_t message, uintptr_t wParam,
                                          intptr_t lParam) {
    AreaRec* a = GetAreaForWindow(window, reinterpret_cast<win::Window>(lParam));
    if (!a) return PassOn(GetProcForWindow(window), window, message, wParam, lParam);
    if (message != win::kMsgVScroll) {
        win::Proc proc = a->prevWndProc ? a->prevWndProc : GetProcForWindow(window);
        return PassOn(proc, window, message, wParam, lParam);
    }

    Globals* g = gGlobsPtr;
    g->curArea = a;
    g->eventTick = win::MessageTime();
    // A reload or an edit may have replaced the line buffer since the area's
    // last message: catch up before reading it.
    SyncAreaToList(a, g->curList);
    // After a re-initialisation the area has forgotten its window until the
    // next press; the request came through this one.
    if (!a->hostWindow) a->hostWindow = window;

    area::WorkDC dc(a->hostObj);
    ScrollRequest(g, static_cast<int32_t>(wParam & 0xFFFF), static_cast<int32_t>((wParam >> 16) & 0xFFFF));
    return 0;
}
