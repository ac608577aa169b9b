#include "image_files.h"

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace image_test {

namespace {

// Appends each value as that many bytes, least significant first (a pixel's
// 0xAARRGGBB thus becomes blue, green, red and, for 4 bytes, alpha).
void Put(std::vector<uint8_t>& bytes, std::initializer_list<std::pair<uint64_t, int>> fields) {
    for (auto [value, size] : fields)
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> CutEnd(std::vector<uint8_t> bytes, size_t count) {
    bytes.resize(bytes.size() > count ? bytes.size() - count : 0);
    return bytes;
}

}  // namespace

uint32_t PatternPixel(int x, int y) {
    auto byte = [](int value) { return static_cast<uint32_t>(value) & 0xFF; };
    return byte(x * 37 + y * 11 + 5) << 24 | byte(x * 13 + 1) << 16 | byte(y * 29 + 2) << 8 |
           byte(x * 7 + y * 17 + 3);
}

std::vector<uint8_t> BmpBytes(const BmpFile& file) {
    int rows = file.height < 0 ? -file.height : file.height;
    int width = file.width < 0 ? 0 : file.width;
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    uint32_t pixelOffset = 14 + 40 + file.gapBeforePixels;

    std::vector<uint8_t> bytes;
    // clang-format off
    Put(bytes, {{file.type, 2}, {pixelOffset + stride * rows, 4}, {0, 4}, {pixelOffset, 4},
                {40, 4}, {static_cast<uint32_t>(file.width), 4},
                {static_cast<uint32_t>(file.height), 4}, {1, 2}, {file.bitCount, 2},
                {file.compression, 4}, {stride * rows, 4}, {2835, 4}, {2835, 4}, {0, 8}});
    // clang-format on
    bytes.insert(bytes.end(), file.gapBeforePixels, 0xEE);
    for (int stored = 0; stored < rows; ++stored) {
        int y = file.height > 0 ? rows - 1 - stored : stored;
        size_t rowStart = bytes.size();
        for (int x = 0; x < width; ++x) Put(bytes, {{PatternPixel(x, y), 3}});
        bytes.resize(rowStart + stride, 0);
    }
    return CutEnd(std::move(bytes), file.cutFromEnd);
}

std::vector<uint8_t> TgaBytes(const TgaFile& file) {
    std::vector<uint8_t> bytes;
    // clang-format off
    Put(bytes, {{file.idLength, 1}, {file.colorMapType, 1}, {file.imageType, 1}, {0, 5},
                {file.xOrigin, 2}, {0, 2}, {file.width, 2}, {file.height, 2}, {file.depth, 1},
                {file.descriptor, 1}});
    // clang-format on
    bytes.insert(bytes.end(), file.idLength, 'I');
    for (int y = file.height - 1; y >= 0; --y) {
        for (int x = 0; x < file.width; ++x)
            Put(bytes, {{PatternPixel(x, y), file.depth == 32 ? 4 : 3}});
    }
    return CutEnd(std::move(bytes), file.cutFromEnd);
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

}  // namespace image_test
