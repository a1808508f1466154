#include "ui/qt/QtApplication.h"

#include <QApplication>
#include <QGuiApplication>

#include "platform/Failure.h"
#include "ui/qt/ProgramIcon.h"

namespace ui {

namespace {

// Qt cannot carry an exception through its event loop: one that escapes an
// event handler is written to stderr here and the loop goes on.
class GuardedApplication final : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            platform::ReportCurrentException("event handler");
        }
        return false;
    }
};

}  // namespace

QtApplication::QtApplication(char** argv) {
    // The windows are small and one caption changes ten times a second. With
    // X's shared-memory images every repaint comes back as a completion
    // event that wakes Qt's event thread and then this one; sending the few
    // pixels over the socket costs less.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    application_ = std::make_unique<GuardedApplication>(argc_, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(ProgramIcon());
    // The desktop entry the package installs: a Wayland desktop matches the
    // windows to it (and to its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("moonrake"));
}

QtApplication::~QtApplication() = default;

int QtApplication::Exec() {
    return QApplication::exec();
}

}  // namespace ui
