// The player against the real filter graph. Most tests take the program's
// own path, RenderFile to the default audio renderer (under Wine an ALSA
// null device stands in for a sound card), and play in real time on the
// program's event loop; the tests that need a song to play to its end or a
// file to be decoded through use the unclocked Null Renderer graph, which
// gets there in a fraction of the song's length.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>

#include "Songs.h"
#include "media/dshow/DShowMediaPlayer.h"
#include "platform/win32/Win32Runtime.h"

namespace media {
void PrintTo(DShowGraph graph, std::ostream* out) {
    *out << (graph == DShowGraph::RenderFile ? "RenderFile" : "NullRendererUnclocked");
}
}  // namespace media

namespace {

using namespace std::chrono_literals;
using dshowtest::Songs;
using dshowtest::TestSongs;
using media::DShowGraph;
using media::DShowMediaPlayer;
using PlayState = media::DShowMediaPlayer::PlayState;
using Clock = std::chrono::steady_clock;

// Samples of tone over the sample rate; the encoder adds a little padding.
constexpr double kToneLength = 130 * 1024 / 44100.0;
constexpr double kShortToneLength = 13 * 1024 / 44100.0;
constexpr double kLengthTolerance = 0.15;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

class PlayerTest : public ::testing::Test {
  protected:
    explicit PlayerTest(DShowGraph graph = DShowGraph::RenderFile) : player(runtime, graph) {}

    void SetUp() override { ASSERT_TRUE(player.Available()); }

    // Turns the program's event loop, sleeping in it between events, until
    // `done` holds or `bound` has passed.
    bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
        const auto deadline = Clock::now() + bound;
        for (;;) {
            runtime.WaitForEvents(5ms);
            if (done()) return true;
            if (Clock::now() >= deadline) return false;
        }
    }
    void Spend(std::chrono::milliseconds duration) {
        WaitUntil([] { return false; }, duration);
    }
    bool WaitForPosition(double seconds) {
        return WaitUntil([&] { return player.Position() >= seconds; }, 1000ms);
    }
    bool WaitForTheEnd(std::chrono::milliseconds bound) {
        return WaitUntil([&] { return player.State() == PlayState::Stopped; }, bound);
    }

    const Songs& songs = TestSongs();  // written before any timing starts
    platform::Win32Runtime runtime;
    DShowMediaPlayer player;
};

class FastPlayerTest : public PlayerTest {
  protected:
    FastPlayerTest() : PlayerTest(DShowGraph::NullRendererUnclocked) {}
};

// --- playing in real time, on the program's path ---

TEST_F(PlayerTest, PlaysInRealTimeKnowsItsLengthAndAnswersCheaply) {
    player.OpenAndPlay(songs.tone);
    EXPECT_EQ(player.State(), PlayState::Playing);
    EXPECT_NEAR(player.Length(), kToneLength, kLengthTolerance);
    ASSERT_TRUE(WaitForPosition(0.05));

    const double before = player.Position();
    const auto start = Clock::now();
    Spend(300ms);
    const double advanced = player.Position() - before;
    EXPECT_GT(advanced, 0.2);
    // Not faster than the clock: the renderer must pace the song.
    EXPECT_LT(advanced, Seconds(Clock::now() - start) + 0.05);

    // The progress bar reads both every 10 ms; a hundred seconds' worth of
    // its reads must cost next to nothing.
    const auto reads = Clock::now();
    double sum = 0.0;
    for (int i = 0; i < 10000; ++i) sum += player.Length() + player.Position();
    EXPECT_LT(Seconds(Clock::now() - reads), 0.1);
    EXPECT_GT(sum, 0.0);
}

TEST_F(PlayerTest, PauseHoldsThePositionAndTheSecondToggleResumesFromThere) {
    player.OpenAndPlay(songs.tone);
    ASSERT_TRUE(WaitForPosition(0.2));

    player.TogglePause();
    EXPECT_EQ(player.State(), PlayState::Paused);
    Spend(60ms);
    const double held = player.Position();
    Spend(300ms);
    EXPECT_NEAR(player.Position(), held, 0.02);
    EXPECT_NEAR(player.Length(), kToneLength, kLengthTolerance);

    player.TogglePause();
    EXPECT_EQ(player.State(), PlayState::Playing);
    Spend(20ms);
    EXPECT_GT(player.Position(), held - 0.05);  // not from the start again
    EXPECT_TRUE(WaitForPosition(held + 0.15));
}

TEST_F(PlayerTest, StopRewindsKeepsTheFileAndLeavesNothingToResume) {
    player.OpenAndPlay(songs.tone);
    ASSERT_TRUE(WaitForPosition(0.2));
    const double length = player.Length();

    player.Stop();
    EXPECT_EQ(player.State(), PlayState::Stopped);
    EXPECT_EQ(player.Position(), 0.0);
    EXPECT_EQ(player.Length(), length);

    player.TogglePause();  // a stopped song is neither playing nor paused
    Spend(150ms);
    EXPECT_EQ(player.State(), PlayState::Stopped);
    EXPECT_EQ(player.Position(), 0.0);

    player.OpenAndPlay(songs.tone);  // and it plays again from the start
    Spend(20ms);
    EXPECT_LT(player.Position(), 0.15);
    EXPECT_TRUE(WaitForPosition(0.1));
}

