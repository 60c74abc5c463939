#include "support/window_proc.h"

#ifdef _WIN32
#include <windows.h>

#include <cstring>
#else
#include "platform/window_record.h"
#endif

namespace testwindows {

void* CurrentProc(void* window) {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetWindowLongPtrA(static_cast<HWND>(window), GWLP_WNDPROC));
#else
    const winrec::WindowState* s = winrec::State(window);
    return s ? s->proc : nullptr;
#endif
}

intptr_t SendToWindow(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
#ifdef _WIN32
    return SendMessageA(static_cast<HWND>(window), message, wParam, lParam);
#else
    return winrec::Send(window, message, wParam, lParam);
#endif
}

void SetClipboardText(const std::string& text) {
#ifdef _WIN32
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    if (HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        char* p = static_cast<char*>(GlobalLock(h));
        std::memcpy(p, text.c_str(), text.size() + 1);
        GlobalUnlock(h);
        if (!SetClipboardData(CF_TEXT, h)) GlobalFree(h);
    }
    CloseClipboard();
#else
    winrec::SetClipboardText(text);
#endif
}

}  // namespace testwindows
