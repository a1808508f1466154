#include "tools/standin/Reactions.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>

namespace standin {

ULONGLONG NowMs() {
    return static_cast<ULONGLONG>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now().time_since_epoch())
                                      .count());
}

void Reactions::Queue(std::function<void()> reaction, DWORD delayMs) {
    if (delayMs > 0) {
        delayed_.push_back(Delayed{NowMs() + delayMs, std::move(reaction)});
        return;
    }
    due_.push_back(std::move(reaction));
    PostMessageA(wake_, kRunMessage, 0, 0);
}

void Reactions::RunNext() {
    if (due_.empty()) return;
    auto reaction = std::move(due_.front());
    due_.pop_front();
    try {
        reaction();
    } catch (const std::exception&) {
        // Dropped; the client goes on with the next.
    }
}

DWORD Reactions::PromoteDue() {
    ULONGLONG now = NowMs();
    ULONGLONG next = 0;
    bool waiting = false;
    for (std::size_t i = 0; i < delayed_.size();) {
        if (delayed_[i].due <= now) {
            auto reaction = std::move(delayed_[i].reaction);
            delayed_.erase(delayed_.begin() + static_cast<std::ptrdiff_t>(i));
            Queue(std::move(reaction));
        } else {
            next = waiting ? std::min(next, delayed_[i].due) : delayed_[i].due;
            waiting = true;
            ++i;
        }
    }
    return waiting ? static_cast<DWORD>(next - now) : INFINITE;
}

}  // namespace standin
