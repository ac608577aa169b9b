#include "image_files.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace image_test {

namespace {

void PutLittleEndian(std::vector<uint8_t>& bytes, uint64_t value, int byteCount)
{
    for (int i = 0; i < byteCount; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void PutPixel(std::vector<uint8_t>& bytes, uint32_t argb, int bytesPerPixel)
{
    bytes.push_back(static_cast<uint8_t>(argb));
    bytes.push_back(static_cast<uint8_t>(argb >> 8));
    bytes.push_back(static_cast<uint8_t>(argb >> 16));
    if (bytesPerPixel == 4) {
        bytes.push_back(static_cast<uint8_t>(argb >> 24));
    }
}

void CutEnd(std::vector<uint8_t>& bytes, size_t count)
{
    bytes.resize(bytes.size() > count ? bytes.size() - count : 0);
}

}  // namespace

uint32_t PatternPixel(int x, int y)
{
    uint32_t alpha = static_cast<uint32_t>(x * 37 + y * 11 + 5) & 0xFF;
    uint32_t red = static_cast<uint32_t>(x * 13 + 1) & 0xFF;
    uint32_t green = static_cast<uint32_t>(y * 29 + 2) & 0xFF;
    uint32_t blue = static_cast<uint32_t>(x * 7 + y * 17 + 3) & 0xFF;
    return alpha << 24 | red << 16 | green << 8 | blue;
}

std::vector<uint8_t> BmpBytes(const BmpFile& file)
{
    int rows = file.height < 0 ? -file.height : file.height;
    int width = file.width < 0 ? 0 : file.width;
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    uint32_t pixelOffset = 14 + 40 + file.gapBeforePixels;

    std::vector<uint8_t> bytes;
    PutLittleEndian(bytes, file.type, 2);
    PutLittleEndian(bytes, pixelOffset + stride * rows, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, pixelOffset, 4);
    PutLittleEndian(bytes, 40, 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(file.width), 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(file.height), 4);
    PutLittleEndian(bytes, 1, 2);
    PutLittleEndian(bytes, file.bitCount, 2);
    PutLittleEndian(bytes, file.compression, 4);
    PutLittleEndian(bytes, stride * rows, 4);
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 0, 4);
    bytes.insert(bytes.end(), file.gapBeforePixels, 0xEE);

    for (int stored = 0; stored < rows; ++stored) {
        int y = file.height > 0 ? rows - 1 - stored : stored;
        size_t rowStart = bytes.size();
        for (int x = 0; x < width; ++x) {
            PutPixel(bytes, PatternPixel(x, y), 3);
        }
        bytes.resize(rowStart + stride, 0);
    }
    CutEnd(bytes, file.cutFromEnd);
    return bytes;
}

std::vector<uint8_t> TgaBytes(const TgaFile& file)
{
    std::vector<uint8_t> bytes;
    PutLittleEndian(bytes, file.idLength, 1);
    PutLittleEndian(bytes, file.colorMapType, 1);
    PutLittleEndian(bytes, file.imageType, 1);
    PutLittleEndian(bytes, 0, 5);  // colour-map fields
    PutLittleEndian(bytes, file.xOrigin, 2);
    PutLittleEndian(bytes, file.yOrigin, 2);
    PutLittleEndian(bytes, file.width, 2);
    PutLittleEndian(bytes, file.height, 2);
    PutLittleEndian(bytes, file.depth, 1);
    PutLittleEndian(bytes, file.descriptor, 1);
    bytes.insert(bytes.end(), file.idLength, 'I');

    int bytesPerPixel = file.depth == 32 ? 4 : 3;
    for (int stored = 0; stored < file.height; ++stored) {
        int y = file.height - 1 - stored;
        for (int x = 0; x < file.width; ++x) {
            PutPixel(bytes, PatternPixel(x, y), bytesPerPixel);
        }
    }
    CutEnd(bytes, file.cutFromEnd);
    return bytes;
}

ScratchFolder::ScratchFolder()
{
    static std::atomic<int> serial{0};
    folder_ = std::filesystem::temp_directory_path() /
              ("corvane_image_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
    std::filesystem::create_directories(folder_);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::wstring ScratchFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    std::ofstream out(folder_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + name);
    }
    return PathOf(name);
}

std::wstring ScratchFolder::PathOf(const std::string& name) const
{
    return (folder_ / name).wstring();
}

void PutLittleEndian32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) {
        bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
    }
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int OpenFileCount()
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

}  // namespace image_test
