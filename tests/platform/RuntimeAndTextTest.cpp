#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

#include "platform/AnsiText.h"
#include "platform/Failure.h"
#include "platform/Folder.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "platform/TimerSchedule.h"
#include "tests/support/TestRuntime.h"

using namespace std::chrono_literals;

namespace {

// --- Windows-1252 ---

TEST(AnsiText, ConvertsBothWays) {
    struct Case {
        std::string utf8;
        std::string ansi;
    };
    const Case cases[] = {
        {"plain ascii", "plain ascii"},
        {"\u00BB\u00B8 \u203A \u00B2", "\xBB\xB8 \x9B \xB2"},  // »¸ › ²
        {"\u20AC\u0160\u0178\u00FF", "\x80\x8A\x9F\xFF"},      // € Š Ÿ ÿ
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ToAnsi(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(platform::FromAnsi(c.ansi), c.utf8) << c.utf8;
    }
}

TEST(AnsiText, WhatCannotCrossBecomesOneQuestionMark) {
    EXPECT_EQ(platform::ToAnsi("a\u2603b"), "a?b");      // no such character
    EXPECT_EQ(platform::ToAnsi("a\U0001F600b"), "a?b");  // four bytes, one mark
    EXPECT_EQ(platform::ToAnsi("a\xFF"
                               "b"),
              "a?b");                            // not UTF-8 at all
    EXPECT_EQ(platform::ToAnsi("a\xC3"), "a?");  // cut short
    EXPECT_EQ(platform::FromAnsi("a\x81"
                                 "b"),
              "a?b");  // undefined in the code page
}

TEST(AnsiText, EveryDefinedByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(platform::ToAnsi(platform::FromAnsi(all)), all);
    std::string big(100000, '\xBB');
    EXPECT_EQ(platform::ToAnsi(platform::FromAnsi(big)), big) << "longer than one buffer";
}

TEST(Text, TrimBlanksTakesOnlyTheBlanksAtEitherEnd) {
    struct Case {
        std::string_view text;
        std::string trimmed;
    };
    const Case cases[] = {
        {"  two words ", "two words"},
        {"a  b", "a  b"},            // blanks inside stay
        {"\ta\t", "\ta\t"},          // so do tabs
        {" \r\nline ", "\r\nline"},  // and line breaks
        {"   ", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::TrimBlanks(c.text), c.trimmed) << c.text;
}

// --- the virtual clock ---

TEST(TestRuntime, TimersTickOnTheirIntervalUntilStopped) {
    testsupport::TestRuntime rt;
    std::vector<long long> at;
    auto id = rt.StartTimer(60s, [&] { at.push_back(rt.Monotonic().count()); });
    auto start = rt.Monotonic().count();
    rt.Advance(150s);
    rt.StopTimer(id);
    rt.Advance(100s);
    EXPECT_EQ(at, (std::vector<long long>{start + 60000, start + 120000}));
}

TEST(TestRuntime, ATickThatPumpsDoesNotNestIntoItself) {
    testsupport::TestRuntime rt;
    int depth = 0, deepest = 0, ticks = 0, other = 0;
    rt.StartTimer(10ms, [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        rt.Advance(50ms);  // a pause inside the tick
        --depth;
    });
    rt.StartTimer(10ms, [&] { ++other; });
    rt.Advance(100ms);
    EXPECT_EQ(deepest, 1);
    EXPECT_GT(ticks, 1);
    EXPECT_GE(other, 9) << "other timers still run inside the pause";
}

TEST(TestRuntime, AFailingTaskDoesNotStopTheNext) {
    testsupport::TestRuntime rt;
    bool ran = false;
    rt.Post([] { throw std::runtime_error("boom"); });
    rt.Post([&] { ran = true; });
    testing::internal::CaptureStderr();
    rt.RunUntilIdle();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(ran);
    EXPECT_EQ(err, "moonrake: event handler failed: boom\n");
}

// Every guard reports in one shape, whatever was thrown, and lets nothing through.
TEST(Failure, EveryGuardReportsInOneShape) {
    testing::internal::CaptureStderr();
    platform::Guarded("Timer1", [] { throw std::runtime_error("no room"); });
    platform::Guarded("a press", [] { throw 42; });
    platform::Guarded("Timer2", [] {});
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "moonrake: Timer1 failed: no room\nmoonrake: a press failed\n");
}

TEST(TestRuntime, WaitingStopsAtTheNextEventOrTheBound) {
    testsupport::TestRuntime rt;
    auto t0 = rt.Monotonic();
    rt.WaitForEvents(250ms);
    EXPECT_EQ(rt.Monotonic() - t0, 250ms) << "nothing due: the whole bound";
    bool ran = false;
    rt.PostDelayed(40ms, [&] { ran = true; });
    rt.WaitForEvents(250ms);
    EXPECT_TRUE(ran);
    EXPECT_EQ(rt.Monotonic() - t0, 290ms) << "woken by the event";
}

TEST(TestRuntime, ClockAndCalendarFollowTheVirtualTime) {
    testsupport::TestRuntime rt(platform::Millis{15 * 3600'000 + 7 * 60'000 + 9'000});
    std::tm t = rt.LocalTime();
    EXPECT_EQ(t.tm_year, 103);
    EXPECT_EQ(t.tm_mon, 0);
    EXPECT_EQ(t.tm_mday, 15);
    EXPECT_EQ(t.tm_hour, 15);
    EXPECT_EQ(t.tm_min, 7);
    EXPECT_EQ(t.tm_sec, 9);
    EXPECT_DOUBLE_EQ(rt.SecondsSinceMidnight(), 15 * 3600 + 7 * 60 + 9);
    rt.Advance(9 * 3600s);
    EXPECT_EQ(rt.LocalTime().tm_mday, 16) << "past midnight";
    EXPECT_LT(rt.SecondsSinceMidnight(), 1 * 3600);
}

// --- the timer schedule under every runtime ---

TEST(TimerSchedule, AtOneInstantTasksRunBeforeTicksEachInTheirOwnOrder) {
    platform::TimerSchedule schedule;
    std::string order;
    schedule.Start(0ms, 10ms, [&] { order += "A"; });
    schedule.Once(10ms, [&] { order += "x"; });
    schedule.Start(0ms, 10ms, [&] { order += "B"; });
    schedule.Once(10ms, [&] { order += "y"; });
    schedule.Once(5ms, [&] { order += "early"; });
    EXPECT_EQ(schedule.NextDue(), 5ms);
    EXPECT_FALSE(schedule.RunOneDue(4ms)) << "nothing is due yet";
    while (schedule.RunOneDue(10ms)) {
    }
    EXPECT_EQ(order, "earlyxyAB");
    EXPECT_EQ(schedule.NextDue(), 20ms) << "the timers again, one period on";
    EXPECT_EQ(schedule.OnceCount(), 0u);
    EXPECT_EQ(schedule.TimerCount(), 2u);
}

TEST(TimerSchedule, AMovedTimerWaitsForItsNewInstantAndTheWaitGoesToTheEarliest) {
    platform::TimerSchedule schedule;
    std::vector<std::string> ran;
    const platform::TimerId fast = schedule.Start(0ms, 10ms, [&] { ran.push_back("fast"); });
    const platform::TimerId slow = schedule.Start(0ms, 100ms, [&] { ran.push_back("slow"); });
    ASSERT_TRUE(schedule.Rearm(fast, 250ms));  // snoozed past two ticks of the slow one
    std::vector<long long> woke;
    for (int i = 0; i < 4; ++i) {
        const platform::Millis due = *schedule.NextDue();
        woke.push_back(due.count());
        EXPECT_TRUE(schedule.RunOneDue(due));
    }
    EXPECT_EQ(woke, (std::vector<long long>{100, 200, 250, 260}));
    EXPECT_EQ(ran, (std::vector<std::string>{"slow", "slow", "fast", "fast"}));
    ASSERT_TRUE(schedule.Rearm(slow, 5ms));  // and earlier again
    EXPECT_EQ(schedule.NextDue(), 5ms);
    schedule.Stop(fast);
    schedule.Stop(slow);
    EXPECT_FALSE(schedule.NextDue());
    EXPECT_FALSE(schedule.Rearm(fast, 1ms)) << "a stopped timer stays stopped";
}

TEST(TimerSchedule, ATickMayStopOrMoveItselfAndOthersWaitForNothingItDoes) {
    std::optional<platform::Millis> announced;
    platform::TimerSchedule* schedulePtr = nullptr;
    platform::TimerSchedule schedule([&] { announced = schedulePtr->NextDue(); });
    schedulePtr = &schedule;
    platform::TimerId moving = 0, stopping = 0;
    int movingTicks = 0, stoppingTicks = 0, nested = 0;
    moving = schedule.Start(0ms, 10ms, [&] {
        if (++movingTicks > 1) return;
        // While it runs, the wait goes to the next timer and never to itself.
        EXPECT_EQ(announced, 30ms);
        if (schedule.RunOneDue(10ms)) ++nested;
        schedule.Rearm(moving, 500ms);
    });
    stopping = schedule.Start(0ms, 30ms, [&] {
        ++stoppingTicks;
        schedule.Stop(stopping);
    });
    EXPECT_TRUE(schedule.RunOneDue(10ms));
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(schedule.NextDue(), 30ms);
    EXPECT_TRUE(schedule.RunOneDue(30ms));
    EXPECT_FALSE(schedule.Scheduled(stopping));
    EXPECT_EQ(schedule.NextDue(), 500ms) << "the moved one keeps its new instant";
    while (schedule.RunOneDue(600ms)) {
    }
    EXPECT_EQ(movingTicks, 2);
    EXPECT_EQ(stoppingTicks, 1);
}

// --- random numbers ---

TEST(Random, StaysBelowOne) {
    testsupport::TestRuntime rt;
    platform::Random random(rt);
    random.Reseed();
    double sum = 0;
    for (int i = 0; i < 20000; ++i) {
        double r = random.Next();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        sum += r;
    }
    EXPECT_NEAR(sum / 20000, 0.5, 0.02);
}

// --- folders ---

TEST(Folder, WildcardsMatchWithoutCase) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {{"*.mp3", "song.mp3", true},
                          {"*.mp3", "SONG.MP3", true},
                          {"*.mp3", "song.mp3.txt", false},
                          {"*.mp3", ".mp3", true},
                          {"*.mp3", "mp3", false},
                          {"a?c", "abc", true},
                          {"a?c", "ac", false},
                          {"*a*b*", "xxaxxbxx", true},
                          {"*", "", true},
                          {"", "x", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(platform::WildcardMatch(c.pattern, c.name), c.match)
            << c.pattern << " " << c.name;
    }
}

TEST(Folder, ListsMatchingFilesSortedAndNothingForAMissingFolder) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("moonrake-folder-" + std::to_string(::getpid()));
    fs::create_directories(dir / "sub.mp3");
    for (const char* name : {"b.mp3", "a.MP3", "c.txt"}) std::ofstream(dir / name) << "x";
    auto names = platform::ListMatchingFiles(dir.string(), "*.mp3");
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::string>{"a.MP3", "b.mp3"})) << "files only, sorted";
    EXPECT_FALSE(platform::ListMatchingFiles((dir / "missing").string(), "*.mp3"));
    EXPECT_FALSE(platform::ListMatchingFiles((dir / "c.txt").string(), "*.mp3"));
    fs::remove_all(dir);
}

}  // namespace
