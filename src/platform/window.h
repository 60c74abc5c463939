// The thin layer over USER and GDI that the list window uses. Free functions
// over opaque handles; one body makes the real calls (window_win32.cpp, in
// the DLL), the other records what was drawn and keeps the window state that
// the real system would (window_record.cpp, native trees; see
// window_record.h for what tests set and read).
//
// Rectangles are in the window's client coordinates unless said otherwise.
// Colours are COLORREF values (0x00BBGGRR).
#pragma once
#include <cstdint>

#include "platform/abi.h"

namespace win {

typedef void* Window;
typedef void* DC;
typedef void* Font;
typedef void* Region;
// A window procedure, as SetWindowLong hands it over.
typedef void* Proc;
// The signature of a window procedure.
typedef intptr_t(VANDU_STDCALL* ProcFn)(Window window, uint32_t message, uintptr_t wParam,
                                        intptr_t lParam);

struct Rect {
    int32_t left, top, right, bottom;
};

struct FontMetrics {
    int32_t height;           // tmHeight
    int32_t descent;          // tmDescent
    int32_t externalLeading;  // tmExternalLeading
    int32_t aveCharWidth;     // tmAveCharWidth
};

// A scroll bar's range, page and thumb position.
struct ScrollState {
    int32_t min, max, page, pos;
};

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0x00000000;
// System colour indexes.
constexpr int32_t kColorHighlight = 13;
constexpr int32_t kColorHighlightText = 14;
// Text alignment TA_BASELINE | TA_LEFT.
constexpr uint32_t kAlignBaseline = 24;

// Window messages and scroll-bar request codes the list window handles.
constexpr uint32_t kMsgVScroll = 0x0115;  // WM_VSCROLL
enum ScrollCode : int32_t {
    kLineUp = 0,
    kLineDown = 1,
    kPageUp = 2,
    kPageDown = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kTop = 6,
    kBottom = 7,
    kEndScroll = 8,
};

// Virtual keys whose state the list window reads.
constexpr int32_t kVkShift = 16;
constexpr int32_t kVkControl = 17;

// Device contexts: GetDC / ReleaseDC. A null window gives a screen DC.
DC GetWindowDC(Window w);
void ReleaseWindowDC(Window w, DC dc);

// Fonts: CreateFontIndirectA with the given height (negative: character
// height in pixels), weight, pitch and family and face; every other field 0
// but the character set, DEFAULT_CHARSET. Null on failure.
Font NewFont(int32_t height, int32_t weight, uint8_t pitchAndFamily, const char* face);
void DeleteFont(Font f);
// Selects the font into the DC; returns the previous one.
Font SelectFont(DC dc, Font f);
// GetTextMetricsA of the font selected into the DC; false on failure.
bool MeasureFont(DC dc, FontMetrics* out);

// Text state of a DC. Each setter returns the previous value.
uint32_t TextColour(DC dc);
uint32_t SetTextColour(DC dc, uint32_t colour);
uint32_t SetBackColour(DC dc, uint32_t colour);
uint32_t SetTextAlignment(DC dc, uint32_t align);
uint32_t SystemColour(int32_t index);

// Fills and frames: the stock white brush, the stock black brush (FrameRect),
// and a solid brush of the colour, created for the fill and deleted after it.
void FillWhite(DC dc, const Rect& r);
void FrameBlack(DC dc, const Rect& r);
void FillSolid(DC dc, const Rect& r, uint32_t colour);
// TextOutA of n bytes at (x, y), in the DC's alignment, colour and font.
void TextRun(DC dc, int32_t x, int32_t y, const uint8_t* bytes, int32_t n);

// Clip regions: make the region the rectangle, and select it as the DC's clip.
Region NewRegion();
void DeleteRegion(Region rgn);
void SetRegionRect(Region rgn, const Rect& r);
void SelectClip(DC dc, Region rgn);

// GetSystemMetrics(SM_CXVSCROLL).
int32_t VScrollWidth();

// The scroll-bar child window: class "SCROLLBAR", style WS_CHILD |
// WS_VISIBLE | SBS_VERT, at r in the parent, the module's instance handle.
// Null when it cannot be created.
Window NewScrollBar(Window parent, const Rect& r);
void DestroyWin(Window w);
// GWL_USERDATA.
void SetWindowData(Window w, void* data);
// SetScrollInfo(SB_CTL) with SIF_RANGE | SIF_PAGE | SIF_POS |
// SIF_DISABLENOSCROLL.
void SetScroll(Window bar, const ScrollState& s, bool redraw);
int32_t ScrollPos(Window bar);
void SetScrollPos(Window bar, int32_t pos, bool redraw);
void MoveWin(Window w, const Rect& r, bool repaint);

// Update regions.
void InvalidateArea(Window w, const Rect& r, bool erase);
void ValidateArea(Window w, const Rect& r);
// ScrollWindowEx by dy inside r (scroll and clip rectangle), no update
// region, flags 0; *uncovered receives the rectangle left to draw.
void ScrollArea(Window w, int32_t dy, const Rect& r, Rect* uncovered);

// Window procedures: SetWindowLongA(GWL_WNDPROC) returns the previous one.
Proc SetWindowProc(Window w, Proc p);
intptr_t CallProc(Proc p, Window w, uint32_t message, uintptr_t wParam, intptr_t lParam);
// GetMessageTime.
uint32_t MessageTime();

// Mouse and keyboard.
// GetCursorPos, in screen coordinates.
bool CursorPos(int32_t* x, int32_t* y);
// ScreenToClient of the window.
bool ToClient(Window w, int32_t* x, int32_t* y);
// GetKeyboardState; false when it cannot be read.
bool KeyboardState(uint8_t keys[256]);
// GetQueueStatus(QS_MOUSEBUTTON): a mouse-button message is waiting.
bool MouseButtonWaiting();

// The clipboard, CF_TEXT.
bool OpenClip(Window owner);
void EmptyClip();
// Hands over n bytes and a NUL in a GMEM_MOVEABLE | GMEM_DDESHARE block.
bool PutClipText(const uint8_t* bytes, int32_t n);
void CloseClip();

}  // namespace win
