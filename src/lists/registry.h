// The list table, finding lists by name, the list file routines shared by the
// commands, growing a line buffer, and the subscriber slots of list areas.
// A routine that answers yes or no returns bool; one whose failure the
// command passes on returns a result code (kOk, or that failure).
#pragma once
#include <cstdint>

#include "host/memory.h"
#include "lists/listrec.h"
#include "platform/platform.h"

struct Globals;

void InitGlobalTables(Globals* g);
// 1-based index of the list whose name equals the length-prefixed name, with
// its record in *found; 0 and null when there is none.
int16_t FindList(Globals* g, ListRec** found, const uint8_t* name);
// Opens the list file (reading, or reading and writing). kOk, or kCannotOpen
// with *file null.
int16_t OpenListFile(ListRec* list, plat::FileHandle* file, bool forWrite);
// The file's last-write time; kOk, or kFileNotFound with the time (1, 0).
int16_t GetModDate(Globals* g, ListRec* list, uint64_t* fileTime);
// Whether the memory copy equals the file, in *current: kOk, or
// kFileNotFound (and not current) when the file is gone.
int16_t MemCopyCurrent(Globals* g, ListRec* list, bool* current);
// Grows a movable block by extra bytes, keeping its content. False, with the
// old block intact, when no block of that size can be had.
bool GrowTheHandle(XPHandle* handle, uint32_t extra);
// Lines that lie wholly inside the list's buffer: lineCount, or fewer when
// the buffer is shorter, so that no scan can run past its end.
int32_t LinesInBuffer(const ListRec* list);
// A stamp for a change of the selection or content: the tick count, or the
// previous stamp plus one when the tick has not moved past it (changes
// within one tick), so that stamps only grow and every area sees every
// change.
uint32_t FreshStamp(uint32_t previous);
// Records an area that shows the list (the area, its scroll bar, its window
// and that window's previous procedure); false when its slots are full.
bool SubscribeToList(ListRec* list, const Subscriber& entry);
// Forgets one slot of the area; false when it has none (or no list is given).
bool UnsubscribeFromList(ListRec* list, void* area);
