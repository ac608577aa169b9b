#include "scene/frame_rate_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(FrameRateText, IsTheTruncatedReciprocalAlone) {
    EXPECT_EQ(FrameRateText(0.125f), L"8");
    EXPECT_EQ(FrameRateText(1.0f / 128.0f), L"128");
    EXPECT_EQ(FrameRateText(1.0f / 16384.0f), L"16384");  // no grouping
    EXPECT_EQ(FrameRateText(1.0f / 59.5f), L"59");
    EXPECT_EQ(FrameRateText(0.004f), L"249");  // 0.004f lies just above 1/250
    EXPECT_EQ(FrameRateText(2.0f), L"0");       // half a frame per second
}

TEST(FrameRateText, AnAverageWithoutAFiniteReciprocalShowsZero) {
    EXPECT_EQ(FrameRateText(0.0f), L"0");  // before the first sample
    EXPECT_EQ(FrameRateText(-0.0f), L"0");
    EXPECT_EQ(FrameRateText(std::numeric_limits<float>::quiet_NaN()), L"0");
    EXPECT_EQ(FrameRateText(std::numeric_limits<float>::denorm_min()), L"2147483647");
}

TEST(FrameRateText, ARateBeyondAnyIntIsCapped) {
    EXPECT_EQ(FrameRateText(1e-12f), L"2147483647");
    EXPECT_EQ(FrameRateText(1.0f / 1048576.0f), L"1048576");
}

}  // namespace
