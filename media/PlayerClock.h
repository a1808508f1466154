#pragma once
// What both mp3 players keep beside the media framework that plays the song
// (GStreamer, DirectShow): where the song stands, the timer that reads the
// framework's news while a song is under way, the song's length once the
// framework knows it, and the last position it reported and when. A player
// asks its framework and tells the clock what happened; the clock plays
// nothing and knows no framework. No toolkit; the program's one thread only.

#include <chrono>
#include <functional>

#include "platform/Runtime.h"

namespace media {

enum class PlayState {
    Empty,    // nothing loaded, or the last file could not be played
    Stopped,  // a file is loaded and rewound (after Stop or its end)
    Playing,
    Paused,
};

class PlayerClock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // `poll` reads the framework's news while a song is playing or paused:
    // every `pollInterval` until the length is known and again near the
    // song's end, and in between once a second (the news then can only be a
    // failure). A position the framework reported is handed out again for
    // `positionQueryInterval` before it is asked anew.
    PlayerClock(platform::Runtime& runtime, platform::Millis pollInterval,
                std::chrono::milliseconds positionQueryInterval, std::function<void()> poll);
    ~PlayerClock();
    PlayerClock(const PlayerClock&) = delete;
    PlayerClock& operator=(const PlayerClock&) = delete;

    PlayState State() const { return state_; }
    // Called whenever the state or the length changes, so that a reader who
    // knows the position moves on with the clock while playing need not ask
    // in between.
    void SetChangeListener(std::function<void()> changed) { changed_ = std::move(changed); }
    // Playing or paused: the song has a position.
    bool SongUnderway() const {
        return state_ == PlayState::Playing || state_ == PlayState::Paused;
    }

    // --- what the framework did ---
    // A song began to play; its news is read from now on.
    void Started();
    // Playing became paused, or paused playing; the position is asked anew.
    void Toggled();
    // The song was stopped and rewound (Stop, or its end); the file stays.
    void Rewound();
    // The file is gone (unloaded, or it could not be played).
    void Unloaded();

    // --- the length, in seconds ---
    double Length() const { return state_ == PlayState::Empty ? 0.0 : length_; }
    bool LengthKnown() const { return lengthKnown_; }
    void SetLength(double seconds);
    // The framework says the length changed: it is asked again.
    void ForgetLength();

    // --- the position, in seconds ---
    // The framework reported `seconds` at `now`.
    void RememberPosition(double seconds, TimePoint now);
    double LastPosition() const { return lastPosition_; }
    // The last report is recent enough at `now` to stand for a fresh one.
    bool PositionRecent(TimePoint now) const;
    // The last report moved on by the time since it was made: held while
    // paused, and never past a known length.
    double PositionMovedOn(TimePoint now) const;

  private:
    void StartPolling();
    void StopPolling();
    void Poll();
    void ForgetPosition();
    void Changed() const {
        if (changed_) changed_();
    }

    platform::Runtime& runtime_;
    const platform::Millis pollInterval_;
    const std::chrono::milliseconds positionQueryInterval_;
    const std::function<void()> poll_;
    std::function<void()> changed_;
    PlayState state_ = PlayState::Empty;
    platform::TimerId pollTimer_ = 0;
    bool polling_ = false;
    double length_ = 0.0;  // cached: the progress timer may read it every 10 ms
    bool lengthKnown_ = false;
    double lastPosition_ = 0.0;
    bool positionQueried_ = false;
    TimePoint positionQueryTime_;
};

}  // namespace media
