#include "platform/TimerSchedule.h"

#include <algorithm>

#include "platform/Failure.h"

namespace platform {

void RunGuarded(const Task& task) {
    Guarded("event handler", task);
}

TimerSchedule::TimerSchedule(std::function<void()> changed) : changed_(std::move(changed)) {}

void TimerSchedule::Changed() const {
    if (changed_) changed_();
}

TimerId TimerSchedule::Once(Millis due, Task task) {
    const TimerId id = nextId_++;
    Entry& entry = entries_[id] =
        Entry{Kind::Once, Millis{0}, due, std::make_shared<Task>(std::move(task)), false};
    ++onceCount_;
    waiting_.insert(KeyOf(id, entry));
    Changed();
    return id;
}

TimerId TimerSchedule::Start(Millis now, Millis period, Task tick) {
    period = std::max(period, Millis{0});
    const TimerId id = nextId_++;
    Entry& entry = entries_[id] =
        Entry{Kind::Timer, period, now + period, std::make_shared<Task>(std::move(tick)), false};
    waiting_.insert(KeyOf(id, entry));
    Changed();
    return id;
}

void TimerSchedule::Stop(TimerId id) {
    auto it = entries_.find(id);
    if (it == entries_.end()) return;
    if (!it->second.running) waiting_.erase(KeyOf(id, it->second));
    if (it->second.kind == Kind::Once) --onceCount_;
    entries_.erase(it);
    Changed();
}

bool TimerSchedule::Rearm(TimerId id, Millis due) {
    auto it = entries_.find(id);
    if (it == entries_.end()) return false;
    Entry& entry = it->second;
    // A running tick is out of the order; it goes back in at the new instant.
    if (!entry.running) waiting_.erase(KeyOf(id, entry));
    entry.due = due;
    if (!entry.running) waiting_.insert(KeyOf(id, entry));
    Changed();
    return true;
}

std::optional<Millis> TimerSchedule::NextDue() const {
    if (waiting_.empty()) return std::nullopt;
    return std::get<0>(*waiting_.begin());
}

bool TimerSchedule::RunOneDue(Millis now) {
    if (waiting_.empty()) return false;
    const auto [due, kind, id] = *waiting_.begin();
    if (due > now) return false;
    waiting_.erase(waiting_.begin());
    auto it = entries_.find(id);
    if (kind == Kind::Once) {
        Task task = std::move(*it->second.task);
        entries_.erase(it);
        --onceCount_;
        Changed();
        RunGuarded(task);
        return true;
    }
    // Due again a period after the instant it ran for, unless the tick moves
    // it; until the tick returns it waits for nothing, so that it cannot nest.
    Entry& timer = it->second;
    timer.due = now + std::max(timer.period, Millis{1});
    timer.running = true;
    const std::shared_ptr<Task> tick = timer.task;
    Changed();
    RunGuarded(*tick);
    auto again = entries_.find(id);
    if (again != entries_.end()) {
        again->second.running = false;
        waiting_.insert(KeyOf(id, again->second));
        Changed();
    }
    return true;
}

}  // namespace platform
