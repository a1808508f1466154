// Idle mode on the virtual clock.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineWorld.h"

namespace {

using enginetest::World;
using Lines = std::vector<std::string>;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

class Idle : public ::testing::Test {
  protected:
    // Room lines that arrive while `duration` passes.
    Lines During(milliseconds duration) {
        const std::size_t before = w.RoomTexts().size();
        w.runtime.Advance(duration);
        w.Settle();
        const Lines all = w.RoomTexts();
        return Lines(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    }
    World w;
};

TEST_F(Idle, GoingIdleAnnouncesEveryMinute) {
    EXPECT_EQ(w.Type("i lunch"), Lines{w.Status("is idle", "lunch")});
    EXPECT_EQ(w.state.idleState, "on");
    EXPECT_TRUE(w.host.TimerEnabled(engine::FormTimer::Timer4));
    const milliseconds start = w.runtime.Clock();
    EXPECT_EQ(During(59s), Lines{});
    // The tick: "is idle", a pause of about a second (events run meanwhile),
    // then the minutes.
    EXPECT_EQ(During(1s),
              (Lines{w.Status("is idle", "lunch"), w.Status("has been idle for", "1 min's")}));
    EXPECT_GE(w.runtime.Clock() - start, 60500ms);
    EXPECT_LE(w.runtime.Clock() - start, 61500ms);
    EXPECT_EQ(w.state.idleMinutes, "2");
    EXPECT_EQ(During(60s),
              (Lines{w.Status("is idle", "lunch"), w.Status("has been idle for", "2 min's")}));
}

TEST_F(Idle, IdleWordsAndTheirAnswers) {
    EXPECT_EQ(w.Type("io"), Lines{w.Status("your not", "idle")});
    EXPECT_EQ(w.Type("cr nap"), Lines{w.Status("changed idle rsn", "nap")});
    EXPECT_EQ(w.state.idleReason, "nap");
    EXPECT_EQ(w.Type("i"), Lines{});
    EXPECT_EQ(w.Type("i lunch"), Lines{w.Status("is idle", "lunch")});
    EXPECT_EQ(w.state.idleReason, "lunch");
    EXPECT_EQ(w.Type("i dinner"), Lines{w.Status("your already", "idle")});
    EXPECT_EQ(w.state.idleReason, "lunch");
    EXPECT_EQ(w.Type("cr out"), Lines{w.Status("changed idle rsn", "out")});
    EXPECT_EQ(During(61s),
              (Lines{w.Status("is idle", "out"), w.Status("has been idle for", "1 min's")}));
    w.calls.clear();
    EXPECT_EQ(w.Type("io with text"), Lines{w.Status("no longer", "idle")});
    EXPECT_EQ(w.calls.front(), "Timer4.Enabled false");
    EXPECT_EQ(w.state.idleState, "off");
    EXPECT_EQ(During(5min), Lines{});
}

TEST_F(Idle, EveryIdlePeriodCountsItsOwnMinutes) {
    w.Type("i one");
    During(121s);
    EXPECT_EQ(w.state.idleMinutes, "3");
    w.Type("io");
    w.Type("i two");
    EXPECT_EQ(During(61s),
              (Lines{w.Status("is idle", "two"), w.Status("has been idle for", "1 min's")}));
}

TEST_F(Idle, IdleOffDuringThePauseOfATick) {
    w.Type("i lunch");
    // 60.2 s after going idle the tick is in its pause; the user types "io".
    w.runtime.PostDelayed(60200ms, [this] { w.client.Type("io"); });
    EXPECT_EQ(During(62s), (Lines{w.Status("is idle", "lunch"), "io", w.Status("no longer", "idle"),
                                  w.Status("has been idle for", "1 min's")}));
    EXPECT_EQ(w.state.idleState, "off");
    EXPECT_EQ(w.state.idleMinutes, "2");
    EXPECT_FALSE(w.host.TimerEnabled(engine::FormTimer::Timer4));
    EXPECT_EQ(During(3min), Lines{});
}

TEST_F(Idle, StyleChangedWhileIdleShowsInTheNextTick) {
    w.Type("i lunch");
    w.Type("fc 00ff00");
    const Lines lines = During(61s);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("< font . color=#00ff00>is idle"), std::string::npos);
}

TEST_F(Idle, DisableKeepsTheTicksButNotTheWords) {
    w.Type("i lunch");
    w.Type("dis");
    EXPECT_EQ(w.Type("io"), Lines{});
    EXPECT_EQ(During(61s),
              (Lines{w.Status("is idle", "lunch"), w.Status("has been idle for", "1 min's")}));
    w.Type("en");
    EXPECT_EQ(w.Type("io"), Lines{w.Status("no longer", "idle")});
}

TEST_F(Idle, TheIdleListenerUsesTheTriggerAndTheOwnLineTest) {
    w.Type("tr !");
    EXPECT_EQ(w.Type("i lunch"), Lines{});
    w.client.Say("KarenK", "!i lunch");
    w.Settle();
    EXPECT_EQ(w.state.idleState, "off");
    EXPECT_EQ(w.Type("!I Lunch"), Lines{w.Status("is idle", "Lunch")});
}

}  // namespace
