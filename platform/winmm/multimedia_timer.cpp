#include <mmsystem.h>
#include <platform_testing.h>

#include <chrono>
#include <utility>

namespace {

// The timer's resolution is the monotonic clock's, far finer than a millisecond, so
// every period a caller may ask for is granted and nothing needs changing.
constexpr UINT kPeriodMin = 1;
constexpr UINT kPeriodMax = 1000000;

std::function<DWORD()>& ClockOverride() {
    static std::function<DWORD()> clock;
    return clock;
}

UINT& LastPeriod() {
    static UINT period = 0;
    return period;
}

bool IsValidPeriod(UINT period) { return period >= kPeriodMin && period <= kPeriodMax; }

}  // namespace

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT size) {
    if (caps == nullptr || size < sizeof(TIMECAPS)) {
        return TIMERR_NOCANDO;
    }
    caps->wPeriodMin = kPeriodMin;
    caps->wPeriodMax = kPeriodMax;
    return TIMERR_NOERROR;
}

MMRESULT WINAPI timeBeginPeriod(UINT period) {
    if (!IsValidPeriod(period)) {
        return TIMERR_NOCANDO;
    }
    LastPeriod() = period;
    return TIMERR_NOERROR;
}

MMRESULT WINAPI timeEndPeriod(UINT period) {
    return IsValidPeriod(period) ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

DWORD WINAPI timeGetTime(void) {
    if (ClockOverride()) {
        return ClockOverride()();
    }
    // Milliseconds since boot, wrapping every 2^32 ms as on Windows.
    const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot).count());
}

namespace platform::testing {

void SetClock(std::function<DWORD()> clock) { ClockOverride() = std::move(clock); }

UINT LastTimerPeriod() { return LastPeriod(); }

}  // namespace platform::testing
