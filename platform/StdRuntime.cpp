#include "platform/StdRuntime.h"

#include <chrono>
#include <iostream>
#include <random>
#include <thread>

#include "platform/Folder.h"
#include "platform/LocalTime.h"

namespace platform {

StdRuntime::StdRuntime() : StdRuntime(std::cin, std::cout) {}

StdRuntime::StdRuntime(std::istream& in, std::ostream& out) : in_(in), out_(out) {
    Reseed();
}

Millis StdRuntime::Monotonic() {
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

std::tm StdRuntime::LocalTime() {
    return LocalTimeOf(std::time(nullptr));
}

double StdRuntime::SecondsSinceMidnight() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local = LocalTimeOf(t);
    auto fraction = duration_cast<microseconds>(now.time_since_epoch()) % seconds(1);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
           static_cast<double>(fraction.count()) / 1e6;
}

void StdRuntime::PostDelayed(Millis delay, Task task) {
    queue_.PostAt(Monotonic() + std::max(delay, Millis{0}), std::move(task));
}

TimerId StdRuntime::StartTimer(Millis interval, Task tick) {
    return queue_.StartTimer(Monotonic(), interval, std::move(tick));
}

void StdRuntime::DoEvents() {
    queue_.RunAllDue(Monotonic(), [this] { return quit_; });
}

void StdRuntime::WaitForEvents(Millis maxWait) {
    if (quit_) return;
    if (!queue_.HasReady()) {
        Millis until = Monotonic() + std::max(maxWait, Millis{0});
        if (auto due = queue_.NextDue()) until = std::min(until, *due);
        // One thread only: nothing can arrive from elsewhere, so sleeping
        // until the next due event is exact and costs no CPU.
        Millis left = until - Monotonic();
        if (left > Millis{0}) std::this_thread::sleep_for(left);
    }
    DoEvents();
}

void StdRuntime::Reseed() {
    seed_ = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

double StdRuntime::Random() {
    std::mt19937_64 engine(seed_);
    seed_ = engine();
    return static_cast<double>(engine() >> 11) * 0x1.0p-53;
}

std::string StdRuntime::Prompt(const std::string& text, const std::string& title,
                               const std::string& defaultAnswer) {
    out_ << title << ": " << text << ' ' << std::flush;
    std::string answer;
    if (!std::getline(in_, answer)) return "";
    return answer.empty() ? defaultAnswer : answer;
}

void StdRuntime::MessageBox(const std::string& text, const std::string& title) {
    out_ << title << ": " << text << std::endl;
}

std::optional<std::vector<std::string>> StdRuntime::ListFolder(const std::string& folder,
                                                               const std::string& pattern) {
    return ListMatchingFiles(folder, pattern);
}

}  // namespace platform
