// Windows build: the host's windows are real top-level windows. Their
// procedure keeps the WindowHost in GWLP_USERDATA and answers WM_PAINT with
// the areas' paint messages between BeginPaint and EndPaint; once the
// external subclasses a window, the messages reach it through the external's
// procedure first.
#include <windows.h>

#include "host_windows.h"
#include "keys.h"

namespace vhost {
namespace hostwin {
namespace {

constexpr char kClassName[] = "VanduSubstituteHostWindow";
// A bordered pop-up: under Wine without a window manager, a window with a
// caption or a sizing frame (one the manager would decorate) takes about 2 s
// to be destroyed.
constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
constexpr int kStagger = 24;  // pixels between the places of successive windows

HWND H(void* window) { return static_cast<HWND>(window); }

// A person's key as the host's key code: the named keys by their virtual
// key, a letter held with Ctrl as the letter (the external looks at Ctrl
// itself), characters from WM_CHAR; 0 for any other.
uint8_t CodeOfKeyDown(WPARAM vk) {
    if (const int32_t code = KeyCodeOfVirtualKey(static_cast<uint32_t>(vk)))
        return static_cast<uint8_t>(code);
    if (vk >= 'A' && vk <= 'Z' && (GetKeyState(VK_CONTROL) & 0x8000))
        return static_cast<uint8_t>(vk - 'A' + 'a');
    return 0;
}

LRESULT CALLBACK HostWindowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = reinterpret_cast<WindowHost*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(w, &ps);
            if (owner && dc) owner->PaintAreas(w, dc);
            EndPaint(w, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (owner)
                owner->PressFromWindow(w, static_cast<int16_t>(LOWORD(lParam)),
                                       static_cast<int16_t>(HIWORD(lParam)));
            return 0;
        case WM_KEYDOWN:
            if (const uint8_t code = owner ? CodeOfKeyDown(wParam) : 0) {
                owner->KeyFromWindow(w, code);
                return 0;
            }
            break;
        case WM_CHAR:
            // Tab and Enter came as keys; Ctrl+letter gives control characters.
            if (owner && wParam >= 32 && wParam < 127 && !(GetKeyState(VK_CONTROL) & 0x8000))
                owner->KeyFromWindow(w, static_cast<uint8_t>(wParam));
            return 0;
        case WM_CLOSE:
            if (owner) {
                owner->CloseFromWindow(w);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

// Registered once per process. The button-face background sets the areas'
// white rows apart (a class without a brush starts black).
bool RegisterOnce() {
    static const ATOM atom = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = kClassName;
        return RegisterClassA(&wc);
    }();
    return atom != 0;
}

}  // namespace

void* Open(WindowHost* owner, int32_t index, int32_t width, int32_t height) {
    if (!RegisterOnce()) return nullptr;
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int place = kStagger * (index % 10);
    HWND w = CreateWindowExA(0, kClassName, "Vandu host window", kStyle, place, place,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             GetModuleHandleA(nullptr), owner);
    // Never activated: an active window waits for a window manager at destroy.
    if (w)
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return w;
}

void Close(void* window) {
    SetWindowLongPtrA(H(window), GWLP_USERDATA, 0);
    DestroyWindow(H(window));
}

void Paint(void* window) {
    InvalidateRect(H(window), nullptr, TRUE);
    UpdateWindow(H(window));
}

void* BorrowDC(void* window) { return GetDC(H(window)); }

void ReturnDC(void* window, void* dc) { ReleaseDC(H(window), static_cast<HDC>(dc)); }

intptr_t Deliver(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return SendMessageA(H(window), message, wParam, lParam);
}

bool ScrollValues(void* bar, int32_t* min, int32_t* max, int32_t* page, int32_t* pos) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (!GetScrollInfo(H(bar), SB_CTL, &info)) return false;
    *min = info.nMin;
    *max = info.nMax;
    *page = static_cast<int32_t>(info.nPage);
    *pos = info.nPos;
    return true;
}

// Copied from the window's own DC into a 32-bit DIB section (the screen DC
// reads black under Wine).
bool Pixels(void* window, const int32_t rect[4], std::vector<uint32_t>* pixels) {
    const int32_t width = rect[2] - rect[0], height = rect[3] - rect[1];
    if (width <= 0 || height <= 0) return false;
    HDC source = GetDC(H(window));
    if (!source) return false;
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                            : nullptr;
    bool ok = false;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, source, rect[0], rect[1], SRCCOPY) != 0;
        GdiFlush();
        if (ok) {
            const auto* px = static_cast<const uint32_t*>(bits);
            const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
            pixels->resize(n);
            // A DIB pixel is 0x00RRGGBB; a COLORREF 0x00BBGGRR.
            for (size_t i = 0; i < n; ++i)
                (*pixels)[i] = RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF);
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(H(window), source);
    return ok;
}

bool ClipboardText(std::string* text) {
    if (!OpenClipboard(nullptr)) return false;
    bool found = false;
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
            *text = p;
            found = true;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return found;
}

void Activate(void* window) {
    SetForegroundWindow(H(window));
    SetActiveWindow(H(window));
    SetFocus(H(window));
}

bool PumpOne(const std::function<void(void*, const Dispatch&)>& around) {
    MSG msg;
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) return false;
    TranslateMessage(&msg);
    around(msg.hwnd, [&msg] { DispatchMessageA(&msg); });
    return true;
}

void HoldModifiers(bool shift, bool control) {
    BYTE keys[256];
    if (!GetKeyboardState(keys)) return;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
}

void PlaceCursor(void* window, int32_t x, int32_t y) {
    POINT p = {x, y};
    ClientToScreen(H(window), &p);
    SetCursorPos(p.x, p.y);
}

void QueueRelease() {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

void FlushMouse() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

}  // namespace hostwin
}  // namespace vhost
