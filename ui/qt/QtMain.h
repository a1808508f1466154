#pragma once
// The windowed program on Qt: the main window and the mini screen drawn with
// Qt Widgets, beside a window onto the simulated chat client (on Windows,
// beside the real client, driven through user32).

#include "app/CommandLine.h"

namespace ui {

// Runs the program until it ends; the exit status.
int RunWindowed(const app::CommandLine& commandLine, int argc, char** argv);

}  // namespace ui
