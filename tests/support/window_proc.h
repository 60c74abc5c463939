// The current window procedure of a window, as the window system holds it:
// the real one under Windows, the recorder's natively.
#pragma once
#include <string>

namespace testwindows {

void* CurrentProc(void* window);
// The CF_TEXT text on the clipboard ("" when it holds none), and a known
// text put there.
std::string ClipboardText();
void SetClipboardText(const std::string& text);

}  // namespace testwindows
