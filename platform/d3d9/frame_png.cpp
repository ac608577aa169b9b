// Frames as PNG files, for people to look at.
#include <png.h>
#include <platform_testing.h>

#include <cstdint>
#include <vector>

namespace platform::testing {

bool WriteFramePng(const Frame& frame, const std::string& path) {
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() != static_cast<size_t>(frame.width) * frame.height) {
        return false;
    }
    // Back buffers carry no meaningful alpha: the picture is written opaque.
    std::vector<uint8_t> rgb;
    rgb.reserve(frame.pixels.size() * 3);
    for (const uint32_t pixel : frame.pixels) {
        rgb.push_back(static_cast<uint8_t>(pixel >> 16));
        rgb.push_back(static_cast<uint8_t>(pixel >> 8));
        rgb.push_back(static_cast<uint8_t>(pixel));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(frame.width);
    image.height = static_cast<png_uint_32>(frame.height);
    image.format = PNG_FORMAT_RGB;
    const int written =
        png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), frame.width * 3, nullptr);
    png_image_free(&image);
    return written != 0;
}

}  // namespace platform::testing
