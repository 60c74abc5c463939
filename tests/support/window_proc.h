// The current window procedure of a window, as the window system holds it:
// the real one under Windows, the recorder's natively.
#pragma once

namespace testwindows {

void* CurrentProc(void* window);

}  // namespace testwindows
