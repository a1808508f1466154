// The player against real GStreamer playback through a null sink that keeps
// real time. Waits are short and bounded: the player's bus polling runs on
// the virtual clock of TestRuntime, which these tests move along while real
// time passes for the decoder.

#include <gst/gst.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <thread>

#include "TestSongs.h"
#include "media/gst/GstMediaPlayer.h"
#include "tests/support/TestRuntime.h"

namespace {

using namespace std::chrono_literals;
using media::GstMediaPlayer;
using mediatest::Songs;
using PlayState = media::GstMediaPlayer::PlayState;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

class PlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Songs();  // make the songs before any timing starts
        ASSERT_TRUE(player.Available());
    }

    // Lets real time pass for GStreamer, turning the event loop every few
    // milliseconds, until `done` holds or `bound` has passed.
    bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
        const auto deadline = Clock::now() + bound;
        for (;;) {
            runtime.Advance(10ms);
            if (done()) return true;
            if (Clock::now() >= deadline) return false;
            std::this_thread::sleep_for(5ms);
        }
    }
    void Spend(std::chrono::milliseconds duration) {
        WaitUntil([] { return false; }, duration);
    }
    bool WaitForPosition(double seconds) {
        return WaitUntil([&] { return player.Position() >= seconds; }, 800ms);
    }

    testsupport::TestRuntime runtime;
    GstMediaPlayer player{runtime, media::AudioOutput::FakeSink};
};

TEST_F(PlayerTest, PlaysAFileInRealTimeAndKnowsItsLength) {
    EXPECT_EQ(player.Length(), 0.0);
    EXPECT_EQ(player.Position(), 0.0);

    player.OpenAndPlay(Songs().tone);
    EXPECT_EQ(player.State(), PlayState::Playing);
    ASSERT_TRUE(WaitUntil([&] { return player.Length() > 0 && player.Position() > 0.05; }, 800ms));
    EXPECT_NEAR(player.Length(), 65 * 1024 / 44100.0, 0.1);

    const double before = player.Position();
    const auto start = Clock::now();
    Spend(200ms);
    const double advanced = player.Position() - before;
    EXPECT_GT(advanced, 0.1);
    // Not faster than the clock: the sink must pace the song.
    EXPECT_LT(advanced, Seconds(Clock::now() - start) + 0.05);
}

TEST_F(PlayerTest, PauseHoldsThePositionAndTheSecondToggleResumes) {
    player.OpenAndPlay(Songs().tone);
    ASSERT_TRUE(WaitForPosition(0.1));

    player.TogglePause();
    EXPECT_EQ(player.State(), PlayState::Paused);
    Spend(50ms);
    const double held = player.Position();
    Spend(200ms);
    EXPECT_NEAR(player.Position(), held, 0.02);
    EXPECT_GT(player.Length(), 0.0);

    player.TogglePause();
    EXPECT_EQ(player.State(), PlayState::Playing);
    EXPECT_TRUE(WaitForPosition(held + 0.1));
}

TEST_F(PlayerTest, StopRewindsKeepsTheFileAndLeavesNothingToResume) {
    player.OpenAndPlay(Songs().tone);
    ASSERT_TRUE(WaitForPosition(0.1));
    const double length = player.Length();

    player.Stop();
    EXPECT_EQ(player.State(), PlayState::Stopped);
    EXPECT_EQ(player.Position(), 0.0);
    EXPECT_EQ(player.Length(), length);

    player.TogglePause();  // a stopped song is neither playing nor paused
    Spend(100ms);
    EXPECT_EQ(player.State(), PlayState::Stopped);
    EXPECT_EQ(player.Position(), 0.0);

    player.OpenAndPlay(Songs().tone);  // and it plays again from the start
    EXPECT_TRUE(WaitForPosition(0.05));
}

TEST_F(PlayerTest, TheEndOfASongRewindsIt) {
    player.OpenAndPlay(Songs().shortTone);
    ASSERT_TRUE(WaitUntil([&] { return player.State() == PlayState::Stopped; }, 900ms));
    EXPECT_EQ(player.Position(), 0.0);
    EXPECT_NEAR(player.Length(), 13 * 1024 / 44100.0, 0.1);
}

TEST_F(PlayerTest, FolderAndFileJoinedWithABackslashPlay) {
    player.OpenAndPlay(Songs().folder + "\\tone.mp3");
    EXPECT_EQ(player.State(), PlayState::Playing);
    EXPECT_TRUE(WaitForPosition(0.05));
}

