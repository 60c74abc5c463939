// The current window procedure of a window, as the window system holds it:
// the real one under Windows, the recorder's natively.
#pragma once
#include <string>

namespace testwindows {

void* CurrentProc(void* window);
// Puts a known CF_TEXT text on the clipboard (the host reads it back).
void SetClipboardText(const std::string& text);

}  // namespace testwindows
