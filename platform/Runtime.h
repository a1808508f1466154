#pragma once
// The program's one event loop and the clocks around it, and how it asks the
// user.
//
// Everything runs on one thread. Code that must stay responsive while it
// waits (Pause, the instant-message waits, modal prompts) pumps this loop, so
// other events run nested inside it. Every implementation derives from
// QueuedRuntime, which holds the queue, the timers and the quit rule once;
// each supplies only its clock, how it waits and how it asks the user: Qt's
// and Win32's on the real clock, and VirtualRuntime, whose clock is virtual
// so that a one-minute timer or a ten-second bound costs microseconds (the
// console and the tests run on it).

#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

namespace platform {

using Task = std::function<void()>;
using Millis = std::chrono::milliseconds;
using TimerId = std::uint64_t;

class Runtime {
  public:
    virtual ~Runtime() = default;

    // --- clocks ---
    // Time since an arbitrary start, never going back; drives timers and bounds.
    virtual Millis Monotonic() = 0;
    // Local wall-clock time, for the clock display.
    virtual std::tm LocalTime() = 0;
    // Seconds since local midnight with the fraction of a second.
    virtual double SecondsSinceMidnight() = 0;

    // --- the event loop ---
    // Runs `task` on the loop as soon as it turns (after what is already queued).
    virtual void Post(Task task) = 0;
    // Runs `task` once, `delay` from now.
    virtual void PostDelayed(Millis delay, Task task) = 0;
    // A repeating timer; the first tick comes one interval after the start.
    virtual TimerId StartTimer(Millis interval, Task tick) = 0;
    virtual void StopTimer(TimerId id) = 0;
    // Moves a repeating timer's next tick to `due` (on the Monotonic clock),
    // earlier or later; the ticks after it follow at its interval from there.
    // False when the timer is unknown or the runtime cannot move timers (the
    // caller then stops it and starts another).
    virtual bool RearmTimer(TimerId id, Millis due) {
        (void)id;
        (void)due;
        return false;
    }
    // Handles everything that is due now, without waiting.
    virtual void DoEvents() = 0;
    // Waits without spinning until something is due or `maxWait` has passed,
    // then handles what is due.
    virtual void WaitForEvents(Millis maxWait) = 0;

    // Asks the whole program to end: loops and waits return as soon as they can
    // and no further event is handled.
    virtual void RequestQuit() = 0;
    virtual bool QuitRequested() const = 0;

    // --- modal dialogs (they pump the loop while open) ---
    // The typed text; an empty text when cancelled.
    virtual std::string Prompt(const std::string& text, const std::string& title,
                               const std::string& defaultAnswer) = 0;
    virtual void MessageBox(const std::string& text, const std::string& title) = 0;
};

}  // namespace platform
