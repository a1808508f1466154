#include "forms/Timers.h"

#include <algorithm>

namespace forms {

namespace {

// How long the base sleeps when no timer can change anything until poked: it
// wakes then only to look again.
constexpr platform::Millis kLongestSleep{3600 * 1000};

// The smallest n >= from with n = first + m * every (m >= 0).
long long OnOrAfter(long long first, long long every, long long from) {
    if (first >= from) return first;
    return first + (from - first + every - 1) / every * every;
}

}  // namespace

Timers::Timers(platform::Runtime& runtime, platform::Millis base, Sleep sleep)
    : runtime_(runtime), base_(base), sleep_(sleep) {}

Timers::~Timers() {
    *alive_ = false;
    StopAll();
}

Timers::Id Timers::Add(platform::Millis interval, Wakeup wakeup, std::function<void()> tick,
                       NextMatters next) {
    Timer timer;
    timer.interval = interval;
    timer.tick = std::move(tick);
    timer.next = std::move(next);
    if (wakeup == Wakeup::SharedBase && base_.count() > 0 && interval.count() > 0 &&
        interval.count() % base_.count() == 0) {
        timer.every = interval.count() / base_.count();
    }
    timers_.push_back(std::move(timer));
    return timers_.size() - 1;
}

bool Timers::Enabled(Id id) const {
    return id < timers_.size() && timers_[id].enabled;
}

long long Timers::TicksGoneBy(platform::Millis now) const {
    // A base tick due at `now` itself has not come yet: whatever runs now
    // (a posted task, an event) comes before it.
    if (now <= lastBase_) return 0;
    return (now - lastBase_ - platform::Millis{1}) / base_;
}

void Timers::SetEnabled(Id id, bool enabled) {
    if (stopped_ || id >= timers_.size()) return;
    Timer& timer = timers_[id];
    if (timer.enabled == enabled) return;  // a running timer keeps its phase
    timer.enabled = enabled;
    if (timer.every == 0) {
        timer.counted = 0;
        if (enabled) {
            std::weak_ptr<bool> alive = alive_;
            timer.own = runtime_.StartTimer(timer.interval, [this, id, alive] {
                if (auto a = alive.lock(); a && *a) RunTick(id);
            });
        } else if (timer.own != 0) {
            runtime_.StopTimer(timer.own);
            timer.own = 0;
        }
        return;
    }
    const platform::Millis now = runtime_.Monotonic();
    if (enabled) {
        // It counts from the base tick after now; those the base slept over
        // before now do not count.
        if (baseTimer_ == 0) lastBase_ = now;
        timer.counted = inBaseTick_ ? 0 : -TicksGoneBy(now);
        timer.wanted = now;  // its first tick always runs
    }
    Plan();
}

void Timers::Poke(Id id) {
    if (stopped_ || id >= timers_.size()) return;
    Timer& timer = timers_[id];
    if (!timer.enabled || timer.every == 0) return;
    const platform::Millis now = runtime_.Monotonic();
    if (timer.wanted && *timer.wanted <= now) return;  // it ticks next anyway
    timer.wanted = now;
    Plan();
}

void Timers::Plan() {
    if (stopped_) return;
    const bool any = std::any_of(timers_.begin(), timers_.end(), [](const Timer& timer) {
        return timer.enabled && timer.every != 0;
    });
    if (!any) {
        if (baseTimer_ != 0) runtime_.StopTimer(baseTimer_);
        baseTimer_ = 0;
        return;
    }
    const platform::Millis now = runtime_.Monotonic();
    if (baseTimer_ == 0) {
        std::weak_ptr<bool> alive = alive_;
        lastBase_ = now;
        baseTimer_ = runtime_.StartTimer(base_, [this, alive] {
            if (auto a = alive.lock(); a && *a) BaseTick();
        });
    }
    // The base tick running now moves its next wake-up when its timers are done.
    if (inBaseTick_) return;

    const long long earliest = TicksGoneBy(now) + 1;
    long long best = -1;
    for (const Timer& timer : timers_) {
        if (!timer.enabled || timer.every == 0) continue;
        long long n = OnOrAfter(timer.every - timer.counted, timer.every, earliest);
        if (sleep_ == Sleep::WhenNothingChanges) {
            if (!timer.wanted) continue;
            if (*timer.wanted > lastBase_) {
                const long long wantedTick =
                    (*timer.wanted - lastBase_ + base_ - platform::Millis{1}) / base_;
                n = OnOrAfter(n, timer.every, wantedTick);
            }
        }
        if (best < 0 || n < best) best = n;
    }
    if (best < 0) best = earliest + kLongestSleep / base_;
    MoveBase(best);
}

void Timers::MoveBase(long long ticks) {
    planned_ = ticks;
    const platform::Millis due = lastBase_ + ticks * base_;
    if (runtime_.RearmTimer(baseTimer_, due)) return;
    // A runtime that cannot move a timer gets a new one for each wake-up.
    runtime_.StopTimer(baseTimer_);
    std::weak_ptr<bool> alive = alive_;
    const platform::Millis delay = std::max(due - runtime_.Monotonic(), platform::Millis{0});
    baseTimer_ = runtime_.StartTimer(delay, [this, alive] {
        if (auto a = alive.lock(); a && *a) BaseTick();
    });
}

void Timers::BaseTick() {
    const platform::Millis now = runtime_.Monotonic();
    const long long ticks = planned_;  // the base ticks this wake-up stands for
    lastBase_ = now;
    planned_ = 1;

    // Timers added or enabled by a tick join from the next base tick on.
    const std::size_t count = timers_.size();
    due_.assign(count, false);
    std::vector<bool>& due = due_;
    for (std::size_t id = 0; id < count; ++id) {
        Timer& timer = timers_[id];
        if (!timer.enabled || timer.every == 0) continue;
        const long long total = timer.counted + ticks;
        if (total < timer.every) {
            timer.counted = total;
            continue;
        }
        timer.counted = total % timer.every;
        due[id] = timer.counted == 0;
    }
    std::weak_ptr<bool> alive = alive_;
    inBaseTick_ = true;
    for (std::size_t id = 0; id < count; ++id) {
        if (!due[id]) continue;
        if (auto a = alive.lock(); !a || !*a) return;
        // Disabled by an earlier tick of this turn: it does not run.
        if (stopped_ || !timers_[id].enabled) continue;
        RunTick(id);
        if (auto a = alive.lock(); !a || !*a) return;
        Timer& timer = timers_[id];
        if (timer.enabled) timer.wanted = timer.next ? timer.next() : now;
    }
    inBaseTick_ = false;
    if (stopped_ || baseTimer_ == 0) return;
    if (runtime_.Monotonic() >= lastBase_ + base_) {
        // A tick paused past the next base tick: that one comes at once on
        // return, as one tick, and the grid goes on from when it runs.
        MoveBase(1);
        return;
    }
    Plan();
}

void Timers::RunTick(Id id) {
    Timer& timer = timers_[id];
    if (timer.running || !timer.enabled) return;
    timer.running = true;
    std::weak_ptr<bool> alive = alive_;
    // The tick may add timers (the vector may move): keep our own copy.
    const std::function<void()> tick = timer.tick;
    tick();
    if (auto a = alive.lock(); a && *a) timers_[id].running = false;
}

void Timers::StopAll() {
    stopped_ = true;
    for (Timer& timer : timers_) {
        timer.enabled = false;
        if (timer.own != 0) {
            runtime_.StopTimer(timer.own);
            timer.own = 0;
        }
    }
    if (baseTimer_ != 0) {
        runtime_.StopTimer(baseTimer_);
        baseTimer_ = 0;
    }
}

}  // namespace forms
