#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

#include "platform/AnsiText.h"
#include "platform/Folder.h"
#include "platform/TestRuntime.h"
#include "platform/Text.h"

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
    platform::TestRuntime rt;
    std::vector<long long> at;
    auto id = rt.StartTimer(60s, [&] { at.push_back(rt.Monotonic().count()); });
    auto start = rt.Monotonic().count();
    rt.Advance(150s);
    rt.StopTimer(id);
    rt.Advance(100s);
    EXPECT_EQ(at, (std::vector<long long>{start + 60000, start + 120000}));
}

TEST(TestRuntime, ATickThatPumpsDoesNotNestIntoItself) {
    platform::TestRuntime rt;
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
    platform::TestRuntime rt;
    bool ran = false;
    rt.Post([] { throw std::runtime_error("boom"); });
    rt.Post([&] { ran = true; });
    testing::internal::CaptureStderr();
    rt.RunUntilIdle();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(ran);
    EXPECT_NE(err.find("boom"), std::string::npos);
}

TEST(TestRuntime, WaitingStopsAtTheNextEventOrTheBound) {
    platform::TestRuntime rt;
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
    platform::TestRuntime rt(platform::Millis{15 * 3600'000 + 7 * 60'000 + 9'000});
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
