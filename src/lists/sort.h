// Sorting a list's lines in memory on a column.
#pragma once
#include <cstdint>

#include "lists/listrec.h"

struct Globals;

// Sorts list (the current list) on the 1-based column and puts the selection
// back on the line whose RSN was selected. Does nothing but beep, and returns
// false, when its work blocks cannot be allocated.
bool DoQSort(Globals* g, ListRec* list, int16_t column);
// Compares two keys of the current list over lineSize - sortKeyOffset bytes,
// folded and signed: 1, -1 or 0.
int32_t CompareItems(Globals* g, const uint8_t* a, const uint8_t* b);
