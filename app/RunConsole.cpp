#include <iostream>
#include <string>

#include "app/Program.h"
#include "app/Run.h"
#include "app/SimulatedClient.h"
#include "ui/console/ConsoleFrontEnd.h"
#include "ui/console/ConsoleRuntime.h"

namespace app {

int RunConsole(const CommandLine& commandLine) {
    ui::ConsoleIo io(std::cin, std::cout);
    ui::ConsoleRuntime runtime(io);
    ui::ConsoleWindows windows;
    SimulatedClient client(runtime, commandLine.screenName, commandLine.roomName,
                           ui::ConsoleObserver(io));
    Program program(runtime, client.Windows(), windows,
                    OptionsFor(commandLine, [&io](const std::string& line) { io.Print(line); }));
    ui::ConsoleFrontEnd frontEnd(io, runtime, program.MainWindow(), client.Client(),
                                 client.Windows(), std::cerr);
    return frontEnd.Run();
}

}  // namespace app
