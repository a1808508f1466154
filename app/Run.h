#pragma once
// The start-ups of the program, one for each way it runs. Each makes the
// runtime, the front end and the window system of its platform, builds the
// one Program on them and turns the event loop until the program ends; each
// returns the exit status.

#include "app/CommandLine.h"

namespace app {

// Driven by text against the simulated client, on a virtual clock
// (RunConsole.cpp; every build).
int RunConsole(const CommandLine& commandLine);

// The windows drawn with Qt Widgets: on Linux beside a window onto the
// simulated client, on Windows beside the real client (RunQt.cpp; builds
// with Qt). `argv` is main's.
int RunQt(const CommandLine& commandLine, char** argv);

// The windows drawn with user32 and gdi32, driving the real client through
// user32 (RunWin32.cpp; Windows builds).
int RunWin32(const CommandLine& commandLine);

}  // namespace app
