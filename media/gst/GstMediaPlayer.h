#pragma once
// MediaPlayer1: the mp3 player behind the panel and the room commands, built
// on a GStreamer playbin.
//
// Everything here runs on the program's one thread. GStreamer decodes and
// plays on its own threads, but this class only talks to it from the event
// loop: it reads the pipeline's bus from a timer of the platform runtime
// instead of a bus watch, so it works under any event dispatcher and under
// the virtual clock of the tests. No Qt in here, so it tests without a
// QApplication.
//
// Nothing the caller does can stop or hang the program: a path that names no
// playable file simply does not play, and every call returns at once.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "engine/MediaPlayer.h"
#include "media/PlayerClock.h"
#include "platform/Runtime.h"

namespace media {

// Where the sound goes.
enum class AudioOutput {
    // The system's default output (autoaudiosink), which quietly falls back
    // to a null sink on a machine without a sound device.
    SystemDefault,
    // A null sink that still plays in real time (fakesink sync=true): for
    // tests and benchmarks, which must not make noise but must see playback
    // advance with the clock.
    FakeSink,
};

class GstMediaPlayer final : public engine::MediaPlayer {
  public:
    using PlayState = media::PlayState;

    // How often the bus is read while a song is playing or paused. The
    // progress timer's reads of the position read it too, at most every
    // kBusReadInterval: then the player needs no wake-up of its own, and its
    // timer only backs up a player nobody reads.
    static constexpr platform::Millis kBusPollInterval{250};
    static constexpr std::chrono::milliseconds kBusReadInterval{50};
    // How long a position read from the pipeline is extrapolated before it
    // is asked again.
    // The bar it feeds shows whole seconds, and a query takes the pipeline's
    // locks against its streaming threads, so ask rarely.
    static constexpr std::chrono::milliseconds kPositionQueryInterval{250};

    // The environment variable MOONRAKE_AUDIO_SINK=fake forces FakeSink,
    // whatever `output` says.
    explicit GstMediaPlayer(platform::Runtime& runtime,
                            AudioOutput output = AudioOutput::SystemDefault);
    ~GstMediaPlayer() override;
    GstMediaPlayer(const GstMediaPlayer&) = delete;
    GstMediaPlayer& operator=(const GstMediaPlayer&) = delete;

    // --- engine::MediaPlayer ---
    // Stops what is playing and starts `path`. The callers build the path as
    // folder + "\" + file name; when that names no file as written, the
    // backslashes are read as folder separators.
    void OpenAndPlay(const std::string& path) override;
    void TogglePause() override;  // playing <-> paused; nothing otherwise
    void Stop() override;         // rewinds; the file stays loaded
    void NextEntry() override;    // nothing: a single file has no further entries
    void SetVolume(std::int32_t volume) override;
    void SetBalance(std::int32_t balance) override;
    void SetMute(bool mute) override;
    double Length() override;    // seconds; 0 until known and when nothing is loaded
    double Position() override;  // seconds; 0 unless playing or paused
    bool WatchProgress(std::function<void()> changed) override {
        clock_.SetChangeListener(std::move(changed));
        return true;
    }
    bool PositionMoving() override { return clock_.State() == PlayState::Playing; }

    PlayState State() const { return clock_.State(); }
    // False when GStreamer or its playbin is not available; the player then
    // accepts every call and plays nothing.
    bool Available() const;

    // The scales of the original control mapped onto GStreamer's.
    static double VolumeToLinear(std::int32_t volume);
    static double BalanceToPanorama(std::int32_t balance);

    // What the pipeline holds right now, read back from its elements (for
    // tests and diagnostics).
    struct PipelineSettings {
        bool mute = false;
        double volume = 1.0;    // playbin "volume", linear
        double panorama = 0.0;  // audiopanorama "panorama", -1..1
        bool simplePanning = false;
        std::string audioSink;  // factory name of the sink in use
    };
    PipelineSettings ReadPipelineSettings() const;

  private:
    struct Gst;

    void PollBus();
    void RefreshLength();
    // Puts the pipeline into NULL and forgets the file.
    void Unload();

    std::unique_ptr<Gst> gst_;
    // The play state, the bus poll, the length and the last position the
    // pipeline reported: Position() asks the pipeline again only after
    // kPositionQueryInterval.
    PlayerClock clock_;
    std::chrono::steady_clock::time_point busReadTime_;
};

}  // namespace media
