#pragma once
// The program's command line.

#include <string>
#include <vector>

namespace app {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool console = false;
    bool trace = false;
    // Look at the chat client, say what the program finds and end.
    bool checkClient = false;
    std::string screenName = "Moonraker";
    std::string roomName = "Town Square";
    // Set when the command line cannot be used; says why.
    std::string error;
};

// `args` without the program's name. Takes "--screen-name NAME" and
// "--screen-name=NAME" alike; names must not be empty.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string Usage();

// What --version prints: the product's name and version, one line, the same
// on every platform.
std::string VersionLine();

}  // namespace app
