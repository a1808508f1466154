#include "media/gst/GstMediaPlayer.h"

#include <gst/audio/streamvolume.h>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace media {

namespace {

constexpr std::int32_t kSilence = -10000;  // hundredths of a decibel
constexpr std::int32_t kFullBalance = 10000;

bool FakeSinkForced() {
    const char* value = std::getenv("MOONRAKE_AUDIO_SINK");
    return value != nullptr && std::strcmp(value, "fake") == 0;
}

GstElement* MakeFakeSink() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    // sync=true makes the null sink consume buffers at the pace of the clock,
    // so a song takes as long as it lasts and the position means something.
    if (sink != nullptr) g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The callers join folder and file name with a backslash, the way paths are
// written where this program comes from. A backslash is a legal character in
// a file name here, so the path is tried as written first.
std::string ResolveSongPath(const std::string& path) {
    if (path.empty()) return {};
    if (IsRegularFile(path)) return path;
    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    if (slashed != path && IsRegularFile(slashed)) return slashed;
    return {};
}

double NanosecondsToSeconds(gint64 ns) {
    return static_cast<double>(ns) / GST_SECOND;
}

}  // namespace

struct GstMediaPlayer::Gst {
    GstElement* playbin = nullptr;
    GstElement* panorama = nullptr;  // owned by playbin once set as its filter
    GstBus* bus = nullptr;
    std::string sinkName;
    std::string path;  // the file being played, for messages

    ~Gst() {
        if (playbin != nullptr) {
            gst_element_set_state(playbin, GST_STATE_NULL);
            gst_object_unref(playbin);
        }
        if (bus != nullptr) gst_object_unref(bus);
    }
};

GstMediaPlayer::GstMediaPlayer(platform::Runtime& runtime, AudioOutput output)
    : clock_(runtime, kBusPollInterval, kPositionQueryInterval, [this] { PollBus(); }) {
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        std::cerr << "media player: GStreamer is not available: "
                  << (error != nullptr ? error->message : "unknown error") << '\n';
        g_clear_error(&error);
        return;
    }
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (playbin == nullptr) {
        std::cerr << "media player: the GStreamer element playbin is missing\n";
        return;
    }
    auto gst = std::make_unique<Gst>();
    gst->playbin = GST_ELEMENT(gst_object_ref_sink(playbin));

    // Audio only: a file that also carries pictures or video must not open a
    // window of its own.
    gst_util_set_object_arg(G_OBJECT(gst->playbin), "flags", "audio+soft-volume");

    gst->panorama = gst_element_factory_make("audiopanorama", nullptr);
    if (gst->panorama != nullptr) {
        // Simple panning leaves one side untouched and scales the other by
        // 1 - |panorama|, which is exactly "attenuate the other side".
        gst_util_set_object_arg(G_OBJECT(gst->panorama), "method", "simple");
        g_object_set(gst->playbin, "audio-filter", gst->panorama, nullptr);
    } else {
        std::cerr << "media player: audiopanorama is missing; balance has no effect\n";
    }

    GstElement* sink = nullptr;
    if (output == AudioOutput::FakeSink || FakeSinkForced()) {
        sink = MakeFakeSink();
    } else {
        sink = gst_element_factory_make("autoaudiosink", nullptr);
        if (sink == nullptr) sink = MakeFakeSink();
    }
    if (sink != nullptr) {
        GstElementFactory* factory = gst_element_get_factory(sink);
        gst->sinkName = factory != nullptr ? GST_OBJECT_NAME(factory) : "";
        g_object_set(gst->playbin, "audio-sink", sink, nullptr);
    }

    gst->bus = gst_element_get_bus(gst->playbin);
    gst_ = std::move(gst);
}

GstMediaPlayer::~GstMediaPlayer() = default;

bool GstMediaPlayer::Available() const {
    return gst_ != nullptr;
}

// Volume is in hundredths of a decibel below full volume: 0 is full volume,
// -2000 is a tenth of the amplitude, -10000 (and anything lower) is silence.
// Values above 0 cannot be louder than the song itself and play at full
// volume. So linear = 10^(volume / 2000), clamped to 0..1.
double GstMediaPlayer::VolumeToLinear(std::int32_t volume) {
    if (volume >= 0) return 1.0;
    if (volume <= kSilence) return 0.0;
    return gst_stream_volume_convert_volume(GST_STREAM_VOLUME_FORMAT_DB,
                                            GST_STREAM_VOLUME_FORMAT_LINEAR, volume / 100.0);
}

// Balance says how many hundredths of a decibel the far side is turned down:
// positive turns the left channel down (the sound moves right), negative the
// right one, and +-10000 or beyond silences that side completely. With simple
// panning the turned-down side's gain is 1 - |panorama|, so
// |panorama| = 1 - 10^(-|balance| / 2000), with the sign of the balance.
double GstMediaPlayer::BalanceToPanorama(std::int32_t balance) {
    if (balance == 0) return 0.0;
    if (balance >= kFullBalance) return 1.0;
    if (balance <= -kFullBalance) return -1.0;
    const double gain = std::pow(10.0, -std::abs(balance) / 2000.0);
    return balance > 0 ? 1.0 - gain : gain - 1.0;
}

