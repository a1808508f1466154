#pragma once
// The windows' timers on the platform runtime. The fast timers share one
// wake-up of the event loop: a single runtime timer on a grid of the base
// interval runs, while any of them is enabled, the due ones in the order they
// were added. Each still ticks at its own interval (a whole multiple of the
// base), counted in base ticks from the one after it was enabled. The slow
// timers (the idle notice, the check after play) keep runtime timers of their
// own, so they come exactly their interval after they were enabled.
//
// Sleeping. A fast timer may say when its tick can next change anything (the
// clock: the next whole second). The loop then sleeps over the base ticks at
// which no timer can change anything, and wakes at the first tick of some
// timer that can: every tick that runs, runs at the same instant as it would
// if the base ticked all the time, and every tick skipped would have changed
// nothing. Whoever changes what a sleeping timer's tick reads pokes it, and it
// ticks at its next tick. A timer that says nothing ticks at every interval.
//
// A tick may enable, disable, poke or pump the loop; a tick that comes while
// the previous one still runs (a pause inside it) is skipped, as a timer's
// tick never nests into itself.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Runtime.h"

namespace forms {

class Timers {
  public:
    using Id = std::size_t;

    // When a timer's tick can next change anything, asked after each of its
    // ticks: an instant on the runtime's Monotonic clock (it sleeps until its
    // first tick at or after it; one already past means its next tick), or
    // nothing when only a Poke can make a difference.
    using NextMatters = std::function<std::optional<platform::Millis>()>;

    // How the shared timers wake: only when a tick can change something, or
    // at every tick (the reference that the sleeping must match).
    enum class Sleep { WhenNothingChanges, Never };

    Timers(platform::Runtime& runtime, platform::Millis base,
           Sleep sleep = Sleep::WhenNothingChanges);
    ~Timers();
    Timers(const Timers&) = delete;
    Timers& operator=(const Timers&) = delete;

    // What wakes a timer: the shared base timer, or a runtime timer of its own.
    enum class Wakeup { SharedBase, OwnTimer };

    // Adds a timer, disabled. A timer on the shared base needs an interval
    // that is a whole multiple of the base; otherwise it gets a runtime timer
    // of its own. Without `next` it ticks at every interval.
    Id Add(platform::Millis interval, Wakeup wakeup, std::function<void()> tick,
           NextMatters next = {});
    void SetEnabled(Id id, bool enabled);
    bool Enabled(Id id) const;
    // Something the timer's tick reads has changed: an enabled shared timer
    // ticks at its next tick, however long it meant to sleep.
    void Poke(Id id);
    // Stops everything for good (the window is going).
    void StopAll();

  private:
    struct Timer {
        platform::Millis interval;
        std::function<void()> tick;
        NextMatters next;
        bool enabled = false;
        bool running = false;  // inside its tick
        long long every = 0;   // base ticks per tick; 0 for a timer of its own
        // Base ticks since enabled or since its last tick; below zero for
        // one enabled while the base slept, by the base ticks it slept over
        // before the enabling.
        long long counted = 0;
        // From when its tick can change something; nothing: when poked.
        std::optional<platform::Millis> wanted;
        platform::TimerId own = 0;
    };

    void BaseTick();
    void RunTick(Id id);
    // Starts or stops the base as any shared timer is enabled, and moves its
    // next wake-up to the first base tick at which some timer can matter.
    void Plan();
    // The next wake-up of the base: `ticks` base ticks after the last one.
    void MoveBase(long long ticks);
    // Base ticks after the last one that have already gone by at `now`.
    long long TicksGoneBy(platform::Millis now) const;

    platform::Runtime& runtime_;
    platform::Millis base_;
    Sleep sleep_;
    std::vector<Timer> timers_;
    std::vector<bool> due_;  // kept between ticks: a tick allocates nothing
    platform::TimerId baseTimer_ = 0;
    platform::Millis lastBase_{0};  // the instant of the last base tick (or start)
    long long planned_ = 1;         // base ticks the next wake-up stands for
    bool inBaseTick_ = false;
    bool stopped_ = false;
    // Shared with the runtime's callbacks, so a tick that outlives us (the
    // window destroyed inside its own tick) finds out and does nothing.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace forms
