#pragma once
// Where the window onto the simulated client goes: beside the main window,
// to its left when there is room (the mp3 panel widens the main window to
// the right), else to its right, narrowed if it must be; below it when
// neither side has room enough.

class QWidget;

namespace ui {

// `widestMainWidth`: the main window's client width at its widest, in pixels.
void PlaceBeside(QWidget& window, const QWidget& mainWindow, int widestMainWidth);

}  // namespace ui