TEST_F(PlayerTest, NextEntryNeverChangesWhatPlays) {
    player.NextEntry();
    EXPECT_EQ(player.State(), PlayState::Empty);
    EXPECT_EQ(player.Length(), 0.0);

    player.OpenAndPlay(Songs().tone);
    ASSERT_TRUE(WaitForPosition(0.05));
    const double before = player.Position();
    player.NextEntry();
    EXPECT_EQ(player.State(), PlayState::Playing);
    EXPECT_TRUE(WaitForPosition(before + 0.05));
}

TEST_F(PlayerTest, VolumeMuteAndBalanceReachThePipelineLoadedOrNot) {
    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        player.SetVolume(-2000);
        player.SetBalance(-600);
        player.SetMute(true);
        auto settings = player.ReadPipelineSettings();
        EXPECT_TRUE(settings.mute);
        EXPECT_NEAR(settings.volume, 0.1, 1e-6);  // float inside playing elements
        EXPECT_NEAR(settings.panorama, GstMediaPlayer::BalanceToPanorama(-600), 1e-6);
        EXPECT_TRUE(settings.simplePanning);

        player.SetVolume(0);
        player.SetBalance(0);
        player.SetMute(false);
        settings = player.ReadPipelineSettings();
        EXPECT_FALSE(settings.mute);
        EXPECT_EQ(settings.volume, 1.0);
        EXPECT_EQ(settings.panorama, 0.0);
    };
    check("nothing loaded");
    player.OpenAndPlay(Songs().tone);
    ASSERT_TRUE(WaitForPosition(0.05));
    check("playing");
    EXPECT_EQ(player.ReadPipelineSettings().audioSink, "fakesink");
}

TEST_F(PlayerTest, AFileThatCannotPlayStillStopsTheSongBefore) {
    player.OpenAndPlay(Songs().tone);
    ASSERT_TRUE(WaitForPosition(0.05));
    player.OpenAndPlay(Songs().missing);
    EXPECT_EQ(player.State(), PlayState::Empty);
    EXPECT_EQ(player.Length(), 0.0);
    EXPECT_EQ(player.Position(), 0.0);
}

TEST_F(PlayerTest, QuickSuccessionOfCallsLeavesAWorkingPlayer) {
    for (int i = 0; i < 5; ++i) {
        player.OpenAndPlay(Songs().tone);
        player.TogglePause();
        player.OpenAndPlay(Songs().text);
        player.TogglePause();
        player.Stop();
        player.OpenAndPlay(Songs().shortTone);
        runtime.Advance(60ms);
    }
    player.OpenAndPlay(Songs().tone);
    EXPECT_TRUE(WaitForPosition(0.1));
}

// Files that must never play, crash or hang.
struct BadSong {
    const char* name;
    std::string (*path)();
    bool lengthStaysZero;  // a truncated song may know its length from its header
};

class BadSongTest : public PlayerTest, public ::testing::WithParamInterface<BadSong> {};

TEST_P(BadSongTest, DoesNotPlayAndSettlesQuickly) {
    player.OpenAndPlay(GetParam().path());
    const bool settled = WaitUntil(
        [&] {
            if (GetParam().lengthStaysZero) {
                EXPECT_EQ(player.Length(), 0.0);
            }
            return player.State() != PlayState::Playing;
        },
        900ms);
    EXPECT_TRUE(settled);
    EXPECT_EQ(player.Position(), 0.0);
    if (GetParam().lengthStaysZero) {
        EXPECT_EQ(player.State(), PlayState::Empty);
    }

    // and the player still works afterwards
    player.OpenAndPlay(Songs().tone);
    EXPECT_TRUE(WaitForPosition(0.05));
}

