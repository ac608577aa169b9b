#include <windows.h>

#include <gtest/gtest.h>
#include <platform_testing.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

// Debug output and message boxes reach the test hooks unchanged, or standard error
// (UTF-8) once the hooks are cleared; the program's headless runs rely on the latter.
TEST(KernelServices, DebugOutputAndMessageBoxesGoToTheHooksOrToStandardError) {
    std::vector<std::wstring> lines;
    std::vector<platform::testing::MessageBoxCall> calls;
    platform::testing::SetDebugSink([&](const std::wstring& text) { lines.push_back(text); });
    platform::testing::SetMessageBoxHandler([&](const platform::testing::MessageBoxCall& call) {
        calls.push_back(call);
        return IDCANCEL;
    });
    for (const wchar_t* text : {L"x\n", L"\u76e4", static_cast<const wchar_t*>(nullptr)}) OutputDebugStringW(text);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"x\n", L"\u76e4"}));
    EXPECT_EQ(MessageBoxW(nullptr, L"FAIL", nullptr, MB_OKCANCEL), IDCANCEL) << "the handler's answer";
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(std::tuple(calls[0].text, calls[0].caption, calls[0].type),
              std::tuple(std::wstring(L"FAIL"), std::wstring(), UINT{MB_OKCANCEL}));

    platform::testing::ResetAllHooks();
    ::testing::internal::CaptureStderr();
    OutputDebugStringW(L"Lost And Found\n");
    OutputDebugStringW(L"\u76e4\n");
    EXPECT_EQ(MessageBoxW(nullptr, L"Failed", L"MB", MB_OK), IDOK);
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(written.substr(0, 19), "Lost And Found\n\xE7\x9B\xA4\n");
    EXPECT_NE(written.find("Failed", 19), std::string::npos);
    EXPECT_NE(written.find("MB", 19), std::string::npos);
    EXPECT_EQ(std::pair(lines.size(), calls.size()), (std::pair<size_t, size_t>(2, 1))) << "old hooks no longer fed";
}

}  // namespace
