// Binding a list area to its object, its instance and its list: the area
// record, the selection exchange, the font, initialisation and destruction.
#include <algorithm>
#include <cstring>

#include "area/area.h"
#include "area/area_internal.h"
#include "area/subclassed.h"
#include "entry/globals.h"
#include "host/atoms.h"
#include "lists/registry.h"
#include "platform/platform.h"

namespace {

constexpr uint8_t kUnassigned[] = "<Unassigned>";
constexpr int32_t kFaceMax = 31;

Globals* ReadyGlobals(void* p) {
    Globals* g = static_cast<Globals*>(p);
    return g && g->stateTag == kStateReady ? g : nullptr;
}

// Takes the area out of the record of subclassed windows and of the list
// that took it as a subscriber; the window it was attached on, which the
// area itself may have forgotten since (null when it has no row).
win::Window ForgetAttachment(Globals* g, AreaRec* a) {
    const SubclassedArea row = subclassed::Remove(g, a);
    ListRec* list = nullptr;
    if (g && g->listTable && row.listName[0] != 0 && FindList(g, &list, row.listName))
        UnsubscribeFromList(list, a);
    return static_cast<win::Window>(row.window);
}

}  // namespace

AreaRec* AreaOfObject(const void* obj) {
    return obj ? ReadAt<AreaRec*>(obj, hostobj::kAreaSlot) : nullptr;
}

void SecureGlobals(void* obj, HostCallback cb) {
    if (!obj) return;
    AreaRec* a = AreaOfObject(obj);
    if (!a) {
        a = static_cast<AreaRec*>(NewXPPointer(sizeof(AreaRec)));
        if (!a) return;
        WriteAt<AreaRec*>(obj, hostobj::kAreaSlot, a);
    }
    a->hostObj = obj;
    // Taken from the atom on every message, not only the first: after the
    // external was unloaded and loaded again an area must not keep the
    // address of a released instance.
    a->globals = ReadyGlobals(GetOmAtom(kAtomName, cb));
}

void SecureWindow(void* obj, AreaRec* area) {
    if (win::Window w = area::ObjWindow(obj)) area->hostWindow = w;
}

int16_t ListForObject(void* obj, HostCallback cb) {
    AreaRec* a = AreaOfObject(obj);
    if (!a || !a->globals) return 0;
    Globals* g = a->globals;
    g->curArea = a;
    g->callback = cb;
    uint8_t name[256] = {0};
    GetFldVal(kRefParam1, kTypePascalText, kListNameMax, name, cb);
    const uint8_t len = std::min<uint8_t>(name[0], kListNameMax);
    if (len == 0) {
        g->listName[0] = sizeof kUnassigned - 1;
        std::memcpy(g->listName + 1, kUnassigned, sizeof kUnassigned - 1);
        g->listName[sizeof kUnassigned] = 0;
    } else {
        g->listName[0] = len;
        std::memcpy(g->listName + 1, name + 1, len);
        g->listName[len + 1] = 0;
    }
    g->curListIndex = FindList(g, &g->curList, g->listName);
    return g->curListIndex;
}

void SyncAreaToList(AreaRec* area, ListRec* list) {
    if (!area || !list) return;
    ListRec& copy = area->listCopy;
    // The buffer, its line size and terminator always travel together: a
    // reload may change the line size without changing the line count.
    copy.lines = list->lines;
    copy.lineSize = list->lineSize;
    copy.terminator = list->terminator;
    // The type-ahead searches the column the lines are ordered on now.
    copy.sortCol = list->sortCol;
    // The bar is set again when its range changes or the view moves, with
    // its thumb where the view is (a top line past the last page is pulled
    // back to it, as every move of the view does).
    bool setBar = false;
    if (list->lineCount != copy.lineCount) {
        copy.lineCount = list->lineCount;
        setBar = true;
    }
    if (list->selStamp != copy.selStamp) {
        copy.selStamp = list->selStamp;
        area->selection = list->selLine < 0 ? copy.lineCount - 1 : list->selLine;
        const int32_t top = area->topLine;
        MakeSelVisible(area);
        setBar = setBar || area->topLine != top;
    }
    if (setBar && area->scrollWindow) MySetCtlValue(area, area->topLine);
}

void SyncListToAreaChoice(AreaRec* area, ListRec* list) {
    if (!area || !list) return;
    const uint32_t now = FreshStamp(list->selStamp);
    area->listCopy.selLine = list->selLine = area->selection;
    area->listCopy.selStamp = list->selStamp = now;
}

