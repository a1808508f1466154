// The mp3 panel's buttons and timers with the real player and real folders,
// on the virtual clock: what the room commands switch on, and the play, stop
// and check timer with songs that play and files that do not.

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "Mp3World.h"
#include "engine/Host.h"

namespace mp3test {
namespace {

using namespace std::chrono_literals;
using engine::FormTimer;
using Lines = std::vector<std::string>;
using PlayState = media::GstMediaPlayer::PlayState;

std::string Caption(const forms::Form1& form) {
    return form.CaptionOf("Label21");
}

TEST(Mp3Panel, TheNamedSongScrollsOneCharacterPerTenthOfASecond) {
    Mp3World world;
    forms::Form1& form = world.Start();
    world.Say("d " + world.MakeFolder("songs", {Song("a.mp3")}));
    ASSERT_EQ(world.Say("p abcd"), Lines{world.Reply("bumpin", "abcd")});
    EXPECT_EQ(Caption(form), "abcd");
    world.runtime.Advance(99ms);
    EXPECT_EQ(Caption(form), "abcd");
    world.runtime.Advance(1ms);
    EXPECT_EQ(Caption(form), "bcda");
    world.runtime.Advance(300ms);
    EXPECT_EQ(Caption(form), "abcd");
}

TEST(Mp3Panel, SongCountFollowsTheListWhileThePanelIsInView) {
    Mp3World world;
    forms::Form1& form = world.Start();
    const std::string twelve = world.MakeFolder(
        "twelve", {TextFile("01.mp3"), TextFile("02.mp3"), TextFile("03.mp3"), TextFile("04.mp3"),
                   TextFile("05.mp3"), TextFile("06.mp3"), TextFile("07.mp3"), TextFile("08.mp3"),
                   TextFile("09.mp3"), TextFile("10.mp3"), TextFile("11.MP3"),
                   TextFile("12 twelve.mp3"), TextFile("cover.jpg"), TextFile("13.mp3.part")});
    const std::string three =
        world.MakeFolder("three", {TextFile("a.mp3"), TextFile("b.mp3"), TextFile("c.mp3")});

    world.Say("d " + twelve);
    world.Say("mp3");
    EXPECT_EQ(form.CaptionOf("Label15"), "mp3s");
    world.runtime.Advance(10ms);  // one tick of the status timer
    EXPECT_EQ(form.CaptionOf("Label15"), "mp3s - 12");

    // Out of view the count stands still.
    world.Say("3pm");
    world.Say("d " + three);
    world.runtime.Advance(1s);
    EXPECT_EQ(form.CaptionOf("Label15"), "mp3s - 12");
    world.Say("mp3");
    world.runtime.Advance(10ms);
    EXPECT_EQ(form.CaptionOf("Label15"), "mp3s - 3");
}

TEST(Mp3Panel, PlayAndStopButtonsWithARealSong) {
    Mp3World world;
    forms::Form1& form = world.Start();
    const std::string folder = world.MakeFolder("songs", {Song("first.mp3"), Song("second.mp3")});
    world.Say("d " + folder);
    world.Say("mp3");
    form.SelectItem("File1", 1);  // the user picks the second song
    world.TakeTrace();

    ASSERT_TRUE(form.Click("Label19"));
    EXPECT_EQ(world.TakePlayerTrace(), Lines{"MediaPlayer1.OpenAndPlay " + folder + "/second.mp3"});
    EXPECT_EQ(Caption(form), "second.mp3");
    EXPECT_EQ(world.player.State(), PlayState::Playing);
    ASSERT_TRUE(world.WaitForPlayback(0.1));
    // The progress timer has read the real length into the bar.
    EXPECT_EQ(form.Find("DogBar1")->bar.barmax, static_cast<int>(std::nearbyint(SongSeconds())));

    ASSERT_TRUE(form.Click("Label20"));
    EXPECT_EQ(world.TakePlayerTrace(), Lines{"MediaPlayer1.Stop"});
    EXPECT_EQ(world.player.State(), PlayState::Stopped);
    EXPECT_EQ(world.player.Position(), 0.0);
    EXPECT_EQ(form.Find("DogBar1")->bar.barvalue, 0);
    EXPECT_EQ(Caption(form), "nothing");
    EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer2));
    EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer3));
    world.Spend(50ms);
    EXPECT_EQ(world.player.State(), PlayState::Stopped);
    EXPECT_EQ(Caption(form), "nothing");

    // Play again from the start.
    ASSERT_TRUE(form.Click("Label19"));
    EXPECT_TRUE(world.WaitForPlayback(0.05));
    EXPECT_LT(world.player.Position(), 0.8);
}

struct CheckCase {
    const char* name;
    FileSpec file;
    bool keepsCaption;
};
void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckTimer : public ::testing::TestWithParam<CheckCase> {};

// Twenty seconds after the play button the check timer looks once at the
// progress bar: a song with a length is playing and keeps its caption; a file
// that gave no length played nothing, and the caption says so.
TEST_P(CheckTimer, TwentySecondsAfterPlay) {
    const CheckCase& c = GetParam();
    Mp3World world;
    forms::Form1& form = world.Start();
    world.Say("d " + world.MakeFolder("songs", {c.file}));
    form.File1().SetListIndex(0);
    ASSERT_TRUE(form.Click("Label19"));
    const auto clicked = world.runtime.Clock();
    ASSERT_TRUE(form.TimerEnabled(FormTimer::Timer7));

    // Real time for the player to find out whether the file plays.
    ASSERT_TRUE(world.WaitUntil(
        [&] { return world.player.Length() > 0 || world.player.State() == PlayState::Empty; },
        800ms));
    EXPECT_EQ(world.player.State() == PlayState::Playing, c.keepsCaption);

    world.runtime.Advance(clicked + 19990ms - world.runtime.Clock());
    EXPECT_TRUE(IsRotationOf(Caption(form), c.file.name)) << Caption(form);
    EXPECT_TRUE(form.TimerEnabled(FormTimer::Timer7));
    world.runtime.Advance(20ms);
    // The scroll timer goes on turning whichever caption is left.
    const std::string left = c.keepsCaption ? c.file.name : "nothing";
    EXPECT_TRUE(IsRotationOf(Caption(form), left)) << Caption(form);
    EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer7));
    world.runtime.Advance(40s);
    EXPECT_TRUE(IsRotationOf(Caption(form), left)) << Caption(form);
}

INSTANTIATE_TEST_SUITE_P(
    Mp3, CheckTimer,
    ::testing::Values(CheckCase{"ASongThatPlays", Song("tune.mp3"), true},
                      CheckCase{"ATextFileNamedMp3", TextFile("x.mp3"), false}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mp3test
