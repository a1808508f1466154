#pragma once
// The console session: the whole program driven by text, for scripts and
// tests. Each input line is handled to the end (everything it set off runs,
// except timers still waiting for their interval) before the next is read.
//
//   TEXT              the signed-on user types TEXT into the room and sends it
//   //TEXT            types "/TEXT"
//   /say NAME TEXT    another member says TEXT in the room
//   /wait SECONDS     virtual time passes while timers tick and events run
//   /click CONTROL    a mouse click on the named control of the program
//   /front CAPTION    the client brings its window with that caption to the front
//   /quit             the main window is closed as a user would close it
//
// The end of the input closes the main window too. Output, one event per
// line: "SENDER: TEXT" for every line that reaches the room, "[prompt] ...",
// "[msgbox] ...", "[keyword] ...", "[im NAME] ...", "[trace] ..." and, last,
// "[exit]".

#include <iosfwd>
#include <string>

#include "clientsim/SimChatClient.h"
#include "forms/Form1.h"
#include "platform/sim/SimWindowSystem.h"
#include "ui/console/ConsoleRuntime.h"

namespace ui {

// What the client does, printed as the console's events.
clientsim::ClientObserver ConsoleObserver(ConsoleIo& io);

class ConsoleSession {
  public:
    // A /wait longer than this is refused: the virtual clock would have to
    // tick Timer1 a hundred times for every second of it.
    static constexpr double kLongestWaitSeconds = 24 * 3600.0;

    // The input types into `client`, whose window system `windows` is, and
    // clicks on `mainWindow`; every one of them must outlive the session.
    ConsoleSession(ConsoleIo& io, ConsoleRuntime& runtime, forms::Form1& mainWindow,
                   clientsim::SimChatClient& client, platform::sim::SimWindowSystem& windows,
                   std::ostream& errors);

    // Loads the main window, works through the input and ends the program.
    // The exit status: 0 when the program ended normally.
    int Run();

  private:
    void HandleLine(const std::string& line);
    void HandleCommand(const std::string& line);
    void Wait(const std::string& argument, const std::string& line);
    void Click(const std::string& name);
    // Finishes everything that is due now, also what falls due while it runs.
    void Settle();
    // Closes the main window as a user would; its unload step ends the program.
    void CloseMainWindow();
    void Error(const std::string& message);

    ConsoleIo& io_;
    ConsoleRuntime& runtime_;
    forms::Form1& mainWindow_;
    clientsim::SimChatClient& client_;
    platform::sim::SimWindowSystem& windows_;
    std::ostream& errors_;
};

}  // namespace ui
