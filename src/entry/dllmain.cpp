#include <windows.h>

#include "platform/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        if (!hInstLib) hInstLib = instance;
    } else if (reason == DLL_PROCESS_DETACH) {
        hInstLib = nullptr;
    }
    return TRUE;
}
