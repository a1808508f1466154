#include "app/SimulatedClient.h"

#include <algorithm>
#include <utility>

namespace app {
namespace {

clientsim::ClientOptions ClientOptionsFor(const std::string& screenName,
                                          const std::string& roomName) {
    clientsim::ClientOptions options;
    options.screenName = screenName;
    options.roomName = roomName;
    options.members = RoomMembers(screenName);
    return options;
}

}  // namespace

std::vector<std::string> RoomMembers(const std::string& screenName) {
    std::vector<std::string> members{screenName};
    for (const char* other : {"KarenK", "slickrick", "mistyblue"}) {
        if (std::find(members.begin(), members.end(), other) == members.end()) {
            members.emplace_back(other);
        }
    }
    return members;
}

SimulatedClient::SimulatedClient(platform::Runtime& runtime, const std::string& screenName,
                                 const std::string& roomName, clientsim::ClientObserver observer)
    : windows_(runtime), client_(windows_, runtime, ClientOptionsFor(screenName, roomName)) {
    client_.SignOn();
    client_.SetObserver(std::move(observer));
}

}  // namespace app
