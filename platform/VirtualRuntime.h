#pragma once
// The runtime on a virtual clock: time moves only when the loop waits, and
// then at once to the next instant something is due, so a one-minute timer or
// a ten-second bound costs microseconds and nothing ever sleeps. The console
// runs on it, so that a script gives the same output every time, and so do
// the tests.
//
// The clock starts at `startOfDay` past local midnight, on a fixed date
// (Wednesday 15 January 2003). Nobody sits at it: a prompt is cancelled and a
// message box acknowledged at once, unless a subclass asks someone (the
// console asks its input, the tests a script).

#include "platform/QueuedRuntime.h"

namespace platform {

class VirtualRuntime : public QueuedRuntime {
  public:
    explicit VirtualRuntime(Millis startOfDay = Millis{12 * 3600 * 1000});

    Millis Monotonic() override { return now_; }
    std::tm LocalTime() override;
    double SecondsSinceMidnight() override;

    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void MessageBox(const std::string& text, const std::string& title) override;

    // Lets `duration` of virtual time pass, handling every event on the way.
    void Advance(Millis duration);
    // How many times the clock has moved on to an instant at which
    // something was due: the wake-ups a real clock would have had.
    long long Wakeups() const { return wakeups_; }

  protected:
    // Moves the clock to `deadline`: nothing comes from outside.
    bool SleepUntil(Millis deadline) override;

    Millis Now() const { return now_; }
    // Moves the clock without handling anything.
    void SetClock(Millis sinceStart) { now_ = sinceStart; }
    // Sets the wall clock (local time, seconds since midnight) forward or
    // back without time passing, as summer time or a correction does.
    void ShiftWallClock(Millis by) { dayStart_ -= by; }

  private:
    Millis now_;
    Millis dayStart_{0};  // monotonic time of the virtual day's midnight
    long long wakeups_ = 0;
};

}  // namespace platform
