// Reading the parameters of the current call. Commands read them as host
// fields, value functions with the function-parameter request.
#pragma once
#include <cstdint>

struct Globals;

// Parameter n (1-based) as a 16-bit integer, truncated toward zero.
int16_t ParamInt(const Globals* g, int32_t n);
// Parameter n as a 32-bit integer, truncated toward zero.
int32_t ParamLong(const Globals* g, int32_t n);
// Parameter n as a length-prefixed text of at most maxLen (<= 255) characters
// into buf (at least maxLen + 2 bytes); a NUL follows the last character.
// Returns the length.
int32_t ParamText(const Globals* g, int32_t n, int32_t maxLen, uint8_t* buf);
