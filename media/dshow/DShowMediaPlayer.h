#pragma once
// MediaPlayer1 on DirectShow: the Windows program's mp3 player, built from
// nothing but what Windows has (ole32 and the filter graph manager).
//
// Everything here runs on the program's one thread, the user-interface
// thread, which is also the thread that makes the player: the constructor
// joins it to a single-threaded COM apartment. DirectShow streams and
// renders on threads of its own; this class only ever talks to its graph
// from the event loop, and reads the graph's events from a timer of the
// platform runtime, so it needs no window of its own to be told about them.
//
// Nothing the caller does can stop or hang the program: a path that names no
// playable file simply does not play, and every call returns at once (a
// successful OpenAndPlay takes as long as DirectShow needs to build the
// graph for the file, a fraction of a second).

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

// How the filter graph for a song is built.
enum class DShowGraph {
    // IGraphBuilder::RenderFile: whatever chain the system has for the file,
    // ending in its default audio renderer, on the graph's reference clock.
    // What the program uses.
    RenderFile,
    // Source, the decoder RenderFile would pick and a Null Renderer, with no reference
    // clock: the song decodes as fast as the machine can and reaches its end
    // in a fraction of its length, silently and with no audio device. The
    // position means nothing there and volume and balance have nowhere to
    // go. For tests that need a song to play through, quickly and the same
    // way every time.
    NullRendererUnclocked,
};

class DShowMediaPlayer final : public engine::MediaPlayer {
  public:
    using PlayState = media::PlayState;

    // How often the graph's events are read while a song is playing or paused.
    static constexpr platform::Millis kEventPollInterval{50};
    // How long a position read from the graph is handed out again before the
    // graph is asked anew. The progress bar shows whole seconds.
    static constexpr std::chrono::milliseconds kPositionQueryInterval{40};

    // Must be made on the user-interface thread, and used only there.
    explicit DShowMediaPlayer(platform::Runtime& runtime,
                              DShowGraph graph = DShowGraph::RenderFile);
    ~DShowMediaPlayer() override;
    DShowMediaPlayer(const DShowMediaPlayer&) = delete;
    DShowMediaPlayer& operator=(const DShowMediaPlayer&) = delete;

    // --- engine::MediaPlayer ---
    // Stops what is playing and starts `path`, a UTF-8 path (the callers
    // join folder and file name with a backslash).
    void OpenAndPlay(const std::string& path) override;
    void TogglePause() override;  // playing <-> paused; nothing otherwise
    void Stop() override;         // rewinds; the file stays loaded
    void NextEntry() override;    // nothing: a single file has no further entries
    // Volume, balance and mute are kept across songs and apply to every
    // graph from the moment it is built.
    void SetVolume(std::int32_t volume) override;
    void SetBalance(std::int32_t balance) override;
    void SetMute(bool mute) override;  // silence; the volume comes back on unmute
    double Length() override;          // seconds; 0 when nothing is loaded
    double Position() override;        // seconds; 0 unless playing or paused
    bool WatchProgress(std::function<void()> changed) override {
        clock_.SetChangeListener(std::move(changed));
        return true;
    }
    bool PositionMoving() override { return clock_.State() == PlayState::Playing; }

    PlayState State() const { return clock_.State(); }
    // False when COM could not be started on this thread; the player then
    // accepts every call and plays nothing.
    bool Available() const { return comReady_; }

    // The program's scales clamped into DirectShow's: IBasicAudio takes the
    // same hundredths of a decibel, volume from -10000 to 0 and balance from
    // -10000 to 10000, and refuses anything outside.
    static std::int32_t VolumeToDirectShow(std::int32_t volume);
    static std::int32_t BalanceToDirectShow(std::int32_t balance);

    // What the loaded graph's IBasicAudio reports right now (for tests and
    // diagnostics). `reachable` is false when no graph is loaded or it has
    // no audio control (the Null Renderer graph).
    struct GraphAudio {
        bool reachable = false;
        std::int32_t volume = 0;
        std::int32_t balance = 0;
    };
    GraphAudio ReadGraphAudio() const;

  private:
    struct Graph;

    void PollEvents();
    void RefreshLength();
    void ApplyVolume();
    void ApplyBalance();
    // Rewinds a loaded graph and leaves it stopped.
    void Rewind();
    // Releases the graph and forgets the file.
    void Unload();

    const DShowGraph graphKind_;
    bool comReady_ = false;
    bool comOwned_ = false;  // this player's CoInitializeEx is to be undone
    std::unique_ptr<Graph> graph_;
    // The play state, the event poll, the length and the last position the
    // graph reported.
    PlayerClock clock_;

    // What the user asked for, in DirectShow's ranges.
    std::int32_t volume_ = 0;
    std::int32_t balance_ = 0;
    bool mute_ = false;
};

}  // namespace media
