// The current window procedure of a window, as the window system holds it:
// the real one under Windows, the recorder's natively.
#pragma once
#include <cstdint>
#include <string>

namespace testwindows {

void* CurrentProc(void* window);
// Sends a message to the window's current procedure (SendMessage).
intptr_t SendToWindow(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Puts a known CF_TEXT text on the clipboard (the host reads it back).
void SetClipboardText(const std::string& text);

}  // namespace testwindows
