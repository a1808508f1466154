#pragma once
// A deterministic runtime for tests: a virtual clock that moves only when the
// loop waits, so a one-minute timer or a ten-second bound costs microseconds
// and nothing ever sleeps. Dialogs are answered from a script.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/EventQueue.h"
#include "platform/Runtime.h"

namespace platform {

class TestRuntime final : public Runtime {
  public:
    // The virtual clock starts at `startOfDay` past local midnight, on a fixed
    // date (Wednesday 15 January 2003).
    explicit TestRuntime(Millis startOfDay = Millis{12 * 3600 * 1000});

    Millis Monotonic() override { return now_; }
    std::tm LocalTime() override;
    double SecondsSinceMidnight() override;

    void Post(Task task) override;
    void PostDelayed(Millis delay, Task task) override;
    TimerId StartTimer(Millis interval, Task tick) override;
    void StopTimer(TimerId id) override;
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

    // --- for tests ---
    // Lets `duration` of virtual time pass, handling every event on the way.
    void Advance(Millis duration);
    // Handles everything runnable now, including what that work posts.
    void RunUntilIdle() { DoEvents(); }
    // Moves the clock without handling anything (to place a test at a fraction
    // of a second, or just before midnight).
    void SetClock(Millis sinceStart) { now_ = sinceStart; }
    Millis Clock() const { return now_; }
    // Sets the wall clock (local time, seconds since midnight) forward or
    // back without time passing, as summer time or a correction does.
    void ShiftWallClock(Millis by) { dayStart_ -= by; }
    bool TimerRunning(TimerId id) const { return queue_.TimerRunning(id); }
    std::size_t PendingCount() const { return queue_.PendingCount(); }

    // Dialog script: answers given in order ("" when the script runs out), and
    // what was shown.
    std::deque<std::string> promptAnswers;
    std::vector<std::string> prompts;       // "title|text"
    std::vector<std::string> messageBoxes;  // "title|text"
    // Runs while a message box is open, before it is acknowledged: lets a test
    // deliver events inside the box's modal loop.
    std::function<void(const std::string& text)> insideMessageBox;
    std::function<void(const std::string& text)> insidePrompt;
    // Every random draw after a reseed comes from this sequence when set.
    std::vector<double> scriptedRandom;
    int reseedCount = 0;

  private:
    EventQueue queue_;
    Millis now_;
    Millis dayStart_;  // monotonic time of the virtual day's midnight
    bool quit_ = false;
    std::uint64_t seed_ = 1;
    std::size_t scriptIndex_ = 0;
};

}  // namespace platform
