#pragma once
// MediaPlayer1 as the windows hold it: every call goes to the real player and,
// when tracing is on, is reported as "MediaPlayer1.MEMBER [VALUE]". Length
// and Position, read by the progress timer, are not reported.

#include <functional>
#include <string>
#include <utility>

#include "engine/MediaPlayer.h"

namespace forms {

using TraceSink = std::function<void(const std::string&)>;

class TracingMediaPlayer final : public engine::MediaPlayer {
  public:
    TracingMediaPlayer(engine::MediaPlayer& player, const TraceSink& trace)
        : player_(player), trace_(trace) {}

    void OpenAndPlay(const std::string& path) override;
    void TogglePause() override;
    void Stop() override;
    void NextEntry() override;
    void SetVolume(std::int32_t volume) override;
    void SetBalance(std::int32_t balance) override;
    void SetMute(bool mute) override;
    double Length() override { return player_.Length(); }
    double Position() override { return player_.Position(); }
    bool WatchProgress(std::function<void()> changed) override {
        return player_.WatchProgress(std::move(changed));
    }
    bool PositionMoving() override { return player_.PositionMoving(); }

  private:
    void Trace(const std::string& line) const {
        if (trace_) trace_(line);
    }

    engine::MediaPlayer& player_;
    const TraceSink& trace_;
};

}  // namespace forms
