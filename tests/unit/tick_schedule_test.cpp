// The tick schedule: deadlines at start + N * interval, no drift, no bursts.
#include <gtest/gtest.h>
#include <tuple>

#include "platform/TickSchedule.h"

using namespace std::chrono_literals;
using platform::TickSchedule;

TEST(TickSchedule, WakeUpsAimAtTheDeadlinesWithoutDriftOrBursts)
{
    TickSchedule::Clock::time_point t0{};
    TickSchedule s(t0, 1000ms);
    EXPECT_EQ(s.FirstDelay(), 1000ms);
    // Each wake-up: when, whether it ticks, the next wait, the next deadline's index.
    using W = std::tuple<TickSchedule::Clock::duration, bool, std::chrono::milliseconds, int>;
    for (auto [at, tick, delay, next] : {
             W{999ms + 500us, false, 1ms, 1}, // early: waits for the deadline, rounded up
             W{1000ms, true, 1000ms, 2},
             W{2030ms, true, 970ms, 3}, // late every time: the lateness does not add up
             W{3030ms, true, 970ms, 4},
             W{6500ms, true, 500ms, 7}, // deadlines 4 to 6 missed: one tick, then deadline 7
             W{7000ms, true, 1000ms, 8},
         }) {
        SCOPED_TRACE(std::chrono::duration_cast<std::chrono::microseconds>(at).count());
        auto wake = s.OnWake(t0 + at);
        EXPECT_EQ(wake.tick, tick);
        EXPECT_EQ(wake.delay, delay);
        EXPECT_EQ(s.NextIndex(), next);
    }
}
