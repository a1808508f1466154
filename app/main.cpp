// moonrake: the windowed program beside the chat client, or, with --console
// (or, on Linux, with no display), the same program driven by text against
// the simulated client.

#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "aol/ClientCheck.h"
#include "app/CommandLine.h"
#include "app/Run.h"
#include "app/SimulatedClient.h"
#include "platform/VirtualRuntime.h"

#ifdef _WIN32
#include "app/WindowsStdio.h"
#include "platform/win32/Win32WindowApi.h"
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

// Windows always has a screen, so there only --console chooses the console;
// on Linux no display chooses it too, and a build without Qt has nothing else.
bool WantsConsole(const app::CommandLine& commandLine) {
#if defined(_WIN32)
    return commandLine.console;
#elif defined(MOONRAKE_HAVE_QT)
    return commandLine.console || !HasDisplay();
#else
    (void)commandLine;
    return true;
#endif
}

#ifdef _WIN32
#if defined(MOONRAKE_HAVE_WIN32_UI) || defined(MOONRAKE_HAVE_QT)
constexpr bool kHasWindows = true;
#else
constexpr bool kHasWindows = false;
#endif
#endif

int RunWindowed([[maybe_unused]] const app::CommandLine& commandLine,
                [[maybe_unused]] char** argv) {
#if defined(MOONRAKE_HAVE_WIN32_UI)
    return app::RunWin32(commandLine);
#elif defined(MOONRAKE_HAVE_QT)
    return app::RunQt(commandLine, argv);
#else
    std::cerr << "moonrake: this build has no windows of its own; start it with --console\n";
    return 2;
#endif
}

int PrintCheck(platform::WindowApi& windows) {
    const aol::ClientCheck check = aol::CheckClient(windows);
    for (const auto& line : check.lines) std::cout << line << '\n';
    std::cout.flush();
    return check.ready ? 0 : 1;
}

// On Windows the running client; elsewhere the simulated one, signed on as
// the command line says, which is what the program drives there.
int RunCheck([[maybe_unused]] const app::CommandLine& commandLine) {
#ifdef _WIN32
    platform::Win32WindowApi windows;
    return PrintCheck(windows);
#else
    platform::VirtualRuntime runtime;
    app::SimulatedClient client(runtime, commandLine.screenName, commandLine.roomName);
    return PrintCheck(client.Windows());
#endif
}

}  // namespace

int main([[maybe_unused]] int argc, char** argv) {
#ifdef _WIN32
    // The arguments as typed, in UTF-8 like every string of the program
    // (argv holds them in the ANSI code page).
    std::vector<std::string> args = app::Utf8Arguments();
#else
    std::vector<std::string> args(argv + 1, argv + argc);
#endif
    app::CommandLine commandLine = app::ParseCommandLine(args);
    const bool windowed = commandLine.error.empty() && !commandLine.help && !commandLine.version &&
                          !commandLine.checkClient && !WantsConsole(commandLine);
#ifdef _WIN32
    // Everything but the windowed program talks through the standard streams
    // (so does a build without windows, to say that it has none).
    std::optional<app::StandardStreams> streams;
    if (!windowed || !kHasWindows) streams.emplace();
#endif
    if (!commandLine.error.empty()) {
        std::cerr << "moonrake: " << commandLine.error << "\n\n" << app::Usage();
        return 2;
    }
    if (commandLine.help) {
        std::cout << app::Usage();
        return 0;
    }
    if (commandLine.version) {
        std::cout << app::VersionLine();
        return 0;
    }
    try {
        if (commandLine.checkClient) return RunCheck(commandLine);
        if (windowed) return RunWindowed(commandLine, argv);
        return app::RunConsole(commandLine);
    } catch (const std::exception& e) {
        std::cerr << "moonrake: " << e.what() << '\n';
        return 1;
    }
}
