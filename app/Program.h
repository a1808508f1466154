#pragma once
// The whole program on one runtime and one front end: the simulated chat
// client signed on in its room, the media player and the main window. The
// windowed program and the console both build it; only the runtime, the
// front end and what watches the client differ.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Host.h"
#include "forms/Form1.h"
#include "forms/FrontEnd.h"
#include "platform/Random.h"
#include "platform/Runtime.h"
#include "platform/Services.h"
#include "platform/sim/SimChatClient.h"
#include "platform/sim/SimWindowSystem.h"

namespace app {

struct ProgramOptions {
    std::string screenName = "Moonraker";
    std::string roomName = "Town Square";
    // Receives Form1's trace lines; nothing is traced when empty.
    std::function<void(const std::string&)> trace;
    // Learns what the client does.
    platform::sim::ClientObserver observer;
};

// The people in the room besides the user.
std::vector<std::string> RoomMembers(const std::string& screenName);

// The media player of this build: DirectShow on Windows, GStreamer where it
// is built, else one that accepts every call and plays nothing.
std::unique_ptr<engine::MediaPlayer> MakeMediaPlayer(platform::Runtime& runtime);

class Program {
  public:
    Program(platform::Runtime& runtime, forms::FrontEnd& frontEnd, ProgramOptions options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The main window's start-up step (the handle prompt comes first).
    void Load();

    platform::Runtime& Runtime() { return runtime_; }
    platform::sim::SimWindowSystem& Windows() { return windows_; }
    platform::sim::SimChatClient& Client() { return client_; }
    forms::Form1& MainWindow() { return *form1_; }

  private:
    platform::Runtime& runtime_;
    platform::sim::SimWindowSystem windows_;
    platform::sim::SimChatClient client_;
    platform::Random random_;
    platform::Services services_;
    std::unique_ptr<engine::MediaPlayer> player_;
    // Last, so it goes first: its scanners and timers use everything above.
    std::unique_ptr<forms::Form1> form1_;
};

}  // namespace app
