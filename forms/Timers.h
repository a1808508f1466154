#pragma once
// The windows' timers on the platform runtime. The fast timers share one
// wake-up of the event loop: a single runtime timer at the base interval
// runs, while any of them is enabled, the due ones in the order they were
// added. Each still ticks at its own interval (a whole multiple of the base),
// counted in base ticks from the one after it was enabled. The slow timers
// (the idle notice, the check after play) keep runtime timers of their own,
// so they come exactly their interval after they were enabled.
//
// A tick may enable, disable or pump the loop; a tick that comes while the
// previous one still runs (a pause inside it) is skipped, as a timer's tick
// never nests into itself.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Runtime.h"

namespace forms {

class Timers {
  public:
    using Id = std::size_t;

    Timers(platform::Runtime& runtime, platform::Millis base);
    ~Timers();
    Timers(const Timers&) = delete;
    Timers& operator=(const Timers&) = delete;

    // What wakes a timer: the shared base timer, or a runtime timer of its own.
    enum class Wakeup { SharedBase, OwnTimer };

    // Adds a timer, disabled. A timer on the shared base needs an interval
    // that is a whole multiple of the base; otherwise it gets a runtime timer
    // of its own.
    Id Add(platform::Millis interval, Wakeup wakeup, std::function<void()> tick);
    void SetEnabled(Id id, bool enabled);
    bool Enabled(Id id) const;
    // Stops everything for good (the window is going).
    void StopAll();

  private:
    struct Timer {
        platform::Millis interval;
        std::function<void()> tick;
        bool enabled = false;
        bool running = false;   // inside its tick
        long long every = 0;    // base ticks per tick; 0 for a timer of its own
        long long counted = 0;  // base ticks since enabled or last tick
        platform::TimerId own = 0;
    };

    void BaseTick();
    void RunTick(Id id);
    void UpdateBase();

    platform::Runtime& runtime_;
    platform::Millis base_;
    std::vector<Timer> timers_;
    std::vector<bool> due_;  // kept between ticks: a tick allocates nothing
    platform::TimerId baseTimer_ = 0;
    bool stopped_ = false;
    // Shared with the runtime's callbacks, so a tick that outlives us (the
    // window destroyed inside its own tick) finds out and does nothing.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace forms
