// The meter against a clock the test moves by hand, and the figure it shows.
#include "scene/frame_rate_meter.h"

#include <gtest/gtest.h>
#include <mmsystem.h>
#include <platform_testing.h>

#include <limits>
#include <vector>

#include "scene/frame_rate_text.h"

namespace {

class FrameRateMeterTest : public testing::Test {
protected:
    FrameRateMeterTest() {
        platform::testing::SetClock([this] { return now; });
    }
    ~FrameRateMeterTest() override { platform::testing::ResetAllHooks(); }

    DWORD now = 5000;
};

// Frames `steps` milliseconds apart from a clock starting at `start`: the samples
// they leave, and a mean over all fifteen slots however few are filled.
struct MeterCase {
    const char* name;
    DWORD start;
    std::vector<DWORD> steps;
    std::vector<float> samples;
};

const float ten = 0.010f;  // seconds
// clang-format off
const MeterCase kMeterCases[] = {
    {"the first sample", 5000, {16}, {0.016f}},
    {"a pause counts as the cap, the next frame from the real clock", 5000, {16, 2500, 16},
     {0.016f, 0.1f, 0.016f}},
    {"frames within one millisecond share the next sample", 5000, {0, 0, 0, 2, 3},
     {2.0f / 4000.0f, 0.003f}},
    {"a wrapping clock gives the small difference", 0xFFFFFFF0u, {0x20, 10},
     {0.032f, ten}},
    {"the sixteenth sample replaces the first", 5000,
     {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 40},
     {0.040f, ten, ten, ten, ten, ten, ten, ten, ten, ten, ten, ten, ten, ten, ten}},
};
// clang-format on

TEST_F(FrameRateMeterTest, SamplesSecondsPerFrameWithTheCapTheWrapAndTheRing) {
    for (const MeterCase& c : kMeterCases) {
        SCOPED_TRACE(c.name);
        now = c.start;
        FrameRateMeter meter;
        EXPECT_EQ(meter.average, 0.0f);
        for (DWORD step : c.steps) {
            now += step;
            meter.Update();
        }
        float sum = 0.0f;
        for (size_t slot = 0; slot < FrameRateMeter::kSampleSlots; ++slot) {
            const float expected = slot < c.samples.size() ? c.samples[slot] : 0.0f;
            EXPECT_FLOAT_EQ(meter.samples[slot], expected) << "slot " << slot;
            sum += expected;
        }
        EXPECT_FLOAT_EQ(meter.average, sum / 15.0f);
    }
    TIMECAPS caps = {};
    timeGetDevCaps(&caps, sizeof(caps));
    EXPECT_EQ(platform::testing::LastTimerPeriod(), caps.wPeriodMin);  // the finest period
}

TEST_F(FrameRateMeterTest, SteadySixtyFramesPerSecondShowsFiftyNineOrSixty) {
    FrameRateMeter meter;
    const DWORD start = now;
    for (DWORD frame = 1; frame <= 600; ++frame) {
        now = start + frame * 1000 / 60;  // 16 or 17 ms steps, as a real clock gives
        meter.Update();
        const std::wstring shown = FrameRateText(meter.average);
        ASSERT_TRUE(frame <= 60 || shown == L"59" || shown == L"60") << "frame " << frame;
    }
}

// The truncated reciprocal alone; "0" or the int cap where that is no int.
TEST(FrameRateText, IsTheTruncatedReciprocalAloneAndZeroOrCappedWhenThatIsNoInt) {
    const float nan = std::numeric_limits<float>::quiet_NaN(),
                tiny = std::numeric_limits<float>::denorm_min();
    // 1/16384 shows no grouping, 0.004 is just above 1/250, 0 comes before the first
    // sample, and the reciprocal of the last two overflows.
    const std::pair<float, const wchar_t*> cases[] = {
        {0.125f, L"8"},        {1.0f / 16384.0f, L"16384"},
        {1.0f / 59.5f, L"59"}, {0.004f, L"249"},
        {2.0f, L"0"},          {0.0f, L"0"},
        {-0.0f, L"0"},         {nan, L"0"},
        {tiny, L"2147483647"}, {1e-12f, L"2147483647"}};
    for (const auto& [mean, shown] : cases) EXPECT_EQ(FrameRateText(mean), shown) << mean;
}

}  // namespace
