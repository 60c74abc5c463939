// The display state of one list area: one per list-area object, kept in the
// object's host record. Platform-neutral: window, font and procedure handles
// are opaque pointers here.
#pragma once
#include <cstdint>

#include "lists/listrec.h"

struct Globals;

// Packed on 2 bytes like the ListRec it begins with, so that the copy of
// the list keeps the list's layout and the record its 936 bytes; its 4-byte
// fields after faceName sit on 2-byte boundaries (read them by value).
#pragma pack(push, 2)
struct AreaRect {
    int32_t left, top, right, bottom;
};

struct AreaRec {
    ListRec listCopy;       // copy of the bound list's record
    void* hostObj;          // the object's host record
    Globals* globals;
    int16_t initCount;      // initialisation messages seen, saturating at 10
    int16_t shown;          // non-zero once shown at run time (InitRequest)
    int32_t topLine;        // line in the first row
    int32_t selection;      // selected line
    void* hostWindow;
    void* scrollWindow;
    void* prevWndProc;
    uint8_t faceName[33];   // length byte, up to 31 characters, NUL
    int16_t fontSize;
    int16_t lineHeight;
    int16_t ascent;
    int16_t charWidth;
    void* font;
    uint32_t textColor;
    int16_t baseY;
    int16_t textX;
    int32_t rows;
    int16_t cols;
    int16_t maxCol;
    AreaRect areaRect;
    AreaRect scrollRect;
    AreaRect textRect;
    AreaRect rowRect;
    int16_t clickMode;
    int16_t fromCol;
    int16_t colWidth;
    int16_t dataFldRef;
    char dclkProc[65];
    int16_t clickFldRef;
    char clkProc[65];
};
#pragma pack(pop)
static_assert(sizeof(AreaRec) == 936, "AreaRec layout");
