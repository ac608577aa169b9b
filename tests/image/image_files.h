// Small writers for the BMP and TGA files the tests and benchmarks
// decode, and a file reader.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace image_test {

// The colour the written files hold at (x, y), y from the top, as 0xAARRGGBB.
// Distinct per pixel, with alpha varying, so a skew, flip or channel swap shows.
uint32_t PatternPixel(int x, int y);

struct BmpFile {
    int32_t width = 1;
    int32_t height = 1;  // negative: rows stored top row first
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint16_t type = 0x4D42;
    uint32_t gapBeforePixels = 0;  // bytes between the headers and the pixel rows
    size_t cutFromEnd = 0;         // bytes dropped from the end of the file
};
// The file's bytes: the pattern as 24-bit rows padded to 4 bytes.
std::vector<uint8_t> BmpBytes(const BmpFile& file);

struct TgaFile {
    uint8_t idLength = 0;
    uint8_t colorMapType = 0;
    uint8_t imageType = 2;
    uint16_t xOrigin = 0;
    uint16_t width = 1;
    uint16_t height = 1;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
    size_t cutFromEnd = 0;
};
// The file's bytes: the pattern bottom row first, alpha kept for depth 32.
std::vector<uint8_t> TgaBytes(const TgaFile& file);

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

}  // namespace image_test
