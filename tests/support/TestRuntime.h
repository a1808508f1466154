#pragma once
// The virtual-clock runtime with the knobs of the tests: dialogs answered
// from a script and recorded, random numbers from a script, and the clock
// set or read by hand.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Random.h"
#include "platform/VirtualRuntime.h"

namespace testsupport {

class TestRuntime final : public platform::VirtualRuntime {
  public:
    // The virtual clock starts at `startOfDay` past local midnight, on a fixed
    // date (Wednesday 15 January 2003).
    explicit TestRuntime(platform::Millis startOfDay = platform::Millis{12 * 3600 * 1000});

    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void MessageBox(const std::string& text, const std::string& title) override;

    // Handles everything runnable now, including what that work posts.
    void RunUntilIdle() { DoEvents(); }
    // Moves the clock without handling anything (to place a test at a fraction
    // of a second, or just before midnight).
    using VirtualRuntime::SetClock;
    platform::Millis Clock() const { return Now(); }
    // Sets the wall clock (local time, seconds since midnight) forward or
    // back without time passing, as summer time or a correction does.
    using VirtualRuntime::ShiftWallClock;

    // Dialog script: answers given in order ("" when the script runs out), and
    // what was shown.
    std::deque<std::string> promptAnswers;
    std::vector<std::string> prompts;       // "title|text"
    std::vector<std::string> messageBoxes;  // "title|text"
    // Runs while a message box is open, before it is acknowledged: lets a test
    // deliver events inside the box's modal loop.
    std::function<void(const std::string& text)> insideMessageBox;
    std::function<void(const std::string& text)> insidePrompt;

    // The random numbers to give the program under test (its Services): those
    // of the virtual clock, or every draw from scriptedRandom when it is set.
    platform::Random& random() { return random_; }
    std::vector<double> scriptedRandom;
    int reseedCount = 0;

  private:
    class ScriptedRandom final : public platform::Random {
      public:
        explicit ScriptedRandom(TestRuntime& runtime) : Random(runtime), runtime_(runtime) {}
        void Reseed() override;
        double Next() override;

      private:
        TestRuntime& runtime_;
        std::size_t next_ = 0;
    };

    ScriptedRandom random_{*this};
};

}  // namespace testsupport
