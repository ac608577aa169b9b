#include <cstring>
#include <fstream>
#include <iterator>

#include "text_fixture.h"

namespace {

std::vector<char> ReadFile(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

template <class T>
T Field(const std::vector<char>& bytes, size_t offset) {
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

constexpr size_t kFileSize = 4194358;
constexpr size_t kPixelBytes = 4194304;

TEST_F(TextRendererTest, DumpHeaderIsExactAndEmptyAtlasIsAllZero) {
    Make();
    Destroy(renderer);
    const std::vector<char> file = ReadFile("text.bmp");
    ASSERT_EQ(file.size(), kFileSize);
    EXPECT_EQ(Field<uint16_t>(file, 0), 0x4D42);
    EXPECT_EQ(Field<uint32_t>(file, 2), 0u) << "bfSize";
    EXPECT_EQ(Field<uint16_t>(file, 6), 0);
    EXPECT_EQ(Field<uint16_t>(file, 8), 0);
    EXPECT_EQ(Field<uint32_t>(file, 10), 54u);
    EXPECT_EQ(Field<uint32_t>(file, 14), 40u);
    EXPECT_EQ(Field<int32_t>(file, 18), 1024);
    EXPECT_EQ(Field<int32_t>(file, 22), 1024);
    EXPECT_EQ(Field<uint16_t>(file, 26), 1);
    EXPECT_EQ(Field<uint16_t>(file, 28), 32);
    for (size_t offset = 30; offset < 54; offset += 4) EXPECT_EQ(Field<uint32_t>(file, offset), 0u) << offset;
    for (size_t i = 54; i < file.size(); ++i) ASSERT_EQ(file[i], 0) << i;
}

TEST_F(TextRendererTest, DumpHoldsTheBitmapMemoryAndReplacesAnyOldFile) {
    {
        std::ofstream old("text.bmp", std::ios::binary);
        old << std::string(kFileSize + 1000, 'x');
    }
    Make();
    renderer->DrawString(L"60", nullptr);
    const std::vector<char> memory(reinterpret_cast<const char*>(renderer->glyphBits),
                                   reinterpret_cast<const char*>(renderer->glyphBits) + kPixelBytes);
    Destroy(renderer);

    const std::vector<char> file = ReadFile("text.bmp");
    ASSERT_EQ(file.size(), kFileSize);
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), file.begin() + 54));
    // Bottom-up rows: the top atlas row is at the end of the file; only the two
    // cells of "60" carry anything.
    int inked = 0;
    for (size_t i = 0; i < kPixelBytes; i += 4) {
        const size_t memoryRow = i / 4096;
        const size_t x = (i % 4096) / 4;
        const size_t imageRow = 1023 - memoryRow;
        const bool inCells = imageRow < 40 && x < 80;
        const char alpha = file[54 + i + 3];
        if (!inCells) {
            ASSERT_EQ(alpha, 0) << x << "," << imageRow;
        }
        inked += alpha != 0;
    }
    EXPECT_GT(inked, 100);
}

}  // namespace