TEST_F(PlayerTest, TheEndOfASongRewindsIt) {
    player.OpenAndPlay(songs.shortTone);
    ASSERT_TRUE(WaitForTheEnd(1500ms));
    EXPECT_EQ(player.Position(), 0.0);
    EXPECT_NEAR(player.Length(), kShortToneLength, kLengthTolerance);
}

TEST_F(PlayerTest, NextEntryNeverChangesWhatPlays) {
    player.NextEntry();
    EXPECT_EQ(player.State(), PlayState::Empty);

    player.OpenAndPlay(songs.tone);
    ASSERT_TRUE(WaitForPosition(0.05));
    const double before = player.Position();
    player.NextEntry();
    EXPECT_EQ(player.State(), PlayState::Playing);
    EXPECT_TRUE(WaitForPosition(before + 0.1));
}

TEST_F(PlayerTest, APathOutsideTheAnsiCodePagePlays) {
    player.OpenAndPlay(songs.unicode);
    EXPECT_EQ(player.State(), PlayState::Playing);
    EXPECT_TRUE(WaitForPosition(0.05));
}

// --- volume, balance and mute, read back from the graph ---

TEST_F(PlayerTest, SettingsMadeBeforeAnySongReachItsGraph) {
    EXPECT_EQ(player.Length(), 0.0);
    EXPECT_EQ(player.Position(), 0.0);
    EXPECT_FALSE(player.ReadGraphAudio().reachable);
    player.TogglePause();
    player.Stop();
    player.SetVolume(-600);
    player.SetBalance(-2000);
    EXPECT_EQ(player.State(), PlayState::Empty);
    EXPECT_EQ(player.Length(), 0.0);
    EXPECT_EQ(player.Position(), 0.0);

    player.OpenAndPlay(songs.tone);
    const auto audio = player.ReadGraphAudio();
    ASSERT_TRUE(audio.reachable);
    EXPECT_EQ(audio.volume, -600);
    EXPECT_EQ(audio.balance, -2000);
}

