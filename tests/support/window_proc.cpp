#include "support/window_proc.h"

#ifdef _WIN32
#include <windows.h>
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

}  // namespace testwindows
