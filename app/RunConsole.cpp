#include <iostream>
#include <string>

#include "app/Program.h"
#include "app/Run.h"
#include "app/SimulatedClient.h"
#include "ui/console/ConsoleFrontEnd.h"
#include "ui/console/ConsoleRuntime.h"
#include "ui/console/ConsoleSession.h"

namespace app {

int RunConsole(const CommandLine& commandLine) {
    ui::ConsoleIo io(std::cin, std::cout);
    ui::ConsoleRuntime runtime(io);
    ui::ConsoleFrontEnd frontEnd;
    SimulatedClient client(runtime, commandLine.screenName, commandLine.roomName,
                           ui::ConsoleObserver(io));
    Program program(runtime, client.Windows(), frontEnd,
                    OptionsFor(commandLine, [&io](const std::string& line) { io.Print(line); }));
    ui::ConsoleSession session(io, runtime, program.MainWindow(), client.Client(), client.Windows(),
                               std::cerr);
    return session.Run();
}

}  // namespace app
