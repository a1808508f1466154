#include "ui/qt/ProgramIcon.h"

// Resources in a static library are there only once asked for by name (and
// the name is declared where it is asked for: in no namespace at all).
static void LoadIconResource() {
    Q_INIT_RESOURCE(program_icon);
}

namespace ui {

QIcon ProgramIcon() {
    LoadIconResource();
    QIcon icon;
    // Each size is drawn for itself; Qt picks the nearest.
    for (const char* size : {"16", "32", "48"}) {
        icon.addFile(QStringLiteral(":/moonrake/moonrake-%1.png").arg(QLatin1String(size)));
    }
    return icon;
}

}  // namespace ui
