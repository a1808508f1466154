#pragma once
// What every runtime shares: the queue of posted tasks, the timer schedule
// and the quit rule, and the real clocks. A runtime derived from it supplies
// only what is its own: how it waits for the next event or deadline (and
// handles what comes from outside the program meanwhile, such as window
// messages), how it asks the user (prompt, message box), and its clocks when
// they are not the real ones.
//
// The loop's rules, the same for all:
// - Posted tasks run first, in the order posted, then what the schedule has
//   due (see TimerSchedule). One turn of the loop runs what was due when it
//   began and what that work posts, bounded, so that a task that posts itself
//   for ever cannot hang the loop.
// - Once a quit is asked for, no further task or tick runs and waits return
//   at once.

#include <cstddef>
#include <deque>
#include <optional>

#include "platform/Runtime.h"
#include "platform/TimerSchedule.h"

namespace platform {

class QueuedRuntime : public Runtime {
  public:
    QueuedRuntime();
    QueuedRuntime(const QueuedRuntime&) = delete;
    QueuedRuntime& operator=(const QueuedRuntime&) = delete;

    // The real clocks: the standard library's steady clock and the local time
    // of the C library.
    Millis Monotonic() override;
    std::tm LocalTime() override;
    double SecondsSinceMidnight() override;

    void Post(Task task) override;
    void PostDelayed(Millis delay, Task task) override;
    TimerId StartTimer(Millis interval, Task tick) override;
    void StopTimer(TimerId id) override;
    bool RearmTimer(TimerId id, Millis due) override;
    // Handles what came from outside, then runs what is due.
    void DoEvents() override;
    // Sleeps (SleepUntil) until the next timer falls due or `maxWait` has
    // passed, unless a posted task waits already; then handles what is due.
    void WaitForEvents(Millis maxWait) override;
    void RequestQuit() override;
    bool QuitRequested() const override { return quit_; }

    // Runs the posted tasks and what the schedule has due now, and leaves
    // what comes from outside alone: what a modal loop that pumps its own
    // messages still needs.
    void RunQueue();

    // --- looking in ---
    bool TimerRunning(TimerId id) const { return schedule_.Scheduled(id); }
    std::size_t RunningTimers() const { return schedule_.TimerCount(); }
    // Posted tasks and delayed ones, not yet run.
    std::size_t PendingCount() const { return ready_.size() + schedule_.OnceCount(); }

  protected:
    // Sleeps until `deadline` (on the Monotonic clock) or until something
    // comes in from outside the program. True when something came in: the
    // loop then handles it (HandleOutside) before it runs its own work.
    virtual bool SleepUntil(Millis deadline) = 0;
    // Handles what has come in from outside the program (window messages);
    // nothing by default.
    virtual void HandleOutside() {}
    // The queue or the schedule changed: a task was posted or taken to run,
    // or the next due instant may have moved. A runtime whose wake-up is
    // armed in advance (Qt's) re-arms it here; nothing by default.
    virtual void QueueChanged() {}
    // A quit was asked for (once): end the loops that are not ours.
    virtual void QuitAsked() {}

    bool HasReady() const { return !ready_.empty(); }
    std::optional<Millis> NextDue() const { return schedule_.NextDue(); }

  private:
    bool RunOneDue(Millis now);

    std::deque<Task> ready_;
    TimerSchedule schedule_;
    bool quit_ = false;
};

}  // namespace platform
