#pragma once
// A media player for tests of the windows: it plays nothing, notes every
// call as a short text, and reports the length and position a test sets.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/MediaPlayer.h"

namespace testsupport {

class RecordingPlayer final : public engine::MediaPlayer {
  public:
    void OpenAndPlay(const std::string& path) override { calls.push_back("open " + path); }
    void TogglePause() override { calls.push_back("toggle"); }
    void Stop() override { calls.push_back("stop"); }
    void NextEntry() override { calls.push_back("next"); }
    void SetVolume(std::int32_t v) override { calls.push_back("volume " + std::to_string(v)); }
    void SetBalance(std::int32_t b) override { calls.push_back("balance " + std::to_string(b)); }
    void SetMute(bool m) override { calls.push_back(m ? "mute" : "unmute"); }
    double Length() override { return length; }
    double Position() override { return position; }

    std::vector<std::string> calls;
    double length = 0;
    double position = 0;
};

}  // namespace testsupport
