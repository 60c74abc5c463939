// The one search routine of the list store, and the routine that turns a
// host text into a line image of a list's width.
#pragma once
#include <cstdint>

#include "lists/listrec.h"

struct Globals;

// Searches list for the length-prefixed searchText (folded in place) at the
// 1-based column startCol. exact: the selected line if it matches, else the
// first line whose compare window equals the text. Ordered: the first line
// whose window is equal to or greater than the text. -1 when none.
int32_t FindLine(Globals* g, bool exact, ListRec* list, int16_t startCol, uint8_t* searchText);

// Longest line image that the editing commands can build (the text buffer).
constexpr int32_t kMaxImageSize = 255;

// Turns the text in g->textBuf into a line image of exactly lineSize bytes
// (padded or cut, terminator appended); a list without lines takes its
// lineSize (text length + 2) and CR LF from it. Returns false, changing
// nothing, when the image cannot be built in the text buffer (lineSize above
// 255, or a first text that would fix one).
bool PrepLine(Globals* g, ListRec* list);
