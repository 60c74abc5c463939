// Pictures of host windows as PNG files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vhost {

// Writes width x height pixels, row by row as COLORREF values (0x00BBGGRR,
// as Host::ReadPixels gives them), to path as an 8-bit RGB PNG. False with
// *error set when the file cannot be written.
bool WritePng(const std::string& path, int32_t width, int32_t height,
              const std::vector<uint32_t>& pixels, std::string* error);

}  // namespace vhost
