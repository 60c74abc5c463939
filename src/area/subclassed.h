// The list window's record of the host windows it has subclassed: one row
// per area shown with a scroll bar, with the window it was attached on and
// that window's procedure from before. The window procedure, the destroy
// request and the unload of the external ask here which area owns a scroll
// bar and what a window's procedure was; a list's subscribers are only the
// list's record of the areas that show it.
#pragma once
#include "entry/globals.h"
#include "platform/window.h"

namespace subclassed {

// No room for another row: the area is then not attached, and its next
// paint tries again.
bool Full(const Globals* g);
// Records an attached area with its hostWindow and prevWndProc, and the list
// that took it as a subscriber (null when none did). The caller checks Full.
void Add(Globals* g, AreaRec* a, const ListRec* subscribedTo);
// Takes the area's row out and returns it; all zero when it had none.
SubclassedArea Remove(Globals* g, const AreaRec* a);
// The row of the area whose scroll bar scrollWindow is on window, or null.
const SubclassedArea* OfScrollBar(const Globals* g, win::Window window, win::Window scrollWindow);
// The procedure window had before the list window subclassed it, or null
// when no area on it is recorded.
win::Proc ProcOf(const Globals* g, win::Window window);

}  // namespace subclassed