TEST_F(PlayerTest, VolumeAndBalanceAreClampedIntoTheGraphsRanges) {
    player.OpenAndPlay(songs.tone);
    ASSERT_TRUE(player.ReadGraphAudio().reachable);
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    struct Case {
        std::int32_t asked;
        std::int32_t volume;   // what the graph holds when asked for that volume
        std::int32_t balance;  // ... and for that balance
    };
    // Each case follows one that left other values, so a refused put shows.
    const Case cases[] = {
        {-1238, -1238, -1238},
        {2500, 0, 2500},
        {-2500, -2500, -2500},
        {kMax, 0, 10000},
        {-9999, -9999, -9999},
        {-10000, -10000, -10000},
        {0, 0, 0},
        {-12500, -10000, -10000},
        {12500, 0, 10000},
        {kMin, -10000, -10000},
        {1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        player.SetVolume(c.asked);
        player.SetBalance(c.asked);
        const auto audio = player.ReadGraphAudio();
        EXPECT_EQ(audio.volume, c.volume);
        EXPECT_EQ(audio.balance, c.balance);
    }
    EXPECT_EQ(player.State(), PlayState::Playing);
}

TEST_F(PlayerTest, MuteSilencesAndKeepsTheVolumeForUnmute) {
    player.SetVolume(-600);
    player.OpenAndPlay(songs.tone);
    player.SetMute(true);
    EXPECT_EQ(player.ReadGraphAudio().volume, -10000);
    player.SetVolume(-1200);  // turned while muted: heard only after unmute
    EXPECT_EQ(player.ReadGraphAudio().volume, -10000);

    player.OpenAndPlay(songs.tone);  // the next song is muted as well
    EXPECT_EQ(player.ReadGraphAudio().volume, -10000);
    player.SetMute(false);
    EXPECT_EQ(player.ReadGraphAudio().volume, -1200);
    player.SetMute(false);
    EXPECT_EQ(player.ReadGraphAudio().volume, -1200);
}

// --- files that cannot play ---

TEST_F(PlayerTest, AFileThatCannotPlayStillStopsTheSongBefore) {
    player.OpenAndPlay(songs.tone);
    ASSERT_TRUE(WaitForPosition(0.05));
    player.OpenAndPlay(songs.text);
    EXPECT_EQ(player.State(), PlayState::Empty);
    EXPECT_EQ(player.Length(), 0.0);
    EXPECT_EQ(player.Position(), 0.0);
    player.TogglePause();
    EXPECT_EQ(player.State(), PlayState::Empty);
}

TEST_F(PlayerTest, QuickSuccessionOfCallsLeavesAWorkingPlayer) {
    for (int i = 0; i < 3; ++i) {
        player.OpenAndPlay(songs.tone);
        player.TogglePause();
        player.OpenAndPlay(songs.noise);
        player.TogglePause();
        player.Stop();
        player.OpenAndPlay(songs.shortTone);
        player.TogglePause();
        player.TogglePause();
        runtime.WaitForEvents(60ms);
    }
    player.OpenAndPlay(songs.tone);
    EXPECT_TRUE(WaitForPosition(0.1));
}

struct BadSong {
    enum Outcome {
        Refused,  // never plays
        Cut,      // plays up to where the file ends, then ends
        Garbage,  // random frames: DirectShow may make a noise of them
    };
    const char* name;
    std::string Songs::*path;  // null: the empty path
    std::string suffix;        // appended to the path
    Outcome outcome;
};

const BadSong kBadSongs[] = {
    {"Missing", &Songs::missing, "", BadSong::Refused},
    {"Folder", &Songs::folder, "", BadSong::Refused},
    {"FolderWithTrailingBackslash", &Songs::folder, "\\", BadSong::Refused},
    {"EmptyPath", nullptr, "", BadSong::Refused},
    {"TextFile", &Songs::text, "", BadSong::Refused},
    {"EmptyFile", &Songs::empty, "", BadSong::Refused},
    {"RandomBytes", &Songs::noise, "", BadSong::Refused},
    {"Truncated", &Songs::truncated, "", BadSong::Cut},
    {"RandomFrames", &Songs::garbage, "", BadSong::Garbage},
};

void PrintTo(const BadSong& bad, std::ostream* out) {
    *out << bad.name;
}

class BadSongTest : public ::testing::TestWithParam<std::tuple<DShowGraph, BadSong>> {
  protected:
    platform::Win32Runtime runtime;
};

// Never plays more than it has, never takes long, never stops or hangs the
// player, on either graph.
TEST_P(BadSongTest, SettlesQuicklyAndTheNextSongPlays) {
    const auto& [graph, bad] = GetParam();
    const Songs& songs = TestSongs();
    DShowMediaPlayer player(runtime, graph);
    const std::string path = (bad.path != nullptr ? songs.*bad.path : std::string()) + bad.suffix;

    const auto start = Clock::now();
    player.OpenAndPlay(path);
    EXPECT_LT(Seconds(Clock::now() - start), 1.0);
    if (bad.outcome == BadSong::Refused) {
        EXPECT_EQ(player.State(), PlayState::Empty);
        EXPECT_EQ(player.Length(), 0.0);
        EXPECT_EQ(player.Position(), 0.0);
    }
    // A quarter of the tone, in real time on the real graph.
    const auto bound = graph == DShowGraph::RenderFile ? 2000ms : 1000ms;
    while (player.State() == PlayState::Playing && Clock::now() - start < bound) {
        runtime.WaitForEvents(10ms);
        if (bad.outcome == BadSong::Cut) {
            EXPECT_LE(player.Position(), kToneLength / 4 + 0.1);
        }
    }
    if (bad.outcome != BadSong::Garbage) {
        EXPECT_NE(player.State(), PlayState::Playing);
    }
    player.TogglePause();
    player.Stop();
    EXPECT_NE(player.State(), PlayState::Playing);
    EXPECT_NE(player.State(), PlayState::Paused);
    EXPECT_EQ(player.Position(), 0.0);

    player.OpenAndPlay(songs.tone);
    EXPECT_EQ(player.State(), PlayState::Playing);
    EXPECT_NEAR(player.Length(), kToneLength, kLengthTolerance);
}

INSTANTIATE_TEST_SUITE_P(Files, BadSongTest,
                         ::testing::Combine(::testing::Values(DShowGraph::RenderFile,
                                                              DShowGraph::NullRendererUnclocked),
                                            ::testing::ValuesIn(kBadSongs)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == DShowGraph::RenderFile
                                                    ? "RenderFile_"
                                                    : "NullRenderer_") +
                                    std::get<1>(info.param).name;
                         });

// --- the unclocked graph ---

TEST_F(FastPlayerTest, DecodesASongThroughInAFractionOfItsLengthAndRewinds) {
    for (int play = 0; play < 2; ++play) {  // the second play starts afresh
        SCOPED_TRACE(play);
        const auto start = Clock::now();
        player.OpenAndPlay(songs.tone);
        EXPECT_EQ(player.State(), PlayState::Playing);
        ASSERT_TRUE(WaitForTheEnd(1500ms));
        EXPECT_LT(Seconds(Clock::now() - start), kToneLength / 2);
        EXPECT_EQ(player.Position(), 0.0);
        EXPECT_NEAR(player.Length(), kToneLength, kLengthTolerance);
    }
    // No audio control on this graph; the settings are kept all the same.
    player.SetVolume(-600);
    player.SetMute(true);
    player.OpenAndPlay(songs.tone);
    EXPECT_FALSE(player.ReadGraphAudio().reachable);
    EXPECT_EQ(player.State(), PlayState::Playing);
}

}  // namespace
