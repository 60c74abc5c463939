// The library's module instance handle: set by the DLL entry at process
// attach (Windows), null in the native builds, which have no module.
#include "platform/module.h"

void* hInstLib = nullptr;
