#include "ui/qt/KeepOnTop.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include "ui/qt/X11Stacking.h"

namespace ui {

bool PlatformStacksWindows() {
    static const bool stacks = [] {
        const QString name = QGuiApplication::platformName();
        return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
    }();
    return stacks;
}

void RaiseOwnedWindows(QWidget* owner) {
    if (!owner || !PlatformStacksWindows()) return;
    // This may be asked on every tick of the clock and there is hardly ever
    // a dialog: the program's dialogs are modal, so look only when one is
    // open.
    if (QApplication::activeModalWidget() == nullptr) return;
    for (QWidget* child : owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() && child->isVisible()) child->raise();
    }
}

bool KeepOnTop(QWidget* window) {
    if (!window || !window->isVisible() || window->isMinimized()) return false;
    if (!PlatformStacksWindows()) return false;
    const bool x11 = OnX11();
    if (x11 && !CoveredByOthers(WindowFamily(window))) return false;
    window->raise();
    RaiseOwnedWindows(window);
    // Qt would send the raise only with its next request that waits for an
    // answer, or when the server's next event comes in.
    if (x11) SendRequests();
    return true;
}

}  // namespace ui
