#include <windows.h>

#include <platform_testing.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_window.h"

namespace {

using platform::testing::MessageBoxCall;

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

TEST_F(KernelServicesTest, MessageBoxHandlerAnswersAndSeesTheCall) {
    std::vector<MessageBoxCall> calls;
    platform::testing::SetMessageBoxHandler([&](const MessageBoxCall& call) {
        calls.push_back(call);
        return IDCANCEL;
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"FAIL", L"FAIL", MB_OK), IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, L"FAIL", nullptr, MB_OK), IDCANCEL);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].text, L"FAIL");
    EXPECT_EQ(calls[0].caption, L"FAIL");
    EXPECT_EQ(calls[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(calls[1].caption, L"");
}

TEST_F(KernelServicesTest, HeadlessMessageBoxWritesToStandardErrorAndAnswersOk) {
    ::testing::internal::CaptureStderr();
    const int answer = MessageBoxW(nullptr, L"Failed", L"MB", MB_OK);
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDOK);
    EXPECT_NE(written.find("Failed"), std::string::npos);
    EXPECT_NE(written.find("MB"), std::string::npos);
}

TEST_F(KernelServicesTest, SleepHandlerReceivesTheMilliseconds) {
    std::vector<DWORD> slept;
    platform::testing::SetSleepHandler([&](DWORD ms) { slept.push_back(ms); });
    Sleep(100);
    Sleep(0);
    EXPECT_EQ(slept, (std::vector<DWORD>{100, 0}));
}

TEST_F(KernelServicesTest, ModuleAndStockResourcesAreDistinctNonNullHandles) {
    const HMODULE module = GetModuleHandleW(nullptr);
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(GetModuleHandleW(nullptr), module);
    EXPECT_EQ(GetModuleHandleW(L"absent.dll"), nullptr);

    const HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    const HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW);
    EXPECT_NE(icon, nullptr);
    EXPECT_NE(cursor, nullptr);
    EXPECT_NE(reinterpret_cast<void*>(icon), reinterpret_cast<void*>(cursor));
    EXPECT_EQ(LoadIconW(module, IDI_APPLICATION), nullptr) << "the program has no icon resources";
}

}  // namespace
