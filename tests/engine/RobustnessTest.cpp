// What must never go wrong: replies that come back as the user's own lines,
// exceptions inside handlers, the exit arriving inside a wait, long lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EngineWorld.h"
#include "engine/StyledLine.h"

namespace {

using enginetest::CallLog;
using enginetest::World;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

TEST(Feedback, NoReplyInTheDefaultStyleRunsACommand) {
    World w;
    w.Files().folders = {{"songs", {"a.mp3"}}};
    // Every command that answers in the room, each answer once.
    const Lines commands = {"dfa",       "ac 000000", "la x",      "ma y",          "ft tahoma",
                            "fc AAAAAA", "imon",      "imof",      "sim KarenK hi", "fulv",
                            "minv",      "min",       "res",       "com x",         "org x",
                            "net x",     "pr Lounge", "pr Lounge", "h bob",         "h zed",
                            "3pm",       "mp3",       "d nowhere", "d songs",       "mp3",
                            "3pm",       "3pm",       "r",         "stp",           "mu",
                            "um",        "pa",        "up",        "p a.mp3",       "v 50",
                            "b 50",      "cr x",      "i x",       "i y",           "io",
                            "io",        "dis"};
    std::size_t replies = 0;
    for (const std::string& command : commands) {
        const Lines lines = w.Type(command);
        EXPECT_EQ(lines.size(), 1u) << command;
        replies += lines.size();
    }
    w.runtime.Advance(5min);
    w.Settle();
    // Each reply came back from the room as the user's own line and reached
    // the listening scanners...
    std::size_t echoed = 0;
    for (const std::string& line : w.RoomTexts()) {
        if (line.rfind("< font . face=", 0) != 0) continue;
        const bool heard = std::find(w.scanned.begin(), w.scanned.end(),
                                     "1|" + w.ScreenName() + "|" + line) != w.scanned.end() ||
                           std::find(w.scanned.begin(), w.scanned.end(),
                                     "2|" + w.ScreenName() + "|" + line) != w.scanned.end();
        echoed += heard ? 1 : 0;
    }
    EXPECT_EQ(echoed, replies);
    // ...and none of them ran anything: no line beyond the replies.
    EXPECT_EQ(w.RoomTexts().size(), commands.size() + replies);
}

TEST(Exceptions, AHandlerThatThrowsEndsOnlyItsOwnLine) {
    World w;
    w.Files().throwOnCount = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(w.Type("mp3"), Lines{});
    const std::string logged = testing::internal::GetCapturedStderr();
    EXPECT_NE(logged.find("the file list cannot count"), std::string::npos);
    w.Files().throwOnCount = false;
    const std::string expected = w.Status("handle changed", "zed");
    EXPECT_EQ(w.Type("h zed"), Lines{expected});
}

TEST(Exceptions, ThrowingInsideATickLeavesTheNextTickWorking) {
    World w;
    w.Type("i lunch");
    w.state.idleMinutes = "not a number";
    w.runtime.Advance(61s);
    w.Settle();
    EXPECT_EQ(w.state.idleMinutes, "1");  // an unreadable count starts again
}

TEST(Exit, InsideAMessageBoxEndsTheOuterWalkAtOnce) {
    World w;
    w.state.ruzeSwitch = "off";  // "dis" will only show its box
    w.runtime.insideMessageBox = [&w](const std::string&) {
        w.client.Type("e");
        w.runtime.RunUntilIdle();
    };
    const Lines lines = w.Type("dis");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), engine::BuildLogoutLine(w.state));
    EXPECT_TRUE(w.runtime.QuitRequested());
    EXPECT_EQ(w.calls.back(), "SETTEXT RICHCNTL " + engine::BuildLogoutLine(w.state));
}

TEST(Exit, InsideTheInstantMessageWaitSendsNoLaterReply) {
    World w;
    w.client.SetInstantMessageWindowDelay(500ms);
    w.runtime.PostDelayed(100ms, [&w] { w.client.Type("e"); });
    w.client.Type("imon");
    w.runtime.Advance(15s);
    w.Settle();
    const Lines texts = w.RoomTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), engine::BuildLogoutLine(w.state));
    for (const std::string& text : texts) EXPECT_EQ(text.find("ims"), std::string::npos) << text;
}

TEST(Exit, InsideThePauseOfATickSendsNoSecondLine) {
    World w;
    w.Type("i lunch");
    w.runtime.PostDelayed(60300ms, [&w] { w.client.Type("e"); });
    w.runtime.Advance(3min);
    w.Settle();
    const Lines texts = w.RoomTexts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[texts.size() - 3], w.Status("is idle", "lunch"));
    EXPECT_EQ(texts[texts.size() - 2], "e");
    EXPECT_EQ(texts.back(), engine::BuildLogoutLine(w.state));
    EXPECT_EQ(w.state.idleMinutes, "1");
}

TEST(LongLines, AreHandledAlike) {
    World w;
    const std::string handle(40000, 'x');
    const std::string before = w.Status("handle changed", handle);
    EXPECT_EQ(w.Type("h " + handle), Lines{before});
    EXPECT_EQ(w.state.handle, handle);
    EXPECT_EQ(w.Type(std::string(33000, 'A')), Lines{});
}

// A member floods a room that keeps 20 lines with one repeated line, and the
// user's commands come amid the repeats, on a transcript of either rich edit
// generation: each is answered once.
TEST(Flood, CommandsAmidARepeatedLineAreEachAnsweredOnce) {
    for (auto generation :
         {clientsim::RichEditGeneration::Later, clientsim::RichEditGeneration::First}) {
        enginetest::WorldOptions options;
        options.client.historyLimit = 20;
        options.client.transcriptGeneration = generation;
        World w(options);
        const clientsim::RoomLine lol{"KarenK", "lol"};
        w.client.SayTogether(std::vector<clientsim::RoomLine>(20, lol));
        w.Settle();
        const std::vector<std::vector<int>> batches = {
            {1, 0, 0, 0, 0},         {0, 0, 2, 0, 0, 0}, {3},
            std::vector<int>(30, 0), {4, 0, 0, 0},       {0, 5}};
        for (const auto& batch : batches) {
            std::vector<clientsim::RoomLine> lines;
            lines.reserve(batch.size());
            for (int n : batch) {
                lines.push_back(
                    n == 0 ? lol
                           : clientsim::RoomLine{w.ScreenName(), "h bob" + std::to_string(n)});
            }
            w.client.SayTogether(lines);
            w.Settle();
        }
        std::size_t answers = 0;
        for (const std::string& line : w.RoomTexts()) {
            answers += line.find("handle changed") != std::string::npos ? 1 : 0;
        }
        EXPECT_EQ(answers, 5u);
        EXPECT_EQ(w.state.handle, "bob5");
    }
}

}  // namespace
