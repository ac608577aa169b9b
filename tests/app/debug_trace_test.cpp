#include <platform_testing.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/debug_trace.h"

namespace {

TEST(DebugTrace, WritesExactlyTheGivenCharactersInOneCall) {
    std::vector<std::wstring> lines;
    platform::testing::SetDebugSink([&](const std::wstring& text) { lines.push_back(text); });
    DebugTrace(L"CreateFont Failed\n");
    DebugTrace(L"no line end");
    DebugTrace(L"   7");
    DebugTrace(L"\u76e4");
    DebugTrace(L"");
    platform::testing::SetDebugSink({});
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"CreateFont Failed\n", L"no line end", L"   7", L"\u76e4", L""}));
}

}  // namespace
