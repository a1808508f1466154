#pragma once
// The timers of one event loop, by the instant each falls due: tasks that run
// once (PostDelayed) and timers that repeat. Every runtime keeps its timers
// here, the virtual clock of the tests and the real clocks alike; the clock is
// the runtime's, which asks "when is the next one due?" to know how long it
// may wait, and "run what is due at now" when it wakes.
//
// The rules:
// - Entries run by due instant. At the same instant a task that runs once
//   comes before a timer's tick; among themselves, tasks run in the order
//   they were posted and timers in the order they were started.
// - A timer's first tick is due one period after its start (at once for a
//   period of zero). After a tick it is due again one period (at least one
//   millisecond) after the instant its tick was run for.
// - A timer does not fire while its own tick runs: a tick that pumps the loop
//   (a pause inside it) does not nest into itself. A timer stopped inside its
//   own tick ticks no more; one moved (Rearm) inside its tick keeps the new
//   instant.
// - Rearm moves a timer's next due instant, earlier or later (to let it sleep
//   until its tick can change anything); the wait always goes to the entry due
//   first.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

#include "platform/Runtime.h"

namespace platform {

class TimerSchedule {
  public:
    // `changed` is called whenever the next due instant may have changed: an
    // entry added, stopped or moved, taken out to run, or back after its tick.
    // A runtime whose wake-up is armed in advance (Qt's) re-arms it there.
    explicit TimerSchedule(std::function<void()> changed = {});

    // A task that runs once, at `due`.
    TimerId Once(Millis due, Task task);
    // A timer that ticks every `period` from `now` on.
    TimerId Start(Millis now, Millis period, Task tick);
    // Removes a timer or a task that has not run yet; nothing for an unknown id.
    void Stop(TimerId id);
    // Moves the next due instant of a timer or waiting task; false for an
    // unknown id. The period stays: the tick after is due a period after the
    // instant it ran for.
    bool Rearm(TimerId id, Millis due);

    // A timer started and not stopped, or a task not yet run.
    bool Scheduled(TimerId id) const { return entries_.count(id) != 0; }
    // When the entry due first falls due; nothing when none waits (a timer
    // whose tick is running waits for no instant until its tick returns).
    std::optional<Millis> NextDue() const;
    // Runs the entry due first if it is due at `now`; false when none is.
    // Exceptions from a task are written to stderr and go no further.
    bool RunOneDue(Millis now);

    std::size_t TimerCount() const { return entries_.size() - onceCount_; }
    std::size_t OnceCount() const { return onceCount_; }

  private:
    enum class Kind { Once, Timer };
    struct Entry {
        Kind kind;
        Millis period;  // of a timer
        Millis due;
        std::shared_ptr<Task> task;  // shared: a tick outlives a Stop inside it
        bool running = false;
    };
    // The order in which waiting entries run: instant, kind, then id (ids
    // grow, so it is the order of posting or starting).
    using Key = std::tuple<Millis, Kind, TimerId>;
    static Key KeyOf(TimerId id, const Entry& entry) { return {entry.due, entry.kind, id}; }
    void Changed() const;

    std::map<TimerId, Entry> entries_;
    std::set<Key> waiting_;
    std::size_t onceCount_ = 0;
    TimerId nextId_ = 1;
    std::function<void()> changed_;
};

// Runs `task`, writing an exception to stderr instead of letting it escape:
// one failing handler must not take the program or the next event down.
void RunGuarded(const Task& task);

}  // namespace platform
