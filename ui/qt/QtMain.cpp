#include "ui/qt/QtMain.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>

#include "app/Program.h"
#include "engine/Host.h"
#include "ui/qt/ClientWindow.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/QtFrontEnd.h"
#include "ui/qt/QtRuntime.h"

#ifdef _WIN32
#include "platform/win32/WideFolder.h"
#include "platform/win32/Win32WindowApi.h"
#endif

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
        } catch (const std::exception& e) {
            std::cerr << "moonrake: event handler failed: " << e.what() << '\n';
        } catch (...) {
            std::cerr << "moonrake: event handler failed\n";
        }
        return false;
    }
};

// The client window goes beside the main window, to its left when there is
// room (the mp3 panel widens the main window to the right), else to its right,
// narrowed if it must be; below it when neither side has room enough.
void PlaceBeside(QWidget& window, const QWidget& mainWindow) {
    constexpr int kGap = 16;
    constexpr int kNarrowest = 460;
    QRect main = mainWindow.frameGeometry();
    QScreen* screen = mainWindow.screen() ? mainWindow.screen() : QGuiApplication::primaryScreen();
    QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    QSize size = window.frameGeometry().size();
    QSize frame = size - window.size();
    int wideRight = main.left() + engine::kWideWidth / 15 + (main.width() - mainWindow.width());

    int roomLeft = main.left() - kGap - area.left();
    int roomRight = area.right() - std::max(main.right(), wideRight) - kGap;
    int top = std::clamp(main.center().y() - size.height() / 2, area.top(),
                         std::max(area.top(), area.bottom() - size.height()));
    bool left = roomLeft >= std::min(size.width(), kNarrowest) || roomLeft >= roomRight;
    int room = left ? roomLeft : roomRight;
    if (room >= kNarrowest) {
        int width = std::min(size.width(), room);
        window.resize(width - frame.width(), window.height());
        window.move(left ? main.left() - kGap - width : area.right() - room + 1, top);
        return;
    }
    int below = std::min(main.bottom() + kGap, std::max(area.top(), area.bottom() - size.height()));
    window.move(std::max(area.left(), main.center().x() - size.width() / 2), below);
}

void PrintTrace(const std::string& line) {
    std::cout << "[trace] " << line << '\n' << std::flush;
}

int RunBesideSimulatedClient(const app::CommandLine& commandLine) {
    QtRuntime runtime;
    QtFrontEnd frontEnd({{}, &runtime});
    app::ProgramOptions options;
    options.screenName = commandLine.screenName;
    options.roomName = commandLine.roomName;
    if (commandLine.trace) options.trace = PrintTrace;
    app::Program program(runtime, frontEnd, options);
    ClientWindow client(program.Client());
    // Closing the client's window ends the session: the main window has no
    // close button of its own.
    client.SetOnClose([&program] { program.MainWindow().Close(); });

    program.Load();
    if (runtime.QuitRequested()) return 0;
    client.show();
    if (QWidget* main = frontEnd.Window(program.MainWindow())) PlaceBeside(client, *main);
    return QApplication::exec();
}

#ifdef _WIN32
// On Windows the program drives the real chat client through user32: no
// simulated client and no window onto it, only the program's own windows.
int RunOnClient(const app::CommandLine& commandLine) {
    QtRuntime runtime;
    QtFrontEnd frontEnd({{}, &runtime});
    platform::Win32WindowApi windows;
    platform::Random random(runtime);
    platform::Services services{windows, runtime, random, &platform::ListMatchingFilesWide};
    std::unique_ptr<engine::MediaPlayer> player = app::MakeMediaPlayer(runtime);
    forms::Form1Options options;
    if (commandLine.trace) options.trace = PrintTrace;
    forms::Form1 form1(services, *player, frontEnd, options);
    form1.Load();
    if (runtime.QuitRequested()) return 0;
    return QApplication::exec();
}
#endif

}  // namespace

int RunWindowed(const app::CommandLine& commandLine, int argc, char** argv) {
    (void)argc;
    // The windows are small and one caption changes ten times a second. With
    // X's shared-memory images every repaint comes back as a completion
    // event that wakes Qt's event thread and then this one; sending the few
    // pixels over the socket costs less.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    // Qt reads only its own options; ours have been checked already.
    int qtArgc = 1;
    GuardedApplication application(qtArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(ProgramIcon());
    // The desktop entry the package installs: a Wayland desktop matches the
    // windows to it (and to its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("moonrake"));
#ifdef _WIN32
    return RunOnClient(commandLine);
#else
    return RunBesideSimulatedClient(commandLine);
#endif
}

}  // namespace ui
