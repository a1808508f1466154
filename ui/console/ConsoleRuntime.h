#pragma once
// The runtime of the console front end: the virtual clock (VirtualRuntime), so
// that scripts run at once and the same script gives the same output every
// time, with dialogs on the console: a prompt prints "[prompt] TEXT" and
// takes the next input line as its answer, a message box prints
// "[msgbox] TEXT" and is acknowledged at once.

#include <iosfwd>
#include <optional>
#include <string>

#include "platform/VirtualRuntime.h"

namespace ui {

// The console's two streams. Input lines are taken exactly as typed, only
// their line break (LF or CR LF) removed; output is one event per line,
// flushed at once so that a script driving the program sees it in time.
class ConsoleIo {
  public:
    ConsoleIo(std::istream& in, std::ostream& out);

    // The next input line; nothing at the end of the input.
    std::optional<std::string> ReadLine();
    bool InputEnded() const { return inputEnded_; }

    void Print(const std::string& line);
    // Nothing is printed after this (the program has said "[exit]").
    void Close() { closed_ = true; }

  private:
    std::istream& in_;
    std::ostream& out_;
    bool inputEnded_ = false;
    bool closed_ = false;
};

class ConsoleRuntime final : public platform::VirtualRuntime {
  public:
    explicit ConsoleRuntime(ConsoleIo& io) : io_(io) {}

    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void MessageBox(const std::string& text, const std::string& title) override;

  private:
    ConsoleIo& io_;
};

}  // namespace ui
