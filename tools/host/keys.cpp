#include "keys.h"

#include "catalogue_names.h"

namespace vhost {
namespace {

struct NamedKey {
    const char* name;
    uint8_t code;  // the host's key code
    uint32_t vk;   // the Win32 virtual key that produces it
};

// Codes 27 to 29 all choose the selected line: Enter gives 27, Tab 28;
// 29 has no key of its own (the Key statement sends it by number).
constexpr NamedKey kKeys[] = {
    {"up", 17, 0x26},     {"down", 18, 0x28}, {"pageup", 21, 0x21}, {"pagedown", 22, 0x22},
    {"home", 25, 0x24},   {"end", 26, 0x23},  {"enter", 27, 0x0D},  {"tab", 28, 0x09},
};

}  // namespace

int32_t KeyCodeOfName(const std::string& name) {
    for (const NamedKey& k : kKeys)
        if (EqualsIgnoreCase(name, k.name)) return k.code;
    return 0;
}

int32_t KeyCodeOfVirtualKey(uint32_t vk) {
    for (const NamedKey& k : kKeys)
        if (k.vk == vk) return k.code;
    return 0;
}

std::string KeyNotation(uint8_t code) {
    for (const NamedKey& k : kKeys)
        if (k.code == code) return k.name;
    if (code == '\'') return "''''";
    if (code >= 32 && code < 127) return "'" + std::string(1, static_cast<char>(code)) + "'";
    return std::to_string(code);
}

}  // namespace vhost
