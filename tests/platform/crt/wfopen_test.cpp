#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "crt/wide_utf8.h"

namespace {

using platform::crt::WideToUtf8;

TEST(WideToUtf8, EncodesEveryLengthOfSequence) {
    EXPECT_EQ(WideToUtf8(L"Lost And Found\n"), "Lost And Found\n");
    // Two, three and four bytes: e acute, the Japanese for "board", a playing card.
    EXPECT_EQ(WideToUtf8(L"\u00e9\u76e4\U0001F0A1"), "\xC3\xA9\xE7\x9B\xA4\xF0\x9F\x82\xA1");
    EXPECT_EQ(WideToUtf8(L""), "");
    EXPECT_EQ(WideToUtf8(nullptr), "");
}

TEST(WideToUtf8, ReplacesWhatIsNotACharacterAndKeepsTheRest) {
    const wchar_t text[] = {L'a', static_cast<wchar_t>(0xD800), L'b', static_cast<wchar_t>(0x110000), L'c', 0};
    EXPECT_EQ(WideToUtf8(text), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c");
}

class WfopenTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("corvane_wfopen_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(WfopenTest, OpensANonAsciiNameForReading) {
    const std::filesystem::path file = dir / "\xE7\x9B\xA4_Grid.png";
    std::ofstream(file, std::ios::binary) << "PNGDATA";

    const std::wstring wide = std::filesystem::path(dir).wstring() + L"/\u76e4_Grid.png";
    FILE* f = _wfopen(wide.c_str(), L"rb");
    ASSERT_NE(f, nullptr);
    char buffer[8] = {};
    EXPECT_EQ(std::fread(buffer, 1, 7, f), 7u);
    EXPECT_STREQ(buffer, "PNGDATA");
    std::fclose(f);
}

TEST_F(WfopenTest, WritesInBinaryModeAndFailsLikeFopen) {
    const std::wstring wide = dir.wstring() + L"/text.bmp";
    FILE* f = _wfopen(wide.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fputs("BM", f);
    std::fclose(f);
    EXPECT_EQ(std::filesystem::file_size(dir / "text.bmp"), 2u);

    EXPECT_EQ(_wfopen((dir.wstring() + L"/absent.png").c_str(), L"rb"), nullptr);
    EXPECT_EQ(_wfopen(nullptr, L"rb"), nullptr);
    EXPECT_EQ(_wfopen(wide.c_str(), nullptr), nullptr);
    EXPECT_EQ(_wfopen(L"", L"rb"), nullptr);
}

}  // namespace
