// The mp3 room commands end to end: a line typed into the room comes back as
// the exact reply line, and its effects show on the real main window and in
// the real player (playing, pausing, its pipeline's volume and panorama).

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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

// --- "d": choosing the folder ------------------------------------------------------

struct FolderCase {
    const char* name;
    // Makes what the case needs and returns the argument typed after "d".
    std::function<std::string(Mp3World&)> argument;
    bool accepted;   // "set directory" rather than "directory" ("invalid")
    bool listMoves;  // the list ends on the argument, else on the previous folder
    int count;       // entries afterwards
};
void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.name;
}

class FolderCommand : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderCommand, RepliesAndLeavesTheListOnTheRightFolder) {
    const FolderCase& c = GetParam();
    Mp3World world;
    forms::Form1& form = world.Start();
    const std::string previous = world.MakeFolder("previous", {Song("old.mp3")});
    ASSERT_EQ(world.Say("d " + previous), Lines{world.Reply("set directory", previous)});

    const std::string argument = c.argument(world);
    const Lines expected{c.accepted ? world.Reply("set directory", argument)
                                    : world.Reply("directory", "invalid")};
    EXPECT_EQ(world.Say("d " + argument), expected);
    EXPECT_EQ(form.File1().Path(), c.listMoves ? argument : previous);
    EXPECT_EQ(form.File1().Count(), c.count);
    EXPECT_EQ(static_cast<int>(form.Find("File1")->items.size()), c.count);

    // What "mp3" makes of the list the folder left.
    const Lines shown = world.Say("mp3");
    if (c.count > 0) {
        EXPECT_EQ(shown, Lines{world.Reply("viewing", "mp3s & controls")});
        EXPECT_EQ(form.Form1Width(), engine::kWideWidth);
    } else {
        EXPECT_EQ(shown, Lines{world.Reply("no", "mp3s")});
        EXPECT_EQ(form.Form1Width(), engine::kNarrowWidth);
        EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer5));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mp3, FolderCommand,
    ::testing::Values(
        FolderCase{"SongsAmongOtherFiles",
                   [](Mp3World& w) {
                       return w.MakeFolder("songs", {Song("a.mp3"), Song("B.MP3"),
                                                     TextFile("notes.txt"), TextFile("a.mp3.bak")});
                   },
                   true, true, 2},
        FolderCase{"NoMp3InIt",
                   [](Mp3World& w) {
                       return w.MakeFolder("empty", {TextFile("notes.txt"), TextFile("mp3")});
                   },
                   false, true, 0},
        FolderCase{"Missing", [](Mp3World& w) { return w.PathIn("no such folder"); }, false, false,
                   1},
        FolderCase{
            "AFileNotAFolder",
            [](Mp3World& w) { return w.MakeFolder("holder", {Song("song.mp3")}) + "/song.mp3"; },
            false, false, 1},
        FolderCase{"BlanksInTheName",
                   [](Mp3World& w) { return w.MakeFolder("my  songs ", {Song("a.mp3")}); }, true,
                   true, 1}),
    [](const ::testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });

TEST(Mp3Commands, RequiredArgumentsMissingDoNothing) {
    Mp3World world;
    forms::Form1& form = world.Start();
    const std::string folder = world.MakeFolder("songs", {Song("a.mp3")});
    world.Say("d " + folder);
    world.TakeTrace();
    for (const char* line : {"d", "d ", "p", "p ", "v", "b "}) {
        EXPECT_EQ(world.Say(line), Lines{}) << line;
    }
    EXPECT_EQ(world.TakeTrace(), Lines{});
    EXPECT_EQ(form.File1().Path(), folder);
    EXPECT_EQ(form.CaptionOf("Label21"), "nothing");
}

// --- "mp3" and "3pm": the panel in and out of view ---------------------------------