INSTANTIATE_TEST_SUITE_P(Files, BadSongTest,
                         ::testing::Values(BadSong{"Missing", [] { return Songs().missing; }, true},
                                           BadSong{"Folder", [] { return Songs().folder; }, true},
                                           BadSong{"FolderWithTrailingBackslash",
                                                   [] { return Songs().folder + "\\"; }, true},
                                           BadSong{"EmptyPath", [] { return std::string(); }, true},
                                           BadSong{"TextFile", [] { return Songs().text; }, true},
                                           BadSong{"EmptyFile", [] { return Songs().empty; }, true},
                                           BadSong{"Truncated", [] { return Songs().truncated; },
                                                   false}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- the scales ---

TEST(PlayerScales, VolumeIsHundredthsOfADecibelBelowFull) {
    struct Case {
        std::int32_t volume;
        double linear;
    };
    const Case cases[] = {
        {0, 1.0},
        {2500, 1.0},
        {std::numeric_limits<std::int32_t>::max(), 1.0},
        {-600, 0.50119},
        {-2000, 0.1},
        {-2500, 0.056234},
        {-6000, 0.001},
        {-9999, 1.0012e-5},
        {-10000, 0.0},
        {-12500, 0.0},
        {std::numeric_limits<std::int32_t>::min(), 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.volume);
        EXPECT_NEAR(GstMediaPlayer::VolumeToLinear(c.volume), c.linear, c.linear * 1e-4);
    }
}

TEST(PlayerScales, BalanceTurnsTheFarSideDown) {
    struct Case {
        std::int32_t balance;
        double panorama;
    };
    const Case cases[] = {
        {0, 0.0},
        {2000, 0.9},
        {-2000, -0.9},
        {600, 0.49881},
        {-600, -0.49881},
        {10000, 1.0},
        {-10000, -1.0},
        {2500, 0.943766},
        {std::numeric_limits<std::int32_t>::max(), 1.0},
        {std::numeric_limits<std::int32_t>::min(), -1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.balance);
        EXPECT_NEAR(GstMediaPlayer::BalanceToPanorama(c.balance), c.panorama, 1e-5);
    }
}

// Sums the squares of each channel of interleaved stereo float samples.
struct ChannelEnergy {
    double left = 0.0;
    double right = 0.0;
};

void AddEnergy(GstElement*, GstBuffer* buffer, GstPad*, gpointer data) {
    auto* energy = static_cast<ChannelEnergy*>(data);
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
    const auto* samples = reinterpret_cast<const float*>(map.data);
    const std::size_t count = map.size / sizeof(float);
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        energy->left += samples[i] * samples[i];
        energy->right += samples[i + 1] * samples[i + 1];
    }
    gst_buffer_unmap(buffer, &map);
}

// The balance mapping measured on real audio: the player's panning settings
// must turn the far side down by exactly the balance's decibels.
TEST(PlayerScales, BalanceAttenuatesTheFarSideByItsDecibels) {
    testsupport::TestRuntime runtime;
    GstMediaPlayer player(runtime, media::AudioOutput::FakeSink);
    for (std::int32_t balance : {600, -2000, 10000, -10000}) {
        SCOPED_TRACE(balance);
        player.SetBalance(balance);
        const auto settings = player.ReadPipelineSettings();
        const std::string description =
            "audiotestsrc num-buffers=20 ! audio/x-raw,format=F32LE,channels=2,rate=44100 ! "
            "audiopanorama name=pan ! fakesink name=sink signal-handoffs=true";
        GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
        ASSERT_NE(pipeline, nullptr);
        GstElement* pan = gst_bin_get_by_name(GST_BIN(pipeline), "pan");
        GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
        gst_util_set_object_arg(G_OBJECT(pan), "method",
                                settings.simplePanning ? "simple" : "psychoacoustic");
        g_object_set(pan, "panorama", static_cast<gfloat>(settings.panorama), nullptr);
        ChannelEnergy energy;
        g_signal_connect(sink, "handoff", G_CALLBACK(AddEnergy), &energy);
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* end = gst_bus_timed_pop_filtered(
            bus, 5 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        ASSERT_NE(end, nullptr);
        EXPECT_EQ(GST_MESSAGE_TYPE(end), GST_MESSAGE_EOS);
        gst_message_unref(end);
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(bus);
        gst_object_unref(pan);
        gst_object_unref(sink);
        gst_object_unref(pipeline);

        const double full = balance > 0 ? energy.right : energy.left;
        const double turnedDown = balance > 0 ? energy.left : energy.right;
        ASSERT_GT(full, 0.0);
        const double expectedGain =
            std::abs(balance) >= 10000 ? 0.0 : std::pow(10.0, -std::abs(balance) / 2000.0);
        EXPECT_NEAR(std::sqrt(turnedDown / full), expectedGain, 0.005);
    }
}

TEST(PlayerOutput, TheEnvironmentCanForceTheNullSink) {
    testsupport::TestRuntime runtime;
    const char* old = getenv("MOONRAKE_AUDIO_SINK");
    const std::string saved = old != nullptr ? old : "";
    setenv("MOONRAKE_AUDIO_SINK", "fake", 1);
    EXPECT_EQ(GstMediaPlayer(runtime).ReadPipelineSettings().audioSink, "fakesink");
    unsetenv("MOONRAKE_AUDIO_SINK");
    EXPECT_EQ(GstMediaPlayer(runtime).ReadPipelineSettings().audioSink, "autoaudiosink");
    if (old != nullptr) setenv("MOONRAKE_AUDIO_SINK", saved.c_str(), 1);
}

}  // namespace
