#include <mmsystem.h>
#include <platform_testing.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using platform::testing::LastTimerPeriod;
using platform::testing::SetClock;

TEST(MultimediaTimer, DevCapsAllowOneMillisecond) {
    TIMECAPS caps{};
    ASSERT_EQ(timeGetDevCaps(&caps, sizeof(caps)), static_cast<MMRESULT>(TIMERR_NOERROR));
    EXPECT_EQ(caps.wPeriodMin, 1u);
    EXPECT_GE(caps.wPeriodMax, caps.wPeriodMin);

    EXPECT_EQ(timeGetDevCaps(nullptr, sizeof(caps)), static_cast<MMRESULT>(TIMERR_NOCANDO));
    EXPECT_EQ(timeGetDevCaps(&caps, sizeof(caps) - 1), static_cast<MMRESULT>(TIMERR_NOCANDO));
}

TEST(MultimediaTimer, PeriodsOutsideTheCapsAreRefusedAndNotRecorded) {
    TIMECAPS caps{};
    timeGetDevCaps(&caps, sizeof(caps));
    ASSERT_EQ(timeBeginPeriod(caps.wPeriodMin), static_cast<MMRESULT>(TIMERR_NOERROR));
    EXPECT_EQ(LastTimerPeriod(), caps.wPeriodMin);
    EXPECT_EQ(timeBeginPeriod(0), static_cast<MMRESULT>(TIMERR_NOCANDO));
    EXPECT_EQ(LastTimerPeriod(), caps.wPeriodMin);
    EXPECT_EQ(timeEndPeriod(caps.wPeriodMin), static_cast<MMRESULT>(TIMERR_NOERROR));
    EXPECT_EQ(timeEndPeriod(0), static_cast<MMRESULT>(TIMERR_NOCANDO));
}

TEST(MultimediaTimer, RealClockCountsMillisecondsForward) {
    const DWORD before = timeGetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const DWORD elapsed = timeGetTime() - before;  // unsigned difference survives a wrap
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(MultimediaTimer, ClockHookReplacesAndRestores) {
    DWORD now = 0xFFFFFFF0u;
    SetClock([&] { return now; });
    EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
    now += 0x20;  // wraps past zero like the real counter after 49.7 days
    EXPECT_EQ(timeGetTime(), 0x10u);
    SetClock({});
    const DWORD a = timeGetTime();
    const DWORD b = timeGetTime();
    EXPECT_LT(b - a, 1000u);
    EXPECT_NE(a, 0x10u);
}

}  // namespace
