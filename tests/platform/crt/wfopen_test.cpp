#include <windows.h>

#include <scratch_working_directory.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "crt/wide_utf8.h"

namespace {

using platform::crt::WideToUtf8;

TEST(WideToUtf8, EncodesEveryLengthOfSequenceAndReplacesWhatIsNotACharacter) {
    // One to four bytes: ASCII, e acute, the Japanese for "board", a playing card.
    EXPECT_EQ(WideToUtf8(L"L\n\u00e9\u76e4\U0001F0A1"), "L\n\xC3\xA9\xE7\x9B\xA4\xF0\x9F\x82\xA1");
    EXPECT_EQ(WideToUtf8(nullptr), "");
    const wchar_t text[] = {
        L'a', static_cast<wchar_t>(0xD800), L'b', static_cast<wchar_t>(0x110000), L'c', 0};
    EXPECT_EQ(WideToUtf8(text),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD"
              "c");
}

// The image loaders open their files through _wfopen; writing goes through it too.
TEST(Wfopen, OpensNonAsciiNamesInBinaryModeAndFailsLikeFopen) {
    ScratchWorkingDirectory directory;
    ASSERT_FALSE(directory.path().empty());
    std::ofstream("\xE7\x9B\xA4_Grid.png", std::ios::binary) << "PNG\r\nDATA";
    FILE* f = _wfopen(L"\u76e4_Grid.png", L"rb");
    ASSERT_NE(f, nullptr);
    char buffer[16] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof(buffer), f), 9u);
    EXPECT_STREQ(buffer, "PNG\r\nDATA");
    std::fclose(f);

    ASSERT_NE(f = _wfopen(L"text.bmp", L"wb"), nullptr);
    std::fputs("BM\n", f);
    std::fclose(f);
    EXPECT_EQ(std::filesystem::file_size("text.bmp"), 3u);
    for (auto [name, mode] : {std::pair{L"absent.png", L"rb"},
                              {nullptr, L"rb"},
                              {L"text.bmp", nullptr},
                              {L"", L"rb"}}) {
        EXPECT_EQ(_wfopen(name, mode), nullptr);
    }
}

}  // namespace
