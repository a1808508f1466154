#include "platform/TestRuntime.h"

#include <algorithm>
#include <random>

#include "platform/Folder.h"
#include "platform/LocalTime.h"

namespace platform {
namespace {

constexpr std::int64_t kDayMs = 24 * 3600 * 1000;

}  // namespace

TestRuntime::TestRuntime(Millis startOfDay) : now_(startOfDay), dayStart_(0) {}

std::tm TestRuntime::LocalTime() {
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

double TestRuntime::SecondsSinceMidnight() {
    std::int64_t ms = ((now_ - dayStart_).count() % kDayMs + kDayMs) % kDayMs;
    return static_cast<double>(ms) / 1000.0;
}

void TestRuntime::Post(Task task) {
    queue_.Post(std::move(task));
}

void TestRuntime::PostDelayed(Millis delay, Task task) {
    queue_.PostAt(now_ + std::max(delay, Millis{0}), std::move(task));
}

TimerId TestRuntime::StartTimer(Millis interval, Task tick) {
    return queue_.StartTimer(now_, interval, std::move(tick));
}

void TestRuntime::StopTimer(TimerId id) {
    queue_.StopTimer(id);
}

void TestRuntime::DoEvents() {
    queue_.RunAllDue(now_, [this] { return quit_; });
}

void TestRuntime::WaitForEvents(Millis maxWait) {
    if (quit_) return;
    if (!queue_.HasReady()) {
        Millis next = now_ + std::max(maxWait, Millis{0});
        if (auto due = queue_.NextDue()) next = std::min(next, *due);
        now_ = std::max(now_, next);
    }
    DoEvents();
}

void TestRuntime::Advance(Millis duration) {
    Millis end = now_ + duration;
    while (!quit_) {
        DoEvents();
        auto due = queue_.NextDue();
        if (!due || *due >= end) break;
        now_ = std::max(now_, *due);
    }
    now_ = std::max(now_, end);
    DoEvents();
}

void TestRuntime::Reseed() {
    ++reseedCount;
    seed_ =
        static_cast<std::uint64_t>(now_.count()) * 6364136223846793005ULL + 1442695040888963407ULL;
}

double TestRuntime::Random() {
    if (!scriptedRandom.empty()) {
        return scriptedRandom[scriptIndex_++ % scriptedRandom.size()];
    }
    std::mt19937_64 engine(seed_);
    seed_ = engine();
    // 53 random bits scaled into [0, 1): never 1.0, unlike some
    // uniform_real_distribution implementations.
    return static_cast<double>(engine() >> 11) * 0x1.0p-53;
}

std::string TestRuntime::Prompt(const std::string& text, const std::string& title,
                                const std::string& /*defaultAnswer*/) {
    prompts.push_back(title + "|" + text);
    if (insidePrompt) insidePrompt(text);
    if (promptAnswers.empty()) return "";
    std::string answer = std::move(promptAnswers.front());
    promptAnswers.pop_front();
    return answer;
}

void TestRuntime::MessageBox(const std::string& text, const std::string& title) {
    messageBoxes.push_back(title + "|" + text);
    if (insideMessageBox) insideMessageBox(text);
}

std::optional<std::vector<std::string>> TestRuntime::ListFolder(const std::string& folder,
                                                                const std::string& pattern) {
    return ListMatchingFiles(folder, pattern);
}

}  // namespace platform
