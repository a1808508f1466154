// moonrake: the windowed program beside the chat client, or, with --console
// (or with no display), the same program driven by text against the
// simulated client.

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "ui/console/ConsoleFrontEnd.h"
#include "ui/console/ConsoleRuntime.h"

#ifdef MOONRAKE_HAVE_QT
#include "ui/qt/QtMain.h"
#endif

namespace {

#if defined(MOONRAKE_HAVE_QT) && !defined(_WIN32)
bool HasDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}
#endif

int RunConsole(const app::CommandLine& commandLine) {
    ui::ConsoleIo io(std::cin, std::cout);
    ui::ConsoleRuntime runtime(io);
    ui::ConsoleWindows windows;
    app::ProgramOptions options;
    options.screenName = commandLine.screenName;
    options.roomName = commandLine.roomName;
    if (commandLine.trace) {
        options.trace = [&io](const std::string& line) { io.Print("[trace] " + line); };
    }
    options.observer = ui::ConsoleObserver(io);
    app::Program program(runtime, windows, options);
    ui::ConsoleFrontEnd frontEnd(io, runtime, program, std::cerr);
    return frontEnd.Run();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    app::CommandLine commandLine = app::ParseCommandLine(args);
    if (!commandLine.error.empty()) {
        std::cerr << "moonrake: " << commandLine.error << "\n\n" << app::Usage();
        return 2;
    }
    if (commandLine.help) {
        std::cout << app::Usage();
        return 0;
    }
    try {
#ifdef MOONRAKE_HAVE_QT
#ifdef _WIN32
        const bool console = commandLine.console;
#else
        const bool console = commandLine.console || !HasDisplay();
#endif
        if (!console) return ui::RunWindowed(commandLine, argc, argv);
#endif
        return RunConsole(commandLine);
    } catch (const std::exception& e) {
        std::cerr << "moonrake: " << e.what() << '\n';
        return 1;
    }
}
