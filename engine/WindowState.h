#pragma once
// The states a window of the program can be shown in. The engine's commands
// set Form1's through the Host; the forms keep it and the front ends show it.

namespace engine {

enum class WindowState { Normal, Minimized, Maximized };

}  // namespace engine
