// Decoders for the Win32 resource formats that the DLL check reads: string
// table blocks and version blocks. Malformed data yields false, never a read
// outside the given bytes.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pe {

// String number n lives in block (n / 16) + 1, at index n % 16.
inline uint16_t StringBlockId(uint16_t stringId) { return static_cast<uint16_t>(stringId / 16 + 1); }

// The 16 strings of a string table block (UTF-8; empty where absent).
bool DecodeStringBlock(const std::vector<uint8_t>& data, std::vector<std::string>* strings);

struct VersionInfo {
    uint16_t fileVersion[4] = {0, 0, 0, 0};
    uint16_t productVersion[4] = {0, 0, 0, 0};
    uint32_t fileType = 0;
    // StringFileInfo: block key ("040904E4") -> value name -> text.
    std::map<std::string, std::map<std::string, std::string>> strings;
    // VarFileInfo "Translation": (language, code page) pairs.
    std::vector<std::pair<uint16_t, uint16_t>> translations;
};

bool DecodeVersionInfo(const std::vector<uint8_t>& data, VersionInfo* info);

}  // namespace pe
