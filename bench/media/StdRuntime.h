#pragma once
// The runtime on the standard library alone, for the player driver, which
// measures the player without Qt: the real clock, and sleeping until the next
// timer falls due, since on one thread nothing can arrive from elsewhere.
// Nobody sits at it: a prompt is cancelled and a message box goes unseen.

#include <string>
#include <thread>

#include "platform/QueuedRuntime.h"

namespace bench {

class StdRuntime final : public platform::QueuedRuntime {
  public:
    std::string Prompt(const std::string&, const std::string&, const std::string&) override {
        return "";
    }
    void MessageBox(const std::string&, const std::string&) override {}

  protected:
    bool SleepUntil(platform::Millis deadline) override {
        const platform::Millis left = deadline - Monotonic();
        if (left > platform::Millis{0}) std::this_thread::sleep_for(left);
        return false;
    }
};

}  // namespace bench
