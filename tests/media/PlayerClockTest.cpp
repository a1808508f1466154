// The bookkeeping both players share, on the virtual clock and with made-up
// reports of the framework: when its news is read, what a stop or an unload
// forgets, and how far a reported position moves on between reports.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "media/PlayerClock.h"
#include "tests/support/TestRuntime.h"

namespace {

using namespace std::chrono_literals;
using media::PlayerClock;
using media::PlayState;

class PlayerClockTest : public ::testing::Test {
  protected:
    testsupport::TestRuntime runtime;
    int polls = 0;
    PlayerClock clock{runtime, 50ms, 40ms, [this] { ++polls; }};
    const PlayerClock::TimePoint t0{};
};

TEST_F(PlayerClockTest, ReadsTheEnginesNewsOnlyWhileASongIsUnderway) {
    runtime.Advance(200ms);
    EXPECT_EQ(polls, 0);
    clock.Started();
    runtime.Advance(200ms);
    EXPECT_EQ(polls, 4);
    clock.Toggled();  // paused: the framework may still end or fail the song
    runtime.Advance(100ms);
    EXPECT_EQ(polls, 6);
    clock.Rewound();
    runtime.Advance(200ms);
    EXPECT_EQ(polls, 6);
    clock.Started();
    clock.Unloaded();
    runtime.Advance(200ms);
    EXPECT_EQ(polls, 6);
}

TEST_F(PlayerClockTest, AStopKeepsTheLengthAndAnUnloadForgetsIt) {
    EXPECT_EQ(clock.Length(), 0.0);
    clock.SetLength(12.5);
    EXPECT_EQ(clock.Length(), 0.0);  // told before the song started: nothing loaded yet
    clock.Started();
    EXPECT_EQ(clock.Length(), 12.5);
    clock.RememberPosition(3.0, t0);
    clock.Rewound();
    EXPECT_EQ(clock.State(), PlayState::Stopped);
    EXPECT_EQ(clock.Length(), 12.5);
    EXPECT_EQ(clock.LastPosition(), 0.0);
    EXPECT_FALSE(clock.PositionRecent(t0));
    clock.Unloaded();
    EXPECT_EQ(clock.State(), PlayState::Empty);
    EXPECT_EQ(clock.Length(), 0.0);
    EXPECT_FALSE(clock.LengthKnown());
}

TEST_F(PlayerClockTest, AReportStandsForTheQueryIntervalAndNotAcrossAPause) {
    clock.Started();
    EXPECT_FALSE(clock.PositionRecent(t0));
    clock.RememberPosition(2.0, t0);
    EXPECT_TRUE(clock.PositionRecent(t0 + 39ms));
    EXPECT_FALSE(clock.PositionRecent(t0 + 40ms));
    clock.Toggled();
    EXPECT_EQ(clock.State(), PlayState::Paused);
    EXPECT_FALSE(clock.PositionRecent(t0 + 1ms));
    EXPECT_EQ(clock.LastPosition(), 2.0);
}

struct MovedOn {
    const char* name;
    bool paused;
    double length;  // 0: not known
    std::chrono::milliseconds since;
    double expected;
};

class PositionMovedOn : public ::testing::TestWithParam<MovedOn> {};

TEST_P(PositionMovedOn, FollowsTheTimeSinceTheReport) {
    const MovedOn& c = GetParam();
    testsupport::TestRuntime runtime;
    PlayerClock clock{runtime, 50ms, 250ms, [] {}};
    const PlayerClock::TimePoint t0{};
    clock.Started();
    if (c.length > 0) clock.SetLength(c.length);
    clock.RememberPosition(10.0, t0);
    if (c.paused) clock.Toggled();
    EXPECT_DOUBLE_EQ(clock.PositionMovedOn(t0 + c.since), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PositionMovedOn,
                         ::testing::Values(MovedOn{"Playing", false, 0, 200ms, 10.2},
                                           MovedOn{"WithinTheLength", false, 60.0, 200ms, 10.2},
                                           MovedOn{"HeldAtTheLength", false, 10.1, 200ms, 10.1},
                                           MovedOn{"HeldWhilePaused", true, 60.0, 200ms, 10.0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
