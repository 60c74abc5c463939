// The recording body of the window layer (native trees): it draws nothing,
// records every fill, frame, text run, scroll and update-region call, and
// keeps the state that the real system would: windows with their procedures,
// user data, rectangles and scroll-bar information; device contexts with
// their text state and clip; fonts; the cursor, the keyboard state, queued
// mouse-button messages and the clipboard. Tests and the substitute host set
// and read it here.
//
// A call on a handle that the layer never gave out, or gave out and took
// back (a destroyed window, a released DC, a deleted font), any call that
// addresses a null window where a real one is needed, a null window
// procedure installed or called, a DC released for another window, a font
// deleted while a live DC still has it selected, and clipboard calls
// outside OpenClip..CloseClip, are faults of the caller: the recorder prints
// them and aborts, so that tests, sanitizers and fuzzers catch them.
//
// A DC's font starts as null, which stands for the system font: selecting
// back what SelectFont returned always restores the DC.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window.h"

namespace winrec {

// What a drawing call did, with the DC's state at that moment.
struct Op {
    enum Kind { kFillWhite, kFrameBlack, kFillSolid, kText, kScroll, kInvalidate, kValidate };
    Kind kind;
    win::Window window;   // the DC's window (kScroll, kInvalidate, kValidate: the window)
    win::Rect rect;       // the rectangle (kText: zero)
    uint32_t colour;      // kFillSolid: the brush; kText: the DC's text colour
    uint32_t backColour;  // kText: the DC's background colour
    int32_t x, y;         // kText: position; kScroll: dy in y; kInvalidate: erase flag in x
    std::string text;     // kText: the bytes drawn
    win::Font font;       // kText: the font selected
    uint32_t align;       // kText: the DC's alignment
    bool clipped;         // a clip rectangle was selected
    win::Rect clip;       // the DC's clip rectangle then
};

struct WindowState {
    win::Window parent = nullptr;
    bool scrollBar = false;
    win::Rect rect{0, 0, 0, 0};      // in the parent's client coordinates (top level: screen)
    void* data = nullptr;            // GWL_USERDATA
    win::Proc proc = nullptr;        // current window procedure
    win::ScrollState scroll{0, 0, 0, 0};
    // Disabled by SetScroll because its range leaves nothing to scroll.
    bool scrollDisabled = false;
    // Moves, repaint flags and scroll-info redraws are counted, not drawn.
    int32_t moves = 0;
    int32_t redraws = 0;  // moves with repaint, scroll changes with redraw
};

struct FontState {
    int32_t height = 0;
    int32_t weight = 0;
    uint8_t pitchAndFamily = 0;
    std::string face;  // as CreateFontIndirectA got it: at most 31 characters
};

// Forgets every window, DC, font, region, op and input state.
void Reset();

// A top-level host window whose client area starts at (left, top) on the
// screen, of the given size, with procedure proc (null: one that answers 0
// to everything and counts the messages it got in DefaultProcCalls). Its
// state's rect is that client area; its window rectangle (WindowRect) adds
// a frame of kFrame pixels on the left, right and bottom and kCaption +
// kFrame on top, as a captioned window's frame does. Destroying it
// destroys its child windows too.
constexpr int32_t kFrame = 4;
constexpr int32_t kCaption = 19;
win::Window NewHostWindow(int32_t left, int32_t top, int32_t width, int32_t height,
                          win::Proc proc = nullptr);
// The window rectangle in screen coordinates, as GetWindowRect gives it.
win::Rect WindowRect(win::Window w);
void DestroyHostWindow(win::Window w);
// Null when the window is unknown or destroyed.
WindowState* State(win::Window w);
bool IsLive(win::Window w);
// Null when the font is unknown or deleted.
const FontState* FontInfo(win::Font f);
// Sends a message to the window's current procedure (as SendMessage does).
intptr_t Send(win::Window w, uint32_t message, uintptr_t wParam, intptr_t lParam);
int32_t DefaultProcCalls();

// Ops recorded since the last ClearOps.
const std::vector<Op>& Ops();
void ClearOps();
// Ops of one kind since the last ClearOps.
int32_t CountOps(Op::Kind kind);

// Live resources, for leak checks: windows (host windows included), DCs
// obtained and not released, fonts not deleted, regions not deleted.
int32_t LiveWindows();
int32_t LiveDCs();
int32_t LiveFonts();
int32_t LiveRegions();
// Makes the next n scroll-bar creations fail (0: none).
void FailScrollBars(int32_t n);
// Makes the next n font creations fail.
void FailFonts(int32_t n);

// Text metrics of a recorder font of height h (negative: pixels): tmHeight
// |h| (16 when 0), tmDescent tmHeight / 4, tmExternalLeading 1,
// tmAveCharWidth max(1, tmHeight / 2).
win::FontMetrics MetricsOf(int32_t height);

// The system's answers.
void SetMessageTime(uint32_t t);
void SetCursorScreen(int32_t x, int32_t y);
void SetKey(int32_t vk, bool down);
void SetKeyboardReadable(bool readable);
// A mouse-button message shows as waiting after the given number of further
// polls of MouseButtonWaiting (0: at the next poll); -1 clears it. Once
// waiting it stays so until cleared, as the real queue does.
void QueueMouseButton(int32_t afterPolls = 0);
int32_t MouseButtonPolls();
// Called at every poll of MouseButtonWaiting, before it answers: lets a test
// move the cursor during a press-tracking loop.
void OnMouseButtonPoll(std::function<void(int32_t poll)> hook);

// The clipboard: its CF_TEXT text, whether it holds any, whether it can be
// opened.
bool ClipboardHasText();
std::string ClipboardText();
void SetClipboardText(const std::string& text);
void SetClipboardOpenable(bool openable);

}  // namespace winrec
