#include "forms/Timers.h"

namespace forms {

Timers::Timers(platform::Runtime& runtime, platform::Millis base)
    : runtime_(runtime), base_(base) {}

Timers::~Timers() {
    *alive_ = false;
    StopAll();
}

Timers::Id Timers::Add(platform::Millis interval, Wakeup wakeup, std::function<void()> tick) {
    Timer timer;
    timer.interval = interval;
    timer.tick = std::move(tick);
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

void Timers::SetEnabled(Id id, bool enabled) {
    if (stopped_ || id >= timers_.size()) return;
    Timer& timer = timers_[id];
    if (timer.enabled == enabled) return;  // a running timer keeps its phase
    timer.enabled = enabled;
    timer.counted = 0;
    if (timer.every == 0) {
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
    UpdateBase();
}

void Timers::UpdateBase() {
    bool any = false;
    for (const Timer& timer : timers_) any = any || (timer.enabled && timer.every != 0);
    if (any && baseTimer_ == 0) {
        std::weak_ptr<bool> alive = alive_;
        baseTimer_ = runtime_.StartTimer(base_, [this, alive] {
            if (auto a = alive.lock(); a && *a) BaseTick();
        });
    } else if (!any && baseTimer_ != 0) {
        runtime_.StopTimer(baseTimer_);
        baseTimer_ = 0;
    }
}

void Timers::BaseTick() {
    // Timers added or enabled by a tick join from the next base tick on.
    const std::size_t count = timers_.size();
    due_.assign(count, false);
    std::vector<bool>& due = due_;
    for (std::size_t id = 0; id < count; ++id) {
        Timer& timer = timers_[id];
        if (!timer.enabled || timer.every == 0) continue;
        if (++timer.counted >= timer.every) {
            timer.counted = 0;
            due[id] = true;
        }
    }
    std::weak_ptr<bool> alive = alive_;
    for (std::size_t id = 0; id < count; ++id) {
        if (!due[id]) continue;
        if (auto a = alive.lock(); !a || !*a) return;
        // Disabled by an earlier tick of this turn: it does not run.
        if (stopped_ || !timers_[id].enabled) continue;
        RunTick(id);
    }
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
