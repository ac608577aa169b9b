#include <mmsystem.h>
#include <platform_testing.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// The frame-rate meter asks for the smallest period the caps allow.
TEST(MultimediaTimer, CapsAllowOneMillisecondPeriodsOutsideThemAreRefusedAndTheClockCounts) {
    TIMECAPS caps{};
    ASSERT_EQ(timeGetDevCaps(&caps, sizeof(caps)), MMRESULT{TIMERR_NOERROR});
    EXPECT_EQ(caps.wPeriodMin, 1u);
    EXPECT_GE(caps.wPeriodMax, caps.wPeriodMin);
    EXPECT_EQ(timeGetDevCaps(nullptr, sizeof(caps)), MMRESULT{TIMERR_NOCANDO});
    EXPECT_EQ(timeGetDevCaps(&caps, sizeof(caps) - 1), MMRESULT{TIMERR_NOCANDO});
    ASSERT_EQ(timeBeginPeriod(1), MMRESULT{TIMERR_NOERROR});
    EXPECT_EQ(timeBeginPeriod(0), MMRESULT{TIMERR_NOCANDO});
    EXPECT_EQ(platform::testing::LastTimerPeriod(), 1u) << "a refused period is not recorded";
    EXPECT_EQ(timeEndPeriod(1), MMRESULT{TIMERR_NOERROR});
    EXPECT_EQ(timeEndPeriod(0), MMRESULT{TIMERR_NOCANDO});

    // The real clock counts milliseconds again once the hook is cleared.
    platform::testing::SetClock([] { return DWORD{0x10}; });
    EXPECT_EQ(timeGetTime(), 0x10u);
    platform::testing::SetClock({});
    const DWORD before = timeGetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const DWORD elapsed = timeGetTime() - before;  // unsigned difference survives a wrap
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
