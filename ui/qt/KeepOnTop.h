#pragma once
// Puts a window back above all others (its stay-on-top hint keeps it above
// ordinary windows; this also lifts it above other topmost windows). On X it
// raises only when another client's window really covers it or one of its
// dialogs: a raise that changes nothing would still restack, and under a
// window manager ask the manager to.
//
// A window's own dialogs (the prompts and message boxes it opens, which are
// its children) stay above it, as owned windows do on Windows: raising the
// owner raises them after it, so keeping the main window on top never hides
// the box the user must answer.

class QWidget;

namespace ui {

// Returns true when it raised the window.
bool KeepOnTop(QWidget* window);

// False on the offscreen and minimal platforms (tests, headless runs), which
// have no stacking and warn on every raise().
bool PlatformStacksWindows();

// Raises the visible dialogs that `owner` owns above everything else.
void RaiseOwnedWindows(QWidget* owner);

}  // namespace ui
