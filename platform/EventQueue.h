#pragma once
// The queue behind a single-threaded event loop: tasks posted to run soon,
// tasks due at a time, and repeating timers. The owner supplies the clock, so
// the same queue serves the real runtime and the virtual-time test runtime.

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Runtime.h"

namespace platform {

class EventQueue {
  public:
    void Post(Task task) { ready_.push_back(std::move(task)); }
    void PostAt(Millis due, Task task);
    TimerId StartTimer(Millis now, Millis interval, Task tick);
    void StopTimer(TimerId id) { timers_.erase(id); }
    bool TimerRunning(TimerId id) const { return timers_.count(id) != 0; }

    // Runs one task that is due at `now`: posted tasks first, then the
    // earliest delayed task or timer tick. False when nothing is due.
    // Exceptions from a task are written to stderr and go no further.
    bool RunOneDue(Millis now);
    // Runs the work due at `now` and what it posts, until none is left
    // (bounded, so a task that posts itself for ever cannot hang the loop).
    void RunAllDue(Millis now, const std::function<bool()>& stop);
    // When the next delayed task or timer falls due; nothing when none waits.
    std::optional<Millis> NextDue() const;
    bool HasReady() const { return !ready_.empty(); }
    std::size_t PendingCount() const { return ready_.size() + delayed_.size(); }

  private:
    struct Timer {
        Millis interval;
        Millis next;
        std::shared_ptr<Task> tick;  // empty while the tick runs
    };
    struct Delayed {
        Millis due;
        std::uint64_t order;
        Task task;
    };
    std::deque<Task> ready_;
    std::vector<Delayed> delayed_;
    std::map<TimerId, Timer> timers_;
    TimerId nextTimer_ = 1;
    std::uint64_t order_ = 0;
};

// Runs `task`, writing an exception to stderr instead of letting it escape:
// one failing handler must not take the program or the next event down.
void RunGuarded(const Task& task);

}  // namespace platform