TEST(Mp3Commands, ShowAndHideThePanel) {
    Mp3World world;
    forms::Form1& form = world.Start();
    world.Say("d " + world.MakeFolder("songs", {Song("a.mp3")}));
    world.Say("min");
    ASSERT_EQ(form.Form1WindowState(), engine::WindowState::Minimized);
    world.TakeTrace();

    struct Step {
        const char* line;
        const char* verb;
        const char* detail;
        int width;
        bool statusTimer;
        bool listVisible;
    };
    const Step steps[] = {
        {"3pm", "not viewing", "mp3s", engine::kNarrowWidth, false, false},
        {"mp3", "viewing", "mp3s & controls", engine::kWideWidth, true, true},
        {"MP3", "viewing", "mp3s & controls", engine::kWideWidth, true, true},
        {"3pm", "hideing", "mp3s", engine::kNarrowWidth, false, true},
        {"3pm", "not viewing", "mp3s", engine::kNarrowWidth, false, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.line);
        EXPECT_EQ(world.Say(step.line), Lines{world.Reply(step.verb, step.detail)});
        EXPECT_EQ(form.Form1Width(), step.width);
        EXPECT_EQ(forms::Pixels(form.WidthTwips()), forms::Pixels(step.width));
        EXPECT_EQ(form.TimerEnabled(FormTimer::Timer5), step.statusTimer);
        EXPECT_EQ(form.File1().Visible(), step.listVisible);
        EXPECT_EQ(form.Find("File1")->visible, step.listVisible);
        if (std::string(step.line) == "mp3") {
            // Out of the minimised state before it widens.
            EXPECT_EQ(world.TakeTrace(), (Lines{"Form1.WindowState normal", "Form1.Width 7350"}));
            EXPECT_EQ(form.Form1WindowState(), engine::WindowState::Normal);
        }
        world.TakeTrace();
    }
}

// --- "r" and "p": playing songs -----------------------------------------------------

TEST(Mp3Commands, RandomSongOnAOneFileListPlaysThatFile) {
    Mp3World world;
    forms::Form1& form = world.Start();
    const std::string folder = world.MakeFolder("one", {Song("only.mp3")});
    world.Say("d " + folder);
    world.TakeTrace();

    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(world.Say("r"), Lines{world.Reply("random beat", "only.mp3")});
        EXPECT_EQ(world.TakePlayerTrace(),
                  Lines{"MediaPlayer1.OpenAndPlay " + folder + "/only.mp3"});
        EXPECT_EQ(form.CaptionOf("Label21"), "only.mp3");
        EXPECT_EQ(form.File1().ListIndex(), 0);
        EXPECT_TRUE(form.TimerEnabled(FormTimer::Timer2));
        EXPECT_TRUE(form.TimerEnabled(FormTimer::Timer3));
        EXPECT_EQ(world.player.State(), PlayState::Playing);
    }

    // It really plays, in real time, and the progress timer shows it.
    ASSERT_TRUE(world.WaitForPlayback());
    EXPECT_NEAR(world.player.Length(), SongSeconds(), 0.1);
    const double before = world.player.Position();
    world.Spend(150ms);
    EXPECT_GT(world.player.Position(), before + 0.08);
    EXPECT_EQ(form.Find("DogBar1")->bar.barmax,
              static_cast<int>(std::nearbyint(world.player.Length())));
}

struct NamedCase {
    const char* name;
    std::vector<FileSpec> files;
    std::string argument;
    bool listEmpty;  // "no match for", nothing opened
    bool plays;
};
void PrintTo(const NamedCase& c, std::ostream* os) {
    *os << c.name;
}

class NamedSong : public ::testing::TestWithParam<NamedCase> {};

TEST_P(NamedSong, OpensTheFolderAndTheNameAsTyped) {
    const NamedCase& c = GetParam();
    Mp3World world;
    forms::Form1& form = world.Start();
    const std::string folder = world.MakeFolder("songs", c.files);
    world.Say("d " + folder);
    if (!c.listEmpty) form.File1().SetListIndex(0);
    const int selected = form.File1().ListIndex();
    world.TakeTrace();

    const Lines replies = world.Say("p " + c.argument);
    if (c.listEmpty) {
        EXPECT_EQ(replies, Lines{world.Reply("no match for", c.argument)});
        EXPECT_EQ(world.TakeTrace(), Lines{});
        EXPECT_EQ(form.CaptionOf("Label21"), "nothing");
        EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer2));
        EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer3));
        return;
    }
    EXPECT_EQ(replies, Lines{world.Reply("bumpin", c.argument)});
    EXPECT_EQ(world.TakePlayerTrace(),
              Lines{"MediaPlayer1.OpenAndPlay " + folder + "/" + c.argument});
    EXPECT_EQ(form.CaptionOf("Label21"), c.argument);
    EXPECT_EQ(form.File1().ListIndex(), selected);
    EXPECT_TRUE(form.TimerEnabled(FormTimer::Timer2));
    EXPECT_TRUE(form.TimerEnabled(FormTimer::Timer3));
    if (c.plays) {
        EXPECT_TRUE(world.WaitForPlayback());
    } else {
        // Nothing to play; the program goes on.
        EXPECT_TRUE(
            world.WaitUntil([&] { return world.player.State() == PlayState::Empty; }, 800ms));
        EXPECT_EQ(world.player.Length(), 0.0);
    }
    EXPECT_EQ(world.Say("stp"), Lines{world.Reply("beat", "stopped")});
}

