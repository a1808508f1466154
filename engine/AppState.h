#pragma once
// The settings and state of one run. All text, starting from fixed values,
// never saved. Every reader reads the field at the moment it needs it, so a
// reply built after a change already shows the change.

#include <string>

namespace engine {

struct AppState {
    std::string trigger = "";
    std::string handle = "zerin";
    std::string asciiColor = "000000";
    std::string fontColor = "AAAAAA";
    std::string fontFace = "tahoma";
    std::string leftAscii = "\u00BB\u00B8 ";  // "»¸ "
    std::string middleAscii = "\u203A";       // "›"
    std::string roomName = "room";
    std::string idleReason = "rsn idle";
    std::string idleMinutes = "1";
    std::string idleState = "off";
    std::string ruzeSwitch = "";
};

}  // namespace engine
