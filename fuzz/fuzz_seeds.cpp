// Writes small BMP and TGA seed files into <folder>/bmp and <folder>/tga.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image_files.h"

namespace {

void WriteSeed(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder / "bmp");
    std::filesystem::create_directories(folder / "tga");
    for (int width = 1; width <= 5; ++width) {
        for (int height : {2, -2}) {
            WriteSeed(folder / "bmp" / ("w" + std::to_string(width) + "h" + std::to_string(height) + ".bmp"),
                      image_test::BmpBytes({.width = width, .height = height}));
        }
        for (uint8_t depth : {24, 32}) {
            WriteSeed(folder / "tga" / ("w" + std::to_string(width) + "d" + std::to_string(depth) + ".tga"),
                      image_test::TgaBytes({.width = static_cast<uint16_t>(width), .height = 2, .depth = depth}));
        }
    }
    WriteSeed(folder / "bmp" / "gap.bmp", image_test::BmpBytes({.width = 3, .height = 3, .gapBeforePixels = 10}));
    WriteSeed(folder / "tga" / "top.tga", image_test::TgaBytes({.width = 3, .height = 3, .depth = 32, .descriptor = 0x28}));
    return 0;
}
