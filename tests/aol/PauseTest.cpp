// Pause on the virtual clock: where the clock stands within its second
// decides how long a pause lasts.
#include <gtest/gtest.h>

#include "aol/modAolTools.h"
#include "tests/support/TestRuntime.h"

using namespace std::chrono_literals;
using platform::Millis;

namespace {

struct PauseCase {
    Millis startOfDay;
    int seconds;
    Millis expected;
};

class PauseLength : public ::testing::TestWithParam<PauseCase> {};

TEST_P(PauseLength, EndsWhenTheClockIsSecondsPastTheNearestWholeSecond) {
    const PauseCase& c = GetParam();
    testsupport::TestRuntime runtime(c.startOfDay);
    Millis before = runtime.Monotonic();
    modAolTools::Pause(runtime, c.seconds);
    EXPECT_EQ(runtime.Monotonic() - before, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Clock, PauseLength,
    ::testing::Values(PauseCase{Millis{3600'000 + 200}, 0, 0ms},    // fraction below a half
                      PauseCase{Millis{3600'000 + 700}, 0, 300ms},  // rounds up: waits for it
                      PauseCase{Millis{3600'000 + 200}, 1, 800ms},
                      PauseCase{Millis{3600'000 + 700}, 1, 1300ms},
                      PauseCase{Millis{3600'000 + 500}, 1, 500ms},   // 3600.5 rounds to even 3600
                      PauseCase{Millis{3601'000 + 500}, 1, 1500ms},  // 3601.5 rounds to even 3602
                      PauseCase{Millis{3600'000}, -5, 0ms},
                      // Across midnight it still ends after about a second.
                      PauseCase{Millis{24 * 3600'000 - 300}, 1, 1300ms}));

// The wall clock jumps while the pause runs; the pause still lasts what it
// would have (the start's rounding is the only thing the wall clock decides).
class PauseAcrossAClockChange : public ::testing::TestWithParam<Millis> {};

TEST_P(PauseAcrossAClockChange, StillLastsAboutTheRequestedTime) {
    testsupport::TestRuntime runtime(Millis{3600'000 + 200});
    runtime.PostDelayed(300ms, [&] { runtime.ShiftWallClock(GetParam()); });
    Millis before = runtime.Monotonic();
    modAolTools::Pause(runtime, 2);
    EXPECT_EQ(runtime.Monotonic() - before, 1800ms);
}

INSTANTIATE_TEST_SUITE_P(Shifts, PauseAcrossAClockChange,
                         ::testing::Values(-3600'000ms,   // summer time ends
                                           -90'000ms,     // a manual correction back
                                           -4'000'000ms,  // back past midnight
                                           3600'000ms));  // forward

TEST(Pause, EventsRunToCompletionDuringThePause) {
    testsupport::TestRuntime runtime(Millis{3600'000});
    std::vector<std::string> order;
    runtime.PostDelayed(400ms, [&] {
        order.push_back("event starts");
        runtime.Post([&] { order.push_back("follow-up"); });
        order.push_back("event ends");
    });
    modAolTools::Pause(runtime, 1);
    order.push_back("pause over");
    EXPECT_EQ(order,
              (std::vector<std::string>{"event starts", "event ends", "follow-up", "pause over"}));
}

TEST(Pause, ReturnsWhenTheProgramIsEnding) {
    testsupport::TestRuntime runtime(Millis{3600'000});
    runtime.PostDelayed(200ms, [&] { runtime.RequestQuit(); });
    Millis before = runtime.Monotonic();
    modAolTools::Pause(runtime, 30);
    EXPECT_LT(runtime.Monotonic() - before, 1s);
}

}  // namespace
