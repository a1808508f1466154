#include "ui/qt/KeepOnTop.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

namespace ui {

namespace {

// The offscreen and minimal platforms (tests, headless runs) have no
// stacking and print a warning on every raise(); the clock would ask a
// hundred times a second.
bool PlatformStacksWindows() {
    static const bool stacks = [] {
        const QString name = QGuiApplication::platformName();
        return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
    }();
    return stacks;
}

}  // namespace

void RaiseOwnedWindows(QWidget* owner) {
    if (!owner || !PlatformStacksWindows()) return;
    // The clock asks a hundred times a second and there is hardly ever a
    // dialog: the program's dialogs are modal, so look only when one is open.
    if (QApplication::activeModalWidget() == nullptr) return;
    for (QWidget* child : owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() && child->isVisible()) child->raise();
    }
}

void KeepOnTop(QWidget* window) {
    if (!window || !window->isVisible() || window->isMinimized()) return;
    if (!PlatformStacksWindows()) return;
    window->raise();
    RaiseOwnedWindows(window);
}

}  // namespace ui
