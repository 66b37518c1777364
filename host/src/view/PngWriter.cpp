// PNG output of rendered frames through stb_image_write (its implementation lives in this file only).
#include <cstdio>
#include <string>

#include "view/GlRenderer.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace kxh::view {

bool writePng(const Frame& frame, const std::string& path, std::string* error) {
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.rgba.size() != size_t(frame.width) * size_t(frame.height) * 4) {
        if (error) *error = "There is no image to write.";
        return false;
    }
    // Frames keep rows from the bottom up; PNG rows go from the top down.
    stbi_flip_vertically_on_write(1);
    if (!stbi_write_png(path.c_str(), frame.width, frame.height, 4, frame.rgba.data(), frame.width * 4)) {
        if (error) *error = "Cannot write the file \"" + path + "\".";
        return false;
    }
    return true;
}

}  // namespace kxh::view
