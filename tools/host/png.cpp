#include "png.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace vhost {

bool WritePng(const std::string& path, int32_t width, int32_t height,
              const std::vector<uint32_t>& pixels, std::string* error) {
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (width <= 0 || height <= 0 || pixels.size() != n) {
        *error = "no pixels to write to '" + path + "'";
        return false;
    }
    std::vector<uint8_t> rgb(n * 3);
    for (size_t i = 0; i < n; ++i) {
        rgb[3 * i] = static_cast<uint8_t>(pixels[i] & 0xFF);
        rgb[3 * i + 1] = static_cast<uint8_t>((pixels[i] >> 8) & 0xFF);
        rgb[3 * i + 2] = static_cast<uint8_t>((pixels[i] >> 16) & 0xFF);
    }
    if (!stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3)) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

}  // namespace vhost