void ConfigLineFont(void* obj, HostCallback, bool temporary) {
    AreaRec* a = AreaOfObject(obj);
    if (!a) return;
    const char* face = ReadAt<const char*>(obj, hostobj::kFontName);
    const size_t n = face ? strnlen(face, kFaceMax) : 0;
    a->faceName[0] = static_cast<uint8_t>(n);
    if (n > 0) {
        std::memcpy(a->faceName + 1, face, n);
        a->faceName[n + 1] = 0;
    }
    a->faceName[sizeof a->faceName - 1] = 0;
    a->fontSize = ReadAt<int16_t>(obj, hostobj::kFontSize);
    if (temporary && a->font) {
        win::DeleteFont(a->font);
        a->font = nullptr;
    }

    win::DC dc = area::DrawDC(obj);
    win::Window dcWindow = nullptr;
    bool ownDC = false;
    if (!dc) {
        dcWindow = a->globals ? reinterpret_cast<win::Window>(
                                    static_cast<uintptr_t>(a->globals->appWindow))
                              : nullptr;
        dc = win::GetWindowDC(dcWindow);
        if (!dc && dcWindow) {
            dcWindow = nullptr;
            dc = win::GetWindowDC(nullptr);
        }
        ownDC = dc != nullptr;
    }
    if (!a->font) {
        a->font = win::NewFont(-a->fontSize, ReadAt<int16_t>(obj, hostobj::kFontWeight),
                               ReadAt<uint8_t>(obj, hostobj::kFontPitch),
                               reinterpret_cast<const char*>(a->faceName + 1));
    }
    if (dc) {
        win::Font previous = a->font ? win::SelectFont(dc, a->font) : nullptr;
        win::FontMetrics m;
        if (win::MeasureFont(dc, &m)) {
            a->lineHeight = static_cast<int16_t>(m.height + m.externalLeading);
            a->ascent = static_cast<int16_t>(m.height - m.descent);
            a->charWidth = static_cast<int16_t>(m.aveCharWidth);
        }
        if (a->font) win::SelectFont(dc, previous);
        if (ownDC) win::ReleaseWindowDC(dcWindow, dc);
    }
    if (temporary && a->font) {
        win::DeleteFont(a->font);
        a->font = nullptr;
    }
}

void windowinit(void* obj, HostCallback cb) {
    AreaRec* a = AreaOfObject(obj);
    if (!a) return;
    const int16_t n = GetFldInt(kRefParamCount, cb);
    if (n < 6 || ReadAt<int16_t>(obj, hostobj::kObjRect + 4) == 0) return;
    a->maxCol = GetFldInt(kRefParam1 + 1, cb);
    a->fromCol = GetFldInt(kRefParam1 + 2, cb);
    a->colWidth = static_cast<int16_t>(GetFldInt(kRefParam1 + 3, cb) - a->fromCol + 1);

    char name[256] = {0};
    GetFldVal(kRefParam1 + 4, kTypeCText, 64, name, cb);
    name[64] = 0;
    a->dataFldRef = GetFldRef(name, cb);
    std::memset(a->dclkProc, 0, sizeof a->dclkProc);
    std::memset(name, 0, sizeof name);
    GetFldVal(kRefParam1 + 5, kTypeCText, 64, name, cb);
    std::memcpy(a->dclkProc, name, sizeof a->dclkProc - 1);
    std::memset(a->clkProc, 0, sizeof a->clkProc);
    if (n >= 7) {
        a->clickFldRef = a->dataFldRef;
        std::memset(name, 0, sizeof name);
        GetFldVal(kRefParam1 + 6, kTypeCText, 64, name, cb);
        std::memcpy(a->clkProc, name, sizeof a->clkProc - 1);
        a->clickMode = 2;
    } else {
        a->clickFldRef = 0;
        a->clickMode = 0;
    }
    ConfigLineFont(obj, cb, false);
    SetRects(obj, a);
    MakeSelVisible(a);
}

void AttachScrollBar(void* obj, AreaRec* a) {
    if (!a->shown || a->scrollWindow) return;
    Globals* g = a->globals;
    a->hostWindow = area::DrawWindow(obj);
    if (area::DrawDC(obj)) a->textColor = win::TextColour(area::DrawDC(obj));
    // Without a window there is nothing to attach to; without a scroll bar,
    // or with the record of subclassed windows full, the area draws alone
    // and the next paint tries again. Either way the host window is not
    // subclassed, so a later attempt cannot subclass it a second time and
    // lose its procedure.
    if (!a->hostWindow || !g || subclassed::Full(g)) return;
    a->scrollWindow = win::NewScrollBar(a->hostWindow, area::ToWin(a->scrollRect));
    if (!a->scrollWindow) return;
    win::SetWindowData(a->scrollWindow, a);
    win::SetScroll(a->scrollWindow, area::ScrollStateFor(a, 0), true);

    a->prevWndProc = GetProcForWindow(a->hostWindow);
    if (a->prevWndProc == nullptr)
        a->prevWndProc = win::SetWindowProc(a->hostWindow, reinterpret_cast<win::Proc>(&WndProc));
    // A list whose subscriber slots are all in use does not hold the area;
    // its row still does, so its scroll bar works all the same.
    const bool subscribed =
        g->curList &&
        SubscribeToList(g->curList, {a, a->scrollWindow, a->hostWindow, a->prevWndProc});
    subclassed::Add(g, a, subscribed ? g->curList : nullptr);
    MySetCtlValue(a, a->topLine);
    g->typeAheadLen = 0;
}