INSTANTIATE_TEST_SUITE_P(
    Mp3, NamedSong,
    ::testing::Values(
        NamedCase{
            "BlanksKept", {Song("a.mp3"), Song("my  song .mp3")}, "my  song .mp3", false, true},
        NamedCase{"NotTheSelectedOne", {Song("a.mp3"), Song("b.mp3")}, "b.mp3", false, true},
        NamedCase{"NoSuchFile", {Song("a.mp3")}, "c.mp3", false, false},
        NamedCase{"ATextFileNamedMp3", {Song("a.mp3"), TextFile("x.mp3")}, "x.mp3", false, false},
        NamedCase{"EmptyList", {TextFile("a.txt")}, "a.mp3", true, false}),
    [](const ::testing::TestParamInfo<NamedCase>& info) { return std::string(info.param.name); });

// --- "v", "b", "mu", "um": the player's levels -------------------------------------

struct LevelCase {
    const char* name;
    Lines lines;
    Lines replies;  // as (verb, detail) pairs, flattened
    Lines trace;
    double volume;    // playbin's linear volume afterwards
    double panorama;  // audiopanorama's setting afterwards
    bool mute;
};
void PrintTo(const LevelCase& c, std::ostream* os) {
    *os << c.name;
}

class Levels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(Levels, ReachTheRealPipeline) {
    const LevelCase& c = GetParam();
    Mp3World world;
    world.Start();
    Lines replies;
    for (const std::string& line : c.lines) {
        for (std::string& reply : world.Say(line)) replies.push_back(std::move(reply));
    }
    Lines expected;
    for (std::size_t i = 0; i + 1 < c.replies.size(); i += 2) {
        expected.push_back(world.Reply(c.replies[i], c.replies[i + 1]));
    }
    EXPECT_EQ(replies, expected);
    EXPECT_EQ(world.TakePlayerTrace(), c.trace);
    const media::GstMediaPlayer::PipelineSettings settings = world.player.ReadPipelineSettings();
    EXPECT_NEAR(settings.volume, c.volume, 1e-4);
    EXPECT_NEAR(settings.panorama, c.panorama, 1e-4);
    EXPECT_EQ(settings.mute, c.mute);
}

// Volume is in hundredths of a decibel: -2500 is 10^(-25/20) of full scale.
// Balance turns the far side down by as much, which simple panning writes as
// a panorama of 1 - that gain.
constexpr double kMinus25dB = 0.0562341;
constexpr double kMinus12_38dB = 0.2404420;

