#include "ui/console/ConsoleSession.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ostream>

#include "platform/Text.h"

namespace ui {
namespace {

// Splits "/word rest" at its first blank: the word and what follows the blank.
std::pair<std::string, std::string> SplitCommand(const std::string& line) {
    std::size_t blank = line.find(' ');
    if (blank == std::string::npos) return {line, ""};
    return {line.substr(0, blank), line.substr(blank + 1)};
}

}  // namespace

clientsim::ClientObserver ConsoleObserver(ConsoleIo& io) {
    clientsim::ClientObserver observer;
    observer.onRoomLine = [&io](const clientsim::RoomLine& line) {
        io.Print(line.sender + ": " + line.text);
    };
    observer.onAddress = [&io](const std::string& address) {
        io.Print("[keyword] " + platform::TrimBlanks(address));
    };
    observer.onInstantMessage = [&io](const clientsim::InstantMessage& im) {
        io.Print("[im " + im.to + "] " + im.text);
    };
    return observer;
}

ConsoleSession::ConsoleSession(ConsoleIo& io, ConsoleRuntime& runtime, forms::Form1& mainWindow,
                               clientsim::SimChatClient& client,
                               platform::sim::SimWindowSystem& windows, std::ostream& errors)
    : io_(io),
      runtime_(runtime),
      mainWindow_(mainWindow),
      client_(client),
      windows_(windows),
      errors_(errors) {}

int ConsoleSession::Run() {
    mainWindow_.Load();
    Settle();
    while (!runtime_.QuitRequested()) {
        std::optional<std::string> line = io_.ReadLine();
        if (!line) {
            CloseMainWindow();
            break;
        }
        HandleLine(*line);
        Settle();
    }
    // The client is a program of its own: what the unload step sent it (the
    // logout line) still reaches the room after this program has stopped
    // handling events.
    windows_.Drain();
    io_.Print("[exit]");
    io_.Close();
    return 0;
}

void ConsoleSession::HandleLine(const std::string& line) {
    if (line.empty() || line[0] != '/') {
        client_.Type(line);
    } else if (line.size() > 1 && line[1] == '/') {
        client_.Type(line.substr(1));
    } else {
        HandleCommand(line);
    }
}

void ConsoleSession::HandleCommand(const std::string& line) {
    auto [word, argument] = SplitCommand(line);
    if (word == "/quit") {
        CloseMainWindow();
    } else if (word == "/wait") {
        Wait(argument, line);
    } else if (word == "/click") {
        Click(argument);
    } else if (word == "/front") {
        if (!client_.BringToFront(argument)) {
            Error("no client window with the caption: " + argument);
        }
    } else if (word == "/say") {
        auto [name, text] = SplitCommand(argument);
        if (name.empty()) {
            Error("usage: /say NAME TEXT");
        } else {
            client_.Say(name, text);
        }
    } else {
        Error("unknown command: " + line);
    }
}

void ConsoleSession::Wait(const std::string& argument, const std::string& line) {
    const char* start = argument.c_str();
    char* end = nullptr;
    errno = 0;
    double seconds = std::strtod(start, &end);
    bool whole = end != start && *end == '\0' && errno == 0 &&
                 argument.find_first_of("xXpP") == std::string::npos;
    if (!whole || !std::isfinite(seconds) || seconds < 0) {
        Error("not a number of seconds: " + line);
        return;
    }
    if (seconds > kLongestWaitSeconds) {
        Error("a wait may last one day at most: " + line);
        return;
    }
    auto millis = static_cast<std::int64_t>(std::llround(seconds * 1000.0));
    runtime_.Advance(platform::Millis{millis});
}

void ConsoleSession::Click(const std::string& name) {
    forms::Form1& form = mainWindow_;
    // A press and release of the left button in the middle of the control,
    // as the mouse would deliver them; on the window itself they do nothing.
    if (name == form.Name()) return;
    if (!form.Click(name)) Error("no control named: " + name);
}

void ConsoleSession::Settle() {
    // A turn of the loop runs what was due when it began. A handler that
    // waits inside it (an instant message, the idle notice's pause) moves the
    // clock on, and what fell due meanwhile belongs to this line too: turn
    // again until a turn passes without the clock moving.
    constexpr int kMostTurns = 10'000;
    for (int turn = 0; turn < kMostTurns && !runtime_.QuitRequested(); ++turn) {
        platform::Millis before = runtime_.Monotonic();
        runtime_.DoEvents();
        if (runtime_.Monotonic() == before) break;
    }
}

void ConsoleSession::CloseMainWindow() {
    mainWindow_.Close();
    // The unload step ends the program; should it not, closing still must.
    if (!runtime_.QuitRequested()) runtime_.RequestQuit();
}

void ConsoleSession::Error(const std::string& message) {
    errors_ << "[error] " << message << '\n';
    errors_.flush();
}

}  // namespace ui
