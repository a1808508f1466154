#pragma once
// The whole program on one runtime: the simulated chat client signed on in
// its room, the media player, the main window and the window onto the
// client. The windowed program and the console front end both build it; only
// the runtime and what watches the client differ.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Host.h"
#include "platform/Runtime.h"
#include "platform/Services.h"
#include "platform/sim/SimChatClient.h"
#include "platform/sim/SimWindowSystem.h"

namespace ui {

class ClientWindow;
class Form1;

struct ProgramOptions {
    std::string screenName = "Moonraker";
    std::string roomName = "Town Square";
    // Receives Form1's trace lines; nothing is traced when empty.
    std::function<void(const std::string&)> trace;
    // Learns what the client does, after the client window has shown it.
    platform::sim::ClientObserver observer;
};

// The people in the room besides the user.
std::vector<std::string> RoomMembers(const std::string& screenName);

class Program {
  public:
    Program(platform::Runtime& runtime, ProgramOptions options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The main window's start-up step (the handle prompt comes first).
    void Load();

    platform::Runtime& Runtime() { return runtime_; }
    platform::sim::SimWindowSystem& Windows() { return windows_; }
    platform::sim::SimChatClient& Client() { return client_; }
    Form1& MainWindow() { return *form1_; }
    ClientWindow& ClientView() { return *clientWindow_; }

  private:
    platform::Runtime& runtime_;
    platform::sim::SimWindowSystem windows_;
    platform::sim::SimChatClient client_;
    platform::Services services_;
    std::unique_ptr<engine::MediaPlayer> player_;
    std::unique_ptr<ClientWindow> clientWindow_;
    // Last, so it goes first: its scanners and timers use everything above.
    std::unique_ptr<Form1> form1_;
};

}  // namespace ui
