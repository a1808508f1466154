#pragma once
// The windowed program on Windows: the program's own windows drawn with
// user32 and gdi32, driving the real chat client through user32.

#include "app/CommandLine.h"

namespace ui {

// Runs until the main window is unloaded; the exit status.
int RunWin32Program(const app::CommandLine& commandLine);

}  // namespace ui
