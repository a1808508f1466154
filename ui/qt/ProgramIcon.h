#pragma once
// The program's icon (packaging/icon, built into the executable), for the
// title bars, task bars and window lists that show one.

#include <QIcon>

namespace ui {

QIcon ProgramIcon();

}  // namespace ui
