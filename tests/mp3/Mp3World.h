#pragma once
// One run of the whole program for the mp3 tests: the test runtime's virtual
// clock, the simulated client signed on in its room, the real main window,
// and the GStreamer player on a null sink that keeps real time. Lines go in
// through the room's input box and the replies are read from the room's
// transcript, so every test crosses the scanner, the engine, the window and
// the player.
//
// Songs are encoded once per test program and copied into folders made for
// each test; the folders go when the world goes.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clientsim/SimChatClient.h"
#include "forms/Form1.h"
#include "media/gst/GstMediaPlayer.h"
#include "platform/Services.h"
#include "platform/sim/SimWindowSystem.h"
#include "tests/support/FakeFrontEnd.h"
#include "tests/support/TestRuntime.h"

namespace mp3test {

// What goes into a test folder: a playable song (a copy of a short tone) or
// a file with the given text.
struct FileSpec {
    std::string name;
    bool song = false;
    std::string text;
};
FileSpec Song(const std::string& name);
FileSpec TextFile(const std::string& name, const std::string& text = "not a song\n");

// Length in seconds of every song that Song() makes.
double SongSeconds();

class Mp3World {
  public:
    Mp3World();
    ~Mp3World();
    Mp3World(const Mp3World&) = delete;
    Mp3World& operator=(const Mp3World&) = delete;

    // Builds the main window and runs its load step with `handle` typed at
    // the prompt.
    forms::Form1& Start(const std::string& handle = "bob");
    forms::Form1& Form() { return *form_; }

    // A folder under the world's own temporary folder holding `files`;
    // returns its path.
    std::string MakeFolder(const std::string& name, const std::vector<FileSpec>& files);
    std::string PathIn(const std::string& relative) const;

    // The user types `line` into the room. Runs everything it set off that
    // is due now, and returns the lines that reached the room after the typed
    // one (the replies), as their texts.
    std::vector<std::string> Say(const std::string& line);
    // The reply line a command builds from this verb and detail with the
    // current settings.
    std::string Reply(const std::string& verb, const std::string& detail) const;

    // Trace lines from Form1 since the last call.
    std::vector<std::string> TakeTrace();
    // Only the media player's trace lines since the last call.
    std::vector<std::string> TakePlayerTrace();

    // Lets real time pass for GStreamer while the virtual clock moves along
    // in 10 ms steps, until `done` holds or `bound` of real time has passed.
    bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound);
    void Spend(std::chrono::milliseconds realTime);
    // Waits until the player has a length and has played `seconds`.
    bool WaitForPlayback(double seconds = 0.05);

    testsupport::TestRuntime runtime;
    platform::sim::SimWindowSystem sim{runtime};
    clientsim::SimChatClient client{sim, runtime};
    platform::Services services{sim, runtime, runtime.random()};
    media::GstMediaPlayer player{runtime, media::AudioOutput::FakeSink};
    testsupport::FakeFrontEnd frontEnd;

  private:
    std::filesystem::path root_;
    std::vector<std::string> trace_;
    std::unique_ptr<forms::Form1> form_;  // last: it uses everything above
};

// True when `text` is `original` with some characters moved from its front
// to its end, as the scroll timer leaves a caption.
bool IsRotationOf(const std::string& text, const std::string& original);

}  // namespace mp3test