INSTANTIATE_TEST_SUITE_P(
    Mp3, Levels,
    ::testing::Values(
        // -1237.5 rounds to the even neighbour.
        LevelCase{"VolumeHalfRoundsToEven",
                  {"v 50.5"},
                  {"set volume", "50.5"},
                  {"MediaPlayer1.Volume -1238"},
                  kMinus12_38dB,
                  0.0,
                  false},
        LevelCase{"VolumeFull",
                  {"v 0", "v 100"},
                  {"set volume", "0", "set volume", "100"},
                  {"MediaPlayer1.Volume -2500", "MediaPlayer1.Volume 0"},
                  1.0,
                  0.0,
                  false},
        LevelCase{"VolumeLow",
                  {"v 0"},
                  {"set volume", "0"},
                  {"MediaPlayer1.Volume -2500"},
                  kMinus25dB,
                  0.0,
                  false},
        LevelCase{"BalanceRight",
                  {"b 200"},
                  {"set balance", "200"},
                  {"MediaPlayer1.Balance 2500"},
                  1.0,
                  1.0 - kMinus25dB,
                  false},
        LevelCase{"BalanceLeftThenMiddle",
                  {"b 0", "b 100"},
                  {"set balance", "0", "set balance", "100"},
                  {"MediaPlayer1.Balance -2500", "MediaPlayer1.Balance 0"},
                  1.0,
                  0.0,
                  false},
        LevelCase{"BalanceAsTyped",
                  {"b  +150.0"},
                  {"set balance", " +150.0"},
                  {"MediaPlayer1.Balance 1250"},
                  1.0,
                  1.0 - 0.2371374,
                  false},
        LevelCase{"Mute", {"mu"}, {"beat", "muted"}, {"MediaPlayer1.Mute true"}, 1.0, 0.0, true},
        LevelCase{"MuteThenUnmute",
                  {"mu", "um"},
                  {"beat", "muted", "beat", "unmuted"},
                  {"MediaPlayer1.Mute true", "MediaPlayer1.Mute false"},
                  1.0,
                  0.0,
                  false},
        // No number, or one that leaves 32 bits: nothing is put and nothing said.
        LevelCase{"NotNumbers", {"v loud", "b 1e12", "v 0x10"}, {}, {}, 1.0, 0.0, false}),
    [](const ::testing::TestParamInfo<LevelCase>& info) { return std::string(info.param.name); });

// --- "pa", "up", "stp": the real player pauses, resumes and stops ------------------

TEST(Mp3Commands, PauseUnpauseAndStopAPlayingSong) {
    Mp3World world;
    forms::Form1& form = world.Start();
    const std::string folder = world.MakeFolder("songs", {Song("tone.mp3")});
    world.Say("d " + folder);
    world.Say("p tone.mp3");
    ASSERT_TRUE(world.WaitForPlayback());
    world.TakeTrace();

    EXPECT_EQ(world.Say("pa"), Lines{world.Reply("beat", "paused")});
    EXPECT_EQ(world.player.State(), PlayState::Paused);
    const double held = world.player.Position();
    world.Spend(150ms);
    EXPECT_NEAR(world.player.Position(), held, 0.02);
    // The room's pause leaves the panel's glyphs alone.
    EXPECT_TRUE(form.Find("Label26")->visible);
    EXPECT_FALSE(form.Find("Label10")->visible);

    EXPECT_EQ(world.Say("up"), Lines{world.Reply("beat", "unpaused")});
    EXPECT_EQ(world.player.State(), PlayState::Playing);
    EXPECT_TRUE(world.WaitUntil([&] { return world.player.Position() > held + 0.08; }, 800ms));
    EXPECT_EQ(world.TakePlayerTrace(),
              (Lines{"MediaPlayer1.TogglePause", "MediaPlayer1.TogglePause"}));

    // Stop touches neither the timers nor the caption.
    EXPECT_EQ(world.Say("stp"), Lines{world.Reply("beat", "stopped")});
    EXPECT_EQ(world.player.State(), PlayState::Stopped);
    EXPECT_EQ(world.player.Position(), 0.0);
    EXPECT_TRUE(form.TimerEnabled(FormTimer::Timer2));
    EXPECT_TRUE(form.TimerEnabled(FormTimer::Timer3));
    EXPECT_TRUE(IsRotationOf(form.CaptionOf("Label21"), "tone.mp3")) << form.CaptionOf("Label21");

    // Nothing to resume now: the reply still comes and nothing plays.
    EXPECT_EQ(world.Say("up"), Lines{world.Reply("beat", "unpaused")});
    EXPECT_EQ(world.player.State(), PlayState::Stopped);
}

// One reply, spelled out, so that the line the room sees is pinned down
// whole and not only as the status-line builder makes it.
TEST(Mp3Commands, TheReplyLineAsTheRoomSeesIt) {
    Mp3World world;
    world.Start("bob");
    EXPECT_EQ(world.Say("d " + world.PathIn("gone")),
              Lines{"< font . face=tahoma>< font . color=#000000>\u00BB\u00B8 "
                    "< font . color=#AAAAAA>bob< font . color=#000000> \u203A "
                    "< font . color=#AAAAAA>directory< font . color=#000000> "
                    "(< font . color=#AAAAAA>invalid< font . color=#000000>) "});
}

}  // namespace
}  // namespace mp3test
