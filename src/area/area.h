// The list window: a list area on a host window, bound to a loaded list,
// drawn with a scroll bar, scrolled, and driven by mouse and keys. Portable:
// it reaches USER and GDI only through platform/window.h.
#pragma once
#include <cstdint>

#include "area/arearec.h"
#include "host/callbacks.h"
#include "platform/window.h"

struct Globals;
struct ListRec;

// ---- Binding -------------------------------------------------------------

// Makes sure the object has an AreaRec linked to it and to the instance.
void SecureGlobals(void* obj, HostCallback cb);
// The object's AreaRec, or null.
AreaRec* AreaOfObject(const void* obj);
// Takes the object's own window as the area's window when it has one.
void SecureWindow(void* obj, AreaRec* area);
// Binds the object to the list named by its first parameter: the list's
// 1-based index (curArea, curList and listName set), 0 when there is none.
int16_t ListForObject(void* obj, HostCallback cb);
// Brings the area's copy of the list up to date: buffer, line count and
// size, and the list's selection when its stamp changed.
void SyncAreaToList(AreaRec* area, ListRec* list);
// Publishes the area's selection to the list with a fresh stamp.
void SyncListToAreaChoice(AreaRec* area, ListRec* list);
// Builds and measures the area's font; temporary deletes it after measuring.
void ConfigLineFont(void* obj, HostCallback cb, bool temporary);
// Reads the object's parameters and lays the area out.
void windowinit(void* obj, HostCallback cb);
// Releases everything the area holds, the record included.
void windowdestroy(void* obj);
// The host's requests, each after SecureGlobals and a successful ListForObject.
void InitRequest(void* obj, HostCallback cb);
void ReinitRequest(void* obj, HostCallback cb);
void DestroyRequest(void* obj);
// The first steps of a run-time paint: the scroll bar, the subclassing of
// the host window and the subscription to the list.
void AttachScrollBar(void* obj, AreaRec* area);
// The area that shows its scroll bar scrollWindow on window (curList set to
// its list), or null; the window's procedure before the list window
// subclassed it, or null.
AreaRec* GetAreaForWindow(win::Window window, win::Window scrollWindow);
// The external is going, and its window procedure with it: every window
// that the list window subclassed gets its previous procedure back, and
// every area shown with a scroll bar lets go of it and of the instance.
void DetachAreas(Globals* g);
win::Proc GetProcForWindow(win::Window window);

// The exported window procedure of subclassed host windows.
extern "C" intptr_t VANDU_STDCALL WndProc(win::Window window, uint32_t message, uintptr_t wParam,
                                          intptr_t lParam);

// ---- Drawing -------------------------------------------------------------

AreaRect GetAreaRect(const void* obj);
void SetRects(void* obj, AreaRec* area);
void DesignDraw(void* obj, HostCallback cb);
void RuntimeDraw(void* obj, HostCallback cb, bool resized);
// The run-time paint and clip requests, each after SecureGlobals, a
// successful ListForObject and SyncAreaToList.
void PaintRequest(void* obj, HostCallback cb);
void ClipRequest(void* obj);
void DrawContents(AreaRec* area);
// Draws the visible part of line `line` at (x, y) as one text run.
void DrawOne(AreaRec* area, int32_t line, int32_t x, int32_t y);
void GoFlip(AreaRec* area, int32_t row, bool on);
void UnClip(AreaRec* area);
void FrameSel(AreaRec* area);
void MakeSelVisible(AreaRec* area);
// The device context the area draws into (the object's drawDC).
win::DC AreaDC(const AreaRec* area);

// ---- Scrolling -----------------------------------------------------------

void UpOne(Globals* g);
void DownOne(Globals* g);
void DoUp(Globals* g, bool byLine);
void DoDown(Globals* g, bool byLine);
// Sets topLine (held to the last page) and the thumb for it.
void MySetCtlValue(AreaRec* area, int32_t top);
// Takes topLine from the thumb's position.
void FixMyCtlValue(AreaRec* area);
// A scroll-bar request of the area's scroll bar (the low word of WM_VSCROLL's
// wParam, and its high word for thumb positions).
void ScrollRequest(Globals* g, int32_t code, int32_t thumb);
// Thumb position of a top line on the bar's 0..32767 scale.
int32_t ThumbOfTop(int32_t top, int32_t maxTop);

// ---- Input ---------------------------------------------------------------

void DoContent(AreaRec* area);
void DoKeyDown(AreaRec* area, HostCallback cb);
void DoDoubleClick(AreaRec* area, bool isClick);
uint8_t IsShiftKeyDown();
uint8_t IsControlKeyDown();
