#pragma once
// The runtime on the standard library alone: a real clock, sleeping until the
// next due event instead of spinning, dialogs on the terminal. The windowed
// program uses the Qt runtime; this one serves tools and benchmarks that have
// no Qt.

#include <iosfwd>

#include "platform/EventQueue.h"
#include "platform/Runtime.h"

namespace platform {

class StdRuntime final : public Runtime {
  public:
    StdRuntime();
    StdRuntime(std::istream& in, std::ostream& out);

    Millis Monotonic() override;
    std::tm LocalTime() override;
    double SecondsSinceMidnight() override;

    void Post(Task task) override { queue_.Post(std::move(task)); }
    void PostDelayed(Millis delay, Task task) override;
    TimerId StartTimer(Millis interval, Task tick) override;
    void StopTimer(TimerId id) override { queue_.StopTimer(id); }
    void DoEvents() override;
    void WaitForEvents(Millis maxWait) override;
    void RequestQuit() override { quit_ = true; }
    bool QuitRequested() const override { return quit_; }

    void Reseed() override;
    double Random() override;

    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void MessageBox(const std::string& text, const std::string& title) override;
    std::optional<std::vector<std::string>> ListFolder(const std::string& folder,
                                                       const std::string& pattern) override;

  private:
    EventQueue queue_;
    std::istream& in_;
    std::ostream& out_;
    bool quit_ = false;
    std::uint64_t seed_ = 1;
};

}  // namespace platform
