#pragma once
// Puts a window back above all others (its stay-on-top hint keeps it above
// ordinary windows; this also lifts it above other topmost windows).

class QWidget;

namespace ui {

void KeepOnTop(QWidget* window);

}  // namespace ui
