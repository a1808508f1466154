#pragma once
// The chat client the program drives where there is no real one (Linux, and
// the console everywhere): a window system of its own in this process, and
// the simulated client on it, signed on in its room with the user and three
// others.

#include <string>
#include <vector>

#include "clientsim/SimChatClient.h"
#include "platform/Runtime.h"
#include "platform/sim/SimWindowSystem.h"

namespace app {

// The people in the room: the user first, then the others.
std::vector<std::string> RoomMembers(const std::string& screenName);

class SimulatedClient {
  public:
    // Signed on as `screenName` in `roomName`; `observer` learns what the
    // client does from then on (not the sign-on itself).
    SimulatedClient(platform::Runtime& runtime, const std::string& screenName,
                    const std::string& roomName, clientsim::ClientObserver observer = {});
    SimulatedClient(const SimulatedClient&) = delete;
    SimulatedClient& operator=(const SimulatedClient&) = delete;

    platform::sim::SimWindowSystem& Windows() { return windows_; }
    clientsim::SimChatClient& Client() { return client_; }

  private:
    platform::sim::SimWindowSystem windows_;
    clientsim::SimChatClient client_;
};

}  // namespace app
