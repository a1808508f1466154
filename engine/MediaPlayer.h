#pragma once
// The media player control behind MediaPlayer1, as the engine and the windows
// call it. The players (GStreamer, DirectShow) implement this and nothing
// else of the engine.

#include <cstdint>
#include <functional>
#include <string>

namespace engine {

// Its own scales: Volume in hundredths of a decibel (0 full, -10000 silence,
// above 0 full), Balance from -10000 (left only) to 10000 (right only),
// Length and Position in seconds (0 when nothing is loaded). No call fails or
// waits; a path that names nothing playable is simply not played.
class MediaPlayer {
  public:
    virtual ~MediaPlayer() = default;
    virtual void OpenAndPlay(const std::string& path) = 0;
    virtual void TogglePause() = 0;
    virtual void Stop() = 0;
    virtual void NextEntry() = 0;
    virtual void SetVolume(std::int32_t volume) = 0;
    virtual void SetBalance(std::int32_t balance) = 0;
    virtual void SetMute(bool mute) = 0;
    virtual double Length() = 0;
    virtual double Position() = 0;

    // A player that can tell when Length and Position stop doing what they
    // did (a song starts, pauses, resumes, stops, ends or fails, or its
    // length becomes known) calls `changed` then, on the program's thread,
    // and returns true: between those calls Length holds and Position moves
    // on with the clock while PositionMoving, and holds otherwise. A player
    // that cannot tell returns false and is read as often as its readers like.
    virtual bool WatchProgress(std::function<void()> changed) {
        (void)changed;
        return false;
    }
    virtual bool PositionMoving() { return false; }
};

}  // namespace engine
