#pragma once
// A look at the running chat client for when nothing happens: one line for
// each window the program relies on (found or not, and what it holds), then
// a verdict. It only reads: nothing it sends changes the client.

#include <string>
#include <vector>

#include "platform/WindowApi.h"

namespace aol {

struct ClientCheck {
    // Each line starts with "ok", "--" (missing) or "!!" (there, but not as
    // the commands need it); the last line is the verdict.
    std::vector<std::string> lines;
    // Everything the commands need is there.
    bool ready = false;
};

ClientCheck CheckClient(platform::WindowApi& windows);

}  // namespace aol