void windowdestroy(void* obj) {
    AreaRec* a = AreaOfObject(obj);
    if (!a) return;
    Globals* g = a->globals;
    if (a->scrollWindow) {
        win::Window window = ForgetAttachment(g, a);
        if (!window) window = a->hostWindow;
        if (a->prevWndProc && window && !GetProcForWindow(window))
            win::SetWindowProc(window, a->prevWndProc);
        a->prevWndProc = nullptr;
        win::DestroyWin(a->scrollWindow);
        a->scrollWindow = nullptr;
    }
    if (a->font) {
        win::DeleteFont(a->font);
        a->font = nullptr;
    }
    if (g && g->curArea == a) g->curArea = nullptr;
    a->hostWindow = nullptr;
    a->shown = 0;
    a->initCount = 0;
    WriteAt<AreaRec*>(obj, hostobj::kAreaSlot, nullptr);
    DisposeXPPointer(a);
}

void InitRequest(void* obj, HostCallback cb) {
    AreaRec* a = AreaOfObject(obj);
    ListRec* list = a->globals->curList;
    std::memcpy(&a->listCopy, list, sizeof(ListRec));
    a->selection = a->listCopy.selLine;
    SyncAreaToList(a, list);
    if (a->initCount < 10) ++a->initCount;
    windowinit(obj, cb);
    // The area is shown at run time, and its next paint attaches its scroll
    // bar, from its second initialisation on, or already at its first when
    // the host gives the object's second rectangle a width. Only whether the
    // count passed 1 matters, so it stops at 10 and never wraps. A shown
    // area stays shown until its destroy request clears both.
    const int16_t left2 = ReadAt<int16_t>(obj, hostobj::kObjRect2);
    const int16_t right2 = ReadAt<int16_t>(obj, hostobj::kObjRect2 + 4);
    if (a->initCount > 1 || (a->shown == 0 && right2 != left2)) a->shown = 1;
}

void ReinitRequest(void* obj, HostCallback cb) {
    AreaRec* a = AreaOfObject(obj);
    SyncAreaToList(a, a->globals->curList);
    a->hostWindow = nullptr;
    windowinit(obj, cb);
}

void DestroyRequest(void* obj) { windowdestroy(obj); }

AreaRec* GetAreaForWindow(win::Window window, win::Window scrollWindow) {
    Globals* g = gGlobsPtr;
    if (!g || !g->listTable || !window) return nullptr;
    const SubclassedArea* row = subclassed::OfScrollBar(g, window, scrollWindow);
    if (!row) return nullptr;
    // Its list by name: names are unique, and the list that holds the area
    // as a subscriber cannot be unloaded. An area no list holds goes by the
    // name of the list it copied.
    AreaRec* a = row->area;
    g->curListIndex = FindList(g, &g->curList, row->listName[0] != 0 ? row->listName : a->listCopy.name);
    return g->curList ? a : nullptr;
}

void DetachAreas(Globals* g) {
    if (!g || !g->listTable) return;
    const win::Proc ours = reinterpret_cast<win::Proc>(&WndProc);
    SubclassedWindows& t = g->subclassed;
    for (int16_t i = 0; i < t.count; ++i) {
        // Only a window whose procedure is still this one: another that
        // subclassed it later keeps its place (and the restored ones answer
        // the second visit with their own procedure).
        const SubclassedArea& row = t.rows[i];
        if (row.window && row.prevProc) {
            const win::Proc current = win::SetWindowProc(row.window, row.prevProc);
            if (current != ours) win::SetWindowProc(row.window, current);
        }
        // After its window has its procedure back. The area stays with its
        // object: with no scroll bar it is attached again by its first paint
        // once the external is loaded again, and it keeps no handle or
        // address of the instance that goes.
        AreaRec* a = row.area;
        if (a->scrollWindow) win::DestroyWin(a->scrollWindow);
        a->scrollWindow = nullptr;
        a->prevWndProc = nullptr;
        a->listCopy.lines = nullptr;
        a->globals = nullptr;
    }
    t.count = 0;
    // The lists go with the instance, and their records of the areas too.
    const int16_t count = ListTableCount(g->listTable);
    for (int16_t i = 1; i <= count; ++i) ListTableRecord(g->listTable, i)->subscriberCount = 0;
}

win::Proc GetProcForWindow(win::Window window) {
    Globals* g = gGlobsPtr;
    if (!g || !g->listTable || !window) return nullptr;
    return subclassed::ProcOf(g, window);
}
