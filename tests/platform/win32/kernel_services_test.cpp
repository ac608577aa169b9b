#include <windows.h>

#include <platform_testing.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class KernelServicesTest : public ::testing::Test {
protected:
    void TearDown() override { platform::testing::ResetAllHooks(); }
};

TEST_F(KernelServicesTest, DebugOutputGoesToTheSinkUnchangedOrAsUtf8ToStandardError) {
    std::vector<std::wstring> lines;
    platform::testing::SetDebugSink([&](const std::wstring& text) { lines.push_back(text); });
    OutputDebugStringW(L"x\n");
    OutputDebugStringW(L"\u76e4");
    OutputDebugStringW(nullptr);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"x\n", L"\u76e4"}));

    platform::testing::SetDebugSink({});
    ::testing::internal::CaptureStderr();
    OutputDebugStringW(L"Lost And Found\n");
    OutputDebugStringW(L"\u76e4");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Lost And Found\n\xE7\x9B\xA4");
    EXPECT_EQ(lines.size(), 2u) << "the restored default no longer feeds the old sink";
}

TEST_F(KernelServicesTest, MessageBoxGoesToTheHandlerOrHeadlessToStandardError) {
    std::vector<platform::testing::MessageBoxCall> calls;
    platform::testing::SetMessageBoxHandler([&](const platform::testing::MessageBoxCall& call) {
        calls.push_back(call);
        return IDCANCEL;
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"FAIL", nullptr, MB_OKCANCEL), IDCANCEL) << "the handler's answer";
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, L"FAIL");
    EXPECT_EQ(calls[0].caption, L"");
    EXPECT_EQ(calls[0].type, UINT{MB_OKCANCEL});

    platform::testing::SetMessageBoxHandler({});
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxW(nullptr, L"Failed", L"MB", MB_OK), IDOK);
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(written.find("Failed"), std::string::npos);
    EXPECT_NE(written.find("MB"), std::string::npos);
    EXPECT_EQ(calls.size(), 1u);
}

}  // namespace
