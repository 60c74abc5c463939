#include "area/subclassed.h"

#include <cstring>

#include "area/arearec.h"

namespace subclassed {

bool Full(const Globals* g) { return g->subclassed.count >= kMaxSubclassedAreas; }

void Add(Globals* g, AreaRec* a, const ListRec* subscribedTo) {
    SubclassedArea& row = g->subclassed.rows[g->subclassed.count++];
    row = SubclassedArea{a, a->hostWindow, a->prevWndProc, {0}};
    if (subscribedTo) std::memcpy(row.listName, subscribedTo->name, sizeof row.listName);
}

SubclassedArea Remove(Globals* g, const AreaRec* a) {
    SubclassedArea found{};
    if (!g) return found;
    SubclassedWindows& t = g->subclassed;
    for (int16_t i = 0; i < t.count; ++i) {
        if (t.rows[i].area != a) continue;
        found = t.rows[i];
        std::memmove(&t.rows[i], &t.rows[i + 1],
                     static_cast<size_t>(t.count - i - 1) * sizeof(SubclassedArea));
        --t.count;
        break;
    }
    return found;
}

const SubclassedArea* OfScrollBar(const Globals* g, win::Window window, win::Window scrollWindow) {
    const SubclassedWindows& t = g->subclassed;
    for (int16_t i = 0; i < t.count; ++i) {
        if (t.rows[i].window == window && t.rows[i].area->scrollWindow == scrollWindow) return &t.rows[i];
    }
    return nullptr;
}

win::Proc ProcOf(const Globals* g, win::Window window) {
    const SubclassedWindows& t = g->subclassed;
    for (int16_t i = 0; i < t.count; ++i) {
        if (t.rows[i].window == window) return t.rows[i].prevProc;
    }
    return nullptr;
}

}  // namespace subclassed
