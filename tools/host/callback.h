// The callback that the substitute host hands the external, and the "current
// host" it answers for: a callback receives no user pointer, so whoever calls
// into the external makes its state current for the duration of the call.
#pragma once
#include <cstdint>

#include "host/callbacks.h"

namespace vhost {

struct HostState;

// Answers one request against the current state; 0 when none is current or
// the request is unknown. Every request code is appended to the request log.
int32_t VANDU_CDECL HostEntryCallback(int32_t request, ...);

// Makes a state current for the lifetime of the scope (nested scopes restore
// the previous one).
class CurrentHostScope {
public:
    explicit CurrentHostScope(HostState* state);
    ~CurrentHostScope();
    CurrentHostScope(const CurrentHostScope&) = delete;
    CurrentHostScope& operator=(const CurrentHostScope&) = delete;

private:
    HostState* previous_;
};

}  // namespace vhost
