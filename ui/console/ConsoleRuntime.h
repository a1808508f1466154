#pragma once
// The runtime of the console front end: a virtual clock, so that scripts run
// at once and the same script gives the same output every time, and dialogs
// on the console: a prompt prints "[prompt] TEXT" and takes the next input
// line as its answer, a message box prints "[msgbox] TEXT" and is
// acknowledged at once.

#include <iosfwd>
#include <optional>
#include <string>

#include "platform/Runtime.h"
#include "platform/TestRuntime.h"

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

class ConsoleRuntime final : public platform::Runtime {
  public:
    explicit ConsoleRuntime(ConsoleIo& io);

    platform::Millis Monotonic() override { return clock_.Monotonic(); }
    std::tm LocalTime() override { return clock_.LocalTime(); }
    double SecondsSinceMidnight() override { return clock_.SecondsSinceMidnight(); }

    void Post(platform::Task task) override { clock_.Post(std::move(task)); }
    void PostDelayed(platform::Millis delay, platform::Task task) override {
        clock_.PostDelayed(delay, std::move(task));
    }
    platform::TimerId StartTimer(platform::Millis interval, platform::Task tick) override {
        return clock_.StartTimer(interval, std::move(tick));
    }
    void StopTimer(platform::TimerId id) override { clock_.StopTimer(id); }
    void DoEvents() override;
    void WaitForEvents(platform::Millis maxWait) override;
    void RequestQuit() override { clock_.RequestQuit(); }
    bool QuitRequested() const override { return clock_.QuitRequested(); }

    void Reseed() override { clock_.Reseed(); }
    double Random() override { return clock_.Random(); }

    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void MessageBox(const std::string& text, const std::string& title) override;
    std::optional<std::vector<std::string>> ListFolder(const std::string& folder,
                                                       const std::string& pattern) override {
        return clock_.ListFolder(folder, pattern);
    }

    // Lets `duration` of virtual time pass while timers tick and events run.
    void Advance(platform::Millis duration);

  private:
    ConsoleIo& io_;
    platform::TestRuntime clock_;
};

}  // namespace ui
