// The meter against a clock the test moves by hand.
#include "scene/frame_rate_meter.h"

#include <gtest/gtest.h>
#include <mmsystem.h>
#include <platform_testing.h>

#include "scene/frame_rate_text.h"

namespace {

class FrameRateMeterTest : public testing::Test {
protected:
    FrameRateMeterTest() {
        platform::testing::SetClock([this] { return now; });
    }
    ~FrameRateMeterTest() override { platform::testing::ResetAllHooks(); }

    // One rendered frame `ms` milliseconds after the previous one.
    void FrameAfter(FrameRateMeter& meter, DWORD ms) {
        now += ms;
        meter.Update();
    }

    DWORD now = 5000;
};

TEST_F(FrameRateMeterTest, ConstructionRaisesTheTimerResolutionAndStartsAtTheClock) {
    TIMECAPS caps = {};
    timeGetDevCaps(&caps, sizeof(caps));
    FrameRateMeter meter;
    EXPECT_EQ(platform::testing::LastTimerPeriod(), caps.wPeriodMin);
    EXPECT_EQ(meter.maxIntervalMs, 100u);
    EXPECT_EQ(meter.sampleCount, 15u);
    EXPECT_EQ(meter.lastTime, 5000u);
    EXPECT_EQ(meter.framesSinceSample, 0u);
    EXPECT_EQ(meter.ringPos, 0u);
    for (float sample : meter.samples) {
        EXPECT_EQ(sample, 0.0f);
    }
    EXPECT_EQ(meter.average, 0.0f);
}

TEST_F(FrameRateMeterTest, FirstSampleAloneIsAFifteenthOfTheAverage) {
    FrameRateMeter meter;
    FrameAfter(meter, 16);
    EXPECT_FLOAT_EQ(meter.samples[0], 0.016f);
    EXPECT_FLOAT_EQ(meter.average, 0.016f / 15.0f);
    EXPECT_EQ(meter.ringPos, 1u);
    EXPECT_EQ(meter.lastTime, 5016u);
    EXPECT_EQ(meter.framesSinceSample, 0u);
}

TEST_F(FrameRateMeterTest, ALongFrameCountsAsTheCap) {
    FrameRateMeter meter;
    FrameAfter(meter, 2500);  // a pause, such as a lost device
    EXPECT_FLOAT_EQ(meter.samples[0], 0.1f);
    EXPECT_EQ(meter.lastTime, 7500u);  // the clock itself is not capped
}

TEST_F(FrameRateMeterTest, SlowFramesShowTheCappedRate) {
    FrameRateMeter meter;
    for (int frame = 0; frame < 30; ++frame) {
        FrameAfter(meter, 250);
    }
    EXPECT_FLOAT_EQ(meter.average, 0.1f);
    // Fifteen single-precision sums of 0.1f land a hair above 0.1, so the cut
    // reciprocal is 9 rather than 10.
    const std::wstring shown = FrameRateText(meter.average);
    EXPECT_TRUE(shown == L"9" || shown == L"10") << shown;
}

TEST_F(FrameRateMeterTest, FramesWithinOneMillisecondShareTheNextSample) {
    FrameRateMeter meter;
    FrameAfter(meter, 0);
    FrameAfter(meter, 0);
    FrameAfter(meter, 0);
    EXPECT_EQ(meter.framesSinceSample, 3u);
    EXPECT_EQ(meter.ringPos, 0u);
    EXPECT_EQ(meter.lastTime, 5000u);
    EXPECT_EQ(meter.average, 0.0f);
    FrameAfter(meter, 2);  // 4 frames over 2 ms
    EXPECT_FLOAT_EQ(meter.samples[0], 2.0f / (4 * 1000.0f));
    EXPECT_EQ(meter.framesSinceSample, 0u);
}

TEST_F(FrameRateMeterTest, AWrappingClockGivesTheSmallDifference) {
    now = 0xFFFFFFF0u;
    FrameRateMeter meter;
    FrameAfter(meter, 0x20);  // wraps to 0x10
    EXPECT_EQ(now, 0x10u);
    EXPECT_FLOAT_EQ(meter.samples[0], 0.032f);
    EXPECT_EQ(meter.lastTime, 0x10u);
}

TEST_F(FrameRateMeterTest, RingFillsThenReplacesTheOldestSample) {
    FrameRateMeter meter;
    for (int filled = 1; filled <= 14; ++filled) {
        FrameAfter(meter, 10);
        EXPECT_FLOAT_EQ(meter.average, 0.010f * static_cast<float>(filled) / 15.0f) << filled;
    }
    FrameAfter(meter, 10);
    EXPECT_EQ(meter.ringPos, 0u);
    EXPECT_FLOAT_EQ(meter.average, 0.010f);
    FrameAfter(meter, 40);
    EXPECT_EQ(meter.ringPos, 1u);
    EXPECT_FLOAT_EQ(meter.samples[0], 0.040f);
    EXPECT_FLOAT_EQ(meter.average, (14 * 0.010f + 0.040f) / 15.0f);
}

TEST_F(FrameRateMeterTest, SteadySixtyFramesPerSecondShowsFiftyNineOrSixty) {
    FrameRateMeter meter;
    const DWORD start = now;
    for (DWORD frame = 1; frame <= 600; ++frame) {
        now = start + frame * 1000 / 60;  // 16 or 17 ms steps, as a real clock gives
        meter.Update();
        if (frame > 60) {
            const std::wstring shown = FrameRateText(meter.average);
            ASSERT_TRUE(shown == L"59" || shown == L"60") << "frame " << frame;
        }
    }
}

}  // namespace
