// The host's key codes and the physical keys that produce them: one table
// for the script's Key statement, the transcript and the keys a person
// types into a host window.
#pragma once
#include <cstdint>
#include <string>

namespace vhost {

// The host's code of a key name ("down", "pageup", ...; case ignored); 0
// when the name is none of them.
int32_t KeyCodeOfName(const std::string& name);
// The host's code of a Win32 virtual key (VK_DOWN ...); 0 when the key has
// none (characters come as characters).
int32_t KeyCodeOfVirtualKey(uint32_t vk);
// A code in the Key statement's notation: its name, a quoted character
// ('b', with a quote doubled) or the number.
std::string KeyNotation(uint8_t code);

}  // namespace vhost