void GstMediaPlayer::OpenAndPlay(const std::string& path) {
    if (!gst_) return;
    Unload();
    const std::string file = ResolveSongPath(path);
    if (file.empty()) return;  // missing, a folder, or nothing at all

    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(file.c_str(), &error);
    if (uri == nullptr) {
        g_clear_error(&error);
        return;
    }
    g_object_set(gst_->playbin, "uri", uri, nullptr);
    g_free(uri);
    gst_->path = file;

    // Usually ASYNC: whether the file really plays is known only once the
    // decoder has looked at it, and the bus tells us if it could not.
    if (gst_element_set_state(gst_->playbin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        Unload();
        return;
    }
    clock_.Started();
}

void GstMediaPlayer::TogglePause() {
    // A stopped or empty player has nothing to pause or resume.
    if (!gst_ || !clock_.SongUnderway()) return;
    const GstState target =
        clock_.State() == PlayState::Playing ? GST_STATE_PAUSED : GST_STATE_PLAYING;
    if (gst_element_set_state(gst_->playbin, target) == GST_STATE_CHANGE_FAILURE) {
        Unload();
        return;
    }
    clock_.Toggled();
}

void GstMediaPlayer::Stop() {
    if (!gst_ || !clock_.SongUnderway()) return;
    // NULL rather than READY: it also closes the file and drops the bus's
    // pending messages, and the next OpenAndPlay starts from scratch anyway.
    gst_element_set_state(gst_->playbin, GST_STATE_NULL);
    clock_.Rewound();
}

void GstMediaPlayer::NextEntry() {
    // OpenAndPlay loads one file, never a list of entries, so there is never
    // a next entry to move to.
}

void GstMediaPlayer::SetVolume(std::int32_t volume) {
    if (!gst_) return;
    g_object_set(gst_->playbin, "volume", VolumeToLinear(volume), nullptr);
}

void GstMediaPlayer::SetBalance(std::int32_t balance) {
    if (!gst_ || gst_->panorama == nullptr) return;
    g_object_set(gst_->panorama, "panorama", static_cast<gfloat>(BalanceToPanorama(balance)),
                 nullptr);
}

void GstMediaPlayer::SetMute(bool mute) {
    if (!gst_) return;
    g_object_set(gst_->playbin, "mute", mute ? TRUE : FALSE, nullptr);
}

double GstMediaPlayer::Length() {
    return clock_.Length();
}

double GstMediaPlayer::Position() {
    if (!gst_ || !clock_.SongUnderway()) return 0.0;
    // The progress timer may ask every 10 ms (while a command runs), and a
    // position query walks the pipeline and wakes its threads. Between real
    // queries the song moves on with the wall clock (the pipeline runs on the
    // system clock, whatever clock the event loop uses), so a recent answer
    // plus the time since is as good as a fresh one.
    const auto now = std::chrono::steady_clock::now();
    if (now - busReadTime_ >= kBusReadInterval) {
        PollBus();
        // The song may have ended or failed just now.
        if (!gst_ || !clock_.SongUnderway()) return 0.0;
    }
    if (clock_.PositionRecent(now)) return clock_.PositionMovedOn(now);
    gint64 position = 0;
    // Fails for a moment while the pipeline prerolls; keep the last answer
    // then, so the bar does not flicker back to the start.
    if (gst_element_query_position(gst_->playbin, GST_FORMAT_TIME, &position) && position >= 0) {
        clock_.RememberPosition(NanosecondsToSeconds(position), now);
    }
    return clock_.LastPosition();
}

GstMediaPlayer::PipelineSettings GstMediaPlayer::ReadPipelineSettings() const {
    PipelineSettings settings;
    if (!gst_) return settings;
    gboolean mute = FALSE;
    gdouble volume = 0.0;
    g_object_get(gst_->playbin, "mute", &mute, "volume", &volume, nullptr);
    settings.mute = mute != FALSE;
    settings.volume = volume;
    if (gst_->panorama != nullptr) {
        gfloat panorama = 0.0f;
        gint method = 0;
        g_object_get(gst_->panorama, "panorama", &panorama, "method", &method, nullptr);
        settings.panorama = panorama;
        settings.simplePanning = method == 1;
    }
    settings.audioSink = gst_->sinkName;
    return settings;
}

void GstMediaPlayer::PollBus() {
    if (!gst_) return;
    busReadTime_ = std::chrono::steady_clock::now();
    while (GstMessage* message = gst_bus_pop(gst_->bus)) {
        bool stop = false;
        switch (GST_MESSAGE_TYPE(message)) {
            case GST_MESSAGE_ERROR: {
                GError* error = nullptr;
                gst_message_parse_error(message, &error, nullptr);
                std::cerr << "media player: cannot play " << gst_->path << ": "
                          << (error != nullptr ? error->message : "unknown error") << '\n';
                g_clear_error(&error);
                Unload();
                stop = true;
                break;
            }
            case GST_MESSAGE_EOS:
                // The end of the song rewinds it, like Stop; the file stays loaded.
                gst_element_set_state(gst_->playbin, GST_STATE_NULL);
                clock_.Rewound();
                stop = true;
                break;
            case GST_MESSAGE_DURATION_CHANGED:
                clock_.ForgetLength();
                break;
            default:
                break;
        }
        gst_message_unref(message);
        // Going to NULL flushed the bus; what is left belongs to nothing.
        if (stop) return;
    }
    if (!clock_.LengthKnown()) RefreshLength();
}

void GstMediaPlayer::RefreshLength() {
    if (!clock_.SongUnderway()) return;
    gint64 duration = 0;
    if (gst_element_query_duration(gst_->playbin, GST_FORMAT_TIME, &duration) && duration > 0) {
        clock_.SetLength(NanosecondsToSeconds(duration));
    }
}

void GstMediaPlayer::Unload() {
    if (gst_) {
        gst_element_set_state(gst_->playbin, GST_STATE_NULL);
        gst_->path.clear();
    }
    clock_.Unloaded();
}

}  // namespace media
