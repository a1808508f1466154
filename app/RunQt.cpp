#include <utility>

#include "app/Program.h"
#include "app/Run.h"
#include "ui/qt/QtApplication.h"
#include "ui/qt/QtFrontEnd.h"
#include "ui/qt/QtRuntime.h"

#ifdef _WIN32
#include "platform/win32/WideFolder.h"
#include "platform/win32/Win32WindowApi.h"
#else
#include "app/SimulatedClient.h"
#include "engine/Host.h"
#include "forms/Control.h"
#include "ui/qt/ClientWindow.h"
#include "ui/qt/PlaceBeside.h"
#endif

namespace app {

namespace {

#ifdef _WIN32
// On Windows the program drives the real chat client through user32: no
// simulated client and no window onto it, only the program's own windows.
int RunOnClient(const CommandLine& commandLine, ui::QtApplication& application) {
    ui::QtRuntime runtime;
    ui::QtFrontEnd frontEnd({{}, &runtime});
    platform::Win32WindowApi windows;
    ProgramOptions options = OptionsFor(commandLine, PrintToStandardOutput);
    options.listFolder = &platform::ListMatchingFilesWide;
    Program program(runtime, windows, frontEnd, std::move(options));
    program.Load();
    if (runtime.QuitRequested()) return 0;
    return application.Exec();
}
#else
int RunBesideSimulatedClient(const CommandLine& commandLine, ui::QtApplication& application) {
    ui::QtRuntime runtime;
    ui::QtFrontEnd frontEnd({{}, &runtime});
    SimulatedClient simulated(runtime, commandLine.screenName, commandLine.roomName);
    Program program(runtime, simulated.Windows(), frontEnd,
                    OptionsFor(commandLine, PrintToStandardOutput));
    ui::ClientWindow client(simulated.Client());
    // Closing the client's window ends the session: the main window has no
    // close button of its own.
    client.SetOnClose([&program] { program.MainWindow().Close(); });

    program.Load();
    if (runtime.QuitRequested()) return 0;
    client.show();
    if (QWidget* main = frontEnd.Window(program.MainWindow())) {
        ui::PlaceBeside(client, *main, forms::Pixels(engine::kWideWidth));
    }
    return application.Exec();
}
#endif

}  // namespace

int RunQt(const CommandLine& commandLine, char** argv) {
    // Before anything of Qt's.
    ui::QtApplication application(argv);
#ifdef _WIN32
    return RunOnClient(commandLine, application);
#else
    return RunBesideSimulatedClient(commandLine, application);
#endif
}

}  // namespace app
