// Native build: the host's windows are the window recorder's host windows.
// Their procedure keeps the WindowHost as the window's user data and answers
// WM_PAINT with the areas' paint messages on a DC of the window.
#include "host_windows.h"
#include "platform/window_record.h"

namespace vhost {
namespace hostwin {
namespace {

constexpr uint32_t kPaint = 0x000F;  // WM_PAINT
constexpr int32_t kStagger = 24;

intptr_t VANDU_STDCALL HostWindowProc(win::Window w, uint32_t message, uintptr_t, intptr_t) {
    if (message != kPaint) return 0;
    const winrec::WindowState* state = winrec::State(w);
    auto* owner = state ? static_cast<WindowHost*>(state->data) : nullptr;
    win::DC dc = win::GetWindowDC(w);
    if (owner && dc) owner->PaintAreas(w, dc);
    if (dc) win::ReleaseWindowDC(w, dc);
    return 0;
}

}  // namespace

void* Open(WindowHost* owner, int32_t index, int32_t width, int32_t height) {
    const int32_t place = kStagger * (index % 10);
    win::Window w = winrec::NewHostWindow(place, place, width, height,
                                          reinterpret_cast<win::Proc>(&HostWindowProc));
    if (w) win::SetWindowData(w, owner);
    return w;
}

void Close(void* window) { winrec::DestroyHostWindow(window); }

void Paint(void* window) { winrec::Send(window, kPaint, 0, 0); }

void* BorrowDC(void* window) { return win::GetWindowDC(window); }

void ReturnDC(void* window, void* dc) { win::ReleaseWindowDC(window, dc); }

intptr_t Deliver(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return winrec::Send(window, message, wParam, lParam);
}

bool ScrollValues(void* bar, int32_t* min, int32_t* max, int32_t* page, int32_t* pos) {
    const winrec::WindowState* state = winrec::State(bar);
    if (!state || !state->scrollBar) return false;
    *min = state->scroll.min;
    *max = state->scroll.max;
    *page = state->scroll.page;
    *pos = state->scroll.pos;
    return true;
}

bool Pixels(void*, const int32_t[4], std::vector<uint32_t>*) { return false; }

bool ClipboardText(std::string* text) {
    if (!winrec::ClipboardHasText()) return false;
    *text = winrec::ClipboardText();
    return true;
}

void Activate(void*) {}

bool PumpOne(const std::function<void(void*, const Dispatch&)>&) { return false; }

void HoldModifiers(bool shift, bool control) {
    winrec::SetKey(win::kVkShift, shift);
    winrec::SetKey(win::kVkControl, control);
}

void PlaceCursor(void* window, int32_t x, int32_t y) {
    // A host window's rectangle is its client area on the screen.
    const winrec::WindowState* s = winrec::State(window);
    winrec::SetCursorScreen(x + (s ? s->rect.left : 0), y + (s ? s->rect.top : 0));
}

void QueueRelease() { winrec::QueueMouseButton(0); }

void FlushMouse() { winrec::QueueMouseButton(-1); }

}  // namespace hostwin
}  // namespace vhost
