#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "render/release_interface.h"
#include "text_fixture.h"

namespace {

std::vector<char> ReadDump() {
    std::ifstream file("text.bmp", std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

template <class T>
T Field(const std::vector<char>& bytes, size_t offset) {
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

TEST_F(TextRendererTest, DumpHeaderIsExactAndEmptyAtlasIsAllZero) {
    Make();
    Destroy(renderer);
    const std::vector<char> file = ReadDump();
    ASSERT_EQ(file.size(), 4194358u);
    EXPECT_EQ(Field<uint16_t>(file, 0), 0x4D42);
    EXPECT_EQ(Field<uint32_t>(file, 2), 0u) << "bfSize";
    EXPECT_EQ(Field<uint32_t>(file, 6), 0u);
    EXPECT_EQ(Field<uint32_t>(file, 10), 54u);
    EXPECT_EQ(Field<uint32_t>(file, 14), 40u);
    EXPECT_EQ(Field<int32_t>(file, 18), 1024);
    EXPECT_EQ(Field<int32_t>(file, 22), 1024);
    EXPECT_EQ(Field<uint32_t>(file, 26), 0x200001u) << "one plane, 32 bits";
    for (size_t offset = 30; offset < 54; offset += 4) EXPECT_EQ(Field<uint32_t>(file, offset), 0u) << offset;
    EXPECT_TRUE(std::all_of(file.begin() + 54, file.end(), [](char b) { return b == 0; }));
}

TEST_F(TextRendererTest, DumpOfTheReplacedRendererHoldsItsBitmapMemory) {
    std::ofstream("text.bmp", std::ios::binary) << std::string(5000000, 'x');
    Make();
    renderer->DrawString(L"60", nullptr);
    const std::vector<char> memory(renderer->glyphBits, renderer->glyphBits + 4194304);
    ReleaseInterface(renderer->atlasTexture);
    Make();  // replaces the renderer, which writes its dump first

    const std::vector<char> file = ReadDump();
    ASSERT_EQ(file.size(), 4194358u);
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), file.begin() + 54));
    // Rows bottom-up: only the two cells of "60", top left in the image, carry anything.
    int inked = 0;
    for (size_t i = 3; i < memory.size(); i += 4) {
        const size_t imageRow = 1023 - i / 4096;
        const size_t x = (i % 4096) / 4;
        if (imageRow >= 40 || x >= 80) {
            ASSERT_EQ(memory[i], 0) << x << "," << imageRow;
        }
        inked += memory[i] != 0;
    }
    EXPECT_GT(inked, 100);
}

}  // namespace
