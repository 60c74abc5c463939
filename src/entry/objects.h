// The object messages of list areas: the prologue that binds the object to
// its area and list, the sync, the device context, and the hand-over to the
// list window.
#pragma once
#include <cstdint>

#include "host/callbacks.h"

// Handles message 101, 103, 105, 147, 148, 149, 151, 152 or 156 for the
// object (which may be null); true when the message is one of these.
bool ObjectMessage(int16_t message, void* obj, HostCallback cb);
