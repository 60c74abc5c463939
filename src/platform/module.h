// The library's module instance handle, recorded at process attach.
#pragma once

extern void* hInstLib;
