// Win32 body of the window layer: each function is the USER or GDI call
// that window.h names.
#include <windows.h>

#include <cstring>

#include "platform/module.h"
#include "platform/window.h"

namespace win {
namespace {
inline HWND W(Window w) { return static_cast<HWND>(w); }
inline HDC D(DC dc) { return static_cast<HDC>(dc); }
inline RECT R(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline Rect FromRECT(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
}  // namespace

DC GetWindowDC(Window w) { return GetDC(W(w)); }

void ReleaseWindowDC(Window w, DC dc) { ReleaseDC(W(w), D(dc)); }

Font NewFont(int32_t height, int32_t weight, uint8_t pitchAndFamily, const char* face) {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = pitchAndFamily;
    if (face) {
        // LF_FACESIZE - 1 characters at most; the memset left the NUL.
        const size_t n = strnlen(face, LF_FACESIZE - 1);
        std::memcpy(lf.lfFaceName, face, n);
    }
    return CreateFontIndirectA(&lf);
}

void DeleteFont(Font f) {
    if (f) DeleteObject(static_cast<HFONT>(f));
}

Font SelectFont(DC dc, Font f) { return SelectObject(D(dc), static_cast<HFONT>(f)); }

bool MeasureFont(DC dc, FontMetrics* out) {
    TEXTMETRICA tm;
    if (!GetTextMetricsA(D(dc), &tm)) return false;
    out->height = tm.tmHeight;
    out->descent = tm.tmDescent;
    out->externalLeading = tm.tmExternalLeading;
    out->aveCharWidth = tm.tmAveCharWidth;
    return true;
}

uint32_t TextColour(DC dc) { return GetTextColor(D(dc)); }
uint32_t SetTextColour(DC dc, uint32_t colour) { return SetTextColor(D(dc), colour); }
uint32_t SetBackColour(DC dc, uint32_t colour) { return SetBkColor(D(dc), colour); }
uint32_t SetTextAlignment(DC dc, uint32_t align) { return SetTextAlign(D(dc), align); }
uint32_t SystemColour(int32_t index) { return GetSysColor(index); }

void FillWhite(DC dc, const Rect& r) {
    const RECT rc = R(r);
    FillRect(D(dc), &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void FrameBlack(DC dc, const Rect& r) {
    const RECT rc = R(r);
    FrameRect(D(dc), &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void FillSolid(DC dc, const Rect& r, uint32_t colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return;
    const RECT rc = R(r);
    FillRect(D(dc), &rc, brush);
    DeleteObject(brush);
}

void TextRun(DC dc, int32_t x, int32_t y, const uint8_t* bytes, int32_t n) {
    if (n < 0) return;
    TextOutA(D(dc), x, y, reinterpret_cast<LPCSTR>(bytes), n);
}

Region NewRegion() { return CreateRectRgn(0, 0, 0, 0); }

void DeleteRegion(Region rgn) {
    if (rgn) DeleteObject(static_cast<HRGN>(rgn));
}

void SetRegionRect(Region rgn, const Rect& r) {
    SetRectRgn(static_cast<HRGN>(rgn), r.left, r.top, r.right, r.bottom);
}

void SelectClip(DC dc, Region rgn) { SelectClipRgn(D(dc), static_cast<HRGN>(rgn)); }

int32_t VScrollWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

Window NewScrollBar(Window parent, const Rect& r) {
    return CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, r.left,
                           r.top, r.right - r.left, r.bottom - r.top, W(parent), nullptr,
                           static_cast<HINSTANCE>(hInstLib), nullptr);
}

void DestroyWin(Window w) { DestroyWindow(W(w)); }

void SetWindowData(Window w, void* data) {
    SetWindowLongPtrA(W(w), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
}

void SetScroll(Window bar, const ScrollState& s, bool redraw) {
    SCROLLINFO si;
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = s.min;
    si.nMax = s.max;
    si.nPage = static_cast<UINT>(s.page);
    si.nPos = s.pos;
    si.nTrackPos = 0;
    SetScrollInfo(W(bar), SB_CTL, &si, redraw);
}

int32_t ScrollPos(Window bar) { return GetScrollPos(W(bar), SB_CTL); }

void SetScrollPos(Window bar, int32_t pos, bool redraw) { ::SetScrollPos(W(bar), SB_CTL, pos, redraw); }

void MoveWin(Window w, const Rect& r, bool repaint) {
    MoveWindow(W(w), r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
}

void InvalidateArea(Window w, const Rect& r, bool erase) {
    const RECT rc = R(r);
    InvalidateRect(W(w), &rc, erase);
}

void ValidateArea(Window w, const Rect& r) {
    const RECT rc = R(r);
    ValidateRect(W(w), &rc);
}

void ScrollArea(Window w, int32_t dy, const Rect& r, Rect* uncovered) {
    const RECT rc = R(r);
    RECT left = {0, 0, 0, 0};
    ScrollWindowEx(W(w), 0, dy, &rc, &rc, nullptr, &left, 0);
    if (uncovered) *uncovered = FromRECT(left);
}

// In the 32-bit build SetWindowLongPtrA is SetWindowLongA.
Proc SetWindowProc(Window w, Proc p) {
    return reinterpret_cast<Proc>(
        SetWindowLongPtrA(W(w), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(p)));
}

intptr_t CallProc(Proc p, Window w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return CallWindowProcA(reinterpret_cast<WNDPROC>(p), W(w), message,
                           static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

uint32_t MessageTime() { return static_cast<uint32_t>(GetMessageTime()); }

bool CursorPos(int32_t* x, int32_t* y) {
    POINT pt;
    if (!GetCursorPos(&pt)) return false;
    *x = pt.x;
    *y = pt.y;
    return true;
}

bool ToClient(Window w, int32_t* x, int32_t* y) {
    POINT pt = {*x, *y};
    if (!ScreenToClient(W(w), &pt)) return false;
    *x = pt.x;
    *y = pt.y;
    return true;
}

bool KeyboardState(uint8_t keys[256]) { return GetKeyboardState(keys) != 0; }

// The high word of GetQueueStatus holds the kinds of message currently in
// the queue; the low word only those added since the previous status call.
// A press-tracking loop polls repeatedly, so only the high word keeps
// reporting a release that an earlier poll has already seen.
bool MouseButtonWaiting() { return HIWORD(GetQueueStatus(QS_MOUSEBUTTON)) != 0; }

bool OpenClip(Window owner) { return OpenClipboard(W(owner)) != 0; }

void EmptyClip() { EmptyClipboard(); }

bool PutClipText(const uint8_t* bytes, int32_t n) {
    if (n < 0) return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(n) + 1);
    if (!block) return false;
    char* p = static_cast<char*>(GlobalLock(block));
    if (!p) {
        GlobalFree(block);
        return false;
    }
    if (n > 0) std::memcpy(p, bytes, static_cast<size_t>(n));
    p[n] = '\0';
    GlobalUnlock(block);
    // The system owns the block once SetClipboardData succeeds.
    if (!SetClipboardData(CF_TEXT, block)) {
        GlobalFree(block);
        return false;
    }
    return true;
}

void CloseClip() { CloseClipboard(); }

}  // namespace win
