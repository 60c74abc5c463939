// How a command's result reaches the host: the status of a command call and
// the error text of the host variable "EX_EXT_ERROR".
#pragma once
#include <cstdint>

struct Globals;

// The host status for result r; sets errorText or errorNum where the status
// alone does not say what happened (998, 999, negative codes).
int16_t StatusOfResult(Globals* g, int16_t r);
// Assembles the call's error text, NUL-terminated, into textBuf: errorText,
// then " - error# " and errorNum when negative, then " - param#" and
// errorParam when set. Never more than 255 characters.
void AssembleErrorText(Globals* g);
