#include <windows.h>

#include <platform_testing.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace {

class KernelServicesTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::testing::SetDebugSink({});
        platform::testing::SetMessageBoxHandler({});
        platform::testing::SetSleepHandler({});
    }
};

TEST_F(KernelServicesTest, DebugOutputGoesToTheSinkUnchangedOrAsUtf8ToStandardError) {
    std::vector<std::wstring> lines;
    platform::testing::SetDebugSink([&](const std::wstring& text) { lines.push_back(text); });
    OutputDebugStringW(L"x\n");
    OutputDebugStringW(L"\u76e4\n");
    OutputDebugStringW(nullptr);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"x\n");
    EXPECT_EQ(lines[1], L"\u76e4\n");

    platform::testing::SetDebugSink({});
    ::testing::internal::CaptureStderr();
    OutputDebugStringW(L"Lost And Found\n");
    OutputDebugStringW(L"\u76e4");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Lost And Found\n\xE7\x9B\xA4");
    EXPECT_EQ(lines.size(), 2u) << "the restored default no longer feeds the old sink";
}

TEST_F(KernelServicesTest, HeadlessMessageBoxWritesToStandardErrorAndAnswersOk) {
    ::testing::internal::CaptureStderr();
    const int answer = MessageBoxW(nullptr, L"Failed", L"MB", MB_OK);
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDOK);
    EXPECT_NE(written.find("Failed"), std::string::npos);
    EXPECT_NE(written.find("MB"), std::string::npos);
}

}  // namespace
