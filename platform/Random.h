#pragma once
// Random numbers, as Randomize and Rnd give them: Reseed takes a new seed
// from the clock, Next draws the next number of the sequence. The clock is a
// runtime's, so on the virtual clock the same session draws the same numbers
// (the console's output stays the same from run to run), and on a real clock
// each draw after a Reseed differs. Before the first Reseed the sequence
// starts from a fixed seed.

#include <cstdint>

#include "platform/Runtime.h"

namespace platform {

class Random {
  public:
    explicit Random(Runtime& clock);
    virtual ~Random() = default;
    Random(const Random&) = delete;
    Random& operator=(const Random&) = delete;

    // A new seed from the clock's Monotonic time (Randomize).
    virtual void Reseed();
    // Uniform in [0, 1), never 1 (Rnd).
    virtual double Next();

  private:
    Runtime& clock_;
    std::uint64_t seed_ = 1;
};

}  // namespace platform
