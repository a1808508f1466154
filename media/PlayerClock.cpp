#include "media/PlayerClock.h"

#include <algorithm>
#include <utility>

namespace media {

PlayerClock::PlayerClock(platform::Runtime& runtime, platform::Millis pollInterval,
                         std::chrono::milliseconds positionQueryInterval,
                         std::function<void()> poll)
    : runtime_(runtime),
      pollInterval_(pollInterval),
      positionQueryInterval_(positionQueryInterval),
      poll_(std::move(poll)) {}

PlayerClock::~PlayerClock() {
    StopPolling();
}

void PlayerClock::Started() {
    state_ = PlayState::Playing;
    StartPolling();
    Changed();
}

void PlayerClock::Toggled() {
    if (!SongUnderway()) return;
    state_ = state_ == PlayState::Playing ? PlayState::Paused : PlayState::Playing;
    positionQueried_ = false;
    Changed();
}

void PlayerClock::Rewound() {
    StopPolling();
    state_ = PlayState::Stopped;
    // The framework's own answer just after a stop can still be the old position.
    ForgetPosition();
    Changed();
}

void PlayerClock::Unloaded() {
    StopPolling();
    state_ = PlayState::Empty;
    length_ = 0.0;
    lengthKnown_ = false;
    ForgetPosition();
    Changed();
}

void PlayerClock::SetLength(double seconds) {
    const bool same = lengthKnown_ && length_ == seconds;
    length_ = seconds;
    lengthKnown_ = true;
    if (!same) Changed();
}

void PlayerClock::ForgetLength() {
    lengthKnown_ = false;
    Changed();
}

void PlayerClock::RememberPosition(double seconds, TimePoint now) {
    lastPosition_ = seconds;
    positionQueried_ = true;
    positionQueryTime_ = now;
}

bool PlayerClock::PositionRecent(TimePoint now) const {
    return positionQueried_ && now - positionQueryTime_ < positionQueryInterval_;
}

double PlayerClock::PositionMovedOn(TimePoint now) const {
    if (state_ == PlayState::Paused) return lastPosition_;
    const double moved = std::chrono::duration<double>(now - positionQueryTime_).count();
    return lengthKnown_ ? std::min(lastPosition_ + moved, length_) : lastPosition_ + moved;
}

void PlayerClock::StartPolling() {
    if (polling_) return;
    pollTimer_ = runtime_.StartTimer(pollInterval_, [this] { Poll(); });
    polling_ = true;
}

void PlayerClock::StopPolling() {
    if (!polling_) return;
    runtime_.StopTimer(pollTimer_);
    polling_ = false;
}

void PlayerClock::Poll() {
    poll_();
    if (!polling_) return;
    // Once the length is known, the news that matters is the end, and the
    // position says when it comes: look once a second until it is near.
    constexpr platform::Millis kQuietInterval{1000};
    platform::Millis next = pollInterval_;
    if (lengthKnown_ && state_ == PlayState::Paused) {
        next = kQuietInterval;
    } else if (lengthKnown_ && positionQueried_ && state_ == PlayState::Playing) {
        const double remaining = length_ - PositionMovedOn(std::chrono::steady_clock::now());
        const auto untilEnd = platform::Millis{static_cast<long long>(remaining * 1000.0)};
        next = std::clamp(untilEnd, pollInterval_, std::max(pollInterval_, kQuietInterval));
    }
    if (next != pollInterval_) runtime_.RearmTimer(pollTimer_, runtime_.Monotonic() + next);
}

void PlayerClock::ForgetPosition() {
    lastPosition_ = 0.0;
    positionQueried_ = false;
}

}  // namespace media
