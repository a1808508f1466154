#include "ui/app/ConsoleFrontEnd.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ostream>

#include "ui/app/Program.h"
#include "ui/forms/Form1.h"

namespace ui {
namespace {

std::string TrimBlanks(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// Splits "/word rest" at its first blank: the word and what follows the blank.
std::pair<std::string, std::string> SplitCommand(const std::string& line) {
    std::size_t blank = line.find(' ');
    if (blank == std::string::npos) return {line, ""};
    return {line.substr(0, blank), line.substr(blank + 1)};
}

}  // namespace

platform::sim::ClientObserver ConsoleObserver(ConsoleIo& io) {
    platform::sim::ClientObserver observer;
    observer.onRoomLine = [&io](const platform::sim::RoomLine& line) {
        io.Print(line.sender + ": " + line.text);
    };
    observer.onAddress = [&io](const std::string& address) {
        io.Print("[keyword] " + TrimBlanks(address));
    };
    observer.onInstantMessage = [&io](const platform::sim::InstantMessage& im) {
        io.Print("[im " + im.to + "] " + im.text);
    };
    return observer;
}

ConsoleFrontEnd::ConsoleFrontEnd(ConsoleIo& io, ConsoleRuntime& runtime, Program& program,
                                 std::ostream& errors)
    : io_(io), runtime_(runtime), program_(program), errors_(errors) {}

int ConsoleFrontEnd::Run() {
    program_.Load();
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
    program_.Windows().Drain();
    io_.Print("[exit]");
    io_.Close();
    return 0;
}

void ConsoleFrontEnd::HandleLine(const std::string& line) {
    if (line.empty() || line[0] != '/') {
        program_.Client().Type(line);
    } else if (line.size() > 1 && line[1] == '/') {
        program_.Client().Type(line.substr(1));
    } else {
        HandleCommand(line);
    }
}

void ConsoleFrontEnd::HandleCommand(const std::string& line) {
    auto [word, argument] = SplitCommand(line);
    if (word == "/quit") {
        CloseMainWindow();
    } else if (word == "/wait") {
        Wait(argument, line);
    } else if (word == "/click") {
        Click(argument);
    } else if (word == "/front") {
        if (!program_.Client().BringToFront(argument)) {
            Error("no client window with the caption: " + argument);
        }
    } else if (word == "/say") {
        auto [name, text] = SplitCommand(argument);
        if (name.empty()) {
            Error("usage: /say NAME TEXT");
        } else {
            program_.Client().Say(name, text);
        }
    } else {
        Error("unknown command: " + line);
    }
}

void ConsoleFrontEnd::Wait(const std::string& argument, const std::string& line) {
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

void ConsoleFrontEnd::Click(const std::string& name) {
    QWidget* control = program_.MainWindow().Control(QString::fromStdString(name));
    if (control == nullptr) {
        Error("no control named: " + name);
        return;
    }
    // A real press and release in the middle of the control, as the mouse
    // would deliver them.
    QPointF local(control->width() / 2.0, control->height() / 2.0);
    QPointF global = control->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(control, &release);
}

void ConsoleFrontEnd::Settle() {
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

void ConsoleFrontEnd::CloseMainWindow() {
    program_.MainWindow().close();
    // The unload step ends the program; should it not, closing still must.
    if (!runtime_.QuitRequested()) runtime_.RequestQuit();
}

void ConsoleFrontEnd::Error(const std::string& message) {
    errors_ << "[error] " << message << '\n';
    errors_.flush();
}

}  // namespace ui
