// Calling conventions of the functions the host and Windows call: the entry
// point and window procedures are stdcall, the host's callback cdecl. Outside
// 32-bit x86 the attributes mean nothing and are left out.
#pragma once

#if defined(__i386__) || defined(_M_IX86)
#define VANDU_CDECL __attribute__((cdecl))
#define VANDU_STDCALL __attribute__((stdcall))
#else
#define VANDU_CDECL
#define VANDU_STDCALL
#endif
