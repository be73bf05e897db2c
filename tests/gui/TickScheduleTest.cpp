// The tick schedule: deadlines at start + N * interval, no drift, no bursts.
#include <gtest/gtest.h>

#include "platform/qt/TickSchedule.h"

using namespace std::chrono_literals;
using platform::TickSchedule;

TEST(TickSchedule, LatenessDoesNotAddUp)
{
    TickSchedule::Clock::time_point t0{};
    TickSchedule s(t0, 1000ms);
    EXPECT_EQ(s.FirstDelay(), 1000ms);
    // Every wake-up 30 ms late: the waits shorten so that tick N stays due at N seconds.
    for (int n = 1; n <= 5; ++n) {
        auto wake = s.OnWake(t0 + n * 1000ms + 30ms);
        EXPECT_TRUE(wake.tick);
        EXPECT_EQ(wake.delay, 970ms);
    }
    EXPECT_EQ(s.NextIndex(), 6);
}

TEST(TickSchedule, EarlyWakeUpWaitsForTheDeadline)
{
    TickSchedule::Clock::time_point t0{};
    TickSchedule s(t0, 1000ms);
    auto early = s.OnWake(t0 + 999ms + 500us);
    EXPECT_FALSE(early.tick);
    EXPECT_EQ(early.delay, 1ms); // rounded up, never early
    auto onTime = s.OnWake(t0 + 1000ms);
    EXPECT_TRUE(onTime.tick);
    EXPECT_EQ(onTime.delay, 1000ms);
}

TEST(TickSchedule, MissedDeadlinesGiveOneTickNotABurst)
{
    TickSchedule::Clock::time_point t0{};
    TickSchedule s(t0, 1000ms);
    auto late = s.OnWake(t0 + 3500ms); // deadlines 1, 2 and 3 have passed
    EXPECT_TRUE(late.tick);
    EXPECT_EQ(late.delay, 500ms); // to deadline 4
    EXPECT_EQ(s.NextIndex(), 4);
    auto next = s.OnWake(t0 + 4000ms);
    EXPECT_TRUE(next.tick);
    EXPECT_EQ(next.delay, 1000ms);
}
