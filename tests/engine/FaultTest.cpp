// Faults the whole program must survive against a client that behaves like
// a real one: the client going away or its room window closing while a
// command waits, the client coming back in another room, a flood of lines
// around one command, and a day of idle notices with the room talking.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "EngineWorld.h"
#include "aol/modAolTools.h"

namespace {

using enginetest::World;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

// Lines in the room that are the engine's replies with this verb and detail
// in the current style.
std::size_t Replies(const World& w, const std::string& verb, const std::string& detail) {
    const Lines room = w.RoomTexts();
    return static_cast<std::size_t>(std::count(room.begin(), room.end(), w.Status(verb, detail)));
}

TEST(Faults, ClientClosingWhileACommandWaitsForTheMessageWindow) {
    World w;
    w.client.Type("imon");
    // The client goes away after the address went, before its message window opens.
    w.runtime.PostDelayed(250ms, [&] { w.client.SignOff(); });
    platform::Millis before = w.runtime.Monotonic();
    w.Settle();
    EXPECT_LE(w.runtime.Monotonic() - before, 11s) << "the wait gave up";
    EXPECT_TRUE(w.client.InstantMessagesSent().empty());

    // Back again, the next own line is handled.
    w.client.SignOn();
    w.Settle();
    const std::string reply = w.Status("handle changed", "zed");  // built with the old handle
    EXPECT_EQ(w.Type("h zed"), Lines{reply});
    EXPECT_EQ(w.state.handle, "zed");
}

TEST(Faults, ClientClosingWhileTheOutcomeIsAwaited) {
    World w;
    w.client.Type("imof");
    // The message went (the window opened at about 500 ms); the client dies
    // before its box comes.
    w.runtime.PostDelayed(800ms, [&] { w.client.SignOff(); });
    w.Settle();
    w.runtime.Advance(11s);
    w.Settle();
    EXPECT_EQ(w.client.InstantMessagesSent().size(), 1u);
    EXPECT_FALSE(w.client.MessageBoxOpen());
    w.client.SignOn("Back Room");
    w.Settle();
    EXPECT_EQ(w.Type("imon").size(), 1u) << "and the next command runs";
}

TEST(Faults, RoomWindowClosingInTheMiddleOfACommand) {
    World w;
    w.Type("i lunch");
    // The first line of the idle notice goes; the room closes during the
    // pause between its two lines.
    w.runtime.Advance(60s);
    w.runtime.PostDelayed(500ms, [&] { w.client.CloseRoom(); });
    w.runtime.Advance(2s);
    w.Settle();
    EXPECT_EQ(w.client.Room(), 0u);
    // Another room, and the commands go on there.
    modAolTools::GotoKeyword(w.windows, "aol://2719:2-2-Lounge");
    w.Settle();
    ASSERT_NE(w.client.Room(), 0u);
    EXPECT_EQ(w.Type("io"), Lines{w.Status("no longer", "idle")});
    EXPECT_EQ(w.state.roomName, "Lounge");
}

TEST(Faults, ClientExitingAndStartingAgainInAnotherRoom) {
    World w;
    w.Type("h zed");
    w.client.SignOff();
    w.Settle();
    EXPECT_EQ(w.Type("h lost"), Lines{}) << "no client, no room: nothing";
    w.client.SignOn("Elsewhere");
    w.Settle();
    const std::string reply = w.Status("handle changed", "amy");
    EXPECT_EQ(w.Type("h amy"), Lines{reply});
    EXPECT_EQ(w.state.handle, "amy");
    EXPECT_EQ(w.state.roomName, "Elsewhere");
}

TEST(Faults, BurstOfTenThousandLinesAroundOneOwnCommand) {
    World w;
    const int kEachSide = 5000;
    Lines expected;
    auto say = [&](int i) {
        std::string text = "chatter " + std::to_string(i);
        w.client.Say(i % 2 ? "KarenK" : "slickrick", text);
    };
    const std::string reply = w.Status("handle changed", "zed");
    for (int i = 0; i < kEachSide; ++i) say(i);
    w.client.Type("h zed");
    for (int i = kEachSide; i < 2 * kEachSide; ++i) say(i);
    w.Settle();

    // Every line the room got reached NiteScan1 once, in the room's order,
    // though the client kept only the last part of them.
    Lines heard, room;
    for (const auto& line : w.scanned) {
        if (line.rfind("1|", 0) == 0) heard.push_back(line.substr(2));
    }
    for (const auto& line : w.client.Transcript()) room.push_back(line.sender + "|" + line.text);
    room.erase(room.begin());  // the login line, before the world was handed over
    EXPECT_EQ(heard.size(), 2u * kEachSide + 2) << "the lines, the command and its reply";
    EXPECT_TRUE(heard == room);
    const Lines texts = w.RoomTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), reply), 1) << "the command ran once";
    EXPECT_EQ(w.state.handle, "zed");
    EXPECT_EQ(w.nite1.PendingCount(), 0u);
}

TEST(Faults, ADayIdleWithTheRoomTalking) {
    World w;
    w.Type("i away");
    int said = 0;
    platform::TimerId traffic = w.runtime.StartTimer(
        7s, [&] { w.client.Say("KarenK", "still here " + std::to_string(++said)); });
    std::size_t mostPending = 0;
    for (int hour = 0; hour < 24; ++hour) {
        w.runtime.Advance(1h);
        mostPending = std::max(mostPending, w.runtime.PendingCount());
        ASSERT_LE(w.windows.QueuedCount(), 4u) << "hour " << hour;
        ASSERT_EQ(w.nite1.PendingCount() + w.nite5.PendingCount(), 0u) << "hour " << hour;
    }
    w.runtime.StopTimer(traffic);
    w.Settle();
    EXPECT_EQ(Replies(w, "has been idle for", "1440 min's"), 1u);
    EXPECT_EQ(Replies(w, "has been idle for", "1441 min's"), 0u) << "one tick a minute, no more";
    std::size_t ticks = 0;
    for (const auto& line : w.RoomTexts()) {
        ticks += line.find("has been idle for") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(ticks, 1440u);
    EXPECT_EQ(w.state.idleMinutes, "1441");
    EXPECT_LE(mostPending, 8u) << "nothing piles up in the event loop";
    EXPECT_GT(said, 12000);
}

}  // namespace
