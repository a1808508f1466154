// moonrake: the windowed program beside the simulated chat client, or, with
// --console (or with no display), the same program driven by text.

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "engine/Host.h"
#include "ui/app/ClientWindow.h"
#include "ui/app/CommandLine.h"
#include "ui/app/ConsoleFrontEnd.h"
#include "ui/app/ConsoleRuntime.h"
#include "ui/app/Program.h"
#include "ui/app/QtRuntime.h"
#include "ui/forms/Form1.h"

#ifdef _WIN32
#include "platform/win32/Win32WindowApi.h"
#include "ui/media/GstMediaPlayer.h"
#endif

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

#ifndef _WIN32
bool HasDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}
#endif

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

int RunWindowed(const ui::CommandLine& commandLine) {
    ui::QtRuntime runtime;
    ui::ProgramOptions options;
    options.screenName = commandLine.screenName;
    options.roomName = commandLine.roomName;
    if (commandLine.trace) options.trace = PrintTrace;
    ui::Program program(runtime, options);
    runtime.SetDialogOwner(&program.MainWindow());

    ui::ClientWindow& client = program.ClientView();
    // Closing the client's window ends the session: the main window has no
    // close button of its own.
    client.SetOnClose([&program] { program.MainWindow().close(); });

    program.Load();
    if (runtime.QuitRequested()) return 0;
    client.show();
    PlaceBeside(client, program.MainWindow());
    return QApplication::exec();
}

#ifdef _WIN32
// On Windows the program drives the real chat client through user32: no
// simulated client and no window onto it, only the program's own windows.
int RunOnClient(const ui::CommandLine& commandLine) {
    ui::QtRuntime runtime;
    platform::Win32WindowApi windows;
    platform::Services services{windows, runtime};
    ui::GstMediaPlayer player(runtime);
    ui::Form1Options options;
    if (commandLine.trace) options.trace = PrintTrace;
    ui::Form1 form1(services, player, options);
    runtime.SetDialogOwner(&form1);
    form1.Load();
    if (runtime.QuitRequested()) return 0;
    return QApplication::exec();
}
#endif

int RunConsole(const ui::CommandLine& commandLine) {
    ui::ConsoleIo io(std::cin, std::cout);
    ui::ConsoleRuntime runtime(io);
    ui::ProgramOptions options;
    options.screenName = commandLine.screenName;
    options.roomName = commandLine.roomName;
    if (commandLine.trace)
        options.trace = [&io](const std::string& line) { io.Print("[trace] " + line); };
    options.observer = ui::ConsoleObserver(io);
    ui::Program program(runtime, options);
    ui::ConsoleFrontEnd frontEnd(io, runtime, program, std::cerr);
    return frontEnd.Run();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    ui::CommandLine commandLine = ui::ParseCommandLine(args);
    if (!commandLine.error.empty()) {
        std::cerr << "moonrake: " << commandLine.error << "\n\n" << ui::Usage();
        return 2;
    }
    if (commandLine.help) {
        std::cout << ui::Usage();
        return 0;
    }
#ifdef _WIN32
    bool console = commandLine.console;
    if (console) _putenv_s("QT_QPA_PLATFORM", "offscreen");
#else
    bool console = commandLine.console || !HasDisplay();
    if (console) {
        // The windows exist but are drawn nowhere.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
#endif
    try {
        // Qt reads only its own options; ours have been checked above.
        int qtArgc = 1;
        GuardedApplication app(qtArgc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
#ifdef _WIN32
        if (!console) return RunOnClient(commandLine);
#endif
        return console ? RunConsole(commandLine) : RunWindowed(commandLine);
    } catch (const std::exception& e) {
        std::cerr << "moonrake: " << e.what() << '\n';
        return 1;
    }
}
