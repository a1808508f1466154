#include "platform/QueuedRuntime.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/LocalTime.h"

namespace platform {

QueuedRuntime::QueuedRuntime() : schedule_([this] { QueueChanged(); }) {}

Millis QueuedRuntime::Monotonic() {
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

std::tm QueuedRuntime::LocalTime() {
    return LocalTimeOf(std::time(nullptr));
}

double QueuedRuntime::SecondsSinceMidnight() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local = LocalTimeOf(t);
    auto fraction = duration_cast<microseconds>(now.time_since_epoch()) % seconds(1);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
           static_cast<double>(fraction.count()) / 1e6;
}

void QueuedRuntime::Post(Task task) {
    ready_.push_back(std::move(task));
    QueueChanged();
}

void QueuedRuntime::PostDelayed(Millis delay, Task task) {
    schedule_.Once(Monotonic() + std::max(delay, Millis{0}), std::move(task));
}

TimerId QueuedRuntime::StartTimer(Millis interval, Task tick) {
    return schedule_.Start(Monotonic(), interval, std::move(tick));
}

void QueuedRuntime::StopTimer(TimerId id) {
    schedule_.Stop(id);
}

bool QueuedRuntime::RearmTimer(TimerId id, Millis due) {
    return schedule_.Rearm(id, due);
}

void QueuedRuntime::DoEvents() {
    if (quit_) return;
    HandleOutside();
    RunQueue();
}

void QueuedRuntime::WaitForEvents(Millis maxWait) {
    if (quit_) return;
    if (ready_.empty()) {
        Millis until = Monotonic() + std::max(maxWait, Millis{0});
        if (auto due = NextDue()) until = std::min(until, *due);
        // Nothing came in from outside: only the program's own work is due.
        if (!SleepUntil(until)) {
            RunQueue();
            return;
        }
    }
    DoEvents();
}

void QueuedRuntime::RequestQuit() {
    if (quit_) return;
    quit_ = true;
    QuitAsked();
}

void QueuedRuntime::RunQueue() {
    // "Due" means due when this turn began: a tick that waits inside itself
    // moves the clock on, and what falls due meanwhile waits for the next
    // turn of the loop instead of keeping this one going for ever.
    const Millis now = Monotonic();
    constexpr int kMaxTasks = 5'000'000;
    for (int i = 0; i < kMaxTasks && !quit_ && RunOneDue(now); ++i) {
    }
    QueueChanged();
}

bool QueuedRuntime::RunOneDue(Millis now) {
    if (ready_.empty()) return schedule_.RunOneDue(now);
    Task task = std::move(ready_.front());
    ready_.pop_front();
    QueueChanged();
    RunGuarded(task);
    return true;
}

}  // namespace platform
