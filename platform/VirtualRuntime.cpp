#include "platform/VirtualRuntime.h"

#include <algorithm>
#include <cstdint>

#include "platform/LocalTime.h"

namespace platform {
namespace {

constexpr std::int64_t kDayMs = std::int64_t{24} * 3600 * 1000;

}  // namespace

VirtualRuntime::VirtualRuntime(Millis startOfDay) : now_(startOfDay) {}

std::tm VirtualRuntime::LocalTime() {
    std::int64_t ms = (now_ - dayStart_).count();
    std::int64_t days = ms / kDayMs;
    std::int64_t inDay = ms % kDayMs;
    std::tm t{};
    t.tm_year = 103;  // 2003
    t.tm_mon = 0;
    t.tm_mday = 15 + static_cast<int>(days);
    t.tm_hour = static_cast<int>(inDay / 3'600'000);
    t.tm_min = static_cast<int>(inDay / 60'000 % 60);
    t.tm_sec = static_cast<int>(inDay / 1000 % 60);
    t.tm_isdst = -1;
    std::time_t when = std::mktime(&t);  // normalises the day of the month
    std::tm out = LocalTimeOf(when);
    // mktime may shift the hour across a daylight-saving change; the clock
    // display must show exactly the virtual time.
    out.tm_hour = static_cast<int>(inDay / 3'600'000);
    out.tm_min = static_cast<int>(inDay / 60'000 % 60);
    out.tm_sec = static_cast<int>(inDay / 1000 % 60);
    return out;
}

double VirtualRuntime::SecondsSinceMidnight() {
    std::int64_t ms = ((now_ - dayStart_).count() % kDayMs + kDayMs) % kDayMs;
    return static_cast<double>(ms) / 1000.0;
}

std::string VirtualRuntime::Prompt(const std::string& /*text*/, const std::string& /*title*/,
                                   const std::string& /*defaultAnswer*/) {
    return "";
}

void VirtualRuntime::MessageBox(const std::string& /*text*/, const std::string& /*title*/) {}

bool VirtualRuntime::SleepUntil(Millis deadline) {
    if (deadline > now_) ++wakeups_;
    now_ = std::max(now_, deadline);
    return false;
}

void VirtualRuntime::Advance(Millis duration) {
    Millis end = now_ + duration;
    while (!QuitRequested()) {
        DoEvents();
        auto due = NextDue();
        if (!due || *due >= end) break;
        if (*due > now_) ++wakeups_;
        now_ = std::max(now_, *due);
    }
    if (const auto due = NextDue(); due && *due <= end && end > now_) ++wakeups_;
    now_ = std::max(now_, end);
    DoEvents();
}

}  // namespace platform
