#pragma once
// Makes a QListWidget look like the platform list boxes the windows were laid
// out with: tabs expand to a stop every eight average characters (32 dialog
// units), and there is no horizontal scroll bar; a line wider than the box is
// cut at its edge.

class QListWidget;

namespace ui {

// Call after the list's font is set. The items keep their exact texts; only
// the drawing expands the tabs.
void UseListBoxLook(QListWidget* list);

}  // namespace ui
