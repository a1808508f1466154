#include "platform/EventQueue.h"

#include <algorithm>
#include <exception>
#include <iostream>

namespace platform {

void RunGuarded(const Task& task) {
    try {
        task();
    } catch (const std::exception& e) {
        std::cerr << "moonrake: event handler failed: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "moonrake: event handler failed\n";
    }
}

void EventQueue::PostAt(Millis due, Task task) {
    delayed_.push_back(Delayed{due, order_++, std::move(task)});
}

TimerId EventQueue::StartTimer(Millis now, Millis interval, Task tick) {
    interval = std::max(interval, Millis{1});
    TimerId id = nextTimer_++;
    timers_[id] = Timer{interval, now + interval, std::make_shared<Task>(std::move(tick))};
    return id;
}

bool EventQueue::RunOneDue(Millis now) {
    if (!ready_.empty()) {
        Task task = std::move(ready_.front());
        ready_.pop_front();
        RunGuarded(task);
        return true;
    }
    auto delayed =
        std::min_element(delayed_.begin(), delayed_.end(), [](const Delayed& a, const Delayed& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
    TimerId timer = 0;
    Millis timerDue = Millis::max();
    for (const auto& [id, t] : timers_) {
        if (t.tick && t.next < timerDue) {
            timerDue = t.next;
            timer = id;
        }
    }
    bool delayedDue = delayed != delayed_.end() && delayed->due <= now;
    bool timerIsDue = timer != 0 && timerDue <= now;
    if (delayedDue && (!timerIsDue || delayed->due <= timerDue)) {
        Task task = std::move(delayed->task);
        delayed_.erase(delayed);
        RunGuarded(task);
        return true;
    }
    if (!timerIsDue) return false;
    Timer& t = timers_[timer];
    t.next = now + t.interval;
    // A timer does not fire again while its own tick is still running: a tick
    // that pumps the loop (the idle notice's pause) would otherwise nest into
    // itself.
    std::shared_ptr<Task> tick = std::move(t.tick);
    RunGuarded(*tick);
    auto again = timers_.find(timer);
    if (again != timers_.end()) again->second.tick = std::move(tick);
    return true;
}

void EventQueue::RunAllDue(Millis now, const std::function<bool()>& stop) {
    // "Due" means due when this call began: a tick that waits inside itself
    // moves the clock on, and what falls due meanwhile waits for the next
    // turn of the loop instead of keeping this one going for ever.
    constexpr int kMaxTasks = 5'000'000;
    for (int i = 0; i < kMaxTasks && !stop() && RunOneDue(now); ++i) {
    }
}

std::optional<Millis> EventQueue::NextDue() const {
    std::optional<Millis> next;
    for (const auto& d : delayed_) next = next ? std::min(*next, d.due) : d.due;
    for (const auto& [id, t] : timers_) {
        if (t.tick) next = next ? std::min(*next, t.next) : t.next;
    }
    return next;
}

}  // namespace platform
