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
}

void PlayerClock::Toggled() {
    if (!SongUnderway()) return;
    state_ = state_ == PlayState::Playing ? PlayState::Paused : PlayState::Playing;
    positionQueried_ = false;
}

void PlayerClock::Rewound() {
    StopPolling();
    state_ = PlayState::Stopped;
    // The framework's own answer just after a stop can still be the old position.
    ForgetPosition();
}

void PlayerClock::Unloaded() {
    StopPolling();
    state_ = PlayState::Empty;
    length_ = 0.0;
    lengthKnown_ = false;
    ForgetPosition();
}

void PlayerClock::SetLength(double seconds) {
    length_ = seconds;
    lengthKnown_ = true;
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
    pollTimer_ = runtime_.StartTimer(pollInterval_, [this] { poll_(); });
    polling_ = true;
}

void PlayerClock::StopPolling() {
    if (!polling_) return;
    runtime_.StopTimer(pollTimer_);
    polling_ = false;
}

void PlayerClock::ForgetPosition() {
    lastPosition_ = 0.0;
    positionQueried_ = false;
}

}  // namespace media
